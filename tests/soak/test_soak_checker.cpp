// The soak's checker must catch each fault it exists for: every test corrupts a freshly seeded
// restaurant in one way the invariants forbid and expects exactly the violations that way implies.

#include "SoakChecker.h"
#include "SoakSeed.h"

#include "support/DatabaseFixture.h"

#include <QDateTime>
#include <gtest/gtest.h>
#include <memory>
#include <set>
#include <string>

using namespace testsupport;
using soak::ViolationKind;

namespace {

using Kinds = std::set<ViolationKind>;

std::string describe(const QList<soak::Violation>& violations) {
    std::string out;
    for (const soak::Violation& v : violations)
        out += "\n  " + soak::kindName(v.kind).toStdString() + ": " + v.detail.toStdString();
    return out.empty() ? std::string("\n  (none)") : out;
}

template <typename Db> class SoakCheckerTest : public DatabaseFixture<Db> {
protected:
    void prepare() override {
        soak::seedRestaurant(this->database->admin(), {12, 2, 7});
        seed = soak::captureSeed(this->database->admin(), soak::Branch, false);
    }

    void expectOnly(const Kinds& expected, const QSet<QString>& split = {}) {
        const QList<soak::Violation> found = soak::checkDatabase(this->database->admin(), seed, split);
        Kinds kinds;
        for (const soak::Violation& v : found)
            kinds.insert(v.kind);
        EXPECT_EQ(kinds, expected) << "violations reported:" << describe(found);
    }

    QStringList firstRow(const QString& sql) {
        const QStringList rows = this->database->rows(sql);
        if (rows.isEmpty())
            throw std::runtime_error("the seed has no row for: " + sql.toStdString());
        return rows.first().split(u'|');
    }

    // An item whose row alone is all there is of it: no surcharge, no group, no dependents.
    QStringList plainItem(const QString& extra = {}) {
        return firstRow(
            QStringLiteral("SELECT I.NRCOMANDA, I.NRPRODCOMVEN, I.NRVENDAREST FROM ITCOMANDAVEN I "
                           "WHERE I.VRACRCOMVEN = 0 AND I.NRSEQPRODCOM IS NULL %1"
                           "AND NOT EXISTS (SELECT 1 FROM ITCOMANDAEST E WHERE E.NRCOMANDA = I.NRCOMANDA "
                           "AND E.NRPRODCOMVEN = I.NRPRODCOMVEN) "
                           "AND NOT EXISTS (SELECT 1 FROM OBSITCOMANDAVEN O WHERE O.NRCOMANDA = I.NRCOMANDA "
                           "AND O.NRPRODCOMVEN = I.NRPRODCOMVEN) "
                           "AND NOT EXISTS (SELECT 1 FROM OBSITCOMANDAEST O WHERE O.NRCOMANDA = I.NRCOMANDA "
                           "AND O.NRPRODCOMVEN = I.NRPRODCOMVEN) ORDER BY 1, 2")
                .arg(extra));
    }

    QString where(const QStringList& item) {
        return QStringLiteral("WHERE NRCOMANDA = '%1' AND NRPRODCOMVEN = '%2'").arg(item[0], item[1]);
    }

    // Recreates a table as a copy of itself without its primary key, so that the database no longer
    // refuses the fault the checker must still see.
    void dropPrimaryKey(const QString& table) {
        this->database->exec(QStringLiteral("CREATE TABLE %1_COPY AS SELECT * FROM %1").arg(table));
        this->database->exec(QStringLiteral("DROP TABLE %1").arg(table));
        this->database->exec(QStringLiteral("ALTER TABLE %1_COPY RENAME TO %1").arg(table));
    }

    void track(const QString& sale, const QString& tab, const QString& item, const QString& toTab,
               const QString& toItem) {
        soak::insertRow(this->database->admin(), QStringLiteral("PEDIDOALT"),
                        {{QStringLiteral("CDFILIALOLD"), soak::Branch},
                         {QStringLiteral("NRVENDARESTOLD"), sale},
                         {QStringLiteral("NRCOMANDAOLD"), tab},
                         {QStringLiteral("NRPRODCOMVENOLD"), item},
                         {QStringLiteral("NRVENDAREST"), sale},
                         {QStringLiteral("NRCOMANDA"), toTab},
                         {QStringLiteral("NRPRODCOMVEN"), toItem},
                         {QStringLiteral("NRMESA"), QStringLiteral("0001")}});
    }

    soak::SeedRecord seed;
};

TYPED_TEST_SUITE(SoakCheckerTest, BothDatabases, DbKindNames);

TYPED_TEST(SoakCheckerTest, TheUntouchedSeedPasses) {
    EXPECT_GT(this->seed.items.size(), 40);
    EXPECT_GT(this->seed.surchargeTotal, 0);
    EXPECT_GT(this->database->count(QStringLiteral("ITCOMANDAEST")), 0);
    EXPECT_GT(this->database->count(QStringLiteral("OBSITCOMANDAEST")), 0);
    EXPECT_GT(this->database->count(QStringLiteral("ITCOMANDAVEN WHERE NRSEQPRODCOM IS NOT NULL")), 1);
    this->expectOnly({});
}

TYPED_TEST(SoakCheckerTest, ADeletedItemRowIsUnitsLost) {
    const QStringList item = this->plainItem();
    this->database->exec(QStringLiteral("DELETE FROM ITCOMANDAVEN ") + this->where(item));
    this->expectOnly({ViolationKind::UnitsNotConserved});
}

TYPED_TEST(SoakCheckerTest, ADoubledQuantityIsUnitsCreated) {
    const QStringList item = this->firstRow(QStringLiteral("SELECT NRCOMANDA, NRPRODCOMVEN FROM ITCOMANDAVEN "
                                                           "WHERE NRSEQPRODCOM IS NOT NULL ORDER BY 1, 2"));
    this->database->exec(QStringLiteral("UPDATE ITCOMANDAVEN SET QTPRODCOMVEN = QTPRODCOMVEN * 2 ") +
                         this->where(item));
    this->expectOnly({ViolationKind::UnitsNotConserved});
}

TYPED_TEST(SoakCheckerTest, AnItemAddedToAMissingTabIsOutsideAnySaleAndCreatesUnits) {
    soak::insertRow(this->database->admin(), QStringLiteral("ITCOMANDAVEN"),
                    {{QStringLiteral("CDFILIAL"), soak::Branch},
                     {QStringLiteral("NRVENDAREST"), QStringLiteral("V0001")},
                     {QStringLiteral("NRCOMANDA"), QStringLiteral("NOSUCH")},
                     {QStringLiteral("NRPRODCOMVEN"), QStringLiteral("000001")},
                     {QStringLiteral("CDPRODUTO"), QStringLiteral("P01")},
                     {QStringLiteral("QTPRODCOMVEN"), 1.0},
                     {QStringLiteral("VRACRCOMVEN"), 0.0}});
    this->expectOnly({ViolationKind::ItemOutsideOpenSale, ViolationKind::UnitsNotConserved});
}

TYPED_TEST(SoakCheckerTest, AnItemMovedIntoAMissingTabIsOutsideAnySale) {
    const QStringList item = this->plainItem();
    this->database->exec(QStringLiteral("UPDATE ITCOMANDAVEN SET NRCOMANDA = 'NOSUCH' ") + this->where(item));
    this->expectOnly({ViolationKind::ItemOutsideOpenSale});
}

TYPED_TEST(SoakCheckerTest, AnItemOfAClosedSaleIsOutsideAnOpenSale) {
    const QStringList item = this->plainItem();
    this->database->exec(
        QStringLiteral("UPDATE VENDAREST SET DTHRFECHMESA = CURRENT_TIMESTAMP WHERE NRVENDAREST = '%1'")
            .arg(item[2]));
    this->expectOnly({ViolationKind::ItemOutsideOpenSale});
}

TYPED_TEST(SoakCheckerTest, AZeroQuantityIsReported) {
    const QStringList item = this->plainItem();
    this->database->exec(
        QStringLiteral("INSERT INTO ITCOMANDAVEN (CDFILIAL, NRVENDAREST, NRCOMANDA, NRPRODCOMVEN, "
                       "CDPRODUTO, QTPRODCOMVEN, VRACRCOMVEN, DSENDEVENDA) "
                       "SELECT CDFILIAL, NRVENDAREST, NRCOMANDA, '000099', CDPRODUTO, 0, VRACRCOMVEN, "
                       "DSENDEVENDA FROM ITCOMANDAVEN ") +
        this->where(item));
    this->expectOnly({ViolationKind::NonPositiveQuantity});
}

TYPED_TEST(SoakCheckerTest, ADuplicateKeyIsReportedOnATableWithoutItsPrimaryKey) {
    const QStringList item = this->plainItem(QStringLiteral("AND I.QTPRODCOMVEN >= 2 "));
    this->dropPrimaryKey(QStringLiteral("ITCOMANDAVEN"));
    // two rows with one key that together hold what the one row held
    this->database->exec(QStringLiteral("INSERT INTO ITCOMANDAVEN SELECT * FROM ITCOMANDAVEN ") +
                         this->where(item));
    this->database->exec(QStringLiteral("UPDATE ITCOMANDAVEN SET QTPRODCOMVEN = QTPRODCOMVEN / 2 ") +
                         this->where(item));
    ASSERT_EQ(this->database->count(QStringLiteral("ITCOMANDAVEN ") + this->where(item)), 2);
    this->expectOnly({ViolationKind::DuplicateItemKey});
}

TYPED_TEST(SoakCheckerTest, AComponentWithoutItsItemIsReported) {
    const QStringList item = this->plainItem();
    soak::insertRow(this->database->admin(), QStringLiteral("ITCOMANDAEST"),
                    {{QStringLiteral("CDFILIAL"), soak::Branch},
                     {QStringLiteral("NRVENDAREST"), item[2]},
                     {QStringLiteral("NRCOMANDA"), item[0]},
                     {QStringLiteral("NRPRODCOMVEN"), QStringLiteral("000099")},
                     {QStringLiteral("CDPRODUTO"), QStringLiteral("C01")},
                     {QStringLiteral("QTPROCOMEST"), 1.0},
                     {QStringLiteral("VRPRECCOMEST"), 2.0}});
    this->expectOnly({ViolationKind::ComponentWithoutItem});
}

TYPED_TEST(SoakCheckerTest, AnObservationWithoutItsItemIsReported) {
    const QStringList item = this->plainItem();
    soak::insertRow(this->database->admin(), QStringLiteral("OBSITCOMANDAVEN"),
                    {{QStringLiteral("CDFILIAL"), soak::Branch},
                     {QStringLiteral("NRVENDAREST"), item[2]},
                     {QStringLiteral("NRCOMANDA"), item[0]},
                     {QStringLiteral("NRPRODCOMVEN"), QStringLiteral("000099")},
                     {QStringLiteral("CDGRPOCOR"), QStringLiteral("01")},
                     {QStringLiteral("CDOCORR"), QStringLiteral("11")}});
    this->expectOnly({ViolationKind::ObservationWithoutItem});
}

TYPED_TEST(SoakCheckerTest, AnObservationLeftBehindByAMoveIsHistoryNotAnOrphan) {
    const QStringList item = this->plainItem();
    // 000077 moved on to the plain item, and its observation stayed where it was
    this->track(item[2], item[0], QStringLiteral("000077"), item[0], item[1]);
    soak::insertRow(this->database->admin(), QStringLiteral("OBSITCOMANDAVEN"),
                    {{QStringLiteral("CDFILIAL"), soak::Branch},
                     {QStringLiteral("NRVENDAREST"), item[2]},
                     {QStringLiteral("NRCOMANDA"), item[0]},
                     {QStringLiteral("NRPRODCOMVEN"), QStringLiteral("000077")},
                     {QStringLiteral("CDGRPOCOR"), QStringLiteral("01")},
                     {QStringLiteral("CDOCORR"), QStringLiteral("11")}});
    this->expectOnly({});
}

TYPED_TEST(SoakCheckerTest, AnObservationOnAnItemThatNeverHadItIsReported) {
    const QStringList item = this->plainItem();
    soak::insertRow(this->database->admin(), QStringLiteral("OBSITCOMANDAVEN"),
                    {{QStringLiteral("CDFILIAL"), soak::Branch},
                     {QStringLiteral("NRVENDAREST"), item[2]},
                     {QStringLiteral("NRCOMANDA"), item[0]},
                     {QStringLiteral("NRPRODCOMVEN"), item[1]},
                     {QStringLiteral("CDGRPOCOR"), QStringLiteral("01")},
                     {QStringLiteral("CDOCORR"), QStringLiteral("11")}});
    this->expectOnly({ViolationKind::DependentsNotAsSeeded});
}

TYPED_TEST(SoakCheckerTest, AComponentWithAnotherDiscountOrAnObservationTwiceIsReported) {
    const QStringList component = this->firstRow(QStringLiteral(
        "SELECT NRCOMANDA, NRPRODCOMVEN FROM ITCOMANDAEST WHERE VRDESITCOMEST > 0 ORDER BY 1, 2"));
    for (const char* change : {"+ 1", "- 1"}) {
        this->database->exec(QStringLiteral("UPDATE ITCOMANDAEST SET VRDESITCOMEST = VRDESITCOMEST %1 ")
                                 .arg(QLatin1String(change)) +
                             this->where(component));
        this->expectOnly(QLatin1String(change) == QLatin1String("+ 1")
                             ? Kinds{ViolationKind::DependentsNotAsSeeded}
                             : Kinds{});
    }
    this->database->exec(QStringLiteral("INSERT INTO OBSITCOMANDAEST SELECT * FROM OBSITCOMANDAEST WHERE "
                                        "NRCOMANDA = (SELECT MIN(NRCOMANDA) FROM OBSITCOMANDAEST)"));
    this->expectOnly({ViolationKind::DependentsNotAsSeeded});
}

TYPED_TEST(SoakCheckerTest, AnItemThatBecameAnotherProductIsReported) {
    const QStringList item = this->plainItem();
    this->database->exec(
        QStringLiteral("UPDATE ITCOMANDAVEN SET CDPRODUTO = CASE WHEN CDPRODUTO = 'P01' THEN 'P02' "
                       "ELSE 'P01' END ") +
        this->where(item));
    this->expectOnly({ViolationKind::UnitsNotConserved, ViolationKind::ItemNotAsSeeded});
}

TYPED_TEST(SoakCheckerTest, AGroupMemberOnItsOwnIsReported) {
    const QStringList group =
        this->firstRow(QStringLiteral("SELECT NRCOMANDA, NRSEQPRODCOM FROM ITCOMANDAVEN "
                                      "WHERE NRSEQPRODCOM IS NOT NULL GROUP BY NRCOMANDA, "
                                      "NRSEQPRODCOM HAVING COUNT(*) >= 2 ORDER BY 1, 2"));
    const QString member = this->firstRow(QStringLiteral("SELECT MAX(NRPRODCOMVEN) FROM ITCOMANDAVEN WHERE "
                                                         "NRCOMANDA = '%1' AND NRSEQPRODCOM = '%2'")
                                              .arg(group[0], group[1]))[0];
    this->database->exec(
        QStringLiteral("UPDATE ITCOMANDAVEN SET NRSEQPRODCOM = '900' WHERE NRCOMANDA = '%1' AND "
                       "NRPRODCOMVEN = '%2'")
            .arg(group[0], member));
    this->expectOnly({ViolationKind::GroupBroken});
}

TYPED_TEST(SoakCheckerTest, OneTabsChangedTotalBreaksTheSumAndTheTab) {
    const QString tab = this->firstRow(QStringLiteral("SELECT MIN(NRCOMANDA) FROM COMANDAVEN"))[0];
    this->database->exec(
        QStringLiteral("UPDATE COMANDAVEN SET VRACRCOMANDA = VRACRCOMANDA + 1 WHERE NRCOMANDA = '%1'")
            .arg(tab));
    this->expectOnly({ViolationKind::SurchargeNotConserved, ViolationKind::TabSurchargeMismatch});
    // a split move may have touched the tab: its own total is free, the sum is not
    this->expectOnly({ViolationKind::SurchargeNotConserved}, {tab});
}

TYPED_TEST(SoakCheckerTest, ASurchargeMovedBetweenTabsWithoutItsItemBreaksBothTabs) {
    const QStringList tabs =
        this->database->rows(QStringLiteral("SELECT NRCOMANDA FROM COMANDAVEN ORDER BY 1"));
    ASSERT_GE(tabs.size(), 2);
    this->database->exec(
        QStringLiteral("UPDATE COMANDAVEN SET VRACRCOMANDA = VRACRCOMANDA + 1.5 WHERE NRCOMANDA = '%1'")
            .arg(tabs[0]));
    this->database->exec(
        QStringLiteral("UPDATE COMANDAVEN SET VRACRCOMANDA = VRACRCOMANDA - 1.5 WHERE NRCOMANDA = '%1'")
            .arg(tabs[1]));
    this->expectOnly({ViolationKind::TabSurchargeMismatch});
    this->expectOnly({ViolationKind::TabSurchargeMismatch}, {tabs[0]});
    // exactly what a split leaves behind
    this->expectOnly({}, {tabs[0], tabs[1]});
}

// However splits moved a tab's surcharges, its bill cannot hold less than none.
TYPED_TEST(SoakCheckerTest, ATabTotalBelowZeroIsReportedEvenWhereSplitsMovedSurcharges) {
    const QStringList tabs =
        this->database->rows(QStringLiteral("SELECT NRCOMANDA FROM COMANDAVEN ORDER BY 1"));
    ASSERT_GE(tabs.size(), 2);
    const double total =
        this->database
            ->scalar(
                QStringLiteral("SELECT VRACRCOMANDA FROM COMANDAVEN WHERE NRCOMANDA = '%1'").arg(tabs[1]))
            .toDouble();
    for (const QString& change : {QStringLiteral("+"), QStringLiteral("-")})
        this->database->exec(QStringLiteral("UPDATE COMANDAVEN SET VRACRCOMANDA = VRACRCOMANDA %1 %2 WHERE "
                                            "NRCOMANDA = '%3'")
                                 .arg(change)
                                 .arg(total + 1)
                                 .arg(change == QLatin1String("+") ? tabs[0] : tabs[1]));
    this->expectOnly({ViolationKind::TabSurchargeNegative}, {tabs[0], tabs[1]});
}

TYPED_TEST(SoakCheckerTest, ATrackingRowPointingNowhereIsReported) {
    const QStringList item = this->plainItem();
    this->track(item[2], item[0], QStringLiteral("000077"), item[0], QStringLiteral("000078"));
    this->expectOnly({ViolationKind::TrackingBroken});
}

TYPED_TEST(SoakCheckerTest, ATrackingChainEndingAtAnItemPassesAndACycleDoesNot) {
    const QStringList item = this->plainItem();
    // 000090 went to 000091, which went on to an existing item
    this->track(item[2], item[0], QStringLiteral("000090"), item[0], QStringLiteral("000091"));
    this->track(item[2], item[0], QStringLiteral("000091"), item[0], item[1]);
    this->expectOnly({});
    this->track(item[2], item[0], QStringLiteral("000092"), item[0], QStringLiteral("000093"));
    this->track(item[2], item[0], QStringLiteral("000093"), item[0], QStringLiteral("000092"));
    this->expectOnly({ViolationKind::TrackingBroken});
}

TYPED_TEST(SoakCheckerTest, TwoTrackingRowsForOneOldKeyAreReported) {
    const QStringList item = this->plainItem();
    this->dropPrimaryKey(QStringLiteral("PEDIDOALT"));
    this->track(item[2], item[0], QStringLiteral("000090"), item[0], item[1]);
    this->track(item[2], item[0], QStringLiteral("000090"), item[0], item[1]);
    this->expectOnly({ViolationKind::TrackingDuplicate});
}

TYPED_TEST(SoakCheckerTest, DeletedTabsKeepTheirTotalsInTheSum) {
    soak::installTabDeletionLog(this->database->admin());
    this->seed = soak::captureSeed(this->database->admin(), soak::Branch, true);
    // an empty tab goes with a total of nothing
    soak::insertRow(this->database->admin(), QStringLiteral("COMANDAVEN"),
                    {{QStringLiteral("CDFILIAL"), soak::Branch},
                     {QStringLiteral("NRVENDAREST"), QStringLiteral("V0001")},
                     {QStringLiteral("NRCOMANDA"), QStringLiteral("X1")},
                     {QStringLiteral("CDLOJA"), soak::Store},
                     {QStringLiteral("VRACRCOMANDA"), 0.0}});
    this->database->exec(QStringLiteral("DELETE FROM COMANDAVEN WHERE NRCOMANDA = 'X1'"));
    this->expectOnly({});
    // a tab deleted with its items leaves them outside any sale; its total stays counted
    const QString tab =
        this->firstRow(QStringLiteral("SELECT MIN(NRCOMANDA) FROM COMANDAVEN WHERE VRACRCOMANDA > 0"))[0];
    this->database->exec(QStringLiteral("DELETE FROM COMANDAVEN WHERE NRCOMANDA = '%1'").arg(tab));
    this->expectOnly({ViolationKind::ItemOutsideOpenSale});
}

TYPED_TEST(SoakCheckerTest, AnEmptyTabDeletedWithATotalIsReportedUnlessSplitTouchedIt) {
    soak::installTabDeletionLog(this->database->admin());
    this->seed = soak::captureSeed(this->database->admin(), soak::Branch, true);
    const QStringList tabs = this->database->rows(
        QStringLiteral("SELECT NRCOMANDA FROM COMANDAVEN WHERE VRACRCOMANDA >= 2 ORDER BY 1"));
    ASSERT_FALSE(tabs.isEmpty());
    // an empty tab that a split left holding 2 of the other tab's total, then freed
    soak::insertRow(this->database->admin(), QStringLiteral("COMANDAVEN"),
                    {{QStringLiteral("CDFILIAL"), soak::Branch},
                     {QStringLiteral("NRVENDAREST"), QStringLiteral("V0001")},
                     {QStringLiteral("NRCOMANDA"), QStringLiteral("X1")},
                     {QStringLiteral("CDLOJA"), soak::Store},
                     {QStringLiteral("VRACRCOMANDA"), 2.0}});
    this->database->exec(
        QStringLiteral("UPDATE COMANDAVEN SET VRACRCOMANDA = VRACRCOMANDA - 2 WHERE NRCOMANDA = '%1'")
            .arg(tabs[0]));
    this->database->exec(QStringLiteral("DELETE FROM COMANDAVEN WHERE NRCOMANDA = 'X1'"));
    this->expectOnly({}, {QStringLiteral("X1"), tabs[0]});
    this->expectOnly({ViolationKind::TabSurchargeMismatch}, {tabs[0]});
}

} // namespace
