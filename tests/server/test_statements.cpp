// Every statement of the data module run against builder data on both databases: the rows a query
// returns and the rows a command changes, with neighbours (other tabs, sales, tables, stores and
// branches) placed so that a missing or wrong condition shows.

#include "support/ServerFixture.h"

#include "platform/FieldDef.h"
#include "platform/db/QueryPacket.h"
#include "schema/ItemRecord.h"
#include "server/TrdmTrPosicao.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace Srv_Mvt04215;
using namespace testsupport;
using namespace Qt::StringLiterals;
using platform::DataPacket;
using platform::FieldType;
using platform::db::Statement;
using platform::db::ValueList;

namespace {

using Bindings = std::initializer_list<std::pair<QString, QVariant>>;

// `base` with the values `changed` names instead of its own.
ValueList with(ValueList base, Bindings changed) {
    for (const auto& [name, value] : changed) {
        const auto at =
            std::find_if(base.begin(), base.end(), [&name = name](const auto& p) { return p.first == name; });
        if (at == base.end())
            base.append({name, value});
        else
            at->second = value;
    }
    return base;
}

// The rows of a query as the named fields joined by '|', in the order the query returns them.
Rows rowsOf(Statement& s, const ValueList& values, const QStringList& fields) {
    Rows out;
    for (auto rows = s.run(values); !rows.eof(); rows.next()) {
        QStringList cells;
        for (const QString& f : fields)
            cells << rows.asString(f);
        out.push_back(cells.join(u'|').toStdString());
    }
    return out;
}

int run(Statement& s, const ValueList& values) {
    return s.execute(values);
}

std::string text(const QVariant& v) {
    return v.toString().toStdString();
}

// A raw column read the way the data module reads a typed field, whatever the driver hands over.
QVariant as(FieldType type, const QVariant& raw) {
    return platform::coerceToField({QString(), type, 0}, raw);
}

template <typename Db> using StatementRows = MenuFixture<Db>;

TYPED_TEST_SUITE(StatementRows, BothDatabases, DbKindNames);

} // namespace

// A text the dialect rejects, or a result field it does not deliver, fails here before any data matters.
TYPED_TEST(StatementRows, EveryStatementOfTheCataloguePreparesAndRunsOnEmptyTables) {
    int ran = 0;
    for (const platform::db::StatementDef& def : statementCatalogue()) {
        Statement s(this->module->adcTrPosicao, def);
        ValueList values;
        for (const platform::db::ParamDecl& p : def.params) {
            switch (p.type) {
            case platform::db::ParamType::Float:
                values.append({p.name, 1.5});
                break;
            case platform::db::ParamType::DateTime:
                values.append({p.name, SalesBuilder::orderedAt()});
                break;
            case platform::db::ParamType::Text:
            case platform::db::ParamType::Untyped:
                values.append({p.name, u"1"_s});
                break;
            }
        }
        if (def.kind == platform::db::StatementKind::Query)
            EXPECT_NO_THROW(platform::db::packetOf(s.run(values))) << def.name.toStdString();
        else
            EXPECT_NO_THROW(s.execute(values)) << def.name.toStdString();
        ++ran;
    }
    EXPECT_GE(ran, 34);
}

TYPED_TEST(StatementRows, ItemQueryListsTheOfferedItemsOfTheTablesOpenSaleInItemOrder) {
    scenarios::table5WithItemsOfEveryKind(*this->builder);
    const DataPacket p = this->module->dspProdOrig.data({{"P_NRMESA", u"0005"_s},
                                                         {"P_CDFILIAL", u"0001"_s},
                                                         {"P_CDLOJA", u"01"_s},
                                                         {"P_CDPRODCONSUM", u"CONSUM"_s},
                                                         {"P_CDPRODCONSFEM", u"CONSFEM"_s},
                                                         {"P_CDPRODCOUVER", u"COUVER"_s}});

    ASSERT_EQ(p.fields.size(), 44);
    EXPECT_EQ(p.fields, schema::itemQueryFields());
    ASSERT_EQ(p.rows.size(), 2);
    EXPECT_EQ(text(cell(p, 0, u"NRPRODCOMVEN"_s)), "000003");
    EXPECT_EQ(text(cell(p, 1, u"NRPRODCOMVEN"_s)), "000007");
    EXPECT_EQ(text(cell(p, 0, u"NRCOMANDA"_s)), "10");
    EXPECT_EQ(text(cell(p, 1, u"NRCOMANDA"_s)), "11");
    EXPECT_EQ(text(cell(p, 0, u"NRVENDAREST"_s)), "V1");

    const QVariant quantity = cell(p, 0, u"QTPRODCOMVEN"_s);
    EXPECT_EQ(quantity.typeId(), QMetaType::Double);
    EXPECT_EQ(quantity.toDouble(), 1.5);
    EXPECT_EQ(cell(p, 0, u"DTHRINCOMVEN"_s).toDateTime(), SalesBuilder::orderedAt());
    EXPECT_EQ(text(cell(p, 0, u"TXPRODCOMVEN"_s)), "sem cebola");
    EXPECT_EQ(text(cell(p, 0, u"NRSEQPRODCOM"_s)), "002");
    EXPECT_TRUE(cell(p, 1, u"TXPRODCOMVEN"_s).isNull());
    // columns the item never had a value for stay empty, numbers included
    EXPECT_TRUE(cell(p, 0, u"NRATRAPRODCOVE"_s).isNull()) << text(cell(p, 0, u"NRATRAPRODCOVE"_s));
    EXPECT_TRUE(cell(p, 0, u"QTITEMREFIL"_s).isNull()) << text(cell(p, 0, u"QTITEMREFIL"_s));
    // the fiscal name wins when the product has one
    EXPECT_EQ(text(cell(p, 0, u"NMPRODUTO"_s)), "Pizza");
    EXPECT_EQ(text(cell(p, 1, u"NMPRODUTO"_s)), "SUCO FISCAL");
    EXPECT_EQ(text(cell(p, 1, u"CDARVPROD"_s)), "ARVP2");
    EXPECT_EQ(text(cell(p, 1, u"IDPESAPROD"_s)), "N");

    EXPECT_TRUE(this->module->dspProdOrig
                    .data({{"P_NRMESA", u"0007"_s},
                           {"P_CDFILIAL", u"0001"_s},
                           {"P_CDLOJA", u"01"_s},
                           {"P_CDPRODCONSUM", u"CONSUM"_s},
                           {"P_CDPRODCONSFEM", u"CONSFEM"_s},
                           {"P_CDPRODCOUVER", u"COUVER"_s}})
                    .rows.empty())
        << "the table's only sale is closed";
}

