// The table maintenance services through the server methods: when a table counts as empty, freeing it
// with its join in one transaction, and the clean-up of a branch's orphan items, tabs and sales.

#include "support/FaultInjection.h"
#include "support/ServerFixture.h"

#include "platform/Errors.h"
#include "server/Srv_Mvt04215.h"
#include "server/TrdmTrPosicao.h"

#include <QSqlQuery>
#include <algorithm>
#include <gtest/gtest.h>

using namespace Srv_Mvt04215;
using namespace testsupport;

namespace {

// Makes the named statement fail as the database would, for as long as the object lives.
class FailingStatement {
public:
    explicit FailingStatement(const char* name)
        : fault_([target = QString::fromLatin1(name)](const QString& statement) {
              if (statement == target)
                  throw platform::DatabaseError(QStringLiteral("falha injetada em %1").arg(statement), {}, {},
                                                statement);
          }) {}

private:
    FaultInjection fault_;
};

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

template <typename Db> class TableMaintenance : public ServerFixture<Db> {
protected:
    void prepare() override {
        ServerFixture<Db>::prepare();
        this->builder->product("P1", "Pizza");
    }

    bool isEmpty(const char* table) { return setVerificaMesaVazia("0001", "01", QString::fromLatin1(table)); }
    bool release(const char* table, const char* to = "0008") {
        return setLiberamesa("0001", "01", QString::fromLatin1(table), QString::fromLatin1(to));
    }
    QVariant cleanUp(const char* table) { return setDeletaVendaRest(table, "0001", "01"); }
    Rows sales() { return this->rows("SELECT CDFILIAL, NRVENDAREST FROM VENDAREST ORDER BY 1, 2"); }
    Rows tabs() { return this->rows("SELECT CDFILIAL, NRCOMANDA FROM COMANDAVEN ORDER BY 1, 2"); }
    Rows items() {
        return this->rows("SELECT CDFILIAL, NRCOMANDA, NRPRODCOMVEN FROM ITCOMANDAVEN ORDER BY 1, 2, 3");
    }
    Rows joins() { return this->rows("SELECT CDFILIAL, NRJUNMESA, NRMESA FROM MESAJUNCAO ORDER BY 1, 2, 3"); }
};

TYPED_TEST_SUITE(TableMaintenance, BothDatabases, DbKindNames);

} // namespace

// ---- setVerificaMesaVazia

TYPED_TEST(TableMaintenance, ATableIsEmptyWhenItsOpenSaleHasNoItemRowOfAnyStatus) {
    SalesBuilder& b = *this->builder;
    b.sale("V1", "0001")
        .tab("10", "V1") // a tab, but no items
        .closedSale("V3", "0003")
        .tab("30", "V3")
        .item("30", "000001", "P1", 1)
        .sale("V4", "0004")
        .tab("40", "V4")
        .item("40", "000001", "P1", 1, {{"IDSTPRCOMVEN", "7"}})
        .sale("V5", "0005")
        .tab("50", "V5")
        .item("50", "000001", "P1", 1, {{"IDSTPRCOMVEN", "6"}})
        .sale("V6", "0006")
        .tab("60", "V6")
        .item("60", "000001", "P1", 1)
        .sale("V7", "0007");
    this->other("0002").sale("V7", "0007").tab("70", "V7").item("70", "000001", "P1", 1);
    this->other("0001", "02").sale("V8", "0001").tab("80", "V8").item("80", "000001", "P1", 1);

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
    this->database->exec("DROP TABLE ITCOMANDAVEN");
    EXPECT_FALSE(this->isEmpty("0002"));
}

// ---- setLiberamesa

TYPED_TEST(TableMaintenance, ATableWhoseSaleHasItemsIsNotReleased) {
    SalesBuilder& b = *this->builder;
    b.table("0005")
        .sale("V5", "0005")
        .tab("50", "V5")
        .item("50", "000001", "P1", 1)
        .table("0007")
        .sale("V7", "0007")
        .tab("70", "V7")
        .item("70", "000001", "P1", 1, {{"IDSTPRCOMVEN", "7"}})
        .join("J1", "0005")
        .join("J2", "0007");
    const QStringList before = this->database->snapshot();
    EXPECT_FALSE(this->release("0005"));
    EXPECT_FALSE(this->release("0007"));
    EXPECT_EQ(this->database->snapshot(), before);
}

