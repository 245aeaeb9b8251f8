// The map: draw's own drawing of the route, replayed from the server's
// display list on a canvas at the view the page pans and zooms, with a
// handle on each waypoint; over it, in SVG under the same view box, the
// bases, the handle being dragged and a ring at the place of each problem
// that has one. Places come from picture pixels by the projection and fit
// the server sends with the drawing.
import { changedRegion, replay, scan, unmatched } from '/display_list.js';
import { meet, withBox, withBoxes } from '/dirty_region.js';

const SVG = 'http://www.w3.org/2000/svg';
const CLICK_SLOP_PX = 4;         // a press that moves less is a click
const RUNWAY_PICK_PX = 9;        // a click this near a runway's bar is on it
const HANDLE_RADIUS_PX = 9;       // picture pixels, as the marks
const HANDLE_INK = '#2a3b52';
const HANDLE_REACH_PX = HANDLE_RADIUS_PX + 2;  // the handle with its line
const PROBLEM_RADIUS_PX = 15;    // a ring about the handle, clear of it
const SCALE_BAR_MAX_PX = 160;

function svgElement(name, attributes) {
  const element = document.createElementNS(SVG, name);
  for (const [key, value] of Object.entries(attributes)) element.setAttribute(key, value);
  return element;
}

// 1, 2 or 5 times a power of ten, at most `most`.
function niceLengthAtMost(most) {
  const power = 10 ** Math.floor(Math.log10(most));
  for (const step of [5, 2, 1]) if (step * power <= most) return step * power;
  return power;
}

function wrappedDegrees(longitudeDeg) {
  let wrapped = ((longitudeDeg + 180) % 360 + 360) % 360 - 180;
  if (wrapped === -180) wrapped = 180;
  return wrapped;
}

// The region where handles moved, came or went.
function movedHandles(before, after) {
  let region = [];
  unmatched(before.length, after.length, (i, j) => before[i][0] === after[j][0] && before[i][1] === after[j][1],
            (side, i) => {
              const [x, y] = (side === 0 ? before : after)[i];
              region = withBox(region, [x - HANDLE_REACH_PX, y - HANDLE_REACH_PX, x + HANDLE_REACH_PX, y + HANDLE_REACH_PX]);
              return false;
            });
  return region;
}

export class PlanMap {
  // handlers: onAdd(lat, lon, runwayIndex|null), onMoveWaypoint(index, lat, lon)
  constructor(container, scaleLine, scaleLabel, handlers) {
    this.container = container;
    this.scaleLine = scaleLine;
    this.scaleLabel = scaleLabel;
    this.handlers = handlers;
    this.map = null;
    this.drawPending = false;
    this.scanned = null;   // each drawing's bounds and what it depends on, from scan()
    this.dirty = null;     // the region to draw again (dirty_region.js), null: all
    this.pickOnce = null;  // a click that places something else than a waypoint
    this.view = null;  // {x, y, w, h} in picture pixels
    this.panOwedPx = [0, 0];  // device pixels a pan asked for and did not move
    this.bases = [];
    this.canvas = document.createElement('canvas');
    this.canvas.id = 'map-canvas';
    this.root = svgElement('svg', { id: 'map-svg', preserveAspectRatio: 'xMidYMid meet' });
    this.overlay = svgElement('g', { id: 'map-overlay' });
    this.dragged = svgElement('circle', { r: HANDLE_RADIUS_PX, class: 'handle dragged', visibility: 'hidden' });
    this.problemLayer = svgElement('g', { id: 'map-problems' });
    this.problems = [];
    this.root.append(this.overlay, this.dragged, this.problemLayer);
    container.append(this.canvas, this.root);
    this.listen();
  }

