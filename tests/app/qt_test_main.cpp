// Runs a test program that needs a QApplication: on the offscreen platform unless another is
// asked for, with the user's configuration folder moved to a temporary one, so that no test
// ever reads or writes the tester's own settings. A program built with BRIVEL_QT_SCALE_FACTOR
// runs as on a desktop of that density unless QT_SCALE_FACTOR names another (Qt reads the
// factor when the application starts).

#include "game/flag.h"

#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
#ifdef BRIVEL_QT_SCALE_FACTOR
    setenv("QT_SCALE_FACTOR", BRIVEL_QT_SCALE_FACTOR, 0);
#endif
    QTemporaryDir configHome;
    if (!configHome.isValid()) return 2;
    setenv("XDG_CONFIG_HOME", configHome.path().toLocal8Bit().constData(), 1);
    InitFlag(Flag);
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
