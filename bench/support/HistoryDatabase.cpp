#include "HistoryDatabase.h"

#include "host/SuiteTables.h"
#include "platform/db/Connection.h"

#include <QElapsedTimer>
#include <cstdio>

namespace bench {
namespace {

constexpr int HistoryTables = 40;
constexpr int Products = 200;

// A zero-padded number after a prefix, computed by the database ("H000000042").
QString padded(Engine engine, const QString& prefix, const QString& expr, int width) {
    if (engine == Engine::SQLite)
        return QStringLiteral("printf('") + prefix + QStringLiteral("%0") + QString::number(width) +
               QStringLiteral("d', ") + expr + u')';
    return u'\'' + prefix + QStringLiteral("' || lpad(CAST(") + expr + QStringLiteral(" AS TEXT), ") +
           QString::number(width) + QStringLiteral(", '0')");
}

// Row sources s(i) = 0..count-1 and n(j) = 1..per, generated inside the database so that a million
// rows never cross the connection.
QString series(Engine engine, int count, int per) {
    if (engine == Engine::SQLite)
        return QStringLiteral(
                   "WITH RECURSIVE s(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM s WHERE i + 1 < %1), "
                   "n(j) AS (SELECT 1 UNION ALL SELECT j + 1 FROM n WHERE j < %2) ")
            .arg(count)
            .arg(per);
    return QStringLiteral(
               "WITH s(i) AS (SELECT generate_series(0, %1)), n(j) AS (SELECT generate_series(1, %2)) ")
        .arg(count - 1)
        .arg(per);
}

QString timestamp(Engine engine, const char* text) {
    const QString t = QString::fromLatin1(text);
    if (engine == Engine::SQLite)
        return u'\'' + QString(t).replace(u' ', u'T') + QStringLiteral(".000'");
    return QStringLiteral("TIMESTAMP '") + t + u'\'';
}

} // namespace

std::vector<Engine> HistoryDatabase::engines() {
    if (!testsupport::postgresUri().isEmpty())
        return {Engine::SQLite, Engine::PostgreSQL};
    std::fprintf(stderr, "MVT_TEST_PG is not set: PostgreSQL is left out (./run bench starts one)\n");
    return {Engine::SQLite};
}

HistoryDatabase::HistoryDatabase(Engine engine, int closedSales)
    : scratch_(engine, QStringLiteral("history")), closedSales_(closedSales) {
    seed();
}

void HistoryDatabase::seed() {
    QElapsedTimer timer;
    timer.start();
    const std::unique_ptr<platform::db::Connection> session = scratch_.connect(QStringLiteral("bench-seed"));
    platform::db::Connection& c = *session;
    host::createSuiteTables(c);

    const Engine e = engine();
    auto p = [e](const char* prefix, const char* expr, int width) {
        return padded(e, QString::fromLatin1(prefix), QString::fromLatin1(expr), width);
    };
    const QString itemColumns = QStringLiteral(
        "(CDFILIAL, NRVENDAREST, NRCOMANDA, NRPRODCOMVEN, CDPRODUTO, QTPRODCOMVEN, VRPRECCOMVEN, "
        "IDSTPRCOMVEN, "
        "VRDESCCOMVEN, NRLUGARMESA, DTHRINCOMVEN, CDLOJA, VRACRCOMVEN, IDPRODREFIL, IDSTLUGARMESA)");
    const QString itemValues =
        QStringLiteral("%1, 1, 12.5, '1', 0, %2, %3, '01', 0, 'N', 'N'")
            .arg(p("P", "(i * 7 + j) % 200", 3), p("", "1 + j % 4", 1), timestamp(e, "2026-01-01 12:00:00"));

    c.beginTransaction();
    c.exec(
        series(e, Products, 1) +
        QStringLiteral("INSERT INTO PRODUTO (CDPRODUTO, CDARVPROD, NMPRODUTO, IDPESAPROD) SELECT %1, %2, %3, "
                       "'N' FROM s")
            .arg(p("P", "i", 3), p("ARV", "i", 3), p("Produto ", "i", 3)));
    c.exec(QStringLiteral("INSERT INTO PRODUTO (CDPRODUTO, NMPRODUTO, IDPESAPROD) VALUES "
                          "('COUVER', 'Couvert', 'N'), ('CONSUM', 'Consumacao', 'N'), "
                          "('CONSFEM', 'Consumacao F', 'N')"));
    c.exec(series(e, HistoryTables, 1) +
           QStringLiteral(
               "INSERT INTO MESA (CDFILIAL, CDLOJA, NRMESA, NMMESA, IDSTMESAAUX) SELECT '0001', '01', "
               "%1, %2, 'O' FROM s")
               .arg(p("", "i + 1", 4), p("Mesa ", "i + 1", 4)));

    // the history: closed sales, one tab each
    c.exec(series(e, closedSales_, 1) +
           QStringLiteral("INSERT INTO VENDAREST (CDFILIAL, NRVENDAREST, NRMESA, CDLOJA, DTHRFECHMESA, "
                          "NRPESMESAVEN) SELECT '0001', %1, %2, '01', %3, '4' FROM s")
               .arg(p("H", "i", 9), p("", "1 + i % 40", 4), timestamp(e, "2026-01-01 23:00:00")));
    c.exec(series(e, closedSales_, 1) +
           QStringLiteral("INSERT INTO COMANDAVEN (CDFILIAL, NRVENDAREST, NRCOMANDA, CDLOJA, VRACRCOMANDA) "
                          "SELECT '0001', %1, %2, '01', 0 FROM s")
               .arg(p("H", "i", 9), p("C", "i", 9)));
    c.exec(series(e, closedSales_, ItemsPerClosedSale) +
           QStringLiteral("INSERT INTO ITCOMANDAVEN %1 SELECT '0001', %2, %3, %4, %5 FROM s, n")
               .arg(itemColumns, p("H", "i", 9), p("C", "i", 9), p("", "j", 6), itemValues));

    // the open tables
    c.exec(series(e, OpenTables, 1) +
           QStringLiteral("INSERT INTO VENDAREST (CDFILIAL, NRVENDAREST, NRMESA, CDLOJA, DTHRFECHMESA, "
                          "NRPESMESAVEN) SELECT '0001', %1, %2, '01', NULL, '4' FROM s")
               .arg(p("A", "i", 9), p("", "i + 1", 4)));
    c.exec(series(e, OpenTables, TabsPerOpenSale) +
           QStringLiteral("INSERT INTO COMANDAVEN (CDFILIAL, NRVENDAREST, NRCOMANDA, CDLOJA, DSCOMANDA, "
                          "VRACRCOMANDA) SELECT '0001', %1, %2, '01', %3, 0 FROM s, n")
               .arg(p("A", "i", 9), p("T", "i * 2 + j - 1", 9), p("Comanda ", "j", 1)));
    c.exec(
        series(e, OpenTables, ItemsPerOpenSale) +
        QStringLiteral("INSERT INTO ITCOMANDAVEN %1 SELECT '0001', %2, %3, %4, %5 FROM s, n")
            .arg(itemColumns, p("A", "i", 9), p("T", "i * 2 + (j - 1) / 5", 9), p("", "j", 6), itemValues));
    c.commit();
    // a server that has run for a while knows its tables' statistics (only ours: the catalogue's
    // belong to the superuser)
    if (e == Engine::SQLite) {
        c.exec(QStringLiteral("ANALYZE"));
        // the history lives in the database file, as it would after months, not in the write-ahead log
        c.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    } else
        c.exec(QStringLiteral("ANALYZE ") + host::suiteTableNames().join(QStringLiteral(", ")));
    seedSeconds_ = double(timer.elapsed()) / 1000.0;
}

} // namespace bench
