// Every statement of the data module run against builder data on both databases: the rows a query
// returns and the rows a command changes, with neighbours (other tabs, sales, tables, stores and
// branches) placed so that a missing or wrong condition shows.

#include "support/ServerFixture.h"

#include "platform/FieldDef.h"
#include "schema/ItemRecord.h"
#include "server/TrdmTrPosicao.h"

#include <gtest/gtest.h>

using namespace Srv_Mvt04215;
using namespace testsupport;
using platform::DataPacket;
using platform::FieldType;
using platform::db::Statement;

namespace {

using Bindings = std::initializer_list<std::pair<QString, QVariant>>;

void bind(Statement& s, Bindings values) {
    for (const auto& [name, value] : values)
        s.setParam(name, value);
}

// The rows of a query as the named fields joined by '|', in the order the query returns them.
Rows rowsOf(Statement& s, Bindings values, const QStringList& fields) {
    s.close();
    bind(s, values);
    s.open();
    Rows out;
    for (; !s.eof(); s.next()) {
        QStringList cells;
        for (const QString& f : fields)
            cells << s.asString(f);
        out.push_back(cells.join(u'|').toStdString());
    }
    s.close();
    return out;
}

int run(Statement& s, Bindings values) {
    bind(s, values);
    return s.execute();
}

std::string text(const QVariant& v) {
    return v.toString().toStdString();
}

// A raw column read the way the data module reads a typed field, whatever the driver hands over.
QVariant as(FieldType type, const QVariant& raw) {
    return platform::coerceToField({QString(), type, 0}, raw);
}

template <typename Db> class StatementRows : public ServerFixture<Db> {
protected:
    void prepare() override {
        ServerFixture<Db>::prepare();
        this->builder->product("P1", "Pizza")
            .product("P2", "Suco", {{"NMPRODIMPFIS", "SUCO FISCAL"}})
            .product("P3", "Queijo")
            .product("P4", "Bacon")
            .product("P5", "Ovo")
            .product("CONSUM", "Consumacao")
            .product("CONSFEM", "Consumacao F")
            .product("COUVER", "Couvert");
    }
};

TYPED_TEST_SUITE(StatementRows, BothDatabases, DbKindNames);

} // namespace

// A text the dialect rejects, or a result field it does not deliver, fails here before any data matters.
TYPED_TEST(StatementRows, EveryStatementOfTheCataloguePreparesAndRunsOnEmptyTables) {
    int ran = 0;
    for (const platform::db::StatementDef& def : statementCatalogue()) {
        Statement s(this->module->adcTrPosicao, def);
        for (const platform::db::ParamDecl& p : def.params) {
            switch (p.type) {
            case platform::db::ParamType::Float:
                s.setParam(p.name, 1.5);
                break;
            case platform::db::ParamType::DateTime:
                s.setParam(p.name, SalesBuilder::orderedAt());
                break;
            case platform::db::ParamType::Text:
            case platform::db::ParamType::Untyped:
                s.setParam(p.name, QStringLiteral("1"));
                break;
            }
        }
        if (def.kind == platform::db::StatementKind::Query)
            EXPECT_NO_THROW(s.packet()) << def.name.toStdString();
        else
            EXPECT_NO_THROW(s.execute()) << def.name.toStdString();
        ++ran;
    }
    EXPECT_GE(ran, 34);
}

