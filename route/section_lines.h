// A section body cut into its lines, and a line into its first fields,
// without copying: views into the reader's text.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <string_view>
#include <tuple>

#include "route/route_file_reader.h"

namespace section_lines {

// The lines of a section body, to size its list once (growing a large
// list costs more than reading it); capped so that a file of many short
// bad lines reserves no more than some hundred megabytes of address space.
inline std::size_t ExpectedLineCount(std::string_view body) {
  constexpr std::size_t kMostReserved = std::size_t{1} << 21;
  const auto lineFeeds = static_cast<std::size_t>(std::count(body.begin(), body.end(), '\n'));
  return std::min(lineFeeds + 1, kMostReserved);
}

// The non-empty lines of a section body, numbered from 1; the same pieces
// as SplitText at LF without building the list.
class Lines {
 public:
  explicit Lines(std::string_view body) : rest_(body) {}
  bool Next(std::string_view& line) {
    while (!rest_.empty()) {
      const std::size_t lf = rest_.find('\n');
      line = rest_.substr(0, lf);
      rest_.remove_prefix(lf == std::string_view::npos ? rest_.size() : lf + 1);
      if (!line.empty()) {
        ++number_;
        return true;
      }
    }
    return false;
  }
  std::size_t Number() const { return number_; }

 private:
  std::string_view rest_;
  std::size_t number_ = 0;
};

// The first N fields of a line, as SplitText at the space gives them;
// count says how many there are, up to N.
template <std::size_t N>
struct Fields {
  static_assert(N <= std::tuple_size_v<decltype(TracedLine::fields)>);
  explicit Fields(std::string_view line) {
    while (count < N) {
      while (!line.empty() && line.front() == ' ') line.remove_prefix(1);
      if (line.empty()) break;
      const std::size_t space = line.find(' ');
      field[count++] = line.substr(0, space);
      if (space == std::string_view::npos) break;
      line.remove_prefix(space);
    }
  }
  std::array<std::string_view, N> field{};
  std::size_t count = 0;
};

template <std::size_t N>
inline TracedLine Traced(std::string_view line, const Fields<N>& fields) {
  TracedLine traced{line, {}, fields.count};
  std::copy(fields.field.begin(), fields.field.end(), traced.fields.begin());
  return traced;
}

}  // namespace section_lines
