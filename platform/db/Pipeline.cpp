#include "Pipeline.h"

#include "SqlText.h"
#include "Statement.h"
#include "platform/Errors.h"

#include <QLocale>
#include <QSqlDriver>
#include <QSqlError>
#include <cerrno>
#include <chrono>
#include <libpq-fe.h>
#include <memory>
#include <optional>
#include <poll.h>
#include <sys/socket.h>
#include <vector>

namespace platform::db {
namespace {

// One answer of the server, freed however the reading ends.
struct FreeAnswer {
    void operator()(PGresult* r) const { PQclear(r); }
};
using Answer = std::unique_ptr<PGresult, FreeAnswer>;

// Type numbers of the built-in types whose values are not read as text.
constexpr Oid BoolOid = 16, Int8Oid = 20, Int2Oid = 21, Int4Oid = 23, OidOid = 26, Float4Oid = 700,
              Float8Oid = 701, NumericOid = 1700, DateOid = 1082, TimestampOid = 1114, TimestampTzOid = 1184;

PGconn* sessionOf(Connection& connection) {
    const QVariant handle = connection.database().driver()->handle();
    // Qt names the type after libpq's typedef or after the struct behind it, depending on its version
    if (!handle.isValid() ||
        (qstrcmp(handle.typeName(), "PGconn*") != 0 && qstrcmp(handle.typeName(), "pg_conn*") != 0))
        throw ConfigError(QStringLiteral("A conexão não dá acesso à sessão do PostgreSQL."));
    PGconn* session = *static_cast<PGconn* const*>(handle.constData());
    if (!session || PQstatus(session) != CONNECTION_OK)
        throw DatabaseError(QStringLiteral("A conexão com o banco de dados foi perdida."),
                            QStringLiteral("connection lost"), QStringLiteral("08006"));
    return session;
}

DatabaseError sessionError(Connection& connection, PGconn* session, const QString& what) {
    const QString text = QString::fromUtf8(PQerrorMessage(session));
    return connection.error(QSqlError(text, text, QSqlError::ConnectionError), what);
}

// A value as the text PostgreSQL reads for its parameter; empty for NULL. Date-times carry their
// offset, as Qt's own driver sends them, so that the session's zone reads them the same way.
std::optional<QByteArray> parameterText(const QVariant& v) {
    if (!v.isValid() || v.isNull())
        return std::nullopt;
    switch (v.typeId()) {
    case QMetaType::QString: {
        const QString s = v.toString();
        if (s.isNull())
            return std::nullopt;
        return s.toUtf8();
    }
    case QMetaType::Double:
    case QMetaType::Float:
        return QString::number(v.toDouble(), 'g', QLocale::FloatingPointShortest).toLatin1();
    case QMetaType::Bool:
        return QByteArray(v.toBool() ? "true" : "false");
    case QMetaType::QDateTime: {
        const QDateTime dt = v.toDateTime();
        if (!dt.isValid())
            return std::nullopt;
        return dt.toOffsetFromUtc(dt.offsetFromUtc()).toString(Qt::ISODateWithMs).toLatin1();
    }
    case QMetaType::QDate: {
        const QDate d = v.toDate();
        if (!d.isValid())
            return std::nullopt;
        return d.toString(Qt::ISODate).toLatin1();
    }
    case QMetaType::QByteArray:
        return v.toByteArray();
    default:
        return v.toString().toUtf8();
    }
}

FieldType fieldTypeOf(Oid type, bool decimalsAsFloat) {
    switch (type) {
    case Float4Oid:
    case Float8Oid:
    case NumericOid:
        return FieldType::Float;
    case Int2Oid:
    case Int4Oid:
    case Int8Oid:
    case OidOid:
        return decimalsAsFloat ? FieldType::Float : FieldType::Integer;
    case BoolOid:
        return FieldType::Boolean;
    case DateOid:
    case TimestampOid:
    case TimestampTzOid:
        return FieldType::DateTime;
    default:
        return FieldType::String;
    }
}

QVariant valueOf(const PGresult* r, int row, int col) {
    if (PQgetisnull(r, row, col))
        return {};
    const QByteArray text = QByteArray::fromRawData(PQgetvalue(r, row, col), PQgetlength(r, row, col));
    switch (PQftype(r, col)) {
    case Float4Oid:
    case Float8Oid:
    case NumericOid:
        return text.toDouble();
    case Int2Oid:
    case Int4Oid:
    case Int8Oid:
    case OidOid:
        return text.toLongLong();
    case BoolOid:
        return text.startsWith('t');
    case DateOid:
        return QDate::fromString(QString::fromLatin1(text), Qt::ISODate);
    case TimestampOid:
    case TimestampTzOid: {
        QString s = QString::fromLatin1(text);
        // an offset of whole hours comes as "-03"; Qt reads offsets with their minutes
        if (s.size() > 3 && (s[s.size() - 3] == u'+' || s[s.size() - 3] == u'-'))
            s += QStringLiteral(":00");
        return dateTimeFromText(s);
    }
    default:
        return QString::fromUtf8(text);
    }
}

// A query's answer as a packet: through the statement's typed result fields when it declares them.
DataPacket packetOf(const PGresult* r, const StatementDef& def) {
    DataPacket packet;
    QList<int> columns;
    const int count = PQnfields(r);
    if (def.resultFields.isEmpty()) {
        for (int col = 0; col < count; ++col) {
            packet.fields.append({QString::fromUtf8(PQfname(r, col)).toUpper(),
                                  fieldTypeOf(PQftype(r, col), def.decimalsAsFloat), 0});
            columns.append(col);
        }
    } else {
        for (const FieldDef& f : def.resultFields) {
            const int col = PQfnumber(r, f.name.toUtf8().constData());
            if (col < 0)
                throw ConfigError(
                    QStringLiteral("O campo %1 não está no resultado de %2.").arg(f.name, def.name));
            packet.fields.append(f);
            columns.append(col);
        }
    }
    const int rows = PQntuples(r);
    packet.rows.reserve(rows);
    for (int row = 0; row < rows; ++row) {
        Record record(columns.size());
        for (int i = 0; i < columns.size(); ++i)
            record[i] = coerceToField(packet.fields[i], valueOf(r, row, columns[i]));
        packet.rows.append(std::move(record));
    }
    return packet;
}

// Leaves pipeline mode however the exchange ended: the server is told to answer what it has, every
// answer is read and dropped, and the session is back to what Qt expects.
class PipelineMode {
public:
    explicit PipelineMode(PGconn* session) : session_(session) {}
    ~PipelineMode() {
        if (PQpipelineStatus(session_) == PQ_PIPELINE_OFF)
            return;
        PQsetnonblocking(session_, 0);
        if (!synced_)
            PQpipelineSync(session_);
        // every answer up to the sync; a lost session answers nothing, and a bounded number of empty
        // reads ends the wait
        for (int empty = 0; empty < 1000 && PQstatus(session_) == CONNECTION_OK;) {
            PGresult* r = PQgetResult(session_);
            if (!r) {
                ++empty;
                continue;
            }
            const bool sync = PQresultStatus(r) == PGRES_PIPELINE_SYNC;
            PQclear(r);
            if (sync)
                break;
        }
        PQexitPipelineMode(session_);
    }
    PipelineMode(const PipelineMode&) = delete;
    PipelineMode& operator=(const PipelineMode&) = delete;
    void synced() { synced_ = true; }

private:
    PGconn* session_;
    bool synced_ = false;
};

// Tells the connection, however the exchange ended, whether the session is inside a transaction now:
// one the batch began, or one a failure left for the caller to roll back.
class TransactionState {
public:
    TransactionState(Connection& connection, PGconn* session) : connection_(connection), session_(session) {}
    ~TransactionState() {
        const PGTransactionStatusType state = PQtransactionStatus(session_);
        connection_.noteTransaction(state == PQTRANS_INTRANS || state == PQTRANS_INERROR);
    }
    TransactionState(const TransactionState&) = delete;
    TransactionState& operator=(const TransactionState&) = delete;

private:
    Connection& connection_;
    PGconn* session_;
};

// The one bound on every wait of a pipeline: a path that stays open but passes nothing (a stuck
// middlebox answers keepalives) would otherwise hold the till for ever.
class Deadline {
public:
    Deadline(Connection& connection, PGconn* session)
        : connection_(connection), session_(session),
          end_(std::chrono::steady_clock::now() + connection.bounds().pipelineTimeout) {}

