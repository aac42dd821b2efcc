#pragma once

#include "ConnectionString.h"
#include "Dialect.h"
#include "platform/Errors.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace platform::db {

class Statement;
struct StatementDef;

// One named Qt SQL connection, opened from a connection string, with before- and after-connect hooks
// and one transaction at a time. The Qt connection is removed when the object goes.
class Connection {
public:
    using Hook = std::function<void(Connection&)>;

    explicit Connection(const QString& tag = QStringLiteral("mvt"));
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    void setConnectionString(const QString& text) { connectionString_ = text; }
    const QString& connectionString() const { return connectionString_; }

    Hook beforeConnect; // may set the connection string
    Hook afterConnect;  // prepares the session

    // Sees the name of every statement run on the connection (a query opened, a command executed, a
    // statement queued for a pipeline) before the database does, and may throw to make that run fail:
    // the seam through which tests break a service at any statement. Empty in the product.
    using RunHook = std::function<void(const QString& statementName)>;
    RunHook beforeRun;
    void aboutToRun(const QString& statementName) const {
        if (beforeRun)
            beforeRun(statementName);
    }

    // Connecting runs beforeConnect, opens, then afterConnect; a failure in any of them leaves the
    // connection closed and is raised to the caller.
    void setConnected(bool on);
    bool connected() const { return open_; }
    void open() { setConnected(true); }
    void close() { setConnected(false); }

    Dialect dialect() const; // of the open connection
    // The open connection goes through an ODBC driver (the road of SQL Server and Oracle), whatever
    // database it reports.
    bool viaOdbc() const { return open_ && driver_ == u"QODBC"; }
    // libpq's session is reachable under Qt's own PostgreSQL driver only: the pipeline needs it.
    bool holdsLibpqSession() const { return open_ && driver_ == u"QPSQL" && dialect_ == Dialect::PostgreSQL; }
    // The Qt connection; throws the lost connection's DatabaseError when the session behind it is gone.
    QSqlDatabase database() const;
    // The bounds the connection string gave (or their defaults), as of the last connect.
    const SessionBounds& bounds() const { return bounds_; }
    const QString& qtName() const { return qtName_; }

    // Runs one statement text outside the catalogue (session settings).
    void exec(const QString& sql);
    // Creates a new, empty SQLite database file in WAL mode (readers never wait for a writer) and
    // returns its connection string; an existing file is an error. Opening never creates a file.
    static QString createSqliteFile(const QString& path);

    // One transaction at a time: beginning one while one is open is a DatabaseError (a nested scope
    // would commit or roll back the outer one). SQLite writers take the write lock when the
    // transaction begins, so that two terminals on one file queue up instead of failing halfway through.
    void beginTransaction();
    // Throws that DatabaseError when a transaction is open.
    void refuseNestedTransaction() const;
    void commit();
    void rollback();
    bool inTransaction() const { return inTransaction_; }
    // SQLite: closes every open query of the connection before it writes.
    void releaseReaders();
    // Closes every open query of the connection, whatever the database: the session is about to be
    // used past Qt (a pipeline).
    void closeQueries();
    // A pipeline began or ended a transaction on the session itself.
    void noteTransaction(bool open) { inTransaction_ = open; }

    // The server's number for the open transaction and the server process of the session, when the
    // pipeline that began it asked (PostgreSQL): from another session they tell whether it committed.
    struct ServerTransaction {
        qint64 id = 0;
        qint64 process = 0;
    };
    const std::optional<ServerTransaction>& serverTransaction() const { return serverTransaction_; }
    void noteServerTransaction(std::optional<ServerTransaction> t) { serverTransaction_ = t; }

    // A commit went out and no answer to it came back: the connection failed on the way, and the
    // transaction may have committed or not. Cleared by the next begin and by any answer to a commit.
    bool commitUnanswered() const { return commitUnanswered_; }
    void noteCommitSent() { commitUnanswered_ = true; }
    void noteCommitAnswered() { commitUnanswered_ = false; }

    // A session this side dropped on its own, a wait past its bound (PostgreSQL): the server may not
    // have noticed, and keeps what it holds until it does. Its server process, and when it was opened.
    struct DroppedSession {
        qint64 process = 0;
        std::chrono::steady_clock::time_point openedAt;
    };
    const std::optional<DroppedSession>& droppedSession() const { return dropped_; }
    void noteDropped(qint64 process) { dropped_ = DroppedSession{process, openedAt_}; }

    // Statements prepare themselves again after a reconnect; this tells them when.
    quint64 generation() const { return generation_; }
    int prepareCount() const { return prepareCount_; }
    void countPrepare() { ++prepareCount_; }
    // Every wait for a database server: each statement run, each preparation, each transaction control
    // and each pipeline sync. SQLite runs in process and waits for no server.
    int roundTrips() const { return roundTrips_; }
    void countRoundTrip() {
        if (dialect_ != Dialect::SQLite)
            ++roundTrips_;
    }

    DatabaseError error(const QSqlError& error, const QString& what) const;
    // The failure of `query`; through ODBC its code is the SQLSTATE, as Qt's PostgreSQL driver reports it.
    DatabaseError error(const QSqlQuery& query, const QString& what) const;

    // A statement of the shared library kept with the connection, so that helpers made for one call
    // still prepare their statement only once.
    Statement& cachedStatement(const StatementDef& def);

    // Statements on this connection let go of their prepared queries before the session closes: a
    // query freed on the next session would try to free a statement that session never had.
    void attach(Statement* statement) { statements_.push_back(statement); }
    void detach(Statement* statement) { std::erase(statements_, statement); }

private:
    void runControl(const QString& sql, const char* what);
    // The session's last failure (transaction control), with its SQLSTATE through ODBC.
    DatabaseError sessionError(const QSqlDatabase& db, const QString& what) const;
    bool sessionLost() const;

    QString qtName_;
    QString connectionString_;
    bool open_ = false;
    bool inTransaction_ = false;
    bool commitUnanswered_ = false;
    std::optional<ServerTransaction> serverTransaction_;
    std::optional<DroppedSession> dropped_;
    std::chrono::steady_clock::time_point openedAt_;
    SessionBounds bounds_;
    Dialect dialect_ = Dialect::SQLite;
    QString driver_; // the Qt driver of the open connection
    quint64 generation_ = 0;
    int prepareCount_ = 0;
    int roundTrips_ = 0;
    std::map<QString, std::unique_ptr<Statement>> cache_;
    std::vector<Statement*> statements_;
};

} // namespace platform::db