TYPED_TEST(TableMaintenance, ReleasingDeletesTheOpenSaleWithItsTabsFreesTheTableAndHandsItsJoinOver) {
    SalesBuilder& b = *this->builder;
    b.table("0005")
        .table("0006")
        .closedSale("V0", "0005")
        .tab("09", "V0")
        .item("09", "000001", "P1", 1)
        .sale("V1", "0005")
        .tab("10", "V1")
        .tab("11", "V1")
        .sale("V2", "0006")
        .tab("20", "V2")
        .join("J1", "0005")
        .join("J1", "0006");
    this->other("0002").table("0005").sale("V1", "0005").tab("10", "V1").join("J1", "0005");

    EXPECT_TRUE(this->release("0005"));
    EXPECT_EQ(this->sales(), Rows({"0001|V0", "0001|V2", "0002|V1"}));
    EXPECT_EQ(this->tabs(), Rows({"0001|09", "0001|20", "0002|10"}));
    EXPECT_EQ(this->items(), Rows({"0001|09|000001"}));
    EXPECT_EQ(this->status("0005"), "D");
    EXPECT_EQ(this->status("0006"), "O");
    EXPECT_EQ(this->status("0005", "0002"), "O");
    EXPECT_EQ(this->joins(), Rows({"0001|J1|0006", "0001|J1|0008", "0002|J1|0005"}));
}

TYPED_TEST(TableMaintenance, ReleasingATableWithoutAnOpenSaleOnlyFreesItAndHandsItsJoinOver) {
    SalesBuilder& b = *this->builder;
    b.table("0005").closedSale("V0", "0005").tab("09", "V0").item("09", "000001", "P1", 1).join("J1", "0005");
    const QStringList before = this->database->snapshot();

    EXPECT_TRUE(this->release("0005"));
    EXPECT_EQ(changes(before, this->database->snapshot()),
              Rows({"+MESA:0001|01|0005|Mesa 0005|D", "+MESAJUNCAO:0001|01|J1|0008",
                    "-MESA:0001|01|0005|Mesa 0005|O", "-MESAJUNCAO:0001|01|J1|0005"}));
}

TYPED_TEST(TableMaintenance, ReleasingATableInTwoJoinsHandsOnlyOneOver) {
    SalesBuilder& b = *this->builder;
    b.table("0005").join("J1", "0005").join("J2", "0005").join("J2", "0006");

    EXPECT_TRUE(this->release("0005"));
    const Rows after = this->joins();
    EXPECT_TRUE(after == Rows({"0001|J1|0005", "0001|J2|0006", "0001|J2|0008"}) ||
                after == Rows({"0001|J1|0008", "0001|J2|0005", "0001|J2|0006"}))
        << testing::PrintToString(after);
}

