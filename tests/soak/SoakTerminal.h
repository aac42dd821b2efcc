#pragma once

#include <QString>
#include <QStringList>

// One terminal of the soak: a process with its own data module and connection that does, over and
// over, what the transfer screen does, and journals every step.
namespace soak {

struct TerminalOptions {
    QString database;    // connection string
    int instance = 0;    // unique across the run, replacements included
    int transfers = 0;   // requests to send
    qint64 deadline = 0; // ms since the epoch; no new request after it
    quint64 seed = 1;
    QString journal;
    QStringList tables;
};

// Exit code 0 when the quota or the deadline was reached; findings go to the journal.
int runTerminal(const TerminalOptions& options);

} // namespace soak
