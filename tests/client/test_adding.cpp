// Adding items to the destination list by key, through the real screen and the scripted dialogs.

#include "support/ScreenFixture.h"

#include <gtest/gtest.h>

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {

using Adding = ScreenTest;

TEST_F(Adding, ABlockedSeatMovesNothing) {
    f.sales().item(u"10"_s, u"000001"_s, u"P1"_s, 1, columns({{"NRLUGARMESA", "2"}, {"IDSTLUGARMESA", "S"}}));
    f.open();
    const QByteArray before = f.listsState();
    f.type(u'a');
    f.dialogs.answerSeats(true, u"3"_s, u"2"_s);
    f.type(u'd');
    const QString blocked =
        u"Operação bloqueada. A posição 2 da mesa está com a conta solicitada ou sendo recebida."_s;
    EXPECT_EQ(f.dialogs.messageTexts(3), QStringList({blocked, blocked}));
    EXPECT_EQ(f.listsState(), before);
    expectNoErrors();
}

TEST_F(Adding, OneUnitOrLessMovesAtOnceAndTheSeatIsAskedOnlyForANewRecord) {
    f.sales()
        .item(u"10"_s, u"000001"_s, u"P1"_s, 1, columns({{"NRLUGARMESA", "2"}}))
        .item(u"10"_s, u"000002"_s, u"P2"_s, 0.5)
        .item(u"10"_s, u"000003"_s, u"P3"_s, 5);
    f.open();
    f.dialogs.answerSeats(true, u"3"_s);
    add(u"10"_s, u"000001"_s);
    ASSERT_EQ(f.dialogs.seatChoices.size(), 1);
    const platform::ui::SeatChoiceCall& seat = f.dialogs.seatChoices[0];
    EXPECT_EQ(QStringList({seat.mode, seat.originSeat, seat.originTable, seat.destinationTable,
                           seat.destinationPeople}),
              QStringList({u"0"_s, u"2"_s, u"0045"_s, u"0046"_s, u"4"_s}));

    f.dialogs.answerSeats(true, u"4"_s);
    add(u"10"_s, u"000002"_s);
    // 4 of 5 first; the unit left then joins its destination record without a seat choice
    f.dialogs.answerKeypad(true, u"4"_s);
    f.dialogs.answerSeats(true, u"1"_s);
    add(u"10"_s, u"000003"_s);
    add(u"10"_s, u"000003"_s);
    EXPECT_EQ(f.dialogs.keypads.size(), 1) << "only the 5 asks for a quantity";
    EXPECT_EQ(destinationList(), QStringList({u"10/000001=1@3"_s, u"10/000002=0.5@4"_s, u"10/000003=5@1"_s}));
    EXPECT_TRUE(s().lists().origin().isEmpty());
    // the last origin item gone: the destination grid takes the focus, only removing is left
    EXPECT_TRUE(destinationGrid(s())->hasFocus());
    EXPECT_FALSE(button(s(), "sbtAdicionar")->isEnabled() || button(s(), "sbtAdicionarTodos")->isEnabled());
    EXPECT_TRUE(button(s(), "sbtRemover")->isEnabled() && button(s(), "sbtRemoverTodos")->isEnabled());
    expectNoErrors();
}

TEST_F(Adding, AQuantityIsAskedAndMovesInParts) {
    f.sales().item(u"10"_s, u"000001"_s, u"P1"_s, 5).item(u"10"_s, u"000002"_s, u"PESO"_s, 1.25);
    f.open();
    f.dialogs.answerKeypad(true, u"2"_s);
    f.dialogs.answerSeats(true, u"2"_s);
    add(u"10"_s, u"000001"_s);
    ASSERT_EQ(f.dialogs.keypads.size(), 1);
    const platform::ui::TecladoCall& k = f.dialogs.keypads[0];
    EXPECT_EQ(QStringList({k.caption, k.prompt, k.emptyText}),
              QStringList({u"Exclusão"_s, u"Informe a quantidade a ser transferida"_s,
                           u"Quantidade deve ser informada."_s}));
    EXPECT_EQ(std::tuple(k.maxLength, k.sixth, k.decimals, k.eighth, k.ninth, k.tenth),
              std::tuple(10, 0, 0, 0, 0, 0));
    EXPECT_EQ(originList(), QStringList({u"10/000001=3@1"_s, u"10/000002=1.25@1"_s}));
    EXPECT_EQ(destinationList(), QStringList({u"10/000001=2@2"_s}));
    EXPECT_EQ(s().lists().destination().field(u"QTORIGINAL"_s).asFloat(), 5);

    f.dialogs.answerKeypad(true, u"6"_s);
    add(u"10"_s, u"000001"_s);
    EXPECT_EQ(
        f.dialogs.messageTexts(3),
        QStringList({u"Operação bloqueada. A quantidade não pode ser maior que a de produtos na mesa ."_s}));
    f.dialogs.answerKeypad(true, u"3"_s);
    add(u"10"_s, u"000001"_s);
    EXPECT_EQ(destinationList(), QStringList({u"10/000001=5@2"_s}));

    // a weighed item offers decimals, and 0 takes all of it
    f.dialogs.answerKeypad(true, u"0"_s);
    f.dialogs.answerSeats(true, u"2"_s);
    add(u"10"_s, u"000002"_s);
    ASSERT_EQ(f.dialogs.keypads.size(), 4);
    EXPECT_EQ(f.dialogs.keypads[3].decimals, 1);
    EXPECT_EQ(destinationList(), QStringList({u"10/000001=5@2"_s, u"10/000002=1.25@2"_s}));
    EXPECT_TRUE(s().lists().origin().isEmpty());
    expectNoErrors();
}

TEST_F(Adding, CancelledOrUnreadableAnswersChangeNothing) {
    f.sales().item(u"10"_s, u"000001"_s, u"P1"_s, 5).item(u"10"_s, u"000002"_s, u"P2"_s, 1);
    f.open();
    const QByteArray before = f.listsState();
    f.dialogs.answerKeypad(false);
    add(u"10"_s, u"000001"_s);
    f.dialogs.answerKeypad(true, u"2"_s);
    f.dialogs.answerSeats(false);
    add(u"10"_s, u"000001"_s);
    f.dialogs.answerSeats(false);
    add(u"10"_s, u"000002"_s);
    f.dialogs.answerSeats(false);
    f.type(u'd');
    EXPECT_TRUE(f.dialogs.messages.isEmpty());
    expectNoErrors();
    EXPECT_EQ(f.listsState(), before);

    f.dialogs.answerKeypad(true, u"dois"_s);
    add(u"10"_s, u"000001"_s);
    EXPECT_EQ(f.dialogs.errorReports.size() + f.dialogs.messageTexts(3).size(), 1);
    EXPECT_EQ(f.listsState(), before);
}

TEST_F(Adding, AGroupMovesWholeWithTheOtherItemsOfItsTab) {
    f.sales()
        .item(u"10"_s, u"000001"_s, u"P1"_s, 2, columns({{"NRSEQPRODCOM", "1"}}))
        .item(u"10"_s, u"000002"_s, u"P2"_s, 1, columns({{"NRSEQPRODCOM", "1"}, {"NRLUGARMESA", "2"}}))
        .item(u"10"_s, u"000003"_s, u"P3"_s, 1, columns({{"NRSEQPRODCOM", "2"}}))
        .item(u"11"_s, u"000004"_s, u"P4"_s, 1, columns({{"NRSEQPRODCOM", "1"}}));
    f.open();
    f.dialogs.answerSeats(true, u"4"_s);
    add(u"10"_s, u"000001"_s);
    EXPECT_TRUE(f.dialogs.keypads.isEmpty());
    EXPECT_EQ(destinationList(), QStringList({u"10/000001=2@4"_s, u"10/000002=1@4"_s}));
    EXPECT_EQ(originList(), QStringList({u"10/000003=1@1"_s, u"11/000004=1@1"_s}));
    expectNoErrors();
}

TEST_F(Adding, AllItemsOfASeatJoinTheirDestinationRecords) {
    f.sales()
        .item(u"10"_s, u"000001"_s, u"P1"_s, 1)
        .item(u"10"_s, u"000002"_s, u"P2"_s, 3)
        .item(u"10"_s, u"000003"_s, u"P3"_s, 1, columns({{"NRLUGARMESA", "2"}}));
    f.open();
    // a seat without items moves nothing, yet removing is offered
    f.dialogs.answerSeats(true, u"6"_s, u"9"_s);
    f.type(u'd');
    EXPECT_TRUE(s().lists().destination().isEmpty());
    EXPECT_TRUE(button(s(), "sbtRemover")->isEnabled() && button(s(), "sbtRemoverTodos")->isEnabled());

    f.dialogs.answerKeypad(true, u"1"_s);
    f.dialogs.answerSeats(true, u"5"_s);
    add(u"10"_s, u"000002"_s);
    f.dialogs.answerSeats(true, u"6"_s, u"1"_s);
    f.type(u'd');
    ASSERT_EQ(f.dialogs.seatChoices.size(), 3);
    EXPECT_EQ(f.dialogs.seatChoices[2].mode, u"1"_s);
    EXPECT_EQ(destinationList(), QStringList({u"10/000001=1@6"_s, u"10/000002=3@5"_s}));
    EXPECT_EQ(originList(), QStringList({u"10/000003=1@2"_s}));
    EXPECT_TRUE(button(s(), "sbtAdicionar")->isEnabled());
    expectNoErrors();
}

// Item numbers are free per tab: the beer of tab 10 and the pizza of tab 11 are both item 000001.
TEST_F(Adding, TheSameItemNumberInTwoTabsStaysTwoItems) {
    f.sales()
        .product(u"BEER"_s, u"Cerveja"_s)
        .product(u"PIZZA"_s, u"Pizza"_s)
        .item(u"10"_s, u"000001"_s, u"BEER"_s, 3)
        .item(u"11"_s, u"000001"_s, u"PIZZA"_s, 1);
    f.open();
    f.dialogs.answerKeypad(true, u"1"_s);
    f.dialogs.answerSeats(true, u"2"_s);
    add(u"10"_s, u"000001"_s);
    f.dialogs.answerSeats(true, u"3"_s);
    add(u"11"_s, u"000001"_s);
    EXPECT_EQ(f.dialogs.seatChoices.size(), 2) << "the pizza has no destination record of its own yet";
    EXPECT_EQ(destinationList(), QStringList({u"10/000001=1@2"_s, u"11/000001=1@3"_s}));

    // the pizza goes back beside the rest of the beer, not into it
    remove(u"11"_s, u"000001"_s);
    EXPECT_EQ(originList(), QStringList({u"10/000001=2@1"_s, u"11/000001=1@1"_s}));
    selectItem(s().lists().origin(), u"11"_s, u"000001"_s);
    EXPECT_EQ(s().lists().origin().field(u"CDPRODUTO"_s).asString(), u"PIZZA"_s);

    f.dialogs.answerKeypad(true, u"2"_s);
    add(u"10"_s, u"000001"_s);
    EXPECT_EQ(destinationList(), QStringList({u"10/000001=3@2"_s}));
    EXPECT_EQ(s().lists().destination().field(u"CDPRODUTO"_s).asString(), u"BEER"_s);
    EXPECT_EQ(originList(), QStringList({u"11/000001=1@1"_s}));
    expectNoErrors();
}

// A failure halfway (a price the destination list cannot read, on the second of two items) must
// leave both lists as they were.
TEST_F(Adding, AFailureHalfwayUndoesTheWholeOperation) {
    f.sales()
        .item(u"10"_s, u"000001"_s, u"P1"_s, 1, columns({{"NRSEQPRODCOM", "1"}}))
        .item(u"10"_s, u"000002"_s, u"P2"_s, 1, columns({{"NRSEQPRODCOM", "1"}, {"VRPRECCOMVEN", 10.5}}))
        .item(u"10"_s, u"000003"_s, u"P3"_s, 1, columns({{"NRLUGARMESA", "2"}}))
        .item(u"10"_s, u"000004"_s, u"P4"_s, 1, columns({{"NRLUGARMESA", "2"}, {"VRPRECCOMVEN", 10.5}}))
        .item(u"10"_s, u"000005"_s, u"P5"_s, 1, columns({{"NRLUGARMESA", "3"}}));
    f.open();
    QLocale unreadable(QLocale::German, QLocale::Germany);
    unreadable.setNumberOptions(QLocale::RejectGroupSeparator);
    s().lists().destination().setLocale(unreadable);
    const QByteArray before = f.listsState();
    f.dialogs.answerSeats(true, u"4"_s);
    add(u"10"_s, u"000001"_s);
    EXPECT_EQ(f.listsState(), before);
    EXPECT_EQ(f.dialogs.errorReports.size(), 1) << "\"Adicionar\" leaves its failure to the framework";
    f.dialogs.answerSeats(true, u"4"_s, u"2"_s);
    f.type(u'd');
    EXPECT_EQ(f.listsState(), before);
    // "Adicionar Todos" shows its failure itself and hands it on silently: one display
    EXPECT_EQ(f.dialogs.messageTexts(3).size(), 1);
    EXPECT_EQ(f.dialogs.errorReports.size(), 1);
    // a record of a round price still moves: the failures above came halfway
    f.dialogs.answerSeats(true, u"4"_s);
    add(u"10"_s, u"000005"_s);
    EXPECT_EQ(destinationList(), QStringList({u"10/000005=1@4"_s}));
}

} // namespace
