// Recognising the kind of a file from its first bytes, and unwrapping MacBinary files.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/commands/DetectKind.h"
#include "support/TestSupport.h"

using namespace wvr;
using test::ScriptedPrompter;
using test::TempDir;

namespace {

std::string LittleEndian32(uint32_t v) {
    return {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16), static_cast<char>(v >> 24)};
}

std::string Chunk(const std::string& id, const std::string& data) { return id + LittleEndian32(data.size()) + data; }

std::string Riff(const std::string& form, const std::string& chunks) {
    return "RIFF" + LittleEndian32(4 + chunks.size()) + form + chunks;
}

const std::string kFrame = "\xFF\xFB\x90\x64" + std::string(60, '\x55');  // MPEG-1 Layer III, 128 kbit/s
const std::string kPcm = std::string(64, '\x01');

class DetectKindTest : public ::testing::Test {
protected:
    Detection Detect(const std::string& bytes, const std::string& name = "file") {
        test::WriteFile(dir / name, bytes);
        return DetectKind(dir / name, prompter);
    }
    FileKind KindOf(const std::string& bytes) { return Detect(bytes).kind; }

    TempDir dir;
    ScriptedPrompter prompter;
};

void ExpectHeader(const Detection& d, uint8_t b0, uint8_t b1, uint8_t b2) {
    EXPECT_EQ(d.header.b0, b0);
    EXPECT_EQ(d.header.b1, b1);
    EXPECT_EQ(d.header.b2, b2);
}

}  // namespace

TEST_F(DetectKindTest, PlainMpegNeedsTheSyncByteAndASecondByteAboveF0) {
    Detection d = Detect("\xFF\xF1\x28");
    EXPECT_EQ(d.kind, FileKind::Mpeg);
    ExpectHeader(d, 0xFF, 0xF1, 0x28);
    EXPECT_TRUE(d.file.IsOpen()) << "the readers go on reading the open file";
    EXPECT_EQ(KindOf("\xFF\xF0\x28"), FileKind::Unsupported);
    EXPECT_EQ(KindOf("\xFF\xE3\x28"), FileKind::Unsupported) << "MPEG-2.5";
    EXPECT_EQ(KindOf("\xFE\xFB\x90"), FileKind::Unsupported);
}

TEST_F(DetectKindTest, VariableBitRateMarkerNeedsBothBitsAndAnXAtOffset24) {
    std::string marked = "\xFF\xFB\x70" + std::string(21, '\0') + "Xing" + std::string(40, '\0');
    ExpectHeader(Detect(marked), 0x00, 0xFB, 0x70);

    std::string oneBit = marked;
    oneBit[2] = '\x50';  // bits 5 and 4 are 01
    ExpectHeader(Detect(oneBit), 0xFF, 0xFB, 0x50);

    std::string noX = marked;
    noX[24] = 'x';
    ExpectHeader(Detect(noX), 0xFF, 0xFB, 0x70);

    // Too short to hold offset 24: still a plain MPEG file with its own first byte.
    Detection shortFile = Detect("\xFF\xFB\x70\x00");
    EXPECT_EQ(shortFile.kind, FileKind::Mpeg);
    EXPECT_EQ(shortFile.header.b0, 0xFF);
}

TEST_F(DetectKindTest, Id3v2BelowVersionFourOnly) {
    EXPECT_EQ(KindOf(std::string("ID3\x03\x00\x00", 6) + kFrame), FileKind::Id3v2Mpeg);
    EXPECT_EQ(KindOf(std::string("ID3\x02\x00\x00", 6) + kFrame), FileKind::Id3v2Mpeg);
    EXPECT_EQ(KindOf(std::string("ID3\x04\x00\x00", 6) + kFrame), FileKind::Unsupported);
    // The version bytes must be there to be read.
    EXPECT_EQ(KindOf("ID3"), FileKind::Unsupported);
    EXPECT_EQ(KindOf("ID3\x03"), FileKind::Unsupported);
}

TEST_F(DetectKindTest, Rmp3TakesItsHeaderAtOffset20) {
    Detection d = Detect(Riff("RMP3", Chunk("data", kFrame)));
    EXPECT_EQ(d.kind, FileKind::RiffRmp3);
    ExpectHeader(d, 0xFF, 0xFB, 0x90);
    EXPECT_EQ(KindOf(Riff("RMP3", Chunk("data", kPcm))), FileKind::Unsupported);
    EXPECT_EQ(KindOf(Riff("RMP3", "")), FileKind::Unsupported);
}

