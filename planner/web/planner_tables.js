// The tables beside the map: waypoints, points and runways to edit, and
// the problems and legs the server found. Every change goes through
// edit(change), which changes a copy of the draft and sends it. Each
// table is a RowList: only its rows in sight are built.

const TASKS = ['TURN', 'LOOP', 'TAKEOFF', 'LAND'];

function cell(...children) {
  const element = document.createElement('div');
  element.setAttribute('role', 'cell');
  element.append(...children);
  return element;
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

// The waypoints in a new order; LOOP targets follow the waypoints they name.
export function reordered(draft, from, to) {
  const order = draft.waypoints.map((_, i) => i);
  const [moved] = order.splice(from, 1);
  order.splice(to, 0, moved);
  const newIndex = new Map(order.map((old, i) => [old, i]));
  draft.waypoints = order.map((old) => {
    const w = draft.waypoints[old];
    return w.task === 'LOOP' && newIndex.has(w.loop) ? { ...w, loop: newIndex.get(w.loop) } : w;
  });
}

export function renderWaypoints(list, draft, edit) {
  // The row's buttons ask for its neighbours: the first and last rows
  // depend on the count too.
  const items = draft.waypoints.map((w, i) => (i === draft.waypoints.length - 1 ? { ...w, last: true } : w));
  list.show(items, (w, i) => {
    const row = document.createElement('div');
    row.draggable = true;
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

export function renderPoints(list, draft, edit) {
  list.show(draft.points, (p, i) => {
    const row = document.createElement('div');
    const coordinate = (name) => input(p[name], (text) => edit((d) => {
      d.points[i][name] = numberOr(text, d.points[i][name]);
    }), { size: 11 });
    row.append(cell(`P${i}`), cell(coordinate('lon')), cell(coordinate('lat')),
               cell(input(p.comment ?? '', (text) => edit((d) => { d.points[i].comment = text; }), { size: 12 })));
    return row;
  });
}

export function renderRunways(list, draft, edit) {
  list.show(draft.runways, (r, i) => {
    const row = document.createElement('div');
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

export function renderLegs(list, totals, legs) {
  if (!legs) {
    list.show([], null);
    totals.textContent = 'No legs: the module does not load this route.';
    return;
  }
  let number = 0;
  const numbered = legs.legs.map((leg) => ({ ...leg, number: leg.loopBack ? 'loop' : String(++number) }));
  list.show(numbered, (leg) => {
    const row = document.createElement('div');
    row.append(cell(leg.number), cell(String(leg.from + 1)), cell(String(leg.to + 1)),
               cell((leg.distanceMetres / 1000).toFixed(3)), cell(leg.courseDeg.toFixed(1)),
               cell(leg.loopBack ? '-' : (leg.cumulativeMetres / 1000).toFixed(3)), cell(leg.time));
    return row;
  });
  totals.textContent = `Total ${(legs.totalMetres / 1000).toFixed(3)} km, ${legs.totalTime} en route` +
    (legs.untimedLegs ? ` (${legs.untimedLegs} legs at speed 0 not timed)` : '');
}
