// The twelve buttons of every page: the key each one sends, its label and
// its menu line, per page. The host reads the menus by address, so the
// tables are constant and live as long as the module.
#pragma once

#include <cstdint>

#include "host/mfd.h"

constexpr int kButtonCount = 12;

// The key a button sends on every page; 0 for a button without a key.
DWORD KeyOfButton(int button);

// The label of a button on a page ("" for a blank button), or null for a
// button index outside 0..11. An unknown page reads as the map page.
const char* ButtonLabel(std::int32_t page, int button);

// The page's menu table of kButtonCount entries.
const MFDBUTTONMENU* ButtonMenu(std::int32_t page);
