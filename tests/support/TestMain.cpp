#include <QApplication>
#include <gtest/gtest.h>

// Every test program owns one application object, as the host program does. Screens are driven on
// the offscreen platform unless the caller asked for another one.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
