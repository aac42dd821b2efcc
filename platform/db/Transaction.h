#pragma once

#include "Batch.h"
#include "Connection.h"

namespace platform::db {

// One transaction for one scope, and the guard owns it: it begins it (at once, or as a step of a batch),
// commits it explicitly (at once, or as a step of a batch, done once that batch ran through), and rolls
// back what it began and did not commit when the scope ends (a failure on the way). A start inside an
// open transaction is a DatabaseError: an inner guard would commit or roll back the outer one.
class Transaction {
public:
    enum class Start {
        Now,      // begins in the constructor
        WithBatch // begins as a step of a batch (beginWith), sharing the batch's one wait for the server
    };

    explicit Transaction(Connection& connection, Start start = Start::Now) : connection_(connection) {
        if (start == Start::Now) {
            connection_.beginTransaction();
            state_ = State::Begun;
        }
    }
    ~Transaction() {
        if (state_ == State::Begun && connection_.inTransaction()) {
            try {
                connection_.rollback();
            } catch (...) {
                // the connection is gone; the server has dropped the transaction already
            }
        }
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    // Begins when `batch` runs, before the statements added after this.
    void beginWith(Batch& batch) {
        expect(State::NotBegun);
        batch.begin();
        state_ = State::Begun;
    }

    void commit() {
        expect(State::Begun);
        if (!connection_.inTransaction())
            throw DatabaseError(QStringLiteral("Não há transação aberta para confirmar."), {}, {});
        connection_.commit();
        state_ = State::Done;
    }
    // Commits when `batch` runs, after the statements added before this; a batch that fails leaves
    // the transaction to be rolled back when the scope ends.
    void commitWith(Batch& batch) {
        expect(State::Begun);
        batch.commit([this] { state_ = State::Done; });
    }

private:
    enum class State { NotBegun, Begun, Done };

    void expect(State state) const {
        if (state_ == state)
            return;
        static const char* const texts[] = {"A transação não foi iniciada.", "A transação já foi iniciada.",
                                            "A transação já foi confirmada."};
        throw DatabaseError(QString::fromUtf8(texts[int(state_)]), {}, {});
    }

    Connection& connection_;
    State state_ = State::NotBegun;
};

} // namespace platform::db
