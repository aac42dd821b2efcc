#include "TestDatabase.h"

#include "host/SuiteTables.h"
#include "platform/Session.h"
#include "platform/db/Statement.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QUuid>

namespace testsupport {

QString postgresUri() {
    return qEnvironmentVariable("MVT_TEST_PG").trimmed();
}

TestDatabase::TestDatabase(DbKind kind, bool withSuiteTables) : kind_(kind) {
    if (kind == DbKind::SQLite) {
        connectionString_ =
            platform::db::Connection::createSqliteFile(dir_.filePath(QStringLiteral("test.db")));
    } else {
        const QString base = postgresUri();
        if (base.isEmpty())
            throw std::runtime_error("MVT_TEST_PG is not set");
        schema_ = QStringLiteral("t_") + QUuid::createUuid().toString(QUuid::Id128).left(16);
        connectionString_ = platform::db::Connection::createSchema(base, schema_);
    }
    admin_ = std::make_unique<platform::db::Connection>(QStringLiteral("test-admin"));
    admin_->setConnectionString(connectionString_);
    admin_->afterConnect = [](platform::db::Connection& c) {
        platform::SetADODBSession(c);
    };
    admin_->open();
    if (withSuiteTables)
        host::createSuiteTables(*admin_);
}

TestDatabase::~TestDatabase() {
    admin_.reset();
    if (!schema_.isEmpty()) {
        try {
            platform::db::Connection cleanup(QStringLiteral("schema-cleanup"));
            cleanup.setConnectionString(postgresUri());
            cleanup.open();
            cleanup.exec(QStringLiteral("DROP SCHEMA %1 CASCADE").arg(schema_));
        } catch (const std::exception& e) {
            ADD_FAILURE() << "could not drop test schema: " << e.what();
        }
    }
}

void TestDatabase::exec(const QString& sql) {
    admin_->exec(sql);
}

QVariant TestDatabase::scalar(const QString& sql) {
    QSqlQuery q(admin_->database());
    if (!q.exec(sql))
        throw admin_->error(q.lastError(), sql);
    return q.next() ? q.value(0) : QVariant();
}

int TestDatabase::count(const QString& tableAndWhere) {
    return scalar(QStringLiteral("SELECT COUNT(*) FROM ") + tableAndWhere).toInt();
}

QStringList TestDatabase::rows(const QString& sql) {
    QSqlQuery q(admin_->database());
    if (!q.exec(sql))
        throw admin_->error(q.lastError(), sql);
    QStringList out;
    while (q.next()) {
        QStringList cells;
        for (int i = 0; i < q.record().count(); ++i)
            cells << (q.value(i).isNull() ? QStringLiteral("<null>") : q.value(i).toString());
        out << cells.join(u'|');
    }
    return out;
}

QStringList TestDatabase::snapshot() {
    QStringList out;
    for (const QString& table : host::suiteTableNames()) {
        QSqlQuery q(admin_->database());
        if (!q.exec(QStringLiteral("SELECT * FROM %1").arg(table)))
            throw admin_->error(q.lastError(), table);
        QStringList rowsOfTable;
        while (q.next()) {
            QStringList cells;
            for (int i = 0; i < q.record().count(); ++i)
                cells << (q.value(i).isNull() ? QStringLiteral("<null>") : q.value(i).toString());
            rowsOfTable << table + u':' + cells.join(u'|');
        }
        rowsOfTable.sort();
        out << rowsOfTable;
    }
    return out;
}

} // namespace testsupport
