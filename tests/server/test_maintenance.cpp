// The table maintenance services through the server methods: when a table counts as empty, freeing it
// with its join in one transaction, and the clean-up of a branch's orphan items, tabs and sales.

#include "support/FaultInjection.h"
#include "support/ServerFixture.h"

#include "server/Srv_Mvt04215.h"
#include "server/TrdmTrPosicao.h"

#include <QSqlQuery>
#include <algorithm>
#include <gtest/gtest.h>

using namespace Srv_Mvt04215;
using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {

// The clean-up's result code; a failure text or another kind of result fails the test.
int codeOf(const QVariant& result) {
    if (result.metaType().id() != QMetaType::Int) {
        ADD_FAILURE() << "expected a result code, got " << result.typeName() << ": "
                      << result.toString().toStdString();
        return -1;
    }
    return result.toInt();
}

// Lines only in `before` prefixed "-", lines only in `after` prefixed "+", sorted.
Rows changes(const QStringList& before, const QStringList& after) {
    Rows out;
    for (const QString& line : before)
        if (!after.contains(line))
            out.push_back("-" + line.toStdString());
    for (const QString& line : after)
        if (!before.contains(line))
            out.push_back("+" + line.toStdString());
    std::sort(out.begin(), out.end());
    return out;
}

template <typename Db> class TableMaintenance : public MenuFixture<Db> {
protected:
    bool isEmpty(const char* table) {
        return setVerificaMesaVazia(u"0001"_s, u"01"_s, QString::fromLatin1(table));
    }
    bool release(const char* table, const char* to = "0008") {
        return setLiberamesa(u"0001"_s, u"01"_s, QString::fromLatin1(table), QString::fromLatin1(to));
    }
    QVariant cleanUp(const char* table) { return setDeletaVendaRest(table, "0001", "01"); }
    Rows sales() { return this->rows(u"SELECT CDFILIAL, NRVENDAREST FROM VENDAREST ORDER BY 1, 2"_s); }
    Rows tabs() { return this->rows(u"SELECT CDFILIAL, NRCOMANDA FROM COMANDAVEN ORDER BY 1, 2"_s); }
    Rows items() {
        return this->rows(u"SELECT CDFILIAL, NRCOMANDA, NRPRODCOMVEN FROM ITCOMANDAVEN ORDER BY 1, 2, 3"_s);
    }
    Rows joins() {
        return this->rows(u"SELECT CDFILIAL, NRJUNMESA, NRMESA FROM MESAJUNCAO ORDER BY 1, 2, 3"_s);
    }
};

TYPED_TEST_SUITE(TableMaintenance, BothDatabases, DbKindNames);

} // namespace

// ---- setVerificaMesaVazia

TYPED_TEST(TableMaintenance, ATableIsEmptyWhenItsOpenSaleHasNoItemRowOfAnyStatus) {
    SalesBuilder& b = *this->builder;
    b.sale(u"V1"_s, u"0001"_s)
        .tab(u"10"_s, u"V1"_s) // a tab, but no items
        .closedSale(u"V3"_s, u"0003"_s)
        .tab(u"30"_s, u"V3"_s)
        .item(u"30"_s, u"000001"_s, u"P1"_s, 1)
        .sale(u"V4"_s, u"0004"_s)
        .tab(u"40"_s, u"V4"_s)
        .item(u"40"_s, u"000001"_s, u"P1"_s, 1, {{u"IDSTPRCOMVEN"_s, u"7"_s}})
        .sale(u"V5"_s, u"0005"_s)
        .tab(u"50"_s, u"V5"_s)
        .item(u"50"_s, u"000001"_s, u"P1"_s, 1, {{u"IDSTPRCOMVEN"_s, u"6"_s}})
        .sale(u"V6"_s, u"0006"_s)
        .tab(u"60"_s, u"V6"_s)
        .item(u"60"_s, u"000001"_s, u"P1"_s, 1)
        .sale(u"V7"_s, u"0007"_s);
    this->other("0002").sale(u"V7"_s, u"0007"_s).tab(u"70"_s, u"V7"_s).item(u"70"_s, u"000001"_s, u"P1"_s, 1);
    this->other("0001", "02")
        .sale(u"V8"_s, u"0001"_s)
        .tab(u"80"_s, u"V8"_s)
        .item(u"80"_s, u"000001"_s, u"P1"_s, 1);

    EXPECT_TRUE(this->isEmpty("0001")) << "tabs without items; another store's sale does not count";
    EXPECT_TRUE(this->isEmpty("0002")) << "no sale at all";
    EXPECT_TRUE(this->isEmpty("0003")) << "only a closed sale";
    EXPECT_FALSE(this->isEmpty("0004")) << "status 7 items are item rows";
    EXPECT_FALSE(this->isEmpty("0005"));
    EXPECT_FALSE(this->isEmpty("0006"));
    EXPECT_TRUE(this->isEmpty("0007")) << "another branch's sale of the same number does not count";
}

