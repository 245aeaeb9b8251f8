// A real session of tarvik-route plan in headless Debian chromium: open a
// route, add a waypoint by clicking at a known place, drag one, change a
// radius, undo and redo it, see the module's pages change, see a check
// error and its ring on the map come and go, save and read the file back
// with the module's reader, and see a save refused after the file changed
// on disk. Then the edit latency on a route of 1,000 waypoints, reported (not asserted), and a
// screenshot of the page.
//
//   node planner_session.mjs TARVIK_ROUTE SOURCE_DIR OUT_DIR
// OUT_DIR gets planner.png and planner-latency.txt.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { chromium } from 'playwright-core';
import {
  LARGE_ROUTE_WAYPOINTS, answered, assertLargeRouteShown, clickAmidWaypoints, largeRouteText, moduleWaypoints, revision,
  startPlanner, tableRow, waypointOnScreen,
} from './planner_fixtures.mjs';

const [tool, sourceDir, outDir] = process.argv.slice(2);
if (!tool || !sourceDir || !outDir) {
  console.error('usage: node planner_session.mjs TARVIK_ROUTE SOURCE_DIR OUT_DIR');
  process.exit(2);
}
const EDITS_MEASURED = 20;

const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'tarvik_planner_'));
const routeFile = path.join(folder, 'kestrel.route');
fs.copyFileSync(path.join(sourceDir, 'examples/demo/Config/TKMFD/routes/kestrel.route'), routeFile);

const frameDrawn = (page) => page.evaluate(() => new Promise((resolve) => requestAnimationFrame(() => requestAnimationFrame(resolve))));

// After an edit or a pan the map draws again only where the picture
// changed, and there only the drawings that reach it. Inside that part the
// canvas must be what every drawing made there is (antialiasing under a
// clip differs from the whole's). Outside it, after an edit, what the
// whole drawn afresh is; after a pan, what was there before, moved by the
// pan in whole device pixels, with nothing left that the pan brought in.
// (A moved picture is compared with itself, not with one drawn afresh:
// the rasterizer rounds an edge a little differently by its place.)
// Gives the pan in device pixels.
async function drawsOnlyWhatChanged(page, what, change) {
  await frameDrawn(page);
  await page.evaluate(() => {
    const map = window.plannerMap;
    map.draw(null);
    const ctx = map.canvas.getContext('2d', { willReadFrequently: true });
    window.beforeChange = { view: { ...map.view }, pixels: ctx.getImageData(0, 0, map.canvas.width, map.canvas.height).data };
  });
  await change();
  const { part, shiftPx, canvasPx, inside, outside, uncovered } = await page.evaluate(() => {
    const map = window.plannerMap;
    const ctx = map.canvas.getContext('2d', { willReadFrequently: true });
    const width = map.canvas.width, height = map.canvas.height;
    const read = () => ctx.getImageData(0, 0, width, height).data;
    const part = map.lastDrawn;
    const drawn = read();
    map.draw(part.dirty, { cull: false });
    const everyDrawing = read();
    map.draw(null);
    const { view, pixels } = window.beforeChange;
    const scale = map.devicePxPerPicturePx();
    const shiftPx = [Math.round((view.x - map.view.x) * scale), Math.round((view.y - map.view.y) * scale)];
    const outsideReference = shiftPx[0] || shiftPx[1] ? pixels : read();
    let inside = 0, outside = 0, uncovered = 0;
    for (let y = 0; y < height; ++y) {
      for (let x = 0; x < width; ++x) {
        const i = 4 * (y * width + x);
        if (part.devicePx.some(([left, top, right, bottom]) => x >= left && x < right && y >= top && y < bottom)) {
          for (let k = 0; k < 4; ++k) inside += drawn[i + k] !== everyDrawing[i + k];
          continue;
        }
        const fromX = x - shiftPx[0], fromY = y - shiftPx[1];
        if (fromX < 0 || fromX >= width || fromY < 0 || fromY >= height) {
          ++uncovered;
          continue;
        }
        const j = 4 * (fromY * width + fromX);
        for (let k = 0; k < 4; ++k) outside += drawn[i + k] !== outsideReference[j + k];
      }
    }
    return { part, shiftPx, canvasPx: width * height, inside, outside, uncovered };
  });
  assert.notEqual(part.dirty, null, `${what}: the whole map was drawn again`);
  const drawnPx = part.devicePx.reduce((sum, [l, t, r, b]) => sum + (r - l) * (b - t), 0);
  assert.ok(drawnPx < canvasPx / 2, `${what}: drawn again ${JSON.stringify(part.devicePx)}`);
  assert.deepEqual({ inside, outside, uncovered }, { inside: 0, outside: 0, uncovered: 0 },
                   `${what}: values that differ, drawn again in ${JSON.stringify(part.devicePx)}, moved by ${shiftPx}`);
  return shiftPx;
}

