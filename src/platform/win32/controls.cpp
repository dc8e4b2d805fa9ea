#include "platform/win32/controls.h"

#include <commctrl.h>
#include <uxtheme.h>
#include <vsstyle.h>

#include <string>

#include "platform/win32/handles.h"
#include "platform/win32/text.h"
#include "platform/win32/theme.h"
#include "windows/geometry.h"
#include "windows/theme.h"

namespace tollvane::win32 {

namespace {

struct ChildClass {
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
};

ChildClass childClass(const ControlLayout& c) {
    switch (c.kind) {
        case ControlKind::Button: {
            DWORD style = WS_TABSTOP;
            if (!c.background.isDefault())
                style |= BS_OWNERDRAW;
            else
                style |= c.defaultButton ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
            return {WC_BUTTONW, style, 0};
        }
        case ControlKind::TextBox:
            return {WC_EDITW, WS_TABSTOP | ES_AUTOHSCROLL | ES_LEFT, WS_EX_CLIENTEDGE};
        case ControlKind::DisplayBox:
            // Drawn by the program; its window text is the text shown, which is also the name a
            // screen reader reads.
            return {WC_STATICW, SS_OWNERDRAW | SS_NOPREFIX | WS_DISABLED, 0};
        case ControlKind::Label:
        case ControlKind::Picture:
            return {WC_STATICW, SS_OWNERDRAW | SS_NOPREFIX, 0};
        case ControlKind::OptionButton:
            return {WC_BUTTONW, WS_TABSTOP | WS_GROUP | BS_AUTORADIOBUTTON, 0};
        case ControlKind::Calendar:
            // Without its "Today" line, so that it fits its place.
            return {MONTHCAL_CLASSW, WS_TABSTOP | MCS_NOTODAY, 0};
        case ControlKind::Shape:
        case ControlKind::Hidden:
        case ControlKind::Browser:
            break;
    }
    return {nullptr, 0, 0};
}

}  // namespace

HWND createControl(HWND parent, const ControlLayout& c, int id, unsigned dpi) {
    const ChildClass cls = childClass(c);
    if (!cls.className) return nullptr;
    const PixelRect r = controlRect(c, dpi);
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | cls.style;
    if (c.visible) style |= WS_VISIBLE;
    HWND hwnd = CreateWindowExW(cls.exStyle, cls.className, toWideLossy(c.caption).c_str(), style,
                                r.left, r.top, r.width, r.height, parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                GetModuleHandleW(nullptr), nullptr);
    if (!hwnd) return nullptr;
    if (c.kind == ControlKind::TextBox) SendMessageW(hwnd, EM_SETLIMITTEXT, 0, 0);
    return hwnd;
}

ControlColours controlColours(const ControlLayout& c) {
    ControlColours colours;
    colours.text = layoutColour(c.foreground, GetSysColor(COLOR_WINDOWTEXT));
    colours.background = layoutColour(c.background, GetSysColor(COLOR_WINDOW));
    colours.ownBackground = !c.background.isDefault();
    if (c.kind == ControlKind::DisplayBox) {
        colours.text = toColorRef(readableText(toRgb(colours.text), toRgb(colours.background)));
    }
    return colours;
}

namespace {

HGDIOBJ controlFont(HWND control) {
    return reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0));
}

