#pragma once

#include "TransferPlan.h"
#include "TransferRecords.h"
#include "TrdmTrPosicao.h"

namespace Srv_Mvt04215 {

// The records that hang off a moved item, copied or recorded for one record of a request once its new
// item row exists, statement by statement. Statement errors propagate to the transfer.
class DependentRecords {
public:
    DependentRecords(TrdmTrPosicao& dm, const TransferDestination& to, const TransferRecord& record,
                     const PlannedMove& move)
        : dm_(dm), to_(to), record_(record), move_(move), newItem_(move.newItem) {}

    // The origin item's observations, copied to the new item.
    void copyObservations();
    // The origin item's components with their discounts, and the observations of its components, each
    // once: they are kept by item and product, so two components of one product share them.
    void copyComponents();
    // Writes, or rewrites, the tracking row of the origin item's key.
    void recordMove();

private:
    TrdmTrPosicao& dm_;
    const TransferDestination& to_;
    const TransferRecord& record_;
    const PlannedMove& move_;
    QString newItem_;
};

} // namespace Srv_Mvt04215
