// The numbers the user types as text: what counts as a number, how it is rounded, and what a ring
// makes of a count, a frequency and a duration.

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <ostream>
#include <string>

#include "alarm/number_text.h"

namespace tollvane {
namespace {

// A digit string far beyond the range of a double.
const std::string kHuge = "1" + std::string(400, '0');
const std::string kTiny = "0." + std::string(400, '0') + "1";

struct ParseCase {
    std::string text;
    std::optional<double> value;
};

void PrintTo(const ParseCase& c, std::ostream* os) {
    *os << '"' << c.text << '"';
}

class ParseNumber : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseNumber, AcceptsOnlyBlanksSignDigitsAndOnePoint) {
    const auto& c = GetParam();
    const auto got = parseNumber(c.text);
    ASSERT_EQ(got.has_value(), c.value.has_value());
    if (c.value) {
        EXPECT_DOUBLE_EQ(*got, *c.value);
    }
}

INSTANTIATE_TEST_SUITE_P(Numbers, ParseNumber,
                         ::testing::Values(ParseCase{"800", 800}, ParseCase{".5", 0.5},
                                           ParseCase{"5.", 5}, ParseCase{"+3", 3},
                                           ParseCase{"-3", -3}, ParseCase{"-.25", -0.25},
                                           ParseCase{" 7 ", 7}, ParseCase{"\t7\t", 7},
                                           ParseCase{"0", 0}, ParseCase{"007", 7},
                                           ParseCase{"1234.5678", 1234.5678}));

INSTANTIATE_TEST_SUITE_P(
    NotNumbers, ParseNumber,
    ::testing::Values(ParseCase{"", std::nullopt}, ParseCase{"   ", std::nullopt},
                      ParseCase{".", std::nullopt}, ParseCase{"+", std::nullopt},
                      ParseCase{"-", std::nullopt}, ParseCase{"- 5", std::nullopt},
                      ParseCase{"+-5", std::nullopt}, ParseCase{"1.2.3", std::nullopt},
                      ParseCase{"1e3", std::nullopt}, ParseCase{"0x10", std::nullopt},
                      ParseCase{"3,5", std::nullopt}, ParseCase{"7 7", std::nullopt},
                      ParseCase{"800Hz", std::nullopt}, ParseCase{"inf", std::nullopt},
                      ParseCase{"nan", std::nullopt}, ParseCase{"loud", std::nullopt}));

TEST(ParseNumber, DigitStringsBeyondADouble_AreHugeOrZeroNeverGarbage) {
    const auto huge = parseNumber(kHuge);
    ASSERT_TRUE(huge.has_value());
    EXPECT_GT(*huge, 1e300);
    const auto negativeHuge = parseNumber("-" + kHuge);
    ASSERT_TRUE(negativeHuge.has_value());
    EXPECT_LT(*negativeHuge, -1e300);
    const auto tiny = parseNumber(kTiny);
    ASSERT_TRUE(tiny.has_value());
    EXPECT_GE(*tiny, 0.0);
    EXPECT_LT(*tiny, 1e-300);
}

struct RoundCase {
    double value;
    std::optional<std::int64_t> whole;
};

void PrintTo(const RoundCase& c, std::ostream* os) {
    *os << c.value;
}

class RoundHalfEven : public ::testing::TestWithParam<RoundCase> {};

TEST_P(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
    EXPECT_EQ(roundHalfEven(GetParam().value), GetParam().whole);
}

INSTANTIATE_TEST_SUITE_P(
    Values, RoundHalfEven,
    ::testing::Values(RoundCase{0.5, 0}, RoundCase{1.5, 2}, RoundCase{2.5, 2}, RoundCase{3.5, 4},
                      RoundCase{-0.5, 0}, RoundCase{-1.5, -2}, RoundCase{-2.5, -2},
                      RoundCase{2.4999, 2}, RoundCase{2.5001, 3}, RoundCase{-2.6, -3},
                      RoundCase{32767.5, 32768}, RoundCase{7, 7}, RoundCase{1e19, std::nullopt},
                      RoundCase{-1e19, std::nullopt}, RoundCase{HUGE_VAL, std::nullopt},
                      RoundCase{NAN, std::nullopt}));

struct CountCase {
    std::string text;
    int beeps;
};

void PrintTo(const CountCase& c, std::ostream* os) {
    *os << '"' << c.text.substr(0, 20) << '"';
}

class BeepCount : public ::testing::TestWithParam<CountCase> {};

TEST_P(BeepCount, EmptyOrTypoRingsOnce_NegativeNone_CappedAt32767) {
    EXPECT_EQ(beepCount(GetParam().text), GetParam().beeps);
}

INSTANTIATE_TEST_SUITE_P(
    Counts, BeepCount,
    ::testing::Values(CountCase{"", 1}, CountCase{"   ", 1}, CountCase{"three", 1},
                      CountCase{"3 beeps", 1}, CountCase{"1e3", 1}, CountCase{"0", 0},
                      CountCase{"3", 3}, CountCase{" 3 ", 3}, CountCase{"+3", 3},
                      CountCase{"0.5", 0}, CountCase{"1.5", 2}, CountCase{"2.5", 2},
                      CountCase{"-0.4", 0}, CountCase{"-1", 0}, CountCase{"-99999999999", 0},
                      CountCase{"32767", 32767}, CountCase{"32767.5", 32767},
                      CountCase{"32768", 32767}, CountCase{"99999999999999999999", 32767},
                      CountCase{kHuge, 32767}, CountCase{"-" + kHuge, 0}));

struct ToneCase {
    std::string frequency, duration;
    std::optional<ToneSettings> tone;
};

void PrintTo(const ToneCase& c, std::ostream* os) {
    *os << '"' << c.frequency.substr(0, 20) << "\" Hz, \"" << c.duration.substr(0, 20) << "\" ms";
}

class BeepTone : public ::testing::TestWithParam<ToneCase> {};

TEST_P(BeepTone, SilentOutsideTheSpeakersRange_LongBeepsCappedAtAMinute) {
    const auto got = beepTone(GetParam().frequency, GetParam().duration);
    const auto& want = GetParam().tone;
    ASSERT_EQ(got.has_value(), want.has_value());
    if (want) {
        EXPECT_EQ(got->frequencyHz, want->frequencyHz);
        EXPECT_EQ(got->durationMs, want->durationMs);
    }
}

INSTANTIATE_TEST_SUITE_P(Playable, BeepTone,
                         ::testing::Values(ToneCase{"800", "200", ToneSettings{800, 200}},
                                           ToneCase{" 800 ", "+200", ToneSettings{800, 200}},
                                           ToneCase{"37", "1", ToneSettings{37, 1}},
                                           ToneCase{"32767", "60000", ToneSettings{32767, 60000}},
                                           ToneCase{"36.6", "0.6", ToneSettings{37, 1}},
                                           ToneCase{"440.5", "100.5", ToneSettings{440, 100}},
                                           ToneCase{"441.5", "101.5", ToneSettings{442, 102}},
                                           ToneCase{"800", "60001", ToneSettings{800, 60000}},
                                           ToneCase{"800", "99999999999999999999",
                                                    ToneSettings{800, 60000}},
                                           ToneCase{"800", kHuge, ToneSettings{800, 60000}}));

INSTANTIATE_TEST_SUITE_P(
    Silent, BeepTone,
    ::testing::Values(ToneCase{"", "200", std::nullopt}, ToneCase{"800", "", std::nullopt},
                      ToneCase{"high", "200", std::nullopt}, ToneCase{"800", "long", std::nullopt},
                      ToneCase{"36", "200", std::nullopt}, ToneCase{"36.5", "200", std::nullopt},
                      ToneCase{"32768", "200", std::nullopt},
                      ToneCase{"32767.5", "200", std::nullopt},
                      ToneCase{"-800", "200", std::nullopt}, ToneCase{kHuge, "200", std::nullopt},
                      ToneCase{"800", "0", std::nullopt}, ToneCase{"800", "0.5", std::nullopt},
                      ToneCase{"800", "-200", std::nullopt},
                      ToneCase{"800", "-" + kHuge, std::nullopt}));

}  // namespace
}  // namespace tollvane
