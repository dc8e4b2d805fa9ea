// The help window on Windows: the help file's text in a window of the program, one window shown
// again on every Help > How To..., and a missing file explained in it.

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/api.h"
#include "platform/win32/file_system.h"
#include "platform/win32/help_window.h"
#include "platform/win32/text.h"
#include "win32/links/window_checks.h"
#include "win32/scratch.h"

#include <commdlg.h>
#include <richedit.h>

namespace tollvane {
namespace {

using testing::clientSize;
using testing::pumpMessages;
using testing::ScratchFolder;
using testing::threadWindowsOfClass;
using win32::windowText;

constexpr int kHelpKeyCommand = 257;

std::wstring wide(const std::string& utf8) {
    return *win32::toWide(utf8);
}

std::string writeHelpFile(const ScratchFolder& folder, const std::string& html) {
    const std::string path = folder.path() + "\\HelpForBrindle.HLP";
    EXPECT_TRUE(Win32FileSystem().writeFile(path, html));
    return path;
}

// Where the text box holds `text` (in its own character positions), or -1.
LONG find(HWND box, const wchar_t* text) {
    FINDTEXTEXW search{};
    search.chrg = {0, -1};
    search.lpstrText = text;
    return static_cast<LONG>(SendMessageW(box, EM_FINDTEXTEXW, FR_DOWN | FR_MATCHCASE,
                                          reinterpret_cast<LPARAM>(&search)));
}

bool boldAt(HWND box, LONG position) {
    CHARRANGE one{position, position + 1};
    SendMessageW(box, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&one));
    CHARFORMAT2W format{};
    format.cbSize = sizeof format;
    SendMessageW(box, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    return (format.dwMask & CFM_BOLD) && (format.dwEffects & CFE_BOLD);
}

// The size of the character at `position`, in the text box's own units.
LONG sizeAt(HWND box, LONG position) {
    CHARRANGE one{position, position + 1};
    SendMessageW(box, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&one));
    CHARFORMAT2W format{};
    format.cbSize = sizeof format;
    SendMessageW(box, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    return format.yHeight;
}

// The width of the window's small icon, the one in its title bar.
int smallIconWidth(HWND window) {
    const auto icon = reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_SMALL, 0));
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info)) return 0;
    BITMAP bits{};
    GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bits, &bits);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return bits.bmWidth;
}

void changeDpi(HWND window, unsigned dpi) {
    RECT r{};
    GetWindowRect(window, &r);
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&r));
}

LONG firstVisibleLine(HWND box) {
    return static_cast<LONG>(SendMessageW(box, EM_GETFIRSTVISIBLELINE, 0, 0));
}

LONG lineOf(HWND box, LONG position) {
    return static_cast<LONG>(SendMessageW(box, EM_EXLINEFROMCHAR, 0, position));
}

TEST(Win32HelpWindow, TheProgramsHelpFile_ShownAsReadableTextInAVisibleWindow) {
    Win32HelpWindow help;
    help.showHelp(TOLLVANE_HELP_FILE, kHelpKeyCommand, "");
    pumpMessages();
    HWND window = help.window();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(windowText(window), L"Tollvane Help");
    ASSERT_TRUE(help.richText());

    const std::wstring text = windowText(help.textBox());
    EXPECT_EQ(
        text.rfind(L"Tollvane\r\n\r\nTollvane is an alarm clock with one calendar reminder.", 0),
        0u)
        << win32::toUtf8(text);
    EXPECT_NE(text.find(L"Contents\r\n\r\n  \u2022 Setting the alarm\r\n"), std::wstring::npos);
    EXPECT_NE(text.find(L"  1. Press >>> to show the calendar (and <<< to hide it again)."),
              std::wstring::npos);
    EXPECT_EQ(text.find(L"<li>"), std::wstring::npos);
    EXPECT_EQ(text.find(L"&gt;"), std::wstring::npos);

    // 8400 x 9600 twips of text at the test session's 96 dpi, the text box filling it.
    ASSERT_EQ(GetDpiForWindow(window), 96u);
    const SIZE client = clientSize(window);
    EXPECT_EQ(client.cx, 560);
    EXPECT_EQ(client.cy, 640);
    const SIZE box = clientSize(help.textBox());
    RECT boxFrame{};
    GetWindowRect(help.textBox(), &boxFrame);
    EXPECT_EQ(boxFrame.right - boxFrame.left, client.cx);
    EXPECT_EQ(boxFrame.bottom - boxFrame.top, client.cy);
    EXPECT_GT(box.cy, 0);
}

