// The transfer service: moves the items of one request from their origin tabs to the destination tab,
// whole or split, with everything that hangs off them, in one transaction. It reads once under the
// locks, checks every record against what it read, then writes in as few round trips as the database
// allows.

#include "MethodCall.h"
#include "Srv_Mvt04215.h"
#include "TransferCheck.h"
#include "TransferMessages.h"
#include "TransferOutcome.h"
#include "TransferPlan.h"
#include "TransferReading.h"
#include "TransferRecords.h"
#include "TransferWriters.h"
#include "platform/db/Failures.h"
#include "platform/db/Transaction.h"

namespace Srv_Mvt04215 {
namespace {

using platform::db::Transaction;

// A deadlock, a serialisation failure or a key clash against another writer is retried this often.
constexpr int Attempts = 3;

bool isRetryable(const platform::DatabaseError& e) {
    static const QStringList codes = {QStringLiteral("40P01"), QStringLiteral("40001"),
                                      QStringLiteral("23505")};
    return codes.contains(e.nativeCode());
}

bool writesSetBased(TrdmTrPosicao& dm) {
    // ODBC is the road of SQL Server and Oracle: it takes their writer whatever database it reaches
    if (dm.transferWriter == TrdmTrPosicao::TransferWriter::StatementByStatement || dm.adcTrPosicao.viaOdbc())
        return false;
    const platform::db::Dialect dialect = dm.adcTrPosicao.dialect();
    return dialect == platform::db::Dialect::SQLite || dialect == platform::db::Dialect::PostgreSQL;
}

void transfer(TrdmTrPosicao& dm, Transaction& transaction, const TransferRequestRecords& request,
              CommitWatch& watch) {
    const LockedRead read = readUnderLock(dm, transaction, request);
    checkRecords(request, read);
    const TransferPlan plan = planTransfer(request, read);
    watch.planned(request, plan);
    if (writesSetBased(dm))
        writeSetBased(dm, transaction, request, plan);
    else
        writeStatementByStatement(dm, transaction, request, plan);
}

} // namespace

QVariant setTransferencia(const QVariant& request) {
    const MethodCall call(rdmTrPosicao);
    TrdmTrPosicao& dm = call.dataModule();
    const QByteArray packet =
        request.metaType().id() == QMetaType::QString ? request.toString().toUtf8() : request.toByteArray();
    // A request that cannot be read leaves as an exception, before any transaction.
    dm.cdsTransferencia.loadPacket(packet, QStringLiteral("setTransferencia"));
    QStringList tables;
    CommitWatch watch(dm);
    for (int attempt = 1;; ++attempt) {
        try {
            // the reading begins it in the same wait as its locks; any failure rolls it back
            Transaction transaction(dm.adcTrPosicao, Transaction::Start::WithBatch);
            const TransferRequestRecords records = readRequest(dm.cdsTransferencia);
            tables = records.tables();
            transfer(dm, transaction, records, watch);
            return QVariant();
        } catch (const std::exception& e) {
            // the connection failed after the commit went out, or was dropped holding the locks: what
            // happened is found out and settled, then told
            if (watch.unsettled())
                return watch.tell(call, e);
            const auto* dbError = dynamic_cast<const platform::DatabaseError*>(&e);
            if (dbError && attempt < Attempts && isRetryable(*dbError))
                continue;
            // another terminal held the tabs longer than a lock wait lasts: nothing to retry at once
            if (dbError && platform::db::isLockTimeout(*dbError))
                return platform::db::tableBusyText(tables);
            return call.failed(e);
        }
    }
}

} // namespace Srv_Mvt04215
