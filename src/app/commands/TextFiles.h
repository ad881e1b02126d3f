// Reading and writing the text files of the bulk commands (CSV, template output, text input)
// with a clear message when it fails: the file's name and the system's reason. Output is
// built beside its target and renamed over it only when complete, so a failed write leaves
// no half-written file and an existing one as it was; where the folder lets no new file be
// made, an existing target that may be written is written in place (fs::OutputFile).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/base/FileOps.h"
#include "platform/base/NewFile.h"

namespace wvr {

class Prompter;

// The one message for a file that cannot be created, followed by its name and the reason.
inline constexpr const char* kCannotCreateFile = "ファイルを作成できませんでした。";

// The whole file named by a row path; nothing after telling the user why not.
std::optional<std::string> ReadTextFile(const std::string& rowPath, Prompter& prompter);

class TextOutput {
public:
    explicit TextOutput(std::string rowPath) : rowPath_(std::move(rowPath)) {}

    // Creates the file beside the target; false after telling the user why not.
    bool Create(Prompter& prompter);
    // Buffered; a failure is told by Finish.
    void Write(std::string_view bytes);
    // Writes what is left and puts the file in place; false after telling the user why not.
    bool Finish(Prompter& prompter);

private:
    bool Flush();
    bool Fail(int error, Prompter& prompter);

    std::string rowPath_;
    std::optional<fs::OutputFile> file_;
    std::string buffer_;
    int error_ = 0;
};

}  // namespace wvr