  // The server's map and problems; the view stays where the user put it,
  // until another route is opened (showWhole). A route the reader stops in
  // has no map: the last one stays, and its problems are marked on it.
  show(map, problems = []) {
    this.problems = problems;
    if (!map) return this.drawProblems();
    const first = !this.map;
    const before = this.map;
    const scannedBefore = this.scanned;
    this.map = map;
    this.scanned = scan(map.drawing, map.widthPx, map.heightPx);
    if (first || !this.view) {
      this.view = { x: 0, y: 0, w: map.widthPx, h: map.heightPx };
      this.setViewBox();
    }
    this.drawProblems();
    this.drawScaleBar();
    this.markChanged(first ? null : withBoxes(changedRegion(scannedBefore, this.scanned),
                                              movedHandles(before.waypointsPx, map.waypointsPx)));
  }

  // A region to draw again at the next frame; null: everything. Changes
  // within one frame add up; an empty region adds nothing.
  markChanged(region) {
    if (this.drawPending) this.dirty = withBoxes(this.dirty, region);
    else if (region === null || region.length) this.dirty = region;
    else return;
    this.requestDraw();
  }

  // The canvas is drawn once a frame, however many changes came in it.
  requestDraw() {
    if (this.drawPending) return;
    this.drawPending = true;
    requestAnimationFrame(() => {
      this.drawPending = false;
      const dirty = this.dirty;
      this.dirty = null;
      this.draw(dirty);
    });
  }

  // The display list and the handles under the view box's transform: all
  // of it, or what meets the region `dirty`. Without `cull` every
  // drawing is made there: the browser test's reference.
  draw(dirty = null, { cull = true } = {}) {
    if (!this.map) return;
    // Measured now: the frame's layout may have moved the map since the
    // last resize was reported, and the view must fit what is shown.
    this.box = this.root.getBoundingClientRect();
    const ratio = window.devicePixelRatio || 1;
    const widthPx = Math.round(this.box.width * ratio), heightPx = Math.round(this.box.height * ratio);
    if (this.canvas.width !== widthPx || this.canvas.height !== heightPx) {
      this.canvas.width = widthPx;
      this.canvas.height = heightPx;
      dirty = null;
    }
    // As preserveAspectRatio="xMidYMid meet" places the view box.
    const { x, y, w, h } = this.view;
    const scale = this.devicePxPerPicturePx();
    const left = (widthPx - w * scale) / 2 - x * scale, top = (heightPx - h * scale) / 2 - y * scale;
    dirty = this.keptByPan(dirty, { widthPx, heightPx, scale, left, top });
    // The device pixels to draw, whole, and the picture pixels they show.
    const device = (dirty ?? [[(0 - left) / scale, (0 - top) / scale, (widthPx - left) / scale, (heightPx - top) / scale]])
      .map((b) => [Math.max(0, Math.floor(left + b[0] * scale) - 1), Math.max(0, Math.floor(top + b[1] * scale) - 1),
                   Math.min(widthPx, Math.ceil(left + b[2] * scale) + 1), Math.min(heightPx, Math.ceil(top + b[3] * scale) + 1)])
      .filter((d) => d[2] > d[0] && d[3] > d[1]);
    if (!device.length) return;
    const within = device.map((d) => [(d[0] - left) / scale, (d[1] - top) / scale, (d[2] - left) / scale, (d[3] - top) / scale]);
    this.lastDrawn = { dirty, devicePx: device };  // for the browser test
    const ctx = this.canvas.getContext('2d', { willReadFrequently: true });
    ctx.save();
    ctx.setTransform(1, 0, 0, 1, 0, 0);
    ctx.beginPath();
    for (const d of device) {
      ctx.rect(d[0], d[1], d[2] - d[0], d[3] - d[1]);
      ctx.clearRect(d[0], d[1], d[2] - d[0], d[3] - d[1]);
    }
    ctx.clip();
    ctx.setTransform(scale, 0, 0, scale, left, top);
    replay(ctx, this.map.drawing, this.map.widthPx, this.map.heightPx, cull ? this.scanned : null, within);
    ctx.beginPath();
    for (const [cx, cy] of this.map.waypointsPx) {
      const reach = [cx - HANDLE_REACH_PX, cy - HANDLE_REACH_PX, cx + HANDLE_REACH_PX, cy + HANDLE_REACH_PX];
      if (!within.some((box) => meet(box, reach))) continue;
      ctx.moveTo(cx + HANDLE_RADIUS_PX, cy);
      ctx.arc(cx, cy, HANDLE_RADIUS_PX, 0, 2 * Math.PI);
    }
    ctx.strokeStyle = HANDLE_INK;
    ctx.lineWidth = 1.5;
    ctx.setLineDash([3, 2]);
    ctx.stroke();
    ctx.restore();
  }

