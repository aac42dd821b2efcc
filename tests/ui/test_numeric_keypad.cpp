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

namespace {

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

} // namespace