// What is clicked is what is shown: under the place where each waypoint in
// sight has its handle, the canvas shows the waypoint's mark in its task's
// colour (draw's legend: these four). At least `least` are in sight.
const TASK_COLOURS = { TAKEOFF: [41, 153, 59], TURN: [31, 112, 181], LOOP: [224, 122, 0], LAND: [199, 41, 41] };
async function marksUnderTheirHandles(page, what, least) {
  const count = await page.evaluate(() => window.planner.draft.waypoints.length);
  let inSight = 0;
  for (let index = 0; index < count; ++index) {
    const at = await waypointOnScreen(page, index);
    const mark = await page.evaluate(([i, x, y]) => {
      const canvas = window.plannerMap.canvas;
      const box = canvas.getBoundingClientRect();
      const px = Math.floor((x - box.left) * canvas.width / box.width), py = Math.floor((y - box.top) * canvas.height / box.height);
      if (px < 0 || py < 0 || px >= canvas.width || py >= canvas.height) return null;
      const rgba = canvas.getContext('2d', { willReadFrequently: true }).getImageData(px, py, 1, 1).data;
      return { task: window.planner.draft.waypoints[i].task, shown: [...rgba.slice(0, 3)] };
    }, [index, at.x, at.y]);
    if (!mark) continue;
    ++inSight;
    assert.deepEqual(mark.shown, TASK_COLOURS[mark.task], `${what}: waypoint ${index + 1} (${mark.task})`);
  }
  assert.ok(inSight >= least, `${what}: ${inSight} waypoints in sight`);
}

function summary(timings) {
  const sorted = [...timings].sort((a, b) => a - b);
  return `median ${sorted[Math.floor(sorted.length / 2)].toFixed(1)} ms, fastest ${sorted[0].toFixed(1)} ms, ` +
         `slowest ${sorted.at(-1).toFixed(1)} ms`;
}

// Screen place of a latitude and longitude on the map.
function screenOf(page, lat, lon) {
  return page.evaluate(([la, lo]) => {
    const map = window.plannerMap;
    const [x, y] = map.pxOf(la, lo);
    const point = map.root.createSVGPoint();
    point.x = x;
    point.y = y;
    const at = point.matrixTransform(map.root.getScreenCTM());
    return { x: at.x, y: at.y, degPerScreenPx: map.unitsPerScreenPx() / map.map.fit.pxPerMetre / map.map.projection.northMetresPerDeg };
  }, [lat, lon]);
}

