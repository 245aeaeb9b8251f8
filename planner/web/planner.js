// The planner's page: holds the route's draft, sends every edit to the
// server (which writes, reads back, checks and measures it with the
// tool's own parts), shows what comes back, and keeps undo and redo.
import { PlanMap } from '/planner_map.js';
import { Preview } from '/planner_preview.js';
import { RowList } from '/planner_rows.js';
import { TextPane } from '/planner_text.js';
import { renderLegs, renderPoints, renderProblems, renderRunways, renderWaypoints } from '/planner_tables.js';

const token = new URLSearchParams(location.search).get('token') ?? '';
const $ = (id) => document.getElementById(id);
const TEXT_PAUSE_MS = 300;  // typing in the text is sent once it pauses

const state = {
  draft: null,        // the route as the page edits it
  text: '',           // as it will be saved
  problems: [],
  file: null,         // {path, new}
  undo: [],           // earlier {draft, text}
  redo: [],
  revision: 0,        // counts the server's answers shown
  lastEditMs: null,   // from an edit to its answer shown
  lastShowMs: null,   // of which the script showing the answer
  lastAnswer: null,
  busy: 0,
};
// For the browser test and for the curious: the state and the timing.
window.planner = state;

async function api(path, body) {
  const response = await fetch(path, {
    method: body === undefined ? 'GET' : 'POST',
    headers: { 'X-Planner-Token': token, 'Content-Type': 'application/json' },
    body: body === undefined ? undefined : JSON.stringify(body),
  });
  const answer = await response.json();
  return { ok: response.ok, status: response.status, answer };
}

function say(message, isError = false) {
  $('status').textContent = message;
  $('status').className = isError ? 'error' : '';
}

const map = new PlanMap($('map'), $('scale-line'), $('scale-label'), {
  onAdd: (lat, lon, runway) => edit((d) => {
    const last = d.waypoints[d.waypoints.length - 1] ?? { radius: 300, altitude: 0, speed: 0 };
    const waypoint = { task: 'TURN', radius: last.radius, altitude: last.altitude, speed: last.speed, description: '' };
    if (runway !== null) {
      Object.assign(waypoint, { runway: true, index: runway, task: d.waypoints.length ? 'LAND' : 'TAKEOFF' });
    } else {
      d.points.push({ lon: Number(lon.toFixed(6)), lat: Number(lat.toFixed(6)), comment: '' });
      Object.assign(waypoint, { runway: false, index: d.points.length - 1 });
    }
    d.waypoints.push(waypoint);
  }),
  onMoveWaypoint: (index, lat, lon) => edit((d) => {
    const w = d.waypoints[index];
    if (w.runway) return false;  // a runway stays where its ends are
    Object.assign(d.points[w.index], { lon: Number(lon.toFixed(6)), lat: Number(lat.toFixed(6)) });
  }),
});

window.plannerMap = map;
const preview = new Preview(api, state, map);
const tables = Object.fromEntries(['waypoints', 'points', 'runways', 'legs'].map((id) => [id, new RowList($(id), $('side'))]));
const text = new TextPane($('text-pane'), $('text'), $('text-lines'), async (typed) => {
  const before = { draft: state.draft, text: state.text };
  if (await send({ text: typed })) {
    state.undo.push(before);
    state.redo = [];
  }
}, TEXT_PAUSE_MS);
// Builds row index of a table (only the rows in sight are built) and
// scrolls it into view: for the browser tests, which reach any row.
window.plannerReveal = (table, index) => { tables[table].reveal(index); };

// Shows an answer of the server: text, tables, problems, legs, map.
function show(answer, { keepDraft = false } = {}) {
  // A text the reader stops in keeps the last whole draft for the tables.
  if ((!keepDraft && !answer.verdict.error) || !state.draft) state.draft = answer.draft;
  state.lastAnswer = answer;
  state.text = answer.text;
  state.problems = answer.problems;
  text.show(answer.text, answer.problems);
  renderWaypoints(tables.waypoints, state.draft, edit);
  renderPoints(tables.points, state.draft, edit);
  renderRunways(tables.runways, state.draft, edit);
  renderProblems($('problems'), answer.problems, (line) => text.pickLine(line));
  $('verdict').textContent = answer.verdict.line;
  $('verdict').className = answer.verdict.error ? 'error' : '';
  renderLegs(tables.legs, $('totals'), answer.legs);
  map.show(answer.map, answer.problems);
  if (answer.file) {
    state.file = answer.file;
    $('file-name').textContent = answer.file.path + (answer.file.new ? ' (not saved yet)' : '');
  }
  preview.routeChanged();
  state.revision += 1;
}

// Sends the route; on a refusal nothing changes and the reason shows.
async function send(body, options) {
  const started = performance.now();
  state.busy += 1;
  try {
    const { ok, answer } = await api('/api/edit', body);
    if (!ok) {
      say(answer.error, true);
      return false;
    }
    const shownAt = performance.now();
    show(answer, options);
    state.lastShowMs = performance.now() - shownAt;
    // Timed to the next frame drawn, so that layout and painting count.
    await new Promise((resolve) => requestAnimationFrame(() => setTimeout(resolve, 0)));
    state.lastEditMs = performance.now() - started;
    say('');
    return true;
  } finally {
    state.busy -= 1;
  }
}

