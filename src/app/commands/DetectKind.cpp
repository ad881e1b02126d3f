#include "app/commands/DetectKind.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>

#include "formats/id3v2/TagHeader.h"
#include "formats/MacBinary.h"
#include "formats/MpegRiff.h"
#include "formats/SoundVq.h"
#include "platform/base/Cp932.h"
#include "platform/base/Prompter.h"

namespace wvr {
namespace {

uint32_t BigEndian32(const uint8_t* p) { return static_cast<uint32_t>(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3]; }

constexpr uint64_t kFrameHeaderSize = 3;  // the bytes of a frame that are looked at

FileKind DetectMacBinary(fs::File& file, const std::string& rowPath, const std::string& nativePath,
                         Prompter& prompter, HeaderBytes& header) {
    if (!DetectMacBinaryMpeg(file, header)) return FileKind::Unsupported;
    bool remove = prompter.YesNo(
        "このファイルはマックバイナリがついています。\n読み込む為に除去してもよろしいですか？\n\n" +
        cp932::ToUtf8(rowPath));
    if (!remove) return FileKind::Unsupported;
    file.Close();
    if (!RemoveMacBinary(nativePath, prompter)) return FileKind::Unsupported;
    return file.Open(nativePath, fs::File::Mode::Read) ? FileKind::Mpeg : FileKind::Unsupported;
}

// A plain file's Xing / Info / VBRI header, in its first frame (`head`, the file's first bytes).
std::optional<StreamCount> ReadPlainCount(std::string_view head) {
    if (head.size() < 4) return std::nullopt;
    const auto frame = ParseMpegFrame(reinterpret_cast<const uint8_t*>(head.data()));
    if (!frame) return std::nullopt;
    return ReadStreamCount(head, *frame);
}

}  // namespace

Detection DetectKind(const std::string& rowPath, Prompter& prompter, fs::File opened, TagReader reader,
                     size_t headBytes) {
    Detection d;
    d.file = std::move(opened);
    if (!d.file.IsOpen()) {
        auto native = fs::ToNative(rowPath);
        if (!native || !d.file.Open(*native, fs::File::Mode::Read)) return d;
    }
    // Every kind's mark and the VBR marker of a plain file in one read; with the ID3v2 reader,
    // a plain file's first frame too, and, as the caller asks, a whole small tag.
    const size_t least = reader == TagReader::Id3v2 ? kId3v2ReaderHeadBytes : kLeastHeadBytes;
    id3v2::ReadBytes head;
    const std::string_view bytes = id3v2::ReadInto(d.file, 0, std::max(headBytes, least), head);
    const auto* b = reinterpret_cast<const uint8_t*>(bytes.data());
    const size_t got = bytes.size();
    if (got < 3) return d;

    if (b[0] == 0xFF && b[1] > 0xF0) {
        d.kind = FileKind::Mpeg;
        d.header = {b[0], b[1], b[2]};
        // The variable-bit-rate marker: bits 5 and 4 of byte 2 and an "X" at offset 24.
        if ((b[2] & 0x30) == 0x30 && got > 24 && b[24] == 'X') d.header.b0 = 0;
        if (reader == TagReader::Id3v2) d.count = ReadPlainCount(bytes);
    } else if (b[0] == 'I' && b[1] == 'D' && b[2] == '3') {
        // Taken before the head's bytes go to the ID3v2 reader, which frees them when it finds no tag.
        const bool plainListingVersion = got >= 6 && b[3] < 4;
        if (reader == TagReader::Id3v2) {
            d.tagged = id3v2::LocateTaggedMpeg(d.file, std::move(head));
            if (d.tagged) {
                d.kind = FileKind::Id3v2Mpeg;
                d.reader = TagReader::Id3v2;
                d.header = d.tagged->first;
            }
        }
        // A header the ID3v2 reader cannot take is listed as without it.
        if (d.kind == FileKind::Unsupported && plainListingVersion) d.kind = FileKind::Id3v2Mpeg;
    } else if (b[0] == 'R') {
        d.kind = DetectMpegRiff(d.file, d.header);
    } else if (b[0] == 'T' && b[1] == 'W' && b[2] == 'I') {
        if (DetectSoundVq(d.file, d.header)) d.kind = FileKind::SoundVq;
    } else if (b[0] == 0x00) {
        if (auto native = fs::ToNative(rowPath)) d.kind = DetectMacBinary(d.file, rowPath, *native, prompter, d.header);
    }
    if (d.kind == FileKind::Unsupported) d.file.Close();
    return d;
}

size_t HeadBytesAfter(const Detection& d) {
    if (!d.tagged || !d.tagged->tagWhole) return 0;
    return static_cast<size_t>(d.tagged->tagEnd) + id3v2::kAudioLookBytes;
}

bool RemoveMacBinary(const std::string& nativePath, Prompter& prompter) {
    auto fail = [&] {
        prompter.Warning("マックバイナリの除去に失敗しました。");
        return false;
    };
    fs::File source;
    if (!source.Open(nativePath, fs::File::Mode::Read)) return fail();
    uint8_t length[4];
    if (!source.ReadExact(83, length, 4)) return fail();
    const uint64_t dataLength = BigEndian32(length);
    if (kMacBinaryHeaderBytes + dataLength > source.SizeAtOpen()) return fail();
    // The frame header that made the file an MPEG file lies in the data fork, or the wrapper
    // lies: unwrapping it would leave the user an empty file.
    if (dataLength < kFrameHeaderSize) return fail();
    // The data fork goes to a new file that replaces the wrapped one only when complete.
    fs::ReplacementFile target(nativePath);
    if (!target.Create() || !target.CopyFrom(source, kMacBinaryHeaderBytes, dataLength) || !target.Commit(nullptr))
        return fail();
    return true;
}

}  // namespace wvr
