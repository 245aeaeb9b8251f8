// What the planner's browser scripts share: the large route the latency is
// measured on, tarvik-route plan started with its address read, and the
// page's table rows reached.
import assert from 'node:assert/strict';
import { execFileSync, spawn } from 'node:child_process';

// 1,000 points on a 40 by 25 grid 0.01 degree apart, a TURN waypoint on each.
export const LARGE_ROUTE_WAYPOINTS = 1000;

export function largeRouteText() {
  const lines = ['BEGIN_POINTS'];
  for (let i = 0; i < LARGE_ROUTE_WAYPOINTS; ++i)
    lines.push(`${(10 + 0.01 * (i % 40)).toFixed(2)} ${(52 + 0.01 * Math.floor(i / 40)).toFixed(2)}`);
  lines.push('END_POINTS', 'BEGIN_RUNWAYS', '-1 -1', 'END_RUNWAYS', 'BEGIN_WAYPOINTS');
  for (let i = 0; i < LARGE_ROUTE_WAYPOINTS; ++i) lines.push(`POINT ${i} TURN 300 500 80 "wp ${i}"`);
  lines.push('END_WAYPOINTS', '');
  return lines.join('\n');
}

// `tarvik-route plan ARGS... --no-open`: {child, address} once it prints
// the address to open.
export function startPlanner(tool, args) {
  const child = spawn(tool, ['plan', ...args, '--no-open'], { stdio: ['ignore', 'pipe', 'inherit'] });
  return new Promise((resolve, reject) => {
    let out = '';
    child.stdout.on('data', (chunk) => {
      out += chunk;
      if (out.includes('\n')) resolve({ child, address: out.split('\n')[0].trim() });
    });
    child.on('exit', (code) => reject(new Error(`tarvik-route plan ended with ${code}`)));
  });
}

// The waypoints as the module reads them, through tarvik-route parse.
export function moduleWaypoints(tool, file) {
  return JSON.parse(execFileSync(tool, ['parse', '--json', file], { encoding: 'utf8' })).waypoints;
}

export const revision = (page) => page.evaluate(() => window.planner.revision);

// Waits for the page to show the server's answer to what was just done.
export async function answered(page, revisionBefore) {
  await page.waitForFunction((r) => window.planner.revision > r && window.planner.busy === 0, revisionBefore, { timeout: 0 });
}

// Row index of a table (waypoints, points, runways, legs), scrolled into
// view: the page builds only the rows in sight.
export async function tableRow(page, table, index) {
  await page.evaluate(([t, i]) => window.plannerReveal(t, i), [table, index]);
  return page.locator(`#${table} .row[data-index="${index}"]`);
}

// Stops unless the page shows all of the large route: the table's count
// of rows, and its last row with the last waypoint's number and description.
export async function assertLargeRouteShown(page) {
  assert.equal(await page.locator('#waypoints').getAttribute('aria-rowcount'), String(LARGE_ROUTE_WAYPOINTS),
               'the large route did not load');
  const last = await tableRow(page, 'waypoints', LARGE_ROUTE_WAYPOINTS - 1);
  assert.equal(await last.locator('[role="cell"]').nth(1).textContent(), String(LARGE_ROUTE_WAYPOINTS));
  assert.equal(await last.locator('input.description').inputValue(), `wp ${LARGE_ROUTE_WAYPOINTS - 1}`);
}

// Screen place of waypoint index on the map.
export function waypointOnScreen(page, index) {
  return page.evaluate((i) => {
    const map = window.plannerMap;
    const point = map.root.createSVGPoint();
    [point.x, point.y] = map.map.waypointsPx[i];
    const at = point.matrixTransform(map.root.getScreenCTM());
    return { x: at.x, y: at.y };
  }, index);
}

// Adds a waypoint by a click amid waypoints k, k + 1 and the two a row of
// the large route's grid (40) on: clear of their handles.
export async function clickAmidWaypoints(page, k) {
  const corners = await Promise.all([k, k + 1, k + 40, k + 41].map((i) => waypointOnScreen(page, i)));
  await page.mouse.click(corners.reduce((sum, c) => sum + c.x, 0) / 4, corners.reduce((sum, c) => sum + c.y, 0) / 4);
}
