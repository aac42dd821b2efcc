#include "support/DatabaseFixture.h"
#include "support/FaultInjection.h"

#include "platform/ErrorMessage.h"
#include "platform/Errors.h"
#include "platform/ItemNumbering.h"
#include "platform/Session.h"
#include "platform/db/Batch.h"
#include "platform/db/QueryPacket.h"
#include "platform/db/Statement.h"
#include "platform/db/Transaction.h"

#include <QDir>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

using namespace platform;
using namespace platform::db;
using namespace testsupport;

namespace {

template <typename Db> class DatabaseTest : public DatabaseFixture<Db> {
protected:
    void prepare() override {
        this->database->exec(
            QStringLiteral("CREATE TABLE T (K VARCHAR(10), N DOUBLE PRECISION, D TIMESTAMP)"));
        conn = std::make_unique<Connection>(QStringLiteral("under-test"));
        conn->setConnectionString(this->database->connectionString());
        conn->open();
    }
    void TearDown() override { conn.reset(); }
    std::unique_ptr<Connection> conn;
};

TYPED_TEST_SUITE(DatabaseTest, BothDatabases, DbKindNames);

StatementDef insertT() {
    return {.name = QStringLiteral("acmInsT"),
            .kind = StatementKind::Command,
            .sql = QStringLiteral("INSERT INTO T (K, N, D) VALUES (:P_K, :P_N, :P_D)"),
            .params = {{QStringLiteral("P_K")},
                       {QStringLiteral("P_N"), ParamType::Float},
                       {QStringLiteral("P_D"), ParamType::DateTime}}};
}

} // namespace

TYPED_TEST(DatabaseTest, DialectComesFromTheOpenConnection) {
    EXPECT_EQ(this->conn->dialect(),
              TypeParam::kind == DbKind::SQLite ? Dialect::SQLite : Dialect::PostgreSQL);
}

TYPED_TEST(DatabaseTest, ANameThatStandsTwiceTakesItsValueAtBothPlaces) {
    this->database->exec(QStringLiteral("INSERT INTO T (K, N) VALUES ('a', 1), ('b', 2), ('a', 3)"));
    Statement q(*this->conn,
                {.name = QStringLiteral("adqTwice"),
                 .sql = QStringLiteral("SELECT K, N FROM T WHERE K = :P_K AND N > (SELECT MIN(N) FROM T "
                                       "WHERE K = :P_K) ORDER BY N")});
    const DataPacket p = Provider(q).data({{"P_K", QStringLiteral("a")}});
    ASSERT_EQ(p.rows.size(), 1);
    EXPECT_EQ(p.rows[0][1].toDouble(), 3.0);
    EXPECT_FALSE(q.isOpen()) << "the provider closes what it opened";
}

TYPED_TEST(DatabaseTest, StatementsArePreparedOnceAndBindEveryRun) {
    Statement ins(*this->conn, insertT());
    const int before = this->conn->prepareCount();
    const QDateTime when(QDate(2026, 12, 8), QTime(12, 30, 15, 250));
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(ins.execute({{"P_K", QStringLiteral("k%1").arg(i)}, {"P_N", i + 0.5}, {"P_D", when}}), 1);
    EXPECT_EQ(this->conn->prepareCount() - before, 1);
    // every run binds its date-time again
    EXPECT_EQ(this->database->count(QStringLiteral("T WHERE D IS NOT NULL")), 5);

    Statement q(*this->conn, {.name = QStringLiteral("adqT"),
                              .sql = QStringLiteral("SELECT K, N, D FROM T WHERE K = :P_K"),
                              .resultFields = {{QStringLiteral("K"), FieldType::String, 2},
                                               {QStringLiteral("N"), FieldType::Float},
                                               {QStringLiteral("D"), FieldType::DateTime}}});
    auto k3 = q.run({{"P_K", QStringLiteral("k3")}});
    ASSERT_FALSE(k3.isEmpty());
    EXPECT_EQ(k3.asString(QStringLiteral("K")), QStringLiteral("k3"));
    EXPECT_DOUBLE_EQ(k3.asFloat(QStringLiteral("N")), 3.5);
    EXPECT_EQ(k3.value(QStringLiteral("D")).toDateTime(), when) << "date-times keep their milliseconds";
    k3.next();
    EXPECT_TRUE(k3.eof());
    {
        // a run with other values starts afresh on a query left open, and closes it when it goes
        const auto rows = q.run({{"P_K", QStringLiteral("k1")}});
        EXPECT_EQ(rows.asString(QStringLiteral("K")), QStringLiteral("k1"));
    }
    EXPECT_FALSE(q.isOpen());
    EXPECT_EQ(this->conn->prepareCount() - before, 2);
}

