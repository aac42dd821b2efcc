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
using namespace Qt::StringLiterals;
namespace text = Srv_Mvt04215::transferText;

namespace {

const QDateTime richOrderedAt(QDate(2026, 12, 8), QTime(21, 5, 7, 89));

// Columns a moved row takes from the request instead of its origin row, and those the move leaves out.
const QStringList notFromOrigin = {
    u"NRVENDAREST"_s,  u"NRCOMANDA"_s,    u"NRPRODCOMVEN"_s,    u"QTPRODCOMVEN"_s, u"NRSEQPRODCOM"_s,
    u"NRLUGARMESA"_s,  u"CDLOJA"_s,       u"NRMESADSCOMORIT"_s, u"NRMESAORIG"_s,   u"CDLOJAORIG"_s,
    u"DSCOMANDAORI"_s, u"NRCOMANDAORI"_s, u"NRPRODCOMORI"_s,    u"IDSTLUGARMESA"_s};

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
        b.product(u"P1"_s, u"Pizza"_s)
            .product(u"P2"_s, u"Suco"_s)
            .product(u"P3"_s, u"Queijo"_s)
            .product(u"P4"_s, u"Bacon"_s);
        b.product(u"P5"_s, u"Ovo"_s);
        b.table(u"0001"_s, u"O"_s).table(u"0002"_s, u"L"_s).table(u"0003"_s, u"L"_s);
        b.sale(u"V1"_s, u"0001"_s).sale(u"V2"_s, u"0002"_s).closedSale(u"V3"_s, u"0003"_s);
        b.tab(u"10"_s, u"V1"_s, u"Ana"_s, 5)
            .tab(u"11"_s, u"V1"_s, u"Beto"_s, 3)
            .tab(u"12"_s, u"V1"_s)
            .tab(u"20"_s, u"V2"_s, {}, 1);
        b.tab(u"30"_s, u"V3"_s);

        b.item(u"10"_s, u"000001"_s, u"P1"_s, 2,
               {{u"NRSEQPRODCOM"_s, u"001"_s},
                {u"VRACRCOMVEN"_s, 0.5},
                {u"VRPRECCLCOMVEN"_s, 9.5},
                {u"NRATRAPRODCOVE"_s, 2.0},
                {u"QTITEMREFIL"_s, 1.0}})
            .observation(u"10"_s, u"000001"_s, u"01"_s, u"01"_s)
            .observation(u"10"_s, u"000001"_s, u"01"_s, u"02"_s)
            .component(u"10"_s, u"000001"_s, u"P3"_s, 1, 1.5, u"sem sal"_s)
            .component(u"10"_s, u"000001"_s, u"P4"_s, 2, 2.25)
            .componentObservation(u"10"_s, u"000001"_s, u"P3"_s, u"02"_s, u"05"_s)
            .componentObservation(u"10"_s, u"000001"_s, u"P4"_s, u"02"_s, u"06"_s)
            .componentObservation(u"10"_s, u"000001"_s, u"P4"_s, u"03"_s, u"07"_s);
        b.item(u"10"_s, u"000002"_s, u"P2"_s, 3,
               {{u"NRSEQPRODCOM"_s, u"001"_s},
                {u"VRACRCOMVEN"_s, 0.25},
                {u"VRPRECCLCOMVEN"_s, 4.5},
                {u"NRATRAPRODCOVE"_s, 1.0},
                {u"QTITEMREFIL"_s, 3.0}})
            .observation(u"10"_s, u"000002"_s, u"04"_s, u"08"_s)
            .component(u"10"_s, u"000002"_s, u"P5"_s, 1, 0.5);
        b.item(u"10"_s, u"000003"_s, u"P1"_s, 1, {{u"NRSEQPRODCOM"_s, u"002"_s}})
            .item(u"10"_s, u"000004"_s, u"P2"_s, 1)
            .item(u"10"_s, u"000005"_s, u"P1"_s, 1.5, {{u"NRSEQPRODCOM"_s, u"002"_s}})
            .item(u"10"_s, u"000006"_s, u"P3"_s, 1, {{u"NRSEQPRODCOM"_s, u"004"_s}});
        // every column holds a value of its own, so that a value the move loses or mixes up shows
        b.item(u"10"_s, u"000007"_s, u"P1"_s, 4,
               {{u"VRPRECCOMVEN"_s, 12.5},
                {u"IDSTPRCOMVEN"_s, u"2"_s},
                {u"VRDESCCOMVEN"_s, 0.5},
                {u"NRLUGARMESA"_s, u"2"_s},
                {u"CDGRPOCOR"_s, u"01"_s},
                {u"CDOCORR"_s, u"02"_s},
                {u"DTHRINCOMVEN"_s, richOrderedAt},
                {u"IDPRODIMPFIS"_s, u"S"_s},
                {u"CDLOJA"_s, u"07"_s},
                {u"VRACRCOMVEN"_s, 0.375},
                {u"NRSEQPRODCOM"_s, u"003"_s},
                {u"NRSEQPRODCUP"_s, u"0000000077"_s},
                {u"CDCAIXACOLETOR"_s, u"007"_s},
                {u"VRPRECCLCOMVEN"_s, 9.75},
                {u"CDPRODPROMOCAO"_s, u"PR1"_s},
                {u"CDVENDEDOR"_s, u"0042"_s},
                {u"IDORIGPEDCMD"_s, u"TAB"_s},
                {u"DSOBSPEDDIGCMD"_s, u"bem passado"_s},
                {u"NRATRAPRODCOVE"_s, 5.0},
                {u"NRPEDIDOZEL"_s, u"Z77"_s},
                {u"CDSENHAPED"_s, u"A12"_s},
                {u"IDDIVIDECONTA"_s, u"S"_s},
                {u"NRPRODORIG"_s, u"000003"_s},
                {u"QTITEMREFIL"_s, 2.0},
                {u"IDPRODREFIL"_s, u"S"_s},
                {u"NRINSCRCONS"_s, u"12345678901"_s},
                {u"NMCONSVEND"_s, u"João Avó"_s},
                {u"DSENDEVENDA"_s, u"Rua 1"_s},
                {u"TXPRODCOMVEN"_s, u"sem cebola"_s}});

