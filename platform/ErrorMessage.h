#pragma once

#include <QString>
#include <exception>

namespace platform {
namespace db {
class Connection;
}

// The text a server method hands back after a failure: the database's own error text with its code
// for a database error (readable at the till, quotable to support), the plain text of any other failure.
QString ADOExceptionMessage(const std::exception& e, const db::Connection& connection, const QString& extra);

} // namespace platform
