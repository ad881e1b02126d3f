// The CSV line reader: a fuzzed CSV file loaded into the list, as rows of files, as texts laid
// onto the rows listed, or as a CD player's track list. Lines may name any file of the machine,
// so every question is answered no and nothing is written. The first byte picks the mode: bit
// 0 a CD player's list, bit 1 columns without a path, bit 2 lines replace listed rows, bit 3
// paths relative to the file, bit 4 a UTF-8 byte-order mark before the bytes (read by RFC 4180).
#include "FuzzSupport.h"
#include "app/commands/Csv.h"

using namespace wvr;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    static const std::string path = fuzz::ScratchPath("list.csv");
    const std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    fuzz::WriteScratch(path, (data[0] & 16 ? "\xEF\xBB\xBF" : "") + bytes);
    Session session;
    session.settings.Set(Option::CsvKnowCD, (data[0] & 1) != 0);
    if (data[0] & 2) session.settings.csvColumns = {3, 2, 1, 21};
    session.settings.Set(Option::CsvAdd, (data[0] & 4) != 0);
    session.settings.Set(Option::CsvRelative, (data[0] & 8) != 0);
    // Rows to lay texts onto when the file has no path column.
    for (int i = 0; i < 3; ++i) {
        TrackInfo row;
        row.Path = fuzz::ScratchPath("row" + std::to_string(i) + ".mp3");
        row.FileName = "row" + std::to_string(i) + ".mp3";
        row.Kind = "1";
        session.rows.Append(row);
    }
    fuzz::NoPrompter prompter;
    CsvLoadReport report;
    LoadCsv(session, {path}, prompter, nullptr, &report);
    for (const auto& lines : {report.skipped, report.overlong})
        for (const auto& [file, line] : lines) WVR_FUZZ_EXPECT(file == path && line >= 1);
    return 0;
}