  // A pan by whole device pixels keeps what was drawn: it is moved on the
  // canvas, and only the strips the pan brings in are added to the region
  // to draw. Anything else the canvas was drawn at (a zoom, a resize, a
  // shift by part of a pixel) draws all of it.
  keptByPan(dirty, at) {
    const was = this.drawnAt;
    this.drawnAt = at;
    if (dirty === null || !was || was.widthPx !== at.widthPx || was.heightPx !== at.heightPx ||
        Math.abs(was.scale - at.scale) > 1e-9 * at.scale) return null;
    const shiftX = at.left - was.left, shiftY = at.top - was.top;
    const wholeX = Math.round(shiftX), wholeY = Math.round(shiftY);
    if (!wholeX && !wholeY) return dirty;
    if (Math.abs(shiftX - wholeX) > 1e-6 || Math.abs(shiftY - wholeY) > 1e-6 ||
        Math.abs(wholeX) >= at.widthPx || Math.abs(wholeY) >= at.heightPx) return null;
    const ctx = this.canvas.getContext('2d', { willReadFrequently: true });
    ctx.save();
    ctx.setTransform(1, 0, 0, 1, 0, 0);
    ctx.globalCompositeOperation = 'copy';  // what the copy leaves uncovered is cleared
    ctx.drawImage(this.canvas, wholeX, wholeY);
    ctx.restore();
    const picture = ([l, t, r, b]) => [(l - at.left) / at.scale, (t - at.top) / at.scale, (r - at.left) / at.scale, (b - at.top) / at.scale];
    const columns = wholeX > 0 ? [0, wholeX] : [at.widthPx + wholeX, at.widthPx];
    const rows = wholeY > 0 ? [0, wholeY] : [at.heightPx + wholeY, at.heightPx];
    // Not joined with the rest: the two strips meet at a corner, and their
    // join would be the whole.
    if (wholeX) dirty = [...dirty, picture([columns[0], 0, columns[1], at.heightPx])];
    if (wholeY) dirty = [...dirty, picture([0, rows[0], at.widthPx, rows[1]])];
    return dirty;
  }

  // The waypoint whose handle is under picture pixel x, y: the nearest.
  waypointAt(x, y) {
    let best = null;
    this.map.waypointsPx.forEach(([cx, cy], index) => {
      const distance = Math.hypot(x - cx, y - cy);
      if (distance <= HANDLE_RADIUS_PX && (!best || distance < best.distance)) best = { index, distance };
    });
    return best ? best.index : null;
  }

  drawProblems() {
    if (!this.map) return;
    this.problemLayer.replaceChildren(...this.problems.filter((p) => p.lat !== undefined).map((p) => {
      const [cx, cy] = this.pxOf(p.lat, p.lon);
      return svgElement('circle', { cx, cy, r: PROBLEM_RADIUS_PX, class: `problem ${p.severity}`, 'data-line': p.line });
    }));
  }

  // Another route's picture is fitted to that route: its whole is shown.
  showWhole() {
    if (this.map) this.setView({ x: 0, y: 0, w: this.map.widthPx, h: this.map.heightPx });
  }

  setBases(bases) { this.bases = bases; this.drawOverlay(); }

