#include "text/file_place.h"

#include <algorithm>

LineStarts::LineStarts(std::string_view text) : size_(text.size()) {
  starts_.push_back(0);
  for (std::size_t i = 0; i < text.size(); ++i)
    if (text[i] == '\n') starts_.push_back(i + 1);
}

FilePlace LineStarts::PlaceOf(std::size_t offset) const {
  offset = std::min(offset, size_);
  const auto after = std::upper_bound(starts_.begin(), starts_.end(), offset);
  const auto line = static_cast<std::size_t>(after - starts_.begin());
  return {line, offset - starts_[line - 1] + 1};
}

std::size_t LineStarts::StartOf(std::size_t line) const {
  return line >= 1 && line <= starts_.size() ? starts_[line - 1] : size_;
}

FilePlace PlaceOfOffset(std::string_view text, std::size_t offset) { return LineStarts(text).PlaceOf(offset); }

std::string PlaceText(std::string_view path, FilePlace place) {
  std::string text(path);
  if (place.line == 0) return text;
  text.append(":").append(std::to_string(place.line));
  if (place.column != 0) text.append(":").append(std::to_string(place.column));
  return text;
}
