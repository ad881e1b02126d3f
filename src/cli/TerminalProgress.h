// The progress of a long run of wvr-cli: "done / total" on one line of stderr, rewritten in
// place, when stderr is a terminal. A pipe or a file gets nothing: it keeps only messages.
#pragma once

#include <chrono>
#include <cstdio>
#include <functional>

#include "app/commands/Session.h"

namespace wvr::cli {

class TerminalProgress : public BusyIndicator {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    explicit TerminalProgress(std::FILE* out = stderr, Clock now = std::chrono::steady_clock::now);

    void Begin() override;
    // Removes the line, so that what comes next starts on a clean one.
    void End() override;
    void Progress(int done, int total) override;

    // Removes the line of any run still shown on stderr, before a message is written there.
    static void ClearStderrLine();

private:
    std::FILE* out_;
    Clock now_;
    bool terminal_;
    std::chrono::steady_clock::time_point start_{}, drawn_{};
    bool shown_ = false;
};

}  // namespace wvr::cli
