// A file yet to be written, described as ranges of the file it replaces and new bytes. It reads
// like a file, so that a writer can walk the result with the same reader the loader uses and
// refuse a plan that would change what it must keep, before a single byte is written; then it
// is written out in one pass.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "formats/RiffChunks.h"

namespace wvr {

class Prompter;

class Splice : public riff::ByteSource {
public:
    explicit Splice(riff::ByteSource& original) : original_(original) {}

    // Appends n bytes of the original from `offset`.
    void Copy(uint64_t offset, uint64_t n);
    void Append(std::string_view bytes);

    uint64_t Size() const override { return size_; }
    bool Read(uint64_t offset, void* out, size_t n) override;
    // Writes the whole result; the copier reads the original's ranges from its file.
    bool WriteTo(riff::ChunkCopier& out) const;

private:
    struct Piece {
        uint64_t start = 0;         // in the result
        uint64_t length = 0;
        uint64_t sourceOffset = 0;  // for a range of the original
        std::string bytes;          // for new bytes (then `length` is their size)
        bool fromOriginal = false;
    };
    riff::ByteSource& original_;
    std::vector<Piece> pieces_;
    uint64_t size_ = 0;
};

// What a writer says when it refuses a file whose rewrite would change bytes it must keep
// (audio, chunks other than its own, the bytes a reader takes properties from): the file is
// left as it is. `shownPath` is UTF-8.
void ShowUnusualLayout(const std::string& shownPath, Prompter& prompter);

}  // namespace wvr
