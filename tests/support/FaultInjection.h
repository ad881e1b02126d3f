// Fault injection for the writers: each step of a write made to fail in turn, the writing
// process killed at each step or at a random moment, and a full file system.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <map>
#include <string>

namespace wvr::test {

// What a folder holds: each name with its bytes (folders inside it are not looked into).
using FolderState = std::map<std::string, std::string>;
FolderState ReadFolder(const std::string& folder);
// A folder state in few words, for messages: names, sizes and a digest of the bytes.
std::string Describe(const FolderState& state);
// The same names with the same bytes; a failure describes both states.
::testing::AssertionResult SameFolder(const FolderState& now, const FolderState& expected);

// Runs `write` with operation n of the file layer failing, for n = 1, 2, ... until a run meets
// no fault, calling `check(n, written)` after each run, the last one included. Returns the
// number of operations of a whole write.
int FailEachOperation(const std::function<bool()>& write, const std::function<void(int n, bool written)>& check);

// Runs `write` in a child process killed at operation n, for n = 1, 2, ... until the child
// gets through; `prepare()` before each run and `check(n)` after each kill. A kill at a write
// longer than a page comes right after half of its bytes were written (a shorter write is
// never cut by a kill). Returns the number of operations.
int KillAtEachOperation(const std::function<void()>& prepare, const std::function<bool()>& write,
                        const std::function<void(int n)>& check);

// Runs `write` in a child process killed after a random delay below `longest`, `runs` times,
// with `prepare()` before and `check()` after each. Returns how many kills came mid-way (the
// child neither finished nor was it still before its first step).
int KillAtRandomMoments(const std::function<void()>& prepare, const std::function<bool()>& write,
                        const std::function<void()>& check, int runs, std::chrono::microseconds longest,
                        unsigned seed);

// A small file system (tmpfs) of `bytes` mounted on a fresh folder for the life of the object,
// private to this process. Only root may mount one; `reason()` says why there is none.
class SmallFileSystem {
public:
    explicit SmallFileSystem(size_t bytes);
    ~SmallFileSystem();
    SmallFileSystem(const SmallFileSystem&) = delete;
    SmallFileSystem& operator=(const SmallFileSystem&) = delete;

    bool mounted() const { return mounted_; }
    const std::string& reason() const { return reason_; }
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
    std::string reason_;
    bool mounted_ = false;
};

// Fills the file system of `folder` with a file of that name until no byte more fits.
void FillUp(const std::string& fillerPath);

}  // namespace wvr::test
