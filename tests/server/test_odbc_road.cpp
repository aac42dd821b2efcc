// The road of SQL Server and Oracle sites (Qt's ODBC driver and the statement-by-statement writer), driven
// against PostgreSQL through psqlODBC: lookups, transfers and the clean-up through the server methods, on
// values chosen to trip a driver (empty ones, long and non-ASCII texts, milliseconds, numbers without a
// short decimal form), each held against rows read with our own SQL over Qt's native driver.

#include "support/OdbcRoad.h"
#include "support/ServerFixture.h"
#include "support/TransferRequest.h"

#include "host/SuiteTables.h"
#include "platform/Text.h"
#include "platform/db/Failures.h"
#include "schema/ItemRecord.h"
#include "server/Srv_Mvt04215.h"
#include "server/TransferMessages.h"
#include "server/TrdmTrPosicao.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>

using namespace Srv_Mvt04215;
using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {

// Values a driver may get wrong: awkward numbers, texts up to their column's width (some of them long)
// with letters outside ASCII and one outside the 16-bit range, date-times to the millisecond; now and
// then empty.
class Values {
public:
    explicit Values(unsigned seed) : rng_(seed) {}
    int pick(int n) { return int(rng_() % unsigned(n)); }
    QVariant number() {
        static const double numbers[] = {1.0 / 3, 0.1 + 0.2, 1e-7, 123456.789, 2.5, 9.99, 0.875, 7};
        return pick(4) == 0 ? QVariant() : QVariant(numbers[pick(8)]);
    }
    QVariant text(int width) {
        if (pick(4) == 0)
            return {};
        static const QString letters = u"aZ09 çãéõüºª€-ÀÇ'\"%_;?"_s;
        const int length = width >= 1500 ? 1500 + pick(width - 1500 + 1) : 1 + pick(width);
        QString out;
        while (out.size() < length) {
            if (length - out.size() >= 2 && pick(40) == 0)
                out += u"🍕"_s; // a pair of UTF-16 units
            else
                out += letters[pick(int(letters.size()))];
        }
        return out;
    }
    QVariant columnText(const char* column) {
        return text(schema::itemFieldWidth(QString::fromLatin1(column)));
    }
    QVariant dateTime() {
        if (pick(5) == 0)
            return {};
        return SalesBuilder::orderedAt().addMSecs(qint64(pick(1000000)) * 997 + pick(1000));
    }

private:
    std::mt19937 rng_;
};

class OdbcRoad : public DatabaseFixture<OnPostgreSQL> {
protected:
    void SetUp() override {
        MVT_REQUIRE_ODBC();
        DatabaseFixture<OnPostgreSQL>::SetUp();
    }
    void prepare() override {
        odbc = openDataModule(odbcConnectionString(database->connectionString()));
        native = openDataModule(database->connectionString());
        rdmTrPosicao = odbc.get();
    }
    void TearDown() override { rdmTrPosicao = nullptr; }

    // Table 0001 (sale S1, tabs T1 and T2) holds the items to move; table 0002 (sale S2, tab D2) takes them.
    void seed(Values& v) {
        SalesBuilder& b = *builder;
        const QStringList names = {u"Pão de queijo"_s, u"Açaí"_s,         u"Café coado"_s,
                                   u"Guaraná"_s,       u"Crème brûlée"_s, u"Pizza 🍕"_s};
        for (int p = 0; p < names.size(); ++p)
            b.product(u"P%1"_s.arg(p + 1), names[p]);
        b.table(u"0001"_s).table(u"0002"_s).join(u"J1"_s, u"0001"_s);
        b.sale(u"S1"_s, u"0001"_s).sale(u"S2"_s, u"0002"_s);
        b.tab(u"T1"_s, u"S1"_s, u"Comanda do João"_s, 1.5).tab(u"T2"_s, u"S1"_s).tab(u"D2"_s, u"S2"_s);
        b.item(u"D2"_s, u"000001"_s, u"P1"_s, 1);
        static const double quantities[] = {1, 2, 0.5, 2.75, 0.1 + 0.2, 1.0 / 3, 3};
        for (const QString& tab : {u"T1"_s, u"T2"_s})
            for (int i = 1; i <= 6; ++i) {
                const QString item = platform::Ajusta(QString::number(i), 6);
                b.item(tab, item, u"P%1"_s.arg(1 + v.pick(6)), quantities[v.pick(7)],
                       {
                           {u"VRPRECCOMVEN"_s, v.number()},
                           {u"VRDESCCOMVEN"_s, v.number()},
                           {u"VRACRCOMVEN"_s, v.number()},
                           {u"VRPRECCLCOMVEN"_s, v.number()},
                           {u"NRATRAPRODCOVE"_s, v.number()},
                           {u"QTITEMREFIL"_s, v.number()},
                           {u"DTHRINCOMVEN"_s, v.dateTime()},
                           {u"IDSTPRCOMVEN"_s, QString::number(1 + v.pick(3))},
                           {u"NRLUGARMESA"_s, QString::number(1 + v.pick(4))},
                           {u"TXPRODCOMVEN"_s, v.columnText("TXPRODCOMVEN")},
                           {u"DSOBSPEDDIGCMD"_s, v.columnText("DSOBSPEDDIGCMD")},
                           {u"CDGRPOCOR"_s, v.columnText("CDGRPOCOR")},
                           {u"CDOCORR"_s, v.columnText("CDOCORR")},
                           {u"IDPRODIMPFIS"_s, v.columnText("IDPRODIMPFIS")},
                           {u"NRSEQPRODCUP"_s, v.columnText("NRSEQPRODCUP")},
                           {u"CDCAIXACOLETOR"_s, v.columnText("CDCAIXACOLETOR")},
                           {u"CDPRODPROMOCAO"_s, v.columnText("CDPRODPROMOCAO")},
                           {u"CDVENDEDOR"_s, v.columnText("CDVENDEDOR")},
                           {u"IDORIGPEDCMD"_s, v.columnText("IDORIGPEDCMD")},
                           {u"NRPEDIDOZEL"_s, v.columnText("NRPEDIDOZEL")},
                           {u"CDSENHAPED"_s, v.columnText("CDSENHAPED")},
                           {u"IDDIVIDECONTA"_s, v.columnText("IDDIVIDECONTA")},
                           {u"NRPRODORIG"_s, v.columnText("NRPRODORIG")},
                           {u"IDPRODREFIL"_s, v.columnText("IDPRODREFIL")},
                           {u"NRINSCRCONS"_s, v.columnText("NRINSCRCONS")},
                           {u"NMCONSVEND"_s, v.columnText("NMCONSVEND")},
                           {u"DSENDEVENDA"_s, v.columnText("DSENDEVENDA")},
                       });
                for (int o = v.pick(3); o > 0; --o)
                    b.observation(tab, item, u"0%1"_s.arg(v.pick(4)), u"%1"_s.arg(10 + v.pick(90)));
                // components, one product now and then twice, with their discounts and observations
                const QStringList products = {u"P1"_s, u"P2"_s, u"P3"_s};
                for (int c = v.pick(4); c > 0; --c) {
                    const QString& product = products.at(v.pick(int(products.size())));
                    host::insertRow(database->admin(), u"ITCOMANDAEST"_s,
                                    {{u"CDFILIAL"_s, u"0001"_s},
                                     {u"NRVENDAREST"_s, u"S1"_s},
                                     {u"NRCOMANDA"_s, tab},
                                     {u"NRPRODCOMVEN"_s, item},
                                     {u"CDPRODUTO"_s, product},
                                     {u"QTPROCOMEST"_s, v.number()},
                                     {u"VRPRECCOMEST"_s, v.number()},
                                     {u"VRDESITCOMEST"_s, v.number()},
                                     {u"DSOBSPEDDIGEST"_s, v.text(2000)}});
                    for (int o = v.pick(3); o > 0; --o)
                        b.componentObservation(tab, item, product, u"0%1"_s.arg(v.pick(4)),
                                               u"%1"_s.arg(10 + v.pick(90)));
                }
            }
    }

    // An item as our own SQL reads it, with what hangs off it.
    struct ItemState {
        QVariantMap row;
        Rows observations, components, componentObservations;
    };
    ItemState state(const QString& tab, const QString& item) {
        const QString key =
            u"CDFILIAL = '0001' AND NRCOMANDA = '%1' AND NRPRODCOMVEN = '%2'"_s.arg(tab, item);
        return {database->row(u"SELECT * FROM ITCOMANDAVEN WHERE "_s + key),
                sorted(rows(u"SELECT CDGRPOCOR, CDOCORR FROM OBSITCOMANDAVEN WHERE "_s + key)),
                sorted(rows(u"SELECT CDPRODUTO, QTPROCOMEST, VRPRECCOMEST, VRDESITCOMEST, DSOBSPEDDIGEST "
                            u"FROM ITCOMANDAEST "
                            "WHERE "_s +
                            key)),
                sorted(rows(u"SELECT CDPRODUTO, CDGRPOCOR, CDOCORR FROM OBSITCOMANDAEST WHERE "_s + key))};
    }

    // Where the move record says the item went.
    std::pair<QString, QString> movedTo(const QString& tab, const QString& item) {
        const QVariantMap to = database->row(
            u"SELECT NRCOMANDA, NRPRODCOMVEN FROM PEDIDOALT WHERE CDFILIALOLD = '0001' AND NRVENDARESTOLD = "
            "'S1' AND NRCOMANDAOLD = '%1' AND NRPRODCOMVENOLD = '%2'"_s.arg(tab, item));
        return {to.value(u"NRCOMANDA"_s).toString(), to.value(u"NRPRODCOMVEN"_s).toString()};
    }

    // Moves the items through ODBC to tab D2 at `seat`, each whole or `quantities` of it, and holds every
    // new row, every split origin and every dependent record against the origin as it was.
    void moveAndCompare(const QList<std::pair<QString, QString>>& items, const QList<double>& quantities,
                        const QString& seat) {
        TransferRequest request(database->admin(), {u"0002"_s, u"S2"_s, u"D2"_s, seat});
        QList<ItemState> before;
        for (qsizetype i = 0; i < items.size(); ++i) {
            before << state(items[i].first, items[i].second);
            const double held = before.last().row.value(u"QTPRODCOMVEN"_s).toDouble();
            request.move(items[i].first, items[i].second,
                         quantities[i] == held ? std::nullopt : std::optional<double>(quantities[i]));
        }
        QStringList ran;
        odbc->adcTrPosicao.beforeRun = [&](const QString& statement) {
            ran << statement;
        };
        const QVariant result = setTransferencia(request.packet());
        odbc->adcTrPosicao.beforeRun = nullptr;
        ASSERT_FALSE(result.isValid()) << result.toString().toStdString();
        EXPECT_TRUE(ran.contains(u"acmInsProd"_s)) << "the statement-by-statement writer";
        EXPECT_FALSE(std::any_of(ran.cbegin(), ran.cend(), [](const QString& s) {
            return s.endsWith(u"Lote");
        })) << ran.join(u' ').toStdString();

        for (qsizetype i = 0; i < items.size(); ++i) {
            const auto& [tab, item] = items[i];
            SCOPED_TRACE(u"item %1 of tab %2"_s.arg(item, tab).toStdString());
            const ItemState& was = before[i];
            const double held = was.row.value(u"QTPRODCOMVEN"_s).toDouble();
            const auto [newTab, newItem] = movedTo(tab, item);
            ASSERT_EQ(newTab, u"D2"_s);
            const ItemState now = state(newTab, newItem);
            ASSERT_FALSE(now.row.isEmpty());
            for (auto it = was.row.cbegin(); it != was.row.cend(); ++it) {
                if (placeColumns.contains(it.key()))
                    continue;
                EXPECT_EQ(shown(now.row.value(it.key())), shown(it.value())) << it.key().toStdString();
            }
            EXPECT_EQ(shown(now.row.value(u"QTPRODCOMVEN"_s)), shown(quantities[i]));
            EXPECT_EQ(shown(now.row.value(u"NRVENDAREST"_s)), "S2");
            EXPECT_EQ(shown(now.row.value(u"NRLUGARMESA"_s)), seat.toStdString());
            EXPECT_EQ(now.observations, was.observations);
            EXPECT_EQ(now.components, was.components);
            EXPECT_EQ(now.componentObservations, was.componentObservations);

            const ItemState origin = state(tab, item);
            if (quantities[i] == held) {
                EXPECT_TRUE(origin.row.isEmpty()) << "moved whole";
                EXPECT_TRUE(origin.components.empty());
                continue;
            }
            QVariantMap rest = origin.row;
            EXPECT_EQ(shown(rest.take(u"QTPRODCOMVEN"_s)), shown(held - quantities[i]));
            QVariantMap kept = was.row;
            kept.remove(u"QTPRODCOMVEN"_s);
            for (auto it = kept.cbegin(); it != kept.cend(); ++it)
                EXPECT_EQ(shown(rest.value(it.key())), shown(it.value())) << it.key().toStdString();
            EXPECT_EQ(origin.observations, was.observations);
            EXPECT_EQ(origin.components, was.components);
            EXPECT_EQ(origin.componentObservations, was.componentObservations);
        }
    }

    // The lookup as the ODBC module and as a module on Qt's own driver answer it.
    template <typename Lookup> void expectSameLookup(Lookup lookup) {
        const QVariant overOdbc = lookup();
        rdmTrPosicao = native.get();
        const QVariant overNative = lookup();
        rdmTrPosicao = odbc.get();
        ASSERT_EQ(overOdbc.typeId(), QMetaType::QByteArray) << overOdbc.toString().toStdString();
        EXPECT_EQ(overOdbc.toByteArray().toStdString(), overNative.toByteArray().toStdString());
    }
    void expectSameLookups() {
        for (const QString& table : {u"0001"_s, u"0002"_s})
            expectSameLookup([&] { return getProdOrig(table, u"0001"_s, u"01"_s, {}, {}, {}); });
        expectSameLookup([] { return getValidaMesaDes(u"0001"_s, u"01"_s, u"0002"_s, u"0001"_s); });
    }

    std::unique_ptr<TrdmTrPosicao> odbc, native;
};

} // namespace

