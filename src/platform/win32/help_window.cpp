#include "platform/win32/help_window.h"

#include <algorithm>

#include "platform/win32/file_system.h"
#include "platform/win32/geometry.h"
#include "platform/win32/text.h"
#include "windows/layout.h"

#include <richedit.h>

namespace tollvane {
namespace {

constexpr wchar_t kClassName[] = L"TollvaneHelpWindow";
constexpr char kDefaultTitle[] = "Tollvane Help";
constexpr win32::WindowStyle kStyle{WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0};
// The window's first size and the text's margins, in twips.
constexpr int kClientWidth = 8400;
constexpr int kClientHeight = 9600;
constexpr int kMargin = 120;
// Points added to the text's size for headings of level 1 and 2; deeper ones are bold only.
constexpr int kHeadingGrowth[] = {4, 2};

// The number of UTF-16 units of the text's first `bytes` bytes: the rich edit control counts
// characters that way, and a line end as one.
LONG charIndex(const std::string& text, std::size_t bytes) {
    return static_cast<LONG>(win32::toWideLossy(text.substr(0, bytes)).size());
}

}  // namespace

Win32HelpWindow::~Win32HelpWindow() {
    m_window.reset();
}

void Win32HelpWindow::showHelp(const std::string& helpFile, int /*command*/,
                               const std::string& key) {
    if (!m_window && !create()) return;
    std::string bytes;
    if (const Status read = Win32FileSystem().readFile(helpFile, bytes); read) {
        const HelpText help = helpTextFromHtml(bytes);
        SetWindowTextW(m_window.get(),
                       win32::toWideLossy(help.title.empty() ? kDefaultTitle : help.title).c_str());
        showText(help, key);
    } else {
        SetWindowTextW(m_window.get(), L"Tollvane Help (not found)");
        HelpText message;
        message.text = "The help file cannot be opened:\n" + helpFile + "\n\n" + read.error;
        showText(message, {});
    }
    HWND window = m_window.get();
    ShowWindow(window, IsIconic(window) ? SW_RESTORE : SW_SHOWNORMAL);
    SetForegroundWindow(window);
    BringWindowToTop(window);
}

bool Win32HelpWindow::create() {
    // The rich edit control draws the headings in bold; without it, a plain edit box. From the
    // system's folder only: the program may lie in Downloads beside anything else downloaded.
    m_richEdit.reset(LoadLibraryExW(L"Msftedit.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    m_rich = m_richEdit != nullptr;

    HWND window = win32::createOwnedWindow(
        this, kClassName, kStyle.exStyle, win32::toWideLossy(kDefaultTitle).c_str(), kStyle.style,
        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr);
    if (!window) return false;
    m_window.reset(window);
    const unsigned dpi = win32::windowDpi(window);
    win32::setClientArea(
        window, kStyle, {twipsToPixels(kClientWidth, dpi), twipsToPixels(kClientHeight, dpi)}, dpi);

    m_icons.apply(window, dpi);

    m_text = CreateWindowExW(
        0, m_rich ? MSFTEDIT_CLASS : L"EDIT", L"",
        WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, 0, 0, 0,
        0, window, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!m_text) {
        m_window.reset();
        return false;
    }
    makeFont(dpi);
    fitText();
    return true;
}

// The desktop's message font at the window's DPI, for the text box.
void Win32HelpWindow::makeFont(UINT dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi))
        return;
    win32::FontHandle font(CreateFontIndirectW(&metrics.lfMessageFont));
    if (!font) return;
    const LONG height = metrics.lfMessageFont.lfHeight;
    m_fontPoints = height < 0 ? MulDiv(-height, 72, static_cast<int>(dpi)) : 9;
    SendMessageW(m_text, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    m_font = std::move(font);  // the old font goes once the box holds the new one
}

// The text box fills the window; its text keeps a margin from the edges.
void Win32HelpWindow::fitText() {
    RECT client;
    GetClientRect(m_window.get(), &client);
    MoveWindow(m_text, 0, 0, client.right, client.bottom, TRUE);
    const int margin = twipsToPixels(kMargin, win32::windowDpi(m_window.get()));
    if (m_rich) {
        GetClientRect(m_text, &client);
        RECT text{margin, margin / 2, std::max<LONG>(client.right - margin, margin + 1),
                  client.bottom};
        SendMessageW(m_text, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&text));
    } else {
        SendMessageW(m_text, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN,
                     MAKELPARAM(margin, margin));
    }
}

void Win32HelpWindow::showText(const HelpText& help, const std::string& key) {
    setText(help.text);
    m_headings.clear();
    for (const HelpText::Heading& h : help.headings) {
        m_headings.push_back(
            {charIndex(help.text, h.offset), charIndex(help.text, h.offset + h.length), h.level});
    }
    applyHeadings();
    const auto target = key.empty() ? help.anchors.end() : help.anchors.find(key);
    const std::size_t offset = target == help.anchors.end() ? 0 : target->second;
    LONG index = charIndex(help.text, offset);
    if (!m_rich)  // a plain edit box counts a line end as two characters
        index += static_cast<LONG>(std::count(help.text.data(), help.text.data() + offset, '\n'));
    scrollTo(index);
}

void Win32HelpWindow::setText(const std::string& utf8) {
    // The rich edit control ends a paragraph with CR, one character, as the text's LF; a plain
    // edit box breaks lines only at CR LF.
    std::wstring text;
    for (const wchar_t c : win32::toWideLossy(utf8)) {
        if (c != L'\n')
            text += c;
        else
            text += m_rich ? L"\r" : L"\r\n";
    }
    if (m_rich) {
        // Replaces the text and drops the last file's formatting: the new text starts plain.
        SETTEXTEX replace{ST_DEFAULT, 1200};  // 1200: UTF-16
        SendMessageW(m_text, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&replace),
                     reinterpret_cast<LPARAM>(text.c_str()));
    } else {
        SetWindowTextW(m_text, text.c_str());
    }
}

