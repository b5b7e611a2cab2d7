// A Chromium performance trace of the page reading a drawing (and, with
// "run8", running mode 8 on it), and the page's long tasks in it: for each
// task on the page's thread over LIMIT ms (default 50), what it spent its
// time on, the way the long tasks of reading 1e6 were found.
//   node bench/web_trace.mjs PAGE FILE TRACE.json [run8] [LIMIT]
// The trace opens in Chromium's performance panel too.
import { readFileSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';

const driver = join(dirname(fileURLToPath(import.meta.url)), '../web/node_modules/playwright-core/index.mjs');
const { chromium } = await import(pathToFileURL(driver).href);
const [pageFile, file, out, ...rest] = process.argv.slice(2);
const run8 = rest.includes('run8'), limit = Number(rest.find((a) => a !== 'run8') ?? 50);
const browser = await chromium.launch({
  executablePath: '/usr/bin/chromium',
  args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking', '--disable-component-update', '--no-first-run'],
});
const page = await browser.newPage({ viewport: { width: 1400, height: 860 } });
await page.goto(pathToFileURL(pageFile).href);
await page.waitForFunction(() => window.kx29Page.state === 'ready');
await browser.startTracing(page, { path: out, categories: ['devtools.timeline', 'disabled-by-default-devtools.timeline',
  'v8', 'v8.execute', 'disabled-by-default-v8.gc', 'blink', 'toplevel', 'cc', 'blink.user_timing'] });
await page.setInputFiles('#file', file);
await page.waitForFunction(() => window.kx29Page.state === 'drawn' && !window.kx29Page.view.drawing, null, { timeout: 600000 });
if (run8) {
  await page.selectOption('#mode', '8');
  await page.click('#run');
  await page.waitForFunction(() => window.kx29Page.runs > 0 || window.kx29Page.state === 'run-failed', null, { timeout: 600000 });
  await page.waitForTimeout(500);
}
await browser.stopTracing();
await browser.close();

// The page's thread, its tasks, and what each long one holds: the events
// that tell where the time went (each one's time includes what it called).
const TELLING = new Set(['FireAnimationFrame', 'TimerFire', 'EventDispatch', 'HandlePostMessage',
  'SerializedScriptValueFactory::create', 'SerializedScriptValueFactory::deserialize', 'MajorGC', 'MinorGC',
  'CanvasRenderingContext2D::FinalizeFrame', 'Commit', 'Canvas2DResourceProvider::ProduceCanvasResource',
  'UpdateLayoutTree', 'Layout', 'PrePaint', 'Paint', 'ParseHTML']);
const trace = JSON.parse(readFileSync(out, 'utf8'));
const events = trace.traceEvents ?? trace;
const thread = (e) => `${e.pid}:${e.tid}`;
const mains = new Set(events.filter((e) => e.ph === 'M' && e.name === 'thread_name' && e.args.name === 'CrRendererMain').map(thread));
const on = events.filter((e) => e.ph === 'X' && e.dur !== undefined && mains.has(thread(e)));
const t0 = on.reduce((m, e) => Math.min(m, e.ts), Infinity);
const tasks = on.filter((e) => e.name === 'ThreadControllerImpl::RunTask' && e.dur > limit * 1000);
for (const t of tasks) {
  const inside = on.filter((e) => e !== t && thread(e) === thread(t) && e.ts >= t.ts && e.ts + e.dur <= t.ts + t.dur);
  const by = new Map();
  for (const e of inside) if (TELLING.has(e.name)) by.set(e.name, (by.get(e.name) ?? 0) + e.dur);
  const top = [...by].sort((a, b) => b[1] - a[1]).slice(0, 8).map(([n, d]) => `${n} ${(d / 1000).toFixed(1)}`);
  const script = inside.filter((e) => e.name === 'FunctionCall' && e.dur > 5000)
    .map((e) => `${e.args?.data?.functionName || '(anonymous)'}:${e.args?.data?.lineNumber ?? ''} ${(e.dur / 1000).toFixed(1)}`);
  console.log(`${((t.ts - t0) / 1000).toFixed(0)} ms: a task of ${(t.dur / 1000).toFixed(1)} ms: ${top.join(', ')}` +
    (script.length ? `; scripts ${script.join(', ')}` : ''));
}
console.log(`${tasks.length} tasks over ${limit} ms on the page's thread; the trace is ${out}`);
