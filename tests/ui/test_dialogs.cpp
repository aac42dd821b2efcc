#include "platform/Dataset.h"
#include "platform/ui/BlendedButton.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/FiscalMenu.h"
#include "platform/ui/MessageDialog.h"
#include "platform/ui/NumericKeypad.h"
#include "platform/ui/QtDialogProvider.h"
#include "platform/ui/SeatChooser.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

using namespace platform;
using namespace platform::ui;

namespace {

const QLocale kBrazil(QLocale::Portuguese, QLocale::Brazil);
const QLocale kUnitedStates(QLocale::English, QLocale::UnitedStates);

template <typename T = TBlendedBitBtn> T* child(const QWidget* parent, const QString& name) {
    return parent->findChild<T*>(name);
}

void click(QAbstractButton* button) {
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
}

void key(QWidget* w, Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(w, k, modifiers);
}

// Runs `act` on the modal dialog once its exec() is running. Should nothing be modal (a fault), every
// open dialog is closed so that the test fails instead of hanging.
void whenModal(std::function<void(QDialog*)> act) {
    QTimer::singleShot(0, [act = std::move(act)] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            ADD_FAILURE() << "no modal dialog is open";
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* d = qobject_cast<QDialog*>(w))
                    d->reject();
            return;
        }
        act(dialog);
        // A dialog the step left open is closed, so that the next assertion runs instead of a hang.
        if (QApplication::activeModalWidget() == dialog && dialog->isVisible())
            QTimer::singleShot(0, dialog, [dialog] { dialog->done(-1); });
    });
}

// Makes QLocale() the given locale for the life of the object.
class DefaultLocale {
public:
    explicit DefaultLocale(const QLocale& locale) { QLocale::setDefault(locale); }
    ~DefaultLocale() { QLocale::setDefault(previous_); }

private:
    QLocale previous_;
};

// An item list with the seat of each item, as the transfer screen holds it.
std::unique_ptr<Dataset> itemsAt(const QStringList& seats) {
    auto list = std::make_unique<Dataset>(QStringLiteral("ITEMS"));
    list->setFieldDefs({{"CDPRODUTO", FieldType::String, 6}, {"NRLUGARMESA", FieldType::String, 3}});
    list->createDataSet();
    for (const QString& seat : seats) {
        list->append();
        list->field("CDPRODUTO").setString(QStringLiteral("P1"));
        list->field("NRLUGARMESA").setString(seat);
        list->post();
    }
    return list;
}

// ---------------------------------------------------------------------------------------------- keypad

class KeypadTest : public ::testing::Test {
protected:
    std::unique_ptr<NumericKeypad> open(int decimals, int maxLength = 10, const QLocale& locale = kBrazil) {
        TecladoCall call;
        call.prompt = QStringLiteral("Quantidade");
        call.emptyText = QStringLiteral("Informe a quantidade.");
        call.maxLength = maxLength;
        call.decimals = decimals;
        auto keypad = std::make_unique<NumericKeypad>(call, nullptr, locale);
        keypad->show();
        return keypad;
    }
};

TEST_F(KeypadTest, DigitsComeFromTheKeyboardAndTheKeys) {
    auto keypad = open(0);
    EXPECT_EQ(keypad->displayText(), "");
    key(keypad.get(), Qt::Key_1);
    click(child(keypad.get(), "key2"));
    key(keypad.get(), Qt::Key_3, Qt::KeypadModifier);
    click(child(keypad.get(), "key0"));
    EXPECT_EQ(keypad->displayText(), "1230");
    EXPECT_EQ(keypad->display()->text(), "1230");
    key(keypad.get(), Qt::Key_A); // letters are not numbers
    EXPECT_EQ(keypad->displayText(), "1230");
    for (int digit = 0; digit <= 9; ++digit) {
        TBlendedBitBtn* b = child(keypad.get(), QStringLiteral("key%1").arg(digit));
        ASSERT_NE(b, nullptr) << digit;
        EXPECT_EQ(b->text(), QString::number(digit));
        EXPECT_GE(b->height(), 56);
        EXPECT_GE(b->width(), 56);
    }
    EXPECT_EQ(child(keypad.get(), "keyBackspace")->text(), "Apagar");
    EXPECT_EQ(child(keypad.get(), "keyClear")->text(), "Limpar");
    EXPECT_EQ(child(keypad.get(), "confirm")->text(), "Confirmar");
    EXPECT_EQ(child(keypad.get(), "cancel")->text(), "Cancelar");
    EXPECT_EQ(child<QLabel>(keypad.get(), "prompt")->text(), "Quantidade");
}

