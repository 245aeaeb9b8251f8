// Replays draw's display list (route_tool/plan/display_list_painter.h
// lists its operations) on a canvas whose transform maps picture pixels
// to the screen. The list speaks Cairo's model: fills and strokes use up
// the path unless kept, one colour serves both, and painting covers the
// picture's bounds within the clip.
//
// An edit changes a few of a large route's thousands of marks: scan()
// gives each drawing operation its bounds and what it depends on, so that
// only the part of the canvas where two lists differ is drawn again. A
// waypoint added or deleted adds or takes out drawings in the middle: the
// lists are matched in order, not index by index.

import { meet, withBox } from '/dirty_region.js';

const FONT_FAMILY = '"DejaVu Sans", sans-serif';
const HALO_WIDTH_PX = 3;         // kHaloWidthPx
const CAIRO_LINE_WIDTH_PX = 2;   // Cairo's default line width
const ALIGN = ['left', 'center', 'right'];
// Room about a drawing's points for its line's width, joins and caps.
const STROKE_PAD_FACTOR = 3;
// A text's width, at most, a character to its size: the plan's font's
// widest glyph, a bold W, is 1.17 of it. Too little would leave a changed
// text's old end on the map.
const TEXT_WIDTH_PER_SIZE = 1.25;
// The operands of each operation that are not drawn: a count where the
// list says so ('D').
const OPERANDS = { s: 0, r: 0, t: 2, o: 1, n: 0, u: 0, M: 2, L: 2, C: 6, A: 5, R: 4, Z: 0,
                   K: 2, W: 1, P: 1, J: 0, F: 0, f: 0, S: 0, x: 0, B: 0, c: 0, T: 8 };
const DRAWS = new Set(['F', 'f', 'S', 'x', 'B', 'T']);
// How far ahead matching looks for an item's partner: farther than the
// drawings one waypoint adds to a layer, short of a quadratic search.
const LOOKAHEAD = 64;
// More changed drawings than this, and the whole is drawn without looking
// further (a new fit moves every one).
const MOST_CHANGED = 2000;

function hashed(h, value) {
  if (typeof value === 'string') {
    for (let k = 0; k < value.length; ++k) h = Math.imul(h ^ value.charCodeAt(k), 16777619);
    return Math.imul(h ^ 0x2f, 16777619);
  }
  return Math.imul(h ^ Math.round((value ?? 0) * 100), 16777619);
}

const styles = new Map();
function styleOf(hex, alpha) {
  if (alpha >= 1) return hex;
  const key = hex + alpha;
  let style = styles.get(key);
  if (!style) {
    const n = parseInt(hex.slice(1), 16);
    style = `rgba(${n >> 16},${(n >> 8) & 255},${n & 255},${alpha})`;
    styles.set(key, style);
  }
  return style;
}

