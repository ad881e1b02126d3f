// The tool commands at scale: the random fill of the selection and find over 100,000 rows,
// and conversion against a plain copy of the same bytes (targets: select and find well under
// a second; conversion within twice the copy). Prints the best of several runs.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

#include "app/commands/Convert.h"
#include "app/commands/Find.h"
#include "app/commands/Select.h"
#include "formats/RiffChunks.h"
#include "platform/base/Cp932.h"
#include "platform/base/Prompter.h"

namespace {

using Clock = std::chrono::steady_clock;

double BestOf(int runs, const std::function<void()>& work) {
    double best = 1e9;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        work();
        best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
    }
    return best;
}

wvr::RowList MakeRows(int count) {
    const char* const words[] = {"春の", "小川", "Blue", "sky", "夜明け", "ソング", "Live", "ｱﾆﾒ", "rock", "歌"};
    std::mt19937 random(11);
    std::vector<wvr::TrackInfo> rows(count);
    for (int i = 0; i < count; ++i) {
        wvr::TrackInfo& row = rows[i];
        for (int f = 0; f < wvr::kFieldCount; ++f) {
            std::string text;
            for (int w = 0; w < 3; ++w) text += words[random() % std::size(words)];
            row.Fields[f] = wvr::cp932::FromUtf8(text);
        }
        row.FileName = row.Fields[wvr::kTitle] + std::to_string(i) + ".mp3";
        row.Path = "/music/" + row.FileName;
        row.Seconds = std::to_string(random() % 600);
    }
    wvr::RowList list;
    list.Append(std::move(rows));
    return list;
}

void BenchSelectAndFind(int count) {
    const wvr::RowList rows = MakeRows(count);
    std::mt19937 random(1);
    for (long long budget : {7200LL, 60LL * 60 * 24 * 365}) {
        size_t chosen = 0;
        const double took = BestOf(5, [&] {
            chosen = wvr::RandomFill(wvr::BuildCandidates(rows, wvr::SelectMode::Time), budget, random).chosen.size();
        });
        std::printf("select %d rows, budget %lld s (%zu chosen): %.4f s (target well under 1 s)\n", count, budget, chosen,
                    took);
    }
    for (bool matchCase : {false, true}) {
        int found = 0;
        const double took = BestOf(5, [&] { found = wvr::FindRow(rows, 0, "not in any row", matchCase); });
        std::printf("find in %d rows, text absent, %s: %.4f s%s (target well under 1 s)\n", count,
                    matchCase ? "match case" : "any case", took, found < 0 ? "" : " FOUND?");
    }
}

// A plain MPEG file of `bytes` bytes: 128 kbit/s 44.1 kHz frame headers with empty frames.
void MakeMpeg(const std::string& path, size_t bytes) {
    std::string frame(417, '\0');
    frame[0] = '\xFF', frame[1] = '\xFB', frame[2] = '\x90', frame[3] = '\x64';
    std::string data;
    data.reserve(bytes);
    while (data.size() + frame.size() <= bytes) data += frame;
    FILE* out = std::fopen(path.c_str(), "wb");
    std::fwrite(data.data(), 1, data.size(), out);
    std::fclose(out);
}

void PlainCopy(const std::string& from, const std::string& to, bool sync) {
    const int in = ::open(from.c_str(), O_RDONLY);
    const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<char> buffer(1 << 20);
    for (ssize_t n; (n = ::read(in, buffer.data(), buffer.size())) > 0;)
        if (::write(out, buffer.data(), static_cast<size_t>(n)) != n) break;
    if (sync) ::fsync(out);
    ::close(in);
    ::close(out);
}

void BenchConversion(const std::string& folder, size_t megabytes) {
    const std::string source = folder + "/source.mp3";
    MakeMpeg(source, megabytes << 20);
    const double copy = BestOf(5, [&] { PlainCopy(source, folder + "/copy.bin", false); });
    const double copySync = BestOf(5, [&] { PlainCopy(source, folder + "/copy.bin", true); });
    std::printf("plain copy of %zu MB: %.4f s; with fsync: %.4f s\n", megabytes, copy, copySync);

    wvr::SilentPrompter quiet;
    wvr::GenreTable genres;
    wvr::TrackInfo row;
    row.Path = source;
    row.Kind = "1";
    row.Fields[wvr::kTitle] = "Title";
    const char* names[] = {"Generic MP3", "RMP3/WAV", "RMP3/MP3"};
    const char* targets[] = {"/out.mp3", "/out.wav", "/out.rmp"};
    for (int t = 0; t < 3; ++t) {
        const std::string target = folder + targets[t];
        const double took = BestOf(5, [&] {
            wvr::ConvertRow(row, target, static_cast<wvr::ConvertTarget>(t), 0, true, genres, quiet);
        });
        std::printf("convert %zu MB to %-11s: %.4f s = %.2fx the copy, %.2fx the copy with fsync (target 2x)\n",
                    megabytes, names[t], took, took / copy, took / copySync);
        ::unlink(target.c_str());
    }
    ::unlink(source.c_str());
    ::unlink((folder + "/copy.bin").c_str());
}

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 100000;
    const std::string folder = argc > 2 ? argv[2] : ".";
    BenchSelectAndFind(count);
    BenchConversion(folder, 64);
    return 0;
}
