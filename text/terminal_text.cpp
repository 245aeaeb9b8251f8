#include "text/terminal_text.h"

#include <cstdio>

#include "text/utf8.h"

namespace {

void AppendEscaped(std::string& out, unsigned char byte) {
  if (byte == 0) {
    out += "\\0";
    return;
  }
  char escaped[5];
  std::snprintf(escaped, sizeof escaped, "\\x%02x", static_cast<unsigned>(byte));
  out += escaped;
}

bool Shown(char32_t codePoint) {
  if (codePoint == '\n' || codePoint == '\t') return true;
  return !(codePoint < 0x20 || (codePoint >= 0x7F && codePoint < 0xA0));
}

}  // namespace

std::string TerminalText(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  while (!bytes.empty()) {
    const Utf8Sequence sequence = DecodeUtf8(bytes);
    // An invalid byte goes alone, so that a good sequence after it shows.
    const std::size_t length = sequence.length == 0 ? 1 : sequence.length;
    if (sequence.length != 0 && Shown(sequence.codePoint)) {
      out.append(bytes.substr(0, length));
    } else {
      for (const char c : bytes.substr(0, length)) AppendEscaped(out, static_cast<unsigned char>(c));
    }
    bytes.remove_prefix(length);
  }
  return out;
}
