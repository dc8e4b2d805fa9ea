// The shop window on Windows: Form1 at its design size with the system's web browser control,
// navigated to the address the program gives, brought up again, and made anew after the user
// closed it. Wine draws no page (it has no HTML engine here); the control is made and navigated.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "links/shop_page.h"
#include "platform/win32/api.h"
#include "platform/win32/shop_window.h"
#include "platform/win32/text.h"
#include "win32/links/window_checks.h"
#include "windows/form1.h"

namespace tollvane {
namespace {

using testing::clientSize;
using testing::placeInParent;
using testing::pumpMessages;
using testing::threadWindowsOfClass;
using win32::windowText;

const WindowLayout& form1() {
    return Form1::designLayout();
}

// A class that no system registers.
constexpr CLSID kNoSuchControl = {
    0x7f2c1a3e, 0x51b4, 0x4c0e, {0x9a, 0x61, 0x2d, 0x0b, 0x8e, 0x44, 0x13, 0x57}};

TEST(Win32ShopWindow, Shown_TheWindowAtItsDesignSize_WithTheBrowserControlAtItsOwn) {
    int closed = 0;
    Win32ShopWindow shop(form1(), [&] { ++closed; });
    const Status shown = shop.show();
    ASSERT_TRUE(shown) << shown.error;
    pumpMessages();
    HWND window = shop.window();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(win32::toUtf8(windowText(window)), shopName());

    const auto style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
    EXPECT_TRUE(style & WS_THICKFRAME) << "sizable";
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_TRUE(style & WS_MAXIMIZEBOX);
    EXPECT_TRUE(style & WS_SYSMENU) << "a close box";

    ASSERT_EQ(GetDpiForWindow(window), 96u);  // the test session's screen
    const SIZE client = clientSize(window);
    EXPECT_EQ(client.cx, 639);  // 9585 x 8400 twips
    EXPECT_EQ(client.cy, 560);

    HWND control = shop.controlWindow();
    ASSERT_NE(control, nullptr);
    EXPECT_TRUE(IsChild(window, control));
    const RECT place = placeInParent(control);
    EXPECT_EQ(place.left, 0);
    EXPECT_EQ(place.top, 0);
    EXPECT_EQ(place.right - place.left, 1009);  // 15135 x 11055 twips
    EXPECT_EQ(place.bottom - place.top, 737);
    EXPECT_EQ(closed, 0);
}

TEST(Win32ShopWindow, Navigated_TheControlIsAtTheShopsAddress) {
    Win32ShopWindow shop(form1(), [] {});
    ASSERT_TRUE(shop.show());
    EXPECT_EQ(shop.locationUrl(), "");  // no page before the first address
    const Status went = shop.navigate(shopAddress());
    ASSERT_TRUE(went) << went.error;
    pumpMessages();
    EXPECT_EQ(shop.locationUrl(), shopAddress());
}

TEST(Win32ShopWindow, ShownAgain_TheSameWindowComesUp_AndIsNavigatedAgain) {
    Win32ShopWindow shop(form1(), [] {});
    ASSERT_TRUE(shop.show());
    ASSERT_TRUE(shop.navigate("http://first.example/"));
    HWND window = shop.window();
    HWND control = shop.controlWindow();
    ShowWindow(window, SW_MINIMIZE);
    pumpMessages();

    ASSERT_TRUE(shop.show());
    pumpMessages();
    EXPECT_EQ(shop.window(), window);
    EXPECT_EQ(shop.controlWindow(), control);
    EXPECT_FALSE(IsIconic(window));
    EXPECT_TRUE(IsWindowVisible(window));
    ASSERT_TRUE(shop.navigate(shopAddress()));
    pumpMessages();
    EXPECT_EQ(shop.locationUrl(), shopAddress());
    EXPECT_EQ(threadWindowsOfClass(L"TollvaneShopWindow"), 1);
}

TEST(Win32ShopWindow, Resized_TheControlKeepsItsSize) {
    Win32ShopWindow shop(form1(), [] {});
    ASSERT_TRUE(shop.show());
    HWND window = shop.window();
    const RECT before = placeInParent(shop.controlWindow());
    for (const int width : {300, 1200}) {
        SetWindowPos(window, nullptr, 0, 0, width, width * 3 / 4, SWP_NOMOVE | SWP_NOZORDER);
        pumpMessages();
        const RECT after = placeInParent(shop.controlWindow());
        EXPECT_EQ(after.left, before.left);
        EXPECT_EQ(after.top, before.top);
        EXPECT_EQ(after.right, before.right);
        EXPECT_EQ(after.bottom, before.bottom);
    }
}

TEST(Win32ShopWindow, ClosedByTheUser_ReportedOnce_NextShowMakesANewWindow) {
    int closed = 0;
    Win32ShopWindow shop(form1(), [&] { ++closed; });
    EXPECT_FALSE(shop.navigate(shopAddress())) << "no window yet";
    ASSERT_TRUE(shop.show());
    HWND first = shop.window();

    SendMessageW(first, WM_CLOSE, 0, 0);
    pumpMessages();
    EXPECT_EQ(closed, 1);
    EXPECT_FALSE(IsWindow(first));
    EXPECT_EQ(shop.window(), nullptr);
    EXPECT_EQ(shop.controlWindow(), nullptr);
    const Status gone = shop.navigate(shopAddress());
    EXPECT_FALSE(gone);
    EXPECT_EQ(gone.error, "the shop window is not open");

    ASSERT_TRUE(shop.show());
    pumpMessages();
    ASSERT_NE(shop.window(), nullptr);
    EXPECT_TRUE(IsWindowVisible(shop.window()));
    EXPECT_NE(shop.controlWindow(), nullptr);
    ASSERT_TRUE(shop.navigate(shopAddress()));
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(threadWindowsOfClass(L"TollvaneShopWindow"), 1);
}

TEST(Win32ShopWindow, ProgramEnds_TheOpenWindowGoesWithoutBeingReportedAsClosed) {
    int closed = 0;
    HWND window = nullptr;
    {
        Win32ShopWindow shop(form1(), [&] { ++closed; });
        ASSERT_TRUE(shop.show());
        window = shop.window();
    }
    pumpMessages();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(closed, 0);
}

TEST(Win32ShopWindow, ControlThatCannotBeMade_FailsWithTheReason_AndLeavesNoWindow) {
    int closed = 0;
    Win32ShopWindow shop(
        form1(), [&] { ++closed; }, kNoSuchControl);
    const Status shown = shop.show();
    ASSERT_FALSE(shown);
    EXPECT_NE(shown.error.find("the web browser control cannot be created"), std::string::npos)
        << shown.error;
    EXPECT_NE(shown.error.find("0x80040154"), std::string::npos) << shown.error;  // not registered
    pumpMessages();
    EXPECT_EQ(shop.window(), nullptr);
    EXPECT_EQ(threadWindowsOfClass(L"TollvaneShopWindow"), 0);
    EXPECT_EQ(closed, 0);
    EXPECT_FALSE(shop.navigate(shopAddress()));
    EXPECT_FALSE(shop.show()) << "fails again, the same way";
}

// The browser engine asked for this executable, or empty when none is.
std::optional<DWORD> engineChoice() {
    DWORD value = 0, size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, win32::kBrowserEmulationKey,
                     L"tollvane_win32_links_tests.exe", RRF_RT_REG_DWORD, nullptr, &value,
                     &size) != ERROR_SUCCESS)
        return std::nullopt;
    return value;
}