TYPED_TEST(DatabaseTest, NullsBindAndReadAsEmpty) {
    Statement ins(*this->conn, insertT());
    ins.execute({{"P_K", QVariant()}, {"P_N", QVariant()}, {"P_D", QVariant()}});
    EXPECT_EQ(this->database->count(QStringLiteral("T WHERE K IS NULL AND N IS NULL AND D IS NULL")), 1);
}

TYPED_TEST(DatabaseTest, EmptyResultGivesAPacketWithFieldsAndNoRows) {
    Statement q(*this->conn, {.name = QStringLiteral("adqEmpty"),
                              .sql = QStringLiteral("SELECT K, N FROM T WHERE K = :P_K"),
                              .resultFields = {{QStringLiteral("K"), FieldType::String, 10},
                                               {QStringLiteral("N"), FieldType::Float}}});
    const DataPacket p = Provider(q).data({{"P_K", QStringLiteral("none")}});
    EXPECT_EQ(p.fields.size(), 2);
    EXPECT_TRUE(p.rows.isEmpty());
}

TYPED_TEST(DatabaseTest, UnknownParametersAndBadStatementsAreDatabaseErrors) {
    Statement ins(*this->conn, insertT());
    EXPECT_THROW(
        ins.execute({{"P_K", QStringLiteral("k")}, {"P_N", 1.0}, {"P_D", QVariant()}, {"P_NOPE", 1}}),
        DatabaseError);
    Statement bad(*this->conn, {.name = QStringLiteral("acmBad"),
                                .kind = StatementKind::Command,
                                .sql = QStringLiteral("UPDATE NO_SUCH_TABLE SET X = :P_X")});
    try {
        bad.execute({{"P_X", 1}});
        FAIL() << "a statement on a missing table ran";
    } catch (const DatabaseError& e) {
        const QString text = ADOExceptionMessage(e, *this->conn, {});
        EXPECT_TRUE(text.contains(QStringLiteral("acmBad"), Qt::CaseInsensitive)) << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("no_such_table"), Qt::CaseInsensitive))
            << text.toStdString();
    }
}

// Nothing carries over from one run to the next: a parameter that a run leaves out is an error naming
// the statement and the parameter, not the value of the run before, whichever way the statement runs.
TYPED_TEST(DatabaseTest, AForgottenParameterIsAnErrorInsteadOfTheLastRunsValue) {
    Statement ins(*this->conn, insertT());
    Statement q(*this->conn, {.name = QStringLiteral("adqByKeyAndNumber"),
                              .sql = QStringLiteral("SELECT K FROM T WHERE K = :P_K OR N = :P_N")});
    const QDateTime when(QDate(2026, 12, 8), QTime(12, 30));
    ASSERT_EQ(ins.execute({{"P_K", QStringLiteral("first")}, {"P_N", 1.0}, {"P_D", when}}), 1);
    ASSERT_EQ(packetOf(q.run({{"P_K", QStringLiteral("first")}, {"P_N", 1.0}})).rows.size(), 1);
    Batch batch(*this->conn);
    const std::pair<const char*, std::function<void()>> forgetful[] = {
        {"acmInsT",
         [&] {
             ins.execute({{"P_K", QStringLiteral("second")}, {"P_D", when}});
         }},
        {"acmInsT",
         [&] {
             batch.add(ins, {{"P_K", QStringLiteral("second")}, {"P_D", when}});
         }},
        {"adqByKeyAndNumber",
         [&] {
             q.run({{"P_K", QStringLiteral("second")}});
         }},
    };
    for (const auto& [statement, run] : forgetful) {
        try {
            run();
            ADD_FAILURE() << statement << " ran without P_N";
        } catch (const DatabaseError& e) {
            EXPECT_TRUE(e.text().contains(QLatin1String(statement))) << e.what();
            EXPECT_TRUE(e.text().contains(QStringLiteral("P_N"))) << e.what();
        }
    }
    EXPECT_EQ(batch.size(), 0);
    EXPECT_EQ(this->database->rows(QStringLiteral("SELECT K FROM T")), QStringList{QStringLiteral("first")});
}

