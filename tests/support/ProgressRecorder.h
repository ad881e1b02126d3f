// A busy indicator that keeps what a command told it, to check its progress reports.
#pragma once

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "app/commands/Session.h"

namespace wvr::test {

class ProgressRecorder : public BusyIndicator {
public:
    void Begin() override {}
    void End() override {}
    void Progress(int done, int total) override { seen.emplace_back(done, total); }

    // Counted one by one (never back) up to `total` of `total`, with the same total each time.
    void ExpectCountedUpTo(int total) const {
        ASSERT_FALSE(seen.empty());
        EXPECT_EQ(seen.back(), std::make_pair(total, total));
        for (size_t i = 0; i < seen.size(); ++i) {
            EXPECT_EQ(seen[i].second, total) << "report " << i;
            if (i > 0) {
                EXPECT_GE(seen[i].first, seen[i - 1].first) << "report " << i;
            }
        }
    }

    std::vector<std::pair<int, int>> seen;  // done, total
};

}  // namespace wvr::test