void setEngineChoice(std::optional<DWORD> value) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, win32::kBrowserEmulationKey, 0, nullptr, 0,
                              KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    if (value) {
        RegSetValueExW(key, L"tollvane_win32_links_tests.exe", 0, REG_DWORD,
                       reinterpret_cast<const BYTE*>(&*value), sizeof *value);
    } else {
        RegDeleteValueW(key, L"tollvane_win32_links_tests.exe");
    }
    RegCloseKey(key);
}

TEST(Win32ShopWindow, BrowserEngine_TheCurrentOneAskedForThisProgram_AChoiceMadeBeforeIsKept) {
    setEngineChoice(std::nullopt);
    {
        Win32ShopWindow shop(form1(), [] {});
        ASSERT_TRUE(shop.show());
        EXPECT_EQ(engineChoice(), std::optional<DWORD>(11001));
    }
    setEngineChoice(9000);
    {
        Win32ShopWindow shop(form1(), [] {});
        ASSERT_TRUE(shop.show());
        EXPECT_EQ(engineChoice(), std::optional<DWORD>(9000));
    }
    setEngineChoice(std::nullopt);
}

TEST(Win32ShopWindow, KeyMessages_OnlyThoseForTheShopWindowGoToTheControl) {
    Win32ShopWindow shop(form1(), [] {});
    MSG key{};
    key.message = WM_KEYDOWN;
    key.wParam = VK_TAB;
    EXPECT_FALSE(shop.preTranslateMessage(key)) << "no window yet";
    ASSERT_TRUE(shop.show());

    HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                 nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(other, nullptr);
    key.hwnd = other;
    EXPECT_FALSE(shop.preTranslateMessage(key));
    DestroyWindow(other);

    MSG click{};
    click.hwnd = shop.controlWindow();
    click.message = WM_LBUTTONDOWN;
    EXPECT_FALSE(shop.preTranslateMessage(click));
}

}  // namespace
}  // namespace tollvane
