// The fiscal menu: its reports and how it closes.

#include "DialogTesting.h"

#include "platform/ui/Dialogs.h"
#include "platform/ui/FiscalMenu.h"
#include "platform/ui/QtDialogProvider.h"

#include <QLabel>

using namespace platform;
using namespace platform::ui;
using namespace testsupport;

namespace {

TEST(FiscalMenuTest, ShowsDisabledReportsAndCloses) {
    FiscalMenu menu;
    EXPECT_EQ(child<QLabel>(&menu, "title")->text(), "Menu Fiscal");
    for (const char* name : {"reportX", "reportMemory", "reportMirror"}) {
        ASSERT_NE(child(&menu, name), nullptr) << name;
        EXPECT_FALSE(child(&menu, name)->isEnabled()) << name;
    }
    EXPECT_EQ(child(&menu, "reportX")->text(), "Leitura X");
    EXPECT_EQ(menu.closeButton()->text(), "Fechar");
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
        click(child(d, "close"));
    });
    ProviderScope scope(provider);
    RelFiscais();
    EXPECT_EQ(opened, 2);
}

} // namespace
