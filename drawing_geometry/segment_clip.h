// Plain 2-D screen geometry shared by the drawing surfaces of both hosts:
// the part of a line segment within a box. Doubles throughout, so that
// sums and differences of the module's int coordinates cannot overflow.
#pragma once

#include <algorithm>

namespace drawing_geometry {

// A box in screen coordinates, y downward.
struct Box {
  double left;
  double top;
  double right;
  double bottom;
};

// Liang-Barsky: shortens the segment to the part within the box; false when
// none is. An end inside the box stays exactly where it was, so that a
// clipped line still meets the next one at its end.
inline bool ClipSegmentToBox(const Box& box, double& x0, double& y0, double& x1, double& y1) {
  const double dx = x1 - x0;
  const double dy = y1 - y0;
  double enter = 0.0;
  double leave = 1.0;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {x0 - box.left, box.right - x0, y0 - box.top, box.bottom - y0};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0.0) {
      if (q[i] < 0.0) return false;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0.0) enter = std::max(enter, t);
    else leave = std::min(leave, t);
    if (enter > leave) return false;
  }
  const double startX = enter > 0.0 ? x0 + enter * dx : x0;
  const double startY = enter > 0.0 ? y0 + enter * dy : y0;
  if (leave < 1.0) {
    x1 = x0 + leave * dx;
    y1 = y0 + leave * dy;
  }
  x0 = startX;
  y0 = startY;
  return true;
}

}  // namespace drawing_geometry
