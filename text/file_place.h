// A place in a file as an editor counts it, and its "FILE:LINE:COLUMN"
// text: one way of pointing at a byte for every tool that reports on a
// file.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Line and byte column from 1. Column 0 stands for the line as a whole,
// line 0 for the file as a whole.
struct FilePlace {
  std::size_t line = 0;
  std::size_t column = 0;
};

// Where each line of a text starts, for many look-ups in one text. A line
// feed ends a line; after a last line feed an empty line begins.
class LineStarts {
 public:
  explicit LineStarts(std::string_view text);
  // The place of a byte; an offset past the end is the place just after
  // the last byte.
  FilePlace PlaceOf(std::size_t offset) const;
  // The offset where a line (from 1) starts; the text's size past the last.
  std::size_t StartOf(std::size_t line) const;
  std::size_t Count() const { return starts_.size(); }

 private:
  std::vector<std::size_t> starts_;
  std::size_t size_ = 0;
};

// The place of one byte of a text.
FilePlace PlaceOfOffset(std::string_view text, std::size_t offset);

// "PATH:LINE:COLUMN", "PATH:LINE" for a whole line, "PATH" for the whole
// file.
std::string PlaceText(std::string_view path, FilePlace place);
