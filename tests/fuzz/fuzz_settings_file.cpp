// Any bytes in the settings file: the store reads without crashing, and a value saved over a
// broken file reads back exactly.

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

#include "platform/qt/settings_store.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("settings.ini"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }
    tollvane::QtSettingsStore store(path);
    (void)store.GetSetting("Vuvuririvivur", "lastsettings", "timealarm");
    (void)store.GetSetting("VuvurIrivivur", "State", "remset");
    if (store.SaveSetting("Vuvuririvivur", "lastsettings", "remyear", " 2003")) {
        tollvane::QtSettingsStore again(path);
        if (again.GetSetting("vuvuririvivur", "LASTSETTINGS", "remyear") != " 2003") std::abort();
    }
    return 0;
}