TYPED_TEST(StatementRows, DestinationChecksSeeTheTabsAndItemsOfTheOpenSaleOnly) {
    SalesBuilder& b = *this->builder;
    b.table(u"0005"_s, u"O"_s, u"Varanda"_s)
        .closedSale(u"V0"_s, u"0005"_s)
        .tab(u"09"_s, u"V0"_s, u"Antiga"_s)
        .item(u"09"_s, u"000001"_s, u"P1"_s, 1)
        .sale(u"V1"_s, u"0005"_s, u"6"_s)
        .tab(u"10"_s, u"V1"_s, u"Joao"_s)
        .tab(u"11"_s, u"V1"_s, u"Maria"_s)
        .item(u"10"_s, u"000001"_s, u"P1"_s, 1)
        .item(u"11"_s, u"000001"_s, u"P1"_s, 1, {{u"IDSTPRCOMVEN"_s, u"6"_s}})
        .item(u"11"_s, u"000002"_s, u"P1"_s, 1, {{u"IDSTPRCOMVEN"_s, u"7"_s}})
        .table(u"0006"_s, u"D"_s)
        .table(u"0007"_s)
        .closedSale(u"V7"_s, u"0007"_s)
        .tab(u"70"_s, u"V7"_s);
    SalesBuilder otherBranch = this->other();
    scenarios::pizzaOnTable5(otherBranch);
    TrdmTrPosicao& dm = *this->module;

    const QStringList checkFields = {u"NRMESA"_s,      u"NMMESA"_s,       u"IDSTMESAAUX"_s, u"NRCOMANDA"_s,
                                     u"NRVENDAREST"_s, u"NRPESMESAVEN"_s, u"DSCOMANDA"_s};
    const Bindings table5 = {
        {u"P_CDFILIAL"_s, u"0001"_s}, {u"P_CDLOJA"_s, u"01"_s}, {u"P_NRMESA"_s, u"0005"_s}};
    EXPECT_EQ(sorted(rowsOf(dm.adqValMesaDest, table5, checkFields)),
              Rows({"0005|Varanda|O|10|V1|6|Joao", "0005|Varanda|O|11|V1|6|Maria"}));
    EXPECT_TRUE(rowsOf(dm.adqValMesaDest, with(table5, {{u"P_NRMESA"_s, u"0006"_s}}), checkFields).empty());
    EXPECT_TRUE(rowsOf(dm.adqValMesaDest, with(table5, {{u"P_NRMESA"_s, u"0007"_s}}), checkFields).empty());

    const Bindings openSaleOf5 = {
        {u"P_NRMESA"_s, u"0005"_s}, {u"P_CDFILIAL"_s, u"0001"_s}, {u"P_CDLOJA"_s, u"01"_s}};
    EXPECT_EQ(rowsOf(dm.adqSelecionaVendarest, openSaleOf5, {u"NRVENDAREST"_s}), Rows({"V1"}));
    EXPECT_TRUE(
        rowsOf(dm.adqSelecionaVendarest, with(openSaleOf5, {{u"P_NRMESA"_s, u"0007"_s}}), {u"NRVENDAREST"_s})
            .empty());
    EXPECT_TRUE(
        rowsOf(dm.adqSelecionaVendarest, with(openSaleOf5, {{u"P_CDLOJA"_s, u"02"_s}}), {u"NRVENDAREST"_s})
            .empty());

    // offered or not, every item of the sale counts
    const Bindings saleV1 = {{u"P_CDFILIAL"_s, u"0001"_s}, {u"P_NRVENDAREST"_s, u"V1"_s}};
    EXPECT_EQ(rowsOf(dm.adqVerificaItemCancelado, saleV1, {u"NRVENDAREST"_s}), Rows({"V1", "V1", "V1"}));
    EXPECT_TRUE(
        rowsOf(dm.adqVerificaItemCancelado, with(saleV1, {{u"P_NRVENDAREST"_s, u"V7"_s}}), {u"NRVENDAREST"_s})
            .empty());
}

