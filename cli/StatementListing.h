#pragma once

#include "platform/db/Dialect.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace cli {

// The dialects as the command line names them: oracle, sqlserver, postgresql, sqlite.
std::optional<platform::db::Dialect> dialectNamed(const QString& name);
QString commandLineName(platform::db::Dialect dialect);

// Every statement the module sends to a database of `dialect`, with its text as that database
// receives it: a listing to read (a comment line naming it, then its text) or one JSON array.
QByteArray statementListing(platform::db::Dialect dialect, bool json);

} // namespace cli
