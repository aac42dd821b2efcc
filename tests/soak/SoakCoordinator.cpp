#include "SoakCoordinator.h"

#include "SoakChecker.h"
#include "SoakJournal.h"
#include "SoakSeed.h"

#include "host/SuiteTables.h"
#include "platform/db/Connection.h"
#include "support/ScratchDatabase.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <memory>
#include <random>

namespace soak {
namespace {

using platform::db::Connection;
using testsupport::DbKind;
using testsupport::openSession;
using testsupport::ScratchDatabase;

void say(const QString& text) {
    std::printf("%s\n", text.toLocal8Bit().constData());
    std::fflush(stdout);
}

QString tail(const QString& path, int lines) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QStringList all = QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
    return all.mid(std::max<qsizetype>(0, all.size() - lines)).join(u'\n');
}

struct Slot {
    int index = 0;
    QProcess* process = nullptr;
    int instance = 0;
    QString journal;
    int quota = 0;      // what the current process was asked to send
    int sentBefore = 0; // sent by the slot's earlier, killed processes
    int progress = 0;   // sent by the current process, as it reports
    bool done = false;
    bool victim = false;
    bool armedOnSend = false;
};

class Coordinator {
public:
    explicit Coordinator(const SoakOptions& o) : o_(o), rng_(o.seed ^ 0x5eedULL) {}

    int run() {
        wall_.start();
        prepareWorkDir();
        scratch_ = std::make_unique<ScratchDatabase>(o_.database, QStringLiteral("soak"));
        // dropped only after a clean run: a failed one leaves its rows for a look
        scratch_->keep();
        connection_ = scratch_->connectionString();
        auto admin = openSession(connection_, QStringLiteral("soak-admin"));
        host::createSuiteTables(*admin);
        installTabDeletionLog(*admin);
        tables_ = seedRestaurant(*admin, {o_.tables, 2, o_.seed});
        seed_ = captureSeed(*admin, Branch, true);
        const SeedRecord& seed = seed_;
        const QList<Violation> onSeed = checkDatabase(*admin, seed, {});
        if (!onSeed.isEmpty()) {
            for (const Violation& v : onSeed.mid(0, 20))
                say(QStringLiteral("seed: %1: %2").arg(kindName(v.kind), v.detail));
            say(QStringLiteral("soak: the seed itself breaks an invariant; nothing was run"));
            return 2;
        }
        const qint64 deadlocksBefore = deadlocks(*admin);
        rowsSeeded_ = rowCounts(*admin);
        admin.reset();
        say(QStringLiteral(
                "soak: %1, %2 tables, %3 seeded items, %4 terminals x %5 transfers, %6 crashes, seed %7%8")
                .arg(scratch_->kind() == DbKind::PostgreSQL ? QStringLiteral("PostgreSQL")
                                                            : QStringLiteral("SQLite (WAL)"))
                .arg(tables_.size())
                .arg(seed.items.size())
                .arg(o_.terminals)
                .arg(o_.transfers)
                .arg(o_.crashes)
                .arg(o_.seed)
                .arg(o_.timeLimitSeconds > 0 ? QStringLiteral(", time bound %1 s").arg(o_.timeLimitSeconds)
                                             : QString()));

        runTerminals();
        crashChecker_.reset();

        JournalTally tally;
        for (const QString& j : std::as_const(journals_))
            tally.read(j);
        admin = openSession(connection_, QStringLiteral("soak-check"));
        QList<Violation> violations = checkDatabase(*admin, seed, tally.possiblySplitTabs);
        violations += crashViolations_;
        const qint64 deadlocksAfter = deadlocks(*admin);
        rowsNow_ = rowCounts(*admin);
        admin.reset();

        report(tally, violations, deadlocksBefore, deadlocksAfter);
        const bool ok = violations.isEmpty() && tally.findings.isEmpty() && failures_.isEmpty();
        finish(ok);
        return ok ? 0 : 1;
    }

private:
    void prepareWorkDir() {
        if (o_.workDir.isEmpty()) {
            temp_ = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/mvt-soak.XXXXXX"));
            temp_->setAutoRemove(false);
            workDir_ = temp_->path();
        } else {
            workDir_ = QDir(o_.workDir).absolutePath();
            QDir(workDir_).removeRecursively();
            QDir().mkpath(workDir_);
        }
    }

    // What the server counted; each one made the transfer that lost it try again.
    qint64 deadlocks(Connection& c) {
        if (c.dialect() != platform::db::Dialect::PostgreSQL)
            return -1;
        QSqlQuery q(c.database());
        if (!q.exec(QStringLiteral(
                "SELECT deadlocks FROM pg_stat_database WHERE datname = current_database()")) ||
            !q.next())
            return -1;
        return q.value(0).toLongLong();
    }