TYPED_TEST(StatementRows, SaleTableAndJoinMaintenanceTouchesOnlyTheNamedRows) {
    scenarios::twoJoinedTablesWithTabs(*this->builder).join(u"J2"_s, u"0005"_s);
    this->other().table(u"0005"_s).sale(u"V1"_s, u"0005"_s).tab(u"10"_s, u"V1"_s).join(u"J2"_s, u"0005"_s);
    this->other("0001", "02").table(u"0005"_s);
    TrdmTrPosicao& dm = *this->module;

    EXPECT_EQ(run(dm.acmDeletaComandaven, {{u"P_CDFILIAL"_s, u"0001"_s}, {u"P_NRVENDAREST"_s, u"V1"_s}}), 2);
    EXPECT_EQ(this->rows(u"SELECT CDFILIAL, NRCOMANDA FROM COMANDAVEN ORDER BY 1, 2"_s),
              Rows({"0001|20", "0002|10"}));
    EXPECT_EQ(run(dm.acmDeletaVendaRest, {{u"P_CDFILIAL"_s, u"0001"_s}, {u"P_NRVENDAREST"_s, u"V1"_s}}), 1);
    EXPECT_EQ(this->rows(u"SELECT CDFILIAL, NRVENDAREST FROM VENDAREST ORDER BY 1, 2"_s),
              Rows({"0001|V2", "0002|V1"}));

    EXPECT_EQ(run(dm.acmLiberaMesa,
                  {{u"P_CDFILIAL"_s, u"0001"_s}, {u"P_CDLOJA"_s, u"01"_s}, {u"P_NRMESA"_s, u"0005"_s}}),
              1);
    EXPECT_EQ(run(dm.acmUpdMesa, {{u"P_IDSTMESAAUX"_s, u"S"_s},
                                  {u"P_CDFILIAL"_s, u"0001"_s},
                                  {u"P_CDLOJA"_s, u"01"_s},
                                  {u"P_NRMESA"_s, u"0006"_s}}),
              1);
    EXPECT_EQ(this->rows(u"SELECT CDFILIAL, CDLOJA, NRMESA, IDSTMESAAUX FROM MESA ORDER BY 1, 2, 3"_s),
              Rows({"0001|01|0005|D", "0001|01|0006|S", "0001|02|0005|O", "0002|01|0005|O"}));

    EXPECT_EQ(
        sorted(rowsOf(dm.adqMesaAgrup,
                      {{u"P_CDFILIAL"_s, u"0001"_s}, {u"P_CDLOJA"_s, u"01"_s}, {u"P_NRMESA"_s, u"0005"_s}},
                      {u"NRJUNMESA"_s, u"NRMESA"_s})),
        Rows({"J1|0005", "J2|0005"}));
    EXPECT_EQ(run(dm.acmUpdMesaAgrup, {{u"P_NRMESADES"_s, u"0007"_s},
                                       {u"P_CDFILIAL"_s, u"0001"_s},
                                       {u"P_CDLOJA"_s, u"01"_s},
                                       {u"P_NRJUNMESA"_s, u"J2"_s},
                                       {u"P_NRMESAORI"_s, u"0005"_s}}),
              1);
    EXPECT_EQ(this->rows(u"SELECT CDFILIAL, NRJUNMESA, NRMESA FROM MESAJUNCAO ORDER BY 1, 2, 3"_s),
              Rows({"0001|J1|0005", "0001|J1|0006", "0001|J2|0007", "0002|J2|0005"}));
}

// The branch parameter stands twice; bound once, it must reach both the outer query and the subquery.
TYPED_TEST(StatementRows, OrphanClearingFindsAndDeletesTheBranchsItemsAndTabsWithoutParent) {
    scenarios::pizzaOnTable5(*this->builder)
        .item(u"77"_s, u"000001"_s, u"P1"_s, 1, {{u"NRVENDAREST"_s, u"V1"_s}}) // its tab is missing
        .tab(u"60"_s, u"V6"_s);                                                // its sale is missing
    this->other()
        .sale(u"V1"_s, u"0005"_s)
        .sale(u"V6"_s, u"0006"_s)
        .tab(u"77"_s, u"V1"_s)
        .item(u"77"_s, u"000001"_s, u"P1"_s, 1)
        .item(u"88"_s, u"000001"_s, u"P1"_s, 1, {{u"NRVENDAREST"_s, u"V1"_s}})
        .tab(u"61"_s, u"V8"_s);
    TrdmTrPosicao& dm = *this->module;
    const Bindings branch = {{u"P_CDFILIAL"_s, u"0001"_s}};

    EXPECT_EQ(rowsOf(dm.adqVerifItCmd, branch, {u"NRCOMANDA"_s}), Rows({"77"}));
    EXPECT_EQ(run(dm.acmDelItCmd, branch), 1);
    EXPECT_EQ(this->rows(u"SELECT CDFILIAL, NRCOMANDA FROM ITCOMANDAVEN ORDER BY 1, 2"_s),
              Rows({"0001|10", "0002|77", "0002|88"}));

    EXPECT_EQ(rowsOf(dm.adqVerifCmd, branch, {u"NRCOMANDA"_s}), Rows({"60"}));
    EXPECT_EQ(run(dm.acmDelCmd, branch), 1);
    EXPECT_EQ(this->rows(u"SELECT CDFILIAL, NRCOMANDA FROM COMANDAVEN ORDER BY 1, 2"_s),
              Rows({"0001|10", "0002|61", "0002|77"}));
}

