// The soak of the transfer module: many terminals on one database, terminals killed mid-transfer, and a
// check that nothing was lost or duplicated. The same program is the coordinator and, started by it
// with --terminal, each terminal.

#include "SoakCoordinator.h"
#include "SoakTerminal.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>

namespace {

// ctest reads this exit code as "skipped".
constexpr int Skipped = 77;

int usageError(const QString& text) {
    std::fprintf(stderr, "mvt04215-soak: %s\n", text.toLocal8Bit().constData());
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCommandLineParser p;
    p.setApplicationDescription(
        QStringLiteral("Concurrent transfers with injected crashes, then an invariant check."));
    p.addHelpOption();
    const QCommandLineOption database(QStringLiteral("database"),
                                      QStringLiteral("SQLite file (made afresh) or postgresql:// URI."),
                                      QStringLiteral("db"));
    const QCommandLineOption databaseEnv(
        QStringLiteral("database-env"),
        QStringLiteral("Take the PostgreSQL URI from this environment variable; skip (exit 77) when it is "
                       "unset, fail under CI=true."),
        QStringLiteral("var"));
    const QCommandLineOption terminals(QStringLiteral("terminals"), QStringLiteral("Terminals at once."),
                                       QStringLiteral("k"), QStringLiteral("4"));
    const QCommandLineOption transfers(QStringLiteral("transfers"), QStringLiteral("Requests per terminal."),
                                       QStringLiteral("n"), QStringLiteral("50"));
    const QCommandLineOption timeLimit(QStringLiteral("time-limit"),
                                       QStringLiteral("Seconds after which no request starts (0: none)."),
                                       QStringLiteral("s"), QStringLiteral("120"));
    const QCommandLineOption crashes(QStringLiteral("crashes"),
                                     QStringLiteral("Terminals to kill with SIGKILL."), QStringLiteral("n"),
                                     QStringLiteral("10"));
    const QCommandLineOption seed(QStringLiteral("seed"), QStringLiteral("Random seed."), QStringLiteral("n"),
                                  QStringLiteral("1"));
    const QCommandLineOption tables(QStringLiteral("tables"),
                                    QStringLiteral("Tables of the restaurant (12-20)."), QStringLiteral("n"),
                                    QStringLiteral("16"));
    const QCommandLineOption workDir(QStringLiteral("work-dir"),
                                     QStringLiteral("Folder for journals and logs."), QStringLiteral("dir"));
    const QCommandLineOption keep(QStringLiteral("keep"),
                                  QStringLiteral("Keep the database schema and the journals."));
    // terminal mode, started by the coordinator
    const QCommandLineOption terminal(QStringLiteral("terminal"), QStringLiteral("Run as one terminal."));
    const QCommandLineOption instance(QStringLiteral("instance"), QStringLiteral("Terminal number."),
                                      QStringLiteral("n"));
    const QCommandLineOption deadline(QStringLiteral("deadline"),
                                      QStringLiteral("No request after (ms since epoch)."),
                                      QStringLiteral("ms"));
    const QCommandLineOption journal(QStringLiteral("journal"), QStringLiteral("Journal file."),
                                     QStringLiteral("file"));
    const QCommandLineOption tableList(QStringLiteral("table-list"),
                                       QStringLiteral("Table numbers, comma-separated."),
                                       QStringLiteral("list"));
    p.addOptions({database, databaseEnv, terminals, transfers, timeLimit, crashes, seed, tables, workDir,
                  keep, terminal, instance, deadline, journal, tableList});
    p.process(app);

    if (p.isSet(terminal)) {
        soak::TerminalOptions t;
        t.database = p.value(database);
        t.instance = p.value(instance).toInt();
        t.transfers = p.value(transfers).toInt();
        t.deadline = p.value(deadline).toLongLong();
        t.seed = p.value(seed).toULongLong();
        t.journal = p.value(journal);
        t.tables = p.value(tableList).split(u',', Qt::SkipEmptyParts);
        if (t.database.isEmpty() || t.journal.isEmpty() || t.tables.size() < 2)
            return usageError(QStringLiteral("a terminal needs --database, --journal and --table-list"));
        return soak::runTerminal(t);
    }

    soak::SoakOptions o;
    o.database = p.value(database);
    if (p.isSet(databaseEnv)) {
        o.database = qEnvironmentVariable(p.value(databaseEnv).toLocal8Bit().constData()).trimmed();
        if (o.database.isEmpty()) {
            const QString why = QStringLiteral("%1 is not set").arg(p.value(databaseEnv));
            if (qEnvironmentVariable("CI") == QLatin1String("true")) {
                std::printf("mvt04215-soak: %s: the PostgreSQL soak must run under CI\n",
                            why.toLocal8Bit().constData());
                return 1;
            }
            std::printf("mvt04215-soak: skipped: %s; run the tests with ./run test\n",
                        why.toLocal8Bit().constData());
            return Skipped;
        }
    }
    if (o.database.isEmpty())
        return usageError(QStringLiteral("give --database or --database-env"));
    bool ok = true;
    auto integer = [&](const QCommandLineOption& option, int low, int high) {
        bool good = false;
        const int v = p.value(option).toInt(&good);
        if (!good || v < low || v > high)
            ok = false;
        return v;
    };
    o.terminals = integer(terminals, 1, 150);
    o.transfers = integer(transfers, 1, 10000000);
    o.timeLimitSeconds = integer(timeLimit, 0, 30 * 24 * 3600);
    o.crashes = integer(crashes, 0, 1000000);
    o.tables = integer(tables, 3, 9999);
    bool seedOk = false;
    o.seed = p.value(seed).toULongLong(&seedOk);
    if (!ok || !seedOk)
        return usageError(QStringLiteral("a number option is out of range; see --help"));
    o.workDir = p.value(workDir);
    o.keep = p.isSet(keep);
    return soak::runCoordinator(o);
}
