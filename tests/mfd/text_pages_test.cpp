// The file browser, the waypoint table and the info block, as drawn.
#include <cstdio>

#include "page_fixture.h"

namespace pages_test {
namespace {

constexpr const char* kBright = "0x00FF00";
constexpr const char* kDim = "0x005500";

class TextPageTest : public PageTest {
 protected:
  // A route along the equator, one kilometre between waypoints.
  void MakeRoute(int count, std::uint32_t current) {
    for (int i = 0; i < count; ++i) {
      Waypoint w = WaypointAt(Offset(0.0, 1000.0 * i));
      w.speed = 100 + i;
      w.altitude = 1000 + 10 * i;
      mfd->route.waypoints.push_back(w);
    }
    mfd->route.currentIndex = current;
  }
};

struct ListWindowCase {
  int count;
  std::uint32_t current;
  int firstNumber;  // first waypoint shown, on line 5
};

class ListWindowTest : public TextPageTest, public ::testing::WithParamInterface<ListWindowCase> {};

TEST_P(ListWindowTest, ShowsRowsFromTheWindowStartWhoseLinesStartAboveTheBottomEdge) {
  const int count = GetParam().count;
  MakeRoute(count, GetParam().current);
  SetPageAndRange(List, 2000);
  const auto texts = TextsOf(Redraw());

  // Line n starts at n twentieths of the display height: rows on line 20 and
  // beyond start at or below the bottom edge and are not drawn.
  const int lineHeightPx = mfd->displayHeight / 20;
  int lastNumber = GetParam().firstNumber - 1;
  while (lastNumber < count && (lastNumber + 1 - GetParam().firstNumber + 5) * lineHeightPx < mfd->displayHeight)
    ++lastNumber;
  ASSERT_EQ(texts.size(), 1u + (lastNumber - GetParam().firstNumber + 1) + 2u) << "title, rows, two headers";
  for (int number = GetParam().firstNumber; number <= lastNumber; ++number) {
    const DrawnText& row = texts[static_cast<std::size_t>(number - GetParam().firstNumber + 1)];
    char expected[64];
    std::snprintf(expected, sizeof expected, "%2i %5.0f %5.0f %4.0f TURN", number, 99.0 + number,
                  990.0 + 10 * number, number == count ? 0.0 : 1.0);
    const int line = number - GetParam().firstNumber + 5;
    const bool current = number == static_cast<int>(GetParam().current) + 1;
    EXPECT_EQ(row, (DrawnText{10, lineHeightPx * line, expected, current ? kBright : kDim})) << "waypoint " << number;
  }
  EXPECT_EQ(texts[texts.size() - 2], (DrawnText{5, 40, "|ID | SPD | ALT | DIST NEXT | DESC|", kBright}));
  EXPECT_EQ(texts.back(), (DrawnText{5, 60, "|#  | m/s |  m  |     km    |\\\\TASK|", kBright}));
}

INSTANTIATE_TEST_SUITE_P(Windows, ListWindowTest,
                         ::testing::Values(ListWindowCase{20, 3, 4},     // rows 4..18 on lines 5..19
                                           ListWindowCase{20, 10, 7},    // f = 6: rows 7..20 on lines 5..18
                                           ListWindowCase{20, 19, 7},    // the last window
                                           ListWindowCase{20, 25, 7},    // beyond the end: nothing bright
                                           ListWindowCase{1000, 0, 1}));  // rows 1..15 of a long route

TEST_F(TextPageTest, ListRowsShowTheDescriptionOrTheTask) {
  MakeRoute(4, 0);
  mfd->route.waypoints[0].task = Takeoff;
  mfd->route.waypoints[1].task = Land;
  mfd->route.waypoints[1].description = "Runway 27";
  mfd->route.waypoints[2].task = 9;
  mfd->route.waypoints[3].task = Loop;
  SetPageAndRange(List, 2000);
  const auto texts = TextsOf(Redraw());
  ASSERT_EQ(texts.size(), 7u);
  EXPECT_EQ(texts[1].text, " 1   100  1000    1 TOFF");
  EXPECT_EQ(texts[2].text, " 2   101  1010    1 Runway 27");
  EXPECT_EQ(texts[3].text, " 3   102  1020    1 ");
  EXPECT_EQ(texts[4].text, " 4   103  1030    0 LOOP");
}

struct FileWindowCase {
  int names;
  std::uint32_t selected;
  int firstShown;
};

class FileWindowTest : public TextPageTest, public ::testing::WithParamInterface<FileWindowCase> {};

TEST_P(FileWindowTest, ShowsNamesFromTheWindowStartWithTheSelectionBright) {
  for (int i = 0; i < GetParam().names; ++i) mfd->routeFiles.push_back("route" + std::to_string(i) + ".route");
  mfd->route.selectedFile = GetParam().selected;
  mfd->brightColor = 0x00FF00;
  mfd->dimColor = 0x005500;
  simhost::RecordingSurface surface;
  mfd->DrawFilePage(&surface);

  std::vector<DrawnText> expected;
  for (int i = GetParam().firstShown; i < GetParam().names; ++i)
    expected.push_back({10, 20 * (i - GetParam().firstShown + 2), "route" + std::to_string(i) + ".route",
                        i == static_cast<int>(GetParam().selected) ? kBright : kDim});
  EXPECT_EQ(TextsOf(surface.Lines()), expected);
}

INSTANTIATE_TEST_SUITE_P(Windows, FileWindowTest,
                         ::testing::Values(FileWindowCase{3, 1, 0}, FileWindowCase{20, 2, 2},
                                           FileWindowCase{20, 10, 6}, FileWindowCase{0, 0, 0}));

struct InfoCase {
  std::int32_t task;
  std::string name;
  std::string description;
  std::vector<std::string> lines2to7;
};

class InfoBlockTest : public TextPageTest, public ::testing::WithParamInterface<InfoCase> {};

TEST_P(InfoBlockTest, WritesSixLinesInTheDisplaysOwnFont) {
  Waypoint w = WaypointAt(Offset(12400.0));
  w.task = GetParam().task;
  w.name = GetParam().name;
  w.description = GetParam().description;
  w.altitude = 1500.4;
  w.speed = 119.6;
  mfd->route.waypoints = {WaypointAt(Offset(100.0)), w};
  mfd->route.currentIndex = 1;
  mfd->brightColor = 0x00FF00;
  simhost::RecordingSurface surface;
  mfd->DrawInfoBlock(&surface);

  std::vector<std::string> expected = {"colour 0x00FF00", "font default=0"};
  for (int line = 2; line <= 7; ++line)
    expected.push_back("text 10 " + std::to_string(20 * line) + " \"" + GetParam().lines2to7[line - 2] + "\"");
  EXPECT_EQ(surface.Lines(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Tasks, InfoBlockTest,
    ::testing::Values(
        InfoCase{Turn, "", "", {"WP: 2", "DIST: 12 km", "ALT: 1500 m", "SPD: 120 m/s", "TASK: TURN", ""}},
        InfoCase{Loop, "ALPHA", "hold", {"WP: ALPHA", "DIST: 12 km", "ALT: 1500 m", "SPD: 120 m/s", "TASK: LOOP", "DESCR: hold"}},
        InfoCase{Takeoff, "", "", {"WP: 2", "DIST: 12 km", "TASK: TAKEOFF", "", "", ""}},
        InfoCase{Land, "", "Runway 27", {"WP: 2", "DIST: 12 km", "TASK: LAND", "", "", "DESCR: Runway 27"}},
        InfoCase{7, "", "", {"WP: 2", "DIST: 12 km", "", "", "", ""}}));

TEST_F(TextPageTest, InfoBlockDrawsNothingWithoutACurrentWaypoint) {
  for (std::uint32_t current : {0u, 2u}) {
    mfd->route.waypoints.assign(current, WaypointAt(Offset(100.0)));
    mfd->route.currentIndex = current;
    mfd->brightColor = 0x00FFFF;
    simhost::RecordingSurface surface;
    mfd->DrawInfoBlock(&surface);
    EXPECT_EQ(surface.Lines(), std::vector<std::string>{"colour 0x00FFFF"}) << current << " waypoints";
  }
}

}  // namespace
}  // namespace pages_test
