#pragma once
// The program's files on Windows. Paths are UTF-8 in the program and wide for the API. The
// reminder text is kept in the ANSI code page, as text files on Windows usually are, where that
// code page holds it.

#include <string>

#include "platform/ports.h"

namespace tollvane {

class Win32FileSystem : public FileSystem {
public:
    // `codePage` is the code page of the text files: the system's ANSI code page unless given
    // (0 is CP_ACP).
    explicit Win32FileSystem(unsigned codePage = 0) : m_codePage(codePage) {}

    // The running executable's full path, however long; empty when it cannot be read.
    static std::wstring programPath();
    // Its folder.
    std::string programDirectory() const override;
    // %LOCALAPPDATA%\Tollvane.
    std::string userDataDirectory() const override;
    char separator() const override { return '\\'; }
    // UTF-8 to the code page and back; nullopt when the code page lacks a character of the text.
    std::optional<std::string> encodeText(const std::string& utf8) const override;
    std::string decodeText(const std::string& bytes) const override;
    Status makeDirectory(const std::string& path) override;
    // Writes a temporary file in the same folder, then moves it over the old file in one step,
    // so that a reader sees either the old bytes or the new ones.
    Status writeFile(const std::string& path, const std::string& bytes) override;
    Status readFile(const std::string& path, std::string& bytes) override;
    Status removeFile(const std::string& path) override;
    bool exists(const std::string& path) const override;

private:
    unsigned m_codePage;
};

}  // namespace tollvane