TYPED_TEST(StatementRows, ListedTabsClearingDeletesTheItemsOfExactlyTheListedTabs) {
    SalesBuilder& b = *this->builder;
    b.sale(u"V1"_s, u"0005"_s);
    for (const QString& tab : {u"2"_s, u"12"_s, u"3"_s, u"23"_s, u"1"_s})
        b.tab(tab, u"V1"_s).item(tab, u"000001"_s, u"P1"_s, 1).item(tab, u"000002"_s, u"P1"_s, 1);
    this->other().sale(u"V1"_s, u"0005"_s).tab(u"12"_s, u"V1"_s).item(u"12"_s, u"000001"_s, u"P1"_s, 1);
    TrdmTrPosicao& dm = *this->module;
    TestDatabase& db = *this->database;
    const QString items = u"SELECT DISTINCT CDFILIAL, NRCOMANDA FROM ITCOMANDAVEN ORDER BY 1, 2"_s;

    // tab 2 sits inside the entry of 12, and 3 at the head of 23: neither may match
    EXPECT_EQ(run(dm.acmDeleleItCmd, {{u"P_NRCOMANDA"_s, u"12_3_"_s}, {u"P_CDFILIAL"_s, u"0001"_s}}), 4);
    EXPECT_EQ(this->rows(items), Rows({"0001|1", "0001|2", "0001|23", "0002|12"}));

    EXPECT_EQ(run(dm.acmDeleleItCmd, {{u"P_NRCOMANDA"_s, u"2_"_s}, {u"P_CDFILIAL"_s, u"0001"_s}}), 2);
    EXPECT_EQ(this->rows(items), Rows({"0001|1", "0001|23", "0002|12"}));
    EXPECT_EQ(db.count(u"COMANDAVEN"_s), 6) << "only items go";
}

// The empty-sale clean-up looks a table's sales up by table and store, across branches.
TYPED_TEST(StatementRows, EmptySaleClearingFindsTheTablesSalesWithoutTabs) {
    SalesBuilder& b = *this->builder;
    b.sale(u"V1"_s, u"0005"_s)
        .tab(u"10"_s, u"V1"_s)
        .closedSale(u"V2"_s, u"0005"_s)
        .sale(u"V3"_s, u"0005"_s)
        .sale(u"V4"_s, u"0006"_s);
    this->other("0001", "02").sale(u"V5"_s, u"0005"_s);
    this->other().sale(u"V6"_s, u"0005"_s);
    TrdmTrPosicao& dm = *this->module;
    const Bindings table5 = {{u"P_MESA"_s, u"0005"_s}, {u"P_CDLOJA"_s, u"01"_s}};

    EXPECT_EQ(
        sorted(rowsOf(dm.adqVendaRestVazia,
                      {{u"P_CDFILIAL"_s, u"0001"_s}, {u"P_MESA"_s, u"0005"_s}, {u"P_CDLOJA"_s, u"01"_s}},
                      {u"NRVENDAREST"_s})),
        Rows({"V1", "V2", "V3"}));
    EXPECT_EQ(sorted(rowsOf(dm.adqDeleteVendaRest, table5, {u"NRVENDAREST"_s})), Rows({"V2", "V3", "V6"}));
    EXPECT_EQ(run(dm.acmDelVenRes, table5), 3);
    EXPECT_EQ(this->rows(u"SELECT CDFILIAL, NRVENDAREST FROM VENDAREST ORDER BY 1, 2"_s),
              Rows({"0001|V1", "0001|V4", "0001|V5"}));
}

TYPED_TEST(StatementRows, SequenceLookupGivesTheTabsHighestSequenceOrZeroAndTheItemsSale) {
    SalesBuilder& b = *this->builder;
    b.sale(u"V1"_s, u"0005"_s)
        .tab(u"10"_s, u"V1"_s)
        .tab(u"11"_s, u"V1"_s)
        .tab(u"12"_s, u"V1"_s)
        .item(u"10"_s, u"000001"_s, u"P1"_s, 1, {{u"NRSEQPRODCOM"_s, u"001"_s}})
        .item(u"10"_s, u"000002"_s, u"P1"_s, 1, {{u"NRSEQPRODCOM"_s, u"003"_s}})
        .item(u"10"_s, u"000003"_s, u"P1"_s, 1, {{u"NRSEQPRODCOM"_s, u"002"_s}})
        .item(u"12"_s, u"000004"_s, u"P1"_s, 1, {{u"NRSEQPRODCOM"_s, u"005"_s}});
    this->other()
        .sale(u"V1"_s, u"0005"_s)
        .tab(u"10"_s, u"V1"_s)
        .item(u"10"_s, u"000001"_s, u"P1"_s, 1, {{u"NRSEQPRODCOM"_s, u"009"_s}});
    this->other("0003").sale(u"V9"_s, u"0005"_s).tab(u"10"_s, u"V9"_s).item(u"10"_s, u"000001"_s, u"P1"_s, 1);
    Statement& q = this->module->adqPesqSeqProdCom;
    {
        auto rows = q.run({{"P_CDFILIAL", u"0001"_s}, {"P_NRVENDAREST", u"V1"_s}, {"P_NRCOMANDA", u"10"_s}});
        ASSERT_FALSE(rows.eof());
        EXPECT_EQ(rows.asInteger(u"NRSEQPRODCOM"_s), 3);
        rows.next();
        EXPECT_TRUE(rows.eof());
    }
    {
        auto rows = q.run({{"P_CDFILIAL", u"0001"_s}, {"P_NRVENDAREST", u"V1"_s}, {"P_NRCOMANDA", u"11"_s}});
        ASSERT_FALSE(rows.eof()) << "a tab without items still gives its one row";
        EXPECT_EQ(rows.asInteger(u"NRSEQPRODCOM"_s), 0);
        rows.next();
        EXPECT_TRUE(rows.eof());
    }

    EXPECT_EQ(
        rowsOf(
            this->module->adqBuscaVendaRest,
            {{u"P_CDFILIAL"_s, u"0001"_s}, {u"P_NRCOMANDA"_s, u"10"_s}, {u"P_NRPRODCOMVEN"_s, u"000001"_s}},
            {u"NRVENDAREST"_s}),
        Rows({"V1"}));
}

