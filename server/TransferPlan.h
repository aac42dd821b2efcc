#pragma once

#include "TransferReading.h"
#include "TransferRecords.h"

#include <QMap>

namespace Srv_Mvt04215 {

// What one record writes, decided before anything is written, the same for every writer.
struct PlannedMove {
    QString newItem;       // the item number at the destination
    bool whole = false;    // the record takes what is left: the origin item and its components go
    double remaining = 0;  // what the origin item holds after this record, when it moves a part
    bool lastPart = false; // the last part of an item that stays at the origin: `remaining` is final
    bool tracks = false;   // the origin item's tracking row points at this record's new item
    QVariant sequence;     // a whole move's renumbered group (empty when it has none); null for a part
    QString originSale;    // the sale of the origin item, key of its tracking row
    QString originTable;   // the table of that sale
    CopiedValues values;   // the origin item's columns as read under the locks
    double surcharge = 0;  // what leaves the origin tab's surcharge total for the destination's
};

struct TransferPlan {
    QList<PlannedMove> moves; // one per record, in the request's order
    QMap<QString, double> surchargeByOriginTab;
};

// Consecutive item numbers from the first free one, in the request's order. Each origin group (tab and
// sequence) of a whole move gets the next sequence after the destination's highest, in the order the
// groups first appear. The records of one item split it in turn; the last one may take the rest. A part
// takes its share of the item's surcharge from its origin tab, the record that takes the rest whatever
// the item's parts left of it.
TransferPlan planTransfer(const TransferRequestRecords& request, const LockedRead& read);

} // namespace Srv_Mvt04215
