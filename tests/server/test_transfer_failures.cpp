// A transfer against the database's failures on the seeded restaurant: a lock another terminal holds, a
// failure at any statement, a deadlock retried, and every statement prepared once.

#include "TransferTest.h"

#include "support/FaultInjection.h"

#include "platform/Errors.h"
#include "platform/db/Failures.h"

#include <chrono>
#include <future>
#include <thread>
#include <utility>

using namespace Srv_Mvt04215;
using namespace testsupport;

// Another terminal holds a tab of the request longer than this session waits for a lock: the operator
// is told which tables are busy, and it is not retried as a deadlock would be.
TYPED_TEST(TransferTest, ALockWaitThatRunsOutNamesTheBusyTables) {
    const auto other = openSession(this->database->connectionString(), u"other-terminal"_s);
    other->beginTransaction();
    if (TypeParam::kind == DbKind::PostgreSQL) {
        other->exec(u"SELECT * FROM COMANDAVEN WHERE NRCOMANDA = '20' FOR UPDATE"_s);
        this->module->adcTrPosicao.exec(u"SET lock_timeout = '200ms'"_s);
    } else {
        this->module->adcTrPosicao.exec(u"PRAGMA busy_timeout = 200"_s);
    }
    EXPECT_EQ(this->refusal(this->request().move(u"10"_s, u"000004"_s).move(u"11"_s, u"000001"_s)),
              platform::db::tableBusyText({u"0001"_s, u"0002"_s}));
    other->rollback();
    EXPECT_TRUE(this->moved(this->request().move(u"10"_s, u"000004"_s)));
}

// Another terminal changes the item and holds it while this transfer starts: the transfer must wait
// and see the change, not move the item as the screen last showed it.
TYPED_TEST(TransferTest, AChangeCommittedWhileTheTransferWaitsIsSeen) {
    const TransferRequest r = this->request().move(u"10"_s, u"000004"_s).move(u"10"_s, u"000001"_s);
    std::promise<void> holding;
    std::string otherError;
    std::thread other([&, uri = this->database->connectionString()] {
        bool held = false;
        try {
            const auto terminal = openSession(uri, u"other-terminal"_s);
            terminal->beginTransaction();
            terminal->exec(
                u"UPDATE ITCOMANDAVEN SET QTPRODCOMVEN = 1 WHERE CDFILIAL = '0001' AND NRCOMANDA = '10' "
                "AND NRPRODCOMVEN = '000001'"_s);
            holding.set_value();
            held = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            terminal->commit();
        } catch (const std::exception& e) {
            otherError = e.what();
            if (!held)
                holding.set_value();
        }
    });
    holding.get_future().wait();
    const QVariant result = this->transfer(r);
    other.join();
    ASSERT_EQ(otherError, "");

    EXPECT_EQ(result.toString(), text::originChanged(u"10"_s, u"000001"_s));
    EXPECT_EQ(this->newItems(), Rows());
    EXPECT_EQ(shown(this->itemRow(u"10"_s, u"000001"_s).value(u"QTPRODCOMVEN"_s)), "1");
    EXPECT_FALSE(this->itemRow(u"10"_s, u"000004"_s).isEmpty());
}

