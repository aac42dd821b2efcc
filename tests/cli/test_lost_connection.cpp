// The tool on a PostgreSQL server behind a link that breaks: cut, reset or gone silent at chosen bytes of
// the session's set-up, of the transfer's reading and of its writing with the commit. Whatever the tool
// says must be what the tables show: done (exit 0) exactly when the transfer committed, not done (exit 1)
// when nothing of it stayed and a repeat goes through, unknown (exit 3) only when no new connection
// could tell, and never a driver's words.

#include "ToolRun.h"
#include "support/DatabaseFixture.h"
#include "support/DelayProxy.h"
#include "support/ServerFixture.h"
#include "support/TransferRequest.h"

#include "platform/Text.h"
#include "platform/db/Failures.h"
#include "server/TransferOutcome.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryFile>
#include <QThread>
#include <QUrl>
#include <QUrlQuery>
#include <gtest/gtest.h>

using namespace testsupport;
using namespace Qt::StringLiterals;
using Fault = DelayProxy::Fault;
using Direction = DelayProxy::Direction;

namespace {

// One message of the protocol in a recorded stream: its type (0 for the untyped ones that open a
// session) and where it lies.
struct Message {
    char type = 0;
    qsizetype begin = 0, end = 0;
    QByteArray body;
};

qint32 bigEndian(const QByteArray& bytes, qsizetype at) {
    return qint32((quint32(quint8(bytes[at])) << 24) | (quint32(quint8(bytes[at + 1])) << 16) |
                  (quint32(quint8(bytes[at + 2])) << 8) | quint32(quint8(bytes[at + 3])));
}

// What the client sent: the requests before the start-up message carry no type (SSL, encryption).
QList<Message> clientMessages(const QByteArray& up) {
    QList<Message> out;
    qsizetype at = 0;
    bool started = false;
    while (at + 5 <= up.size()) {
        Message m;
        m.begin = at;
        if (!started) {
            const qint32 length = bigEndian(up, at);
            started = bigEndian(up, at + 4) == 0x00030000; // the start-up message's protocol version
            m.end = at + length;
        } else {
            m.type = up[at];
            m.end = at + 1 + bigEndian(up, at + 1);
        }
        m.body = up.mid(m.begin, m.end - m.begin);
        out << m;
        at = m.end;
    }
    return out;
}

// What the server answered; a single 'N' first refuses the client's SSL request.
QList<Message> serverMessages(const QByteArray& down) {
    QList<Message> out;
    qsizetype at = down.startsWith('N') ? 1 : 0;
    while (at + 5 <= down.size()) {
        Message m{down[at], at, at + 1 + bigEndian(down, at + 1), {}};
        m.body = down.mid(m.begin, m.end - m.begin);
        out << m;
        at = m.end;
    }
    return out;
}

// Where the exchanges of one clean transfer by the tool begin and end, in bytes of each direction.
struct Landmarks {
    quint64 startupEnd = 0;      // the client's start-up message
    quint64 readyAfterLogin = 0; // the server's first ReadyForQuery
    quint64 settingsStart = 0;   // the session's settings, one statement
    quint64 readingStart = 0, readingEnd = 0, readingAnswerEnd = 0;
    quint64 writingStart = 0, commitEnd = 0, writingEnd = 0;
    quint64 commitAnswerStart = 0, writingAnswerEnd = 0; // the server's "COMMIT" and what ends its answer
};

Landmarks landmarksOf(const DelayProxy::Recording& link) {
    const QList<Message> up = clientMessages(link.toServer);
    const QList<Message> down = serverMessages(link.toClient);
    Landmarks l;
    // each simple query and each sync of the client is answered by one ReadyForQuery, in order; the
    // first ReadyForQuery ends the login
    QList<qsizetype> ready;
    for (const Message& m : down) {
        if (m.type == 'Z')
            ready << m.end;
        if (m.type == 'C' && m.body.contains(QByteArray("COMMIT\0", 7)))
            l.commitAnswerStart = quint64(m.begin);
    }
    int syncs = 0;
    bool inReading = false, inWriting = false;
    for (const Message& m : up) {
        if (m.type == 0)
            l.startupEnd = quint64(m.end);
        if (m.type == 'Q' && m.body.contains("set_config"))
            l.settingsStart = quint64(m.begin);
        if (m.type == 'P' && m.body.contains(QByteArray("BEGIN\0", 6))) {
            inReading = true;
            l.readingStart = quint64(m.begin);
        }
        if (m.type == 'P' && m.body.contains(QByteArray("COMMIT\0", 7)))
            inWriting = true;
        if (inWriting && m.type == 'E' && l.commitEnd == 0)
            l.commitEnd = quint64(m.end);
        if (m.type == 'Q' || m.type == 'S') {
            ++syncs;
            if (inReading && l.readingEnd == 0) {
                l.readingEnd = quint64(m.end);
                l.readingAnswerEnd = quint64(ready.value(syncs));
                l.writingStart = quint64(m.end);
            } else if (inWriting && l.writingEnd == 0) {
                l.writingEnd = quint64(m.end);
                l.writingAnswerEnd = quint64(ready.value(syncs));
            }
        }
    }
    l.readyAfterLogin = quint64(ready.value(0));
    return l;
}

enum class Told { Done, NotDone, Either, Unknown, SetupLost };

struct Case {
    const char* name;
    Direction direction;
    quint64 Landmarks::*from;
    qint64 offset;          // bytes after (or before) the landmark
    quint64 Landmarks::*to; // when set, the cut lies halfway between `from` and this
    Fault fault;
    Told told;
    bool refuseLater = false;
};

class LostConnection : public DatabaseFixture<OnPostgreSQL> {
protected:
    void prepare() override {
        seed();
        proxy = std::make_unique<DelayProxy>(QUrl(postgresUri()).host(), QUrl(postgresUri()).port(5432),
                                             std::chrono::nanoseconds(0));
        TransferRequest request(database->admin(), {u"0002"_s, u"S2"_s, u"D2"_s, u"3"_s});
        for (int i = 1; i <= 10; ++i) {
            const QString item = platform::Ajusta(QString::number(i), 6);
            // three of them split, the others whole
            if (i % 4 == 0)
                request.move(u"A1"_s, item, 1);
            else
                request.move(u"A1"_s, item);
        }
        ASSERT_TRUE(file.open());
        file.write(request.packet());
        file.flush();
        before = database->snapshot();
    }

