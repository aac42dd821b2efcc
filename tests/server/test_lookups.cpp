// The two lookups that feed the transfer screen, through the server methods: what reaches the screen
// as a data packet, which items and tabs it offers, and how a failure comes back.

#include "support/FaultInjection.h"
#include "support/ServerFixture.h"

#include "platform/DataPacket.h"
#include "schema/ItemRecord.h"
#include "server/Srv_Mvt04215.h"
#include "server/TrdmTrPosicao.h"

#include <gtest/gtest.h>

using namespace Srv_Mvt04215;
using namespace testsupport;
using namespace Qt::StringLiterals;
using platform::DataPacket;

namespace {

// The packet a lookup returned; a failure text or any other kind of result fails the test.
DataPacket packetOf(const QVariant& result) {
    if (result.metaType().id() != QMetaType::QByteArray) {
        ADD_FAILURE() << "expected a data packet, got " << result.typeName() << ": "
                      << result.toString().toStdString();
        return {};
    }
    return DataPacket::fromJson(result.toByteArray(), u"lookup result"_s);
}

// The failure text a lookup returned; anything else fails the test.
QString failureOf(const QVariant& result) {
    if (result.metaType().id() != QMetaType::QString) {
        ADD_FAILURE() << "expected a failure text, got " << result.typeName();
        return {};
    }
    EXPECT_FALSE(result.toString().isEmpty()) << "a failure must say what went wrong";
    return result.toString();
}

const QStringList itemColumns = {u"NRPRODCOMVEN"_s, u"NRCOMANDA"_s, u"CDPRODUTO"_s};

template <typename Db> class TableLookups : public MenuFixture<Db> {
protected:
    QVariant prodOrig(const char* table, const char* couver = "COUVER", const char* consum = "CONSUM",
                      const char* consfem = "CONSFEM") {
        return getProdOrig(QString::fromLatin1(table), u"0001"_s, u"01"_s, QString::fromLatin1(couver),
                           QString::fromLatin1(consum), QString::fromLatin1(consfem));
    }
    QVariant destination(const char* table, const char* store = "01") {
        return getValidaMesaDes(u"0001"_s, QString::fromLatin1(store), QString::fromLatin1(table), u"0099"_s);
    }
};

TYPED_TEST_SUITE(TableLookups, BothDatabases, DbKindNames);

} // namespace

TYPED_TEST(TableLookups, OriginItemsAreTheOpenSalesOfferedItemsInItemOrderAsAPacket) {
    scenarios::table5WithItemsOfEveryKind(*this->builder).item(u"10"_s, u"000010"_s, u"X"_s, 1);

    const DataPacket p = packetOf(this->prodOrig("0005"));
    EXPECT_EQ(p.fields.size(), 44);
    EXPECT_EQ(p.fields, schema::itemQueryFields());
    ASSERT_EQ(rowsOf(p, itemColumns), Rows({"000003|10|P1", "000007|11|P2", "000010|10|X"}))
        << "a given product code leaves product X on offer";
    EXPECT_EQ(cell(p, 0, u"NRVENDAREST"_s).toString(), u"V1"_s);
    EXPECT_EQ(cell(p, 0, u"QTPRODCOMVEN"_s).toDouble(), 1.5);
    EXPECT_EQ(cell(p, 0, u"TXPRODCOMVEN"_s).toString(), u"sem cebola"_s);
    EXPECT_EQ(cell(p, 0, u"DTHRINCOMVEN"_s).toDateTime(), SalesBuilder::orderedAt());
    EXPECT_EQ(cell(p, 0, u"NMPRODUTO"_s).toString(), u"Pizza"_s);
    EXPECT_EQ(cell(p, 1, u"NMPRODUTO"_s).toString(), u"SUCO FISCAL"_s) << "the fiscal name comes first";
    EXPECT_EQ(cell(p, 0, u"CDARVPROD"_s).toString(), u"ARVP1"_s);

    EXPECT_EQ(rowsOf(packetOf(this->prodOrig("0006")), itemColumns), Rows({"000002|20|P1"}));
}

TYPED_TEST(TableLookups, AnEmptyProductCodeExcludesProductXAndAGivenCodeExactlyThatProduct) {
    SalesBuilder& b = *this->builder;
    b.table(u"0005"_s).sale(u"V1"_s, u"0005"_s).tab(u"10"_s, u"V1"_s);
    int n = 0;
    for (const char* product : {"P1", "P11", "X", "CONSUM", "CONSFEM", "COUVER"})
        b.item(u"10"_s, u"%1"_s.arg(++n, 6, 10, QLatin1Char('0')), QString::fromLatin1(product), 1);
    const QStringList products = {u"CDPRODUTO"_s};

    EXPECT_EQ(rowsOf(packetOf(this->prodOrig("0005", "", "", "")), products),
              Rows({"P1", "P11", "CONSUM", "CONSFEM", "COUVER"}));
    EXPECT_EQ(rowsOf(packetOf(this->prodOrig("0005", "P1", "", "")), products),
              Rows({"P11", "CONSUM", "CONSFEM", "COUVER"}))
        << "P1 goes, P11 does not share its code";
    EXPECT_EQ(rowsOf(packetOf(this->prodOrig("0005", "", "CONSUM", "")), products),
              Rows({"P1", "P11", "CONSFEM", "COUVER"}));
    EXPECT_EQ(rowsOf(packetOf(this->prodOrig("0005", "", "", "CONSFEM")), products),
              Rows({"P1", "P11", "CONSUM", "COUVER"}));
    EXPECT_EQ(rowsOf(packetOf(this->prodOrig("0005", "COUVER", "CONSUM", "CONSFEM")), products),
              Rows({"P1", "P11", "X"}));
}

