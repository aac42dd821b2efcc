// One transfer of N items (each with two observations and a component with one observation) on a
// database with a long history, through setTransferencia ("module") and as the very same statements on
// bare Qt SQL ("bare"), in one run. What matters: a 50-item transfer takes under 10 ms on a SQLite file
// and under 100 ms on PostgreSQL over loopback, ours at most 1.3 times the bare statements, and the cost
// grows with the items, not with the history. A summary with the ratios follows the results.

#include "support/HistoryDatabase.h"

#include "host/SuiteTables.h"
#include "platform/Dataset.h"
#include "platform/ItemNumbering.h"
#include "platform/Session.h"
#include "platform/Text.h"
#include "platform/db/Connection.h"
#include "platform/db/SqlText.h"
#include "schema/ItemRecord.h"
#include "server/Srv_Mvt04215.h"
#include "server/StatementCatalogue.h"
#include "server/TrdmTrPosicao.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QHash>
#include <QSqlQuery>
#include <QSqlRecord>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <memory>

namespace {

using bench::Engine;
using bench::HistoryDatabase;

const QString Branch = QStringLiteral("0001");
const QString Store = QStringLiteral("01");
// Two tables of their own, each with an open sale and one tab; the items go back and forth.
const QString TableA = QStringLiteral("0100"), SaleA = QStringLiteral("900100"),
              TabA = QStringLiteral("900100");
const QString TableB = QStringLiteral("0101"), SaleB = QStringLiteral("900101"),
              TabB = QStringLiteral("900101");
constexpr int MaxItems = 50;

void exec(QSqlQuery& q, const QString& sql) {
    if (!q.exec(sql))
        throw std::runtime_error(q.lastError().text().toStdString());
}

// Puts the moving items on table A (and an empty tab on table B).
void seedTransferTables(platform::db::Connection& c) {
    QSqlQuery q(c.database());
    c.beginTransaction();
    for (const auto& [table, sale, tab] :
         {std::tuple{TableA, SaleA, TabA}, std::tuple{TableB, SaleB, TabB}}) {
        exec(q, QStringLiteral("INSERT INTO MESA VALUES ('%1', '%2', '%3', 'Mesa %3', 'O')")
                    .arg(Branch, Store, table));
        exec(q, QStringLiteral("INSERT INTO VENDAREST (CDFILIAL, NRVENDAREST, NRMESA, CDLOJA, NRPESMESAVEN) "
                               "VALUES ('%1', '%2', '%3', '%4', '4')")
                    .arg(Branch, sale, table, Store));
        exec(q, QStringLiteral("INSERT INTO COMANDAVEN (CDFILIAL, NRVENDAREST, NRCOMANDA, CDLOJA, DSCOMANDA, "
                               "VRACRCOMANDA) VALUES ('%1', '%2', '%3', '%4', 'Bench', 0)")
                    .arg(Branch, sale, tab, Store));
    }
    exec(q, QStringLiteral("INSERT INTO PRODUTO (CDPRODUTO, CDARVPROD, NMPRODUTO, IDPESAPROD) "
                           "VALUES ('BENCH', 'BENCH', 'Prato do dia', 'N')"));
    for (int i = 1; i <= MaxItems; ++i) {
        const QString item = platform::Ajusta(QString::number(i), 6);
        exec(q, QStringLiteral(
                    "INSERT INTO ITCOMANDAVEN (CDFILIAL, NRVENDAREST, NRCOMANDA, NRPRODCOMVEN, CDPRODUTO, "
                    "QTPRODCOMVEN, VRPRECCOMVEN, IDSTPRCOMVEN, VRDESCCOMVEN, NRLUGARMESA, DTHRINCOMVEN, "
                    "CDLOJA, VRACRCOMVEN, IDPRODREFIL, IDSTLUGARMESA) VALUES ('%1', '%2', '%3', '%4', "
                    "'BENCH', 2, 10, '1', 0, '1', '2026-12-08 12:00:00', '%5', 0.5, 'N', 'N')")
                    .arg(Branch, SaleA, TabA, item, Store));
        for (const char* code : {"01", "02"})
            exec(q, QStringLiteral("INSERT INTO OBSITCOMANDAVEN VALUES ('%1', '%2', '%3', '%4', '01', '%5')")
                        .arg(Branch, SaleA, TabA, item, QLatin1String(code)));
        exec(q, QStringLiteral(
                    "INSERT INTO ITCOMANDAEST VALUES ('%1', '%2', '%3', '%4', 'BENCH', 1, 2, 0, 'extra')")
                    .arg(Branch, SaleA, TabA, item));
        exec(q, QStringLiteral(
                    "INSERT INTO OBSITCOMANDAEST VALUES ('%1', '%2', '%3', '%4', 'BENCH', '01', '03')")
                    .arg(Branch, SaleA, TabA, item));
    }
    c.commit();
}

// The request the screen would send to move the first `count` items of a tab, whole, to the other one.
QByteArray request(platform::db::Connection& c, const QString& fromTab, const QString& toSale,
                   const QString& toTab, const QString& fromTable, const QString& toTable, int count) {
    QSqlQuery q(c.database());
    exec(q, QStringLiteral(
                "SELECT NRPRODCOMVEN, NRVENDAREST, QTPRODCOMVEN, VRACRCOMVEN, DTHRINCOMVEN, IDPRODREFIL FROM "
                "ITCOMANDAVEN "
                "WHERE CDFILIAL = '%1' AND NRCOMANDA = '%2' ORDER BY NRPRODCOMVEN")
                .arg(Branch, fromTab));
    platform::Dataset ds;
    ds.setFieldDefs(schema::destinationListFields());
    ds.createDataSet();
    for (int i = 0; i < count && q.next(); ++i) {
        ds.append();
        auto set = [&](const char* f, const QVariant& v) {
            ds.field(QString::fromLatin1(f)).setValue(v);
        };
        set("CDFILIAL", Branch);
        set("NRVENDAREST", toSale);
        set("NRCOMANDA", toTab);
        set("NRCOMANDAORIG", fromTab);
        set("NRPRODCOMVEN", q.value(0));
        set("CDPRODUTO", QStringLiteral("BENCH"));
        set("QTPRODCOMVEN", q.value(2));
        set("QTORIGINAL", q.value(2));
        set("VRPRECCOMVEN", 10.0);
        set("VRACRCOMVEN", q.value(3));
        set("IDSTPRCOMVEN", QStringLiteral("1"));
        set("IDPRODREFIL", q.value(5)); // as stored: the transfer checks what a record carries
        set("DTHRINCOMVEN", QDateTime(QDate(2026, 12, 8), QTime(12, 0)));
        set("NRMESAORI", fromTable);
        set("NRMESADES", toTable);
        set("CDLOJAABER", Store);
        set("NRLUGARMESA", QStringLiteral("2"));
        set("NRLUGARMESAORIG", QStringLiteral("1"));
        ds.post();
    }
    return ds.packetJson();
}

// The statements setTransferencia runs, in its order, on bare Qt SQL: prepared once, bound by position.
class BareTransfer {
public:
    explicit BareTransfer(platform::db::Connection& c) : c_(c) {
        for (const char* name :
             {"adqBloqComanda", "adqVerifVendaAberta", "adqPesqSeqProdCom", "adqBuscaVendaRest",
              "adqItensOrigem", "acmInsProd", "adqObsItens", "acmInsObsItComandaVen", "adqItComandaEst",
              "adqObsItensEst", "acmInsProdEst", "acmInsObsItComandaEst", "adqVerifPedidoAlt",
              "acmInsPedidoAlt", "acmUpPedidoAlt", "acmDelProdEst", "acmDelProd", "acmUpdComanda",
              "acmUpdMesa"})
            add(QString::fromLatin1(name),
                Srv_Mvt04215::statementDef(QString::fromLatin1(name)).textFor(c.dialect()));
        // the item numbering's own statement
        add(QStringLiteral("next"), platform::TdtmZelProxCodigo::statement().sql);
    }

