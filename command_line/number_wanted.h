// What a number option takes, checked whole (no trailing text, nothing
// that is not finite) and said in words in its refusal and its help:
// "a number of seconds from 0 up", "a whole number from 1 up".
#pragma once

#include <cstddef>
#include <limits>
#include <string>
#include <string_view>

namespace command_line {

struct NumberWanted {
  const char* unit = nullptr;  // "seconds": "a number of seconds"
  double lowest = 0.0;
  bool aboveLowest = false;  // lowest itself is refused
  double highest = std::numeric_limits<double>::infinity();
};

// "a number of metres above 0 and at most 1e+12".
std::string Described(const NumberWanted& wanted);
std::string DescribedWhole(std::size_t lowest);

// Empty when the text is such a number, else what the option needs:
// "needs a number of seconds from 0 up, not -1".
std::string NumberProblem(const NumberWanted& wanted, std::string_view text);
std::string WholeNumberProblem(std::size_t lowest, std::string_view text);

}  // namespace command_line
