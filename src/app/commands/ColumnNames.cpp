#include "app/commands/ColumnNames.h"

#include "app/commands/Options.h"
#include "formats/TrackInfo.h"

namespace wvr {
namespace {

const char* const kColumnNames[kColumnCount] = {
    "ファイル名", "曲名", "アーティスト", "アルバム", "コメント", "日付", "ジャンル", "著作権",
    "エンジニア", "ソース", "ソフトウェア", "キーワード", "技術者", "歌詞", "コミッション",
};

}  // namespace

const char* ColumnName(int column) { return kColumnNames[column]; }

std::string CsvColumnName(int code) {
    if (code >= 0 && code < kColumnCount) return kColumnNames[code];
    if (code == kCsvIgnoreCode) return "無視する";
    return "コード " + std::to_string(code);
}

}  // namespace wvr
