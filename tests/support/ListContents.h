#pragma once

#include "platform/Dataset.h"

#include <QStringList>
#include <QVariantMap>
#include <initializer_list>

namespace testsupport {

// Rows of one item (tab + number) in either list: the origin list names the tab NRCOMANDA, the
// destination list NRCOMANDAORIG.
QList<int> itemRows(const platform::Dataset& list, const QString& tab, const QString& item);
// The stored value of a field as text (numbers in their shortest C form) and as a number.
QString textAt(const platform::Dataset& list, int row, const QString& field);
double quantityAt(const platform::Dataset& list, int row);
// Makes the only record of an item current; fails the test when it has none or several.
void selectItem(platform::Dataset& list, const QString& tab, const QString& item);
// A list's records as "tab/item=quantity@seat", sorted: the order of the rows is not at stake.
QStringList listContents(const platform::Dataset& list);
// Column values of an item, by name.
QVariantMap columns(std::initializer_list<std::pair<const char*, QVariant>> values);

} // namespace testsupport
