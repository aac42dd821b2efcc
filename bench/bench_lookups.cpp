// The two lookups of the transfer screen on a database with a long history, in three layers: the
// server method ("module"), the data module's statement and provider without the JSON ("packet"),
// and the same statement on bare Qt SQL ("bare"). What matters: the lookups cost the same on 1,000
// and on 10,000 closed sales, and our layers add at most 30% over the bare query.
//
// The machines are shared, so the layers and both histories are measured side by side: every
// iteration calls each of the six (layer, history) pairs once, in a rotating order, and the counters
// give each pair's median time per call. Load that comes and goes then weighs on all of them alike,
// and a call that another process preempted does not move the median. A summary follows the results.

#include "support/CollectingReporter.h"
#include "support/HistoryDatabase.h"
#include "tests/support/OpenDataModule.h"

#include "platform/DataPacket.h"
#include "platform/db/Connection.h"
#include "platform/db/SqlText.h"
#include "server/Srv_Mvt04215.h"
#include "server/StatementCatalogue.h"
#include "server/TrdmTrPosicao.h"

#include <QCoreApplication>
#include <QSqlQuery>
#include <QSqlRecord>
#include <algorithm>
#include <array>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using bench::CollectingReporter;
using bench::Engine;
using bench::HistoryDatabase;

constexpr int ShortHistory = 1000;
constexpr int LongHistory = 10000;
constexpr double OverheadTarget = 1.30;
// 1,000 against 10,000 sales: more than this is growth, not noise
constexpr double GrowthTolerance = 1.20;

// The open table the screen looks at, and its branch and store.
const QString Table = QStringLiteral("0007");
const QString Branch = QStringLiteral("0001");
const QString Store = QStringLiteral("01");

enum class Lookup { ProdOrig, ValidaMesaDes };

const char* lookupName(Lookup lookup) {
    return lookup == Lookup::ProdOrig ? "getProdOrig" : "getValidaMesaDes";
}

// One lookup's statement on bare Qt SQL: the catalogue's text for the dialect, prepared once.
class BareQuery {
public:
    BareQuery(platform::db::Connection& connection, const QString& statement,
              const std::map<QString, QString>& arguments)
        : query_(connection.database()) {
        const platform::db::PositionalSql sql =
            platform::db::toPositional(Srv_Mvt04215::statementDef(statement).textFor(connection.dialect()));
        for (const QString& name : sql.names)
            values_.append(arguments.at(name));
        query_.setForwardOnly(true);
        if (!query_.prepare(sql.text))
            throw std::runtime_error(query_.lastError().text().toStdString());
    }

    // Binds, runs and reads every column of every row; the number of rows.
    int run() {
        for (int i = 0; i < values_.size(); ++i)
            query_.bindValue(i, values_[i]);
        if (!query_.exec())
            throw std::runtime_error(query_.lastError().text().toStdString());
        const int columns = query_.record().count();
        int rows = 0;
        QList<QVariant> row(columns);
        while (query_.next()) {
            for (int c = 0; c < columns; ++c)
                row[c] = query_.value(c);
            benchmark::DoNotOptimize(row.data());
            ++rows;
        }
        query_.finish();
        return rows;
    }

private:
    QSqlQuery query_;
    QList<QVariant> values_;
};

// Everything one (engine, history) pair needs, made on first use and kept for the run.
struct Setup {
    std::unique_ptr<HistoryDatabase> database;
    std::unique_ptr<Srv_Mvt04215::TrdmTrPosicao> module;
    std::unique_ptr<platform::db::Connection> bare;
    std::unique_ptr<BareQuery> prodOrig;
    std::unique_ptr<BareQuery> validaMesaDes;
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
    std::fprintf(stderr, "seeded %s with %d closed sales (%d item rows) in %.1f s\n",
                 testsupport::kindName(engine), history, history * HistoryDatabase::ItemsPerClosedSale,
                 s.database->seedSeconds());

    s.module = testsupport::openDataModule(s.database->connectionString());