TYPED_TEST(TableMaintenance, ATableIsNotEmptyWhenItCannotBeChecked) {
    ASSERT_TRUE(this->isEmpty("0002"));
    this->module->adcTrPosicao.close();
    EXPECT_FALSE(this->isEmpty("0002"));
    this->module->adcTrPosicao.open();
    this->database->exec(u"DROP TABLE ITCOMANDAVEN"_s);
    EXPECT_FALSE(this->isEmpty("0002"));
}

// ---- setLiberamesa

TYPED_TEST(TableMaintenance, ATableWhoseSaleHasItemsIsNotReleased) {
    SalesBuilder& b = *this->builder;
    b.table(u"0005"_s)
        .sale(u"V5"_s, u"0005"_s)
        .tab(u"50"_s, u"V5"_s)
        .item(u"50"_s, u"000001"_s, u"P1"_s, 1)
        .table(u"0007"_s)
        .sale(u"V7"_s, u"0007"_s)
        .tab(u"70"_s, u"V7"_s)
        .item(u"70"_s, u"000001"_s, u"P1"_s, 1, {{u"IDSTPRCOMVEN"_s, u"7"_s}})
        .join(u"J1"_s, u"0005"_s)
        .join(u"J2"_s, u"0007"_s);
    const QStringList before = this->database->snapshot();
    EXPECT_FALSE(this->release("0005"));
    EXPECT_FALSE(this->release("0007"));
    EXPECT_EQ(this->database->snapshot(), before);
}

TYPED_TEST(TableMaintenance, ReleasingDeletesTheOpenSaleWithItsTabsFreesTheTableAndHandsItsJoinOver) {
    scenarios::twoJoinedTablesWithTabs(*this->builder)
        .closedSale(u"V0"_s, u"0005"_s)
        .tab(u"09"_s, u"V0"_s)
        .item(u"09"_s, u"000001"_s, u"P1"_s, 1);
    SalesBuilder otherBranch = this->other("0002");
    scenarios::joinedTable5WithAnEmptyTab(otherBranch);

    EXPECT_TRUE(this->release("0005"));
    EXPECT_EQ(this->sales(), Rows({"0001|V0", "0001|V2", "0002|V1"}));
    EXPECT_EQ(this->tabs(), Rows({"0001|09", "0001|20", "0002|10"}));
    EXPECT_EQ(this->items(), Rows({"0001|09|000001"}));
    EXPECT_EQ(this->status("0005"), u"D"_s);
    EXPECT_EQ(this->status("0006"), u"O"_s);
    EXPECT_EQ(this->status("0005", "0002"), u"O"_s);
    EXPECT_EQ(this->joins(), Rows({"0001|J1|0006", "0001|J1|0008", "0002|J1|0005"}));
}

