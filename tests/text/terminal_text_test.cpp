// Bytes of a file shown on a terminal: control bytes and bytes that are no
// UTF-8 escaped, everything else as it is.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/terminal_text.h"

namespace {

TEST(TerminalText, EscapesWhatATerminalWouldActOnOrCannotShow) {
  struct Case {
    std::string bytes, shown;
  };
  const std::vector<Case> cases{
      {"plain \\ text, \xc3\xbc and \xe2\x82\xac", "plain \\ text, \xc3\xbc and \xe2\x82\xac"},
      {"two\nlines\tand a tab", "two\nlines\tand a tab"},
      {std::string("cut\0short", 9), "cut\\0short"},
      {"\x1b]0;title\x07\x1b[2J\r\x7f", "\\x1b]0;title\\x07\\x1b[2J\\x0d\\x7f"},
      {"\xc2\x9b" "2J", "\\xc2\\x9b2J"},                  // a control character above 127
      {"\x9b\xff\xc3\xa9 \xe2\x82", "\\x9b\\xff\xc3\xa9 \\xe2\\x82"},  // no UTF-8, then a good sequence, then a cut one
  };
  for (const Case& c : cases) EXPECT_EQ(TerminalText(c.bytes), c.shown) << c.shown;
}

}  // namespace
