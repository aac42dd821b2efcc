// The transfer service on both databases, on a seeded restaurant: what a request moves, renumbers and
// leaves behind, what it refuses, and that a failure at any statement leaves every row as it was.

#include "support/FaultInjection.h"
#include "support/ServerFixture.h"
#include "support/TransferRequest.h"

#include "platform/Errors.h"
#include "platform/FieldDef.h"
#include "platform/db/Failures.h"
#include "server/Srv_Mvt04215.h"
#include "server/TransferMessages.h"
#include "server/TrdmTrPosicao.h"

#include <chrono>
#include <future>
#include <gtest/gtest.h>
#include <optional>
#include <thread>
#include <utility>

using namespace Srv_Mvt04215;
using namespace testsupport;
namespace text = Srv_Mvt04215::transferText;

namespace {

const QDateTime richOrderedAt(QDate(2026, 12, 8), QTime(21, 5, 7, 89));

// Columns a moved row takes from the request instead of its origin row, and those the move leaves out.
const QStringList notFromOrigin = {"NRVENDAREST",  "NRCOMANDA",    "NRPRODCOMVEN", "QTPRODCOMVEN",
                                   "NRSEQPRODCOM", "NRLUGARMESA",  "CDLOJA",       "NRMESADSCOMORIT",
                                   "NRMESAORIG",   "CDLOJAORIG",   "DSCOMANDAORI", "NRCOMANDAORI",
                                   "NRPRODCOMORI", "IDSTLUGARMESA"};

std::string shown(const QVariant& v) {
    if (v.isNull())
        return "<null>";
    if (v.typeId() == QMetaType::QDateTime)
        return platform::dateTimeToText(v.toDateTime()).toStdString();
    return v.toString().toStdString();
}

template <typename Db> class TransferTest : public ServerFixture<Db> {
protected:
    void prepare() override {
        ServerFixture<Db>::prepare();
        seed();
    }

    // Table 0001 holds sale V1 with tabs 10, 11 and 12; table 0002 holds sale V2 with the destination
    // tab 20 (items up to 000006, sequences up to 003); table 0003 holds the closed sale V3.
    void seed() {
        SalesBuilder b(this->database->admin());
        b.product("P1", "Pizza").product("P2", "Suco").product("P3", "Queijo").product("P4", "Bacon");
        b.product("P5", "Ovo");
        b.table("0001", "O").table("0002", "L").table("0003", "L");
        b.sale("V1", "0001").sale("V2", "0002").closedSale("V3", "0003");
        b.tab("10", "V1", "Ana", 5).tab("11", "V1", "Beto", 3).tab("12", "V1").tab("20", "V2", {}, 1);
        b.tab("30", "V3");

        b.item("10", "000001", "P1", 2,
               {{"NRSEQPRODCOM", "001"},
                {"VRACRCOMVEN", 0.5},
                {"VRPRECCLCOMVEN", 9.5},
                {"NRATRAPRODCOVE", 2.0},
                {"QTITEMREFIL", 1.0}})
            .observation("10", "000001", "01", "01")
            .observation("10", "000001", "01", "02")
            .component("10", "000001", "P3", 1, 1.5, "sem sal")
            .component("10", "000001", "P4", 2, 2.25)
            .componentObservation("10", "000001", "P3", "02", "05")
            .componentObservation("10", "000001", "P4", "02", "06")
            .componentObservation("10", "000001", "P4", "03", "07");
        b.item("10", "000002", "P2", 3,
               {{"NRSEQPRODCOM", "001"},
                {"VRACRCOMVEN", 0.25},
                {"VRPRECCLCOMVEN", 4.5},
                {"NRATRAPRODCOVE", 1.0},
                {"QTITEMREFIL", 3.0}})
            .observation("10", "000002", "04", "08")
            .component("10", "000002", "P5", 1, 0.5);
        b.item("10", "000003", "P1", 1, {{"NRSEQPRODCOM", "002"}})
            .item("10", "000004", "P2", 1)
            .item("10", "000005", "P1", 1.5, {{"NRSEQPRODCOM", "002"}})
            .item("10", "000006", "P3", 1, {{"NRSEQPRODCOM", "004"}});
        // every column holds a value of its own, so that a value the move loses or mixes up shows
        b.item("10", "000007", "P1", 4,
               {{"VRPRECCOMVEN", 12.5},
                {"IDSTPRCOMVEN", "2"},
                {"VRDESCCOMVEN", 0.5},
                {"NRLUGARMESA", "2"},
                {"CDGRPOCOR", "01"},
                {"CDOCORR", "02"},
                {"DTHRINCOMVEN", richOrderedAt},
                {"IDPRODIMPFIS", "S"},
                {"CDLOJA", "07"},
                {"VRACRCOMVEN", 0.375},
                {"NRSEQPRODCOM", "003"},
                {"NRSEQPRODCUP", "0000000077"},
                {"CDCAIXACOLETOR", "007"},
                {"VRPRECCLCOMVEN", 9.75},
                {"CDPRODPROMOCAO", "PR1"},
                {"CDVENDEDOR", "0042"},
                {"IDORIGPEDCMD", "TAB"},
                {"DSOBSPEDDIGCMD", "bem passado"},
                {"NRATRAPRODCOVE", 5.0},
                {"NRPEDIDOZEL", "Z77"},
                {"CDSENHAPED", "A12"},
                {"IDDIVIDECONTA", "S"},
                {"NRPRODORIG", "000003"},
                {"QTITEMREFIL", 2.0},
                {"IDPRODREFIL", "S"},
                {"NRINSCRCONS", "12345678901"},
                {"NMCONSVEND", "João Avó"},
                {"DSENDEVENDA", "Rua 1"},
                {"TXPRODCOMVEN", "sem cebola"}});

        // tab 11 repeats tab 10's item numbers and sequence numbers
        b.item("11", "000001", "P2", 1, {{"NRSEQPRODCOM", "001"}, {"VRACRCOMVEN", 1.25}})
            .observation("11", "000001", "06", "10")
            .component("11", "000001", "P3", 1, 0.75)
            .componentObservation("11", "000001", "P3", "05", "09");
        b.item("11", "000002", "P1", 2, {{"NRSEQPRODCOM", "002"}});
        b.item("12", "000001", "P1", 1);

        b.item("20", "000001", "P1", 1, {{"NRSEQPRODCOM", "001"}})
            .item("20", "000002", "P2", 1, {{"NRSEQPRODCOM", "003"}})
            .item("20", "000003", "P1", 1, {{"NRSEQPRODCOM", "002"}})
            .item("20", "000004", "P2", 1)
            .item("20", "000005", "P1", 1, {{"NRSEQPRODCOM", "001"}})
            .item("20", "000006", "P1", 1);
        b.item("30", "000001", "P1", 1);
    }

    // Empties every table and seeds the restaurant again.
    void reseed() {
        this->database->emptyTables();
        seed();
    }

    static TransferDestination tab20() { return {"0002", "V2", "20", "3"}; }
    TransferRequest request(const TransferDestination& to = tab20()) {
        return TransferRequest(this->database->admin(), to);
    }

    QVariant transfer(const TransferRequest& r) { return setTransferencia(r.packet()); }

    ::testing::AssertionResult moved(const TransferRequest& r) {
        const QVariant result = transfer(r);
        if (!result.isValid())
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "the transfer failed: " << shown(result);
    }

    // Runs a request that must fail, checks that no row changed, and returns the failure text.
    QString refusal(const TransferRequest& r) {
        const Rows before = snapshot();
        const QVariant result = transfer(r);
        EXPECT_EQ(result.typeId(), QMetaType::QString) << "a failure is a text";
        EXPECT_EQ(snapshot(), before) << "a failed request must leave every row as it was";
        return result.toString();
    }

    Rows snapshot() { return toRows(this->database->snapshot()); }

    // The new rows of the destination tab 20, in item order.
    Rows newItems(const QString& columns = "NRPRODCOMVEN, CDPRODUTO, QTPRODCOMVEN, NRSEQPRODCOM") {
        return this->rows(
            QStringLiteral("SELECT %1 FROM ITCOMANDAVEN WHERE NRCOMANDA = '20' AND NRPRODCOMVEN > "
                           "'000006' ORDER BY NRPRODCOMVEN")
                .arg(columns));
    }

    QVariantMap itemRow(const QString& tab, const QString& item) {
        return this->database->row(QStringLiteral("SELECT * FROM ITCOMANDAVEN WHERE CDFILIAL = '0001' AND "
                                                  "NRCOMANDA = '%1' AND NRPRODCOMVEN = '%2'")
                                       .arg(tab, item));
    }

    // Every value of the origin row that the moved row must hold unchanged.
    void expectCarried(const QVariantMap& origin, const QVariantMap& movedRow) {
        ASSERT_FALSE(origin.isEmpty());
        ASSERT_FALSE(movedRow.isEmpty()) << "the moved row is missing";
        for (auto it = origin.cbegin(); it != origin.cend(); ++it) {
            if (notFromOrigin.contains(it.key()))
                continue;
            EXPECT_EQ(shown(movedRow.value(it.key())), shown(it.value())) << it.key().toStdString();
        }
    }

    double surcharge(const QString& tab) {
        return this->database
            ->scalar(QStringLiteral("SELECT VRACRCOMANDA FROM COMANDAVEN WHERE NRCOMANDA = '%1'").arg(tab))
            .toDouble();
    }
};

TYPED_TEST_SUITE(TransferTest, BothDatabases, DbKindNames);

} // namespace

