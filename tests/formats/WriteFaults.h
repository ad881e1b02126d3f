// Failure injection for the writers: fail the n-th changing file operation, for n = 1, 2, ...
// until the write goes through, and check that every failed write left the file as it was.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "platform/base/FileOps.h"
#include "support/TestSupport.h"

namespace wvr::test {

inline int g_failAt = 0;
inline int g_operations = 0;

inline bool FailNthOperation(const char*) { return ++g_operations == g_failAt; }

inline size_t EntriesIn(const std::string& folder) {
    size_t n = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++n;
    return n;
}

// Returns how many runs failed before one succeeded (-1 when none did within the limit).
inline int FailEachStepUntilSuccess(const std::string& path, const std::function<bool()>& write) {
    const std::string before = ReadFile(path);
    const auto folder = std::filesystem::path(path).parent_path().string();
    const size_t entries = EntriesIn(folder);
    for (int n = 1; n < 200; ++n) {
        g_failAt = n;
        g_operations = 0;
        fs::SetFaultHook(FailNthOperation);
        const bool written = write();
        fs::SetFaultHook(nullptr);
        if (written) return n - 1;
        EXPECT_EQ(ReadFile(path), before) << "failing operation " << n << " changed the file";
        EXPECT_EQ(EntriesIn(folder), entries) << "failing operation " << n << " left a file behind";
        if (::testing::Test::HasFailure()) return -1;
    }
    return -1;
}

}  // namespace wvr::test
