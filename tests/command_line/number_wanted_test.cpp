// A number option takes the whole text as a number in its range, and says
// in words what it wants when it does not.
#include "command_line/number_wanted.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using command_line::NumberWanted;

TEST(NumberWanted, TakesOnlyAWholeFiniteNumberInItsRange) {
  const NumberWanted fromZero{.unit = "seconds"};
  const NumberWanted aboveZeroToMax{.unit = "metres", .lowest = 0.0, .aboveLowest = true, .highest = 1e12};
  struct Case {
    const NumberWanted& wanted;
    std::string text;
    bool taken;
  };
  const Case cases[] = {
      {fromZero, "0", true},           {fromZero, "2.5", true},         {fromZero, "-0.5", false},
      {fromZero, "5m", false},         {fromZero, "", false},           {fromZero, "inf", false},
      {fromZero, "nan", false},        {fromZero, "1e400", false},      {fromZero, " 5", false},
      {aboveZeroToMax, "0", false},    {aboveZeroToMax, "1e-300", true}, {aboveZeroToMax, "1e12", true},
      {aboveZeroToMax, "1.5e12", false},
  };
  for (const Case& c : cases) {
    const std::string problem = command_line::NumberProblem(c.wanted, c.text);
    const std::string refusal = "needs " + command_line::Described(c.wanted) + ", not " + c.text;
    EXPECT_EQ(problem, c.taken ? "" : refusal) << '"' << c.text << '"';
  }
}

TEST(NumberWanted, SaysItsRangeInWords) {
  EXPECT_EQ(command_line::Described({.unit = "seconds"}), "a number of seconds from 0 up");
  EXPECT_EQ(command_line::Described({.unit = "metres", .lowest = 0.0, .aboveLowest = true, .highest = 1e12}),
            "a number of metres above 0 and at most 1e+12");
  EXPECT_EQ(command_line::Described({.lowest = -1.5, .aboveLowest = true}), "a number above -1.5");
  EXPECT_EQ(command_line::DescribedWhole(1), "a whole number from 1 up");
}

TEST(NumberWanted, WholeNumberTakesDigitsOnlyFromItsLowest) {
  for (const std::string text : {"1", "6", "18446744073709551615"})
    EXPECT_EQ(command_line::WholeNumberProblem(1, text), "") << text;
  for (const std::string text : {"0", "2.5", "-1", "1e3", "18446744073709551616", "x"})
    EXPECT_EQ(command_line::WholeNumberProblem(1, text), "needs a whole number from 1 up, not " + text) << text;
}

}  // namespace
