#pragma once

#include "platform/DataPacket.h"

#include <QStringList>
#include <string>
#include <vector>

namespace testsupport {

// Rows as their cells joined by '|': gtest compares them whole and prints them readably.
using Rows = std::vector<std::string>;

Rows toRows(const QStringList& rows);
Rows sorted(Rows rows);
// A value as the tests print it: <null> when empty, a date-time to the millisecond, anything else as its
// text (a double in its shortest exact form).
std::string shown(const QVariant& value);

// One value of a data packet; a field the packet lacks fails the test.
QVariant cell(const platform::DataPacket& packet, int row, const QString& field);
// Each row of a data packet as the named fields, in the packet's order.
Rows rowsOf(const platform::DataPacket& packet, const QStringList& fields);

} // namespace testsupport