// Whichever statement of either writer fails, the request leaves nothing behind, and the same request
// then succeeds.
TYPED_TEST(TransferTest, AFailureAtAnyStatementLeavesEveryRowAsItWas) {
    for (const auto& [writer, atLeast] :
         {std::pair{TrdmTrPosicao::TransferWriter::ByDialect, 15},
          std::pair{TrdmTrPosicao::TransferWriter::StatementByStatement, 20}}) {
        SCOPED_TRACE(atLeast);
        this->module->transferWriter = writer;
        this->reseed();
        const TransferRequest r = this->request()
                                      .move(u"10"_s, u"000004"_s)
                                      .move(u"10"_s, u"000002"_s, 1)
                                      .move(u"10"_s, u"000001"_s);
        QStringList names;
        {
            FaultInjection counting([&](const QString& name) { names << name; });
            ASSERT_TRUE(this->moved(r));
        }
        const Rows expected = this->snapshot();
        ASSERT_GE(names.size(), atLeast);
        this->reseed();
        const Rows before = this->snapshot();

        for (int failing = 1; failing <= names.size(); ++failing) {
            SCOPED_TRACE(u"statement %1, %2"_s.arg(failing).arg(names[failing - 1]).toStdString());
            int run = 0;
            FaultInjection fault([&](const QString& name) {
                if (++run == failing)
                    throw platform::DatabaseError(u"falha injetada em "_s + name, u"injetada"_s, QString(),
                                                  name);
            });
            const QVariant result = this->transfer(r);
            EXPECT_EQ(result.typeId(), QMetaType::QString);
            EXPECT_FALSE(result.toString().isEmpty());
            EXPECT_EQ(this->snapshot(), before);
        }
        ASSERT_TRUE(this->moved(r));
        EXPECT_EQ(this->snapshot(), expected);
    }
}

// A deadlock is retried from the start: nothing of the failed attempt may remain or be done twice.
TYPED_TEST(TransferTest, ADeadlockAtAnyStatementIsRetriedToTheSameResult) {
    for (auto writer :
         {TrdmTrPosicao::TransferWriter::ByDialect, TrdmTrPosicao::TransferWriter::StatementByStatement}) {
        this->module->transferWriter = writer;
        this->reseed();
        const TransferRequest r = this->request()
                                      .move(u"10"_s, u"000004"_s)
                                      .move(u"10"_s, u"000002"_s, 1)
                                      .move(u"10"_s, u"000001"_s);
        int statements = 0;
        {
            FaultInjection counting([&](const QString&) { ++statements; });
            ASSERT_TRUE(this->moved(r));
        }
        const Rows expected = this->snapshot();

        for (int failing = 1; failing <= statements; ++failing) {
            SCOPED_TRACE(failing);
            this->reseed();
            int run = 0;
            FaultInjection deadlock([&](const QString& name) {
                if (++run == failing)
                    throw platform::DatabaseError(u"deadlock detected"_s, u"deadlock"_s, u"40P01"_s, name);
            });
            EXPECT_TRUE(this->moved(r));
            EXPECT_EQ(this->snapshot(), expected);
        }
    }
}

TYPED_TEST(TransferTest, EveryStatementIsPreparedOnceForManyRequests) {
    for (auto writer :
         {TrdmTrPosicao::TransferWriter::ByDialect, TrdmTrPosicao::TransferWriter::StatementByStatement}) {
        this->module->transferWriter = writer;
        this->reseed();
        // an earlier split of 11/000002 left a tracking row, so the first request both writes and
        // rewrites one
        SalesBuilder(this->database->admin())
            .tracking(u"V1"_s, u"11"_s, u"000002"_s,
                      {{u"NRVENDAREST"_s, u"V2"_s},
                       {u"NRCOMANDA"_s, u"20"_s},
                       {u"NRPRODCOMVEN"_s, u"000006"_s},
                       {u"NRMESA"_s, u"0002"_s}});
        ASSERT_TRUE(this->moved(this->request()
                                    .move(u"10"_s, u"000004"_s)
                                    .move(u"10"_s, u"000001"_s)
                                    .move(u"11"_s, u"000002"_s, 1)
                                    .move(u"10"_s, u"000002"_s, 1)));
        const int prepared = this->module->adcTrPosicao.prepareCount();

        ASSERT_TRUE(this->moved(this->request()
                                    .move(u"10"_s, u"000003"_s)
                                    .move(u"10"_s, u"000002"_s, 1)
                                    .move(u"11"_s, u"000001"_s)));
        EXPECT_EQ(this->module->adcTrPosicao.prepareCount(), prepared);
    }
}
