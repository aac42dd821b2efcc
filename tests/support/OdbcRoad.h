#pragma once

#include "TestDatabase.h"

#include <QString>

namespace testsupport {

// The ODBC driver the tests reach PostgreSQL through: MVT_TEST_ODBC_DRIVER, else the library of
// Debian's odbc-postgresql package; empty when neither is there.
QString postgresOdbcDriver();

// An ODBC connection string to the same database and schema as `postgresUri` (a URI with its search
// path, as a scratch database makes it), naming the driver library by path: no odbcinst.ini needed.
QString odbcConnectionString(const QString& postgresUri);

} // namespace testsupport

// Skips the test when no PostgreSQL server was started or the ODBC driver is missing, and fails it
// under CI, where both must be there.
#define MVT_REQUIRE_ODBC()                                                                                   \
    do {                                                                                                     \
        MVT_REQUIRE_DB(::testsupport::DbKind::PostgreSQL);                                                   \
        if (::testsupport::postgresOdbcDriver().isEmpty()) {                                                 \
            if (qEnvironmentVariable("CI") == QLatin1String("true"))                                         \
                FAIL() << "the ODBC driver for PostgreSQL is missing: the ODBC tests must run under CI";     \
            GTEST_SKIP() << "the ODBC driver for PostgreSQL is missing; scripts/setup installs it";          \
        }                                                                                                    \
    } while (0)
