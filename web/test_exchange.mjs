// The page's matching of an exchange file's lines with its figures
// (page/exchange.js) against the library's reader built for node
// (read-dump.js): on every end-to-end case's files, the reader's fuzz seeds,
// the example and generated drawings in three encodings, the figures found
// must be as many as the reader's entities, and a run's file made with the
// file's own points and every figure must be the file itself with its hp
// lines where they stood.
//
//   node web/test_exchange.mjs [WEB_BUILD]      (default build-web)
//
// Skipped without the build, except under CI=true, where it fails.
import { execFileSync } from 'node:child_process';
import { existsSync, mkdtempSync, readdirSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';
import { figures, runInput, layout, lines } from './page/exchange.js';

const root = resolve(dirname(fileURLToPath(import.meta.url)), '..');
const web = resolve(process.argv[2] ?? join(root, 'build-web'));
const dump = join(web, 'read-dump.js');
if (!existsSync(dump)) {
  if (process.env.CI === 'true') { console.error(`exchange test: FAIL: ${dump} is not built`); process.exit(1); }
  console.log(`exchange test: skipped: ${dump} is not built`);
  process.exit(0);
}

const files = [join(root, 'examples/JWC_TEMP.TXT')];
for (const d of readdirSync(join(root, 'tests/golden'))) {
  for (const f of ['JWC_TEMP.TXT', 'expected.TXT']) {
    if (existsSync(join(root, 'tests/golden', d, f))) files.push(join(root, 'tests/golden', d, f));
  }
}
for (const f of readdirSync(join(root, 'fuzz/corpus/reader'))) files.push(join(root, 'fuzz/corpus/reader', f));
const made = [];
for (const encoding of ['cp932', 'utf8-bom', 'utf16le-bom']) {
  made.push([`generated ${encoding}`, execFileSync('python3', [join(root, 'bench/gen_drawing.py'), '-', '-n', '3000',
    '--encoding', encoding, '--hp-at', 'head'], { maxBuffer: 1 << 26 })]);
}
// UTF-16 without its mark, in both byte orders, as the reader takes it.
const le = made[2][1].subarray(2);
made.push(['generated UTF-16LE without its mark', le], ['generated UTF-16BE without its mark', Buffer.from(le).swap16()]);

const failures = [];
let checked = 0, unreadable = 0, roundTrips = 0;
const work = mkdtempSync(join(tmpdir(), 'kx29exchange.')), file = join(work, 'JWC_TEMP.TXT');
const cases = files.map((f) => [f.slice(root.length + 1), readFileSync(f)]).concat(made);
for (const [name, bytes] of cases) {
  let entities;
  try {
    writeFileSync(file, bytes);
    const out = execFileSync('node', [dump, file], { maxBuffer: 1 << 28, stdio: ['ignore', 'pipe', 'ignore'] }).toString();
    entities = JSON.parse(out.slice(0, out.indexOf('\n'))).entities;
  } catch (e) {
    unreadable += 1;  // nothing to match
    continue;
  }
  const b = new Uint8Array(bytes), fig = figures(b);
  checked += 1;
  if (fig.count !== entities) failures.push(`${name}: ${fig.count} figures matched, the reader has ${entities}`);
  // The file's own hp lines, as they stand, and every figure: the same bytes.
  const lay = layout(b), all = lines(b, lay);
  const decode = new TextDecoder(lay.width === 2 ? (lay.be ? 'utf-16be' : 'utf-16le') : 'latin1');
  const own = [];
  all.forEach(([from, to], k) => {
    if (fig.owner[k] !== -2) return;
    const m = /^hp(\d+)\S*\s+(\S+)\s+(\S+)/.exec(decode.decode(b.subarray(from, to)));
    own.push(m && String(Number(m[2])) === m[2] && String(Number(m[3])) === m[3] && /^\d+$/.test(m[1]) ? m : null);
  });
  if (own.some((m) => m === null)) continue;  // hp lines the page would write otherwise
  const again = runInput(b, fig, own.map((m) => ({ n: Number(m[1]), x: Number(m[2]), y: Number(m[3]) })), null);
  const crlf = all.filter(([, to, end], k) => fig.owner[k] === -2 && end - to !== 2 * lay.width).length === 0;
  const plain = own.every((m) => m[0] === `hp${m[1]} ${m[2]} ${m[3]}`);
  if (crlf && plain) roundTrips += 1;
  if (crlf && plain && Buffer.compare(Buffer.from(again), bytes.subarray(0, again.length)) !== 0) {
    failures.push(`${name}: the run's file with its own points and every figure differs from the file`);
  }
}
rmSync(work, { recursive: true, force: true });
for (const f of failures) console.log(`FAIL ${f}`);
console.log(`exchange test: ${checked} files (${unreadable} the reader refuses), ${roundTrips} written back the same, ${failures.length ? 'FAILED' : 'passed'}`);
process.exit(failures.length ? 1 : 0);