TEST_F(OdbcRoad, EveryValueCrossesTheOdbcRoadAsStored) {
    ASSERT_TRUE(odbc->adcTrPosicao.viaOdbc());
    ASSERT_EQ(odbc->adcTrPosicao.dialect(), platform::db::Dialect::PostgreSQL);
    Values v(4215);
    seed(v);
    expectSameLookups();

    // a stale request is refused and changes nothing; the session goes on after the rollback
    {
        TransferRequest stale(database->admin(), {u"0002"_s, u"S2"_s, u"D2"_s, u"1"_s});
        stale.move(u"T1"_s, u"000001"_s).move(u"T2"_s, u"000002"_s);
        builder->item(u"T2"_s, u"000009"_s, u"P1"_s, 1);
        stale.move(u"T2"_s, u"000009"_s);
        database->exec(u"DELETE FROM ITCOMANDAVEN WHERE NRCOMANDA = 'T2' AND NRPRODCOMVEN = '000009'"_s);
        const QStringList unchanged = database->snapshot();
        EXPECT_EQ(setTransferencia(stale.packet()).toString(),
                  transferText::originChanged(u"T2"_s, u"000009"_s));
        EXPECT_EQ(database->snapshot(), unchanged);
    }
    // another terminal holds the destination tab longer than a lock wait lasts: the operator is told
    // which tables are busy, as on Qt's own driver, and nothing changed
    {
        const auto other = openSession(database->connectionString(), u"other-terminal"_s);
        other->beginTransaction();
        other->exec(u"SELECT * FROM COMANDAVEN WHERE NRCOMANDA = 'D2' FOR UPDATE"_s);
        odbc->adcTrPosicao.exec(u"SET lock_timeout = '200ms'"_s);
        TransferRequest busy(database->admin(), {u"0002"_s, u"S2"_s, u"D2"_s, u"1"_s});
        busy.move(u"T1"_s, u"000001"_s);
        const QStringList unchanged = database->snapshot();
        EXPECT_EQ(setTransferencia(busy.packet()).toString(),
                  platform::db::tableBusyText({u"0001"_s, u"0002"_s}));
        other->rollback();
        odbc->adcTrPosicao.exec(u"SET lock_timeout = '10s'"_s);
        EXPECT_EQ(database->snapshot(), unchanged);
    }

    // every item, whole or split; then what the splits left, whole
    QList<std::pair<QString, QString>> items;
    QList<double> quantities;
    for (const QString& row : database->rows(
             u"SELECT NRCOMANDA, NRPRODCOMVEN FROM ITCOMANDAVEN WHERE NRVENDAREST = 'S1' ORDER BY 1, 2"_s)) {
        const QStringList key = row.split(u'|');
        const double held = state(key[0], key[1]).row.value(u"QTPRODCOMVEN"_s).toDouble();
        items << std::pair{key[0], key[1]};
        quantities << (v.pick(2) ? held : std::floor(held * (1 + v.pick(3)) / 4 * 1000) / 1000);
        if (quantities.last() < 0.001)
            quantities.last() = held;
    }
    ASSERT_NO_FATAL_FAILURE(moveAndCompare(items, quantities, u"3"_s));
    items.clear();
    quantities.clear();
    for (const QString& row : database->rows(
             u"SELECT NRCOMANDA, NRPRODCOMVEN, QTPRODCOMVEN FROM ITCOMANDAVEN WHERE NRVENDAREST = 'S1'"_s)) {
        const QStringList cells = row.split(u'|');
        items << std::pair{cells[0], cells[1]};
        quantities << cells[2].toDouble();
    }
    ASSERT_FALSE(items.isEmpty()) << "some items were split";
    ASSERT_NO_FATAL_FAILURE(moveAndCompare(items, quantities, u"4"_s));
    expectSameLookups();

    // the clean-up: table 0001 is empty and is freed, handing its join over; then the branch's orphans
    EXPECT_TRUE(setVerificaMesaVazia(u"0001"_s, u"01"_s, u"0001"_s));
    EXPECT_FALSE(setVerificaMesaVazia(u"0001"_s, u"01"_s, u"0002"_s));
    EXPECT_TRUE(setLiberamesa(u"0001"_s, u"01"_s, u"0001"_s, u"0002"_s));
    EXPECT_EQ(rows(u"SELECT NRVENDAREST, NRCOMANDA FROM COMANDAVEN ORDER BY 1, 2"_s), Rows({"S2|D2"}));
    EXPECT_EQ(status("0001"), u"D"_s);
    EXPECT_EQ(rows(u"SELECT NRJUNMESA, NRMESA FROM MESAJUNCAO"_s), Rows({"J1|0002"}));

    const QStringList kept = database->snapshot();
    builder->table(u"0005"_s).closedSale(u"V0"_s, u"0005"_s);
    builder->item(u"77"_s, u"000001"_s, u"P1"_s, 1, {{u"NRVENDAREST"_s, u"S2"_s}});
    builder->tab(u"60"_s, u"V6"_s).item(u"60"_s, u"000001"_s, u"P2"_s, 1);
    const QVariant code = setDeletaVendaRest("0005", "0001", "01");
    ASSERT_EQ(code.typeId(), QMetaType::Int) << code.toString().toStdString();
    EXPECT_EQ(code.toInt(), 15);
    QStringList after = database->snapshot();
    after.removeOne(u"MESA:0001|01|0005|Mesa 0005|D"_s);
    EXPECT_EQ(after, kept) << "only the orphans went, and table 0005 is free";
}
