// The page: an exchange file drawn as the CAD program hands it to kx29, the
// points and figures the run gets indicated and selected on it, a run mode
// run by the program itself in a worker, what the run added drawn in colour
// over the drawing and the rewritten file beside it.
import { page, $ } from './state.js';
import { WORDS, EN, T } from './words.js';
import { KX29_DATA } from './source.js';
import { call, restart, workerGeneration } from './worker.js';
import { View, makeLayer, css, GREY, INDICATED, SELECTED, STROKE, MARKER_SIZE, addMarker } from './draw.js';
import { snap, figureAt, figuresIn, outline } from './pick.js';
import { layout } from './exchange.js';
import { viewSvg } from './svg.js';

let view;
const SNAP_PX = 8, PICK_PX = 6;

// ---- Status, messages and being busy ---------------------------------------
// The status line is a function of the words, so that it follows the language.
function status(say, alert = false) {
  page.status = say;
  const el = $('status');
  el.textContent = say ? say(T()) : '';
  el.classList.toggle('alert', alert);
}

// Runs work in the worker with the busy line and its cancel button shown;
// every failure ends up on the page. Gives the result, or undefined when
// the work failed or was cancelled.
async function busy(kind, work) {
  $('busy-text').textContent = T().busy[kind];
  $('busy').hidden = false;
  try {
    return await work();
  } catch (e) {
    if (e.message === 'cancelled') status((t) => t.cancelled);
    else if (e.uncaught) status((t) => t.failed(t.uncaught(e.memoryMB)), true);
    else status((t) => t.failed(e.message), true);
    if (e.message !== 'cancelled') restart();  // the next call gets a sound module
    return undefined;
  } finally {
    $('busy').hidden = true;
  }
}

function cancel() {
  restart();  // the module with what it held goes; the next call starts afresh
  page.state = page.input ? 'drawn' : 'ready';
}

// ---- The file --------------------------------------------------------------
// What a file that cannot be an exchange file is: an image, or other binary
// data. The reader would take such bytes for an empty or garbled drawing.
// UTF-16 is read as the reader reads it, with or without its mark (the
// reader notes a missing one).
function notExchange(b) {
  const head = [...b.subarray(0, 8)];
  const starts = (...m) => m.every((v, k) => head[k] === v);
  if (starts(0x89, 0x50, 0x4e, 0x47) || starts(0xff, 0xd8, 0xff) || starts(0x47, 0x49, 0x46, 0x38) ||
      starts(0x42, 0x4d) || starts(0x52, 0x49, 0x46, 0x46) || starts(0x25, 0x50, 0x44, 0x46)) return 'image';
  const lay = layout(b);
  if (lay.width === 2) {
    if (lay.start) return null;  // its mark says what it is
    // Without a mark, UTF-16 text is mostly characters: data of other kinds
    // that happens to begin with two NULs in turn is mostly control codes.
    const n = Math.min(b.length >> 1, 2048);
    let controls = 0;
    for (let k = 0; k < n; ++k) {
      const c = lay.be ? (b[2 * k] << 8) | b[2 * k + 1] : b[2 * k] | (b[2 * k + 1] << 8);
      if (c < 0x20 && c !== 9 && c !== 10 && c !== 13) controls += 1;
    }
    return controls > n / 8 ? 'binary' : null;
  }
  // A NUL ends the text: the reader stops there, and at the start there is
  // nothing to read.
  return b.length && b[0] === 0 ? 'binary' : null;
}

