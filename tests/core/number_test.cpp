#include "core/number.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace kelmora {
namespace {

struct LeadingNumberCase {
  std::string text;
  std::optional<double> expected;
};

class RuntimeLeadingNumber : public ::testing::TestWithParam<LeadingNumberCase> {};

TEST_P(RuntimeLeadingNumber, ReadsTheNumberAtTheStart) {
  const auto& c = GetParam();
  EXPECT_EQ(ReadLeadingNumber(c.text), c.expected) << '"' << c.text << '"';
  EXPECT_EQ(ReadNumber(c.text), c.expected.value_or(0.0)) << '"' << c.text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Table, RuntimeLeadingNumber,
    ::testing::Values(LeadingNumberCase{"15", 15.0}, LeadingNumberCase{" 1 5", 15.0},
                      LeadingNumberCase{"\t-3", -3.0}, LeadingNumberCase{"- 3", -3.0},
                      LeadingNumberCase{"+7", 7.0}, LeadingNumberCase{"2.5 abc", 2.5},
                      LeadingNumberCase{"1,5", 1.0}, LeadingNumberCase{"1.0", 1.0},
                      LeadingNumberCase{".5", 0.5}, LeadingNumberCase{"5.", 5.0},
                      LeadingNumberCase{"1e", 1.0}, LeadingNumberCase{"1e+", 1.0},
                      LeadingNumberCase{"1e5", 100000.0}, LeadingNumberCase{"1E-2", 0.01},
                      LeadingNumberCase{"2.5e 1", 25.0}, LeadingNumberCase{"1.2.3", 1.2},
                      LeadingNumberCase{" 0 ", 0.0}, LeadingNumberCase{"30m", 30.0},
                      LeadingNumberCase{"0z", 0.0}, LeadingNumberCase{"1e-400", 0.0},
                      LeadingNumberCase{"", std::nullopt}, LeadingNumberCase{"   ", std::nullopt},
                      LeadingNumberCase{".", std::nullopt}, LeadingNumberCase{"-", std::nullopt},
                      LeadingNumberCase{"+.", std::nullopt}, LeadingNumberCase{"e5", std::nullopt},
                      LeadingNumberCase{"abc", std::nullopt},
                      LeadingNumberCase{"E", std::nullopt}));

// The number tidying of the editor's boxes rewrites only text that is a number and nothing else.
TEST(RuntimeWholeNumber, ReadsOnlyTextThatIsANumberAndNothingElse) {
  const std::vector<std::pair<std::string, std::optional<double>>> table = {
      {"2.5", 2.5},
      {" 3 ", 3.0},
      {"- 1 5", -15.0},
      {"1e3", 1000.0},
      {"2.5abc", std::nullopt},
      {"1e", std::nullopt},
      {"30m", std::nullopt},
      {"", std::nullopt}};
  for (const auto& [text, expected] : table) EXPECT_EQ(ReadWholeNumber(text), expected) << text;
}

TEST(RuntimeLeadingNumberLimits, HugeExponentsGiveInfinityThatNoWidthTakes) {
  EXPECT_EQ(ReadNumber("1e400"), std::numeric_limits<double>::infinity());
  EXPECT_EQ(ReadNumber("-1e99999999999999999999"), -std::numeric_limits<double>::infinity());
  EXPECT_EQ(RoundToInt16(ReadNumber("1e400")), std::nullopt);
  EXPECT_EQ(RoundToInt32(ReadNumber("-1e400")), std::nullopt);
  // A long mantissa with a small negative exponent can still be too large.
  EXPECT_EQ(ReadNumber(std::string(400, '9') + "e-10"), std::numeric_limits<double>::infinity());
  EXPECT_EQ(ReadNumber("0." + std::string(400, '0') + "1e10"), 0.0);
}

struct RoundCase {
  double value;
  std::optional<std::int32_t> int16;
  std::optional<std::int32_t> int32;
};

class RuntimeRounding : public ::testing::TestWithParam<RoundCase> {};

TEST_P(RuntimeRounding, HalvesGoToTheEvenNeighbourWithinTheWidth) {
  const auto& c = GetParam();
  auto as16 = RoundToInt16(c.value);
  auto as32 = RoundToInt32(c.value);
  EXPECT_EQ(as16 ? std::optional<std::int32_t>(*as16) : std::nullopt, c.int16) << c.value;
  EXPECT_EQ(as32, c.int32) << c.value;
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(
    Table, RuntimeRounding,
    ::testing::Values(
        RoundCase{0.5, 0, 0}, RoundCase{1.5, 2, 2}, RoundCase{2.5, 2, 2}, RoundCase{3.5, 4, 4},
        RoundCase{-0.5, 0, 0}, RoundCase{-1.5, -2, -2}, RoundCase{-2.5, -2, -2},
        RoundCase{2.4999999, 2, 2}, RoundCase{2.5000001, 3, 3}, RoundCase{-0.0, 0, 0},
        RoundCase{32767.0, 32767, 32767}, RoundCase{32767.4, 32767, 32767},
        RoundCase{32767.5, std::nullopt, 32768}, RoundCase{32768.0, std::nullopt, 32768},
        RoundCase{-32768.0, -32768, -32768}, RoundCase{-32768.5, -32768, -32768},
        RoundCase{-32769.5, std::nullopt, -32770}, RoundCase{70000.0, std::nullopt, 70000},
        RoundCase{2147483647.0, std::nullopt, 2147483647},
        RoundCase{2147483647.5, std::nullopt, std::nullopt},
        RoundCase{-2147483648.5, std::nullopt, -2147483647 - 1},
        RoundCase{-2147483649.0, std::nullopt, std::nullopt},
        RoundCase{1e300, std::nullopt, std::nullopt}, RoundCase{kInf, std::nullopt, std::nullopt},
        RoundCase{-kInf, std::nullopt, std::nullopt}, RoundCase{kNaN, std::nullopt, std::nullopt}));

TEST(RuntimeRoundingAwayFromZero, ExactHalvesLeaveZero) {
  const std::vector<std::pair<double, double>> cases{{2.5, 3.0}, {-1.5, -2.0}, {0.5, 1.0},
                                                     {2.4, 2.0}, {-2.6, -3.0}, {4.0, 4.0}};
  for (auto [value, expected] : cases) EXPECT_EQ(RoundHalfAwayFromZero(value), expected) << value;
}

TEST(RuntimeShortestDecimal, WritesTheFormsTheFilesHold) {
  const std::vector<std::pair<double, std::string>> cases{{3.0, "3"},
                                                          {0.0, "0"},
                                                          {-0.0, "0"},
                                                          {-2.0, "-2"},
                                                          {1.5, "1.5"},
                                                          {0.1, "0.1"},
                                                          {2.0 / 3.0, "0.6666666666666666"},
                                                          {1e-5, "0.00001"},
                                                          {1e-7, "1E-07"},
                                                          {1e20, "1E+20"},
                                                          {1e15, "1E+15"},
                                                          {999999999999999.0, "999999999999999"},
                                                          {-1.5e-300, "-1.5E-300"},
                                                          {32767.0, "32767"}};
  for (const auto& [value, expected] : cases) EXPECT_EQ(ShortestDecimal(value), expected);
}

TEST(RuntimeShortestDecimal, ReadsBackAsTheSameNumber) {
  std::vector<double> values{0.1,       0.2,
                             1.0 / 3.0, 123456.789,
                             1e-5,      9.999999e-6,
                             1e15,      1e15 - 1,
                             5e-324,    1.7976931348623157e308,
                             2.5e-310,  -7.25,
                             -1e-100,   4503599627370497.0};
  std::mt19937_64 random(20031109);
  std::uniform_int_distribution<std::uint64_t> bits;
  while (values.size() < 5000) {
    double value = std::bit_cast<double>(bits(random));
    if (std::isfinite(value)) values.push_back(value);
  }
  std::uniform_real_distribution<double> plain(-1e6, 1e6);
  for (int i = 0; i < 2000; ++i) values.push_back(plain(random));
  for (double value : values) {
    std::string text = ShortestDecimal(value);
    EXPECT_EQ(ReadNumber(text), value) << text;
  }
}

}  // namespace
}  // namespace kelmora
