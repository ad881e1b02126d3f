// Adding a folder tree to the main window, as "ﾌｫﾙﾀﾞを開く(&F)..." does, and sorting it by a
// header click: prints the seconds each takes with the list on screen (offscreen platform).
//
//   add_to_window_bench FOLDER
#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>

#include "app/ui/MainWindow.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: add_to_window_bench FOLDER\n");
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
    window.AddChosenFolder(QString::fromLocal8Bit(argv[1]));
    QApplication::processEvents();
    const double added = timer.nsecsElapsed() / 1e9;
    const int rows = window.session().rows.size();
    std::printf("window: add %d files: %.2f s (%.0f files/s)\n", rows, added, rows / added);

    timer.restart();
    window.ListView1ColumnClick(1);
    QApplication::processEvents();
    std::printf("window: sort %d rows by a header click: %.3f s\n", rows, timer.nsecsElapsed() / 1e9);
    window.session().settings.Set(wvr::Option::QuitMesOff, true);
    return 0;
}
