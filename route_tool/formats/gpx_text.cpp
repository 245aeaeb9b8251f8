#include "route_tool/formats/gpx_text.h"

#include "text/utf8.h"

namespace route_tool {
namespace {

// The length of the character at the start of bytes when XML 1.0 allows
// it and it is no control character, else 0.
std::size_t PlainCharacterLength(std::string_view bytes) {
  const Utf8Sequence sequence = DecodeUtf8(bytes);
  const char32_t c = sequence.codePoint;
  if (sequence.length == 0 || c < 0x20 || c == 0x7F || c == 0xFFFE || c == 0xFFFF) return 0;
  return sequence.length;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

std::string ReadableXmlText(std::string_view bytes) {
  std::string text;
  text.reserve(bytes.size());
  while (!bytes.empty()) {
    const std::size_t length = PlainCharacterLength(bytes);
    if (length == 0) text.append("\xEF\xBF\xBD");  // U+FFFD
    else text.append(bytes.substr(0, length));
    bytes.remove_prefix(length == 0 ? 1 : length);
  }
  return text;
}

std::string ExactXmlText(std::string_view bytes) {
  constexpr char kHexDigits[] = "0123456789ABCDEF";
  std::string text;
  text.reserve(bytes.size());
  while (!bytes.empty()) {
    const std::size_t length = bytes.front() == '%' ? 0 : PlainCharacterLength(bytes);
    if (length == 0) {
      const auto byte = static_cast<unsigned char>(bytes.front());
      text.push_back('%');
      text.push_back(kHexDigits[byte >> 4]);
      text.push_back(kHexDigits[byte & 0xF]);
    } else {
      text.append(bytes.substr(0, length));
    }
    bytes.remove_prefix(length == 0 ? 1 : length);
  }
  return text;
}

bool BytesOfExactXmlText(std::string_view text, std::string& bytes) {
  bytes.clear();
  bytes.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      bytes.push_back(text[i]);
      continue;
    }
    if (text.size() - i < 3) return false;
    const int high = HexValue(text[i + 1]);
    const int low = HexValue(text[i + 2]);
    if (high < 0 || low < 0) return false;
    bytes.push_back(static_cast<char>(high * 16 + low));
    i += 2;
  }
  return true;
}

}  // namespace route_tool
