#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/file_place.h"

namespace {

TEST(FilePlace, CountsLinesAndByteColumnsFromOne) {
  struct Case {
    std::string text;
    std::size_t offset;
    FilePlace place;
  };
  const std::vector<Case> cases{
      {"", 0, {1, 1}},
      {"ab\ncd", 1, {1, 2}},
      {"ab\ncd", 2, {1, 3}},   // the line feed ends its own line
      {"ab\ncd", 3, {2, 1}},
      {"ab\n", 3, {2, 1}},     // after a last line feed an empty line begins
      {"ab\ncd", 99, {2, 3}},  // past the end: just after the last byte
      {"\xc3\xa9x", 2, {1, 3}},  // columns count bytes
  };
  for (const Case& c : cases) {
    const FilePlace place = PlaceOfOffset(c.text, c.offset);
    EXPECT_EQ(place.line, c.place.line) << c.text << " @" << c.offset;
    EXPECT_EQ(place.column, c.place.column) << c.text << " @" << c.offset;
  }
}

TEST(FilePlace, TextLeavesOutWhatIsNotKnown) {
  EXPECT_EQ(PlaceText("a.route", {3, 7}), "a.route:3:7");
  EXPECT_EQ(PlaceText("a.route", {3, 0}), "a.route:3");
  EXPECT_EQ(PlaceText("a.route", {}), "a.route");
}

}  // namespace
