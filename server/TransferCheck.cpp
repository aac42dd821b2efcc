#include "TransferCheck.h"

#include "TransferMessages.h"
#include "schema/CodeValues.h"
#include "schema/ItemRecord.h"

#include <algorithm>
#include <cmath>

namespace Srv_Mvt04215 {
namespace {

bool sameNumber(double a, double b) {
    return std::abs(a - b) <= QuantityTolerance * std::max({1.0, std::abs(a), std::abs(b)});
}

// The screen copies an empty number as 0, an empty date-time as the zero date and cuts texts to their
// field's width; both sides are the item record's types already, so only those habits need allowing.
bool sameValue(platform::FieldType type, const QVariant& stored, const QVariant& carried) {
    switch (type) {
    case platform::FieldType::Float:
        return sameNumber(stored.toDouble(), carried.toDouble());
    case platform::FieldType::DateTime: {
        static const QDateTime zero(QDate(1899, 12, 30), QTime(0, 0));
        const QDateTime a = stored.isValid() ? stored.toDateTime() : zero;
        const QDateTime b = carried.isValid() ? carried.toDateTime() : zero;
        // to the millisecond, whichever way a finer stored time was rounded
        return std::abs(a.msecsTo(b)) <= 1;
    }
    default:
        return stored.toString() == carried.toString();
    }
}

// The item record's type of each copied column, in their order.
const QList<platform::FieldType>& copiedTypes() {
    static const QList<platform::FieldType> types = [] {
        QList<platform::FieldType> out;
        for (const QString& column : copiedColumns())
            for (const platform::FieldDef& f : schema::itemRecordFields())
                if (f.name == column)
                    out << f.type;
        return out;
    }();
    return types;
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
    if (stored == read.originItems.cend() || !sameNumber(stored->quantity, r.original))
        throw TransferRefused(transferText::originChanged(r.originTab, r.item));
    if (stored->saleTable != r.originTable.toString() || stored->saleStore != to.store) {
        const QString actual =
            stored->saleStore == to.store
                ? stored->saleTable
                : QStringLiteral("%1 da loja %2").arg(stored->saleTable, stored->saleStore);
        throw TransferRefused(
            transferText::notOnOriginTable(r.originTab, r.item, r.originTable.toString(), actual));
    }
    const QList<platform::FieldType>& types = copiedTypes();
    for (qsizetype i = 0; i < types.size(); ++i)
        if (!sameValue(types[i], stored->copied[i], r.copied[i]))
            throw TransferRefused(transferText::originChanged(r.originTab, r.item, copiedColumns()[i]));
}

} // namespace

void checkRecords(const TransferRequestRecords& request, const LockedRead& read) {
    checkDestination(request, read);
    for (const TransferRecord& r : request.records)
        checkOrigin(r, request.destination, read);
}

} // namespace Srv_Mvt04215
