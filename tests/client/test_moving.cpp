// Moving items on the screen: the dialogs it opens and with what, and how a failure is shown. What moves
// where is the lists' own tests; the keys, buttons and focus are the keys' tests.

#include "support/ScreenFixture.h"

#include <gtest/gtest.h>

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {

using MovingItems = ScreenTest;

TEST_F(MovingItems, TheDialogsTakeTheScreensTextsAndValues) {
    f.sales()
        .item(u"10"_s, u"000001"_s, u"P1"_s, 1, columns({{"NRLUGARMESA", u"2"_s}, {"IDSTLUGARMESA", u"S"_s}}))
        .item(u"10"_s, u"000002"_s, u"P2"_s, 5, columns({{"NRLUGARMESA", u"3"_s}}))
        .item(u"10"_s, u"000003"_s, u"PESO"_s, 1.25);
    f.open();
    add(u"10"_s, u"000001"_s);
    f.dialogs.answerSeats(true, u"3"_s, u"2"_s);
    f.type(u'd');
    f.dialogs.answerKeypad(true, u"6"_s);
    add(u"10"_s, u"000002"_s);
    f.dialogs.answerKeypad(true, u"2"_s);
    f.dialogs.answerSeats(true, u"4"_s);
    add(u"10"_s, u"000002"_s);
    f.dialogs.answerKeypad(true, u"0"_s);
    f.dialogs.answerSeats(true, u"4"_s);
    add(u"10"_s, u"000003"_s);
    f.dialogs.answerKeypad(true, u"2"_s);
    remove(u"10"_s, u"000003"_s);

    const QString blocked =
        u"Operação bloqueada. A posição 2 da mesa está com a conta solicitada ou sendo recebida."_s;
    const QString tooMuch =
        u"Operação bloqueada. A quantidade não pode ser maior que a de produtos na mesa ."_s;
    EXPECT_EQ(f.dialogs.messageTexts(3), QStringList({blocked, blocked, tooMuch, tooMuch}));
    ASSERT_EQ(f.dialogs.keypads.size(), 4);
    const auto& k = f.dialogs.keypads[0];
    EXPECT_EQ(QStringList({k.caption, k.prompt, k.emptyText}),
              QStringList({u"Exclusão"_s, u"Informe a quantidade a ser transferida"_s,
                           u"Quantidade deve ser informada."_s}));
    EXPECT_EQ(std::tuple(k.maxLength, k.decimals, k.reserved), std::tuple(10, 0, std::array{0, 0, 0, 0}));
    EXPECT_EQ(f.dialogs.keypads[2].decimals, 1) << "a weighed item offers decimals";
    EXPECT_EQ(f.dialogs.keypads[3].decimals, 0) << "not when it goes back";
    EXPECT_EQ(f.dialogs.keypads[3].prompt, k.prompt);
    ASSERT_EQ(f.dialogs.seatChoices.size(), 3);
    EXPECT_EQ(f.dialogs.seatChoices[0].mode, u"1"_s);
    const auto& seat = f.dialogs.seatChoices[1];
    EXPECT_EQ(QStringList({seat.mode, seat.originSeat, seat.originTable, seat.destinationTable,
                           seat.destinationPeople}),
              QStringList({u"0"_s, u"3"_s, u"0045"_s, u"0046"_s, u"4"_s}));
    EXPECT_EQ(destinationList(), QStringList({u"10/000002=2@4"_s, u"10/000003=1.25@4"_s}));
    expectNoErrors();
}

// A failure halfway (a price one list cannot read, on the second of two items): the lists are put back,
// the grids show them so, and the failure is shown once.
TEST_F(MovingItems, AFailureIsShownOnceAndTheGridsShowTheListsPutBack) {
    f.sales()
        .item(u"10"_s, u"000001"_s, u"P1"_s, 1, columns({{"NRSEQPRODCOM", u"1"_s}}))
        .item(u"10"_s, u"000002"_s, u"P2"_s, 1, columns({{"NRSEQPRODCOM", u"1"_s}, {"VRPRECCOMVEN", 10.5}}))
        .item(u"10"_s, u"000003"_s, u"P3"_s, 1, columns({{"NRLUGARMESA", u"2"_s}}))
        .item(u"10"_s, u"000004"_s, u"P4"_s, 1, columns({{"NRLUGARMESA", u"2"_s}, {"VRPRECCOMVEN", 10.5}}));
    f.open();
    platform::Dataset &origin = s().lists().origin(), &destination = s().lists().destination();
    const QLocale readable = destination.locale();
    QLocale unreadable(QLocale::German, QLocale::Germany);
    unreadable.setNumberOptions(QLocale::RejectGroupSeparator);
    auto expectPutBack = [&](const QByteArray& before) {
        EXPECT_EQ(f.listsState(), before);
        EXPECT_EQ(originGrid(s())->model()->rowCount(), origin.recordCount());
        EXPECT_EQ(destinationGrid(s())->model()->rowCount(), destination.recordCount());
    };
    destination.setLocale(unreadable);
    QByteArray before = f.listsState();
    f.dialogs.answerSeats(true, u"4"_s);
    add(u"10"_s, u"000001"_s);
    expectPutBack(before);
    EXPECT_EQ(f.dialogs.errorReports.size(), 1) << "\"Adicionar\" leaves its failure to the framework";
    f.dialogs.answerSeats(true, u"4"_s, u"2"_s);
    f.type(u'd');
    expectPutBack(before);
    // "Adicionar Todos" shows its failure itself and hands it on silently: one display
    EXPECT_EQ(f.dialogs.messageTexts(3).size(), 1);
    EXPECT_EQ(f.dialogs.errorReports.size(), 1);

    destination.setLocale(readable);
    f.dialogs.answerSeats(true, u"4"_s);
    add(u"10"_s, u"000001"_s);
    origin.setLocale(unreadable);
    before = f.listsState();
    remove(u"10"_s, u"000001"_s);
    expectPutBack(before);
    EXPECT_EQ(f.dialogs.errorReports.size(), 2) << "\"Remover\" leaves its failure to the framework";
    f.type(u'r');
    expectPutBack(before);
    EXPECT_EQ(f.dialogs.messageTexts(3).size(), 2);
    EXPECT_EQ(f.dialogs.errorReports.size(), 2);
}

} // namespace
