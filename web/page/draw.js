// The drawing on the canvas: an exchange file's records (web/Api.cpp) made
// into paths once, drawn through the view's scale and centre, moved and
// zoomed with the mouse, fingers and keys.

export const RECORD_SIZE = [0, 6, 5, 9, 4, 7, 10, 11, 10, 6, 5, 10];
// The drawing in grey under a run's result: #767676 on white is 4.5:1.
export const GREY = '#767676', GREY_FILL = '#dadada', INDICATED = '#c2410c', SELECTED = '#1c5fb8';
export const STROKE = 1.3, POINT_RADIUS = 3.5, MARKER_SIZE = 6;  // pixels, as jwc2svg draws them
const TEXTS_DRAWN = 500, BLOCKS_NAMED = 200, CHUNK = 2000, FRAME_MS = 20, FRAME_GOAL = 25, KEY_STEP = 4;
// Filled figures and markers cost the canvas several times what lines do
// to rasterise: their pieces are smaller.
const SMALL = CHUNK / 4;
// How many texts are drawn in their letters at a time: a big one costs the
// canvas as much as a thousand lines.
const LETTERS = 100;
const DEG = Math.PI / 180;
const UTF16 = new TextDecoder('utf-16le');

// The CSS colour of an RGB value r + 256 g + 65536 b; -1 and -2 are the greys.
const CSS = new Map([[-1, GREY], [-2, GREY_FILL]]);
export function css(rgb) {
  let c = CSS.get(rgb);
  if (c === undefined) {
    c = '#' + [rgb & 255, (rgb >> 8) & 255, (rgb >> 16) & 255].map((v) => v.toString(16).padStart(2, '0')).join('');
    CSS.set(rgb, c);
  }
  return c;
}

// An arc of the ellipse with semi-axes cr and cr he turned by ka (degrees),
// over span degrees from a0, as a canvas ellipse: radii made positive, the
// parameter always increasing (counter-clockwise on the drawing).
export function ellipse(cx, cy, cr, he, ka, a0, span) {
  let rx = cr, ry = cr * he, rot = ka * DEG, s = a0 * DEG, e = (a0 + span) * DEG;
  if (rx < 0) { rx = -rx; ry = -ry; rot += Math.PI; }
  if (ry < 0) { ry = -ry; [s, e] = [-e, -s]; }
  if (!(rx < Infinity && ry < Infinity && Number.isFinite(cx + cy + rot + s + e))) return null;
  const at = (t) => [cx + rx * Math.cos(t) * Math.cos(rot) - ry * Math.sin(t) * Math.sin(rot),
    cy + rx * Math.cos(t) * Math.sin(rot) + ry * Math.sin(t) * Math.cos(rot)];
  return { cx, cy, rx, ry, rot, s, e, at };
}

// The counter-clockwise span from a to b in degrees, in (0, 360]: equal
// angles make a closed figure.
export function span(a, b) {
  let s = (b - a) % 360;
  if (!Number.isFinite(s)) return 360;
  if (s < 0) s += 360;
  return s <= 1e-10 ? s + 360 : s;
}

// A drawing's records made into paths once, in drawing units less an origin
// near the drawing (a canvas path holds single-precision numbers), grouped
// by colour. What has a size on the screen (points, markers, texts, blocks,
// indicated points) is drawn afresh each time: its records are kept, in an
// array of their own, since the module's records last only until its next
// call. The layer is drawn in its colours, or all in grey (grey set).
// Made a piece at a time, the page answering in between.
const nextTask = () => new Promise((done) => setTimeout(done, 0));

