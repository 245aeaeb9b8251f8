// A text with some characters written another way: one loop for every
// escaping a tool does (a quoted message, XML text).
#pragma once

#include <span>
#include <string>
#include <string_view>

struct CharEscape {
  char character;
  std::string_view escape;
};

// Each character that has an escape replaced by it, every other as it is.
std::string Escaped(std::string_view text, std::span<const CharEscape> escapes);
