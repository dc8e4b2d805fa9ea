#include "platform/win32/theme.h"

#include <cmath>
#include <cwchar>
#include <map>

#include "platform/win32/text.h"

namespace tollvane::win32 {

SystemColours systemColours() {
    return {toRgb(GetSysColor(COLOR_HIGHLIGHT)), toRgb(GetSysColor(COLOR_MENUTEXT)),
            toRgb(GetSysColor(COLOR_WINDOWFRAME)), toRgb(GetSysColor(COLOR_WINDOWTEXT))};
}

COLORREF toColorRef(Rgb c) {
    return RGB(c.red, c.green, c.blue);
}

Rgb toRgb(COLORREF c) {
    return {GetRValue(c), GetGValue(c), GetBValue(c)};
}

COLORREF layoutColour(const Colour& colour, COLORREF fallback) {
    if (colour.isDefault()) return fallback;
    return toColorRef(resolveColour(colour, systemColours(), toRgb(fallback)));
}

namespace {

int CALLBACK foundFamily(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;  // one is enough
}

bool isInstalled(const std::wstring& family) {
    // Asked once per family: the answer does not change while the program runs.
    static std::map<std::wstring, bool> known;
    if (const auto it = known.find(family); it != known.end()) return it->second;
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(wanted.lfFaceName, family.c_str(), LF_FACESIZE - 1);
    bool found = false;
    HDC screen = GetDC(nullptr);
    EnumFontFamiliesExW(screen, &wanted, foundFamily, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    known[family] = found;
    return found;
}

}  // namespace

std::wstring installedFamily(const FontSpec& font) {
    const std::vector<std::string> families = fontFamilies(font);
    for (const std::string& family : families) {
        std::wstring wide = toWideLossy(family);
        if (isInstalled(wide)) return wide;
    }
    return toWideLossy(families.front());
}

FontHandle makeFont(const FontSpec& font, unsigned dpi) {
    LOGFONTW lf{};
    lf.lfHeight = -static_cast<LONG>(std::lround(font.pointSize * dpi / 72.0));
    lf.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = DEFAULT_QUALITY;  // smoothed as the user set it
    wcsncpy(lf.lfFaceName, installedFamily(font).c_str(), LF_FACESIZE - 1);
    return FontHandle(CreateFontIndirectW(&lf));
}

}  // namespace tollvane::win32
