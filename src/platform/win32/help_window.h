#pragma once
// The help viewer on Windows: a window of the program that shows the help file's text, beside the
// program and not modal. The file's HTML is shown as text (no HTML engine is needed), headings in
// bold. There is one help window: a second showHelp() reads the file again and brings the window
// up; closing it only hides it.

#include <string>
#include <vector>

#include "links/help_text.h"
#include "platform/ports.h"
#include "platform/win32/api.h"
#include "platform/win32/handles.h"
#include "platform/win32/program_icon.h"
#include "platform/win32/window_class.h"

namespace tollvane {

class Win32HelpWindow : public HelpViewer {
public:
    Win32HelpWindow() = default;
    ~Win32HelpWindow() override;
    Win32HelpWindow(const Win32HelpWindow&) = delete;
    Win32HelpWindow& operator=(const Win32HelpWindow&) = delete;

    // Shows the file from its start, or from the target named `key` when it has one. A file that
    // cannot be read shows why, in the same window. Returns at once.
    void showHelp(const std::string& helpFile, int command, const std::string& key) override;

    HWND window() const { return m_window.get(); }  // null until the first showHelp()
    HWND textBox() const { return m_text; }
    // Whether the text box is a rich edit control (bold headings) rather than a plain edit box.
    bool richText() const { return m_rich; }

private:
    friend LRESULT CALLBACK win32::ownedWindowProc<Win32HelpWindow>(HWND, UINT, WPARAM, LPARAM);
    LRESULT handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool create();
    void makeFont(UINT dpi);
    void showText(const HelpText& help, const std::string& key);
    void setText(const std::string& utf8);
    void applyHeadings();
    void scrollTo(LONG index);
    void fitText();
    void onDpiChanged(unsigned dpi);

    // A heading of the text shown, in the text box's character positions.
    struct Heading {
        LONG first, end;
        int level;
    };

    // Declared before the window, so that they go after it.
    win32::LibraryHandle m_richEdit;
    win32::FontHandle m_font;
    win32::ProgramIcons m_icons;
    win32::WindowHandle m_window;
    HWND m_text = nullptr;  // a child of m_window
    bool m_rich = false;
    int m_fontPoints = 10;  // the body's size at the window's DPI
    std::vector<Heading> m_headings;
};

}  // namespace tollvane