// file: the bytes as the File they came from, if they did, which is what
// goes to the worker (a File is handed over without copying its bytes, where
// a copy of a 1e6 drawing's 52 MB held the page up to 150 ms).
async function open(name, bytes, started = performance.now(), file = null) {
  page.state = 'reading';
  page.output = null;
  showOutput();
  const why = notExchange(bytes);
  if (why) {
    forget();
    $('file-info').textContent = T().notExchange(name, T().why[why]);
    status((t) => t.notExchange(name, t.why[why]), true);
    page.state = 'unreadable';
    return;
  }
  restart();  // a fresh module for each file: the last one's memory goes with it
  const t0 = performance.now();
  const data = await busy('read', () => call('read', { bytes: file ?? bytes, keep: true }));
  const holder = workerGeneration();  // the worker that holds the bytes
  if (data === undefined) { forget(); page.state = 'failed'; return; }
  const t1 = performance.now();
  if (!data) {
    forget();
    $('file-info').textContent = T().unreadable(name);
    page.state = 'unreadable';
    return;
  }
  const box = data.info.box;
  const mid = box ? [(box[0] + box[2]) / 2, (box[1] + box[3]) / 2] : [0, 0];
  const layer = await makeLayer(data, ...mid);
  page.input = { name, bytes, file, info: data.info, layer, figures: null, worker: holder };
  // The file's own indicated points and selection (every figure in it) to start with.
  page.points = [...layer.indicated].map((i) => ({ n: layer.r[i + 2], x: layer.r[i + 3], y: layer.r[i + 4], how: 'file' }));
  page.selected = new Uint8Array(layer.figures.length).fill(1);
  page.edited = false;
  page.measure = null;
  const t2 = performance.now();
  view.layers = [layer];
  frame();  // fits and draws
  const t3 = performance.now();
  $('empty').hidden = true;
  showInfo(); showNotes(); showLegend(); showPickText(); showLayers();
  await new Promise((done) => requestAnimationFrame(done));
  const ms = (a, b) => Math.round(b - a);
  page.timing = { file: ms(started, t0), read: ms(t0, t1), library: Math.round(data.info.readMs ?? 0),
    build: ms(t1, t2), draw: ms(t2, t3), shown: ms(t3, performance.now()),
    total: ms(started, performance.now()), entities: data.info.entities, started };
  status((t) => t.timing(page.timing));
  page.state = 'drawn';
  // Which lines make which figure, for selecting them and showing their line.
  call('figures', kept(page.input) ? {} : { bytes: file ?? bytes }).then((f) => {
    if (page.input?.bytes !== bytes) return;
    page.input.figures = { main: f.main, ok: f.count === layer.figures.length };
    showPickText();  // nothing drawn changes: a big drawing is not drawn again
  }, () => {});
}

// Whether the worker still holds the file's bytes (a cancel or a failure
// starts another): a big file is then not copied to it again.
const kept = (input) => !!input && input.worker === workerGeneration();

function forget() {
  page.input = null;
  page.points = [];
  page.selected = null;
  view.layers = [];
  view.draw();
  showNotes(); showLegend(); showPickText(); showLayers();
}

function frame() {
  view.fit([page.input?.info.box, page.input?.layer.indicatedBox, page.output?.info?.box]);
  view.draw();
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
  $('message').textContent = '';
  if (!o) return;
  const added = o.info?.entities ?? 0;
  $('message').textContent = `${t.ran(o.args, o.exitCode, o.ms)}${t.colon}${o.bytes && added ? t.drew(added) : t.drewNothing}`;
  $('message').classList.toggle('nothing', !(o.bytes && added));
  // The program's own messages, as it printed them.
  if (o.messages) $('message').textContent += `\n${o.messages}`;
  if (!o.bytes) { pre.textContent = t.noOutput; return; }
  // The first thousand lines: as many as anyone reads here, and more would
  // hold the page up laying them out (the download has them all).
  const lines = o.text.split('\r\n', 1001);
  const count = (o.text.match(/\r\n/g) || []).length + (o.text === '' || o.text.endsWith('\r\n') ? 0 : 1);
  if (lines[lines.length - 1] === '') lines.pop();
  const shown = Math.min(lines.length, 1000), width = String(shown).length;
  // The numbers as one column beside the lines: two text nodes for the
  // page to lay out, not two for each line.
  const numbers = Object.assign(document.createElement('span'), { className: 'n',
    textContent: Array.from({ length: shown }, (_, k) => String(k + 1).padStart(width) + '  ').join('\n') });
  pre.append(t.encoding(o.info?.encoding ?? '?') + '\n', numbers, lines.slice(0, shown).join('\n') + '\n');
  if (shown < count) pre.append(t.moreLines(count - shown));
}

// ---- Points and figures ----------------------------------------------------
const fmt = (v) => String(Math.round(v * 1000) / 1000);

function showPicks() {
  showPickText();
  view.draw();
}

// The points and the selection in words, the picture left as it is.
function showPickText() {
  const t = T(), list = $('point-list');
  list.textContent = '';
  for (const p of page.points) {
    list.append(Object.assign(document.createElement('li'),
      { textContent: `${p.n}${t.colon}${fmt(p.x)}, ${fmt(p.y)}${p.how === 'file' ? '' : `（${t.snap[p.how]}）`}` }));
  }
  if (!page.points.length) list.append(Object.assign(document.createElement('li'), { textContent: t.noPoints }));
  const all = page.selected?.length ?? 0;
  let n = 0;
  for (let k = 0; k < all; ++k) n += page.selected[k];
  $('selection').textContent = t.selection(n, all);
  const f = page.input?.figures;
  $('cannot-select').textContent = f && !f.ok ? t.cannotSelect : '';
}

