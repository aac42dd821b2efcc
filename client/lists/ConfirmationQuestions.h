#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

namespace Cli_Mvt04215 {

// One entry of the access-control audit log, its arguments in the log's order (the two numbers that
// follow them are always zero).
struct AuditEntry {
    QString branch, till, action, operatorCode, operatorName, param, reason, text;
    QString sale, tab, tabName, table; // the destination check's, on a transfer's entries
};

// What came of the transfer request. The confirmation tells the operator of every outcome in one place.
struct TransferOutcome {
    enum class Kind {
        Done,   // the server moved the items; `text` is a line to add, if any (a connection that dropped
                // after the commit went out)
        Failed, // a step failed after the operator confirmed; `text` says which and why
    };
    Kind kind = Kind::Done;
    QString text;
};

// What the confirmation asks the operator, the server and the audit log. The screen answers with the
// dialog layer, the in-process server methods and the log; tests answer with plain values.
class ConfirmationQuestions {
public:
    virtual ~ConfirmationQuestions() = default;

    // True when the operator confirms the question.
    virtual bool confirm(const QString& question) = 0;
    // An error the operator acknowledges: a refusal, a failure, audit entries the log refused.
    virtual void showError(const QString& text) = 0;
    // The transfer is done.
    virtual void showDone(const QString& text) = 0;

    // The server's clean-up of the branch's orphan rows and the table's sales without a tab: the sum of
    // the clean-ups that ran, or its failure text.
    virtual QVariant cleanUp(const QString& table, const QString& branch, const QString& store) = 0;
    // Sends the request (the destination list's data packet). Throws when the server refused it.
    virtual TransferOutcome transfer(const QByteArray& request) = 0;
    // Throws platform::AuditLogError when the log cannot take the entry.
    virtual void writeAudit(const AuditEntry& entry) = 0;

protected:
    ConfirmationQuestions() = default;
    ConfirmationQuestions(const ConfirmationQuestions&) = default;
    ConfirmationQuestions& operator=(const ConfirmationQuestions&) = default;
};

} // namespace Cli_Mvt04215
