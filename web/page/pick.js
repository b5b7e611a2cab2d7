// Finding things on the drawing where the user points: the end point,
// centre or intersection nearest the pointer (as the CAD program reads a
// point), the figure under it, and the figures wholly inside a box. Works
// on the records of web/Api.cpp; a figure is the index of its record in
// layer.figures. Figures on layers switched off are passed over.
import { RECORD_SIZE, ellipse, span } from './draw.js';

const ARC_STEPS = 48;
const shown = (layer, f) => !layer.hidden || !layer.figureLays || !layer.hidden[layer.figureLays[f]];

// The points an arc or ellipse record is drawn through, ends included.
function arcPoints(r, i) {
  const kind = r[i];
  const e = kind === 2 ? ellipse(r[i + 2], r[i + 3], r[i + 4], 1, 0, 0, 360)
    : ellipse(r[i + 2], r[i + 3], r[i + 4], r[i + 7], r[i + 8], r[i + 5], span(r[i + 5], r[i + 6]));
  if (!e) return [];
  const out = [];
  for (let k = 0; k <= ARC_STEPS; ++k) out.push(e.at(e.s + (e.e - e.s) * k / ARC_STEPS));
  return out;
}

// The corners or points that stand for a figure: its outline as a
// polyline (closed for solids), and whether it is an outline at all.
export function outline(r, i) {
  switch (r[i]) {
    case 1: return [[r[i + 2], r[i + 3]], [r[i + 4], r[i + 5]]];
    case 2: case 3: return arcPoints(r, i);
    case 7: {
      const n = r[i + 2], c = [];
      for (let k = 0; k < n; ++k) c.push([r[i + 3 + 2 * k], r[i + 4 + 2 * k]]);
      if (n > 2) c.push(c[0]);
      return c;
    }
    case 8: {
      const e = ellipse(r[i + 2], r[i + 3], r[i + 4], r[i + 5], r[i + 6], r[i + 7], span(r[i + 7], r[i + 8]));
      if (!e) return [];
      const out = [];
      for (let k = 0; k <= ARC_STEPS; ++k) out.push(e.at(e.s + (e.e - e.s) * k / ARC_STEPS));
      return out;
    }
    case 6: case 11: {  // a text: the line it stands on
      const len = r[i + 5], d = Math.hypot(r[i + 6], r[i + 7]) || 1;
      return [[r[i + 2], r[i + 3]], [r[i + 2] + r[i + 6] / d * len, r[i + 3] + r[i + 7] / d * len]];
    }
    default: return [[r[i + 2], r[i + 3]]];  // points, markers, blocks
  }
}

function segmentDistance(px, py, a, b) {
  const dx = b[0] - a[0], dy = b[1] - a[1], l = dx * dx + dy * dy;
  const t = l > 0 ? Math.max(0, Math.min(1, ((px - a[0]) * dx + (py - a[1]) * dy) / l)) : 0;
  return Math.hypot(px - a[0] - t * dx, py - a[1] - t * dy);
}

function distance(r, i, x, y) {
  const o = outline(r, i);
  if (o.length === 1) return Math.hypot(x - o[0][0], y - o[0][1]);
  let d = Infinity;
  for (let k = 1; k < o.length; ++k) d = Math.min(d, segmentDistance(x, y, o[k - 1], o[k]));
  return d;
}

// The extent of figure f: its own record and, for a dimension, its text.
export function extent(layer, f) {
  const r = layer.all, i = layer.figures[f], b = [Infinity, Infinity, -Infinity, -Infinity];
  const add = (p) => { b[0] = Math.min(b[0], p[0]); b[1] = Math.min(b[1], p[1]); b[2] = Math.max(b[2], p[0]); b[3] = Math.max(b[3], p[1]); };
  outline(r, i).forEach(add);
  const j = i + RECORD_SIZE[r[i]];
  if (r[j] === 11) outline(r, j).forEach(add);  // a dimension's text
  return b;
}

// The figure nearest (x, y) within tol drawing units, or -1.
export function figureAt(layer, x, y, tol) {
  const r = layer.all;
  let best = -1, bestD = tol;
  for (let f = 0; f < layer.figures.length; ++f) {
    const i = layer.figures[f];
    if (!shown(layer, f)) continue;
    if (r[i] === 1) {  // most figures are lines: a quick test first
      if (Math.min(r[i + 2], r[i + 4]) > x + tol || Math.max(r[i + 2], r[i + 4]) < x - tol) continue;
      if (Math.min(r[i + 3], r[i + 5]) > y + tol || Math.max(r[i + 3], r[i + 5]) < y - tol) continue;
    }
    const d = distance(r, i, x, y);
    if (d <= bestD) { bestD = d; best = f; }
  }
  return best;
}

// The figures wholly inside the box [x1, y1, x2, y2].
export function figuresIn(layer, box) {
  const out = [];
  for (let f = 0; f < layer.figures.length; ++f) {
    if (!shown(layer, f)) continue;
    const b = extent(layer, f);
    if (b[0] >= box[0] && b[1] >= box[1] && b[2] <= box[2] && b[3] <= box[3]) out.push(f);
  }
  return out;
}

