#pragma once

#include "TransferRecords.h"
#include "TrdmTrPosicao.h"
#include "platform/db/Transaction.h"

#include <QHash>
#include <utility>

namespace Srv_Mvt04215 {

// An origin item as its tab holds it under lock, with the table and store of its (open) sale.
struct OriginItem {
    QString sale;
    QString saleTable;
    QString saleStore;
    double quantity = 0;
    CopiedValues copied;
};

// Everything a request is checked against and numbered from, read in one transaction under the locks
// of the tabs it touches.
struct LockedRead {
    bool destinationTabFound = false;
    QString destinationTabSale;
    bool destinationSaleOpen = false;
    QString destinationSaleTable;
    QString destinationSaleStore;
    QString destinationTableStatus;
    QHash<std::pair<QString, QString>, OriginItem> originItems; // (tab, item)
    QHash<QString, double> tabSurcharges;                       // VRACRCOMANDA of each locked tab
    QString firstNewItem;
    int highestSequence = 0;
};

// Begins `transaction`, locks every tab the request touches in one sorted order (so that two terminals
// queue up), locks the destination sale, and reads the destination, the origin tabs' items, the next
// item number and the destination's highest sequence: a bounded number of statements, one pipeline on
// PostgreSQL. The transaction stays open.
LockedRead readUnderLock(TrdmTrPosicao& dm, platform::db::Transaction& transaction,
                         const TransferRequestRecords& request);

} // namespace Srv_Mvt04215
