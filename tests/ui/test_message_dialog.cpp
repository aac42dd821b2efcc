// The message dialog: questions and their default answer, information and errors, its place.

#include "DialogTesting.h"

#include "platform/ui/Dialogs.h"
#include "platform/ui/MessageDialog.h"
#include "platform/ui/QtDialogProvider.h"

#include <QLabel>

using namespace platform;
using namespace platform::ui;
using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {

MensagemCall message(int kind, const QString& defaultAnswer = {}, const QString& caption = {}) {
    MensagemCall call;
    call.text = u"Transferir o lugar <1> & tudo?"_s;
    call.caption = caption;
    call.reservedFlag = u"N"_s;
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
    EXPECT_TRUE(answer(message(1, u"S"_s), enter));
    EXPECT_TRUE(answer(message(1, u"s"_s), enter));
    EXPECT_FALSE(answer(message(1, u"N"_s), enter));
    EXPECT_FALSE(answer(message(1, u""_s), enter));
    EXPECT_FALSE(answer(message(1, u"S"_s), escape));
    EXPECT_FALSE(answer(message(1, u"S"_s), [](QDialog* d) { click(child(d, u"no"_s)); }));
    EXPECT_TRUE(answer(message(1, u"N"_s), [](QDialog* d) { click(child(d, u"yes"_s)); }));
    EXPECT_TRUE(answer(message(1, u"N"_s), [](QDialog* d) { key(d, Qt::Key_S); }));
    EXPECT_FALSE(answer(message(1, u"S"_s), [](QDialog* d) { key(d, Qt::Key_N); }));
}

TEST(MessageDialogTest, AQuestionShowsSimAndNaoWithTheDefaultMarked) {
    MessageDialog yes(message(1, u"S"_s));
    EXPECT_EQ(yes.kind(), MessageDialog::Question);
    EXPECT_EQ(child(&yes, u"yes"_s)->text(), u"Sim"_s);
    EXPECT_EQ(child(&yes, u"no"_s)->text(), u"Não"_s);
    EXPECT_EQ(child(&yes, u"ok"_s), nullptr);
    EXPECT_EQ(yes.defaultButton(), child(&yes, u"yes"_s));
    EXPECT_TRUE(child(&yes, u"yes"_s)->isDefault());
    EXPECT_FALSE(child(&yes, u"no"_s)->isDefault());
    EXPECT_EQ(child<QLabel>(&yes, u"text"_s)->text(), u"Transferir o lugar <1> & tudo?"_s);
    EXPECT_EQ(child<QLabel>(&yes, u"text"_s)->textFormat(), Qt::PlainText);
    EXPECT_TRUE(child<QLabel>(&yes, u"text"_s)->wordWrap());
    EXPECT_EQ(child<QLabel>(&yes, u"caption"_s)->text(), u"Confirmação"_s);

    MessageDialog no(message(1, u"N"_s, u"Transferência"_s));
    EXPECT_EQ(no.defaultButton(), child(&no, u"no"_s));
    EXPECT_EQ(child<QLabel>(&no, u"caption"_s)->text(), u"Transferência"_s);
}

TEST(MessageDialogTest, InformationAndErrorsAreAcknowledged) {
    QtDialogProvider provider;
    whenModal([](QDialog* d) {
        EXPECT_EQ(child(d, u"ok"_s)->text(), u"OK"_s);
        EXPECT_EQ(child(d, u"yes"_s), nullptr);
        EXPECT_EQ(child<QWidget>(d, u"errorSign"_s), nullptr);
        key(d, Qt::Key_Escape);
    });
    EXPECT_TRUE(provider.mensagem(message(0)));

    whenModal([](QDialog* d) {
        EXPECT_NE(child<QWidget>(d, u"errorSign"_s), nullptr);
        EXPECT_EQ(child<QLabel>(d, u"caption"_s)->text(), u"Erro"_s);
        EXPECT_EQ(static_cast<MessageDialog*>(d)->borderColor(), style::error());
        click(child(d, u"ok"_s));
    });
    EXPECT_TRUE(provider.mensagem(message(3)));

    whenModal([](QDialog* d) { key(d, Qt::Key_Return); });
    EXPECT_TRUE(provider.mensagem(message(2))); // an unknown kind informs

    QString shown;
    whenModal([&shown](QDialog* d) {
        shown = child<QLabel>(d, u"caption"_s)->text() + u'|' + child<QLabel>(d, u"text"_s)->text();
        EXPECT_NE(child<QWidget>(d, u"errorSign"_s), nullptr);
        key(d, Qt::Key_Return);
    });
    provider.reportError(u"Falhou a gravação."_s);
    EXPECT_EQ(shown, u"Erro|Falhou a gravação."_s);
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
