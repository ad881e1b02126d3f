#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <utility>
#include <unistd.h>
#include <vector>

#include "formats/RiffInfo.h"
#include "platform/base/FileOps.h"
#include "support/TestSupport.h"

using namespace wvr;
using wvr::test::Sjis;

namespace {

std::string U32(uint32_t v) {
    return {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16), static_cast<char>(v >> 24)};
}

std::string Raw(const std::string& id, const std::string& data) {
    return id + U32(static_cast<uint32_t>(data.size())) + data + (data.size() % 2 ? std::string(1, '\0') : "");
}

std::string Form(const std::string& type, const std::string& body) { return Raw("RIFF", type + body); }
std::string InfoList(const std::string& body) { return Raw("LIST", "INFO" + body); }
std::string Text(const std::string& s) { return s + std::string(1, '\0'); }

// Audio bytes that begin like an MPEG frame.
std::string Audio(size_t n) {
    std::string a(n, '\x55');
    a[0] = '\xFF', a[1] = '\xFB', a[2] = '\x90';
    return a;
}

RiffInfoList ReadInfo(const std::string& path, FileKind kind) {
    fs::File file;
    EXPECT_TRUE(file.Open(path, fs::File::Mode::Read)) << path;
    return ReadRiffInfo(file, kind);
}

uint32_t RiffSize(const std::string& bytes) { return riff::ReadLe32(bytes.data() + 4); }

// The chunks of the file's RIFF form, as (id, data).
std::vector<std::pair<std::string, std::string>> FormChunks(const std::string& bytes) {
    std::vector<std::pair<std::string, std::string>> chunks;
    riff::BufferSource source(bytes);
    riff::ChunkReader reader(source);
    auto form = reader.Descend(nullptr, riff::Search::Form(riff::FourCC::From(bytes.data() + 8)));
    if (!form) return chunks;
    while (auto chunk = reader.ReadHeader(form->DataEnd())) {
        chunks.emplace_back(std::string(chunk->id.view()), *reader.ReadData(*chunk, UINT32_MAX));
        reader.Ascend(*chunk);
    }
    return chunks;
}

std::vector<std::pair<std::string, std::string>> WithoutInfoLists(std::vector<std::pair<std::string, std::string>> c) {
    std::erase_if(c, [](const auto& chunk) { return chunk.first == "LIST" && chunk.second.starts_with("INFO"); });
    return c;
}

TrackInfo FullRow() {
    TrackInfo row;
    for (int i = 0; i < kFieldCount; ++i) row.Fields[i] = "Field " + std::to_string(i);
    row.Fields[kTitle] = Sjis("新しい曲名");
    row.Fields[kArtist] = Sjis("歌手");
    row.Fields[kGenre] = "Rock";
    row.Fields[kDate] = "2024";
    return row;
}

}  // namespace

// --- reading

