#include "app/commands/Rename.h"

#include <QString>

#include "app/commands/WriteJournal.h"
#include "formats/PathText.h"
#include "formats/SjisText.h"
#include "platform/base/Cp932.h"
#include "platform/base/FileOps.h"
#include "platform/base/Prompter.h"

namespace wvr {
namespace {

constexpr const char* kNotFound = "ファイルが存在しません。\n";
constexpr const char* kAccessDenied = "ファイルへアクセスできませんでした。\n";
constexpr const char* kTargetExists = "同じ名前のファイルが存在します。\n";

// A file-name column that cannot name a file beside the old one.
std::string NameRefused(const std::string& name) { return "ファイル名「" + cp932::ToUtf8(name) + "」は使用できません。"; }

bool EqualIgnoringCase(const std::string& a, const std::string& b) {
    return QString::compare(QString::fromStdString(cp932::ToUtf8(a)), QString::fromStdString(cp932::ToUtf8(b)),
                            Qt::CaseInsensitive) == 0;
}

bool RuleMatches(const std::vector<std::string>& rule, const TrackInfo& row) {
    const int field = RuleField(rule);
    return field >= 0 && EqualIgnoringCase(row.Column(field), rule[kRuleText]);
}

// Whether a file-name column names a file in the row's folder or below it: every component
// is a real name, so nothing is absolute, empty or reached through "..".
bool StaysInFolder(std::string_view name) {
    const std::string_view separator(&path::kSeparator, 1);
    for (size_t start = 0;;) {
        const size_t end = sjis::Find(name, separator, start);
        const std::string_view part = name.substr(start, end == std::string_view::npos ? end : end - start);
        if (part.empty() || part == "." || part == "..") return false;
        if (end == std::string_view::npos) return true;
        start = end + 1;
    }
}

// Moves a file without replacing anything and gives it its last-write time back.
fs::MoveError MoveKeepingTime(const std::string& from, const std::string& to, Prompter& prompter) {
    const auto time = fs::ReadLastWriteTime(from);
    const fs::MoveError error = fs::MoveNoReplace(from, to);
    if (error == fs::MoveError::None && time) fs::RestoreLastWriteTime(to, *time, prompter);
    return error;
}

void ReportMoveError(fs::MoveError error, const std::string& from, const std::string& to, Prompter& prompter) {
    switch (error) {
    case fs::MoveError::NotFound: prompter.Error(kNotFound + cp932::ToUtf8(from)); break;
    case fs::MoveError::AccessDenied: prompter.Error(kAccessDenied + cp932::ToUtf8(from)); break;
    case fs::MoveError::Exists: prompter.Error(kTargetExists + cp932::ToUtf8(to)); break;
    default: break;  // other causes fail without a word
    }
}

bool MoveNativeFile(const std::string& from, const std::string& nativeFrom, const std::string& to,
                    const std::string& nativeTo, Prompter& prompter) {
    fs::MoveError error = MoveKeepingTime(nativeFrom, nativeTo, prompter);
    if (error == fs::MoveError::None) return true;
    // A missing subfolder of the new name is not a missing file: it fails without a word.
    if (error == fs::MoveError::NotFound && fs::Exists(nativeFrom)) error = fs::MoveError::Other;
    ReportMoveError(error, from, to, prompter);
    return false;
}

// Lyrics files are optional: a missing one is the normal case, so every failure is silent.
// The bases are native paths without the extension.
void MoveLyricsFiles(const std::string& fromBase, const std::string& toBase, const Settings& settings,
                     Prompter& prompter) {
    std::vector<const char*> extensions = {".lrc"};
    if (settings.Get(Option::RenLrcTxt)) extensions.push_back(".txt");
    for (const char* extension : extensions) MoveKeepingTime(fromBase + extension, toBase + extension, prompter);
}

void FollowWithLyrics(const std::string& from, const std::string& to, const Settings& settings,
                      Prompter& prompter) {
    const auto fromBase = fs::ToNative(path::WithoutExtension(from));
    const auto toBase = fs::ToNative(path::WithoutExtension(to));
    if (!fromBase || !toBase) return;
    MoveLyricsFiles(*fromBase, *toBase, settings, prompter);
    // Without a lyrics folder the names would be relative to wherever the program runs. The
    // folder is a native path; the file names join it in their native form.
    const std::string& folder = settings.RenLrcFld;
    if (settings.Get(Option::RenLrcDir) && !folder.empty()) {
        const auto fromName = fs::ToNative(path::FileName(path::WithoutExtension(from)));
        const auto toName = fs::ToNative(path::FileName(path::WithoutExtension(to)));
        if (fromName && toName) MoveLyricsFiles(folder + *fromName, folder + *toName, settings, prompter);
    }
}

}  // namespace

MacroOptions RenameMacroOptions(const Settings& settings) {
    return {.UnderscoreSpaces = settings.Get(Option::RenSpcTrs),
            .SafeChars = settings.Get(Option::RenChaTrs),
            .RmpAsMp3 = settings.Get(Option::RenRmpMp3),
            .HalfWidth = settings.Get(Option::Zen2Han)};
}

bool ConfirmCheckedCount(int count, const std::string& question, Prompter& prompter) {
    if (count == 0) {
        prompter.Information("チェックされているアイテムはありません。");
        return true;
    }
    return prompter.YesNo("チェックされているアイテムは、" + std::to_string(count) + "個あります。\n" + question);
}

std::string RenamePatternFor(const TrackInfo& row, const Settings& settings) {
    if (settings.Get(Option::RenOther)) {
        for (const auto& rule : settings.ReName)
            if (RuleMatches(rule, row)) return rule[kRulePattern];
    }
    return settings.CurrentRenamePattern();
}

bool RenameCommand(Session& session, Prompter& prompter, Questions questions, BusyIndicator* busy) {
    journal::JournalRun run("リネーム", &prompter);
    const Settings& settings = session.settings;
    RowList& rows = session.rows;
    if (questions == Questions::Ask && !settings.Get(Option::RenInfOff) &&
        !ConfirmCheckedCount(rows.CheckedCount(), "リネームしてもよろしいですか？", prompter))
        return false;

    BusySection section(busy);
    const MacroOptions options = RenameMacroOptions(settings);
    const bool allRows = settings.Get(Option::RenChkOff);
    const int total = allRows ? rows.size() : rows.CheckedCount();
    int done = 0;
    for (int i = 0; i < rows.size(); ++i) {
        if (busy && busy->Cancelled()) break;
        TrackInfo& row = rows.Mutable(i);
        if (!row.Checked && !allRows) continue;
        row.FileName = ExpandFieldMacros(RenamePatternFor(row, settings), i + 1, row, options);
        if (busy) busy->Progress(++done, total);
    }
    rows.ChangedAll();
    return true;
}

bool UndoRenameCommand(Session& session, Prompter& prompter) {
    if (!session.settings.Get(Option::UdoInfOff) && !prompter.YesNo("ファイル名を元に戻します。よろしいですか？"))
        return false;
    journal::JournalRun run("ファイル名を元に戻す", &prompter);
    RowList& rows = session.rows;
    for (int i = 0; i < rows.size(); ++i) {
        TrackInfo& row = rows.Mutable(i);
        if (row.Checked) row.FileName = path::FileName(row.Path);
    }
    rows.ChangedAll();
    return true;
}

bool MoveFileStep(const std::string& from, const std::string& to, Prompter& prompter) {
    const auto nativeFrom = fs::ToNative(from);
    const auto nativeTo = fs::ToNative(to);
    if (!nativeFrom || !nativeTo) {
        prompter.Error(kAccessDenied + cp932::ToUtf8(from));
        return false;
    }
    return MoveNativeFile(from, *nativeFrom, to, *nativeTo, prompter);
}

bool RenameStep(TrackInfo& row, const Settings& settings, Prompter& prompter) {
    const std::string from = row.Path;
    const std::string to = path::Folder(from) + row.FileName;
    const auto nativeFrom = fs::ToNative(from);
    const auto nativeTo = fs::ToNative(to);
    // A name that leaves the folder, or that the file system cannot spell, is never tried.
    if (!StaysInFolder(row.FileName) || !nativeTo) {
        prompter.Error(NameRefused(row.FileName));
        return false;
    }
    if (!nativeFrom) {
        prompter.Error(kAccessDenied + cp932::ToUtf8(from));
        return false;
    }
    if (!MoveNativeFile(from, *nativeFrom, to, *nativeTo, prompter)) return false;
    if (settings.Get(Option::RenLrc)) FollowWithLyrics(from, to, settings, prompter);
    row.Path = to;
    // A name with a subfolder has arrived there: the column shows the file's own name again.
    row.FileName = path::FileName(to);
    return true;
}

}  // namespace wvr
