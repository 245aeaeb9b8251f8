// The twelve buttons of each page: the key each one sends, its label, its
// menu line and its key hint.
#include <cstring>

#include "mfd/button_tables.h"
#include "mfd_test_support.h"

namespace mfdtest {
namespace {

struct ButtonRow {
  int button;
  DWORD key;  // 0: none
  const char* label;
  const char* menuLine;
  char hint;  // 0: none
};

struct PageButtons {
  DisplayPage page;
  std::vector<ButtonRow> rows;
};

std::vector<ButtonRow> WithBlanks(std::vector<ButtonRow> rows) {
  for (int b : {6, 7, 8, 9}) rows.push_back({b, 0, "", "", 0});
  return rows;
}

const PageButtons kPages[] = {
    {Graphical, WithBlanks({{0, keys::P, "PRV", "Prev. WP", 'P'},
                            {1, keys::N, "NXT", "Next WP", 'N'},
                            {2, keys::KeypadPlus, "Z+", "Zoom +", '+'},
                            {3, keys::KeypadMinus, "Z-", "Zoom -", '-'},
                            {4, keys::L, "LDT", "Load Track", 'L'},
                            {5, keys::S, "LST", "Switch to List Mode", 'S'},
                            {10, keys::D, "CRT", "Clear Route", 'D'},
                            {11, keys::C, "COL", "Toggle Color", 0}})},
    {FileSelect, WithBlanks({{0, keys::P, "PRV", "Prev. File", 'P'},
                             {1, keys::N, "NXT", "Next File", 'N'},
                             {2, keys::KeypadPlus, "", "", 0},
                             {3, keys::KeypadMinus, "", "", 0},
                             {4, keys::L, "LDT", "Load Selected File", 'L'},
                             {5, keys::S, "LST", "Switch to List Mode", 'S'},
                             {10, keys::D, "CRT", "Clear Route", 'D'},
                             {11, keys::C, "COL", "Toggle Color", 'C'}})},
    {List, WithBlanks({{0, keys::P, "PRV", "Prev. WP", 'P'},
                       {1, keys::N, "NXT", "Next WP", 'N'},
                       {2, keys::KeypadPlus, "", "", 0},
                       {3, keys::KeypadMinus, "", "", 0},
                       {4, keys::L, "LDT", "Load Track", 'L'},
                       {5, keys::S, "GRA", "Switch to Graphical Mode", 'S'},
                       {10, keys::D, "CRT", "Clear Route", 'D'},
                       {11, keys::C, "COL", "Toggle Color", 'C'}})},
};

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
    ASSERT_EQ(page.rows.size(), 12u);
    for (const ButtonRow& row : page.rows) {
      SCOPED_TRACE(testing::Message() << "page " << page.page << " button " << row.button);
      ASSERT_NE(display.LabelOfButton(row.button), nullptr);
      EXPECT_STREQ(display.LabelOfButton(row.button), row.label);
      EXPECT_STREQ(menu[row.button].line1, row.menuLine);
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