TEST_F(DetectKindTest, WaveWalksItsChunksToTheDataChunk) {
    const std::string fmt = Chunk("fmt ", std::string(30, '\0'));
    const std::string fact = Chunk("fact", std::string(4, '\0'));
    const std::string info = Chunk("LIST", "INFO" + Chunk("INAM", "Title"));
    Detection d = Detect(Riff("WAVE", fmt + fact + info + Chunk("data", kFrame)));
    EXPECT_EQ(d.kind, FileKind::RiffWave);
    ExpectHeader(d, 0xFF, 0xFB, 0x90);

    EXPECT_EQ(KindOf(Riff("WAVE", fmt + Chunk("data", kPcm))), FileKind::Unsupported) << "PCM data";
    EXPECT_EQ(KindOf(Riff("WAVE", fmt + fact)), FileKind::Unsupported) << "no data chunk";
    EXPECT_EQ(KindOf(Riff("WAVE", fmt + Chunk("data", ""))), FileKind::Unsupported) << "empty data chunk";
    // A size that points far past the end ends the walk instead of looping or reading beyond.
    EXPECT_EQ(KindOf(Riff("WAVE", "fmt " + LittleEndian32(0xFFFFFFFF) + kFrame)), FileKind::Unsupported);
    EXPECT_EQ(KindOf(Riff("AVI ", Chunk("data", kFrame))), FileKind::Unsupported) << "other form";
}

TEST_F(DetectKindTest, WaveChunksAreSkippedByTheirStoredSizesWithoutPadding) {
    // An odd-sized chunk directly followed by "data": the walk steps by the size as stored.
    std::string odd = Chunk("fmt ", std::string(29, '\0'));
    EXPECT_EQ(KindOf(Riff("WAVE", odd + Chunk("data", kFrame))), FileKind::RiffWave);
    EXPECT_EQ(KindOf(Riff("WAVE", odd + '\0' + Chunk("data", kFrame))), FileKind::Unsupported);
}

TEST_F(DetectKindTest, SoundVqTakesItsPropertyBytesFromTheCommonChunk) {
    std::string comm = "COMM" + std::string("\x00\x00\x00\x0C", 4) + std::string("\x00\x00\x00\x01", 4) +
                       std::string("\x00\x00\x00\x14", 4) + std::string("\x00\x00\x00\x16", 4);
    std::string header = "TWIN97012000" + std::string("\x00\x00\x00\x40", 4) + comm + std::string(40, '\0');
    Detection d = Detect(header);
    EXPECT_EQ(d.kind, FileKind::SoundVq);
    ExpectHeader(d, 0x01, 0x14, 0x16);

    std::string otherVersion = header;
    otherVersion[11] = '1';
    EXPECT_EQ(KindOf(otherVersion), FileKind::Unsupported);
    std::string noComm = header;
    noComm.replace(16, 4, "NAME");
    EXPECT_EQ(KindOf(noComm), FileKind::Unsupported);
    EXPECT_EQ(KindOf(header.substr(0, 30)), FileKind::Unsupported) << "cut inside the common chunk";
}

TEST_F(DetectKindTest, ShortEmptyAndForeignFilesAreNotRecognised) {
    EXPECT_EQ(KindOf(""), FileKind::Unsupported);
    EXPECT_EQ(KindOf("\xFF"), FileKind::Unsupported);
    EXPECT_EQ(KindOf("\xFF\xFB"), FileKind::Unsupported);
    EXPECT_EQ(KindOf("OggS\x00\x02"), FileKind::Unsupported);
    EXPECT_EQ(KindOf(std::string(10, '\0')), FileKind::Unsupported) << "too short for a MacBinary header";
    EXPECT_TRUE(prompter.shown().empty());
}

TEST_F(DetectKindTest, FoldersMissingFilesAndDanglingLinksAreNotRecognised) {
    std::filesystem::create_directory(dir / "folder.mp3");
    EXPECT_EQ(DetectKind(dir / "folder.mp3", prompter).kind, FileKind::Unsupported);
    EXPECT_EQ(DetectKind(dir / "missing.mp3", prompter).kind, FileKind::Unsupported);
    std::filesystem::create_symlink(dir / "missing.mp3", dir / "dangling.mp3");
    EXPECT_EQ(DetectKind(dir / "dangling.mp3", prompter).kind, FileKind::Unsupported);
}

TEST_F(DetectKindTest, LinkToAMusicFileIsReadThroughTheLink) {
    test::WriteFile(dir / "real.mp3", kFrame);
    std::filesystem::create_symlink(dir / "real.mp3", dir / "link.mp3");
    EXPECT_EQ(DetectKind(dir / "link.mp3", prompter).kind, FileKind::Mpeg);
}

