// The twelve buttons of each page, as docs/controls.md documents them: the
// key each one sends, its label, its menu line and its key hint.
#include <cstring>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "mfd/button_tables.h"
#include "mfd_test_support.h"
#include "tests/support/temp_folder.h"

namespace mfdtest {
namespace {

// The documented controls are the reference: each button's label, menu line
// and key are read from the table in docs/controls.md, so that the module
// and the page users read cannot drift apart.
struct ButtonRow {
  int button;
  DWORD key;  // 0: none
  std::string label;
  std::string menuLine;
  char hint;  // 0: none
};

struct PageButtons {
  DisplayPage page;
  std::vector<ButtonRow> rows;
};

// The table's cells split at '|', trimmed.
std::vector<std::string> Cells(const std::string& line) {
  std::vector<std::string> cells;
  std::istringstream in(line.substr(1));
  for (std::string cell; std::getline(in, cell, '|');) {
    const auto first = cell.find_first_not_of(' ');
    cells.push_back(first == std::string::npos ? "" : cell.substr(first, cell.find_last_not_of(' ') - first + 1));
  }
  return cells;
}

// The key a documented key name stands for, and the character its menu
// line shows.
std::pair<DWORD, char> DocumentedKey(const std::string& name) {
  static const std::map<std::string, std::pair<DWORD, char>> kKeys = {
      {"P", {keys::P, 'P'}}, {"N", {keys::N, 'N'}}, {"L", {keys::L, 'L'}}, {"S", {keys::S, 'S'}},
      {"D", {keys::D, 'D'}}, {"C", {keys::C, 'C'}}, {"keypad +", {keys::KeypadPlus, '+'}},
      {"keypad \u2212", {keys::KeypadMinus, '-'}}, {"", {0, 0}}};
  const auto found = kKeys.find(name);
  return found == kKeys.end() ? std::pair<DWORD, char>{0xFFFF, '?'} : found->second;
}

// The pages in the order of the table's columns: map, table, file.
std::vector<PageButtons> DocumentedButtons() {
  const std::string doc = test_support::ReadBytes(TARVIK_SOURCE_DIR "/docs/controls.md");
  std::vector<PageButtons> pages = {{Graphical, {}}, {List, {}}, {FileSelect, {}}};
  if (doc.find("| button |") == std::string::npos) return pages;  // no buttons: every page test fails
  std::istringstream lines(doc.substr(doc.find("| button |")));
  std::string line;
  std::getline(lines, line);  // the heading
  std::getline(lines, line);  // the rule under it
  while (std::getline(lines, line) && line.starts_with("|")) {
    const std::vector<std::string> cells = Cells(line);
    if (cells.size() < 5) continue;
    const std::size_t dash = cells[0].find("\u2013");
    const int first = std::stoi(cells[0]);
    const int last = dash == std::string::npos ? first : std::stoi(cells[0].substr(dash + 3));
    const auto [key, keyHint] = DocumentedKey(cells[4]);
    for (int number = first; number <= last; ++number)
      for (std::size_t column = 0; column < pages.size(); ++column) {
        const std::string& cell = cells[1 + column];
        const std::size_t quote = cell.find(" \"");
        ButtonRow row{number - 1, key, "", "", 0};
        if (quote != std::string::npos) {
          row.label = cell.substr(0, quote);
          row.menuLine = cell.substr(quote + 2, cell.size() - quote - 3);
          row.hint = keyHint;
        }
        pages[column].rows.push_back(row);
      }
  }
  // The documented exception: the map page's menu shows no key for C.
  if (doc.find("The map page's menu gives no key for \"Toggle Color\"") != std::string::npos)
    for (ButtonRow& row : pages[0].rows)
      if (row.menuLine == "Toggle Color") row.hint = 0;
  return pages;
}

const std::vector<PageButtons> kPages = DocumentedButtons();

// Records the keys its buttons send instead of acting on them.
class KeyRecordingMFD : public TarvikMFD {
 public:
  using TarvikMFD::TarvikMFD;
  bool ConsumeKeyQueued(DWORD key) override {
    sent.push_back(key);
    return false;
  }
  std::vector<DWORD> sent;
};

class ButtonsTest : public MfdTest {};

TEST_F(ButtonsTest, EveryPageLabelsAndMenusItsTwelveButtons) {
  for (const PageButtons& page : kPages) {
    TarvikMFD display(256, 256, vessel->iface.get(), 1);
    display.State().page = page.page;
    const MFDBUTTONMENU* menu = nullptr;
    ASSERT_EQ(display.MenuOfButtons(&menu), 12);
    ASSERT_EQ(page.rows.size(), 12u) << "docs/controls.md lists every button once";
    for (const ButtonRow& row : page.rows) {
      SCOPED_TRACE(testing::Message() << "page " << page.page << " button " << row.button);
      ASSERT_NE(display.LabelOfButton(row.button), nullptr);
      EXPECT_STREQ(display.LabelOfButton(row.button), row.label.c_str());
      EXPECT_STREQ(menu[row.button].line1, row.menuLine.c_str());
      EXPECT_EQ(menu[row.button].line2, nullptr);
      EXPECT_EQ(menu[row.button].selchar, row.hint);
    }
  }
}

TEST_F(ButtonsTest, EachButtonSendsItsKeyOnlyOnAPress) {
  for (const PageButtons& page : kPages) {
    for (const ButtonRow& row : page.rows) {
      SCOPED_TRACE(testing::Message() << "page " << page.page << " button " << row.button);
      KeyRecordingMFD display(256, 256, vessel->iface.get(), 1);
      display.State().page = page.page;
      EXPECT_FALSE(display.ConsumeButtonPress(row.button, PANEL_MOUSE_LBUP | PANEL_MOUSE_LBPRESSED));
      EXPECT_TRUE(display.sent.empty());
      EXPECT_FALSE(display.ConsumeButtonPress(row.button, PANEL_MOUSE_LBDOWN));
      if (row.key == 0)
        EXPECT_TRUE(display.sent.empty());
      else
        EXPECT_EQ(display.sent, std::vector<DWORD>{row.key});
    }
  }
}

TEST_F(ButtonsTest, ButtonsOutsideTheTwelveHaveNoLabelAndNoKey) {
  KeyRecordingMFD display(256, 256, vessel->iface.get(), 1);
  EXPECT_EQ(display.LabelOfButton(12), nullptr);
  EXPECT_EQ(display.LabelOfButton(-1), nullptr);
  EXPECT_FALSE(display.ConsumeButtonPress(12, PANEL_MOUSE_LBDOWN));
  EXPECT_TRUE(display.sent.empty());
  EXPECT_EQ(display.MenuOfButtons(nullptr), 12);
}

TEST_F(ButtonsTest, MenusAreConstantTablesThatOutliveTheDisplay) {
  const MFDBUTTONMENU* first = nullptr;
  {
    TarvikMFD display(256, 256, vessel->iface.get(), 1);
    display.MenuOfButtons(&first);
  }
  TarvikMFD other(128, 128, vessel->iface.get(), 2);
  const MFDBUTTONMENU* second = nullptr;
  other.MenuOfButtons(&second);
  EXPECT_EQ(first, second);
  EXPECT_STREQ(first[0].line1, "Prev. WP");
}

}  // namespace
}  // namespace mfdtest
