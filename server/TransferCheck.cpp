#include "TransferCheck.h"

#include "TransferMessages.h"
#include "schema/CodeValues.h"

#include <algorithm>
#include <cmath>

namespace Srv_Mvt04215 {
namespace {

bool sameNumber(double a, double b) {
    return std::abs(a - b) <= QuantityTolerance * std::max({1.0, std::abs(a), std::abs(b)});
}

void checkDestination(const TransferRequestRecords& request, const LockedRead& read) {
    const TransferDestination& to = request.destination;
    if (!read.destinationTabFound || to.tab.isEmpty() || read.destinationTabSale != to.sale ||
        !read.destinationSaleOpen)
        throw TransferRefused(transferText::destinationNotOpen(to.tab, to.sale));
    const TransferRecord& first = request.records.first();
    if (read.destinationSaleTable != to.table || read.destinationSaleStore != to.store)
        throw TransferRefused(
            transferText::notTheSalesTable(first.originTab, first.item, to.table, to.store, to.sale));
    // the bill is being printed or paid: items added now would be missing from it
    if (read.destinationTableStatus == schema::codes::TableBillRequested ||
        read.destinationTableStatus == schema::codes::TableBillReceiving)
        throw TransferRefused(transferText::destinationBillRequested(to.table));
}

void checkOrigin(const TransferRecord& r, const TransferDestination& to, const LockedRead& read) {
    const auto stored = read.originItems.constFind({r.originTab, r.item});
    // gone, split or closed meanwhile: the screen is older than the database
    if (stored == read.originItems.cend() || !sameNumber(stored->quantity, r.itemHeld))
        throw TransferRefused(transferText::originChanged(r.originTab, r.item));
    if (stored->saleTable != r.originTable.toString() || stored->saleStore != to.store) {
        const QString actual =
            stored->saleStore == to.store
                ? stored->saleTable
                : QStringLiteral("%1 da loja %2").arg(stored->saleTable, stored->saleStore);
        throw TransferRefused(
            transferText::notOnOriginTable(r.originTab, r.item, r.originTable.toString(), actual));
    }
    // what the operator chose is no longer there; anything else that changed moves as it is now
    const QString status = stored->copied.value(QStringLiteral("IDSTPRCOMVEN")).toString();
    if (status == schema::codes::ItemNotOffered6 || status == schema::codes::ItemNotOffered7)
        throw TransferRefused(
            transferText::originChanged(r.originTab, r.item, QStringLiteral("IDSTPRCOMVEN")));
    if (stored->copied.value(QStringLiteral("CDPRODUTO")).toString() != r.product)
        throw TransferRefused(transferText::originChanged(r.originTab, r.item, QStringLiteral("CDPRODUTO")));
}

} // namespace

void checkRecords(const TransferRequestRecords& request, const LockedRead& read) {
    checkDestination(request, read);
    for (const TransferRecord& r : request.records)
        checkOrigin(r, request.destination, read);
}

} // namespace Srv_Mvt04215
