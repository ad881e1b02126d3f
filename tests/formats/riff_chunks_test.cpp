#include <gtest/gtest.h>

#include <string>

#include "formats/RiffChunks.h"
#include "platform/base/FileOps.h"
#include "support/TestSupport.h"

using namespace wvr;
using namespace wvr::riff;

namespace {

std::string U32(uint32_t v) {
    return {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16), static_cast<char>(v >> 24)};
}

// A chunk as stored, with its pad byte when the data is odd.
std::string Raw(const std::string& id, const std::string& data) {
    return id + U32(static_cast<uint32_t>(data.size())) + data + (data.size() % 2 ? std::string(1, '\0') : "");
}

std::string Typed(const std::string& id, const std::string& type, const std::string& body) {
    return Raw(id, type + body);
}

// RIFF WAVE: fmt (odd, padded), LIST/INFO with INAM, data.
std::string SampleWave() {
    const std::string list = Typed("LIST", "INFO", Raw("INAM", std::string("Hi\0", 3)));
    return Typed("RIFF", "WAVE", Raw("fmt ", "12345") + list + Raw("data", "abcd"));
}

}  // namespace

TEST(RiffChunkReader, DescendsByFormListAndIdAndAscendsPastPads) {
    const std::string bytes = SampleWave();
    BufferSource source(bytes);
    ChunkReader reader(source);

    auto form = reader.Descend(nullptr, Search::Form("WAVE"));
    ASSERT_TRUE(form);
    EXPECT_EQ(form->offset, 0u);
    EXPECT_EQ(reader.Position(), 12u);  // after the form type

    auto fmt = reader.Descend(&*form, Search::Id("fmt "));
    ASSERT_TRUE(fmt);
    EXPECT_EQ(fmt->size, 5u);
    EXPECT_TRUE(fmt->padPresent);
    EXPECT_EQ(reader.Position(), fmt->DataOffset());
    reader.Ascend(*fmt);
    EXPECT_EQ(reader.Position(), 12u + 8 + 5 + 1);

    auto list = reader.Descend(&*form, Search::List("INFO"));
    ASSERT_TRUE(list);
    EXPECT_EQ(list->offset, 26u);
    EXPECT_EQ(reader.Position(), list->DataOffset() + 4);
    auto name = reader.Descend(&*list, Search::Id("INAM"));
    ASSERT_TRUE(name);
    EXPECT_EQ(reader.ReadData(*name, 100), std::string("Hi\0", 3));

    // The search inside the list stops at its end: "data" lies beyond it.
    reader.Seek(list->DataOffset() + 4);
    EXPECT_FALSE(reader.Descend(&*list, Search::Id("data")));
    // Searches go forward only: "fmt " lies behind the list.
    reader.Seek(list->offset);
    EXPECT_FALSE(reader.Descend(&*form, Search::Id("fmt ")));
    reader.Seek(list->offset);
    auto data = reader.Descend(&*form, Search::Id("data"));
    ASSERT_TRUE(data);
    EXPECT_EQ(data->DataEnd(), bytes.size());

    // The type must match the kind searched: a LIST search does not take a RIFF, nor the other way round.
    reader.Seek(0);
    EXPECT_FALSE(reader.Descend(nullptr, Search::Form("RMP3")));
    reader.Seek(0);
    EXPECT_FALSE(reader.Descend(nullptr, Search::List("WAVE")));
    reader.Seek(12);
    EXPECT_FALSE(reader.Descend(&*form, Search::Form("INFO")));
}

TEST(RiffChunkReader, SizesAreClampedToTheParent) {
    // A data chunk claiming 4 GB inside a 40-byte file, and a form that claims more than the file.
    const std::string bytes = "RIFF" + U32(0xFFFFFFF0) + "WAVE" + "data" + U32(0xFFFFFFFF) + std::string(20, 'x');
    BufferSource source(bytes);
    ChunkReader reader(source);
    auto form = reader.Descend(nullptr, Search::Form("WAVE"));
    ASSERT_TRUE(form);
    EXPECT_EQ(form->DataEnd(), bytes.size());
    auto data = reader.Descend(&*form, Search::Id("data"));
    ASSERT_TRUE(data);
    EXPECT_EQ(data->storedSize, 0xFFFFFFFFu);
    EXPECT_EQ(data->size, 20u);
    EXPECT_FALSE(data->Intact());
    EXPECT_EQ(reader.ReadData(*data, 1 << 20)->size(), 20u);
    reader.Ascend(*data);
    EXPECT_FALSE(reader.ReadHeader(form->DataEnd()));
}

