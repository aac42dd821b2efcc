#include "Dialect.h"

#include "platform/Errors.h"

#include <QSqlDriver>

namespace platform::db {

QString dialectName(Dialect dialect) {
    switch (dialect) {
    case Dialect::SQLite:
        return QStringLiteral("SQLite");
    case Dialect::PostgreSQL:
        return QStringLiteral("PostgreSQL");
    case Dialect::SqlServer:
        return QStringLiteral("SQL Server");
    case Dialect::Oracle:
        return QStringLiteral("Oracle");
    }
    return {};
}

Dialect dialectOf(const QSqlDatabase& db) {
    const QSqlDriver* driver = db.driver();
    switch (driver ? driver->dbmsType() : QSqlDriver::UnknownDbms) {
    case QSqlDriver::SQLite:
        return Dialect::SQLite;
    case QSqlDriver::PostgreSQL:
        return Dialect::PostgreSQL;
    case QSqlDriver::MSSqlServer:
        return Dialect::SqlServer;
    case QSqlDriver::Oracle:
        return Dialect::Oracle;
    default:
        throw ConfigError(QStringLiteral("Banco de dados não suportado (driver %1). "
                                         "São aceitos SQLite, PostgreSQL, SQL Server e Oracle.")
                              .arg(db.driverName()));
    }
}

} // namespace platform::db
