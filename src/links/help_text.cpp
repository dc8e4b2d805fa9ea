#include "links/help_text.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <utility>

namespace tollvane {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD
constexpr std::string_view kBullet = "\xE2\x80\xA2 ";      // U+2022 and a space

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool isControl(char32_t c) {
    return (c < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\f') || c == 0x7F;
}

// A code point the text can show; anything else (NUL, other control characters, surrogates, past
// U+10FFFF) becomes U+FFFD. A NUL in particular would end the text early in the window.
void appendShown(std::string& out, char32_t c) {
    if (isControl(c) || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF)
        out += kReplacement;
    else
        appendUtf8(out, c);
}

// The file's bytes as UTF-8 that the window can take: malformed sequences (stray continuation
// bytes, truncated or overlong forms, surrogates) and control characters become U+FFFD.
std::string cleanUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    std::size_t i = 0;
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") i = 3;  // a byte-order mark
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        int length = 0;
        char32_t c = 0;
        char32_t smallest = 0;
        if (lead < 0x80) {
            length = 1, c = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            length = 2, c = lead & 0x1Fu, smallest = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3, c = lead & 0x0Fu, smallest = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4, c = lead & 0x07u, smallest = 0x10000;
        } else {
            out += kReplacement;
            ++i;
            continue;
        }
        int taken = 1;
        while (taken < length && i + taken < bytes.size() &&
               (static_cast<unsigned char>(bytes[i + taken]) & 0xC0) == 0x80) {
            c = (c << 6) | (static_cast<unsigned char>(bytes[i + taken]) & 0x3Fu);
            ++taken;
        }
        if (taken < length || c < smallest)
            out += kReplacement;
        else
            appendShown(out, c);
        i += static_cast<std::size_t>(taken);
    }
    return out;
}

std::optional<char32_t> namedEntity(std::string_view name) {
    static const std::pair<std::string_view, char32_t> kNames[] = {
        {"amp", '&'},      {"lt", '<'},        {"gt", '>'},       {"quot", '"'},
        {"apos", '\''},    {"nbsp", 0xA0},     {"copy", 0xA9},    {"reg", 0xAE},
        {"trade", 0x2122}, {"hellip", 0x2026}, {"mdash", 0x2014}, {"ndash", 0x2013},
        {"lsquo", 0x2018}, {"rsquo", 0x2019},  {"ldquo", 0x201C}, {"rdquo", 0x201D},
        {"laquo", 0xAB},   {"raquo", 0xBB},    {"bull", 0x2022},  {"middot", 0xB7},
        {"deg", 0xB0},     {"times", 0xD7},    {"rarr", 0x2192},  {"larr", 0x2190},
        {"euro", 0x20AC},  {"pound", 0xA3},    {"eacute", 0xE9},  {"egrave", 0xE8},
        {"auml", 0xE4},    {"ouml", 0xF6},     {"uuml", 0xFC},    {"szlig", 0xDF},
    };
    for (const auto& [known, c] : kNames)
        if (known == name) return c;
    return std::nullopt;
}

std::optional<char32_t> numericEntity(std::string_view digits) {
    const bool hex = !digits.empty() && (digits[0] == 'x' || digits[0] == 'X');
    if (hex) digits.remove_prefix(1);
    if (digits.empty()) return std::nullopt;
    std::uint32_t value = 0;
    for (const char d : digits) {
        int digit;
        if (d >= '0' && d <= '9')
            digit = d - '0';
        else if (hex && d >= 'a' && d <= 'f')
            digit = d - 'a' + 10;
        else if (hex && d >= 'A' && d <= 'F')
            digit = d - 'A' + 10;
        else
            return std::nullopt;
        // Past the last code point the value only has to stay out of range.
        value = std::min<std::uint32_t>(value * (hex ? 16u : 10u) + static_cast<unsigned>(digit),
                                        0x110000u);
    }
    return value == 0 ? 0xFFFD : value;
}

// Character references decoded; an '&' that starts none stays as it is.
std::string decodeEntities(std::string_view in) {
    std::string out;
    out.reserve(in.size());
    for (std::size_t i = 0; i < in.size(); ++i) {
        if (in[i] != '&') {
            out += in[i];
            continue;
        }
        constexpr std::size_t kLongestName = 32;
        const std::size_t end = in.substr(0, i + 2 + kLongestName).find(';', i + 1);
        if (end != std::string_view::npos) {
            const std::string_view name = in.substr(i + 1, end - i - 1);
            const std::optional<char32_t> c =
                !name.empty() && name[0] == '#' ? numericEntity(name.substr(1)) : namedEntity(name);
            if (c) {
                appendShown(out, *c);
                i = end;
                continue;
            }
        }
        out += '&';
    }
    return out;
}

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string collapsed(std::string_view text) {
    std::string out;
    bool space = false;
    for (const char c : text) {
        if (isSpace(c)) {
            space = !out.empty();
        } else {
            if (space) out += ' ';
            out += c;
            space = false;
        }
    }
    return out;
}

struct Tag {
    std::string name;  // lower case
    bool closing = false;
    std::map<std::string, std::string> attributes;  // names in lower case, values decoded
};

