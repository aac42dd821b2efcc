#include "support/ScreenFixture.h"

#include <gtest/gtest.h>

using namespace testsupport;

TEST(ScreenSmoke, OpensAndAddsAnItemByKey) {
    ScreenFixture f;
    f.writeParameters();
    f.writeAccessControl();
    f.sales().item(QStringLiteral("10"), QStringLiteral("000001"), QStringLiteral("P1"), 1);
    f.sales().item(QStringLiteral("10"), QStringLiteral("000002"), QStringLiteral("P2"), 3);
    auto& s = f.open();
    EXPECT_EQ(s.lblDsMesaOrig->text(), QStringLiteral("MESA  0045"));
    EXPECT_EQ(s.cdsProdOrig.recordCount(), 2);
    f.dialogs.answerSeats(true, QStringLiteral("2"));
    f.type(u'a');
    EXPECT_TRUE(f.dialogs.errorReports.isEmpty()) << f.dialogs.errorReports.join(u'\n').toStdString();
    EXPECT_EQ(s.cdsProdDes.recordCount(), 1);
    EXPECT_EQ(s.cdsProdOrig.recordCount(), 1);
    EXPECT_EQ(s.cdsProdDes.field(QStringLiteral("NRLUGARMESA")).asString(), QStringLiteral("2"));
}