    // How many rows the tables that moves copy into hold: growth beyond the splits shows copies of
    // rows that should not have travelled.
    static QString rowCounts(Connection& c) {
        QStringList out;
        for (const char* table :
             {"ITCOMANDAVEN", "ITCOMANDAEST", "OBSITCOMANDAVEN", "OBSITCOMANDAEST", "PEDIDOALT"}) {
            QSqlQuery q(c.database());
            const QString sql = QStringLiteral("SELECT COUNT(*) FROM %1").arg(QLatin1String(table));
            out << QStringLiteral("%1 %2").arg(
                q.exec(sql) && q.next() ? q.value(0).toString() : QStringLiteral("?"), QLatin1String(table));
        }
        return out.join(QStringLiteral(", "));
    }

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    bool chance(double p) { return std::uniform_real_distribution<double>(0, 1)(rng_) < p; }

    void runTerminals() {
        const qint64 start = QDateTime::currentMSecsSinceEpoch();
        deadline_ = o_.timeLimitSeconds > 0 ? start + qint64(o_.timeLimitSeconds) * 1000
                                            : std::numeric_limits<qint64>::max() / 2;
        slots_.resize(o_.terminals);
        for (int i = 0; i < o_.terminals; ++i) {
            slots_[i].index = i;
            launch(slots_[i], o_.transfers);
        }
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, [&] { onTick(); });
        tick.start(20);
        if (!allDone())
            loop_.exec();
        tick.stop();
    }

    bool allDone() const {
        for (const Slot& s : slots_)
            if (!s.done)
                return false;
        return true;
    }

    void launch(Slot& slot, int quota) {
        slot.instance = ++instances_;
        slot.journal = QStringLiteral("%1/journal-%2.jsonl").arg(workDir_).arg(slot.instance);
        journals_ << slot.journal;
        slot.quota = quota;
        slot.progress = 0;
        slot.victim = slot.armedOnSend = false;
        auto* p = new QProcess();
        slot.process = p;
        p->setStandardErrorFile(QStringLiteral("%1/terminal-%2.err").arg(workDir_).arg(slot.instance));
        const int index = slot.index;
        QObject::connect(p, &QProcess::readyReadStandardOutput, [this, index, p] { onOutput(index, p); });
        QObject::connect(p, &QProcess::finished, [this, index, p](int code, QProcess::ExitStatus status) {
            onFinished(index, p, code, status);
        });
        p->start(QCoreApplication::applicationFilePath(),
                 {QStringLiteral("--terminal"), QStringLiteral("--database"), connection_,
                  QStringLiteral("--instance"), QString::number(slot.instance), QStringLiteral("--transfers"),
                  QString::number(quota), QStringLiteral("--deadline"), QString::number(deadline_),
                  QStringLiteral("--seed"), QString::number(o_.seed * 1000003ULL + quint64(slot.instance)),
                  QStringLiteral("--journal"), slot.journal, QStringLiteral("--table-list"),
                  tables_.join(u',')});
    }

    void onOutput(int index, QProcess* p) {
        Slot& slot = slots_[index];
        if (slot.process != p)
            return;
        while (p->canReadLine()) {
            const QByteArray line = p->readLine().trimmed();
            if (line.startsWith("P "))
                slot.progress = line.mid(2).toInt();
            else if (line == "S" && slot.armedOnSend) {
                // somewhere in the clean-up or the transfer that follows
                slot.armedOnSend = false;
                QTimer::singleShot(pick(25), p, [p] { p->kill(); });
            }
        }
    }

    void onFinished(int index, QProcess* p, int code, QProcess::ExitStatus status) {
        Slot& slot = slots_[index];
        p->deleteLater();
        if (slot.process != p)
            return;
        slot.process = nullptr;
        const int sent = sentIn(slot.journal);
        if (slot.victim && status == QProcess::CrashExit) {
            ++crashes_;
            killPending_ = false;
            checkAfterCrash();
            slot.sentBefore += sent;
            const int remaining = slot.quota - sent;
            if (remaining > 0 && QDateTime::currentMSecsSinceEpoch() < deadline_) {
                launch(slot, remaining);
                return;
            }
        } else {
            if (slot.victim)
                killPending_ = false; // it ended on its own just before the kill
            slot.sentBefore += sent;
            if (code != 0 || status != QProcess::NormalExit)
                failures_ << QStringLiteral("terminal %1 (slot %2) ended with %3 %4: %5")
                                 .arg(slot.instance)
                                 .arg(slot.index)
                                 .arg(status == QProcess::NormalExit ? QStringLiteral("exit code")
                                                                     : QStringLiteral("a crash, code"))
                                 .arg(code)
                                 .arg(tail(
                                     QStringLiteral("%1/terminal-%2.err").arg(workDir_).arg(slot.instance),
                                     5));
        }
        slot.done = true;
        slot.victim = false;
        if (allDone())
            loop_.quit();
    }

