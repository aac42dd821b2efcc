// Removing: the rules, with the operator's answers given as plain values.

#include "ListsTest.h"

#include <gtest/gtest.h>

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {

using Removing = ListsTest;

TEST_F(Removing, OneUnitOrLessGoesBackAtOnce) {
    item(u"10"_s, u"000001"_s, u"P1"_s, 1);
    item(u"10"_s, u"000002"_s, u"P2"_s, 0.5, columns({{"NRLUGARMESA", u"3"_s}}));
    item(u"10"_s, u"000003"_s, u"P3"_s, 1, columns({{"NRLUGARMESA", u"3"_s}}));
    EXPECT_TRUE(addSeat(u"5/3"_s));
    EXPECT_TRUE(add(u"10"_s, u"000001"_s, {u"5"_s}));
    EXPECT_TRUE(remove(u"10"_s, u"000001"_s));
    EXPECT_TRUE(remove(u"10"_s, u"000002"_s));
    EXPECT_EQ(originList(), QStringList({u"10/000001=1@1"_s, u"10/000002=0.5@3"_s}));
    EXPECT_TRUE(remove(u"10"_s, u"000003"_s));
    EXPECT_FALSE(lists.remove()) << "nothing left to remove";
    EXPECT_EQ(answers.asked, QStringList({u"seats whole"_s, u"seats one 1"_s}));
}

TEST_F(Removing, AQuantityIsAskedAndGoesBackToItsOriginRecord) {
    item(u"10"_s, u"000001"_s, u"P1"_s, 3, columns({{"NRLUGARMESA", u"2"_s}}));
    item(u"10"_s, u"000002"_s, u"P2"_s, 5);
    EXPECT_TRUE(add(u"10"_s, u"000001"_s, {u"3"_s, u"4"_s}));
    EXPECT_TRUE(add(u"10"_s, u"000002"_s, {u"3"_s, u"4"_s}));
    answers.asked.clear();
    const QByteArray before = state();
    for (const QString& typed : {u"0"_s, u"cancel"_s, u"4"_s, u"0.5"_s})
        EXPECT_FALSE(remove(u"10"_s, u"000001"_s, {typed}));
    EXPECT_EQ(state(), before);
    EXPECT_EQ(answers.asked, QStringList({u"quantity"_s, u"quantity"_s, u"quantity"_s, u"too much"_s,
                                          u"quantity"_s, u"too much"_s}));
    // no origin record left: a new one at the item's own seat; one left: it takes the quantity
    EXPECT_TRUE(remove(u"10"_s, u"000001"_s, {u"2"_s}));
    EXPECT_TRUE(remove(u"10"_s, u"000002"_s, {u"2"_s}));
    EXPECT_EQ(originList(), QStringList({u"10/000001=2@2"_s, u"10/000002=4@1"_s}));
    EXPECT_EQ(destinationList(), QStringList({u"10/000001=1@4"_s, u"10/000002=1@4"_s}));
    EXPECT_TRUE(add(u"10"_s, u"000002"_s, {u"3"_s}));
    EXPECT_TRUE(remove(u"10"_s, u"000002"_s, {u"4"_s}));
    EXPECT_EQ(originList(), QStringList({u"10/000001=2@2"_s, u"10/000002=5@1"_s}));
    EXPECT_TRUE(answers.queued.isEmpty());
}

TEST_F(Removing, AGroupGoesBackWithItsCompanionsOfTheSameTab) {
    item(u"10"_s, u"000001"_s, u"P1"_s, 2, columns({{"NRSEQPRODCOM", u"1"_s}}));
    item(u"10"_s, u"000002"_s, u"P2"_s, 1, columns({{"NRSEQPRODCOM", u"1"_s}, {"NRLUGARMESA", u"2"_s}}));
    item(u"10"_s, u"000003"_s, u"P3"_s, 1, columns({{"NRSEQPRODCOM", u"2"_s}}));
    item(u"11"_s, u"000001"_s, u"P4"_s, 1, columns({{"NRSEQPRODCOM", u"1"_s}}));
    EXPECT_TRUE(addSeat(u"5/1"_s));
    EXPECT_TRUE(addSeat(u"5/2"_s));
    ASSERT_TRUE(lists.origin().isEmpty());
    EXPECT_TRUE(remove(u"10"_s, u"000002"_s));
    EXPECT_EQ(originList(), QStringList({u"10/000001=2@1"_s, u"10/000002=1@2"_s}));
    EXPECT_EQ(destinationList(), QStringList({u"10/000003=1@5"_s, u"11/000001=1@5"_s}));
    EXPECT_EQ(answers.asked, QStringList({u"seats whole"_s, u"seats whole"_s}));
}

TEST_F(Removing, RemoveAllGivesPartsBackToTheRecordsLeft) {
    item(u"10"_s, u"000001"_s, u"P1"_s, 5);
    item(u"10"_s, u"000002"_s, u"P2"_s, 1);
    item(u"11"_s, u"000001"_s, u"P3"_s, 4);
    const QStringList opening = originList();
    EXPECT_TRUE(add(u"10"_s, u"000001"_s, {u"2"_s, u"4"_s}));
    EXPECT_TRUE(add(u"10"_s, u"000002"_s, {u"4"_s}));
    lists.removeAll();
    EXPECT_TRUE(lists.destination().isEmpty());
    EXPECT_EQ(originList(), opening);
}

// A failure halfway (a price the origin list cannot read, on the second record going back) must
// leave both lists as they were.
TEST_F(Removing, AFailureHalfwayUndoesTheWholeOperation) {
    item(u"10"_s, u"000001"_s, u"P1"_s, 1, columns({{"NRSEQPRODCOM", u"1"_s}}));
    item(u"10"_s, u"000002"_s, u"P2"_s, 1, columns({{"NRSEQPRODCOM", u"1"_s}}));
    EXPECT_TRUE(addSeat(u"5/1"_s));
    platform::Dataset& d = lists.destination();
    d.setRecNo(1);
    d.edit();
    d.field(u"VRPRECCOMVEN"_s).setFloat(10.5);
    d.post();
    QLocale unreadable(QLocale::German, QLocale::Germany);
    unreadable.setNumberOptions(QLocale::RejectGroupSeparator);
    lists.origin().setLocale(unreadable);
    const QByteArray before = state();
    EXPECT_THROW(remove(u"10"_s, textAt(d, 0, u"NRPRODCOMVEN"_s)), platform::Error);
    EXPECT_EQ(state(), before);
    EXPECT_THROW(lists.removeAll(), platform::Error);
    EXPECT_EQ(state(), before);
}

} // namespace
