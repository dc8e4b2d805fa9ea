#include "platform/qt/display_connection.h"

#include <QCoreApplication>

namespace tollvane {

namespace {

constexpr char kNoSharedMemory[] = "QT_XCB_NO_MITSHM";

// Runs inside the application's constructor, after the platform connected to the display.
void forgetDisplaySetting() {
    qunsetenv(kNoSharedMemory);
}

}  // namespace

void prepareDisplayConnection() {
    if (QCoreApplication::instance() || qEnvironmentVariableIsSet(kNoSharedMemory)) return;
    qputenv(kNoSharedMemory, "1");
    qAddPreRoutine(forgetDisplaySetting);
}

}  // namespace tollvane