        // tab 11 repeats tab 10's item numbers and sequence numbers
        b.item(u"11"_s, u"000001"_s, u"P2"_s, 1, {{u"NRSEQPRODCOM"_s, u"001"_s}, {u"VRACRCOMVEN"_s, 1.25}})
            .observation(u"11"_s, u"000001"_s, u"06"_s, u"10"_s)
            .component(u"11"_s, u"000001"_s, u"P3"_s, 1, 0.75)
            .componentObservation(u"11"_s, u"000001"_s, u"P3"_s, u"05"_s, u"09"_s);
        b.item(u"11"_s, u"000002"_s, u"P1"_s, 2, {{u"NRSEQPRODCOM"_s, u"002"_s}});
        b.item(u"12"_s, u"000001"_s, u"P1"_s, 1);

        b.item(u"20"_s, u"000001"_s, u"P1"_s, 1, {{u"NRSEQPRODCOM"_s, u"001"_s}})
            .item(u"20"_s, u"000002"_s, u"P2"_s, 1, {{u"NRSEQPRODCOM"_s, u"003"_s}})
            .item(u"20"_s, u"000003"_s, u"P1"_s, 1, {{u"NRSEQPRODCOM"_s, u"002"_s}})
            .item(u"20"_s, u"000004"_s, u"P2"_s, 1)
            .item(u"20"_s, u"000005"_s, u"P1"_s, 1, {{u"NRSEQPRODCOM"_s, u"001"_s}})
            .item(u"20"_s, u"000006"_s, u"P1"_s, 1);
        b.item(u"30"_s, u"000001"_s, u"P1"_s, 1);
    }

    // Empties every table and seeds the restaurant again.
    void reseed() {
        this->database->emptyTables();
        seed();
    }

    static TransferDestination tab20() { return {u"0002"_s, u"V2"_s, u"20"_s, u"3"_s}; }
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
    Rows newItems(const QString& columns = u"NRPRODCOMVEN, CDPRODUTO, QTPRODCOMVEN, NRSEQPRODCOM"_s) {
        return this->rows(u"SELECT %1 FROM ITCOMANDAVEN WHERE NRCOMANDA = '20' AND NRPRODCOMVEN > "
                          "'000006' ORDER BY NRPRODCOMVEN"_s.arg(columns));
    }

    QVariantMap itemRow(const QString& tab, const QString& item) {
        return this->database->row(u"SELECT * FROM ITCOMANDAVEN WHERE CDFILIAL = '0001' AND "
                                   "NRCOMANDA = '%1' AND NRPRODCOMVEN = '%2'"_s.arg(tab, item));
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
            ->scalar(u"SELECT VRACRCOMANDA FROM COMANDAVEN WHERE NRCOMANDA = '%1'"_s.arg(tab))
            .toDouble();
    }
};

TYPED_TEST_SUITE(TransferTest, BothDatabases, DbKindNames);

} // namespace

