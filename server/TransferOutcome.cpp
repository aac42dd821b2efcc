#include "TransferOutcome.h"

#include "StatementCatalogue.h"
#include "platform/Session.h"
#include "platform/db/Batch.h"
#include "platform/db/ConnectionString.h"
#include "platform/db/Transaction.h"

#include <QThread>
#include <chrono>

namespace Srv_Mvt04215 {
namespace {

using platform::db::Connection;
using platform::db::ParamDecl;
using platform::db::StatementDef;
using platform::db::StatementKind;
using Clock = std::chrono::steady_clock;

// Between two tries while a new connection is refused or the lost session still holds its transaction.
constexpr std::chrono::milliseconds Pause{250};

// A new connection to the transfer's database, its session set up as the data module sets up its own.
void openAsTheModule(Connection& c, const QString& connectionString) {
    c.setConnectionString(connectionString);
    c.afterConnect = [](Connection& session) {
        platform::SetADODBSession(session);
    };
    c.open();
}

StatementDef query(const char* name, const char* sql, QList<ParamDecl> params) {
    return {.name = QString::fromLatin1(name),
            .kind = StatementKind::Query,
            .sql = QString::fromLatin1(sql),
            .params = std::move(params),
            .readOnly = true};
}

// The server's word on a transaction, and the end of the session of ours that still holds it: that
// session lost its client, and nothing it could still do would reach the operator.
const StatementDef& transactionStatus() {
    static const StatementDef def =
        query("adqSituacaoTransacao",
              "SELECT S.SITUACAO,\n"
              "       CASE WHEN S.SITUACAO = 'in progress'\n"
              "            THEN pg_terminate_backend(CAST(:P_PROCESSO AS INTEGER)) END AS ENCERRADA\n"
              "  FROM (SELECT CAST(txid_status(CAST(:P_TRANSACAO AS BIGINT)) AS VARCHAR(20)) AS SITUACAO) S",
              {{QStringLiteral("P_PROCESSO")}, {QStringLiteral("P_TRANSACAO")}});
    return def;
}

// Where the move record of an origin item points now.
const StatementDef& trackingRow() {
    static const StatementDef def = query("adqRastroTransferencia",
                                          "SELECT NRVENDAREST, NRCOMANDA, NRPRODCOMVEN\n"
                                          "  FROM PEDIDOALT\n"
                                          " WHERE CDFILIALOLD     = :P_CDFILIAL\n"
                                          "   AND NRCOMANDAOLD    = :P_NRCOMANDA\n"
                                          "   AND NRPRODCOMVENOLD = :P_NRPRODCOMVEN",
                                          {{QStringLiteral("P_CDFILIAL")},
                                           {QStringLiteral("P_NRCOMANDA")},
                                           {QStringLiteral("P_NRPRODCOMVEN")}});
    return def;
}

// The session of ours that this side dropped, if the server still has it: the process it had, started
// no later than a second after that session was opened here. A session the server started later under
// the same process number, once ours had gone, is not ours.
const StatementDef& droppedSession() {
    static const StatementDef def =
        query("adqEncerraSessaoPerdida",
              "SELECT pg_terminate_backend(pid) AS ENCERRADA\n"
              "  FROM pg_stat_activity\n"
              " WHERE pid = CAST(:P_PROCESSO AS INTEGER)\n"
              "   AND usename = current_user\n"
              "   AND backend_start <= clock_timestamp() - CAST(:P_IDADE AS INTERVAL)",
              {{QStringLiteral("P_PROCESSO")}, {QStringLiteral("P_IDADE")}});
    return def;
}

// Empty while the lost session still holds the transaction (it is being ended).
std::optional<Outcome> askServer(Connection& c, const Connection::ServerTransaction& transaction) {
    platform::db::Batch batch(c);
    const int at = batch.add(c.cachedStatement(transactionStatus()),
                             {{"P_TRANSACAO", transaction.id}, {"P_PROCESSO", transaction.process}});
    batch.run();
    const platform::DataPacket& rows = batch.result(at).rows;
    const QString status = rows.rows.isEmpty() ? QString() : rows.rows.first().value(0).toString();
    if (status == QLatin1String("committed"))
        return Outcome::Committed;
    if (status == QLatin1String("aborted"))
        return Outcome::NotCommitted;
    if (status == QLatin1String("in progress"))
        return std::nullopt;
    // a number the server no longer keeps (or never gave)
    return Outcome::Unknown;
}

QString trimmed(const QVariant& v) {
    return v.toString().trimmed();
}

// Under the lock of the destination tab, which the lost transaction held to its end: after that wait
// the move records show what it left.
Outcome lookForTraces(Connection& c, const TransferTraces& traces) {
    platform::db::Transaction transaction(c, platform::db::Transaction::Start::WithBatch);
    platform::db::Batch batch(c);
    transaction.beginWith(batch);
    batch.add(c.cachedStatement(statementDef(QStringLiteral("adqBloqComanda"))),
              {{"P_CDFILIAL", traces.branch}, {"P_NRCOMANDA", traces.tab}});
    QList<int> rows;
    for (const auto& [tab, item] : traces.originItems)
        rows << batch.add(c.cachedStatement(trackingRow()),
                          {{"P_CDFILIAL", traces.branch}, {"P_NRCOMANDA", tab}, {"P_NRPRODCOMVEN", item}});
    batch.run();
    int found = 0;
    for (int at : std::as_const(rows)) {
        for (const platform::Record& row : batch.result(at).rows.rows) {
            if (trimmed(row.value(0)) == traces.sale && trimmed(row.value(1)) == traces.tab &&
                traces.newItems.contains(trimmed(row.value(2)))) {
                ++found;
                break;
            }
        }
    }
    if (found == rows.size())
        return Outcome::Committed;
    return found == 0 ? Outcome::NotCommitted : Outcome::Unknown;
}

} // namespace

TransferTraces tracesOf(const TransferRequestRecords& request, const TransferPlan& plan) {
    TransferTraces traces{request.destination.branch.trimmed(),
                          request.destination.sale.trimmed(),
                          request.destination.tab.trimmed(),
                          {},
                          {}};
    for (qsizetype i = 0; i < request.records.size(); ++i) {
        const std::pair<QString, QString> key{request.records[i].originTab, request.records[i].item};
        if (!traces.originItems.contains(key))
            traces.originItems.append(key);
        traces.newItems.insert(plan.moves[i].newItem.trimmed());
    }
    return traces;
}

void endDroppedSession(const QString& connectionString, const Connection::DroppedSession& dropped) {
    const auto end =
        Clock::now() + platform::db::parseConnectionString(connectionString).bounds.outcomeTimeout;
    for (;;) {
        try {
            Connection c(QStringLiteral("dropped"));
            openAsTheModule(c, connectionString);
            const auto age =
                std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - dropped.openedAt);
            platform::db::Batch batch(c);
            batch.add(c.cachedStatement(droppedSession()),
                      {{"P_PROCESSO", dropped.process},
                       {"P_IDADE",
                        QStringLiteral("%1 milliseconds").arg(std::max<qint64>(0, age.count() - 1000))}});
            batch.run();
            return;
        } catch (const std::exception&) {
            // no new connection yet: try again while the bound lasts
        }
        if (Clock::now() + Pause >= end)
            return;
        QThread::msleep(Pause.count());
    }
}

