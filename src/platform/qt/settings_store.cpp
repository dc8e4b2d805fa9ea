#include "platform/qt/settings_store.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace tollvane {

namespace {

// QSettings treats '/' and '\' in names as group separators: replace them, so a name is always
// one level, and fold the case.
QString folded(const std::string& name) {
    QString s = QString::fromStdString(name).toLower();
    s.replace(u'/', u'_').replace(u'\\', u'_');
    return s;
}

QString address(const std::string& app, const std::string& section, const std::string& key) {
    return folded(app) + u'/' + folded(section) + u'/' + folded(key);
}

}  // namespace

QString QtSettingsStore::defaultPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Tollvane/settings.ini");
}

QtSettingsStore::QtSettingsStore(const QString& filePath)
    : m_settings(std::make_unique<QSettings>(filePath, QSettings::IniFormat)) {
    // Values are UTF-8 text in the file; there is no other encoding to choose in Qt 6.
    m_settings->setAtomicSyncRequired(true);
}

std::string QtSettingsStore::GetSetting(const std::string& app, const std::string& section,
                                        const std::string& key) {
    return m_settings->value(address(app, section, key)).toString().toStdString();
}

Status QtSettingsStore::SaveSetting(const std::string& app, const std::string& section,
                                    const std::string& key, const std::string& value) {
    return SaveSettings(app, section, {{key, value}});
}

// The values go into the file together: QSettings holds the changes until sync(), which writes
// the whole file once, atomically.
Status QtSettingsStore::SaveSettings(const std::string& app, const std::string& section,
                                     const Values& values) {
    const QFileInfo info(m_settings->fileName());
    if (!QDir().mkpath(info.absolutePath())) {
        return Status::failure("the folder " + info.absolutePath().toStdString() +
                               " cannot be created");
    }
    for (const auto& [key, value] : values)
        m_settings->setValue(address(app, section, key), QString::fromStdString(value));
    m_settings->sync();
    switch (m_settings->status()) {
        case QSettings::NoError:
            return Status::success();
        case QSettings::AccessError:
            return Status::failure(
                "the file cannot be written (no permission, or the disk is full)");
        case QSettings::FormatError:
            return Status::failure("the file is not a settings file");
    }
    return Status::failure("unknown error");
}

std::string QtSettingsStore::location() const {
    return m_settings->fileName().toStdString();
}

}  // namespace tollvane