    s.bare = testsupport::openSession(s.database->connectionString(), QStringLiteral("bench-bare"));
    s.prodOrig = std::make_unique<BareQuery>(
        *s.bare, QStringLiteral("adqProdOrig"),
        std::map<QString, QString>{{QStringLiteral("P_NRMESA"), Table},
                                   {QStringLiteral("P_CDFILIAL"), Branch},
                                   {QStringLiteral("P_CDLOJA"), Store},
                                   {QStringLiteral("P_CDPRODCOUVER"), QStringLiteral("COUVER")},
                                   {QStringLiteral("P_CDPRODCONSUM"), QStringLiteral("CONSUM")},
                                   {QStringLiteral("P_CDPRODCONSFEM"), QStringLiteral("CONSFEM")}});
    s.validaMesaDes =
        std::make_unique<BareQuery>(*s.bare, QStringLiteral("adqValMesaDest"),
                                    std::map<QString, QString>{{QStringLiteral("P_CDFILIAL"), Branch},
                                                               {QStringLiteral("P_CDLOJA"), Store},
                                                               {QStringLiteral("P_NRMESA"), Table}});
    return s;
}

QVariant callModule(Lookup lookup) {
    if (lookup == Lookup::ProdOrig)
        return Srv_Mvt04215::getProdOrig(Table, Branch, Store, QStringLiteral("COUVER"),
                                         QStringLiteral("CONSUM"), QStringLiteral("CONSFEM"));
    return Srv_Mvt04215::getValidaMesaDes(Branch, Store, Table, QStringLiteral("0005"));
}

int expectedRows(Lookup lookup) {
    return lookup == Lookup::ProdOrig ? HistoryDatabase::ItemsPerOpenSale : HistoryDatabase::TabsPerOpenSale;
}

// The data module's statement and provider as the service drives them, without the JSON.
platform::DataPacket callPacket(Srv_Mvt04215::TrdmTrPosicao& dm, Lookup lookup) {
    if (lookup == Lookup::ProdOrig)
        return dm.dspProdOrig.data({{"P_NRMESA", Table},
                                    {"P_CDFILIAL", Branch},
                                    {"P_CDLOJA", Store},
                                    {"P_CDPRODCOUVER", QStringLiteral("COUVER")},
                                    {"P_CDPRODCONSUM", QStringLiteral("CONSUM")},
                                    {"P_CDPRODCONSFEM", QStringLiteral("CONSFEM")}});
    return dm.dspValMesaDest.data({{"P_CDFILIAL", Branch}, {"P_CDLOJA", Store}, {"P_NRMESA", Table}});
}

enum Layer { Module, Packet, Bare, Layers };
const char* const layerNames[Layers] = {"module", "packet", "bare"};

// One call of a layer on one history's database: the number of rows it found (the module's only when
// `count` asks for it, as that means reading the packet back), -1 for a failure.
int call(Setup& s, Layer layer, Lookup lookup, bool count = false) {
    switch (layer) {
    case Module: {
        Srv_Mvt04215::rdmTrPosicao = s.module.get();
        const QVariant result = callModule(lookup);
        Srv_Mvt04215::rdmTrPosicao = nullptr;
        if (result.metaType().id() != QMetaType::QByteArray)
            return -1;
        return count ? int(platform::DataPacket::fromJson(result.toByteArray()).rows.size()) : 0;
    }
    case Packet:
        return int(callPacket(*s.module, lookup).rows.size());
    case Bare:
    case Layers:
        break;
    }
    return (lookup == Lookup::ProdOrig ? *s.prodOrig : *s.validaMesaDes).run();
}

std::string counterName(Layer layer, int history) {
    return std::string(layerNames[layer]) + '@' + std::to_string(history);
}

