// ID3v2 tags read and written with the setting Id3v2Edit on: the rows files made by peer
// taggers give, and writes read back by mutagen, frame by frame.
#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

#include "app/commands/AddFiles.h"
#include "app/commands/Convert.h"
#include "app/commands/Id3v2Create.h"
#include "app/commands/ReadAgain.h"
#include "app/commands/WriteTags.h"
#include "formats/id3v2/Tag.h"
#include "formats/id3v2/TagHeader.h"
#include "platform/base/Cp932.h"
#include "platform/base/FileOps.h"
#include "formats/id3v2/TaggedMpeg.h"
#include "support/TestSupport.h"
#include "../formats/id3v2_tags.h"

using namespace wvr;

namespace {

// What mutagen reads: the version, then "ID encoding text" per frame (pictures by size).
const char* kMutagenDump = R"(import sys
from mutagen.id3 import ID3
tag = ID3(sys.argv[1])
print('v2.%d' % tag.version[1])
for f in sorted(tag.values(), key=lambda f: f.HashKey):
    if f.FrameID == 'APIC':
        print('APIC', len(f.data))
    elif hasattr(f, 'text'):
        text = f.text if isinstance(f.text, str) else '/'.join(str(t) for t in f.text)
        print(f.HashKey, int(f.encoding), text)
    else:
        print(f.HashKey)
)";

class Id3v2Edit : public ::testing::Test {
protected:
    void SetUp() override { session.settings.Id3v2Edit = true; }

    // Lists a copy of a corpus file with the setting on and checks its row.
    TrackInfo& List(const std::string& corpus, const std::string& name = "song.mp3") {
        const std::string path = test::CopyCorpusFile(corpus, dir, name);
        EXPECT_TRUE(fs::SetLastWriteTime(path, {{1000000000, 0}}));
        WorkList work{path};
        AddOptions options;
        options.tagReader = reader;
        AddFiles(session, work, options, prompter);
        EXPECT_EQ(session.rows.size(), 1) << corpus;
        session.rows.Mutable(0).Checked = true;
        return session.rows.Mutable(0);
    }

    // Lists, by the reader the test chose, a file of `bytes` made here.
    TrackInfo& ListBytes(const std::string& name, const std::string& bytes) {
        test::WriteFile(dir / name, bytes);
        WorkList work{dir / name};
        AddOptions options;
        options.tagReader = reader;
        AddFiles(session, work, options, prompter);
        EXPECT_EQ(session.rows.size(), 1);
        session.rows.Mutable(0).Checked = true;
        return session.rows.Mutable(0);
    }

    bool Write() {
        WriteCommand(session, prompter, nullptr, Questions::Skip);
        return !session.rows[0].Checked;
    }

    std::string Mutagen(const std::string& path) {
        test::WriteFile(dir / "dump.py", kMutagenDump);
        return test::RunTool("/usr/bin/python3 '" + (dir / "dump.py") + "' '" + path + "'");
    }

    // The audio: what follows the tag, up to the ID3v1 block.
    static std::string Audio(const std::string& bytes) {
        auto header = id3v2::ParseTagHeader(bytes);
        const size_t start = header ? header->TagSize() : 0;
        const bool v1 = bytes.size() >= 128 && bytes.compare(bytes.size() - 128, 3, "TAG") == 0;
        return bytes.substr(start, bytes.size() - start - (v1 ? 128 : 0));
    }

    void SkipWithoutMutagen() {
        if (std::system("/usr/bin/python3 -c 'import mutagen.id3' >/dev/null 2>&1") != 0)
            GTEST_SKIP() << "mutagen is not installed (python3-mutagen)";
    }

    // The frames of the tag that `bytes` begins with, each whole.
    static std::vector<std::string> Frames(const std::string& bytes) {
        const auto header = id3v2::ParseTagHeader(bytes);
        id3v2::TagBytesWindow window(bytes);
        std::vector<std::string> frames;
        for (const auto& span : id3v2::WalkTag(window, *header, bytes.size()).walk.frames)
            frames.push_back(bytes.substr(span.offset, span.size));
        return frames;
    }

    test::TempDir dir;
    Session session;
    test::ScriptedPrompter prompter;
    TagReader reader = TagReader::Id3v2;
};

std::string Utf8(const std::string& cp932) { return cp932::ToUtf8(cp932); }

