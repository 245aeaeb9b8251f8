#include "drawing_geometry/segment_clip.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

using drawing_geometry::Box;
using drawing_geometry::ClipSegmentToBox;

struct Segment {
  double x0, y0, x1, y1;
};

// Against the box 0..10 both ways: the part within it, or none; an end that
// lies inside comes back to the bit, also where recomputing it from the
// other end would round (-3 + 3.7 is not 0.7).
TEST(ClipSegmentToBox, KeepsThePartWithinTheBoxAndEndsInsideExactly) {
  const Box box{0.0, 0.0, 10.0, 10.0};
  const struct {
    const char* name;
    Segment in;
    std::optional<Segment> out;
  } cases[] = {
      {"across", {-5.0, 5.0, 15.0, 5.0}, Segment{0.0, 5.0, 10.0, 5.0}},
      {"diagonal in", {-10.0, -10.0, 5.0, 5.0}, Segment{0.0, 0.0, 5.0, 5.0}},
      {"end inside exact", {-3.0, 5.0, 0.7, 5.0}, Segment{0.0, 5.0, 0.7, 5.0}},
      {"start inside exact", {0.5, 2.0, -1.5, 2.0}, Segment{0.5, 2.0, 0.0, 2.0}},
      {"along the outside", {-5.0, -1.0, 20.0, -1.0}, std::nullopt},
      {"past a corner", {-2.0, 1.0, 1.0, -2.0}, std::nullopt},
  };
  for (const auto& c : cases) {
    Segment s = c.in;
    const bool kept = ClipSegmentToBox(box, s.x0, s.y0, s.x1, s.y1);
    ASSERT_EQ(kept, c.out.has_value()) << c.name;
    if (!kept) continue;
    EXPECT_EQ(s.x0, c.out->x0) << c.name;
    EXPECT_EQ(s.y0, c.out->y0) << c.name;
    EXPECT_EQ(s.x1, c.out->x1) << c.name;
    EXPECT_EQ(s.y1, c.out->y1) << c.name;
  }
}

}  // namespace
