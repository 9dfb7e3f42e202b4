#include "Assert.h"
#include "Exceptions.h"

#include <gtest/gtest.h>

namespace {

TEST(Assert, PassingCheckDoesNothing) {
    EXPECT_NO_THROW(rtl::Assert(true, "never shown"));
}

TEST(Assert, FailureNamesMessageSourcePathAndLine) {
    const int line = __LINE__ + 2;
    try {
        rtl::Assert(false, "Patch position was nil");
        FAIL();
    } catch (const EAssertionFailed& e) {
        EXPECT_EQ(e.Message(),
                  "Patch position was nil (tests/Runtime/AssertTest, line " + std::to_string(line) + ")");
    }
}

TEST(Assert, SourcePathDropsOnlyTheExtension) {
    EXPECT_EQ(rtl::SourcePath("Shared/Localiser/ProcHook.cpp"), "Shared/Localiser/ProcHook");
    EXPECT_EQ(rtl::SourcePath("a.b/c"), "a.b/c");
    EXPECT_EQ(rtl::SourcePath("x\\y.h"), "x\\y");
}

} // namespace