TYPED_TEST(TableMaintenance, ReleasingATableWithoutAnOpenSaleOnlyFreesItAndHandsItsJoinOver) {
    SalesBuilder& b = *this->builder;
    b.table(u"0005"_s)
        .closedSale(u"V0"_s, u"0005"_s)
        .tab(u"09"_s, u"V0"_s)
        .item(u"09"_s, u"000001"_s, u"P1"_s, 1)
        .join(u"J1"_s, u"0005"_s);
    const QStringList before = this->database->snapshot();

    EXPECT_TRUE(this->release("0005"));
    EXPECT_EQ(changes(before, this->database->snapshot()),
              Rows({"+MESA:0001|01|0005|Mesa 0005|D", "+MESAJUNCAO:0001|01|J1|0008",
                    "-MESA:0001|01|0005|Mesa 0005|O", "-MESAJUNCAO:0001|01|J1|0005"}));
}

TYPED_TEST(TableMaintenance, ReleasingATableInTwoJoinsHandsOnlyOneOver) {
    SalesBuilder& b = *this->builder;
    b.table(u"0005"_s).join(u"J1"_s, u"0005"_s).join(u"J2"_s, u"0005"_s).join(u"J2"_s, u"0006"_s);

    EXPECT_TRUE(this->release("0005"));
    const Rows after = this->joins();
    EXPECT_TRUE(after == Rows({"0001|J1|0005", "0001|J2|0006", "0001|J2|0008"}) ||
                after == Rows({"0001|J1|0008", "0001|J2|0005", "0001|J2|0006"}))
        << testing::PrintToString(after);
}

TYPED_TEST(TableMaintenance, AFailureWhileReleasingRollsEverythingBack) {
    scenarios::joinedTable5WithAnEmptyTab(*this->builder).tab(u"11"_s, u"V1"_s);
    const QStringList before = this->database->snapshot();

    for (const char* statement : {"adqBloqComandasVenda", "acmDeletaComandaven", "acmDeletaVendaRest",
                                  "acmLiberaMesa", "adqMesaAgrup", "acmUpdMesaAgrup"}) {
        SCOPED_TRACE(statement);
        {
            FaultInjection fault(failing({QString::fromLatin1(statement)}));
            EXPECT_FALSE(this->release("0005"));
        }
        EXPECT_FALSE(this->module->adcTrPosicao.inTransaction());
        EXPECT_EQ(this->database->snapshot(), before);
    }
    EXPECT_TRUE(this->release("0005")) << "nothing of the failed attempts is left in the way";
    EXPECT_TRUE(this->sales().empty());
    EXPECT_EQ(this->joins(), Rows({"0001|J1|0008"}));
}

// An item that reaches the sale after the first look (a transfer from another terminal) is seen once
// the tabs are locked; here it arrives inside the service's own transaction, on either database.
TYPED_TEST(TableMaintenance, AnItemThatArrivesBeforeTheTabsAreLockedStopsTheRelease) {
    scenarios::joinedTable5WithAnEmptyTab(*this->builder);
    const QStringList before = this->database->snapshot();
    TrdmTrPosicao& dm = *this->module;
    FaultInjection arrival([&dm](const QString& statement) {
        if (statement == u"adqBloqComandasVenda"_s)
            dm.adcTrPosicao.exec(u"INSERT INTO ITCOMANDAVEN (CDFILIAL, NRVENDAREST, NRCOMANDA, NRPRODCOMVEN, "
                                 "CDPRODUTO, QTPRODCOMVEN, IDSTPRCOMVEN) "
                                 "VALUES ('0001', 'V1', '10', '000001', 'P1', 1, '1')"_s);
    });

    EXPECT_FALSE(this->release("0005"));
    EXPECT_FALSE(dm.adcTrPosicao.inTransaction());
    EXPECT_EQ(this->database->snapshot(), before);
}