export async function makeLayer(data, ox, oy) {
  const r = data.records, size = RECORD_SIZE;
  const strokes = new Map(), heavy = new Map(), fills = new Map();
  const kept = [], points = [], markers = [], texts = [], blocks = [], indicated = [];
  const box = [Infinity, Infinity, -Infinity, -Infinity];
  // Paths of at most CHUNK figures (SMALL filled ones), so that a big
  // drawing is drawn a few of them a frame and the page never waits long
  // for one.
  // Kept by colour and layer (colour * 256 + group * 16 + layer), so that
  // layers can be switched off.
  const path = (map, colour) => {
    const key = colour * 256 + lay;
    let list = map.get(key);
    if (!list) map.set(key, list = Object.assign([new Path2D()], { n: 0, colour, lay }));
    if (++list.n % (map === fills ? SMALL : CHUNK) === 0) list.push(new Path2D());
    return list[list.length - 1];
  };
  const figures = [];  // where each figure's record starts
  const keptLays = [];
  let keptLength = 0, lay = 0;
  const keep = (list, i) => {
    list.push(keptLength);
    kept.push(i);
    keptLays.push(lay);
    keptLength += size[r[i]];
  };
  for (let i = 0; i < r.length; i += size[r[i]]) {
    const kind = r[i], colour = r[i + 1], x = r[i + 2] - ox, y = r[i + 3] - oy;
    if (kind <= 9) { figures.push(i); lay = data.layers?.[figures.length - 1] ?? 0; }
    if (figures.length % CHUNK === 0 && kind <= 9) await nextTask();  // the page answers meanwhile
    switch (kind) {
      case 1: { const p = path(strokes, colour); p.moveTo(x, y); p.lineTo(r[i + 4] - ox, r[i + 5] - oy); break; }
      case 2: {
        const rad = Math.abs(r[i + 4]);
        if (rad < Infinity) { const p = path(strokes, colour); p.moveTo(x + rad, y); p.arc(x, y, rad, 0, 2 * Math.PI); }
        break;
      }
      case 3: {
        const e = ellipse(x, y, r[i + 4], r[i + 7], r[i + 8], r[i + 5], span(r[i + 5], r[i + 6]));
        if (e) { const p = path(strokes, colour); p.moveTo(...e.at(e.s)); p.ellipse(x, y, e.rx, e.ry, e.rot, e.s, e.e); }
        break;
      }
      case 4: keep(points, i); break;
      case 5: keep(markers, i); break;
      case 6: case 11: keep(texts, i); break;
      case 7: {
        const n = r[i + 2], c = [];
        for (let k = 0; k < n; ++k) c.push([r[i + 3 + 2 * k] - ox, r[i + 4 + 2 * k] - oy]);
        if (n === 2) { const p = path(heavy, colour); p.moveTo(...c[0]); p.lineTo(...c[1]); break; }
        // Every outline counter-clockwise, so that overlapping solids of one
        // colour fill their union.
        let area = 0;
        for (let k = 0; k < n; ++k) area += c[k][0] * c[(k + 1) % n][1] - c[(k + 1) % n][0] * c[k][1];
        if (area < 0) c.reverse();
        const p = path(fills, colour);
        p.moveTo(...c[0]);
        for (let k = 1; k < n; ++k) p.lineTo(...c[k]);
        p.closePath();
        break;
      }
      case 8: {  // a sector of an ellipse, or of a ring when it has an inner radius
        const sp = span(r[i + 7], r[i + 8]), closed = Math.abs(sp - 360) <= 1e-10;
        const o = ellipse(x, y, r[i + 4], r[i + 5], r[i + 6], r[i + 7], sp);
        const ri = r[i + 9], inner = ri > 0 ? ellipse(x, y, ri, r[i + 5], r[i + 6], r[i + 7], sp) : null;
        if (!o) break;
        const p = path(fills, colour);
        p.moveTo(...(closed || inner ? o.at(o.s) : [x, y]));
        p.ellipse(x, y, o.rx, o.ry, o.rot, o.s, o.e);
        if (inner && closed) p.moveTo(...inner.at(inner.e));
        if (inner) p.ellipse(x, y, inner.rx, inner.ry, inner.rot, inner.e, inner.s, true);
        p.closePath();
        break;
      }
      case 9: keep(blocks, i); break;
      case 10:
        keep(indicated, i);
        box[0] = Math.min(box[0], r[i + 3]); box[1] = Math.min(box[1], r[i + 4]);
        box[2] = Math.max(box[2], r[i + 3]); box[3] = Math.max(box[3], r[i + 4]);
        break;
    }
  }
  const own = new Float64Array(keptLength), lays = new Uint8Array(keptLength);
  let at = 0;
  for (let k = 0; k < kept.length; ++k) {
    if (k % (10 * CHUNK) === 0) await nextTask();
    const i = kept[k];
    own.set(r.subarray(i, i + size[r[i]]), at);
    lays[at] = keptLays[k];
    at += size[r[i]];
  }
  await nextTask();
  return { all: r, figures: Int32Array.from(figures), figureLays: data.layers, lays, hidden: null, r: own, texts: data.texts, strings: [], grey: false, ox, oy, strokes, heavy,
    fills, points, markers, textAt: texts, blocks, indicated, indicatedBox: box[0] <= box[2] ? box : null,
    colour: r.length && r[0] !== 10 ? r[1] : null };
}