TYPED_TEST(StatementRows, ItemInsertStoresEveryBoundColumnAsBound) {
    QString longText;
    while (longText.size() < 2000)
        longText += u"sem cebola, bem passado; "_s;
    longText.truncate(2000);
    const QDateTime at(QDate(2026, 12, 8), QTime(21, 5, 7, 89));
    Statement& ins = this->module->acmInsProd;
    // P_CDPRODPROMOCAO, P_NRATRAPRODCOVE and P_NRINSCRCONS are passed as NULLs: they are stored as nulls
    EXPECT_EQ(run(ins, {{u"P_CDFILIAL"_s, u"0001"_s},
                        {u"P_NRVENDAREST"_s, u"V1"_s},
                        {u"P_NRCOMANDA"_s, u"10"_s},
                        {u"P_NRPRODCOMVEN"_s, u"000042"_s},
                        {u"P_CDPRODUTO"_s, u"P1"_s},
                        {u"P_QTPRODCOMVEN"_s, 2.5},
                        {u"P_VRPRECCOMVEN"_s, 12.34},
                        {u"P_IDSTPRCOMVEN"_s, u"1"_s},
                        {u"P_VRDESCCOMVEN"_s, 0.1},
                        {u"P_DTHRINCOMVEN"_s, at},
                        {u"P_VRACRCOMVEN"_s, 1.23},
                        {u"P_NRSEQPRODCOM"_s, u"004"_s},
                        {u"P_NRMESADSCOMORIT"_s, u"0009"_s},
                        {u"P_CDVENDEDOR"_s, u"0042"_s},
                        {u"P_CDCAIXACOLETOR"_s, u"007"_s},
                        {u"P_VRPRECCLCOMVEN"_s, 11.11},
                        {u"P_CDLOJA"_s, u"01"_s},
                        {u"P_NRSEQPRODCUP"_s, u"0000000123"_s},
                        {u"P_NRLUGARMESA"_s, u"3"_s},
                        {u"P_TXPRODCOMVEN"_s, longText},
                        {u"P_CDGRPOCOR"_s, u"01"_s},
                        {u"P_CDOCORR"_s, u"02"_s},
                        {u"P_IDPRODIMPFIS"_s, u"S"_s},
                        {u"P_IDORIGPEDCMD"_s, u"TAB"_s},
                        {u"P_DSOBSPEDDIGCMD"_s, u"ponto"_s},
                        {u"P_NRPEDIDOZEL"_s, u"Z1"_s},
                        {u"P_CDSENHAPED"_s, u"A12"_s},
                        {u"P_IDDIVIDECONTA"_s, u"N"_s},
                        {u"P_NRPRODORIG"_s, u"000007"_s},
                        {u"P_QTITEMREFIL"_s, 2.0},
                        {u"P_IDPRODREFIL"_s, u"S"_s},
                        {u"P_NMCONSVEND"_s, u"João Avó"_s},
                        {u"P_DSENDEVENDA"_s, u"Rua 1"_s},
                        {u"P_CDPRODPROMOCAO"_s, {}},
                        {u"P_NRATRAPRODCOVE"_s, {}},
                        {u"P_NRINSCRCONS"_s, {}}}),
              1);

    const QVariantMap row =
        this->database->row(u"SELECT * FROM ITCOMANDAVEN WHERE CDFILIAL = '0001' AND NRCOMANDA "
                            "= '10' AND NRPRODCOMVEN = '000042'"_s);
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
        EXPECT_EQ(text(row.value(QString::fromLatin1(column))), expected) << column;
    EXPECT_EQ(text(row.value(u"NMCONSVEND"_s)), "João Avó");
    EXPECT_EQ(row.value(u"TXPRODCOMVEN"_s).toString().size(), 2000);
    EXPECT_TRUE(row.value(u"TXPRODCOMVEN"_s).toString() == longText);

    const std::pair<const char*, double> numbers[] = {{"QTPRODCOMVEN", 2.5},     {"VRPRECCOMVEN", 12.34},
                                                      {"VRDESCCOMVEN", 0.1},     {"VRACRCOMVEN", 1.23},
                                                      {"VRPRECCLCOMVEN", 11.11}, {"QTITEMREFIL", 2.0}};
    for (const auto& [column, expected] : numbers)
        EXPECT_EQ(as(FieldType::Float, row.value(QString::fromLatin1(column))).toDouble(), expected)
            << column;
    EXPECT_EQ(as(FieldType::DateTime, row.value(u"DTHRINCOMVEN"_s)).toDateTime(), at);

    // parameters passed as NULLs, and a column the statement does not name, hold nulls
    for (const char* column : {"CDPRODPROMOCAO", "NRATRAPRODCOVE", "NRINSCRCONS", "NRMESAORIG"}) {
        ASSERT_TRUE(row.contains(QString::fromLatin1(column))) << column;
        EXPECT_TRUE(row.value(QString::fromLatin1(column)).isNull()) << column;
    }
}