TYPED_TEST(TransferTest, WholeMoveTakesTheItemWithItsObservationsComponentsAndTracking) {
    const QVariantMap origin = this->itemRow("10", "000001");
    // a plain item first, so that the dependent records must find their own new item
    ASSERT_TRUE(this->moved(this->request().move("10", "000004").move("10", "000001")));

    EXPECT_EQ(this->newItems(), Rows({"000007|P2|1|<null>", "000008|P1|2|004"}));
    const QVariantMap row = this->itemRow("20", "000008");
    this->expectCarried(origin, row);
    EXPECT_EQ(shown(row.value("NRVENDAREST")), "V2");
    EXPECT_EQ(shown(row.value("NRLUGARMESA")), "3");
    EXPECT_EQ(shown(row.value("CDLOJA")), "01");
    EXPECT_EQ(shown(row.value("NRMESADSCOMORIT")), "0001");

    EXPECT_EQ(this->rows("SELECT NRVENDAREST, NRPRODCOMVEN, CDGRPOCOR, CDOCORR FROM OBSITCOMANDAVEN "
                         "WHERE NRCOMANDA = '20' ORDER BY 2, 3, 4"),
              Rows({"V2|000008|01|01", "V2|000008|01|02"}));
    EXPECT_EQ(
        this->rows("SELECT NRVENDAREST, NRPRODCOMVEN, CDPRODUTO, QTPROCOMEST, VRPRECCOMEST, DSOBSPEDDIGEST "
                   "FROM ITCOMANDAEST WHERE NRCOMANDA = '20' ORDER BY 2, 3"),
        Rows({"V2|000008|P3|1|1.5|sem sal", "V2|000008|P4|2|2.25|<null>"}));
    EXPECT_EQ(
        this->rows("SELECT NRVENDAREST, NRPRODCOMVEN, CDPRODUTO, CDGRPOCOR, CDOCORR FROM OBSITCOMANDAEST "
                   "WHERE NRCOMANDA = '20' ORDER BY 2, 3, 4, 5"),
        Rows({"V2|000008|P3|02|05", "V2|000008|P4|02|06", "V2|000008|P4|03|07"}))
        << "each component takes only its own observations";
    EXPECT_EQ(this->rows("SELECT * FROM PEDIDOALT ORDER BY NRPRODCOMVENOLD"),
              Rows({"0001|V1|10|000001|V2|20|000008|0002|<null>|3",
                    "0001|V1|10|000004|V2|20|000007|0002|<null>|3"}));

    // the origin item and its components go; its observations stay; the neighbours are untouched
    EXPECT_TRUE(this->itemRow("10", "000001").isEmpty());
    EXPECT_EQ(this->database->count("ITCOMANDAEST WHERE NRCOMANDA = '10' AND NRPRODCOMVEN = '000001'"), 0);
    EXPECT_EQ(this->database->count("OBSITCOMANDAVEN WHERE NRCOMANDA = '10' AND NRPRODCOMVEN = '000001'"), 2);
    EXPECT_EQ(this->database->count("OBSITCOMANDAEST WHERE NRCOMANDA = '10' AND NRPRODCOMVEN = '000001'"), 3);
    EXPECT_EQ(
        this->rows("SELECT NRCOMANDA, NRPRODCOMVEN, CDPRODUTO FROM ITCOMANDAEST WHERE NRCOMANDA <> '20' "
                   "ORDER BY 1, 2"),
        Rows({"10|000002|P5", "11|000001|P3"}));
    EXPECT_EQ(this->rows("SELECT NRMESA, IDSTMESAAUX FROM MESA ORDER BY 1"),
              Rows({"0001|O", "0002|O", "0003|L"}));
}