TYPED_TEST(TransferTest, WholeMoveTakesTheItemWithItsObservationsComponentsAndTracking) {
    const QVariantMap origin = this->itemRow(u"10"_s, u"000001"_s);
    // a plain item first, so that the dependent records must find their own new item
    ASSERT_TRUE(this->moved(this->request().move(u"10"_s, u"000004"_s).move(u"10"_s, u"000001"_s)));

    EXPECT_EQ(this->newItems(), Rows({"000007|P2|1|<null>", "000008|P1|2|004"}));
    const QVariantMap row = this->itemRow(u"20"_s, u"000008"_s);
    this->expectCarried(origin, row);
    EXPECT_EQ(shown(row.value(u"NRVENDAREST"_s)), "V2");
    EXPECT_EQ(shown(row.value(u"NRLUGARMESA"_s)), "3");
    EXPECT_EQ(shown(row.value(u"CDLOJA"_s)), "01");
    EXPECT_EQ(shown(row.value(u"NRMESADSCOMORIT"_s)), "0001");

    EXPECT_EQ(this->rows(u"SELECT NRVENDAREST, NRPRODCOMVEN, CDGRPOCOR, CDOCORR FROM OBSITCOMANDAVEN "
                         "WHERE NRCOMANDA = '20' ORDER BY 2, 3, 4"_s),
              Rows({"V2|000008|01|01", "V2|000008|01|02"}));
    EXPECT_EQ(
        this->rows(u"SELECT NRVENDAREST, NRPRODCOMVEN, CDPRODUTO, QTPROCOMEST, VRPRECCOMEST, DSOBSPEDDIGEST "
                   "FROM ITCOMANDAEST WHERE NRCOMANDA = '20' ORDER BY 2, 3"_s),
        Rows({"V2|000008|P3|1|1.5|sem sal", "V2|000008|P4|2|2.25|<null>"}));
    EXPECT_EQ(
        this->rows(u"SELECT NRVENDAREST, NRPRODCOMVEN, CDPRODUTO, CDGRPOCOR, CDOCORR FROM OBSITCOMANDAEST "
                   "WHERE NRCOMANDA = '20' ORDER BY 2, 3, 4, 5"_s),
        Rows({"V2|000008|P3|02|05", "V2|000008|P4|02|06", "V2|000008|P4|03|07"}))
        << "each component takes only its own observations";
    EXPECT_EQ(this->rows(u"SELECT * FROM PEDIDOALT ORDER BY NRPRODCOMVENOLD"_s),
              Rows({"0001|V1|10|000001|V2|20|000008|0002|<null>|3",
                    "0001|V1|10|000004|V2|20|000007|0002|<null>|3"}));

    // the origin item and its components go; its observations stay; the neighbours are untouched
    EXPECT_TRUE(this->itemRow(u"10"_s, u"000001"_s).isEmpty());
    EXPECT_EQ(this->database->count(u"ITCOMANDAEST WHERE NRCOMANDA = '10' AND NRPRODCOMVEN = '000001'"_s), 0);
    EXPECT_EQ(this->database->count(u"OBSITCOMANDAVEN WHERE NRCOMANDA = '10' AND NRPRODCOMVEN = '000001'"_s),
              2);
    EXPECT_EQ(this->database->count(u"OBSITCOMANDAEST WHERE NRCOMANDA = '10' AND NRPRODCOMVEN = '000001'"_s),
              3);
    EXPECT_EQ(
        this->rows(u"SELECT NRCOMANDA, NRPRODCOMVEN, CDPRODUTO FROM ITCOMANDAEST WHERE NRCOMANDA <> '20' "
                   "ORDER BY 1, 2"_s),
        Rows({"10|000002|P5", "11|000001|P3"}));
    EXPECT_EQ(this->rows(u"SELECT NRMESA, IDSTMESAAUX FROM MESA ORDER BY 1"_s),
              Rows({"0001|O", "0002|O", "0003|L"}));
}

