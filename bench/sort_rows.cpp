// Sorting the list by a column: prints the time for 100,000 rows of mixed Japanese and
// Latin titles, ascending then descending (target: under a second each).
#include <chrono>
#include <cstdio>
#include <random>

#include "app/commands/ListEditing.h"
#include "platform/base/Cp932.h"

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 100000;
    const char* const words[] = {"春の", "小川", "Blue", "sky", "夜明け", "ソング", "Live", "ｱﾆﾒ", "rock", "歌"};
    std::mt19937 random(7);
    wvr::Session session;
    std::vector<wvr::TrackInfo> rows(count);
    for (auto& row : rows) {
        std::string title;
        for (int w = 0; w < 3; ++w) title += words[random() % std::size(words)];
        title += std::to_string(random() % 1000);
        row.Fields[wvr::kTitle] = wvr::cp932::FromUtf8(title);
        row.FileName = row.Fields[wvr::kTitle] + ".mp3";
    }
    session.rows.Append(std::move(rows));

    for (const char* direction : {"ascending", "descending"}) {
        const auto start = std::chrono::steady_clock::now();
        wvr::SortRows(session, 1);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        std::printf("sort %d rows by title, %s: %.3f s (target < 1 s)\n", count, direction, took.count());
    }
    return 0;
}
