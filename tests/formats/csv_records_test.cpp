// The records of a CSV text by both rules: the program's comma text for Shift-JIS files and
// RFC 4180 for files with a byte-order mark. Each record: its values and the line it starts on.
#include <gtest/gtest.h>

#include "formats/CsvRecords.h"

using namespace wvr;

namespace {

using Values = std::vector<std::string>;

struct Expected {
    Values values;
    int line;
    bool blank = false;
};

void ExpectRecords(const std::vector<CsvRecord>& records, const std::vector<Expected>& expected) {
    ASSERT_EQ(records.size(), expected.size());
    for (size_t i = 0; i < records.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(records[i].values, expected[i].values);
        EXPECT_EQ(records[i].line, expected[i].line);
        EXPECT_EQ(records[i].blank, expected[i].blank);
    }
}

}  // namespace

// A quote opens a quoted value where a value starts, blanks before it included, and the line
// breaks inside it belong to the value: the row stays one.
TEST(CsvRecords, CommaTextKeepsAQuotedLineBreakInItsRow) {
    ExpectRecords(CommaTextRecords("a, \"l1\r\nl2\" ,b\r\n\r\nc d,x\"y\n\"open\r\nz"),
                  {{{"a", "l1\r\nl2", "b"}, 1},
                   {{}, 3, true},
                   {{"c", "d", "x\"y"}, 4},
                   {{"open"}, 5},  // a quote not closed at a value's end stops at its line's end
                   {{"z"}, 6}});
}

TEST(CsvRecords, Rfc4180KeepsSpacesAndQuotesInsideBareValues) {
    ExpectRecords(Rfc4180Records("a b, c ,\"d,\"\"e\"\"\r\nf\"\r\n\r\n   \n x\"y\" ,,\"g\"h\n\"open"),
                  {{{"a b", " c ", "d,\"e\"\r\nf"}, 1},
                   {{}, 3, true},
                   {{"   "}, 4, true},
                   {{" x\"y\" ", "", "gh"}, 5},
                   {{"open"}, 6}});
}
