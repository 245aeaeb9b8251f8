// The route's text as it will be saved, beside its line numbers, the lines
// with a problem marked. The text scrolls in its own box and the numbers
// in step with it. Setting a long textarea's value costs milliseconds, so
// a text out of sight goes into the field once it comes into sight.

export class TextPane {
  // onTyped(text) is called once typing pauses for pauseMs.
  constructor(pane, field, numbers, onTyped, pauseMs) {
    this.field = field;
    this.numbers = numbers;
    this.shown = null;    // the text the field holds, null once typed in
    this.pending = null;  // a text waiting to come into sight
    this.inSight = true;  // until the pane says otherwise
    pane.addEventListener('contentvisibilityautostatechange', (event) => {
      this.inSight = !event.skipped;
      if (this.inSight) this.flush();
    });
    field.addEventListener('scroll', () => { numbers.scrollTop = field.scrollTop; }, { passive: true });
    let timer = 0;
    field.addEventListener('input', () => {
      this.shown = null;
      this.pending = null;
      clearTimeout(timer);
      timer = setTimeout(() => onTyped(field.value), pauseMs);
    });
  }

  // The field keeps what is being typed in it.
  show(text, problems) {
    if (document.activeElement !== this.field && this.shown !== text) {
      this.pending = text;
      if (this.inSight) this.flush();
    }
    this.showLineNumbers(text, problems);
  }

  flush() {
    if (this.pending === null) return;
    this.field.value = this.pending;
    this.shown = this.pending;
    this.pending = null;
  }

  // A run of unmarked numbers is one text node, a marked line a span.
  showLineNumbers(text, problems) {
    const marked = new Map(problems.filter((p) => p.line).map((p) => [p.line, p.severity]));
    const count = text.split('\n').length;
    const key = JSON.stringify([count, [...marked]]);
    if (this.numbers.dataset.key === key) return;
    this.numbers.dataset.key = key;
    const parts = [];
    let run = '';
    for (let n = 1; n <= count; ++n) {
      if (!marked.has(n)) {
        run += `${n}\n`;
        continue;
      }
      const span = document.createElement('span');
      span.textContent = `${n}\n`;
      span.className = `bad ${marked.get(n)}`;
      parts.push(run, span);
      run = '';
    }
    this.numbers.replaceChildren(...parts, run);
    // At the frame: asked now, the scroll would lay out the page mid-answer.
    requestAnimationFrame(() => { this.numbers.scrollTop = this.field.scrollTop; });
  }

  // Selects line (counted from 1) in the field.
  pickLine(line) {
    if (!line) return;
    this.flush();
    const lines = this.field.value.split('\n');
    const start = lines.slice(0, line - 1).reduce((sum, l) => sum + l.length + 1, 0);
    this.field.focus();
    this.field.setSelectionRange(start, start + (lines[line - 1] ?? '').length);
  }
}
