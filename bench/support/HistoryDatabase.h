#pragma once

#include <QString>
#include <QTemporaryDir>

namespace bench {

enum class Engine { SQLite, PostgreSQL };

const char* engineName(Engine engine);

// The PostgreSQL server of the run (MVT_TEST_PG), or empty.
QString postgresUri();

// A database with the suite's tables, a long history of closed sales and a few open tables, seeded in
// bulk inside one transaction: a SQLite file in a temporary folder, or a schema of its own on the
// PostgreSQL server, dropped when the object goes.
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
    ~HistoryDatabase();
    HistoryDatabase(const HistoryDatabase&) = delete;
    HistoryDatabase& operator=(const HistoryDatabase&) = delete;

    Engine engine() const { return engine_; }
    int closedSales() const { return closedSales_; }
    const QString& connectionString() const { return connectionString_; }
    double seedSeconds() const { return seedSeconds_; }

private:
    void seed();

    Engine engine_;
    int closedSales_;
    QTemporaryDir dir_;
    QString schema_;
    QString connectionString_;
    double seedSeconds_ = 0;
};

} // namespace bench
