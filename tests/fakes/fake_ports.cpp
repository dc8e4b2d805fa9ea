#include "fakes/fake_ports.h"

#include <algorithm>
#include <cctype>
#include <chrono>

namespace tollvane::fakes {

LocalDateTime FakeClock::now() const {
    const LocalDateTime t = at(m_ms);
    m_ms += msPerReading;
    return t;
}

LocalDateTime FakeClock::at(long long wallMs) const {
    using namespace std::chrono;
    const sys_time<milliseconds> t{milliseconds{wallMs}};
    const auto day = floor<days>(t);
    const year_month_day ymd{day};
    const hh_mm_ss hms{t - day};
    return {int(ymd.year()),
            int(unsigned(ymd.month())),
            int(unsigned(ymd.day())),
            int(hms.hours().count()),
            int(hms.minutes().count()),
            int(hms.seconds().count()),
            int(hms.subseconds().count())};
}

void FakeClock::set(int y, int mo, int d, int h, int mi, int s, int ms) {
    using namespace std::chrono;
    const sys_days day{year{y} / month{unsigned(mo)} / std::chrono::day{unsigned(d)}};
    m_ms = duration_cast<milliseconds>(day.time_since_epoch()).count() +
           ((h * 60LL + mi) * 60 + s) * 1000 + ms;
}

void FakeTone::beep(std::int32_t frequencyHz, std::int32_t durationMs) {
    beeps.push_back({frequencyHz, durationMs, m_clock.ms()});
    m_clock.advance(durationMs);
    if (onBeep) onBeep();
}

std::string MemorySettingsStore::fold(const std::string& app, const std::string& section,
                                      const std::string& key) {
    std::string k = app + "\n" + section + "\n" + key;
    std::transform(k.begin(), k.end(), k.begin(), [](unsigned char c) { return std::tolower(c); });
    return k;
}

std::string MemorySettingsStore::GetSetting(const std::string& app, const std::string& section,
                                            const std::string& key) {
    const auto it = m_values.find(fold(app, section, key));
    return it == m_values.end() ? std::string() : it->second;
}

Status MemorySettingsStore::SaveSetting(const std::string& app, const std::string& section,
                                        const std::string& key, const std::string& value) {
    ++writes;
    if (failWrites) return Status::failure("disk full");
    m_values[fold(app, section, key)] = value;
    return Status::success();
}

Status MemorySettingsStore::SaveSettings(const std::string& app, const std::string& section,
                                         const Values& values) {
    ++writes;
    if (failWrites) return Status::failure("disk full");
    for (const auto& [key, value] : values) m_values[fold(app, section, key)] = value;
    return Status::success();
}

bool MemorySettingsStore::has(const std::string& app, const std::string& section,
                              const std::string& key) const {
    return m_values.count(fold(app, section, key)) != 0;
}

void ScriptedMessageBox::show(const std::string& text, const std::string& title) {
    shown.push_back({text, title});
    if (whileOpen) whileOpen();
}

namespace {
std::string folderOf(const std::string& path) {
    return path.substr(0, path.rfind('/'));
}
}  // namespace

Status MemoryFileSystem::writeFile(const std::string& path, const std::string& bytes) {
    if (readOnlyDirs.count(folderOf(path))) return Status::failure("Permission denied");
    files[path] = bytes;
    return Status::success();
}

Status MemoryFileSystem::readFile(const std::string& path, std::string& bytes) {
    const auto it = files.find(path);
    if (it == files.end()) return Status::failure("No such file or directory");
    if (failReads) return Status::failure("Input/output error");
    bytes = it->second;
    return Status::success();
}

Status MemoryFileSystem::removeFile(const std::string& path) {
    if (readOnlyDirs.count(folderOf(path))) return Status::failure("Permission denied");
    if (!files.erase(path)) return Status::failure("No such file or directory");
    return Status::success();
}

Status MemoryFileSystem::makeDirectory(const std::string& path) {
    if (readOnlyDirs.count(path)) return Status::failure("Permission denied");
    return Status::success();
}

Status FakeBrowser::show() {
    if (failToStart) return Status::failure("tollvane-browser: No such file or directory");
    ++shows;
    return Status::success();
}

Status FakeBrowser::navigate(const std::string& url) {
    navigations.push_back(url);
    return Status::success();
}

}  // namespace tollvane::fakes
