// Confirmation: the only step of the screen that changes the database.

#include "TfrmTrPosicao.h"
#include "platform/AuditLog.h"
#include "platform/Errors.h"
#include "platform/ui/Dialogs.h"
#include "schema/CodeValues.h"
#include "server/Srv_Mvt04215.h"
#include "server/TrdmTrPosicao.h"

namespace Cli_Mvt04215 {
namespace {

QString field(platform::Dataset& ds, const char* name) {
    return ds.field(QString::fromLatin1(name)).asString();
}

// The clean-up's result code; its failure text does not read as one.
int resultCode(const QVariant& result) {
    if (result.metaType().id() == QMetaType::Int)
        return result.toInt();
    bool ok = false;
    const int code = result.toString().trimmed().toInt(&ok);
    if (!ok)
        throw platform::Error(QStringLiteral("\"%1\" não é um valor inteiro válido.").arg(result.toString()));
    return code;
}

} // namespace

void TfrmTrPosicao::sbtConfirmarClick(QObject* /*sender*/) {
    using namespace schema::codes;
    if (!cdsProdDes.active() || cdsProdDes.isEmpty()) {
        showError(msgPadrao.Msg(QStringLiteral("POSINFO")));
        throw platform::SilentAbort();
    }
    const QString status = field(cdsVerificaMesaDes, "IDSTMESAAUX");
    if (status == TableBillRequested || status == TableBillReceiving) {
        showError(msgPadrao.Msg(QStringLiteral("MESASOLI")));
        throw platform::SilentAbort();
    }
    // Without an open sale at the destination the items would belong to no tab and the next clean-up
    // would delete them.
    if (cdsVerificaMesaDes.isEmpty() || field(cdsVerificaMesaDes, "NRCOMANDA").isEmpty()) {
        showError(msgPadrao.Msg(QStringLiteral("OPE_BLOQ_ABER")));
        throw platform::SilentAbort();
    }
    if (!platform::ui::Mensagem(msgPadrao.Msg(QStringLiteral("CONFIRMATION")), QString(), QStringLiteral("N"),
                                QStringLiteral("S"), 1, QString(), IdEsquema, 0, nullptr))
        return;

    refusedAuditEntries_.clear();
    QString notice;
    try {
        const QString destTab = field(cdsVerificaMesaDes, "NRCOMANDA");
        const QString destSale = field(cdsVerificaMesaDes, "NRVENDAREST");
        for (cdsProdDes.first(); !cdsProdDes.eof(); cdsProdDes.next()) {
            cdsProdDes.edit();
            cdsProdDes.field(QStringLiteral("NRCOMANDA")).setString(destTab);
            cdsProdDes.field(QStringLiteral("NRVENDAREST")).setString(destSale);
            cdsProdDes.field(QStringLiteral("NRMESAORI")).setString(NrMesaOrig);
            cdsProdDes.post();
        }

        const QVariant cleanup = Srv_Mvt04215::setDeletaVendaRest(
            NrMesaDest.toStdString(), CdFilial.toStdString(), CdLoja.toStdString());
        geraLog(resultCode(cleanup), NrMesaDest);

        const QVariant result = Srv_Mvt04215::setTransferencia(cdsProdDes.packetJson());
        platform::ui::MensagemMetodo(result, true, 0, QStringLiteral("setTransferencia"),
                                     QStringLiteral("Cli_Mvt04215"), QStringLiteral("cdsProdDes.data"),
                                     IdEsquema);
        // a connection that dropped after the commit went out, and a new one found it committed
        if (Srv_Mvt04215::rdmTrPosicao)
            notice = Srv_Mvt04215::rdmTrPosicao->lastNotice;

        for (cdsProdDes.first(); !cdsProdDes.eof(); cdsProdDes.next()) {
            const QString text =
                msgPadrao.Msg(QStringLiteral("Mot_Mesa")) + u' ' + NrMesaOrig + QStringLiteral(" pos. ") +
                field(cdsProdDes, "NRLUGARMESAORIG") + u' ' + msgPadrao.Msg(QStringLiteral("Mot_Para")) +
                u' ' + NrMesaDest + QStringLiteral(" pos. ") + field(cdsProdDes, "NRLUGARMESA") +
                QStringLiteral(". ") + msgPadrao.Msg(QStringLiteral("Mot_Vend")) + u' ' +
                field(cdsProdDes, "NRVENDAREST") + QStringLiteral(". ") +
                msgPadrao.Msg(QStringLiteral("Mot_Trans")) + u' ' + field(cdsProdDes, "CDPRODUTO") +
                QStringLiteral(" - ") + field(cdsProdDes, "NMPRODUTO");
            writeAudit([&] {
                platform::LogControleAcess(
                    CdFilial, CdCaixa, QStringLiteral("TRA_PRO"), CdOperador, NmOperador, ParamLog,
                    msgPadrao.Msg(QStringLiteral("Mot_Tra_Pro1")), text,
                    field(cdsVerificaMesaDes, "NRVENDAREST"), field(cdsVerificaMesaDes, "NRCOMANDA"),
                    field(cdsVerificaMesaDes, "DSCOMANDA"), field(cdsVerificaMesaDes, "NRMESA"), 0, 0);
            });
        }
    } catch (const std::exception& e) {
        showError(QString::fromUtf8(e.what()));
        reportRefusedAudit(false);
        reject();
        // shown over the screen already: the caller learns of it without showing it again
        throw platform::SilentAbort();
    }
    const QString done = msgPadrao.Msg(QStringLiteral("TRANSOK"));
    platform::ui::Mensagem(notice.isEmpty() ? done : done + u'\n' + notice, QString(), QStringLiteral("N"),
                           QStringLiteral("N"), 0, QString(), IdEsquema, 0, nullptr);
    reportRefusedAudit(true);
    accept();
}

// The database change has happened by the time an entry is written: a log that cannot take it must not
// turn that into an error, or the operator would move the items again.
void TfrmTrPosicao::writeAudit(const std::function<void()>& write) {
    try {
        write();
    } catch (const platform::AuditLogError& e) {
        platform::writeRefusedEntry(e);
        refusedAuditEntries_ << e.text();
    }
}

void TfrmTrPosicao::reportRefusedAudit(bool transferDone) {
    if (refusedAuditEntries_.isEmpty())
        return;
    QString text =
        QStringLiteral("%1 registro(s) de auditoria não puderam ser gravados e foram enviados à saída "
                       "de erros do programa.")
            .arg(refusedAuditEntries_.size());
    if (transferDone)
        text = QStringLiteral("A transferência foi realizada, mas ") + text +
               QStringLiteral(" Não a repita; avise o suporte.");
    else
        text += QStringLiteral(" Avise o suporte.");
    showError(text + QStringLiteral("\n\n") + refusedAuditEntries_.first());
    refusedAuditEntries_.clear();
}

void TfrmTrPosicao::geraLog(int code, const QString& table) {
    struct Step {
        int value;
        const char* action;
        const char* key;
    };
    static const Step steps[] = {{8, "DEL_RES", "DEL_VEN"},
                                 {4, "DEL_CMD", "DEL_CMD"},
                                 {2, "DEL_ICM", "DEL_ICM"},
                                 {1, "DEL_ITC", "DEL_ITC"}};
    while (code > 0) {
        const Step* step = &steps[3];
        for (const Step& s : steps) {
            if (code >= s.value) {
                step = &s;
                break;
            }
        }
        code -= step->value;
        const QString text = msgPadrao.Msg(QString::fromLatin1(step->key));
        const QString detail = step->value == 8 ? text + QStringLiteral(" Nº da mesa : ") + table : text;
        writeAudit([&] {
            platform::LogControleAcess(CdFilial, CdCaixa, QString::fromLatin1(step->action), CdOperador,
                                       NmOperador, QString(), text, detail, QString(), QString(), QString(),
                                       QString(), 0, 0);
        });
    }
}

} // namespace Cli_Mvt04215
