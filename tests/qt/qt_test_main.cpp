// Qt tests need one QApplication for the whole run; the real home folder is never touched.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFont>
#include <QStandardPaths>

int main(int argc, char** argv) {
    // Also when ctest lists the tests, which it does without the tests' environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    QFont::insertSubstitution(QStringLiteral("Comic Sans MS"), QStringLiteral("Comic Neue"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