TEST_F(Id3v2Edit, TaggersFilesListWithTextsAndPlayTime) {
    struct Case {
        const char* corpus;
        const char* title;
        const char* artist;
        const char* date;
        const char* genre;
    };
    for (const Case& c : {
             Case{"id3v2/ffmpeg_mp3mux_v24.mp3", "FFmpeg Muxed", "Lavf", "2020", ""},
             Case{"id3v2/v24_mutagen_notlisted.mp3", "Version 2.4", "ユーティーエフ", "", ""},
             Case{"id3v2/v23_utf16_japanese_mutagen.mp3", "さくら", "山田花子", "2004", "JPop"},
             Case{"id3v2/v23_sjis_in_latin1_mutagen.mp3", "桜の歌", "歌手の名前", "1998", "Ballad"},
             Case{"id3v2/v22_script.mp3", "Version 2.2 Title", "Old Tagger", "1997", "Other"},
             Case{"id3v2/v23_picture_lossy_mutagen.mp3", "Zo? ♪ ??", "Plain Artist", "2010", "Pop"},
         }) {
        session.rows.Clear();
        const TrackInfo& row = List(c.corpus);
        EXPECT_EQ(row.Kind, "4") << c.corpus;
        EXPECT_EQ(Utf8(row.Fields[kTitle]), c.title) << c.corpus;
        EXPECT_EQ(Utf8(row.Fields[kArtist]), c.artist) << c.corpus;
        EXPECT_EQ(Utf8(row.Fields[kDate]), c.date) << c.corpus;
        EXPECT_EQ(Utf8(row.Fields[kGenre]), c.genre) << c.corpus;
        // The properties of the first frame after the tag; the audio size ends at the ID3v1 block.
        EXPECT_EQ(row.InfoText.rfind("MP3 ", 0), 0u) << c.corpus << ": " << row.InfoText;
        const std::string bytes = test::ReadFile(row.Path);
        EXPECT_EQ(row.AudioSize, std::to_string(Audio(bytes).size())) << c.corpus;
        EXPECT_GT(row.SecondsValue(), 0) << c.corpus;
    }
}

TEST_F(Id3v2Edit, ATitleThatFitsThePaddingKeepsEveryOtherFrameAndTheSize) {
    SkipWithoutMutagen();
    TrackInfo& row = List("id3v2/v23_picture_lossy_mutagen.mp3");
    const std::string before = test::ReadFile(row.Path);
    const std::string mutagenBefore = Mutagen(row.Path);
    row.Fields[kAlbum] = test::Sjis("新しいアルバム");
    ASSERT_TRUE(Write());
    const std::string after = test::ReadFile(row.Path);
    EXPECT_EQ(after.size(), before.size());
    EXPECT_EQ(Audio(after), Audio(before));
    EXPECT_EQ(fs::ReadLastWriteTime(row.Path)->mtime.tv_sec, 1000000000);
    // Every frame but the album's, byte for byte (the title CP932 cannot hold among them).
    const std::vector<std::string> frames = Frames(before);
    const int album = id3v2::ReadTagFields(before, session.genres).frameOf[kAlbum];
    for (size_t i = 0; i < frames.size(); ++i) {
        if (static_cast<int>(i) != album) {
            EXPECT_NE(after.find(frames[i]), std::string::npos) << i;
        }
    }
    std::string expected = mutagenBefore;
    const std::string oldAlbum = "TALB 1 春のアルバム";
    ASSERT_NE(expected.find(oldAlbum), std::string::npos) << expected;
    expected.replace(expected.find(oldAlbum), oldAlbum.size(), "TALB 1 新しいアルバム");
    EXPECT_EQ(Mutagen(row.Path), expected);
    EXPECT_TRUE(prompter.texts().empty());
}

TEST_F(Id3v2Edit, ChangingAFieldWithCharactersShiftJisLacksAsksFirst) {
    TrackInfo& row = List("id3v2/v23_picture_lossy_mutagen.mp3");
    const std::string before = test::ReadFile(row.Path);
    row.Fields[kTitle] = "Zoe";
    prompter.Answer(PromptAnswer::No);
    EXPECT_FALSE(Write());
    EXPECT_EQ(test::ReadFile(row.Path), before);
    ASSERT_EQ(prompter.shown().size(), 1u);
    EXPECT_EQ(prompter.shown()[0].buttons, PromptButtons::YesNo);
    prompter.Answer(PromptAnswer::Yes);
    EXPECT_TRUE(Write());
    EXPECT_EQ(id3v2::ReadTagFields(test::ReadFile(row.Path), session.genres).fields[kTitle], "Zoe");
}