// The seven marker kinds, half-width 1, y down (jwc2svg's shapes), drawn
// through a pen that places them.
const MARKERS = [
  (c) => { c.moveTo(0, -1); c.lineTo(0, 1); c.moveTo(-0.87, -0.5); c.lineTo(0.87, 0.5); c.moveTo(-0.87, 0.5); c.lineTo(0.87, -0.5); },
  (c) => c.circle(1),
  (c) => c.circle(0.4),
  (c) => { c.moveTo(-1, 0); c.lineTo(1, 0); c.moveTo(0, -1); c.lineTo(0, 1); },
  (c) => { c.moveTo(-0.85, -0.85); c.lineTo(0.85, -0.85); c.lineTo(0.85, 0.85); c.lineTo(-0.85, 0.85); c.closePath(); },
  (c) => { c.moveTo(0, -1.1); c.lineTo(0.95, 0.55); c.lineTo(-0.95, 0.55); c.closePath(); },
  (c) => { c.moveTo(-0.8, -0.8); c.lineTo(0.8, 0.8); c.moveTo(-0.8, 0.8); c.lineTo(0.8, -0.8); },
];

// Adds a marker of kind 1-7 to a path (or a context's path): at (x, y) on
// the screen, half-width size pixels, turned by deg counter-clockwise.
export function addMarker(path, kind, x, y, size, deg) {
  const c = Math.cos(deg * DEG) * size, s = Math.sin(deg * DEG) * size;
  MARKERS[kind - 1]({
    moveTo: (u, v) => path.moveTo(x + c * u + s * v, y - s * u + c * v),
    lineTo: (u, v) => path.lineTo(x + c * u + s * v, y - s * u + c * v),
    closePath: () => path.closePath(),
    circle: (r) => { path.moveTo(x + r * size, y); path.arc(x, y, r * size, 0, 2 * Math.PI); },
  });
}

export class View {
  // on: what the page does with the pointer and keys: click(wx, wy), box([x1,
  // y1, x2, y2]) for a drag that draws a box, hover(wx, wy), fit(), and
  // boxing() whether a drag draws a box (else it pans).
  constructor(canvas, on) {
    this.canvas = canvas;
    // Drawn on the processor, as measured: the pixel read back after each
    // piece (flush) is then cheap, where a graphics card's canvas would wait
    // for the card each time.
    this.ctx = canvas.getContext('2d', { willReadFrequently: true });
    this.on = on;
    this.layers = [];
    this.overlay = null;  // draws over the layers, in CSS pixels
    this.underlay = null;  // draws over the drawing, under a run's result
    this.cx = 0; this.cy = 0; this.s = 1; this.fitS = 1;
    this.pending = false;
    this.share = 8 * CHUNK;  // figures drawn in a frame, learnt from the frames' length
    this.size();
    // Sized and drawn again at the next frame, once, however many changes
    // of size come before it.
    new ResizeObserver(() => {
      if (this.sizing) return;
      this.sizing = true;
      requestAnimationFrame(() => {
        this.sizing = false;
        // Setting a canvas' size clears it: a big drawing is drawn afresh
        // only when its size has really changed.
        const b = this.canvas.getBoundingClientRect();
        if (b.width === this.w && b.height === this.h && (window.devicePixelRatio || 1) === this.dpr) return;
        this.size();
        this.draw();
      });
    }).observe(canvas);
    this.interact();
  }