  // Picture pixels of a place, and back.
  pxOf(latDeg, lonDeg) {
    const { projection: p, fit: f } = this.map;
    const east = wrappedDegrees(lonDeg - p.longitude0Deg) * p.eastMetresPerDeg;
    const north = (latDeg - p.latitude0Deg) * p.northMetresPerDeg;
    return [f.frameLeftPx + f.frameWidthPx / 2 + (east - f.centreEastMetres) * f.pxPerMetre,
            f.frameTopPx + f.frameHeightPx / 2 - (north - f.centreNorthMetres) * f.pxPerMetre];
  }
  placeOf(xPx, yPx) {
    const { projection: p, fit: f } = this.map;
    const east = f.centreEastMetres + (xPx - f.frameLeftPx - f.frameWidthPx / 2) / f.pxPerMetre;
    const north = f.centreNorthMetres - (yPx - f.frameTopPx - f.frameHeightPx / 2) / f.pxPerMetre;
    return { lat: p.latitude0Deg + north / p.northMetresPerDeg,
             lon: wrappedDegrees(p.longitude0Deg + east / p.eastMetresPerDeg) };
  }
  // Picture pixels under a mouse event.
  eventPx(event) {
    const point = this.root.createSVGPoint();
    point.x = event.clientX;
    point.y = event.clientY;
    const at = point.matrixTransform(this.root.getScreenCTM().inverse());
    return [at.x, at.y];
  }
  // Picture pixels per screen pixel. The map's size is kept from the last
  // resize: asking the page for it after an edit would lay out every table.
  unitsPerScreenPx() {
    const box = this.box ?? (this.box = this.root.getBoundingClientRect());
    return Math.max(this.view.w / box.width, this.view.h / box.height);
  }
  devicePxPerPicturePx() {
    return (window.devicePixelRatio || 1) / this.unitsPerScreenPx();
  }

  runwayAt(x, y) {
    const reach = RUNWAY_PICK_PX * this.unitsPerScreenPx();
    let best = null;
    this.map.runwaysPx.forEach(([x1, y1, x2, y2], index) => {
      const dx = x2 - x1, dy = y2 - y1;
      const t = Math.max(0, Math.min(1, ((x - x1) * dx + (y - y1) * dy) / (dx * dx + dy * dy || 1)));
      const distance = Math.hypot(x - (x1 + t * dx), y - (y1 + t * dy));
      if (distance <= reach && (!best || distance < best.distance)) best = { index, distance };
    });
    return best ? best.index : null;
  }

  drawOverlay() {
    if (!this.map) return;
    const items = [];
    for (const base of this.bases) {
      for (const runway of base.runways) {
        const [x1, y1] = this.pxOf(runway.end1.lat, runway.end1.lon);
        const [x2, y2] = this.pxOf(runway.end2.lat, runway.end2.lon);
        items.push(svgElement('line', { x1, y1, x2, y2, class: 'base-runway' }));
      }
      for (const pad of base.pads) {
        const [x, y] = this.pxOf(pad.lat, pad.lon);
        items.push(svgElement('rect', { x: x - 4, y: y - 4, width: 8, height: 8, class: 'base-pad' }));
      }
      const [x, y] = this.pxOf(base.lat, base.lon);
      const label = svgElement('text', { x: x + 8, y: y - 8, class: 'base-name' });
      label.textContent = base.name;
      items.push(label);
    }
    this.overlay.replaceChildren(...items);
  }

  // The SVG's view box places the overlay and maps the mouse to picture
  // pixels; draw() places the canvas the same way.
  setViewBox() {
    const { x, y, w, h } = this.view;
    this.root.setAttribute('viewBox', `${x} ${y} ${w} ${h}`);
  }

  setView(view) {
    this.view = view;
    this.panOwedPx = [0, 0];
    this.setViewBox();
    this.drawScaleBar();
    this.markChanged(null);
  }

  drawScaleBar() {
    if (!this.map) return;
    const metresPerScreenPx = this.unitsPerScreenPx() / this.map.fit.pxPerMetre;
    const metres = niceLengthAtMost(SCALE_BAR_MAX_PX * metresPerScreenPx);
    this.scaleLine.style.width = `${metres / metresPerScreenPx}px`;
    this.scaleLabel.textContent = metres >= 1000 ? `${metres / 1000} km` : `${metres} m`;
  }