    // Ten items in tab A1 of table 0001, some with observations, components and their observations,
    // and the destination table 0002 with its tab D2.
    void seed() {
        SalesBuilder& b = *builder;
        b.product(u"P1"_s, u"Prato"_s).product(u"P2"_s, u"Extra"_s);
        b.table(u"0001"_s).table(u"0002"_s);
        b.sale(u"S1"_s, u"0001"_s).sale(u"S2"_s, u"0002"_s);
        b.tab(u"A1"_s, u"S1"_s, u"Mesa 1"_s, 1.5).tab(u"D2"_s, u"S2"_s);
        for (int i = 1; i <= 10; ++i) {
            const QString item = platform::Ajusta(QString::number(i), 6);
            b.item(u"A1"_s, item, u"P1"_s, 2, {{u"VRACRCOMVEN"_s, 0.25}});
            if (i % 3 == 0)
                b.observation(u"A1"_s, item, u"01"_s, u"02"_s)
                    .component(u"A1"_s, item, u"P2"_s, 1, 2)
                    .componentObservation(u"A1"_s, item, u"P2"_s, u"01"_s, u"03"_s);
        }
    }

    void reseed() {
        database->emptyTables();
        seed();
        ASSERT_EQ(database->snapshot(), before);
    }

    // The test database through the proxy, with the short bounds a broken link is waited for (a clean
    // run is given time, however busy the machine).
    QString throughProxy(int pipelineSeconds = 30, int outcomeSeconds = 10) const {
        QUrl url(database->connectionString());
        url.setPort(proxy->port());
        QUrlQuery query(url);
        query.addQueryItem(u"connect_timeout"_s, u"2"_s);
        query.addQueryItem(u"pipeline_timeout"_s, QString::number(pipelineSeconds));
        query.addQueryItem(u"outcome_timeout"_s, QString::number(outcomeSeconds));
        query.addQueryItem(u"idle_in_transaction_session_timeout"_s, u"3s"_s);
        url.setQuery(query);
        return url.toString();
    }

