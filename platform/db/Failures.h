#pragma once

#include "platform/Errors.h"

#include <QStringList>

namespace platform::db {

// Another session held a row or the file longer than this session waits for it (PostgreSQL's lock
// timeout, SQLite's busy timeout). Nothing of the statement took effect.
bool isLockTimeout(const DatabaseError& e);

// What the operator is told when another terminal held the given tables' rows too long.
QString tableBusyText(const QStringList& tables);

} // namespace platform::db