TYPED_TEST(StatementRows, ItemChangesTouchOneItemItsComponentsOrOneTab) {
    scenarios::twoTabsSharingItemNumbers(*this->builder)
        .component(u"10"_s, u"000001"_s, u"P2"_s, 1, 0.5)
        .component(u"10"_s, u"000001"_s, u"P3"_s, 1, 0.5)
        .component(u"10"_s, u"000002"_s, u"P2"_s, 1, 0.5)
        .component(u"11"_s, u"000001"_s, u"P2"_s, 1, 0.5);
    this->other()
        .sale(u"V1"_s, u"0005"_s)
        .tab(u"10"_s, u"V1"_s, {}, 5.0)
        .item(u"10"_s, u"000001"_s, u"P1"_s, 1)
        .component(u"10"_s, u"000001"_s, u"P2"_s, 1, 0.5);
    TrdmTrPosicao& dm = *this->module;
    TestDatabase& db = *this->database;
    const Bindings item = {
        {u"P_CDFILIAL"_s, u"0001"_s}, {u"P_NRCOMANDA"_s, u"10"_s}, {u"P_NRPRODCOMVEN"_s, u"000001"_s}};
    const QString quantities =
        u"SELECT CDFILIAL, NRCOMANDA, NRPRODCOMVEN FROM ITCOMANDAVEN WHERE QTPRODCOMVEN = 1 "
        "ORDER BY 1, 2, 3"_s;

    // the parameter is declared as text but the services bind a number; it must stay exact
    EXPECT_EQ(run(dm.acmAlterQuant, with(item, {{u"P_QTPRODCOMVEN"_s, 0.3}})), 1);
    EXPECT_EQ(as(FieldType::Float, db.scalar(u"SELECT QTPRODCOMVEN FROM ITCOMANDAVEN WHERE CDFILIAL = '0001' "
                                             "AND NRCOMANDA = '10' AND NRPRODCOMVEN = '000001'"_s))
                  .toDouble(),
              0.3);
    EXPECT_EQ(this->rows(quantities), Rows({"0001|10|000002", "0001|11|000001", "0002|10|000001"}));

    const QString components =
        u"SELECT CDFILIAL, NRCOMANDA, NRPRODCOMVEN, CDPRODUTO FROM ITCOMANDAEST ORDER BY 1, 2, 3, 4"_s;
    EXPECT_EQ(run(dm.acmDelProdEst, item), 2);
    EXPECT_EQ(this->rows(components), Rows({"0001|10|000002|P2", "0001|11|000001|P2", "0002|10|000001|P2"}));
    EXPECT_EQ(run(dm.acmDelProd, item), 1);
    EXPECT_EQ(this->rows(u"SELECT CDFILIAL, NRCOMANDA, NRPRODCOMVEN FROM ITCOMANDAVEN ORDER BY 1, 2, 3"_s),
              Rows({"0001|10|000002", "0001|11|000001", "0002|10|000001"}));
    EXPECT_EQ(db.count(u"ITCOMANDAEST"_s), 3)
        << "deleting the item leaves the components to their own statement";

    const Bindings tab10 = {
        {u"P_CDFILIAL"_s, u"0001"_s}, {u"P_CDLOJA"_s, u"01"_s}, {u"P_NRCOMANDA"_s, u"10"_s}};
    EXPECT_EQ(run(dm.acmUpdComanda, with(tab10, {{u"P_VRACRCOMANDA"_s, 2.5}})), 1);
    EXPECT_EQ(run(dm.acmUpdComanda, with(tab10, {{u"P_VRACRCOMANDA"_s, -1.25}})), 1);
    EXPECT_EQ(run(dm.acmUpdComanda, with(tab10, {{u"P_VRACRCOMANDA"_s, -1.25}, {u"P_CDLOJA"_s, u"02"_s}})), 0)
        << "the tab is in store 01";
    EXPECT_EQ(this->rows(u"SELECT CDFILIAL, NRCOMANDA, VRACRCOMANDA FROM COMANDAVEN ORDER BY 1, 2"_s),
              Rows({"0001|10|6.25", "0001|11|0", "0002|10|5"}));
}

