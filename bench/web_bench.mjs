// The measurements of run_web.sh in headless Chromium:
//   node bench/web_bench.mjs PAGE RUNS FILE...
// For each file, RUNS fresh pages each given it through the file input:
// the page's own timing from the file's arrival to the finished picture
// (read, paths made, drawn, the frame shown). For the last file, RUNS more
// readings in one page by the library alone, as bench_reader reads (no
// notes), and with the page's notes and records.
import { dirname, join } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';

const driver = join(dirname(fileURLToPath(import.meta.url)), '../web/node_modules/playwright-core/index.mjs');
const { chromium } = await import(pathToFileURL(driver).href);
const [pageFile, runsText, ...files] = process.argv.slice(2);
const runs = Number(runsText);
const median = (v) => [...v].sort((a, b) => a - b)[Math.floor(v.length / 2)];
const browser = await chromium.launch({
  executablePath: '/usr/bin/chromium',
  args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking', '--disable-component-update', '--no-first-run'],
});

async function fresh() {
  const page = await browser.newPage({ viewport: { width: 1400, height: 860 } });
  page.on('pageerror', (e) => { throw e; });
  await page.goto(pathToFileURL(pageFile).href);
  await page.waitForFunction(() => window.kx29Page.state === 'ready');
  return page;
}

let last;
for (const file of files) {
  const t = [];
  for (let r = 0; r < runs; ++r) {
    const page = await fresh();
    await page.setInputFiles('#file', file);
    await page.waitForFunction(() => window.kx29Page.state === 'drawn', null, { timeout: 120000 });
    t.push(await page.evaluate(() => window.kx29Page.timing));
    if (file === files[files.length - 1] && r === runs - 1) last = page;
    else await page.close();
  }
  const m = (k) => median(t.map((x) => x[k]));
  console.log(`${file.split('/').pop()}: ${t[0].entities} entities, first picture median ${m('total')} ms` +
    ` (read ${m('read')}, of which the library ${m('library')}; paths ${m('build')}; drawn ${m('draw')});` +
    ` all: ${t.map((x) => x.total).join(', ')} ms`);
}

const reads = await last.evaluate((n) => {
  const k = window.kx29Page.kx29, bytes = window.kx29Page.input.bytes, out = { library: [], call: [], noted: [] };
  for (let r = 0; r < n; ++r) {
    let t = performance.now();
    const d = k.read(bytes, { notes: false });
    out.call.push(performance.now() - t);
    out.library.push(d.info.readMs);
    k.release();
    t = performance.now();
    k.read(bytes);
    out.noted.push(performance.now() - t);
    k.release();
  }
  return out;
}, runs);
const f = (v) => `${(median(v) / 1000).toFixed(3)} s (${v.map((x) => (x / 1000).toFixed(3)).join(', ')})`;
console.log(`browser reading of ${files[files.length - 1].split('/').pop()}, one thread, ${runs} runs in one page:`);
console.log(`  the library alone, no notes   median ${f(reads.library)}`);
console.log(`  read() without notes: the file handed in, read, its records made  median ${f(reads.call)}`);
console.log(`  read() with notes, as the page reads  median ${f(reads.noted)}`);
await browser.close();
