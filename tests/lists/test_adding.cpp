// Adding: the rules, with the operator's answers given as plain values.

#include "ListsTest.h"

#include <gtest/gtest.h>

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {

using Adding = ListsTest;

TEST_F(Adding, ABlockedSeatMovesNothing) {
    item(u"10"_s, u"000001"_s, u"P1"_s, 1, columns({{"NRLUGARMESA", u"2"_s}, {"IDSTLUGARMESA", u"S"_s}}));
    const QByteArray before = state();
    EXPECT_FALSE(add(u"10"_s, u"000001"_s));
    EXPECT_FALSE(addSeat(u"3/2"_s));
    EXPECT_EQ(answers.asked, QStringList({u"blocked 2"_s, u"seats whole"_s, u"blocked 2"_s}));
    EXPECT_EQ(state(), before);
}

TEST_F(Adding, OneUnitOrLessMovesAtOnceAndTheSeatIsAskedOnlyForANewRecord) {
    item(u"10"_s, u"000001"_s, u"P1"_s, 1, columns({{"NRLUGARMESA", u"2"_s}}));
    item(u"10"_s, u"000002"_s, u"P2"_s, 0.5);
    item(u"10"_s, u"000003"_s, u"P3"_s, 5);
    EXPECT_TRUE(add(u"10"_s, u"000001"_s, {u"3"_s}));
    EXPECT_TRUE(add(u"10"_s, u"000002"_s, {u"4"_s}));
    // 4 of 5 first; the unit left then joins its destination record without a seat choice
    EXPECT_TRUE(add(u"10"_s, u"000003"_s, {u"4"_s, u"1"_s}));
    EXPECT_TRUE(add(u"10"_s, u"000003"_s));
    EXPECT_EQ(answers.asked,
              QStringList({u"seats one 2"_s, u"seats one 1"_s, u"quantity"_s, u"seats one 1"_s}));
    EXPECT_EQ(destinationList(), QStringList({u"10/000001=1@3"_s, u"10/000002=0.5@4"_s, u"10/000003=5@1"_s}));
    EXPECT_TRUE(lists.origin().isEmpty());
}

TEST_F(Adding, AQuantityIsAskedAndMovesInParts) {
    item(u"10"_s, u"000001"_s, u"P1"_s, 5);
    item(u"10"_s, u"000002"_s, u"PESO"_s, 1.25);
    EXPECT_TRUE(add(u"10"_s, u"000001"_s, {u"2"_s, u"2"_s}));
    EXPECT_EQ(originList(), QStringList({u"10/000001=3@1"_s, u"10/000002=1.25@1"_s}));
    EXPECT_EQ(destinationList(), QStringList({u"10/000001=2@2"_s}));
    EXPECT_EQ(lists.destination().field(u"QTORIGINAL"_s).asFloat(), 5);
    EXPECT_FALSE(add(u"10"_s, u"000001"_s, {u"6"_s}));
    EXPECT_TRUE(add(u"10"_s, u"000001"_s, {u"3"_s}));
    EXPECT_EQ(destinationList(), QStringList({u"10/000001=5@2"_s}));
    // a weighed item offers decimals, and 0 takes all of it
    EXPECT_TRUE(add(u"10"_s, u"000002"_s, {u"0"_s, u"2"_s}));
    EXPECT_EQ(answers.asked, QStringList({u"quantity"_s, u"seats one 1"_s, u"quantity"_s, u"too much"_s,
                                          u"quantity"_s, u"quantity decimals"_s, u"seats one 1"_s}));
    EXPECT_EQ(destinationList(), QStringList({u"10/000001=5@2"_s, u"10/000002=1.25@2"_s}));
    EXPECT_TRUE(lists.origin().isEmpty());
}

TEST_F(Adding, CancelledOrUnreadableAnswersChangeNothing) {
    item(u"10"_s, u"000001"_s, u"P1"_s, 5);
    item(u"10"_s, u"000002"_s, u"P2"_s, 1);
    const QByteArray before = state();
    EXPECT_FALSE(add(u"10"_s, u"000001"_s, {u"cancel"_s}));
    EXPECT_FALSE(add(u"10"_s, u"000001"_s, {u"2"_s, u"cancel"_s}));
    EXPECT_FALSE(add(u"10"_s, u"000002"_s, {u"cancel"_s}));
    EXPECT_FALSE(addSeat(u"cancel"_s));
    EXPECT_FALSE(add(u"10"_s, u"000001"_s, {u"0"_s})) << "all of it only on a scale";
    EXPECT_EQ(state(), before);
    EXPECT_THROW(add(u"10"_s, u"000001"_s, {u"dois"_s}), platform::Error);
    EXPECT_EQ(state(), before);
    EXPECT_FALSE(answers.asked.contains(u"too much"_s));
}

TEST_F(Adding, AGroupMovesWholeWithTheOtherItemsOfItsTab) {
    item(u"10"_s, u"000001"_s, u"P1"_s, 2, columns({{"NRSEQPRODCOM", u"1"_s}}));
    item(u"10"_s, u"000002"_s, u"P2"_s, 1, columns({{"NRSEQPRODCOM", u"1"_s}, {"NRLUGARMESA", u"2"_s}}));
    item(u"10"_s, u"000003"_s, u"P3"_s, 1, columns({{"NRSEQPRODCOM", u"2"_s}}));
    item(u"11"_s, u"000004"_s, u"P4"_s, 1, columns({{"NRSEQPRODCOM", u"1"_s}}));
    EXPECT_TRUE(add(u"10"_s, u"000001"_s, {u"4"_s}));
    EXPECT_EQ(answers.asked, QStringList({u"seats one 1"_s}));
    EXPECT_EQ(destinationList(), QStringList({u"10/000001=2@4"_s, u"10/000002=1@4"_s}));
    EXPECT_EQ(originList(), QStringList({u"10/000003=1@1"_s, u"11/000004=1@1"_s}));
}

// Every item of the seat gets a record at the seat just chosen, also one already partly at another seat;
// each record of an item says what the whole item holds.
TEST_F(Adding, AllItemsOfASeatGoToTheSeatJustChosen) {
    item(u"10"_s, u"000001"_s, u"P1"_s, 1);
    item(u"10"_s, u"000002"_s, u"P2"_s, 3);
    item(u"10"_s, u"000003"_s, u"P3"_s, 1, columns({{"NRLUGARMESA", u"2"_s}}));
    EXPECT_TRUE(addSeat(u"6/9"_s)); // a seat without items moves nothing
    EXPECT_TRUE(lists.destination().isEmpty());
    EXPECT_TRUE(add(u"10"_s, u"000002"_s, {u"1"_s, u"5"_s}));
    EXPECT_TRUE(addSeat(u"6/1"_s));
    EXPECT_EQ(destinationList(), QStringList({u"10/000001=1@6"_s, u"10/000002=1@5"_s, u"10/000002=2@6"_s}));
    EXPECT_EQ(originList(), QStringList({u"10/000003=1@2"_s}));
    platform::Dataset& d = lists.destination();
    for (d.first(); !d.eof(); d.next())
        EXPECT_EQ(d.field(u"QTORIGINAL"_s).asFloat(),
                  d.field(u"NRPRODCOMVEN"_s).asString() == u"000002"_s ? 3 : 1);
}

// Item numbers are free per tab: the beer of tab 10 and the pizza of tab 11 are both item 000001.
TEST_F(Adding, TheSameItemNumberInTwoTabsStaysTwoItems) {
    item(u"10"_s, u"000001"_s, u"BEER"_s, 3);
    item(u"11"_s, u"000001"_s, u"PIZZA"_s, 1);
    EXPECT_TRUE(add(u"10"_s, u"000001"_s, {u"1"_s, u"2"_s}));
    EXPECT_TRUE(add(u"11"_s, u"000001"_s, {u"3"_s})); // the pizza has no destination record of its own yet
    EXPECT_EQ(destinationList(), QStringList({u"10/000001=1@2"_s, u"11/000001=1@3"_s}));
    // the pizza goes back beside the rest of the beer, not into it
    EXPECT_TRUE(remove(u"11"_s, u"000001"_s));
    EXPECT_EQ(originList(), QStringList({u"10/000001=2@1"_s, u"11/000001=1@1"_s}));
    selectItem(lists.origin(), u"11"_s, u"000001"_s);
    EXPECT_EQ(lists.origin().field(u"CDPRODUTO"_s).asString(), u"PIZZA"_s);
    EXPECT_TRUE(add(u"10"_s, u"000001"_s, {u"2"_s}));
    EXPECT_EQ(destinationList(), QStringList({u"10/000001=3@2"_s}));
    EXPECT_EQ(lists.destination().field(u"CDPRODUTO"_s).asString(), u"BEER"_s);
    EXPECT_EQ(originList(), QStringList({u"11/000001=1@1"_s}));
    EXPECT_TRUE(answers.queued.isEmpty());
}

// A failure halfway (a price the destination list cannot read, on the second of two items) must
// leave both lists as they were.
TEST_F(Adding, AFailureHalfwayUndoesTheWholeOperation) {
    item(u"10"_s, u"000001"_s, u"P1"_s, 1, columns({{"NRSEQPRODCOM", u"1"_s}}));
    item(u"10"_s, u"000002"_s, u"P2"_s, 1, columns({{"NRSEQPRODCOM", u"1"_s}, {"VRPRECCOMVEN", 10.5}}));
    item(u"10"_s, u"000003"_s, u"P3"_s, 1, columns({{"NRLUGARMESA", u"2"_s}}));
    item(u"10"_s, u"000004"_s, u"P4"_s, 1, columns({{"NRLUGARMESA", u"2"_s}, {"VRPRECCOMVEN", 10.5}}));
    item(u"10"_s, u"000005"_s, u"P5"_s, 1, columns({{"NRLUGARMESA", u"3"_s}}));
    QLocale unreadable(QLocale::German, QLocale::Germany);
    unreadable.setNumberOptions(QLocale::RejectGroupSeparator);
    lists.destination().setLocale(unreadable);
    const QByteArray before = state();
    EXPECT_THROW(add(u"10"_s, u"000001"_s, {u"4"_s}), platform::Error);
    EXPECT_EQ(state(), before);
    EXPECT_THROW(addSeat(u"4/2"_s), platform::Error);
    EXPECT_EQ(state(), before);
    EXPECT_FALSE(lists.origin().filtered());
    // a record of a round price still moves: the failures above came halfway
    EXPECT_TRUE(add(u"10"_s, u"000005"_s, {u"4"_s}));
    EXPECT_EQ(destinationList(), QStringList({u"10/000005=1@4"_s}));
}

} // namespace
