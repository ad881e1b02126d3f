// The order in which a folder's entries are listed: by name, as the file system the program's
// lists were first made on orders them, so that "01 曲.mp3" comes before "02 曲.mp3" and track
// numbers, renames and text input follow the order the user sees in a file manager.
#pragma once

#include <string>
#include <string_view>

namespace wvr {

// A native (UTF-8) file name with its place in the listing order. Names are compared by their
// UTF-16 code units after each unit of the basic plane is mapped to its simple upper case
// (Unicode's one-to-one mapping; characters beyond the basic plane are compared as they are),
// so "a.mp3" < "B" < "c.mp3", and letters come before "_" and "[". Names equal in that form
// ("AB" and "ab" side by side) are ordered by their bytes, so the order is total and stable.
// A byte that is no UTF-8 stands for itself as a unit of its own.
class ListedName {
public:
    explicit ListedName(std::string native);

    const std::string& Native() const { return native_; }

    friend bool operator<(const ListedName& a, const ListedName& b) {
        return a.key_ != b.key_ ? a.key_ < b.key_ : a.native_ < b.native_;
    }

private:
    std::string native_;
    std::u16string key_;
};

}  // namespace wvr
