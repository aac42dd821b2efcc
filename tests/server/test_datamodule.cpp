#include "support/ServerFixture.h"

#include "platform/Runtime.h"
#include "server/ConnectionChoice.h"
#include "server/Srv_Mvt04215.h"
#include "server/TrdmTrPosicao.h"

#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <chrono>
#include <future>
#include <gtest/gtest.h>
#include <thread>

using namespace Srv_Mvt04215;
using namespace testsupport;

TEST(ConnectionChoice, KbxAndHlvUseTheirOwnSystemInAnyCaseAndFolder) {
    for (const char* name : {"KBX.EXE", "hlv.exe", "Kbx.Exe", "/opt/pos/KBX", "hlv", "C:\\ZEL\\HLV.EXE",
                             "/usr/local/bin/kbx.exe"})
        EXPECT_EQ(systemCodeForExecutable(QString::fromLatin1(name)), QStringLiteral("212")) << name;
    for (const char* name : {"mvt04215-host", "KBX.EXE.bak", "/opt/KBX/pos", "XKBX", ""})
        EXPECT_EQ(systemCodeForExecutable(QString::fromLatin1(name)), QString()) << name;
}

TEST(ConnectionChoice, WithNothingConfiguredTheModuleOpensTheEmbeddedDatabaseBesideTheHostIfItIsThere) {
    QTemporaryDir folder;
    platform::ExecutableFolderOverride beside(folder.path());
    qunsetenv("MVT04215_DB");
    const QString zel = folder.filePath(QStringLiteral("zel.db"));
    TrdmTrPosicao dm;
    try {
        dm.adcTrPosicao.open();
        FAIL() << "opened a database that is not there";
    } catch (const platform::ConfigError& e) {
        EXPECT_TRUE(e.text().contains(zel)) << e.what();
    }
    EXPECT_FALSE(QFile::exists(zel));
    platform::db::Connection::createSqliteFile(zel);
    dm.adcTrPosicao.open();
    EXPECT_EQ(dm.adcTrPosicao.connectionString(), QStringLiteral("sqlite:") + zel);
}

TEST(ConnectionChoice, EnvironmentAndIniFileNameTheDatabase) {
    QTemporaryDir folder;
    platform::ExecutableFolderOverride beside(folder.path());
    QFile ini(folder.filePath(QStringLiteral("mvt04215.ini")));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[connections]\ndefault=sqlite:/from/ini.db\n212=\"odbc:DSN=KBX;UID=a,b\"\n");
    ini.close();
    qunsetenv("MVT04215_DB");
    qunsetenv("MVT04215_DB_212");
    TrdmTrPosicao dm;
    dm.adcTrPosicaoBeforeConnect(dm.adcTrPosicao);
    EXPECT_EQ(dm.adcTrPosicao.connectionString(), QStringLiteral("sqlite:/from/ini.db"));
    qputenv("MVT04215_DB", "sqlite:/from/env.db");
    dm.adcTrPosicaoBeforeConnect(dm.adcTrPosicao);
    EXPECT_EQ(dm.adcTrPosicao.connectionString(), QStringLiteral("sqlite:/from/env.db"));
    qunsetenv("MVT04215_DB");
    dm.connectionStringOverride = QStringLiteral("sqlite:/explicit.db");
    dm.adcTrPosicaoBeforeConnect(dm.adcTrPosicao);
    EXPECT_EQ(dm.adcTrPosicao.connectionString(), QStringLiteral("sqlite:/explicit.db"));
}

namespace {

template <typename Db> class DataModuleTest : public ServerFixture<Db> {
protected:
    void insertTable(const char* number) {
        this->module->adcTrPosicao.exec(
            QStringLiteral("INSERT INTO MESA (CDFILIAL, CDLOJA, NRMESA, IDSTMESAAUX) "
                           "VALUES ('0001', '01', '%1', 'D')")
                .arg(QString::fromLatin1(number)));
    }
    int tables() { return this->database->count(QStringLiteral("MESA")); }
};

TYPED_TEST_SUITE(DataModuleTest, BothDatabases, DbKindNames);

} // namespace

