// The screen's side of moving items: the handlers run the lists' rules, answer their questions with the
// dialogs, and then set the focus and the buttons.

#include "TfrmTrPosicao.h"
#include "platform/Errors.h"
#include "platform/ui/Dialogs.h"

namespace Cli_Mvt04215 {

bool TfrmTrPosicao::chooseSeats(Seats mode, QString& originSeat, QString& destinationSeat) {
    return platform::ui::CriaPosOrigDest(mode == Seats::WholeSeat ? QStringLiteral("1") : QStringLiteral("0"),
                                         cdsProdOrig, cdsProdDes, originSeat, destinationSeat, NrMesaOrig,
                                         NrMesaDest, NrPesMesaDest);
}

bool TfrmTrPosicao::typeQuantity(QString& typed, bool decimals) {
    return platform::ui::TecladoNumerico(
        typed, msgPadrao.Msg(QStringLiteral("EXCLUSAO")), msgPadrao.Msg(QStringLiteral("Inf_Qtde")),
        msgPadrao.Msg(QStringLiteral("QTDE_DEVE")), 10, 0, decimals ? 1 : 0, 0, 0, 0);
}

void TfrmTrPosicao::seatBlocked(const QString& seat) {
    showError(msgPadrao.Msg(QStringLiteral("POS_MESA_SOLIC")).replace(QStringLiteral("%s"), seat));
}

void TfrmTrPosicao::quantityTooLarge() {
    showError(msgPadrao.Msg(QStringLiteral("VALORINF")));
}

void TfrmTrPosicao::InsereProdDes(double quantity) {
    lists_.insertDestination(quantity);
}

void TfrmTrPosicao::InsereProdOrig() {
    lists_.insertOrigin();
}

void TfrmTrPosicao::sbtAdicionarClick(QObject* /*sender*/) {
    if (!lists_.add())
        throw platform::SilentAbort();
    finishAdding();
}

void TfrmTrPosicao::finishAdding() {
    if (cdsProdOrig.isEmpty()) {
        cdsProdDes.first();
        dbgMesaDes->focusColumn(QStringLiteral("CDARVPROD"));
    }
    ControlaHabilitacao();
}

void TfrmTrPosicao::sbtAdicionarTodosClick(QObject* /*sender*/) {
    showingFailure([this] {
        if (!lists_.addSeat())
            return;
        const bool originLeft = !cdsProdOrig.isEmpty();
        sbtAdicionar->setEnabled(originLeft);
        sbtAdicionarTodos->setEnabled(originLeft);
        sbtRemover->setEnabled(true);
        sbtRemoverTodos->setEnabled(true);
    });
}

void TfrmTrPosicao::sbtRemoverClick(QObject* /*sender*/) {
    if (!cdsProdDes.active() || cdsProdDes.isEmpty()) {
        ControlaHabilitacao();
        throw platform::SilentAbort();
    }
    if (!lists_.remove())
        throw platform::SilentAbort();
    finishRemoving();
}

void TfrmTrPosicao::finishRemoving() {
    if (cdsProdDes.isEmpty()) {
        cdsProdOrig.first();
        dbgMesaOri->focusColumn(QStringLiteral("CDARVPROD"));
    }
    ControlaHabilitacao();
}

void TfrmTrPosicao::sbtRemoverTodosClick(QObject* /*sender*/) {
    showingFailure([this] {
        lists_.removeAll();
        sbtAdicionar->setEnabled(true);
        sbtAdicionarTodos->setEnabled(true);
        sbtRemover->setEnabled(false);
        sbtRemoverTodos->setEnabled(false);
    });
}

void TfrmTrPosicao::showingFailure(const std::function<void()>& operation) {
    try {
        operation();
    } catch (const platform::SilentAbort&) {
        throw;
    } catch (const std::exception& e) {
        showError(QString::fromUtf8(e.what()));
        throw platform::SilentAbort(); // handed on, not shown a second time
    }
}

} // namespace Cli_Mvt04215