TYPED_TEST(StatementRows, ObservationsOfAnItemAndOfItsComponentsAreReadAndWrittenByItem) {
    scenarios::twoTabsSharingItemNumbers(*this->builder)
        .observation(u"10"_s, u"000001"_s, u"01"_s, u"01"_s)
        .observation(u"10"_s, u"000001"_s, u"01"_s, u"02"_s)
        .observation(u"10"_s, u"000002"_s, u"02"_s, u"03"_s)
        .observation(u"11"_s, u"000001"_s, u"03"_s, u"04"_s)
        .componentObservation(u"10"_s, u"000001"_s, u"P2"_s, u"01"_s, u"07"_s)
        .componentObservation(u"10"_s, u"000001"_s, u"P3"_s, u"02"_s, u"08"_s)
        .componentObservation(u"10"_s, u"000002"_s, u"P2"_s, u"03"_s, u"09"_s)
        .componentObservation(u"11"_s, u"000001"_s, u"P2"_s, u"04"_s, u"09"_s);
    SalesBuilder otherBranch = this->other();
    scenarios::pizzaOnTable5(otherBranch)
        .observation(u"10"_s, u"000001"_s, u"09"_s, u"09"_s)
        .componentObservation(u"10"_s, u"000001"_s, u"P2"_s, u"09"_s, u"09"_s);
    TrdmTrPosicao& dm = *this->module;
    const Bindings item = {
        {u"P_CDFILIAL"_s, u"0001"_s}, {u"P_NRCOMANDA"_s, u"10"_s}, {u"P_NRPRODCOMVEN"_s, u"000001"_s}};
    const QStringList obs = {u"NRSEQ"_s, u"NRCOMANDA"_s, u"CDGRPOCOR"_s, u"CDOCORR"_s};
    const QStringList estObs = {u"NRSEQ"_s, u"NRCOMANDA"_s, u"CDPRODUTO"_s, u"CDGRPOCOR"_s, u"CDOCORR"_s};

    EXPECT_EQ(sorted(rowsOf(dm.adqObsItens, item, obs)), Rows({"000001|10|01|01", "000001|10|01|02"}));
    EXPECT_EQ(sorted(rowsOf(dm.adqObsItensEst, item, estObs)),
              Rows({"000001|10|P2|01|07", "000001|10|P3|02|08"}));

    EXPECT_EQ(run(dm.acmInsObsItComandaVen, {{u"CDFILIAL"_s, u"0001"_s},
                                             {u"NRVENDAREST"_s, u"V1"_s},
                                             {u"NRCOMANDA"_s, u"11"_s},
                                             {u"NRPRODCOMVEN"_s, u"000001"_s},
                                             {u"CDGRPOCOR"_s, u"05"_s},
                                             {u"CDOCORR"_s, u"06"_s}}),
              1);
    EXPECT_EQ(run(dm.acmInsObsItComandaEst, {{u"CDFILIAL"_s, u"0001"_s},
                                             {u"NRVENDAREST"_s, u"V1"_s},
                                             {u"NRCOMANDA"_s, u"11"_s},
                                             {u"NRPRODCOMVEN"_s, u"000001"_s},
                                             {u"CDPRODUTO"_s, u"P4"_s},
                                             {u"CDGRPOCOR"_s, u"05"_s},
                                             {u"CDOCORR"_s, u"07"_s}}),
              1);
    const ValueList item11 = with(item, {{u"P_NRCOMANDA"_s, u"11"_s}});
    EXPECT_EQ(sorted(rowsOf(dm.adqObsItens, item11, obs)), Rows({"000001|11|03|04", "000001|11|05|06"}));
    EXPECT_EQ(sorted(rowsOf(dm.adqObsItensEst, item11, estObs)),
              Rows({"000001|11|P2|04|09", "000001|11|P4|05|07"}));
    EXPECT_EQ(this->rows(u"SELECT NRVENDAREST FROM OBSITCOMANDAVEN WHERE CDOCORR = '06' UNION ALL "
                         "SELECT NRVENDAREST FROM OBSITCOMANDAEST WHERE CDPRODUTO = 'P4'"_s),
              Rows({"V1", "V1"}));
}

// Item numbers repeat across the tabs of a sale and across branches; a component belongs to one item.
TYPED_TEST(StatementRows, ComponentsOfAnItemComeBackOnceEachAndInsertedOnesJoinThem) {
    scenarios::twoTabsSharingItemNumbers(*this->builder)
        .component(u"10"_s, u"000001"_s, u"P2"_s, 1, 0.5, u"sem sal"_s)
        .component(u"10"_s, u"000002"_s, u"P2"_s, 1, 0.5)
        .component(u"10"_s, u"000002"_s, u"P3"_s, 2, 1.25)
        .component(u"11"_s, u"000001"_s, u"P3"_s, 1, 0.5);
    SalesBuilder otherBranch = this->other();
    scenarios::pizzaOnTable5(otherBranch).component(u"10"_s, u"000001"_s, u"P4"_s, 1, 0.5);
    TrdmTrPosicao& dm = *this->module;
    const QStringList fields = {u"CDFILIAL"_s,     u"NRVENDAREST"_s,   u"NRCOMANDA"_s,
                                u"NRPRODCOMVEN"_s, u"CDPRODUTO"_s,     u"QTPROCOMEST"_s,
                                u"VRPRECCOMEST"_s, u"VRDESITCOMEST"_s, u"DSOBSPEDDIGEST"_s};

    const Bindings item = {
        {u"P_CDFILIAL"_s, u"0001"_s}, {u"P_NRCOMANDA"_s, u"10"_s}, {u"P_NRPRODCOMVEN"_s, u"000001"_s}};
    EXPECT_EQ(rowsOf(dm.adqItComandaEst, item, fields), Rows({"0001|V1|10|000001|P2|1|0.5|0.5|sem sal"}));
    EXPECT_EQ(sorted(rowsOf(dm.adqItComandaEst, with(item, {{u"P_NRPRODCOMVEN"_s, u"000002"_s}}), fields)),
              Rows({"0001|V1|10|000002|P2|1|0.5|0.5|", "0001|V1|10|000002|P3|2|1.25|0.5|"}));

    EXPECT_EQ(run(dm.acmInsProdEst, {{u"P_CDFILIAL"_s, u"0001"_s},
                                     {u"P_NRVENDAREST"_s, u"V1"_s},
                                     {u"P_NRCOMANDA"_s, u"11"_s},
                                     {u"P_NRPRODCOMVEN"_s, u"000001"_s},
                                     {u"P_CDPRODUTO"_s, u"P5"_s},
                                     {u"P_QTPROCOMEST"_s, 2.0},
                                     {u"P_VRPRECCOMEST"_s, 3.25},
                                     {u"P_VRDESITCOMEST"_s, {}},
                                     {u"P_DSOBSPEDDIGEST"_s, u"extra"_s}}),
              1);
    EXPECT_EQ(sorted(rowsOf(dm.adqItComandaEst, with(item, {{u"P_NRCOMANDA"_s, u"11"_s}}), fields)),
              Rows({"0001|V1|11|000001|P3|1|0.5|0.5|", "0001|V1|11|000001|P5|2|3.25||extra"}))
        << "the inserted component has no discount: a stored null must read as empty, not as 0";
    EXPECT_EQ(this->database->count(u"ITCOMANDAEST WHERE CDPRODUTO = 'P5' AND VRDESITCOMEST IS NULL"_s), 1);
}

