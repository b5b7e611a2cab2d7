// The lines of an exchange file as the CAD program hands them over: which
// line is an indicated point (hp) and which lines make each figure, so that
// a run can be given the points indicated on the page and the figures
// selected there, the rest of the file kept to the byte.
//
// A line's record is found by its first field and its number of fields, in
// the order the reader tries them; a figure is its record with what binds to
// it from the lines before (attribute bits, hhp, and for a dimension msg and
// the measured line).

// Where the text starts and how wide its units are: by the byte-order mark,
// and without one as the reader takes it, UTF-16 when each of the first two
// characters has a NUL beside it (code page 932 would end there).
export function layout(b) {
  if (b[0] === 0xef && b[1] === 0xbb && b[2] === 0xbf) return { start: 3, width: 1, be: false };
  if (b[0] === 0xff && b[1] === 0xfe) return { start: 2, width: 2, be: false };
  if (b[0] === 0xfe && b[1] === 0xff) return { start: 2, width: 2, be: true };
  if (b.length >= 4 && b[0] !== 0 && b[1] === 0 && b[2] !== 0 && b[3] === 0) return { start: 0, width: 2, be: false };
  if (b.length >= 4 && b[0] === 0 && b[1] !== 0 && b[2] === 0 && b[3] !== 0) return { start: 0, width: 2, be: true };
  return { start: 0, width: 1, be: false };
}

// The lines: [from, to, end] in bytes, the text from..to, its break to end.
// A line ends at CR LF, a lone LF or a lone CR; a NUL ends the text.
export function lines(b, { start, width, be }) {
  const unit = width === 1 ? (k) => b[k] : be ? (k) => (b[k] << 8) | b[k + 1] : (k) => b[k] | (b[k + 1] << 8);
  const out = [];
  let from = start, k = start;
  const n = b.length - ((b.length - start) % width);
  while (k < n) {
    const c = unit(k);
    if (c === 0) break;
    if (c === 13 || c === 10) {
      const to = k;
      k += width;
      if (c === 13 && k < n && unit(k) === 10) k += width;
      out.push([from, to, k]);
      from = k;
    } else {
      k += width;
    }
  }
  const end = k;
  if (from < end) out.push([from, end, end]);
  return out;
}

// The first field and the number of fields of a line: spaces and tabs
// separate, a run of them once, those at the start skipped, one at the end
// leaving an empty field; a quote or the first "=" ends the splitting;
// control characters count for nothing.
export function fields(s) {
  const tokens = [];
  let cur = null;  // the token under way
  const rest = (k) => s.slice(k).replace(/[\x00-\x1f]/g, '');
  for (let k = 0; k < s.length; ++k) {
    const ch = s[k];
    if (ch === ' ' || ch === '\t') {
      if (cur !== null) { tokens.push(cur); cur = null; }
      continue;
    }
    if (s.charCodeAt(k) < 0x20) continue;
    if (ch === '"') { cur = (cur ?? '') + rest(k + 1); break; }
    if (ch === '=') { cur = (cur ?? '') + rest(k); break; }
    cur = (cur ?? '') + ch;
  }
  if (cur !== null || tokens.length) tokens.push(cur ?? '');
  return { t0: tokens[0] ?? '', n: Math.max(tokens.length, 1) };
}

const TEXTS = new Set(['ch', 'cv', 'cs', 'cr', 'co', 'cp', 'ct', 'ck', 'cz', 'c2']);
const HEADER = { hk: 2, hs: 17, hzs: 3, hcw: 11, hch: 11, hcd: 11, hcc: 11, bz: 0, hn: 5, hrgb: 9 };
const STARTS = ['lgn', 'lyn', 'lg', 'ly', 'lc', 'lt', 'lw', 'cn$', 'cn', 'cc'];