TEST(RiffInfoRead, CorpusFiles) {
    struct Case {
        const char* file;
        FileKind kind;
        bool info;
        long long audioSize;
        std::vector<std::pair<int, const char*>> texts;  // UTF-8
    };
    const std::vector<Case> cases = {
        {"riff/rmp3_odd_data_no_icmt_script.rmp", FileKind::RiffRmp3, true, 33050,
         {{kTitle, "Odd data"}, {kArtist, "奇数"}, {kComment, ""}}},  // the trailing ID3v1 comment does not count
        {"riff/rmp3_info_iid3_script.rmp", FileKind::RiffRmp3, true, 2096, {{kArtist, "山田太郎"}, {kAlbum, ""}}},
        // The list after the data: the position just after "INFO".
        {"riff/wave_mp3_info_after_data_script.wav", FileKind::RiffWave, true, 32682, {{kTitle, "春の小川"}}},
        // The list before the data, as ffmpeg writes it: the end of the data.
        {"riff/wave_mp3_ffmpeg_info.wav", FileKind::RiffWave, true, 252 + 32600,
         {{kTitle, "Wave Title"}, {kSoftware, "Lavf59.27.100"}, {kTechnician, "tech"}}},
        {"riff/wave_mp2_ffmpeg_sjis_info.wav", FileKind::RiffWave, true, 128 + 36288, {{kArtist, "海辺の録音"}}},
        // Two INFO lists: the first is the file's.
        {"thirdparty/taglib/duplicate_tags.wav", FileKind::RiffWave, true, 16944, {{kTitle, "Title1"}}},
        {"riff/rmp3_noinfo_v1_script.rmp", FileKind::RiffRmp3, false, 0, {}},
        {"riff/wave_mp3_ffmpeg_noinfo.wav", FileKind::RiffWave, false, 0, {}},
        {"thirdparty/taglib/segfault.wav", FileKind::RiffWave, false, 0, {}},
        // Odd-sized data without its pad byte, then the list.
        {"thirdparty/taglib/infloop.wav", FileKind::RiffWave, true, 14127 + 12, {{kTitle, ""}}},
        {"regress/wave_info_before_unpadded_odd_chunk.wav", FileKind::RiffWave, true, 1383,
         {{kTitle, "Before the odd chunk"}, {kArtist, "Regress"}}},
        {"thirdparty/taglib/zero-size-chunk.wav", FileKind::RiffWave, false, 0, {}},
        {"thirdparty/taglib/invalid-chunk.wav", FileKind::RiffWave, false, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        auto info = ReadInfo(test::CorpusPath(c.file), c.kind);
        EXPECT_TRUE(info.formFound);
        ASSERT_EQ(info.infoFound, c.info);
        if (c.info) {
            EXPECT_EQ(info.audioSize, c.audioSize);
        }
        for (const auto& [field, text] : c.texts) EXPECT_EQ(info.texts[field], Sjis(text)) << "field " << field;
    }

    auto full = ReadInfo(test::CorpusPath("riff/rmp3_full_info_script.rmp"), FileKind::RiffRmp3);
    EXPECT_EQ(full.audioSize, 33050);
    const char* expected[kFieldCount] = {"タイトル", "アーティスト名", "アルバム名", "コメント", "2002", "JPop",
                                         "著作権者", "エンジニア", "ソース", "ソフトウェア", "キーワード", "技術者",
                                         "歌詞の一行目", "コミッション", "メディア", "主題", "orig.mp3"};
    for (int i = 0; i < kFieldCount; ++i) EXPECT_EQ(full.texts[i], Sjis(expected[i])) << "field " << i;

    // The form type must be the kind's.
    EXPECT_FALSE(ReadInfo(test::CorpusPath("riff/rmp3_full_info_script.rmp"), FileKind::RiffWave).formFound);
    EXPECT_FALSE(ReadInfo(test::CorpusPath("riff/wave_mp3_ffmpeg_info.wav"), FileKind::Mpeg).formFound);
}

TEST(RiffInfoRead, TextsAndSizesAsStored) {
    const std::string longText(5000, 'L');
    // Stored in reverse order: each search starts again at the beginning of the list.
    const std::string bytes = Form("RMP3", Raw("data", Audio(4)) +
                                               InfoList(Raw("ICMT", Text(longText)) + Raw("IART", "cut\0here") +
                                                        Raw("INAM", "no zero")));
    riff::BufferSource source(bytes);
    auto info = ReadRiffInfo(source, FileKind::RiffRmp3);
    ASSERT_TRUE(info.infoFound);
    EXPECT_EQ(info.texts[kComment], longText);  // longer than 1024 bytes: read whole
    EXPECT_EQ(info.texts[kArtist], "cut");
    EXPECT_EQ(info.texts[kTitle], "no zero");
    EXPECT_EQ(info.texts[kAlbum], "");

    // A LIST of another type is no INFO list.
    const std::string adtl = Form("WAVE", Raw("LIST", "adtl" + Raw("INAM", Text("x"))) + Raw("data", Audio(4)));
    riff::BufferSource adtlSource(adtl);
    EXPECT_FALSE(ReadRiffInfo(adtlSource, FileKind::RiffWave).infoFound);

    // A data chunk that claims more than the file holds ends at the file's end.
    const std::string huge = "RIFF" + U32(0xFFFFFFF0) + "WAVE" + InfoList(Raw("INAM", Text("x"))) + "data" +
                             U32(0x7FFFFFFF) + Audio(10);
    riff::BufferSource hugeSource(huge);
    EXPECT_EQ(ReadRiffInfo(hugeSource, FileKind::RiffWave).audioSize, static_cast<long long>(huge.size()));
}

// --- building

TEST(RiffInfoBuild, SubChunksPadsAndTheId3Block) {
    TrackInfo row;
    row.Fields[kTitle] = "Song";  // size 5: one pad byte
    std::string expected = "INAM" + U32(5) + std::string("Song\0\0", 6);
    for (const char* id : {"IART", "IPRD", "ICMT", "ICRD", "IGNR", "ICOP", "IENG", "ISRC", "ISFT"})
        expected += std::string(id) + U32(1) + std::string(2, '\0');
    EXPECT_EQ(BuildInfoList(row, nullptr), "LIST" + U32(static_cast<uint32_t>(4 + expected.size())) + "INFO" + expected);

    row.Fields[kTitle] = "abc";  // size 4: no pad
    EXPECT_EQ(BuildInfoList(row, nullptr).substr(12, 12), "INAM" + U32(4) + std::string("abc\0", 4));

    // Fields from "IKEY" on only when they hold text; the ID3v1 block last.
    row.Fields[kTitle].clear();
    row.Fields[kMedium] = "CD";
    Id3v1Tag block;
    block.fill('b');
    const std::string list = BuildInfoList(row, &block);
    const size_t firstTen = 12 + 10 * 10;
    EXPECT_EQ(list.substr(firstTen, 12), "IMED" + U32(3) + std::string("CD\0\0", 4));
    EXPECT_EQ(list.substr(firstTen + 12), "IID3" + U32(128) + std::string(128, 'b'));
    EXPECT_EQ(RiffSize(list), list.size() - 8);
}

// --- writing

class RiffWrite : public ::testing::Test {
protected:
    test::TempDir dir;
    test::ScriptedPrompter prompter;
    GenreTable genres;

    TrackInfo Row(const std::string& path, FileKind kind, TrackInfo row = {}) {
        row.Path = path;
        row.Kind = std::to_string(static_cast<int>(kind));
        return row;
    }
    TrackInfo TitleRow(const std::string& path, FileKind kind, const std::string& title = "Song") {
        TrackInfo row;
        row.Fields[kTitle] = title;
        return Row(path, kind, row);
    }
    bool Write(const TrackInfo& row, bool addId3Chunk = false) {
        return WriteRiffInfo(row, BuildId3v1Tag(row, genres), addId3Chunk, prompter);
    }
    static void SetOldTime(const std::string& path) {
        timespec old{};
        old.tv_sec = 1000000000;
        old.tv_nsec = 123456789;
        ASSERT_TRUE(fs::SetLastWriteTime(path, {old}));
    }
    static void ExpectOldTime(const std::string& path) {
        auto time = fs::ReadLastWriteTime(path);
        ASSERT_TRUE(time);
        EXPECT_EQ(time->mtime.tv_sec, 1000000000);
        EXPECT_EQ(time->mtime.tv_nsec, 123456789);
    }
};

TEST_F(RiffWrite, ReplacesTheLastInfoListInPlaceAndKeepsTheTime) {
    const std::string path = test::CopyCorpusFile("riff/rmp3_full_info_script.rmp", dir);
    const std::string before = test::ReadFile(path);
    SetOldTime(path);
    const TrackInfo row = TitleRow(path, FileKind::RiffRmp3);
    ASSERT_TRUE(Write(row));

    const std::string list = BuildInfoList(row, nullptr);
    const std::string expected = "RIFF" + U32(static_cast<uint32_t>(33038 + list.size() - 8)) +
                                 before.substr(8, 33038 - 8) + list;
    const std::string after = test::ReadFile(path);
    EXPECT_EQ(after, expected);
    EXPECT_EQ(RiffSize(after), after.size() - 8);
    ExpectOldTime(path);
    EXPECT_TRUE(prompter.shown().empty());

    // The same row again gives the same file.
    ASSERT_TRUE(Write(row));
    EXPECT_EQ(test::ReadFile(path), expected);
}

TEST_F(RiffWrite, ThroughALinkTheLinkedFileIsWrittenAndTheLinkStays) {
    const std::string real = test::CopyCorpusFile("riff/rmp3_full_info_script.rmp", dir);
    const std::string link = dir / "link.rmp";
    ASSERT_EQ(::symlink(real.c_str(), link.c_str()), 0);
    const TrackInfo row = TitleRow(link, FileKind::RiffRmp3, "Linked");
    ASSERT_TRUE(Write(row));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ReadInfo(real, FileKind::RiffRmp3).texts[kTitle], "Linked");
}