  size() {
    const dpr = window.devicePixelRatio || 1, b = this.canvas.getBoundingClientRect();
    this.w = b.width; this.h = b.height; this.dpr = dpr;
    this.canvas.width = Math.max(1, Math.round(b.width * dpr));
    this.canvas.height = Math.max(1, Math.round(b.height * dpr));
  }

  world(sx, sy) { return [this.cx + (sx - this.w / 2) / this.s, this.cy - (sy - this.h / 2) / this.s]; }

  // Zooms by factor about the screen point (mx, my) from the centre, within
  // sensible bounds: a thousandth of the whole drawing to a millionth of it
  // across the screen.
  zoom(factor, mx = 0, my = 0) {
    const s = Math.min(Math.max(this.s * factor, this.fitS / 1000), this.fitS * 1e6);
    const wx = this.cx + mx / this.s, wy = this.cy - my / this.s;
    this.s = s;
    this.cx = wx - mx / s; this.cy = wy + my / s;
    this.later();
  }

  pan(dx, dy) {
    this.cx -= dx / this.s;
    this.cy += dy / this.s;
    this.later();
  }

  // Frames the boxes ([x1, y1, x2, y2]) with a margin.
  fit(boxes) {
    const b = [Infinity, Infinity, -Infinity, -Infinity];
    for (const x of boxes) {
      if (!x) continue;
      b[0] = Math.min(b[0], x[0]); b[1] = Math.min(b[1], x[1]);
      b[2] = Math.max(b[2], x[2]); b[3] = Math.max(b[3], x[3]);
    }
    if (!(b[0] <= b[2])) b.splice(0, 4, -50, -50, 50, 50);
    const w = Math.max(b[2] - b[0], 1e-9), h = Math.max(b[3] - b[1], 1e-9), least = Math.max(w, h) / 3;
    this.cx = (b[0] + b[2]) / 2; this.cy = (b[1] + b[3]) / 2;
    this.s = Math.min((this.w - 56) / Math.max(w, least), (this.h - 56) / Math.max(h, least));
    if (!(this.s > 0 && this.s < Infinity)) this.s = 1;
    this.fitS = this.s;
  }

  screen(x, y) { return [this.w / 2 + (x - this.cx) * this.s, this.h / 2 - (y - this.cy) * this.s]; }

  // Draws again at the next frame. A drawing that takes longer than a frame
  // to draw follows the pointer as the last picture moved and scaled, and is
  // drawn afresh once the pointer rests.
  later() {
    if (this.pending) return;
    this.pending = true;
    requestAnimationFrame(() => {
      this.pending = false;
      if (!(this.lastMs > 40 && this.shot)) { this.draw(); return; }
      this.moveShot();
      clearTimeout(this.rest);
      this.rest = setTimeout(() => this.draw(), 250);
    });
  }

  // Draws the layers afresh, a share of the figures in each frame and the
  // rest in the frames after, so that the page goes on answering while a
  // big drawing is drawn. A small one is drawn at once. The share is set by
  // how long the frames took (the gap between two of them), aiming at
  // FRAME_GOAL ms, and a frame stops after FRAME_MS ms of drawing.
  // A canvas only records what is drawn on it and rasterises it when its
  // picture is needed, at the latest in the frame's commit, where a frame
  // of a 1e6 drawing spent 100-300 ms unmeasured: each piece is rasterised
  // at once instead (flush), so that the time counted is the time spent.
  draw() {
    clearTimeout(this.rest);
    const job = this.job = (this.job || 0) + 1, steps = this.steps(), t0 = performance.now();
    let last = null;
    const go = (now) => {
      if (job !== this.job) return;
      if (last !== null && now > last) {
        this.share = Math.min(Math.max(this.share * Math.min(1.5, Math.max(0.5, FRAME_GOAL / (now - last))), CHUNK), 1e7);
      }
      last = now;
      const start = performance.now();
      let done = 0;
      for (;;) {
        const step = steps.next();
        if (step.done) break;
        done += step.value ?? 0;
        this.flush();
        if (done >= this.share || performance.now() - start > FRAME_MS) { requestAnimationFrame(go); return; }
      }
      this.lastMs = performance.now() - t0;
      this.drawnAt = performance.now();
      this.drawing = false;
      if (this.lastMs > 40) {
        this.shot = this.shot || document.createElement('canvas');
        this.shot.width = this.canvas.width;
        this.shot.height = this.canvas.height;
        this.shot.getContext('2d').drawImage(this.canvas, 0, 0);
        this.shotView = [this.cx, this.cy, this.s];
      }
    };
    this.drawing = true;
    // A small drawing at once, in the caller's task; a big one's first share
    // no bigger, since the caller's own changes are laid out in that frame.
    const share = this.share;
    this.share = Math.min(share, 2 * CHUNK);
    go(null);
    this.share = share;
  }

