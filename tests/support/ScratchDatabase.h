#pragma once

#include "platform/db/Connection.h"

#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace testsupport {

enum class DbKind { SQLite, PostgreSQL };

const char* kindName(DbKind kind);

// The PostgreSQL server the run started (MVT_TEST_PG), or empty.
QString postgresUri();

// A PostgreSQL connection string whose sessions work in `schema` (their search path).
QString withSearchPath(const QString& postgresUri, const QString& schema);

// An open session set up as the module sets up its own (busy and lock waits, time zone).
std::unique_ptr<platform::db::Connection> openSession(const QString& connectionString, const QString& tag);

// An empty database of its own for one test, benchmark or soak run: a new SQLite file in WAL mode, or a
// new schema on a PostgreSQL server, which goes when the object goes unless it is kept.
class ScratchDatabase {
public:
    // The file `name`.db in a temporary folder, or the schema `name`_ and a random part on the run's server.
    ScratchDatabase(DbKind kind, const QString& name);
    // `database` is a PostgreSQL URI (a schema of its own there, as above) or a SQLite file, made afresh
    // in its place and left there.
    ScratchDatabase(const QString& database, const QString& name);
    ~ScratchDatabase();
    ScratchDatabase(const ScratchDatabase&) = delete;
    ScratchDatabase& operator=(const ScratchDatabase&) = delete;

    DbKind kind() const { return kind_; }
    const QString& connectionString() const { return connectionString_; }
    const QString& schema() const { return schema_; } // empty on SQLite
    std::unique_ptr<platform::db::Connection> connect(const QString& tag) const {
        return openSession(connectionString_, tag);
    }

    // Drops the schema now and says why it could not; the object then leaves nothing to drop.
    void drop();
    // Leaves the schema on the server when the object goes, for a look afterwards.
    void keep() { kept_ = true; }

private:
    void createSchema(const QString& server, const QString& name);

    DbKind kind_;
    QTemporaryDir dir_;
    QString server_; // the PostgreSQL server that holds the schema
    QString schema_;
    QString connectionString_;
    bool kept_ = false;
};

} // namespace testsupport
