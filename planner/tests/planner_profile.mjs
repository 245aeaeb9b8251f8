// Where an edit of the large route spends its time in the browser: five
// radius edits of waypoint 501 (with --add, five waypoints added by a
// click) traced in headless chromium, the main thread's and the raster
// threads' work summed by kind. A measurement, not a test: it stops when
// the route did not load. With --no-map the map is not redrawn, so that
// the rest of the page's work shows on its own.
//
//   node planner_profile.mjs TARVIK_ROUTE [--no-map] [--add]
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { chromium } from 'playwright-core';
import {
  LARGE_ROUTE_WAYPOINTS, answered, assertLargeRouteShown, clickAmidWaypoints, largeRouteText, revision, startPlanner,
  tableRow,
} from './planner_fixtures.mjs';

const [tool, ...options] = process.argv.slice(2);
const noMap = options.includes('--no-map');
const adding = options.includes('--add');
if (!tool || options.some((o) => o !== '--no-map' && o !== '--add')) {
  console.error('usage: node planner_profile.mjs TARVIK_ROUTE [--no-map] [--add]');
  process.exit(2);
}
const EDITS = 5;
const KINDS = ['Paint', 'RasterTask', 'Layout', 'UpdateLayoutTree', 'PrePaint', 'Layerize', 'FunctionCall'];

const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'tarvik_planner_profile_'));
const routeFile = path.join(folder, 'large.route');
fs.writeFileSync(routeFile, largeRouteText());
const { child, address } = await startPlanner(tool, [routeFile]);
const browser = await chromium.launch({ executablePath: '/usr/bin/chromium', args: ['--no-sandbox'] });
try {
  const page = await browser.newPage({ viewport: { width: 1600, height: 1000 } });
  await page.goto(address);
  await page.waitForFunction(() => window.planner.revision >= 1);
  await assertLargeRouteShown(page);
  if (noMap) await page.evaluate(() => { window.plannerMap.show = () => {}; });
  // One edit untraced first: the row scrolled into view and the page's
  // first layout of the text are not an edit's work.
  const radius = (await tableRow(page, 'waypoints', LARGE_ROUTE_WAYPOINTS / 2)).locator('input.radius');
  const edit = async (i) => {
    const before = await revision(page);
    if (adding) {
      await clickAmidWaypoints(page, 200 + 37 * i);
    } else {
      await radius.fill(String(400 + i));
      await radius.press('Enter');
    }
    await answered(page, before);
    return page.evaluate(() => [window.planner.lastEditMs, window.planner.lastShowMs]);
  };
  await edit(EDITS);
  await browser.startTracing(page, { categories: ['devtools.timeline', 'disabled-by-default-devtools.timeline'] });
  const editsMs = [];
  for (let i = 0; i < EDITS; ++i) editsMs.push(await edit(i));
  const events = JSON.parse((await browser.stopTracing()).toString()).traceEvents;
  const msOf = (name) => events.filter((e) => e.ph === 'X' && e.name === name).reduce((sum, e) => sum + e.dur / 1000, 0);
  console.log(`edits: ${editsMs.map(([ms]) => ms.toFixed(0)).join(', ')} ms`);
  console.log(`of which show(): ${editsMs.map(([, ms]) => ms.toFixed(1)).join(', ')} ms`);
  for (const kind of KINDS) console.log(`${kind.padEnd(18)} ${(msOf(kind) / EDITS).toFixed(0).padStart(5)} ms an edit`);
  // The main thread's share once: a layout forced inside a script nests in it.
  const spans = events.filter((e) => e.ph === 'X' && KINDS.includes(e.name) && e.name !== 'RasterTask')
    .map((e) => [e.ts, e.ts + e.dur]).sort((x, y) => x[0] - y[0]);
  let mainUs = 0;
  let coveredTo = -Infinity;
  for (const [from, to] of spans) {
    mainUs += Math.max(0, to - Math.max(from, coveredTo));
    coveredTo = Math.max(coveredTo, to);
  }
  console.log(`${'main thread, all'.padEnd(18)} ${(mainUs / 1000 / EDITS).toFixed(0).padStart(5)} ms an edit`);
} finally {
  await browser.close();
  child.kill();
  fs.rmSync(folder, { recursive: true, force: true });
}
