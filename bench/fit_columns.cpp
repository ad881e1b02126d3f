// Fitting columns to their widest item text over 100,000 rows in the main window: a header
// click set to fit (EdtClmIdx 2), "ｶﾗﾑの幅の調整" over all 15 columns, and every column set to
// auto width. Prints the seconds each takes (offscreen platform).
//
//   fit_columns_bench [ROWS]
#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <string>

#include "app/ui/MainWindow.h"
#include "platform/base/Cp932.h"

namespace {

// Rows of mixed Japanese and Latin texts of varied lengths, every field filled.
std::vector<wvr::TrackInfo> MakeRows(int count) {
    const std::string japanese = wvr::cp932::FromUtf8("曲名アルバム歌手ｶﾀｶﾅ");
    std::vector<wvr::TrackInfo> rows(count);
    for (int i = 0; i < count; ++i) {
        wvr::TrackInfo& row = rows[i];
        row.FileName = "track " + std::to_string(i) + ".mp3";
        for (int f = 0; f < wvr::kFieldCount; ++f) {
            row.Fields[f] = japanese.substr(0, 2 * (1 + (i + f) % 8)) + " Title " + std::to_string(i * 7919 % 100000);
        }
    }
    return rows;
}

double Seconds(QElapsedTimer& timer) {
    const double s = timer.nsecsElapsed() / 1e9;
    timer.restart();
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 100000;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    wvr::MainWindow window;
    window.resize(900, 600);
    window.show();
    window.session().rows.Append(MakeRows(count));
    QApplication::processEvents();
    wvr::Settings& settings = window.session().settings;

    QElapsedTimer timer;
    timer.start();
    settings.EdtClmIdx = 2;
    window.ListView1ColumnClick(1);
    std::printf("fit: header click fits 1 column over %d rows: %.3f s\n", count, Seconds(timer));
    window.action("N20")->trigger();
    std::printf("fit: adjust widths fits 15 columns over %d rows: %.3f s\n", count, Seconds(timer));
    settings.columnWidths.fill(-1);
    window.ApplyAllColumnWidths();
    std::printf("fit: 15 auto-width columns over %d rows: %.3f s\n", count, Seconds(timer));
    settings.Set(wvr::Option::QuitMesOff, true);
    return 0;
}
