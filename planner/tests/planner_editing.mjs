// The planner's editing in headless Debian chromium, one session: reorder
// the waypoints by dragging rows and by the ↑/↓ buttons (LOOP targets
// follow), edit a point's coordinates and a runway's ends in their tables,
// export GPX and GeoJSON as `export` writes them, pick a problem's line
// in the text, and open a .gpx file as `import` reads it.
//
//   node planner_editing.mjs TARVIK_ROUTE SOURCE_DIR
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { chromium } from 'playwright-core';
import { answered, moduleWaypoints, revision, startPlanner, tableRow } from './planner_fixtures.mjs';

const [tool, sourceDir] = process.argv.slice(2);
if (!tool || !sourceDir) {
  console.error('usage: node planner_editing.mjs TARVIK_ROUTE SOURCE_DIR');
  process.exit(2);
}

const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'tarvik_planner_editing_'));
const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'tarvik_planner_expected_'));
const routeFile = path.join(folder, 'kestrel.route');
fs.copyFileSync(path.join(sourceDir, 'examples/demo/Config/TKMFD/routes/kestrel.route'), routeFile);
const gpxFile = path.join(sourceDir, 'tests/data/gpx/other_route.gpx');
fs.copyFileSync(gpxFile, path.join(folder, 'harbour.gpx'));

