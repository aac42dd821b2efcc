// The fiscal menu: its reports and how it closes.

#include "DialogTesting.h"

#include "platform/ui/Dialogs.h"
#include "platform/ui/FiscalMenu.h"
#include "platform/ui/QtDialogProvider.h"

#include <QLabel>

using namespace platform;
using namespace platform::ui;
using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {

TEST(FiscalMenuTest, ShowsDisabledReportsAndCloses) {
    FiscalMenu menu;
    EXPECT_EQ(child<QLabel>(&menu, u"title"_s)->text(), u"Menu Fiscal"_s);
    for (const char* name : {"reportX", "reportMemory", "reportMirror"}) {
        ASSERT_NE(child(&menu, QString::fromLatin1(name)), nullptr) << name;
        EXPECT_FALSE(child(&menu, QString::fromLatin1(name))->isEnabled()) << name;
    }
    EXPECT_EQ(child(&menu, u"reportX"_s)->text(), u"Leitura X"_s);
    EXPECT_EQ(menu.closeButton()->text(), u"Fechar"_s);
    EXPECT_TRUE(menu.closeButton()->isEnabled());

    QtDialogProvider provider;
    int opened = 0;
    whenModal([&opened](QDialog* d) {
        opened += qobject_cast<FiscalMenu*>(d) != nullptr;
        key(d, Qt::Key_Escape);
    });
    provider.relFiscais();
    whenModal([&opened](QDialog* d) {
        opened += qobject_cast<FiscalMenu*>(d) != nullptr;
        click(child(d, u"close"_s));
    });
    ProviderScope scope(provider);
    RelFiscais();
    EXPECT_EQ(opened, 2);
}

} // namespace