    // Waits until the session's socket is ready for `events`; past the deadline the session is dropped
    // (the socket shut, so that libpq and Qt see it broken) and the wait fails as one that got no answer.
    short wait(short events) const {
        for (;;) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                end_ - std::chrono::steady_clock::now());
            if (left.count() <= 0) {
                connection_.noteDropped(PQbackendPID(session_));
                ::shutdown(PQsocket(session_), SHUT_RDWR);
                const auto bound = std::chrono::duration_cast<std::chrono::milliseconds>(
                    connection_.bounds().pipelineTimeout);
                throw DatabaseError(
                    QStringLiteral("O banco de dados não respondeu em %1 s; a conexão foi encerrada.")
                        .arg(QString::number(double(bound.count()) / 1000, 'g', 6)),
                    QStringLiteral("pipeline timeout"), QStringLiteral("08006"));
            }
            pollfd fd{PQsocket(session_), events, 0};
            const int ready = poll(&fd, 1, int(std::min<qint64>(left.count(), 1000)));
            if (ready < 0 && errno != EINTR)
                throw sessionError(connection_, session_, QStringLiteral("aguardar o banco de dados"));
            if (ready > 0)
                return fd.revents;
        }
    }

private:
    Connection& connection_;
    PGconn* session_;
    std::chrono::steady_clock::time_point end_;
};