// Where two figures' outlines cross: segment by segment, the coordinate of
// each taken from the segment that runs least along it, so that crossings
// of level and upright lines come out exact.
function crossings(a, b) {
  const out = [];
  for (let k = 1; k < a.length; ++k) {
    for (let j = 1; j < b.length; ++j) {
      const p = a[k - 1], q = a[k], u = b[j - 1], v = b[j];
      const d1 = [q[0] - p[0], q[1] - p[1]], d2 = [v[0] - u[0], v[1] - u[1]];
      const den = d1[0] * d2[1] - d1[1] * d2[0];
      if (den === 0) continue;
      const t = ((u[0] - p[0]) * d2[1] - (u[1] - p[1]) * d2[0]) / den;
      const s = ((u[0] - p[0]) * d1[1] - (u[1] - p[1]) * d1[0]) / den;
      if (t < -1e-9 || t > 1 + 1e-9 || s < -1e-9 || s > 1 + 1e-9) continue;
      const x = Math.abs(d1[0]) <= Math.abs(d2[0]) ? p[0] + t * d1[0] : u[0] + s * d2[0];
      const y = Math.abs(d1[1]) <= Math.abs(d2[1]) ? p[1] + t * d1[1] : u[1] + s * d2[1];
      out.push([x, y]);
    }
  }
  return out;
}

// A line crossing a circle or circular arc exactly (not through its
// polyline): the points on both.
function lineCircle(r, i, j) {
  const [x1, y1, x2, y2] = [r[i + 2], r[i + 3], r[i + 4], r[i + 5]], [cx, cy, rad] = [r[j + 2], r[j + 3], Math.abs(r[j + 4])];
  const dx = x2 - x1, dy = y2 - y1, a = dx * dx + dy * dy, bq = 2 * (dx * (x1 - cx) + dy * (y1 - cy));
  const c = (x1 - cx) ** 2 + (y1 - cy) ** 2 - rad * rad, disc = bq * bq - 4 * a * c;
  if (!(a > 0) || disc < 0) return [];
  const out = [];
  for (const t of [(-bq - Math.sqrt(disc)) / (2 * a), (-bq + Math.sqrt(disc)) / (2 * a)]) {
    if (t < -1e-9 || t > 1 + 1e-9) continue;
    const x = x1 + t * dx, y = y1 + t * dy;
    if (r[j] === 3) {
      const deg = (Math.atan2(y - cy, x - cx) * 180 / Math.PI - r[j + 8] - r[j + 5]) % 360;
      if ((deg + 360) % 360 > span(r[j + 5], r[j + 6]) + 1e-9) continue;
    }
    out.push([x, y]);
  }
  return out;
}

const round = (r, i) => r[i] === 2 || (r[i] === 3 && r[i + 7] === 1);

// The point the user means at (x, y): the nearest end point, centre or
// intersection within tol drawing units, else (x, y) itself.
// Gives {x, y, how} with how 'end', 'centre', 'cross', 'point' or 'free'.
export function snap(layer, x, y, tol) {
  let best = { x, y, how: 'free' }, bestD = tol;
  const offer = (p, how) => {
    const d = Math.hypot(p[0] - x, p[1] - y);
    if (d <= bestD) { bestD = d; best = { x: p[0], y: p[1], how }; }
  };
  const r = layer.all, near = [];
  for (let f = 0; f < layer.figures.length; ++f) {
    const i = layer.figures[f], kind = r[i];
    if (!shown(layer, f)) continue;
    if (kind === 1) {
      offer([r[i + 2], r[i + 3]], 'end');
      offer([r[i + 4], r[i + 5]], 'end');
    } else if (kind === 2 || kind === 3 || kind === 8) {
      offer([r[i + 2], r[i + 3]], 'centre');
      if (kind === 3) { const o = arcPoints(r, i); if (o.length) { offer(o[0], 'end'); offer(o[o.length - 1], 'end'); } }
    } else if (kind === 4 || kind === 5 || kind === 9) {
      offer([r[i + 2], r[i + 3]], 'point');
    } else if (kind === 7) {
      for (let k = 0; k < r[i + 2]; ++k) offer([r[i + 3 + 2 * k], r[i + 4 + 2 * k]], 'end');
    }
    if ((kind === 1 || kind === 2 || kind === 3) && near.length < 200 && distance(r, i, x, y) <= tol) near.push(i);
  }
  // Intersections of the lines, circles and arcs passing near.
  for (let a = 0; a < near.length; ++a) {
    for (let b = a + 1; b < near.length; ++b) {
      const i = near[a], j = near[b];
      let ps;
      if (r[i] === 1 && round(r, j)) ps = lineCircle(r, i, j);
      else if (r[j] === 1 && round(r, i)) ps = lineCircle(r, j, i);
      else if (r[i] === 1 && r[j] === 1) ps = crossings(outline(r, i), outline(r, j));
      else continue;  // curves with curves: only as near as their polylines, so not offered
      for (const p of ps) offer(p, 'cross');
    }
  }
  return best;
}
