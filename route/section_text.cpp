#include "route/section_text.h"

#include <sys/stat.h>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "host/oapi.h"
#include "platform/platform.h"
#include "route/route_messages.h"

namespace {

namespace msg = route_messages;

// The file's bytes, or false when it cannot be opened or read (a folder
// opens but does not read) or holds more than the largest route file; a
// device or a file that grows while read stops there too. openError is why
// it did not open, else 0.
bool ReadWholeFile(const std::string& nativePath, std::string& bytes, bool& tooLarge, int& openError) {
  tooLarge = false;
  openError = 0;
  std::FILE* file = std::fopen(nativePath.c_str(), "rb");
  if (file == nullptr) {
    openError = errno;
    return false;
  }
  struct stat status {};
  std::size_t expected = 0;
  if (fstat(fileno(file), &status) == 0 && status.st_size > 0) expected = static_cast<std::size_t>(status.st_size);
  // Straight into the text, one byte more than expected to see the end.
  std::size_t filled = 0;
  bytes.resize(std::min(expected, kLargestRouteFileBytes) + 1);
  while (true) {
    filled += std::fread(bytes.data() + filled, 1, bytes.size() - filled, file);
    if (filled < bytes.size()) break;  // the end, or a failure
    if (filled > kLargestRouteFileBytes) {
      tooLarge = true;
      break;
    }
    bytes.resize(std::min(bytes.size() * 2, kLargestRouteFileBytes + 1));  // the file grew while being read
  }
  const bool failed = std::ferror(file) != 0 || tooLarge;
  std::fclose(file);
  if (failed) {
    bytes.clear();
    bytes.shrink_to_fit();
    return false;
  }
  bytes.resize(filled);
  return true;
}

std::string_view WithoutCommentFromHash(std::string_view line) {
  const std::size_t hash = line.find('#');
  return hash == std::string_view::npos ? line : line.substr(0, hash);
}

std::string_view WithoutTrailingCr(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

// Moves the line [from, to) down to write, cut at its first '#' unless it
// is the first line.
void KeepLine(std::string& bytes, std::size_t from, std::size_t to, bool cutComment, std::size_t& write,
              TextOrigins* origins) {
  std::string_view line(bytes.data() + from, to - from);
  if (cutComment) line = WithoutCommentFromHash(line);
  if (write != from) std::memmove(bytes.data() + write, line.data(), line.size());
  write += line.size();
  if (origins != nullptr)
    for (std::size_t i = 0; i < line.size(); ++i) origins->push_back(from + i);
}

// In place, since lines only ever get shorter. The reading loop checks for
// the end only after each read, so a file without any LF still ends with
// one.
void JoinLines(std::string& bytes, TextOrigins* origins) {
  const std::size_t fileSize = bytes.size();
  const std::size_t firstLf = bytes.find('\n');
  if (firstLf == std::string::npos) {
    if (origins != nullptr) {
      origins->resize(fileSize + 1);
      for (std::size_t i = 0; i <= fileSize; ++i) (*origins)[i] = i;
    }
    bytes.push_back('\n');
    return;
  }
  // The first line stays whole and gets no LF of its own.
  std::size_t write = 0;
  KeepLine(bytes, 0, WithoutTrailingCr(std::string_view(bytes).substr(0, firstLf)).size(), false, write, origins);
  std::size_t read = firstLf + 1;
  while (true) {
    const std::size_t lf = bytes.find('\n', read);
    if (lf == std::string::npos) {
      KeepLine(bytes, read, bytes.size(), true, write, origins);
      bytes.resize(write);
      bytes.push_back('\n');
      if (origins != nullptr) origins->push_back(fileSize);
      return;
    }
    const std::size_t lineEnd = read + WithoutTrailingCr(std::string_view(bytes).substr(read, lf - read)).size();
    KeepLine(bytes, read, lineEnd, true, write, origins);
    bytes[write++] = '\n';
    if (origins != nullptr) origins->push_back(lf);
    read = lf + 1;
  }
}

// For a replacement at least as long as the pattern the searching again
// from the start need not end ("a" -> "aa"); one pass that never looks at
// its own replacements is the safe reading.
std::string ReplaceInOnePass(std::string_view text, std::string_view pattern, std::string_view replacement) {
  std::string out;
  out.reserve(text.size());
  std::size_t from = 0;
  for (std::size_t hit = text.find(pattern); hit != std::string_view::npos; hit = text.find(pattern, from)) {
    out.append(text.substr(from, hit - from));
    out.append(replacement);
    from = hit + pattern.size();
  }
  out.append(text.substr(from));
  return out;
}

// The first i >= from with data[i] == a and data[i + 1] == b, or size;
// sixteen positions at a time where the processor allows.
std::size_t FindPair(const char* data, std::size_t from, std::size_t size, char a, char b) {
  std::size_t i = from;
#ifdef __SSE2__
  const __m128i allA = _mm_set1_epi8(a);
  const __m128i allB = _mm_set1_epi8(b);
  for (; i + 17 <= size; i += 16) {
    const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
    const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i + 1));
    const int pairs = _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(here, allA), _mm_cmpeq_epi8(next, allB)));
    if (pairs != 0) return i + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(pairs)));
  }