// The layer groups and layers that hold figures, by their names in the
// file, each with a switch; a group's switch turns all its layers.
function showLayers() {
  const box = $('layer-list'), t = T(), l = page.input?.layer;
  box.textContent = '';
  if (!l || !l.figureLays) return;
  // Counted once per drawing: a switch turned lists the layers again.
  if (!l.layerCount) {
    const lays = l.figureLays, count = l.layerCount = new Int32Array(256);
    for (let k = 0; k < lays.length; ++k) count[lays[k]] += 1;
  }
  const count = l.layerCount;
  const names = (list) => new Map(list ?? []);
  const groupNames = names(page.input.info.groupNames), layerNames = names(page.input.info.layerNames);
  l.hidden = l.hidden ?? new Uint8Array(256);
  const hex = (k) => '0123456789ABCDEF'[k];
  const box1 = (text, on, change) => {
    const label = document.createElement('label'), input = document.createElement('input');
    input.type = 'checkbox';
    input.checked = on;
    input.addEventListener('change', () => { change(input.checked); view.draw(); showLayers(); });
    label.append(input, ' ', text);
    return label;
  };
  for (let g = 0; g < 16; ++g) {
    const inGroup = count.slice(g * 16, g * 16 + 16).reduce((a, n) => a + n, 0);
    if (!inGroup) continue;
    const head = document.createElement('div');
    head.className = 'group';
    const on = [...Array(16).keys()].some((k) => count[g * 16 + k] && !l.hidden[g * 16 + k]);
    head.append(box1(t.group(hex(g), groupNames.get(g), inGroup), on, (v) => l.hidden.fill(v ? 0 : 1, g * 16, g * 16 + 16)));
    const ul = document.createElement('ul');
    for (let k = 0; k < 16; ++k) {
      const lay = g * 16 + k;
      if (!count[lay]) continue;
      const li = document.createElement('li');
      li.append(box1(t.layer(hex(k), layerNames.get(lay), count[lay]), !l.hidden[lay], (v) => { l.hidden[lay] = v ? 0 : 1; }));
      ul.append(li);
    }
    box.append(head, ul);
  }
}

function edited() {
  page.edited = true;
  showPicks();
}

// A figure's line of the file and the line's text, for showing.
function figureLine(f) {
  const fig = page.input?.figures;
  if (!fig || !fig.ok) return null;
  const [line, from, to] = fig.main.subarray(3 * f, 3 * f + 3);
  const enc = { CP932: 'shift_jis', 'UTF-8': 'utf-8', 'UTF-16LE': 'utf-16le', 'UTF-16BE': 'utf-16be' }[page.input.info.encoding] || 'shift_jis';
  return [line, new TextDecoder(enc).decode(page.input.bytes.subarray(from, to))];
}

function showFigure(f) {
  const t = T();
  const at = f < 0 ? null : figureLine(f);
  $('figure').textContent = f < 0 ? t.noFigure : at ? t.figure(...at) : '';
}

const handlers = {
  boxing: () => page.tool === 'select' && !!page.input,
  hover: (x, y) => { $('cursor').textContent = T().cursor(fmt(x), fmt(y)); },
  fit: () => frame(),
  click(x, y) {
    const l = page.input?.layer;
    if (!l) return;
    if (page.tool === 'point') {
      const p = snap(l, x, y, SNAP_PX / view.s);
      page.points.push({ n: page.points.reduce((m, q) => Math.max(m, q.n), 0) + 1, x: p.x, y: p.y, how: p.how });
      edited();
    } else if (page.tool === 'measure') {
      const p = snap(l, x, y, SNAP_PX / view.s);
      page.measure = page.measure && page.measure.length === 1 ? [page.measure[0], p] : [p];
      showMeasure();
      view.draw();
    } else {
      const f = figureAt(l, x, y, PICK_PX / view.s);
      showFigure(f);
      if (page.tool === 'select' && f >= 0 && page.input.figures?.ok) {
        page.selected[f] ^= 1;
        edited();
      }
    }
  },
  box(b) {
    if (!page.input?.figures?.ok) return;
    page.selected.fill(0);
    for (const f of figuresIn(page.input.layer, b)) page.selected[f] = 1;
    edited();
  },
};