TEST_F(RiffWrite, AFileWithTheLongestNameIsWritten) {
    const std::string name = std::string(251, 'n') + ".rmp";
    const std::string path = test::CopyCorpusFile("riff/rmp3_full_info_script.rmp", dir, name);
    ASSERT_TRUE(Write(TitleRow(path, FileKind::RiffRmp3, "Long")));
    EXPECT_EQ(ReadInfo(path, FileKind::RiffRmp3).texts[kTitle], "Long");
    EXPECT_TRUE(prompter.shown().empty());
}

TEST_F(RiffWrite, EmbeddedId3BlockEndsTheFileAndInfoWins) {
    const std::string path = test::CopyCorpusFile("riff/rmp3_info_iid3_script.rmp", dir);
    const TrackInfo row = Row(path, FileKind::RiffRmp3, FullRow());
    ASSERT_TRUE(Write(row, true));
    const std::string after = test::ReadFile(path);
    EXPECT_EQ(RiffSize(after), after.size() - 8);
    const Id3v1Tag block = BuildId3v1Tag(row, genres);
    EXPECT_EQ(after.substr(after.size() - 128), std::string(reinterpret_cast<const char*>(block.data()), 128));
    auto tag = ParseId3v1(reinterpret_cast<const uint8_t*>(after.data() + after.size() - 128), genres);
    ASSERT_TRUE(tag);
    EXPECT_EQ(tag->genre, "Rock");

    auto info = ReadInfo(path, FileKind::RiffRmp3);
    ASSERT_TRUE(info.infoFound);
    EXPECT_EQ(info.texts, row.Fields);
    EXPECT_EQ(info.audioSize, 2096);  // the audio and the list's place are unchanged
}