  // By whole device pixels, so that what is drawn can be kept (keptByPan).
  // The parts of a pixel left over are owed to the next pan, so that the
  // map keeps up with the mouse.
  pan(dxPx, dyPx) {
    const scale = this.devicePxPerPicturePx();
    const wantX = dxPx * scale + this.panOwedPx[0], wantY = dyPx * scale + this.panOwedPx[1];
    const moveX = Math.round(wantX), moveY = Math.round(wantY);
    this.panOwedPx = [wantX - moveX, wantY - moveY];
    this.view.x += moveX / scale;
    this.view.y += moveY / scale;
    this.setViewBox();
    if (!this.drawPending) this.dirty = [];
    this.requestDraw();
  }

  zoom(factor, [cx, cy]) {
    const v = this.view;
    this.setView({ x: cx - (cx - v.x) * factor, y: cy - (cy - v.y) * factor, w: v.w * factor, h: v.h * factor });
  }

  listen() {
    let press = null;
    this.root.addEventListener('pointerdown', (event) => {
      if (!this.map || event.button !== 0) return;
      const waypoint = this.waypointAt(...this.eventPx(event));
      press = { startX: event.clientX, startY: event.clientY, moved: false, handle: waypoint !== null, waypoint };
      this.root.setPointerCapture(event.pointerId);
    });
    this.root.addEventListener('pointermove', (event) => {
      if (!press) {
        if (this.map) this.root.classList.toggle('over-handle', this.waypointAt(...this.eventPx(event)) !== null);
        return;
      }
      const dx = event.clientX - press.startX, dy = event.clientY - press.startY;
      if (!press.moved && Math.hypot(dx, dy) < CLICK_SLOP_PX) return;
      press.moved = true;
      if (press.handle) {
        const [x, y] = this.eventPx(event);
        this.dragged.setAttribute('cx', x);
        this.dragged.setAttribute('cy', y);
        this.dragged.setAttribute('visibility', 'visible');
      } else {
        const scale = this.unitsPerScreenPx();
        this.pan(-(event.clientX - (press.lastX ?? press.startX)) * scale, -(event.clientY - (press.lastY ?? press.startY)) * scale);
        press.lastX = event.clientX;
        press.lastY = event.clientY;
      }
    });
    this.root.addEventListener('pointerup', (event) => {
      if (!press) return;
      const done = press;
      press = null;
      this.dragged.setAttribute('visibility', 'hidden');
      const [x, y] = this.eventPx(event);
      const place = this.placeOf(x, y);
      if (done.handle && done.moved) this.handlers.onMoveWaypoint(done.waypoint, place.lat, place.lon);
      else if (!done.moved && !done.handle && this.pickOnce) {
        this.pickOnce(place.lat, place.lon);
        this.pickOnce = null;
      } else if (!done.moved && !done.handle) this.handlers.onAdd(place.lat, place.lon, this.runwayAt(x, y));
    });
    this.root.addEventListener('wheel', (event) => {
      if (!this.map) return;
      event.preventDefault();
      this.zoom(event.deltaY > 0 ? 1.25 : 0.8, this.eventPx(event));
    }, { passive: false });
    this.container.addEventListener('keydown', (event) => {
      if (!this.map) return;
      const step = this.view.w / 10;
      const moves = { ArrowLeft: [-step, 0], ArrowRight: [step, 0], ArrowUp: [0, -step], ArrowDown: [0, step] };
      if (moves[event.key]) this.pan(...moves[event.key]);
      else if (event.key === '+' || event.key === '=') this.zoom(0.8, [this.view.x + this.view.w / 2, this.view.y + this.view.h / 2]);
      else if (event.key === '-') this.zoom(1.25, [this.view.x + this.view.w / 2, this.view.y + this.view.h / 2]);
      else return;
      event.preventDefault();
    });
    new ResizeObserver(([entry]) => {
      this.box = entry.contentRect;
      if (this.map) {
        this.drawScaleBar();
        this.markChanged(null);
      }
    }).observe(this.root);
  }
}