bool isOneOf(const std::string& name, std::initializer_list<std::string_view> names) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

// Reads the HTML from start to end once, writing the text as it goes.
class Converter {
public:
    explicit Converter(std::string html) : m_html(std::move(html)) {}

    HelpText run() {
        while (m_pos < m_html.size()) {
            const std::size_t lt = m_html.find('<', m_pos);
            const std::size_t textEnd = lt == std::string::npos ? m_html.size() : lt;
            if (textEnd > m_pos)
                text(decodeEntities(std::string_view(m_html).substr(m_pos, textEnd - m_pos)));
            m_pos = textEnd;
            if (m_pos < m_html.size()) markup();
        }
        finish();
        return std::move(m_out);
    }

private:
    // At a '<': a comment, a declaration, a tag, or (followed by anything else) plain text.
    void markup() {
        const std::string_view rest = std::string_view(m_html).substr(m_pos);
        if (rest.substr(0, 4) == "<!--") {
            skipPast("-->", m_pos + 4);
        } else if (rest.size() > 1 && (rest[1] == '!' || rest[1] == '?')) {
            skipPast(">", m_pos + 2);
        } else if (rest.size() > 1 && (isLetter(rest[1]) ||
                                       (rest[1] == '/' && rest.size() > 2 && isLetter(rest[2])))) {
            if (std::optional<Tag> tag = readTag()) handle(*tag);
        } else {
            text("<");
            ++m_pos;
        }
    }

    void skipPast(std::string_view end, std::size_t from) {
        const std::size_t at = m_html.find(end, from);
        m_pos = at == std::string::npos ? m_html.size() : at + end.size();
    }

    // The tag at m_pos, leaving m_pos after its '>'. A tag that never ends ends the document.
    std::optional<Tag> readTag() {
        Tag tag;
        std::size_t i = m_pos + 1;
        if (m_html[i] == '/') {
            tag.closing = true;
            ++i;
        }
        while (i < m_html.size() && !isSpace(m_html[i]) && m_html[i] != '>' && m_html[i] != '/')
            tag.name += lower(m_html[i++]);
        while (true) {
            while (i < m_html.size() && (isSpace(m_html[i]) || m_html[i] == '/')) ++i;
            if (i >= m_html.size()) break;
            if (m_html[i] == '>') {
                m_pos = i + 1;
                return tag;
            }
            std::string name;
            while (i < m_html.size() && !isSpace(m_html[i]) && m_html[i] != '=' &&
                   m_html[i] != '>' && m_html[i] != '/')
                name += lower(m_html[i++]);
            while (i < m_html.size() && isSpace(m_html[i])) ++i;
            std::string value;
            if (i < m_html.size() && m_html[i] == '=') {
                ++i;
                while (i < m_html.size() && isSpace(m_html[i])) ++i;
                if (i < m_html.size() && (m_html[i] == '"' || m_html[i] == '\'')) {
                    const std::size_t close = m_html.find(m_html[i], i + 1);
                    if (close == std::string::npos) break;
                    value = m_html.substr(i + 1, close - i - 1);
                    i = close + 1;
                } else {
                    while (i < m_html.size() && !isSpace(m_html[i]) && m_html[i] != '>')
                        value += m_html[i++];
                }
            }
            if (!name.empty()) tag.attributes.emplace(name, decodeEntities(value));
        }
        m_pos = m_html.size();
        return std::nullopt;
    }

    // The text up to the closing tag of a raw-text element (<title>, <script>, <style>), which
    // holds no tags of its own; m_pos goes past that closing tag.
    std::string rawContent(const std::string& name) {
        const std::string end = "</" + name;
        std::size_t at = m_pos;
        while (true) {
            at = m_html.find("</", at);
            if (at == std::string::npos) break;
            bool same = true;
            for (std::size_t k = 0; k < end.size() && same; ++k)
                same = at + k < m_html.size() && lower(m_html[at + k]) == end[k];
            if (same) break;
            at += 2;
        }
        const std::size_t contentEnd = at == std::string::npos ? m_html.size() : at;
        std::string content = m_html.substr(m_pos, contentEnd - m_pos);
        m_pos = contentEnd;
        if (at != std::string::npos) skipPast(">", at);
        return content;
    }

    void handle(const Tag& tag) {
        const std::string& name = tag.name;
        if (!tag.closing) {
            if (auto id = tag.attributes.find("id"); id != tag.attributes.end()) anchor(id->second);
            if (auto target = tag.attributes.find("name");
                target != tag.attributes.end() && name == "a")
                anchor(target->second);
        }
        if (name == "title" || name == "script" || name == "style") {
            if (tag.closing) return;
            const std::string content = rawContent(name);
            if (name == "title" && m_out.title.empty())
                m_out.title = collapsed(decodeEntities(content));
        } else if (name.size() == 2 && name[0] == 'h' && name[1] >= '1' && name[1] <= '6') {
            heading(tag.closing, name[1] - '0');
        } else if (name == "ul" || name == "ol") {
            if (tag.closing) {
                if (!m_lists.empty()) m_lists.pop_back();
            } else {
                m_lists.push_back({name == "ol", 1});
            }
            breakLines(m_lists.empty() ? 2 : 1);
        } else if (name == "li") {
            breakLines(1);
            if (!tag.closing) listItem();
        } else if (name == "br") {
            lineBreak();
        } else if (name == "pre") {
            breakLines(2);
            m_pre = !tag.closing;
            m_skipNewline = m_pre;  // a line break right after <pre> is not part of the text
        } else if (isOneOf(name, {"p", "blockquote", "table", "dl", "hr"})) {
            breakLines(2);
        } else if (isOneOf(name, {"div", "tr", "dt", "dd", "section", "article", "header", "footer",
                                  "nav", "main", "aside", "address", "figure", "caption", "form",
                                  "body", "html"})) {
            breakLines(1);
        } else if ((name == "td" || name == "th") && !tag.closing) {
            m_space = true;
        }
    }

