#pragma once

namespace platform {
namespace db {
class Connection;
}

// Opens the connection; false when it could not be opened.
bool TryConnect(db::Connection& connection);

// Prepares the session of a connection that was just opened. SQLite: write-ahead log, a busy timeout
// and no foreign keys (the suite's tables declare none). PostgreSQL: UTF-8, the host's time zone and no
// statement time limit.
void SetADODBSession(db::Connection& connection);

} // namespace platform
