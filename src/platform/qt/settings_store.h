#pragma once
// The settings store on Linux: one per-user INI file (~/.config/Tollvane/settings.ini, or under
// $XDG_CONFIG_HOME). Application, section and key names are folded to lower case, so every
// capitalisation reaches one entry; values are kept exactly. Each save rewrites the file
// atomically: a program killed while saving leaves the old file or the new one, never half of it;
// SaveSettings() writes all its values in one such rewrite.

#include <QSettings>
#include <QString>
#include <memory>

#include "platform/ports.h"

namespace tollvane {

class QtSettingsStore : public SettingsStore {
public:
    explicit QtSettingsStore(const QString& filePath = defaultPath());
    static QString defaultPath();

    std::string GetSetting(const std::string& app, const std::string& section,
                           const std::string& key) override;
    Status SaveSetting(const std::string& app, const std::string& section, const std::string& key,
                       const std::string& value) override;
    Status SaveSettings(const std::string& app, const std::string& section,
                        const Values& values) override;
    std::string location() const override;

private:
    std::unique_ptr<QSettings> m_settings;
};

}  // namespace tollvane
