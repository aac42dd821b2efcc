// The numeric keypad: keys and keyboard, the separator, limits, an empty entry, the provider.

#include "DialogTesting.h"

#include "platform/ui/Dialogs.h"
#include "platform/ui/NumericKeypad.h"
#include "platform/ui/QtDialogProvider.h"

#include <QLabel>
#include <QLineEdit>
#include <memory>

using namespace platform;
using namespace platform::ui;
using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {

class KeypadTest : public ::testing::Test {
protected:
    std::unique_ptr<NumericKeypad> open(int decimals, int maxLength = 10, const QLocale& locale = kBrazil) {
        TecladoCall call;
        call.prompt = u"Quantidade"_s;
        call.emptyText = u"Informe a quantidade."_s;
        call.maxLength = maxLength;
        call.decimals = decimals;
        auto keypad = std::make_unique<NumericKeypad>(call, nullptr, locale);
        keypad->show();
        return keypad;
    }
};

TEST_F(KeypadTest, DigitsComeFromTheKeyboardAndTheKeys) {
    auto keypad = open(0);
    EXPECT_EQ(keypad->displayText(), u""_s);
    key(keypad.get(), Qt::Key_1);
    click(child(keypad.get(), u"key2"_s));
    key(keypad.get(), Qt::Key_3, Qt::KeypadModifier);
    click(child(keypad.get(), u"key0"_s));
    EXPECT_EQ(keypad->displayText(), u"1230"_s);
    EXPECT_EQ(keypad->display()->text(), u"1230"_s);
    key(keypad.get(), Qt::Key_A); // letters are not numbers
    EXPECT_EQ(keypad->displayText(), u"1230"_s);
    for (int digit = 0; digit <= 9; ++digit) {
        TBlendedBitBtn* b = child(keypad.get(), u"key%1"_s.arg(digit));
        ASSERT_NE(b, nullptr) << digit;
        EXPECT_EQ(b->text(), QString::number(digit));
        EXPECT_GE(b->height(), 56);
        EXPECT_GE(b->width(), 56);
    }
    EXPECT_EQ(child(keypad.get(), u"keyBackspace"_s)->text(), u"Apagar"_s);
    EXPECT_EQ(child(keypad.get(), u"keyClear"_s)->text(), u"Limpar"_s);
    EXPECT_EQ(child(keypad.get(), u"confirm"_s)->text(), u"Confirmar"_s);
    EXPECT_EQ(child(keypad.get(), u"cancel"_s)->text(), u"Cancelar"_s);
    EXPECT_EQ(child<QLabel>(keypad.get(), u"prompt"_s)->text(), u"Quantidade"_s);
}

TEST_F(KeypadTest, TheSeparatorIsOfferedOnlyForDecimals) {
    auto whole = open(0);
    EXPECT_EQ(child(whole.get(), u"keyDecimal"_s), nullptr);
    key(whole.get(), Qt::Key_1);
    key(whole.get(), Qt::Key_Comma);
    key(whole.get(), Qt::Key_Period);
    key(whole.get(), Qt::Key_5);
    EXPECT_EQ(whole->displayText(), u"15"_s);

    auto weighed = open(1);
    TBlendedBitBtn* separator = child(weighed.get(), u"keyDecimal"_s);
    ASSERT_NE(separator, nullptr);
    EXPECT_EQ(separator->text(), u","_s);
    key(weighed.get(), Qt::Key_1);
    key(weighed.get(), Qt::Key_Period); // a point typed shows the locale's comma
    key(weighed.get(), Qt::Key_5);
    EXPECT_EQ(weighed->displayText(), u"1,5"_s);
    key(weighed.get(), Qt::Key_Comma); // one separator only
    click(separator);
    key(weighed.get(), Qt::Key_2);
    EXPECT_EQ(weighed->displayText(), u"1,52"_s);
}

TEST_F(KeypadTest, TheSeparatorFollowsTheLocaleAndASeparatorFirstReadsZero) {
    auto american = open(1, 10, kUnitedStates);
    EXPECT_EQ(child(american.get(), u"keyDecimal"_s)->text(), u"."_s);
    key(american.get(), Qt::Key_Comma);
    key(american.get(), Qt::Key_7);
    EXPECT_EQ(american->displayText(), u"0.7"_s);
    EXPECT_EQ(american->typed(), u"0.7"_s);

    auto brazilian = open(1);
    click(child(brazilian.get(), u"keyDecimal"_s));
    key(brazilian.get(), Qt::Key_2);
    EXPECT_EQ(brazilian->typed(), u"0,2"_s);
}

TEST_F(KeypadTest, MaxLengthLimitsTheEntry) {
    auto keypad = open(0, 3);
    for (Qt::Key k : {Qt::Key_1, Qt::Key_2, Qt::Key_3, Qt::Key_4, Qt::Key_5})
        key(keypad.get(), k);
    click(child(keypad.get(), u"key9"_s));
    EXPECT_EQ(keypad->displayText(), u"123"_s);

    auto weighed = open(1, 4);
    for (Qt::Key k : {Qt::Key_1, Qt::Key_2, Qt::Key_Comma, Qt::Key_5, Qt::Key_6})
        key(weighed.get(), k);
    EXPECT_EQ(weighed->displayText(), u"12,5"_s); // the separator counts as a character
}

TEST_F(KeypadTest, BackspaceErasesTheLastCharacterAndClearEverything) {
    auto keypad = open(1);
    for (Qt::Key k : {Qt::Key_4, Qt::Key_2, Qt::Key_Comma, Qt::Key_5})
        key(keypad.get(), k);
    key(keypad.get(), Qt::Key_Backspace);
    EXPECT_EQ(keypad->displayText(), u"42,"_s);
    EXPECT_EQ(keypad->typed(), u"42"_s); // a trailing separator is dropped
    click(child(keypad.get(), u"keyBackspace"_s));
    EXPECT_EQ(keypad->displayText(), u"42"_s);
    key(keypad.get(), Qt::Key_Comma); // the separator may come back once it is gone
    EXPECT_EQ(keypad->displayText(), u"42,"_s);
    key(keypad.get(), Qt::Key_Delete);
    EXPECT_EQ(keypad->displayText(), u""_s);
    key(keypad.get(), Qt::Key_Backspace); // on an empty entry nothing happens
    EXPECT_EQ(keypad->displayText(), u""_s);
    key(keypad.get(), Qt::Key_8);
    click(child(keypad.get(), u"keyClear"_s));
    EXPECT_EQ(keypad->displayText(), u""_s);
}

TEST_F(KeypadTest, AnEmptyConfirmShowsTheEmptyTextAndStaysOpen) {
    auto keypad = open(1);
    QLabel* notice = keypad->emptyNotice();
    EXPECT_EQ(notice->objectName(), u"emptyText"_s);
    EXPECT_EQ(notice->text(), u""_s);
    key(keypad.get(), Qt::Key_Return);
    EXPECT_EQ(notice->text(), u"Informe a quantidade."_s);
    EXPECT_TRUE(keypad->isVisible());
    EXPECT_EQ(keypad->result(), QDialog::Rejected);

    click(child(keypad.get(), u"keyDecimal"_s)); // "0," is not empty: it reads 0
    key(keypad.get(), Qt::Key_Backspace);
    key(keypad.get(), Qt::Key_Backspace);
    click(child(keypad.get(), u"confirm"_s));
    EXPECT_TRUE(keypad->isVisible());
    EXPECT_EQ(notice->text(), u"Informe a quantidade."_s);
    key(keypad.get(), Qt::Key_3); // typing again hides the notice
    EXPECT_EQ(notice->text(), u""_s);
    key(keypad.get(), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_FALSE(keypad->isVisible());
    EXPECT_EQ(keypad->result(), QDialog::Accepted);
}

TEST_F(KeypadTest, TheProviderReturnsTheEntryInTheLocaleFormat) {
    DefaultLocale brazil(kBrazil);
    QtDialogProvider provider;
    TecladoCall call;
    call.typed = u"99"_s; // the keypad starts empty whatever the screen had
    call.prompt = u"Peso"_s;
    call.emptyText = u"Informe o peso."_s;
    call.decimals = 1;
    whenModal([](QDialog* d) {
        auto* keypad = qobject_cast<NumericKeypad*>(d);
        ASSERT_NE(keypad, nullptr);
        EXPECT_EQ(keypad->displayText(), u""_s);
        key(d, Qt::Key_Return);
        EXPECT_EQ(child<QLabel>(d, u"emptyText"_s)->text(), u"Informe o peso."_s);
        EXPECT_TRUE(d->isVisible());
        for (Qt::Key k : {Qt::Key_1, Qt::Key_Period, Qt::Key_5})
            key(d, k);
        key(d, Qt::Key_Return);
    });
    EXPECT_TRUE(provider.tecladoNumerico(call));
    EXPECT_EQ(call.typed, u"1,5"_s);

    whenModal([](QDialog* d) {
        key(d, Qt::Key_2);
        key(d, Qt::Key_Escape);
    });
    EXPECT_FALSE(provider.tecladoNumerico(call));
    EXPECT_EQ(call.typed, u"1,5"_s); // a cancel leaves the call as it was

    whenModal([](QDialog* d) {
        key(d, Qt::Key_2);
        click(child(d, u"cancel"_s));
    });
    EXPECT_FALSE(provider.tecladoNumerico(call));
}

TEST_F(KeypadTest, TheSharedOperationWritesTheTypedTextBack) {
    DefaultLocale brazil(kBrazil);
    QtDialogProvider provider;
    ProviderScope scope(provider);
    QString typed = u"old"_s;
    whenModal([](QDialog* d) {
        for (Qt::Key k : {Qt::Key_3, Qt::Key_Comma, Qt::Key_Return})
            key(d, k);
    });
    EXPECT_TRUE(TecladoNumerico(typed, {}, u"Quantidade"_s, u"Vazio"_s, 5, 0, 1, 0, 0, 0));
    EXPECT_EQ(typed, u"3"_s);
}

} // namespace