TEST_F(RiffWrite, WaveWithoutInfoGetsOneAfterItsDataAndPad) {
    // Odd data with its pad byte, and odd data whose pad is missing at the end of the file.
    for (bool padStored : {true, false}) {
        SCOPED_TRACE(padStored);
        const std::string fmt = Raw("fmt ", std::string(30, 'f'));
        const std::string data = "data" + U32(33) + Audio(33);
        const std::string body = "WAVE" + fmt + data + (padStored ? std::string(1, '\0') : "");
        const std::string path = dir / "odd.wav";
        test::WriteFile(path, "RIFF" + U32(static_cast<uint32_t>(body.size())) + body);
        const TrackInfo row = TitleRow(path, FileKind::RiffWave);
        ASSERT_TRUE(Write(row));
        const std::string list = BuildInfoList(row, nullptr);
        const std::string newBody = "WAVE" + fmt + data + std::string(1, '\0') + list;
        EXPECT_EQ(test::ReadFile(path), "RIFF" + U32(static_cast<uint32_t>(newBody.size())) + newBody);
    }
}

TEST_F(RiffWrite, InfoBeforeTheAudioIsMovedBehindItAndTheAudioKept) {
    const std::string path = test::CopyCorpusFile("riff/wave_mp3_ffmpeg_info.wav", dir);
    const std::string before = test::ReadFile(path);
    const TrackInfo row = Row(path, FileKind::RiffWave, FullRow());
    ASSERT_TRUE(Write(row));
    const std::string after = test::ReadFile(path);

    auto chunks = FormChunks(after);
    ASSERT_EQ(chunks.size(), 4u);
    EXPECT_EQ(chunks[0].first, "fmt ");
    EXPECT_EQ(chunks[1].first, "fact");
    EXPECT_EQ(chunks[2].first, "data");
    EXPECT_EQ(chunks[3].first, "LIST");
    EXPECT_EQ(WithoutInfoLists(FormChunks(before)), WithoutInfoLists(chunks));
    EXPECT_EQ(after.substr(after.size() - chunks[3].second.size() - 8), BuildInfoList(row, nullptr));
    EXPECT_EQ(RiffSize(after), after.size() - 8);

    auto info = ReadInfo(path, FileKind::RiffWave);
    ASSERT_TRUE(info.infoFound);
    EXPECT_EQ(info.texts, row.Fields);
    // Now the list is last: the position after "INFO", which counts every audio byte.
    EXPECT_EQ(info.audioSize, 62 + 8 + 32600 + 12);
}

