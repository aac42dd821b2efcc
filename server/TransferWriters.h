#pragma once

#include "TransferPlan.h"
#include "TransferRecords.h"
#include "TrdmTrPosicao.h"
#include "platform/db/Transaction.h"

namespace Srv_Mvt04215 {

// Both writers write the same rows for a checked request, inside the transaction its reading began,
// and end by committing it through `transaction`.

// One statement per row written, as the suite's catalogue has them: the writer of the databases whose
// texts are the suite's own (Oracle, SQL Server).
void writeStatementByStatement(TrdmTrPosicao& dm, platform::db::Transaction& transaction,
                               const TransferRequestRecords& request, const TransferPlan& plan);

// One statement per kind of row for every moved item at once, the per-item values bound as one JSON
// parameter, and the commit of `transaction`, all in one batch: one wait for the server on PostgreSQL.
void writeSetBased(TrdmTrPosicao& dm, platform::db::Transaction& transaction,
                   const TransferRequestRecords& request, const TransferPlan& plan);

} // namespace Srv_Mvt04215
