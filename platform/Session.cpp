#include "Session.h"

#include "db/Connection.h"

#include <QDateTime>
#include <QSqlQuery>
#include <QTimeZone>
#include <cstdlib>

namespace platform {

bool TryConnect(db::Connection& connection) {
    try {
        connection.setConnected(true);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

namespace {

QString sqliteJournalMode(db::Connection& connection) {
    QSqlQuery query(connection.database());
    if (!query.exec(QStringLiteral("PRAGMA journal_mode")) || !query.next())
        throw connection.error(query.lastError(), QStringLiteral("ler o modo de journal"));
    return query.value(0).toString().toLower();
}

} // namespace

void SetADODBSession(db::Connection& connection) {
    switch (connection.dialect()) {
    case db::Dialect::SQLite:
        // The journal mode stays as the database has it: a rollback-journal file may be shared with
        // programs, or lie on a file system, that cannot use a write-ahead log. Readers wait for a
        // writer like writers do.
        connection.exec(QStringLiteral("PRAGMA busy_timeout=10000"));
        connection.exec(QStringLiteral("PRAGMA foreign_keys=OFF"));
        // Fewer syncs are safe with a write-ahead log only; a rollback journal keeps full syncs.
        if (sqliteJournalMode(connection) == QLatin1String("wal"))
            connection.exec(QStringLiteral("PRAGMA synchronous=NORMAL"));
        break;
    case db::Dialect::PostgreSQL: {
        connection.exec(QStringLiteral("SET client_encoding TO 'UTF8'"));
        connection.exec(QStringLiteral("SET statement_timeout TO 0"));
        // A row another session holds is waited for as long as SQLite waits for its file, unless the
        // connection string or the server's settings chose a bound of their own.
        connection.exec(QStringLiteral("SELECT set_config('lock_timeout', '10s', false) "
                                       "WHERE current_setting('lock_timeout') IN ('0', '0ms')"));
        // Date-times travel as local times; the session reads them in the host's zone.
        const QByteArray zone = QTimeZone::systemTimeZoneId();
        try {
            connection.exec(QStringLiteral("SET TIME ZONE '%1'").arg(QString::fromLatin1(zone)));
        } catch (const std::exception&) {
            // a zone name the server does not know: fall back to the current offset
            const int minutes = QDateTime::currentDateTime().offsetFromUtc() / 60;
            connection.exec(QStringLiteral("SET TIME ZONE INTERVAL '%1%2:%3' HOUR TO MINUTE")
                                .arg(minutes < 0 ? u'-' : u'+')
                                .arg(std::abs(minutes) / 60, 2, 10, QLatin1Char('0'))
                                .arg(std::abs(minutes) % 60, 2, 10, QLatin1Char('0')));
        }
        break;
    }
    case db::Dialect::SqlServer:
    case db::Dialect::Oracle:
        break;
    }
}

} // namespace platform
