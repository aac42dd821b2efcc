#pragma once

#include "TransferReading.h"
#include "TransferRecords.h"

#include <QMap>

namespace Srv_Mvt04215 {

// What one record writes, decided before anything is written, the same for every writer.
struct PlannedMove {
    QString newItem;    // the item number at the destination
    bool whole = false; // the moved quantity is exactly what the record says the origin holds
    double remaining = 0;
    QVariant sequence;  // a whole move's renumbered group (empty when it has none); null for a split
    QString originSale; // the sale of the origin item, key of its tracking row
};

struct TransferPlan {
    QList<PlannedMove> moves; // one per record, in the request's order
    QMap<QString, double> surchargeByOriginTab;
};

// Consecutive item numbers from the first free one, whole or split; each origin group (tab and
// sequence) of a whole move gets the next sequence after the destination's highest, in the order the
// groups first appear; each moved item's surcharge leaves its own origin tab.
TransferPlan planTransfer(const TransferRequestRecords& request, const LockedRead& read);

} // namespace Srv_Mvt04215
