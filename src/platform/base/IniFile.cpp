#include "platform/base/IniFile.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "platform/base/Cp932.h"
#include "platform/base/FileOps.h"

namespace wvr {
namespace {

// More than any ini file of the program holds; a larger file is not read.
constexpr uint64_t kMaxFileBytes = 64u << 20;

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

std::string_view Trim(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
    return s.substr(b, e - b);
}

// Position of the first "]" that is not the second byte of a double-byte character.
size_t FindClosingBracket(std::string_view line, size_t from) {
    for (size_t i = from; i < line.size(); i += cp932::CharWidth(line, i))
        if (line[i] == ']') return i;
    return std::string::npos;
}

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// The form in which two names equal by EqualsIgnoringAsciiCase are the same bytes.
std::string Folded(const std::string& name) {
    std::string folded = name;
    for (size_t i = 0; i < folded.size(); ++i) {
        folded[i] = LowerAscii(folded[i]);
        if (cp932::IsLeadByte(static_cast<unsigned char>(folded[i]))) ++i;
    }
    return folded;
}

std::string Unquoted(const std::string& v) {
    if (v.size() >= 2 && v.front() == '"' && v.back() == '"') return v.substr(1, v.size() - 2);
    return v;
}

// Calls `each` for the first entry of every key of a section, in file order.
template <typename Entry, typename Each>
void ForFirstOfEachKey(const std::vector<Entry>& entries, Each each) {
    std::unordered_set<std::string> seen;
    seen.reserve(entries.size());
    for (const Entry& entry : entries)
        if (seen.insert(Folded(entry.key)).second) each(entry);
}

}  // namespace

bool EqualsIgnoringAsciiCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
        // The second byte of a double-byte character is no letter: "ア" (83 41) is not "ヂ" (83 61).
        if (cp932::CharWidth(a, i) == 2) {
            ++i;
            if (a[i] != b[i]) return false;
        }
    }
    return true;
}

bool IsStorableSectionName(const std::string& name) {
    if (name.empty() || IsBlank(name.front()) || IsBlank(name.back())) return false;
    if (name.find_first_of("\r\n") != std::string::npos) return false;
    return FindClosingBracket(name, 0) == std::string::npos;
}

IniFile IniFile::Load(const std::string& nativePath) { return LoadForUpdate(nativePath).value_or(IniFile{}); }

std::optional<IniFile> IniFile::LoadForUpdate(const std::string& nativePath) {
    if (auto bytes = fs::ReadWholeFile(nativePath, kMaxFileBytes)) return Parse(*bytes);
    if (fs::Exists(nativePath)) return std::nullopt;
    return IniFile{};
}

IniFile IniFile::Parse(const std::string& bytes) {
    IniFile ini;
    size_t pos = 0;
    while (pos < bytes.size()) {
        size_t end = bytes.find_first_of("\r\n", pos);
        if (end == std::string::npos) end = bytes.size();
        Line line{bytes.substr(pos, end - pos), {}};
        pos = end;
        if (pos < bytes.size() && bytes[pos] == '\r') line.end += bytes[pos++];
        if (pos < bytes.size() && bytes[pos] == '\n') line.end += bytes[pos++];
        ini.lines_.push_back(std::move(line));
    }
    ini.Index();
    return ini;
}

void IniFile::Index() {
    sections_.clear();
    Section* current = nullptr;
    for (size_t i = 0; i < lines_.size(); ++i) {
        const std::string_view line = Trim(lines_[i].text);
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            size_t close = FindClosingBracket(line, 1);
            std::string name(Trim(line.substr(1, close == std::string::npos ? std::string::npos : close - 1)));
            current = Find(name);
            if (!current) {
                sections_.push_back({name, i, i, {}});
                current = &sections_.back();
            }
            continue;
        }
        if (!current) continue;
        size_t eq = line.find('=');
        std::string key(Trim(line.substr(0, eq)));
        std::string value(eq == std::string::npos ? std::string_view() : Trim(line.substr(eq + 1)));
        current->entries.push_back({std::move(key), std::move(value), i});
        current->lastLine = i;
    }
}

void IniFile::InsertLine(size_t at, std::string text) {
    // A line inserted after the last one gives that line the end it lacked.
    if (at == lines_.size() && !lines_.empty() && lines_.back().end.empty()) lines_.back().end = "\r\n";
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), Line{std::move(text), "\r\n"});
}

void IniFile::AppendLine(std::string text) { InsertLine(lines_.size(), std::move(text)); }

std::string IniFile::Render() const {
    std::string out;
    for (const Line& line : lines_) out += line.text + line.end;
    return out;
}

bool IniFile::Save(const std::string& nativePath) const {
    // The new text goes to a file beside the old one, which it replaces only when complete:
    // a write that fails half-way (a full disk) must not cut off the user's template sets.
    fs::ReplacementFile out(nativePath);
    return out.Create() && out.Append(Render()) && out.Commit(nullptr);
}

