#include "SqlStore.h"

#include "platform/Errors.h"

namespace platform::db {

const QString& SqlStore::textFor(Dialect dialect) const {
    const QString* text = nullptr;
    switch (dialect) {
    case Dialect::Oracle:
        text = &SQLORACLE;
        break;
    case Dialect::SqlServer:
        text = &SQLMSSQL;
        break;
    case Dialect::SQLite:
        text = &SQLSQLITE;
        break;
    case Dialect::PostgreSQL:
        text = &SQLPOSTGRES;
        break;
    }
    if (!text || text->isEmpty())
        throw ConfigError(QStringLiteral("%1 não tem texto para %2.").arg(name, dialectName(dialect)));
    return *text;
}

} // namespace platform::db
