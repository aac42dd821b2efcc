// The screen's side of the confirmation: the steps run in TransferConfirmation; the screen answers
// their questions with the dialogs, the in-process server methods and the audit log, and closes.

#include "TfrmTrPosicao.h"
#include "platform/AuditLog.h"
#include "platform/Errors.h"
#include "platform/ui/Dialogs.h"
#include "server/Srv_Mvt04215.h"
#include "server/TrdmTrPosicao.h"

namespace Cli_Mvt04215 {

void TfrmTrPosicao::sbtConfirmarClick(QObject* /*sender*/) {
    using Ending = TransferConfirmation::Ending;
    TransferConfirmation confirmation(
        *this, {NrMesaOrig, NrMesaDest, CdFilial, CdLoja, CdCaixa, CdOperador, NmOperador, ParamLog},
        cdsProdDes, cdsVerificaMesaDes, msgPadrao);
    switch (confirmation.run()) {
    case Ending::Declined:
        return;
    case Ending::Refused:
        throw platform::SilentAbort();
    case Ending::Done:
        accept();
        return;
    case Ending::Failed:
        reject();
        // shown over the screen already: the caller learns of it without showing it again
        throw platform::SilentAbort();
    }
}

bool TfrmTrPosicao::confirm(const QString& question) {
    return platform::ui::Mensagem(question, QString(), QStringLiteral("N"), QStringLiteral("S"), 1, QString(),
                                  IdEsquema, 0, nullptr);
}

void TfrmTrPosicao::showDone(const QString& text) {
    platform::ui::Mensagem(text, QString(), QStringLiteral("N"), QStringLiteral("N"), 0, QString(), IdEsquema,
                           0, nullptr);
}

QVariant TfrmTrPosicao::cleanUp(const QString& table, const QString& branch, const QString& store) {
    return Srv_Mvt04215::setDeletaVendaRest(table.toStdString(), branch.toStdString(), store.toStdString());
}

TransferOutcome TfrmTrPosicao::transfer(const QByteArray& request) {
    const QVariant result = Srv_Mvt04215::setTransferencia(request);
    // raises the server's failure text
    platform::ui::MensagemMetodo(result, true, 0, QStringLiteral("setTransferencia"), UnitTag,
                                 QStringLiteral("cdsProdDes.data"), IdEsquema);
    return {TransferOutcome::Kind::Done,
            Srv_Mvt04215::rdmTrPosicao ? Srv_Mvt04215::rdmTrPosicao->lastNotice : QString()};
}

void TfrmTrPosicao::writeAudit(const AuditEntry& e) {
    platform::LogControleAcess(e.branch, e.till, e.action, e.operatorCode, e.operatorName, e.param, e.reason,
                               e.text, e.sale, e.tab, e.tabName, e.table, 0, 0);
}

} // namespace Cli_Mvt04215
