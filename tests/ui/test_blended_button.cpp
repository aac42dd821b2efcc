// The styled button: its colours by state.

#include "DialogTesting.h"

#include "platform/ui/DialogStyle.h"

using namespace platform;
using namespace platform::ui;
using namespace testsupport;

namespace {

QColor centreOf(QWidget& w) {
    return w.grab().toImage().pixelColor(w.width() / 2, 6);
}

TEST(BlendedButtonTest, TogglesShowTheirStateAndDisabledIsGrey) {
    TBlendedBitBtn button(QStringLiteral("3"));
    button.resize(80, 64);
    EXPECT_EQ(centreOf(button), style::accent());
    button.setCheckable(true);
    EXPECT_EQ(centreOf(button), QColor(Qt::white)); // off: outline only
    button.setChecked(true);
    EXPECT_EQ(centreOf(button), style::accent());
    button.setEnabled(false);
    EXPECT_EQ(centreOf(button), style::disabled());
}

} // namespace