TEST(Win32HelpWindow, Headings_InBold_TheRestPlain) {
    Win32HelpWindow help;
    help.showHelp(TOLLVANE_HELP_FILE, kHelpKeyCommand, "");
    HWND box = help.textBox();
    ASSERT_TRUE(help.richText());
    // Headings stand after a blank line (a paragraph ends in CR); the contents list holds the
    // same words as items.
    EXPECT_TRUE(boldAt(box, 0));
    for (const wchar_t* heading : {L"\rContents", L"\rWhat Tollvane remembers"}) {
        const LONG at = find(box, heading);
        ASSERT_GE(at, 0) << win32::toUtf8(heading);
        EXPECT_TRUE(boldAt(box, at + 1)) << win32::toUtf8(heading);
    }
    // The last character of a heading, and the text right after one.
    const LONG remembers = find(box, L"\rWhat Tollvane remembers") + 1;
    EXPECT_TRUE(boldAt(box, remembers + 22));
    EXPECT_FALSE(boldAt(box, remembers + 23));
    EXPECT_FALSE(boldAt(box, find(box, L"When you close Tollvane")));
    EXPECT_FALSE(boldAt(box, find(box, L"Tollvane is an alarm clock")));
    EXPECT_FALSE(boldAt(box, find(box, L"Setting the alarm\r")));  // a list item
}

// Moved to a screen of 144 dpi and back: the headings stand above the body by the same measure at
// both, the body's font follows the screen, and so do the window's icons.
TEST(Win32HelpWindow, DpiChanged_HeadingsKeepTheirSizeAgainstTheBody_IconsFollow) {
    ScratchFolder folder;
    const std::string path =
        writeHelpFile(folder, "<h1>Top</h1><p>body text</p><h2>Middle</h2><p>more text</p>");
    Win32HelpWindow help;
    help.showHelp(path, kHelpKeyCommand, "");
    ASSERT_TRUE(help.richText());
    HWND window = help.window();
    HWND box = help.textBox();
    struct Sizes {
        LONG top, middle, body;
    };
    auto sizes = [&] {
        return Sizes{sizeAt(box, find(box, L"Top")), sizeAt(box, find(box, L"Middle")),
                     sizeAt(box, find(box, L"body text"))};
    };
    changeDpi(window, 96);
    const Sizes at96 = sizes();
    EXPECT_GT(at96.top, at96.middle);
    EXPECT_GT(at96.middle, at96.body);
    EXPECT_EQ(smallIconWidth(window), GetSystemMetricsForDpi(SM_CXSMICON, 96));

    changeDpi(window, 144);
    const Sizes at144 = sizes();
    EXPECT_GT(at144.body, at96.body * 13 / 10) << "the body's font did not follow the screen";
    EXPECT_GT(at144.top, at144.middle);
    EXPECT_GT(at144.middle, at144.body) << "a heading came out no larger than the body";
    // Against the body, as at 96 dpi (the body's size in whole points may round otherwise).
    EXPECT_NEAR(double(at144.top) / at144.body, double(at96.top) / at96.body, 0.1);
    EXPECT_EQ(smallIconWidth(window), GetSystemMetricsForDpi(SM_CXSMICON, 144));

    changeDpi(window, 96);
    const Sizes back = sizes();
    EXPECT_EQ(back.body, at96.body);
    EXPECT_EQ(back.top, at96.top);
    EXPECT_EQ(back.middle, at96.middle);
}

