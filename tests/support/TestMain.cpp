// The main of every GoogleTest program. A program in which a test was skipped (a peer tool
// that is not installed, a case this user cannot set up) and none failed exits with the code
// CTest counts as skipped, so a skip shows in the summary instead of passing unseen.
#include <gtest/gtest.h>

#include "support/TestSupport.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    if (result == 0 && ::testing::UnitTest::GetInstance()->skipped_test_count() > 0)
        return wvr::test::kSkippedExitCode;
    return result;
}