TEST_F(RiffWrite, ChunksAfterTheListAndDuplicateListsAreHandled) {
    // Other chunks after an INFO list stay; a second INFO list goes too, so it cannot shadow the new one.
    const std::string path = test::CopyCorpusFile("thirdparty/taglib/duplicate_tags.wav", dir);
    const std::string before = test::ReadFile(path);
    const TrackInfo row = TitleRow(path, FileKind::RiffWave);
    ASSERT_TRUE(Write(row));
    const std::string after = test::ReadFile(path);
    const std::string list = BuildInfoList(row, nullptr);
    EXPECT_EQ(after, "RIFF" + U32(static_cast<uint32_t>(16932 - 8 + list.size())) + before.substr(8, 16932 - 8) + list);
    EXPECT_EQ(ReadInfo(path, FileKind::RiffWave).texts[kTitle], "Song");

    // A list between fmt and data, and a chunk after the data.
    const std::string synthetic = dir / "mixed.wav";
    const std::string fmt = Raw("fmt ", "1234"), data = Raw("data", Audio(8)), cue = Raw("cue ", "abc");
    test::WriteFile(synthetic, Form("WAVE", fmt + InfoList(Raw("INAM", Text("Old"))) + data + cue));
    ASSERT_TRUE(Write(TitleRow(synthetic, FileKind::RiffWave)));
    EXPECT_EQ(test::ReadFile(synthetic), Form("WAVE", fmt + data + cue + list));
}

