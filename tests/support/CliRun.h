// Runs wvr-cli as a user would, with a settings store of the test's own, and keeps what it
// printed: the rows split at tabs, and stderr.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

#include "support/TestSupport.h"

namespace wvr::test {

class CliTest : public ::testing::Test {
protected:
    // The command's settings store is an empty folder of the test's own.
    void SetUp() override { setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1); }

    // Runs wvr-cli; returns its status and keeps the printed rows split at tabs, and stderr.
    int Cli(const std::vector<std::string>& args) {
        std::string command = std::string("'") + WVR_CLI_PATH + "'";
        for (const std::string& arg : args) command += " '" + arg + "'";
        FILE* out = popen((command + " 2>'" + dir / "stderr" + "'").c_str(), "r");
        std::string text;
        for (int c; (c = fgetc(out)) != EOF;) text += static_cast<char>(c);
        const int status = WEXITSTATUS(pclose(out));
        rows.clear();
        std::stringstream lines(text);
        for (std::string line; std::getline(lines, line);) {
            std::stringstream fields(line);
            rows.emplace_back();
            for (std::string field; std::getline(fields, field, '\t');) rows.back().push_back(field);
        }
        err = ReadFile(dir / "stderr");
        return status;
    }

    TempDir dir;
    std::vector<std::vector<std::string>> rows;
    std::string err;
};

}  // namespace wvr::test