#endif
  for (; i + 1 < size; ++i) {
    if (data[i] == a && data[i + 1] == b) return i;
  }
  return size;
}

// "ab" -> "a" (a may equal b), in place: every b that follows an a,
// directly or after other such b's, goes; with a == b this collapses runs.
// What is left behind an a is never a b, so nothing is found again.
// Origins, when given, move with their bytes.
void DropRunsAfter(std::string& text, char a, char b, TextOrigins* origins) {
  char* const data = text.data();
  const std::size_t size = text.size();
  std::size_t write = 0;
  std::size_t read = 0;
  while (read < size) {
    const std::size_t pair = FindPair(data, read, size, a, b);
    const std::size_t keepEnd = pair == size ? size : pair + 1;  // up to and with the a
    if (write != read) {
      std::memmove(data + write, data + read, keepEnd - read);
      if (origins != nullptr) std::copy(origins->begin() + read, origins->begin() + keepEnd, origins->begin() + write);
    }
    write += keepEnd - read;
    read = keepEnd;
    while (pair != size && read < size && data[read] == b) ++read;
  }
  text.resize(write);
  if (origins != nullptr) origins->resize(write);
}

// ReplaceAll on a text of its own, in place for the shapes normalisation
// uses: one character for another, and "ab" -> "a".
void ReplaceAllInPlace(std::string& text, std::string_view pattern, std::string_view replacement,
                       TextOrigins* origins = nullptr) {
  if (pattern.size() == 1 && replacement.size() == 1) {
    std::replace(text.begin(), text.end(), pattern[0], replacement[0]);
  } else if (pattern.size() == 2 && replacement.size() == 1 && replacement[0] == pattern[0]) {
    DropRunsAfter(text, pattern[0], pattern[1], origins);
  } else {
    text = ReplaceAll(text, pattern, replacement);
  }
}

}  // namespace

std::string ReadRouteText(const std::string& hostPath, TextOrigins* origins, bool* tooLarge) {
  std::string text;
  if (origins != nullptr) origins->clear();
  bool larger = false;
  int openError = 0;
  const bool read = ReadWholeFile(NativePath(hostPath), text, larger, openError);
  if (tooLarge != nullptr) *tooLarge = larger;
  // The sections are then reported missing, as for a missing file; this
  // line says why.
  if (openError == EACCES) oapiWriteLog((std::string(msg::kPermissionDenied) + hostPath).c_str());
  if (!read) return {};
  if (origins != nullptr) origins->reserve(text.size() + 1);
  JoinLines(text, origins);
  return text;
}

std::string RouteTextOfBytes(std::string bytes, TextOrigins* origins) {
  if (origins != nullptr) {
    origins->clear();
    origins->reserve(bytes.size() + 1);
  }
  JoinLines(bytes, origins);
  return bytes;
}