TYPED_TEST(TransferTest, SplitMoveCarriesEveryValueAndLeavesTheRestAtTheOrigin) {
    const QVariantMap rich = this->itemRow("10", "000007");
    const QVariantMap plain = this->itemRow("10", "000002");
    ASSERT_TRUE(this->moved(this->request().move("10", "000007", 1.5).move("10", "000002", 1)));

    EXPECT_EQ(this->newItems(), Rows({"000007|P1|1.5|<null>", "000008|P2|1|<null>"}))
        << "a split row joins no sequence group";
    // vendor, promotion, client price, coupon sequence, occurrence and the rest: all as at the origin
    const QVariantMap row = this->itemRow("20", "000007");
    this->expectCarried(rich, row);
    this->expectCarried(plain, this->itemRow("20", "000008"));
    EXPECT_EQ(platform::coerceToField({{}, platform::FieldType::DateTime, 0}, row.value("DTHRINCOMVEN")),
              QVariant(richOrderedAt))
        << "the order time keeps its milliseconds";
    EXPECT_EQ(shown(row.value("CDLOJA")), "01") << "the store the destination table is open in";
    EXPECT_TRUE(row.value("NRSEQPRODCOM").isNull());

    // the origins keep the rest, everything else as it was, and their components
    QVariantMap rest = this->itemRow("10", "000007");
    EXPECT_EQ(shown(rest.take("QTPRODCOMVEN")), "2.5");
    QVariantMap richBefore = rich;
    richBefore.remove("QTPRODCOMVEN");
    for (auto it = richBefore.cbegin(); it != richBefore.cend(); ++it)
        EXPECT_EQ(shown(rest.value(it.key())), shown(it.value())) << it.key().toStdString();
    EXPECT_EQ(shown(this->itemRow("10", "000002").value("QTPRODCOMVEN")), "2");
    EXPECT_EQ(
        this->rows("SELECT NRCOMANDA, NRPRODCOMVEN, CDPRODUTO, QTPROCOMEST, VRPRECCOMEST FROM ITCOMANDAEST "
                   "WHERE CDPRODUTO = 'P5' ORDER BY 1"),
        Rows({"10|000002|P5|1|0.5", "20|000008|P5|1|0.5"}));
    EXPECT_EQ(
        this->rows("SELECT NRCOMANDA, NRPRODCOMVEN, CDGRPOCOR, CDOCORR FROM OBSITCOMANDAVEN WHERE CDOCORR = "
                   "'08' ORDER BY 1"),
        Rows({"10|000002|04|08", "20|000008|04|08"}));
    EXPECT_EQ(this->rows("SELECT * FROM PEDIDOALT ORDER BY NRPRODCOMVENOLD"),
              Rows({"0001|V1|10|000002|V2|20|000008|0002|<null>|3",
                    "0001|V1|10|000007|V2|20|000007|0002|0000000077|3"}));
}

