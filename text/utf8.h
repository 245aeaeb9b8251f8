// One UTF-8 sequence at the start of a text, as the tools check it before
// handing text to a library that takes only valid UTF-8.
#pragma once

#include <cstddef>
#include <string_view>

struct Utf8Sequence {
  std::size_t length = 0;  // 1 to 4 bytes; 0 when the bytes are no valid sequence
  char32_t codePoint = 0;
};

// The sequence at bytes[0]: no overlong forms, no surrogates, nothing
// above U+10FFFF, no sequence cut short. An empty text gives length 0.
Utf8Sequence DecodeUtf8(std::string_view bytes);
