#include "platform/qt/file_system.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include "platform/qt/qstring_of.h"

namespace tollvane {

namespace {
std::string withoutTrailingSlash(QString dir) {
    while (dir.size() > 1 && dir.endsWith(u'/')) dir.chop(1);
    return dir.toStdString();
}
}  // namespace

QtFileSystem::QtFileSystem(QString programDir, QString userDataDir)
    : m_programDir(std::move(programDir)), m_userDataDir(std::move(userDataDir)) {}

std::string QtFileSystem::programDirectory() const {
    return withoutTrailingSlash(m_programDir.isEmpty() ? QCoreApplication::applicationDirPath()
                                                       : m_programDir);
}

std::string QtFileSystem::userDataDirectory() const {
    if (!m_userDataDir.isEmpty()) return withoutTrailingSlash(m_userDataDir);
    return withoutTrailingSlash(
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
        QStringLiteral("/Tollvane"));
}

std::string QtFileSystem::installedDataDirectory() const {
    return QDir::cleanPath(QString::fromStdString(programDirectory()) + QStringLiteral("/") +
                           QStringLiteral(TOLLVANE_DATA_FROM_BIN))
        .toStdString();
}

Status QtFileSystem::writeFile(const std::string& path, const std::string& bytes) {
    QSaveFile file(q(path));
    if (!file.open(QIODevice::WriteOnly)) return Status::failure(file.errorString().toStdString());
    if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) != qint64(bytes.size())) {
        const std::string why = file.errorString().toStdString();
        file.cancelWriting();
        return Status::failure(why);
    }
    if (!file.commit()) return Status::failure(file.errorString().toStdString());
    return Status::success();
}

Status QtFileSystem::readFile(const std::string& path, std::string& bytes) {
    QFile file(q(path));
    if (!file.open(QIODevice::ReadOnly)) return Status::failure(file.errorString().toStdString());
    const QByteArray data = file.readAll();
    if (file.error() != QFile::NoError) return Status::failure(file.errorString().toStdString());
    bytes.assign(data.constData(), static_cast<std::size_t>(data.size()));
    return Status::success();
}

Status QtFileSystem::removeFile(const std::string& path) {
    QFile file(q(path));
    if (!file.remove()) return Status::failure(file.errorString().toStdString());
    return Status::success();
}

bool QtFileSystem::exists(const std::string& path) const {
    return QFileInfo::exists(q(path));
}

Status QtFileSystem::makeDirectory(const std::string& path) {
    if (!QDir().mkpath(q(path))) return Status::failure("the folder cannot be created");
    return Status::success();
}

}  // namespace tollvane