TYPED_TEST(StatementRows, ItemQueryListsTheOfferedItemsOfTheTablesOpenSaleInItemOrder) {
    SalesBuilder& b = *this->builder;
    b.table("0005")
        .closedSale("V0", "0005")
        .tab("09", "V0")
        .item("09", "000001", "P1", 1)
        .sale("V1", "0005")
        .tab("10", "V1")
        .tab("11", "V1")
        .item("11", "000007", "P2", 2) // inserted before the lower item number
        .item("10", "000003", "P1", 1.5, {{"TXPRODCOMVEN", "sem cebola"}, {"NRSEQPRODCOM", "002"}})
        .item("10", "000004", "P1", 1, {{"IDSTPRCOMVEN", "6"}})
        .item("10", "000005", "P1", 1, {{"IDSTPRCOMVEN", "7"}})
        .item("10", "000006", "CONSUM", 1)
        .item("11", "000008", "CONSFEM", 1)
        .item("11", "000009", "COUVER", 1)
        .table("0006")
        .sale("V2", "0006")
        .tab("20", "V2")
        .item("20", "000002", "P1", 1)
        .table("0007")
        .closedSale("V7", "0007")
        .tab("70", "V7")
        .item("70", "000001", "P1", 1);
    this->other().table("0005").sale("V1", "0005").tab("10", "V1").item("10", "000001", "P1", 1);
    this->other("0001", "02").table("0005").sale("V9", "0005").tab("90", "V9").item("90", "000010", "P1", 1);

    Statement& q = this->module->adqProdOrig;
    bind(q, {{"P_NRMESA", "0005"},
             {"P_CDFILIAL", "0001"},
             {"P_CDLOJA", "01"},
             {"P_CDPRODCONSUM", "CONSUM"},
             {"P_CDPRODCONSFEM", "CONSFEM"},
             {"P_CDPRODCOUVER", "COUVER"}});
    const DataPacket p = this->module->dspProdOrig.data();

    ASSERT_EQ(p.fields.size(), 44);
    EXPECT_EQ(p.fields, schema::itemQueryFields());
    ASSERT_EQ(p.rows.size(), 2);
    EXPECT_EQ(text(cell(p, 0, "NRPRODCOMVEN")), "000003");
    EXPECT_EQ(text(cell(p, 1, "NRPRODCOMVEN")), "000007");
    EXPECT_EQ(text(cell(p, 0, "NRCOMANDA")), "10");
    EXPECT_EQ(text(cell(p, 1, "NRCOMANDA")), "11");
    EXPECT_EQ(text(cell(p, 0, "NRVENDAREST")), "V1");

    const QVariant quantity = cell(p, 0, "QTPRODCOMVEN");
    EXPECT_EQ(quantity.typeId(), QMetaType::Double);
    EXPECT_EQ(quantity.toDouble(), 1.5);
    EXPECT_EQ(cell(p, 0, "DTHRINCOMVEN").toDateTime(), SalesBuilder::orderedAt());
    EXPECT_EQ(text(cell(p, 0, "TXPRODCOMVEN")), "sem cebola");
    EXPECT_EQ(text(cell(p, 0, "NRSEQPRODCOM")), "002");
    EXPECT_TRUE(cell(p, 1, "TXPRODCOMVEN").isNull());
    // columns the item never had a value for stay empty, numbers included
    EXPECT_TRUE(cell(p, 0, "NRATRAPRODCOVE").isNull()) << text(cell(p, 0, "NRATRAPRODCOVE"));
    EXPECT_TRUE(cell(p, 0, "QTITEMREFIL").isNull()) << text(cell(p, 0, "QTITEMREFIL"));
    // the fiscal name wins when the product has one
    EXPECT_EQ(text(cell(p, 0, "NMPRODUTO")), "Pizza");
    EXPECT_EQ(text(cell(p, 1, "NMPRODUTO")), "SUCO FISCAL");
    EXPECT_EQ(text(cell(p, 1, "CDARVPROD")), "ARVP2");
    EXPECT_EQ(text(cell(p, 1, "IDPESAPROD")), "N");

    bind(q, {{"P_NRMESA", "0007"}});
    EXPECT_TRUE(this->module->dspProdOrig.data().rows.empty()) << "the table's only sale is closed";
}

TYPED_TEST(StatementRows, DestinationChecksSeeTheTabsAndItemsOfTheOpenSaleOnly) {
    SalesBuilder& b = *this->builder;
    b.table("0005", "O", "Varanda")
        .closedSale("V0", "0005")
        .tab("09", "V0", "Antiga")
        .item("09", "000001", "P1", 1)
        .sale("V1", "0005", "6")
        .tab("10", "V1", "Joao")
        .tab("11", "V1", "Maria")
        .item("10", "000001", "P1", 1)
        .item("11", "000001", "P1", 1, {{"IDSTPRCOMVEN", "6"}})
        .item("11", "000002", "P1", 1, {{"IDSTPRCOMVEN", "7"}})
        .table("0006", "D")
        .table("0007")
        .closedSale("V7", "0007")
        .tab("70", "V7");
    this->other().table("0005").sale("V1", "0005").tab("10", "V1").item("10", "000001", "P1", 1);
    TrdmTrPosicao& dm = *this->module;

    const QStringList checkFields = {"NRMESA",      "NMMESA",       "IDSTMESAAUX", "NRCOMANDA",
                                     "NRVENDAREST", "NRPESMESAVEN", "DSCOMANDA"};
    EXPECT_EQ(sorted(rowsOf(dm.adqValMesaDest,
                            {{"P_CDFILIAL", "0001"}, {"P_CDLOJA", "01"}, {"P_NRMESA", "0005"}}, checkFields)),
              Rows({"0005|Varanda|O|10|V1|6|Joao", "0005|Varanda|O|11|V1|6|Maria"}));
    EXPECT_TRUE(rowsOf(dm.adqValMesaDest, {{"P_NRMESA", "0006"}}, checkFields).empty());
    EXPECT_TRUE(rowsOf(dm.adqValMesaDest, {{"P_NRMESA", "0007"}}, checkFields).empty());

    const Bindings openSaleOf5 = {{"P_NRMESA", "0005"}, {"P_CDFILIAL", "0001"}, {"P_CDLOJA", "01"}};
    EXPECT_EQ(rowsOf(dm.adqSelecionaVendarest, openSaleOf5, {"NRVENDAREST"}), Rows({"V1"}));
    EXPECT_TRUE(rowsOf(dm.adqSelecionaVendarest, {{"P_NRMESA", "0007"}}, {"NRVENDAREST"}).empty());
    EXPECT_TRUE(rowsOf(dm.adqSelecionaVendarest, {{"P_NRMESA", "0005"}, {"P_CDLOJA", "02"}}, {"NRVENDAREST"})
                    .empty());

    // offered or not, every item of the sale counts
    EXPECT_EQ(rowsOf(dm.adqVerificaItemCancelado, {{"P_CDFILIAL", "0001"}, {"P_NRVENDAREST", "V1"}},
                     {"NRVENDAREST"}),
              Rows({"V1", "V1", "V1"}));
    EXPECT_TRUE(rowsOf(dm.adqVerificaItemCancelado, {{"P_NRVENDAREST", "V7"}}, {"NRVENDAREST"}).empty());
}

