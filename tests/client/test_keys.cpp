// The screen's keys, operation buttons and navigation buttons, sent as the keyboard and mouse would.

#include "support/ScreenFixture.h"

#include "client/Cli_Mvt04215.h"

#include <QApplication>
#include <QCloseEvent>
#include <QTest>
#include <gtest/gtest.h>

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {

// Four single units of tab 10, the last one at seat 2, the others at seat 1.
class Keys : public ScreenTest {
protected:
    void SetUp() override {
        for (int i = 1; i <= 4; ++i)
            f.sales().item(u"10"_s, u"00000%1"_s.arg(i), u"P%1"_s.arg(i), 1,
                           columns({{"NRLUGARMESA", i == 4 ? u"2"_s : u"1"_s}}));
        f.open();
    }
    // Which of Adicionar, Adicionar Todos, Remover and Remover Todos are enabled, as 1 and 0.
    QString enabled() {
        QString out;
        for (const char* name : {"sbtAdicionar", "sbtAdicionarTodos", "sbtRemover", "sbtRemoverTodos"})
            out += button(s(), name)->isEnabled() ? u'1' : u'0';
        return out;
    }
};

TEST_F(Keys, OperationKeysActOnlyOnAListWithItemsAndTheButtonsAndFocusFollow) {
    EXPECT_EQ(enabled(), u"1100"_s);
    // nothing to remove yet: E and R do nothing, whichever grid has the focus
    for (QWidget* grid :
         {static_cast<QWidget*>(originGrid(s())), static_cast<QWidget*>(destinationGrid(s()))}) {
        grid->setFocus();
        for (QChar key : {u'e', u'E', u'r', u'R'})
            f.type(key);
    }
    EXPECT_TRUE(f.dialogs.log.isEmpty()) << f.dialogs.log.join(u'\n').toStdString();

    originGrid(s())->setFocus();
    // a seat without items moves nothing, yet removing is offered
    f.dialogs.answerSeats(true, u"6"_s, u"9"_s);
    f.type(u'd');
    EXPECT_EQ(enabled(), u"1111"_s);
    f.dialogs.answerSeats(true, u"2"_s);
    f.type(u'a');
    f.dialogs.answerSeats(true, u"2"_s);
    f.type(u'A');
    EXPECT_EQ(s().lists().destination().recordCount(), 2);
    f.dialogs.answerSeats(true, u"2"_s, u"1"_s);
    destinationGrid(s())->setFocus();
    f.type(u'D');
    EXPECT_EQ(s().lists().origin().recordCount(), 1);
    originGrid(s())->setFocus();
    f.dialogs.answerSeats(true, u"2"_s);
    f.type(u'a');
    // the last origin item gone: the destination grid takes the focus, only removing is left
    EXPECT_TRUE(destinationGrid(s())->hasFocus());
    EXPECT_EQ(enabled(), u"0011"_s);
    for (QChar key : {u'a', u'A', u'd', u'D'})
        f.type(key);
    EXPECT_EQ(f.dialogs.seatChoices.size(), 5) << "nothing left to add: A and D do nothing";

    f.type(u'e');
    f.type(u'E');
    EXPECT_EQ(s().lists().origin().recordCount(), 2);
    f.type(u'R');
    EXPECT_EQ(s().lists().origin().recordCount(), 4);
    EXPECT_EQ(enabled(), u"1100"_s);
    f.type(u'r');

    f.dialogs.answerSeats(true, u"2"_s);
    add(u"10"_s, u"000002"_s);
    s().lists().origin().last();
    remove(u"10"_s, u"000002"_s);
    // the destination list emptied: the origin grid takes the focus on its first record
    EXPECT_TRUE(originGrid(s())->hasFocus());
    EXPECT_EQ(s().lists().origin().recNo(), 0);
    EXPECT_EQ(enabled(), u"1100"_s);
    expectNoErrors();
}

TEST_F(Keys, EnterConfirmsEscapeLeavesF1ShowsTheFiscalMenuAltF4AndCtrlDeleteDoNothing) {
    f.press(Qt::Key_Return);
    destinationGrid(s())->setFocus();
    f.press(Qt::Key_Enter);
    const QString nothing = u"Não existem produtos para transferência."_s;
    EXPECT_EQ(f.dialogs.messageTexts(3), QStringList({nothing, nothing}));

    f.dialogs.answerSeats(true, u"2"_s);
    f.type(u'a');
    const QByteArray before = f.listsState();
    for (QWidget* grid :
         {static_cast<QWidget*>(originGrid(s())), static_cast<QWidget*>(destinationGrid(s()))}) {
        grid->setFocus();
        f.dialogs.answerQuestion(false);
        f.press(Qt::Key_Return);
        f.press(Qt::Key_Delete, Qt::ControlModifier);
    }
    const QString confirm = u"Deseja realmente realizar a transfêrencia ?"_s;
    EXPECT_EQ(f.dialogs.messageTexts(1), QStringList({confirm, confirm}));
    EXPECT_EQ(f.listsState(), before);

    f.press(Qt::Key_F1);
    EXPECT_EQ(f.dialogs.fiscalMenus, 1);
    f.press(Qt::Key_F4, Qt::AltModifier);
    EXPECT_TRUE(s().isVisible());
    f.press(Qt::Key_Escape);
    EXPECT_FALSE(s().isVisible());
    EXPECT_EQ(s().result(), QDialog::Rejected);
    expectNoErrors();
}

// A window manager turns Alt+F4 and its close button into a close request of the window: refused like
// the key. The host closing its windows, as its application does when it quits, closes the screen as
// Escape would, and the host's call returns.
TEST_F(Keys, AWindowManagersCloseRequestIsRefusedTheHostsCloseIsAnExit) {
    bool refused = false;
    const bool shown = f.runModal([&](Cli_Mvt04215::TfrmTrPosicao& screen) {
        QCloseEvent request; // as the window system delivers it, through the screen's window
        static_cast<QObject*>(screen.windowHandle())->event(&request);
        refused = screen.isVisible() && !request.isAccepted();
        QApplication::closeAllWindows();
        EXPECT_FALSE(screen.isVisible());
        EXPECT_EQ(screen.result(), QDialog::Rejected);
    });
    EXPECT_TRUE(shown);
    EXPECT_TRUE(refused);
    EXPECT_EQ(Cli_Mvt04215::frmTrPosicao, nullptr);
    EXPECT_TRUE(Cli_Mvt04215::boCria);
    expectNoErrors();
}

TEST_F(Keys, NavigationButtonsMoveTheListWhoseGridHasTheFocus) {
    for (int i = 0; i < 2; ++i) {
        f.dialogs.answerSeats(true, u"2"_s);
        f.type(u'a');
    }
    ASSERT_EQ(s().lists().origin().recordCount(), 2);
    ASSERT_EQ(s().lists().destination().recordCount(), 2);
    originGrid(s())->setFocus();
    s().lists().origin().first();
    s().lists().destination().first();
    QList<int> seen;
    for (auto* b : {button(s(), "sbtRolarBaixo"), button(s(), "sbtRolarCima"), button(s(), "sbtUltimo"),
                    button(s(), "sbtPrimeiro")}) {
        f.click(b);
        seen << s().lists().origin().recNo();
    }
    EXPECT_EQ(seen, QList<int>({1, 0, 1, 0}));
    EXPECT_EQ(s().lists().destination().recNo(), 0);
    EXPECT_TRUE(originGrid(s())->hasFocus());

    destinationGrid(s())->setFocus();
    seen.clear();
    for (auto* b : {button(s(), "sbtRolarBaixo"), button(s(), "sbtPrimeiro"), button(s(), "sbtUltimo"),
                    button(s(), "sbtRolarCima")}) {
        f.click(b);
        seen << s().lists().destination().recNo();
    }
    EXPECT_EQ(seen, QList<int>({1, 0, 1, 0}));
    EXPECT_EQ(s().lists().origin().recNo(), 0);
    EXPECT_TRUE(destinationGrid(s())->hasFocus());
}

// A letter is the operation's key and nothing else: the grid must not also search its rows for it.
// The operator picked a name starting with "A" in a blocked seat; the refusal must leave that item
// current, or the next "a" adds the next "A..." item, which nobody chose.
TEST(KeysOnNames, ARefusedKeyLeavesTheCursorOnTheItem) {
    ScreenFixture f;
    f.writeParameters();
    f.sales()
        .product(u"AGUA"_s, u"Agua"_s)
        .product(u"AGUAG"_s, u"Agua com gas"_s)
        .item(u"10"_s, u"000001"_s, u"AGUA"_s, 1,
              columns({{"NRLUGARMESA", u"2"_s}, {"IDSTLUGARMESA", u"S"_s}}))
        .item(u"10"_s, u"000002"_s, u"AGUAG"_s, 1);
    auto& s = f.open();
    QTest::mouseClick(originGrid(s)->viewport(), Qt::LeftButton, {},
                      originGrid(s)->visualRect(originGrid(s)->model()->index(0, 2)).center());
    ASSERT_EQ(s.lists().origin().recNo(), 0);
    f.type(u'a');
    EXPECT_EQ(s.lists().origin().recNo(), 0) << "the cursor left the item the operator chose";
    f.type(u'a');
    EXPECT_TRUE(s.lists().destination().isEmpty());
    EXPECT_EQ(f.dialogs.messageTexts(3).size(), 2);
    EXPECT_TRUE(f.dialogs.errorReports.isEmpty()) << f.dialogs.errorReports.join(u'\n').toStdString();
}

} // namespace
