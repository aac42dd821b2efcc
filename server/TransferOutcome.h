#pragma once

#include "MethodCall.h"
#include "TransferPlan.h"
#include "TransferRecords.h"
#include "TrdmTrPosicao.h"
#include "platform/db/Connection.h"

#include <QSet>
#include <optional>

namespace Srv_Mvt04215 {

// A transfer whose connection failed after its commit went out may have committed or not: the operator
// is told which only once it is found out, on a new connection. On PostgreSQL the server is asked about
// the transaction's number, taken while it read; elsewhere the move records a committed transfer leaves
// are looked for, under the locks of its tabs, which wait for the lost session's transaction to end.
enum class Outcome { Committed, NotCommitted, Unknown };

// What a committed request leaves behind: the tracking row of each moved origin item names the
// destination sale and tab and one of the request's new item numbers.
struct TransferTraces {
    QString branch;
    QString sale;
    QString tab;
    QList<std::pair<QString, QString>> originItems; // (tab, item), each once
    QSet<QString> newItems;
};

TransferTraces tracesOf(const TransferRequestRecords& request, const TransferPlan& plan);

// Tries new connections to `connectionString` until one answers or its outcome bound (outcome_timeout)
// has passed. With the lost transaction's number, asks the server (PostgreSQL 10 or later); a session
// of ours still holding that transaction is ended first, so that the answer is final. Without it, or
// on an older server, looks for the traces.
Outcome findOutcome(const QString& connectionString,
                    const std::optional<platform::db::Connection::ServerTransaction>& transaction,
                    const TransferTraces& traces);

// Ends, on a new connection within the outcome bound, the server session of ours that this side
// dropped: a stuck path leaves the server waiting for the rest of a pipeline, holding the transfer's
// locks, and no timeout of the server's counts that wait. A session already gone is left be.
void endDroppedSession(const QString& connectionString,
                       const platform::db::Connection::DroppedSession& dropped);

// The transfer's side of it: what the transfer is about to commit, and what the operator is told after
// a failure that left it unsettled on the server.
class CommitWatch {
public:
    explicit CommitWatch(TrdmTrPosicao& dm) : dm_(dm) {}

    // Called once the request is planned, before anything is written.
    void planned(const TransferRequestRecords& request, const TransferPlan& plan);
    // The commit of the planned transfer went out and its answer never came, or the transfer's session
    // was dropped by this side and may still hold its locks.
    bool unsettled() const;
    // Settles it and returns the method's result: empty for a committed transfer (with the notice kept
    // on the data module), the failure text of `e` for one that did not commit, the text of an unknown
    // outcome otherwise (marked on the data module too).
    QVariant tell(const MethodCall& call, const std::exception& e);

private:
    TrdmTrPosicao& dm_;
    bool planned_ = false;
    QString destinationTable_;
    TransferTraces traces_;
    std::optional<platform::db::Connection::ServerTransaction> transaction_;
};

namespace outcomeText {

// The line told beside the success.
QString committedAfterDrop();
// The failure when nothing could find out; never a plain "try again".
QString unknown(const QString& destinationTable, const QString& server);

} // namespace outcomeText
} // namespace Srv_Mvt04215