TYPED_TEST(StatementRows, SaleTableAndJoinMaintenanceTouchesOnlyTheNamedRows) {
    SalesBuilder& b = *this->builder;
    b.table("0005")
        .table("0006")
        .sale("V1", "0005")
        .tab("10", "V1")
        .tab("11", "V1")
        .sale("V2", "0006")
        .tab("20", "V2")
        .join("J1", "0005")
        .join("J1", "0006")
        .join("J2", "0005");
    this->other().table("0005").sale("V1", "0005").tab("10", "V1").join("J2", "0005");
    this->other("0001", "02").table("0005");
    TrdmTrPosicao& dm = *this->module;

    EXPECT_EQ(run(dm.acmDeletaComandaven, {{"P_CDFILIAL", "0001"}, {"P_NRVENDAREST", "V1"}}), 2);
    EXPECT_EQ(this->rows("SELECT CDFILIAL, NRCOMANDA FROM COMANDAVEN ORDER BY 1, 2"),
              Rows({"0001|20", "0002|10"}));
    EXPECT_EQ(run(dm.acmDeletaVendaRest, {{"P_CDFILIAL", "0001"}, {"P_NRVENDAREST", "V1"}}), 1);
    EXPECT_EQ(this->rows("SELECT CDFILIAL, NRVENDAREST FROM VENDAREST ORDER BY 1, 2"),
              Rows({"0001|V2", "0002|V1"}));

    EXPECT_EQ(run(dm.acmLiberaMesa, {{"P_CDFILIAL", "0001"}, {"P_CDLOJA", "01"}, {"P_NRMESA", "0005"}}), 1);
    EXPECT_EQ(run(dm.acmUpdMesa,
                  {{"P_IDSTMESAAUX", "S"}, {"P_CDFILIAL", "0001"}, {"P_CDLOJA", "01"}, {"P_NRMESA", "0006"}}),
              1);
    EXPECT_EQ(this->rows("SELECT CDFILIAL, CDLOJA, NRMESA, IDSTMESAAUX FROM MESA ORDER BY 1, 2, 3"),
              Rows({"0001|01|0005|D", "0001|01|0006|S", "0001|02|0005|O", "0002|01|0005|O"}));

    EXPECT_EQ(
        sorted(rowsOf(dm.adqMesaAgrup, {{"P_CDFILIAL", "0001"}, {"P_CDLOJA", "01"}, {"P_NRMESA", "0005"}},
                      {"NRJUNMESA", "NRMESA"})),
        Rows({"J1|0005", "J2|0005"}));
    EXPECT_EQ(run(dm.acmUpdMesaAgrup, {{"P_NRMESADES", "0007"},
                                       {"P_CDFILIAL", "0001"},
                                       {"P_CDLOJA", "01"},
                                       {"P_NRJUNMESA", "J2"},
                                       {"P_NRMESAORI", "0005"}}),
              1);
    EXPECT_EQ(this->rows("SELECT CDFILIAL, NRJUNMESA, NRMESA FROM MESAJUNCAO ORDER BY 1, 2, 3"),
              Rows({"0001|J1|0005", "0001|J1|0006", "0001|J2|0007", "0002|J2|0005"}));
}

// The branch parameter stands twice; bound once, it must reach both the outer query and the subquery.
TYPED_TEST(StatementRows, OrphanClearingFindsAndDeletesTheBranchsItemsAndTabsWithoutParent) {
    SalesBuilder& b = *this->builder;
    b.sale("V1", "0005")
        .tab("10", "V1")
        .item("10", "000001", "P1", 1)
        .item("77", "000001", "P1", 1, {{"NRVENDAREST", "V1"}}) // its tab is missing
        .tab("60", "V6");                                       // its sale is missing
    this->other()
        .sale("V1", "0005")
        .sale("V6", "0006")
        .tab("77", "V1")
        .item("77", "000001", "P1", 1)
        .item("88", "000001", "P1", 1, {{"NRVENDAREST", "V1"}})
        .tab("61", "V8");
    TrdmTrPosicao& dm = *this->module;
    const Bindings branch = {{"P_CDFILIAL", "0001"}};

    EXPECT_EQ(rowsOf(dm.adqVerifItCmd, branch, {"NRCOMANDA"}), Rows({"77"}));
    EXPECT_EQ(run(dm.acmDelItCmd, branch), 1);
    EXPECT_EQ(this->rows("SELECT CDFILIAL, NRCOMANDA FROM ITCOMANDAVEN ORDER BY 1, 2"),
              Rows({"0001|10", "0002|77", "0002|88"}));

    EXPECT_EQ(rowsOf(dm.adqVerifCmd, branch, {"NRCOMANDA"}), Rows({"60"}));
    EXPECT_EQ(run(dm.acmDelCmd, branch), 1);
    EXPECT_EQ(this->rows("SELECT CDFILIAL, NRCOMANDA FROM COMANDAVEN ORDER BY 1, 2"),
              Rows({"0001|10", "0002|61", "0002|77"}));
}

