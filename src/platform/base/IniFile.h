// Ini files that behave like the Windows profile calls: bytes kept as they are (CP932),
// sections and keys in file order, case-insensitive names, the first of two equal keys wins,
// a value in double quotes reads without them. A change touches only the lines it changes:
// every other line (comments, blank lines, spacing, its line end) is written back byte for
// byte; new lines end in CR LF.
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
    // The keys of a section in file order, each once, with the value Value() gives for it;
    // in one pass, however long the section.
    std::vector<std::pair<std::string, std::string>> Entries(const std::string& section) const;
    // Changes the first line of the key in place, or adds one after the section's last key
    // (a new section goes at the end of the file).
    void SetValue(const std::string& section, const std::string& key, const std::string& value);
    // Adds a section that is not in the file at its end, holding these keys as SetValue one
    // by one would (a key given twice keeps its first line and takes the last value), in one
    // pass however many there are.
    void AppendSection(const std::string& section, const std::vector<std::pair<std::string, std::string>>& entries);
    // Removes the section: its header and every line up to the next section.
    void EraseSection(const std::string& section);
    // The section then holds exactly these keys, in this order, where its keys stood; its
    // header, comments and blank lines stay. A missing section is added at the end.
    void ReplaceSection(const std::string& section, const std::vector<std::pair<std::string, std::string>>& entries);

private:
    struct Line {
        std::string text;  // as stored, without its line end
        std::string end;   // "\r\n", "\n", "\r" or nothing (the last line)
    };
    struct Entry {
        std::string key, value;  // trimmed
        size_t line = 0;
    };
    // A section's name and its keys; sections of one name met twice are one.
    struct Section {
        std::string name;
        size_t header = 0;    // the line of its first header
        size_t lastLine = 0;  // its last key line, or its first header
        std::vector<Entry> entries;
    };
    Section* Find(const std::string& section);
    const Section* Find(const std::string& section) const;
    // Rebuilds the sections from the lines after a change.
    void Index();
    void InsertLine(size_t at, std::string text);
    void AppendLine(std::string text);

    std::vector<Line> lines_;
    std::vector<Section> sections_;
};

// Case-insensitive comparison of ASCII letters; other bytes, and every second byte of a
// double-byte character, must match exactly.
bool EqualsIgnoringAsciiCase(const std::string& a, const std::string& b);

// Whether a section of this name reads back as itself: its header ends at the first "]" that
// is not the second byte of a double-byte character, and is read trimmed and line by line.
bool IsStorableSectionName(const std::string& name);

}  // namespace wvr