TYPED_TEST(DatabaseTest, TransactionsCommitRollBackAndDoNotNest) {
    Statement ins(*this->conn, insertT());
    auto insert = [&](const QString& key) {
        ins.execute({{"P_K", key}, {"P_N", 1.0}, {"P_D", QVariant()}});
    };
    this->conn->beginTransaction();
    EXPECT_THROW(this->conn->beginTransaction(), DatabaseError) << "a second start is refused";
    insert(QStringLiteral("rolled"));
    this->conn->rollback();
    EXPECT_FALSE(this->conn->inTransaction());
    EXPECT_EQ(this->database->count(QStringLiteral("T")), 0);
    EXPECT_NO_THROW(this->conn->rollback()) << "rolling back without a transaction does nothing";
    EXPECT_NO_THROW(this->conn->commit());
    {
        Transaction t(*this->conn);
        insert(QStringLiteral("kept"));
        t.commit();
    }
    {
        Transaction t(*this->conn);
        insert(QStringLiteral("dropped"));
        // an inner guard neither commits nor rolls back the outer transaction
        EXPECT_THROW(Transaction inner(*this->conn), DatabaseError);
        EXPECT_TRUE(this->conn->inTransaction());
    } // no commit: rolled back on scope exit
    {
        Transaction t(*this->conn, Transaction::Start::WithBatch);
        Batch batch(*this->conn);
        t.beginWith(batch);
        batch.add(ins, {{"P_K", QStringLiteral("batched")}, {"P_N", 2.0}, {"P_D", QVariant()}});
        t.commitWith(batch);
        batch.run();
        EXPECT_FALSE(this->conn->inTransaction());
        EXPECT_THROW(t.commit(), DatabaseError) << "nothing is left to commit";
    }
    EXPECT_EQ(this->database->rows(QStringLiteral("SELECT K FROM T ORDER BY K")),
              (QStringList{QStringLiteral("batched"), QStringLiteral("kept")}));
}

TYPED_TEST(DatabaseTest, FaultInjectionFailsTheNamedRun) {
    Statement ins(*this->conn, insertT());
    FaultInjection fail(*this->conn, [](const QString& name) {
        if (name == QStringLiteral("acmInsT"))
            throw DatabaseError(QStringLiteral("injected"), QStringLiteral("injected"), QStringLiteral("-1"));
    });
    EXPECT_THROW(ins.execute({{"P_K", QStringLiteral("x")}, {"P_N", QVariant()}, {"P_D", QVariant()}}),
                 DatabaseError);
    EXPECT_EQ(this->database->count(QStringLiteral("T")), 0);
}

TYPED_TEST(DatabaseTest, NextItemNumberOfATab) {
    TdtmZelProxCodigo numbering(*this->conn);
    EXPECT_EQ(numbering.PrxItemComanda(QStringLiteral("0001"), QStringLiteral("77"), 3),
              QStringLiteral("000001"));
    this->database->exec(
        QStringLiteral("INSERT INTO ITCOMANDAVEN (CDFILIAL, NRCOMANDA, NRPRODCOMVEN) VALUES "
                       "('0001', '77', '000009'), ('0001', '77', '000010'), ('0001', '78', '000500'), "
                       "('0002', '77', '000900')"));
    EXPECT_EQ(numbering.PrxItemComanda(QStringLiteral("0001"), QStringLiteral("77"), 1),
              QStringLiteral("000011"));
    // an item that moved away keeps its number: its observations and tracking row stay with it
    this->database->exec(
        QStringLiteral("INSERT INTO PEDIDOALT (CDFILIALOLD, NRVENDARESTOLD, NRCOMANDAOLD, NRPRODCOMVENOLD) "
                       "VALUES ('0001', '5', '77', '000020'), ('0001', '5', '76', '000099')"));
    EXPECT_EQ(numbering.PrxItemComanda(QStringLiteral("0001"), QStringLiteral("77"), 1),
              QStringLiteral("000021"));
    const int prepares = this->conn->prepareCount();
    TdtmZelProxCodigo again(*this->conn);
    again.PrxItemComanda(QStringLiteral("0001"), QStringLiteral("78"), 1);
    EXPECT_EQ(this->conn->prepareCount(), prepares)
        << "the numbering statement is prepared once per connection";
    this->database->exec(QStringLiteral("INSERT INTO ITCOMANDAVEN (CDFILIAL, NRCOMANDA, NRPRODCOMVEN) VALUES "
                                        "('0001', '79', '999998')"));
    EXPECT_THROW(numbering.PrxItemComanda(QStringLiteral("0001"), QStringLiteral("79"), 2), Error)
        << "numbers that would not fit in six digits are refused";
}