TYPED_TEST(StatementRows, ListedTabsClearingDeletesTheItemsOfExactlyTheListedTabs) {
    SalesBuilder& b = *this->builder;
    b.sale("V1", "0005");
    for (const char* tab : {"2", "12", "3", "23", "1"})
        b.tab(tab, "V1").item(tab, "000001", "P1", 1).item(tab, "000002", "P1", 1);
    this->other().sale("V1", "0005").tab("12", "V1").item("12", "000001", "P1", 1);
    TrdmTrPosicao& dm = *this->module;
    TestDatabase& db = *this->database;
    const QString items = "SELECT DISTINCT CDFILIAL, NRCOMANDA FROM ITCOMANDAVEN ORDER BY 1, 2";

    // tab 2 sits inside the entry of 12, and 3 at the head of 23: neither may match
    EXPECT_EQ(run(dm.acmDeleleItCmd, {{"P_NRCOMANDA", "12_3_"}, {"P_CDFILIAL", "0001"}}), 4);
    EXPECT_EQ(this->rows(items), Rows({"0001|1", "0001|2", "0001|23", "0002|12"}));

    EXPECT_EQ(run(dm.acmDeleleItCmd, {{"P_NRCOMANDA", "2_"}}), 2);
    EXPECT_EQ(this->rows(items), Rows({"0001|1", "0001|23", "0002|12"}));
    EXPECT_EQ(db.count("COMANDAVEN"), 6) << "only items go";
}

// The empty-sale clean-up looks a table's sales up by table and store, across branches.
TYPED_TEST(StatementRows, EmptySaleClearingFindsTheTablesSalesWithoutTabs) {
    SalesBuilder& b = *this->builder;
    b.sale("V1", "0005").tab("10", "V1").closedSale("V2", "0005").sale("V3", "0005").sale("V4", "0006");
    this->other("0001", "02").sale("V5", "0005");
    this->other().sale("V6", "0005");
    TrdmTrPosicao& dm = *this->module;
    const Bindings table5 = {{"P_MESA", "0005"}, {"P_CDLOJA", "01"}};

    EXPECT_EQ(
        sorted(rowsOf(dm.adqVendaRestVazia, {{"P_CDFILIAL", "0001"}, {"P_MESA", "0005"}, {"P_CDLOJA", "01"}},
                      {"NRVENDAREST"})),
        Rows({"V1", "V2", "V3"}));
    EXPECT_EQ(sorted(rowsOf(dm.adqDeleteVendaRest, table5, {"NRVENDAREST"})), Rows({"V2", "V3", "V6"}));
    EXPECT_EQ(run(dm.acmDelVenRes, table5), 3);
    EXPECT_EQ(this->rows("SELECT CDFILIAL, NRVENDAREST FROM VENDAREST ORDER BY 1, 2"),
              Rows({"0001|V1", "0001|V4", "0001|V5"}));
}

TYPED_TEST(StatementRows, SequenceLookupGivesTheTabsHighestSequenceOrZeroAndTheItemsSale) {
    SalesBuilder& b = *this->builder;
    b.sale("V1", "0005")
        .tab("10", "V1")
        .tab("11", "V1")
        .tab("12", "V1")
        .item("10", "000001", "P1", 1, {{"NRSEQPRODCOM", "001"}})
        .item("10", "000002", "P1", 1, {{"NRSEQPRODCOM", "003"}})
        .item("10", "000003", "P1", 1, {{"NRSEQPRODCOM", "002"}})
        .item("12", "000004", "P1", 1, {{"NRSEQPRODCOM", "005"}});
    this->other().sale("V1", "0005").tab("10", "V1").item("10", "000001", "P1", 1, {{"NRSEQPRODCOM", "009"}});
    this->other("0003").sale("V9", "0005").tab("10", "V9").item("10", "000001", "P1", 1);
    Statement& q = this->module->adqPesqSeqProdCom;

    bind(q, {{"P_CDFILIAL", "0001"}, {"P_NRVENDAREST", "V1"}, {"P_NRCOMANDA", "10"}});
    q.open();
    ASSERT_FALSE(q.eof());
    EXPECT_EQ(q.asInteger("NRSEQPRODCOM"), 3);
    q.next();
    EXPECT_TRUE(q.eof());
    q.close();

    bind(q, {{"P_NRCOMANDA", "11"}});
    q.open();
    ASSERT_FALSE(q.eof()) << "a tab without items still gives its one row";
    EXPECT_EQ(q.asInteger("NRSEQPRODCOM"), 0);
    q.next();
    EXPECT_TRUE(q.eof());
    q.close();

    EXPECT_EQ(rowsOf(this->module->adqBuscaVendaRest,
                     {{"P_CDFILIAL", "0001"}, {"P_NRCOMANDA", "10"}, {"P_NRPRODCOMVEN", "000001"}},
                     {"NRVENDAREST"}),
              Rows({"V1"}));
}

