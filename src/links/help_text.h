#pragma once
// The help file as readable plain text, for a help window that has no HTML engine: headings,
// paragraphs and list items on lines of their own, entities decoded, tags left out. Whatever the
// file holds, the result is valid UTF-8 (bytes that are not become U+FFFD).

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace tollvane {

struct HelpText {
    // A heading's characters in `text`, by byte offset, for drawing it in bold.
    struct Heading {
        std::size_t offset = 0;
        std::size_t length = 0;
        int level = 1;  // 1 for <h1> ... 6 for <h6>
    };

    std::string title;  // the document's <title>, blanks collapsed; empty when it has none
    // Lines end in '\n'; a blank line between paragraphs, headings and lists; no blank line at
    // the start or the end.
    std::string text;
    std::vector<Heading> headings;
    // <a name="..."> and id="..." targets: the byte offset of the line the target starts on.
    std::map<std::string, std::size_t> anchors;
};

HelpText helpTextFromHtml(std::string_view html);

}  // namespace tollvane
