#include "QtDialogProvider.h"

#include "FiscalMenu.h"
#include "MessageDialog.h"
#include "NumericKeypad.h"
#include "SeatChooser.h"

#include <QApplication>

namespace platform::ui {
namespace {

// Dialogs sit over the window the operator is working in, so they centre on it and close with it.
QWidget* operatorWindow() {
    // the modal screen the dialog belongs to, also where no window manager hands out the focus
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

} // namespace

bool QtDialogProvider::mensagem(const MensagemCall& call) {
    MessageDialog dialog(call, operatorWindow());
    dialog.exec();
    return dialog.answer();
}

bool QtDialogProvider::tecladoNumerico(TecladoCall& call) {
    NumericKeypad keypad(call, operatorWindow());
    if (keypad.exec() != QDialog::Accepted)
        return false;
    call.typed = keypad.typed();
    return true;
}

bool QtDialogProvider::criaPosOrigDest(SeatChoiceCall& call) {
    SeatChooser chooser(call, operatorWindow());
    if (chooser.exec() != QDialog::Accepted)
        return false;
    chooser.writeTo(call);
    return true;
}

void QtDialogProvider::relFiscais() {
    FiscalMenu menu(operatorWindow());
    menu.exec();
}

void QtDialogProvider::reportError(const QString& text) {
    MensagemCall call;
    call.text = text;
    call.caption = QStringLiteral("Erro");
    call.kind = MessageDialog::Error;
    mensagem(call);
}

} // namespace platform::ui
