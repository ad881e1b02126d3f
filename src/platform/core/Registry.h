// The settings store that stands in for the registry key of the program: a main key and
// named subkeys, typed reads that fail on a missing or unreadable value, and writes whose
// failure is seen. Texts are CP932 bytes to the callers; file-system paths are kept as the
// file system names them, so that any name the file system holds survives.
#pragma once

#include <memory>
#include <optional>
#include <string>

class QSettings;

namespace wvr {

class RegistryKey {
public:
    ~RegistryKey();
    RegistryKey(RegistryKey&&) noexcept;
    RegistryKey& operator=(RegistryKey&&) noexcept;

    // The main key ("") or one of its subkeys; nothing when it does not exist and `create`
    // is false.
    static std::optional<RegistryKey> Open(const std::string& subkey, bool create);
    static bool Delete(const std::string& subkey);

    std::optional<int> ReadInteger(const std::string& name) const;
    std::optional<std::string> ReadString(const std::string& name) const;
    bool WriteInteger(const std::string& name, int value);
    bool WriteString(const std::string& name, const std::string& value);
    // A path in the file system's own encoding (UTF-8 on Linux). Values stored as texts read
    // back as the same names.
    std::optional<std::string> ReadPath(const std::string& name) const;
    bool WritePath(const std::string& name, const std::string& nativePath);
    // Writes what is pending to the store; false when the store cannot be written.
    bool Flush();

private:
    RegistryKey(std::unique_ptr<QSettings> settings, std::string group);
    std::string Key(const std::string& name) const;

    std::unique_ptr<QSettings> settings_;
    std::string group_;
};

// Where the store and the ini files live when they are not beside the program.
std::string ConfigFolder();
// The ini file of that name: beside the program when one is there, else in ConfigFolder().
std::string IniFilePath(const std::string& name);

}  // namespace wvr