// A copy of the draft (plain JSON data): a few times quicker than
// structuredClone on thousands of small objects.
function copyOf(value) {
  if (Array.isArray(value)) return value.map(copyOf);
  if (value === null || typeof value !== 'object') return value;
  const copy = {};
  for (const key in value) copy[key] = copyOf(value[key]);
  return copy;
}

// change(draft) edits a copy; returning false leaves the route as it was.
async function edit(change) {
  if (!state.draft) return;
  const draft = copyOf(state.draft);
  if (change(draft) === false) return;
  const before = { draft: state.draft, text: state.text };
  state.draft = draft;
  if (await send({ draft }, { keepDraft: true })) {
    state.undo.push(before);
    state.redo = [];
  } else {
    state.draft = before.draft;
    show(state.lastAnswer, { keepDraft: true });
  }
}

// Undo and redo go back to a kept text, and to its draft with comments.
async function travel(from, to) {
  const target = from.pop();
  if (!target) return;
  to.push({ draft: state.draft, text: state.text });
  state.draft = target.draft;
  await send({ text: target.text }, { keepDraft: true });
}

document.addEventListener('keydown', (event) => {
  if (!(event.ctrlKey || event.metaKey)) return;
  if (event.target.closest('input, textarea')) return;  // their own undo
  const key = event.key.toLowerCase();
  if (key === 'z' && !event.shiftKey) travel(state.undo, state.redo);
  else if (key === 'y' || (key === 'z' && event.shiftKey)) travel(state.redo, state.undo);
  else return;
  event.preventDefault();
});
$('undo').addEventListener('click', () => travel(state.undo, state.redo));
$('redo').addEventListener('click', () => travel(state.redo, state.undo));

// Files: open, save, save as, export.
async function listFiles() {
  const { answer } = await api('/api/files');
  $('file-list').replaceChildren(...answer.files.map((f) => new Option(f, f)));
}

async function open(path) {
  const { ok, answer } = await api('/api/open', { path });
  if (!ok) return say(answer.error, true);
  state.draft = null;
  state.undo = [];
  state.redo = [];
  map.showWhole();
  show(answer);
  say(`opened ${answer.file.path}`);
}

function showConflict(answer) {
  $('conflict-disk').textContent = answer.disk;
  $('conflict-mine').textContent = answer.mine;
  $('conflict').hidden = false;
}

async function saveAs() {
  const suggested = state.file?.path ?? 'new.route';
  const path = prompt('Save as (a .route file inside the folder):', suggested);
  if (!path) return;
  const { ok, answer } = await api('/api/save-as', { path, text: state.text });
  if (!ok) return say(answer.error, true);
  show(answer, { keepDraft: true });
  say(`saved ${answer.file.path}`);
  listFiles();
}

async function save() {
  if (!state.file || state.file.new) return saveAs();
  const { ok, answer } = await api('/api/save', { text: state.text });
  if (ok) {
    show(answer, { keepDraft: true });
    return say(`saved ${answer.saved}`);
  }
  if (answer.conflict) showConflict(answer);
  say(answer.error, true);
}

async function exportAs(format) {
  const { ok, answer } = await api('/api/export', { text: state.text, format });
  if (!ok) return say(answer.error, true);
  const link = document.createElement('a');
  link.href = URL.createObjectURL(new Blob([answer.document], { type: 'application/octet-stream' }));
  link.download = answer.name;
  link.click();
  URL.revokeObjectURL(link.href);
}

async function addBase() {
  const path = $('file-list').value;
  if (!path.endsWith('.cfg')) return say('choose a base file (.cfg) in the list first', true);
  const { ok, answer } = await api('/api/bases', { path });
  if (!ok) return say(answer.error, true);
  map.setBases(answer.bases);
}

window.plannerOpen = open;
$('open').addEventListener('click', () => open($('file-list').value));
$('save').addEventListener('click', save);
$('save-as').addEventListener('click', saveAs);
$('export-gpx').addEventListener('click', () => exportAs('gpx'));
$('export-geojson').addEventListener('click', () => exportAs('geojson'));
$('add-base').addEventListener('click', addBase);
$('conflict-close').addEventListener('click', () => { $('conflict').hidden = true; });
$('add-runway').addEventListener('click', () => edit((d) => {
  if (d.points.length < 2) return false;
  d.runways.push({ end1: d.points.length - 2, end2: d.points.length - 1, comment: '' });
}));

// The route the command was given, or a first point to start from.
async function start() {
  await listFiles();
  const { answer: bases } = await api('/api/bases');
  map.setBases(bases.bases);
  const { ok, answer } = await api('/api/current');
  if (ok) show(answer);
}
start();
