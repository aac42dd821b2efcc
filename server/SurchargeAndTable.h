#pragma once

#include "TransferPlan.h"
#include "TransferRecords.h"
#include "TrdmTrPosicao.h"

#include <functional>

namespace Srv_Mvt04215 {

// How a writer runs one statement: at once, or as a step of its batch.
using StatementRun = std::function<void(platform::db::Statement&, platform::db::NamedValues)>;

// The last step of every transfer, the same for both writers: each moved item's surcharge share leaves
// its origin tab and reaches the destination tab, and the destination table is occupied.
void writeSurchargesAndTable(TrdmTrPosicao& dm, const TransferDestination& to, const TransferPlan& plan,
                             const StatementRun& run);

} // namespace Srv_Mvt04215
