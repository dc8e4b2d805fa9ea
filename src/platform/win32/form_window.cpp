#include "platform/win32/form_window.h"

#include <commctrl.h>

#include <algorithm>

#include "platform/win32/accessibility.h"
#include "platform/win32/program_icon.h"
#include "platform/win32/text.h"
#include "platform/win32/theme.h"

namespace tollvane::win32 {

namespace {

constexpr int kFirstControlId = 100;
constexpr int kFirstMenuCommand = 1000;

std::wstring fontKey(const FontSpec& f) {
    return toWideLossy(f.family) + L"|" + std::to_wstring(f.pointSize) + (f.bold ? L"|b" : L"");
}

}  // namespace

int FormWindow::controlId(const WindowLayout& layout, const std::string& name) {
    for (std::size_t i = 0; i < layout.controls.size(); ++i) {
        if (layout.controls[i].name == name) return kFirstControlId + static_cast<int>(i);
    }
    return 0;
}

std::wstring FormWindow::className(const WindowLayout& layout) {
    return L"Tollvane." + toWideLossy(layout.name);
}

FormWindow::FormWindow(Form& model, WindowEvents events, HWND owner)
    : m_model(model),
      m_events(std::move(events)),
      m_style(windowStyle(model.layout())),
      m_menu(model.layout().menus, kFirstMenuCommand) {
    build(owner);
}

FormWindow::~FormWindow() {
    m_names.reset();  // the names go while their controls still exist
    destroyOwnedWindow(m_hwnd);
}

void FormWindow::build(HWND owner) {
    const WindowLayout& l = m_model.layout();
    HMENU menu = m_menu.release();
    // Sized and placed for the system's DPI first, then again for the DPI of the screen the
    // window landed on.
    m_dpi = windowDpi(nullptr);
    const auto origin = clientOrigin(l, m_dpi);
    const PixelRect outer = windowRect(m_style, menu != nullptr, clientSize(m_model, m_dpi), m_dpi,
                                       origin.value_or(PixelPoint{}));
    m_hwnd = createOwnedWindow(
        this, className(l).c_str(), m_style.exStyle, toWideLossy(m_model.Caption).c_str(),
        m_style.style, origin ? outer.left : CW_USEDEFAULT, origin ? outer.top : CW_USEDEFAULT,
        outer.width, outer.height, l.taskbarButton ? nullptr : owner, menu);
    if (!m_hwnd) {
        if (menu) DestroyMenu(menu);
        return;
    }
    m_dpi = windowDpi(m_hwnd);
    applyIcons();
    createControls();
    applyFonts();
    applyClientSize();
}

void FormWindow::createControls() {
    const WindowLayout& l = m_model.layout();
    m_names = std::make_unique<ScreenReaderNames>();
    // Made in the tab order, which is the order in which Tab visits them.
    for (const ControlLayout* c : l.tabOrder()) {
        HWND hwnd = createControl(m_hwnd, *c, controlId(l, c->name), m_dpi);
        if (!hwnd) continue;
        Child child{c, hwnd, controlColours(*c), {}};
        for (const Binding& b : m_model.bindings()) {
            if (b.name == c->name) child.bound = bindControl(hwnd, *c, b, m_events, m_mirroring);
        }
        // A display box's name is the text it shows; other controls take their layout's name.
        if (!c->accessibleName.empty() && c->kind != ControlKind::DisplayBox)
            m_names->name(hwnd, toWideLossy(c->accessibleName));
        if (c->defaultButton) m_defaultButton = hwnd;
        if (c->cancelButton) m_cancelButton = hwnd;
        m_children.push_back(std::move(child));
    }
    // Labels and the picture are drawn onto the window, beneath every other control; display
    // boxes that lie over one another are drawn in the layout's order, the later above. None of
    // them takes the focus, so moving them leaves the tab order alone.
    for (const ControlLayout& c : l.controls) {
        const bool onTheWindow = c.kind == ControlKind::Label || c.kind == ControlKind::Picture;
        if (!onTheWindow && c.kind != ControlKind::DisplayBox) continue;
        if (HWND hwnd = control(c.name))
            SetWindowPos(hwnd, onTheWindow ? HWND_BOTTOM : HWND_TOP, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

// The old fonts go only once every control holds its new one.
void FormWindow::applyFonts() {
    std::map<std::wstring, FontHandle> fonts;
    const WindowLayout& l = m_model.layout();
    for (const Child& c : m_children) {
        const FontSpec& spec = c.layout->font.family.empty() ? l.defaultFont : c.layout->font;
        auto& font = fonts[fontKey(spec)];
        if (!font) font = makeFont(spec, m_dpi);
        SendMessageW(c.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    }
    m_fonts.swap(fonts);
}

void FormWindow::applyIcons() {
    m_icons.apply(m_hwnd, m_dpi);
    for (const ControlLayout& c : m_model.layout().controls) {
        if (c.kind != ControlKind::Picture) continue;
        const PixelRect r = controlRect(c, m_dpi);
        m_pictureIcon.reset(programIcon(std::max(r.width, r.height)));
        if (HWND picture = control(c.name)) InvalidateRect(picture, nullptr, FALSE);
    }
}

void FormWindow::placeControls() {
    for (const Child& c : m_children) {
        const PixelRect r = controlRect(*c.layout, m_dpi);
        SetWindowPos(c.hwnd, nullptr, r.left, r.top, r.width, r.height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

// The model's width is the outer width; a sizable window's size is the user's once it is shown.
void FormWindow::applyClientSize() {
    // Placed by the layout while hidden; once shown, where the user put it.
    setClientArea(m_hwnd, m_style, clientSize(m_model, m_dpi), m_dpi,
                  IsWindowVisible(m_hwnd) ? std::nullopt : clientOrigin(m_model.layout(), m_dpi));
}

HWND FormWindow::control(const std::string& name) const {
    for (const Child& c : m_children) {
        if (c.layout->name == name) return c.hwnd;
    }
    return nullptr;
}

FormWindow::Child* FormWindow::child(int id) {
    const int index = id - kFirstControlId;
    const auto& controls = m_model.layout().controls;
    if (index < 0 || index >= static_cast<int>(controls.size())) return nullptr;
    for (Child& c : m_children) {
        if (c.layout == &controls[static_cast<std::size_t>(index)]) return &c;
    }
    return nullptr;
}

void FormWindow::mirror(const ViewChanges& changes) {
    if (!m_hwnd) return;
    if (changes.caption) SetWindowTextW(m_hwnd, toWideLossy(*changes.caption).c_str());
    if (changes.width) applyClientSize();
    if (changes.controls) {
        m_mirroring = true;
        for (Child& c : m_children) {
            if (c.bound.mirror) c.bound.mirror();
        }
        m_mirroring = false;
    }
    if (changes.visible) {
        // The focus starts on the first control that takes it, in the tab order.
        if (*changes.visible && !m_focus) m_focus = GetNextDlgTabItem(m_hwnd, nullptr, FALSE);
        ShowWindow(m_hwnd, *changes.visible ? SW_SHOW : SW_HIDE);
    }
    if (changes.raise) bringToFront({});
}

void FormWindow::askForAttention() {
    FLASHWINFO flash{sizeof flash, m_hwnd, FLASHW_ALL | FLASHW_TIMERNOFG, 0, 0};
    FlashWindowEx(&flash);
}

void FormWindow::bringToFront(const std::string& /*activationToken*/) {
    if (IsIconic(m_hwnd)) ShowWindow(m_hwnd, SW_RESTORE);
    SetForegroundWindow(m_hwnd);
}

void FormWindow::paintCanvas(HDC dc, POINT origin, const RECT& area) const {
    const WindowLayout& l = m_model.layout();
    const int saved = SaveDC(dc);
    // Client-area coordinates from here on.
    SetViewportOrgEx(dc, -origin.x, -origin.y, nullptr);
    RECT clip = area;
    OffsetRect(&clip, origin.x, origin.y);
    IntersectClipRect(dc, clip.left, clip.top, clip.right, clip.bottom);

    const BrushHandle background(
        CreateSolidBrush(layoutColour(l.background, GetSysColor(COLOR_3DFACE))));
    FillRect(dc, &clip, background.get());
    for (const ControlLayout& c : l.controls) {
        if (c.kind != ControlKind::Shape) continue;
        const PixelRect r = controlRect(c, m_dpi);
        const BrushHandle fill(CreateSolidBrush(layoutColour(c.background, RGB(255, 255, 255))));
        HGDIOBJ oldBrush = SelectObject(dc, fill.get());
        HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
        Rectangle(dc, r.left, r.top, r.left + r.width, r.top + r.height);
        SelectObject(dc, oldPen);
        SelectObject(dc, oldBrush);
    }
    for (const LineLayout& line : l.lines) {
        LOGBRUSH brush{BS_SOLID, layoutColour(line.colour, RGB(0, 0, 0)), 0};
        const auto width = static_cast<DWORD>(MulDiv(line.widthPx, static_cast<int>(m_dpi), 96));
        const PenHandle pen(
            ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_FLAT, width, &brush, 0, nullptr));
        HGDIOBJ oldPen = SelectObject(dc, pen.get());
        const PixelLine ends = lineEnds(line, m_dpi);
        MoveToEx(dc, ends.from.x, ends.from.y, nullptr);
        LineTo(dc, ends.to.x, ends.to.y);
        SelectObject(dc, oldPen);
    }
    // Labels wrap their words within their box.
    SetBkMode(dc, TRANSPARENT);
    for (const Child& c : m_children) {
        if (c.layout->kind != ControlKind::Label) continue;
        const PixelRect p = controlRect(*c.layout, m_dpi);
        RECT box{p.left, p.top, p.left + p.width, p.top + p.height};
        RECT overlap;
        if (!IntersectRect(&overlap, &box, &clip)) continue;
        HGDIOBJ oldFont =
            SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(c.hwnd, WM_GETFONT, 0, 0)));
        SetTextColor(dc, c.colours.text);
        const std::wstring text = windowText(c.hwnd);
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box, kLabelTextFormat);
        SelectObject(dc, oldFont);
    }
    RestoreDC(dc, saved);
}

LRESULT FormWindow::handleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    // Dropped, the window waits hidden for the desktop to destroy it, and reads nothing of its
    // model, which is gone.
    if (m_detached) return message == WM_CLOSE ? 0 : DefWindowProcW(hwnd, message, wParam, lParam);
    switch (message) {
        case WM_ERASEBKGND:
            return 1;  // WM_PAINT paints the whole background
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(m_hwnd, &ps);
            paintCanvas(dc, POINT{0, 0}, ps.rcPaint);
            EndPaint(m_hwnd, &ps);
            return 0;
        }
        case WM_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (Child* c = child(static_cast<int>(item.CtlID))) {
                drawControl(
                    item, *c->layout, c->colours, m_pictureIcon.get(), m_dpi,
                    [this](HDC dc, POINT origin, RECT area) { paintCanvas(dc, origin, area); });
                return TRUE;
            }
            break;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            return onColour(message, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        case WM_COMMAND:
            onCommand(wParam, lParam);
            return 0;
        case WM_NOTIFY:
            return onNotify(*reinterpret_cast<const NMHDR*>(lParam));
        case DM_GETDEFID:
            if (m_defaultButton) return MAKELRESULT(GetDlgCtrlID(m_defaultButton), DC_HASDEFID);
            return 0;
        case WM_CLOSE:
            // The model decides what the close box does; the window follows the model afterwards.
            m_events([this] { m_model.Form_Unload(); });
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                m_focus = GetFocus();
            } else {
                if (m_focus && IsChild(m_hwnd, m_focus)) SetFocus(m_focus);
                m_events([this] { m_model.Form_Activate(); });
            }
            return 0;
        case WM_DPICHANGED:
            onDpiChanged(takeSuggestedPlace(hwnd, wParam, lParam));
            return 0;
        case WM_SYSCOLORCHANGE:
        case WM_THEMECHANGED:
            for (Child& c : m_children) {
                c.colours = controlColours(*c.layout);
                // Only top-level windows are told of a new colour scheme; the common controls
                // (the calendar) learn of it from their parent.
                if (message == WM_SYSCOLORCHANGE) SendMessageW(c.hwnd, message, wParam, lParam);
            }
            m_brushes.clear();
            InvalidateRect(m_hwnd, nullptr, TRUE);
            break;
        default:
            break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

void FormWindow::onCommand(WPARAM wParam, LPARAM lParam) {
    const int id = LOWORD(wParam);
    const UINT code = HIWORD(wParam);
    // Esc, and Enter where the window has no default button, come as the dialog commands.
    if (id == IDCANCEL && lParam == 0) {
        if (m_cancelButton) pressButton(m_cancelButton);
        return;
    }
    if (id == IDOK && lParam == 0) return;
    if (lParam == 0 && code == 0) {
        // A menu item.
        const std::string name = m_menu.itemName(id);
        if (!name.empty()) m_events([this, name] { m_model.Click(name); });
        return;
    }
    if (Child* c = child(id); c && c->bound.onCommand) c->bound.onCommand(code);
}

void FormWindow::pressButton(HWND button) {
    if (IsWindowEnabled(button)) SendMessageW(button, BM_CLICK, 0, 0);
}

LRESULT FormWindow::onNotify(const NMHDR& header) {
    Child* c = child(static_cast<int>(header.idFrom));
    if (!c) return 0;
    if (header.code == NM_CUSTOMDRAW && c->layout->kind == ControlKind::OptionButton)
        return customDrawOption(*reinterpret_cast<const NMCUSTOMDRAW*>(&header), c->colours);
    if (c->bound.onNotify) c->bound.onNotify(header);
    return 0;
}

LRESULT FormWindow::onColour(UINT message, HDC dc, HWND control) {
    for (const Child& c : m_children) {
        if (c.hwnd != control || !c.colours.ownBackground) continue;
        SetTextColor(dc, c.colours.text);
        SetBkColor(dc, c.colours.background);
        auto& brush = m_brushes[c.colours.background];
        if (!brush) brush.reset(CreateSolidBrush(c.colours.background));
        return reinterpret_cast<LRESULT>(brush.get());
    }
    return DefWindowProcW(m_hwnd, message, reinterpret_cast<WPARAM>(dc),
                          reinterpret_cast<LPARAM>(control));
}

// Moved to a screen of another DPI, in the place and size the system suggests: fonts, icons and
// controls follow, and a fixed window is fitted to its design size at the new DPI.
void FormWindow::onDpiChanged(unsigned dpi) {
    m_dpi = dpi;
    applyFonts();
    applyIcons();
    placeControls();
    if (m_model.layout().border != Border::Sizable) applyClientSize();
    InvalidateRect(m_hwnd, nullptr, TRUE);
}

}  // namespace tollvane::win32
