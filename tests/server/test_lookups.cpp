// The two lookups that feed the transfer screen, through the server methods: what reaches the screen
// as a data packet, which items and tabs it offers, and how a failure comes back.

#include "support/FaultInjection.h"
#include "support/ServerFixture.h"

#include "platform/DataPacket.h"
#include "platform/Errors.h"
#include "schema/ItemRecord.h"
#include "server/Srv_Mvt04215.h"
#include "server/TrdmTrPosicao.h"

#include <gtest/gtest.h>

using namespace Srv_Mvt04215;
using namespace testsupport;
using platform::DataPacket;

namespace {

// The packet a lookup returned; a failure text or any other kind of result fails the test.
DataPacket packetOf(const QVariant& result) {
    if (result.metaType().id() != QMetaType::QByteArray) {
        ADD_FAILURE() << "expected a data packet, got " << result.typeName() << ": "
                      << result.toString().toStdString();
        return {};
    }
    return DataPacket::fromJson(result.toByteArray(), QStringLiteral("lookup result"));
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

const QStringList itemColumns = {"NRPRODCOMVEN", "NRCOMANDA", "CDPRODUTO"};

template <typename Db> class TableLookups : public ServerFixture<Db> {
protected:
    void prepare() override {
        ServerFixture<Db>::prepare();
        this->builder->product("P1", "Pizza")
            .product("P11", "Pizza grande")
            .product("P2", "Suco", {{"NMPRODIMPFIS", "SUCO FISCAL"}})
            .product("X", "Produto X")
            .product("CONSUM", "Consumacao")
            .product("CONSFEM", "Consumacao F")
            .product("COUVER", "Couvert");
    }
    QVariant prodOrig(const char* table, const char* couver = "COUVER", const char* consum = "CONSUM",
                      const char* consfem = "CONSFEM") {
        return getProdOrig(QString::fromLatin1(table), "0001", "01", QString::fromLatin1(couver),
                           QString::fromLatin1(consum), QString::fromLatin1(consfem));
    }
    QVariant destination(const char* table, const char* store = "01") {
        return getValidaMesaDes("0001", QString::fromLatin1(store), QString::fromLatin1(table), "0099");
    }
};

TYPED_TEST_SUITE(TableLookups, BothDatabases, DbKindNames);

} // namespace

TYPED_TEST(TableLookups, OriginItemsAreTheOpenSalesOfferedItemsInItemOrderAsAPacket) {
    SalesBuilder& b = *this->builder;
    b.table("0005")
        .closedSale("V0", "0005")
        .tab("09", "V0")
        .item("09", "000001", "P1", 1)
        .sale("V1", "0005")
        .tab("10", "V1")
        .tab("11", "V1")
        .item("11", "000007", "P2", 2)
        .item("10", "000003", "P1", 1.5, {{"TXPRODCOMVEN", "sem cebola"}})
        .item("10", "000004", "P1", 1, {{"IDSTPRCOMVEN", "6"}})
        .item("10", "000005", "P1", 1, {{"IDSTPRCOMVEN", "7"}})
        .item("10", "000006", "CONSUM", 1)
        .item("11", "000008", "CONSFEM", 1)
        .item("11", "000009", "COUVER", 1)
        .item("10", "000010", "X", 1)
        .table("0006")
        .sale("V2", "0006")
        .tab("20", "V2")
        .item("20", "000002", "P1", 1);
    this->other("0002").table("0005").sale("V1", "0005").tab("10", "V1").item("10", "000011", "P1", 1);
    this->other("0001", "02").table("0005").sale("V9", "0005").tab("90", "V9").item("90", "000012", "P1", 1);

    const DataPacket p = packetOf(this->prodOrig("0005"));
    EXPECT_EQ(p.fields.size(), 44);
    EXPECT_EQ(p.fields, schema::itemQueryFields());
    ASSERT_EQ(rowsOf(p, itemColumns), Rows({"000003|10|P1", "000007|11|P2", "000010|10|X"}))
        << "a given product code leaves product X on offer";
    EXPECT_EQ(cell(p, 0, "NRVENDAREST").toString(), "V1");
    EXPECT_EQ(cell(p, 0, "QTPRODCOMVEN").toDouble(), 1.5);
    EXPECT_EQ(cell(p, 0, "TXPRODCOMVEN").toString(), "sem cebola");
    EXPECT_EQ(cell(p, 0, "DTHRINCOMVEN").toDateTime(), SalesBuilder::orderedAt());
    EXPECT_EQ(cell(p, 0, "NMPRODUTO").toString(), "Pizza");
    EXPECT_EQ(cell(p, 1, "NMPRODUTO").toString(), "SUCO FISCAL") << "the fiscal name comes first";
    EXPECT_EQ(cell(p, 0, "CDARVPROD").toString(), "ARVP1");

    EXPECT_EQ(rowsOf(packetOf(this->prodOrig("0006")), itemColumns), Rows({"000002|20|P1"}));
}

TYPED_TEST(TableLookups, AnEmptyProductCodeExcludesProductXAndAGivenCodeExactlyThatProduct) {
    SalesBuilder& b = *this->builder;
    b.table("0005").sale("V1", "0005").tab("10", "V1");
    int n = 0;
    for (const char* product : {"P1", "P11", "X", "CONSUM", "CONSFEM", "COUVER"})
        b.item("10", QStringLiteral("%1").arg(++n, 6, 10, QLatin1Char('0')), QString::fromLatin1(product), 1);
    const QStringList products = {"CDPRODUTO"};

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
    b.table("0001") // no sale at all
        .table("0002")
        .closedSale("V2", "0002")
        .tab("20", "V2")
        .item("20", "000001", "P1", 1)
        .table("0003")
        .sale("V3", "0003")
        .tab("30", "V3")
        .item("30", "000001", "P1", 1, {{"IDSTPRCOMVEN", "6"}})
        .item("30", "000002", "P1", 1, {{"IDSTPRCOMVEN", "7"}})
        .table("0004")
        .sale("V4", "0004")
        .tab("40", "V4")
        .item("40", "000001", "COUVER", 1)
        .item("40", "000002", "CONSUM", 1)
        .item("40", "000003", "CONSFEM", 1)
        .table("0006")
        .sale("V6", "0006")
        .tab("60", "V6")
        .item("60", "000001", "X", 1);

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
    b.table("0005")
        .sale("V1", "0005")
        .tab("10", "V1")
        .item("10", "000001", "P1", 1)
        .table("0006")
        .sale("V2", "0006")
        .tab("20", "V2")
        .tab("21", "V2")
        .item("20", "000002", "P2", 1);

    EXPECT_EQ(rowsOf(packetOf(this->prodOrig("0005")), itemColumns), Rows({"000001|10|P1"}));
    EXPECT_EQ(rowsOf(packetOf(this->prodOrig("0006")), itemColumns), Rows({"000002|20|P2"}));
    EXPECT_EQ(packetOf(this->destination("0005")).rows.size(), 1);
    EXPECT_EQ(packetOf(this->destination("0006")).rows.size(), 2);

    b.item("10", "000003", "P11", 1).tab("12", "V1");
    EXPECT_EQ(rowsOf(packetOf(this->prodOrig("0005")), itemColumns), Rows({"000001|10|P1", "000003|10|P11"}));
    EXPECT_EQ(packetOf(this->destination("0005")).rows.size(), 2);
}

TYPED_TEST(TableLookups, DestinationCheckHasOneRowPerTabOfTheOpenSale) {
    SalesBuilder& b = *this->builder;
    b.table("0005", "O", "Varanda 5")
        .closedSale("V0", "0005")
        .tab("09", "V0", "Velha")
        .sale("V1", "0005", "3")
        .tab("10", "V1", "Ana")
        .tab("11", "V1", "Bia")
        .tab("12", "V1", "Caio")
        .item("10", "000001", "P1", 1)
        .table("0006")
        .sale("V2", "0006")
        .tab("20", "V2");
    this->other("0002").table("0005").sale("V1", "0005").tab("15", "V1", "Outra filial");

    const DataPacket p = packetOf(this->destination("0005"));
    EXPECT_EQ(p.fields, schema::destinationCheckFields());
    EXPECT_EQ(sorted(rowsOf(p, {"NRMESA", "NMMESA", "IDSTMESAAUX", "NRCOMANDA", "NRVENDAREST", "NRPESMESAVEN",
                                "DSCOMANDA"})),
              Rows({"0005|Varanda 5|O|10|V1|3|Ana", "0005|Varanda 5|O|11|V1|3|Bia",
                    "0005|Varanda 5|O|12|V1|3|Caio"}));
}

TYPED_TEST(TableLookups, DestinationWithoutAnOpenSaleWithTabsGivesAnEmptyPacket) {
    SalesBuilder& b = *this->builder;
    b.table("0001") // no sale
        .table("0002")
        .closedSale("V2", "0002")
        .tab("20", "V2")
        .table("0003")
        .sale("V3", "0003"); // open, but without a tab
    for (const char* table : {"0001", "0002", "0003", "0009"}) {
        SCOPED_TRACE(table);
        const DataPacket p = packetOf(this->destination(table));
        EXPECT_EQ(p.fields, schema::destinationCheckFields());
        EXPECT_TRUE(p.rows.isEmpty());
    }
}

TYPED_TEST(TableLookups, DestinationChecksTheStoreOnTheTableRowOnly) {
    SalesBuilder& b = *this->builder;
    b.table("0005", "O", "Salao").sale("V1", "0005").tab("10", "V1");
    this->other("0001", "02").table("0005", "D", "Terraco");

    EXPECT_EQ(rowsOf(packetOf(this->destination("0005", "02")), {"NMMESA", "IDSTMESAAUX", "NRCOMANDA"}),
              Rows({"Terraco|D|10"}))
        << "the sale is not matched on the store";
    EXPECT_TRUE(packetOf(this->destination("0005", "03")).rows.isEmpty()) << "no table row in store 03";
}

TYPED_TEST(TableLookups, ADatabaseFailureComesBackAsTextAndChangesNothing) {
    SalesBuilder& b = *this->builder;
    b.table("0005").sale("V1", "0005").tab("10", "V1").item("10", "000001", "P1", 1);
    TestDatabase& db = *this->database;
    // both statements prepared before anything breaks
    ASSERT_EQ(packetOf(this->prodOrig("0005")).rows.size(), 1);
    ASSERT_EQ(packetOf(this->destination("0005")).rows.size(), 1);
    const QStringList before = db.snapshot();

    {
        FaultInjection fault([](const QString& statement) {
            if (statement == QLatin1String("adqProdOrig") || statement == QLatin1String("adqValMesaDest"))
                throw platform::DatabaseError(QStringLiteral("falha injetada"), {}, {}, statement);
        });
        EXPECT_TRUE(failureOf(this->prodOrig("0005")).contains("falha injetada"));
        EXPECT_TRUE(failureOf(this->destination("0005")).contains("falha injetada"));
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
    db.exec("DROP TABLE ITCOMANDAVEN");
    EXPECT_TRUE(failureOf(this->prodOrig("0005")).contains("ITCOMANDAVEN", Qt::CaseInsensitive));
    db.exec("DROP TABLE COMANDAVEN");
    EXPECT_TRUE(failureOf(this->destination("0005")).contains("COMANDAVEN", Qt::CaseInsensitive));
    EXPECT_EQ(db.rows("SELECT NRVENDAREST FROM VENDAREST"), QStringList({"V1"}));
}

TEST(TableLookupsWithoutModule, EachLookupAnswersWithAText) {
    ASSERT_EQ(rdmTrPosicao, nullptr);
    failureOf(getProdOrig("0005", "0001", "01", "", "", ""));
    failureOf(getValidaMesaDes("0001", "01", "0005", "0006"));
}
