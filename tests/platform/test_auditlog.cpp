#include "platform/AuditLog.h"
#include "platform/Errors.h"
#include "platform/Runtime.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace platform;

TEST(AuditLog, AppendsOneJsonLinePerEntryWithEveryArgument) {
    QTemporaryDir folder;
    ExecutableFolderOverride beside(folder.path());
    for (int i = 0; i < 2; ++i)
        LogControleAcess(QStringLiteral("0001"), QStringLiteral("003"), QStringLiteral("TRA_PRO"),
                         QStringLiteral("77"), QStringLiteral("Ana"), QStringLiteral("p%1").arg(i),
                         QStringLiteral("Transferir produto."), QStringLiteral("texto ç"),
                         QStringLiteral("9"), QStringLiteral("10"), QStringLiteral("11"),
                         QStringLiteral("12"), 0, 0);
    QFile log(folder.filePath(QStringLiteral("Dados/Log/ControleAcess.log")));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = log.readAll().split('\n');
    ASSERT_EQ(lines.size(), 3); // two entries and the empty tail
    const QJsonObject first = QJsonDocument::fromJson(lines[0]).object();
    EXPECT_EQ(first.value(QStringLiteral("action")).toString(), QStringLiteral("TRA_PRO"));
    EXPECT_EQ(first.value(QStringLiteral("param")).toString(), QStringLiteral("p0"));
    EXPECT_EQ(first.value(QStringLiteral("text")).toString(), QStringLiteral("texto ç"));
    EXPECT_EQ(first.value(QStringLiteral("text12")).toString(), QStringLiteral("12"));
    EXPECT_EQ(first.value(QStringLiteral("value14")).toInt(-1), 0);
    EXPECT_EQ(first.size(), 15) << "the time and the fourteen arguments";
}

TEST(AuditLog, AnEntryThatCannotBeWrittenIsAnError) {
    QTemporaryDir folder;
    // a file where the log folder should be
    QFile blocker(folder.filePath(QStringLiteral("Dados")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    ExecutableFolderOverride beside(folder.path());
    EXPECT_THROW(
        LogControleAcess({}, {}, QStringLiteral("TRA_PRO"), {}, {}, {}, {}, {}, {}, {}, {}, {}, 0, 0), Error);
}
