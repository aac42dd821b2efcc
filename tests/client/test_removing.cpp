// Giving items back to the origin list by key, through the real screen and the scripted dialogs.

#include "support/ScreenFixture.h"

#include <gtest/gtest.h>

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {

using Removing = ScreenTest;

TEST_F(Removing, OneUnitOrLessGoesBackAtOnce) {
    f.sales()
        .item(u"10"_s, u"000001"_s, u"P1"_s, 1)
        .item(u"10"_s, u"000002"_s, u"P2"_s, 0.5, columns({{"NRLUGARMESA", "3"}}))
        .item(u"10"_s, u"000003"_s, u"P3"_s, 1, columns({{"NRLUGARMESA", "3"}}));
    f.open();
    f.dialogs.answerSeats(true, u"5"_s, u"3"_s);
    f.type(u'd');
    f.dialogs.answerSeats(true, u"5"_s);
    add(u"10"_s, u"000001"_s);
    remove(u"10"_s, u"000001"_s);
    remove(u"10"_s, u"000002"_s);
    EXPECT_TRUE(f.dialogs.keypads.isEmpty());
    EXPECT_EQ(originList(), QStringList({u"10/000001=1@1"_s, u"10/000002=0.5@3"_s}));

    // the destination list emptied: the origin grid takes the focus on its first record
    s().lists().origin().last();
    remove(u"10"_s, u"000003"_s);
    EXPECT_TRUE(originGrid(s())->hasFocus());
    EXPECT_EQ(s().lists().origin().recNo(), 0);
    EXPECT_TRUE(button(s(), "sbtAdicionar")->isEnabled() && button(s(), "sbtAdicionarTodos")->isEnabled());
    EXPECT_FALSE(button(s(), "sbtRemover")->isEnabled() || button(s(), "sbtRemoverTodos")->isEnabled());
    expectNoErrors();
}

TEST_F(Removing, AQuantityIsAskedAndGoesBackToItsOriginRecord) {
    f.sales()
        .item(u"10"_s, u"000001"_s, u"P1"_s, 3, columns({{"NRLUGARMESA", "2"}}))
        .item(u"10"_s, u"000002"_s, u"P2"_s, 5);
    f.open();
    for (const QString& item : {u"000001"_s, u"000002"_s}) {
        f.dialogs.answerKeypad(true, u"3"_s);
        f.dialogs.answerSeats(true, u"4"_s);
        add(u"10"_s, item);
    }
    const QByteArray before = f.listsState();
    for (const QString& typed : {u"0"_s, QString(), u"4"_s, u"0.5"_s}) {
        f.dialogs.answerKeypad(!typed.isNull(), typed);
        remove(u"10"_s, u"000001"_s);
    }
    EXPECT_EQ(f.listsState(), before);
    const QString tooMuch =
        u"Operação bloqueada. A quantidade não pode ser maior que a de produtos na mesa ."_s;
    EXPECT_EQ(f.dialogs.messageTexts(3), QStringList({tooMuch, tooMuch}));
    ASSERT_EQ(f.dialogs.keypads.size(), 6);
    EXPECT_EQ(f.dialogs.keypads[2].prompt, u"Informe a quantidade a ser transferida"_s);
    EXPECT_EQ(f.dialogs.keypads[2].decimals, 0);

    // no origin record left: a new one at the item's own seat; one left: it takes the quantity
    f.dialogs.answerKeypad(true, u"2"_s);
    remove(u"10"_s, u"000001"_s);
    f.dialogs.answerKeypad(true, u"2"_s);
    remove(u"10"_s, u"000002"_s);
    EXPECT_EQ(originList(), QStringList({u"10/000001=2@2"_s, u"10/000002=4@1"_s}));
    EXPECT_EQ(destinationList(), QStringList({u"10/000001=1@4"_s, u"10/000002=1@4"_s}));

    f.dialogs.answerKeypad(true, u"3"_s);
    add(u"10"_s, u"000002"_s);
    f.dialogs.answerKeypad(true, u"4"_s);
    remove(u"10"_s, u"000002"_s);
    EXPECT_EQ(originList(), QStringList({u"10/000001=2@2"_s, u"10/000002=5@1"_s}));
    expectNoErrors();
}

TEST_F(Removing, AGroupGoesBackWithItsCompanionsOfTheSameTab) {
    f.sales()
        .item(u"10"_s, u"000001"_s, u"P1"_s, 2, columns({{"NRSEQPRODCOM", "1"}}))
        .item(u"10"_s, u"000002"_s, u"P2"_s, 1, columns({{"NRSEQPRODCOM", "1"}, {"NRLUGARMESA", "2"}}))
        .item(u"10"_s, u"000003"_s, u"P3"_s, 1, columns({{"NRSEQPRODCOM", "2"}}))
        .item(u"11"_s, u"000001"_s, u"P4"_s, 1, columns({{"NRSEQPRODCOM", "1"}}));
    f.open();
    for (const QString& seat : {u"1"_s, u"2"_s}) {
        f.dialogs.answerSeats(true, u"5"_s, seat);
        f.type(u'd');
    }
    ASSERT_TRUE(s().lists().origin().isEmpty());
    remove(u"10"_s, u"000002"_s);
    EXPECT_TRUE(f.dialogs.keypads.isEmpty());
    EXPECT_EQ(originList(), QStringList({u"10/000001=2@1"_s, u"10/000002=1@2"_s}));
    EXPECT_EQ(destinationList(), QStringList({u"10/000003=1@5"_s, u"11/000001=1@5"_s}));
    expectNoErrors();
}

TEST_F(Removing, RemoveAllGivesPartsBackToTheRecordsLeft) {
    f.sales()
        .item(u"10"_s, u"000001"_s, u"P1"_s, 5)
        .item(u"10"_s, u"000002"_s, u"P2"_s, 1)
        .item(u"11"_s, u"000001"_s, u"P3"_s, 4);
    f.open();
    const QStringList opening = originList();
    f.dialogs.answerKeypad(true, u"2"_s);
    f.dialogs.answerSeats(true, u"4"_s);
    add(u"10"_s, u"000001"_s);
    f.dialogs.answerSeats(true, u"4"_s);
    add(u"10"_s, u"000002"_s);
    destinationGrid(s())->setFocus();
    f.type(u'r');
    EXPECT_TRUE(s().lists().destination().isEmpty());
    EXPECT_EQ(originList(), opening);
    EXPECT_TRUE(button(s(), "sbtAdicionar")->isEnabled() && button(s(), "sbtAdicionarTodos")->isEnabled());
    EXPECT_FALSE(button(s(), "sbtRemover")->isEnabled() || button(s(), "sbtRemoverTodos")->isEnabled());
    expectNoErrors();
}

// A failure halfway (a price the origin list cannot read, on the second record going back) must
// leave both lists as they were.
TEST_F(Removing, AFailureHalfwayUndoesTheWholeOperation) {
    f.sales()
        .item(u"10"_s, u"000001"_s, u"P1"_s, 1, columns({{"NRSEQPRODCOM", "1"}}))
        .item(u"10"_s, u"000002"_s, u"P2"_s, 1, columns({{"NRSEQPRODCOM", "1"}}));
    f.open();
    f.dialogs.answerSeats(true, u"5"_s, u"1"_s);
    f.type(u'd');
    platform::Dataset& d = s().lists().destination();
    d.setRecNo(1);
    d.edit();
    d.field(u"VRPRECCOMVEN"_s).setFloat(10.5);
    d.post();
    QLocale unreadable(QLocale::German, QLocale::Germany);
    unreadable.setNumberOptions(QLocale::RejectGroupSeparator);
    s().lists().origin().setLocale(unreadable);
    const QByteArray before = f.listsState();
    remove(u"10"_s, textAt(d, 0, u"NRPRODCOMVEN"_s));
    EXPECT_EQ(f.listsState(), before);
    EXPECT_EQ(f.dialogs.errorReports.size(), 1) << "\"Remover\" leaves its failure to the framework";
    f.type(u'r');
    EXPECT_EQ(f.listsState(), before);
    // "Remover Todos" shows its failure itself and hands it on silently: one display
    EXPECT_EQ(f.dialogs.messageTexts(3).size(), 1);
    EXPECT_EQ(f.dialogs.errorReports.size(), 1);
}

} // namespace