Outcome findOutcome(const QString& connectionString,
                    const std::optional<Connection::ServerTransaction>& transaction,
                    const TransferTraces& traces) {
    const auto end =
        Clock::now() + platform::db::parseConnectionString(connectionString).bounds.outcomeTimeout;
    bool askTheServer = transaction.has_value();
    for (;;) {
        try {
            Connection c(QStringLiteral("outcome"));
            openAsTheModule(c, connectionString);
            std::optional<Outcome> found;
            if (askTheServer && c.dialect() == platform::db::Dialect::PostgreSQL) {
                try {
                    found = askServer(c, *transaction);
                } catch (const platform::DatabaseError& e) {
                    // a server older than the question (undefined_function): the traces tell as well
                    if (e.nativeCode() != QLatin1String("42883"))
                        throw;
                    askTheServer = false;
                    continue;
                }
            } else {
                found = lookForTraces(c, traces);
            }
            if (found)
                return *found;
        } catch (const std::exception&) {
            // no new connection yet, it broke again, or the lost transaction's locks outlasted a lock
            // wait: try again while the bound lasts
        }
        if (Clock::now() + Pause >= end)
            return Outcome::Unknown;
        QThread::msleep(Pause.count());
    }
}

void CommitWatch::planned(const TransferRequestRecords& request, const TransferPlan& plan) {
    planned_ = true;
    destinationTable_ = request.destination.table;
    traces_ = tracesOf(request, plan);
    transaction_ = dm_.adcTrPosicao.serverTransaction();
}

bool CommitWatch::unsettled() const {
    return (planned_ && dm_.adcTrPosicao.commitUnanswered()) || dm_.adcTrPosicao.droppedSession();
}

QVariant CommitWatch::tell(const MethodCall& call, const std::exception& e) {
    const QString connectionString = dm_.adcTrPosicao.connectionString();
    if (!planned_ || !dm_.adcTrPosicao.commitUnanswered()) {
        // no commit went out: nothing of the transfer stays, once its session has let go of the locks
        endDroppedSession(connectionString, *dm_.adcTrPosicao.droppedSession());
        return call.failed(e);
    }
    switch (findOutcome(connectionString, transaction_, traces_)) {
    case Outcome::Committed:
        dm_.lastNotice = outcomeText::committedAfterDrop();
        return QVariant();
    case Outcome::NotCommitted:
        return call.failed(e);
    case Outcome::Unknown:
        break;
    }
    dm_.lastOutcomeUnknown = true;
    return call.failed(platform::Error(
        outcomeText::unknown(destinationTable_, platform::db::redactedConnectionString(connectionString))));
}

namespace outcomeText {

QString committedAfterDrop() {
    return QStringLiteral("A conexão com o banco de dados caiu depois da confirmação; uma nova conexão "
                          "conferiu que a transferência está gravada.");
}

QString unknown(const QString& destinationTable, const QString& server) {
    return QStringLiteral("A conexão com o banco de dados (%1) caiu durante a confirmação da transferência "
                          "e não foi possível saber se ela foi gravada. Confira os itens da mesa de destino "
                          "%2 antes de repetir a transferência.")
        .arg(server, destinationTable);
}

} // namespace outcomeText
} // namespace Srv_Mvt04215
