#include "Session.h"

#include "Errors.h"
#include "db/Connection.h"

#include <QDateTime>
#include <QSqlQuery>
#include <QTimeZone>

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

// A text as an SQL literal: the values are our own and the connection string's, checked when read.
QString literal(const QString& text) {
    QString quoted = text;
    quoted.replace(u'\'', QStringLiteral("''"));
    return u'\'' + quoted + u'\'';
}

// Every setting of a PostgreSQL session in one statement: one wait for the server. A setting the
// connection string named is set; one of our defaults only where the server's configuration left it
// at its built-in value. A setting the server does not have (an older version) is passed over.
QString postgresSettings(const db::Connection& connection, const QString& zone) {
    QStringList rows{QStringLiteral("('statement_timeout', '0', TRUE)"),
                     QStringLiteral("('TimeZone', %1, TRUE)").arg(literal(zone))};
    for (const db::ServerSetting& s : connection.bounds().serverSettings)
        rows << QStringLiteral("(%1, %2, %3)")
                    .arg(literal(s.name), literal(s.value),
                         s.fromString ? QStringLiteral("TRUE") : QStringLiteral("FALSE"));
    return QStringLiteral(
               "SELECT set_config(S.NAME, S.VALUE, FALSE) FROM (VALUES %1) AS S (NAME, VALUE, GIVEN) "
               "JOIN pg_settings P ON P.name = S.NAME WHERE S.GIVEN OR P.source = 'default'")
        .arg(rows.join(QStringLiteral(", ")));
}

// A fixed offset as the server's TimeZone reads a number: hours east of UTC. It does not follow
// daylight saving time, which only the zone's name can.
QString offsetZone(int offsetSeconds) {
    return QString::number(offsetSeconds / 3600.0, 'g', 8);
}

} // namespace

HostZone hostZone() {
    return {QTimeZone::systemTimeZoneId(), QDateTime::currentDateTime().offsetFromUtc()};
}

void SetADODBSession(db::Connection& connection) {
    SetADODBSession(connection, hostZone());
}

void SetADODBSession(db::Connection& connection, const HostZone& zone) {
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
    case db::Dialect::PostgreSQL:
        // Date-times travel as local times; the session reads them in the host's zone.
        try {
            connection.exec(postgresSettings(connection, QString::fromLatin1(zone.id)));
        } catch (const DatabaseError& e) {
            // a zone name the server does not know (invalid_parameter_value): the offset it has now
            if (e.nativeCode() != QLatin1String("22023"))
                throw;
            connection.exec(postgresSettings(connection, offsetZone(zone.offsetSeconds)));
        }
        break;
    case db::Dialect::SqlServer:
    case db::Dialect::Oracle:
        break;
    }
}

} // namespace platform
