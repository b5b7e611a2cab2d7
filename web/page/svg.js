// The view as an SVG picture, beside the PNG: what the canvas shows, drawn
// from the layers' records in the view's screen coordinates (y down, CSS
// pixels), so that it opens at the size the canvas had. Figures wholly
// outside the view are left out, so that a part of a big drawing makes a
// small file.
import { RECORD_SIZE, ellipse, span, addMarker, css, STROKE, POINT_RADIUS, MARKER_SIZE, INDICATED } from './draw.js';

const SVG_UTF16 = new TextDecoder('utf-16le');
const num = (v) => String(Math.round(v * 100) / 100);
const xml = (t) => t.replace(/[&<>"]/g, (c) => ({ '&': '&amp;', '<': '&lt;', '>': '&gt;', '"': '&quot;' }[c]));

// Path data through the screen: moveTo, lineTo, closePath, arc as a canvas
// path takes them (for the markers), and elliptic arcs in two halves, so
// that no half needs SVG's large-arc choice.
class SvgPath {
  constructor() { this.d = []; }
  moveTo(x, y) { this.d.push(`M${num(x)} ${num(y)}`); }
  lineTo(x, y) { this.d.push(`L${num(x)} ${num(y)}`); }
  closePath() { this.d.push('Z'); }
  arc(x, y, r) { this.moveTo(x + r, y); this.d.push(`A${num(r)} ${num(r)} 0 0 1 ${num(x - r)} ${num(y)}A${num(r)} ${num(r)} 0 0 1 ${num(x + r)} ${num(y)}`); }
  // An arc of the ellipse e (draw.js' ellipse) from parameter a to b on the
  // screen, counter-clockwise when b > a: on the screen's y going down that
  // is the angle decreasing, SVG's sweep flag 0.
  ellipse(view, e, a, b, line) {
    const s = view.s, rot = num(-e.rot * 180 / Math.PI), sweep = b > a ? 0 : 1;
    const start = view.screen(...e.at(a));
    if (line) this.lineTo(...start); else this.moveTo(...start);
    for (const t of [(a + b) / 2, b]) {
      const p = view.screen(...e.at(t));
      this.d.push(`A${num(e.rx * s)} ${num(e.ry * s)} ${rot} 0 ${sweep} ${num(p[0])} ${num(p[1])}`);
    }
  }
  toString() { return this.d.join(''); }
}

export function viewSvg(view, extra = {}) {
  const { w, h } = view, out = [];
  const groups = new Map();  // "kind colour" -> SvgPath
  const path = (kind, colour) => groups.get(`${kind} ${colour}`) || groups.set(`${kind} ${colour}`, new SvgPath()).get(`${kind} ${colour}`);
  const outside = (x1, y1, x2, y2) => x2 < 0 || y2 < 0 || x1 > w || y1 > h;
  const around = (cx, cy, r) => { const [x, y] = view.screen(cx, cy), d = r * view.s; return outside(x - d, y - d, x + d, y + d); };
  const texts = [];
  for (const l of view.layers) {
    const r = l.all, off = l.hidden ?? [], lays = l.figureLays;
    const stroke = (rgb) => css(l.grey ? -1 : rgb), fill = (rgb) => css(l.grey ? -2 : rgb);
    let f = -1;
    for (let i = 0; i < r.length; i += RECORD_SIZE[r[i]]) {
      const kind = r[i], colour = r[i + 1];
      if (kind <= 9) f += 1;
      if (kind <= 9 && lays && off[lays[f]]) continue;
      switch (kind) {
        case 1: {
          const a = view.screen(r[i + 2], r[i + 3]), b = view.screen(r[i + 4], r[i + 5]);
          if (outside(Math.min(a[0], b[0]), Math.min(a[1], b[1]), Math.max(a[0], b[0]), Math.max(a[1], b[1]))) break;
          const p = path('stroke', stroke(colour));
          p.moveTo(...a); p.lineTo(...b);
          break;
        }
        case 2: case 3: {
          const e = kind === 2 ? ellipse(r[i + 2], r[i + 3], Math.abs(r[i + 4]), 1, 0, 0, 360)
            : ellipse(r[i + 2], r[i + 3], r[i + 4], r[i + 7], r[i + 8], r[i + 5], span(r[i + 5], r[i + 6]));
          if (!e || around(e.cx, e.cy, Math.max(e.rx, e.ry))) break;
          path('stroke', stroke(colour)).ellipse(view, e, e.s, e.e);
          break;
        }
        case 7: {
          const k = r[i + 2], c = [];
          for (let j = 0; j < k; ++j) c.push(view.screen(r[i + 3 + 2 * j], r[i + 4 + 2 * j]));
          if (outside(Math.min(...c.map((p) => p[0])), Math.min(...c.map((p) => p[1])), Math.max(...c.map((p) => p[0])), Math.max(...c.map((p) => p[1])))) break;
          const p = k === 2 ? path('heavy', stroke(colour)) : path('fill', fill(colour));
          c.forEach((q, j) => (j ? p.lineTo(...q) : p.moveTo(...q)));
          if (k > 2) p.closePath();
          break;
        }
        case 8: {  // a sector of an ellipse, or of a ring when it has an inner radius
          const sp = span(r[i + 7], r[i + 8]), closed = Math.abs(sp - 360) <= 1e-10;
          const o = ellipse(r[i + 2], r[i + 3], r[i + 4], r[i + 5], r[i + 6], r[i + 7], sp);
          if (!o || around(o.cx, o.cy, Math.max(o.rx, o.ry))) break;
          const ri = r[i + 9], inner = ri > 0 ? ellipse(r[i + 2], r[i + 3], ri, r[i + 5], r[i + 6], r[i + 7], sp) : null;
          const p = path('fill', fill(colour));
          if (!closed && !inner) p.moveTo(...view.screen(o.cx, o.cy));
          p.ellipse(view, o, o.s, o.e, !closed && !inner);
          if (inner) p.ellipse(view, inner, inner.e, inner.s, !closed);
          p.closePath();
          break;
        }
        default: break;
      }
    }
    // Points, markers, texts and blocks at their size on the screen, from
    // the records the layer keeps of them.
    const k = l.r, shown = (i) => !off[l.lays[i]];
    const inView = (x, y, m) => x > -m && y > -m && x < w + m && y < h + m;
    for (const i of l.points) {
      const [x, y] = view.screen(k[i + 2], k[i + 3]);
      if (shown(i) && inView(x, y, 5)) path('dot', stroke(k[i + 1])).arc(x, y, POINT_RADIUS);
    }
    for (const i of l.markers) {
      const size = Math.min(MARKER_SIZE * Math.abs(k[i + 4]), 4 * (w + h)), [x, y] = view.screen(k[i + 2], k[i + 3]), code = k[i + 6];
      if (!shown(i) || !inView(x, y, size * 1.2 + 2)) continue;
      if (code >= -7 && code <= -1) addMarker(path(code === -3 ? 'dot' : 'mark', stroke(k[i + 1])), -code, x, y, size, k[i + 5]);
      else path('dot', stroke(k[i + 1])).arc(x, y, POINT_RADIUS);
    }
    const string = (at) => SVG_UTF16.decode(l.texts.subarray(k[at], k[at] + k[at + 1]));
    for (const i of l.textAt) {
      const px = k[i + 4] * view.s, [x, y] = view.screen(k[i + 2], k[i + 3]);
      if (!shown(i) || px < 3 || !inView(x, y, Math.max(px, k[i + 5] * view.s) + 4)) continue;
      const deg = -Math.atan2(k[i + 7], k[i + 6]) * 180 / Math.PI || 0;
      texts.push(`<text x="${num(x)}" y="${num(y)}" font-size="${num(px)}" fill="${stroke(k[i + 1])}"` +
        `${deg ? ` transform="rotate(${num(deg)} ${num(x)} ${num(y)})"` : ''}>${xml(string(i + 8))}</text>`);
    }
    for (const i of l.blocks) {
      const [x, y] = view.screen(k[i + 2], k[i + 3]);
      if (!shown(i) || !inView(x, y, 200)) continue;
      const p = path('mark', stroke(k[i + 1]));
      p.moveTo(x - 4, y); p.lineTo(x, y - 4); p.lineTo(x + 4, y); p.lineTo(x, y + 4); p.closePath();
      texts.push(`<text x="${num(x + 6)}" y="${num(y + 4)}" font-size="10" fill="${stroke(k[i + 1])}">${xml(string(i + 4))}</text>`);
    }
  }
  const style = {
    fill: (c) => `fill="${c}"`, stroke: (c) => `fill="none" stroke="${c}" stroke-width="1"`,
    heavy: (c) => `fill="none" stroke="${c}" stroke-width="${3 * STROKE}"`,
    dot: (c) => `fill="${c}" stroke="${c}" stroke-width="${STROKE}"`, mark: (c) => `fill="none" stroke="${c}" stroke-width="${STROKE}"`,
  };
  // Fills first, under the lines, as the canvas draws them.
  const order = ['fill', 'stroke', 'heavy', 'dot', 'mark'];
  for (const kind of order) {
    for (const [key, p] of groups) {
      const [k, c] = key.split(' ');
      if (k === kind) out.push(`<path ${style[k](c)} d="${p}"/>`);
    }
  }
  out.push(...texts);
  // The indicated points with their numbers.
  for (const p of extra.points ?? []) {
    const [x, y] = view.screen(p.x, p.y);
    out.push(`<circle cx="${num(x)}" cy="${num(y)}" r="6" fill="none" stroke="${INDICATED}" stroke-width="${STROKE}"/>`,
      `<text x="${num(x + 7)}" y="${num(y - 7)}" font-size="13" font-weight="bold" fill="${INDICATED}" stroke="#ffffff" stroke-width="3" paint-order="stroke">${p.n}</text>`);
  }
  return `<?xml version="1.0" encoding="UTF-8"?>\n<svg xmlns="http://www.w3.org/2000/svg" width="${num(w)}" height="${num(h)}" viewBox="0 0 ${num(w)} ${num(h)}"` +
    ` font-family="IPAGothic, 'MS Gothic', monospace" stroke-linecap="round" stroke-linejoin="round">\n` +
    `<rect width="100%" height="100%" fill="#ffffff"/>\n${out.join('\n')}\n</svg>\n`;
}