// What a line is: 'hp', 'figure', 'text' (a figure, or a dimension's text),
// 'bare' (a line segment, or a dimension's line), 'bind' (binds to the next
// figure: z1-z5, hhp), 'msg', or 'other' (kept as it is).
export function kindOf(t0, n) {
  if (t0.includes('file=')) return 'other';
  if (t0 in HEADER) { if (n >= HEADER[t0]) return 'other'; }
  if (STARTS.some((k) => t0.startsWith(k))) return 'other';
  if (/^z[1-5]$/.test(t0)) return 'bind';
  if (t0.startsWith('pn') || t0 === 'pl' || t0 === '#') return 'other';
  if (t0 === 'msg') return 'msg';
  if (t0.startsWith('hp') && n >= 3) return 'hp';
  if (t0.startsWith('hhp')) return 'bind';
  if (t0 === 'ci' && (n === 4 || n >= 8)) return 'figure';
  if (TEXTS.has(t0) && n >= 6) return 'text';
  if (t0 === 'pt' && (n === 3 || n >= 6)) return 'figure';
  if (t0 === 'BL' && n >= 4) return 'figure';
  if (t0 === 'sl' && (n === 5 || n === 7 || n >= 9)) return 'figure';
  if (['sc', 'se', 'so', 'sg'].includes(t0) && n >= 9) return 'figure';
  if (n === 4) return 'bare';
  return 'other';
}

// Reads the file's lines: for each line the figure it belongs to (-1: none),
// 'hp' lines marked -2; and for each figure its main line (1-based) and
// that line's bytes.
export function figures(b) {
  const lay = layout(b), all = lines(b, lay);
  const decode = lay.width === 2 ? new TextDecoder(lay.be ? 'utf-16be' : 'utf-16le') : null;
  const owner = new Int32Array(all.length).fill(-1);
  const main = [];
  let bound = [], dim = false, held = -1;
  const take = (k, extra) => {
    const f = main.length / 3;
    for (const j of bound) owner[j] = f;
    for (const j of extra) owner[j] = f;
    owner[k] = f;
    main.push(k + 1, all[k][0], all[k][1]);
    bound = [];
  };
  for (let k = 0; k < all.length; ++k) {
    const [from, to] = all[k];
    let s;
    if (decode) s = decode.decode(b.subarray(from, to));
    else {  // separators are ASCII; other bytes only need to be no separator
      s = '';
      for (let j = from; j < to; ++j) s += b[j] < 0x80 ? String.fromCharCode(b[j]) : 'x';
    }
    const { t0, n } = fields(s);
    if (t0 === '' && n === 1) continue;
    const kind = kindOf(t0, n);
    if (kind === 'hp') { owner[k] = -2; continue; }
    if (kind === 'bind') { bound.push(k); continue; }
    if (kind === 'msg') { dim = true; held = -1; bound.push(k); continue; }
    if (kind === 'bare' && dim && held < 0) { held = k; continue; }
    if (kind === 'text' && t0 === 'cs' && held >= 0) { take(k, [held]); dim = false; held = -1; continue; }
    if (kind === 'figure' || kind === 'text' || kind === 'bare') {
      dim = false; held = -1;
      take(k, []);
    }
  }
  return { lay, lines: all, owner, main: Int32Array.from(main), count: main.length / 3 };
}

// A number as the file writes it: the shortest text that reads back the
// same, never with an exponent.
export function numberText(v) {
  if (Object.is(v, -0)) v = 0;
  const s = String(v);
  if (!/e/i.test(s)) return s;
  return v.toFixed(20).replace(/\.?0+$/, '');
}

// The file given to a run: the points as its hp records, in place of the
// file's own (where the first of them stood, else before the first figure),
// and of the figures only those selected (selected[f] != 0); every other
// line as it is. selected null keeps every figure.
export function runInput(b, fig, points, selected) {
  const { lay, lines: all, owner } = fig;
  const crlf = lay.width === 1 ? [13, 10] : lay.be ? [0, 13, 0, 10] : [13, 0, 10, 0];
  const hp = [];
  for (const p of points) {
    for (const ch of `hp${p.n} ${numberText(p.x)} ${numberText(p.y)}`) {
      const c = ch.charCodeAt(0);
      if (lay.width === 1) hp.push(c);
      else if (lay.be) hp.push(0, c);
      else hp.push(c, 0);
    }
    hp.push(...crlf);
  }
  const parts = [b.subarray(0, lay.start)];
  let placed = false;
  const place = () => { if (!placed) { parts.push(Uint8Array.from(hp)); placed = true; } };
  for (let k = 0; k < all.length; ++k) {
    const o = owner[k], [from, , end] = all[k];
    if (o === -2) { place(); continue; }
    if (o >= 0) {
      place();
      if (selected && !selected[o]) continue;
    }
    parts.push(b.subarray(from, end));
  }
  place();
  const out = new Uint8Array(parts.reduce((a, p) => a + p.length, 0));
  let at = 0;
  for (const p of parts) { out.set(p, at); at += p.length; }
  return out;
}
