// The text-input reader: fuzzed format lines laid with fuzzed text lines onto a few rows.
// Input: the format lines, a line "\f" alone, then the text lines. Only tag fields change;
// names, paths, kinds and check marks stay.
#include "FuzzSupport.h"
#include "app/commands/TextInput.h"

using namespace wvr;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto lines = fuzz::InputLines({reinterpret_cast<const char*>(data), size});
    std::vector<std::string> format, text;
    bool inText = false;
    for (const std::string& line : lines) {
        if (line == "\f") inText = true;
        else (inText ? text : format).push_back(line);
    }
    RowList rows;
    for (int i = 0; i < 4; ++i) {
        TrackInfo row;
        row.FileName = "t" + std::to_string(i) + ".mp3";
        row.Path = "/m/" + row.FileName;
        row.Kind = "1";
        row.Fields[kTitle] = "title " + std::to_string(i);
        row.Checked = i % 2 == 0;
        rows.Append(row);
    }
    RunTextInput(rows, format, text);
    for (int i = 0; i < rows.size(); ++i) {
        WVR_FUZZ_EXPECT(rows[i].FileName == "t" + std::to_string(i) + ".mp3" && rows[i].Path == "/m/" + rows[i].FileName);
        WVR_FUZZ_EXPECT(rows[i].Kind == "1" && rows[i].Checked == (i % 2 == 0));
    }
    return 0;
}
