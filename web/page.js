// The page: an exchange file drawn as the CAD program hands it to kx29, a
// run mode run on it by the program itself (kx29.js), what the run added
// drawn in colour over it and the rewritten file beside it.
'use strict';

// ---- Words of the page; the dialog's own come from the program -------------
const WORDS = {
  ja: {
    drawing: '図面（JWC_TEMP.TXT）', open: 'ファイルを開く…', sample: '見本の図面', pickSample: '見本を選ぶ…',
    mode: '実行モード', noMode: '（実行しない：図面だけを見る）', run: '実行',
    settings: '設定', output: '書き戻したファイル', download: 'ダウンロード', notes: '読み込みの注意',
    empty: 'JWC_TEMP.TXT を開くか、ここにドロップしてください', lang: 'English',
    noValues: '（入力する値はありません）', noNotes: '注意はありません。',
    grey: '灰色：図面', added: '色付き：kx29 が作図したもの', indicated: '丸と番号：指示点',
    line: (n) => `${n} 行目`, wholeFile: 'ファイル全体', more: (n) => `…ほか ${n} 件`,
    moreLines: (n) => `…あと ${n} 行`, noFile: 'ファイルなし',
    info: (i, name, size) => `${name}（${size.toLocaleString()} バイト、${i.encoding}）：` +
      `図形 ${i.entities.toLocaleString()}、指示点 ${i.indicated}`,
    unreadable: (name) => `${name} は読めません。`,
    timing: (t) => `読み込み ${t.read} ms（うちライブラリ ${t.library} ms）・描画の準備 ${t.build} ms・` +
      `描画 ${t.draw} ms・合計 ${t.total} ms`,
    ran: (args, code, ms) => `kx29 ${args.join(' ')}：終了コード ${code}（${ms} ms）`,
    noOutput: '（ファイルは書かれませんでした）',
    encoding: (e) => `文字コード ${e}`,
    noteKinds: { 1: '読み取る記録がない行（読み飛ばした）', 2: '先頭が数でない 4 項目を線として読んだ',
      3: '数として読む欄が数でない（0 として読んだ）', 4: '2 つ目のファイルを同じ図面に読んだ',
      5: 'BOM のない UTF-8 のようです（CP932 として読んだので文字化けします）' },
    prompt: { hc: '範囲選択', n: (n) => `指示点${n}` }, colon: '：',
  },
  en: {
    drawing: 'Drawing (JWC_TEMP.TXT)', open: 'Open a file…', sample: 'Sample drawings', pickSample: 'Pick a sample…',
    mode: 'Run mode', noMode: '(none: view the drawing)', run: 'Run',
    settings: 'Settings', output: 'The rewritten file', download: 'Download', notes: 'Reader notes',
    empty: 'Open a JWC_TEMP.TXT or drop one here', lang: '日本語',
    noValues: '(no values to type)', noNotes: 'No notes.',
    grey: 'Grey: the drawing', added: 'In colour: what kx29 drew', indicated: 'Rings and numbers: indicated points',
    line: (n) => `line ${n}`, wholeFile: 'the whole file', more: (n) => `… and ${n} more`,
    moreLines: (n) => `… ${n} more lines`, noFile: 'no file',
    info: (i, name, size) => `${name} (${size.toLocaleString()} bytes, ${i.encoding}): ` +
      `${i.entities.toLocaleString()} entities, ${i.indicated} indicated points`,
    unreadable: (name) => `${name} cannot be read.`,
    timing: (t) => `read ${t.read} ms (library ${t.library} ms), drawing prepared ${t.build} ms, ` +
      `drawn ${t.draw} ms, in all ${t.total} ms`,
    ran: (args, code, ms) => `kx29 ${args.join(' ')}: exit code ${code} (${ms} ms)`,
    noOutput: '(no file was written)',
    encoding: (e) => `encoding ${e}`,
    noteKinds: { 1: 'no record takes the line (skipped)', 2: 'four fields read as a line, the first no number',
      3: 'a field read as a number is none (read as 0)', 4: 'a second file read into one drawing',
      5: 'UTF-8 without its byte-order mark, it seems (read as code page 932: texts garbled)' },
    prompt: { hc: 'select', n: (n) => `point ${n}` }, colon: ': ',
  },
};
// The launchers' texts and the dialog's in English: the Japanese ones are
// the program's own (data.js, the dialog's controls).
const EN = {
  titles: ['Settings: layer, colour and point markers of the points drawn',
    'A point at the indicated point', 'A point at each of the points indicated in turn',
    'A point at the typed X Y (turned with the axis angle)', 'A point at the midpoint of two indicated points',
    'Points dividing a line', 'Points dividing a circle and an arc',
    'Points at a pitch along the selected lines, circles and arcs, from the indicated end',
    'Points at the intersections of the selected lines, circles and arcs',
    'Points at the ends of the selected lines and arcs and the centres of circles and arcs',
    'Points dividing every selected line, circle and arc'],
  questions: {
    1: ['Indicate where the point goes'], 2: ['Indicate the first point', 'Indicate the next point (as many as you like)'],
    3: ['Type X and Y in mm of the drawing from its origin, separated by a blank (e.g. 2000 1000)'],
    4: ['Indicate the first point of the midpoint', 'Indicate the second point'],
    5: ['Select the line to divide (the first one is divided)', 'Type the number of parts (2 to 1000, 2 if left out)'],
    6: ['Select the circle and arc to divide (the first circle and the first arc)',
      'Type the number of parts (2 to 1000, 2 if left out)'],
    7: ['Select the lines, circles and arcs', 'Indicate near the end to start from',
      'Type the pitch (e.g. 910; 910 両 splits the remainder between both ends)'],
    8: ['Select the lines, circles and arcs to intersect'],
    9: ['Select the lines, circles and arcs', 'Type 1 for the ends only, 2 for the centres only (both if left out)'],
    10: ['Select the lines, circles and arcs to divide (all of them)', 'Type the number of parts (2 to 1000, 2 if left out)'],
  },
  dialog: { lgrpLabel: 'Layer group', layLabel: 'Layer', colLabel: 'Colour', point: 'Point',
    marker: 'Point marker', kindLabel: 'Kind:', scaleLabel: 'Scale:',
    about: '◆ An external tool that draws points and point markers ◆',
    memo: ['◆ What is inside a block cannot', '  be handled: take care.', '  Working inside a block edit', '  may need this tool placed in', '  Jw_cad\'s installation folder.'] },
  lists: {
    lgrp: (k) => (k ? `Layer group [${'0123456789ABCDEF'[k - 1]}]` : 'Current layer group'),
    lay: (k) => (k ? `Layer (${'0123456789ABCDEF'[k - 1]})` : 'Current layer'),
    col: (k) => (k === 0 ? 'Current colour' : k <= 9 ? `Pen ${k}` : `SXF-${k - 9}`),
  },
};