    ToolRun transfer(const QString& connection) {
        return runTool({u"--db"_s, connection, u"set-transferencia"_s, file.fileName()}, {}, 60000);
    }

    std::unique_ptr<DelayProxy> proxy;
    QTemporaryFile file;
    QStringList before;
};

// The recording of the one link a clean run made, once the proxy has seen it end.
DelayProxy::Recording onlyLink(const DelayProxy& proxy) {
    QElapsedTimer waited;
    waited.start();
    while (proxy.endedLinks().isEmpty() && waited.elapsed() < 10000)
        QThread::msleep(10);
    const QList<DelayProxy::Recording> links = proxy.endedLinks();
    EXPECT_EQ(links.size(), 1);
    return links.value(0);
}

QString noAnswer(const QString& connection) {
    return platform::db::noAnswerText(platform::db::redactedConnectionString(connection)) + u'\n';
}

} // namespace

TEST_F(LostConnection, WhatTheToolSaysIsWhatTheTablesShow) {
    // a clean transfer through the proxy: what it leaves, and where its exchanges lie
    proxy->record(true);
    const ToolRun clean = transfer(throughProxy());
    ASSERT_EQ(clean.exitCode, 0) << describe(clean);
    ASSERT_TRUE(clean.err.isEmpty()) << describe(clean);
    const QStringList after = database->snapshot();
    ASSERT_NE(after, before);
    const Landmarks l = landmarksOf(onlyLink(*proxy));
    proxy->record(false);
    ASSERT_GT(l.settingsStart, l.startupEnd);
    ASSERT_GT(l.readingStart, l.settingsStart);
    ASSERT_GT(l.commitEnd, l.writingStart);
    ASSERT_GT(l.writingEnd, l.commitEnd);
    ASSERT_GT(l.commitAnswerStart, l.readingAnswerEnd);
    ASSERT_GT(l.writingAnswerEnd, l.commitAnswerStart);

    // what a committed transfer leaves behind, for the look on the road that has no transaction number
    Srv_Mvt04215::TransferTraces traces{u"0001"_s, u"S2"_s, u"D2"_s, {}, {}};
    for (int i = 1; i <= 10; ++i)
        traces.originItems.append({u"A1"_s, platform::Ajusta(QString::number(i), 6)});
    for (const QString& item :
         database->rows(u"SELECT NRPRODCOMVEN FROM ITCOMANDAVEN WHERE NRCOMANDA = 'D2'"_s))
        traces.newItems.insert(item);
    ASSERT_EQ(traces.newItems.size(), 10);

    using L = Landmarks;
    const Direction up = Direction::ToServer, down = Direction::ToClient;
    const Case cases[] = {
        // the session's set-up
        {"in the start-up message", up, &L::startupEnd, -5, nullptr, Fault::Cut, Told::SetupLost},
        {"in the login's answer", down, &L::readyAfterLogin, -3, nullptr, Fault::Reset, Told::SetupLost},
        {"in Qt's own set-up", down, &L::readyAfterLogin, 0, nullptr, Fault::Cut, Told::SetupLost},
        {"in the session's settings", up, &L::settingsStart, 10, nullptr, Fault::Reset, Told::SetupLost},
        // the reading under lock
        {"in the reading", up, &L::readingStart, 0, &L::readingEnd, Fault::Cut, Told::NotDone},
        {"in the reading", up, &L::readingStart, 0, &L::readingEnd, Fault::Reset, Told::NotDone},
        {"in the reading", up, &L::readingStart, 0, &L::readingEnd, Fault::Silence, Told::NotDone},
        {"in the reading's answer", down, &L::readyAfterLogin, 0, &L::readingAnswerEnd, Fault::Cut,
         Told::NotDone},
        // the writing with the commit
        {"in the writing, before the commit", up, &L::writingStart, 0, &L::commitEnd, Fault::Cut,
         Told::NotDone},
        {"in the writing, before the commit", up, &L::writingStart, 0, &L::commitEnd, Fault::Reset,
         Told::NotDone},
        {"in the writing, before the commit", up, &L::writingStart, 0, &L::commitEnd, Fault::Silence,
         Told::NotDone},
        {"right after the commit's message", up, &L::commitEnd, 0, nullptr, Fault::Cut, Told::Done},
        {"right after the commit's message", up, &L::commitEnd, 0, nullptr, Fault::Reset, Told::Either},
        {"right after the commit's message", up, &L::commitEnd, 0, nullptr, Fault::Silence, Told::Done},
        {"after the whole writing", up, &L::writingEnd, 0, nullptr, Fault::Cut, Told::Done},
        {"after the whole writing", up, &L::writingEnd, 0, nullptr, Fault::Reset, Told::Either},
        // the writing's first answers may leave the server before the commit has reached it
        {"before the writing's answer", down, &L::readingAnswerEnd, 0, nullptr, Fault::Cut, Told::Either},
        {"in the writing's answer", down, &L::readingAnswerEnd, 0, &L::commitAnswerStart, Fault::Reset,
         Told::Either},
        {"in the writing's answer", down, &L::readingAnswerEnd, 0, &L::commitAnswerStart, Fault::Silence,
         Told::Either},
        // the server has committed when it answers the commit
        {"before the commit's answer", down, &L::commitAnswerStart, 0, nullptr, Fault::Cut, Told::Done},
        {"before the commit's answer", down, &L::commitAnswerStart, 0, nullptr, Fault::Reset, Told::Done},
        {"before the commit's answer", down, &L::commitAnswerStart, 0, nullptr, Fault::Silence, Told::Done},
        {"in the commit's answer", down, &L::commitAnswerStart, 3, nullptr, Fault::Cut, Told::Done},
        {"at the writing answer's last byte", down, &L::writingAnswerEnd, -1, nullptr, Fault::Cut,
         Told::Done},
        {"at the writing answer's last byte", down, &L::writingAnswerEnd, -1, nullptr, Fault::Silence,
         Told::Done},
        // no new connection can be had to find out
        {"before the commit's answer, no way back", down, &L::commitAnswerStart, 0, nullptr, Fault::Cut,
         Told::Unknown, true},
        {"before the commit's answer, no way back", down, &L::commitAnswerStart, 0, nullptr, Fault::Silence,
         Told::Unknown, true},
    };
    const QString direct = database->connectionString();
    for (const Case& c : cases) {
        const char* faults[] = {"cut", "reset", "silence"};
        SCOPED_TRACE(std::string(c.name) + ", " + faults[int(c.fault)] +
                     (c.direction == up ? " (to the server)" : " (to the client)"));
        reseed();
        qint64 at = qint64(l.*(c.from)) + c.offset;
        if (c.to)
            at += (qint64(l.*(c.to)) - qint64(l.*(c.from))) / 2;
        proxy->breakNextLink({c.direction, quint64(at), c.fault}, c.refuseLater);
        const QString connection = throughProxy(2, c.refuseLater ? 2 : 10);
        const ToolRun run = transfer(connection);
        proxy->mend();
        const QStringList now = database->snapshot();
        // done exactly when committed; not done exactly when nothing stayed
        switch (run.exitCode) {
        case 0:
            EXPECT_EQ(now, after) << describe(run);
            // the line of a commit found on a new connection, unless its answer had come
            EXPECT_TRUE(run.err.isEmpty() ||
                        run.err == Srv_Mvt04215::outcomeText::committedAfterDrop() + u'\n')
                << describe(run);
            break;
        case 1:
            EXPECT_EQ(now, before) << describe(run);
            EXPECT_EQ(run.err, noAnswer(connection)) << describe(run);
            break;
        case 3:
            EXPECT_TRUE(now == before || now == after) << describe(run);
            EXPECT_EQ(run.err, Srv_Mvt04215::outcomeText::unknown(
                                   u"0002"_s, platform::db::redactedConnectionString(connection)) +
                                   u'\n')
                << describe(run);
            break;
        default:
            ADD_FAILURE() << describe(run);
        }
        EXPECT_TRUE(run.out.isEmpty()) << describe(run);
        switch (c.told) {
        case Told::Done:
            EXPECT_EQ(run.exitCode, 0) << describe(run);
            break;
        case Told::NotDone:
        case Told::SetupLost:
            EXPECT_EQ(run.exitCode, 1) << describe(run);
            break;
        case Told::Either:
            EXPECT_NE(run.exitCode, 3) << describe(run);
            break;
        case Told::Unknown:
            EXPECT_EQ(run.exitCode, 3) << describe(run);
            break;
        }
        // the move records say the same as the tables, to the road that has no transaction number
        if (run.exitCode != 3 && c.told != Told::SetupLost) {
            EXPECT_EQ(Srv_Mvt04215::findOutcome(direct, std::nullopt, traces),
                      now == after ? Srv_Mvt04215::Outcome::Committed : Srv_Mvt04215::Outcome::NotCommitted);
        }
        // a transfer told not done goes through when repeated; a done one has nothing left to repeat
        if (run.exitCode == 1) {
            const ToolRun again = transfer(throughProxy());
            EXPECT_EQ(again.exitCode, 0) << describe(again);
            EXPECT_EQ(database->snapshot(), after);
        }
    }
}

