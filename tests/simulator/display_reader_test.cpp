// Reading pages from the texts of a redraw, and picking the moments of the
// overview sheet.
#include "sim/simulator/display_reader.h"

#include <cstring>

#include <gtest/gtest.h>

#include "sim/simulator/overview_sheet.h"

namespace simulator {
namespace {

constexpr DWORD kBright = 0x00FF00;
constexpr DWORD kDim = 0x005500;

// A List page as the module draws it: title, rows, then the two headers.
TextCapture WaypointTable(int rows, int brightRow) {
  TextCapture page;
  page.SetTextColor(kBright);
  page.Text(5, 0, "Tarvik MFD               2.00", 29);
  for (int i = 0; i < rows; ++i) {
    page.SetTextColor(i == brightRow ? kBright : kDim);
    const std::string row = (i < 9 ? " " : "") + std::to_string(i + 1) + "   110   900   10 Departure turn";
    page.Text(10, 16 * (i + 5), row.c_str(), static_cast<int>(row.size()));
  }
  page.SetTextColor(kBright);
  page.Text(5, 32, "|ID | SPD | ALT | DIST NEXT | DESC|", 35);
  page.Text(5, 48, "|#  | m/s |  m  |     km    |\\TASK|", 35);
  return page;
}

TEST(DisplayReader, WaypointTableGivesTheCountAndTheBrightRow) {
  struct Case {
    int rows;
    int brightRow;
    ModuleRouteView expected;
  };
  const Case cases[] = {
      {7, 0, {7, 0}},
      {12, 10, {12, 10}},
      {3, -1, {3, std::nullopt}},  // the index lies past the list: no bright row
      {0, -1, {0, std::nullopt}},  // only the headers
  };
  for (const Case& c : cases)
    EXPECT_EQ(ReadWaypointTable(WaypointTable(c.rows, c.brightRow)), c.expected) << c.rows << " rows";
}

TEST(DisplayReader, FileBrowserGivesTheNamesAndTheSelection) {
  TextCapture page;
  page.SetTextColor(kBright);
  page.Text(5, 0, "Tarvik MFD               2.00", 29);
  const char* names[] = {"kestrel.route", "short-kestrel.route", "tug.route"};
  for (int i = 0; i < 3; ++i) {
    page.SetTextColor(i == 1 ? kBright : kDim);
    page.Text(10, 16 * (i + 2), names[i], static_cast<int>(std::strlen(names[i])));
  }
  const FileBrowserView view = ReadFileBrowser(page);
  EXPECT_EQ(view.names, (std::vector<std::string>{"kestrel.route", "short-kestrel.route", "tug.route"}));
  EXPECT_EQ(view.selected, 1u);
}

TEST(OverviewSheet, PicksEvenlySpreadMomentsWithFirstAndLast) {
  struct Case {
    std::size_t count;
    std::size_t rows;
    std::vector<std::size_t> expected;
  };
  const Case cases[] = {
      {0, 6, {}}, {3, 6, {0, 1, 2}}, {10, 1, {9}}, {10, 4, {0, 3, 6, 9}}, {25, 6, {0, 5, 10, 14, 19, 24}},
  };
  for (const Case& c : cases) EXPECT_EQ(PickRows(c.count, c.rows), c.expected) << c.count << " in " << c.rows;
}

}  // namespace
}  // namespace simulator