    // Every committed state must keep the invariants, so they are checked on one snapshot right after
    // each kill while the other terminals go on. The journals are read once the snapshot holds, so every
    // split that may have committed before it is known.
    void checkAfterCrash() {
        ++crashChecks_;
        try {
            if (!crashChecker_)
                crashChecker_ = openSession(connection_, QStringLiteral("soak-crash-check"));
            Connection& c = *crashChecker_;
            c.exec(c.dialect() == platform::db::Dialect::PostgreSQL
                       ? QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY")
                       : QStringLiteral("BEGIN"));
            try {
                c.exec(QStringLiteral("SELECT COUNT(*) FROM COMANDAVEN")); // takes the snapshot
                JournalTally tally;
                for (const QString& j : std::as_const(journals_))
                    tally.read(j);
                for (Violation v : checkDatabase(c, seed_, tally.possiblySplitTabs)) {
                    v.detail = QStringLiteral("after crash %1: %2").arg(crashes_).arg(v.detail);
                    crashViolations_ << v;
                }
                c.exec(QStringLiteral("COMMIT"));
            } catch (...) {
                c.exec(QStringLiteral("ROLLBACK"));
                throw;
            }
        } catch (const std::exception& e) {
            failures_ << QStringLiteral("the check after crash %1 failed: %2")
                             .arg(crashes_)
                             .arg(QString::fromUtf8(e.what()));
            crashChecker_.reset();
        }
    }

    void onTick() {
        const qint64 now = QDateTime::currentMSecsSinceEpoch();
        if (now > deadline_ + 120000) {
            // terminals that outlive the time bound by two minutes are stuck
            for (Slot& s : slots_)
                if (s.process) {
                    failures_ << QStringLiteral("terminal %1 still running two minutes after the time bound")
                                     .arg(s.instance);
                    s.victim = false;
                    s.process->kill();
                }
            return;
        }
        if (killPending_ || crashes_ >= o_.crashes)
            return;
        long sent = 0;
        for (const Slot& s : slots_)
            sent += s.sentBefore + (s.process ? s.progress : 0);
        double fraction = double(sent) / (double(o_.terminals) * o_.transfers);
        if (o_.timeLimitSeconds > 0)
            fraction = std::max(fraction, double(wall_.elapsed()) / (o_.timeLimitSeconds * 1000.0));
        if (fraction < double(crashes_ + 1) / (o_.crashes + 1))
            return;
        QList<int> live;
        for (const Slot& s : slots_)
            if (s.process && s.process->state() == QProcess::Running)
                live << s.index;
        if (live.isEmpty())
            return;
        Slot& victim = slots_[live.at(pick(int(live.size())))];
        victim.victim = true;
        killPending_ = true;
        QProcess* p = victim.process;
        if (chance(0.6)) {
            // most kills land while a request is under way; a terminal that sends nothing soon dies anyway
            victim.armedOnSend = true;
            QTimer::singleShot(3000, p, [p] { p->kill(); });
        } else {
            QTimer::singleShot(pick(150), p, [p] { p->kill(); });
        }
    }

