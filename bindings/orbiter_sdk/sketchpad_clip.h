// What of a drawing call reaches the host's sketchpad. Shapes that cannot
// show are dropped, and coordinates far beyond the display are clipped
// before the host's int arithmetic (x1 - x0, (x0 + x1) / 2) sees them. Every
// decision leaves the display's pixels as they were: anything that may show
// is passed on. Plain values only, for every edition of the host.
#pragma once

#include <optional>
#include <vector>

namespace sketchpad_clip {

struct Point {
  int x;
  int y;
};

// Two corners of a box, or the two ends of a line, as the module gave them.
struct Corners {
  int x0;
  int y0;
  int x1;
  int y1;
  friend bool operator==(const Corners&, const Corners&) = default;
};

// The display drawn on and the width of the pen selected.
struct Frame {
  int widthPx;
  int heightPx;
  int penWidthPx;
};

// Coordinates within this distance of the display pass on unchanged; the
// clip box of what lies beyond. Far more than any pen is wide, so an end or
// edge moved onto it stays out of sight, and small enough that the host's
// sums and differences of two coordinates hold, exactly even in float.
inline constexpr int kMarginPx = 1 << 16;

// A line from (x0, y0) to (x1, y1): none when it cannot show, else the part
// within the clip box, along the same line.
std::optional<Corners> Line(const Frame& frame, const Corners& line);

// A rectangle's outline: none when no edge can show, else its corners with
// the edges beyond the clip box moved onto it.
std::optional<Corners> Rectangle(const Frame& frame, const Corners& box);

// An ellipse in its bounding box. kNone: nothing shows (an empty box, or the
// outline wholly outside the display or wholly around it); kLine: a box flat
// in one direction, whose outline is the line along it; kEllipse: passed on
// unchanged; kArcs: too large for the host, drawn as polylines along the
// part of the outline near the display.
struct EllipseDraw {
  enum Kind { kNone, kLine, kEllipse, kArcs } kind = kNone;
  Corners corners{};  // kLine, kEllipse
  std::vector<std::vector<Point>> arcs;
};
EllipseDraw Ellipse(const Frame& frame, const Corners& box);

// Whether a text of length characters with its top-left corner at (x, y) may
// show. fontHeightPx 0: unknown (a host's own font), taken as the display's
// height. The bound is generous: no glyph is wider or taller than twice the
// font height.
bool TextMayShow(const Frame& frame, int fontHeightPx, int x, int y, int length);

}  // namespace sketchpad_clip
