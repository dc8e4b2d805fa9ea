#pragma once
#include <QString>

#include "platform/ports.h"

namespace tollvane {

// The program's folder and its files on Linux. Writes go through QSaveFile: a temporary file in
// the same folder renamed over the old one, so a failed or interrupted write leaves the old file.
class QtFileSystem : public FileSystem {
public:
    // Empty directories: the running executable's folder and ~/.local/share/Tollvane.
    explicit QtFileSystem(QString programDir = {}, QString userDataDir = {});

    std::string programDirectory() const override;
    std::string userDataDirectory() const override;
    // The program folder's ../share/tollvane (as installed: bin/ and share/ side by side).
    std::string installedDataDirectory() const override;
    char separator() const override { return '/'; }
    Status writeFile(const std::string& path, const std::string& bytes) override;
    Status readFile(const std::string& path, std::string& bytes) override;
    Status removeFile(const std::string& path) override;
    bool exists(const std::string& path) const override;
    Status makeDirectory(const std::string& path) override;

private:
    QString m_programDir;
    QString m_userDataDir;
};

}  // namespace tollvane
