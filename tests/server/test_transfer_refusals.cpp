// Transfers refused on the seeded restaurant, each with a text that names what is wrong and nothing
// changed: quantities out of range, a stale request, a destination that is not an open tab, forged records.

#include "TransferTest.h"

#include "platform/Errors.h"

using namespace Srv_Mvt04215;
using namespace testsupport;

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

// Records of one item may take it to several seats, never more of it than it holds.
TYPED_TEST(TransferTest, EmptyRequestsAndItemsMovedOverTheirQuantityAreRefused) {
    EXPECT_EQ(this->refusal(this->request()), text::emptyRequest());
    EXPECT_EQ(this->refusal(this->request().move(u"10"_s, u"000002"_s, 2).move(u"10"_s, u"000002"_s, 2)),
              text::quantityOutOfRange(u"10"_s, u"000002"_s, 4, 3));
}

TYPED_TEST(TransferTest, AnUnreadableRequestLeavesAsAnExceptionWithNothingChanged) {
    const Rows before = this->snapshot();
    EXPECT_THROW(setTransferencia(QByteArray("{\"fields\": [{\"name\": \"CDFILIAL\"")),
                 platform::PacketError);
    EXPECT_THROW(setTransferencia(u"not a packet"_s), platform::PacketError);
    EXPECT_EQ(this->snapshot(), before);
}