function showMeasure() {
  const m = page.measure, t = T();
  if (!m) { $('measure').textContent = ''; return; }
  if (m.length === 1) { $('measure').textContent = t.measureNext; return; }
  const d = Math.hypot(m[1].x - m[0].x, m[1].y - m[0].y);
  $('measure').textContent = t.measured(fmt(d), `${fmt(m[0].x)}, ${fmt(m[0].y)}`, `${fmt(m[1].x)}, ${fmt(m[1].y)}`);
}

// Over the drawing: the selected figures when not all are.
function underlay(ctx) {
  const l = page.input?.layer;
  if (l && page.selected && page.edited) {
    ctx.strokeStyle = SELECTED;
    ctx.globalAlpha = 0.6;
    ctx.lineWidth = 4;
    ctx.lineJoin = 'round';
    ctx.beginPath();
    let shown = 0;
    for (let f = 0; f < page.selected.length && shown < 20000; ++f) {
      if (!page.selected[f]) continue;
      shown += 1;
      const o = outline(l.all, l.figures[f]).map((p) => view.screen(...p));
      if (o.length === 1) { ctx.moveTo(o[0][0] + 6, o[0][1]); ctx.arc(o[0][0], o[0][1], 6, 0, 2 * Math.PI); continue; }
      o.forEach((p, k) => (k ? ctx.lineTo(...p) : ctx.moveTo(...p)));
    }
    ctx.stroke();
    ctx.globalAlpha = 1;
  }
}

// Over everything: the indicated points with their numbers, a measured
// distance, the box being drawn.
function overlay(ctx) {
  ctx.lineWidth = STROKE;
  ctx.font = 'bold 13px IPAPGothic, sans-serif';
  for (const p of page.points) {
    const [x, y] = view.screen(p.x, p.y);
    ctx.strokeStyle = INDICATED;
    ctx.lineWidth = STROKE;
    ctx.beginPath();
    ctx.arc(x, y, 6, 0, 2 * Math.PI);
    ctx.stroke();
    ctx.lineWidth = 3;
    ctx.strokeStyle = '#ffffff';
    ctx.strokeText(String(p.n), x + 7, y - 7);
    ctx.fillStyle = INDICATED;
    ctx.fillText(String(p.n), x + 7, y - 7);
  }
  if (page.measure?.length === 2) {
    const [a, b] = page.measure.map((p) => view.screen(p.x, p.y));
    ctx.strokeStyle = '#7c3aed';
    ctx.lineWidth = 1.5;
    ctx.setLineDash([6, 4]);
    ctx.beginPath(); ctx.moveTo(...a); ctx.lineTo(...b); ctx.stroke();
    ctx.setLineDash([]);
  }
  if (view.box) {
    const [[x1, y1], [x2, y2]] = view.box;
    ctx.strokeStyle = SELECTED;
    ctx.lineWidth = 1;
    ctx.setLineDash([5, 3]);
    ctx.strokeRect(Math.min(x1, x2), Math.min(y1, y2), Math.abs(x2 - x1), Math.abs(y2 - y1));
    ctx.setLineDash([]);
  }
}

// ---- Run modes -------------------------------------------------------------
const mode = () => Number($('mode').value);
const launcher = (m) => KX29_DATA.launchers.find((l) => l.mode === m);

// The typed text as the command processor splits it for the batch file, as
// many values as the launcher passes on (%1, %2).
function typedArgs(m) {
  const words = (page.values[m] ?? '').split(/[ \t,;=]+/).filter((w) => w !== '');
  return words.slice(0, launcher(m)?.values ?? 0);
}

