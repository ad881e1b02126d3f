#include "app/commands/Settings.h"

#include "platform/base/Cp932.h"

namespace wvr {
namespace {

constexpr const char* kOptionNames[kOptionCount] = {
    "CnvEndDel", "RenInfOff", "RenChkOff", "WitInfOff", "WitChkOff", "WitID3Add", "EdtAddClr", "EdtISFT",
    "WitEndClr", "RenChaTrs", "RenSpcTrs", "EdtFileName", "WavCnv", "PlyRunMin", "PlayerSel", "PlyChkOff",
    "CnvChkOff", "UdoInfOff", "FilChkOff", "GetChkOff", "DropActive", "RenOther", "CnvErrOff", "QuitMesOff",
    "CsvExcel", "CsvAdd", "FilUseMcr", "RenRmpMp3", "WitUnChk", "Zen2Han", "OptGenreOn", "CnvDate", "RenLrc",
    "EdtLimit", "RenLrcTxt", "RenLrcDir", "Filter", "CsvRelative", "LrcDrop", "CsvKnowCD",
};

// Bits set before any setting is read.
constexpr int kDefaultBits[] = {5, 9, 10, 13, 20, 25, 26, 29, 32, 33, 38};

}  // namespace

const char* OptionName(int bit) { return kOptionNames[bit]; }

Settings::Settings() {
    for (int bit : kDefaultBits) bits.set(bit);
    const std::string fontName = cp932::Text("ＭＳ Ｐゴシック");
    for (auto& font : fonts) font.name = fontName;
    fonts[1].name = cp932::Text("ＭＳ ゴシック");
}

int RuleField(const std::vector<std::string>& rule) {
    if (rule.size() <= kRuleField) return -1;
    const long long field = DecimalValue(rule[kRuleField]);
    return field >= 0 && field < kColumnCount ? static_cast<int>(field) : -1;
}

std::string Settings::CurrentRenamePattern() const {
    if (RenStrIdx >= 0 && RenStrIdx < static_cast<int>(RenString.size())) return RenString[RenStrIdx];
    return kDefaultRenamePattern;
}

}  // namespace wvr
