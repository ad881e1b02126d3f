// wvr-cli fill --field K --text T [--front|--back] [--write] PATH...: fills field K (0..13,
// as the fill dialog lists them) of every listed row and prints the rows; with --write the
// files are written too.
#include "app/commands/Fill.h"
#include "cli/Subcommands.h"
#include "cli/WriteStep.h"

namespace wvr::cli {

int FillFilesCommand(const ParsedArguments& parsed) {
    const auto field = NumberOf(parsed, "--field", 0, kColumnCount - 2);
    const std::string* utf8 = ValueOf(parsed, "--text");
    const bool front = HasFlag(parsed, "--front"), back = HasFlag(parsed, "--back");
    if (!ValueOf(parsed, "--field") || !utf8) return BadArguments("--field と --text が必要です");
    if (!field) return kExitBadArguments;
    if (front && back) return BadArguments("--front と --back は一緒に使えません");
    const auto text = SjisArgument(*utf8, "文字列");
    if (!text) return kExitBadArguments;

    StderrPrompter prompter(false);
    Session session;
    const int status = LoadAndAdd(session, parsed.paths, parsed.run, prompter);
    session.settings.Set(Option::FilChkOff, true);
    FillRows(session, static_cast<int>(*field), *text, front ? FillMode::Front : back ? FillMode::Back : FillMode::Replace);

    return Worse(status, PrintOrWrite(session, prompter, true, HasFlag(parsed, "--write")));
}

}  // namespace wvr::cli
