#include "cli/TerminalProgress.h"

#include <unistd.h>

namespace wvr::cli {

namespace {

// A run this short needs no progress; the line is brought up to date a few times a second.
constexpr std::chrono::milliseconds kQuietStart{1000};
constexpr std::chrono::milliseconds kRedrawEvery{100};

// The progress line a run is showing on stderr, for messages that come between.
bool g_stderrLineShown = false;

}  // namespace

TerminalProgress::TerminalProgress(std::FILE* out, Clock now)
    : out_(out), now_(std::move(now)), terminal_(::isatty(::fileno(out)) == 1) {}

void TerminalProgress::Begin() {
    start_ = now_();
    shown_ = false;
}

void TerminalProgress::Progress(int done, int total) {
    if (!terminal_) return;
    const auto now = now_();
    if (now - start_ < kQuietStart || (shown_ && now - drawn_ < kRedrawEvery && done < total)) return;
    // "\033[K" clears what a longer line before left to the right.
    if (total > 0)
        std::fprintf(out_, "\r%d / %d\033[K", done, total);
    else
        std::fprintf(out_, "\r%d\033[K", done);
    std::fflush(out_);
    shown_ = true;
    drawn_ = now;
    if (out_ == stderr) g_stderrLineShown = true;
}

void TerminalProgress::End() {
    if (!shown_) return;
    std::fputs("\r\033[K", out_);
    std::fflush(out_);
    shown_ = false;
    if (out_ == stderr) g_stderrLineShown = false;
}

void TerminalProgress::ClearStderrLine() {
    if (!g_stderrLineShown) return;
    std::fputs("\r\033[K", stderr);
    g_stderrLineShown = false;
}

}  // namespace wvr::cli
