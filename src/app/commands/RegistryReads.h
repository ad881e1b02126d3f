// Reading a key of the settings store as one unit: the reads stop at the first value that is
// missing or unreadable, keeping what was read and the defaults after it.
#pragma once

#include <functional>
#include <string>

#include "app/commands/Settings.h"
#include "platform/core/Registry.h"

namespace wvr {

// A block of reads that stops at the first value that is missing or unreadable.
class ReadBlock {
public:
    explicit ReadBlock(const RegistryKey& key) : key_(key) {}

    ReadBlock& Integer(const std::string& name, const std::function<void(int)>& apply) {
        if (!failed_) {
            if (auto v = key_.ReadInteger(name)) apply(*v);
            else failed_ = true;
        }
        return *this;
    }
    ReadBlock& Flag(const std::string& name, bool& target) {
        return Integer(name, [&](int v) { target = v != 0; });
    }
    ReadBlock& Number(const std::string& name, int& target) {
        return Integer(name, [&](int v) { target = v; });
    }
    ReadBlock& Bits(Settings& s, int first, int last) {
        for (int bit = first; bit <= last; ++bit)
            Integer(OptionName(bit), [&s, bit](int v) { s.bits[bit] = v != 0; });
        return *this;
    }
    ReadBlock& String(const std::string& name, const std::function<void(std::string)>& apply) {
        if (!failed_) {
            if (auto v = key_.ReadString(name)) apply(*v);
            else failed_ = true;
        }
        return *this;
    }
    ReadBlock& Text(const std::string& name, std::string& target) {
        return String(name, [&](std::string v) { target = std::move(v); });
    }
    ReadBlock& Path(const std::string& name, std::string& target) {
        if (!failed_) {
            if (auto v = key_.ReadPath(name)) target = std::move(*v);
            else failed_ = true;
        }
        return *this;
    }
    // A text that is missing reads as empty and does not stop the block.
    ReadBlock& TextOrEmpty(const std::string& name, const std::function<void(std::string)>& apply) {
        if (!failed_) apply(key_.ReadString(name).value_or(std::string()));
        return *this;
    }

private:
    const RegistryKey& key_;
    bool failed_ = false;
};

}  // namespace wvr
