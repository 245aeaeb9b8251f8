// The tables beside the map: waypoints, points and runways to edit, and
// the problems and legs the server found. Every change goes through
// edit(change), which changes a copy of the draft and sends it.

const TASKS = ['TURN', 'LOOP', 'TAKEOFF', 'LAND'];

function cell(...children) {
  const td = document.createElement('td');
  td.append(...children);
  return td;
}

function input(value, onChange, attributes = {}) {
  const element = document.createElement('input');
  Object.assign(element, attributes);
  element.value = value;
  element.addEventListener('change', () => onChange(element.value));
  return element;
}

function button(label, title, onClick) {
  const element = document.createElement('button');
  element.textContent = label;
  element.title = title;
  element.addEventListener('click', onClick);
  return element;
}

function numberOr(text, fallback) {
  const value = Number(text);
  return text.trim() !== '' && Number.isFinite(value) ? value : fallback;
}

// Rows of a table, one per item; a row whose item is unchanged is kept,
// so that an edit of a route of 1,000 waypoints redraws one row, not all.
function renderRows(body, items, makeRow) {
  const kept = body.rowsByItem ?? [];
  const keys = items.map((item) => JSON.stringify(item));
  const rows = keys.map((key, i) => (kept[i]?.key === key ? kept[i].row : makeRow(items[i], i)));
  const unchangedCount = rows.length === kept.length;
  const changed = rows.map((row, i) => row !== kept[i]?.row);
  body.rowsByItem = keys.map((key, i) => ({ key, row: rows[i] }));
  if (unchangedCount) {
    // Same rows but a few: swap only those.
    changed.forEach((isNew, i) => { if (isNew) kept[i].row.replaceWith(rows[i]); });
    return;
  }
  body.replaceChildren(...rows);
}

// The waypoints in a new order; LOOP targets follow the waypoints they name.
export function reordered(draft, from, to) {
  const order = draft.waypoints.map((_, i) => i);
  const [moved] = order.splice(from, 1);
  order.splice(to, 0, moved);
  const newIndex = new Map(order.map((old, i) => [old, i]));
  draft.waypoints = order.map((old) => {
    const w = draft.waypoints[old];
    return w.task === 'LOOP' && w.loop ? { ...w, loop: newIndex.get(w.loop) } : w;
  });
}

export function renderWaypoints(body, draft, edit) {
  // The row's buttons ask for its neighbours: the first and last rows
  // depend on the count too.
  const items = draft.waypoints.map((w, i) => (i === draft.waypoints.length - 1 ? { ...w, last: true } : w));
  renderRows(body, items, (w, i) => {
    const row = document.createElement('tr');
    row.draggable = true;
    row.dataset.index = i;
    row.addEventListener('dragstart', (event) => event.dataTransfer.setData('text/plain', String(i)));
    row.addEventListener('dragover', (event) => event.preventDefault());
    row.addEventListener('drop', (event) => {
      event.preventDefault();
      const from = Number(event.dataTransfer.getData('text/plain'));
      if (from !== i) edit((d) => reordered(d, from, i));
    });
    const task = document.createElement('select');
    task.className = 'task';
    for (const name of TASKS) task.append(new Option(name, name, false, name === w.task));
    task.addEventListener('change', () => edit((d) => { d.waypoints[i].task = task.value; }));
    const field = (name, className) => input(w[name], (text) => edit((d) => {
      d.waypoints[i][name] = numberOr(text, d.waypoints[i][name]);
    }), { className, type: 'text', inputMode: 'decimal', size: 6 });
    row.append(
      cell(button('↑', 'Move up', () => i > 0 && edit((d) => reordered(d, i, i - 1))),
           button('↓', 'Move down', () => i + 1 < draft.waypoints.length && edit((d) => reordered(d, i, i + 1)))),
      cell(String(i + 1)),
      cell(w.runway ? `R${w.index}` : `P${w.index}`),
      cell(task),
      cell(field('radius', 'radius')),
      cell(field('altitude', 'altitude')),
      cell(field('speed', 'speed')),
      cell(input(w.description, (text) => edit((d) => { d.waypoints[i].description = text; }),
                 { className: 'description', size: 18 })),
      cell(button('✕', 'Delete this waypoint', () => edit((d) => { d.waypoints.splice(i, 1); }))));
    return row;
  });
}

export function renderPoints(body, draft, edit) {
  renderRows(body, draft.points, (p, i) => {
    const row = document.createElement('tr');
    const coordinate = (name) => input(p[name], (text) => edit((d) => {
      d.points[i][name] = numberOr(text, d.points[i][name]);
    }), { size: 11 });
    row.append(cell(`P${i}`), cell(coordinate('lon')), cell(coordinate('lat')),
               cell(input(p.comment ?? '', (text) => edit((d) => { d.points[i].comment = text; }), { size: 12 })));
    return row;
  });
}

export function renderRunways(body, draft, edit) {
  renderRows(body, draft.runways, (r, i) => {
    const row = document.createElement('tr');
    const end = (name) => input(r[name], (text) => edit((d) => {
      d.runways[i][name] = Math.trunc(numberOr(text, d.runways[i][name]));
    }), { size: 4 });
    row.append(cell(`R${i}`), cell(end('end1')), cell(end('end2')),
               cell(input(r.comment ?? '', (text) => edit((d) => { d.runways[i].comment = text; }), { size: 12 })));
    return row;
  });
}

// onPick(line) puts the text's caret on the problem's line.
export function renderProblems(list, problems, onPick) {
  list.replaceChildren(...problems.map((p) => {
    const item = document.createElement('li');
    item.className = p.severity;
    item.textContent = p.line ? `line ${p.line}:${p.column}: ${p.severity}: ${p.message}` : `${p.severity}: ${p.message}`;
    item.addEventListener('click', () => onPick(p.line));
    return item;
  }));
}

export function renderLegs(body, totals, legs) {
  if (!legs) {
    body.replaceChildren();
    body.rowsByItem = [];
    totals.textContent = 'No legs: the module does not load this route.';
    return;
  }
  let number = 0;
  const numbered = legs.legs.map((leg) => ({ ...leg, number: leg.loopBack ? 'loop' : String(++number) }));
  renderRows(body, numbered, (leg) => {
    const row = document.createElement('tr');
    row.append(cell(leg.number), cell(String(leg.from + 1)), cell(String(leg.to + 1)),
               cell((leg.distanceMetres / 1000).toFixed(3)), cell(leg.courseDeg.toFixed(1)),
               cell(leg.loopBack ? '-' : (leg.cumulativeMetres / 1000).toFixed(3)), cell(leg.time));
    return row;
  });
  totals.textContent = `Total ${(legs.totalMetres / 1000).toFixed(3)} km, ${legs.totalTime} en route` +
    (legs.untimedLegs ? ` (${legs.untimedLegs} legs at speed 0 not timed)` : '');
}
