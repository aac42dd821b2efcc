#include "SoakJournal.h"

#include "platform/Errors.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>

namespace soak {
namespace {

QList<QJsonObject> entries(const QString& path) {
    QFile f(path);
    QList<QJsonObject> out;
    if (!f.open(QIODevice::ReadOnly))
        return out;
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (line.trimmed().isEmpty())
            continue;
        const QJsonDocument doc = QJsonDocument::fromJson(line);
        // the line a kill cut short
        if (doc.isObject())
            out << doc.object();
    }
    return out;
}

QString str(const QJsonObject& o, const char* name) {
    return o.value(QLatin1String(name)).toString();
}

} // namespace

JournalWriter::JournalWriter(const QString& path) : file_(path) {
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        throw platform::Error(QStringLiteral("cannot write the journal %1").arg(path));
}

void JournalWriter::write(const QJsonObject& entry) {
    const QByteArray line = QJsonDocument(entry).toJson(QJsonDocument::Compact) + '\n';
    if (file_.write(line) != line.size())
        throw platform::Error(QStringLiteral("cannot write the journal %1").arg(file_.fileName()));
}

int sentIn(const QString& path) {
    int n = 0;
    for (const QJsonObject& e : entries(path))
        if (str(e, "e") == QLatin1String("send"))
            ++n;
    return n;
}

void JournalTally::read(const QString& path) {
    QHash<QString, QJsonObject> open; // sent, outcome not yet written
    for (const QJsonObject& e : entries(path)) {
        const QString kind = str(e, "e");
        if (kind == QLatin1String("send")) {
            ++attempted;
            if (e.value(QLatin1String("replay")).toBool())
                ++replays;
            open.insert(str(e, "id"), e);
        } else if (kind == QLatin1String("result")) {
            const QJsonObject sent = open.take(str(e, "id"));
            const QString outcome = str(e, "outcome");
            if (outcome == QLatin1String("committed")) {
                ++committed;
                if (sent.value(QLatin1String("replay")).toBool())
                    ++replaysCommitted;
                for (const auto& t : sent.value(QLatin1String("split")).toArray())
                    possiblySplitTabs.insert(t.toString());
                noteMove(sent);
            } else if (outcome == QLatin1String("stale")) {
                ++refusedStale;
            } else if (outcome == QLatin1String("closed")) {
                ++refusedClosed;
            } else {
                ++refusedOtherwise;
            }
        } else if (kind == QLatin1String("skip")) {
            if (str(e, "why") == QLatin1String("closed"))
                ++screensClosed;
            else
                ++screensEmpty;
        } else if (kind == QLatin1String("verify")) {
            ++freeChecks;
        } else if (kind == QLatin1String("free")) {
            if (e.value(QLatin1String("ok")).toBool())
                ++freed;
        } else if (kind == QLatin1String("reopen")) {
            ++reopened;
        } else if (kind == QLatin1String("cleanup")) {
            ++cleanupsThatRemoved;
        }
        if (kind == QLatin1String("finding"))
            findings << QStringLiteral("%1: %2").arg(path.section(u'/', -1), str(e, "text"));
    }
    // killed while a request was under way: it may have committed
    for (const QJsonObject& sent : std::as_const(open)) {
        ++unknown;
        for (const auto& t : sent.value(QLatin1String("split")).toArray())
            possiblySplitTabs.insert(t.toString());
        noteMove(sent);
    }
    spreadSplits();
}

void JournalTally::noteMove(const QJsonObject& sent) {
    QSet<QString> origins;
    for (const auto& r : sent.value(QLatin1String("records")).toArray())
        origins.insert(r.toObject().value(QLatin1String("tab")).toString());
    moves_.append({origins, str(sent, "tab")});
}

// In whatever order the terminals' requests ran: repeat until no tab is added.
void JournalTally::spreadSplits() {
    for (bool grew = true; grew;) {
        grew = false;
        for (const auto& [origins, destination] : std::as_const(moves_))
            if (!possiblySplitTabs.contains(destination) && origins.intersects(possiblySplitTabs)) {
                possiblySplitTabs.insert(destination);
                grew = true;
            }
    }
}

} // namespace soak