// A terminal whose link went silent inside a transfer holds the tabs' rows only until the server ends
// its session (idle_in_transaction_session_timeout, 3 s here): another terminal on the same tabs waits
// for that, within its own lock wait (10 s), instead of being told the table is busy.
TEST_F(LostConnection, ASilentTerminalLetsGoOfItsTabs) {
    // the silent terminal's session is told apart by its name; it waits longer than the test
    QUrl url(throughProxy(60));
    QUrlQuery query(url);
    query.addQueryItem(u"application_name"_s, u"silent-terminal"_s);
    url.setQuery(query);
    // silent once the reading's answer is back: the tabs are locked, the writing never arrives
    proxy->record(true);
    {
        const ToolRun clean = transfer(url.toString());
        ASSERT_EQ(clean.exitCode, 0) << describe(clean);
    }
    const Landmarks l = landmarksOf(onlyLink(*proxy));
    ASSERT_GT(l.writingStart, 0U);
    reseed();
    proxy->breakNextLink({Direction::ToServer, l.writingStart, Fault::Silence});
    QProcess silent;
    silent.start(QStringLiteral(MVT_CLI_PATH),
                 {u"--db"_s, url.toString(), u"set-transferencia"_s, file.fileName()});
    ASSERT_TRUE(silent.waitForStarted(30000));
    // wait until it holds the locks
    QElapsedTimer waited;
    waited.start();
    while (database
               ->scalar(u"SELECT COUNT(*) FROM pg_stat_activity WHERE application_name = "
                        "'silent-terminal' AND state = 'idle in transaction'"_s)
               .toInt() == 0) {
        ASSERT_LT(waited.elapsed(), 20000) << "the silent terminal never locked its tabs";
        QThread::msleep(50);
    }

    const auto other = openDataModule(database->connectionString());
    Srv_Mvt04215::rdmTrPosicao = other.get();
    QFile packet(file.fileName());
    ASSERT_TRUE(packet.open(QIODevice::ReadOnly));
    const QVariant result = Srv_Mvt04215::setTransferencia(packet.readAll());
    Srv_Mvt04215::rdmTrPosicao = nullptr;
    EXPECT_FALSE(result.isValid()) << result.toString().toStdString();
    silent.kill();
    silent.waitForFinished();
    EXPECT_EQ(database->count(u"ITCOMANDAVEN WHERE NRCOMANDA = 'D2'"_s), 10);
}