    void heading(bool closing, int level) {
        breakLines(2);
        if (!closing) {
            m_headingLevel = level;
            m_headingStart = std::string::npos;
            return;
        }
        if (m_headingLevel != 0 && m_headingStart != std::string::npos)
            m_out.headings.push_back(
                {m_headingStart, m_out.text.size() - m_headingStart, m_headingLevel});
        m_headingLevel = 0;
    }

    void listItem() {
        if (m_lists.empty() || !m_lists.back().ordered) {
            m_prefix = kBullet;
        } else {
            m_prefix = std::to_string(m_lists.back().next++) + ". ";
        }
    }

    void anchor(const std::string& name) {
        if (name.empty() || m_out.anchors.count(name) != 0) return;
        if (m_break > 0 || atLineStart()) {
            m_pendingAnchors.push_back(name);  // placed with the next line's text
        } else {
            const std::size_t newline = m_out.text.rfind('\n');
            m_out.anchors[name] = newline == std::string::npos ? 0 : newline + 1;
        }
    }

    // Asks for at least `lines` line ends before the next text (2: a blank line).
    void breakLines(int lines) {
        m_break = std::max(m_break, lines);
        m_space = false;
    }

    void lineBreak() {
        if (m_out.text.empty()) return;
        openLine();
        m_out.text += '\n';
        m_space = false;
    }

    bool atLineStart() const { return m_out.text.empty() || m_out.text.back() == '\n'; }

    // Writes the line ends asked for, counting those already written.
    void openLine() {
        if (m_break > 0 && !m_out.text.empty()) {
            std::size_t written = 0;
            while (written < m_out.text.size() &&
                   m_out.text[m_out.text.size() - 1 - written] == '\n')
                ++written;
            for (std::size_t n = written; n < static_cast<std::size_t>(m_break); ++n)
                m_out.text += '\n';
        }
        m_break = 0;
    }

    // Before a visible character: the line ends asked for, then on a new line its anchors, its
    // indent within lists and a list item's bullet or number.
    void startContent() {
        openLine();
        if (atLineStart()) {
            for (const std::string& name : m_pendingAnchors)
                m_out.anchors[name] = m_out.text.size();
            m_pendingAnchors.clear();
            m_out.text.append(2 * m_lists.size(), ' ');
            m_out.text += m_prefix;
            m_prefix.clear();
            m_space = false;
        }
        if (m_space) m_out.text += ' ';
        m_space = false;
        if (m_headingLevel != 0 && m_headingStart == std::string::npos)
            m_headingStart = m_out.text.size();
    }

    void text(const std::string& decoded) {
        for (const char c : decoded) {
            if (m_pre) {
                preformatted(c);
            } else if (isSpace(c)) {
                m_space = true;
            } else {
                startContent();
                m_out.text += c;
            }
        }
    }

    void preformatted(char c) {
        if (c == '\r') return;
        if (c == '\n') {
            if (!std::exchange(m_skipNewline, false)) lineBreak();
            return;
        }
        m_skipNewline = false;
        startContent();
        m_out.text += c == '\f' ? ' ' : c;
    }

    void finish() {
        std::string& text = m_out.text;
        while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
        for (const std::string& name : m_pendingAnchors) m_out.anchors[name] = text.size();
        for (auto& [name, offset] : m_out.anchors) offset = std::min(offset, text.size());
        for (HelpText::Heading& h : m_out.headings) {
            h.offset = std::min(h.offset, text.size());
            h.length = std::min(h.length, text.size() - h.offset);
        }
    }

    struct List {
        bool ordered = false;
        int next = 1;
    };

    std::string m_html;
    std::size_t m_pos = 0;
    HelpText m_out;
    int m_break = 0;       // line ends owed before the next text
    bool m_space = false;  // a blank owed before the next text on the same line
    std::vector<List> m_lists;
    std::string m_prefix;  // the bullet or number of a list item not yet written
    std::vector<std::string> m_pendingAnchors;
    int m_headingLevel = 0;
    std::size_t m_headingStart = std::string::npos;
    bool m_pre = false;
    bool m_skipNewline = false;
};

}  // namespace

HelpText helpTextFromHtml(std::string_view html) {
    return Converter(cleanUtf8(html)).run();
}

}  // namespace tollvane