TYPED_TEST(TableMaintenance, AFailureWhileReleasingRollsEverythingBack) {
    SalesBuilder& b = *this->builder;
    b.table("0005").sale("V1", "0005").tab("10", "V1").tab("11", "V1").join("J1", "0005");
    const QStringList before = this->database->snapshot();

    for (const char* statement : {"adqBloqComandasVenda", "acmDeletaComandaven", "acmDeletaVendaRest",
                                  "acmLiberaMesa", "adqMesaAgrup", "acmUpdMesaAgrup"}) {
        SCOPED_TRACE(statement);
        {
            FailingStatement fault(statement);
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
    SalesBuilder& b = *this->builder;
    b.table("0005").sale("V1", "0005").tab("10", "V1").join("J1", "0005");
    const QStringList before = this->database->snapshot();
    TrdmTrPosicao& dm = *this->module;
    FaultInjection arrival([&dm](const QString& statement) {
        if (statement == QLatin1String("adqBloqComandasVenda"))
            dm.adcTrPosicao.exec("INSERT INTO ITCOMANDAVEN (CDFILIAL, NRVENDAREST, NRCOMANDA, NRPRODCOMVEN, "
                                 "CDPRODUTO, QTPRODCOMVEN, IDSTPRCOMVEN) "
                                 "VALUES ('0001', 'V1', '10', '000001', 'P1', 1, '1')");
    });

    EXPECT_FALSE(this->release("0005"));
    EXPECT_FALSE(dm.adcTrPosicao.inTransaction());
    EXPECT_EQ(this->database->snapshot(), before);
}

// Another terminal holds the table's tabs (a transfer under way): freeing the table waits for them as
// long as a lock is waited for, then gives up with words that name the table, and nothing changes.
TYPED_TEST(TableMaintenance, ATableAnotherTerminalHoldsIsNotReleasedAndTheWaitEnds) {
    this->builder->table("0005").sale("V1", "0005").tab("10", "V1").join("J1", "0005");
    const QStringList before = this->database->snapshot();
    if (TypeParam::kind == DbKind::PostgreSQL) {
        QSqlQuery bound(this->module->adcTrPosicao.database());
        ASSERT_TRUE(bound.exec("SHOW lock_timeout") && bound.next());
        EXPECT_EQ(bound.value(0).toString(), "10s");
    }
    const auto holder = openSession(this->database->connectionString(), QStringLiteral("other-terminal"));
    holder->beginTransaction(); // SQLite: the whole file
    if (TypeParam::kind == DbKind::PostgreSQL)
        holder->exec(
            "SELECT NRCOMANDA FROM COMANDAVEN WHERE CDFILIAL = '0001' AND NRVENDAREST = 'V1' FOR UPDATE");

    EXPECT_FALSE(this->release("0005"));
    EXPECT_EQ(this->module->lastFailure, "Outro terminal está usando a mesa 0005; tente novamente.");
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
    b.table("0005").sale("V5", "0005").tab("50", "V5").join("J1", "0005");
    b.table("0006").sale("V6", "0006").tab("60", "V6").join("J2", "0006");
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
    b.table("0005")
        .table("0006")
        .sale("V6", "0006")
        .tab("60", "V6")
        .item("60", "000001", "P1", 1)
        .table("0007")
        .closedSale("V7", "0007")
        .tab("70", "V7");
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
    b.table("0005")
        .closedSale("V0", "0005") // no tab
        .sale("V1", "0005")
        .tab("10", "V1")
        .item("10", "000001", "P1", 1)
        .table("0006")
        .sale("V6", "0006");

    EXPECT_EQ(codeOf(this->cleanUp("0005")), 8);
    EXPECT_EQ(this->sales(), Rows({"0001|V1", "0001|V6"}));
    EXPECT_EQ(this->items(), Rows({"0001|10|000001"}));
    EXPECT_EQ(this->status("0005"), "D");
    EXPECT_EQ(this->status("0006"), "O");
}

TYPED_TEST(TableMaintenance, AnItemWithoutItsTabIsDeletedAndTheTableIsNotFreed) {
    SalesBuilder& b = *this->builder;
    b.table("0005").sale("V1", "0006").tab("10", "V1").item("10", "000001", "P1", 1);
    b.item("77", "000001", "P1", 1, {{"NRVENDAREST", "V1"}});

    EXPECT_EQ(codeOf(this->cleanUp("0005")), 1);
    EXPECT_EQ(this->items(), Rows({"0001|10|000001"}));
    EXPECT_EQ(this->status("0005"), "O");
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
        b.product("P1", "Pizza")
            .table("0005")
            .sale("V1", "0005")
            .tab("10", "V1")
            .item("10", "000001", "P1", 1);
        if (c.orphanItem)
            b.item("77", "000001", "P1", 1, {{"NRVENDAREST", "V1"}});
        if (c.orphanTab)
            b.tab("60", "V6").item("60", "000001", "P1", 1).item("60", "000002", "P1", 1);
        if (c.tablelessSale)
            b.closedSale("V0", "0005");

        EXPECT_EQ(codeOf(this->cleanUp("0005")), c.code);
        EXPECT_EQ(this->items(), Rows({"0001|10|000001"}));
        EXPECT_EQ(this->tabs(), Rows({"0001|10"}));
        EXPECT_EQ(this->sales(), Rows({"0001|V1"}));
        EXPECT_EQ(this->status("0005"), "D");
    }
}

// The orphan tabs reach the delete as one list ("12_3_"); a tab number inside another's must not match.
TYPED_TEST(TableMaintenance, OnlyTheItemsOfTheOrphanTabsThemselvesAreDeleted) {
    SalesBuilder& b = *this->builder;
    b.table("0005").sale("V1", "0005");
    for (const char* tab : {"1", "2", "21", "23"})
        b.tab(tab, "V1").item(tab, "000001", "P1", 1).item(tab, "000002", "P1", 1);
    for (const char* tab : {"12", "3"})
        b.tab(tab, "V9").item(tab, "000001", "P1", 1);

    EXPECT_EQ(codeOf(this->cleanUp("0005")), 6);
    EXPECT_EQ(this->rows("SELECT DISTINCT NRCOMANDA FROM ITCOMANDAVEN ORDER BY 1"),
              Rows({"1", "2", "21", "23"}));
    EXPECT_EQ(this->tabs(), Rows({"0001|1", "0001|2", "0001|21", "0001|23"}));
}

TYPED_TEST(TableMaintenance, AFailureInTheCleanUpIsTextAndKeepsWhatRanBefore) {
    SalesBuilder& b = *this->builder;
    b.table("0005").sale("V1", "0005").tab("10", "V1").item("10", "000001", "P1", 1);
    b.item("77", "000001", "P1", 1, {{"NRVENDAREST", "V1"}});
    b.tab("60", "V6").item("60", "000001", "P1", 1);

    {
        FailingStatement fault("acmDeleleItCmd");
        const QVariant result = this->cleanUp("0005");
        ASSERT_EQ(result.metaType().id(), QMetaType::QString);
        EXPECT_TRUE(result.toString().contains("falha injetada")) << result.toString().toStdString();
    }
    EXPECT_EQ(this->items(), Rows({"0001|10|000001", "0001|60|000001"})) << "the orphan item went first";
    EXPECT_EQ(this->tabs(), Rows({"0001|10", "0001|60"}));

    {
        FailingStatement fault("acmDelCmd");
        const QVariant result = this->cleanUp("0005");
        ASSERT_EQ(result.metaType().id(), QMetaType::QString);
        EXPECT_TRUE(result.toString().contains("falha injetada")) << result.toString().toStdString();
    }
    EXPECT_EQ(this->items(), Rows({"0001|10|000001"})) << "the orphan tab's items stay deleted";
    EXPECT_EQ(this->tabs(), Rows({"0001|10", "0001|60"}));
    EXPECT_EQ(this->status("0005"), "O");

    this->module->adcTrPosicao.close();
    EXPECT_EQ(this->cleanUp("0005").metaType().id(), QMetaType::QString);
    this->module->adcTrPosicao.open();
    EXPECT_EQ(codeOf(this->cleanUp("0005")), 6);
    EXPECT_EQ(this->tabs(), Rows({"0001|10"}));
}

TYPED_TEST(TableMaintenance, TheCleanUpLeavesOtherBranchesAlone) {
    SalesBuilder& b = *this->builder;
    b.table("0005").sale("V1", "0005").tab("10", "V1").item("10", "000001", "P1", 1);
    b.item("77", "000001", "P1", 1, {{"NRVENDAREST", "V1"}}).tab("60", "V6").item("60", "000001", "P1", 1);
    SalesBuilder o = this->other("0002");
    o.table("0005").sale("V1", "0005").tab("10", "V1").item("10", "000001", "P1", 1);
    o.item("77", "000001", "P1", 1, {{"NRVENDAREST", "V1"}}).tab("60", "V6").item("60", "000001", "P1", 1);
    o.tab("12", "V9").item("12", "000001", "P1", 1);
    this->other("0001", "02").table("0005");
    const QString otherRows = "SELECT * FROM %1 WHERE CDFILIAL = '0002' OR CDLOJA = '02' ORDER BY 1, 2, 3";
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
    EXPECT_FALSE(setVerificaMesaVazia("0001", "01", "0005"));
    EXPECT_FALSE(setLiberamesa("0001", "01", "0005", "0006"));
    const QVariant result = setDeletaVendaRest("0005", "0001", "01");
    EXPECT_EQ(result.metaType().id(), QMetaType::QString);
    EXPECT_FALSE(result.toString().isEmpty());
}
