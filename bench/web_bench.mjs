// The measurements of run_web.sh in headless Chromium:
//   node bench/web_bench.mjs PAGE RUNS FILE...
// (KX29_RUN_LIMIT: the seconds a run of mode 8 is given before 中止, 900)
// For each file, RUNS fresh pages each given it through the file input:
// the page's own timing from the file's arrival to the finished picture
// (read in the worker, paths made, the first piece drawn, the frame shown;
// and when the last piece of a big drawing was drawn), and the longest
// frame and longest task of the page while the file is read and while run
// mode 8 runs on it, with what the page then says.
import { dirname, join } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';

const driver = join(dirname(fileURLToPath(import.meta.url)), '../web/node_modules/playwright-core/index.mjs');
const { chromium } = await import(pathToFileURL(driver).href);
const [pageFile, runsText, ...files] = process.argv.slice(2);
const runs = Number(runsText);
const runLimit = Number(process.env.KX29_RUN_LIMIT ?? 900);  // seconds a run of mode 8 is given
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

// The longest gap between two frames of the page, and the longest task on
// its thread, while work goes on: a frame over 100 ms is a page that does
// not answer.
// Gives up after limit ms, with timedOut set.
async function watch(page, work, done, limit = 600000) {
  await page.evaluate(() => {
    const w = window.kx29Watch = { last: performance.now(), gap: 0, task: 0, on: true, worst: null };
    const tick = () => {
      const now = performance.now();
      w.gap = Math.max(w.gap, now - w.last);
      w.last = now;
      if (w.on) requestAnimationFrame(tick);
    };
    requestAnimationFrame(tick);
    new PerformanceObserver((l) => { for (const e of l.getEntries()) w.task = Math.max(w.task, e.duration); })
      .observe({ type: 'longtask' });
    // The longest animation frame, split into its scripts and its rendering
    // (style, layout, paint and the canvas' rasterising after renderStart).
    new PerformanceObserver((l) => {
      for (const e of l.getEntries()) {
        if (w.worst && w.worst.ms >= e.duration) continue;
        const top = [...e.scripts].sort((a, b) => b.duration - a.duration)[0];
        w.worst = { ms: Math.round(e.duration), render: Math.round(e.startTime + e.duration - (e.renderStart || e.startTime + e.duration)),
          script: top ? `${Math.round(top.duration)} ms ${top.invoker}` : 'none' };
      }
    }).observe({ type: 'long-animation-frame' });
  });
  await work();
  let timedOut = false;
  await page.waitForFunction(done, null, { timeout: limit }).catch(() => { timedOut = true; });
  await page.evaluate(() => new Promise((r) => requestAnimationFrame(() => requestAnimationFrame(r))));
  const w = await page.evaluate(() => { window.kx29Watch.on = false; return { gap: window.kx29Watch.gap, task: window.kx29Watch.task, worst: window.kx29Watch.worst }; });
  return { ...w, timedOut };
}

const ms = (v) => Math.round(v);
for (const file of files) {
  const t = [], frames = [], runsSeen = [];
  for (let r = 0; r < runs; ++r) {
    const page = await fresh();
    // Done when the last piece of the picture is drawn (a big drawing is
    // drawn over many frames after the page says it is drawn).
    frames.push(await watch(page, () => page.setInputFiles('#file', file),
      () => window.kx29Page.state === 'drawn' && !window.kx29Page.view.drawing));
    t.push(await page.evaluate(() => ({ ...window.kx29Page.timing,
      painted: Math.round(window.kx29Page.view.drawnAt - window.kx29Page.timing.started) })));
    // Run mode 8 on it: every crossing of the drawing's lines, circles and arcs.
    await page.selectOption('#mode', '8');
    const w = await watch(page, () => page.click('#run'), () => window.kx29Page.runs > 0 || window.kx29Page.state === 'run-failed',
      runLimit * 1000);
    if (w.timedOut) {  // stopped with 中止, as a user would
      await page.click('#cancel');
      await page.waitForSelector('#busy', { state: 'hidden' });
    }
    w.message = w.timedOut ? `not done in ${runLimit} s; ${await page.textContent('#status')}`
      : (await page.evaluate(() => window.kx29Page.runs)) ? await page.textContent('#message') : await page.textContent('#status');
    w.ms = await page.evaluate(() => window.kx29Page.output?.ms);
    runsSeen.push(w);
    await page.close();
  }
  const m = (k) => median(t.map((x) => x[k]));
  console.log(`${file.split('/').pop()}: ${t[0].entities} entities, first picture median ${m('total')} ms` +
    ` (read in the worker ${m('read')}, of which the library ${m('library')}; paths ${m('build')}; drawn ${m('draw')});` +
    ` all: ${t.map((x) => x.total).join(', ')} ms; the last piece drawn at ${m('painted')} ms (${t.map((x) => x.painted).join(', ')})`);
  const worst = (f) => f.worst ? `${f.worst.ms} ms (rendering ${f.worst.render}, longest script ${f.worst.script})` : 'none over 50 ms';
  console.log(`  while reading: longest frame ${frames.map((f) => ms(f.gap)).join(', ')} ms, longest task ${frames.map((f) => ms(f.task)).join(', ')} ms`);
  console.log(`    longest animation frame: ${frames.map(worst).join('; ')}`);
  console.log(`  run mode 8 (${runsSeen.map((w) => w.ms).join(', ')} ms in the worker): longest frame ${runsSeen.map((f) => ms(f.gap)).join(', ')} ms,` +
    ` longest task ${runsSeen.map((f) => ms(f.task)).join(', ')} ms; the page says: ${runsSeen[0].message}`);
  console.log(`    longest animation frame: ${runsSeen.map(worst).join('; ')}`);
}
await browser.close();