// Another terminal holds the table's tabs (a transfer under way): freeing the table waits for them as
// long as a lock is waited for, then gives up with words that name the table, and nothing changes.
TYPED_TEST(TableMaintenance, ATableAnotherTerminalHoldsIsNotReleasedAndTheWaitEnds) {
    scenarios::joinedTable5WithAnEmptyTab(*this->builder);
    const QStringList before = this->database->snapshot();
    if (TypeParam::kind == DbKind::PostgreSQL) {
        QSqlQuery bound(this->module->adcTrPosicao.database());
        ASSERT_TRUE(bound.exec(u"SHOW lock_timeout"_s) && bound.next());
        EXPECT_EQ(bound.value(0).toString(), u"10s"_s);
    }
    const auto holder = openSession(this->database->connectionString(), u"other-terminal"_s);
    holder->beginTransaction(); // SQLite: the whole file
    if (TypeParam::kind == DbKind::PostgreSQL)
        holder->exec(
            u"SELECT NRCOMANDA FROM COMANDAVEN WHERE CDFILIAL = '0001' AND NRVENDAREST = 'V1' FOR UPDATE"_s);

    EXPECT_FALSE(this->release("0005"));
    EXPECT_EQ(this->module->lastFailure, u"Outro terminal está usando a mesa 0005; tente novamente."_s);
    EXPECT_FALSE(this->module->adcTrPosicao.inTransaction());
    holder->rollback();
    EXPECT_EQ(this->database->snapshot(), before);
    EXPECT_TRUE(this->release("0005")) << "once the other terminal lets go";
    EXPECT_TRUE(this->module->lastFailure.isEmpty());
}

// The host deactivates and activates the data module between calls: a new connection, on which the
// statements prepared on the old one must not get in the way of the next transaction.
TYPED_TEST(TableMaintenance, ReleasingWorksAgainAfterTheModuleReconnects) {
    SalesBuilder& b = *this->builder;
    b.table(u"0005"_s).sale(u"V5"_s, u"0005"_s).tab(u"50"_s, u"V5"_s).join(u"J1"_s, u"0005"_s);
    b.table(u"0006"_s).sale(u"V6"_s, u"0006"_s).tab(u"60"_s, u"V6"_s).join(u"J2"_s, u"0006"_s);
    ASSERT_TRUE(this->release("0005")); // every statement of the service is prepared now
    const QStringList before = this->database->snapshot();

    this->module->MtsDataModuleDeactivate();
    EXPECT_FALSE(this->release("0006"));
    EXPECT_EQ(this->database->snapshot(), before);

    this->module->MtsDataModuleActivate();
    ASSERT_TRUE(this->module->adcTrPosicao.connected());
    EXPECT_TRUE(this->release("0006"));
    EXPECT_TRUE(this->sales().empty());
    EXPECT_EQ(this->joins(), Rows({"0001|J1|0008", "0001|J2|0008"}));
}

// ---- setDeletaVendaRest

TYPED_TEST(TableMaintenance, OnATidyBranchTheCleanUpOnlyFreesATableWithoutSales) {
    SalesBuilder& b = *this->builder;
    b.table(u"0005"_s)
        .table(u"0006"_s)
        .sale(u"V6"_s, u"0006"_s)
        .tab(u"60"_s, u"V6"_s)
        .item(u"60"_s, u"000001"_s, u"P1"_s, 1)
        .table(u"0007"_s)
        .closedSale(u"V7"_s, u"0007"_s)
        .tab(u"70"_s, u"V7"_s);
    const QStringList before = this->database->snapshot();

    EXPECT_EQ(codeOf(this->cleanUp("0006")), 0);
    EXPECT_EQ(codeOf(this->cleanUp("0007")), 0);
    EXPECT_EQ(this->database->snapshot(), before) << "a table with a sale that has a tab stays as it is";

    EXPECT_EQ(codeOf(this->cleanUp("0005")), 0);
    EXPECT_EQ(changes(before, this->database->snapshot()),
              Rows({"+MESA:0001|01|0005|Mesa 0005|D", "-MESA:0001|01|0005|Mesa 0005|O"}));
}