TEST_F(KeypadTest, TheSeparatorIsOfferedOnlyForDecimals) {
    auto whole = open(0);
    EXPECT_EQ(child(whole.get(), "keyDecimal"), nullptr);
    key(whole.get(), Qt::Key_1);
    key(whole.get(), Qt::Key_Comma);
    key(whole.get(), Qt::Key_Period);
    key(whole.get(), Qt::Key_5);
    EXPECT_EQ(whole->displayText(), "15");

    auto weighed = open(1);
    TBlendedBitBtn* separator = child(weighed.get(), "keyDecimal");
    ASSERT_NE(separator, nullptr);
    EXPECT_EQ(separator->text(), ",");
    key(weighed.get(), Qt::Key_1);
    key(weighed.get(), Qt::Key_Period); // a point typed shows the locale's comma
    key(weighed.get(), Qt::Key_5);
    EXPECT_EQ(weighed->displayText(), "1,5");
    key(weighed.get(), Qt::Key_Comma); // one separator only
    click(separator);
    key(weighed.get(), Qt::Key_2);
    EXPECT_EQ(weighed->displayText(), "1,52");
}

TEST_F(KeypadTest, TheSeparatorFollowsTheLocaleAndASeparatorFirstReadsZero) {
    auto american = open(1, 10, kUnitedStates);
    EXPECT_EQ(child(american.get(), "keyDecimal")->text(), ".");
    key(american.get(), Qt::Key_Comma);
    key(american.get(), Qt::Key_7);
    EXPECT_EQ(american->displayText(), "0.7");
    EXPECT_EQ(american->typed(), "0.7");

    auto brazilian = open(1);
    click(child(brazilian.get(), "keyDecimal"));
    key(brazilian.get(), Qt::Key_2);
    EXPECT_EQ(brazilian->typed(), "0,2");
}

TEST_F(KeypadTest, MaxLengthLimitsTheEntry) {
    auto keypad = open(0, 3);
    for (Qt::Key k : {Qt::Key_1, Qt::Key_2, Qt::Key_3, Qt::Key_4, Qt::Key_5})
        key(keypad.get(), k);
    click(child(keypad.get(), "key9"));
    EXPECT_EQ(keypad->displayText(), "123");

    auto weighed = open(1, 4);
    for (Qt::Key k : {Qt::Key_1, Qt::Key_2, Qt::Key_Comma, Qt::Key_5, Qt::Key_6})
        key(weighed.get(), k);
    EXPECT_EQ(weighed->displayText(), "12,5"); // the separator counts as a character
}

TEST_F(KeypadTest, BackspaceErasesTheLastCharacterAndClearEverything) {
    auto keypad = open(1);
    for (Qt::Key k : {Qt::Key_4, Qt::Key_2, Qt::Key_Comma, Qt::Key_5})
        key(keypad.get(), k);
    key(keypad.get(), Qt::Key_Backspace);
    EXPECT_EQ(keypad->displayText(), "42,");
    EXPECT_EQ(keypad->typed(), "42"); // a trailing separator is dropped
    click(child(keypad.get(), "keyBackspace"));
    EXPECT_EQ(keypad->displayText(), "42");
    key(keypad.get(), Qt::Key_Comma); // the separator may come back once it is gone
    EXPECT_EQ(keypad->displayText(), "42,");
    key(keypad.get(), Qt::Key_Delete);
    EXPECT_EQ(keypad->displayText(), "");
    key(keypad.get(), Qt::Key_Backspace); // on an empty entry nothing happens
    EXPECT_EQ(keypad->displayText(), "");
    key(keypad.get(), Qt::Key_8);
    click(child(keypad.get(), "keyClear"));
    EXPECT_EQ(keypad->displayText(), "");
}

