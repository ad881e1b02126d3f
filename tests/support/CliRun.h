// Runs wvr-cli as a user would, with a settings store of the test's own, and keeps what it
// printed: the rows split at tabs, and stderr.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/TestSupport.h"

namespace wvr::test {

class CliTest : public ::testing::Test {
protected:
    // The command's settings store is an empty folder of the test's own.
    void SetUp() override { setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1); }

    // Runs wvr-cli; returns its status and keeps the printed rows split at tabs, and stderr.
    int Cli(const std::vector<std::string>& args) {
        CliResult result = RunCli(args, dir / "stderr");
        rows = std::move(result.rows);
        err = std::move(result.err);
        return result.status;
    }

    TempDir dir;
    std::vector<std::vector<std::string>> rows;
    std::string err;
};

}  // namespace wvr::test