TEST(Win32HelpWindow, ShownAgain_OneWindowBroughtUpWithTheFileReadAfresh) {
    ScratchFolder folder;
    const std::string path =
        writeHelpFile(folder, "<title>First</title><h1>Old heading</h1><p>old text</p>");
    Win32HelpWindow help;
    help.showHelp(path, kHelpKeyCommand, "");
    HWND window = help.window();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(windowText(window), L"First");

    // The user closes it: hidden, not gone.
    SendMessageW(window, WM_CLOSE, 0, 0);
    pumpMessages();
    EXPECT_TRUE(IsWindow(window));
    EXPECT_FALSE(IsWindowVisible(window));

    writeHelpFile(folder, "<p>New text, no heading</p>");
    help.showHelp(path, kHelpKeyCommand, "");
    pumpMessages();
    EXPECT_EQ(help.window(), window);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(windowText(window), L"Tollvane Help");  // a file without a title
    EXPECT_EQ(windowText(help.textBox()), L"New text, no heading");
    EXPECT_FALSE(boldAt(help.textBox(), 0));  // the old heading's bold is gone with it

    // Minimised, it comes back as it was.
    ShowWindow(window, SW_MINIMIZE);
    help.showHelp(path, kHelpKeyCommand, "");
    pumpMessages();
    EXPECT_FALSE(IsIconic(window));
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(threadWindowsOfClass(L"TollvaneHelpWindow"), 1);
}

TEST(Win32HelpWindow, MissingFile_TheWindowSaysWhichAndWhy_ThenShowsItOnceItIsThere) {
    ScratchFolder folder;
    const std::string path = folder.path() + "\\HelpForBrindle.HLP";
    Win32HelpWindow help;
    help.showHelp(path, kHelpKeyCommand, "");
    pumpMessages();
    ASSERT_NE(help.window(), nullptr);
    EXPECT_TRUE(IsWindowVisible(help.window()));
    EXPECT_EQ(windowText(help.window()), L"Tollvane Help (not found)");
    const std::wstring expected = L"The help file cannot be opened:\r\n" + wide(path) +
                                  L"\r\n\r\n" + wide(win32::errorText(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(windowText(help.textBox()), expected);

    writeHelpFile(folder, "<title>Back</title><p>here</p>");
    help.showHelp(path, kHelpKeyCommand, "");
    EXPECT_EQ(windowText(help.window()), L"Back");
    EXPECT_EQ(windowText(help.textBox()), L"here");
}

TEST(Win32HelpWindow, ControlCharactersAndBytesThatAreNotUtf8_TheTextAfterThemStillShown) {
    ScratchFolder folder;
    const std::string path =
        writeHelpFile(folder, std::string("<p>before\0after \xE9t\xE9 end</p>", 27));
    Win32HelpWindow help;
    help.showHelp(path, kHelpKeyCommand, "");
    EXPECT_EQ(windowText(help.textBox()), L"before\uFFFDafter \uFFFDt\uFFFD end");
}

TEST(Win32HelpWindow, Keyword_ScrollsItsTargetToTheTop_NoKeywordShowsTheStart) {
    ScratchFolder folder;
    std::string html = "<h1>Top</h1>";
    for (int i = 0; i < 120; ++i) html += "<p>Paragraph " + std::to_string(i) + "</p>";
    html += "<h2 id=\"far\">Far down</h2>";
    for (int i = 0; i < 120; ++i) html += "<p>More " + std::to_string(i) + "</p>";
    const std::string path = writeHelpFile(folder, html);
    Win32HelpWindow help;
    help.showHelp(path, kHelpKeyCommand, "far");
    pumpMessages();
    HWND box = help.textBox();
    const LONG target = find(box, L"Far down");
    ASSERT_GT(target, 0);
    EXPECT_GT(firstVisibleLine(box), 0);
    EXPECT_EQ(firstVisibleLine(box), lineOf(box, target));

    help.showHelp(path, kHelpKeyCommand, "");
    pumpMessages();
    EXPECT_EQ(firstVisibleLine(box), 0);
    help.showHelp(path, kHelpKeyCommand, "no-such-target");
    EXPECT_EQ(firstVisibleLine(box), 0);
}

}  // namespace
}  // namespace tollvane