// An empty number is not zero: a move must not invent a client price, a delay or a refill count.
TYPED_TEST(TransferTest, EmptyNumbersStayEmptyWholeOrSplit) {
    ASSERT_TRUE(this->moved(this->request().move("10", "000004").move("10", "000003", 0.5)));
    for (const char* item : {"000007", "000008"}) {
        const QVariantMap row = this->itemRow("20", item);
        ASSERT_FALSE(row.isEmpty()) << item;
        for (const char* column : {"VRPRECCLCOMVEN", "NRATRAPRODCOVE", "QTITEMREFIL"})
            EXPECT_EQ(shown(row.value(column)), "<null>") << item << " " << column;
    }
}

// Anything but exact equality splits: a screen rounding must not make a near-whole move delete the item.
TYPED_TEST(TransferTest, WholeOrSplitIsDecidedByExactEquality) {
    ASSERT_TRUE(this->moved(this->request().move("10", "000005", 1.5).move("10", "000003", 0.9999999)));

    EXPECT_EQ(this->newItems("NRPRODCOMVEN, CDPRODUTO, NRSEQPRODCOM"),
              Rows({"000007|P1|004", "000008|P1|<null>"}));
    EXPECT_TRUE(this->itemRow("10", "000005").isEmpty());
    const QVariantMap rest = this->itemRow("10", "000003");
    ASSERT_FALSE(rest.isEmpty()) << "0.9999999 of 1 is a split";
    EXPECT_NEAR(rest.value("QTPRODCOMVEN").toDouble(), 1e-7, 1e-12);
}

TYPED_TEST(TransferTest, QuantityMustBeAtLeastWhatTheKeypadTypesAndAtMostTheOriginal) {
    for (double quantity : {-1.0, 0.0, 5e-324, 0.0009, 2.5}) {
        SCOPED_TRACE(quantity);
        // the valid whole move before the bad record must be undone as well
        EXPECT_EQ(this->refusal(this->request().move("10", "000004").move("10", "000001", quantity)),
                  text::quantityOutOfRange("10", "000001", quantity, 2));
    }
    ASSERT_TRUE(this->moved(this->request().move("10", "000001", 0.001)));
    EXPECT_EQ(shown(this->itemRow("10", "000001").value("QTPRODCOMVEN")), "1.999");
}

TYPED_TEST(TransferTest, StaleOriginIsRefusedWithNothingMoved) {
    auto stale = this->request().move("10", "000004").move("10", "000003");
    this->database->exec("DELETE FROM ITCOMANDAVEN WHERE NRCOMANDA = '10' AND NRPRODCOMVEN = '000003'");
    EXPECT_EQ(this->refusal(stale), text::originChanged("10", "000003")) << "moved by another terminal";

    auto changed = this->request().move("10", "000004").move("10", "000002", 1);
    this->database->exec(
        "UPDATE ITCOMANDAVEN SET QTPRODCOMVEN = 2 WHERE NRCOMANDA = '10' AND NRPRODCOMVEN = '000002'");
    EXPECT_EQ(this->refusal(changed), text::originChanged("10", "000002")) << "split by another terminal";

    // a stored quantity that only differs by rounding is the same quantity
    auto rounded = this->request().move("10", "000005");
    this->database->exec(
        "UPDATE ITCOMANDAVEN SET QTPRODCOMVEN = 1.5000001 WHERE NRCOMANDA = '10' AND NRPRODCOMVEN = "
        "'000005'");
    EXPECT_TRUE(this->moved(rounded));
}