  // Has the canvas rasterise what was drawn on it so far: reading a pixel
  // back needs the picture.
  flush() { this.ctx.getImageData(0, 0, 1, 1); }

  * steps() {
    const { ctx } = this;
    ctx.setTransform(1, 0, 0, 1, 0, 0);
    ctx.fillStyle = '#ffffff';
    ctx.fillRect(0, 0, this.canvas.width, this.canvas.height);
    for (const [k, layer] of this.layers.entries()) {
      yield* this.shapes(layer);
      yield* this.marks(layer);
      if (k === 0 && this.underlay) {  // under what a run added
        ctx.setTransform(this.dpr, 0, 0, this.dpr, 0, 0);
        this.underlay(ctx);
      }
      yield;
    }
    ctx.setTransform(this.dpr, 0, 0, this.dpr, 0, 0);
    if (this.overlay) this.overlay(ctx);
    if (this.cross) this.crosshair();
  }

  // The keyboard's cursor at the centre: a cross with a ring the size of
  // the distance a point snaps from, white under dark to show on any drawing.
  crosshair() {
    const { ctx } = this, x = Math.round(this.w / 2) + 0.5, y = Math.round(this.h / 2) + 0.5;
    for (const [colour, width] of [['#ffffff', 3], ['#202020', 1]]) {
      ctx.strokeStyle = colour;
      ctx.lineWidth = width;
      ctx.beginPath();
      ctx.moveTo(x - 18, y); ctx.lineTo(x - 5, y); ctx.moveTo(x + 5, y); ctx.lineTo(x + 18, y);
      ctx.moveTo(x, y - 18); ctx.lineTo(x, y - 5); ctx.moveTo(x, y + 5); ctx.lineTo(x, y + 18);
      ctx.moveTo(x + 8, y); ctx.arc(x, y, 8, 0, 2 * Math.PI);
      ctx.stroke();
    }
  }

  // The last picture where the view has moved it since.
  moveShot() {
    this.job = (this.job || 0) + 1;  // a drawing under way stops
    const { ctx, dpr, w, h } = this, [cx, cy, s] = this.shotView, k = this.s / s;
    ctx.setTransform(1, 0, 0, 1, 0, 0);
    ctx.fillStyle = '#ffffff';
    ctx.fillRect(0, 0, this.canvas.width, this.canvas.height);
    ctx.drawImage(this.shot, dpr * (w / 2 - k * w / 2 + (cx - this.cx) * this.s),
      dpr * (h / 2 - k * h / 2 - (cy - this.cy) * this.s), this.canvas.width * k, this.canvas.height * k);
  }

  // The paths of a layer, in drawing units through the canvas' transform.
  * shapes(l) {
    const { ctx, dpr, s } = this;
    const place = () => ctx.setTransform(dpr * s, 0, 0, -dpr * s, dpr * (this.w / 2 - (this.cx - l.ox) * s),
      dpr * (this.h / 2 + (this.cy - l.oy) * s));
    const off = l.hidden ?? [];
    for (const [, list] of l.fills) {
      if (off[list.lay]) continue;
      const { colour } = list;
      for (const p of list) { place(); ctx.fillStyle = css(l.grey ? -2 : colour); ctx.fill(p); yield SMALL; }
    }
    // Lines one device pixel wide, as the CAD program draws them: the
    // canvas draws those many times faster than any wider line.
    for (const [map, width] of [[l.strokes, 1], [l.heavy, 3 * STROKE * dpr]]) {
      for (const [, list] of map) {
        if (off[list.lay]) continue;
        const { colour } = list;
        for (const p of list) {
          place();
          ctx.lineWidth = width / (s * dpr);
          ctx.strokeStyle = css(l.grey ? -1 : colour);
          ctx.stroke(p);
          yield CHUNK;
        }
      }
    }
    ctx.setTransform(dpr, 0, 0, dpr, 0, 0);
  }