// The lines of a section of the route's text, comments and blank lines left out.
function sectionLines(text, name) {
  const lines = text.split('\n').map((l) => l.replace(/#.*/, '').trim()).filter((l) => l !== '');
  return lines.slice(lines.indexOf(`BEGIN_${name}`) + 1, lines.indexOf(`END_${name}`));
}

// What `tarvik-route export --format FORMAT` writes of a text saved as NAME.
function exportOf(text, name, format) {
  const file = path.join(scratch, name);
  fs.writeFileSync(file, text);
  return execFileSync(tool, ['export', '--format', format, file], { encoding: 'utf8' });
}

const { child, address } = await startPlanner(tool, [routeFile, '--folder', folder, '--port', '0']);
const browser = await chromium.launch({ executablePath: '/usr/bin/chromium', args: ['--no-sandbox'] });
try {
  const page = await browser.newPage({ viewport: { width: 1600, height: 1000 }, acceptDownloads: true });
  page.on('pageerror', (error) => { console.error('page error:', error); process.exitCode = 1; });
  await page.goto(address);
  await page.waitForFunction(() => window.planner.revision >= 1);
  const text = () => page.evaluate(() => window.planner.text);
  // Does one thing on the page and waits for the answer to it.
  const step = async (action) => {
    const before = await revision(page);
    await action();
    await answered(page, before);
  };

  // Reorder: the waypoint lines of the text in the order given (as the
  // original numbers), the LOOP line naming its target's new number (the
  // writer leaves out a target of 0).
  const originalLines = sectionLines(await text(), 'WAYPOINTS');
  const loopTarget = Number(originalLines.find((l) => / LOOP:/.test(l)).match(/LOOP:(\d+)/)[1]);
  const expectOrder = async (order, how) => {
    const target = order.indexOf(loopTarget);
    const expected = order.map((old) => originalLines[old].replace(/LOOP:\d+/, target ? `LOOP:${target}` : 'LOOP'));
    assert.deepEqual(sectionLines(await text(), 'WAYPOINTS'), expected, how);
    const descriptions = await page.evaluate(() => window.planner.draft.waypoints.map((w) => w.description));
    assert.deepEqual(descriptions, order.map((old) => originalLines[old].match(/"(.*)"/)[1]), how);
  };
  const row = (index) => page.locator(`#waypoints .row[data-index="${index}"]`);
  await step(() => row(0).dragTo(row(2)));
  await expectOrder([1, 2, 0, 3, 4, 5, 6], 'first row dragged onto the third');
  // The LOOP target is now the first waypoint: it must follow it too.
  await step(() => row(1).locator('button[title="Move up"]').click());
  await expectOrder([2, 1, 0, 3, 4, 5, 6], 'second row moved up');
  await step(() => row(0).locator('button[title="Move down"]').click());
  await expectOrder([1, 2, 0, 3, 4, 5, 6], 'first row moved down');
  await step(() => row(2).dragTo(row(0)));
  await expectOrder([0, 1, 2, 3, 4, 5, 6], 'third row dragged onto the first');

  // A point's latitude and a runway's end, edited in their tables.
  const pointLines = sectionLines(await text(), 'POINTS');
  const latitude = (await tableRow(page, 'points', 8)).locator('input').nth(1);
  await step(async () => { await latitude.fill('52.1'); await latitude.press('Enter'); });
  assert.deepEqual(sectionLines(await text(), 'POINTS'),
                   pointLines.map((l, i) => (i === 8 ? `${l.split(/\s+/)[0]} 52.1` : l)));
  const runwayLines = sectionLines(await text(), 'RUNWAYS');
  const end2 = (await tableRow(page, 'runways', 1)).locator('input').nth(1);
  await step(async () => { await end2.fill('8'); await end2.press('Enter'); });
  assert.deepEqual(sectionLines(await text(), 'RUNWAYS'), [runwayLines[0], `${runwayLines[1].split(/\s+/)[0]} 8`]);

  // Exports: downloaded as `export` writes the same text.
  const routeText = await text();
  const exported = async (button) => {
    const [download] = await Promise.all([page.waitForEvent('download'), page.click(button)]);
    return { name: download.suggestedFilename(), document: fs.readFileSync(await download.path(), 'utf8') };
  };
  const gpx = await exported('#export-gpx');
  assert.equal(gpx.name, 'kestrel.gpx');
  assert.equal(gpx.document, exportOf(routeText, 'kestrel.route', 'gpx'));
  for (const line of originalLines) assert.ok(gpx.document.includes(`<name>${line.match(/"(.*)"/)[1]}</name>`), line);
  const geojson = await exported('#export-geojson');
  assert.equal(geojson.name, 'kestrel.geojson');
  assert.equal(geojson.document, exportOf(routeText, 'kestrel.route', 'geojson'));
  const draft = await page.evaluate(() => window.planner.draft);
  const onPoints = JSON.parse(geojson.document).features
    .filter((f) => f.properties.kind === 'waypoint' && f.properties.reference.type === 'POINT');
  assert.deepEqual(onPoints.map((f) => f.geometry.coordinates),
                   draft.waypoints.filter((w) => !w.runway).map((w) => [draft.points[w.index].lon, draft.points[w.index].lat]));

  // A problem clicked in the list selects its line in the text, also when
  // the text changed while out of sight: point 3, unused since the runway's
  // edit, moved with the text pane scrolled far away (a low window); events
  // sent in the page, so that nothing scrolls it into sight.
  await page.setViewportSize({ width: 1600, height: 400 });
  await page.evaluate(() => document.getElementById('side').scrollTo(0, 0));
  await page.evaluate(() => new Promise((resolve) => requestAnimationFrame(() => requestAnimationFrame(resolve))));
  await step(() => page.evaluate(() => {
    const longitude = document.querySelector('#points .row[data-index="3"] input');
    longitude.value = '10.04';
    longitude.dispatchEvent(new Event('change'));
  }));
  const lines = (await text()).split('\n');
  const warning = await page.evaluate(() => window.planner.problems.find((p) => p.line));
  assert.equal(lines[warning.line - 1], `10.04 ${pointLines[3].split(/\s+/)[1]}`);
  assert.notEqual(await page.locator('#text').inputValue(), await text(), 'the text was set while out of sight');
  const selected = await page.evaluate((line) => {
    [...document.querySelectorAll('#problems li')].find((li) => li.textContent.startsWith(`line ${line}:`)).click();
    const field = document.activeElement;
    return field.id === 'text' ? field.value.slice(field.selectionStart, field.selectionEnd) : null;
  }, warning.line);
  assert.equal(selected, lines[warning.line - 1]);
  await page.setViewportSize({ width: 1600, height: 1000 });

  // A .gpx opened from the folder: read as `import --radius 500` reads it.
  await page.selectOption('#file-list', 'harbour.gpx');
  await step(() => page.click('#open'));
  const imported = path.join(scratch, 'imported.route');
  execFileSync(tool, ['import', gpxFile, '-o', imported, '--radius', '500']);
  const expected = moduleWaypoints(tool, imported);
  const opened = path.join(scratch, 'opened.route');
  fs.writeFileSync(opened, await text());
  assert.deepEqual(moduleWaypoints(tool, opened), expected);
  assert.equal(await page.locator('#waypoints').getAttribute('aria-rowcount'), String(expected.length));
  const shown = await page.locator('#waypoints .row input.description').evaluateAll((inputs) => inputs.map((i) => i.value));
  assert.deepEqual(shown, expected.map((w) => w.description));
  assert.equal(await page.locator('#file-name').textContent(), 'harbour.route (not saved yet)');
} finally {
  await browser.close();
  child.kill();
  fs.rmSync(folder, { recursive: true, force: true });
  fs.rmSync(scratch, { recursive: true, force: true });
}
console.log('planner editing: passed');