const { child, address } = await startPlanner(tool, [routeFile, '--folder', folder, '--port', '0']);
const browser = await chromium.launch({ executablePath: '/usr/bin/chromium', args: ['--no-sandbox'] });
try {
  const page = await browser.newPage({ viewport: { width: 1600, height: 1000 } });
  page.on('pageerror', (error) => { console.error('page error:', error); process.exitCode = 1; });
  page.on('dialog', (dialog) => dialog.accept('saved-as.route'));
  await page.goto(address);
  await page.waitForFunction(() => window.planner.revision >= 1);
  const original = moduleWaypoints(tool, routeFile);
  assert.equal(await page.locator('#waypoints').getAttribute('aria-rowcount'), String(original.length));
  assert.equal(await page.locator('#waypoints .row').count(), original.length);

  await marksUnderTheirHandles(page, 'as opened', 7);

  // Click at a known place: a new point and a TURN waypoint there, drawn
  // in the part of the map they take.
  const clicked = { lat: 52.06, lon: 10.09 };
  let at = await screenOf(page, clicked.lat, clicked.lon);
  let before;
  await drawsOnlyWhatChanged(page, 'a waypoint added', async () => {
    before = await revision(page);
    await page.mouse.click(at.x, at.y);
    await answered(page, before);
  });
  const added = await page.evaluate(() => {
    const d = window.planner.draft;
    const w = d.waypoints[d.waypoints.length - 1];
    return { w, p: d.points[w.index] };
  });
  assert.equal(added.w.task, 'TURN');
  assert.equal(added.w.runway, false);
  assert.ok(Math.abs(added.p.lat - clicked.lat) < 2 * at.degPerScreenPx, `clicked latitude ${added.p.lat}`);
  assert.ok(Math.abs(added.p.lon - clicked.lon) < 4 * at.degPerScreenPx, `clicked longitude ${added.p.lon}`);

  // Drag the waypoint "Over VOR BRN" (point 5) to another known place.
  const dragged = { lat: 52.11, lon: 10.2 };
  const from = await screenOf(page, 52.098925, 10.175289);
  at = await screenOf(page, dragged.lat, dragged.lon);
  before = await revision(page);
  await page.mouse.move(from.x, from.y);
  await page.mouse.down();
  await page.mouse.move(from.x + 10, from.y + 10, { steps: 3 });
  await page.mouse.move(at.x, at.y, { steps: 5 });
  await page.mouse.up();
  await answered(page, before);
  const moved = await page.evaluate(() => window.planner.draft.points[5]);
  assert.ok(Math.abs(moved.lat - dragged.lat) < 2 * at.degPerScreenPx, `dragged latitude ${moved.lat}`);
  assert.ok(Math.abs(moved.lon - dragged.lon) < 4 * at.degPerScreenPx, `dragged longitude ${moved.lon}`);

  // A radius changed in the table reaches the text, and the map.
  const secondRadius = (await tableRow(page, 'waypoints', 1)).locator('input.radius');
  await drawsOnlyWhatChanged(page, 'a radius changed', async () => {
    before = await revision(page);
    await secondRadius.fill('777');
    await secondRadius.press('Enter');
    await answered(page, before);
  });
  assert.match(await page.evaluate(() => window.planner.text), /^POINT 4 TURN 777 900 110 "Departure turn"$/m);
  // Undo and redo with the keys, outside the text fields.
  await page.locator('#map').focus();
  for (const [key, radius] of [['Control+z', 1500], ['Control+y', 777], ['Control+z', 1500], ['Control+Shift+z', 777]]) {
    before = await revision(page);
    await page.keyboard.press(key);
    await answered(page, before);
    assert.equal(await page.evaluate(() => window.planner.draft.waypoints[1].radius), radius, key);
    assert.equal(await secondRadius.inputValue(), String(radius), key);
  }

  // The module's own pages for the vessel at waypoint 2, then at 3: the
  // pictures change with the current waypoint.
  const previews = () => page.evaluate(() => window.planner.previews ?? 0);
  await page.click('#preview-next');
  await page.waitForFunction(() => window.planner.previews >= 1);
  const atSecond = await page.locator('#preview-list').getAttribute('src');
  assert.match(atSecond, /^data:image\/png;base64,/);
  const shownBefore = await previews();
  await page.click('#preview-next');
  await page.waitForFunction((n) => window.planner.previews > n, shownBefore);
  assert.equal(await page.locator('#preview-waypoint').inputValue(), '2');
  assert.notEqual(await page.locator('#preview-list').getAttribute('src'), atSecond);
  assert.notEqual(await page.locator('#preview-map').getAttribute('src'), atSecond);
  // The README's picture: the map, the table and the module's pages.
  await page.evaluate(() => document.getElementById('side').scrollTo(0, 0));
  await page.screenshot({ path: path.join(outDir, 'planner.png') });

  // Zoomed in by key and wheel, panned by key and mouse: the marks move
  // with the handles. A pan moves what was drawn and draws the rest.
  await page.locator('#map').focus();
  await page.keyboard.press('+');
  const near = await waypointOnScreen(page, 2);
  await page.mouse.move(near.x + 30, near.y + 30);
  await page.mouse.wheel(0, -100);
  const byKey = await drawsOnlyWhatChanged(page, 'a pan by key', async () => {
    await page.keyboard.press('ArrowLeft');
    await frameDrawn(page);
  });
  assert.ok(byKey[0] > 0 && byKey[1] === 0, `a pan by key moved the map by ${byKey}`);
  await marksUnderTheirHandles(page, 'zoomed in and panned by key', 3);
  const box = await page.locator('#map-svg').boundingBox();
  const corner = { x: Math.round(box.x + 0.1 * box.width), y: Math.round(box.y + 0.9 * box.height) };
  const ratio = await page.evaluate(() => window.devicePixelRatio);
  // One move, so that one frame draws it.
  const byMouse = await drawsOnlyWhatChanged(page, 'a pan by mouse', async () => {
    await page.mouse.move(corner.x, corner.y);
    await page.mouse.down();
    await page.mouse.move(corner.x + 60, corner.y - 45);
    await page.mouse.up();
    await frameDrawn(page);
  });
  assert.deepEqual(byMouse, [60 * ratio, -45 * ratio], 'a pan by mouse moves the map with the mouse');
  // Moves by parts of a pixel add up: the map stays under the mouse.
  const viewBefore = await page.evaluate(() => ({ ...window.plannerMap.view }));
  await page.mouse.move(corner.x, corner.y);
  await page.mouse.down();
  await page.mouse.move(corner.x + 40, corner.y - 30, { steps: 16 });
  await page.mouse.up();
  await frameDrawn(page);
  const movedPx = await page.evaluate((v) => {
    const map = window.plannerMap;
    return [(v.x - map.view.x) * map.devicePxPerPicturePx(), (v.y - map.view.y) * map.devicePxPerPicturePx()];
  }, viewBefore);
  assert.ok(Math.abs(movedPx[0] - 40 * ratio) <= 0.5 && Math.abs(movedPx[1] + 30 * ratio) <= 0.5,
            `the mouse moved 40, -30 and the map ${movedPx}`);
  await marksUnderTheirHandles(page, 'panned by mouse', 3);

  // A bad edit of the text: an error on its line, gone once mended.
  const good = await page.evaluate(() => window.planner.text);
  const badLine = good.split('\n').findIndex((l) => l.startsWith('POINT 6 TURN')) + 1;
  before = await revision(page);
  await page.locator('#text').fill(good.replace('POINT 6 TURN', 'POINT 6 TRUN'));
  await answered(page, before);
  const problems = await page.evaluate(() => window.planner.problems);
  assert.ok(problems.some((p) => p.severity === 'error' && p.line === badLine), JSON.stringify(problems));
  assert.equal(await page.locator('#text-lines .bad.error').first().textContent(), `${badLine}\n`);
  // ... and a ring on the map at point 6, where that waypoint lies.
  const marker = page.locator(`#map-problems circle.problem.error[data-line="${badLine}"]`);
  assert.equal(await marker.count(), 1);
  const ringPx = [Number(await marker.getAttribute('cx')), Number(await marker.getAttribute('cy'))];
  const pointPx = await page.evaluate(() => window.plannerMap.pxOf(52.125905, 10.029215));
  assert.ok(Math.hypot(ringPx[0] - pointPx[0], ringPx[1] - pointPx[1]) < 0.5, `ring at ${ringPx}, point 6 at ${pointPx}`);
  before = await revision(page);
  await page.locator('#text').fill(good);
  await answered(page, before);
  assert.equal(await page.locator('#problems li.error').count(), 0);
  assert.equal(await page.locator('#map-problems circle').count(), 0);

  // Save, then the module reads exactly the expected waypoints.
  await page.locator('#map').focus();
  before = await revision(page);
  await page.click('#save');
  await answered(page, before);
  const saved = moduleWaypoints(tool, routeFile);
  assert.equal(saved.length, original.length + 1);
  const toRad = Math.PI / 180;
  assert.equal(saved[1].acceptRadius, 777);
  assert.ok(Math.abs(saved[2].latitude - dragged.lat * toRad) < 2 * at.degPerScreenPx * toRad);
  assert.ok(Math.abs(saved.at(-1).latitude - clicked.lat * toRad) < 2 * at.degPerScreenPx * toRad);
  for (const i of [0, 3, 4, 5, 6]) assert.deepEqual(saved[i], original[i]);

  // The file changes on disk: the next save is refused and shows both.
  const theirs = fs.readFileSync(routeFile, 'utf8').replace('Hold fix', 'Hold fix, changed elsewhere');
  fs.writeFileSync(routeFile, theirs);
  before = await revision(page);
  const thirdRadius = (await tableRow(page, 'waypoints', 2)).locator('input.radius');
  await thirdRadius.fill('888');
  await thirdRadius.press('Enter');
  await answered(page, before);
  await page.click('#save');
  await page.locator('#conflict').waitFor({ state: 'visible' });
  assert.equal(await page.locator('#conflict-disk').textContent(), theirs);
  assert.match(await page.locator('#conflict-mine').textContent(), /TURN 888/);
  assert.equal(fs.readFileSync(routeFile, 'utf8'), theirs);
  await page.click('#conflict-close');

  // Latency of an edit on a route of 1,000 waypoints: from the change to
  // the answer shown in the map, the check and the legs. A radius changed
  // in the table, a waypoint dragged, a waypoint added by a click.
  fs.writeFileSync(path.join(folder, 'large.route'), largeRouteText());
  await page.evaluate(async () => { await window.plannerOpen('large.route'); });
  await assertLargeRouteShown(page);
  const { view, whole } = await page.evaluate(() => {
    const map = window.plannerMap;
    return { view: map.view, whole: { x: 0, y: 0, w: map.map.widthPx, h: map.map.heightPx } };
  });
  assert.deepEqual(view, whole, 'another route opened is shown whole');
  const timed = async (edit) => {
    const timings = [];
    for (let i = 0; i < EDITS_MEASURED; ++i) {
      before = await revision(page);
      await edit(i);
      await answered(page, before);
      timings.push(await page.evaluate(() => window.planner.lastEditMs));
    }
    return summary(timings);
  };
  const radiusEdits = await timed(async (i) => {
    const radius = (await tableRow(page, 'waypoints', LARGE_ROUTE_WAYPOINTS / 2)).locator('input.radius');
    await radius.fill(String(400 + i));
    await radius.press('Enter');
  });
  const drags = await timed(async (i) => {
    const from = await waypointOnScreen(page, LARGE_ROUTE_WAYPOINTS / 4 + 23 * i);
    await page.mouse.move(from.x, from.y);
    await page.mouse.down();
    await page.mouse.move(from.x + 5, from.y + 3, { steps: 2 });
    await page.mouse.move(from.x + 8, from.y + 5, { steps: 2 });
    await page.mouse.up();
  });
  const adds = await timed((i) => clickAmidWaypoints(page, 200 + 37 * i));
  assert.equal(await page.evaluate(() => window.planner.draft.waypoints.length), LARGE_ROUTE_WAYPOINTS + EDITS_MEASURED);
  // A pan step and a zoom step on the whole of that map, from the step to
  // the frame drawn, with the canvas's raster (reading a pixel waits for
  // it). Each step must have drawn as its kind does: a pan only strips, a
  // zoom the whole.
  const stepMs = async (step) => {
    const { timings, drawnAmiss } = await page.evaluate(async ([kind, times]) => {
      const map = window.plannerMap;
      const ctx = map.canvas.getContext('2d', { willReadFrequently: true });
      const centre = [map.view.x + map.view.w / 2, map.view.y + map.view.h / 2];
      const timings = [];
      let drawnAmiss = 0;
      for (let i = 0; i < times; ++i) {
        const started = performance.now();
        if (kind === 'pan') map.pan(i % 2 ? map.view.w / 10 : -map.view.w / 10, 0);
        else map.zoom(i % 2 ? 1.25 : 0.8, centre);
        await new Promise((resolve) => requestAnimationFrame(() => resolve(ctx.getImageData(0, 0, 1, 1))));
        timings.push(performance.now() - started);
        drawnAmiss += (map.lastDrawn.dirty === null) !== (kind === 'zoom');
      }
      return { timings, drawnAmiss };
    }, [step, EDITS_MEASURED]);
    assert.equal(drawnAmiss, 0, `${step} steps not drawn as a ${step} draws`);
    return summary(timings);
  };
  const panSteps = await stepMs('pan');
  const zoomSteps = await stepMs('zoom');
  const report = `edit of a 1,000-waypoint route, ${EDITS_MEASURED} edits each:\n` +
                 `  a radius in the table: ${radiusEdits}\n  a waypoint dragged:    ${drags}\n  a waypoint added:      ${adds}\n` +
                 `its whole map moved, ${EDITS_MEASURED} steps each:\n` +
                 `  a pan step:            ${panSteps}\n  a zoom step:           ${zoomSteps}\n`;
  fs.writeFileSync(path.join(outDir, 'planner-latency.txt'), report);
  process.stdout.write(report);
} finally {
  await browser.close();
  child.kill();
  fs.rmSync(folder, { recursive: true, force: true });
}
console.log('planner session: passed');
