#include "Session.h"

#include "db/Connection.h"

#include <QDateTime>
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

void SetADODBSession(db::Connection& connection) {
    switch (connection.dialect()) {
    case db::Dialect::SQLite:
        connection.exec(QStringLiteral("PRAGMA journal_mode=WAL"));
        connection.exec(QStringLiteral("PRAGMA busy_timeout=10000"));
        connection.exec(QStringLiteral("PRAGMA foreign_keys=OFF"));
        connection.exec(QStringLiteral("PRAGMA synchronous=NORMAL"));
        break;
    case db::Dialect::PostgreSQL: {
        connection.exec(QStringLiteral("SET client_encoding TO 'UTF8'"));
        connection.exec(QStringLiteral("SET statement_timeout TO 0"));
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