TYPED_TEST(TransferTest, SplitMoveCarriesEveryValueAndLeavesTheRestAtTheOrigin) {
    const QVariantMap rich = this->itemRow(u"10"_s, u"000007"_s);
    const QVariantMap plain = this->itemRow(u"10"_s, u"000002"_s);
    ASSERT_TRUE(this->moved(this->request().move(u"10"_s, u"000007"_s, 1.5).move(u"10"_s, u"000002"_s, 1)));

    EXPECT_EQ(this->newItems(), Rows({"000007|P1|1.5|<null>", "000008|P2|1|<null>"}))
        << "a split row joins no sequence group";
    // vendor, promotion, client price, coupon sequence, occurrence and the rest: all as at the origin
    const QVariantMap row = this->itemRow(u"20"_s, u"000007"_s);
    this->expectCarried(rich, row);
    this->expectCarried(plain, this->itemRow(u"20"_s, u"000008"_s));
    EXPECT_EQ(platform::coerceToField({{}, platform::FieldType::DateTime, 0}, row.value(u"DTHRINCOMVEN"_s)),
              QVariant(richOrderedAt))
        << "the order time keeps its milliseconds";
    EXPECT_EQ(shown(row.value(u"CDLOJA"_s)), "01") << "the store the destination table is open in";
    EXPECT_TRUE(row.value(u"NRSEQPRODCOM"_s).isNull());

    // the origins keep the rest, everything else as it was, and their components
    QVariantMap rest = this->itemRow(u"10"_s, u"000007"_s);
    EXPECT_EQ(shown(rest.take(u"QTPRODCOMVEN"_s)), "2.5");
    QVariantMap richBefore = rich;
    richBefore.remove(u"QTPRODCOMVEN"_s);
    for (auto it = richBefore.cbegin(); it != richBefore.cend(); ++it)
        EXPECT_EQ(shown(rest.value(it.key())), shown(it.value())) << it.key().toStdString();
    EXPECT_EQ(shown(this->itemRow(u"10"_s, u"000002"_s).value(u"QTPRODCOMVEN"_s)), "2");
    EXPECT_EQ(
        this->rows(u"SELECT NRCOMANDA, NRPRODCOMVEN, CDPRODUTO, QTPROCOMEST, VRPRECCOMEST FROM ITCOMANDAEST "
                   "WHERE CDPRODUTO = 'P5' ORDER BY 1"_s),
        Rows({"10|000002|P5|1|0.5", "20|000008|P5|1|0.5"}));
    EXPECT_EQ(
        this->rows(u"SELECT NRCOMANDA, NRPRODCOMVEN, CDGRPOCOR, CDOCORR FROM OBSITCOMANDAVEN WHERE CDOCORR = "
                   "'08' ORDER BY 1"_s),
        Rows({"10|000002|04|08", "20|000008|04|08"}));
    EXPECT_EQ(this->rows(u"SELECT * FROM PEDIDOALT ORDER BY NRPRODCOMVENOLD"_s),
              Rows({"0001|V1|10|000002|V2|20|000008|0002|<null>|3",
                    "0001|V1|10|000007|V2|20|000007|0002|0000000077|3"}));
}

// An empty number is not zero: a move must not invent a client price, a delay or a refill count.
TYPED_TEST(TransferTest, EmptyNumbersStayEmptyWholeOrSplit) {
    ASSERT_TRUE(this->moved(this->request().move(u"10"_s, u"000004"_s).move(u"10"_s, u"000003"_s, 0.5)));
    for (const char* item : {"000007", "000008"}) {
        const QVariantMap row = this->itemRow(u"20"_s, QString::fromLatin1(item));
        ASSERT_FALSE(row.isEmpty()) << item;
        for (const char* column : {"VRPRECCLCOMVEN", "NRATRAPRODCOVE", "QTITEMREFIL"})
            EXPECT_EQ(shown(row.value(QString::fromLatin1(column))), "<null>") << item << " " << column;
    }
}

// Anything but exact equality splits: a screen rounding must not make a near-whole move delete the item.
TYPED_TEST(TransferTest, WholeOrSplitIsDecidedByExactEquality) {
    ASSERT_TRUE(
        this->moved(this->request().move(u"10"_s, u"000005"_s, 1.5).move(u"10"_s, u"000003"_s, 0.9999999)));

    EXPECT_EQ(this->newItems(u"NRPRODCOMVEN, CDPRODUTO, NRSEQPRODCOM"_s),
              Rows({"000007|P1|004", "000008|P1|<null>"}));
    EXPECT_TRUE(this->itemRow(u"10"_s, u"000005"_s).isEmpty());
    const QVariantMap rest = this->itemRow(u"10"_s, u"000003"_s);
    ASSERT_FALSE(rest.isEmpty()) << "0.9999999 of 1 is a split";
    EXPECT_NEAR(rest.value(u"QTPRODCOMVEN"_s).toDouble(), 1e-7, 1e-12);
}

TYPED_TEST(TransferTest, QuantityMustBeAtLeastWhatTheKeypadTypesAndAtMostTheOriginal) {
    for (double quantity : {-1.0, 0.0, 5e-324, 0.0009, 2.5}) {
        SCOPED_TRACE(quantity);
        // the valid whole move before the bad record must be undone as well
        EXPECT_EQ(
            this->refusal(this->request().move(u"10"_s, u"000004"_s).move(u"10"_s, u"000001"_s, quantity)),
            text::quantityOutOfRange(u"10"_s, u"000001"_s, quantity, 2));
    }
    ASSERT_TRUE(this->moved(this->request().move(u"10"_s, u"000001"_s, 0.001)));
    EXPECT_EQ(shown(this->itemRow(u"10"_s, u"000001"_s).value(u"QTPRODCOMVEN"_s)), "1.999");
    // a scale's remainder moves whole, never in part; the refusal writes numbers as the screen does
    this->database->exec(u"UPDATE ITCOMANDAVEN SET QTPRODCOMVEN = 0.0006 WHERE NRCOMANDA = '10' AND "
                         "NRPRODCOMVEN = '000003'"_s);
    EXPECT_EQ(this->refusal(this->request().move(u"10"_s, u"000002"_s, 0.0006)),
              u"Não foi possível realizar a transferência: a quantidade 0,0006 do item 000002 da comanda 10 "
              "deve ser de 0,001 até 3. Tente realizar a operação novamente."_s);
    ASSERT_TRUE(this->moved(this->request().move(u"10"_s, u"000003"_s)));
    EXPECT_TRUE(this->itemRow(u"10"_s, u"000003"_s).isEmpty());
}

