// The main window holding many rows: adding a folder tree as "ﾌｫﾙﾀﾞを開く(&F)..." does, then
// sorting it by a header click, with the list on screen (offscreen platform). Prints the
// seconds each takes and the process's peak memory.
//
//   add_to_window_bench FOLDER         the files of a tree
//   add_to_window_bench --rows N FILE  N rows made from the one file's row, each with a path
//                                      of its own (a list too large for a tree on this disk)
#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/resource.h>
#include <vector>

#include "app/commands/AddFiles.h"
#include "app/ui/MainWindow.h"

namespace {

double PeakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

// The rows a list of `count` files like `file` holds, in batches as AddFiles hands them over,
// in the window's busy section as every load is.
void AppendMadeRows(wvr::MainWindow& window, const std::string& file, int count) {
    wvr::BusySection busy(&window);
    wvr::Session& session = window.session();
    wvr::WorkList work{file};
    wvr::AddFiles(session, work, {}, window.prompter());
    if (session.rows.empty()) return;
    const wvr::TrackInfo model = session.rows[0];
    session.rows.Clear();
    session.rows.Reserve(static_cast<size_t>(count));
    constexpr int kBatch = 256;
    for (int first = 0; first < count; first += kBatch) {
        std::vector<wvr::TrackInfo> batch;
        batch.reserve(kBatch);
        for (int i = first; i < count && i < first + kBatch; ++i) {
            wvr::TrackInfo& row = batch.emplace_back(model);
            const std::string number = std::to_string(i);
            row.FileName = number + " " + model.FileName;
            row.Path = "/music/album " + std::to_string(i / 250) + "/" + row.FileName;
            row.Fields[wvr::kTitle] = model.Fields[wvr::kTitle] + " " + number;
        }
        session.rows.Append(std::move(batch));
    }
}

}  // namespace

int main(int argc, char** argv) {
    const bool made = argc == 4 && std::strcmp(argv[1], "--rows") == 0;
    if (argc != 2 && !made) {
        std::fprintf(stderr, "usage: add_to_window_bench FOLDER | add_to_window_bench --rows N FILE\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    wvr::MainWindow window;
    window.resize(900, 600);
    window.show();
    QApplication::processEvents();

    QElapsedTimer timer;
    timer.start();
    if (made) AppendMadeRows(window, argv[3], std::atoi(argv[2]));
    else window.AddChosenFolder(QString::fromLocal8Bit(argv[1]));
    QApplication::processEvents();
    const double added = timer.nsecsElapsed() / 1e9;
    const int rows = window.session().rows.size();
    if (made) std::printf("window: %d rows made: %.2f s\n", rows, added);
    else std::printf("window: add %d files: %.2f s (%.0f files/s)\n", rows, added, rows / added);

    timer.restart();
    window.ListView1ColumnClick(1);
    QApplication::processEvents();
    std::printf("window: sort %d rows by a header click: %.3f s\n", rows, timer.nsecsElapsed() / 1e9);
    std::printf("window: peak memory with %d rows: %.1f MB\n", rows, PeakMegabytes());
    window.session().settings.Set(wvr::Option::QuitMesOff, true);
    return 0;
}
