#pragma once

#include <QStringList>
#include <QVariantMap>

namespace platform::db {
class Connection;
}

namespace host {

// The suite's restaurant sales tables as the demo and the tests create them. The transfer module never
// creates or alters a table; it relies on the keys and indexes below to stay fast on a long history.
QStringList suiteTableDdl(platform::db::Connection& connection);

// Creates every table and index on an empty database.
void createSuiteTables(platform::db::Connection& connection);

// The tables, in an order in which they can be emptied or dropped.
const QStringList& suiteTableNames();

// Inserts one row given by column name; the demo and the test builders write their rows this way.
void insertRow(platform::db::Connection& connection, const QString& table, const QVariantMap& row);

} // namespace host