    void report(const JournalTally& t, const QList<Violation>& violations, qint64 deadlocksBefore,
                qint64 deadlocksAfter) {
        const auto line = [](const char* label, const QString& value) {
            say(QStringLiteral("  %1 %2").arg(QString::fromLatin1(label).leftJustified(40, u'.'), value));
        };
        const auto num = [](long n) {
            return QString::number(n);
        };
        say(QStringLiteral("soak: figures"));
        line("terminals",
             QStringLiteral("%1 (%2 processes with the replacements)").arg(o_.terminals).arg(instances_));
        line("transfers attempted", num(t.attempted));
        line("committed", num(t.committed));
        line("refused as stale", num(t.refusedStale));
        line("refused, destination not open", num(t.refusedClosed));
        line("refused otherwise", num(t.refusedOtherwise));
        line("outcome unknown (killed while sending)", num(t.unknown));
        line("old requests sent again",
             QStringLiteral("%1 (%2 committed)").arg(t.replays).arg(t.replaysCommitted));
        line("retried", deadlocksBefore >= 0 && deadlocksAfter >= 0
                            ? QStringLiteral("%1 deadlocks the server detected, each retried")
                                  .arg(deadlocksAfter - deadlocksBefore)
                            : QStringLiteral("not observable on this database"));
        line("crashes injected", QStringLiteral("%1 of %2").arg(crashes_).arg(o_.crashes));
        line("invariant checks after crashes",
             QStringLiteral("%1 (%2 violations)").arg(crashChecks_).arg(crashViolations_.size()));
        line("screens without a request", QStringLiteral("%1 destination closed, %2 nothing to move")
                                              .arg(t.screensClosed)
                                              .arg(t.screensEmpty));
        line("tables freed / emptiness checks", QStringLiteral("%1 / %2").arg(t.freed).arg(t.freeChecks));
        line("tables re-opened", num(t.reopened));
        line("tabs possibly split", num(t.possiblySplitTabs.size()));
        line("findings (unexpected texts)", num(t.findings.size()));
        line("terminal failures", num(failures_.size()));
        line("invariant violations", num(violations.size()));
        line("rows seeded", rowsSeeded_);
        line("rows now", rowsNow_);
        line("wall time", QStringLiteral("%1 s").arg(double(wall_.elapsed()) / 1000.0, 0, 'f', 1));
        if (t.attempted < long(o_.terminals) * o_.transfers)
            say(QStringLiteral("soak: %1 of %2 requests sent before the time bound")
                    .arg(t.attempted)
                    .arg(long(o_.terminals) * o_.transfers));

        QMap<QString, QStringList> byKind;
        for (const Violation& v : violations)
            byKind[kindName(v.kind)] << v.detail;
        QFile all(workDir_ + QStringLiteral("/violations.txt"));
        const bool toFile = !violations.isEmpty() && all.open(QIODevice::WriteOnly | QIODevice::Truncate);
        for (auto it = byKind.cbegin(); it != byKind.cend(); ++it) {
            say(QStringLiteral("VIOLATION %1 (%2):").arg(it.key()).arg(it->size()));
            for (const QString& d : it->mid(0, 15))
                say(QStringLiteral("    %1").arg(d.size() > 400 ? d.left(400) + QStringLiteral("...") : d));
            if (toFile)
                for (const QString& d : *it)
                    all.write((it.key() + QStringLiteral(": ") + d + u'\n').toUtf8());
        }
        if (toFile)
            say(QStringLiteral("soak: every violation in %1").arg(all.fileName()));
        for (const QString& f : t.findings.mid(0, 30))
            say(QStringLiteral("FINDING %1").arg(f));
        for (const QString& f : std::as_const(failures_))
            say(QStringLiteral("FAILURE %1").arg(f));
    }

    void finish(bool ok) {
        const bool keep = o_.keep || !ok;
        if (scratch_->kind() == DbKind::PostgreSQL) {
            if (keep) {
                say(QStringLiteral("soak: database kept: %1").arg(connection_));
            } else {
                try {
                    scratch_->drop();
                } catch (const std::exception& e) {
                    say(QStringLiteral("soak: could not drop schema %1: %2")
                            .arg(scratch_->schema(), QString::fromUtf8(e.what())));
                }
            }
        } else {
            say(QStringLiteral("soak: database: %1").arg(connection_));
        }
        if (keep || !o_.workDir.isEmpty())
            say(QStringLiteral("soak: journals in %1").arg(workDir_));
        else
            QDir(workDir_).removeRecursively();
    }

    SoakOptions o_;
    std::mt19937_64 rng_;
    QElapsedTimer wall_;
    std::unique_ptr<QTemporaryDir> temp_;
    QString workDir_;
    std::unique_ptr<ScratchDatabase> scratch_;
    QString connection_;
    QStringList tables_;
    QList<Slot> slots_;
    QStringList journals_;
    QStringList failures_;
    SeedRecord seed_;
    std::unique_ptr<Connection> crashChecker_;
    QList<Violation> crashViolations_;
    int crashChecks_ = 0;
    QString rowsSeeded_, rowsNow_;
    QEventLoop loop_;
    qint64 deadline_ = 0;
    int instances_ = 0;
    int crashes_ = 0;
    bool killPending_ = false;
};

} // namespace

int runCoordinator(const SoakOptions& options) {
    try {
        return Coordinator(options).run();
    } catch (const std::exception& e) {
        say(QStringLiteral("soak: %1").arg(QString::fromUtf8(e.what())));
        return 2;
    }
}

} // namespace soak
