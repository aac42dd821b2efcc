#include "TransferConfirmation.h"

#include "platform/AuditLog.h"
#include "platform/Errors.h"
#include "schema/CodeValues.h"

#include <algorithm>
#include <iterator>

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

TransferConfirmation::TransferConfirmation(ConfirmationQuestions& questions, ConfirmationPlace place,
                                           platform::Dataset& request, platform::Dataset& destinationCheck,
                                           const platform::TMessages& messages)
    : questions_(questions), place_(std::move(place)), request_(request), check_(destinationCheck),
      messages_(messages) {}

TransferConfirmation::Ending TransferConfirmation::run() {
    if (const char* key = refusal()) {
        questions_.showError(msg(key));
        return Ending::Refused;
    }
    if (!questions_.confirm(msg("CONFIRMATION")))
        return Ending::Declined;
    TransferOutcome outcome;
    try {
        outcome = send();
    } catch (const std::exception& e) {
        outcome = {TransferOutcome::Kind::Failed, QString::fromUtf8(e.what())};
    }
    return tell(outcome);
}

const char* TransferConfirmation::refusal() {
    using namespace schema::codes;
    if (!request_.active() || request_.isEmpty())
        return "POSINFO";
    const QString status = checked("IDSTMESAAUX");
    if (status == TableBillRequested || status == TableBillReceiving)
        return "MESASOLI";
    // Without an open sale at the destination the items would belong to no tab and the next clean-up
    // would delete them.
    if (check_.isEmpty() || checked("NRCOMANDA").isEmpty())
        return "OPE_BLOQ_ABER";
    return nullptr;
}

TransferOutcome TransferConfirmation::send() {
    const QString destTab = checked("NRCOMANDA");
    const QString destSale = checked("NRVENDAREST");
    for (request_.first(); !request_.eof(); request_.next()) {
        request_.edit();
        request_.field(QStringLiteral("NRCOMANDA")).setString(destTab);
        request_.field(QStringLiteral("NRVENDAREST")).setString(destSale);
        request_.field(QStringLiteral("NRMESAORI")).setString(place_.originTable);
        request_.post();
    }

    geraLog(resultCode(questions_.cleanUp(place_.destinationTable, place_.branch, place_.store)),
            place_.destinationTable);

    const TransferOutcome outcome = questions_.transfer(request_.packetJson());
    for (request_.first(); !request_.eof(); request_.next())
        audit(transferEntry());
    return outcome;
}

TransferConfirmation::Ending TransferConfirmation::tell(const TransferOutcome& outcome) {
    if (outcome.kind == TransferOutcome::Kind::Done) {
        // a connection that dropped after the commit went out, and a new one found it committed
        questions_.showDone(outcome.text.isEmpty() ? msg("TRANSOK") : msg("TRANSOK") + u'\n' + outcome.text);
        reportRefusedAudit(true);
        return Ending::Done;
    }
    questions_.showError(outcome.text);
    reportRefusedAudit(false);
    return Ending::Failed;
}

QString TransferConfirmation::msg(const char* key) const {
    return messages_.Msg(QString::fromLatin1(key));
}

QString TransferConfirmation::checked(const char* name) {
    return field(check_, name);
}

AuditEntry TransferConfirmation::transferEntry() {
    const QString text = msg("Mot_Mesa") + u' ' + place_.originTable + QStringLiteral(" pos. ") +
                         field(request_, "NRLUGARMESAORIG") + u' ' + msg("Mot_Para") + u' ' +
                         place_.destinationTable + QStringLiteral(" pos. ") + field(request_, "NRLUGARMESA") +
                         QStringLiteral(". ") + msg("Mot_Vend") + u' ' + field(request_, "NRVENDAREST") +
                         QStringLiteral(". ") + msg("Mot_Trans") + u' ' + field(request_, "CDPRODUTO") +
                         QStringLiteral(" - ") + field(request_, "NMPRODUTO");
    return {place_.branch,          place_.till,          QStringLiteral("TRA_PRO"), place_.operatorCode,
            place_.operatorName,    place_.paramLog,      msg("Mot_Tra_Pro1"),       text,
            checked("NRVENDAREST"), checked("NRCOMANDA"), checked("DSCOMANDA"),      checked("NRMESA")};
}

void TransferConfirmation::geraLog(int code, const QString& table) {
    using namespace schema::codes;
    struct Step {
        CleanupCode value;
        const char* action;
        const char* key;
    };
    // highest first
    static const Step steps[] = {{CleanupTablelessSales, "DEL_RES", "DEL_VEN"},
                                 {CleanupOrphanTabs, "DEL_CMD", "DEL_CMD"},
                                 {CleanupOrphanTabItems, "DEL_ICM", "DEL_ICM"},
                                 {CleanupOrphanItems, "DEL_ITC", "DEL_ITC"}};
    while (code > 0) {
        // the lowest value is 1: a positive code always holds a step
        const Step& step = *std::find_if(std::begin(steps), std::end(steps),
                                         [code](const Step& s) { return code >= s.value; });
        code -= step.value;
        const QString text = msg(step.key);
        const QString detail =
            step.value == CleanupTablelessSales ? text + QStringLiteral(" Nº da mesa : ") + table : text;
        audit({place_.branch, place_.till, QString::fromLatin1(step.action), place_.operatorCode,
               place_.operatorName, QString(), text, detail, QString(), QString(), QString(), QString()});
    }
}

void TransferConfirmation::audit(const AuditEntry& entry) {
    try {
        questions_.writeAudit(entry);
    } catch (const platform::AuditLogError& e) {
        platform::writeRefusedEntry(e);
        refusedAuditEntries_ << e.text();
    }
}

void TransferConfirmation::reportRefusedAudit(bool transferDone) {
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
    questions_.showError(text + QStringLiteral("\n\n") + refusedAuditEntries_.first());
    refusedAuditEntries_.clear();
}

} // namespace Cli_Mvt04215
