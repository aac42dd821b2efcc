// What a transfer writes on the seeded restaurant: the moved item with its observations, components and
// tracking, a part and the rest it leaves, empty values, and each origin tab's surcharge.

#include "TransferTest.h"

#include "platform/FieldDef.h"

using namespace testsupport;

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
