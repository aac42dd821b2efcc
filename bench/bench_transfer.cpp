// One transfer of N items (each with two observations and a component with one observation) on a
// database with a long history, through setTransferencia ("module") and as the statement-by-statement
// writer's statements on bare Qt SQL ("bare"), in one run; and on PostgreSQL through a link that delays every
// byte (0, 0.25 and 1 ms each way) as well as straight over loopback, with a data module connected afresh for
// each transfer, as each opening of the screen has, or one kept warm. What matters: a 50-item transfer takes
// at most 8 ms on a SQLite file, at most 20 ms on loopback and at most 100 ms through 1 ms each way,
// prepares included; ours at most 1.3 times the bare statements; the cost grows with the items, not
// with the history. A summary sets each figure beside its target.

#include "support/CollectingReporter.h"
#include "support/HistoryDatabase.h"
#include "support/SlowLink.h"
#include "tests/support/OpenDataModule.h"

#include "host/SuiteTables.h"
#include "platform/Dataset.h"
#include "platform/ItemNumbering.h"
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
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <string>

namespace {

using bench::CollectingReporter;
using bench::Engine;
using bench::HistoryDatabase;
using bench::Medians;

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

// The statements the statement-by-statement writer runs, in its order, on bare Qt SQL: prepared once,
// bound by position. Today the baseline the set-based writer is measured against.
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
            rows("adqBloqComanda",
                 {{QStringLiteral("P_CDFILIAL"), Branch}, {QStringLiteral("P_NRCOMANDA"), tab}});
        rows("adqVerifVendaAberta",
             {{QStringLiteral("P_CDFILIAL"), Branch}, {QStringLiteral("P_NRVENDAREST"), toSale}});
        QHash<QString, double> originItems;
        for (const auto& r : rows("adqItensOrigem", {{QStringLiteral("P_CDFILIAL"), Branch},
                                                     {QStringLiteral("P_NRCOMANDA"), fromTab}}))
            originItems.insert(r[0].toString(), r[1].toDouble());
        int next = 0;
        for (const auto& r :
             rows("next", {{QStringLiteral("P_CDFILIAL"), Branch}, {QStringLiteral("P_NRCOMANDA"), toTab}}))
            next = std::max(next, r[0].toInt());
        rows("adqPesqSeqProdCom", {{QStringLiteral("P_CDFILIAL"), Branch},
                                   {QStringLiteral("P_NRVENDAREST"), toSale},
                                   {QStringLiteral("P_NRCOMANDA"), toTab}});
        for (const QString& item : items) {
            const QString newItem = platform::Ajusta(QString::number(++next), 6);
            const QVariant originSale = rows("adqBuscaVendaRest", {{QStringLiteral("P_CDFILIAL"), Branch},
                                                                   {QStringLiteral("P_NRCOMANDA"), fromTab},
                                                                   {QStringLiteral("P_NRPRODCOMVEN"), item}})
                                            .value(0)
                                            .value(0);
            if (!originItems.contains(item))
                throw std::runtime_error("the origin item is gone");
            std::map<QString, QVariant> ins = {
                {QStringLiteral("P_CDFILIAL"), Branch},
                {QStringLiteral("P_NRVENDAREST"), toSale},
                {QStringLiteral("P_NRCOMANDA"), toTab},
                {QStringLiteral("P_NRPRODCOMVEN"), newItem},
                {QStringLiteral("P_CDPRODUTO"), QStringLiteral("BENCH")},
                {QStringLiteral("P_QTPRODCOMVEN"), 2.0},
                {QStringLiteral("P_VRPRECCOMVEN"), 10.0},
                {QStringLiteral("P_VRPRECCLCOMVEN"), 0.0},
                {QStringLiteral("P_IDSTPRCOMVEN"), QStringLiteral("1")},
                {QStringLiteral("P_VRDESCCOMVEN"), 0.0},
                {QStringLiteral("P_VRACRCOMVEN"), 0.5},
                {QStringLiteral("P_DTHRINCOMVEN"), QDateTime(QDate(2026, 12, 8), QTime(12, 0))},
                {QStringLiteral("P_NRMESADSCOMORIT"), fromTable},
                {QStringLiteral("P_CDLOJA"), Store},
                {QStringLiteral("P_NRLUGARMESA"), QStringLiteral("2")},
                {QStringLiteral("P_NRATRAPRODCOVE"), 0.0},
                {QStringLiteral("P_QTITEMREFIL"), 0.0}};
            command("acmInsProd", ins);
            const auto obs = rows("adqObsItens", {{QStringLiteral("P_CDFILIAL"), Branch},
                                                  {QStringLiteral("P_NRCOMANDA"), fromTab},
                                                  {QStringLiteral("P_NRPRODCOMVEN"), item}});
            for (const auto& o : obs)
                command("acmInsObsItComandaVen", {{QStringLiteral("CDFILIAL"), Branch},
                                                  {QStringLiteral("NRVENDAREST"), toSale},
                                                  {QStringLiteral("NRCOMANDA"), toTab},
                                                  {QStringLiteral("NRPRODCOMVEN"), newItem},
                                                  {QStringLiteral("CDGRPOCOR"), o[2]},
                                                  {QStringLiteral("CDOCORR"), o[3]}});
            const auto comps = rows("adqItComandaEst", {{QStringLiteral("P_CDFILIAL"), Branch},
                                                        {QStringLiteral("P_NRCOMANDA"), fromTab},
                                                        {QStringLiteral("P_NRPRODCOMVEN"), item}});
            const auto compObs = rows("adqObsItensEst", {{QStringLiteral("P_CDFILIAL"), Branch},
                                                         {QStringLiteral("P_NRCOMANDA"), fromTab},
                                                         {QStringLiteral("P_NRPRODCOMVEN"), item}});
            for (const auto& comp : comps) {
                command("acmInsProdEst", {{QStringLiteral("P_CDFILIAL"), comp[0]},
                                          {QStringLiteral("P_NRVENDAREST"), toSale},
                                          {QStringLiteral("P_NRCOMANDA"), toTab},
                                          {QStringLiteral("P_NRPRODCOMVEN"), newItem},
                                          {QStringLiteral("P_CDPRODUTO"), comp[4]},
                                          {QStringLiteral("P_QTPROCOMEST"), comp[5].toDouble()},
                                          {QStringLiteral("P_VRPRECCOMEST"), comp[6].toDouble()},
                                          {QStringLiteral("P_DSOBSPEDDIGEST"), comp[8]}});
                for (const auto& o : compObs)
                    if (o[0] == comp[3] && o[2] == comp[4])
                        command("acmInsObsItComandaEst", {{QStringLiteral("CDFILIAL"), Branch},
                                                          {QStringLiteral("NRVENDAREST"), toSale},
                                                          {QStringLiteral("NRCOMANDA"), toTab},
                                                          {QStringLiteral("NRPRODCOMVEN"), newItem},
                                                          {QStringLiteral("CDPRODUTO"), comp[4]},
                                                          {QStringLiteral("CDGRPOCOR"), o[3]},
                                                          {QStringLiteral("CDOCORR"), o[4]}});
            }
            std::map<QString, QVariant> move = {{QStringLiteral("CDFILIALOLD"), Branch},
                                                {QStringLiteral("NRVENDARESTOLD"), originSale},
                                                {QStringLiteral("NRCOMANDAOLD"), fromTab},
                                                {QStringLiteral("NRPRODCOMVENOLD"), item},
                                                {QStringLiteral("NRVENDAREST"), toSale},
                                                {QStringLiteral("NRCOMANDA"), toTab},
                                                {QStringLiteral("NRPRODCOMVEN"), newItem},
                                                {QStringLiteral("NRMESA"), toTable},
                                                {QStringLiteral("NRLUGARMESAIT"), QStringLiteral("2")}};
            const bool tracked = !rows("adqVerifPedidoAlt", {{QStringLiteral("P_CDFILIALOLD"), Branch},
                                                             {QStringLiteral("P_NRVENDARESTOLD"), originSale},
                                                             {QStringLiteral("P_NRCOMANDAOLD"), fromTab},
                                                             {QStringLiteral("P_NRPRODCOMVENOLD"), item}})
                                      .isEmpty();
            command(tracked ? "acmUpPedidoAlt" : "acmInsPedidoAlt", move);
            command("acmDelProdEst", {{QStringLiteral("P_CDFILIAL"), Branch},
                                      {QStringLiteral("P_NRCOMANDA"), fromTab},
                                      {QStringLiteral("P_NRPRODCOMVEN"), item}});
            command("acmDelProd", {{QStringLiteral("P_CDFILIAL"), Branch},
                                   {QStringLiteral("P_NRCOMANDA"), fromTab},
                                   {QStringLiteral("P_NRPRODCOMVEN"), item}});
        }
        const double surcharge = 0.5 * double(items.size());
        command("acmUpdComanda", {{QStringLiteral("P_VRACRCOMANDA"), surcharge},
                                  {QStringLiteral("P_CDFILIAL"), Branch},
                                  {QStringLiteral("P_CDLOJA"), Store},
                                  {QStringLiteral("P_NRCOMANDA"), toTab}});
        command("acmUpdComanda", {{QStringLiteral("P_VRACRCOMANDA"), -surcharge},
                                  {QStringLiteral("P_CDFILIAL"), Branch},
                                  {QStringLiteral("P_CDLOJA"), Store},
                                  {QStringLiteral("P_NRCOMANDA"), fromTab}});
        command("acmUpdMesa", {{QStringLiteral("P_IDSTMESAAUX"), QStringLiteral("O")},
                               {QStringLiteral("P_CDFILIAL"), Branch},
                               {QStringLiteral("P_CDLOJA"), Store},
                               {QStringLiteral("P_NRMESA"), toTable}});
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

// Link cases run on PostgreSQL with the shorter history: the history is not what they measure.
constexpr int LinkHistory = 1000;
// The delay of a link, each way, in microseconds; Loopback is no link at all, straight to the server.
constexpr int Loopback = -1;

struct Setup {
    std::unique_ptr<HistoryDatabase> database;
    // Before the modules that connect through them, so that those go first.
    std::map<int, std::unique_ptr<bench::SlowLink>> links; // by delay
    std::unique_ptr<Srv_Mvt04215::TrdmTrPosicao> module;
    std::map<int, std::unique_ptr<Srv_Mvt04215::TrdmTrPosicao>> warmModules; // by delay, Loopback too
    std::unique_ptr<platform::db::Connection> bare;
    std::unique_ptr<BareTransfer> bareTransfer;
    bool warm = false;
};

std::map<std::pair<Engine, int>, Setup>& setups() {
    static std::map<std::pair<Engine, int>, Setup> all;
    return all;
}

Setup& setupFor(Engine engine, int history) {
    if (const auto found = setups().find({engine, history}); found != setups().end())
        return found->second;
    Setup s;
    s.database = std::make_unique<HistoryDatabase>(engine, history);
    s.bare = testsupport::openSession(s.database->connectionString(), QStringLiteral("bench-bare"));
    seedTransferTables(*s.bare);
    std::fprintf(stderr, "seeded %s with %d closed sales in %.1f s\n", testsupport::kindName(engine), history,
                 s.database->seedSeconds());
    s.module = testsupport::openDataModule(s.database->connectionString());
    s.bareTransfer = std::make_unique<BareTransfer>(*s.bare);
    return setups()[{engine, history}] = std::move(s);
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

// The direction of the next move: the items go back and forth between the two tables. Asked of the
// database, so that a round that failed halfway does not leave the next one moving nothing.
struct Direction {
    QString fromTab, toSale, toTab, fromTable, toTable;
};
Direction nextDirection(Setup& s) {
    return firstItems(*s.bare, TabA, 1).isEmpty() ? Direction{TabB, SaleA, TabA, TableB, TableA}
                                                  : Direction{TabA, SaleB, TabB, TableA, TableB};
}

// Moves the first `items` of the direction's origin tab through the module in rdmTrPosicao.
void transfer(Setup& s, const Direction& d, int items) {
    const QVariant result = Srv_Mvt04215::setTransferencia(
        request(*s.bare, d.fromTab, d.toSale, d.toTab, d.fromTable, d.toTable, items));
    if (result.isValid())
        throw std::runtime_error(result.toString().toStdString());
}

// Moves, unmeasured and on loopback, what a measured round left behind, so that every round starts
// with all the items on one side.
void moveRest(Setup& s, const Direction& d) {
    Srv_Mvt04215::rdmTrPosicao = s.module.get();
    transfer(s, d, MaxItems);
}

// A new database makes its first rounds slow, whichever layer runs them: cold caches, and plans made
// while the moving tabs were still unknown. Unmeasured rounds of both layers first, then statistics.
void warmUp(Setup& s) {
    if (s.warm)
        return;
    for (int round = 0; round < 20; ++round) {
        Srv_Mvt04215::rdmTrPosicao = s.module.get();
        transfer(s, nextDirection(s), MaxItems);
        const Direction d = nextDirection(s);
        s.bareTransfer->run(firstItems(*s.bare, d.fromTab, MaxItems), d.fromTab, d.toSale, d.toTab,
                            d.fromTable, d.toTable);
    }
    Srv_Mvt04215::rdmTrPosicao = nullptr;
    s.bare->exec(s.bare->dialect() == platform::db::Dialect::SQLite
                     ? QStringLiteral("ANALYZE")
                     : QStringLiteral("ANALYZE ") + host::suiteTableNames().join(QStringLiteral(", ")));
    s.warm = true;
}

void runModule(benchmark::State& state, Engine engine, int history, int items) {
    Setup& s = setupFor(engine, history);
    warmUp(s);
    const int preparedBefore = s.module->adcTrPosicao.prepareCount();
    for (auto _ : state) {
        state.PauseTiming();
        const Direction d = nextDirection(s);
        const QByteArray measured =
            request(*s.bare, d.fromTab, d.toSale, d.toTab, d.fromTable, d.toTable, items);
        Srv_Mvt04215::rdmTrPosicao = s.module.get();
        state.ResumeTiming();
        const QVariant result = Srv_Mvt04215::setTransferencia(measured);
        state.PauseTiming();
        if (result.isValid())
            throw std::runtime_error(result.toString().toStdString());
        if (items < MaxItems)
            moveRest(s, d);
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

bench::SlowLink& linkFor(Setup& s, int delayMicros) {
    std::unique_ptr<bench::SlowLink>& link = s.links[delayMicros];
    if (!link) {
        auto checked = std::make_unique<bench::SlowLink>(s.database->connectionString(),
                                                         std::chrono::microseconds(delayMicros));
        std::fprintf(stderr, "%s\n", qPrintable(checked->checkReport()));
        link = std::move(checked);
    }
    return *link;
}

// A module kept connected over the rounds; its first transfers, unmeasured, prepare its statements.
Srv_Mvt04215::TrdmTrPosicao& warmModuleFor(Setup& s, int delayMicros, const QString& connectionString) {
    std::unique_ptr<Srv_Mvt04215::TrdmTrPosicao>& module = s.warmModules[delayMicros];
    if (!module) {
        auto connected = testsupport::openDataModule(connectionString);
        for (int round = 0; round < 2; ++round) {
            Srv_Mvt04215::rdmTrPosicao = connected.get();
            transfer(s, nextDirection(s), MaxItems);
        }
        Srv_Mvt04215::rdmTrPosicao = nullptr;
        module = std::move(connected);
    }
    return *module;
}

struct LinkCase {
    int delayMicros;
    int items;
    bool fresh;
};

void runLink(benchmark::State& state, const LinkCase& c) {
    Setup& s = setupFor(Engine::PostgreSQL, LinkHistory);
    warmUp(s);
    bench::SlowLink* link = c.delayMicros == Loopback ? nullptr : &linkFor(s, c.delayMicros);
    const QString connectionString = link ? link->connectionString() : s.database->connectionString();
    Srv_Mvt04215::TrdmTrPosicao* warm =
        c.fresh ? nullptr : &warmModuleFor(s, c.delayMicros, connectionString);
    double roundTrips = 0, prepares = 0;
    testsupport::DelayProxy::Lateness late;
    for (auto _ : state) {
        state.PauseTiming();
        const Direction d = nextDirection(s);
        const QByteArray measured =
            request(*s.bare, d.fromTab, d.toSale, d.toTab, d.fromTable, d.toTable, c.items);
        // connected before the measure, as the screen is open before the operator confirms
        std::unique_ptr<Srv_Mvt04215::TrdmTrPosicao> fresh =
            c.fresh ? testsupport::openDataModule(connectionString) : nullptr;
        Srv_Mvt04215::TrdmTrPosicao& module = fresh ? *fresh : *warm;
        Srv_Mvt04215::rdmTrPosicao = &module;
        const int preparedBefore = module.adcTrPosicao.prepareCount();
        const quint64 tripsBefore = link ? link->proxy().roundTrips() : 0;
        const testsupport::DelayProxy::Lateness lateBefore = link ? link->proxy().lateness() : late;
        state.ResumeTiming();
        const QVariant result = Srv_Mvt04215::setTransferencia(measured);
        state.PauseTiming();
        if (link) {
            roundTrips += double(link->proxy().roundTrips() - tripsBefore);
            const testsupport::DelayProxy::Lateness lateAfter = link->proxy().lateness();
            late.chunks += lateAfter.chunks - lateBefore.chunks;
            late.total += lateAfter.total - lateBefore.total;
        }
        prepares += module.adcTrPosicao.prepareCount() - preparedBefore;
        Srv_Mvt04215::rdmTrPosicao = nullptr;
        fresh.reset();
        if (result.isValid())
            throw std::runtime_error(result.toString().toStdString());
        if (c.items < MaxItems)
            moveRest(s, d);
        state.ResumeTiming();
    }
    Srv_Mvt04215::rdmTrPosicao = nullptr;
    state.counters["prepares"] = benchmark::Counter(prepares, benchmark::Counter::kAvgIterations);
    if (link) {
        state.counters["round trips"] = benchmark::Counter(roundTrips, benchmark::Counter::kAvgIterations);
        // how much later than the set delay the link let the bytes go, on average
        state.counters["late us"] =
            late.chunks ? std::chrono::duration<double, std::micro>(late.total).count() / double(late.chunks)
                        : 0;
    }
}

struct Case {
    Engine engine;
    int history;
    int items;
    bool module;
};

std::string caseName(const Case& c) {
    return std::string("Transfer/") + testsupport::kindName(c.engine) +
           "/history:" + std::to_string(c.history) + "/items:" + std::to_string(c.items) +
           (c.module ? "/module" : "/bare");
}

// "1 ms each way", "0.25 ms each way", "loopback"
std::string linkLabel(int delayMicros) {
    if (delayMicros == Loopback)
        return "loopback";
    return QString::number(delayMicros / 1000.0).toStdString() + " ms each way";
}

std::string caseName(const LinkCase& c) {
    const std::string link = c.delayMicros == Loopback
                                 ? std::string("loopback")
                                 : "delay:" + QString::number(c.delayMicros / 1000.0).toStdString() + "ms";
    return "Transfer/PostgreSQL/" + link + "/items:" + std::to_string(c.items) +
           (c.fresh ? "/fresh" : "/warm");
}

// Why a case that failed did so.
std::map<std::string, std::string>& failures() {
    static std::map<std::string, std::string> all;
    return all;
}

// The medians of a case that ran, in ms; none for a case that failed in any repetition, as it has no
// figure to stand on.
const Medians* figuresOf(const CollectingReporter& results, const std::string& name) {
    return failures().contains(name) ? nullptr : results.medians(name);
}

// Each target's figure beside it; a target without a figure says why, and is never counted as met.
class Targets {
public:
    Targets(const CollectingReporter& results, bool postgres) : results_(results), postgres_(postgres) {}

    std::string whyNot(const std::string& name, Engine engine) const {
        if (const auto failed = failures().find(name); failed != failures().end())
            return "not measured: " + failed->second;
        if (engine == Engine::PostgreSQL && !postgres_)
            return "not measured: MVT_TEST_PG is not set";
        return "not measured";
    }

    // "met"/"MISSED" for a figure against its limit, or why there is none.
    std::string judge(const std::optional<double>& figure, double limit) {
        if (!figure) {
            ++unmeasured_;
            return {};
        }
        if (*figure <= limit) {
            ++met_;
            return "met";
        }
        ++missed_;
        return "MISSED";
    }

    void time(const std::string& what, const std::string& name, Engine engine, double limitMs) {
        const Medians* f = figuresOf(results_, name);
        const std::string verdict = judge(f ? std::optional(f->realTime) : std::nullopt, limitMs);
        if (f)
            std::printf("  %-50s %9.2f ms   target <= %5.1f ms   %s\n", what.c_str(), f->realTime, limitMs,
                        verdict.c_str());
        else
            std::printf("  %-50s %s   target <= %5.1f ms\n", what.c_str(), whyNot(name, engine).c_str(),
                        limitMs);
    }

    void finish() const {
        const int all = met_ + missed_ + unmeasured_;
        if (met_ == all)
            std::printf("all %d targets met\n", all);
        else
            std::printf("%d of %d targets met, %d missed, %d not measured\n", met_, all, missed_,
                        unmeasured_);
    }

private:
    const CollectingReporter& results_;
    bool postgres_;
    int met_ = 0, missed_ = 0, unmeasured_ = 0;
};

constexpr int Histories[] = {1000, 10000};
constexpr int ItemCounts[] = {10, 50};
constexpr int LinkDelays[] = {Loopback, 0, 250, 1000};
constexpr double RatioTarget = 1.3;
constexpr double SQLiteTargetMs = 8, LoopbackTargetMs = 20, SlowLinkTargetMs = 100;

void printSummary(const CollectingReporter& results, bool postgres) {
    Targets targets(results, postgres);
    std::printf("\nsummary: medians of the repetitions, ms per transfer\n");
    std::printf("\nour module against the statement-by-statement writer on bare Qt SQL (target: at most %.2f "
                "times)\n",
                RatioTarget);
    for (Engine e : {Engine::SQLite, Engine::PostgreSQL}) {
        for (int history : Histories) {
            for (int items : ItemCounts) {
                const std::string ours = caseName(Case{e, history, items, true});
                const std::string bare = caseName(Case{e, history, items, false});
                const Medians* o = figuresOf(results, ours);
                const Medians* b = figuresOf(results, bare);
                const std::optional<double> ratio =
                    o && b && b->realTime > 0 ? std::optional(o->realTime / b->realTime) : std::nullopt;
                const std::string verdict = targets.judge(ratio, RatioTarget);
                std::printf("  %-10s history %5d items %2d: ", testsupport::kindName(e), history, items);
                if (ratio)
                    std::printf("module %8.2f  bare %8.2f  ratio %.2f  %s\n", o->realTime, b->realTime,
                                *ratio, verdict.c_str());
                else
                    std::printf("%s\n", targets.whyNot(o ? bare : ours, e).c_str());
            }
        }
    }
    std::printf("\ngrowth with the history: module at 10,000 closed sales / at 1,000\n");
    for (Engine e : {Engine::SQLite, Engine::PostgreSQL})
        for (int items : ItemCounts) {
            const Medians* small = figuresOf(results, caseName(Case{e, 1000, items, true}));
            const Medians* large = figuresOf(results, caseName(Case{e, 10000, items, true}));
            std::printf("  %-10s items %2d: ", testsupport::kindName(e), items);
            if (small && large && small->realTime > 0)
                std::printf("%.2f\n", large->realTime / small->realTime);
            else
                std::printf("not measured\n");
        }

    std::printf("\nPostgreSQL through a link that delays every byte, history %d: a data module connected "
                "afresh for each transfer (prepares included) or one kept warm; late: how long after its "
                "set time the link let a byte go, on average\n",
                LinkHistory);
    std::printf("  %-17s %5s %-6s %12s %12s %9s %8s\n", "link", "items", "module", "ms", "round trips",
                "prepares", "late us");
    for (int delay : LinkDelays)
        for (int items : ItemCounts)
            for (bool fresh : {true, false}) {
                const LinkCase c{delay, items, fresh};
                std::printf("  %-17s %5d %-6s ", linkLabel(delay).c_str(), items, fresh ? "fresh" : "warm");
                const Medians* f = figuresOf(results, caseName(c));
                if (!f) {
                    std::printf("%s\n", targets.whyNot(caseName(c), Engine::PostgreSQL).c_str());
                    continue;
                }
                const auto counter = [f](const char* name) {
                    const auto found = f->counters.find(name);
                    return found == f->counters.end() ? std::string("-")
                                                      : QString::number(found->second, 'f', 1).toStdString();
                };
                std::printf("%12.2f %12s %9s %8s\n", f->realTime, counter("round trips").c_str(),
                            counter("prepares").c_str(), counter("late us").c_str());
            }

    std::printf("\ntargets of a 50-item transfer\n");
    targets.time("PostgreSQL, 1 ms each way, fresh module", caseName(LinkCase{1000, 50, true}),
                 Engine::PostgreSQL, SlowLinkTargetMs);
    targets.time("PostgreSQL, loopback, fresh module", caseName(LinkCase{Loopback, 50, true}),
                 Engine::PostgreSQL, LoopbackTargetMs);
    for (int history : Histories)
        targets.time("SQLite file, history " + std::to_string(history),
                     caseName(Case{Engine::SQLite, history, 50, true}), Engine::SQLite, SQLiteTargetMs);
    targets.finish();
}

// Runs one case; a failure ends the case with its message, kept for the summary.
template <typename Run> void registerCase(const std::string& name, int iterations, int repetitions, Run run) {
    benchmark::RegisterBenchmark(name.c_str(),
                                 [name, run](benchmark::State& state) {
                                     try {
                                         run(state);
                                     } catch (const std::exception& e) {
                                         failures().emplace(name, e.what());
                                         state.SkipWithError(e.what());
                                     }
                                 })
        ->Unit(benchmark::kMillisecond)
        ->Repetitions(repetitions)
        ->ReportAggregatesOnly(true)
        ->Iterations(iterations);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    const std::vector<Engine> engines = HistoryDatabase::engines();
    const bool postgres = engines.back() == Engine::PostgreSQL;
    for (Engine e : engines)
        for (int history : Histories)
            for (int items : ItemCounts)
                for (bool module : {true, false}) {
                    const Case c{e, history, items, module};
                    registerCase(caseName(c), 20, 5, [c](benchmark::State& state) {
                        if (c.module)
                            runModule(state, c.engine, c.history, c.items);
                        else
                            runBare(state, c.engine, c.history, c.items);
                    });
                }
    if (postgres)
        for (int delay : LinkDelays)
            for (int items : ItemCounts)
                for (bool fresh : {true, false}) {
                    const LinkCase c{delay, items, fresh};
                    // a slow link costs seconds per round today: fewer rounds there
                    registerCase(caseName(c), delay >= 250 ? 5 : 10, 3,
                                 [c](benchmark::State& state) { runLink(state, c); });
                }

    CollectingReporter reporter(benchmark::CreateDefaultDisplayReporter());
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::cout.flush();
    printSummary(reporter, postgres);
    // modules, links and connections go while the application and the SQL drivers still exist
    setups().clear();
    benchmark::Shutdown();
    return failures().empty() ? 0 : 1;
}