// Another terminal changed an item between the screen's opening and the confirmation. What the operator
// chose (the item, its product, how much of it) must still be there; anything else moves as it is now,
// whatever the request carries.
TYPED_TEST(TransferTest, AChangeMeanwhileRefusesOnlyWhatTheOperatorChose) {
    struct Change {
        const char* what;
        QString update; // of item 10/000002 (3 of P2, status 1)
        QString refused;
    };
    const QString item2 = u" WHERE NRCOMANDA = '10' AND NRPRODCOMVEN = '000002'"_s;
    const Change changes[] = {
        {"moved by another terminal", u"DELETE FROM ITCOMANDAVEN"_s + item2,
         text::originChanged(u"10"_s, u"000002"_s)},
        {"split by another terminal", u"UPDATE ITCOMANDAVEN SET QTPRODCOMVEN = 2"_s + item2,
         text::originChanged(u"10"_s, u"000002"_s)},
        {"cancelled", u"UPDATE ITCOMANDAVEN SET IDSTPRCOMVEN = '6'"_s + item2,
         text::originChanged(u"10"_s, u"000002"_s, u"IDSTPRCOMVEN"_s)},
        {"no longer offered", u"UPDATE ITCOMANDAVEN SET IDSTPRCOMVEN = '7'"_s + item2,
         text::originChanged(u"10"_s, u"000002"_s, u"IDSTPRCOMVEN"_s)},
        {"another product", u"UPDATE ITCOMANDAVEN SET CDPRODUTO = 'P1'"_s + item2,
         text::originChanged(u"10"_s, u"000002"_s, u"CDPRODUTO"_s)},
        {"the sale closed",
         u"UPDATE VENDAREST SET DTHRFECHMESA = CURRENT_TIMESTAMP WHERE NRVENDAREST = 'V1'"_s,
         text::originChanged(u"10"_s, u"000004"_s)},
        {"prepared in the kitchen, repriced and annotated",
         u"UPDATE ITCOMANDAVEN SET IDSTPRCOMVEN = '3', VRPRECCOMVEN = 11.75, TXPRODCOMVEN = 'sem gelo', "
         "VRDESCCOMVEN = NULL"_s +
             item2,
         {}},
        {"a stored quantity that only differs by rounding",
         u"UPDATE ITCOMANDAVEN SET QTPRODCOMVEN = 3.0000001"_s + item2,
         {}},
    };
    for (const Change& c : changes) {
        SCOPED_TRACE(c.what);
        this->reseed();
        // the request carries values of its own as well: they never reach the rows
        auto r = this->request()
                     .move(u"10"_s, u"000004"_s)
                     .move(u"10"_s, u"000002"_s, 1,
                           {{u"VRPRECCOMVEN"_s, 0.01},
                            {u"TXPRODCOMVEN"_s, u"forjado"_s},
                            {u"DTHRINCOMVEN"_s, SalesBuilder::orderedAt().addDays(-3)},
                            {u"IDSTPRCOMVEN"_s, u"9"_s}});
        this->database->exec(c.update);
        if (!c.refused.isEmpty()) {
            EXPECT_EQ(this->refusal(r), c.refused);
            continue;
        }
        const QVariantMap origin = this->itemRow(u"10"_s, u"000002"_s);
        ASSERT_TRUE(this->moved(r));
        this->expectCarried(origin, this->itemRow(u"20"_s, u"000008"_s));
    }
}