TYPED_TEST(TableLookups, AnOriginWithNothingToOfferGivesAnEmptyPacketNotAText) {
    SalesBuilder& b = *this->builder;
    b.table(u"0001"_s) // no sale at all
        .table(u"0002"_s)
        .closedSale(u"V2"_s, u"0002"_s)
        .tab(u"20"_s, u"V2"_s)
        .item(u"20"_s, u"000001"_s, u"P1"_s, 1)
        .table(u"0003"_s)
        .sale(u"V3"_s, u"0003"_s)
        .tab(u"30"_s, u"V3"_s)
        .item(u"30"_s, u"000001"_s, u"P1"_s, 1, {{u"IDSTPRCOMVEN"_s, u"6"_s}})
        .item(u"30"_s, u"000002"_s, u"P1"_s, 1, {{u"IDSTPRCOMVEN"_s, u"7"_s}})
        .table(u"0004"_s)
        .sale(u"V4"_s, u"0004"_s)
        .tab(u"40"_s, u"V4"_s)
        .item(u"40"_s, u"000001"_s, u"COUVER"_s, 1)
        .item(u"40"_s, u"000002"_s, u"CONSUM"_s, 1)
        .item(u"40"_s, u"000003"_s, u"CONSFEM"_s, 1)
        .table(u"0006"_s)
        .sale(u"V6"_s, u"0006"_s)
        .tab(u"60"_s, u"V6"_s)
        .item(u"60"_s, u"000001"_s, u"X"_s, 1);

    for (const char* table : {"0001", "0002", "0003", "0004", "0009"}) {
        SCOPED_TRACE(table);
        const DataPacket p = packetOf(this->prodOrig(table));
        EXPECT_EQ(p.fields, schema::itemQueryFields());
        EXPECT_TRUE(p.rows.isEmpty());
    }
    const DataPacket onlyX = packetOf(this->prodOrig("0006", "", "", ""));
    EXPECT_EQ(onlyX.fields, schema::itemQueryFields());
    EXPECT_TRUE(onlyX.rows.isEmpty());
}

// The module's statements stay prepared between calls; each call must still bind its own arguments
// and read the rows as they are now.
TYPED_TEST(TableLookups, EveryCallReadsItsOwnTableAsItIsNow) {
    SalesBuilder& b = *this->builder;
    scenarios::pizzaOnTable5(b)
        .table(u"0006"_s)
        .sale(u"V2"_s, u"0006"_s)
        .tab(u"20"_s, u"V2"_s)
        .tab(u"21"_s, u"V2"_s)
        .item(u"20"_s, u"000002"_s, u"P2"_s, 1);

    EXPECT_EQ(rowsOf(packetOf(this->prodOrig("0005")), itemColumns), Rows({"000001|10|P1"}));
    EXPECT_EQ(rowsOf(packetOf(this->prodOrig("0006")), itemColumns), Rows({"000002|20|P2"}));
    EXPECT_EQ(packetOf(this->destination("0005")).rows.size(), 1);
    EXPECT_EQ(packetOf(this->destination("0006")).rows.size(), 2);

    b.item(u"10"_s, u"000003"_s, u"P11"_s, 1).tab(u"12"_s, u"V1"_s);
    EXPECT_EQ(rowsOf(packetOf(this->prodOrig("0005")), itemColumns), Rows({"000001|10|P1", "000003|10|P11"}));
    EXPECT_EQ(packetOf(this->destination("0005")).rows.size(), 2);
}