const $ = (id) => document.getElementById(id);
const page = {
  lang: 'ja', kx29: null, dat: null, dialog: null,
  input: null,   // {name, bytes, info, layer}
  output: null,  // {args, exitCode, bytes, info, layer}
  timing: null, runs: 0, state: 'loading',
};
window.kx29Page = page;
const T = () => WORDS[page.lang];

// ---- Drawing on the canvas -------------------------------------------------
const GREY = '#a6a6a6', GREY_FILL = '#dadada', INDICATED = '#d9480f';
const STROKE = 1.3, POINT_RADIUS = 3.5, MARKER_SIZE = 6;  // pixels, as jwc2svg draws them
const TEXTS_DRAWN = 500, BLOCKS_NAMED = 200;
const DEG = Math.PI / 180;
const UTF16 = new TextDecoder('utf-16le');

// The CSS colour of an RGB value r + 256 g + 65536 b; -1 and -2 are the greys.
const CSS = new Map([[-1, GREY], [-2, GREY_FILL]]);
function css(rgb) {
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
function ellipse(cx, cy, cr, he, ka, a0, span) {
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
function span(a, b) {
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
function makeLayer(data, ox, oy) {
  const r = data.records, size = RECORD_SIZE;
  const strokes = new Map(), heavy = new Map(), fills = new Map();
  const kept = [], points = [], markers = [], texts = [], blocks = [], indicated = [];
  const box = [Infinity, Infinity, -Infinity, -Infinity];
  const path = (map, key) => map.get(key) || map.set(key, new Path2D()).get(key);
  let keptLength = 0;
  const keep = (list, i) => {
    list.push(keptLength);
    kept.push(i);
    keptLength += size[r[i]];
  };
  for (let i = 0; i < r.length; i += size[r[i]]) {
    const kind = r[i], colour = r[i + 1], x = r[i + 2] - ox, y = r[i + 3] - oy;
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
      case 6: keep(texts, i); break;
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
  const own = new Float64Array(keptLength);
  let at = 0;
  for (const i of kept) {
    own.set(r.subarray(i, i + size[r[i]]), at);
    at += size[r[i]];
  }
  return { r: own, texts: data.texts, strings: [], grey: false, ox, oy, strokes, heavy,
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
function addMarker(path, kind, x, y, size, deg) {
  const c = Math.cos(deg * DEG) * size, s = Math.sin(deg * DEG) * size;
  MARKERS[kind - 1]({
    moveTo: (u, v) => path.moveTo(x + c * u + s * v, y - s * u + c * v),
    lineTo: (u, v) => path.lineTo(x + c * u + s * v, y - s * u + c * v),
    closePath: () => path.closePath(),
    circle: (r) => { path.moveTo(x + r * size, y); path.arc(x, y, r * size, 0, 2 * Math.PI); },
  });
}

class View {
  constructor(canvas) {
    this.canvas = canvas;
    this.ctx = canvas.getContext('2d');
    this.layers = [];
    this.cx = 0; this.cy = 0; this.s = 1;
    this.pending = false;
    new ResizeObserver(() => this.resize()).observe(canvas);
    this.resize();
    this.interact();
  }

  resize() {
    const dpr = window.devicePixelRatio || 1, b = this.canvas.getBoundingClientRect();
    this.w = b.width; this.h = b.height; this.dpr = dpr;
    this.canvas.width = Math.max(1, Math.round(b.width * dpr));
    this.canvas.height = Math.max(1, Math.round(b.height * dpr));
    this.draw();
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

  draw() {
    const { ctx } = this;
    clearTimeout(this.rest);
    ctx.setTransform(1, 0, 0, 1, 0, 0);
    ctx.fillStyle = '#ffffff';
    ctx.fillRect(0, 0, this.canvas.width, this.canvas.height);
    const t0 = performance.now();
    this.layers.forEach((layer, k) => {
      this.shapes(layer);
      this.marks(layer);
      if (k === 0) this.indicated(layer);  // the rings under what the tool added
    });
    this.lastMs = performance.now() - t0;
    if (this.lastMs > 40) {
      this.shot = this.shot || document.createElement('canvas');
      this.shot.width = this.canvas.width;
      this.shot.height = this.canvas.height;
      this.shot.getContext('2d').drawImage(this.canvas, 0, 0);
      this.shotView = [this.cx, this.cy, this.s];
    }
  }

  // The last picture where the view has moved it since.
  moveShot() {
    const { ctx, dpr, w, h } = this, [cx, cy, s] = this.shotView, k = this.s / s;
    ctx.setTransform(1, 0, 0, 1, 0, 0);
    ctx.fillStyle = '#ffffff';
    ctx.fillRect(0, 0, this.canvas.width, this.canvas.height);
    ctx.drawImage(this.shot, dpr * (w / 2 - k * w / 2 + (cx - this.cx) * this.s),
      dpr * (h / 2 - k * h / 2 - (cy - this.cy) * this.s), this.canvas.width * k, this.canvas.height * k);
  }

  // The paths of a layer, in drawing units through the canvas' transform.
  shapes(l) {
    const { ctx, dpr, s } = this;
    ctx.setTransform(dpr * s, 0, 0, -dpr * s, dpr * (this.w / 2 - (this.cx - l.ox) * s),
      dpr * (this.h / 2 + (this.cy - l.oy) * s));
    for (const [colour, p] of l.fills) { ctx.fillStyle = css(l.grey ? -2 : colour); ctx.fill(p); }
    // Lines one device pixel wide, as the CAD program draws them: the
    // canvas draws those many times faster than any wider line.
    for (const [map, width] of [[l.strokes, 1], [l.heavy, 3 * STROKE * dpr]]) {
      ctx.lineWidth = width / (s * dpr);
      for (const [colour, p] of map) { ctx.strokeStyle = css(l.grey ? -1 : colour); ctx.stroke(p); }
    }
    ctx.setTransform(dpr, 0, 0, dpr, 0, 0);
  }

  // Points, markers, texts and blocks at their size on the screen; what lies
  // outside the canvas, and texts too small to read, are passed over.
  marks(l) {
    const { ctx, dpr, w, h } = this, r = l.r;
    const colour = (i) => css(l.grey ? -1 : r[i + 1]);
    const inside = (p, m) => p[0] > -m && p[0] < w + m && p[1] > -m && p[1] < h + m;
    const byColour = new Map();
    for (const i of l.points) {
      const p = this.screen(r[i + 2], r[i + 3]);
      if (inside(p, 5)) (byColour.get(colour(i)) || byColour.set(colour(i), []).get(colour(i))).push(p);
    }
    for (const [c, list] of byColour) {
      ctx.beginPath();
      for (const [x, y] of list) { ctx.moveTo(x + POINT_RADIUS, y); ctx.arc(x, y, POINT_RADIUS, 0, 2 * Math.PI); }
      ctx.fillStyle = c;
      ctx.fill();
    }
    // Markers: one path of lines and one of filled dots per colour.
    const lines = new Map(), dots = new Map();
    const add = (map, c) => map.get(c) || map.set(c, new Path2D()).get(c);
    for (const i of l.markers) {
      const size = Math.min(MARKER_SIZE * Math.abs(r[i + 4]), 4 * (w + h)), p = this.screen(r[i + 2], r[i + 3]);
      if (!inside(p, size * 1.2 + 2)) continue;
      const code = r[i + 6];
      if (code >= -7 && code <= -1) addMarker(add(code === -3 ? dots : lines, colour(i)), -code, p[0], p[1], size, r[i + 5]);
      else addMarker(add(dots, colour(i)), 2, p[0], p[1], POINT_RADIUS, 0);  // not one of the kinds: a point
    }
    ctx.lineWidth = STROKE;
    for (const [c, path] of dots) { ctx.fillStyle = ctx.strokeStyle = c; ctx.fill(path); ctx.stroke(path); }
    for (const [c, path] of lines) { ctx.strokeStyle = c; ctx.stroke(path); }
    this.texts(l, inside, colour);
    // Block inserts: a diamond at each, and its name while few are shown.
    const diamonds = new Map(), named = [];
    for (const i of l.blocks) {
      const [x, y] = this.screen(r[i + 2], r[i + 3]);
      if (!inside([x, y], 200)) continue;
      const path = add(diamonds, colour(i));
      path.moveTo(x - 4, y); path.lineTo(x, y - 4); path.lineTo(x + 4, y); path.lineTo(x, y + 4); path.closePath();
      named.push([i, x, y]);
    }
    ctx.lineWidth = STROKE;
    for (const [c, path] of diamonds) { ctx.strokeStyle = c; ctx.stroke(path); }
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
  texts(l, inside, colour) {
    const { ctx, dpr } = this, r = l.r, shown = [];
    for (const i of l.textAt) {
      const px = r[i + 4] * this.s;
      if (px >= 3 && inside(this.screen(r[i + 2], r[i + 3]), Math.max(px, r[i + 5] * this.s) + 4)) shown.push(i);
    }
    let least = 3;
    if (shown.length > TEXTS_DRAWN) least = shown.map((i) => r[i + 4]).sort((a, b) => b - a)[TEXTS_DRAWN] * this.s;
    const lines = new Map(), letters = [];
    for (const i of shown) {
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
    for (const [size, i, p, a] of letters) {
      if (size !== font) ctx.font = `${font = size}px IPAGothic, "MS Gothic", monospace`;
      const c = Math.cos(a) * dpr, s = Math.sin(a) * dpr;
      ctx.setTransform(c, -s, s, c, p[0] * dpr, p[1] * dpr);
      ctx.fillStyle = colour(i);
      ctx.fillText(this.string(l, i + 8), 0, 0);
    }
    ctx.setTransform(dpr, 0, 0, dpr, 0, 0);
    ctx.lineWidth = 1 / dpr;
    for (const [c, path] of lines) { ctx.strokeStyle = c; ctx.stroke(path); }
  }

  // A text of the layer's text array, decoded once.
  string(l, at) {
    const k = l.r[at];
    if (l.strings[k] === undefined) {
      l.strings[k] = UTF16.decode(l.texts.subarray(k, k + l.r[at + 1]));
    }
    return l.strings[k];
  }

  indicated(l) {
    const { ctx } = this, r = l.r;
    ctx.strokeStyle = INDICATED;
    ctx.lineWidth = STROKE;
    ctx.font = 'bold 13px IPAPGothic, sans-serif';
    for (const i of l.indicated) {
      const [x, y] = this.screen(r[i + 3], r[i + 4]);
      ctx.beginPath();
      ctx.arc(x, y, 6, 0, 2 * Math.PI);
      ctx.stroke();
      ctx.lineWidth = 3;
      ctx.strokeStyle = '#ffffff';
      ctx.strokeText(String(r[i + 2]), x + 7, y - 7);
      ctx.fillStyle = INDICATED;
      ctx.fillText(String(r[i + 2]), x + 7, y - 7);
      ctx.strokeStyle = INDICATED;
      ctx.lineWidth = STROKE;
    }
  }

  // Drag to pan, the wheel to zoom about the pointer, a double click to frame.
  interact() {
    const c = this.canvas;
    let drag = null;
    c.addEventListener('pointerdown', (e) => { drag = [e.clientX, e.clientY]; c.setPointerCapture(e.pointerId); c.classList.add('dragging'); });
    c.addEventListener('pointermove', (e) => {
      if (!drag) return;
      this.cx -= (e.clientX - drag[0]) / this.s;
      this.cy += (e.clientY - drag[1]) / this.s;
      drag = [e.clientX, e.clientY];
      this.later();
    });
    const end = () => { drag = null; c.classList.remove('dragging'); };
    c.addEventListener('pointerup', end);
    c.addEventListener('pointercancel', end);
    c.addEventListener('wheel', (e) => {
      e.preventDefault();
      const b = c.getBoundingClientRect(), mx = e.clientX - b.left - this.w / 2, my = e.clientY - b.top - this.h / 2;
      const wx = this.cx + mx / this.s, wy = this.cy - my / this.s;
      this.s *= Math.exp(-e.deltaY * (e.deltaMode ? 0.05 : 0.0015));
      this.cx = wx - mx / this.s; this.cy = wy + my / this.s;
      this.later();
    }, { passive: false });
    c.addEventListener('dblclick', () => { frame(); this.draw(); });
  }
}

// ---- The page --------------------------------------------------------------
let view;
Object.defineProperty(page, 'view', { get: () => view });  // for the tests

function layersOf() {
  const layers = [];
  if (page.input) layers.push(page.input.layer);
  if (page.output && page.output.layer) layers.push(page.output.layer);
  return layers;
}

function frame() {
  view.fit([page.input?.info.box, page.input?.layer.indicatedBox, page.output?.info?.box]);
}

// Reads a file and draws it; then runs the chosen mode on it.
function open(name, bytes, started = performance.now()) {
  const t0 = performance.now();
  const data = page.kx29.read(bytes);
  const t1 = performance.now();
  page.output = null;
  showOutput();
  if (!data) {
    page.input = null;
    $('file-info').textContent = T().unreadable(name);
    view.layers = [];
    view.draw();
    showNotes();
    showLegend();
    page.state = 'unreadable';
    return;
  }
  const mid = data.info.box ? [(data.info.box[0] + data.info.box[2]) / 2, (data.info.box[1] + data.info.box[3]) / 2] : [0, 0];
  page.input = { name, bytes, info: data.info, layer: makeLayer(data, ...mid) };
  page.kx29.release();
  const t2 = performance.now();
  view.layers = layersOf();
  frame();
  view.draw();
  const t3 = performance.now();
  $('empty').hidden = true;
  showInfo();
  showNotes();
  showLegend();
  requestAnimationFrame(() => {
    const ms = (a, b) => Math.round(b - a);
    page.timing = { file: ms(started, t0), read: ms(t0, t1), library: Math.round(data.info.readMs ?? 0),
      build: ms(t1, t2), draw: ms(t2, t3), shown: ms(t3, performance.now()),
      total: ms(started, performance.now()), entities: data.info.entities };
    $('status').textContent = T().timing(page.timing);
    // The picture first; then what the run mode chosen adds to it.
    setTimeout(() => {
      if (mode()) run();
      page.state = 'drawn';
    }, 0);
  });
}

function showInfo() {
  const i = page.input;
  $('file-info').textContent = i ? T().info(i.info, i.name, i.bytes.length) : '';
}

function showNotes() {
  const list = $('notes'), t = T();
  list.textContent = '';
  const info = page.input?.info;
  if (!info) return;
  for (const [what, line, text] of info.notes) {
    const li = document.createElement('li');
    li.textContent = `${line ? t.line(line) : t.wholeFile}${t.colon}${t.noteKinds[what] || what} `;
    const code = document.createElement('code');
    code.textContent = text;
    li.append(code);
    list.append(li);
  }
  if (info.noteCount > info.notes.length) list.append(Object.assign(document.createElement('li'),
    { textContent: t.more(info.noteCount - info.notes.length) }));
  if (!info.noteCount) list.append(Object.assign(document.createElement('li'), { textContent: t.noNotes }));
}

// The rewritten file with its line numbers, as the reader decodes it.
function showOutput() {
  const pre = $('output'), o = page.output, t = T();
  $('download').disabled = !(o && o.bytes);
  pre.textContent = '';
  if (!o) return;
  if (!o.bytes) { pre.textContent = t.noOutput; return; }
  const lines = page.kx29.decode(o.bytes).split('\r\n');
  if (lines[lines.length - 1] === '') lines.pop();
  const shown = Math.min(lines.length, 5000), width = String(shown).length;
  const frag = document.createDocumentFragment();
  for (let k = 0; k < shown; ++k) {
    frag.append(Object.assign(document.createElement('span'), { className: 'n', textContent: String(k + 1).padStart(width) + '  ' }),
      lines[k] + '\n');
  }
  if (shown < lines.length) frag.append(t.moreLines(lines.length - shown));
  pre.append(t.encoding(o.info?.encoding ?? '?') + '\n', frag);
}

// ---- Run modes -------------------------------------------------------------
const mode = () => Number($('mode').value);
const launcher = (m) => KX29_DATA.launchers.find((l) => l.mode === m);

// The typed text as the command processor splits it for the batch file, as
// many values as the launcher passes on (%1, %2).
function typedArgs(m) {
  const words = $('values').value.split(/[ \t,;=]+/).filter((w) => w !== '');
  return words.slice(0, launcher(m)?.values ?? 0);
}

function run() {
  const m = mode();
  const base = page.input?.layer ?? { ox: 0, oy: 0 };
  if (!m) {
    page.output = null;
    if (page.input) page.input.layer.grey = false;
    view.layers = layersOf();
    view.draw();
    showOutput();
    showLegend();
    return;
  }
  const args = [String(m), ...typedArgs(m)];
  const t0 = performance.now();
  const r = page.kx29.run({ args, input: page.input?.bytes ?? null, settings: page.dat });
  keepSettings(r.settings);
  const data = r.output ? page.kx29.read(r.output) : null;
  page.output = { args, exitCode: r.exitCode, bytes: r.output, info: data?.info, layer: data && makeLayer(data, base.ox, base.oy) };
  page.kx29.release();
  if (page.input) page.input.layer.grey = true;
  view.layers = layersOf();
  if (!page.input) frame();
  view.draw();
  showOutput();
  showLegend();
  page.runs += 1;
  $('status').textContent = T().ran(args, r.exitCode, Math.round(performance.now() - t0));
}

function showModes() {
  const select = $('mode'), was = select.value || '0';
  select.textContent = '';
  select.append(new Option(T().noMode, '0'));
  for (const l of KX29_DATA.launchers) {
    if (l.mode) select.append(new Option(`${l.mode}　${page.lang === 'ja' ? l.title : EN.titles[l.mode]}`, String(l.mode)));
  }
  select.value = was;
  showQuestions();
}

function showQuestions() {
  const l = launcher(mode()), t = T(), list = $('questions');
  list.textContent = '';
  const en = EN.questions[mode()] || [];
  let ask = t.noValues;
  (l?.questions ?? []).forEach((q, k) => {
    const text = page.lang === 'ja' ? q.text : en[k];
    if (q.directive === 'c') { ask = text; return; }
    const who = q.directive === 'hc' ? t.prompt.hc : t.prompt.n(parseInt(q.directive, 10));
    list.append(Object.assign(document.createElement('li'), { textContent: `${who}${t.colon}${text}` }));
  });
  $('values-label').textContent = ask;
  $('values').disabled = !(l && l.values);
}

function showLegend() {
  const t = T(), legend = $('legend');
  const item = (svg, text) => `<span>${svg}${text}</span>`;
  let html = '';
  if (page.output?.layer) {
    html += item(`<svg width="24" height="10"><line x1="0" y1="5" x2="24" y2="5" stroke="${GREY}" stroke-width="1.5"/></svg>`, t.grey);
    const first = page.output.layer.colour === null ? '#0000ff' : css(page.output.layer.colour);
    html += item(`<svg width="10" height="10"><circle cx="5" cy="5" r="3.5" fill="${first}"/></svg>`, t.added);
  }
  if (page.input && page.input.layer.indicated.length) {
    html += item(`<svg width="16" height="16"><circle cx="8" cy="8" r="6" fill="none" stroke="${INDICATED}" stroke-width="1.5"/></svg>`, t.indicated);
  }
  legend.innerHTML = html;
}

// ---- Settings: the program's own dialog ------------------------------------
function keepSettings(bytes) {
  page.dat = bytes;
  try {
    if (bytes) localStorage.setItem('kx29.dat', btoa(String.fromCharCode(...bytes)));
  } catch (e) { /* storage refused: the settings last for this visit */ }
}

function showDialog() {
  const c = page.kx29.dialog(page.dat).controls, ja = page.lang === 'ja';
  page.dialog = c;
  const text = (key) => (ja ? c[key] : EN.dialog[key]);
  $('title').textContent = document.title = c.title;
  $('about').textContent = text('about');
  $('memo').textContent = (ja ? c.memo : EN.dialog.memo).join('\n');
  for (const key of ['lgrp', 'lay', 'col', 'kind']) {
    $(`${key}-label`).textContent = text(`${key}Label`);
    const select = $(key);
    select.textContent = '';
    c[key].items.forEach((item, k) => select.append(new Option(ja || key === 'kind' ? item : EN.lists[key](k), String(k))));
    select.selectedIndex = c[key].index;
  }
  $('point-label').textContent = text('point');
  $('marker-label').textContent = text('marker');
  $('point').checked = !c.markerOn;
  $('marker').checked = c.markerOn;
  $('kind').disabled = $('scale').disabled = !c.markerOn;
  $('scale-label').textContent = text('scaleLabel');
  $('scale').value = c.scale;
  $('scale').maxLength = c.scaleMax || 524288;
  drawMarkerKinds();
}

// The choices made in the panel, saved as the dialog's OK saves them.
function settingsChanged() {
  const r = page.kx29.dialog(page.dat, {
    lgrp: $('lgrp').selectedIndex, lay: $('lay').selectedIndex, col: $('col').selectedIndex,
    marker: $('marker').checked, kind: $('kind').selectedIndex, scale: $('scale').value,
  });
  keepSettings(r.settings);
  showDialog();
  if (mode()) run();
}

// The seven marker kinds at the scale chosen, the chosen one framed.
function drawMarkerKinds() {
  const canvas = $('markers'), ctx = canvas.getContext('2d'), dpr = window.devicePixelRatio || 1;
  const w = canvas.clientWidth || 276, h = canvas.clientHeight || 64, cell = w / 7;
  canvas.width = w * dpr; canvas.height = h * dpr;
  ctx.setTransform(dpr, 0, 0, dpr, 0, 0);
  ctx.clearRect(0, 0, w, h);
  const scale = Math.abs(parseFloat(page.dialog.scale)) || 0, on = page.dialog.markerOn;
  ctx.save();
  ctx.rect(0, 0, w, h);
  ctx.clip();
  for (let k = 0; k < 7; ++k) {
    const x = cell * (k + 0.5), y = h / 2 - 6;
    if (on && k === page.dialog.kind.index) {
      ctx.strokeStyle = '#1c5fb8'; ctx.lineWidth = 1.5; ctx.strokeRect(cell * k + 2, 2, cell - 4, h - 4);
    }
    ctx.save();
    ctx.beginPath(); ctx.rect(cell * k + 3, 3, cell - 6, h - 19); ctx.clip();
    ctx.beginPath();
    addMarker(ctx, k + 1, x, y, Math.min(MARKER_SIZE * scale, 200), 0);
    ctx.fillStyle = ctx.strokeStyle = on ? '#202020' : '#9aa3ad';
    ctx.lineWidth = STROKE;
    if (k === 2) ctx.fill();
    ctx.stroke();
    ctx.restore();
    ctx.fillStyle = '#5b6470';
    ctx.font = '11px IPAGothic, sans-serif';
    ctx.textAlign = 'center';
    ctx.fillText(page.dialog.kind.items[k], x, h - 5);
  }
  ctx.restore();
}

// ---- Language --------------------------------------------------------------
function showWords() {
  document.documentElement.lang = page.lang;
  for (const el of document.querySelectorAll('[data-t]')) el.textContent = T()[el.dataset.t];
  $('lang').textContent = T().lang;
  const sample = $('sample');
  sample.options[0].textContent = T().pickSample;
  showModes();
  showDialog();
  showInfo();
  showNotes();
  showOutput();
  showLegend();
}

// ---- Start -----------------------------------------------------------------
function fromBase64(s) {
  return s == null ? null : Uint8Array.from(atob(s), (c) => c.charCodeAt(0));
}

function openFile(file) {
  if (!file) return;
  const started = performance.now();
  page.state = 'reading';
  file.arrayBuffer().then((b) => open(file.name, new Uint8Array(b), started));
}

// The browser compiles code quickly at first and well only once it has run
// a while: a made-up drawing of every kind of record (data.js), read and
// made into paths at the start, lets the first file the user opens be read
// and drawn at full speed.
function warmUp() {
  const bytes = fromBase64(KX29_DATA.warmUp);
  for (let n = 0; n < 3; ++n) {
    makeLayer(page.kx29.read(bytes), 0, 0);
    page.kx29.release();
  }
}

async function start() {
  page.kx29 = await openKx29(createKx29);
  view = new View($('drawing'));
  try { page.dat = fromBase64(localStorage.getItem('kx29.dat')); } catch (e) { page.dat = null; }
  const sample = $('sample');
  sample.append(new Option('', ''));
  KX29_DATA.samples.forEach((s, k) => sample.append(new Option(s.name, String(k))));
  showWords();

  $('lang').addEventListener('click', () => { page.lang = page.lang === 'ja' ? 'en' : 'ja'; showWords(); view.draw(); });
  $('file').addEventListener('change', (e) => openFile(e.target.files[0]));
  document.addEventListener('dragover', (e) => { e.preventDefault(); document.body.classList.add('dropping'); });
  document.addEventListener('dragleave', (e) => { if (!e.relatedTarget) document.body.classList.remove('dropping'); });
  document.addEventListener('drop', (e) => {
    e.preventDefault();
    document.body.classList.remove('dropping');
    openFile(e.dataTransfer.files[0]);
  });
  sample.addEventListener('change', () => {
    const s = KX29_DATA.samples[Number(sample.value)];
    if (!s) return;
    $('mode').value = s.args[0] && launcher(Number(s.args[0])) ? s.args[0] : '0';
    $('values').value = s.args.slice(1).join(' ');
    showQuestions();
    if (s.settings) { keepSettings(fromBase64(s.settings)); showDialog(); }
    open(s.name, fromBase64(s.input));
  });
  $('mode').addEventListener('change', () => { showQuestions(); run(); });
  $('values').addEventListener('change', run);
  $('run').addEventListener('click', run);
  for (const id of ['lgrp', 'lay', 'col', 'kind', 'scale', 'point', 'marker']) {
    $(id).addEventListener('change', settingsChanged);
  }
  $('download').addEventListener('click', () => {
    const a = document.createElement('a');
    a.href = URL.createObjectURL(new Blob([page.output.bytes], { type: 'application/octet-stream' }));
    a.download = 'JWC_TEMP.TXT';
    a.click();
    setTimeout(() => URL.revokeObjectURL(a.href), 1000);
  });
  setTimeout(() => { warmUp(); page.state = 'ready'; }, 0);
}

start();
