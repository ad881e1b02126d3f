// Failure injection for the writers: fail the n-th changing file operation, for n = 1, 2, ...
// until the write goes through, and check that every failed write left the file as it was.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "platform/base/FileOps.h"
#include "support/TestSupport.h"

namespace wvr::test {

inline int g_failAt = 0;
inline int g_operations = 0;
inline const char* g_spared = nullptr;  // an operation that never fails

inline bool FailNthOperation(const char* operation) {
    if (g_spared && std::string_view(operation) == g_spared) return false;
    return ++g_operations == g_failAt;
}

inline size_t EntriesIn(const std::string& folder) {
    size_t n = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++n;
    return n;
}

// Returns how many runs failed before one succeeded (-1 when none did within the limit).
// `spared` names an operation whose failure does not undo the write (setting the time back).
inline int FailEachStepUntilSuccess(const std::string& path, const std::function<bool()>& write,
                                    const char* spared = nullptr) {
    g_spared = spared;
    const std::string before = ReadFile(path);
    const auto folder = std::filesystem::path(path).parent_path().string();
    const size_t entries = EntriesIn(folder);
    for (int n = 1; n < 200; ++n) {
        g_failAt = n;
        g_operations = 0;
        fs::SetFaultHook(FailNthOperation);
        const bool written = write();
        fs::SetFaultHook(nullptr);
        if (written) {
            g_spared = nullptr;
            return n - 1;
        }
        EXPECT_EQ(ReadFile(path), before) << "failing operation " << n << " changed the file";
        EXPECT_EQ(EntriesIn(folder), entries) << "failing operation " << n << " left a file behind";
        if (::testing::Test::HasFailure()) break;
    }
    g_spared = nullptr;
    return -1;
}

}  // namespace wvr::test
