#include "support/TestDatabase.h"

#include "platform/Runtime.h"
#include "server/ConnectionChoice.h"
#include "server/TrdmTrPosicao.h"

#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Srv_Mvt04215;
using namespace testsupport;

TEST(ConnectionChoice, KbxAndHlvUseTheirOwnSystemInAnyCaseAndFolder) {
    for (const char* name : {"KBX.EXE", "hlv.exe", "Kbx.Exe", "/opt/pos/KBX", "hlv", "C:\\ZEL\\HLV.EXE",
                             "/usr/local/bin/kbx.exe"})
        EXPECT_EQ(systemCodeForExecutable(QString::fromLatin1(name)), QStringLiteral("212")) << name;
    for (const char* name : {"mvt04215-host", "KBX.EXE.bak", "/opt/KBX/pos", "XKBX", ""})
        EXPECT_EQ(systemCodeForExecutable(QString::fromLatin1(name)), QString()) << name;
}

TEST(ConnectionChoice, WithNothingConfiguredTheModuleOpensTheEmbeddedDatabaseBesideTheHost) {
    QTemporaryDir folder;
    platform::ExecutableFolderOverride beside(folder.path());
    qunsetenv("MVT04215_DB");
    TrdmTrPosicao dm;
    dm.adcTrPosicao.open();
    EXPECT_TRUE(QFile::exists(folder.filePath(QStringLiteral("zel.db"))));
    EXPECT_EQ(dm.adcTrPosicao.connectionString(),
              QStringLiteral("sqlite:") + folder.filePath(QStringLiteral("zel.db")));
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

template <typename Db> class DataModuleTest : public ::testing::Test {
protected:
    void SetUp() override {
        MVT_REQUIRE_DB(Db::kind);
        db = std::make_unique<TestDatabase>(Db::kind);
        dm = std::make_unique<TrdmTrPosicao>();
        dm->connectionStringOverride = db->connectionString();
        dm->adcTrPosicao.open();
    }
    void insertTable(const char* number) {
        dm->adcTrPosicao.exec(QStringLiteral("INSERT INTO MESA (CDFILIAL, CDLOJA, NRMESA, IDSTMESAAUX) "
                                             "VALUES ('0001', '01', '%1', 'D')")
                                  .arg(QString::fromLatin1(number)));
    }
    int tables() { return db->count(QStringLiteral("MESA")); }
    std::unique_ptr<TestDatabase> db;
    std::unique_ptr<TrdmTrPosicao> dm;
};

TYPED_TEST_SUITE(DataModuleTest, BothDatabases, DbKindNames);

} // namespace

TYPED_TEST(DataModuleTest, ASecondStartTransJoinsTheOpenTransaction) {
    this->dm->StartTrans();
    this->insertTable("0001");
    this->dm->StartTrans();
    this->insertTable("0002");
    this->dm->CommitTrans();
    EXPECT_FALSE(this->dm->adcTrPosicao.inTransaction());
    EXPECT_EQ(this->tables(), 2) << "the one commit covers everything since the first start";
}

TYPED_TEST(DataModuleTest, RollbackUndoesAndOutsideATransactionDoesNothing) {
    EXPECT_NO_THROW(this->dm->RollbackTrans());
    EXPECT_NO_THROW(this->dm->CommitTrans());
    this->dm->StartTrans();
    this->insertTable("0001");
    this->dm->RollbackTrans();
    EXPECT_EQ(this->tables(), 0);
    this->insertTable("0003"); // outside a transaction every statement commits by itself
    this->dm->RollbackTrans();
    EXPECT_EQ(this->tables(), 1);
}

TYPED_TEST(DataModuleTest, ActivationHooksConnectAndDisconnect) {
    this->dm->MtsDataModuleDeactivate();
    EXPECT_FALSE(this->dm->adcTrPosicao.connected());
    this->dm->MtsDataModuleActivate();
    EXPECT_TRUE(this->dm->adcTrPosicao.connected());
}

TEST(DataModuleSession, SqliteSessionUsesTheWriteAheadLog) {
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
