#pragma once

#include "QtPrinters.h"
#include "ScratchDatabase.h"
#include "platform/db/Connection.h"

#include <QVariantMap>
#include <gtest/gtest.h>
#include <memory>

namespace testsupport {

// A fresh, empty database of one kind for one test (a scratch database), with the suite's tables unless
// told otherwise. `admin` is a connection for set-up and checks.
class TestDatabase {
public:
    explicit TestDatabase(DbKind kind, bool withSuiteTables = true);
    ~TestDatabase();
    TestDatabase(const TestDatabase&) = delete;
    TestDatabase& operator=(const TestDatabase&) = delete;

    DbKind kind() const { return scratch_.kind(); }
    const QString& connectionString() const { return scratch_.connectionString(); }
    platform::db::Connection& admin() { return *admin_; }

    void exec(const QString& sql);
    QVariant scalar(const QString& sql);
    int count(const QString& sqlWhereClauseTable);
    // Rows of a query as texts joined by '|', rows in the query's order.
    QStringList rows(const QString& sql);
    // The first row of a query by column name in upper case; empty when there is none.
    QVariantMap row(const QString& sql);
    // Every row of every suite table, in a fixed order: two snapshots are equal when nothing changed.
    QStringList snapshot();
    // Deletes every row of every suite table.
    void emptyTables();

private:
    ScratchDatabase scratch_;
    std::unique_ptr<platform::db::Connection> admin_;
};

// Skips the test when no PostgreSQL server was started, and fails it under CI, where one must be.
#define MVT_REQUIRE_DB(kind)                                                                                 \
    do {                                                                                                     \
        if ((kind) == ::testsupport::DbKind::PostgreSQL && ::testsupport::postgresUri().isEmpty()) {         \
            if (qEnvironmentVariable("CI") == QLatin1String("true"))                                         \
                FAIL() << "MVT_TEST_PG is not set: the PostgreSQL tests must run under CI";                  \
            GTEST_SKIP() << "MVT_TEST_PG is not set; run the tests with ./run test";                         \
        }                                                                                                    \
    } while (0)

// Typed test parameters: every server test runs on both databases.
struct OnSQLite {
    static constexpr DbKind kind = DbKind::SQLite;
};
struct OnPostgreSQL {
    static constexpr DbKind kind = DbKind::PostgreSQL;
};
using BothDatabases = ::testing::Types<OnSQLite, OnPostgreSQL>;

class DbKindNames {
public:
    template <typename T> static std::string GetName(int) { return kindName(T::kind); }
};

} // namespace testsupport