  // Points, markers, texts and blocks at their size on the screen; what lies
  // outside the canvas, and texts too small to read, are passed over. Drawn
  // CHUNK at a time, as the paths are.
  * marks(l) {
    const { ctx, w, h } = this, r = l.r, off = l.hidden ?? [];
    const colour = (i) => css(l.grey ? -1 : r[i + 1]);
    const inside = (p, m) => p[0] > -m && p[0] < w + m && p[1] > -m && p[1] < h + m;
    const add = (map, c) => map.get(c) || map.set(c, new Path2D()).get(c);
    // Many points as squares: a canvas fills those far faster than circles.
    const squares = l.points.length > 5000;
    let byColour = new Map(), n = 0;
    const fillPoints = () => {
      for (const [c, path] of byColour) { ctx.fillStyle = c; ctx.fill(path); }
      byColour = new Map();
    };
    for (const i of l.points) {
      if (off[l.lays[i]]) continue;
      const [x, y] = this.screen(r[i + 2], r[i + 3]);
      if (!inside([x, y], 5)) continue;
      const path = add(byColour, colour(i));
      if (squares) path.rect(x - 3, y - 3, 6, 6);
      else { path.moveTo(x + POINT_RADIUS, y); path.arc(x, y, POINT_RADIUS, 0, 2 * Math.PI); }
      if (++n % CHUNK === 0) { fillPoints(); yield CHUNK; }
    }
    fillPoints();
    // Markers: one path of lines and one of filled dots per colour.
    let lines = new Map(), dots = new Map();
    const drawMarkers = () => {
      ctx.lineWidth = STROKE;
      for (const [c, path] of dots) { ctx.fillStyle = ctx.strokeStyle = c; ctx.fill(path); ctx.stroke(path); }
      for (const [c, path] of lines) { ctx.strokeStyle = c; ctx.stroke(path); }
      lines = new Map(); dots = new Map();
    };
    for (const i of l.markers) {
      if (off[l.lays[i]]) continue;
      const size = Math.min(MARKER_SIZE * Math.abs(r[i + 4]), 4 * (w + h)), p = this.screen(r[i + 2], r[i + 3]);
      if (!inside(p, size * 1.2 + 2)) continue;
      const code = r[i + 6];
      if (code >= -7 && code <= -1) addMarker(add(code === -3 ? dots : lines, colour(i)), -code, p[0], p[1], size, r[i + 5]);
      else addMarker(add(dots, colour(i)), 2, p[0], p[1], POINT_RADIUS, 0);  // not one of the kinds: a point
      if (++n % SMALL === 0) { drawMarkers(); yield SMALL; }
    }
    drawMarkers();
    yield* this.texts(l, inside, colour);
    // Block inserts: a diamond at each, and its name while few are shown.
    // The diamond's last side drawn as a line: closing a sub-path takes a
    // canvas the longer the more the path holds.
    let diamonds = new Map();
    const named = [];
    const drawDiamonds = () => {
      ctx.lineWidth = STROKE;
      for (const [c, path] of diamonds) { ctx.strokeStyle = c; ctx.stroke(path); }
      diamonds = new Map();
    };
    for (const i of l.blocks) {
      if (off[l.lays[i]]) continue;
      const [x, y] = this.screen(r[i + 2], r[i + 3]);
      if (!inside([x, y], 200)) continue;
      const path = add(diamonds, colour(i));
      path.moveTo(x - 4, y); path.lineTo(x, y - 4); path.lineTo(x + 4, y); path.lineTo(x, y + 4); path.lineTo(x - 4, y);
      if (named.length <= BLOCKS_NAMED) named.push([i, x, y]);
      if (++n % CHUNK === 0) { drawDiamonds(); yield CHUNK; }
    }
    drawDiamonds();
    if (named.length > BLOCKS_NAMED) return;
    ctx.font = '10px IPAGothic, sans-serif';
    for (const [i, x, y] of named) {
      ctx.fillStyle = colour(i);
      ctx.fillText(this.string(l, i + 4), x + 6, y + 4);
    }
  }

