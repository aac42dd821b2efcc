#pragma once

#include <QSqlDatabase>
#include <QString>

namespace platform::db {

enum class Dialect { SQLite, PostgreSQL, SqlServer, Oracle };

QString dialectName(Dialect dialect);

// The dialect of an open connection, as its driver reports it. Throws ConfigError for any other database.
Dialect dialectOf(const QSqlDatabase& db);

} // namespace platform::db