TYPED_TEST(TransferTest, DestinationMustBeAnOpenTabOfTheRequestsSale) {
    const TransferDestination cases[] = {
        {"0002", "V2", "99", "1"}, // no such tab
        {"0002", "V2", "12", "1"}, // a tab of the origin sale V1
        {"0002", "V1", "20", "1"}, // tab 20 belongs to V2
        {"0003", "V3", "30", "1"}, // the sale is closed
    };
    for (const TransferDestination& to : cases) {
        SCOPED_TRACE(to.tab.toStdString() + " of " + to.sale.toStdString());
        EXPECT_EQ(this->refusal(this->request(to).move("10", "000001")),
                  text::destinationNotOpen(to.tab, to.sale));
    }
}

// Requests the screen never sends, each refused with a text naming the record and what is wrong, and
// nothing changed. The second record (10/000001) carries the forgery, or every record does.
TYPED_TEST(TransferTest, ForgedRecordsAreRefusedNamedAndChangeNothing) {
    struct Forged {
        const char* what;
        QVariantMap overrides;
        bool everyRecord;
        QString setup;
        QString expected;
    };
    const QDateTime later = SalesBuilder::orderedAt().addSecs(1);
    const Forged cases[] = {
        {"a later record names another tab",
         {{"NRCOMANDA", "11"}},
         false,
         {},
         text::otherDestination("10", "000001", "NRCOMANDA")},
        {"a later record names another sale",
         {{"NRVENDAREST", "V1"}},
         false,
         {},
         text::otherDestination("10", "000001", "NRVENDAREST")},
        {"a later record names another store",
         {{"CDLOJAABER", "02"}},
         false,
         {},
         text::otherDestination("10", "000001", "CDLOJAABER")},
        {"a later record names another table",
         {{"NRMESADES", "0003"}},
         false,
         {},
         text::otherDestination("10", "000001", "NRMESADES")},
        {"a table that is not the sale's",
         {{"NRMESADES", "0003"}},
         true,
         {},
         text::notTheSalesTable("10", "000004", "0003", "01", "V2")},
        {"a store that is not the sale's",
         {{"CDLOJAABER", "02"}},
         true,
         {},
         text::notTheSalesTable("10", "000004", "0002", "02", "V2")},
        {"a destination whose bill is requested",
         {},
         false,
         "UPDATE MESA SET IDSTMESAAUX = 'S' WHERE NRMESA = '0002'",
         text::destinationBillRequested("0002")},
        {"another product",
         {{"CDPRODUTO", "P2"}},
         false,
         {},
         text::originChanged("10", "000001", "CDPRODUTO")},
        {"no product", {{"CDPRODUTO", ""}}, false, {}, text::originChanged("10", "000001", "CDPRODUTO")},
        {"a product not in the catalogue",
         {{"CDPRODUTO", "ZZ"}},
         false,
         {},
         text::originChanged("10", "000001", "CDPRODUTO")},
        {"another price",
         {{"VRPRECCOMVEN", 9.99}},
         false,
         {},
         text::originChanged("10", "000001", "VRPRECCOMVEN")},
        {"another discount",
         {{"VRDESCCOMVEN", 1.0}},
         false,
         {},
         text::originChanged("10", "000001", "VRDESCCOMVEN")},
        {"another surcharge",
         {{"VRACRCOMVEN", 5.0}},
         false,
         {},
         text::originChanged("10", "000001", "VRACRCOMVEN")},
        {"another status",
         {{"IDSTPRCOMVEN", "6"}},
         false,
         {},
         text::originChanged("10", "000001", "IDSTPRCOMVEN")},
        {"another order time",
         {{"DTHRINCOMVEN", later}},
         false,
         {},
         text::originChanged("10", "000001", "DTHRINCOMVEN")},
        {"another free text",
         {{"TXPRODCOMVEN", "outro"}},
         false,
         {},
         text::originChanged("10", "000001", "TXPRODCOMVEN")},
        {"another sequence group",
         {{"NRSEQPRODCOM", "002"}},
         false,
         {},
         text::originChanged("10", "000001", "NRSEQPRODCOM")},
        {"the item of another origin tab",
         {{"NRCOMANDAORIG", "11"}},
         false,
         {},
         text::originChanged("11", "000001")},
        {"an origin table that is not the item's",
         {{"NRMESAORI", "0002"}},
         false,
         {},
         text::notOnOriginTable("10", "000001", "0002", "0001")},
    };
    for (const Forged& c : cases) {
        SCOPED_TRACE(c.what);
        this->reseed();
        if (!c.setup.isEmpty())
            this->database->exec(c.setup);
        TransferRequest r = this->request().move("10", "000004");
        r.move("10", "000001", {}, c.everyRecord ? QVariantMap() : c.overrides);
        if (c.everyRecord)
            for (auto it = c.overrides.cbegin(); it != c.overrides.cend(); ++it)
                r.setAll(it.key(), it.value());
        EXPECT_EQ(this->refusal(r), c.expected);
    }
}

