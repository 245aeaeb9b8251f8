#include "text/escaped.h"

std::string Escaped(std::string_view text, std::span<const CharEscape> escapes) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    const CharEscape* found = nullptr;
    for (const CharEscape& e : escapes)
      if (e.character == c) found = &e;
    if (found != nullptr) out.append(found->escape);
    else out.push_back(c);
  }
  return out;
}
