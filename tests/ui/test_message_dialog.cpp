// The message dialog: questions and their default answer, information and errors, its place.

#include "DialogTesting.h"

#include "platform/ui/Dialogs.h"
#include "platform/ui/MessageDialog.h"
#include "platform/ui/QtDialogProvider.h"

#include <QLabel>

using namespace platform;
using namespace platform::ui;
using namespace testsupport;

namespace {

MensagemCall message(int kind, const QString& defaultAnswer = {}, const QString& caption = {}) {
    MensagemCall call;
    call.text = QStringLiteral("Transferir o lugar <1> & tudo?");
    call.caption = caption;
    call.reservedFlag = QStringLiteral("N");
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

} // namespace