// Another terminal holds a tab of the request longer than this session waits for a lock: the operator
// is told which tables are busy, and it is not retried as a deadlock would be.
TYPED_TEST(TransferTest, ALockWaitThatRunsOutNamesTheBusyTables) {
    const auto other = openSession(this->database->connectionString(), QStringLiteral("other-terminal"));
    other->beginTransaction();
    if (TypeParam::kind == DbKind::PostgreSQL) {
        other->exec("SELECT * FROM COMANDAVEN WHERE NRCOMANDA = '20' FOR UPDATE");
        this->module->adcTrPosicao.exec("SET lock_timeout = '200ms'");
    } else {
        this->module->adcTrPosicao.exec("PRAGMA busy_timeout = 200");
    }
    EXPECT_EQ(this->refusal(this->request().move("10", "000004").move("11", "000001")),
              platform::db::tableBusyText({"0001", "0002"}));
    other->rollback();
    EXPECT_TRUE(this->moved(this->request().move("10", "000004")));
}

TYPED_TEST(TransferTest, EmptyAndDuplicateRequestsAreRefused) {
    EXPECT_EQ(this->refusal(this->request()), text::emptyRequest());
    EXPECT_EQ(this->refusal(this->request().move("10", "000002", 1).move("10", "000002", 1)),
              text::duplicateItem("10", "000002"));
}

TYPED_TEST(TransferTest, NewItemNumbersFollowTheDestinationsHighestWholeOrSplit) {
    ASSERT_TRUE(
        this->moved(this->request().move("10", "000004").move("10", "000002", 1).move("11", "000002")));

    EXPECT_EQ(this->newItems(), Rows({"000007|P2|1|<null>", "000008|P2|1|<null>", "000009|P1|2|004"}));
    EXPECT_EQ(this->rows("SELECT NRCOMANDAOLD, NRPRODCOMVENOLD, NRPRODCOMVEN FROM PEDIDOALT ORDER BY 3"),
              Rows({"10|000004|000007", "10|000002|000008", "11|000002|000009"}));
}