TYPED_TEST(DataModuleTest, ASecondStartTransJoinsTheOpenTransaction) {
    this->module->StartTrans();
    this->insertTable("0001");
    this->module->StartTrans();
    this->insertTable("0002");
    this->module->CommitTrans();
    EXPECT_FALSE(this->module->adcTrPosicao.inTransaction());
    EXPECT_EQ(this->tables(), 2) << "the one commit covers everything since the first start";
}

TYPED_TEST(DataModuleTest, RollbackUndoesAndOutsideATransactionDoesNothing) {
    EXPECT_NO_THROW(this->module->RollbackTrans());
    EXPECT_NO_THROW(this->module->CommitTrans());
    this->module->StartTrans();
    this->insertTable("0001");
    this->module->RollbackTrans();
    EXPECT_EQ(this->tables(), 0);
    this->insertTable("0003"); // outside a transaction every statement commits by itself
    this->module->RollbackTrans();
    EXPECT_EQ(this->tables(), 1);
}

TYPED_TEST(DataModuleTest, ActivationHooksConnectAndDisconnect) {
    this->module->MtsDataModuleDeactivate();
    EXPECT_FALSE(this->module->adcTrPosicao.connected());
    this->module->MtsDataModuleActivate();
    EXPECT_TRUE(this->module->adcTrPosicao.connected());
}

TEST(DataModuleSession, AFileWeCreateUsesTheWriteAheadLog) {
    TestDatabase db(DbKind::SQLite, false);
    TrdmTrPosicao dm;
    dm.connectionStringOverride = db.connectionString();
    dm.adcTrPosicao.open();
    QSqlQuery q(dm.adcTrPosicao.database());
    ASSERT_TRUE(q.exec(QStringLiteral("PRAGMA journal_mode")) && q.next());
    EXPECT_EQ(q.value(0).toString(), QStringLiteral("wal"));
    ASSERT_TRUE(q.exec(QStringLiteral("PRAGMA busy_timeout")) && q.next());
    EXPECT_GE(q.value(0).toInt(), 1000);
}

// A rollback-journal file that other programs share stays one, and a look-up waits for a writer as a
// writer would instead of failing at once.
TEST(DataModuleSession, ARollbackJournalFileKeepsItsModeAndAReadWaitsForAWriter) {
    TestDatabase db(DbKind::SQLite);
    db.exec(QStringLiteral("PRAGMA journal_mode=DELETE"));
    SalesBuilder seeded(db.admin());
    scenarios::pizzaOnTable5(scenarios::menu(seeded));
    db.admin().close();
    TrdmTrPosicao dm;
    dm.connectionStringOverride = db.connectionString();
    dm.adcTrPosicao.open();
    rdmTrPosicao = &dm;
    auto journalMode = [&] {
        QSqlQuery q(dm.adcTrPosicao.database());
        return q.exec(QStringLiteral("PRAGMA journal_mode")) && q.next() ? q.value(0).toString() : QString();
    };
    EXPECT_EQ(journalMode(), QStringLiteral("delete"));

    // another program holds the file for a moment
    std::promise<bool> locked;
    std::thread writer([path = db.connectionString().mid(7), &locked] {
        {
            QSqlDatabase other =
                QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("writer"));
            other.setDatabaseName(path);
            const bool opened = other.open();
            QSqlQuery q(other);
            locked.set_value(opened && q.exec(QStringLiteral("BEGIN EXCLUSIVE")));
            std::this_thread::sleep_for(std::chrono::milliseconds(1500));
            q.exec(QStringLiteral("COMMIT"));
            q.finish();
            other.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("writer"));
    });
    const bool held = locked.get_future().get();
    const QVariant items = getProdOrig(QStringLiteral("0005"), QStringLiteral("0001"), QStringLiteral("01"),
                                       QStringLiteral(""), QStringLiteral(""), QStringLiteral(""));
    writer.join();
    EXPECT_TRUE(held) << "the other program could not take the file";
    EXPECT_EQ(items.metaType().id(), QMetaType::QByteArray) << items.toString().toStdString();
    EXPECT_EQ(journalMode(), QStringLiteral("delete"));
    rdmTrPosicao = nullptr;
}
