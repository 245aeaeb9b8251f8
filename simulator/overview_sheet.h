// One overview image of a run: a sheet of display frames, one row per
// moment and one column per display, each frame with its caption.
#pragma once

#include <string>
#include <vector>

namespace simulator {

struct SheetCell {
  std::string framePath;  // a PNG written during the run
  std::string caption;
};

// Composes the rows of cells under a title and writes the sheet as PNG, to
// a smaller scale when it would be wider or higher than 8192 pixels.
// Returns false with the reason in error when a frame cannot be read or the
// sheet cannot be made or written.
bool ComposeOverview(const std::string& title, const std::vector<std::vector<SheetCell>>& rows,
                     const std::string& sheetPath, std::string& error);

// Which of `count` moments a sheet of at most `rows` rows shows: evenly
// spread, first and last included.
std::vector<std::size_t> PickRows(std::size_t count, std::size_t rows);

}  // namespace simulator
