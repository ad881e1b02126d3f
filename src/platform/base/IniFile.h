// Ini files that behave like the Windows profile calls: bytes kept as they are (CP932),
// sections and keys in file order, case-insensitive names, the first of two equal keys wins,
// a value in double quotes reads without them, CR LF line ends when written.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace wvr {

class IniFile {
public:
    // Reads the file; a missing or unreadable file gives an empty ini.
    static IniFile Load(const std::string& nativePath);
    // Reads the file that a change is to be saved into: a missing file gives an empty ini, one
    // that is there but cannot be read gives nothing, so that its sections are never lost.
    static std::optional<IniFile> LoadForUpdate(const std::string& nativePath);
    static IniFile Parse(const std::string& bytes);

    std::string Render() const;
    bool Save(const std::string& nativePath) const;

    std::vector<std::string> SectionNames() const;
    bool HasSection(const std::string& section) const;
    std::optional<std::string> Value(const std::string& section, const std::string& key) const;
    std::string Value(const std::string& section, const std::string& key, const std::string& fallback) const {
        return Value(section, key).value_or(fallback);
    }
    // Keys of a section in file order, each once.
    std::vector<std::string> Keys(const std::string& section) const;
    void SetValue(const std::string& section, const std::string& key, const std::string& value);
    void EraseSection(const std::string& section);

private:
    struct Section {
        std::string name;
        std::vector<std::pair<std::string, std::string>> entries;
    };
    Section* Find(const std::string& section);
    const Section* Find(const std::string& section) const;

    std::vector<Section> sections_;
};

// Case-insensitive comparison of ASCII letters; other bytes, and every second byte of a
// double-byte character, must match exactly.
bool EqualsIgnoringAsciiCase(const std::string& a, const std::string& b);

}  // namespace wvr
