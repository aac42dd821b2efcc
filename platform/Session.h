#pragma once

#include <QByteArray>

namespace platform {
namespace db {
class Connection;
}

// Opens the connection; false when it could not be opened.
bool TryConnect(db::Connection& connection);

// The host's time zone as a session takes it: its name, and its offset from UTC now for a server that
// does not know the name.
struct HostZone {
    QByteArray id;
    int offsetSeconds = 0;
};
HostZone hostZone();

// Prepares the session of a connection that was just opened. SQLite: a busy timeout for readers and
// writers, the journal mode left as the file has it, and no foreign keys (the suite's tables declare
// none). PostgreSQL, in one statement: the host's time zone, no statement time limit, and the server
// settings of the connection string's bounds (lock waits, a session idle inside a transaction, TCP
// keepalives). UTF-8 is asked for when connecting.
void SetADODBSession(db::Connection& connection);
void SetADODBSession(db::Connection& connection, const HostZone& zone);

} // namespace platform
