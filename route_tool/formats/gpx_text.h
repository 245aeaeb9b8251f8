// Route texts in a GPX document. A description can hold any bytes, but
// XML 1.0 takes only valid UTF-8 without control characters: the GPX gets
// a readable form for other tools and, in our own extension, the exact
// bytes in a form that any XML reader keeps.
#pragma once

#include <string>
#include <string_view>

namespace route_tool {

// The text for other tools: every byte that is not part of a character
// XML 1.0 allows, and every C0 control character and DEL (tab and line
// ends too, so that a name stays one line), becomes U+FFFD.
std::string ReadableXmlText(std::string_view bytes);

// The exact bytes as an attribute value: '%' and every byte that
// ReadableXmlText would replace are written as %XX (two upper-case hex
// digits); all else is kept.
std::string ExactXmlText(std::string_view bytes);

// The bytes of an ExactXmlText value; false when a '%' is not followed by
// two hex digits.
bool BytesOfExactXmlText(std::string_view text, std::string& bytes);

}  // namespace route_tool
