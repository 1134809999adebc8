// Entry point shared by every test executable.
#include <QApplication>
#include <QLocale>
#include <QStyleFactory>
#include <clocale>
#include <cstdlib>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    // Test discovery runs the binary without a display; fall back to offscreen.
    if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY"))
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    // QApplication sets the C locale from the environment; numbers in table
    // files must never depend on it.
    std::setlocale(LC_ALL, "C");
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    return RUN_ALL_TESTS();
}
