#pragma once
// The pending reminder's text lives in one file, reminder.ini, beside the executable: a single
// line holding the text between double quotes, ended by CR LF. Where the program's folder cannot
// be written (an installed program), the file is kept in the per-user data folder instead;
// reading and deleting look beside the executable first, then there.
//
// The text is in the platform's encoding for text files (the ANSI code page on Windows), byte for
// byte as other programs expect it. A text that encoding cannot hold (Greek under a Western code
// page, an emoji) is written in UTF-8 after its byte-order mark, and read back by that mark.

#include <optional>
#include <string>
#include <string_view>

#include "platform/ports.h"

namespace tollvane {

inline constexpr const char* kReminderFileName = "reminder.ini";
inline constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// The file's bytes for a text (already in the file's encoding).
std::string reminderFileBytes(std::string_view text);

// The first item of a reminder file: after leading blanks, either the text between the opening
// double quote and the last double quote of the first line, or (unquoted) everything up to the
// first comma or the end of the first line, trailing blanks removed. nullopt for an empty file.
std::optional<std::string> readFirstItem(std::string_view bytes);

class ReminderFile {
public:
    explicit ReminderFile(FileSystem& files) : m_files(files) {}

    std::string path() const;          // beside the executable
    std::string fallbackPath() const;  // in the per-user data folder

    // Replaces the pending text; where the program's folder cannot be written, the per-user
    // folder takes it. On failure the earlier file is left whole.
    Status WriteReminderFile(const std::string& text);
    // The pending text; fails when there is no file or it is empty.
    Status ReadReminderFile(std::string& text);
    Status DeleteReminderFile();

private:
    FileSystem& m_files;
};

}  // namespace tollvane
