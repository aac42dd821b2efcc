#include "QtDialogProvider.h"

#include <QInputDialog>
#include <QMessageBox>

namespace platform::ui {

bool QtDialogProvider::mensagem(const MensagemCall& call) {
    if (call.kind == 1)
        return QMessageBox::question(nullptr, call.caption, call.text) == QMessageBox::Yes;
    if (call.kind == 3)
        QMessageBox::critical(nullptr, call.caption, call.text);
    else
        QMessageBox::information(nullptr, call.caption, call.text);
    return true;
}

bool QtDialogProvider::tecladoNumerico(TecladoCall& call) {
    bool ok = false;
    const QString text =
        QInputDialog::getText(nullptr, call.caption, call.prompt, QLineEdit::Normal, call.typed, &ok);
    if (ok)
        call.typed = text;
    return ok;
}

bool QtDialogProvider::criaPosOrigDest(SeatChoiceCall& call) {
    bool ok = false;
    const QString seat = QInputDialog::getText(nullptr, QString(), QStringLiteral("Posição de destino"),
                                               QLineEdit::Normal, call.destinationSeat, &ok);
    if (ok)
        call.destinationSeat = seat;
    return ok;
}

void QtDialogProvider::relFiscais() {
    QMessageBox::information(nullptr, QStringLiteral("Menu Fiscal"), QStringLiteral("Menu Fiscal"));
}

void QtDialogProvider::reportError(const QString& text) {
    QMessageBox::critical(nullptr, QStringLiteral("Erro"), text);
}

} // namespace platform::ui
