#include "command_line/number_wanted.h"

#include <charconv>
#include <cmath>

namespace command_line {
namespace {

std::string Shortest(double value) {
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, value).ptr;
  return std::string(text, end);
}

// from_chars reads no locale, so "0,5" is refused on every machine.
template <typename Number>
bool ReadWhole(std::string_view text, Number& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return !text.empty() && error == std::errc{} && end == text.data() + text.size();
}

std::string Needs(const std::string& described, std::string_view text) {
  return "needs " + described + ", not " + std::string(text);
}

}  // namespace

std::string Described(const NumberWanted& wanted) {
  std::string words = wanted.unit != nullptr ? std::string("a number of ") + wanted.unit : "a number";
  words += (wanted.aboveLowest ? " above " : " from ") + Shortest(wanted.lowest);
  if (std::isfinite(wanted.highest)) return words + " and at most " + Shortest(wanted.highest);
  return wanted.aboveLowest ? words : words + " up";
}

std::string DescribedWhole(std::size_t lowest) { return "a whole number from " + std::to_string(lowest) + " up"; }

std::string NumberProblem(const NumberWanted& wanted, std::string_view text) {
  double value = 0.0;
  const bool inRange = ReadWhole(text, value) && std::isfinite(value) &&
                       (wanted.aboveLowest ? value > wanted.lowest : value >= wanted.lowest) &&
                       value <= wanted.highest;
  return inRange ? std::string() : Needs(Described(wanted), text);
}

std::string WholeNumberProblem(std::size_t lowest, std::string_view text) {
  std::size_t value = 0;
  const bool inRange = ReadWhole(text, value) && value >= lowest;
  return inRange ? std::string() : Needs(DescribedWhole(lowest), text);
}

}  // namespace command_line
