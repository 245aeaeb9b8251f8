// Turns a route file into one normalised text and cuts sections, lines and
// fields out of it (the fields' numbers: field_numbers.h). Failures are
// reported to an ErrorSink and a neutral value is returned.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "route/error_sink.h"
#include "route/field_numbers.h"

// For each byte of a read and normalised text, the offset in the file of
// the byte it came from; the LF added after the last line has the file's
// size. Kept only for tools that point at a file's lines; 32 bits, as no
// file larger than kLargestRouteFileBytes is read.
using TextOrigins = std::vector<std::uint32_t>;

// Far above any route (a route of a million waypoints is some 50 MB) and
// well inside the memory a reader may take; a larger file, an endless
// device or a file that keeps growing is not read.
inline constexpr std::size_t kLargestRouteFileBytes = std::size_t{256} << 20;

// The file's text: lines joined by LF, a CR before a LF dropped, every
// line but the first cut at its first '#', the first line joined to the
// second without a LF, and one LF after the last line. Empty text when
// the file cannot be opened or read, or is larger than
// kLargestRouteFileBytes (then tooLarge, when given, is set).
std::string ReadRouteText(const std::string& hostPath, TextOrigins* origins = nullptr, bool* tooLarge = nullptr);

// The same text of bytes the caller has read: a tool reads its input once,
// since a pipe cannot be read again.
std::string RouteTextOfBytes(std::string bytes, TextOrigins* origins = nullptr);

// Tabs become spaces, runs of spaces one space, blanks after a LF and
// runs of LFs go.
std::string NormalizeWhitespace(std::string text, TextOrigins* origins = nullptr);

// Replaces the leftmost occurrence of the pattern and searches again from
// the start until none is left, in linear time. Exact when the replacement
// is shorter than the pattern or shares no character with it; any other
// replacement could be replaced forever ("a" -> "aa") and gets one
// left-to-right pass that does not look at its own replacements.
std::string ReplaceAll(std::string_view text, std::string_view pattern, std::string_view replacement);

// The text between "BEGIN_<name>" and "END_<name>" without one LF at each
// end, or the empty text after a reported error.
std::string ExtractSection(std::string_view text, std::string_view name, ErrorSink& errors);
// The same body as a view into the text.
std::string_view SectionBody(std::string_view text, std::string_view name, ErrorSink& errors);

// The non-empty pieces between delimiters.
std::vector<std::string> SplitText(std::string_view text, std::string_view delimiters);