// Sends what libpq still holds, reading meanwhile so that a server busy writing answers never waits for
// a client busy writing statements.
void flush(Connection& connection, PGconn* session, const Deadline& deadline) {
    for (;;) {
        const int pending = PQflush(session);
        if (pending == 0)
            return;
        if (pending < 0)
            throw sessionError(connection, session, QStringLiteral("enviar comandos"));
        const short seen = deadline.wait(POLLIN | POLLOUT);
        if ((seen & POLLIN) && !PQconsumeInput(session))
            throw sessionError(connection, session, QStringLiteral("enviar comandos"));
    }
}

// The next answer of the pipeline, waited for within the deadline; null when the session has no more.
PGresult* nextAnswer(Connection& connection, PGconn* session, const Deadline& deadline) {
    while (PQisBusy(session)) {
        deadline.wait(POLLIN);
        if (!PQconsumeInput(session))
            throw sessionError(connection, session, QStringLiteral("receber respostas"));
    }
    return PQgetResult(session);
}

// What goes to the server for one step: its text and values, and whether it is the question that
// follows a begin: the transaction's number and the session's server process.
struct Sent {
    qsizetype step;
    QByteArray text;
    std::vector<std::optional<QByteArray>> values;
    bool asksServerTransaction = false;
};

} // namespace