TYPED_TEST(StatementRows, ItemInsertStoresEveryBoundColumnAsBound) {
    QString longText;
    while (longText.size() < 2000)
        longText += QStringLiteral("sem cebola, bem passado; ");
    longText.truncate(2000);
    const QDateTime at(QDate(2026, 12, 8), QTime(21, 5, 7, 89));
    Statement& ins = this->module->acmInsProd;
    // P_CDPRODPROMOCAO, P_NRATRAPRODCOVE and P_NRINSCRCONS stay unbound: they are stored as nulls
    bind(ins, {{"P_CDFILIAL", "0001"},        {"P_NRVENDAREST", "V1"},      {"P_NRCOMANDA", "10"},
               {"P_NRPRODCOMVEN", "000042"},  {"P_CDPRODUTO", "P1"},        {"P_QTPRODCOMVEN", 2.5},
               {"P_VRPRECCOMVEN", 12.34},     {"P_IDSTPRCOMVEN", "1"},      {"P_VRDESCCOMVEN", 0.1},
               {"P_DTHRINCOMVEN", at},        {"P_VRACRCOMVEN", 1.23},      {"P_NRSEQPRODCOM", "004"},
               {"P_NRMESADSCOMORIT", "0009"}, {"P_CDVENDEDOR", "0042"},     {"P_CDCAIXACOLETOR", "007"},
               {"P_VRPRECCLCOMVEN", 11.11},   {"P_CDLOJA", "01"},           {"P_NRSEQPRODCUP", "0000000123"},
               {"P_NRLUGARMESA", "3"},        {"P_TXPRODCOMVEN", longText}, {"P_CDGRPOCOR", "01"},
               {"P_CDOCORR", "02"},           {"P_IDPRODIMPFIS", "S"},      {"P_IDORIGPEDCMD", "TAB"},
               {"P_DSOBSPEDDIGCMD", "ponto"}, {"P_NRPEDIDOZEL", "Z1"},      {"P_CDSENHAPED", "A12"},
               {"P_IDDIVIDECONTA", "N"},      {"P_NRPRODORIG", "000007"},   {"P_QTITEMREFIL", 2.0},
               {"P_IDPRODREFIL", "S"},        {"P_NMCONSVEND", "João Avó"}, {"P_DSENDEVENDA", "Rua 1"}});
    EXPECT_EQ(ins.execute(), 1);

    const QVariantMap row =
        this->database->row("SELECT * FROM ITCOMANDAVEN WHERE CDFILIAL = '0001' AND NRCOMANDA "
                            "= '10' AND NRPRODCOMVEN = '000042'");
    ASSERT_FALSE(row.isEmpty());
    const std::pair<const char*, const char*> texts[] = {{"NRVENDAREST", "V1"},
                                                         {"CDPRODUTO", "P1"},
                                                         {"IDSTPRCOMVEN", "1"},
                                                         {"NRSEQPRODCOM", "004"},
                                                         {"NRMESADSCOMORIT", "0009"},
                                                         {"CDVENDEDOR", "0042"},
                                                         {"CDCAIXACOLETOR", "007"},
                                                         {"CDLOJA", "01"},
                                                         {"NRSEQPRODCUP", "0000000123"},
                                                         {"NRLUGARMESA", "3"},
                                                         {"CDGRPOCOR", "01"},
                                                         {"CDOCORR", "02"},
                                                         {"IDPRODIMPFIS", "S"},
                                                         {"IDORIGPEDCMD", "TAB"},
                                                         {"DSOBSPEDDIGCMD", "ponto"},
                                                         {"NRPEDIDOZEL", "Z1"},
                                                         {"CDSENHAPED", "A12"},
                                                         {"IDDIVIDECONTA", "N"},
                                                         {"NRPRODORIG", "000007"},
                                                         {"IDPRODREFIL", "S"},
                                                         {"DSENDEVENDA", "Rua 1"}};
    for (const auto& [column, expected] : texts)
        EXPECT_EQ(text(row.value(column)), expected) << column;
    EXPECT_EQ(text(row.value("NMCONSVEND")), "João Avó");
    EXPECT_EQ(row.value("TXPRODCOMVEN").toString().size(), 2000);
    EXPECT_TRUE(row.value("TXPRODCOMVEN").toString() == longText);

    const std::pair<const char*, double> numbers[] = {{"QTPRODCOMVEN", 2.5},     {"VRPRECCOMVEN", 12.34},
                                                      {"VRDESCCOMVEN", 0.1},     {"VRACRCOMVEN", 1.23},
                                                      {"VRPRECCLCOMVEN", 11.11}, {"QTITEMREFIL", 2.0}};
    for (const auto& [column, expected] : numbers)
        EXPECT_EQ(as(FieldType::Float, row.value(column)).toDouble(), expected) << column;
    EXPECT_EQ(as(FieldType::DateTime, row.value("DTHRINCOMVEN")).toDateTime(), at);

    // unbound parameters, and a column the statement does not name, hold nulls
    for (const char* column : {"CDPRODPROMOCAO", "NRATRAPRODCOVE", "NRINSCRCONS", "NRMESAORIG"}) {
        ASSERT_TRUE(row.contains(column)) << column;
        EXPECT_TRUE(row.value(column).isNull()) << column;
    }
}

