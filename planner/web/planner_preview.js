// What the module will show: its map page and waypoint table, drawn by
// the module's own code on the server, for the vessel at a place and
// heading with one waypoint current.

const $ = (id) => document.getElementById(id);
// The module's zoom: 2000 m halved down to 250 m or doubled 16 times.
const RANGES_METRES = [250, 500, 1000, ...Array.from({ length: 17 }, (_, k) => 2000 * 2 ** k)];

function rangeLabel(metres) { return metres >= 1000 ? `${metres / 1000} km` : `${metres} m`; }

// Where a waypoint of the draft lies: its point, or its runway's centre.
function waypointPlace(draft, index) {
  const w = draft.waypoints[index];
  if (!w.runway) return draft.points[w.index];
  const r = draft.runways[w.index];
  const [a, b] = [draft.points[r.end1], draft.points[r.end2]];
  return { lat: (a.lat + b.lat) / 2, lon: (a.lon + b.lon) / 2 };
}

export class Preview {
  // api(path, body) asks the server; state holds the draft, text and legs.
  constructor(api, state, map) {
    this.api = api;
    this.state = state;
    this.map = map;
    this.shown = false;
    $('preview-range').replaceChildren(...RANGES_METRES.map((m) => new Option(rangeLabel(m), m, false, m === 8000)));
    for (const id of ['preview-lat', 'preview-lon', 'preview-heading', 'preview-range', 'preview-waypoint'])
      $(id).addEventListener('change', () => this.refresh());
    $('preview-previous').addEventListener('click', () => this.step(-1));
    $('preview-next').addEventListener('click', () => this.step(1));
    $('preview-pick').addEventListener('click', () => {
      map.pickOnce = (lat, lon) => {
        $('preview-lat').value = lat.toFixed(6);
        $('preview-lon').value = lon.toFixed(6);
        this.refresh();
      };
    });
  }

  // The waypoint list follows the route; the pictures follow every edit
  // once they are shown.
  routeChanged() {
    const count = this.state.draft?.waypoints.length ?? 0;
    const current = Math.min(Number($('preview-waypoint').value || 0), Math.max(count - 1, 0));
    // Numbered 1 to count: only the end changes, and a large route's list
    // is not built again for a waypoint added.
    const options = $('preview-waypoint').options;
    while (options.length > count) options.remove(options.length - 1);
    while (options.length < count) options.add(new Option(String(options.length + 1), options.length));
    $('preview-waypoint').value = current;
    if (this.shown) this.refresh();
  }

  // The vessel at the next or previous waypoint, heading as the leg into it.
  step(direction) {
    const draft = this.state.draft;
    if (!draft?.waypoints.length) return;
    const count = draft.waypoints.length;
    const index = ((Number($('preview-waypoint').value || 0) + direction) % count + count) % count;
    const place = waypointPlace(draft, index);
    const leg = this.state.lastAnswer?.legs?.legs.find((l) => l.to === index && !l.loopBack);
    $('preview-waypoint').value = index;
    $('preview-lat').value = place.lat;
    $('preview-lon').value = place.lon;
    $('preview-heading').value = leg ? leg.courseDeg.toFixed(0) : 0;
    this.refresh();
  }

  async refresh() {
    if ($('preview-lat').value === '' && this.state.draft?.waypoints.length) {
      const place = waypointPlace(this.state.draft, 0);
      $('preview-lat').value = place.lat;
      $('preview-lon').value = place.lon;
    }
    const { ok, answer } = await this.api('/api/preview', {
      text: this.state.text,
      lat: Number($('preview-lat').value),
      lon: Number($('preview-lon').value),
      heading: Number($('preview-heading').value),
      range: Number($('preview-range').value),
      waypoint: Number($('preview-waypoint').value || 0),
    });
    if (!ok) return;
    $('preview-map').src = answer.map;
    $('preview-list').src = answer.list;
    this.shown = true;
    this.state.previews = (this.state.previews ?? 0) + 1;
  }
}
