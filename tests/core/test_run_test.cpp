// The run of these tests itself: each case is started with every variable it was given, not the
// first alone, since the time zone, the locale and, under Wine, the session come from them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

TEST(TestRun, EachCaseGetsItsWholeEnvironment) {
    const char* tz = std::getenv("TZ");
    const char* locale = std::getenv("LC_ALL");
    EXPECT_EQ(std::string(tz ? tz : "(unset)"), "UTC");
    EXPECT_EQ(std::string(locale ? locale : "(unset)"), "C.UTF-8");
}