TYPED_TEST(StatementRows, ItemChangesTouchOneItemItsComponentsOrOneTab) {
    SalesBuilder& b = *this->builder;
    b.sale("V1", "0005")
        .tab("10", "V1", {}, 5.0)
        .tab("11", "V1")
        .item("10", "000001", "P1", 1)
        .item("10", "000002", "P1", 1)
        .item("11", "000001", "P1", 1)
        .component("10", "000001", "P2", 1, 0.5)
        .component("10", "000001", "P3", 1, 0.5)
        .component("10", "000002", "P2", 1, 0.5)
        .component("11", "000001", "P2", 1, 0.5);
    this->other()
        .sale("V1", "0005")
        .tab("10", "V1", {}, 5.0)
        .item("10", "000001", "P1", 1)
        .component("10", "000001", "P2", 1, 0.5);
    TrdmTrPosicao& dm = *this->module;
    TestDatabase& db = *this->database;
    const Bindings item = {{"P_CDFILIAL", "0001"}, {"P_NRCOMANDA", "10"}, {"P_NRPRODCOMVEN", "000001"}};
    const QString quantities =
        "SELECT CDFILIAL, NRCOMANDA, NRPRODCOMVEN FROM ITCOMANDAVEN WHERE QTPRODCOMVEN = 1 "
        "ORDER BY 1, 2, 3";

    // the parameter is declared as text but the services bind a number; it must stay exact
    bind(dm.acmAlterQuant, item);
    EXPECT_EQ(run(dm.acmAlterQuant, {{"P_QTPRODCOMVEN", 0.3}}), 1);
    EXPECT_EQ(as(FieldType::Float, db.scalar("SELECT QTPRODCOMVEN FROM ITCOMANDAVEN WHERE CDFILIAL = '0001' "
                                             "AND NRCOMANDA = '10' AND NRPRODCOMVEN = '000001'"))
                  .toDouble(),
              0.3);
    EXPECT_EQ(this->rows(quantities), Rows({"0001|10|000002", "0001|11|000001", "0002|10|000001"}));

    const QString components =
        "SELECT CDFILIAL, NRCOMANDA, NRPRODCOMVEN, CDPRODUTO FROM ITCOMANDAEST ORDER BY 1, 2, 3, 4";
    EXPECT_EQ(run(dm.acmDelProdEst, item), 2);
    EXPECT_EQ(this->rows(components), Rows({"0001|10|000002|P2", "0001|11|000001|P2", "0002|10|000001|P2"}));
    EXPECT_EQ(run(dm.acmDelProd, item), 1);
    EXPECT_EQ(this->rows("SELECT CDFILIAL, NRCOMANDA, NRPRODCOMVEN FROM ITCOMANDAVEN ORDER BY 1, 2, 3"),
              Rows({"0001|10|000002", "0001|11|000001", "0002|10|000001"}));
    EXPECT_EQ(db.count("ITCOMANDAEST"), 3)
        << "deleting the item leaves the components to their own statement";

    const Bindings tab10 = {{"P_CDFILIAL", "0001"}, {"P_CDLOJA", "01"}, {"P_NRCOMANDA", "10"}};
    bind(dm.acmUpdComanda, tab10);
    EXPECT_EQ(run(dm.acmUpdComanda, {{"P_VRACRCOMANDA", 2.5}}), 1);
    EXPECT_EQ(run(dm.acmUpdComanda, {{"P_VRACRCOMANDA", -1.25}}), 1);
    EXPECT_EQ(run(dm.acmUpdComanda, {{"P_CDLOJA", "02"}}), 0) << "the tab is in store 01";
    EXPECT_EQ(this->rows("SELECT CDFILIAL, NRCOMANDA, VRACRCOMANDA FROM COMANDAVEN ORDER BY 1, 2"),
              Rows({"0001|10|6.25", "0001|11|0", "0002|10|5"}));
}