TYPED_TEST(TableMaintenance, TheCleanUpDeletesTheTablesSalesWithoutTabsAndFreesIt) {
    SalesBuilder& b = *this->builder;
    b.table(u"0005"_s)
        .closedSale(u"V0"_s, u"0005"_s) // no tab
        .sale(u"V1"_s, u"0005"_s)
        .tab(u"10"_s, u"V1"_s)
        .item(u"10"_s, u"000001"_s, u"P1"_s, 1)
        .table(u"0006"_s)
        .sale(u"V6"_s, u"0006"_s);

    EXPECT_EQ(codeOf(this->cleanUp("0005")), 8);
    EXPECT_EQ(this->sales(), Rows({"0001|V1", "0001|V6"}));
    EXPECT_EQ(this->items(), Rows({"0001|10|000001"}));
    EXPECT_EQ(this->status("0005"), u"D"_s);
    EXPECT_EQ(this->status("0006"), u"O"_s);
}

TYPED_TEST(TableMaintenance, AnItemWithoutItsTabIsDeletedAndTheTableIsNotFreed) {
    SalesBuilder& b = *this->builder;
    b.table(u"0005"_s).sale(u"V1"_s, u"0006"_s).tab(u"10"_s, u"V1"_s).item(u"10"_s, u"000001"_s, u"P1"_s, 1);
    b.item(u"77"_s, u"000001"_s, u"P1"_s, 1, {{u"NRVENDAREST"_s, u"V1"_s}});

    EXPECT_EQ(codeOf(this->cleanUp("0005")), 1);
    EXPECT_EQ(this->items(), Rows({"0001|10|000001"}));
    EXPECT_EQ(this->status("0005"), u"O"_s);
}

TYPED_TEST(TableMaintenance, TheResultCodeIsTheSumOfTheCleanUpsThatRan) {
    struct Case {
        int code;
        bool orphanItem, orphanTab, tablelessSale;
    };
    for (const Case& c : {Case{6, false, true, false}, Case{7, true, true, false}, Case{9, true, false, true},
                          Case{14, false, true, true}, Case{15, true, true, true}}) {
        SCOPED_TRACE(c.code);
        this->database->emptyTables();
        SalesBuilder b(this->database->admin());
        scenarios::pizzaOnTable5(scenarios::menu(b));
        if (c.orphanItem)
            b.item(u"77"_s, u"000001"_s, u"P1"_s, 1, {{u"NRVENDAREST"_s, u"V1"_s}});
        if (c.orphanTab)
            b.tab(u"60"_s, u"V6"_s)
                .item(u"60"_s, u"000001"_s, u"P1"_s, 1)
                .item(u"60"_s, u"000002"_s, u"P1"_s, 1);
        if (c.tablelessSale)
            b.closedSale(u"V0"_s, u"0005"_s);

        EXPECT_EQ(codeOf(this->cleanUp("0005")), c.code);
        EXPECT_EQ(this->items(), Rows({"0001|10|000001"}));
        EXPECT_EQ(this->tabs(), Rows({"0001|10"}));
        EXPECT_EQ(this->sales(), Rows({"0001|V1"}));
        EXPECT_EQ(this->status("0005"), u"D"_s);
    }
}

// The orphan tabs reach the delete as one list ("12_3_"); a tab number inside another's must not match.
TYPED_TEST(TableMaintenance, OnlyTheItemsOfTheOrphanTabsThemselvesAreDeleted) {
    SalesBuilder& b = *this->builder;
    b.table(u"0005"_s).sale(u"V1"_s, u"0005"_s);
    for (const QString& tab : {u"1"_s, u"2"_s, u"21"_s, u"23"_s})
        b.tab(tab, u"V1"_s).item(tab, u"000001"_s, u"P1"_s, 1).item(tab, u"000002"_s, u"P1"_s, 1);
    for (const QString& tab : {u"12"_s, u"3"_s})
        b.tab(tab, u"V9"_s).item(tab, u"000001"_s, u"P1"_s, 1);

    EXPECT_EQ(codeOf(this->cleanUp("0005")), 6);
    EXPECT_EQ(this->rows(u"SELECT DISTINCT NRCOMANDA FROM ITCOMANDAVEN ORDER BY 1"_s),
              Rows({"1", "2", "21", "23"}));
    EXPECT_EQ(this->tabs(), Rows({"0001|1", "0001|2", "0001|21", "0001|23"}));
}

