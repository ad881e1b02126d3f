// One list row = one file: its file-name column, the 17 tag texts, the audio properties and
// the check mark. Every text is CP932 bytes; numbers are kept as decimal text.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <string>
#include <utility>

namespace wvr {

enum class FileKind : int {
    Unsupported = 0,
    Mpeg = 1,       // plain MPEG audio (also after a MacBinary header was removed)
    RiffWave = 2,   // RIFF WAVE whose data chunk holds MPEG audio
    RiffRmp3 = 3,   // RIFF RMP3
    Id3v2Mpeg = 4,  // MPEG with a leading ID3v2 tag (below version 2.4 unless the ID3v2 reader read it)
    SoundVq = 15,
};

inline constexpr int kFieldCount = 17;        // Fields[0]..Fields[16]
inline constexpr int kColumnCount = 15;       // column 0 FileName, 1..14 Fields[0..13]
inline constexpr int kIndexedTextCount = 22;  // Fields[0..16], AudioSize, Path, Kind, InfoText, Seconds

// Tag field indexes.
enum Field : int {
    kTitle = 0,
    kArtist,
    kAlbum,
    kComment,
    kDate,
    kGenre,
    kCopyright,
    kEngineer,
    kSource,
    kSoftware,
    kKeywords,
    kTechnician,
    kLyrics,
    kCommission,
    kMedium,
    kSubject,
    kMp3Field,
};

// Indexes of the texts after the fields, in the order of the indexed texts.
enum IndexedText : int {
    kAudioSizeText = 17,
    kPathText = 18,
    kKindText = 19,
    kInfoTextText = 20,
    kSecondsText = 21,
};

// How a row's tag texts were read. A writer acts on this, never on a setting read later: a row
// read with six texts must not be written as if its other fields had been emptied.
enum class TagReader : uint8_t {
    Kind,   // the readers of the row's kind; a file with an ID3v2 tag gives six texts, never written
    Id3v2,  // the ID3v2 reader: every field of the tag, written back into it
};

struct TagReading {
    TagReader reader = TagReader::Kind;
    std::bitset<kFieldCount> lossy;             // characters CP932 lacks, or cut
    std::bitset<kFieldCount> shiftJisInLatin1;  // Shift-JIS read from a frame marked Latin-1

    bool operator==(const TagReading&) const = default;
};

struct TrackInfo {
    std::string FileName;
    std::array<std::string, kFieldCount> Fields;
    std::string AudioSize;
    std::string Path;
    std::string Kind;
    std::string InfoText;
    std::string Seconds;
    bool Checked = false;
    TagReading Reading;

    // The 22 indexed texts: 0..16 Fields, 17 AudioSize, 18 Path, 19 Kind, 20 InfoText, 21 Seconds.
    std::string& Text(int index) { return const_cast<std::string&>(std::as_const(*this).Text(index)); }
    const std::string& Text(int index) const {
        if (index >= 0 && index < kFieldCount) return Fields[index];
        switch (index) {
        case kAudioSizeText: return AudioSize;
        case kPathText: return Path;
        case kKindText: return Kind;
        case kInfoTextText: return InfoText;
        default: return Seconds;
        }
    }

    // Column n: 0 FileName, 1..14 Fields[n-1].
    std::string& Column(int column) { return column == 0 ? FileName : Fields[column - 1]; }
    const std::string& Column(int column) const { return column == 0 ? FileName : Fields[column - 1]; }

    int KindCode() const;
    long long AudioSizeValue() const;
    long long SecondsValue() const;

    bool operator==(const TrackInfo&) const = default;
};

// Plain decimal text to integer: optional sign and digits; anything else gives 0.
long long DecimalValue(const std::string& text);

}  // namespace wvr