TYPED_TEST(StatementRows, ObservationsOfAnItemAndOfItsComponentsAreReadAndWrittenByItem) {
    SalesBuilder& b = *this->builder;
    b.sale("V1", "0005")
        .tab("10", "V1")
        .tab("11", "V1")
        .item("10", "000001", "P1", 1)
        .item("10", "000002", "P1", 1)
        .item("11", "000001", "P1", 1)
        .observation("10", "000001", "01", "01")
        .observation("10", "000001", "01", "02")
        .observation("10", "000002", "02", "03")
        .observation("11", "000001", "03", "04")
        .componentObservation("10", "000001", "P2", "01", "07")
        .componentObservation("10", "000001", "P3", "02", "08")
        .componentObservation("10", "000002", "P2", "03", "09")
        .componentObservation("11", "000001", "P2", "04", "09");
    this->other()
        .sale("V1", "0005")
        .tab("10", "V1")
        .item("10", "000001", "P1", 1)
        .observation("10", "000001", "09", "09")
        .componentObservation("10", "000001", "P2", "09", "09");
    TrdmTrPosicao& dm = *this->module;
    const Bindings item = {{"P_CDFILIAL", "0001"}, {"P_NRCOMANDA", "10"}, {"P_NRPRODCOMVEN", "000001"}};
    const QStringList obs = {"NRSEQ", "NRCOMANDA", "CDGRPOCOR", "CDOCORR"};
    const QStringList estObs = {"NRSEQ", "NRCOMANDA", "CDPRODUTO", "CDGRPOCOR", "CDOCORR"};

    EXPECT_EQ(sorted(rowsOf(dm.adqObsItens, item, obs)), Rows({"000001|10|01|01", "000001|10|01|02"}));
    EXPECT_EQ(sorted(rowsOf(dm.adqObsItensEst, item, estObs)),
              Rows({"000001|10|P2|01|07", "000001|10|P3|02|08"}));

    EXPECT_EQ(run(dm.acmInsObsItComandaVen, {{"CDFILIAL", "0001"},
                                             {"NRVENDAREST", "V1"},
                                             {"NRCOMANDA", "11"},
                                             {"NRPRODCOMVEN", "000001"},
                                             {"CDGRPOCOR", "05"},
                                             {"CDOCORR", "06"}}),
              1);
    EXPECT_EQ(run(dm.acmInsObsItComandaEst, {{"CDFILIAL", "0001"},
                                             {"NRVENDAREST", "V1"},
                                             {"NRCOMANDA", "11"},
                                             {"NRPRODCOMVEN", "000001"},
                                             {"CDPRODUTO", "P4"},
                                             {"CDGRPOCOR", "05"},
                                             {"CDOCORR", "07"}}),
              1);
    const Bindings item11 = {{"P_NRCOMANDA", "11"}};
    EXPECT_EQ(sorted(rowsOf(dm.adqObsItens, item11, obs)), Rows({"000001|11|03|04", "000001|11|05|06"}));
    EXPECT_EQ(sorted(rowsOf(dm.adqObsItensEst, item11, estObs)),
              Rows({"000001|11|P2|04|09", "000001|11|P4|05|07"}));
    EXPECT_EQ(this->rows("SELECT NRVENDAREST FROM OBSITCOMANDAVEN WHERE CDOCORR = '06' UNION ALL "
                         "SELECT NRVENDAREST FROM OBSITCOMANDAEST WHERE CDPRODUTO = 'P4'"),
              Rows({"V1", "V1"}));
}

