#include "TestDatabase.h"

#include "host/SuiteTables.h"

#include <QSqlQuery>
#include <QSqlRecord>

namespace testsupport {

TestDatabase::TestDatabase(DbKind kind, bool withSuiteTables)
    : scratch_(kind, QStringLiteral("test")), admin_(scratch_.connect(QStringLiteral("test-admin"))) {
    if (withSuiteTables)
        host::createSuiteTables(*admin_);
}

TestDatabase::~TestDatabase() {
    admin_.reset();
    try {
        scratch_.drop();
    } catch (const std::exception& e) {
        ADD_FAILURE() << "could not drop test schema: " << e.what();
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

QVariantMap TestDatabase::row(const QString& sql) {
    QSqlQuery q(admin_->database());
    if (!q.exec(sql))
        throw admin_->error(q.lastError(), sql);
    QVariantMap out;
    if (q.next())
        for (int i = 0; i < q.record().count(); ++i)
            out.insert(q.record().fieldName(i).toUpper(), q.value(i));
    return out;
}

QStringList TestDatabase::snapshot() {
    QStringList out;
    for (const QString& table : host::suiteTableNames()) {
        QStringList rowsOfTable = rows(QStringLiteral("SELECT * FROM %1").arg(table));
        for (QString& r : rowsOfTable)
            r.prepend(table + u':');
        rowsOfTable.sort();
        out << rowsOfTable;
    }
    return out;
}

void TestDatabase::emptyTables() {
    for (const QString& table : host::suiteTableNames())
        exec(QStringLiteral("DELETE FROM ") + table);
}

} // namespace testsupport
