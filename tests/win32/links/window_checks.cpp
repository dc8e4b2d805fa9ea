#include "win32/links/window_checks.h"

#include <gtest/gtest.h>

#include <optional>

#include "platform/win32/handles.h"

namespace tollvane::testing {

namespace {

// OLE on the test's thread for the whole run, as the program starts it for its whole life.
class OleForTheRun : public ::testing::Environment {
public:
    void SetUp() override { m_ole.emplace(); }
    void TearDown() override { m_ole.reset(); }

private:
    std::optional<win32::OleSession> m_ole;
};

[[maybe_unused]] ::testing::Environment* const kOle =
    ::testing::AddGlobalTestEnvironment(new OleForTheRun);

}  // namespace

void pumpMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

SIZE clientSize(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return {client.right - client.left, client.bottom - client.top};
}

RECT placeInParent(HWND child) {
    RECT place{};
    GetWindowRect(child, &place);
    MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&place), 2);
    return place;
}

int threadWindowsOfClass(const wchar_t* className) {
    struct Search {
        const wchar_t* name;
        int count;
    } search{className, 0};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            wchar_t name[64];
            if (GetClassNameW(window, name, 64) && std::wstring(name) == s->name) ++s->count;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.count;
}

}  // namespace tollvane::testing
