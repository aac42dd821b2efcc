#pragma once

#include "platform/Dataset.h"

namespace Cli_Mvt04215 {

// An item is its tab plus its number: item numbers are free per tab, so two tabs of one table commonly
// both hold an item "000001". These find the record of one item in either list and make it current.
bool locateItem(platform::Dataset& list, const QString& tabField, const QString& tab, const QString& item);

inline bool locateInOrigin(platform::Dataset& origin, const QString& tab, const QString& item) {
    return locateItem(origin, QStringLiteral("NRCOMANDA"), tab, item);
}
inline bool locateInDestination(platform::Dataset& destination, const QString& tab, const QString& item) {
    return locateItem(destination, QStringLiteral("NRCOMANDAORIG"), tab, item);
}

// A quantity's general text compared with "1" character by character, as the rules decide whether to
// ask for a quantity: below for 0.5, equal for 1, above for 1.5, 2 or 10.
int compareWithOne(const QString& quantityText);

// Adds `quantity` to a record's QTPRODCOMVEN. When the sum lands within rounding of `whole` (the item's
// quantity at the origin), it is set to `whole` exactly, so that an item moved in parts is recognised as
// moved whole.
void addQuantity(platform::Dataset& list, double quantity, double whole);

} // namespace Cli_Mvt04215