TEST_F(Id3v2Edit, ATagThatOutgrowsItsPaddingIsRebuiltAroundTheSameAudio) {
    SkipWithoutMutagen();
    TrackInfo& row = List("id3v2/ffmpeg_mp3mux_v24.mp3");
    const std::string before = test::ReadFile(row.Path);
    row.Fields[kArtist] = test::Sjis("山田花子");
    row.Fields[kLyrics] = test::Sjis(std::string(300, 'x') + "歌詞");
    row.Fields[kEngineer] = "Engineer";
    ASSERT_TRUE(Write());
    const std::string after = test::ReadFile(row.Path);
    EXPECT_GT(after.size(), before.size());
    EXPECT_EQ(Audio(after), Audio(before));
    const std::string read = Mutagen(row.Path);
    EXPECT_NE(read.find("v2.4\n"), std::string::npos) << read;
    EXPECT_NE(read.find("TPE1 3 山田花子\n"), std::string::npos) << read;  // UTF-8 in 2.4
    EXPECT_NE(read.find("TXXX:IENG 0 Engineer\n"), std::string::npos) << read;
    EXPECT_NE(read.find("USLT::jpn 3 " + std::string(300, 'x') + "歌詞\n"), std::string::npos) << read;
    EXPECT_NE(read.find(" FFmpeg Muxed\n"), std::string::npos) << read;
}

TEST_F(Id3v2Edit, Version22StaysVersion22) {
    SkipWithoutMutagen();
    TrackInfo& row = List("id3v2/v22_script.mp3");
    const std::string before = Mutagen(row.Path);
    row.Fields[kTitle] = test::Sjis("二・二の曲");
    ASSERT_TRUE(Write());
    const std::string read = Mutagen(row.Path);
    EXPECT_NE(read.find("v2.2\n"), std::string::npos) << read;
    EXPECT_NE(read.find("TIT2 1 二・二の曲\n"), std::string::npos) << read;  // UTF-16, as 2.2 has no UTF-8
    std::string expected = before;
    expected.replace(expected.find("TIT2 0 Version 2.2 Title"), 24, "TIT2 1 二・二の曲");
    EXPECT_EQ(read, expected);
}

TEST_F(Id3v2Edit, CreateGivesPlainFilesAUnicodeTagAndRepairsShiftJisInLatin1) {
    SkipWithoutMutagen();
    struct Case {
        const char* corpus;
        int major;
        const char* version;
        const char* title;  // frame and encoding
    };
    for (const Case& c : {Case{"mpeg/mpeg2_8k_22k_sjis_v1.mp3", 0, "v2.3\n", "TIT2 1 "},
                          Case{"mpeg/mpeg2_8k_22k_sjis_v1.mp3", 4, "v2.4\n", "TIT2 3 "},
                          Case{"id3v2/v23_sjis_in_latin1_mutagen.mp3", 4, "v2.3\n", "TIT2 1 "}}) {
        session.rows.Clear();
        TrackInfo& row = List(c.corpus);
        const std::string title = Utf8(row.Fields[kTitle]);
        const std::string before = test::ReadFile(row.Path);
        ASSERT_TRUE(CreateId3v2Command(session, c.major, prompter, nullptr, Questions::Skip));
        EXPECT_FALSE(session.rows[0].Checked) << c.corpus;
        EXPECT_EQ(session.rows[0].Kind, "4") << c.corpus;
        const std::string after = test::ReadFile(session.rows[0].Path);
        EXPECT_EQ(Audio(after), Audio(before)) << c.corpus;
        EXPECT_EQ(after.substr(after.size() - 128), before.substr(before.size() - 128)) << c.corpus;
        const std::string read = Mutagen(session.rows[0].Path);
        EXPECT_EQ(read.rfind(c.version, 0), 0u) << read;
        EXPECT_NE(read.find(c.title + title + "\n"), std::string::npos) << read;
    }
}

TEST_F(Id3v2Edit, ConversionTakesTaggedRowsTheId3v2ReaderRead) {
    List("id3v2/v23_utf16_japanese_mutagen.mp3");
    session.rows.Mutable(0).Checked = true;
    session.rows.Mutable(0).Reading.reader = TagReader::Kind;
    EXPECT_EQ(ConvertibleRows(session), std::vector<int>{});
    session.rows.Mutable(0).Reading.reader = TagReader::Id3v2;
    ASSERT_EQ(ConvertibleRows(session), std::vector<int>{0});
    const std::string source = test::ReadFile(session.rows[0].Path);
    ConvertCommand(session, {0}, ConvertTarget::Rmp3, prompter, nullptr);
    const std::string rmp = test::ReadFile(dir / "song.rmp");
    EXPECT_NE(rmp.find(Audio(source)), std::string::npos);
    EXPECT_NE(rmp.find(test::Sjis("さくら")), std::string::npos);
}

