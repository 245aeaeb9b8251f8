// A long list of rows built only where it is in sight: a route of 1,000
// waypoints keeps a few dozen rows in the page, so that an edit lays out
// and paints those, not thousands. Every row has the same height and its
// place is computed from its index; scrolling builds the rows coming
// into sight and drops those leaving it.

export const ROW_PX = 26;
// Rows built beyond the view on each side: few, since every row built is
// painted and layerized again on each frame; a list out of sight keeps
// this many at its end nearest the view.
const MARGIN_ROWS = 10;

export class RowList {
  // element: the list, holding its heading row; scroller: what scrolls it.
  constructor(element, scroller) {
    this.element = element;
    this.scroller = scroller;
    this.body = document.createElement('div');
    this.body.className = 'rows';
    element.append(this.body);
    element.rowList = this;
    this.items = [];
    this.makeRow = null;
    this.shown = new Map();  // index -> {key, row}, in sight now
    let pending = false;
    scroller.addEventListener('scroll', () => {
      if (pending) return;
      pending = true;
      requestAnimationFrame(() => { pending = false; this.update(); });
    }, { passive: true });
  }

  // The list shows items, makeRow(item, index) building a row; a row in
  // sight whose item is unchanged is kept.
  show(items, makeRow) {
    this.items = items;
    this.makeRow = makeRow;
    this.body.style.height = `${items.length * ROW_PX}px`;
    this.element.setAttribute('aria-rowcount', String(items.length));
    this.update();
  }

  // The rows [first, end) in sight, with the margin.
  inSight() {
    const count = this.items.length;
    const topPx = this.body.getBoundingClientRect().top - this.scroller.getBoundingClientRect().top;
    const from = Math.floor(-topPx / ROW_PX);
    const to = Math.ceil((this.scroller.clientHeight - topPx) / ROW_PX);
    return [Math.max(0, Math.min(from, count) - MARGIN_ROWS), Math.min(count, Math.max(to, 0) + MARGIN_ROWS)];
  }

  update() {
    const [first, end] = this.inSight();
    for (const [index, { row }] of this.shown) if (index < first || index >= end) row.remove();
    const keptFirst = Math.max(first, Math.min(...this.shown.keys()));
    const above = [];
    const below = [];
    const next = new Map();
    for (let index = first; index < end; ++index) {
      const key = JSON.stringify(this.items[index]);
      const old = this.shown.get(index);
      if (old?.key === key) {
        next.set(index, old);
        continue;
      }
      const row = this.makeRow(this.items[index], index);
      row.classList.add('row');
      row.setAttribute('role', 'row');
      row.dataset.index = String(index);
      row.style.top = `${index * ROW_PX}px`;
      next.set(index, { key, row });
      if (old) old.row.replaceWith(row);
      else (index < keptFirst ? above : below).push(row);
    }
    this.body.prepend(...above);
    this.body.append(...below);
    this.shown = next;
  }

  // Scrolls row index into the middle of the view and builds it.
  reveal(index) {
    const topPx = this.body.getBoundingClientRect().top - this.scroller.getBoundingClientRect().top;
    this.scroller.scrollTop += topPx + index * ROW_PX - this.scroller.clientHeight / 2;
    this.update();
    return this.shown.get(index)?.row ?? null;
  }
}