// A batch runs its steps in order (one wait on PostgreSQL, even after a query Qt left half read); the
// first statement refused raises, the steps after it take no effect, and the transaction stays open to
// be rolled back.
TYPED_TEST(DatabaseTest, ABatchRunsInOrderAndAFailureLeavesTheTransactionToRollBack) {
    Statement ins(*this->conn, insertT());
    for (int i = 0; i < 30; ++i)
        ins.execute({{"P_K", QStringLiteral("k%1").arg(i, 2, 10, QLatin1Char('0'))},
                     {"P_N", QVariant()},
                     {"P_D", QVariant()}});
    Statement all(*this->conn,
                  {.name = QStringLiteral("adqAll"), .sql = QStringLiteral("SELECT K FROM T ORDER BY K")});
    const auto halfRead = all.run();
    ASSERT_EQ(halfRead.asString(QStringLiteral("K")), QStringLiteral("k00"));
    Statement one(*this->conn, {.name = QStringLiteral("adqOne"),
                                .sql = QStringLiteral("SELECT K, N, D FROM T WHERE K = :P_K"),
                                .resultFields = {{QStringLiteral("K"), FieldType::String, 10},
                                                 {QStringLiteral("N"), FieldType::Float, 0},
                                                 {QStringLiteral("D"), FieldType::DateTime, 0}}});
    Statement bad(*this->conn, {.name = QStringLiteral("acmBad"),
                                .kind = StatementKind::Command,
                                .sql = QStringLiteral("INSERT INTO MISSING (K) VALUES (:P_K)")});
    const QDateTime when(QDate(2026, 12, 8), QTime(21, 5, 7, 89));

    Batch failing(*this->conn);
    failing.begin();
    failing.add(ins, {{"P_K", QStringLiteral("x")}, {"P_N", 1.5}, {"P_D", when}});
    failing.add(bad, {{"P_K", QStringLiteral("x")}});
    failing.add(ins, {{"P_K", QStringLiteral("y")}, {"P_N", 1.5}, {"P_D", when}});
    EXPECT_THROW(failing.run(), DatabaseError);
    EXPECT_TRUE(this->conn->inTransaction());
    this->conn->rollback();
    EXPECT_EQ(this->database->count(QStringLiteral("T WHERE K IN ('x', 'y')")), 0);

    const int trips = this->conn->roundTrips();
    Batch batch(*this->conn);
    batch.begin();
    const int inserted = batch.add(ins, {{"P_K", QStringLiteral("z")}, {"P_N", 0.1 + 0.2}, {"P_D", when}});
    const int read = batch.add(one, {{"P_K", QStringLiteral("z")}});
    batch.commit();
    batch.run();
    EXPECT_EQ(this->conn->roundTrips() - trips, TypeParam::kind == DbKind::PostgreSQL ? 1 : 0);
    EXPECT_FALSE(this->conn->inTransaction());
    EXPECT_EQ(batch.result(inserted).rowsAffected, 1);
    const DataPacket& row = batch.result(read).rows;
    ASSERT_EQ(row.rows.size(), 1);
    EXPECT_EQ(row.rows[0][1].toDouble(), 0.1 + 0.2) << "a number travels exactly";
    EXPECT_EQ(row.rows[0][2], QVariant(when));
    EXPECT_EQ(this->database->count(QStringLiteral("T WHERE K = 'z'")), 1);

    // the half-read query runs again as before
    EXPECT_EQ(all.run().asString(QStringLiteral("K")), QStringLiteral("k00"));
}

