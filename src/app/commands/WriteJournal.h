// The write journal: every run of a command that changes the user's files is one entry in
// $XDG_STATE_HOME/brambly/journal/ (default ~/.local/state/brambly/journal/), holding for each
// file, before its first byte changes, its identity and the bytes the change replaces. The
// file layer tells the journal of every change (WriteObserver), so writers need not know of it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace wvr {
class Prompter;
}

namespace wvr::journal {

// Native path of the journal's folder, ending in "/".
std::string JournalFolder();
// An entry is "<id>.wvrj" once its run ended, "<id>.wvrj-open" while it runs or when the run
// was killed, so that a start finds killed runs by their names alone.
inline constexpr const char* kClosedSuffix = ".wvrj";
inline constexpr const char* kOpenSuffix = ".wvrj-open";
// The entry's file, closed or open ("" when there is none).
std::string EntryPath(const std::string& id);
// Appends a record to a run's entry and flushes it; a closing record also gives it its closed name.
bool AppendToEntry(const std::string& id, const std::string& record);

// How long and how much the journal keeps (the options dialog's "その他" page).
struct Limits {
    int days = 30;
    int megabytes = 200;
    uint64_t Bytes() const { return uint64_t(megabytes) * 1024 * 1024; }
};
Limits LoadLimits();
bool StoreLimits(const Limits& limits);

// wvr-cli --no-undo: a run whose journal cannot be kept goes on without it instead of stopping.
void SetGoOnWithoutUndo(bool goOn);

class Recorder;

// Closes the run at work, for a process that ends without unwinding (std::exit).
void EndRunBeforeExit();

// One run of a command. A run inside another joins it, so the outermost names the run. The
// entry is made at the first change (or by Begin()), and closed when the scope ends. When
// the entry cannot be written, or would outgrow the journal's size, the run asks `prompter`
// whether to go on without undo (no prompter: it says so on stderr); until told, every change
// is refused before its first byte.
class JournalRun {
public:
    explicit JournalRun(std::string command, Prompter* prompter = nullptr);
    ~JournalRun();
    JournalRun(const JournalRun&) = delete;
    JournalRun& operator=(const JournalRun&) = delete;

    // Makes the entry now: false when it cannot be made and the run may not go on without it.
    bool Begin();
    // The entry's id ("" before it is made or when the run joined another).
    std::string Id() const;
    // An undo run names the run it takes back.
    void NoteUndoes(const std::string& id);

private:
    std::unique_ptr<Recorder> recorder_;  // none when joined to an outer run
};

}  // namespace wvr::journal