TYPED_TEST(TransferTest, DestinationMustBeAnOpenTabOfTheRequestsSale) {
    const TransferDestination cases[] = {
        {u"0002"_s, u"V2"_s, u"99"_s, u"1"_s}, // no such tab
        {u"0002"_s, u"V2"_s, u"12"_s, u"1"_s}, // a tab of the origin sale V1
        {u"0002"_s, u"V1"_s, u"20"_s, u"1"_s}, // tab 20 belongs to V2
        {u"0003"_s, u"V3"_s, u"30"_s, u"1"_s}, // the sale is closed
    };
    for (const TransferDestination& to : cases) {
        SCOPED_TRACE(to.tab.toStdString() + " of " + to.sale.toStdString());
        EXPECT_EQ(this->refusal(this->request(to).move(u"10"_s, u"000001"_s)),
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
    const Forged cases[] = {
        {"a later record names another tab",
         {{u"NRCOMANDA"_s, u"11"_s}},
         false,
         {},
         text::otherDestination(u"10"_s, u"000001"_s, u"NRCOMANDA"_s)},
        {"a later record names another sale",
         {{u"NRVENDAREST"_s, u"V1"_s}},
         false,
         {},
         text::otherDestination(u"10"_s, u"000001"_s, u"NRVENDAREST"_s)},
        {"a later record names another store",
         {{u"CDLOJAABER"_s, u"02"_s}},
         false,
         {},
         text::otherDestination(u"10"_s, u"000001"_s, u"CDLOJAABER"_s)},
        {"a later record names another table",
         {{u"NRMESADES"_s, u"0003"_s}},
         false,
         {},
         text::otherDestination(u"10"_s, u"000001"_s, u"NRMESADES"_s)},
        {"a table that is not the sale's",
         {{u"NRMESADES"_s, u"0003"_s}},
         true,
         {},
         text::notTheSalesTable(u"10"_s, u"000004"_s, u"0003"_s, u"01"_s, u"V2"_s)},
        {"a store that is not the sale's",
         {{u"CDLOJAABER"_s, u"02"_s}},
         true,
         {},
         text::notTheSalesTable(u"10"_s, u"000004"_s, u"0002"_s, u"02"_s, u"V2"_s)},
        {"a destination whose bill is requested",
         {},
         false,
         u"UPDATE MESA SET IDSTMESAAUX = 'S' WHERE NRMESA = '0002'"_s,
         text::destinationBillRequested(u"0002"_s)},
        {"another product",
         {{u"CDPRODUTO"_s, u"P2"_s}},
         false,
         {},
         text::originChanged(u"10"_s, u"000001"_s, u"CDPRODUTO"_s)},
        {"no product",
         {{u"CDPRODUTO"_s, u""_s}},
         false,
         {},
         text::originChanged(u"10"_s, u"000001"_s, u"CDPRODUTO"_s)},
        {"a product not in the catalogue",
         {{u"CDPRODUTO"_s, u"ZZ"_s}},
         false,
         {},
         text::originChanged(u"10"_s, u"000001"_s, u"CDPRODUTO"_s)},
        {"the item of another origin tab",
         {{u"NRCOMANDAORIG"_s, u"11"_s}},
         false,
         {},
         text::originChanged(u"11"_s, u"000001"_s)},
        {"an origin table that is not the item's",
         {{u"NRMESAORI"_s, u"0002"_s}},
         false,
         {},
         text::notOnOriginTable(u"10"_s, u"000001"_s, u"0002"_s, u"0001"_s)},
    };
    for (const Forged& c : cases) {
        SCOPED_TRACE(c.what);
        this->reseed();
        if (!c.setup.isEmpty())
            this->database->exec(c.setup);
        TransferRequest r = this->request().move(u"10"_s, u"000004"_s);
        r.move(u"10"_s, u"000001"_s, {}, c.everyRecord ? QVariantMap() : c.overrides);
        if (c.everyRecord)
            for (auto it = c.overrides.cbegin(); it != c.overrides.cend(); ++it)
                r.setAll(it.key(), it.value());
        EXPECT_EQ(this->refusal(r), c.expected);
    }
}

// Another terminal holds a tab of the request longer than this session waits for a lock: the operator
// is told which tables are busy, and it is not retried as a deadlock would be.
TYPED_TEST(TransferTest, ALockWaitThatRunsOutNamesTheBusyTables) {
    const auto other = openSession(this->database->connectionString(), u"other-terminal"_s);
    other->beginTransaction();
    if (TypeParam::kind == DbKind::PostgreSQL) {
        other->exec(u"SELECT * FROM COMANDAVEN WHERE NRCOMANDA = '20' FOR UPDATE"_s);
        this->module->adcTrPosicao.exec(u"SET lock_timeout = '200ms'"_s);
    } else {
        this->module->adcTrPosicao.exec(u"PRAGMA busy_timeout = 200"_s);
    }
    EXPECT_EQ(this->refusal(this->request().move(u"10"_s, u"000004"_s).move(u"11"_s, u"000001"_s)),
              platform::db::tableBusyText({u"0001"_s, u"0002"_s}));
    other->rollback();
    EXPECT_TRUE(this->moved(this->request().move(u"10"_s, u"000004"_s)));
}

// Records of one item may take it to several seats, never more of it than it holds.
TYPED_TEST(TransferTest, EmptyRequestsAndItemsMovedOverTheirQuantityAreRefused) {
    EXPECT_EQ(this->refusal(this->request()), text::emptyRequest());
    EXPECT_EQ(this->refusal(this->request().move(u"10"_s, u"000002"_s, 2).move(u"10"_s, u"000002"_s, 2)),
              text::quantityOutOfRange(u"10"_s, u"000002"_s, 4, 3));
}

TYPED_TEST(TransferTest, NewItemNumbersFollowTheDestinationsHighestWholeOrSplit) {
    ASSERT_TRUE(this->moved(
        this->request().move(u"10"_s, u"000004"_s).move(u"10"_s, u"000002"_s, 1).move(u"11"_s, u"000002"_s)));

    EXPECT_EQ(this->newItems(), Rows({"000007|P2|1|<null>", "000008|P2|1|<null>", "000009|P1|2|004"}));
    EXPECT_EQ(this->rows(u"SELECT NRCOMANDAOLD, NRPRODCOMVENOLD, NRPRODCOMVEN FROM PEDIDOALT ORDER BY 3"_s),
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
            r.move(QString::fromLatin1(m.tab), QString::fromLatin1(m.item), m.quantity);
        ASSERT_TRUE(this->moved(r));
        EXPECT_EQ(this->newItems(u"NRSEQPRODCOM"_s), c.sequences);
    }
}

TYPED_TEST(TransferTest, ItemsFromTwoOriginTabsEachTakeTheirOwnRecordsAndSurcharges) {
    ASSERT_TRUE(this->moved(
        this->request().move(u"10"_s, u"000001"_s).move(u"11"_s, u"000001"_s).move(u"10"_s, u"000002"_s, 1)));

    EXPECT_EQ(this->newItems(), Rows({"000007|P1|2|004", "000008|P2|1|005", "000009|P2|1|<null>"}));
    EXPECT_EQ(this->rows(
                  u"SELECT NRPRODCOMVEN, CDPRODUTO FROM ITCOMANDAEST WHERE NRCOMANDA = '20' ORDER BY 1, 2"_s),
              Rows({"000007|P3", "000007|P4", "000008|P3", "000009|P5"}));
    EXPECT_EQ(
        this->rows(u"SELECT NRPRODCOMVEN, CDPRODUTO, CDOCORR FROM OBSITCOMANDAEST WHERE NRCOMANDA = '20' "
                   "ORDER BY 1, 2, 3"_s),
        Rows({"000007|P3|05", "000007|P4|06", "000007|P4|07", "000008|P3|09"}));
    EXPECT_EQ(
        this->rows(
            u"SELECT NRPRODCOMVEN, CDOCORR FROM OBSITCOMANDAVEN WHERE NRCOMANDA = '20' ORDER BY 1, 2"_s),
        Rows({"000007|01", "000007|02", "000008|10", "000009|08"}));
    EXPECT_EQ(this->rows(u"SELECT NRCOMANDAOLD, NRPRODCOMVENOLD, NRPRODCOMVEN FROM PEDIDOALT ORDER BY 3"_s),
              Rows({"10|000001|000007", "11|000001|000008", "10|000002|000009"}));
    EXPECT_TRUE(this->itemRow(u"11"_s, u"000001"_s).isEmpty());
    EXPECT_EQ(this->database->count(u"ITCOMANDAEST WHERE NRCOMANDA = '11'"_s), 0);

    // 0.5 and a third of 0.25 (1 of 3) leave tab 10, 1.25 leaves tab 11, all of it reaches tab 20
    EXPECT_DOUBLE_EQ(this->surcharge(u"10"_s), 5 - 0.5 - 0.25 / 3);
    EXPECT_DOUBLE_EQ(this->surcharge(u"11"_s), 1.75);
    EXPECT_DOUBLE_EQ(this->surcharge(u"20"_s), 1 + 0.5 + 1.25 + 0.25 / 3);
    EXPECT_EQ(this->surcharge(u"12"_s), 0.0);
}

TYPED_TEST(TransferTest, ASecondSplitOfTheSameItemRewritesItsTrackingRow) {
    ASSERT_TRUE(this->moved(this->request().move(u"10"_s, u"000002"_s, 1)));
    // the screen is opened again: it now sees 2 left
    ASSERT_TRUE(this->moved(this->request().move(u"10"_s, u"000002"_s, 1)));

    EXPECT_EQ(this->newItems(), Rows({"000007|P2|1|<null>", "000008|P2|1|<null>"}));
    EXPECT_EQ(shown(this->itemRow(u"10"_s, u"000002"_s).value(u"QTPRODCOMVEN"_s)), "1");
    EXPECT_EQ(this->rows(u"SELECT * FROM PEDIDOALT"_s),
              Rows({"0001|V1|10|000002|V2|20|000008|0002|<null>|3"}));
}

TYPED_TEST(TransferTest, AnItemThatArrivedByAMoveIsTrackedUnderItsCurrentKey) {
    ASSERT_TRUE(this->moved(this->request().move(u"10"_s, u"000001"_s)));
    const TransferDestination tab11{u"0001"_s, u"V1"_s, u"11"_s, u"2"_s};
    ASSERT_TRUE(this->moved(this->request(tab11).move(u"20"_s, u"000007"_s)));

    EXPECT_EQ(this->rows(u"SELECT * FROM PEDIDOALT ORDER BY NRVENDARESTOLD"_s),
              Rows({"0001|V1|10|000001|V2|20|000007|0002|<null>|3",
                    "0001|V2|20|000007|V1|11|000003|0001|<null>|2"}));
    EXPECT_EQ(
        this->rows(u"SELECT NRPRODCOMVEN, CDPRODUTO, NRSEQPRODCOM, NRMESADSCOMORIT FROM ITCOMANDAVEN WHERE "
                   "NRCOMANDA = '11' ORDER BY 1"_s),
        Rows({"000001|P2|001|<null>", "000002|P1|002|<null>", "000003|P1|003|0002"}));
    EXPECT_EQ(this->rows(u"SELECT NRCOMANDA, NRPRODCOMVEN, CDPRODUTO FROM ITCOMANDAEST ORDER BY 1, 2, 3"_s),
              Rows({"10|000002|P5", "11|000001|P3", "11|000003|P3", "11|000003|P4"}));
    EXPECT_EQ(this->database->count(u"ITCOMANDAVEN WHERE NRCOMANDA = '20' AND NRPRODCOMVEN = '000007'"_s), 0);
    EXPECT_EQ(this->surcharge(u"20"_s), 1.0);
    EXPECT_EQ(this->surcharge(u"11"_s), 3.5);
}

// Another terminal changes the item and holds it while this transfer starts: the transfer must wait
// and see the change, not move the item as the screen last showed it.
TYPED_TEST(TransferTest, AChangeCommittedWhileTheTransferWaitsIsSeen) {
    const TransferRequest r = this->request().move(u"10"_s, u"000004"_s).move(u"10"_s, u"000001"_s);
    std::promise<void> holding;
    std::string otherError;
    std::thread other([&, uri = this->database->connectionString()] {
        bool held = false;
        try {
            const auto terminal = openSession(uri, u"other-terminal"_s);
            terminal->beginTransaction();
            terminal->exec(
                u"UPDATE ITCOMANDAVEN SET QTPRODCOMVEN = 1 WHERE CDFILIAL = '0001' AND NRCOMANDA = '10' "
                "AND NRPRODCOMVEN = '000001'"_s);
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

    EXPECT_EQ(result.toString(), text::originChanged(u"10"_s, u"000001"_s));
    EXPECT_EQ(this->newItems(), Rows());
    EXPECT_EQ(shown(this->itemRow(u"10"_s, u"000001"_s).value(u"QTPRODCOMVEN"_s)), "1");
    EXPECT_FALSE(this->itemRow(u"10"_s, u"000004"_s).isEmpty());
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
        const TransferRequest r = this->request()
                                      .move(u"10"_s, u"000004"_s)
                                      .move(u"10"_s, u"000002"_s, 1)
                                      .move(u"10"_s, u"000001"_s);
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
            SCOPED_TRACE(u"statement %1, %2"_s.arg(failing).arg(names[failing - 1]).toStdString());
            int run = 0;
            FaultInjection fault([&](const QString& name) {
                if (++run == failing)
                    throw platform::DatabaseError(u"falha injetada em "_s + name, u"injetada"_s, QString(),
                                                  name);
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
        const TransferRequest r = this->request()
                                      .move(u"10"_s, u"000004"_s)
                                      .move(u"10"_s, u"000002"_s, 1)
                                      .move(u"10"_s, u"000001"_s);
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
                    throw platform::DatabaseError(u"deadlock detected"_s, u"deadlock"_s, u"40P01"_s, name);
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
            .tracking(u"V1"_s, u"11"_s, u"000002"_s,
                      {{u"NRVENDAREST"_s, u"V2"_s},
                       {u"NRCOMANDA"_s, u"20"_s},
                       {u"NRPRODCOMVEN"_s, u"000006"_s},
                       {u"NRMESA"_s, u"0002"_s}});
        ASSERT_TRUE(this->moved(this->request()
                                    .move(u"10"_s, u"000004"_s)
                                    .move(u"10"_s, u"000001"_s)
                                    .move(u"11"_s, u"000002"_s, 1)
                                    .move(u"10"_s, u"000002"_s, 1)));
        const int prepared = this->module->adcTrPosicao.prepareCount();

        ASSERT_TRUE(this->moved(this->request()
                                    .move(u"10"_s, u"000003"_s)
                                    .move(u"10"_s, u"000002"_s, 1)
                                    .move(u"11"_s, u"000001"_s)));
        EXPECT_EQ(this->module->adcTrPosicao.prepareCount(), prepared);
    }
}

TYPED_TEST(TransferTest, AnUnreadableRequestLeavesAsAnExceptionWithNothingChanged) {
    const Rows before = this->snapshot();
    EXPECT_THROW(setTransferencia(QByteArray("{\"fields\": [{\"name\": \"CDFILIAL\"")),
                 platform::PacketError);
    EXPECT_THROW(setTransferencia(u"not a packet"_s), platform::PacketError);
    EXPECT_EQ(this->snapshot(), before);
}
