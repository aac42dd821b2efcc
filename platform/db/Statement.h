#pragma once

#include "Connection.h"
#include "SqlStore.h"
#include "SqlText.h"
#include "platform/DataPacket.h"

#include <QHash>
#include <QSqlQuery>
#include <initializer_list>
#include <optional>
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

class OpenQuery;

// A statement bound to a connection. Prepared once per connection (again only after a reconnect),
// parameters bound by name: a name that stands twice takes its value at both places, and a value
// stays bound until it is set again.
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

    // Throws DatabaseError for a name the statement does not have.
    void setParam(const QString& name, const QVariant& value);
    void bind(NamedValues values);
    QVariant param(const QString& name) const;

    // Query: runs it afresh with `values` (the others keep theirs) and stands on the first row; the
    // query is closed again when the returned OpenQuery goes.
    OpenQuery run(NamedValues values = {});

    // Query: runs it (nothing when already open) and stands on the first row.
    void open();
    void close();
    bool isOpen() const { return open_; }
    bool isEmpty() const { return open_ && rowCount_ == 0 && eof_; }
    bool eof() const { return eof_; }
    void next();
    // Values of the current row through the typed result fields (or the select list).
    QVariant value(const QString& field) const;
    QString asString(const QString& field) const;
    double asFloat(const QString& field) const;
    // Throws Error when the value does not read as an integer.
    int asInteger(const QString& field) const;
    const FieldList& fields() const { return fields_; }

    // Provider: the whole result as one packet; opens the query when closed and closes it again then.
    DataPacket packet();
    // The same packet as JSON, written while the rows are read.
    QByteArray packetJson();

    // Command: runs it with `values` (the others keep theirs) and returns the number of rows it changed.
    int execute(NamedValues values = {});

    // Closes the statement and frees its prepared query; the next run prepares it again.
    void release();

private:
    void prepare();
    void bindAll();
    void exec();
    void readRow();
    void resolveColumns();
    template <typename Each> void eachRow(Each each);
    int column(const QString& field) const;

    Connection& connection_;
    StatementDef def_;
    int slot(const QString& name) const; // -1 for a name the statement does not have

    PositionalSql positional_;
    quint64 preparedFor_ = 0;
    QSqlQuery query_;
    // One slot per distinct parameter name; every placeholder occurrence takes its slot's value.
    QHash<QString, int> slots_; // by upper-case name
    QList<QVariant> values_;
    QList<QVariant> nulls_;        // a typed empty value per slot
    QList<int> occurrenceSlot_;    // per placeholder of the prepared text
    QList<bool> changed_;          // per slot: set since the query last took the values
    FieldList fields_;             // result fields of the open query
    QList<int> sqlColumn_;         // for each result field, its column in the select list
    bool columnsResolved_ = false; // fields_ and sqlColumn_ hold for the current preparation
    Record row_;
    bool open_ = false;
    bool eof_ = true;
    int rowCount_ = 0;
};

// One use of a query: run with its values by Statement::run, read from the first row on, and closed
// when it goes out of scope, so that no later use finds it open on the rows of earlier values.
class OpenQuery {
public:
    ~OpenQuery() { query_.close(); }
    OpenQuery(const OpenQuery&) = delete;
    OpenQuery& operator=(const OpenQuery&) = delete;

    bool isEmpty() const { return query_.isEmpty(); }
    bool eof() const { return query_.eof(); }
    void next() { query_.next(); }
    QVariant value(const QString& field) const { return query_.value(field); }
    QString asString(const QString& field) const { return query_.asString(field); }
    double asFloat(const QString& field) const { return query_.asFloat(field); }
    int asInteger(const QString& field) const { return query_.asInteger(field); }
    // Every row from the first as one packet, or as its JSON.
    DataPacket packet() { return query_.packet(); }
    QByteArray packetJson() { return query_.packetJson(); }

private:
    friend class Statement;
    explicit OpenQuery(Statement& query) : query_(query) {}

    Statement& query_;
};

// A provider turns its query into one data packet; with values, of a run afresh with them.
class Provider {
public:
    explicit Provider(Statement& query) : query_(query) {}
    DataPacket data() { return query_.packet(); }
    QByteArray dataJson() { return query_.packetJson(); }
    DataPacket data(NamedValues values) { return query_.run(values).packet(); }
    QByteArray dataJson(NamedValues values) { return query_.run(values).packetJson(); }

private:
    Statement& query_;
};

} // namespace platform::db