std::string NormalizeWhitespace(std::string text, TextOrigins* origins) {
  // Origins that do not fit the text are not followed.
  if (origins != nullptr && origins->size() != text.size()) origins = nullptr;
  ReplaceAllInPlace(text, "\t", " ", origins);
  ReplaceAllInPlace(text, "  ", " ", origins);
  ReplaceAllInPlace(text, "\n ", "\n", origins);
  ReplaceAllInPlace(text, "\n\n", "\n", origins);
  return text;
}

// The output never holds the pattern, so the leftmost occurrence in
// output + rest of input is the one completed first while characters move
// across; a match is taken out and its replacement goes back in front of
// the input, where it may complete another match as searching again from
// the start would find it.
std::string ReplaceAll(std::string_view text, std::string_view pattern, std::string_view replacement) {
  if (pattern.empty()) return std::string(text);
  // The shapes that normalisation uses, with the same result as below.
  const bool oneForOne = pattern.size() == 1 && replacement.size() == 1;
  const bool dropSecond = pattern.size() == 2 && replacement.size() == 1 && replacement[0] == pattern[0];
  if (oneForOne || dropSecond) {
    std::string out(text);
    ReplaceAllInPlace(out, pattern, replacement);
    return out;
  }
  if (replacement.size() >= pattern.size()) return ReplaceInOnePass(text, pattern, replacement);

  std::string out;
  out.reserve(text.size());
  std::string pendingReversed;  // replacement characters still to move, the next one last
  const char lastOfPattern = pattern.back();
  const auto moveAndMatch = [&](char c) {
    out.push_back(c);
    if (c == lastOfPattern && out.size() >= pattern.size() &&
        std::memcmp(out.data() + out.size() - pattern.size(), pattern.data(), pattern.size()) == 0) {
      out.resize(out.size() - pattern.size());
      pendingReversed.append(replacement.rbegin(), replacement.rend());
    }
  };

  std::size_t position = 0;
  while (true) {
    if (!pendingReversed.empty()) {
      const char c = pendingReversed.back();
      pendingReversed.pop_back();
      moveAndMatch(c);
      continue;
    }
    if (position == text.size()) break;
    // Characters other than the pattern's last cannot complete a match.
    const void* found = std::memchr(text.data() + position, lastOfPattern, text.size() - position);
    const std::size_t stop = found == nullptr ? text.size() : static_cast<const char*>(found) - text.data();
    out.append(text.data() + position, stop - position);
    position = stop;
    if (position < text.size()) moveAndMatch(text[position++]);
  }
  return out;
}

std::string ExtractSection(std::string_view text, std::string_view name, ErrorSink& errors) {
  return std::string(SectionBody(text, name, errors));
}

std::string_view SectionBody(std::string_view text, std::string_view name, ErrorSink& errors) {
  std::string beginMarker(msg::kBeginMarker);
  beginMarker.append(name);
  std::string endMarker(msg::kEndMarker);
  endMarker.append(name);

  const std::size_t begin = text.find(beginMarker);
  const std::size_t end = text.find(endMarker);
  std::string_view body;
  if (begin != std::string_view::npos && end != std::string_view::npos && end >= begin + beginMarker.size()) {
    body = text.substr(begin + beginMarker.size(), end - begin - beginMarker.size());
    if (!body.empty() && body.front() == '\n') body.remove_prefix(1);
    if (!body.empty() && body.back() == '\n') body.remove_suffix(1);
  }
  if (body.empty()) {
    std::string message(msg::kSectionNotFoundStart);
    message.append(name).append(msg::kSectionNotFoundMiddle).append(name).append(msg::kSectionNotFoundEnd);
    errors.ReportError(message);
    return {};
  }
  return body;
}

std::vector<std::string> SplitText(std::string_view text, std::string_view delimiters) {
  std::vector<std::string> pieces;
  for (std::size_t at = text.find_first_of(delimiters); at != std::string_view::npos;
       at = text.find_first_of(delimiters)) {
    if (at > 0) pieces.emplace_back(text.substr(0, at));
    text.remove_prefix(at + 1);
  }
  if (!text.empty()) pieces.emplace_back(text);
  return pieces;
}
