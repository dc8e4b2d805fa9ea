#include "reminder/reminder_file.h"

namespace tollvane {

std::string reminderFileBytes(std::string_view text) {
    // A quote inside the text is written as it is; reading takes everything up to the last quote
    // of the line, so it comes back whole.
    std::string bytes;
    bytes.reserve(text.size() + 4);
    bytes += '"';
    bytes += text;
    bytes += "\"\r\n";
    return bytes;
}

std::optional<std::string> readFirstItem(std::string_view bytes) {
    if (bytes.empty()) return std::nullopt;
    std::size_t i = bytes.find_first_not_of(' ');
    if (i == std::string_view::npos) return std::string();
    std::size_t lineEnd = bytes.find_first_of("\r\n", i);
    if (lineEnd == std::string_view::npos) lineEnd = bytes.size();
    const std::string_view line = bytes.substr(i, lineEnd - i);

    if (!line.empty() && line.front() == '"') {
        const std::size_t closing = line.rfind('"');
        // An opening quote with no closing one: the item runs to the end of the line.
        const std::size_t end = closing == 0 ? line.size() : closing;
        return std::string(line.substr(1, end - 1));
    }
    std::string_view item = line.substr(0, line.find(','));
    const std::size_t last = item.find_last_not_of(" \t");
    return std::string(last == std::string_view::npos ? std::string_view()
                                                      : item.substr(0, last + 1));
}

std::string ReminderFile::path() const {
    return m_files.programDirectory() + m_files.separator() + kReminderFileName;
}

std::string ReminderFile::fallbackPath() const {
    return m_files.userDataDirectory() + m_files.separator() + kReminderFileName;
}

// There is one pending reminder, so a write leaves one copy: the other place is cleared. A copy
// beside the executable that cannot be cleared would hide the new text (reading looks there
// first), so then the write fails and the earlier reminder stays as it was.
Status ReminderFile::WriteReminderFile(const std::string& text) {
    const std::optional<std::string> encoded = m_files.encodeText(text);
    const std::string bytes =
        encoded ? reminderFileBytes(*encoded) : std::string(kUtf8Mark) + reminderFileBytes(text);
    Status beside = m_files.writeFile(path(), bytes);
    if (beside) {
        if (!m_files.exists(fallbackPath())) return beside;
        Status stale = m_files.removeFile(fallbackPath());
        if (stale) return beside;
        // The earlier text would come back once the new one has been shown and deleted.
        Status undo = m_files.removeFile(path());
        return Status::failure(fallbackPath() + ": an earlier reminder there cannot be replaced: " +
                               stale.error + (undo ? "" : "\n" + path() + ": " + undo.error));
    }

    Status folder = m_files.makeDirectory(m_files.userDataDirectory());
    Status inUserFolder = folder ? m_files.writeFile(fallbackPath(), bytes) : folder;
    if (!inUserFolder) {
        return Status::failure(path() + ": " + beside.error + "\n" + fallbackPath() + ": " +
                               inUserFolder.error);
    }
    if (m_files.exists(path())) {
        if (Status stale = m_files.removeFile(path()); !stale) {
            // Reading looks beside the executable first, so the earlier text stays in force even
            // if the new copy cannot be taken back either.
            Status undo = m_files.removeFile(fallbackPath());
            return Status::failure(
                path() + ": an earlier reminder there cannot be replaced: " + stale.error +
                (undo ? "" : "\n" + fallbackPath() + ": " + undo.error));
        }
    }
    return inUserFolder;
}

Status ReminderFile::ReadReminderFile(std::string& text) {
    for (const std::string& p : {path(), fallbackPath()}) {
        if (!m_files.exists(p)) continue;
        std::string bytes;
        Status read = m_files.readFile(p, bytes);
        if (!read) return read;
        const bool utf8 = std::string_view(bytes).substr(0, kUtf8Mark.size()) == kUtf8Mark;
        const auto item =
            readFirstItem(std::string_view(bytes).substr(utf8 ? kUtf8Mark.size() : 0));
        if (!item) return Status::failure(p + ": the file is empty");
        text = utf8 ? *item : m_files.decodeText(*item);
        return Status::success();
    }
    return Status::failure("no reminder file");
}

Status ReminderFile::DeleteReminderFile() {
    // Both places are cleared; a copy that stays behind is a failure even if the other went.
    bool found = false;
    Status result;
    for (const std::string& p : {path(), fallbackPath()}) {
        if (!m_files.exists(p)) continue;
        found = true;
        if (Status removed = m_files.removeFile(p); !removed && result) result = removed;
    }
    return found ? result : Status::failure("no reminder file");
}

}  // namespace tollvane