void runLookup(benchmark::State& state, Engine engine, Lookup lookup) {
    const std::array<int, 2> histories = {ShortHistory, LongHistory};
    const std::array<Setup*, 2> databases = {&setupFor(engine, ShortHistory), &setupFor(engine, LongHistory)};
    // a lookup that fails or finds the wrong rows would be measured fast and wrong
    for (Setup* s : databases)
        for (int layer = 0; layer < Layers; ++layer)
            if (call(*s, Layer(layer), lookup, true) != expectedRows(lookup)) {
                state.SkipWithError(
                    (std::string(layerNames[layer]) + " did not find the open table's rows").c_str());
                return;
            }
    std::array<int, 2> prepared{};
    for (int h = 0; h < 2; ++h)
        prepared[h] = databases[h]->module->adcTrPosicao.prepareCount();

    using Clock = std::chrono::steady_clock;
    std::array<std::array<std::vector<double>, Layers>, 2> samples; // microseconds per call
    std::size_t round = 0;
    for (auto _ : state) {
        for (std::size_t k = 0; k < 2 * std::size_t(Layers); ++k) {
            const std::size_t pair = (round + k) % (2 * std::size_t(Layers));
            const std::size_t h = pair / Layers;
            const Layer layer = Layer(pair % Layers);
            const Clock::time_point start = Clock::now();
            int rows = call(*databases[h], layer, lookup);
            samples[h][layer].push_back(
                std::chrono::duration<double, std::micro>(Clock::now() - start).count());
            benchmark::DoNotOptimize(rows);
        }
        ++round;
    }

    // the median call: a call that another process preempted says nothing about our layers
    auto micros = [&](std::size_t h, Layer layer) {
        std::vector<double>& v = samples[h][layer];
        std::nth_element(v.begin(), v.begin() + std::ptrdiff_t(v.size() / 2), v.end());
        return v[v.size() / 2];
    };
    for (std::size_t h = 0; h < 2; ++h)
        for (int layer = 0; layer < Layers; ++layer)
            state.counters[counterName(Layer(layer), histories[h])] = micros(h, Layer(layer));
    state.counters["module/bare@" + std::to_string(ShortHistory)] = micros(0, Module) / micros(0, Bare);
    state.counters["module/bare@" + std::to_string(LongHistory)] = micros(1, Module) / micros(1, Bare);
    state.counters["growth:module"] = micros(1, Module) / micros(0, Module);
    state.counters["growth:bare"] = micros(1, Bare) / micros(0, Bare);
    // a statement prepared again on every call would be a cost of its own
    int prepares = 0;
    for (int h = 0; h < 2; ++h)
        prepares += databases[h]->module->adcTrPosicao.prepareCount() - prepared[h];
    state.counters["prepares"] = prepares;
}

std::string benchName(Lookup lookup, Engine engine) {
    return std::string(lookupName(lookup)) + '/' + testsupport::kindName(engine);
}

void printSummary(const CollectingReporter& results, const std::vector<Engine>& engines) {
    std::printf("\nsummary: median real time per call in us (median of the repetitions); targets: "
                "module/bare <= %.2f, "
                "growth 10000/1000 <= %.2f\n",
                OverheadTarget, GrowthTolerance);
    std::printf("%-17s %-11s %7s %9s %9s %9s %12s\n", "lookup", "database", "history", "module", "packet",
                "bare", "module/bare");
    for (Lookup lookup : {Lookup::ProdOrig, Lookup::ValidaMesaDes}) {
        for (Engine engine : engines) {
            const std::string name = benchName(lookup, engine);
            if (results.median(name, "growth:module") < 0)
                continue;
            for (int history : {ShortHistory, LongHistory}) {
                const double overhead = results.median(name, "module/bare@" + std::to_string(history));
                std::printf("%-17s %-11s %7d %9.1f %9.1f %9.1f %6.2f %s\n", lookupName(lookup),
                            testsupport::kindName(engine), history,
                            results.median(name, counterName(Module, history)),
                            results.median(name, counterName(Packet, history)),
                            results.median(name, counterName(Bare, history)), overhead,
                            overhead <= OverheadTarget ? "met" : "MISSED");
            }
            const double growth = results.median(name, "growth:module");
            const double added = results.median(name, counterName(Module, LongHistory)) -
                                 results.median(name, counterName(Module, ShortHistory));
            std::printf("%-17s %-11s growth 10000/1000: module %.2f (%+.0f us), bare %.2f %s\n",
                        lookupName(lookup), testsupport::kindName(engine), growth, added,
                        results.median(name, "growth:bare"), growth <= GrowthTolerance ? "met" : "MISSED");
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    QCoreApplication app(argc, argv);

    const std::vector<Engine> engines = HistoryDatabase::engines();
    for (Lookup lookup : {Lookup::ProdOrig, Lookup::ValidaMesaDes})
        for (Engine engine : engines)
            benchmark::RegisterBenchmark(benchName(lookup, engine).c_str(), runLookup, engine, lookup)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime()
                ->MinWarmUpTime(0.1)
                ->MinTime(0.3)
                ->Repetitions(5)
                ->ReportAggregatesOnly(true);

    int rc = 0;
    try {
        CollectingReporter reporter(benchmark::CreateDefaultDisplayReporter());
        if (benchmark::RunSpecifiedBenchmarks(&reporter) > 0)
            printSummary(reporter, engines);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_lookups: %s\n", e.what());
        rc = 1;
    }
    setups().clear(); // drops the PostgreSQL schemas
    benchmark::Shutdown();
    return rc;
}