TEST(RiffChunkReader, OddLastChunkWithoutPadAndCutHeaders) {
    // The form ends right after an odd chunk's data: no pad byte, and nothing more to find.
    std::string bytes = "RIFF" + U32(4 + 8 + 3) + "WAVE" + "data" + U32(3) + "abc";
    BufferSource source(bytes);
    ChunkReader reader(source);
    auto form = reader.Descend(nullptr, Search::Form("WAVE"));
    auto data = reader.Descend(&*form, Search::Id("data"));
    ASSERT_TRUE(data);
    EXPECT_FALSE(data->padPresent);
    EXPECT_FALSE(data->Intact());
    EXPECT_EQ(data->End(), bytes.size());

    // Fewer than 8 bytes left: no header; a LIST too short to hold its type has no type.
    const std::string cut = "RIFF" + U32(100) + "WAVE" + "LIS";
    BufferSource cutSource(cut);
    ChunkReader cutReader(cutSource);
    auto cutForm = cutReader.Descend(nullptr, Search::Form("WAVE"));
    ASSERT_TRUE(cutForm);
    EXPECT_FALSE(cutReader.Descend(&*cutForm, Search::Id("LIS ")));
    const std::string shortList = "RIFF" + U32(14) + "WAVE" + "LIST" + U32(2) + "IN";
    BufferSource shortSource(shortList);
    ChunkReader shortReader(shortSource);
    auto shortForm = shortReader.Descend(nullptr, Search::Form("WAVE"));
    ASSERT_TRUE(shortForm);
    EXPECT_FALSE(shortReader.Descend(&*shortForm, Search::List("IN\0\0")));
    shortReader.Seek(12);
    EXPECT_TRUE(shortReader.Descend(&*shortForm, Search::Id("LIST")));
}

TEST(RiffChunkReader, ZeroSizeChunksEndAndTheCountIsCapped) {
    // 200,000 empty chunks: each step moves on, and a search gives up at the cap.
    std::string body;
    for (int i = 0; i < 200000; ++i) body += "zero" + U32(0);
    const std::string bytes = "RIFF" + U32(static_cast<uint32_t>(4 + body.size() + 12)) + "WAVE" + body +
                              "data" + U32(4) + "abcd";
    BufferSource source(bytes);
    ChunkReader reader(source);
    auto form = reader.Descend(nullptr, Search::Form("WAVE"));
    ASSERT_TRUE(form);
    EXPECT_FALSE(reader.Descend(&*form, Search::Id("data")));
    EXPECT_EQ(reader.Position(), 12u + 8u * ChunkReader::kMaxChunksPerSearch);
}

TEST(RiffChunkReader, ReadsFromAnOpenFile) {
    test::TempDir dir;
    test::WriteFile(dir / "a.wav", SampleWave());
    fs::File file;
    ASSERT_TRUE(file.Open(dir / "a.wav", fs::File::Mode::Read));
    FileSource source(file);
    ChunkReader reader(source);
    auto form = reader.Descend(nullptr, Search::Form("WAVE"));
    ASSERT_TRUE(form);
    auto data = reader.Descend(&*form, Search::Id("data"));
    ASSERT_TRUE(data);
    EXPECT_EQ(reader.ReadData(*data, 2), "ab");
}

// The files that broke other readers: walking every chunk, and searching for one that is not
// there, ends and stays inside the file.
TEST(RiffChunkReader, HostileThirdPartyFiles) {
    for (const char* name : {"segfault.wav", "infloop.wav", "zero-size-chunk.wav", "invalid-chunk.wav",
                             "duplicate_tags.wav"}) {
        SCOPED_TRACE(name);
        const std::string bytes = test::ReadFile(test::CorpusPath(std::string("thirdparty/taglib/") + name));
        ASSERT_FALSE(bytes.empty());
        BufferSource source(bytes);
        ChunkReader reader(source);
        auto form = reader.Descend(nullptr, Search::Form("WAVE"));
        ASSERT_TRUE(form);
        EXPECT_LE(form->DataEnd(), bytes.size());
        int chunks = 0;
        while (auto chunk = reader.ReadHeader(form->DataEnd())) {
            EXPECT_LE(chunk->End(), form->DataEnd());
            EXPECT_GT(chunk->End(), chunk->offset);
            reader.Ascend(*chunk);
            ++chunks;
        }
        EXPECT_LT(chunks, 20);
        reader.Seek(12);
        EXPECT_FALSE(reader.Descend(&*form, Search::Id("none")));
    }
}

TEST(RiffChunkWriter, AscendWritesSizesAndPads) {
    ChunkWriter writer;
    auto form = writer.CreateForm("RMP3");
    auto odd = writer.CreateChunk("odd ");
    writer.Write("abc");
    writer.Ascend(odd);
    auto list = writer.CreateList("INFO");
    auto even = writer.CreateChunk("INAM");
    writer.Write("ab");
    writer.Ascend(even);
    auto empty = writer.CreateChunk("IART");
    writer.Ascend(empty);
    writer.Ascend(list);
    writer.Ascend(form);

    const std::string expected =
        "RIFF" + U32(4 + 12 + 12 + 10 + 8) + "RMP3" + "odd " + U32(3) + std::string("abc\0", 4) + "LIST" +
        U32(4 + 10 + 8) + "INFO" + "INAM" + U32(2) + "ab" + "IART" + U32(0);
    EXPECT_EQ(writer.bytes(), expected);

    // What the writer builds, the reader finds again.
    BufferSource source(writer.bytes());
    ChunkReader reader(source);
    auto readForm = reader.Descend(nullptr, Search::Form("RMP3"));
    ASSERT_TRUE(readForm);
    auto readList = reader.Descend(&*readForm, Search::List("INFO"));
    ASSERT_TRUE(readList);
    EXPECT_EQ(readList->End(), writer.bytes().size());
    EXPECT_TRUE(reader.Descend(&*readList, Search::Id("IART")));
}
