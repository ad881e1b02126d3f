// The LIST/INFO list of RIFF RMP3 and WAVE files: one sub-chunk per tag field, optionally
// followed by an "IID3" sub-chunk holding a copy of the ID3v1 block. Read for the loader,
// built from a row, and written by rebuilding the file so that a failure loses nothing.
#pragma once

#include <array>
#include <string>

#include "formats/Id3v1.h"
#include "formats/RiffChunks.h"
#include "formats/TrackInfo.h"

namespace wvr {

class Prompter;

namespace fs {
class File;
}

namespace info {
inline constexpr riff::FourCC kListType("INFO");
inline constexpr riff::FourCC kId3Chunk("IID3");
// The sub-chunk id of each field, in the order they are read and written.
inline constexpr std::array<riff::FourCC, kFieldCount> kIds = {
    riff::FourCC("INAM"), riff::FourCC("IART"), riff::FourCC("IPRD"), riff::FourCC("ICMT"), riff::FourCC("ICRD"),
    riff::FourCC("IGNR"), riff::FourCC("ICOP"), riff::FourCC("IENG"), riff::FourCC("ISRC"), riff::FourCC("ISFT"),
    riff::FourCC("IKEY"), riff::FourCC("ITCH"), riff::FourCC("ILYC"), riff::FourCC("ICMS"), riff::FourCC("IMED"),
    riff::FourCC("ISBJ"), riff::FourCC("IMP3")};
// Fields before this index are written even when empty; the rest only when they hold text.
inline constexpr int kAlwaysWritten = 10;
// A text is read whole up to this many bytes, which no tag text reaches but a hostile size may.
inline constexpr uint64_t kMaxTextBytes = 1 << 20;
}  // namespace info

struct RiffInfoList {
    bool formFound = false;   // RIFF form "WAVE" (kind 2) / "RMP3" (kind 3) present
    bool infoFound = false;   // a LIST of type "INFO" was found after it
    long long audioSize = 0;  // AudioSize to use when infoFound
    std::array<std::string, kFieldCount> texts;  // the 17 INFO texts (empty where absent)
};

// The text of the sub-chunk `id` of an INFO list, up to its first zero byte; empty when absent.
// Each search starts again at the beginning of the list.
std::string ReadInfoText(riff::ChunkReader& reader, const riff::Chunk& list, riff::FourCC id);

// The INFO list of a WAVE (kind 2) or RMP3 (kind 3) file. AudioSize is the position just after
// "INFO", or, when the list stands before the "data" chunk, the end of that chunk's data.
RiffInfoList ReadRiffInfo(riff::ByteSource& source, FileKind kind);
RiffInfoList ReadRiffInfo(fs::File& file, FileKind kind);

// The whole LIST chunk for a row, with the IID3 sub-chunk when a block is given.
std::string BuildInfoList(const TrackInfo& row, const Id3v1Tag* id3Block);

// Replaces the INFO list of the row's file (kind 2 or 3) by one built from the row; every
// other chunk and all audio are kept, and the file's last-write time is kept.
bool WriteRiffInfo(const TrackInfo& row, const Id3v1Tag& id3Block, bool addId3Chunk, Prompter& prompter);

}  // namespace wvr
