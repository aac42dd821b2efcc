#pragma once

#include <QString>
#include <QVariant>

namespace platform::db {

enum class OdbcHandle { Statement, Session };

// The SQLSTATE of the last failure on a handle of Qt's ODBC driver (a query's result handle or the
// driver's session handle); empty when the handle is none of those or holds no failure. Qt keeps only
// the driver's own error number, which means something else in every driver; the SQLSTATE is the code
// Qt's own PostgreSQL driver reports, which the rules for busy tables and retries read.
QString odbcSqlState(const QVariant& handle, OdbcHandle kind);

} // namespace platform::db