// Headings are sized from the body's size as the rich edit control holds it, in its own units.
// The body's font is made for the window's DPI, while the control counts its twips at the
// system's: a heading given in points would come out smaller than the body on a screen whose DPI
// is not the system's.
void Win32HelpWindow::applyHeadings() {
    if (!m_rich || m_headings.empty()) return;
    CHARFORMAT2W body{};
    body.cbSize = sizeof body;
    SendMessageW(m_text, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&body));
    CHARRANGE kept{};
    SendMessageW(m_text, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&kept));
    for (const Heading& heading : m_headings) {
        CHARFORMAT2W format{};
        format.cbSize = sizeof format;
        format.dwMask = CFM_BOLD | CFM_SIZE;
        format.dwEffects = CFE_BOLD;
        const int growth = heading.level <= 2 ? kHeadingGrowth[heading.level - 1] : 0;
        format.yHeight = MulDiv(body.yHeight, m_fontPoints + growth, m_fontPoints);
        CHARRANGE range{heading.first, heading.end};
        SendMessageW(m_text, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
        SendMessageW(m_text, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    }
    SendMessageW(m_text, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&kept));
}

// Puts the line holding the character `index` at the top, with the caret there.
void Win32HelpWindow::scrollTo(LONG index) {
    SendMessageW(m_text, EM_SETSEL, static_cast<WPARAM>(index), index);
    if (m_rich) {
        // Lines differ in height (the headings are larger): scroll by pixels.
        POINT scrolled{}, at{};
        SendMessageW(m_text, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&scrolled));
        SendMessageW(m_text, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at), index);
        POINT target{0, scrolled.y + at.y};
        SendMessageW(m_text, EM_SETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&target));
    } else {
        const auto line = static_cast<LONG>(SendMessageW(m_text, EM_LINEFROMCHAR, index, 0));
        const auto first = static_cast<LONG>(SendMessageW(m_text, EM_GETFIRSTVISIBLELINE, 0, 0));
        SendMessageW(m_text, EM_LINESCROLL, 0, line - first);
    }
}

// The new font replaces the text's sizes: the headings are sized again from it, and the line that
// was at the top stays there.
void Win32HelpWindow::onDpiChanged(unsigned dpi) {
    m_icons.apply(m_window.get(), dpi);
    if (!m_text) return;
    const auto topLine = static_cast<WPARAM>(SendMessageW(m_text, EM_GETFIRSTVISIBLELINE, 0, 0));
    const auto top = static_cast<LONG>(SendMessageW(m_text, EM_LINEINDEX, topLine, 0));
    makeFont(dpi);
    fitText();
    applyHeadings();
    scrollTo(top);
}

LRESULT Win32HelpWindow::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            if (m_text) fitText();
            return 0;
        case WM_SETFOCUS:
            if (m_text) SetFocus(m_text);
            return 0;
        case WM_CLOSE:
            // Hidden, not destroyed: the next Help > How To... shows it again.
            ShowWindow(window, SW_HIDE);
            return 0;
        case WM_DPICHANGED:
            onDpiChanged(win32::takeSuggestedPlace(window, wParam, lParam));
            return 0;
        case WM_SYSCOLORCHANGE:
            // Only top-level windows are told of a new colour scheme.
            if (m_text) SendMessageW(m_text, message, wParam, lParam);
            return 0;
        case WM_CTLCOLORSTATIC:
            // A read-only edit box would be grey: text to read is on the window colour.
            SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOW));
            SetTextColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOWTEXT));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
        case WM_NCDESTROY:
            (void)m_window.release();
            m_text = nullptr;
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace tollvane