// --- MacBinary

namespace {

const std::string kQuestion =
    "このファイルはマックバイナリがついています。\n読み込む為に除去してもよろしいですか？\n\n";
const std::string kRemovalFailed = "マックバイナリの除去に失敗しました。";

uint32_t DataForkLength(const std::string& wrapped) {
    auto b = [&](int i) { return static_cast<uint32_t>(static_cast<unsigned char>(wrapped[83 + i])); };
    return b(0) << 24 | b(1) << 16 | b(2) << 8 | b(3);
}

class MacBinaryTest : public DetectKindTest {
protected:
    void SetUp() override {
        path = test::CopyCorpusFile("macbinary/macbinary_wrapped_script.mp3", dir);
        wrapped = test::ReadFile(path);
    }
    std::string path, wrapped;
};

}  // namespace

TEST_F(MacBinaryTest, NoLeavesTheFileAsItWasAndUnlisted) {
    prompter.Answer(PromptAnswer::No);
    EXPECT_EQ(DetectKind(path, prompter).kind, FileKind::Unsupported);
    ASSERT_EQ(prompter.shown().size(), 1u);
    const Prompt& question = prompter.shown()[0];
    EXPECT_EQ(question.text, kQuestion + path);
    EXPECT_EQ(question.title, "wvr");
    EXPECT_EQ(question.icon, PromptIcon::Question);
    EXPECT_EQ(question.buttons, PromptButtons::YesNo);
    EXPECT_EQ(test::ReadFile(path), wrapped);
}

TEST_F(MacBinaryTest, YesRewritesTheFileAsItsDataForkAndListsIt) {
    prompter.Answer(PromptAnswer::Yes);
    Detection d = DetectKind(path, prompter);
    EXPECT_EQ(d.kind, FileKind::Mpeg);
    ExpectHeader(d, 0xFF, 0xF3, 0x10);
    EXPECT_EQ(test::ReadFile(path), wrapped.substr(128, DataForkLength(wrapped)));
    EXPECT_EQ(d.file.SizeAtOpen(), DataForkLength(wrapped)) << "the readers see the unwrapped file";
    EXPECT_EQ(test::EntriesIn(dir.path()), 1u) << "no temporary file is left";
    // Unwrapped, the file is plain MPEG and no longer asks.
    prompter.Clear();
    EXPECT_EQ(DetectKind(path, prompter).kind, FileKind::Mpeg);
    EXPECT_TRUE(prompter.shown().empty());
}

TEST_F(MacBinaryTest, WrapperWithoutMpegOrWithNonZeroMarkersIsNotAsked) {
    EXPECT_EQ(DetectKind(test::CopyCorpusFile("macbinary/macbinary_text_notlisted.mp3", dir), prompter).kind,
              FileKind::Unsupported);
    for (size_t marker : {74u, 82u}) {
        std::string changed = wrapped;
        changed[marker] = '\x01';
        EXPECT_EQ(KindOf(changed), FileKind::Unsupported) << "byte " << marker;
    }
    EXPECT_TRUE(prompter.shown().empty());
}

TEST_F(MacBinaryTest, DataForkLongerThanTheFileFailsWithTheWarning) {
    std::string lying = wrapped;
    lying.replace(83, 4, std::string("\x00\x10\x00\x00", 4));
    test::WriteFile(path, lying);
    prompter.Answer(PromptAnswer::Yes);
    EXPECT_EQ(DetectKind(path, prompter).kind, FileKind::Unsupported);
    ASSERT_EQ(prompter.shown().size(), 2u);
    EXPECT_EQ(prompter.shown()[1].text, kRemovalFailed);
    EXPECT_EQ(prompter.shown()[1].icon, PromptIcon::Warning);
    EXPECT_EQ(prompter.shown()[1].title, "wvr");
    EXPECT_EQ(test::ReadFile(path), lying);
}

TEST_F(MacBinaryTest, DataForkTooShortForTheFrameHeaderFailsWithTheWarning) {
    // The MPEG audio after the header would be thrown away with the wrapper.
    for (const char* length : {"\x00\x00\x00\x00", "\x00\x00\x00\x02"}) {
        std::string lying = wrapped;
        lying.replace(83, 4, std::string(length, 4));
        test::WriteFile(path, lying);
        prompter.Clear();
        prompter.Answer(PromptAnswer::Yes);
        EXPECT_EQ(DetectKind(path, prompter).kind, FileKind::Unsupported);
        EXPECT_EQ(prompter.texts().back(), kRemovalFailed);
        EXPECT_EQ(test::ReadFile(path), lying);
    }
}