async function run() {
  const m = mode();
  if (!m) {
    page.output = null;
    if (page.input) page.input.layer.grey = false;
    view.layers = page.input ? [page.input.layer] : [];
    view.draw();
    showOutput(); showLegend();
    return;
  }
  page.values[m] = $('values').value;
  const args = [String(m), ...typedArgs(m)];
  const i = page.input;
  const pick = i && page.edited;
  const r = await busy('run', () => call('run', {
    args, input: i && !kept(i) ? i.file ?? i.bytes : null, kept: kept(i), settings: page.dat,
    points: pick ? page.points.map(({ n, x, y }) => ({ n, x, y })) : null,
    selected: pick && i.figures?.ok ? page.selected : null,
  }));
  if (!r) { page.state = 'run-failed'; return; }  // failed or cancelled: said on the status line
  keepSettings(r.settings);
  const base = i?.layer ?? { ox: 0, oy: 0 };
  const t0 = performance.now();
  page.output = { args, exitCode: r.exitCode, bytes: r.output, info: r.data?.info, text: r.text, messages: r.messages,
    ms: Math.round(r.ms), layer: r.data && await makeLayer(r.data, base.ox, base.oy) };
  const t1 = performance.now();
  if (i) i.layer.grey = true;
  view.layers = [i?.layer, page.output.layer].filter(Boolean);
  if (!i) frame();
  view.draw();
  const t2 = performance.now();
  showOutput(); showLegend();
  page.output.timing = { build: Math.round(t1 - t0), draw: Math.round(t2 - t1), shown: Math.round(performance.now() - t2) };
  page.runs += 1;
  status((t) => t.ran(args, r.exitCode, Math.round(r.ms)));
  page.state = 'ran';
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

// The questions of the mode's launcher; its value box with the value typed
// for this mode (empty at first) and the question as its hint.
function showQuestions() {
  const m = mode(), l = launcher(m), t = T(), list = $('questions');
  list.textContent = '';
  const en = EN.questions[m] || [];
  let ask = t.noValues;
  (l?.questions ?? []).forEach((q, k) => {
    const text = page.lang === 'ja' ? q.text : en[k];
    if (q.directive === 'c') { ask = text; return; }
    const who = q.directive === 'hc' ? t.prompt.hc : t.prompt.n(parseInt(q.directive, 10));
    list.append(Object.assign(document.createElement('li'), { textContent: `${who}${t.colon}${text}` }));
  });
  $('values-label').textContent = ask;
  $('values').placeholder = l && l.values ? ask : '';
  $('values').value = page.values[m] ?? '';
  $('values').disabled = !(l && l.values);
  $('run').disabled = !m;
}

function showLegend() {
  const t = T(), legend = $('legend');
  const item = (svg, text) => `<span>${svg}${text}</span>`;
  let html = '';
  if (page.output?.layer) {
    html += item(`<svg width="24" height="10" aria-hidden="true"><line x1="0" y1="5" x2="24" y2="5" stroke="${GREY}" stroke-width="1.5"/></svg>`, t.grey);
    const first = page.output.layer.colour === null ? '#0000ff' : css(page.output.layer.colour);
    html += item(`<svg width="10" height="10" aria-hidden="true"><circle cx="5" cy="5" r="3.5" fill="${first}"/></svg>`, t.added);
  }
  if (page.points.length) {
    html += item(`<svg width="16" height="16" aria-hidden="true"><circle cx="8" cy="8" r="6" fill="none" stroke="${INDICATED}" stroke-width="1.5"/></svg>`, t.indicated);
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

async function showDialog() {
  const r = await busy('start', () => call('dialog', { settings: page.dat, choice: null }));
  if (!r) return;
  const c = r.controls, ja = page.lang === 'ja';
  page.dialog = c;
  const text = (key) => (ja ? c[key] : EN.dialog[key]);
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
  showTitle();
}

function showTitle() {
  const name = page.dialog?.title ?? 'kx29';
  $('title').textContent = name;
  document.title = page.lang === 'ja' ? name : `${name}: points for Jw_cad`;
}

// The choices made in the panel, saved as the dialog's OK saves them; the
// next run takes them.
async function settingsChanged() {
  const r = await busy('start', () => call('dialog', { settings: page.dat, choice: {
    lgrp: $('lgrp').selectedIndex, lay: $('lay').selectedIndex, col: $('col').selectedIndex,
    marker: $('marker').checked, kind: $('kind').selectedIndex, scale: $('scale').value,
  } }));
  if (!r) return;
  keepSettings(r.settings);
  await showDialog();
  page.settingsSaved = (page.settingsSaved ?? 0) + 1;
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
    ctx.fillStyle = ctx.strokeStyle = on ? '#202020' : '#767676';
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
async function showWords() {
  const t = T();
  document.documentElement.lang = page.lang;
  for (const el of document.querySelectorAll('[data-t]')) el.textContent = t[el.dataset.t];
  for (const el of document.querySelectorAll('[data-tool]')) el.textContent = t.tool[el.dataset.tool];
  $('lang').textContent = t.lang;
  $('drawing').setAttribute('aria-label', t.drawingLabel);
  $('markers').setAttribute('aria-label', t.markersLabel);
  $('sample').options[0].textContent = t.pickSample;
  showModes();
  showInfo(); showNotes(); showOutput(); showLegend(); showPicks(); showMeasure(); showLayers();
  status(page.status, $('status').classList.contains('alert'));
  await showDialog();
}

// ---- Start -----------------------------------------------------------------
function fromBase64(s) {
  return s == null ? null : Uint8Array.from(atob(s), (c) => c.charCodeAt(0));
}

function openFile(file) {
  if (!file) return;
  const started = performance.now();
  page.state = 'reading';
  file.arrayBuffer().then((b) => open(file.name, new Uint8Array(b), started, file),
    (e) => status((t) => t.failed(e.message), true));
}

function save(blob, name) {
  const a = document.createElement('a');
  a.href = URL.createObjectURL(blob);
  a.download = name;
  a.click();
  setTimeout(() => URL.revokeObjectURL(a.href), 1000);
}

// The browser compiles code quickly at first and well only once it has run
// a while: a made-up drawing of every kind of record (data.js), read and
// made into paths at the start, lets the first file the user opens be drawn
// at full speed.
async function warmUp() {
  const data = await call('read', { bytes: fromBase64(KX29_DATA.warmUp), notes: false });
  for (let n = 0; n < 3; ++n) await makeLayer(data, 0, 0);
}

async function start() {
  view = new View($('drawing'), handlers);
  view.overlay = overlay;
  view.underlay = underlay;
  page.view = view;
  try { page.dat = fromBase64(localStorage.getItem('kx29.dat')); } catch (e) { page.dat = null; }
  const sample = $('sample');
  sample.append(new Option('', ''));
  KX29_DATA.samples.forEach((s, k) => sample.append(new Option(s.name, String(k))));
  restart();
  await showWords();

  $('lang').addEventListener('click', async () => { page.lang = page.lang === 'ja' ? 'en' : 'ja'; await showWords(); });
  $('open').addEventListener('click', () => $('file').click());
  $('file').addEventListener('change', (e) => { openFile(e.target.files[0]); e.target.value = ''; });
  document.addEventListener('dragover', (e) => { e.preventDefault(); document.body.classList.add('dropping'); });
  document.addEventListener('dragleave', (e) => { if (!e.relatedTarget) document.body.classList.remove('dropping'); });
  document.addEventListener('drop', (e) => {
    e.preventDefault();
    document.body.classList.remove('dropping');
    openFile(e.dataTransfer.files[0]);
  });
  sample.addEventListener('change', async () => {
    const s = KX29_DATA.samples[Number(sample.value)];
    if (!s) return;
    const m = s.args[0] && launcher(Number(s.args[0])) ? s.args[0] : '0';
    page.values[m] = s.args.slice(1).join(' ');
    $('mode').value = m;
    showQuestions();
    if (s.settings) { keepSettings(fromBase64(s.settings)); await showDialog(); }
    open(s.name, fromBase64(s.input));
  });
  $('mode').addEventListener('change', showQuestions);
  $('values').addEventListener('input', () => { page.values[mode()] = $('values').value; });
  $('values').addEventListener('keydown', (e) => { if (e.key === 'Enter' && !e.isComposing) run(); });
  $('run').addEventListener('click', run);
  $('cancel').addEventListener('click', cancel);
  for (const id of ['lgrp', 'lay', 'col', 'kind', 'point', 'marker']) $(id).addEventListener('change', settingsChanged);
  $('scale').addEventListener('change', settingsChanged);
  $('download').addEventListener('click', () => save(new Blob([page.output.bytes], { type: 'application/octet-stream' }), 'JWC_TEMP.TXT'));
  $('fit').addEventListener('click', frame);
  $('png').addEventListener('click', () => $('drawing').toBlob((b) => save(b, 'kx29.png'), 'image/png'));
  $('svg').addEventListener('click', () => save(new Blob([viewSvg(view, { points: page.points })], { type: 'image/svg+xml' }), 'kx29.svg'));
  $('clear-points').addEventListener('click', () => { page.points = []; edited(); showLegend(); });
  $('select-all').addEventListener('click', () => { page.selected?.fill(1); edited(); });
  $('select-none').addEventListener('click', () => { page.selected?.fill(0); edited(); });
  for (const el of document.querySelectorAll('input[name=tool]')) {
    el.addEventListener('change', () => { page.tool = el.value; page.measure = null; showMeasure(); view.draw(); });
  }
  await busy('start', warmUp);
  page.state = 'ready';
}

Object.defineProperty(window, 'kx29Page', { value: page });  // the tests' view of the page
start().catch((e) => status((t) => t.failed(e.message), true));