  // Texts on the canvas at least 3 pixels high, the largest TEXTS_DRAWN of
  // them in their letters and the rest as the line they stand on: a few
  // hundred texts are as many as the eye can read at once, and drawing
  // letters is what takes a canvas longest.
  * texts(l, inside, colour) {
    const { ctx, dpr } = this, r = l.r, shown = [], off = l.hidden ?? [];
    let n = 0;
    for (const i of l.textAt) {
      if (++n % (4 * CHUNK) === 0) yield CHUNK;
      if (off[l.lays[i]]) continue;
      const px = r[i + 4] * this.s;
      if (px >= 3 && inside(this.screen(r[i + 2], r[i + 3]), Math.max(px, r[i + 5] * this.s) + 4)) shown.push(i);
    }
    let least = 3;
    if (shown.length > TEXTS_DRAWN) {  // the height of the first text not drawn in letters
      const heights = Float64Array.from(shown, (i) => r[i + 4]).sort();
      least = heights[heights.length - 1 - TEXTS_DRAWN] * this.s;
      yield CHUNK;
    }
    let lines = new Map();
    const letters = [];
    const drawLines = () => {
      ctx.setTransform(dpr, 0, 0, dpr, 0, 0);
      ctx.lineWidth = 1 / dpr;
      for (const [c, path] of lines) { ctx.strokeStyle = c; ctx.stroke(path); }
      lines = new Map();
    };
    for (const i of shown) {
      if (++n % CHUNK === 0) { drawLines(); yield CHUNK; }
      const px = r[i + 4] * this.s, p = this.screen(r[i + 2], r[i + 3]);
      const a = Math.atan2(r[i + 7], r[i + 6]) || 0;
      if (px <= least && least > 3) {
        const len = r[i + 5] * this.s, path = lines.get(colour(i)) || lines.set(colour(i), new Path2D()).get(colour(i));
        path.moveTo(p[0], p[1]);
        path.lineTo(p[0] + Math.cos(a) * len, p[1] - Math.sin(a) * len);
      } else {
        // Sizes in steps of about a tenth: each size's letters are made once.
        letters.push([Math.round(Math.exp(Math.round(Math.log(Math.min(px, 4000)) * 10) / 10)), i, p, a]);
      }
    }
    // By size, so that the font changes as seldom as it can.
    letters.sort((x, y) => x[0] - y[0]);
    let font = 0;
    for (const [k, [size, i, p, a]] of letters.entries()) {
      if (k && k % LETTERS === 0) yield SMALL;
      if (size !== font) ctx.font = `${font = size}px IPAGothic, "MS Gothic", monospace`;
      const c = Math.cos(a) * dpr, s = Math.sin(a) * dpr;
      ctx.setTransform(c, -s, s, c, p[0] * dpr, p[1] * dpr);
      ctx.fillStyle = colour(i);
      ctx.fillText(this.string(l, i + 8), 0, 0);
    }
    ctx.setTransform(dpr, 0, 0, dpr, 0, 0);
    drawLines();
  }

  // A text of the layer's text array, decoded once.
  string(l, at) {
    const k = l.r[at];
    if (l.strings[k] === undefined) {
      l.strings[k] = UTF16.decode(l.texts.subarray(k, k + l.r[at + 1]));
    }
    return l.strings[k];
  }

