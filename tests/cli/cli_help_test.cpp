// wvr-cli --help and SUBCOMMAND --help: every subcommand of the table answers on stdout with
// exit 0 in the shared form, the manual page is made from the same texts, and the README
// documents each subcommand.
#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
#include <sstream>
#include <sys/wait.h>

#include "support/TestSupport.h"

using namespace wvr;

namespace {

struct CliRun {
    int status = -1;
    std::string out, err;
};

CliRun Cli(const std::string& args, const test::TempDir& dir) {
    const std::string errPath = dir / "stderr";
    FILE* pipe = popen((std::string("'") + WVR_CLI_PATH + "' " + args + " 2>'" + errPath + "'").c_str(), "r");
    CliRun run;
    for (int c; (c = fgetc(pipe)) != EOF;) run.out += static_cast<char>(c);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.err = test::ReadFile(errPath);
    return run;
}

// The names under "Subcommands:" of the overview.
std::vector<std::string> SubcommandNames(const std::string& overview) {
    std::vector<std::string> names;
    std::istringstream lines(overview.substr(overview.find("\nSubcommands:\n") + 14));
    for (std::string line; std::getline(lines, line) && line.starts_with("  ");)
        names.push_back(line.substr(2, line.find(' ', 2) - 2));
    return names;
}

}  // namespace

TEST(CliHelp, EverySubcommandAnswersHelpOnStdoutInTheSharedForm) {
    test::TempDir dir;
    const CliRun overview = Cli("--help", dir);
    EXPECT_EQ(overview.status, 0);
    EXPECT_EQ(overview.err, "");
    EXPECT_TRUE(overview.out.starts_with("usage:\n")) << overview.out;
    EXPECT_NE(overview.out.find("Exit status:\n  0  "), std::string::npos);
    const std::vector<std::string> names = SubcommandNames(overview.out);
    ASSERT_GE(names.size(), 3u);

    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        for (const char* asking : {" --help", " -h", " --yes --help x.mp3"}) {
            const CliRun help = Cli(name + asking, dir);
            EXPECT_EQ(help.status, 0);
            EXPECT_EQ(help.err, "");
            EXPECT_TRUE(help.out.starts_with("usage: wvr-cli " + name + " ")) << help.out;
            for (const char* part : {"\n\nOptions:\n", "\n  --help ", "\n\nExit status:\n  0  "})
                EXPECT_NE(help.out.find(part), std::string::npos) << part;
        }
        // After "--" it is a path.
        EXPECT_NE(Cli(name + " -- --help", dir).out.find("usage:"), 0u);
    }
    const CliRun bad = Cli("list --bogus x.mp3", dir);
    EXPECT_EQ(bad.status, 2);
    EXPECT_EQ(bad.out, "");
    EXPECT_TRUE(bad.err.starts_with("wvr: 知らないオプションです: --bogus\nusage: wvr-cli list ")) << bad.err;
    EXPECT_NE(Cli("fill --field 14 --text x x.mp3", dir).err.find("--field には 0 から 13 "), std::string::npos);
    EXPECT_EQ(Cli("", dir).status, 2);
    EXPECT_EQ(Cli("nosuch", dir).status, 2);
}

TEST(CliHelp, TheManualPageAndTheReadmeCoverEverySubcommand) {
    test::TempDir dir;
    const std::vector<std::string> names = SubcommandNames(Cli("--help", dir).out);
    const CliRun man = Cli("--man", dir);
    EXPECT_EQ(man.status, 0);
    EXPECT_TRUE(man.out.starts_with(".TH WVR\\-CLI 1 ")) << man.out.substr(0, 80);
    const std::string readme = test::ReadFile(test::CorpusPath("../../README.md"));
    for (const std::string& name : names) {
        std::string inRoff;  // roff writes "-" as "\-"
        for (char c : name) inRoff += c == '-' ? std::string("\\-") : std::string(1, c);
        EXPECT_NE(man.out.find(".SS \"wvr\\-cli " + inRoff + " "), std::string::npos) << name;
        EXPECT_NE(readme.find("### wvr-cli " + name + "\n"), std::string::npos) << name << " is not in README.md";
    }
    // The README's section gives every exit status the help lists.
    for (const std::string& name : names) {
        const std::string help = Cli(name + " --help", dir).out;
        const size_t start = readme.find("### wvr-cli " + name + "\n");
        if (start == std::string::npos) continue;
        const std::string section = readme.substr(start, readme.find("\n### ", start + 1) - start);
        const size_t told = section.find("Exit status");
        ASSERT_NE(told, std::string::npos) << name;
        std::istringstream statuses(help.substr(help.find("\nExit status:\n") + 14));
        for (std::string line; std::getline(statuses, line) && line.starts_with("  ");) {
            const std::string status = line.substr(2, 1);
            EXPECT_TRUE(std::regex_search(section.substr(told), std::regex("\\b" + status + "\\b")))
                << name << ": the README does not give the exit status " << status;
        }
    }
    if (!test::HasTool("groff")) GTEST_SKIP() << "groff is not installed";
    test::WriteFile(dir / "wvr-cli.1", man.out);
    EXPECT_EQ(test::RunTool("groff -man -ww -z '" + (dir / "wvr-cli.1") + "' 2>&1"), "");
}
