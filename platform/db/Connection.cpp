#include "Connection.h"

#include "ConnectionString.h"
#include "DriverWarnings.h"
#include "Failures.h"
#include "OdbcDiagnostics.h"
#include "Statement.h"
#include "platform/Errors.h"

#include <QAtomicInteger>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlQuery>
#include <QSqlResult>

namespace platform::db {
namespace {

QString uniqueName(const QString& tag) {
    static QAtomicInteger<quint64> counter;
    return QStringLiteral("%1#%2").arg(tag).arg(++counter);
}

// A session that broke under an open connection (its server went away, its network died, a wait ran
// out and dropped it): the code says so whatever words the driver had.
DatabaseError lostSession() {
    return DatabaseError(QStringLiteral("A conexão com o banco de dados foi perdida."),
                         QStringLiteral("connection lost"), QStringLiteral("08006"));
}

} // namespace

Connection::Connection(const QString& tag) : qtName_(uniqueName(tag)) {}

Connection::~Connection() {
    cache_.clear();
    try {
        setConnected(false);
    } catch (...) {
        // closing never reports; nothing more can be done here
    }
    if (QSqlDatabase::contains(qtName_))
        QSqlDatabase::removeDatabase(qtName_);
}

void Connection::setConnected(bool on) {
    if (on == open_)
        return;
    if (!on) {
        for (Statement* statement : statements_)
            statement->release();
        if (QSqlDatabase::contains(qtName_))
            QSqlDatabase::database(qtName_, false).close();
        open_ = false;
        inTransaction_ = false;
        return;
    }
    if (beforeConnect)
        beforeConnect(*this);
    const ConnectionTarget target = parseConnectionString(connectionString_);
    if (QSqlDatabase::contains(qtName_) &&
        QSqlDatabase::database(qtName_, false).driverName() != target.driver)
        QSqlDatabase::removeDatabase(qtName_);
    QSqlDatabase db = QSqlDatabase::contains(qtName_) ? QSqlDatabase::database(qtName_, false)
                                                      : QSqlDatabase::addDatabase(target.driver, qtName_);
    if (!db.isValid())
        throw ConfigError(QStringLiteral("O driver de banco %1 não está instalado.").arg(target.driver));
    // The open refuses a missing file as well; this says which file it was.
    if (!target.file.isEmpty() && !QFileInfo(target.file).isFile())
        throw ConfigError(QStringLiteral("O banco de dados %1 não existe.").arg(target.file));
    db.setDatabaseName(target.databaseName);
    db.setHostName(target.host);
    db.setPort(target.port);
    db.setUserName(target.user);
    db.setPassword(target.password);
    db.setConnectOptions(target.connectOptions);
    bounds_ = target.bounds;
    const QString server = redactedConnectionString(connectionString_);
    bool opened = false;
    {
        const QuietDriverWarnings quiet;
        opened = db.open();
    }
    if (!opened) {
        const DatabaseError failure = error(db.lastError(), QStringLiteral("conectar a %1").arg(server));
        if (isNoAnswer(failure))
            throw DatabaseError(noAnswerText(server), failure.databaseText(), failure.nativeCode(),
                                failure.statement());
        throw failure;
    }
    try {
        dialect_ = dialectOf(db);
        driver_ = target.driver;
        open_ = true;
        inTransaction_ = false;
        commitUnanswered_ = false;
        serverTransaction_.reset();
        dropped_.reset();
        openedAt_ = std::chrono::steady_clock::now();
        ++generation_;
        if (afterConnect)
            afterConnect(*this);
    } catch (const DatabaseError& e) {
        db.close();
        open_ = false;
        // a session lost while it was being set up is one that does not answer, like a refused connect
        if (isNoAnswer(e))
            throw DatabaseError(noAnswerText(server), e.databaseText(), e.nativeCode(), e.statement());
        throw;
    } catch (...) {
        db.close();
        open_ = false;
        throw;
    }
}

Dialect Connection::dialect() const {
    if (!open_)
        throw DatabaseError(QStringLiteral("A conexão com o banco de dados não está aberta."), {}, {});
    return dialect_;
}

QSqlDatabase Connection::database() const {
    if (!open_)
        throw DatabaseError(QStringLiteral("A conexão com o banco de dados não está aberta."), {}, {});
    // Qt would only warn that the database is not open and fail without a word
    if (sessionLost())
        throw lostSession();
    return QSqlDatabase::database(qtName_, false);
}

bool Connection::sessionLost() const {
    // Qt's PostgreSQL driver reports libpq's state of the session; the others the state they were left in
    return open_ && !QSqlDatabase::database(qtName_, false).isOpen();
}

void Connection::exec(const QString& sql) {
    QSqlQuery query(database());
    countRoundTrip();
    if (!query.exec(sql))
        throw error(query, sql);
}

QString Connection::createSqliteFile(const QString& path) {
    const QString file = QFileInfo(path).absoluteFilePath();
    if (QFileInfo::exists(file))
        throw ConfigError(QStringLiteral("O banco de dados %1 já existe.").arg(file));
    const QString name = uniqueName(QStringLiteral("sqlite-create"));
    bool created = false;
    QSqlError failure;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(file);
        if (db.open()) {
            // the first write makes the file; the log mode stays with it for every later session
            QSqlQuery wal(db);
            created = wal.exec(QStringLiteral("PRAGMA journal_mode=WAL")) && wal.next() &&
                      wal.value(0).toString() == QLatin1String("wal");
            failure = wal.lastError();
        } else {
            failure = db.lastError();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    if (!created) {
        const QString text = failure.databaseText().isEmpty() ? failure.driverText() : failure.databaseText();
        throw DatabaseError(QStringLiteral("Não foi possível criar o banco de dados %1: %2").arg(file, text),
                            text, failure.nativeErrorCode());
    }
    return QStringLiteral("sqlite:") + file;
}

void Connection::runControl(const QString& sql, const char* what) {
    QSqlQuery query(database());
    countRoundTrip();
    if (!query.exec(sql))
        throw error(query, QString::fromUtf8(what));
}

void Connection::refuseNestedTransaction() const {
    if (inTransaction_)
        throw DatabaseError(QStringLiteral("Já há uma transação aberta nesta conexão."), {}, {});
}

void Connection::beginTransaction() {
    refuseNestedTransaction();
    commitUnanswered_ = false;
    serverTransaction_.reset();
    if (dialect() == Dialect::SQLite) {
        releaseReaders();
        runControl(QStringLiteral("BEGIN IMMEDIATE"), "iniciar transação");
    } else {
        QSqlDatabase db = database();
        countRoundTrip();
        if (!db.transaction())
            throw sessionError(db, QStringLiteral("iniciar transação"));
    }
    inTransaction_ = true;
}

void Connection::releaseReaders() {
    // A query still open holds a read snapshot; a writer on an old snapshot is refused at once instead
    // of waiting its turn, so every query lets go of its rows first.
    if (open_ && dialect_ == Dialect::SQLite)
        for (Statement* statement : statements_)
            statement->close();
}

void Connection::closeQueries() {
    for (Statement* statement : statements_)
        statement->close();
}

void Connection::commit() {
    if (!inTransaction_)
        return;
    if (dialect() == Dialect::SQLite) {
        runControl(QStringLiteral("COMMIT"), "confirmar transação");
    } else {
        QSqlDatabase db = database();
        countRoundTrip();
        noteCommitSent();
        if (!db.commit()) {
            const DatabaseError failure = sessionError(db, QStringLiteral("confirmar transação"));
            // the server refused it: the transaction is over, and nothing of it stays
            if (!isNoAnswer(failure))
                noteCommitAnswered();
            throw failure;
        }
        noteCommitAnswered();
    }
    inTransaction_ = false;
}

void Connection::rollback() {
    if (!inTransaction_)
        return;
    // Whatever happens, the transaction is over for us: the server drops it with a lost connection.
    inTransaction_ = false;
    if (dialect() == Dialect::SQLite) {
        runControl(QStringLiteral("ROLLBACK"), "desfazer transação");
    } else {
        QSqlDatabase db = database();
        countRoundTrip();
        if (!db.rollback())
            throw sessionError(db, QStringLiteral("desfazer transação"));
    }
}

DatabaseError Connection::error(const QSqlError& e, const QString& what) const {
    const QString dbText = e.databaseText().trimmed();
    const QString drvText = e.driverText().trimmed();
    QString text = dbText.isEmpty() ? drvText : dbText;
    if (text.isEmpty())
        text = QStringLiteral("erro desconhecido");
    QString code = e.nativeErrorCode();
    // libpq says a session broke in words only, and not always the same ones
    if (code.isEmpty() && sessionLost())
        code = QStringLiteral("08006");
    return DatabaseError(QStringLiteral("Erro do banco de dados ao %1: %2").arg(what, text), text, code,
                         what);
}

DatabaseError Connection::error(const QSqlQuery& query, const QString& what) const {
    DatabaseError failure = error(query.lastError(), what);
    const QString state = viaOdbc() && query.result() != nullptr
                              ? odbcSqlState(query.result()->handle(), OdbcHandle::Statement)
                              : QString();
    if (state.isEmpty())
        return failure;
    return DatabaseError(QString::fromUtf8(failure.what()), failure.databaseText(), state, what);
}

DatabaseError Connection::sessionError(const QSqlDatabase& db, const QString& what) const {
    DatabaseError failure = error(db.lastError(), what);
    const QString state = viaOdbc() && db.driver() != nullptr
                              ? odbcSqlState(db.driver()->handle(), OdbcHandle::Session)
                              : QString();
    if (state.isEmpty())
        return failure;
    return DatabaseError(QString::fromUtf8(failure.what()), failure.databaseText(), state, what);
}

} // namespace platform::db

namespace platform::db {

Statement& Connection::cachedStatement(const StatementDef& def) {
    auto& slot = cache_[def.name];
    if (!slot)
        slot = std::make_unique<Statement>(*this, def);
    return *slot;
}

} // namespace platform::db