TEST_F(RiffWrite, RmpWithoutInfoGetsOneAndItsTrailingId3BlockIsRenewed) {
    const std::string path = test::CopyCorpusFile("riff/rmp3_noinfo_v1_script.rmp", dir);
    const std::string before = test::ReadFile(path);
    const std::string formBefore = before.substr(0, 33038);  // RIFF, data and its pad
    const TrackInfo row = Row(path, FileKind::RiffRmp3, FullRow());
    const Id3v1Tag block = BuildId3v1Tag(row, genres);
    const std::string blockBytes(reinterpret_cast<const char*>(block.data()), block.size());

    // Without IID3 the file keeps an ID3v1 block after the form: the row's.
    ASSERT_TRUE(Write(row));
    std::string after = test::ReadFile(path);
    const std::string list = BuildInfoList(row, nullptr);
    EXPECT_EQ(after,
              "RIFF" + U32(static_cast<uint32_t>(33030 + list.size())) + formBefore.substr(8) + list + blockBytes);

    // With IID3 the block inside the list ends the file; no second copy follows.
    const std::string path2 = test::CopyCorpusFile("riff/rmp3_noinfo_v1_script.rmp", dir, "again.rmp");
    ASSERT_TRUE(Write(Row(path2, FileKind::RiffRmp3, FullRow()), true));
    after = test::ReadFile(path2);
    const std::string listWithBlock = BuildInfoList(row, &block);
    EXPECT_EQ(after, "RIFF" + U32(static_cast<uint32_t>(33030 + listWithBlock.size())) + formBefore.substr(8) +
                         listWithBlock);
}

TEST_F(RiffWrite, FilesItMayNotWriteStayAsTheyWereWithoutAWord) {
    struct Case {
        std::string name;
        std::string bytes;
        FileKind kind;
    };
    const std::vector<Case> cases = {
        {"rmp.rmp", test::ReadFile(test::CorpusPath("riff/rmp3_full_info_script.rmp")), FileKind::RiffWave},
        {"wave.wav", test::ReadFile(test::CorpusPath("riff/wave_mp3_ffmpeg_info.wav")), FileKind::RiffRmp3},
        {"nodata.wav", Form("WAVE", Raw("fmt ", "1234")), FileKind::RiffWave},
        {"emptydata.wav", Form("WAVE", Raw("fmt ", "1234") + Raw("data", "")), FileKind::RiffWave},
        {"nodata.rmp", Form("RMP3", Raw("junk", "1234")), FileKind::RiffRmp3},
        {"mpeg.mp3", Audio(400), FileKind::RiffWave},
        {"wave.mp3", test::ReadFile(test::CorpusPath("riff/wave_mp3_ffmpeg_info.wav")), FileKind::Mpeg},
        {"segfault.wav", test::ReadFile(test::CorpusPath("thirdparty/taglib/segfault.wav")), FileKind::RiffWave},
        {"zero.wav", test::ReadFile(test::CorpusPath("thirdparty/taglib/zero-size-chunk.wav")), FileKind::RiffWave},
        {"invalid.wav", test::ReadFile(test::CorpusPath("thirdparty/taglib/invalid-chunk.wav")), FileKind::RiffWave},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir / c.name;
        test::WriteFile(path, c.bytes);
        EXPECT_FALSE(Write(TitleRow(path, c.kind)));
        EXPECT_EQ(test::ReadFile(path), c.bytes);
    }
    EXPECT_TRUE(prompter.shown().empty());
    EXPECT_EQ(test::EntriesIn(dir.path()), cases.size());
}

TEST_F(RiffWrite, AChunkWithoutItsPadByteIsKeptByteForByte) {
    // The list stood before an odd-sized chunk that lacks its pad: a write once misread the next
    // header and overwrote the data size and the first audio byte.
    const std::string path = test::CopyCorpusFile("regress/wave_info_before_unpadded_odd_chunk.wav", dir);
    const std::string before = test::ReadFile(path);
    const TrackInfo row = TitleRow(path, FileKind::RiffWave);
    ASSERT_TRUE(Write(row));
    const std::string list = BuildInfoList(row, nullptr);
    const std::string kept = before.substr(12, 38) + before.substr(108);  // fmt, then "note" and data as stored
    EXPECT_EQ(test::ReadFile(path), "RIFF" + U32(static_cast<uint32_t>(4 + kept.size() + list.size())) + "WAVE" + kept + list);
    auto info = ReadInfo(path, FileKind::RiffWave);
    EXPECT_EQ(info.texts[kTitle], "Song");
    EXPECT_EQ(info.audioSize, static_cast<long long>(12 + kept.size() + 12));
    EXPECT_TRUE(prompter.shown().empty());

    // infloop.wav: odd data without its pad, the list, and bytes after the form.
    const std::string loop = test::CopyCorpusFile("thirdparty/taglib/infloop.wav", dir);
    const std::string loopBefore = test::ReadFile(loop);
    ASSERT_TRUE(Write(TitleRow(loop, FileKind::RiffWave)));
    const std::string loopAfter = test::ReadFile(loop);
    EXPECT_EQ(loopAfter.substr(0, 4) + loopAfter.substr(8, 14127 - 8), loopBefore.substr(0, 4) + loopBefore.substr(8, 14127 - 8));
    EXPECT_EQ(loopAfter.substr(14127, 1 + list.size()), std::string(1, '\0') + list);  // the pad the list needs
    EXPECT_EQ(loopAfter.substr(8 + RiffSize(loopAfter)), loopBefore.substr(14251));  // "pan\0ICRD…" is no pad

}

