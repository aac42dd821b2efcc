#pragma once

#include "Rows.h"
#include "SalesBuilder.h"
#include "TestDatabase.h"

#include <memory>

namespace testsupport {

// A case on a fresh database of the kind `Db` says (OnSQLite, OnPostgreSQL; a typed suite over
// BothDatabases runs each case on both) with the suite's tables and a builder for branch 0001, store 01.
// A fixture sets up what its cases start from in `prepare`, which runs only where the database is there.
template <typename Db> class DatabaseFixture : public ::testing::Test {
protected:
    void SetUp() override {
        MVT_REQUIRE_DB(Db::kind);
        database = std::make_unique<TestDatabase>(Db::kind);
        builder = std::make_unique<SalesBuilder>(database->admin());
        prepare();
    }
    virtual void prepare() {}

    // Rows of another branch (or store) of the same database.
    SalesBuilder other(const char* branch = "0002", const char* store = "01") {
        return builder->other(QString::fromLatin1(branch), QString::fromLatin1(store));
    }
    Rows rows(const QString& sql) { return toRows(database->rows(sql)); }
    QString status(const char* table, const char* branch = "0001", const char* store = "01") {
        return database
            ->scalar(
                QStringLiteral("SELECT IDSTMESAAUX FROM MESA WHERE CDFILIAL = '%1' AND CDLOJA = '%2' AND "
                               "NRMESA = '%3'")
                    .arg(QLatin1String(branch), QLatin1String(store), QLatin1String(table)))
            .toString();
    }

    std::unique_ptr<TestDatabase> database;
    std::unique_ptr<SalesBuilder> builder;
};

} // namespace testsupport
