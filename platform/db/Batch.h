#pragma once

#include "Statement.h"
#include "platform/DataPacket.h"

#include <QList>
#include <QVariant>
#include <functional>

namespace platform::db {

// What one statement of a batch gave back: a query's rows (through its typed result fields when it
// declares them, else as its select list), or the number of rows a command changed.
struct BatchResult {
    DataPacket rows;
    int rowsAffected = 0;
};

// Statements that go to the database together, run in the order they were added. On PostgreSQL through
// Qt's own driver the whole batch travels in one pipeline and waits for the server once, however many
// statements it holds; elsewhere (PostgreSQL through ODBC included) the statements run one after another.
// A statement's values are taken when it is added, each run with all its own (as Statement::run takes
// them), so one statement may be added many times with different values. Beginning and committing the
// transaction can be steps of the batch, so that they share its one wait (see Transaction).
class Batch {
public:
    explicit Batch(Connection& connection) : connection_(connection) {}
    Batch(const Batch&) = delete;
    Batch& operator=(const Batch&) = delete;

    // Begins a transaction; one open already, when the step is added or when the batch runs, is a
    // DatabaseError.
    void begin();
    // Commits; `committed` is called once the batch ran through.
    void commit(std::function<void()> committed = {});
    // Adds a run of the statement with `values`; returns the index of its result. Throws DatabaseError
    // for a name the statement does not have, or one its text uses that `values` leaves out.
    int add(Statement& statement, NamedValues values = {});
    int size() const { return int(steps_.size()); }

    // Runs every step. The first statement the database refuses raises its DatabaseError; the steps
    // after it take no effect, and a transaction begun before it stays open for the caller to roll back.
    void run();
    const BatchResult& result(int index) const { return results_.at(index); }

    // A step as it goes to the database (used by the PostgreSQL pipeline).
    struct Step {
        enum class Kind { Begin, Commit, Run };
        Kind kind = Kind::Run;
        Statement* statement = nullptr;
        QStringList names;      // the statement's parameter names, each once
        QList<QVariant> values; // one per name, as the run gave it
    };

private:
    void runOneByOne();

    Connection& connection_;
    QList<Step> steps_;
    QList<BatchResult> results_;
    bool begins_ = false;
    std::function<void()> committed_;
};

} // namespace platform::db
