#include "formats/Splice.h"

#include <algorithm>
#include <cstring>

#include "platform/base/Prompter.h"

namespace wvr {

void Splice::Copy(uint64_t offset, uint64_t n) {
    if (n == 0) return;
    // Neighbouring ranges are one piece: a file of many chunks is mostly copied in one run.
    if (!pieces_.empty() && pieces_.back().fromOriginal &&
        pieces_.back().sourceOffset + pieces_.back().length == offset) {
        pieces_.back().length += n;
    } else {
        pieces_.push_back({size_, n, offset, {}, true});
    }
    size_ += n;
}

void Splice::Append(std::string_view bytes) {
    if (bytes.empty()) return;
    pieces_.push_back({size_, bytes.size(), 0, std::string(bytes), false});
    size_ += bytes.size();
}

bool Splice::Read(uint64_t offset, void* out, size_t n) {
    if (offset > size_ || size_ - offset < n) return false;
    auto* to = static_cast<char*>(out);
    // The last piece that starts at or before the offset.
    auto piece = std::upper_bound(pieces_.begin(), pieces_.end(), offset,
                                  [](uint64_t at, const Piece& p) { return at < p.start; });
    for (--piece; n > 0; ++piece) {
        const uint64_t within = offset - piece->start;
        const auto take = static_cast<size_t>(std::min<uint64_t>(n, piece->length - within));
        if (piece->fromOriginal) {
            if (!original_.Read(piece->sourceOffset + within, to, take)) return false;
        } else {
            std::memcpy(to, piece->bytes.data() + within, take);
        }
        to += take;
        offset += take;
        n -= take;
    }
    return true;
}

bool Splice::WriteTo(riff::ChunkCopier& out) const {
    for (const Piece& piece : pieces_)
        if (!(piece.fromOriginal ? out.Copy(piece.sourceOffset, piece.length) : out.Append(piece.bytes))) return false;
    return true;
}

void ShowUnusualLayout(const std::string& shownPath, Prompter& prompter) {
    prompter.Error("ファイルの構造が標準的でないため、書き込みを中止しました。\n" + shownPath);
}

}  // namespace wvr