  // Pointers: one drags (pans, or draws a box), two pinch and pan; a press
  // that does not move is a click. Keys: arrows pan, + and - zoom, 0 and
  // Home fit the drawing.
  interact() {
    const c = this.canvas, down = new Map();
    let g = null;  // the gesture under way
    const at = (e) => { const b = c.getBoundingClientRect(); return [e.clientX - b.left, e.clientY - b.top]; };
    const pair = () => {
      const [a, b] = [...down.values()];
      return { mid: [(a[0] + b[0]) / 2, (a[1] + b[1]) / 2], d: Math.hypot(a[0] - b[0], a[1] - b[1]) };
    };
    c.addEventListener('pointerdown', (e) => {
      if (e.pointerType === 'mouse' && e.button === 2) return;
      c.setPointerCapture(e.pointerId);
      down.set(e.pointerId, at(e));
      if (down.size === 1) g = { start: at(e), last: at(e), moved: false, box: e.button === 0 && this.on.boxing() };
      else { g = { two: pair(), moved: true }; this.box = null; }
      c.classList.add('dragging');
    });
    c.addEventListener('pointermove', (e) => {
      const p = at(e);
      this.on.hover(...this.world(...p));
      if (!down.has(e.pointerId) || !g) return;
      down.set(e.pointerId, p);
      if (g.two && down.size === 2) {
        const now = pair();
        this.pan(now.mid[0] - g.two.mid[0], now.mid[1] - g.two.mid[1]);
        if (g.two.d > 0 && now.d > 0) this.zoom(now.d / g.two.d, now.mid[0] - this.w / 2, now.mid[1] - this.h / 2);
        g.two = now;
        return;
      }
      if (!g.moved && Math.hypot(p[0] - g.start[0], p[1] - g.start[1]) < 5) return;
      g.moved = true;
      if (g.box) {
        this.box = [g.start, p];
        this.later();
      } else {
        this.pan(p[0] - g.last[0], p[1] - g.last[1]);
      }
      g.last = p;
    });
    const end = (e, cancelled) => {
      if (!down.delete(e.pointerId)) return;
      if (down.size || !g) return;
      c.classList.remove('dragging');
      const p = at(e);
      if (!cancelled && !g.moved) this.on.click(...this.world(...p));
      if (!cancelled && g.box && g.moved) {
        const [a, b] = [this.world(...g.start), this.world(...p)];
        this.on.box([Math.min(a[0], b[0]), Math.min(a[1], b[1]), Math.max(a[0], b[0]), Math.max(a[1], b[1])]);
      }
      this.box = null;
      g = null;
      this.later();
    };
    c.addEventListener('pointerup', (e) => end(e, false));
    c.addEventListener('pointercancel', (e) => end(e, true));
    c.addEventListener('contextmenu', (e) => e.preventDefault());
    c.addEventListener('wheel', (e) => {
      e.preventDefault();
      const [x, y] = at(e);
      this.zoom(Math.exp(-e.deltaY * (e.deltaMode ? 0.05 : 0.0015)), x - this.w / 2, y - this.h / 2);
    }, { passive: false });
    c.addEventListener('dblclick', () => this.on.fit());
    // The keyboard's cursor is a crosshair at the canvas' centre: the arrows
    // move the drawing under it (with Shift by KEY_STEP pixels, to reach a
    // point), and Enter or Space there is a click, which indicates the point
    // snapped to or picks the figure under it.
    c.addEventListener('keydown', (e) => {
      const step = e.shiftKey ? KEY_STEP : Math.min(this.w, this.h) / 8;
      const keys = {
        ArrowLeft: () => this.pan(step, 0), ArrowRight: () => this.pan(-step, 0),
        ArrowUp: () => this.pan(0, step), ArrowDown: () => this.pan(0, -step),
        '+': () => this.zoom(1.25), '=': () => this.zoom(1.25), '-': () => this.zoom(0.8),
        0: () => this.on.fit(), Home: () => this.on.fit(),
        Enter: () => this.on.click(this.cx, this.cy), ' ': () => this.on.click(this.cx, this.cy),
      };
      if (!keys[e.key] || e.ctrlKey || e.altKey || e.metaKey || e.isComposing) return;
      e.preventDefault();
      this.cross = true;
      keys[e.key]();
      this.on.hover(this.cx, this.cy);
      this.later();
    });
    c.addEventListener('pointerdown', () => { if (this.cross) { this.cross = false; this.later(); } });
    c.addEventListener('blur', () => { if (this.cross) { this.cross = false; this.later(); } });
  }
}