// A PostgreSQL session is set up in one wait for the server: its bounds are the connection string's, or
// ours where neither the string nor the server chose; a zone the server does not know is taken as the
// host's offset from UTC.
TEST(PostgresSession, SettingsTravelOnceAndTheServerOrTheStringWin) {
    MVT_REQUIRE_DB(DbKind::PostgreSQL);
    struct Row {
        const char* query;
        std::vector<std::pair<const char*, const char*>> shown;
    };
    const Row rows[] = {
        {"",
         {{"lock_timeout", "10s"},
          {"idle_in_transaction_session_timeout", "30s"},
          {"tcp_keepalives_idle", "10"},
          {"tcp_keepalives_interval", "5"},
          {"tcp_keepalives_count", "3"},
          {"statement_timeout", "0"}}},
        // the string's own, and the server's keepalives following the client's
        {"lock_timeout=3s&idle_in_transaction_session_timeout=4000&keepalives_idle=20&tcp_keepalives_count=7",
         {{"lock_timeout", "3s"},
          {"idle_in_transaction_session_timeout", "4s"},
          {"tcp_keepalives_idle", "20"},
          {"tcp_keepalives_count", "7"}}},
        // set for the session before ours, as a server's or a role's configuration would
        {"options=-c%20lock_timeout%3D7s%20-c%20idle_in_transaction_session_timeout%3D0",
         {{"lock_timeout", "7s"}, {"idle_in_transaction_session_timeout", "0"}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.query);
        QString uri = postgresUri();
        if (*row.query)
            uri += (uri.contains(u'?') ? u'&' : u'?') + QString::fromLatin1(row.query);
        Connection c;
        c.setConnectionString(uri);
        int settings = 0;
        c.afterConnect = [&](Connection& session) {
            const int before = session.roundTrips();
            SetADODBSession(session);
            settings = session.roundTrips() - before;
        };
        c.open();
        EXPECT_EQ(settings, 1);
        QSqlQuery show(c.database());
        for (const auto& [name, value] : row.shown) {
            ASSERT_TRUE(show.exec(QStringLiteral("SHOW %1").arg(QLatin1String(name))) && show.next()) << name;
            EXPECT_EQ(show.value(0).toString(), QLatin1String(value)) << name;
        }
    }

    Connection c;
    c.setConnectionString(postgresUri());
    c.afterConnect = [](Connection& session) {
        SetADODBSession(session, {"Nowhere/Atlantis", -(3 * 3600 + 30 * 60)});
    };
    c.open();
    QSqlQuery noon(c.database());
    ASSERT_TRUE(
        noon.exec(QStringLiteral("SELECT to_char(TIMESTAMPTZ '2026-01-01 12:00:00+00', 'HH24:MI')")) &&
        noon.next());
    EXPECT_EQ(noon.value(0).toString(), QStringLiteral("08:30"));
}

TEST(DatabaseErrors, ConnectingToAMissingServerIsAClearError) {
    Connection c;
    c.setConnectionString(QStringLiteral("postgresql://nobody@127.0.0.1:1/none?connect_timeout=2"));
    try {
        c.open();
        FAIL() << "connected to nothing";
    } catch (const DatabaseError& e) {
        EXPECT_TRUE(e.text().startsWith(QStringLiteral("O banco de dados não responde"))) << e.what();
        EXPECT_FALSE(c.connected());
    }
    c.setConnectionString(QStringLiteral("ftp://x"));
    EXPECT_THROW(c.open(), ConfigError);
}

TEST(SqliteFiles, OpeningNeverCreatesAFileAndCreatingOneIsExplicit) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("zel #1?.db"));
    Connection c;
    c.setConnectionString(QStringLiteral("sqlite:") + path);
    try {
        c.open();
        FAIL() << "opened a file that does not exist";
    } catch (const ConfigError& e) {
        EXPECT_TRUE(e.text().contains(path)) << e.what();
    }
    EXPECT_TRUE(QDir(folder.path()).isEmpty()) << "the failed open left a file behind";

    EXPECT_EQ(Connection::createSqliteFile(path), QStringLiteral("sqlite:") + path);
    EXPECT_THROW(Connection::createSqliteFile(path), ConfigError) << "an existing database is never reused";
    c.open();
    c.exec(QStringLiteral("CREATE TABLE T (K VARCHAR(10))"));
    QSqlQuery q(c.database());
    ASSERT_TRUE(q.exec(QStringLiteral("PRAGMA journal_mode")) && q.next());
    EXPECT_EQ(q.value(0).toString(), QStringLiteral("wal"));
    q.finish();
    c.close();
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList({QStringLiteral("zel #1?.db")}));
}
