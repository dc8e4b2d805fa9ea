// Qt tests need one QApplication for the whole run; the real home folder is never touched.

#include <gtest/gtest.h>

#include <QApplication>
#include <QStandardPaths>

#include "platform/qt/font_stand_ins.h"

int main(int argc, char** argv) {
    // Also when ctest lists the tests, which it does without the tests' environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    tollvane::useFontStandIns();  // the fonts the program draws its windows with
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