    // Moves `items` (item numbers) whole from one tab to the other, as the service does.
    void run(const QStringList& items, const QString& fromTab, const QString& toSale, const QString& toTab,
             const QString& fromTable, const QString& toTable) {
        c_.beginTransaction();
        QStringList tabs{fromTab, toTab};
        tabs.sort();
        for (const QString& tab : tabs)
            rows("adqBloqComanda", {{"P_CDFILIAL", Branch}, {"P_NRCOMANDA", tab}});
        rows("adqVerifVendaAberta", {{"P_CDFILIAL", Branch}, {"P_NRVENDAREST", toSale}});
        QHash<QString, double> originItems;
        for (const auto& r : rows("adqItensOrigem", {{"P_CDFILIAL", Branch}, {"P_NRCOMANDA", fromTab}}))
            originItems.insert(r[0].toString(), r[1].toDouble());
        int next = 0;
        for (const auto& r : rows("next", {{"P_CDFILIAL", Branch}, {"P_NRCOMANDA", toTab}}))
            next = std::max(next, r[0].toInt());
        rows("adqPesqSeqProdCom",
             {{"P_CDFILIAL", Branch}, {"P_NRVENDAREST", toSale}, {"P_NRCOMANDA", toTab}});
        for (const QString& item : items) {
            const QString newItem = platform::Ajusta(QString::number(++next), 6);
            const QVariant originSale =
                rows("adqBuscaVendaRest",
                     {{"P_CDFILIAL", Branch}, {"P_NRCOMANDA", fromTab}, {"P_NRPRODCOMVEN", item}})
                    .value(0)
                    .value(0);
            if (!originItems.contains(item))
                throw std::runtime_error("the origin item is gone");
            std::map<QString, QVariant> ins = {
                {"P_CDFILIAL", Branch},
                {"P_NRVENDAREST", toSale},
                {"P_NRCOMANDA", toTab},
                {"P_NRPRODCOMVEN", newItem},
                {"P_CDPRODUTO", QStringLiteral("BENCH")},
                {"P_QTPRODCOMVEN", 2.0},
                {"P_VRPRECCOMVEN", 10.0},
                {"P_VRPRECCLCOMVEN", 0.0},
                {"P_IDSTPRCOMVEN", QStringLiteral("1")},
                {"P_VRDESCCOMVEN", 0.0},
                {"P_VRACRCOMVEN", 0.5},
                {"P_DTHRINCOMVEN", QDateTime(QDate(2026, 12, 8), QTime(12, 0))},
                {"P_NRMESADSCOMORIT", fromTable},
                {"P_CDLOJA", Store},
                {"P_NRLUGARMESA", QStringLiteral("2")},
                {"P_NRATRAPRODCOVE", 0.0},
                {"P_QTITEMREFIL", 0.0}};
            command("acmInsProd", ins);
            const auto obs = rows(
                "adqObsItens", {{"P_CDFILIAL", Branch}, {"P_NRCOMANDA", fromTab}, {"P_NRPRODCOMVEN", item}});
            for (const auto& o : obs)
                command("acmInsObsItComandaVen", {{"CDFILIAL", Branch},
                                                  {"NRVENDAREST", toSale},
                                                  {"NRCOMANDA", toTab},
                                                  {"NRPRODCOMVEN", newItem},
                                                  {"CDGRPOCOR", o[2]},
                                                  {"CDOCORR", o[3]}});
            const auto comps =
                rows("adqItComandaEst",
                     {{"P_CDFILIAL", Branch}, {"P_NRCOMANDA", fromTab}, {"P_NRPRODCOMVEN", item}});
            const auto compObs =
                rows("adqObsItensEst",
                     {{"P_CDFILIAL", Branch}, {"P_NRCOMANDA", fromTab}, {"P_NRPRODCOMVEN", item}});
            for (const auto& comp : comps) {
                command("acmInsProdEst", {{"P_CDFILIAL", comp[0]},
                                          {"P_NRVENDAREST", toSale},
                                          {"P_NRCOMANDA", toTab},
                                          {"P_NRPRODCOMVEN", newItem},
                                          {"P_CDPRODUTO", comp[4]},
                                          {"P_QTPROCOMEST", comp[5].toDouble()},
                                          {"P_VRPRECCOMEST", comp[6].toDouble()},
                                          {"P_DSOBSPEDDIGEST", comp[8]}});
                for (const auto& o : compObs)
                    if (o[0] == comp[3] && o[2] == comp[4])
                        command("acmInsObsItComandaEst", {{"CDFILIAL", Branch},
                                                          {"NRVENDAREST", toSale},
                                                          {"NRCOMANDA", toTab},
                                                          {"NRPRODCOMVEN", newItem},
                                                          {"CDPRODUTO", comp[4]},
                                                          {"CDGRPOCOR", o[3]},
                                                          {"CDOCORR", o[4]}});
            }
            std::map<QString, QVariant> move = {{"CDFILIALOLD", Branch},
                                                {"NRVENDARESTOLD", originSale},
                                                {"NRCOMANDAOLD", fromTab},
                                                {"NRPRODCOMVENOLD", item},
                                                {"NRVENDAREST", toSale},
                                                {"NRCOMANDA", toTab},
                                                {"NRPRODCOMVEN", newItem},
                                                {"NRMESA", toTable},
                                                {"NRLUGARMESAIT", QStringLiteral("2")}};
            const bool tracked = !rows("adqVerifPedidoAlt", {{"P_CDFILIALOLD", Branch},
                                                             {"P_NRVENDARESTOLD", originSale},
                                                             {"P_NRCOMANDAOLD", fromTab},
                                                             {"P_NRPRODCOMVENOLD", item}})
                                      .isEmpty();
            command(tracked ? "acmUpPedidoAlt" : "acmInsPedidoAlt", move);
            command("acmDelProdEst",
                    {{"P_CDFILIAL", Branch}, {"P_NRCOMANDA", fromTab}, {"P_NRPRODCOMVEN", item}});
            command("acmDelProd",
                    {{"P_CDFILIAL", Branch}, {"P_NRCOMANDA", fromTab}, {"P_NRPRODCOMVEN", item}});
        }
        const double surcharge = 0.5 * double(items.size());
        command("acmUpdComanda", {{"P_VRACRCOMANDA", surcharge},
                                  {"P_CDFILIAL", Branch},
                                  {"P_CDLOJA", Store},
                                  {"P_NRCOMANDA", toTab}});
        command("acmUpdComanda", {{"P_VRACRCOMANDA", -surcharge},
                                  {"P_CDFILIAL", Branch},
                                  {"P_CDLOJA", Store},
                                  {"P_NRCOMANDA", fromTab}});
        command("acmUpdMesa", {{"P_IDSTMESAAUX", QStringLiteral("O")},
                               {"P_CDFILIAL", Branch},
                               {"P_CDLOJA", Store},
                               {"P_NRMESA", toTable}});
        c_.commit();
    }

private:
    struct Prepared {
        std::unique_ptr<QSqlQuery> query;
        QStringList names;
    };

