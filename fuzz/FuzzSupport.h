// What the fuzz targets share: a scratch file that each input is written to, a prompter that
// answers yes to everything, and the split of an input into a file image and row texts.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

#include "formats/SjisText.h"
#include "formats/TrackInfo.h"
#include "platform/base/FileOps.h"
#include "platform/base/Prompter.h"

namespace wvr::fuzz {

// Stops the run with a message: libFuzzer saves the input that got here.
[[noreturn]] inline void Fail(const char* what) {
    std::fprintf(stderr, "property broken: %s\n", what);
    std::abort();
}
#define WVR_FUZZ_EXPECT(condition) \
    do {                            \
        if (!(condition)) ::wvr::fuzz::Fail(#condition); \
    } while (false)

// Lines of a fuzzed input, as the readers of text files see them.
inline std::vector<std::string> InputLines(std::string_view bytes) {
    std::vector<std::string> lines;
    while (!bytes.empty()) {
        const size_t end = std::min(bytes.find('\n'), bytes.size());
        lines.emplace_back(bytes.substr(0, end));
        bytes.remove_prefix(std::min(end + 1, bytes.size()));
    }
    return lines;
}

// A row whose texts (file name, the 17 fields, audio size, path, kind, seconds) are the lines.
inline TrackInfo RowOfLines(const std::vector<std::string>& lines, size_t first) {
    TrackInfo row;
    auto line = [&](size_t i) { return first + i < lines.size() ? lines[first + i] : std::string(); };
    row.FileName = line(0);
    for (size_t i = 0; i < kFieldCount; ++i) row.Fields[i] = line(1 + i);
    row.AudioSize = line(1 + kFieldCount);
    row.Path = line(2 + kFieldCount);
    row.Kind = line(3 + kFieldCount);
    row.Seconds = line(4 + kFieldCount);
    return row;
}
inline constexpr size_t kRowLines = 5 + kFieldCount;

class YesPrompter : public Prompter {
public:
    PromptAnswer Ask(const Prompt& prompt) override {
        ++shown;
        return prompt.buttons == PromptButtons::YesNo ? PromptAnswer::Yes : PromptAnswer::Ok;
    }
    int shown = 0;
};

// Answers no: for readers that may be led to any file of the machine, which must not be
// unwrapped or otherwise changed on a fuzzed say-so.
class NoPrompter : public Prompter {
public:
    PromptAnswer Ask(const Prompt& prompt) override {
        return prompt.buttons == PromptButtons::YesNo ? PromptAnswer::No
               : prompt.buttons == PromptButtons::OkCancel ? PromptAnswer::Cancel
                                                           : PromptAnswer::Ok;
    }
};

// A folder of its own in memory where there is one (/dev/shm), removed at exit.
inline const std::string& ScratchFolder() {
    // Plain bytes, which outlive the strings that exit destroys before running the removal.
    static char removeAtExit[64];
    static const std::string folder = [] {
        std::string pattern = (access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") + std::string("/wvr-fuzz-XXXXXX");
        if (!mkdtemp(pattern.data())) std::abort();
        pattern.copy(removeAtExit, sizeof removeAtExit - 1);
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(removeAtExit, ignored);
        });
        return pattern;
    }();
    return folder;
}

inline std::string ScratchPath(const std::string& name) { return ScratchFolder() + "/" + name; }

// Writes the bytes as the whole file (without the file layer, whose faults are not fuzzed).
inline void WriteScratch(const std::string& path, std::string_view bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || std::fclose(f) != 0) std::abort();
}

// Nothing but the file itself may be left in the folder by a writer.
inline size_t ScratchEntries() {
    size_t n = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(ScratchFolder())) ++n;
    return n;
}

inline std::string ReadScratch(const std::string& path) {
    auto bytes = fs::ReadWholeFile(path);
    if (!bytes) std::abort();
    return *bytes;
}

// A writer's input: the file image, then the row's texts one per line, then a byte of flags and
// a byte giving the length of the texts. Seeds are test files with texts appended this way
// (fuzz/run.sh).
struct WriterInput {
    std::string image;
    std::array<std::string, kFieldCount> fields;
    uint8_t flags = 0;
};

inline WriterInput SplitWriterInput(const uint8_t* data, size_t size) {
    WriterInput input;
    std::string_view all(reinterpret_cast<const char*>(data), size);
    if (all.size() < 2) return input;
    input.flags = static_cast<uint8_t>(all[all.size() - 2]);
    const size_t declaredLength = static_cast<uint8_t>(all.back());
    all.remove_suffix(2);
    const size_t textLength = std::min(declaredLength, all.size());
    input.image = std::string(all.substr(0, all.size() - textLength));
    std::string_view texts = all.substr(input.image.size(), textLength);
    for (size_t field = 0; field < kFieldCount && !texts.empty(); ++field) {
        const size_t end = std::min(texts.find('\n'), texts.size());
        // Texts as a row holds them: without zero bytes, trimmed.
        std::string text;
        for (char c : texts.substr(0, end))
            if (c != '\0') text += c;
        input.fields[field] = sjis::Trim(text);
        texts.remove_prefix(std::min(end + 1, texts.size()));
    }
    return input;
}

}  // namespace wvr::fuzz
