#include "ui_fixture.h"

#include <map>
#include <stdexcept>

#include "platform/win32/settings_store.h"

namespace tollvane::win32::testing {

namespace {

constexpr const wchar_t* kAppKey = L"Software\\VB and VBA Program Settings\\Vuvuririvivur";

std::map<UINT_PTR, WhileLooping*>& loops() {
    static std::map<UINT_PTR, WhileLooping*> all;
    return all;
}

}  // namespace

ShiftedClock::ShiftedClock(int hour, int minute, int second) {
    SYSTEMTIME t;
    GetLocalTime(&t);
    const long long nowMs =
        ((t.wHour * 60LL + t.wMinute) * 60 + t.wSecond) * 1000 + t.wMilliseconds;
    m_offsetMs = ((hour * 60LL + minute) * 60 + second) * 1000 - nowMs;
}

LocalDateTime ShiftedClock::now() const {
    SYSTEMTIME t;
    GetLocalTime(&t);
    long long ms =
        ((t.wHour * 60LL + t.wMinute) * 60 + t.wSecond) * 1000 + t.wMilliseconds + m_offsetMs;
    ms = ((ms % 86400000) + 86400000) % 86400000;  // the day is today's, whatever the shift
    LocalDateTime d;
    d.year = t.wYear;
    d.month = t.wMonth;
    d.day = t.wDay;
    d.hour = static_cast<int>(ms / 3600000);
    d.minute = static_cast<int>(ms / 60000 % 60);
    d.second = static_cast<int>(ms / 1000 % 60);
    d.millisecond = static_cast<int>(ms % 1000);
    return d;
}

void UiFixture::SetUp() {
    clearRegistry();
}

void UiFixture::TearDown() {
    desktop.reset();
    clearRegistry();
}

void UiFixture::clearRegistry() {
    RegDeleteTreeW(HKEY_CURRENT_USER, kAppKey);
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\VB and VBA Program Settings\\VuvurIrivivur");
}

std::string UiFixture::registryValue(const char* key) {
    return Win32SettingsStore().GetSetting("Vuvuririvivur", "lastsettings", key);
}

void UiFixture::setRegistryValue(const char* key, const std::string& value) {
    ASSERT_TRUE(Win32SettingsStore().SaveSetting("Vuvuririvivur", "lastsettings", key, value).ok);
}

void UiFixture::start(Clock* clock) {
    Desktop::Options o;
    o.tone = &tone;
    o.clock = clock;
    o.wake = wake;
    o.sessionStart = &sessionStart;
    o.keepProcess = true;
    desktop = std::make_unique<Desktop>(o);
    desktop->start();
    ASSERT_TRUE(runUntil(
        [this] {
            FormWindow* v = desktop->view(main());
            return v && IsWindowVisible(v->hwnd());
        },
        15000));
}

bool UiFixture::runUntil(const std::function<bool()>& done, unsigned ms) {
    return desktop->runUntil(done, ms);
}

void UiFixture::runFor(unsigned ms) {
    desktop->runUntil({}, ms);
}

FormWindow& UiFixture::view(const Form& form) {
    FormWindow* v = desktop->view(form);
    EXPECT_NE(v, nullptr) << form.layout().name << " has no window";
    if (!v) throw std::runtime_error("no window");
    return *v;
}

HWND UiFixture::control(const Form& form, const char* name) {
    HWND hwnd = view(form).control(name);
    EXPECT_NE(hwnd, nullptr) << form.layout().name << "." << name;
    return hwnd;
}

void UiFixture::click(const Form& form, const char* name) {
    HWND button = control(form, name);
    RECT r;
    GetClientRect(button, &r);
    const LPARAM at = MAKELPARAM(r.right / 2, r.bottom / 2);
    PostMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(button, WM_LBUTTONUP, 0, at);
    runFor(50);
}

void UiFixture::chooseMenu(const Form& form, const char* item) {
    FormWindow& v = view(form);
    const int command = v.menuCommand(item);
    ASSERT_NE(command, 0) << item;
    PostMessageW(v.hwnd(), WM_COMMAND, MAKEWPARAM(command, 0), 0);
    runFor(50);
}

void UiFixture::type(const Form& form, const char* name, const std::wstring& text) {
    HWND edit = control(form, name);
    SetFocus(edit);
    SendMessageW(edit, EM_SETSEL, 0, -1);
    // Short texts key by key; a long one as a paste puts it in, in one piece.
    if (text.size() > 64) {
        SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
        return;
    }
    for (wchar_t c : text) SendMessageW(edit, WM_CHAR, c, 1);
    if (text.empty()) SendMessageW(edit, WM_CHAR, VK_BACK, 1);
}

std::wstring UiFixture::text(const Form& form, const char* name) {
    return windowText(control(form, name));
}

WhileLooping::WhileLooping(std::function<bool()> check) : m_check(std::move(check)) {
    m_timer = SetTimer(nullptr, 0, 20, &WhileLooping::tick);
    loops()[m_timer] = this;
}

WhileLooping::~WhileLooping() {
    if (m_timer) KillTimer(nullptr, m_timer);
    loops().erase(m_timer);
}

void CALLBACK WhileLooping::tick(HWND, UINT, UINT_PTR id, DWORD) {
    const auto it = loops().find(id);
    if (it == loops().end()) return;
    WhileLooping* self = it->second;
    if (self->m_check()) {
        KillTimer(nullptr, id);
        self->m_timer = 0;
        loops().erase(id);
    }
}

HWND openMessageBox(const wchar_t* title) {
    struct Search {
        const wchar_t* title;
        HWND found;
    } search{title, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND hwnd, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            wchar_t cls[16] = {};
            GetClassNameW(hwnd, cls, 16);
            if (std::wstring(cls) == L"#32770" && windowText(hwnd) == s->title &&
                IsWindowVisible(hwnd)) {
                s->found = hwnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring messageBoxText(HWND box) {
    // The text of a message box is its static control with id 0xFFFF.
    return windowText(GetDlgItem(box, 0xFFFF));
}

}  // namespace tollvane::win32::testing