void runPipeline(Connection& connection, const QList<Batch::Step>& steps, QList<BatchResult>& results) {
    // A forward-only query that Qt finished early leaves its unread rows in the session; nothing reads
    // them any more, and the session must be idle to enter pipeline mode.
    connection.closeQueries();
    PGconn* session = sessionOf(connection);
    while (PGresult* r = PQgetResult(session))
        PQclear(r);

    // the texts and values stay alive until everything is sent
    std::vector<Sent> sent;
    sent.reserve(std::size_t(steps.size()) + 1);
    for (qsizetype i = 0; i < steps.size(); ++i) {
        const Batch::Step& step = steps[i];
        switch (step.kind) {
        case Batch::Step::Kind::Begin:
            connection.noteServerTransaction(std::nullopt);
            connection.noteCommitAnswered();
            sent.push_back({i, "BEGIN", {}});
            // Asked inside the transaction and answered with the reading, before any commit is sent:
            // should the connection fail after the commit went out, another session can still tell
            // what became of it.
            sent.push_back({i, "SELECT txid_current(), pg_backend_pid()", {}, true});
            break;
        case Batch::Step::Kind::Commit:
            sent.push_back({i, "COMMIT", {}});
            break;
        case Batch::Step::Kind::Run: {
            const PositionalSql sql = toNumbered(step.statement->currentText());
            std::vector<std::optional<QByteArray>> stepValues;
            for (const QString& name : sql.names) {
                const qsizetype at = step.names.indexOf(name);
                if (at < 0)
                    throw ConfigError(QStringLiteral("O parâmetro %1 de %2 não foi declarado.")
                                          .arg(name, step.statement->name()));
                stepValues.push_back(parameterText(step.values[at]));
            }
            sent.push_back({i, sql.text.toUtf8(), std::move(stepValues)});
            break;
        }
        }
    }

    if (PQenterPipelineMode(session) != 1)
        throw sessionError(connection, session, QStringLiteral("iniciar o envio em lote"));
    // declared first so that it looks at the session after pipeline mode is left
    const TransactionState transaction(connection, session);
    PipelineMode mode(session);
    const Deadline deadline(connection, session);
    PQsetnonblocking(session, 1);
    for (const Sent& s : sent) {
        std::vector<const char*> params;
        for (const auto& v : s.values)
            params.push_back(v ? v->constData() : nullptr);
        // from here on the commit may reach the server, whatever happens to its answer
        if (steps[s.step].kind == Batch::Step::Kind::Commit)
            connection.noteCommitSent();
        if (PQsendQueryParams(session, s.text.constData(), int(params.size()), nullptr, params.data(),
                              nullptr, nullptr, 0) != 1)
            throw sessionError(connection, session, QStringLiteral("enviar comandos"));
    }
    if (PQpipelineSync(session) != 1)
        throw sessionError(connection, session, QStringLiteral("enviar comandos"));
    mode.synced();
    flush(connection, session, deadline);
    connection.countRoundTrip();

    std::optional<DatabaseError> refused;
    for (const Sent& s : sent) {
        const Batch::Step& step = steps[s.step];
        const qsizetype i = s.step;
        const QString name = step.kind == Batch::Step::Kind::Run     ? step.statement->name()
                             : step.kind == Batch::Step::Kind::Begin ? QStringLiteral("iniciar transação")
                                                                     : QStringLiteral("confirmar transação");
        const Answer answer(nextAnswer(connection, session, deadline));
        PGresult* r = answer.get();
        if (!r)
            throw sessionError(connection, session, QStringLiteral("executar %1").arg(name));
        // Whatever it says, an answer of the server's to the commit ends the transaction one way or the
        // other. With the session gone libpq makes up a failure of its own for every statement left:
        // that is no answer.
        if (step.kind == Batch::Step::Kind::Commit &&
            (PQstatus(session) == CONNECTION_OK || PQresultStatus(r) == PGRES_COMMAND_OK))
            connection.noteCommitAnswered();
        switch (PQresultStatus(r)) {
        case PGRES_TUPLES_OK:
            if (s.asksServerTransaction) {
                if (PQntuples(r) == 1)
                    connection.noteServerTransaction(
                        Connection::ServerTransaction{QByteArray(PQgetvalue(r, 0, 0)).toLongLong(),
                                                      QByteArray(PQgetvalue(r, 0, 1)).toLongLong()});
            } else {
                results[i].rows = packetOf(r, step.statement->def());
            }
            break;
        case PGRES_COMMAND_OK:
            results[i].rowsAffected = QByteArray(PQcmdTuples(r)).toInt();
            // a transaction that failed earlier ends in a rollback, however it is ended
            if (step.kind == Batch::Step::Kind::Commit && qstrcmp(PQcmdStatus(r), "COMMIT") != 0 && !refused)
                refused = DatabaseError(
                    QStringLiteral("Erro do banco de dados ao %1: a transação foi desfeita.").arg(name),
                    QStringLiteral("a transação foi desfeita"), QStringLiteral("25P02"), name);
            break;
        case PGRES_PIPELINE_ABORTED:
            break;
        default:
            if (!refused) {
                const QString text = QString::fromUtf8(PQresultErrorMessage(r));
                const QString code = QString::fromLatin1(PQresultErrorField(r, PG_DIAG_SQLSTATE));
                refused = connection.error(
                    QSqlError(text, text, QSqlError::StatementError, code),
                    step.kind == Batch::Step::Kind::Run ? QStringLiteral("executar %1").arg(name) : name);
            }
            break;
        }
        // each statement's answer ends with an empty one
        PQclear(nextAnswer(connection, session, deadline));
    }
    // Every statement was answered: a sync whose answer was lost with the session, or never came, takes
    // nothing back, and the next use of the session finds it gone.
    bool synced = false;
    try {
        const Answer sync(nextAnswer(connection, session, deadline));
        synced = sync && PQresultStatus(sync.get()) == PGRES_PIPELINE_SYNC;
    } catch (const DatabaseError&) {
        synced = false;
    }
    PQsetnonblocking(session, 0);
    if (synced)
        PQexitPipelineMode(session);
    if (refused)
        throw *refused;
}

} // namespace platform::db
