#pragma once

#include "TransferRecords.h"
#include "TrdmTrPosicao.h"

namespace Srv_Mvt04215 {

// The records that hang off a moved item, copied or recorded for one record of a request once its new
// item row exists, statement by statement. Statement errors propagate to the transfer.
class DependentRecords {
public:
    DependentRecords(TrdmTrPosicao& dm, const TransferDestination& to, const TransferRecord& record,
                     const QString& newItem)
        : dm_(dm), to_(to), record_(record), newItem_(newItem) {}

    // The origin item's observations, copied to the new item.
    void copyObservations();
    // The origin item's components, each with only its own observations.
    void copyComponents();
    // Writes, or rewrites, the tracking row of the origin item's key.
    void recordMove(const QString& originSale);

private:
    TrdmTrPosicao& dm_;
    const TransferDestination& to_;
    const TransferRecord& record_;
    QString newItem_;
};

} // namespace Srv_Mvt04215