IniFile::Section* IniFile::Find(const std::string& section) {
    for (Section& s : sections_)
        if (EqualsIgnoringAsciiCase(s.name, section)) return &s;
    return nullptr;
}

const IniFile::Section* IniFile::Find(const std::string& section) const {
    return const_cast<IniFile*>(this)->Find(section);
}

std::vector<std::string> IniFile::SectionNames() const {
    std::vector<std::string> names;
    for (const Section& s : sections_) names.push_back(s.name);
    return names;
}

bool IniFile::HasSection(const std::string& section) const { return Find(section) != nullptr; }

std::optional<std::string> IniFile::Value(const std::string& section, const std::string& key) const {
    const Section* s = Find(section);
    if (!s) return std::nullopt;
    for (const Entry& e : s->entries)
        if (EqualsIgnoringAsciiCase(e.key, key)) return Unquoted(e.value);
    return std::nullopt;
}

std::vector<std::string> IniFile::Keys(const std::string& section) const {
    std::vector<std::string> keys;
    if (const Section* s = Find(section))
        ForFirstOfEachKey(s->entries, [&](const Entry& e) { keys.push_back(e.key); });
    return keys;
}

std::vector<std::pair<std::string, std::string>> IniFile::Entries(const std::string& section) const {
    std::vector<std::pair<std::string, std::string>> entries;
    if (const Section* s = Find(section))
        ForFirstOfEachKey(s->entries, [&](const Entry& e) { entries.emplace_back(e.key, Unquoted(e.value)); });
    return entries;
}

void IniFile::SetValue(const std::string& section, const std::string& key, const std::string& value) {
    Section* s = Find(section);
    if (!s) {
        AppendLine("[" + section + "]");
        AppendLine(key + "=" + value);
    } else {
        auto entry = std::find_if(s->entries.begin(), s->entries.end(),
                                  [&](const Entry& e) { return EqualsIgnoringAsciiCase(e.key, key); });
        if (entry != s->entries.end()) lines_[entry->line].text = entry->key + "=" + value;
        else InsertLine(s->lastLine + 1, key + "=" + value);
    }
    Index();
}

void IniFile::AppendSection(const std::string& section,
                            const std::vector<std::pair<std::string, std::string>>& entries) {
    AppendLine("[" + section + "]");
    // The line of each key written, by the folded key the file will be read with.
    std::unordered_map<std::string, size_t> lineOf;
    lineOf.reserve(entries.size());
    const auto keyOfLine = [](std::string_view line) { return std::string(Trim(line.substr(0, line.find('=')))); };
    for (const auto& [key, value] : entries) {
        if (auto same = lineOf.find(Folded(key)); same != lineOf.end()) {
            std::string& text = lines_[same->second].text;
            text = keyOfLine(text) + "=" + value;
            continue;
        }
        std::string line = key + "=" + value;
        lineOf.try_emplace(Folded(keyOfLine(line)), lines_.size());
        AppendLine(std::move(line));
    }
    Index();
}

void IniFile::EraseSection(const std::string& section) {
    // Every header of that name goes with the lines up to the next header.
    std::vector<Line> kept;
    bool erasing = false;
    for (Line& line : lines_) {
        const std::string_view text = Trim(line.text);
        if (!text.empty() && text[0] == '[') {
            size_t close = FindClosingBracket(text, 1);
            erasing = EqualsIgnoringAsciiCase(
                std::string(Trim(text.substr(1, close == std::string::npos ? std::string::npos : close - 1))), section);
        }
        if (!erasing) kept.push_back(std::move(line));
    }
    lines_ = std::move(kept);
    Index();
}

void IniFile::ReplaceSection(const std::string& section,
                             const std::vector<std::pair<std::string, std::string>>& entries) {
    const Section* s = Find(section);
    if (!s) {
        AppendSection(section, entries);
        return;
    }
    // The new keys stand where the first old key stood, or right after the header.
    size_t at = s->entries.empty() ? s->header + 1 : s->entries.front().line;
    std::vector<bool> drop(lines_.size(), false);
    for (const Entry& e : s->entries) drop[e.line] = true;
    std::vector<Line> lines;
    for (size_t i = 0; i <= lines_.size(); ++i) {
        if (i == at)
            for (const auto& [key, value] : entries) lines.push_back({key + "=" + value, "\r\n"});
        if (i == lines_.size()) break;
        if (!drop[i]) lines.push_back(std::move(lines_[i]));
    }
    lines_ = std::move(lines);
    // A section that ended the file without a line end gets one before the new keys.
    for (size_t i = 0; i + 1 < lines_.size(); ++i)
        if (lines_[i].end.empty()) lines_[i].end = "\r\n";
    Index();
}

}  // namespace wvr