// A tagger's file: many frames the program shows and some it does not, then audio and an
// ID3v1.1 block with texts of its own, a track number and genre byte 0xFF.
std::string TaggersFile(const std::string& latin1Title = "Title") {
    using namespace test::id3;
    using namespace std::string_literals;
    const std::string frames = Frame23("TIT2", Latin1(latin1Title)) + Frame23("TCOP", Latin1("(c) Owner")) +
                               Frame23("TSSE", Latin1("Encoder")) + Frame23("USLT", Comment("lyrics")) +
                               Frame23("TMED", Latin1("CD")) + Frame23("TXXX", Latin1("mood\0calm"s)) +
                               Frame23("COMM", "\0engiTunPGAP\0000"s) + Frame23("COMM", Comment("plain")) +
                               Frame23("APIC", "\0image/png\0\x03\0pixels"s) + std::string(300, '\0');
    std::string block = "TAG" + std::string(30, '\0');
    block.replace(3, 5, "Title");
    block += std::string(30, ' ') + "v1 album" + std::string(22, ' ') + "1999" + "v1 comment" + std::string(18, ' ');
    block += '\0';
    block += '\x07';
    block += '\xFF';
    std::string audio;
    for (int i = 0; i < 3; ++i) audio += "\xFF\xFB\x90\x64"s + std::string(413, 'U');
    return Tag23(frames) + audio + block;
}

TEST_F(Id3v2Edit, ARowReadWithSixTextsIsNeverWrittenByTheTagWriter) {
    test::WriteFile(dir / "six.mp3", TaggersFile());
    const std::string before = test::ReadFile(dir / "six.mp3");
    WorkList work{dir / "six.mp3"};
    AddFiles(session, work, AddOptions{}, prompter);  // listed with the setting off
    ASSERT_EQ(session.rows[0].Reading.reader, TagReader::Kind);
    session.rows.Mutable(0).Checked = true;
    session.settings.Id3v2Edit = true;  // then turned on, and the row written
    Write();
    EXPECT_EQ(test::ReadFile(dir / "six.mp3"), before);
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"ID3v2は未サポートです"});

    // Turning the setting on reads again the rows that hold no unwritten change...
    session.rows.Mutable(0).Fields[kTitle] = "edited";
    EXPECT_EQ(ReadRowsAgain(session, TagReader::Id3v2, prompter, nullptr), 0);
    EXPECT_EQ(session.rows[0].Reading.reader, TagReader::Kind);
    session.rows.Mutable(0).Fields[kTitle] = "Title";
    session.rows.Mutable(0).Checked = true;
    EXPECT_EQ(ReadRowsAgain(session, TagReader::Id3v2, prompter, nullptr), 1);
    EXPECT_EQ(session.rows[0].Reading.reader, TagReader::Id3v2);
    EXPECT_TRUE(session.rows[0].Checked);
    EXPECT_EQ(session.rows[0].Fields[kCopyright], "(c) Owner");
}

TEST_F(Id3v2Edit, CreateOnARowReadWithSixTextsKeepsEveryFrameAndTheBlock) {
    test::WriteFile(dir / "six.mp3", TaggersFile());
    const std::string before = test::ReadFile(dir / "six.mp3");
    WorkList work{dir / "six.mp3"};
    AddFiles(session, work, AddOptions{}, prompter);
    session.rows.Mutable(0).Fields[kTitle] = test::Sjis("新しい題");
    session.rows.Mutable(0).FileName = "renamed.mp3";  // a rename still to come
    session.rows.Mutable(0).Checked = true;
    session.rows.Append(TrackInfo{});  // a row that takes no tag
    session.rows.Mutable(1).Kind = "2";
    session.rows.Mutable(1).Checked = true;
    prompter.Answer(PromptAnswer::Yes);
    ASSERT_TRUE(CreateId3v2Command(session, 0, prompter, nullptr, Questions::Ask));
    EXPECT_NE(prompter.texts()[0].find("1個"), std::string::npos) << prompter.texts()[0];
    EXPECT_EQ(session.rows[0].FileName, "renamed.mp3");
    const std::string after = test::ReadFile(dir / "six.mp3");
    EXPECT_EQ(after.substr(after.size() - 128), before.substr(before.size() - 128));  // the block as it was
    const std::vector<std::string> frames = Frames(before);
    for (size_t i = 1; i < frames.size(); ++i) EXPECT_NE(after.find(frames[i]), std::string::npos) << i;
    EXPECT_EQ(Utf8(id3v2::ReadTagFields(after, session.genres).fields[kTitle]), "新しい題");
}

