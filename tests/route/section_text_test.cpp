#include "route/section_text.h"

#include <gtest/gtest.h>
#include <locale.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "tests/support/route_test_support.h"

namespace {

using route_test::RecordingSink;
using route_test::TempFile;
using namespace std::string_literals;

// --- ReadRouteText -------------------------------------------------------

struct ReadCase {
  const char* name;
  std::string bytes;
  std::string text;
};

class ReadRouteTextTest : public testing::TestWithParam<ReadCase> {};

TEST_P(ReadRouteTextTest, JoinsFirstTwoLinesCutsCommentsAndEndsWithLineFeed) {
  const TempFile file(GetParam().bytes);
  EXPECT_EQ(ReadRouteText(file.Path()), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ReadRouteTextTest,
    testing::Values(ReadCase{"ThreeLinesEachEnded", "A\nB\nC\n", "AB\nC\n\n"},
                    ReadCase{"LastLineUnended", "A\nB\nC", "AB\nC\n"},
                    ReadCase{"Empty", "", "\n"},
                    ReadCase{"NoLineFeed", "AB", "AB\n"},
                    ReadCase{"OneEndedLine", "A\n", "A\n"},
                    ReadCase{"CrLf", "A\r\nB\r\nC\r\n", "AB\nC\n\n"},
                    ReadCase{"CrNotBeforeLfStays", "A\r\nB\rx\nC\r", "AB\rx\nC\r\n"},
                    ReadCase{"HashOnFirstLineStays", "A # x\nB # y\nC", "A # xB \nC\n"},
                    ReadCase{"HashInsideQuotesCuts", "A\nP \"desc # x\" y\n", "AP \"desc \n\n"},
                    ReadCase{"NulAndHighBytes", "A\0B\n\xff\0C"s, "A\0B\xff\0C\n"s}),
    [](const testing::TestParamInfo<ReadCase>& info) { return info.param.name; });

TEST(ReadRouteText, UnreadablePathsGiveEmptyText) {
  EXPECT_EQ(ReadRouteText("/nonexistent/tarvik/none.route"), "");
  EXPECT_EQ(ReadRouteText("/tmp"), "");  // a folder opens but does not read
}

TEST(ReadRouteText, TakesHostPathsWithBackslashes) {
  const TempFile file("A\nB\n");
  std::string hostPath = file.Path();
  for (char& c : hostPath) c = c == '/' ? '\\' : c;
  EXPECT_EQ(ReadRouteText(hostPath), "AB\n\n");
}

// --- ReplaceAll ------------------------------------------------------------

// Searches again from the start after every replacement, as the format's
// first reader did.
std::string RestartingReplaceAll(std::string text, const std::string& pattern, const std::string& replacement) {
  for (std::size_t at = text.find(pattern); at != std::string::npos; at = text.find(pattern)) {
    text.replace(at, pattern.size(), replacement);
  }
  return text;
}

struct ReplaceCase {
  std::string text, pattern, replacement, result;
};

TEST(ReplaceAll, Table) {
  const std::vector<ReplaceCase> cases{
      {"a     b", "  ", " ", "a b"},
      {"\n\n\n\nx\n\n", "\n\n", "\n", "\nx\n"},
      {"aabb", "ab", "", ""},              // the removal joins a new match
      {"xaaabbby", "ab", "", "xy"},
      {"abcabc", "abc", "c", "cc"},
      {"a\tb\t\t", "\t", " ", "a b  "},    // same length, no character shared
      {"aaa", "a", "aa", "aaaaaa"},        // would grow forever: one pass
      {"aab", "ab", "ba", "aba"},          // one pass, not "baa"
      {"text", "", "x", "text"},           // empty pattern: unchanged
      {"", "  ", " ", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ReplaceAll(c.text, c.pattern, c.replacement), c.result)
        << "text \"" << c.text << "\" pattern \"" << c.pattern << "\"";
  }
}

TEST(ReplaceAll, SameAsSearchingFromTheStartOnGeneratedTexts) {
  std::mt19937 random(20261207);
  const std::string alphabet = "ab \n";
  auto randomText = [&](std::size_t maxLength) {
    std::string text(std::uniform_int_distribution<std::size_t>(0, maxLength)(random), ' ');
    for (char& c : text) c = alphabet[random() % alphabet.size()];
    return text;
  };
  for (int round = 0; round < 20000; ++round) {
    std::string pattern = randomText(3);
    if (pattern.empty()) pattern = "a";
    const std::string replacement = randomText(pattern.size() - 1);
    const std::string text = randomText(40);
    ASSERT_EQ(ReplaceAll(text, pattern, replacement), RestartingReplaceAll(text, pattern, replacement))
        << "text \"" << text << "\" pattern \"" << pattern << "\" replacement \"" << replacement << "\"";
  }
}

TEST(ReplaceAll, NormalisationPassesSameAsSearchingFromTheStart) {
  std::mt19937 random(99);
  const std::string alphabet = "x \t\n";
  const std::vector<std::pair<std::string, std::string>> passes{
      {"\t", " "}, {"  ", " "}, {"\n ", "\n"}, {"\n\n", "\n"}, {" \n", " "}, {"x", " "}};
  for (int round = 0; round < 20000; ++round) {
    // Long enough for the sixteen-at-a-time search, sparse or dense in blanks.
    std::string text(random() % 100, 'x');
    const std::size_t blanks = 1 + random() % 3;
    for (char& c : text) c = random() % 4 < blanks ? alphabet[1 + random() % 3] : 'x';
    const auto& [pattern, replacement] = passes[round % passes.size()];
    ASSERT_EQ(ReplaceAll(text, pattern, replacement), RestartingReplaceAll(text, pattern, replacement))
        << "text \"" << text << "\" pattern \"" << pattern << "\"";
    std::string normal = text;
    for (const auto& [from, to] : {passes[0], passes[1], passes[2], passes[3]}) {
      normal = RestartingReplaceAll(normal, from, to);
    }
    ASSERT_EQ(NormalizeWhitespace(text), normal) << "text \"" << text << "\"";
  }
}

TEST(NormalizeWhitespace, CollapsesBlanksAndBlankLines) {
  EXPECT_EQ(NormalizeWhitespace("a\t\t b"), "a b");
  EXPECT_EQ(NormalizeWhitespace(" a  b \n\n  c\t\n"), " a b \nc \n");
  EXPECT_EQ(NormalizeWhitespace("\n \n \n"), "\n");
  EXPECT_EQ(NormalizeWhitespace(std::string(100000, ' ') + "x"), " x");
}

// --- ExtractSection ------------------------------------------------------------

struct SectionCase {
  std::string text;
  std::string body;  // empty: reported missing
};

TEST(ExtractSection, Table) {
  const std::vector<SectionCase> cases{
      {"BEGIN_POINTS\n1 2\nEND_POINTS", "1 2"},
      {"BEGIN_POINTS 1 2 END_POINTS", " 1 2 "},
      {"BEGIN_POINTS\n\n\nEND_POINTS", "\n"},
      {"xBEGIN_POINTSy 1\nEND_POINTSz", "y 1"},
      {"BEGIN_POINTSEND_POINTS", ""},
      {"BEGIN_POINTS\n\nEND_POINTS", ""},
      {"END_POINTS BEGIN_POINTS 1 2 END_POINTS", ""},
      {"BEGIN_POINTS 1 2", ""},
      {"1 2 END_POINTS", ""},
      {"BEGIN_points 1 2 END_points", ""},
  };
  for (const auto& c : cases) {
    RecordingSink sink;
    EXPECT_EQ(ExtractSection(c.text, "POINTS", sink), c.body) << c.text;
    const std::vector<std::string> reported =
        c.body.empty() ? std::vector<std::string>{"Error: BEGIN_POINTS or END_POINTSnot found"}
                       : std::vector<std::string>{};
    EXPECT_EQ(sink.messages, reported) << c.text;
  }
}

// --- SplitText -------------------------------------------------------------------

TEST(SplitText, NeverYieldsEmptyPieces) {
  using Pieces = std::vector<std::string>;
  EXPECT_EQ(SplitText("", " "), Pieces{});
  EXPECT_EQ(SplitText("   ", " "), Pieces{});
  EXPECT_EQ(SplitText(" a  b ", " "), (Pieces{"a", "b"}));
  EXPECT_EQ(SplitText("a\nb\n", "\n"), (Pieces{"a", "b"}));
  EXPECT_EQ(SplitText("a,b;;c", ",;"), (Pieces{"a", "b", "c"}));
}

// --- ParseDouble / ParseInt --------------------------------------------------------

struct NumberCase {
  std::string field;
  double value;
  bool reported;
};

TEST(ParseDouble, Table) {
  const double inf = HUGE_VAL;
  const std::vector<NumberCase> cases{
      {"0", 0, false},       {"00", 0, false},    {"0.0", 0, false},     {"0abc", 0, false},
      {"12abc", 12, false},  {"-1", -1, false},   {"2.75", 2.75, false}, {"1e3", 1000, false},
      {"0x10", 16, false},   {"1e999", inf, false}, {"-1e999", -inf, false}, {"inf", inf, false},
      {"-0", -1, true},      {"+0", -1, true},    {".0", -1, true},      {"abc", -1, true},
      {"\"x", -1, true},     {"", -1, true},      {"1e-400", -1, true},  {"-", -1, true},
  };
  for (const auto& c : cases) {
    RecordingSink sink;
    EXPECT_EQ(ParseDouble(c.field, sink), c.value) << c.field;
    const std::vector<std::string> reported =
        c.reported ? std::vector<std::string>{"error converting " + c.field + " to double."}
                   : std::vector<std::string>{};
    EXPECT_EQ(sink.messages, reported) << c.field;
  }
}

TEST(ParseInt, Table) {
  const std::vector<NumberCase> cases{
      {"0", 0, false},          {"00", 0, false},       {"0abc", 0, false},
      {"12abc", 12, false},     {"1.5", 1, false},      {"-1", -1, false},
      {"+7", 7, false},         {"\t 42", 42, false},   {"000000000000000000001", 1, false},
      {"2147483647", 2147483647, false},                {"-2147483648", -2147483648.0, false},
      {"-0", -1, true},         {"+0", -1, true},       {"abc", -1, true},
      {"2147483648", -1, true}, {"-2147483649", -1, true}, {"99999999999999999999", -1, true},
      {"", -1, true},           {"\x01" "5", -1, true}, {"\xe9" "5", -1, true},
  };
  for (const auto& c : cases) {
    RecordingSink sink;
    EXPECT_EQ(ParseInt(c.field, sink), static_cast<std::int32_t>(c.value)) << c.field;
    const std::vector<std::string> reported =
        c.reported ? std::vector<std::string>{"error converting " + c.field + " to int."}
                   : std::vector<std::string>{};
    EXPECT_EQ(sink.messages, reported) << c.field;
  }
}

// How far a conversion reads into a field, as the check tells characters
// after a number apart: blanks, one sign, digits; nothing without a digit.
TEST(IntFieldLength, Table) {
  const std::vector<std::pair<std::string, std::size_t>> cases{
      {"12", 2},  {"+7", 2}, {"-12.5", 3}, {"1500m", 4}, {"\t 42x", 4},
      {"", 0},    {"-", 0},  {"x1", 0},    {" ", 0},     {"+-1", 0},
  };
  for (const auto& [field, length] : cases) EXPECT_EQ(IntFieldLength(field), length) << field;
}

TEST(ParseDouble, NotANumberIsNoError) {
  RecordingSink sink;
  EXPECT_TRUE(std::isnan(ParseDouble("nan", sink)));
  EXPECT_TRUE(sink.messages.empty());
}

// The fast path for plain decimals must give the very double that the C
// library's conversion gives, bit for bit.
TEST(ParseDouble, SameBitsAsCLibraryOnGeneratedFields) {
  const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  ASSERT_NE(cLocale, static_cast<locale_t>(nullptr));
  std::mt19937 random(7);
  const std::string alphabets[] = {"0123456789.-+eE", "0123456789", "0123456789.e-x p"};
  for (int round = 0; round < 100000; ++round) {
    const std::string& alphabet = alphabets[round % 3];
    std::string field(1 + random() % 30, '0');
    for (char& c : field) c = alphabet[random() % alphabet.size()];
    const double expected = strtod_l(field.c_str(), nullptr, cLocale);
    RecordingSink sink;
    const double value = ParseDouble(field, sink);
    if (expected == 0.0 && field[0] != '0') {
      ASSERT_EQ(value, -1.0) << field;
      ASSERT_EQ(sink.messages.size(), 1u) << field;
    } else {
      ASSERT_EQ(std::bit_cast<std::uint64_t>(value), std::bit_cast<std::uint64_t>(expected)) << field;
      ASSERT_TRUE(sink.messages.empty()) << field;
    }
  }
  freelocale(cLocale);
}

// Under a German locale the C library reads "2.75" as 2.
TEST(ParseDouble, ReadsPointAsDecimalPointUnderGermanLocale) {
  ASSERT_NE(setlocale(LC_ALL, "de_DE.UTF-8"), nullptr) << "de_DE.UTF-8 missing: run scripts/setup.sh";
  const double localeDependent = std::strtod("2.75", nullptr);
  RecordingSink sink;
  const double value = ParseDouble("2.75", sink);
  const double withExponent = ParseDouble("2.75e0x", sink);
  setlocale(LC_ALL, "C");
  EXPECT_EQ(localeDependent, 2.0);  // shows the locale took effect
  EXPECT_EQ(value, 2.75);
  EXPECT_EQ(withExponent, 2.75);
  EXPECT_TRUE(sink.messages.empty());
}

}  // namespace
