// The parts of the map to draw again after a change: a few boxes
// [left, top, right, bottom] in picture pixels, or null for the whole.
// A waypoint added changes its place, the title and the legend, far
// apart: one box holding all three would be most of the map. Boxes that
// meet are joined; past MOST_BOXES the two whose join grows least are
// joined, so that a redraw stays a few passes over the display list.

const MOST_BOXES = 4;

const area = (b) => (b[2] - b[0]) * (b[3] - b[1]);
const join = (a, b) => [Math.min(a[0], b[0]), Math.min(a[1], b[1]), Math.max(a[2], b[2]), Math.max(a[3], b[3])];
export const meet = (a, b) => !(a[2] < b[0] || a[0] > b[2] || a[3] < b[1] || a[1] > b[3]);

// The region with box added; null (the whole) stays the whole.
export function withBox(region, box) {
  if (region === null || box === null) return null;
  if (!(box[2] > box[0] && box[3] > box[1])) return region;
  let added = box;
  const rest = [];
  for (const b of region) {
    if (meet(b, added)) added = join(b, added);
    else rest.push(b);
  }
  // A join may now meet a box it passed: join again until none does.
  const boxes = rest.length < region.length ? withBoxes([], [...rest, added]) : [...rest, added];
  while (boxes.length > MOST_BOXES) {
    let best = null;
    for (let i = 0; i < boxes.length; ++i) {
      for (let j = i + 1; j < boxes.length; ++j) {
        const growth = area(join(boxes[i], boxes[j])) - area(boxes[i]) - area(boxes[j]);
        if (!best || growth < best.growth) best = { i, j, growth };
      }
    }
    const joined = join(boxes[best.i], boxes[best.j]);
    boxes.splice(best.j, 1);
    boxes.splice(best.i, 1, joined);
  }
  return boxes;
}

export function withBoxes(region, boxes) {
  for (const box of boxes ?? [null]) region = withBox(region, box);
  return region;
}