TYPED_TEST(TableLookups, DestinationCheckHasOneRowPerTabOfTheOpenSale) {
    SalesBuilder& b = *this->builder;
    b.table(u"0005"_s, u"O"_s, u"Varanda 5"_s)
        .closedSale(u"V0"_s, u"0005"_s)
        .tab(u"09"_s, u"V0"_s, u"Velha"_s)
        .sale(u"V1"_s, u"0005"_s, u"3"_s)
        .tab(u"10"_s, u"V1"_s, u"Ana"_s)
        .tab(u"11"_s, u"V1"_s, u"Bia"_s)
        .tab(u"12"_s, u"V1"_s, u"Caio"_s)
        .item(u"10"_s, u"000001"_s, u"P1"_s, 1)
        .table(u"0006"_s)
        .sale(u"V2"_s, u"0006"_s)
        .tab(u"20"_s, u"V2"_s);
    this->other("0002").table(u"0005"_s).sale(u"V1"_s, u"0005"_s).tab(u"15"_s, u"V1"_s, u"Outra filial"_s);

    const DataPacket p = packetOf(this->destination("0005"));
    EXPECT_EQ(p.fields, schema::destinationCheckFields());
    EXPECT_EQ(sorted(rowsOf(p, {u"NRMESA"_s, u"NMMESA"_s, u"IDSTMESAAUX"_s, u"NRCOMANDA"_s, u"NRVENDAREST"_s,
                                u"NRPESMESAVEN"_s, u"DSCOMANDA"_s})),
              Rows({"0005|Varanda 5|O|10|V1|3|Ana", "0005|Varanda 5|O|11|V1|3|Bia",
                    "0005|Varanda 5|O|12|V1|3|Caio"}));
}

TYPED_TEST(TableLookups, DestinationWithoutAnOpenSaleWithTabsGivesAnEmptyPacket) {
    SalesBuilder& b = *this->builder;
    b.table(u"0001"_s) // no sale
        .table(u"0002"_s)
        .closedSale(u"V2"_s, u"0002"_s)
        .tab(u"20"_s, u"V2"_s)
        .table(u"0003"_s)
        .sale(u"V3"_s, u"0003"_s); // open, but without a tab
    for (const char* table : {"0001", "0002", "0003", "0009"}) {
        SCOPED_TRACE(table);
        const DataPacket p = packetOf(this->destination(table));
        EXPECT_EQ(p.fields, schema::destinationCheckFields());
        EXPECT_TRUE(p.rows.isEmpty());
    }
}

TYPED_TEST(TableLookups, DestinationChecksTheStoreOnTheTableRowOnly) {
    SalesBuilder& b = *this->builder;
    b.table(u"0005"_s, u"O"_s, u"Salao"_s).sale(u"V1"_s, u"0005"_s).tab(u"10"_s, u"V1"_s);
    this->other("0001", "02").table(u"0005"_s, u"D"_s, u"Terraco"_s);

    EXPECT_EQ(
        rowsOf(packetOf(this->destination("0005", "02")), {u"NMMESA"_s, u"IDSTMESAAUX"_s, u"NRCOMANDA"_s}),
        Rows({"Terraco|D|10"}))
        << "the sale is not matched on the store";
    EXPECT_TRUE(packetOf(this->destination("0005", "03")).rows.isEmpty()) << "no table row in store 03";
}

TYPED_TEST(TableLookups, ADatabaseFailureComesBackAsTextAndChangesNothing) {
    scenarios::pizzaOnTable5(*this->builder);
    TestDatabase& db = *this->database;
    // both statements prepared before anything breaks
    ASSERT_EQ(packetOf(this->prodOrig("0005")).rows.size(), 1);
    ASSERT_EQ(packetOf(this->destination("0005")).rows.size(), 1);
    const QStringList before = db.snapshot();

    {
        FaultInjection fault(failing({u"adqProdOrig"_s, u"adqValMesaDest"_s}));
        EXPECT_TRUE(failureOf(this->prodOrig("0005")).contains(u"falha injetada"_s));
        EXPECT_TRUE(failureOf(this->destination("0005")).contains(u"falha injetada"_s));
    }
    EXPECT_EQ(packetOf(this->prodOrig("0005")).rows.size(), 1) << "a failed call leaves nothing behind";
    EXPECT_EQ(packetOf(this->destination("0005")).rows.size(), 1);

    this->module->adcTrPosicao.close();
    failureOf(this->prodOrig("0005"));
    failureOf(this->destination("0005"));
    EXPECT_EQ(db.snapshot(), before);

    this->module->adcTrPosicao.open();
    EXPECT_EQ(packetOf(this->prodOrig("0005")).rows.size(), 1) << "answers again once reconnected";
    EXPECT_EQ(packetOf(this->destination("0005")).rows.size(), 1);
    db.exec(u"DROP TABLE ITCOMANDAVEN"_s);
    EXPECT_TRUE(failureOf(this->prodOrig("0005")).contains(u"ITCOMANDAVEN"_s, Qt::CaseInsensitive));
    db.exec(u"DROP TABLE COMANDAVEN"_s);
    EXPECT_TRUE(failureOf(this->destination("0005")).contains(u"COMANDAVEN"_s, Qt::CaseInsensitive));
    EXPECT_EQ(db.rows(u"SELECT NRVENDAREST FROM VENDAREST"_s), QStringList({u"V1"_s}));
}

TEST(TableLookupsWithoutModule, EachLookupAnswersWithAText) {
    ASSERT_EQ(rdmTrPosicao, nullptr);
    failureOf(getProdOrig(u"0005"_s, u"0001"_s, u"01"_s, u""_s, u""_s, u""_s));
    failureOf(getValidaMesaDes(u"0001"_s, u"01"_s, u"0005"_s, u"0006"_s));
}
