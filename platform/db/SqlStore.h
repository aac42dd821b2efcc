#pragma once

#include "Dialect.h"

#include <QString>

namespace platform::db {

// The texts of one query per dialect. The served query runs with the text of the connected dialect.
// The suite keeps an Oracle and a SQL Server text; the SQLite and PostgreSQL texts return the same rows.
struct SqlStore {
    QString name;     // the store's own name
    QString ADOQuery; // the query it serves
    QString SQLORACLE;
    QString SQLMSSQL;
    QString SQLSQLITE;
    QString SQLPOSTGRES;

    // Throws ConfigError when the store holds no text for the dialect.
    const QString& textFor(Dialect dialect) const;
};

} // namespace platform::db