// Every drawing operation of the list in order: its bounds in picture
// pixels (a rotated drawing's taken about its origin, whole turn), the
// operations since the drawing before it and the state it is drawn in.
// Two drawings with equal state and equal operations draw the same.
export function scan(list, widthPx, heightPx) {
  const bounds = [];
  const starts = [];
  const ends = [];
  const states = [];
  const hashes = [];
  // Replaced, never changed, so that a drawing keeps the state it had;
  // hashed once when made.
  const stateWith = (changes) => {
    const made = { ...state, ...changes };
    made.hash = 2166136261;
    for (const value of [made.colour, made.width, made.more, made.dx, made.dy, made.turned ? 1 : 0]) made.hash = hashed(made.hash, value);
    return made;
  };
  let state = { colour: '', width: CAIRO_LINE_WIDTH_PX, more: '', dx: 0, dy: 0, turned: false };
  state = stateWith({});
  const stack = [];
  let path = null;      // [x0, y0, x1, y1] of the path so far
  let since = 0;        // where the operations that lead to the next drawing start
  const extend = (x, y, r = 0) => {
    if (state.turned) r += Math.hypot(x, y), x = 0, y = 0;
    x += state.dx;
    y += state.dy;
    if (!path) {
      path = [x - r, y - r, x + r, y + r];
      return;
    }
    path[0] = Math.min(path[0], x - r);
    path[1] = Math.min(path[1], y - r);
    path[2] = Math.max(path[2], x + r);
    path[3] = Math.max(path[3], y + r);
  };
  let i = 0;
  while (i < list.length) {
    const at = i;
    const op = list[i++];
    const count = op === 'D' ? 1 + list[i] : OPERANDS[op];
    if (count === undefined) throw new Error(`display list: unknown operation ${JSON.stringify(op)} at ${at}`);
    const a = i;
    i += count;
    switch (op) {
      case 's': stack.push(state); break;
      case 'r': state = stack.pop() ?? state; break;
      case 't': state = stateWith({ dx: state.dx + list[a], dy: state.dy + list[a + 1] }); break;
      case 'o': state = stateWith({ turned: true }); break;
      case 'n': case 'c': path = null; break;
      case 'M': case 'L': extend(list[a], list[a + 1]); break;
      case 'C': extend(list[a], list[a + 1]); extend(list[a + 2], list[a + 3]); extend(list[a + 4], list[a + 5]); break;
      case 'A': extend(list[a], list[a + 1], list[a + 2]); break;
      case 'R': extend(list[a], list[a + 1]); extend(list[a] + list[a + 2], list[a + 1] + list[a + 3]); break;
      case 'K': state = stateWith({ colour: list[a] + list[a + 1] }); break;
      case 'W': state = stateWith({ width: list[a] }); break;
      case 'D': case 'P': case 'J': state = stateWith({ more: state.more + op + list.slice(a, i) }); break;
      default: break;
    }
    if (!DRAWS.has(op)) continue;
    if (op === 'B') bounds.push([0, 0, widthPx, heightPx]);
    else if (op === 'T') {
      const x = list[a], y = list[a + 1], words = list[a + 2], sizePx = list[a + 3], halo = list[a + 5], anchor = list[a + 7];
      const w = words.length * sizePx * TEXT_WIDTH_PER_SIZE + (halo ? HALO_WIDTH_PX : 0);
      const left = state.dx + (anchor === 0 ? x : anchor === 1 ? x - w / 2 : x - w);
      bounds.push([left - 2, state.dy + y - sizePx * 1.2, left + w + 2, state.dy + y + sizePx * 0.5]);
    } else {
      const pad = (op === 'S' || op === 'x' ? state.width * STROKE_PAD_FACTOR : 0) + 1;
      bounds.push(path ? [path[0] - pad, path[1] - pad, path[2] + pad, path[3] + pad] : [0, 0, 0, 0]);
    }
    starts.push(since);
    ends.push(i);
    states.push(state);
    let h = state.hash;
    for (let j = since; j < i; ++j) h = hashed(h, list[j]);
    hashes.push(h);
    if (op === 'F' || op === 'S') path = null;
    since = i;
  }
  return { list, bounds, starts, ends, states, hashes };
}

function sameState(a, b) {
  return a === b || (a.colour === b.colour && a.width === b.width && a.more === b.more &&
                     a.dx === b.dx && a.dy === b.dy && a.turned === b.turned);
}

function sameDrawing(before, after, k, m) {
  if (before.hashes[k] !== after.hashes[m]) return false;
  const from = before.starts[k], to = after.starts[m];
  const length = before.ends[k] - from;
  if (after.ends[m] - to !== length || !sameState(before.states[k], after.states[m])) return false;
  for (let j = 0; j < length; ++j) if (before.list[from + j] !== after.list[to + j]) return false;
  return true;
}

// Matches two sequences in order: same(i, j) pairs an item before with
// one after; an item with no partner within LOOKAHEAD has changed, and
// changed(0, i) or changed(1, j) is called for it. Stops when changed
// returns true.
export function unmatched(countBefore, countAfter, same, changed) {
  let i = 0, j = 0;
  while (i < countBefore && j < countAfter) {
    if (same(i, j)) {
      ++i;
      ++j;
      continue;
    }
    let ahead = 0;  // > 0: inserted after, < 0: taken out before
    for (let d = 1; d <= LOOKAHEAD && !ahead; ++d) {
      if (j + d < countAfter && same(i, j + d)) ahead = d;
      else if (i + d < countBefore && same(i + d, j)) ahead = -d;
    }
    if (ahead > 0) {
      for (const end = j + ahead; j < end;) if (changed(1, j++)) return;
    } else if (ahead < 0) {
      for (const end = i - ahead; i < end;) if (changed(0, i++)) return;
    } else if (changed(0, i++) || changed(1, j++)) return;
  }
  while (i < countBefore) if (changed(0, i++)) return;
  while (j < countAfter) if (changed(1, j++)) return;
}

