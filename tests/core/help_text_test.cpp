// The help file as plain text for a window without an HTML engine.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "links/help_text.h"

namespace tollvane {
namespace {

std::string textOf(const std::string& html) {
    return helpTextFromHtml(html).text;
}

std::string headingText(const HelpText& help, std::size_t index) {
    const HelpText::Heading& h = help.headings.at(index);
    return help.text.substr(h.offset, h.length);
}

// The line of `text` that starts at `offset`.
std::string lineAt(const std::string& text, std::size_t offset) {
    return text.substr(offset, text.find('\n', offset) - offset);
}

TEST(HelpText, TheProgramsHelpFile_ReadsAsHeadingsParagraphsAndLists) {
    std::ifstream file(TOLLVANE_HELP_FILE, std::ios::binary);
    ASSERT_TRUE(file) << TOLLVANE_HELP_FILE;
    std::ostringstream bytes;
    bytes << file.rdbuf();
    const HelpText help = helpTextFromHtml(bytes.str());

    EXPECT_EQ(help.title, "Tollvane Help");
    EXPECT_EQ(
        help.text.rfind("Tollvane\n\nTollvane is an alarm clock with one calendar reminder.", 0),
        0u);
    EXPECT_NE(help.text.find("Contents\n\n"
                             "  \xE2\x80\xA2 Setting the alarm\n"
                             "  \xE2\x80\xA2 How to type the time\n"),
              std::string::npos)
        << help.text;
    EXPECT_NE(help.text.find("Setting the alarm\n\n"
                             "  1. Type the alarm time into the box under \"Enter time for alarm "
                             "to go off\".\n"
                             "  2. Set the frequency"),
              std::string::npos)
        << help.text;
    EXPECT_NE(help.text.find("  1. Press >>> to show the calendar (and <<< to hide it again)."),
              std::string::npos);
    EXPECT_NE(help.text.find("Choose View > Clock Only for a small window"), std::string::npos);
    for (const char* left : {"<b>", "<li>", "</", "&gt;", "&lt;", "&amp;", "\n\n\n", " \n"})
        EXPECT_EQ(help.text.find(left), std::string::npos) << "found " << left;
    EXPECT_EQ(help.text.back(), '.');

    ASSERT_EQ(help.headings.size(), 9u);
    EXPECT_EQ(headingText(help, 0), "Tollvane");
    EXPECT_EQ(help.headings[0].level, 1);
    EXPECT_EQ(headingText(help, 1), "Contents");
    EXPECT_EQ(headingText(help, 7), "What Tollvane remembers");
    EXPECT_EQ(help.headings[7].level, 2);
    EXPECT_EQ(lineAt(help.text, help.anchors.at("sleep")), "When the computer sleeps");
    EXPECT_NE(help.text.find("Sleep > Allow wake timers: Enable"), std::string::npos);

    ASSERT_EQ(help.anchors.count("beeps"), 1u);
    EXPECT_EQ(lineAt(help.text, help.anchors.at("beeps")), "The beep settings");
    EXPECT_EQ(lineAt(help.text, help.anchors.at("contents")), "Contents");
}

TEST(HelpText, Blanks_CollapseToOneSpace_InlineTagsJoinWords_BlocksStartLines) {
    EXPECT_EQ(textOf("<p>  one\n  two\t three  </p><p>four</p>"), "one two three\n\nfour");
    EXPECT_EQ(textOf("<p>Press <b>Set</b>Alarm, <i>then</i> <b>Stop</b> .</p>"),
              "Press SetAlarm, then Stop .");
    EXPECT_EQ(textOf("<div>a</div><div>b</div><p>c</p>"), "a\nb\n\nc");
    EXPECT_EQ(textOf("line<br>next<br/><br>gap<br>"), "line\nnext\n\ngap");
    EXPECT_EQ(textOf("<br><p></p>\n\n<p>first</p>\n<p></p><p>second</p>\n\n"), "first\n\nsecond");
    EXPECT_EQ(textOf("<table><tr><td>a</td><td>b</td></tr><tr><th>c</th></tr></table>x"),
              "a b\nc\n\nx");
}

TEST(HelpText, Lists_BulletsAndNumbers_NestedListsIndentFurther) {
    EXPECT_EQ(textOf("<p>Steps:</p><ol><li>one<ul><li>a</li><li>b</li></ul></li><li>two</li>"
                     "</ol><p>after</p>"),
              "Steps:\n\n"
              "  1. one\n"
              "    \xE2\x80\xA2 a\n"
              "    \xE2\x80\xA2 b\n"
              "  2. two\n\n"
              "after");
    // Items without a list, and a list closed twice, still read.
    EXPECT_EQ(textOf("<li>loose</li></ul></ol><ol><li>x<li>y</ol>z"),
              "\xE2\x80\xA2 loose\n\n  1. x\n  2. y\n\nz");
}

TEST(HelpText, Entities_NamedAndNumeric_Decoded_UnknownOnesKeptAsTyped) {
    EXPECT_EQ(textOf("&lt;&gt;&amp;&quot;&apos;&#65;&#x42;&#X43;&hellip;&nbsp;!"),
              "<>&\"'ABC\xE2\x80\xA6\xC2\xA0!");
    EXPECT_EQ(textOf("AT&T &unknown; &#; &#x; &#12a; & &amp"),
              "AT&T &unknown; &#; &#x; &#12a; & &amp");
    // Code points no text can hold become the replacement character.
    EXPECT_EQ(textOf("[&#0;][&#xD800;][&#1114112;][&#99999999999999999999;][&#7;]"),
              "[\xEF\xBF\xBD][\xEF\xBF\xBD][\xEF\xBF\xBD][\xEF\xBF\xBD][\xEF\xBF\xBD]");
    EXPECT_EQ(textOf("&#x1F600;"), "\xF0\x9F\x98\x80");
    // A blank made by a reference collapses like a typed one; a no-break space does not.
    EXPECT_EQ(textOf("a &#32; b&nbsp;&nbsp;c"),
              "a b\xC2\xA0\xC2\xA0"
              "c");
}

TEST(HelpText, HeadScriptStyleAndComments_LeftOut_TitleKept) {
    const HelpText help = helpTextFromHtml(
        "<!DOCTYPE html><?xml version=\"1.0\"?><HTML><HEAD><TITLE> My  &amp;\n Help </TITLE>"
        "<style>p { content: \"<p>\" }</style><script>if (a<b && c>d) x('</p>');</SCRIPT>"
        "</head><body><!-- <p>hidden</p> --><P>shown</P><title>second</title></body></html>");
    EXPECT_EQ(help.title, "My & Help");
    EXPECT_EQ(help.text, "shown");
}

TEST(HelpText, MalformedMarkup_NeverLosesTheTextBeforeIt_NorShowsTags) {
    EXPECT_EQ(textOf("<p>text<b"), "text");
    EXPECT_EQ(textOf("<p>text<a href=\"x>more text"), "text");
    EXPECT_EQ(textOf("<p>a < b and c<3 and d <= e</p>"), "a < b and c<3 and d <= e");
    EXPECT_EQ(textOf("before<!-- never closed <p>x</p>"), "before");
    EXPECT_EQ(textOf("before<!DOCTYPE"), "before");
    EXPECT_EQ(textOf("a</>b</ p>c<"), "a</>b</ p>c<");
    EXPECT_EQ(textOf("<script>never closed"), "");
    EXPECT_EQ(textOf("x<p class=a id=b title='c > d'>y"), "x\n\ny");
    EXPECT_EQ(helpTextFromHtml("<title>no end").title, "no end");
    EXPECT_EQ(textOf(""), "");
}

TEST(HelpText, BytesThatAreNotUtf8_BecomeReplacementCharacters_GoodOnesKept) {
    const std::string fffd = "\xEF\xBF\xBD";
    EXPECT_EQ(textOf("caf\xE9 ok"), "caf" + fffd + " ok");
    EXPECT_EQ(textOf("[\xC0\xAF][\xED\xA0\x80][\x80][\xFF]"),
              "[" + fffd + "][" + fffd + "][" + fffd + "][" + fffd + "]");
    EXPECT_EQ(textOf("\xF0\x9F\x98\x80 \xC3\xA9t\xC3\xA9"), "\xF0\x9F\x98\x80 \xC3\xA9t\xC3\xA9");
    EXPECT_EQ(textOf("trail\xE2\x82"), "trail" + fffd);
    EXPECT_EQ(textOf("\xE2\x82x"), fffd + "x");
    // A NUL or another control character would cut or garble the text in the window.
    EXPECT_EQ(textOf(std::string("a\0b\x01"
                                 "c",
                                 5)),
              "a" + fffd + "b" + fffd + "c");
    EXPECT_EQ(textOf("\xEF\xBB\xBFstart"), "start");  // the byte-order mark is no text
}

TEST(HelpText, Preformatted_KeepsItsBlanksAndLines) {
    EXPECT_EQ(textOf("<p>x</p><pre>\n  a  b\r\n c</pre>after"), "x\n\n  a  b\n c\n\nafter");
}

TEST(HelpText, Headings_MarkedByLevel_WithoutTheirBlanks) {
    const HelpText help =
        helpTextFromHtml("<h1>Title</h1><p>x</p><h3>  Sub <i>part</i>  </h3><h2></h2><p>y</p>");
    EXPECT_EQ(help.text, "Title\n\nx\n\nSub part\n\ny");
    ASSERT_EQ(help.headings.size(), 2u);
    EXPECT_EQ(headingText(help, 0), "Title");
    EXPECT_EQ(help.headings[0].level, 1);
    EXPECT_EQ(headingText(help, 1), "Sub part");
    EXPECT_EQ(help.headings[1].level, 3);
}

TEST(HelpText, Anchors_PointAtTheLineTheyStartOn) {
    const HelpText help = helpTextFromHtml(
        "<p>intro</p><h2 id=\"first\">First</h2><p>one two <a name=\"mid\">three</a></p>"
        "<p><a name='a&amp;b'></a>four</p><p id=first>again</p><a name=\"end\"></a>");
    EXPECT_EQ(help.text, "intro\n\nFirst\n\none two three\n\nfour\n\nagain");
    EXPECT_EQ(lineAt(help.text, help.anchors.at("first")), "First");  // the first one counts
    EXPECT_EQ(lineAt(help.text, help.anchors.at("mid")), "one two three");
    EXPECT_EQ(lineAt(help.text, help.anchors.at("a&b")), "four");
    EXPECT_EQ(help.anchors.at("end"), help.text.size());
    EXPECT_EQ(help.anchors.size(), 4u);
}

}  // namespace
}  // namespace tollvane