TYPED_TEST(TableMaintenance, AFailureInTheCleanUpIsTextAndKeepsWhatRanBefore) {
    scenarios::table5AndOrphans(*this->builder);

    {
        FaultInjection fault(failing({u"acmDeleleItCmd"_s}));
        const QVariant result = this->cleanUp("0005");
        ASSERT_EQ(result.metaType().id(), QMetaType::QString);
        EXPECT_TRUE(result.toString().contains(u"falha injetada"_s)) << result.toString().toStdString();
    }
    EXPECT_EQ(this->items(), Rows({"0001|10|000001", "0001|60|000001"})) << "the orphan item went first";
    EXPECT_EQ(this->tabs(), Rows({"0001|10", "0001|60"}));

    {
        FaultInjection fault(failing({u"acmDelCmd"_s}));
        const QVariant result = this->cleanUp("0005");
        ASSERT_EQ(result.metaType().id(), QMetaType::QString);
        EXPECT_TRUE(result.toString().contains(u"falha injetada"_s)) << result.toString().toStdString();
    }
    EXPECT_EQ(this->items(), Rows({"0001|10|000001"})) << "the orphan tab's items stay deleted";
    EXPECT_EQ(this->tabs(), Rows({"0001|10", "0001|60"}));
    EXPECT_EQ(this->status("0005"), u"O"_s);

    this->module->adcTrPosicao.close();
    EXPECT_EQ(this->cleanUp("0005").metaType().id(), QMetaType::QString);
    this->module->adcTrPosicao.open();
    EXPECT_EQ(codeOf(this->cleanUp("0005")), 6);
    EXPECT_EQ(this->tabs(), Rows({"0001|10"}));
}

TYPED_TEST(TableMaintenance, TheCleanUpLeavesOtherBranchesAlone) {
    scenarios::table5AndOrphans(*this->builder);
    SalesBuilder o = this->other("0002");
    scenarios::table5AndOrphans(o).tab(u"12"_s, u"V9"_s).item(u"12"_s, u"000001"_s, u"P1"_s, 1);
    this->other("0001", "02").table(u"0005"_s);
    const QString otherRows = u"SELECT * FROM %1 WHERE CDFILIAL = '0002' OR CDLOJA = '02' ORDER BY 1, 2, 3"_s;
    QStringList before;
    for (const char* table : {"MESA", "VENDAREST", "COMANDAVEN", "ITCOMANDAVEN"})
        before << this->database->rows(otherRows.arg(QLatin1String(table)));

    EXPECT_EQ(codeOf(this->cleanUp("0005")), 7);
    QStringList after;
    for (const char* table : {"MESA", "VENDAREST", "COMANDAVEN", "ITCOMANDAVEN"})
        after << this->database->rows(otherRows.arg(QLatin1String(table)));
    EXPECT_EQ(after, before);
    EXPECT_EQ(this->items(), Rows({"0001|10|000001", "0002|10|000001", "0002|12|000001", "0002|60|000001",
                                   "0002|77|000001"}));
}

TEST(TableMaintenanceWithoutModule, EachServiceFailsSafely) {
    ASSERT_EQ(rdmTrPosicao, nullptr);
    EXPECT_FALSE(setVerificaMesaVazia(u"0001"_s, u"01"_s, u"0005"_s));
    EXPECT_FALSE(setLiberamesa(u"0001"_s, u"01"_s, u"0005"_s, u"0006"_s));
    const QVariant result = setDeletaVendaRest("0005", "0001", "01");
    EXPECT_EQ(result.metaType().id(), QMetaType::QString);
    EXPECT_FALSE(result.toString().isEmpty());
}
