#pragma once

namespace platform {
namespace db {
class Connection;
}

// Opens the connection; false when it could not be opened.
bool TryConnect(db::Connection& connection);

// Prepares the session of a connection that was just opened. SQLite: a busy timeout for readers and
// writers, the journal mode left as the file has it, and no foreign keys (the suite's tables declare
// none). PostgreSQL: UTF-8, the host's time zone, no statement time limit and lock waits of at most 10 s.
void SetADODBSession(db::Connection& connection);

} // namespace platform