// The destination's highest sequence is 003; each origin group (tab and sequence) of a whole move gets
// the next one, in the order the groups first appear in the request.
TYPED_TEST(TransferTest, SequenceGroupsOfWholeMovesAreRenumberedAfterTheDestinations) {
    struct Move {
        const char* tab;
        const char* item;
        std::optional<double> quantity;
    };
    struct Case {
        const char* what;
        std::vector<Move> moves;
        Rows sequences;
    };
    const Case cases[] = {
        {"groups 1, 1, 2, none, 2 of one tab",
         {{"10", "000001", {}},
          {"10", "000002", {}},
          {"10", "000003", {}},
          {"10", "000004", {}},
          {"10", "000005", {}}},
         {"004", "004", "005", "<null>", "005"}},
        {"a first group numbered 4 opens 004, not the destination's 003",
         {{"10", "000006", {}}, {"10", "000003", {}}},
         {"004", "005"}},
        {"sequence 1 of two tabs is two groups",
         {{"10", "000001", {}}, {"11", "000001", {}}, {"10", "000002", {}}},
         {"004", "005", "004"}},
        {"a split between two records of one group",
         {{"10", "000003", {}}, {"10", "000002", 1.0}, {"10", "000005", {}}, {"10", "000001", {}}},
         {"004", "<null>", "004", "005"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        this->reseed();
        TransferRequest r = this->request();
        for (const Move& m : c.moves)
            r.move(m.tab, m.item, m.quantity);
        ASSERT_TRUE(this->moved(r));
        EXPECT_EQ(this->newItems("NRSEQPRODCOM"), c.sequences);
    }
}

TYPED_TEST(TransferTest, ItemsFromTwoOriginTabsEachTakeTheirOwnRecordsAndSurcharges) {
    ASSERT_TRUE(
        this->moved(this->request().move("10", "000001").move("11", "000001").move("10", "000002", 1)));

    EXPECT_EQ(this->newItems(), Rows({"000007|P1|2|004", "000008|P2|1|005", "000009|P2|1|<null>"}));
    EXPECT_EQ(
        this->rows("SELECT NRPRODCOMVEN, CDPRODUTO FROM ITCOMANDAEST WHERE NRCOMANDA = '20' ORDER BY 1, 2"),
        Rows({"000007|P3", "000007|P4", "000008|P3", "000009|P5"}));
    EXPECT_EQ(
        this->rows("SELECT NRPRODCOMVEN, CDPRODUTO, CDOCORR FROM OBSITCOMANDAEST WHERE NRCOMANDA = '20' "
                   "ORDER BY 1, 2, 3"),
        Rows({"000007|P3|05", "000007|P4|06", "000007|P4|07", "000008|P3|09"}));
    EXPECT_EQ(
        this->rows("SELECT NRPRODCOMVEN, CDOCORR FROM OBSITCOMANDAVEN WHERE NRCOMANDA = '20' ORDER BY 1, 2"),
        Rows({"000007|01", "000007|02", "000008|10", "000009|08"}));
    EXPECT_EQ(this->rows("SELECT NRCOMANDAOLD, NRPRODCOMVENOLD, NRPRODCOMVEN FROM PEDIDOALT ORDER BY 3"),
              Rows({"10|000001|000007", "11|000001|000008", "10|000002|000009"}));
    EXPECT_TRUE(this->itemRow("11", "000001").isEmpty());
    EXPECT_EQ(this->database->count("ITCOMANDAEST WHERE NRCOMANDA = '11'"), 0);

    // 0.5 + 0.25 leave tab 10, 1.25 leaves tab 11, all of it reaches tab 20
    EXPECT_EQ(this->surcharge("10"), 4.25);
    EXPECT_EQ(this->surcharge("11"), 1.75);
    EXPECT_EQ(this->surcharge("20"), 3.0);
    EXPECT_EQ(this->surcharge("12"), 0.0);
}

TYPED_TEST(TransferTest, ASecondSplitOfTheSameItemRewritesItsTrackingRow) {
    ASSERT_TRUE(this->moved(this->request().move("10", "000002", 1)));
    // the screen is opened again: it now sees 2 left
    ASSERT_TRUE(this->moved(this->request().move("10", "000002", 1)));

    EXPECT_EQ(this->newItems(), Rows({"000007|P2|1|<null>", "000008|P2|1|<null>"}));
    EXPECT_EQ(shown(this->itemRow("10", "000002").value("QTPRODCOMVEN")), "1");
    EXPECT_EQ(this->rows("SELECT * FROM PEDIDOALT"), Rows({"0001|V1|10|000002|V2|20|000008|0002|<null>|3"}));
}

TYPED_TEST(TransferTest, AnItemThatArrivedByAMoveIsTrackedUnderItsCurrentKey) {
    ASSERT_TRUE(this->moved(this->request().move("10", "000001")));
    const TransferDestination tab11{"0001", "V1", "11", "2"};
    ASSERT_TRUE(this->moved(this->request(tab11).move("20", "000007")));

    EXPECT_EQ(this->rows("SELECT * FROM PEDIDOALT ORDER BY NRVENDARESTOLD"),
              Rows({"0001|V1|10|000001|V2|20|000007|0002|<null>|3",
                    "0001|V2|20|000007|V1|11|000003|0001|<null>|2"}));
    EXPECT_EQ(
        this->rows("SELECT NRPRODCOMVEN, CDPRODUTO, NRSEQPRODCOM, NRMESADSCOMORIT FROM ITCOMANDAVEN WHERE "
                   "NRCOMANDA = '11' ORDER BY 1"),
        Rows({"000001|P2|001|<null>", "000002|P1|002|<null>", "000003|P1|003|0002"}));
    EXPECT_EQ(this->rows("SELECT NRCOMANDA, NRPRODCOMVEN, CDPRODUTO FROM ITCOMANDAEST ORDER BY 1, 2, 3"),
              Rows({"10|000002|P5", "11|000001|P3", "11|000003|P3", "11|000003|P4"}));
    EXPECT_EQ(this->database->count("ITCOMANDAVEN WHERE NRCOMANDA = '20' AND NRPRODCOMVEN = '000007'"), 0);
    EXPECT_EQ(this->surcharge("20"), 1.0);
    EXPECT_EQ(this->surcharge("11"), 3.5);
}

// Another terminal changes the item and holds it while this transfer starts: the transfer must wait
// and see the change, not move the item as the screen last showed it.
TYPED_TEST(TransferTest, AChangeCommittedWhileTheTransferWaitsIsSeen) {
    const TransferRequest r = this->request().move("10", "000004").move("10", "000001");
    std::promise<void> holding;
    std::string otherError;
    std::thread other([&, uri = this->database->connectionString()] {
        bool held = false;
        try {
            const auto terminal = openSession(uri, QStringLiteral("other-terminal"));
            terminal->beginTransaction();
            terminal->exec(
                "UPDATE ITCOMANDAVEN SET QTPRODCOMVEN = 1 WHERE CDFILIAL = '0001' AND NRCOMANDA = '10' "
                "AND NRPRODCOMVEN = '000001'");
            holding.set_value();
            held = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            terminal->commit();
        } catch (const std::exception& e) {
            otherError = e.what();
            if (!held)
                holding.set_value();
        }
    });
    holding.get_future().wait();
    const QVariant result = this->transfer(r);
    other.join();
    ASSERT_EQ(otherError, "");

    EXPECT_EQ(result.toString(), text::originChanged("10", "000001"));
    EXPECT_EQ(this->newItems(), Rows());
    EXPECT_EQ(shown(this->itemRow("10", "000001").value("QTPRODCOMVEN")), "1");
    EXPECT_FALSE(this->itemRow("10", "000004").isEmpty());
}

// Whichever statement of either writer fails, the request leaves nothing behind, and the same request
// then succeeds.
TYPED_TEST(TransferTest, AFailureAtAnyStatementLeavesEveryRowAsItWas) {
    for (const auto& [writer, atLeast] :
         {std::pair{TrdmTrPosicao::TransferWriter::ByDialect, 15},
          std::pair{TrdmTrPosicao::TransferWriter::StatementByStatement, 20}}) {
        SCOPED_TRACE(atLeast);
        this->module->transferWriter = writer;
        this->reseed();
        const TransferRequest r =
            this->request().move("10", "000004").move("10", "000002", 1).move("10", "000001");
        QStringList names;
        {
            FaultInjection counting([&](const QString& name) { names << name; });
            ASSERT_TRUE(this->moved(r));
        }
        const Rows expected = this->snapshot();
        ASSERT_GE(names.size(), atLeast);
        this->reseed();
        const Rows before = this->snapshot();

        for (int failing = 1; failing <= names.size(); ++failing) {
            SCOPED_TRACE(
                QStringLiteral("statement %1, %2").arg(failing).arg(names[failing - 1]).toStdString());
            int run = 0;
            FaultInjection fault([&](const QString& name) {
                if (++run == failing)
                    throw platform::DatabaseError(QStringLiteral("falha injetada em ") + name,
                                                  QStringLiteral("injetada"), QString(), name);
            });
            const QVariant result = this->transfer(r);
            EXPECT_EQ(result.typeId(), QMetaType::QString);
            EXPECT_FALSE(result.toString().isEmpty());
            EXPECT_EQ(this->snapshot(), before);
        }
        ASSERT_TRUE(this->moved(r));
        EXPECT_EQ(this->snapshot(), expected);
    }
}

// A deadlock is retried from the start: nothing of the failed attempt may remain or be done twice.
TYPED_TEST(TransferTest, ADeadlockAtAnyStatementIsRetriedToTheSameResult) {
    for (auto writer :
         {TrdmTrPosicao::TransferWriter::ByDialect, TrdmTrPosicao::TransferWriter::StatementByStatement}) {
        this->module->transferWriter = writer;
        this->reseed();
        const TransferRequest r =
            this->request().move("10", "000004").move("10", "000002", 1).move("10", "000001");
        int statements = 0;
        {
            FaultInjection counting([&](const QString&) { ++statements; });
            ASSERT_TRUE(this->moved(r));
        }
        const Rows expected = this->snapshot();

        for (int failing = 1; failing <= statements; ++failing) {
            SCOPED_TRACE(failing);
            this->reseed();
            int run = 0;
            FaultInjection deadlock([&](const QString& name) {
                if (++run == failing)
                    throw platform::DatabaseError(QStringLiteral("deadlock detected"),
                                                  QStringLiteral("deadlock"), QStringLiteral("40P01"), name);
            });
            EXPECT_TRUE(this->moved(r));
            EXPECT_EQ(this->snapshot(), expected);
        }
    }
}

TYPED_TEST(TransferTest, EveryStatementIsPreparedOnceForManyRequests) {
    for (auto writer :
         {TrdmTrPosicao::TransferWriter::ByDialect, TrdmTrPosicao::TransferWriter::StatementByStatement}) {
        this->module->transferWriter = writer;
        this->reseed();
        // an earlier split of 11/000002 left a tracking row, so the first request both writes and
        // rewrites one
        SalesBuilder(this->database->admin())
            .tracking(
                "V1", "11", "000002",
                {{"NRVENDAREST", "V2"}, {"NRCOMANDA", "20"}, {"NRPRODCOMVEN", "000006"}, {"NRMESA", "0002"}});
        ASSERT_TRUE(this->moved(this->request()
                                    .move("10", "000004")
                                    .move("10", "000001")
                                    .move("11", "000002", 1)
                                    .move("10", "000002", 1)));
        const int prepared = this->module->adcTrPosicao.prepareCount();

        ASSERT_TRUE(
            this->moved(this->request().move("10", "000003").move("10", "000002", 1).move("11", "000001")));
        EXPECT_EQ(this->module->adcTrPosicao.prepareCount(), prepared);
    }
}

TYPED_TEST(TransferTest, AnUnreadableRequestLeavesAsAnExceptionWithNothingChanged) {
    const Rows before = this->snapshot();
    EXPECT_THROW(setTransferencia(QByteArray("{\"fields\": [{\"name\": \"CDFILIAL\"")),
                 platform::PacketError);
    EXPECT_THROW(setTransferencia(QStringLiteral("not a packet")), platform::PacketError);
    EXPECT_EQ(this->snapshot(), before);
}
