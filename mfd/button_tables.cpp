#include "mfd/button_tables.h"

#include "mfd/tarvik_mfd.h"

namespace {

constexpr DWORD kButtonKeys[kButtonCount] = {
    keys::P, keys::N, keys::KeypadPlus, keys::KeypadMinus, keys::L, keys::S, 0, 0, 0, 0, keys::D, keys::C,
};

using LabelRow = const char* const[kButtonCount];

constexpr LabelRow kGraphicalLabels = {"PRV", "NXT", "Z+", "Z-", "LDT", "LST", "", "", "", "", "CRT", "COL"};
constexpr LabelRow kFileSelectLabels = {"PRV", "NXT", "", "", "LDT", "LST", "", "", "", "", "CRT", "COL"};
constexpr LabelRow kListLabels = {"PRV", "NXT", "", "", "LDT", "GRA", "", "", "", "", "CRT", "COL"};

constexpr MFDBUTTONMENU kBlank = {"", nullptr, 0};

constexpr MFDBUTTONMENU kGraphicalMenu[kButtonCount] = {
    {"Prev. WP", nullptr, 'P'},
    {"Next WP", nullptr, 'N'},
    {"Zoom +", nullptr, '+'},
    {"Zoom -", nullptr, '-'},
    {"Load Track", nullptr, 'L'},
    {"Switch to List Mode", nullptr, 'S'},
    kBlank,
    kBlank,
    kBlank,
    kBlank,
    {"Clear Route", nullptr, 'D'},
    {"Toggle Color", nullptr, 0},  // the map page shows no hint for C
};

constexpr MFDBUTTONMENU kFileSelectMenu[kButtonCount] = {
    {"Prev. File", nullptr, 'P'},
    {"Next File", nullptr, 'N'},
    kBlank,
    kBlank,
    {"Load Selected File", nullptr, 'L'},
    {"Switch to List Mode", nullptr, 'S'},
    kBlank,
    kBlank,
    kBlank,
    kBlank,
    {"Clear Route", nullptr, 'D'},
    {"Toggle Color", nullptr, 'C'},
};

constexpr MFDBUTTONMENU kListMenu[kButtonCount] = {
    {"Prev. WP", nullptr, 'P'},
    {"Next WP", nullptr, 'N'},
    kBlank,
    kBlank,
    {"Load Track", nullptr, 'L'},
    {"Switch to Graphical Mode", nullptr, 'S'},
    kBlank,
    kBlank,
    kBlank,
    kBlank,
    {"Clear Route", nullptr, 'D'},
    {"Toggle Color", nullptr, 'C'},
};

bool IsButton(int button) { return button >= 0 && button < kButtonCount; }

}  // namespace

DWORD KeyOfButton(int button) { return IsButton(button) ? kButtonKeys[button] : 0; }

const char* ButtonLabel(std::int32_t page, int button) {
  if (!IsButton(button)) return nullptr;
  switch (page) {
    case FileSelect:
      return kFileSelectLabels[button];
    case List:
      return kListLabels[button];
    default:
      return kGraphicalLabels[button];
  }
}

const MFDBUTTONMENU* ButtonMenu(std::int32_t page) {
  switch (page) {
    case FileSelect:
      return kFileSelectMenu;
    case List:
      return kListMenu;
    default:
      return kGraphicalMenu;
  }
}
