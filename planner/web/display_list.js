// Replays draw's display list (route_tool/plan/display_list_painter.h
// lists its operations) on a canvas whose transform maps picture pixels
// to the screen. The list speaks Cairo's model: fills and strokes use up
// the path unless kept, one colour serves both, and painting covers the
// picture's bounds within the clip.

const FONT_FAMILY = '"DejaVu Sans", sans-serif';
const HALO_WIDTH_PX = 3;         // kHaloWidthPx
const CAIRO_LINE_WIDTH_PX = 2;   // Cairo's default line width
const ALIGN = ['left', 'center', 'right'];

const styles = new Map();
function styleOf(hex, alpha) {
  if (alpha >= 1) return hex;
  const key = hex + alpha;
  let style = styles.get(key);
  if (!style) {
    const n = parseInt(hex.slice(1), 16);
    style = `rgba(${n >> 16},${(n >> 8) & 255},${n & 255},${alpha})`;
    styles.set(key, style);
  }
  return style;
}

export function replay(ctx, list, widthPx, heightPx) {
  ctx.save();
  ctx.lineWidth = CAIRO_LINE_WIDTH_PX;
  ctx.beginPath();
  let fresh = true;  // no current point: an arc starts its own sub-path
  let i = 0;
  const n = () => list[i++];
  while (i < list.length) {
    const op = list[i++];
    switch (op) {
      case 's': ctx.save(); break;
      case 'r': ctx.restore(); break;
      case 't': ctx.translate(n(), n()); break;
      case 'o': ctx.rotate(n()); break;
      case 'n': ctx.beginPath(); fresh = true; break;
      case 'u': fresh = true; break;
      case 'M': ctx.moveTo(n(), n()); fresh = false; break;
      case 'L': ctx.lineTo(n(), n()); break;
      case 'C': ctx.bezierCurveTo(n(), n(), n(), n(), n(), n()); break;
      case 'A': {
        const cx = n(), cy = n(), r = n(), from = n(), to = n();
        if (fresh) ctx.moveTo(cx + r * Math.cos(from), cy + r * Math.sin(from));
        ctx.arc(cx, cy, r, from, to);
        fresh = false;
        break;
      }
      case 'R': ctx.rect(n(), n(), n(), n()); fresh = false; break;
      case 'Z': ctx.closePath(); break;
      case 'K': ctx.fillStyle = ctx.strokeStyle = styleOf(n(), n()); break;
      case 'W': ctx.lineWidth = n(); break;
      case 'D': { const count = n(); ctx.setLineDash(list.slice(i, i + count)); i += count; break; }
      case 'P': ctx.lineCap = n() === 0 ? 'butt' : 'round'; break;
      case 'J': ctx.lineJoin = 'round'; break;
      case 'F': ctx.fill(); ctx.beginPath(); fresh = true; break;
      case 'f': ctx.fill(); break;
      case 'S': ctx.stroke(); ctx.beginPath(); fresh = true; break;
      case 'x': ctx.stroke(); break;
      case 'B': ctx.fillRect(0, 0, widthPx, heightPx); break;
      case 'c': ctx.clip(); ctx.beginPath(); fresh = true; break;
      case 'T': text(ctx, n(), n(), n(), n(), n(), n(), n(), n()); break;
      default: throw new Error(`display list: unknown operation ${JSON.stringify(op)} at ${i - 1}`);
    }
  }
  ctx.restore();
}

function text(ctx, x, y, words, sizePx, bold, halo, hex, anchor) {
  ctx.save();
  ctx.font = `${bold ? 'bold ' : ''}${sizePx}px ${FONT_FAMILY}`;
  ctx.textAlign = ALIGN[anchor];
  if (halo) {
    ctx.strokeStyle = '#ffffff';
    ctx.lineWidth = HALO_WIDTH_PX;
    ctx.lineJoin = 'round';
    ctx.setLineDash([]);
    ctx.strokeText(words, x, y);
  }
  ctx.fillStyle = hex;
  ctx.fillText(words, x, y);
  ctx.restore();
}