TEST_F(KeypadTest, AnEmptyConfirmShowsTheEmptyTextAndStaysOpen) {
    auto keypad = open(1);
    QLabel* notice = keypad->emptyNotice();
    EXPECT_EQ(notice->objectName(), "emptyText");
    EXPECT_EQ(notice->text(), "");
    key(keypad.get(), Qt::Key_Return);
    EXPECT_EQ(notice->text(), "Informe a quantidade.");
    EXPECT_TRUE(keypad->isVisible());
    EXPECT_EQ(keypad->result(), QDialog::Rejected);

    click(child(keypad.get(), "keyDecimal")); // "0," is not empty: it reads 0
    key(keypad.get(), Qt::Key_Backspace);
    key(keypad.get(), Qt::Key_Backspace);
    click(child(keypad.get(), "confirm"));
    EXPECT_TRUE(keypad->isVisible());
    EXPECT_EQ(notice->text(), "Informe a quantidade.");
    key(keypad.get(), Qt::Key_3); // typing again hides the notice
    EXPECT_EQ(notice->text(), "");
    key(keypad.get(), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_FALSE(keypad->isVisible());
    EXPECT_EQ(keypad->result(), QDialog::Accepted);
}

TEST_F(KeypadTest, TheProviderReturnsTheEntryInTheLocaleFormat) {
    DefaultLocale brazil(kBrazil);
    QtDialogProvider provider;
    TecladoCall call;
    call.typed = QStringLiteral("99"); // the keypad starts empty whatever the screen had
    call.prompt = QStringLiteral("Peso");
    call.emptyText = QStringLiteral("Informe o peso.");
    call.decimals = 1;
    whenModal([](QDialog* d) {
        auto* keypad = qobject_cast<NumericKeypad*>(d);
        ASSERT_NE(keypad, nullptr);
        EXPECT_EQ(keypad->displayText(), "");
        key(d, Qt::Key_Return);
        EXPECT_EQ(child<QLabel>(d, "emptyText")->text(), "Informe o peso.");
        EXPECT_TRUE(d->isVisible());
        for (Qt::Key k : {Qt::Key_1, Qt::Key_Period, Qt::Key_5})
            key(d, k);
        key(d, Qt::Key_Return);
    });
    EXPECT_TRUE(provider.tecladoNumerico(call));
    EXPECT_EQ(call.typed, "1,5");

    whenModal([](QDialog* d) {
        key(d, Qt::Key_2);
        key(d, Qt::Key_Escape);
    });
    EXPECT_FALSE(provider.tecladoNumerico(call));
    EXPECT_EQ(call.typed, "1,5"); // a cancel leaves the call as it was

    whenModal([](QDialog* d) {
        key(d, Qt::Key_2);
        click(child(d, "cancel"));
    });
    EXPECT_FALSE(provider.tecladoNumerico(call));
}

TEST_F(KeypadTest, TheSharedOperationWritesTheTypedTextBack) {
    DefaultLocale brazil(kBrazil);
    QtDialogProvider provider;
    ProviderScope scope(provider);
    QString typed = QStringLiteral("old");
    whenModal([](QDialog* d) {
        for (Qt::Key k : {Qt::Key_3, Qt::Key_Comma, Qt::Key_Return})
            key(d, k);
    });
    EXPECT_TRUE(
        TecladoNumerico(typed, {}, QStringLiteral("Quantidade"), QStringLiteral("Vazio"), 5, 0, 1, 0, 0, 0));
    EXPECT_EQ(typed, "3");
}

// ---------------------------------------------------------------------------------------- seat chooser

class SeatChooserTest : public ::testing::Test {
protected:
    std::unique_ptr<SeatChooser> open(const QString& mode, const QStringList& originSeats,
                                      const QStringList& destinationSeats, const QString& people,
                                      const QString& originSeat = {}, const QString& destinationSeat = {}) {
        origin = itemsAt(originSeats);
        destination = itemsAt(destinationSeats);
        call = {};
        call.mode = mode;
        call.origin = origin.get();
        call.destination = destination.get();
        call.originSeat = originSeat;
        call.destinationSeat = destinationSeat;
        call.originTable = QStringLiteral("12");
        call.destinationTable = QStringLiteral("30");
        call.destinationPeople = people;
        auto chooser = std::make_unique<SeatChooser>(call, nullptr);
        chooser->show();
        return chooser;
    }

    std::unique_ptr<Dataset> origin;
    std::unique_ptr<Dataset> destination;
    SeatChoiceCall call;
};

TEST_F(SeatChooserTest, OneItemShowsItsOriginSeatAndOffersASeatPerPerson) {
    auto chooser = open("0", {"2", "2", "3"}, {}, "4", "2");
    EXPECT_FALSE(chooser->wholeSeat());
    EXPECT_EQ(child<QLabel>(chooser.get(), "title")->text(), "Mesa 12 → Mesa 30");
    EXPECT_EQ(child<QLabel>(chooser.get(), "originSeat")->text(), "2");
    EXPECT_EQ(chooser->originButton("2"), nullptr); // the origin is not chosen here
    EXPECT_EQ(chooser->destinationSeats(), QStringList({"1", "2", "3", "4"}));
    for (const QString& seat : chooser->destinationSeats()) {
        TBlendedBitBtn* b = child(chooser.get(), "seatDest_" + seat);
        ASSERT_NE(b, nullptr) << seat.toStdString();
        EXPECT_EQ(b, chooser->destinationButton(seat));
        EXPECT_TRUE(b->isCheckable());
        EXPECT_FALSE(b->isChecked());
        EXPECT_GE(b->height(), 56);
    }
    EXPECT_FALSE(chooser->confirmButton()->isEnabled()); // nothing chosen yet
    key(chooser.get(), Qt::Key_Return);
    EXPECT_TRUE(chooser->isVisible());

    click(chooser->destinationButton("3"));
    EXPECT_EQ(chooser->destinationSeat(), "3");
    EXPECT_TRUE(chooser->destinationButton("3")->isChecked());
    click(chooser->destinationButton("1"));
    EXPECT_FALSE(chooser->destinationButton("3")->isChecked());
    EXPECT_TRUE(chooser->confirmButton()->isEnabled());
    SeatChoiceCall out = call;
    out.originSeat = QStringLiteral("kept");
    chooser->writeTo(out);
    EXPECT_EQ(out.destinationSeat, "1");
    EXPECT_EQ(out.originSeat, "kept"); // one item: its origin seat is the screen's
}

TEST_F(SeatChooserTest, DestinationSeatsCoverThePeopleAndTheSeatsInUse) {
    EXPECT_EQ(open("0", {"1"}, {"5", "1", "5"}, "2")->destinationSeats(), QStringList({"1", "2", "5"}));
    EXPECT_EQ(open("0", {"1"}, {}, "")->destinationSeats(), QStringList({"1"}));
    EXPECT_EQ(open("0", {"1"}, {}, "0")->destinationSeats(), QStringList({"1"}));
    EXPECT_EQ(open("0", {"1"}, {}, " 3 ")->destinationSeats(), QStringList({"1", "2", "3"}));
    EXPECT_EQ(open("0", {"1"}, {"12", "", "2"}, "x")->destinationSeats(), QStringList({"1", "2", "12"}));
}

TEST_F(SeatChooserTest, PlusAddsTheNextSeatAndChoosesIt) {
    auto chooser = open("0", {"1"}, {"5"}, "2");
    EXPECT_EQ(chooser->addSeatButton(), child(chooser.get(), "addSeat"));
    click(chooser->addSeatButton());
    EXPECT_EQ(chooser->destinationSeats(), QStringList({"1", "2", "5", "6"}));
    ASSERT_NE(child(chooser.get(), "seatDest_6"), nullptr);
    EXPECT_TRUE(chooser->destinationButton("6")->isChecked());
    EXPECT_EQ(chooser->destinationSeat(), "6");
    key(chooser.get(), Qt::Key_Plus);
    EXPECT_EQ(chooser->destinationSeat(), "7");
    EXPECT_FALSE(chooser->destinationButton("6")->isChecked());
    EXPECT_EQ(chooser->destinationSeats().size(), 5);
}

TEST_F(SeatChooserTest, NewSeatsKeepTheZeroPaddingOfTheOriginData) {
    auto padded = open("1", {"03", "01"}, {}, "3");
    EXPECT_EQ(padded->destinationSeats(), QStringList({"01", "02", "03"}));
    EXPECT_EQ(padded->addSeat(), "04");
    EXPECT_NE(child(padded.get(), "seatDest_04"), nullptr);

    auto plain = open("1", {"3", "10"}, {}, "2");
    EXPECT_EQ(plain->destinationSeats(), QStringList({"1", "2"}));
    EXPECT_EQ(plain->addSeat(), "3");

    // One item: its own seat tells the format when the list has no seat.
    EXPECT_EQ(open("0", {""}, {}, "2", "01")->destinationSeats(), QStringList({"01", "02"}));
    // Without any origin seat the destination's seats tell it; a seat in use keeps its text.
    EXPECT_EQ(open("0", {}, {"02"}, "3")->destinationSeats(), QStringList({"01", "02", "03"}));
    EXPECT_EQ(open("0", {"01"}, {"2"}, "3")->destinationSeats(), QStringList({"01", "2", "03"}));
}

TEST_F(SeatChooserTest, AWholeSeatIsChosenAmongTheOriginSeatsInUse) {
    auto chooser = open("1", {"10", "2", "", "2", "1"}, {}, "2");
    EXPECT_TRUE(chooser->wholeSeat());
    EXPECT_EQ(chooser->originSeats(), QStringList({"1", "2", "10"}));
    EXPECT_EQ(SeatChooser::seatsOf(origin.get()), QStringList({"1", "2", "10"}));
    for (const QString& seat : chooser->originSeats())
        ASSERT_NE(child(chooser.get(), "seatOrig_" + seat), nullptr) << seat.toStdString();
    EXPECT_EQ(chooser->originSeat(), "");
    EXPECT_TRUE(chooser->originActive());

    click(chooser->destinationButton("2"));
    EXPECT_FALSE(chooser->confirmButton()->isEnabled()); // the origin seat is still missing
    key(chooser.get(), Qt::Key_Return);
    EXPECT_TRUE(chooser->isVisible());
    click(chooser->originButton("10"));
    EXPECT_EQ(chooser->originSeat(), "10");
    EXPECT_TRUE(chooser->originButton("10")->isChecked());
    EXPECT_TRUE(chooser->confirmButton()->isEnabled());
    SeatChoiceCall out;
    chooser->writeTo(out);
    EXPECT_EQ(out.originSeat, "10");
    EXPECT_EQ(out.destinationSeat, "2");
    key(chooser.get(), Qt::Key_Return);
    EXPECT_EQ(chooser->result(), QDialog::Accepted);
}

TEST_F(SeatChooserTest, SeatsAreSortedAndReadWhereTheListHasThem) {
    EXPECT_EQ(SeatChooser::seatsOf(itemsAt({"B", "10", "9", "A", "09"}).get()),
              QStringList({"09", "9", "10", "A", "B"}));
    EXPECT_TRUE(SeatChooser::seatsOf(nullptr).isEmpty());
    Dataset noSeats;
    noSeats.setFieldDefs({{"CDPRODUTO", FieldType::String, 6}});
    noSeats.createDataSet();
    noSeats.append();
    noSeats.field("CDPRODUTO").setString("P");
    noSeats.post();
    EXPECT_TRUE(SeatChooser::seatsOf(&noSeats).isEmpty());
    // Only the records the list shows count.
    auto list = itemsAt({"1", "2", "3"});
    list->setFilter(
        [](const Dataset& ds, const Record& r) { return r.at(ds.fieldIndex("NRLUGARMESA")) != "2"; });
    EXPECT_EQ(SeatChooser::seatsOf(list.get()), QStringList({"1", "3"}));
}

TEST_F(SeatChooserTest, TheLastChosenSeatsArePreselected) {
    auto chooser = open("1", {"1", "2"}, {}, "3", "2", "3");
    EXPECT_EQ(chooser->originSeat(), "2");
    EXPECT_EQ(chooser->destinationSeat(), "3");
    EXPECT_TRUE(chooser->originButton("2")->isChecked());
    EXPECT_TRUE(chooser->destinationButton("3")->isChecked());
    EXPECT_TRUE(chooser->confirmButton()->isEnabled());
    EXPECT_FALSE(chooser->originActive()); // the origin is chosen: the keyboard starts on the destination

    auto absent = open("1", {"1", "2"}, {}, "3", "7", "9");
    EXPECT_EQ(absent->originSeat(), "");
    EXPECT_EQ(absent->destinationSeat(), "");
    EXPECT_FALSE(absent->confirmButton()->isEnabled());

    // The same seat number in the other format is the same seat.
    EXPECT_EQ(open("0", {"01"}, {}, "3", "01", "2")->destinationSeat(), "02");
    // The only origin seat is the one to move.
    EXPECT_EQ(open("1", {"4", "4"}, {}, "3")->originSeat(), "4");
}

TEST_F(SeatChooserTest, TheKeyboardPicksSeats) {
    auto chooser = open("1", {"1", "3"}, {}, "12");
    EXPECT_TRUE(chooser->originActive());
    key(chooser.get(), Qt::Key_3);
    EXPECT_EQ(chooser->originSeat(), "3");
    key(chooser.get(), Qt::Key_Tab);
    EXPECT_FALSE(chooser->originActive());
    key(chooser.get(), Qt::Key_1);
    key(chooser.get(), Qt::Key_2); // typed together: seat 12
    EXPECT_EQ(chooser->destinationSeat(), "12");
    key(chooser.get(), Qt::Key_5); // there is no seat 125: seat 5
    EXPECT_EQ(chooser->destinationSeat(), "5");
    key(chooser.get(), Qt::Key_Right);
    EXPECT_EQ(chooser->destinationSeat(), "6");
    key(chooser.get(), Qt::Key_Down);
    EXPECT_EQ(chooser->destinationSeat(), "12");
    key(chooser.get(), Qt::Key_Down); // stays on the last seat
    EXPECT_EQ(chooser->destinationSeat(), "12");
    key(chooser.get(), Qt::Key_Up);
    key(chooser.get(), Qt::Key_Left);
    EXPECT_EQ(chooser->destinationSeat(), "5");
    EXPECT_TRUE(chooser->destinationButton("5")->isChecked());
    key(chooser.get(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_TRUE(chooser->originActive());
    key(chooser.get(), Qt::Key_Left);
    EXPECT_EQ(chooser->originSeat(), "1");
    EXPECT_EQ(chooser->destinationSeat(), "5");
    key(chooser.get(), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(chooser->result(), QDialog::Accepted);

    // In one-item mode Tab has no origin to go to.
    auto single = open("0", {"1"}, {}, "2", "1");
    key(single.get(), Qt::Key_Tab);
    EXPECT_FALSE(single->originActive());
    key(single.get(), Qt::Key_2);
    EXPECT_EQ(single->destinationSeat(), "2");
}

TEST_F(SeatChooserTest, TheProviderWritesTheChoiceBackOrCancels) {
    QtDialogProvider provider;
    auto chooseSeats = [](QDialog* d) {
        click(child(d, "seatOrig_2"));
        click(child(d, "seatDest_3"));
        key(d, Qt::Key_Return);
    };
    open("1", {"1", "2"}, {"3"}, "1")->close();
    whenModal(chooseSeats);
    ASSERT_TRUE(provider.criaPosOrigDest(call));
    EXPECT_EQ(call.originSeat, "2");
    EXPECT_EQ(call.destinationSeat, "3");

    whenModal([](QDialog* d) {
        click(child(d, "seatDest_1"));
        key(d, Qt::Key_Escape);
    });
    EXPECT_FALSE(provider.criaPosOrigDest(call));
    EXPECT_EQ(call.originSeat, "2");
    EXPECT_EQ(call.destinationSeat, "3");

    whenModal([](QDialog* d) {
        click(child(d, "seatDest_1"));
        click(child(d, "cancel"));
    });
    EXPECT_FALSE(provider.criaPosOrigDest(call));
    EXPECT_EQ(call.destinationSeat, "3");

    // Through the shared operation, which hands the choice back to the screen's variables.
    ProviderScope scope(provider);
    QString originSeat = QStringLiteral("1");
    QString destinationSeat;
    QString originTable = QStringLiteral("12");
    QString destinationTable = QStringLiteral("30");
    QString people = QStringLiteral("2");
    whenModal([](QDialog* d) {
        key(d, Qt::Key_2);
        click(child(d, "confirm"));
    });
    ASSERT_TRUE(CriaPosOrigDest("0", *origin, *destination, originSeat, destinationSeat, originTable,
                                destinationTable, people));
    EXPECT_EQ(originSeat, "1");
    EXPECT_EQ(destinationSeat, "2");
}

// ------------------------------------------------------------------------------------------- messages

MensagemCall message(int kind, const QString& defaultAnswer = {}, const QString& caption = {}) {
    MensagemCall call;
    call.text = QStringLiteral("Transferir o lugar <1> & tudo?");
    call.caption = caption;
    call.third = QStringLiteral("N");
    call.defaultAnswer = defaultAnswer;
    call.kind = kind;
    return call;
}

TEST(MessageDialogTest, EnterGivesTheDefaultAnswerAndEscapeSaysNo) {
    QtDialogProvider provider;
    auto answer = [&](const MensagemCall& call, std::function<void(QDialog*)> act) {
        whenModal(std::move(act));
        return provider.mensagem(call);
    };
    auto enter = [](QDialog* d) {
        key(d, Qt::Key_Return);
    };
    auto escape = [](QDialog* d) {
        key(d, Qt::Key_Escape);
    };
    EXPECT_TRUE(answer(message(1, "S"), enter));
    EXPECT_TRUE(answer(message(1, "s"), enter));
    EXPECT_FALSE(answer(message(1, "N"), enter));
    EXPECT_FALSE(answer(message(1, ""), enter));
    EXPECT_FALSE(answer(message(1, "S"), escape));
    EXPECT_FALSE(answer(message(1, "S"), [](QDialog* d) { click(child(d, "no")); }));
    EXPECT_TRUE(answer(message(1, "N"), [](QDialog* d) { click(child(d, "yes")); }));
    EXPECT_TRUE(answer(message(1, "N"), [](QDialog* d) { key(d, Qt::Key_S); }));
    EXPECT_FALSE(answer(message(1, "S"), [](QDialog* d) { key(d, Qt::Key_N); }));
}

TEST(MessageDialogTest, AQuestionShowsSimAndNaoWithTheDefaultMarked) {
    MessageDialog yes(message(1, "S"));
    EXPECT_EQ(yes.kind(), MessageDialog::Question);
    EXPECT_EQ(child(&yes, "yes")->text(), "Sim");
    EXPECT_EQ(child(&yes, "no")->text(), "Não");
    EXPECT_EQ(child(&yes, "ok"), nullptr);
    EXPECT_EQ(yes.defaultButton(), child(&yes, "yes"));
    EXPECT_TRUE(child(&yes, "yes")->isDefault());
    EXPECT_FALSE(child(&yes, "no")->isDefault());
    EXPECT_EQ(child<QLabel>(&yes, "text")->text(), "Transferir o lugar <1> & tudo?");
    EXPECT_EQ(child<QLabel>(&yes, "text")->textFormat(), Qt::PlainText);
    EXPECT_TRUE(child<QLabel>(&yes, "text")->wordWrap());
    EXPECT_EQ(child<QLabel>(&yes, "caption")->text(), "Confirmação");

    MessageDialog no(message(1, "N", QStringLiteral("Transferência")));
    EXPECT_EQ(no.defaultButton(), child(&no, "no"));
    EXPECT_EQ(child<QLabel>(&no, "caption")->text(), "Transferência");
}

TEST(MessageDialogTest, InformationAndErrorsAreAcknowledged) {
    QtDialogProvider provider;
    whenModal([](QDialog* d) {
        EXPECT_EQ(child(d, "ok")->text(), "OK");
        EXPECT_EQ(child(d, "yes"), nullptr);
        EXPECT_EQ(child<QWidget>(d, "errorSign"), nullptr);
        key(d, Qt::Key_Escape);
    });
    EXPECT_TRUE(provider.mensagem(message(0)));

    whenModal([](QDialog* d) {
        EXPECT_NE(child<QWidget>(d, "errorSign"), nullptr);
        EXPECT_EQ(child<QLabel>(d, "caption")->text(), "Erro");
        EXPECT_EQ(static_cast<MessageDialog*>(d)->borderColor(), style::error());
        click(child(d, "ok"));
    });
    EXPECT_TRUE(provider.mensagem(message(3)));

    whenModal([](QDialog* d) { key(d, Qt::Key_Return); });
    EXPECT_TRUE(provider.mensagem(message(2))); // an unknown kind informs

    QString shown;
    whenModal([&shown](QDialog* d) {
        shown = child<QLabel>(d, "caption")->text() + '|' + child<QLabel>(d, "text")->text();
        EXPECT_NE(child<QWidget>(d, "errorSign"), nullptr);
        key(d, Qt::Key_Return);
    });
    provider.reportError(QStringLiteral("Falhou a gravação."));
    EXPECT_EQ(shown, "Erro|Falhou a gravação.");
}

TEST(MessageDialogTest, DialogsCentreOnTheOperatorsWindow) {
    QWidget screen;
    screen.setGeometry(100, 80, 1000, 700);
    screen.show();
    MessageDialog dialog(message(0), &screen);
    dialog.show();
    EXPECT_TRUE(dialog.isModal());
    EXPECT_TRUE(dialog.windowFlags().testFlag(Qt::FramelessWindowHint));
    const QPoint offset = dialog.frameGeometry().center() - screen.frameGeometry().center();
    EXPECT_LE(offset.manhattanLength(), 2) << offset.x() << "," << offset.y();
}

// -------------------------------------------------------------------------------- fiscal menu, buttons

TEST(FiscalMenuTest, ShowsDisabledReportsAndCloses) {
    FiscalMenu menu;
    EXPECT_EQ(child<QLabel>(&menu, "title")->text(), "Menu Fiscal");
    for (const char* name : {"reportX", "reportMemory", "reportMirror"}) {
        ASSERT_NE(child(&menu, name), nullptr) << name;
        EXPECT_FALSE(child(&menu, name)->isEnabled()) << name;
    }
    EXPECT_EQ(child(&menu, "reportX")->text(), "Leitura X");
    EXPECT_EQ(menu.closeButton()->text(), "Fechar");
    EXPECT_TRUE(menu.closeButton()->isEnabled());

    QtDialogProvider provider;
    int opened = 0;
    whenModal([&opened](QDialog* d) {
        opened += qobject_cast<FiscalMenu*>(d) != nullptr;
        key(d, Qt::Key_Escape);
    });
    provider.relFiscais();
    whenModal([&opened](QDialog* d) {
        opened += qobject_cast<FiscalMenu*>(d) != nullptr;
        click(child(d, "close"));
    });
    ProviderScope scope(provider);
    RelFiscais();
    EXPECT_EQ(opened, 2);
}

QColor centreOf(QWidget& w) {
    return w.grab().toImage().pixelColor(w.width() / 2, 6);
}

TEST(BlendedButtonTest, TogglesShowTheirStateAndDisabledIsGrey) {
    TBlendedBitBtn button(QStringLiteral("3"));
    button.resize(80, 64);
    EXPECT_EQ(centreOf(button), style::accent());
    button.setCheckable(true);
    EXPECT_EQ(centreOf(button), QColor(Qt::white)); // off: outline only
    button.setChecked(true);
    EXPECT_EQ(centreOf(button), style::accent());
    button.setEnabled(false);
    EXPECT_EQ(centreOf(button), style::disabled());
}

} // namespace
