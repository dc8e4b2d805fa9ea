// Any bytes as the help file: the text never crashes the conversion, is valid UTF-8 without NUL
// (the help window shows it whole), and every heading and anchor lies within it.

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "links/help_text.h"

namespace {

bool validUtf8WithoutNul(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c == 0) return false;
        const std::size_t length = c < 0x80             ? 1
                                   : (c & 0xE0) == 0xC0 ? 2
                                   : (c & 0xF0) == 0xE0 ? 3
                                   : (c & 0xF8) == 0xF0 ? 4
                                                        : 0;
        if (length == 0 || i + length > s.size()) return false;
        for (std::size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        i += length;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view html(reinterpret_cast<const char*>(data), size);
    const tollvane::HelpText help = tollvane::helpTextFromHtml(html);
    if (!validUtf8WithoutNul(help.text) || !validUtf8WithoutNul(help.title)) std::abort();
    for (const auto& h : help.headings)
        if (h.offset + h.length > help.text.size() || h.level < 1 || h.level > 6) std::abort();
    for (const auto& [name, offset] : help.anchors)
        if (offset > help.text.size()) std::abort();
    return 0;
}
