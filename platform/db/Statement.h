#pragma once

#include "Connection.h"
#include "OpenQuery.h"
#include "SqlStore.h"
#include "SqlText.h"
#include "platform/DataPacket.h"

#include <QHash>
#include <QSqlQuery>
#include <initializer_list>
#include <utility>

namespace platform::db {

enum class StatementKind { Query, Command };
enum class ParamType { Text, Float, DateTime, Untyped };

struct ParamDecl {
    QString name;
    ParamType type = ParamType::Text;
    bool operator==(const ParamDecl&) const = default;
};

// A named statement of a data module: its text (one for every dialect, or a per-dialect store), its
// parameters in order of occurrence with their declared types, its typed result fields and options.
struct StatementDef {
    QString name;
    StatementKind kind = StatementKind::Query;
    QString sql;                     // the one text, when there is no store
    const SqlStore* store = nullptr; // per-dialect texts
    QList<ParamDecl> params;         // one entry per placeholder occurrence
    FieldList resultFields;          // typed fields through which rows are read; empty: the select list
    bool readOnly = false;           // rows never written back through the cursor
    bool decimalsAsFloat = false;    // exact numeric columns read as doubles
    bool noTimeLimit = false;        // commands run without a time limit

    QString textFor(Dialect dialect) const;
};

// Values bound by name for one run: {{"P_CDFILIAL", branch}, {"P_NRMESA", table}}.
using NamedValues = std::initializer_list<std::pair<const char*, QVariant>>;
// The same with names known only when the program runs.
using ValueList = QList<std::pair<QString, QVariant>>;

// A statement bound to a connection: its prepared query (prepared once per connection, again only after
// a reconnect) and one slot per parameter name. Every run binds every parameter its text uses from that
// run's own values, and nothing carries over to the next: a name that stands twice takes its value at
// both places, a NULL binds as a NULL of the declared type, and a name the run does not give, or one the
// statement does not have, is a DatabaseError naming the statement and the parameter.
class Statement {
public:
    Statement(Connection& connection, StatementDef def);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    const QString& name() const { return def_.name; }
    const StatementDef& def() const { return def_; }
    // The text the statement runs on the open connection.
    QString currentText() const;

    // Query: runs it afresh with `values` and stands on the first row; the rows are let go when the
    // returned OpenQuery goes, or when the statement runs again.
    OpenQuery run(NamedValues values = {});
    OpenQuery run(const ValueList& values);
    // Command: runs it with `values` and returns the number of rows it changed.
    int execute(NamedValues values = {});
    int execute(const ValueList& values);

    // An OpenQuery of this statement is reading rows.
    bool isOpen() const { return cursor_ != nullptr; }
    // Lets go of the rows of the open query; its OpenQuery reads no more.
    void close();
    // Closes the statement and frees its prepared query; the next run prepares it again.
    void release();

private:
    friend class OpenQuery;
    friend class Batch;

    // The distinct parameter names, in order of first declaration: one slot each.
    const QStringList& paramNames() const { return names_; }
    // One value per slot for a run: throws for a name the statement does not have and for one its text
    // uses that `values` leaves out.
    QList<QVariant> valuesFor(NamedValues values);
    QList<QVariant> valuesFor(const ValueList& values);
    template <typename Named> QList<QVariant> resolve(const Named& values);
    OpenQuery runWith(const QList<QVariant>& values);
    int executeWith(const QList<QVariant>& values);

    int slot(const QString& name) const; // -1 for a name the statement does not have
    void parse();                        // the text of the connected dialect, once per connection
    void prepare();
    void exec(const QList<QVariant>& values);
    void resolveColumns();

    Connection& connection_;
    StatementDef def_;
    QHash<QString, int> slots_; // by upper-case name
    QStringList names_;         // per slot
    QList<QVariant> nulls_;     // a typed empty value per slot

    quint64 parsedFor_ = 0; // the connection generation positional_ and usedSlots_ were read for
    PositionalSql positional_;
    QList<int> occurrenceSlot_; // per placeholder of the text
    QList<int> usedSlots_;      // each slot the text uses, once

    quint64 preparedFor_ = 0;
    QSqlQuery query_;
    FieldList fields_;             // result fields of the last run
    QList<int> sqlColumn_;         // for each result field, its column in the select list
    bool columnsResolved_ = false; // fields_ and sqlColumn_ hold for the current preparation
    OpenQuery* cursor_ = nullptr;  // the run whose rows are being read
};

} // namespace platform::db
