// The journal's records: a tag byte, then numbers (8 bytes, little-endian) and byte strings
// (their length, then the bytes), so that any path or tag bytes go through unchanged.
#include "app/commands/JournalEntry.h"

#include <set>

namespace wvr::journal {
namespace {

constexpr std::string_view kMagic = "wvr-journal 1\n";

void Put(std::string& out, uint64_t value) {
    for (int i = 0; i < 8; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
}
void Put(std::string& out, std::string_view bytes) {
    Put(out, static_cast<uint64_t>(bytes.size()));
    out.append(bytes);
}

class Reader {
public:
    explicit Reader(std::string_view bytes) : bytes_(bytes) {}
    bool AtEnd() const { return at_ >= bytes_.size(); }
    bool Take(uint64_t& value) {
        if (bytes_.size() - at_ < 8) return false;
        value = 0;
        for (int i = 0; i < 8; ++i) value |= uint64_t{static_cast<unsigned char>(bytes_[at_ + i])} << (8 * i);
        at_ += 8;
        return true;
    }
    bool Take(int64_t& value) {
        uint64_t v;
        if (!Take(v)) return false;
        value = static_cast<int64_t>(v);
        return true;
    }
    bool Take(std::string& text) {
        uint64_t n;
        if (!Take(n) || n > bytes_.size() - at_) return false;
        text.assign(bytes_.substr(at_, n));
        at_ += n;
        return true;
    }
    bool Take(char& tag) {
        if (AtEnd()) return false;
        tag = bytes_[at_++];
        return true;
    }
    template <class... T>
    bool TakeAll(T&... values) {
        return (Take(values) && ...);
    }

private:
    std::string_view bytes_;
    size_t at_ = 0;
};

std::string Tagged(char tag) { return std::string(1, tag); }

}  // namespace

// A file written and then moved (a rename with its write) counts once.
size_t Entry::FileCount() const {
    std::set<std::string> paths;
    for (const Change& c : changes)
        paths.insert(c.kind == Change::Kind::Move || c.kind == Change::Kind::Removal ? c.from : files[c.file].path);
    return paths.size();
}

uint64_t Hash(std::string_view bytes, uint64_t seed) {
    uint64_t h = seed;
    for (unsigned char c : bytes) h = (h ^ c) * 1099511628211ull;
    return h;
}

std::string EncodeHeader(int64_t time, const std::string& command) {
    std::string out(kMagic);
    out += 'H';
    Put(out, static_cast<uint64_t>(time));
    Put(out, command);
    return out;
}

std::string EncodeFile(const TouchedFile& f) {
    std::string out = Tagged('F');
    Put(out, f.path);
    for (uint64_t v : {f.device, f.inode, f.size}) Put(out, v);
    Put(out, static_cast<uint64_t>(f.mtimeSec));
    Put(out, static_cast<uint64_t>(f.mtimeNsec));
    return out;
}

std::string EncodeChange(const Change& c) {
    std::string out = Tagged(static_cast<char>(c.kind));
    Put(out, c.file);
    for (uint64_t v : {c.offset, c.suffix, c.oldSize, c.afterSize, c.newLength, c.newHash}) Put(out, v);
    Put(out, c.oldBytes);
    Put(out, c.from);
    Put(out, c.to);
    return out;
}

std::string EncodeUndoes(const std::string& id) {
    std::string out = Tagged('U');
    Put(out, id);
    return out;
}
std::string EncodeUndoneBy(const std::string& id) {
    std::string out = Tagged('D');
    Put(out, id);
    return out;
}
std::string EncodeWithoutUndo() { return Tagged('N'); }
std::string EncodeClosed() { return Tagged('C'); }

std::optional<Entry> Decode(std::string_view bytes) {
    if (bytes.substr(0, kMagic.size()) != kMagic) return std::nullopt;
    Reader in(bytes.substr(kMagic.size()));
    Entry entry;
    entry.bytes = bytes.size();
    char tag;
    if (!in.Take(tag) || tag != 'H' || !in.TakeAll(entry.time, entry.command)) return std::nullopt;
    while (in.Take(tag)) {
        switch (tag) {
        case 'F': {
            TouchedFile f;
            if (!in.TakeAll(f.path, f.device, f.inode, f.size, f.mtimeSec, f.mtimeNsec)) return entry;
            entry.files.push_back(std::move(f));
            break;
        }
        case 'W':
        case 'R':
        case 'M':
        case 'K':
        case 'X': {
            Change c{static_cast<Change::Kind>(tag)};
            if (!in.TakeAll(c.file, c.offset, c.suffix, c.oldSize, c.afterSize, c.newLength, c.newHash, c.oldBytes,
                            c.from, c.to))
                return entry;
            if (c.kind != Change::Kind::Move && c.kind != Change::Kind::Removal && c.file >= entry.files.size())
                return std::nullopt;
            entry.changes.push_back(std::move(c));
            break;
        }
        case 'U':
            if (!in.Take(entry.undoes)) return entry;
            break;
        case 'D': {
            std::string id;
            if (!in.Take(id)) return entry;
            entry.undoneBy.push_back(std::move(id));
            break;
        }
        case 'N': entry.withoutUndo = true; break;
        case 'C': entry.closed = true; break;
        default: return entry;  // a record torn by a crash
        }
    }
    return entry;
}

}  // namespace wvr::journal
