#pragma once
// One renderer for every window on Windows: it builds a top-level window and its controls from a
// window's layout data, binds each control to its model value, forwards clicks, menu choices,
// typing, activation and the close box, and mirrors the model back onto the controls after every
// event. One window class per window of the program, named after its layout.

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/running_program.h"
#include "platform/win32/accessibility.h"
#include "platform/win32/binding.h"
#include "platform/win32/controls.h"
#include "platform/win32/geometry.h"
#include "platform/win32/handles.h"
#include "platform/win32/menus.h"
#include "platform/win32/program_icon.h"
#include "platform/win32/window_class.h"
#include "windows/form.h"

namespace tollvane::win32 {

class FormWindow : public WindowView {
public:
    // Builds the window, hidden. `owner` owns a window that has no taskbar button of its own.
    // What the window hands to its model goes through `events`.
    FormWindow(Form& model, WindowEvents events, HWND owner);
    ~FormWindow() override;
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;

    HWND hwnd() const { return m_hwnd; }
    Form& model() const { return m_model; }
    // The child window of a control, by its name.
    HWND control(const std::string& name) const;
    // The command number of a menu item, by its name.
    int menuCommand(const std::string& item) const { return m_menu.command(item); }
    unsigned dpi() const { return m_dpi; }

    void mirror(const ViewChanges& changes) override;
    // The taskbar button and the caption flash until the user brings the window to the
    // foreground.
    void askForAttention() override;
    // Up from the taskbar and into the foreground, which a second start allowed it to take.
    void bringToFront(const std::string& activationToken) override;
    // The model is going away: from now on the window forwards nothing and reads nothing of it.
    void detach() { m_detached = true; }
    // Tab, Enter and Esc among the window's controls; true when the message was taken.
    bool translate(MSG& message) { return m_hwnd && IsDialogMessageW(m_hwnd, &message) != FALSE; }

    // The id a control's child window gets: its place in the layout, from 100.
    static int controlId(const WindowLayout& layout, const std::string& name);
    // The window class of a layout's window.
    static std::wstring className(const WindowLayout& layout);

private:
    struct Child {
        const ControlLayout* layout = nullptr;
        HWND hwnd = nullptr;
        ControlColours colours;
        BoundControl bound;
    };

    friend LRESULT CALLBACK ownedWindowProc<FormWindow>(HWND, UINT, WPARAM, LPARAM);
    LRESULT handleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void build(HWND owner);
    void createControls();
    void applyFonts();
    // The program's icon at the window's DPI: title bar, Alt+Tab, and the picture control's.
    void applyIcons();
    void placeControls();
    void applyClientSize();
    void paintCanvas(HDC dc, POINT origin, const RECT& area) const;
    Child* child(int id);
    void onCommand(WPARAM wParam, LPARAM lParam);
    LRESULT onColour(UINT message, HDC dc, HWND control);
    LRESULT onNotify(const NMHDR& header);
    void onDpiChanged(unsigned dpi);
    void pressButton(HWND button);

    Form& m_model;
    WindowEvents m_events;
    HWND m_hwnd = nullptr;
    unsigned m_dpi = USER_DEFAULT_SCREEN_DPI;
    WindowStyle m_style;
    MenuBar m_menu;
    std::vector<Child> m_children;
    std::map<std::wstring, FontHandle> m_fonts;  // by family, size and weight
    std::map<COLORREF, BrushHandle> m_brushes;
    ProgramIcons m_icons;
    IconHandle m_pictureIcon;
    std::unique_ptr<ScreenReaderNames> m_names;
    HWND m_defaultButton = nullptr;
    HWND m_cancelButton = nullptr;
    HWND m_focus = nullptr;  // the control that had the focus when the window was last left
    bool m_mirroring = false;
    bool m_detached = false;
};

}  // namespace tollvane::win32
