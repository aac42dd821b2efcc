#pragma once

#include "ConfirmationQuestions.h"
#include "platform/Dataset.h"
#include "platform/Messages.h"

#include <QStringList>

namespace Cli_Mvt04215 {

// The screen's values the confirmation reads, as they are when the operator confirms.
struct ConfirmationPlace {
    QString originTable, destinationTable, branch, store, till, operatorCode, operatorName, paramLog;
};

// The only step of the screen that changes the database: it refuses a request that cannot go, asks the
// operator, stamps the destination keys on the request, has the server clean up and transfer, writes
// the audit entries and tells the operator how it ended. One object per confirmation.
class TransferConfirmation {
public:
    enum class Ending {
        Refused,  // told why; nothing changed
        Declined, // the operator said no; nothing changed
        Done,     // transferred and told
        Failed,   // a step failed after the operator confirmed; told
    };

    // `request` is the destination list, `destinationCheck` the destination table's check record.
    TransferConfirmation(ConfirmationQuestions& questions, ConfirmationPlace place,
                         platform::Dataset& request, platform::Dataset& destinationCheck,
                         const platform::TMessages& messages);
    TransferConfirmation(const TransferConfirmation&) = delete;
    TransferConfirmation& operator=(const TransferConfirmation&) = delete;

    Ending run();
    // One clean-up entry for each clean-up the code holds, the highest value first; a code above the sum
    // of all repeats the highest.
    void geraLog(int code, const QString& table);

private:
    // The key of the refusal's message, or null when the request may go.
    const char* refusal();
    // Stamps the request, cleans up, transfers and writes the transfer's entries; throws on a failure.
    TransferOutcome send();
    Ending tell(const TransferOutcome& outcome);
    QString msg(const char* key) const;
    QString checked(const char* field);
    AuditEntry transferEntry();
    // The database change has happened by the time an entry is written: a log that cannot take it must
    // not turn that into an error, or the operator would move the items again.
    void audit(const AuditEntry& entry);
    void reportRefusedAudit(bool transferDone);

    ConfirmationQuestions& questions_;
    const ConfirmationPlace place_;
    platform::Dataset& request_;
    platform::Dataset& check_;
    const platform::TMessages& messages_;
    QStringList refusedAuditEntries_;
};

} // namespace Cli_Mvt04215
