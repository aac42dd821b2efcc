// Keys, navigation buttons and the exit of the transfer screen.

#include "TfrmTrPosicao.h"
#include "platform/Text.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/EventGuard.h"

#include <QCloseEvent>
#include <QKeyEvent>

namespace Cli_Mvt04215 {

bool TfrmTrPosicao::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !isVisible())
        return QDialog::eventFilter(watched, event);
    // Only keys typed in this screen (not in a dialog opened over it), and only at their first
    // receiver: a key the focused control ignores travels on to its parents and must not act twice.
    QWidget* first = focusWidget() ? focusWidget() : this;
    if (watched != first || first->window() != this)
        return QDialog::eventFilter(watched, event);
    auto* keyEvent = static_cast<QKeyEvent*>(event);
    int key = keyEvent->key();
    bool swallow = false;
    platform::ui::guarded([&] {
        FormKeyDown(this, key, keyEvent->modifiers());
        // Enter and Escape have acted; the focused control must not act on them again
        swallow = key == 0 || key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape;
        if (key != 0 && !keyEvent->text().isEmpty()) {
            QChar typed = keyEvent->text().at(0);
            FormKeyPress(this, typed);
        }
    });
    return swallow;
}

void TfrmTrPosicao::FormKeyPress(QObject* /*sender*/, QChar& key) {
    const QChar upper = key.toUpper();
    auto hasProduct = [](platform::Dataset& ds) {
        return ds.active() && !platform::EmptyString(ds.field(QStringLiteral("CDPRODUTO")).asString());
    };
    if (upper == u'A' && hasProduct(cdsProdOrig))
        sbtAdicionarClick(sbtAdicionar);
    else if (upper == u'D' && hasProduct(cdsProdOrig))
        sbtAdicionarTodosClick(sbtAdicionarTodos);
    else if (upper == u'E' && hasProduct(cdsProdDes))
        sbtRemoverClick(sbtRemover);
    else if (upper == u'R' && hasProduct(cdsProdDes))
        sbtRemoverTodosClick(sbtRemoverTodos);
}

void TfrmTrPosicao::FormKeyDown(QObject* /*sender*/, int& key, Qt::KeyboardModifiers shift) {
    const Qt::KeyboardModifiers held = shift & ~Qt::KeypadModifier;
    if (key == Qt::Key_F4 && held == Qt::AltModifier) {
        key = 0; // the screen is not closed this way
        return;
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        sbtConfirmarClick(sbtConfirmar);
    else if (key == Qt::Key_Escape)
        sbtSairClick(sbtSair);
    else if (key == Qt::Key_F1)
        platform::ui::RelFiscais();
}

void TfrmTrPosicao::dbgMesaOriKeyDown(QObject* /*sender*/, int& key, Qt::KeyboardModifiers shift) {
    if (key == Qt::Key_Delete && (shift & ~Qt::KeypadModifier) == Qt::ControlModifier)
        key = 0; // the grid never deletes its record
}

void TfrmTrPosicao::dbgMesaDesKeyDown(QObject* sender, int& key, Qt::KeyboardModifiers shift) {
    dbgMesaOriKeyDown(sender, key, shift);
}

DatasetGrid& TfrmTrPosicao::navigationGrid() {
    return dbgMesaOri->hasFocus() ? *dbgMesaOri : *dbgMesaDes;
}

void TfrmTrPosicao::sbtPrimeiroClick(QObject*) {
    DatasetGrid& grid = navigationGrid();
    grid.focusColumn(QStringLiteral("CDARVPROD"));
    grid.dataset().first();
}

void TfrmTrPosicao::sbtRolarCimaClick(QObject*) {
    DatasetGrid& grid = navigationGrid();
    grid.focusColumn(QStringLiteral("CDARVPROD"));
    grid.dataset().prior();
}

void TfrmTrPosicao::sbtRolarBaixoClick(QObject*) {
    DatasetGrid& grid = navigationGrid();
    grid.focusColumn(QStringLiteral("CDARVPROD"));
    grid.dataset().next();
}

void TfrmTrPosicao::sbtUltimoClick(QObject*) {
    DatasetGrid& grid = navigationGrid();
    grid.focusColumn(QStringLiteral("CDARVPROD"));
    grid.dataset().last();
}

void TfrmTrPosicao::sbtSairClick(QObject*) {
    reject();
}

// The screen's own ways out (exit, Escape, the end of a confirmation) close it without this event. A
// request of the window system - a window manager's Alt+F4 or close button - is refused like the key;
// the host closing the screen, as when its application quits, leaves it as Escape does.
void TfrmTrPosicao::closeEvent(QCloseEvent* event) {
    if (event->spontaneous()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

} // namespace Cli_Mvt04215