TEST_F(RiffWrite, AnId3BlockAtTheEndOfTheFormIsTheFilesId3Block) {
    for (const auto& [file, kind] : {std::pair{"regress/wave_id3v1_inside_form.wav", FileKind::RiffWave},
                                     std::pair{"regress/rmp3_id3v1_inside_form.rmp", FileKind::RiffRmp3}}) {
        SCOPED_TRACE(file);
        const std::string before = test::ReadFile(test::CorpusPath(file));
        const std::string form = before.substr(0, before.size() - 128);
        const TrackInfo row = Row(dir / "x", kind, FullRow());
        const Id3v1Tag block = BuildId3v1Tag(row, genres);
        const std::string blockBytes(reinterpret_cast<const char*>(block.data()), block.size());
        for (bool iid3 : {false, true}) {
            const std::string path = test::CopyCorpusFile(file, dir, iid3 ? "with.riff" : "without.riff");
            ASSERT_TRUE(Write(Row(path, kind, FullRow()), iid3));
            const std::string list = BuildInfoList(row, iid3 ? &block : nullptr);
            // Without IID3 the row's block follows the form, as a block after the form would be renewed.
            const std::string body = form.substr(8) + list;
            EXPECT_EQ(test::ReadFile(path), "RIFF" + U32(static_cast<uint32_t>(body.size())) + body + (iid3 ? "" : blockBytes));
            EXPECT_EQ(ReadInfo(path, kind).audioSize, static_cast<long long>(form.size() + 12));
        }
    }
}

TEST_F(RiffWrite, AFileItCouldNotCopyWholeIsRefusedWithAMessage) {
    const std::string fmt = Raw("fmt ", "1234");
    const std::string list = InfoList(Raw("INAM", Text("Old")));
    const std::vector<std::pair<std::string, std::string>> cases = {
        // The data chunk claims more than the form holds: copying it would need a new size.
        {"overrun.wav", Form("WAVE", fmt + "data" + U32(5000) + Audio(100))},
        // Without the list, the chunk after "note" would read as if "note" had its pad byte.
        {"shifted.wav", Form("WAVE", fmt + Raw("data", Audio(8)) + "note" + U32(5) + "abcde" + list + "ABCD" +
                                         U32(32) + std::string(32, '\0'))},
    };
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        prompter.Clear();
        const std::string path = dir / name;
        test::WriteFile(path, bytes);
        EXPECT_FALSE(Write(TitleRow(path, FileKind::RiffWave)));
        EXPECT_EQ(test::ReadFile(path), bytes);
        ASSERT_EQ(prompter.shown().size(), 1u);
        EXPECT_EQ(prompter.shown()[0].text, "ファイルの構造が標準的でないため、書き込みを中止しました。\n" + path);
        EXPECT_EQ(prompter.shown()[0].icon, PromptIcon::Stop);
    }
    EXPECT_EQ(test::EntriesIn(dir.path()), cases.size());
}

