// CSV and template output figures: saving 100,000 rows as CSV and through the Default
// template (target: CSV well under a second), and loading the CSV of a folder tree against
// listing the same files (target: the load within twice the listing).
//
//   csv_text_bench TREE [ROWS]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include "app/commands/AddFiles.h"
#include "app/commands/Csv.h"
#include "app/commands/TemplateOutput.h"
#include "platform/base/Cp932.h"
#include "platform/base/Prompter.h"

namespace {

// The best of `runs` timings, in seconds.
double Best(int runs, const std::function<void()>& run) {
    double best = 1e9;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        run();
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    return best;
}

// Rows as adding files makes them: Japanese texts, a path, the properties.
void MakeRows(wvr::Session& session, int count) {
    std::vector<wvr::TrackInfo> rows(count);
    for (int i = 0; i < count; ++i) {
        wvr::TrackInfo& row = rows[i];
        row.Path = wvr::cp932::FromUtf8("/home/user/音楽/アルバム" + std::to_string(i / 250) + "/曲 " +
                                        std::to_string(i) + ".mp3");
        row.FileName = row.Path.substr(row.Path.rfind('/') + 1);
        row.Fields[wvr::kTitle] = wvr::cp932::FromUtf8("春の小川 \"" + std::to_string(i) + "\"");
        row.Fields[wvr::kArtist] = wvr::cp932::FromUtf8("歌手, その" + std::to_string(i % 97));
        row.Fields[wvr::kAlbum] = wvr::cp932::FromUtf8("アルバム" + std::to_string(i / 250));
        row.Fields[wvr::kDate] = "1999";
        row.AudioSize = "4048";
        row.Kind = "1";
        row.InfoText = "MP3 16kbit  16KHz 002sec ";
        row.Seconds = "2";
    }
    session.rows.Append(std::move(rows));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: csv_text_bench TREE [ROWS]\n");
        return 2;
    }
    const std::string tree = argv[1];
    const int count = argc > 2 ? std::atoi(argv[2]) : 100000;
    const std::string out = tree + "/../bench-out";
    wvr::SilentPrompter quiet;

    wvr::Session big;
    MakeRows(big, count);
    const double save = Best(5, [&] { wvr::SaveCsv(big, out + ".csv", quiet, nullptr); });
    std::printf("csv-save %d rows: %.3f s (target well under 1 s)\n", count, save);
    const double html = Best(3, [&] {
        wvr::WriteTemplateOutput(big, wvr::DefaultTemplateSet(), out + ".html", quiet, nullptr);
    });
    std::printf("export %d rows through the Default set: %.3f s\n", count, html);

    // Listing the tree against loading its CSV, warm cache, best of three each.
    wvr::Session listed;
    const double list = Best(3, [&] {
        listed = wvr::Session();
        wvr::WorkList work;
        wvr::ScanPath(tree, work);
        wvr::AddFiles(listed, work, {}, quiet);
    });
    wvr::SaveCsv(listed, out + "-tree.csv", quiet, nullptr);
    int loadedRows = 0;
    const double load = Best(3, [&] {
        wvr::Session loaded;
        wvr::LoadCsv(loaded, {out + "-tree.csv"}, quiet, nullptr);
        loadedRows = loaded.rows.size();
    });
    std::printf("list %d files: %.3f s; csv-load of their %d rows: %.3f s; load/list %.2f (target 2.00) %s\n",
                listed.rows.size(), list, loadedRows, load, load / list, load <= 2 * list ? "met" : "MISSED");
    return loadedRows == listed.rows.size() ? 0 : 1;
}
