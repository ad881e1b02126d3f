#include "platform/base/IniFile.h"

#include "platform/base/Cp932.h"
#include "platform/base/FileOps.h"

namespace wvr {
namespace {

// More than any ini file of the program holds; a larger file is not read.
constexpr uint64_t kMaxFileBytes = 64u << 20;

std::string Trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
    return s.substr(b, e - b);
}

// Position of the first "]" that is not the second byte of a double-byte character.
size_t FindClosingBracket(const std::string& line, size_t from) {
    for (size_t i = from; i < line.size(); ++i) {
        if (cp932::IsLeadByte(static_cast<unsigned char>(line[i]))) {
            ++i;
            continue;
        }
        if (line[i] == ']') return i;
    }
    return std::string::npos;
}

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool EqualsIgnoringAsciiCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
        // The second byte of a double-byte character is no letter: "ア" (83 41) is not "ヂ" (83 61).
        if (cp932::IsLeadByte(static_cast<unsigned char>(a[i])) && i + 1 < a.size()) {
            ++i;
            if (a[i] != b[i]) return false;
        }
    }
    return true;
}

IniFile IniFile::Load(const std::string& nativePath) { return LoadForUpdate(nativePath).value_or(IniFile{}); }

std::optional<IniFile> IniFile::LoadForUpdate(const std::string& nativePath) {
    if (auto bytes = fs::ReadWholeFile(nativePath, kMaxFileBytes)) return Parse(*bytes);
    if (fs::Exists(nativePath)) return std::nullopt;
    return IniFile{};
}

IniFile IniFile::Parse(const std::string& bytes) {
    IniFile ini;
    Section* current = nullptr;
    size_t pos = 0;
    while (pos < bytes.size()) {
        size_t end = bytes.find_first_of("\r\n", pos);
        if (end == std::string::npos) end = bytes.size();
        std::string line = Trim(bytes.substr(pos, end - pos));
        pos = end;
        if (pos < bytes.size() && bytes[pos] == '\r') ++pos;
        if (pos < bytes.size() && bytes[pos] == '\n') ++pos;

        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            size_t close = FindClosingBracket(line, 1);
            std::string name = Trim(line.substr(1, close == std::string::npos ? std::string::npos : close - 1));
            current = ini.Find(name);
            if (!current) {
                ini.sections_.push_back({name, {}});
                current = &ini.sections_.back();
            }
            continue;
        }
        if (!current) continue;
        size_t eq = line.find('=');
        std::string key = Trim(line.substr(0, eq));
        std::string value = eq == std::string::npos ? std::string() : Trim(line.substr(eq + 1));
        current->entries.emplace_back(key, value);
    }
    return ini;
}

std::string IniFile::Render() const {
    std::string out;
    for (const Section& s : sections_) {
        out += "[" + s.name + "]\r\n";
        for (const auto& [key, value] : s.entries) out += key + "=" + value + "\r\n";
    }
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
    for (const auto& [k, v] : s->entries) {
        if (!EqualsIgnoringAsciiCase(k, key)) continue;
        if (v.size() >= 2 && v.front() == '"' && v.back() == '"') return v.substr(1, v.size() - 2);
        return v;
    }
    return std::nullopt;
}

std::vector<std::string> IniFile::Keys(const std::string& section) const {
    std::vector<std::string> keys;
    const Section* s = Find(section);
    if (!s) return keys;
    for (const auto& entry : s->entries) {
        bool seen = false;
        for (const auto& k : keys) seen = seen || EqualsIgnoringAsciiCase(k, entry.first);
        if (!seen) keys.push_back(entry.first);
    }
    return keys;
}

void IniFile::SetValue(const std::string& section, const std::string& key, const std::string& value) {
    Section* s = Find(section);
    if (!s) {
        sections_.push_back({section, {}});
        s = &sections_.back();
    }
    for (auto& entry : s->entries) {
        if (EqualsIgnoringAsciiCase(entry.first, key)) {
            entry.second = value;
            return;
        }
    }
    s->entries.emplace_back(key, value);
}

void IniFile::EraseSection(const std::string& section) {
    for (auto it = sections_.begin(); it != sections_.end(); ++it) {
        if (EqualsIgnoringAsciiCase(it->name, section)) {
            sections_.erase(it);
            return;
        }
    }
}

}  // namespace wvr
