#include "ScratchDatabase.h"

#include "platform/Session.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrlQuery>
#include <QUuid>
#include <iostream>
#include <utility>

namespace testsupport {

using platform::db::Connection;

const char* kindName(DbKind kind) {
    return kind == DbKind::SQLite ? "SQLite" : "PostgreSQL";
}

QString postgresUri() {
    return qEnvironmentVariable("MVT_TEST_PG").trimmed();
}

QString withSearchPath(const QString& postgresUri, const QString& schema) {
    QUrl url(postgresUri);
    QUrlQuery query(url);
    query.addQueryItem(QStringLiteral("options"), QStringLiteral("-csearch_path=%1").arg(schema));
    url.setQuery(query);
    return url.toString();
}

std::unique_ptr<Connection> openSession(const QString& connectionString, const QString& tag) {
    auto c = std::make_unique<Connection>(tag);
    c->setConnectionString(connectionString);
    c->afterConnect = [](Connection& session) {
        platform::SetADODBSession(session);
    };
    c->open();
    return c;
}

ScratchDatabase::ScratchDatabase(DbKind kind, const QString& name) : kind_(kind) {
    if (kind == DbKind::SQLite) {
        connectionString_ = Connection::createSqliteFile(dir_.filePath(name + QStringLiteral(".db")));
        return;
    }
    const QString server = postgresUri();
    if (server.isEmpty())
        throw std::runtime_error("MVT_TEST_PG is not set");
    createSchema(server, name);
}

ScratchDatabase::ScratchDatabase(const QString& database, const QString& name)
    : kind_(database.startsWith(QLatin1String("postgres")) ? DbKind::PostgreSQL : DbKind::SQLite) {
    if (kind_ == DbKind::PostgreSQL) {
        createSchema(database, name);
        return;
    }
    const QString file = QFileInfo(database.startsWith(QLatin1String("sqlite:")) ? database.mid(7) : database)
                             .absoluteFilePath();
    for (const QString& suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
        QFile::remove(file + suffix);
    QDir().mkpath(QFileInfo(file).absolutePath());
    connectionString_ = Connection::createSqliteFile(file);
}

ScratchDatabase::~ScratchDatabase() {
    if (kept_)
        return;
    try {
        drop();
    } catch (const std::exception& e) {
        std::cerr << "could not drop the scratch schema " << schema_.toStdString() << ": " << e.what()
                  << '\n';
    }
}

void ScratchDatabase::createSchema(const QString& server, const QString& name) {
    const QString schema = name + u'_' + QUuid::createUuid().toString(QUuid::Id128).left(16);
    openSession(server, QStringLiteral("scratch-create"))
        ->exec(QStringLiteral("CREATE SCHEMA %1").arg(schema));
    server_ = server;
    schema_ = schema;
    connectionString_ = withSearchPath(server, schema);
}

void ScratchDatabase::drop() {
    if (server_.isEmpty())
        return;
    const QString server = std::exchange(server_, QString());
    const auto session = openSession(server, QStringLiteral("scratch-drop"));
    // the server would name every dropped table on standard error, burying a run's own output
    session->exec(QStringLiteral("SET client_min_messages = warning"));
    session->exec(QStringLiteral("DROP SCHEMA %1 CASCADE").arg(schema_));
}

} // namespace testsupport
