// Where an edit of the large route spends its time in the browser: five
// radius edits traced in headless chromium, the main thread's and the
// raster threads' work summed by kind. A measurement, not a test: it stops
// when the route did not load.
//
//   node planner_profile.mjs TARVIK_ROUTE
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { chromium } from 'playwright-core';
import { LARGE_ROUTE_WAYPOINTS, largeRouteText, startPlanner } from './planner_fixtures.mjs';

const [tool] = process.argv.slice(2);
if (!tool) {
  console.error('usage: node planner_profile.mjs TARVIK_ROUTE');
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
  assert.equal(await page.locator('#waypoints tbody tr').count(), LARGE_ROUTE_WAYPOINTS, 'the large route did not load');
  await browser.startTracing(page, { categories: ['devtools.timeline', 'disabled-by-default-devtools.timeline'] });
  const editsMs = [];
  for (let i = 0; i < EDITS; ++i) {
    const before = await page.evaluate(() => window.planner.revision);
    const radius = page.locator('#waypoints tbody tr').nth(LARGE_ROUTE_WAYPOINTS / 2).locator('input.radius');
    await radius.fill(String(400 + i));
    await radius.press('Enter');
    await page.waitForFunction((r) => window.planner.revision > r && window.planner.busy === 0, before);
    editsMs.push(await page.evaluate(() => window.planner.lastEditMs));
  }
  const events = JSON.parse((await browser.stopTracing()).toString()).traceEvents;
  const msOf = (name) => events.filter((e) => e.ph === 'X' && e.name === name).reduce((sum, e) => sum + e.dur / 1000, 0);
  console.log(`edits: ${editsMs.map((ms) => ms.toFixed(0)).join(', ')} ms`);
  for (const kind of KINDS) console.log(`${kind.padEnd(18)} ${(msOf(kind) / EDITS).toFixed(0).padStart(5)} ms an edit`);
} finally {
  await browser.close();
  child.kill();
  fs.rmSync(folder, { recursive: true, force: true });
}