TEST_F(RiffWrite, ATimeThatCannotBeSetBackLeavesTheWriteDone) {
    const std::string path = test::CopyCorpusFile("riff/rmp3_full_info_script.rmp", dir);
    fs::SetFaultHook([](const char* op, uint64_t) { return std::strcmp(op, "utime") == 0; });
    const bool written = Write(TitleRow(path, FileKind::RiffRmp3, "Timeless"));
    fs::SetFaultHook(nullptr);
    EXPECT_TRUE(written);
    EXPECT_EQ(ReadInfo(path, FileKind::RiffRmp3).texts[kTitle], "Timeless");
    ASSERT_EQ(prompter.shown().size(), 1u);
    EXPECT_EQ(prompter.shown()[0].text, std::string("FileTime SetError.\n") + std::strerror(EIO));
    EXPECT_EQ(prompter.shown()[0].icon, PromptIcon::None);
    EXPECT_EQ(test::EntriesIn(dir.path()), 1u);
}

TEST_F(RiffWrite, OpenAndAccessFailuresAreShown) {
    const std::string missing = dir / "missing.wav";
    EXPECT_FALSE(Write(TitleRow(missing, FileKind::RiffWave)));
    ASSERT_EQ(prompter.shown().size(), 1u);
    EXPECT_EQ(prompter.shown()[0].text, "ファイルを開けませんでした。\n" + missing);
    EXPECT_EQ(prompter.shown()[0].icon, PromptIcon::Stop);
    EXPECT_EQ(prompter.shown()[0].title, "wvr");

    // A row path is CP932: the message shows it in UTF-8.
    prompter.Clear();
    const std::string japanese = dir / "曲.rmp";
    std::string before = test::ReadFile(test::CorpusPath("riff/rmp3_full_info_script.rmp"));
    test::WriteFile(japanese, before);
    // The file opens for reading; the open for writing fails.
    static int opens;
    opens = 0;
    fs::SetFaultHook([](const char* op, uint64_t) { return std::strcmp(op, "open") == 0 && ++opens == 2; });
    EXPECT_FALSE(Write(TitleRow(Sjis(japanese), FileKind::RiffRmp3)));
    fs::SetFaultHook(nullptr);
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"ファイルへアクセスできませんでした。\n" + japanese});
    EXPECT_EQ(prompter.shown()[0].icon, PromptIcon::Stop);
    EXPECT_EQ(test::ReadFile(japanese), before);

    // Written through its CP932 path when nothing fails.
    prompter.Clear();
    EXPECT_TRUE(Write(TitleRow(Sjis(japanese), FileKind::RiffRmp3, Sjis("題"))));
    EXPECT_EQ(ReadInfo(japanese, FileKind::RiffRmp3).texts[kTitle], Sjis("題"));
}

// --- independent readers of what we wrote

TEST_F(RiffWrite, ExiftoolReadsTheTextsWeWrote) {
    if (!test::HasTool("exiftool")) GTEST_SKIP() << "exiftool is not installed";
    const std::string path = test::CopyCorpusFile("riff/wave_mp3_ffmpeg_info.wav", dir);
    TrackInfo row = Row(path, FileKind::RiffWave, FullRow());
    ASSERT_TRUE(Write(row));
    // -L hands the texts back as the bytes they are stored as (CP932 here).
    const std::string out = test::RunTool("exiftool -L -T -RIFF:Title -RIFF:Artist -RIFF:Product -RIFF:Comment -RIFF:Genre "
                                "-RIFF:Copyright -RIFF:Subject '" + path + "'");
    const std::string expected = row.Fields[kTitle] + "\t" + row.Fields[kArtist] + "\t" + row.Fields[kAlbum] + "\t" +
                                 row.Fields[kComment] + "\t" + row.Fields[kGenre] + "\t" + row.Fields[kCopyright] +
                                 "\t" + row.Fields[kSubject] + "\n";
    EXPECT_EQ(out, expected);
}