TEST_F(Id3v2Edit, TheId3v1BlockBesideTheTagChangesOnlyInTheChangedFields) {
    const std::string before = TaggersFile();
    ListBytes("v1.mp3", before).Fields[kTitle] = "New title";
    ASSERT_TRUE(Write());
    const std::string after = test::ReadFile(dir / "v1.mp3");
    const std::string oldBlock = before.substr(before.size() - 128), newBlock = after.substr(after.size() - 128);
    EXPECT_EQ(newBlock.substr(3, 30), "New title" + std::string(21, ' '));
    EXPECT_EQ(newBlock.substr(33), oldBlock.substr(33));  // album, year, comment, track and genre bytes

    // A comment longer than the block holds keeps the ID3v1.1 track number: 28 bytes of it.
    session.rows.Mutable(0).Fields[kComment] = std::string(40, 'c');
    session.rows.Mutable(0).Checked = true;
    ASSERT_TRUE(Write());
    const std::string again = test::ReadFile(dir / "v1.mp3");
    EXPECT_EQ(again.substr(again.size() - 128 + 97, 28), std::string(28, 'c'));
    EXPECT_EQ(again.substr(again.size() - 3), std::string("\0\x07\xFF", 3));
}

// A change that one write within one page holds is made in place; any longer one rebuilds the
// file beside itself (a new inode), so that a kill never leaves half of it.
TEST_F(Id3v2Edit, OnlyAChangeWithinOnePageIsWrittenInPlace) {
    using namespace test::id3;
    auto inode = [&] {
        struct stat st {};
        ::stat((dir / "p.mp3").c_str(), &st);
        return st.st_ino;
    };
    const std::string audio = "\xFF\xFB\x90\x64"s + std::string(413, 'U');
    const std::string tag = Tag23(Frame23("TIT2", Latin1("Title")) + Frame23("PRIV", std::string(6000, 'p')) +
                                  std::string(300, '\0'));
    ListBytes("p.mp3", tag + audio + audio).Fields[kTitle] = "Other";  // the same length
    const auto before = inode();
    ASSERT_TRUE(Write());
    EXPECT_EQ(inode(), before);
    session.rows.Mutable(0).Fields[kTitle] = "A longer title";  // the picture moves: 6 KB change
    session.rows.Mutable(0).Checked = true;
    ASSERT_TRUE(Write());
    EXPECT_NE(inode(), before);
    EXPECT_EQ(test::ReadFile(dir / "p.mp3").size(), tag.size() + 2 * audio.size());
}

TEST_F(Id3v2Edit, Latin1FramesAreRewrittenInUnicodeOnlyWhenTheyReadAsJapanese) {
    struct Case {
        std::string title;  // Latin-1 bytes
        bool rewritten;
    };
    const std::string ibm = test::Sjis("髙橋") + " " + test::Sjis("山﨑") + " " + test::Sjis("￢テスト");  // the IBM codes
    for (const Case& c : {Case{"Bj\xF6rk", false}, Case{"D\xE9" "but \xA9 2004", false}, Case{ibm, true},
                          Case{test::Sjis("桜の歌"), true}}) {
        session.rows.Clear();
        const std::string before = TaggersFile(c.title);
        ListBytes("l.mp3", before);
        ASSERT_TRUE(CreateId3v2Command(session, 0, prompter, nullptr, Questions::Skip));
        EXPECT_FALSE(session.rows[0].Checked) << ::testing::PrintToString(c.title);
        const std::string after = test::ReadFile(dir / "l.mp3");
        EXPECT_EQ(after == before, !c.rewritten) << ::testing::PrintToString(c.title);
        if (c.rewritten) {
            EXPECT_EQ(session.rows[0].Fields[kTitle], c.title);
        }
    }
}

TEST_F(Id3v2Edit, ANewTagTakesTheTrackNumberOfTheId3v1Block) {
    std::string file = test::ReadFile(test::CorpusPath("mpeg/mpeg2_8k_22k_sjis_v1.mp3"));
    file[file.size() - 3] = '\0';
    file[file.size() - 2] = '\x0C';
    test::WriteFile(dir / "t.mp3", file);
    WorkList work{dir / "t.mp3"};
    AddFiles(session, work, AddOptions{}, prompter);
    session.rows.Mutable(0).Checked = true;
    ASSERT_TRUE(CreateId3v2Command(session, 3, prompter, nullptr, Questions::Skip));
    const std::string after = test::ReadFile(dir / "t.mp3");
    using namespace std::string_literals;
    EXPECT_NE(after.find("TRCK\0\0\0\x03\0\0\0"s + "12"), std::string::npos);
}

}  // namespace
