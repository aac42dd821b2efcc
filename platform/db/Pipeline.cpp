#include "Pipeline.h"

#include "SqlText.h"
#include "Statement.h"
#include "platform/Errors.h"

#include <QLocale>
#include <QSqlDriver>
#include <QSqlError>
#include <libpq-fe.h>
#include <memory>
#include <optional>
#include <poll.h>
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
        throw DatabaseError(QStringLiteral("A conexão com o banco de dados não está aberta."), {}, {});
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

// Sends what libpq still holds, reading meanwhile so that a server busy writing answers never waits for
// a client busy writing statements.
void flush(Connection& connection, PGconn* session) {
    for (;;) {
        const int pending = PQflush(session);
        if (pending == 0)
            return;
        if (pending < 0)
            throw sessionError(connection, session, QStringLiteral("enviar comandos"));
        pollfd fd{PQsocket(session), POLLIN | POLLOUT, 0};
        if (poll(&fd, 1, -1) < 0)
            throw sessionError(connection, session, QStringLiteral("enviar comandos"));
        if ((fd.revents & POLLIN) && !PQconsumeInput(session))
            throw sessionError(connection, session, QStringLiteral("enviar comandos"));
    }
}

} // namespace

void runPipeline(Connection& connection, const QList<Batch::Step>& steps, QList<BatchResult>& results) {
    // A forward-only query that Qt finished early leaves its unread rows in the session; nothing reads
    // them any more, and the session must be idle to enter pipeline mode.
    connection.closeQueries();
    PGconn* session = sessionOf(connection);
    while (PGresult* r = PQgetResult(session))
        PQclear(r);

    // the texts and values stay alive until everything is sent
    std::vector<QByteArray> texts;
    std::vector<std::vector<std::optional<QByteArray>>> values;
    texts.reserve(steps.size());
    values.reserve(steps.size());
    for (const Batch::Step& step : steps) {
        std::vector<std::optional<QByteArray>> stepValues;
        switch (step.kind) {
        case Batch::Step::Kind::Begin:
            texts.push_back("BEGIN");
            break;
        case Batch::Step::Kind::Commit:
            texts.push_back("COMMIT");
            break;
        case Batch::Step::Kind::Run: {
            const PositionalSql sql = toNumbered(step.statement->currentText());
            for (const QString& name : sql.names) {
                const qsizetype at = step.names.indexOf(name);
                if (at < 0)
                    throw ConfigError(QStringLiteral("O parâmetro %1 de %2 não foi declarado.")
                                          .arg(name, step.statement->name()));
                stepValues.push_back(parameterText(step.values[at]));
            }
            texts.push_back(sql.text.toUtf8());
            break;
        }
        }
        values.push_back(std::move(stepValues));
    }

    if (PQenterPipelineMode(session) != 1)
        throw sessionError(connection, session, QStringLiteral("iniciar o envio em lote"));
    // declared first so that it looks at the session after pipeline mode is left
    const TransactionState transaction(connection, session);
    PipelineMode mode(session);
    PQsetnonblocking(session, 1);
    for (std::size_t i = 0; i < texts.size(); ++i) {
        std::vector<const char*> params;
        for (const auto& v : values[i])
            params.push_back(v ? v->constData() : nullptr);
        if (PQsendQueryParams(session, texts[i].constData(), int(params.size()), nullptr, params.data(),
                              nullptr, nullptr, 0) != 1)
            throw sessionError(connection, session, QStringLiteral("enviar comandos"));
    }
    if (PQpipelineSync(session) != 1)
        throw sessionError(connection, session, QStringLiteral("enviar comandos"));
    mode.synced();
    flush(connection, session);
    PQsetnonblocking(session, 0);
    connection.countRoundTrip();

    std::optional<DatabaseError> refused;
    for (qsizetype i = 0; i < steps.size(); ++i) {
        const Batch::Step& step = steps[i];
        const QString name = step.kind == Batch::Step::Kind::Run     ? step.statement->name()
                             : step.kind == Batch::Step::Kind::Begin ? QStringLiteral("iniciar transação")
                                                                     : QStringLiteral("confirmar transação");
        const Answer answer(PQgetResult(session));
        PGresult* r = answer.get();
        if (!r)
            throw sessionError(connection, session, QStringLiteral("executar %1").arg(name));
        switch (PQresultStatus(r)) {
        case PGRES_TUPLES_OK:
            results[i].rows = packetOf(r, step.statement->def());
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
        PQclear(PQgetResult(session));
    }
    const Answer sync(PQgetResult(session));
    const bool synced = sync && PQresultStatus(sync.get()) == PGRES_PIPELINE_SYNC;
    if (synced)
        PQexitPipelineMode(session);
    if (refused)
        throw *refused;
    if (!synced)
        throw sessionError(connection, session, QStringLiteral("concluir o envio em lote"));
}

} // namespace platform::db
