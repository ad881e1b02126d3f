// Template lines and relative paths: every code of the output templates, the replacement
// text for empty values, and folders seen from the output file's folder.
#include <gtest/gtest.h>

#include "formats/FieldMacros.h"
#include "formats/PathText.h"
#include "formats/TemplateMacros.h"
#include "support/TestSupport.h"

using namespace wvr;
using wvr::test::Sjis;

namespace {

TrackInfo Row(const std::string& path, const std::string& seconds = "200") {
    TrackInfo row;
    row.Fields[kTitle] = "T";
    row.Fields[kArtist] = "A";
    row.Path = path;
    row.Seconds = seconds;
    row.AudioSize = "10240";
    return row;
}

const TemplateContext kContext{"/out/", "\x81\x40", 4200};

}  // namespace

TEST(ExpandTemplateLine, EmptyValuesGiveTheReplacementText) {
    EXPECT_EQ(ExpandTemplateLine("<tr><td>%2</td><td>%1</td><td>%3</td><td>%7</td></tr>", kContext, Row("/m/x.mp3"), 1),
              Sjis("<tr><td>T</td><td>A</td><td>　</td><td>x</td></tr>"));
    // "%n" is 0 in header and footer, which is not empty.
    EXPECT_EQ(ExpandTemplateLine("%n|%n", kContext, Row("/m/x.mp3"), 0), "0|0");
    // Play times and sizes always have a value; an unreadable number counts as 0.
    EXPECT_EQ(ExpandTemplateLine("%1 - %a", kContext, Row("/m/x.mp3"), 0), "A - 01:10:00");
    EXPECT_EQ(ExpandTemplateLine("%t %s", kContext, Row("/m/x.mp3"), 1), "03:20 10KB");
    TrackInfo odd = Row("/m/x.mp3", "");
    odd.AudioSize = "12a";
    EXPECT_EQ(ExpandTemplateLine("%t %s", kContext, odd, 1), "00:00 0KB");
    odd.AudioSize = "1048576";
    EXPECT_EQ(ExpandTemplateLine("%s", kContext, odd, 1), "1024KB");
    // "%7" of no row (a header over an empty list) and of a name that is all extension.
    EXPECT_EQ(ExpandTemplateLine("[%7]", kContext, TrackInfo{}, 0), Sjis("[　]"));
    EXPECT_EQ(ExpandTemplateLine("[%7]", kContext, Row("/m/.mp3"), 1), Sjis("[　]"));
}

// A value cut mid-character (a 30-byte ID3v1 title) ends in a lone lead byte, which would pair
// with the first byte of what is joined after it: "T\x82" and "山田" would read as "T" and two
// other kanji. Names and templates drop it, and the code right after it is still found.
TEST(ExpandTemplateLine, AValueEndingInALoneLeadByteLosesIt) {
    TrackInfo row = Row("/m/x.mp3");
    row.Kind = "1";
    row.Fields[kTitle] = "T\x82";
    row.Fields[kArtist] = Sjis("山田");
    EXPECT_EQ(ExpandFieldMacros("%2%1%e", 1, row, {}), "T" + Sjis("山田") + ".mp3");
    EXPECT_EQ(ExpandTemplateLine("%2%1", kContext, row, 1), "T" + Sjis("山田"));
    row.Fields[kArtist] = "X\x82";
    EXPECT_EQ(ExpandFieldMacros("%1%2", 1, row, {}), "XT");
    EXPECT_EQ(ExpandTemplateLine("%1%2", kContext, row, 1), "XT");
}

// Escaped for HTML, the values are text; the template's own markup and the replacement text
// (which may be "&nbsp;") stay as they are.
TEST(ExpandTemplateLine, HtmlEscapingTouchesTheValuesOnly) {
    TemplateContext context = kContext;
    context.replacement = "&nbsp;";
    context.escapeHtml = true;
    TrackInfo row = Row("/m/<x>.mp3");
    row.Fields[kTitle] = "<b>\"1&2\"</b>";
    EXPECT_EQ(ExpandTemplateLine("<td>%2</td><td>%3</td><td>%7</td>", context, row, 1),
              "<td>&lt;b&gt;&quot;1&amp;2&quot;&lt;/b&gt;</td><td>&nbsp;</td><td>&lt;x&gt;</td>");
}

TEST(ExpandTemplateLine, PathCodes) {
    EXPECT_EQ(ExpandTemplateLine("%7|%8|%9", kContext, Row("/m/sub/x.y.mp3"), 1), "x.y|/m/sub/|.mp3");
    EXPECT_EQ(ExpandTemplateLine("[%p]", kContext, Row("/out/x.mp3"), 1), Sjis("[　]"));
    EXPECT_EQ(ExpandTemplateLine("[%p]", kContext, Row("/out/sub/x.mp3"), 1), "[sub/]");
    EXPECT_EQ(ExpandTemplateLine("[%p]", kContext, Row("/m/x.mp3"), 1), "[../m/]");
    // Each pass works on the result of the ones before: a code inside a value is replaced too.
    TrackInfo row = Row("/m/x.mp3");
    row.Fields[kTitle] = "%9 %1";
    EXPECT_EQ(ExpandTemplateLine("%2", kContext, row, 1), ".mp3 %1");  // the pass of "%1" came before
    EXPECT_EQ(ExpandTemplateLine("%1%2", kContext, row, 1), "A.mp3 %1");
}

TEST(RelativeTo, SharedFoldersAreDropped) {
    EXPECT_EQ(path::RelativeTo("/m", "/m/sub/b.mp3"), "sub/b.mp3");
    EXPECT_EQ(path::RelativeTo("/m/", "/x/c.mp3"), "../x/c.mp3");
    EXPECT_EQ(path::RelativeTo("/m/", "/m/a.mp3"), "a.mp3");
    EXPECT_EQ(path::RelativeTo("/m/a/b/", "/m/c.mp3"), "../../c.mp3");
    // "." and ".." are resolved first, as a file dialog may hand them over.
    EXPECT_EQ(path::RelativeTo("/m/sub/../", "/m/sub/b.mp3"), "sub/b.mp3");
    // Folder names compare exactly on this file system.
    EXPECT_EQ(path::RelativeTo("/M/", "/m/a.mp3"), "../m/a.mp3");
}

// Values that bring codes of their own multiply the line with each pass; a tag built for it
// must not take the program's memory.
TEST(ExpandTemplateLine, CodesInValuesCannotGrowTheLineWithoutBound) {
    TrackInfo row = Row("/m/x.mp3");
    std::string many;
    for (int i = 0; i < 500; ++i) many += "%3";
    row.Fields[kArtist] = many;
    for (int i = 0; i < 500; ++i) row.Fields[kAlbum] += "%4";
    for (int i = 0; i < 500; ++i) row.Fields[kDate] += "%5";
    row.Fields[kComment] = "comment";
    const std::string line = ExpandTemplateLine("%1", kContext, row, 1);
    EXPECT_LE(line.size(), kMaxExpandedBytes);
    EXPECT_NE(line.find("%4"), std::string::npos) << "the pass that would pass the bound is not made";
    const std::string name = ExpandFieldMacros("%1", 1, row, MacroOptions{});
    EXPECT_LE(name.size(), kMaxExpandedBytes);
    EXPECT_NE(name.find("%4"), std::string::npos);
}
