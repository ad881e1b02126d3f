#include "app/commands/NamedSets.h"

#include <cerrno>
#include <cstring>

#include "platform/base/Cp932.h"
#include "platform/base/IniFile.h"
#include "platform/base/Prompter.h"
#include "platform/core/Registry.h"

namespace wvr {
namespace {

void ReportIniFailure(const char* iniName, Prompter& prompter) {
    const int error = errno ? errno : EIO;
    prompter.Error("ファイルに保存できませんでした。\n" + IniFilePath(iniName) + "\n" + std::strerror(error));
}

}  // namespace

bool IsRefusedSetName(const std::string& name, std::initializer_list<const char*> reserved) {
    if (name.empty()) return true;
    for (const char* word : reserved)
        if (EqualsIgnoringAsciiCase(name, word)) return true;
    return false;
}

bool StoreNamedSet(const char* iniName, const std::string& name, std::initializer_list<const char*> reserved,
                   const IniEntries& entries, Prompter& prompter) {
    if (IsRefusedSetName(name, reserved)) {
        prompter.Error("この名前は使用出来ません。変更してください。");
        return false;
    }
    if (!IsStorableSectionName(name)) {
        prompter.Error("この名前は使用出来ません。名前に「]」や前後の空白は使えません。");
        return false;
    }
    errno = 0;
    if (StoreIniSection(iniName, name, entries)) return true;
    ReportIniFailure(iniName, prompter);
    return false;
}

bool DeleteNamedSet(const char* iniName, const std::string& name, Prompter& prompter) {
    errno = 0;
    if (EraseIniSection(iniName, name)) return true;
    ReportIniFailure(iniName, prompter);
    return false;
}

void AppendQuotedLines(IniEntries& entries, const char* prefix, const std::vector<std::string>& lines) {
    for (size_t i = 0; i < lines.size(); ++i) entries.emplace_back(prefix + std::to_string(i), "\"" + lines[i] + "\"");
}

std::optional<int> ReadDialogInteger(const char* subkey, const char* name) {
    auto key = RegistryKey::Open(subkey, false);
    return key ? key->ReadInteger(name) : std::nullopt;
}

void StoreDialogInteger(const char* subkey, const char* name, int value, Prompter& prompter) {
    auto key = RegistryKey::Open(subkey, true);
    if (!key || !key->WriteInteger(name, value) || !key->Flush()) prompter.Plain(kRegistrySaveFailed);
}

}  // namespace wvr