    void add(const QString& name, const QString& text) {
        const platform::db::PositionalSql sql = platform::db::toPositional(text);
        Prepared p{std::make_unique<QSqlQuery>(c_.database()), sql.names};
        p.query->setForwardOnly(true);
        if (!p.query->prepare(sql.text))
            throw std::runtime_error(name.toStdString() + ": " + p.query->lastError().text().toStdString());
        prepared_[name] = std::move(p);
    }

    QSqlQuery& bind(const char* name, const std::map<QString, QVariant>& values) {
        Prepared& p = prepared_.at(QString::fromLatin1(name));
        for (int i = 0; i < p.names.size(); ++i) {
            const auto it = values.find(p.names[i]);
            p.query->bindValue(i, it == values.end() ? QVariant(QMetaType::fromType<QString>()) : it->second);
        }
        if (!p.query->exec())
            throw std::runtime_error(std::string(name) + ": " + p.query->lastError().text().toStdString());
        return *p.query;
    }

    QList<QList<QVariant>> rows(const char* name, const std::map<QString, QVariant>& values) {
        QSqlQuery& q = bind(name, values);
        QList<QList<QVariant>> out;
        const int columns = q.record().count();
        while (q.next()) {
            QList<QVariant> row(columns);
            for (int i = 0; i < columns; ++i)
                row[i] = q.value(i);
            out.append(row);
        }
        q.finish();
        return out;
    }

