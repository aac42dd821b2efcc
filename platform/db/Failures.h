#pragma once

#include "platform/Errors.h"

#include <QStringList>

namespace platform::db {

// Another session held a row or the file longer than this session waits for it (PostgreSQL's lock
// timeout, SQLite's busy timeout). Nothing of the statement took effect.
bool isLockTimeout(const DatabaseError& e);

// What the operator is told when another terminal held the given tables' rows too long.
QString tableBusyText(const QStringList& tables);

// The server could not be reached or stopped answering: a connect that timed out or was refused, a
// session whose server went away or whose network died (keepalives, TCP user timeout).
bool isNoAnswer(const DatabaseError& e);

// What the operator is told then; `server` names the database without its password.
QString noAnswerText(const QString& server);

} // namespace platform::db