TYPED_TEST(StatementRows, TrackingRowsAreFoundByTheOldKeyAndRewrittenOnlyInTheirNewPlace) {
    const QVariantMap place{{u"NRVENDAREST"_s, u"V2"_s},          {u"NRCOMANDA"_s, u"20"_s},
                            {u"NRPRODCOMVEN"_s, u"000005"_s},     {u"NRMESA"_s, u"0006"_s},
                            {u"NRSEQPRODCUP"_s, u"0000000001"_s}, {u"NRLUGARMESAIT"_s, u"2"_s}};
    this->builder->tracking(u"V1"_s, u"10"_s, u"000001"_s, place);
    this->other().tracking(u"V1"_s, u"10"_s, u"000001"_s, place);
    TrdmTrPosicao& dm = *this->module;
    const Bindings oldKey = {{u"P_CDFILIALOLD"_s, u"0001"_s},
                             {u"P_NRVENDARESTOLD"_s, u"V1"_s},
                             {u"P_NRCOMANDAOLD"_s, u"10"_s},
                             {u"P_NRPRODCOMVENOLD"_s, u"000001"_s}};
    const QStringList fields = {u"CDFILIALOLD"_s, u"NRCOMANDA"_s, u"NRPRODCOMVEN"_s, u"NRMESA"_s};

    EXPECT_EQ(rowsOf(dm.adqVerifPedidoAlt, oldKey, fields), Rows({"0001|20|000005|0006"}));
    const ValueList oldKey2 = with(oldKey, {{u"P_NRPRODCOMVENOLD"_s, u"000002"_s}});
    EXPECT_TRUE(rowsOf(dm.adqVerifPedidoAlt, oldKey2, fields).empty());

    EXPECT_EQ(run(dm.acmInsPedidoAlt, {{u"CDFILIALOLD"_s, u"0001"_s},
                                       {u"NRVENDARESTOLD"_s, u"V1"_s},
                                       {u"NRCOMANDAOLD"_s, u"10"_s},
                                       {u"NRPRODCOMVENOLD"_s, u"000002"_s},
                                       {u"NRVENDAREST"_s, u"V2"_s},
                                       {u"NRCOMANDA"_s, u"20"_s},
                                       {u"NRPRODCOMVEN"_s, u"000006"_s},
                                       {u"NRMESA"_s, u"0006"_s},
                                       {u"NRSEQPRODCUP"_s, u"0000000002"_s},
                                       {u"NRLUGARMESAIT"_s, u"1"_s}}),
              1);
    EXPECT_EQ(rowsOf(dm.adqVerifPedidoAlt, oldKey2, fields), Rows({"0001|20|000006|0006"}));

    EXPECT_EQ(run(dm.acmUpPedidoAlt, {{u"NRVENDAREST"_s, u"V3"_s},
                                      {u"NRCOMANDA"_s, u"30"_s},
                                      {u"NRPRODCOMVEN"_s, u"000009"_s},
                                      {u"NRMESA"_s, u"0007"_s},
                                      {u"NRSEQPRODCUP"_s, u"0000000003"_s},
                                      {u"NRLUGARMESAIT"_s, u"4"_s},
                                      {u"CDFILIALOLD"_s, u"0001"_s},
                                      {u"NRVENDARESTOLD"_s, u"V1"_s},
                                      {u"NRCOMANDAOLD"_s, u"10"_s},
                                      {u"NRPRODCOMVENOLD"_s, u"000001"_s}}),
              1);
    EXPECT_EQ(this->rows(u"SELECT * FROM PEDIDOALT ORDER BY CDFILIALOLD, NRPRODCOMVENOLD"_s),
              Rows({"0001|V1|10|000001|V3|30|000009|0007|0000000003|4",
                    "0001|V1|10|000002|V2|20|000006|0006|0000000002|1",
                    "0002|V1|10|000001|V2|20|000005|0006|0000000001|2"}));
}