// Item numbers repeat across the tabs of a sale and across branches; a component belongs to one item.
TYPED_TEST(StatementRows, ComponentsOfAnItemComeBackOnceEachAndInsertedOnesJoinThem) {
    SalesBuilder& b = *this->builder;
    b.sale("V1", "0005")
        .tab("10", "V1")
        .tab("11", "V1")
        .item("10", "000001", "P1", 1)
        .item("10", "000002", "P1", 1)
        .item("11", "000001", "P1", 1)
        .component("10", "000001", "P2", 1, 0.5, "sem sal")
        .component("10", "000002", "P2", 1, 0.5)
        .component("10", "000002", "P3", 2, 1.25)
        .component("11", "000001", "P3", 1, 0.5);
    this->other()
        .sale("V1", "0005")
        .tab("10", "V1")
        .item("10", "000001", "P1", 1)
        .component("10", "000001", "P4", 1, 0.5);
    TrdmTrPosicao& dm = *this->module;
    const QStringList fields = {"CDFILIAL",    "NRVENDAREST",  "NRCOMANDA",     "NRPRODCOMVEN",  "CDPRODUTO",
                                "QTPROCOMEST", "VRPRECCOMEST", "VRDESITCOMEST", "DSOBSPEDDIGEST"};

    EXPECT_EQ(rowsOf(dm.adqItComandaEst,
                     {{"P_CDFILIAL", "0001"}, {"P_NRCOMANDA", "10"}, {"P_NRPRODCOMVEN", "000001"}}, fields),
              Rows({"0001|V1|10|000001|P2|1|0.5|0.5|sem sal"}));
    EXPECT_EQ(sorted(rowsOf(dm.adqItComandaEst, {{"P_NRPRODCOMVEN", "000002"}}, fields)),
              Rows({"0001|V1|10|000002|P2|1|0.5|0.5|", "0001|V1|10|000002|P3|2|1.25|0.5|"}));

    EXPECT_EQ(run(dm.acmInsProdEst, {{"P_CDFILIAL", "0001"},
                                     {"P_NRVENDAREST", "V1"},
                                     {"P_NRCOMANDA", "11"},
                                     {"P_NRPRODCOMVEN", "000001"},
                                     {"P_CDPRODUTO", "P5"},
                                     {"P_QTPROCOMEST", 2.0},
                                     {"P_VRPRECCOMEST", 3.25},
                                     {"P_DSOBSPEDDIGEST", "extra"}}),
              1);
    EXPECT_EQ(
        sorted(rowsOf(dm.adqItComandaEst, {{"P_NRCOMANDA", "11"}, {"P_NRPRODCOMVEN", "000001"}}, fields)),
        Rows({"0001|V1|11|000001|P3|1|0.5|0.5|", "0001|V1|11|000001|P5|2|3.25||extra"}))
        << "the inserted component has no discount: a stored null must read as empty, not as 0";
    EXPECT_EQ(this->database->count("ITCOMANDAEST WHERE CDPRODUTO = 'P5' AND VRDESITCOMEST IS NULL"), 1);
}

TYPED_TEST(StatementRows, TrackingRowsAreFoundByTheOldKeyAndRewrittenOnlyInTheirNewPlace) {
    const QVariantMap place{{"NRVENDAREST", "V2"},          {"NRCOMANDA", "20"},
                            {"NRPRODCOMVEN", "000005"},     {"NRMESA", "0006"},
                            {"NRSEQPRODCUP", "0000000001"}, {"NRLUGARMESAIT", "2"}};
    this->builder->tracking("V1", "10", "000001", place);
    this->other().tracking("V1", "10", "000001", place);
    TrdmTrPosicao& dm = *this->module;
    const Bindings oldKey = {{"P_CDFILIALOLD", "0001"},
                             {"P_NRVENDARESTOLD", "V1"},
                             {"P_NRCOMANDAOLD", "10"},
                             {"P_NRPRODCOMVENOLD", "000001"}};
    const QStringList fields = {"CDFILIALOLD", "NRCOMANDA", "NRPRODCOMVEN", "NRMESA"};

    EXPECT_EQ(rowsOf(dm.adqVerifPedidoAlt, oldKey, fields), Rows({"0001|20|000005|0006"}));
    EXPECT_TRUE(rowsOf(dm.adqVerifPedidoAlt, {{"P_NRPRODCOMVENOLD", "000002"}}, fields).empty());

    EXPECT_EQ(run(dm.acmInsPedidoAlt, {{"CDFILIALOLD", "0001"},
                                       {"NRVENDARESTOLD", "V1"},
                                       {"NRCOMANDAOLD", "10"},
                                       {"NRPRODCOMVENOLD", "000002"},
                                       {"NRVENDAREST", "V2"},
                                       {"NRCOMANDA", "20"},
                                       {"NRPRODCOMVEN", "000006"},
                                       {"NRMESA", "0006"},
                                       {"NRSEQPRODCUP", "0000000002"},
                                       {"NRLUGARMESAIT", "1"}}),
              1);
    EXPECT_EQ(rowsOf(dm.adqVerifPedidoAlt, {{"P_NRPRODCOMVENOLD", "000002"}}, fields),
              Rows({"0001|20|000006|0006"}));

    EXPECT_EQ(run(dm.acmUpPedidoAlt, {{"NRVENDAREST", "V3"},
                                      {"NRCOMANDA", "30"},
                                      {"NRPRODCOMVEN", "000009"},
                                      {"NRMESA", "0007"},
                                      {"NRSEQPRODCUP", "0000000003"},
                                      {"NRLUGARMESAIT", "4"},
                                      {"CDFILIALOLD", "0001"},
                                      {"NRVENDARESTOLD", "V1"},
                                      {"NRCOMANDAOLD", "10"},
                                      {"NRPRODCOMVENOLD", "000001"}}),
              1);
    EXPECT_EQ(this->rows("SELECT * FROM PEDIDOALT ORDER BY CDFILIALOLD, NRPRODCOMVENOLD"),
              Rows({"0001|V1|10|000001|V3|30|000009|0007|0000000003|4",
                    "0001|V1|10|000002|V2|20|000006|0006|0000000002|1",
                    "0002|V1|10|000001|V2|20|000005|0006|0000000001|2"}));
}