    void command(const char* name, const std::map<QString, QVariant>& values) { bind(name, values).finish(); }

    platform::db::Connection& c_;
    std::map<QString, Prepared> prepared_;
};

struct Setup {
    std::unique_ptr<HistoryDatabase> database;
    std::unique_ptr<Srv_Mvt04215::TrdmTrPosicao> module;
    std::unique_ptr<platform::db::Connection> bare;
    std::unique_ptr<BareTransfer> bareTransfer;
    bool itemsOnA = true;
    bool warm = false;
};

std::map<std::pair<Engine, int>, Setup>& setups() {
    static std::map<std::pair<Engine, int>, Setup> all;
    return all;
}

Setup& setupFor(Engine engine, int history) {
    Setup& s = setups()[{engine, history}];
    if (s.database)
        return s;
    s.database = std::make_unique<HistoryDatabase>(engine, history);
    s.bare = std::make_unique<platform::db::Connection>(QStringLiteral("bench-bare"));
    s.bare->setConnectionString(s.database->connectionString());
    s.bare->afterConnect = [](platform::db::Connection& c) {
        platform::SetADODBSession(c);
    };
    s.bare->open();
    seedTransferTables(*s.bare);
    std::fprintf(stderr, "seeded %s with %d closed sales in %.1f s\n", bench::engineName(engine), history,
                 s.database->seedSeconds());
    s.module = std::make_unique<Srv_Mvt04215::TrdmTrPosicao>();
    s.module->connectionStringOverride = s.database->connectionString();
    s.module->adcTrPosicao.open();
    s.bareTransfer = std::make_unique<BareTransfer>(*s.bare);
    return s;
}

// The direction of the next move: the items go back and forth between the two tables.
struct Direction {
    QString fromTab, toSale, toTab, fromTable, toTable;
};
Direction nextDirection(Setup& s) {
    const Direction d = s.itemsOnA ? Direction{TabA, SaleB, TabB, TableA, TableB}
                                   : Direction{TabB, SaleA, TabA, TableB, TableA};
    s.itemsOnA = !s.itemsOnA;
    return d;
}

QStringList firstItems(platform::db::Connection& c, const QString& tab, int count) {
    QSqlQuery q(c.database());
    exec(q, QStringLiteral("SELECT NRPRODCOMVEN FROM ITCOMANDAVEN WHERE CDFILIAL = '%1' AND NRCOMANDA = '%2' "
                           "ORDER BY NRPRODCOMVEN")
                .arg(Branch, tab));
    QStringList out;
    while (q.next())
        out << q.value(0).toString();
    return out.mid(0, count);
}

// A new database makes its first rounds slow, whichever layer runs them: cold caches, and plans made
// while the moving tabs were still unknown. Unmeasured rounds of both layers first, then statistics.
void warmUp(Setup& s) {
    if (s.warm)
        return;
    s.warm = true;
    Srv_Mvt04215::rdmTrPosicao = s.module.get();
    for (int round = 0; round < 20; ++round) {
        Direction d = nextDirection(s);
        const QVariant result = Srv_Mvt04215::setTransferencia(
            request(*s.bare, d.fromTab, d.toSale, d.toTab, d.fromTable, d.toTable, MaxItems));
        if (result.isValid())
            throw std::runtime_error(result.toString().toStdString());
        d = nextDirection(s);
        s.bareTransfer->run(firstItems(*s.bare, d.fromTab, MaxItems), d.fromTab, d.toSale, d.toTab,
                            d.fromTable, d.toTable);
    }
    Srv_Mvt04215::rdmTrPosicao = nullptr;
    s.bare->exec(s.bare->dialect() == platform::db::Dialect::SQLite
                     ? QStringLiteral("ANALYZE")
                     : QStringLiteral("ANALYZE ") + host::suiteTableNames().join(QStringLiteral(", ")));
}

void runModule(benchmark::State& state, Engine engine, int history, int items) {
    Setup& s = setupFor(engine, history);
    warmUp(s);
    Srv_Mvt04215::rdmTrPosicao = s.module.get();
    const int preparedBefore = s.module->adcTrPosicao.prepareCount();
    for (auto _ : state) {
        state.PauseTiming();
        // the remaining items go along unmeasured, so that every round starts with all of them on one side
        const Direction d = nextDirection(s);
        const QByteArray measured =
            request(*s.bare, d.fromTab, d.toSale, d.toTab, d.fromTable, d.toTable, items);
        state.ResumeTiming();
        const QVariant result = Srv_Mvt04215::setTransferencia(measured);
        state.PauseTiming();
        if (result.isValid()) {
            state.SkipWithError(result.toString().toStdString().c_str());
            break;
        }
        if (items < MaxItems) {
            const QVariant rest = Srv_Mvt04215::setTransferencia(
                request(*s.bare, d.fromTab, d.toSale, d.toTab, d.fromTable, d.toTable, MaxItems));
            benchmark::DoNotOptimize(rest);
        }
        state.ResumeTiming();
    }
    state.counters["prepares"] = s.module->adcTrPosicao.prepareCount() - preparedBefore;
    Srv_Mvt04215::rdmTrPosicao = nullptr;
}

void runBare(benchmark::State& state, Engine engine, int history, int items) {
    Setup& s = setupFor(engine, history);
    warmUp(s);
    for (auto _ : state) {
        state.PauseTiming();
        const Direction d = nextDirection(s);
        const QStringList all = firstItems(*s.bare, d.fromTab, MaxItems);
        state.ResumeTiming();
        s.bareTransfer->run(all.mid(0, items), d.fromTab, d.toSale, d.toTab, d.fromTable, d.toTable);
        state.PauseTiming();
        if (items < MaxItems)
            s.bareTransfer->run(all.mid(items), d.fromTab, d.toSale, d.toTab, d.fromTable, d.toTable);
        state.ResumeTiming();
    }
}

struct Case {
    Engine engine;
    int history;
    int items;
    bool module;
};

std::string caseName(const Case& c) {
    return std::string("transfer/") + bench::engineName(c.engine) + "/history:" + std::to_string(c.history) +
           "/items:" + std::to_string(c.items) + (c.module ? "/module" : "/bare");
}

// Median of the repetitions, per case.
std::map<std::string, double>& medians() {
    static std::map<std::string, double> m;
    return m;
}

class SummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs)
            if (r.aggregate_name == "median")
                medians()[r.run_name.function_name] = r.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::vector<Engine> engines{Engine::SQLite};
    if (!bench::postgresUri().isEmpty())
        engines.push_back(Engine::PostgreSQL);
    else
        std::fprintf(stderr, "MVT_TEST_PG is not set: PostgreSQL is left out (./run bench starts one)\n");
    std::vector<Case> cases;
    for (Engine e : engines)
        for (int history : {1000, 10000})
            for (int items : {10, 50})
                for (bool module : {true, false})
                    cases.push_back({e, history, items, module});
    for (const Case& c : cases) {
        auto* b = benchmark::RegisterBenchmark(caseName(c).c_str(), [c](benchmark::State& state) {
            if (c.module)
                runModule(state, c.engine, c.history, c.items);
            else
                runBare(state, c.engine, c.history, c.items);
        });
        b->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true)->Iterations(20);
    }
    benchmark::Initialize(&argc, argv);
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf("\nsummary (medians, ms)\n");
    bool ok = true;
    for (Engine e : engines) {
        const double limit = e == Engine::SQLite ? 10.0 : 100.0;
        for (int history : {1000, 10000}) {
            for (int items : {10, 50}) {
                const double ours = medians()[caseName({e, history, items, true})];
                const double bare = medians()[caseName({e, history, items, false})];
                const double ratio = bare > 0 ? ours / bare : 0;
                const bool within = ratio <= 1.3 && (items != 50 || ours < limit);
                ok = ok && within;
                std::printf("%-10s history %5d items %2d: ours %7.2f  bare %7.2f  ratio %.2f%s\n",
                            bench::engineName(e), history, items, ours, bare, ratio,
                            within ? "" : "  <- off target");
            }
        }
        for (int items : {10, 50}) {
            const double small = medians()[caseName({e, 1000, items, true})];
            const double large = medians()[caseName({e, 10000, items, true})];
            std::printf("%-10s items %2d: 10,000 / 1,000 closed sales = %.2f\n", bench::engineName(e), items,
                        small > 0 ? large / small : 0);
        }
    }
    std::printf("%s\n", ok ? "all targets met" : "some targets missed");
    // modules and connections go while the application and the SQL drivers still exist
    setups().clear();
    return 0;
}
