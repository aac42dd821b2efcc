#pragma once

#include "tests/support/ScratchDatabase.h"

#include <QString>
#include <vector>

namespace bench {

// The benchmarks call the kind of a database its engine.
using Engine = testsupport::DbKind;

// A database with the suite's tables, a long history of closed sales and a few open tables, seeded in
// bulk inside one transaction: a scratch database, a SQLite file in a temporary folder or a schema of
// its own on the PostgreSQL server, dropped when the object goes.
//
// History: `closedSales` closed sales of 100 items each, one tab per sale, spread over tables
// 0001-0040 of branch 0001, store 01. Open: tables 0001-0020 each hold one open sale with two tabs
// and ten items. Tab numbers are unique over the whole history, as the item key requires.
class HistoryDatabase {
public:
    static constexpr int ItemsPerClosedSale = 100;
    static constexpr int OpenTables = 20;
    static constexpr int ItemsPerOpenSale = 10;
    static constexpr int TabsPerOpenSale = 2;

    HistoryDatabase(Engine engine, int closedSales);

    // The engines a run measures: SQLite, and PostgreSQL when MVT_TEST_PG names a server (said on standard
    // error when it does not).
    static std::vector<Engine> engines();

    Engine engine() const { return scratch_.kind(); }
    int closedSales() const { return closedSales_; }
    const QString& connectionString() const { return scratch_.connectionString(); }
    double seedSeconds() const { return seedSeconds_; }

private:
    void seed();

    testsupport::ScratchDatabase scratch_;
    int closedSales_;
    double seedSeconds_ = 0;
};

} // namespace bench
