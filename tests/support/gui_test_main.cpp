// The main of GUI test programs: the offscreen platform (no display needed,
// 96 logical pixels per inch) and one application object for all tests.

#include <gtest/gtest.h>

#include <QGuiApplication>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