// The region (dirty_region.js) where the drawings of two scans differ:
// [] when none does, null when the whole must be drawn.
export function changedRegion(before, after) {
  if (!before) return null;
  let region = [];
  let count = 0;
  unmatched(before.bounds.length, after.bounds.length, (k, m) => sameDrawing(before, after, k, m), (side, k) => {
    region = ++count > MOST_CHANGED ? null : withBox(region, (side === 0 ? before : after).bounds[k]);
    return region === null;
  });
  return region;
}

// Draws the list; with `within` (a region) only the drawings whose bounds
// from `scanned` meet it: the paths are still built, as the state they
// leave is the next drawing's.
export function replay(ctx, list, widthPx, heightPx, scanned = null, within = null) {
  const shown = (k) => !within || !scanned || within.some((box) => meet(box, scanned.bounds[k]));
  ctx.save();
  ctx.lineWidth = CAIRO_LINE_WIDTH_PX;
  ctx.beginPath();
  let fresh = true;  // no current point: an arc starts its own sub-path
  let drawing = 0;   // the drawing operation's number, as scan() counts
  let i = 0;
  const n = () => list[i++];
  while (i < list.length) {
    const op = list[i++];
    switch (op) {
      case 's': ctx.save(); break;
      case 'r': ctx.restore(); break;
      case 't': ctx.translate(n(), n()); break;
      case 'o': ctx.rotate(n()); break;
      case 'n': ctx.beginPath(); fresh = true; break;
      case 'u': fresh = true; break;
      case 'M': ctx.moveTo(n(), n()); fresh = false; break;
      case 'L': ctx.lineTo(n(), n()); break;
      case 'C': ctx.bezierCurveTo(n(), n(), n(), n(), n(), n()); break;
      case 'A': {
        const cx = n(), cy = n(), r = n(), from = n(), to = n();
        if (fresh) ctx.moveTo(cx + r * Math.cos(from), cy + r * Math.sin(from));
        ctx.arc(cx, cy, r, from, to);
        fresh = false;
        break;
      }
      case 'R': ctx.rect(n(), n(), n(), n()); fresh = false; break;
      case 'Z': ctx.closePath(); break;
      case 'K': ctx.fillStyle = ctx.strokeStyle = styleOf(n(), n()); break;
      case 'W': ctx.lineWidth = n(); break;
      case 'D': { const count = n(); ctx.setLineDash(list.slice(i, i + count)); i += count; break; }
      case 'P': ctx.lineCap = n() === 0 ? 'butt' : 'round'; break;
      case 'J': ctx.lineJoin = 'round'; break;
      case 'F': if (shown(drawing++)) ctx.fill(); ctx.beginPath(); fresh = true; break;
      case 'f': if (shown(drawing++)) ctx.fill(); break;
      case 'S': if (shown(drawing++)) ctx.stroke(); ctx.beginPath(); fresh = true; break;
      case 'x': if (shown(drawing++)) ctx.stroke(); break;
      case 'B': if (shown(drawing++)) ctx.fillRect(0, 0, widthPx, heightPx); break;
      case 'c': ctx.clip(); ctx.beginPath(); fresh = true; break;
      case 'T': {
        const args = [n(), n(), n(), n(), n(), n(), n(), n()];
        if (shown(drawing++)) text(ctx, ...args);
        break;
      }
      default: throw new Error(`display list: unknown operation ${JSON.stringify(op)} at ${i - 1}`);
    }
  }
  ctx.restore();
}

function text(ctx, x, y, words, sizePx, bold, halo, hex, anchor) {
  ctx.save();
  ctx.font = `${bold ? 'bold ' : ''}${sizePx}px ${FONT_FAMILY}`;
  ctx.textAlign = ALIGN[anchor];
  if (halo) {
    ctx.strokeStyle = '#ffffff';
    ctx.lineWidth = HALO_WIDTH_PX;
    ctx.lineJoin = 'round';
    ctx.setLineDash([]);
    ctx.strokeText(words, x, y);
  }
  ctx.fillStyle = hex;
  ctx.fillText(words, x, y);
  ctx.restore();
}
