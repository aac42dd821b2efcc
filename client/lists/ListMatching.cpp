#include "ListMatching.h"

#include <cmath>

namespace Cli_Mvt04215 {

bool locateItem(platform::Dataset& list, const QString& tabField, const QString& tab, const QString& item) {
    if (!list.active())
        return false;
    const int tabIndex = list.fieldIndex(tabField);
    const int itemIndex = list.fieldIndex(QStringLiteral("NRPRODCOMVEN"));
    for (int row = 0; row < list.recordCount(); ++row) {
        const platform::Record& r = list.recordAt(row);
        if (r[tabIndex].toString() == tab &&
            r[itemIndex].toString().compare(item, Qt::CaseInsensitive) == 0) {
            list.setRecNo(row);
            return true;
        }
    }
    return false;
}

int compareWithOne(const QString& quantityText) {
    return quantityText.compare(QStringLiteral("1"), Qt::CaseSensitive);
}

void addQuantity(platform::Dataset& list, double quantity, double whole) {
    platform::FieldRef qty = list.field(QStringLiteral("QTPRODCOMVEN"));
    double sum = qty.asFloat() + quantity;
    if (whole > 0 && std::abs(sum - whole) < 1e-9)
        sum = whole;
    list.edit();
    qty.setFloat(sum);
    list.post();
}

} // namespace Cli_Mvt04215
