// Shared helpers of the tests: temporary folders, corpus copies, scripted message boxes.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/base/Prompter.h"

namespace wvr::test {

// A fresh folder under the system's temporary folder, removed with its contents at the end.
class TempDir {
public:
    TempDir();
    // A folder in `parent` instead of the system's temporary folder.
    explicit TempDir(const std::string& parent);
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    // path() + "/" + name
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// The exit status by which a test program tells CTest that a test of it was skipped.
inline constexpr int kSkippedExitCode = WVR_SKIPPED_EXIT_CODE;

// A file of tests/data (read only). A missing file throws, so the test using it fails.
std::string CorpusPath(const std::string& relative);
// Copies a test file into `dir` (under `as`, or its own name) and returns the copy's path.
std::string CopyCorpusFile(const std::string& relative, const TempDir& dir, const std::string& as = {});

std::string ReadFile(const std::string& path);
// How many entries a folder holds.
size_t EntriesIn(const std::string& folder);
void WriteFile(const std::string& path, const std::string& bytes);

// For as long as it lives, root loses its right to open files and folders whatever their
// permission bits (CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH of the calling thread), so that a
// test of refused access means as root what it means for any other user. Other users have
// no such right and nothing changes for them.
class PermissionChecksEnforced {
public:
    PermissionChecksEnforced();
    ~PermissionChecksEnforced();
    PermissionChecksEnforced(const PermissionChecksEnforced&) = delete;
    PermissionChecksEnforced& operator=(const PermissionChecksEnforced&) = delete;
    // False when the right could not be given up: permission bits do not bind this user.
    bool enforced() const { return enforced_; }

private:
    bool dropped_ = false;
    bool enforced_ = false;
};

// Root's rights over other users' files (renaming them in a sticky folder, giving files away)
// given up for the life of the object, so that root meets the checks an ordinary user meets.
class WithoutOwnerRights {
public:
    WithoutOwnerRights();
    ~WithoutOwnerRights();
    WithoutOwnerRights(const WithoutOwnerRights&) = delete;
    WithoutOwnerRights& operator=(const WithoutOwnerRights&) = delete;

private:
    bool dropped_ = false;
};

// Peer tools used as oracles: whether one is installed, and the standard output of a command.
bool HasTool(const std::string& name);
std::string RunTool(const std::string& command);

// What a run of wvr-cli gave: its exit status, stdout as lines split at tabs, and stderr.
struct CliResult {
    int status = -1;
    std::vector<std::vector<std::string>> rows;
    std::string err;
};
// Runs wvr-cli with this process's environment (its settings store); stderr goes through
// the file `errPath`.
CliResult RunCli(const std::vector<std::string>& args, const std::string& errPath);

// UTF-8 literal -> CP932 bytes.
std::string Sjis(const std::string& utf8);

// Records every box and answers questions from a queue (Yes / OK when the queue is empty,
// unless a default is set).
class ScriptedPrompter : public Prompter {
public:
    PromptAnswer Ask(const Prompt& prompt) override;

    void Answer(PromptAnswer answer) { answers_.push_back(answer); }
    void SetDefault(PromptAnswer answer) { default_ = answer; }
    const std::vector<Prompt>& shown() const { return shown_; }
    std::vector<std::string> texts() const;
    void Clear() { shown_.clear(); }

private:
    std::deque<PromptAnswer> answers_;
    std::vector<Prompt> shown_;
    PromptAnswer default_ = PromptAnswer::Yes;
};

}  // namespace wvr::test