// The control's own font in the item's device context, while drawing; left as it is when the
// control has put it there already (under Wine each selection of a font reads the X resources).
class FontSelected {
public:
    explicit FontSelected(const DRAWITEMSTRUCT& item) : m_dc(item.hDC) {
        const HGDIOBJ font = controlFont(item.hwndItem);
        if (font && GetCurrentObject(m_dc, OBJ_FONT) != font) m_old = SelectObject(m_dc, font);
    }
    ~FontSelected() {
        if (m_old) SelectObject(m_dc, m_old);
    }
    FontSelected(const FontSelected&) = delete;
    FontSelected& operator=(const FontSelected&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_old = nullptr;
};

// A display box: a sunken panel in the box's background, the text left-aligned after a small
// margin and centred from top to bottom, as in the program's text boxes. Drawn straight into the
// box: the window's surface is shown only once the painting is done, so nothing flickers.
void drawDisplayBox(const DRAWITEMSTRUCT& item, const ControlColours& colours) {
    RECT box = item.rcItem;
    const BrushHandle background(CreateSolidBrush(colours.background));
    FillRect(item.hDC, &box, background.get());
    DrawEdge(item.hDC, &box, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    const FontSelected font(item);
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, colours.text);
    box.left += 1;
    const std::wstring text = windowText(item.hwndItem);
    DrawTextW(item.hDC, text.c_str(), static_cast<int>(text.size()), &box,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

// What lies beneath the control on the window, in the control's own coordinates.
void paintBeneath(const DRAWITEMSTRUCT& item, const CanvasPainter& canvas) {
    RECT onWindow = item.rcItem;
    MapWindowPoints(item.hwndItem, GetParent(item.hwndItem), reinterpret_cast<POINT*>(&onWindow),
                    2);
    canvas(item.hDC, POINT{onWindow.left - item.rcItem.left, onWindow.top - item.rcItem.top},
           item.rcItem);
}

void drawPicture(const DRAWITEMSTRUCT& item, HICON picture, const CanvasPainter& canvas) {
    paintBeneath(item, canvas);
    const RECT& r = item.rcItem;
    if (picture) {
        DrawIconEx(item.hDC, r.left, r.top, picture, r.right - r.left, r.bottom - r.top, 0, nullptr,
                   DI_NORMAL);
    }
}

// A button drawn in the graphical style: its background colour, the button picture cut to the
// button's size, the caption over it, and the button's edge, pressed or raised.
void drawPictureButton(const DRAWITEMSTRUCT& item, const ControlColours& colours, unsigned dpi) {
    RECT r = item.rcItem;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    const BrushHandle background(CreateSolidBrush(colours.background));
    FillRect(item.hDC, &r, background.get());
    const auto scaled = [dpi](int pixels) { return MulDiv(pixels, static_cast<int>(dpi), 96); };
    const ButtonPicture& picture = kButtonPicture;
    const auto vertex = [](LONG x, LONG y, Rgb c) {
        return TRIVERTEX{x,
                         y,
                         static_cast<COLOR16>(c.red << 8),
                         static_cast<COLOR16>(c.green << 8),
                         static_cast<COLOR16>(c.blue << 8),
                         0};
    };
    TRIVERTEX corners[2] = {
        vertex(r.left, r.top, picture.start),
        vertex(r.left + scaled(picture.width), r.top + scaled(picture.height), picture.end),
    };
    GRADIENT_RECT span{0, 1};
    const int saved = SaveDC(item.hDC);
    IntersectClipRect(item.hDC, r.left, r.top, r.right, r.bottom);
    GradientFill(item.hDC, corners, 2, &span, 1, GRADIENT_FILL_RECT_V);
    RestoreDC(item.hDC, saved);
    DrawEdge(item.hDC, &r, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    const FontSelected font(item);
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC,
                 (item.itemState & ODS_DISABLED) ? GetSysColor(COLOR_GRAYTEXT) : RGB(0, 0, 0));
    RECT text = r;
    if (pressed) OffsetRect(&text, 1, 1);
    const std::wstring caption = windowText(item.hwndItem);
    DrawTextW(item.hDC, caption.c_str(), static_cast<int>(caption.size()), &text,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if (item.itemState & ODS_FOCUS) {
        RECT focus = r;
        InflateRect(&focus, -scaled(4), -scaled(4));
        DrawFocusRect(item.hDC, &focus);
    }
}

}  // namespace

void drawControl(const DRAWITEMSTRUCT& item, const ControlLayout& c, const ControlColours& colours,
                 HICON picture, unsigned dpi, const CanvasPainter& canvas) {
    switch (c.kind) {
        case ControlKind::DisplayBox:
            drawDisplayBox(item, colours);
            break;
        case ControlKind::Label:
            // The window draws every label's text with its background: labels that overlap show
            // through one another, as texts drawn straight onto the window do.
            paintBeneath(item, canvas);
            break;
        case ControlKind::Picture:
            drawPicture(item, picture, canvas);
            break;
        case ControlKind::Button:
            drawPictureButton(item, colours, dpi);
            break;
        default:
            break;
    }
}

LRESULT customDrawOption(const NMCUSTOMDRAW& draw, const ControlColours& colours) {
    HWND button = draw.hdr.hwndFrom;
    HTHEME theme = GetWindowTheme(button);
    if (!theme || draw.dwDrawStage != CDDS_PREPAINT) return CDRF_DODEFAULT;
    HDC dc = draw.hdc;
    RECT r = draw.rc;
    if (colours.ownBackground) {
        const BrushHandle background(CreateSolidBrush(colours.background));
        FillRect(dc, &r, background.get());
    } else {
        DrawThemeParentBackground(button, dc, &r);
    }
    const bool disabled = (draw.uItemState & CDIS_DISABLED) != 0;
    int state = disabled                                 ? RBS_UNCHECKEDDISABLED
                : (draw.uItemState & CDIS_SELECTED) != 0 ? RBS_UNCHECKEDPRESSED
                : (draw.uItemState & CDIS_HOT) != 0      ? RBS_UNCHECKEDHOT
                                                         : RBS_UNCHECKEDNORMAL;
    // The checked states follow the unchecked ones in the same order.
    if (SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED)
        state += RBS_CHECKEDNORMAL - RBS_UNCHECKEDNORMAL;
    SIZE glyph{};
    GetThemePartSize(theme, dc, BP_RADIOBUTTON, state, nullptr, TS_DRAW, &glyph);
    RECT box{r.left, r.top + (r.bottom - r.top - glyph.cy) / 2, r.left + glyph.cx, 0};
    box.bottom = box.top + glyph.cy;
    DrawThemeBackground(theme, dc, BP_RADIOBUTTON, state, &box, nullptr);

    const HGDIOBJ font = controlFont(button);
    const HGDIOBJ oldFont = font ? SelectObject(dc, font) : nullptr;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, disabled ? GetSysColor(COLOR_GRAYTEXT) : colours.text);
    RECT text{box.right + glyph.cx / 3, r.top, r.right, r.bottom};
    const std::wstring caption = windowText(button);
    const auto uiState = static_cast<UINT>(SendMessageW(button, WM_QUERYUISTATE, 0, 0));
    const UINT format = DT_LEFT | DT_VCENTER | DT_SINGLELINE |
                        ((uiState & UISF_HIDEACCEL) != 0 ? DT_HIDEPREFIX : 0U);
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text, format);
    if ((draw.uItemState & CDIS_FOCUS) != 0 && (uiState & UISF_HIDEFOCUS) == 0) {
        RECT focus = text;
        DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &focus,
                  format | DT_CALCRECT);
        const LONG height = focus.bottom - focus.top;
        focus.top = text.top + (text.bottom - text.top - height) / 2;
        focus.bottom = focus.top + height;
        InflateRect(&focus, 1, 1);
        DrawFocusRect(dc, &focus);
    }
    if (oldFont) SelectObject(dc, oldFont);
    return CDRF_SKIPDEFAULT;
}

}  // namespace tollvane::win32
