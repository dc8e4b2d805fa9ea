#pragma once
// Throw-away places for the Win32 adapter tests: a folder under the user's temporary folder, and
// a registry application under VB and VBA Program Settings. Both are removed again afterwards.

#include <string>

namespace tollvane::testing {

// A new, empty folder; deleted with everything in it when the object goes.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& path() const { return m_path; }  // UTF-8, no trailing separator
    // The names of the entries in the folder, sorted, without "." and "..".
    std::string listing() const;

private:
    std::string m_path;
};

void deleteFolderTree(const std::wstring& path);

// Deletes HKEY_CURRENT_USER\Software\VB and VBA Program Settings\<app> and all below it.
void deleteRegistryApplication(const std::wstring& app);
bool registryApplicationExists(const std::wstring& app);

// The file's bytes as they are on disk, read without the adapter under test.
std::string rawFileBytes(const std::wstring& path);

}  // namespace tollvane::testing
