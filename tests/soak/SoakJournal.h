#pragma once

#include <QFile>
#include <QJsonObject>
#include <QSet>
#include <QStringList>
#include <utility>

// What each terminal did, as JSON lines in a file of its own. Each line goes out in one write, so a
// terminal killed at any moment loses at most the line it was writing, and an entry written before a
// request is sent survives its kill: the request's outcome is then unknown, and the tabs it may have
// split are known.
namespace soak {

class JournalWriter {
public:
    explicit JournalWriter(const QString& path);
    void write(const QJsonObject& entry);

private:
    QFile file_;
};

// Everything the journals of one run tell, added up.
struct JournalTally {
    int attempted = 0; // requests sent to the transfer
    int committed = 0;
    int refusedStale = 0;     // origin changed since the screen read it
    int refusedClosed = 0;    // destination no longer open
    int refusedOtherwise = 0; // any other text: a finding
    int unknown = 0;          // sent, then killed before the outcome was written
    int replays = 0;          // requests sent again from an old screen
    int replaysCommitted = 0;
    int screensClosed = 0; // destination had no open sale when read
    int screensEmpty = 0;  // origin had nothing to offer
    int freeChecks = 0;    // emptiness checks of a table
    int freed = 0;         // tables freed
    int reopened = 0;      // free tables given a new sale
    int cleanupsThatRemoved = 0;
    QStringList findings; // unexpected texts and failures, with their context
    // Tabs of split moves that committed or may have, and the tabs that items from such a tab reached:
    // a part's rows both carry the item's whole surcharge, so a tab can give less than an item's own.
    QSet<QString> possiblySplitTabs;

    void read(const QString& path);

private:
    void noteMove(const QJsonObject& sent);
    void spreadSplits();
    QList<std::pair<QSet<QString>, QString>> moves_; // origin tabs and destination tab of each request
};

// The requests a journal shows as sent (the quota a replacement terminal still owes).
int sentIn(const QString& path);

} // namespace soak
