// wvr-cli --id3v2 with any subcommand, and wvr-cli id3v2.
#include "support/CliRun.h"

using namespace wvr;

namespace {

// Printed columns: FileName, Fields[0..16], AudioSize, Path, Kind, InfoText, Seconds.
constexpr size_t kTitleColumn = 1, kKindColumn = 20, kInfoColumn = 21;

class Id3v2Cli : public test::CliTest {};

TEST_F(Id3v2Cli, TheOptionListsTaggedFilesWhereverItStandsBeforeTheEnd) {
    const std::string v24 = test::CopyCorpusFile("id3v2/v24_mutagen_notlisted.mp3", dir, "v24.mp3");
    EXPECT_EQ(Cli({"list", v24}), 0);
    EXPECT_TRUE(rows.empty());
    for (const std::vector<std::string>& args : {std::vector<std::string>{"--id3v2", "list", v24},
                                                 std::vector<std::string>{"list", "--id3v2", v24}}) {
        EXPECT_EQ(Cli(args), 0) << err;
        ASSERT_EQ(rows.size(), 1u);
        EXPECT_EQ(rows[0][kTitleColumn], "Version 2.4");
        EXPECT_EQ(rows[0][kKindColumn], "4");
        EXPECT_EQ(rows[0][kInfoColumn], "MP3 128kbit  44.1KHz 002sec ");
    }
    // After "--" it is a path like any other: one that names nothing here.
    EXPECT_EQ(Cli({"list", "--", "--id3v2"}), 1);
    EXPECT_TRUE(rows.empty());
    EXPECT_NE(err.find("--id3v2"), std::string::npos) << err;
}

TEST_F(Id3v2Cli, Id3v2WritesPlainAndTaggedFilesAndSaysWhichWereNot) {
    const std::string plain = test::CopyCorpusFile("mpeg/mpeg2_8k_22k_sjis_v1.mp3", dir, "plain.mp3");
    const std::string tagged = test::CopyCorpusFile("id3v2/v23_sjis_in_latin1_mutagen.mp3", dir, "tagged.mp3");
    EXPECT_EQ(Cli({"id3v2", "--v24", plain, tagged}), 0) << err;
    ASSERT_EQ(rows.size(), 2u);
    for (const auto& row : rows) EXPECT_EQ(row[kKindColumn], "4");
    EXPECT_EQ(test::ReadFile(plain).substr(0, 4), std::string("ID3\x04", 4));
    EXPECT_EQ(test::ReadFile(tagged).substr(0, 4), std::string("ID3\x03", 4));  // keeps its version

    // Without --id3v2 too, every tag is read by the ID3v2 reader: a 2.4 file is taken, and a
    // tagged file keeps the frames the six texts do not show.
    const std::string v24 = test::CopyCorpusFile("id3v2/v24_mutagen_notlisted.mp3", dir, "v24.mp3");
    const std::string many = test::CopyCorpusFile("id3v2/v23_picture_lossy_mutagen.mp3", dir, "many.mp3");
    const std::string manyBefore = test::ReadFile(many);
    EXPECT_EQ(Cli({"id3v2", v24, many}), 0) << err;
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0][kTitleColumn], "Version 2.4");
    EXPECT_EQ(test::ReadFile(many), manyBefore);  // nothing read as Shift-JIS: nothing to rewrite

    // A tag that runs past the end of its file is not rewritten.
    const std::string cut = test::CopyCorpusFile("regress/v23_size_past_end.mp3", dir, "cut.mp3");
    const std::string before = test::ReadFile(cut);
    EXPECT_EQ(Cli({"id3v2", cut}), 1);
    EXPECT_EQ(test::ReadFile(cut), before);
    EXPECT_NE(err.find("書き込めなかったファイルです: " + cut), std::string::npos) << err;
}

}  // namespace
