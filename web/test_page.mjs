// The page in headless Chromium, as a user works it: a drawing dropped on
// it, a run mode picked, the settings changed, the rewritten file
// downloaded. The download must be the native program's bytes for the same
// drawing, run mode and settings (the settings made with its own dialog),
// and the canvas must show the added points in their colour.
//
//   node web/test_page.mjs [WEB_BUILD] [NATIVE_BUILD] [SCREENSHOT]
//        (defaults: build-web, build, WEB_BUILD/web.png)
//
// The page opens from the disk (file://), as a user opens it: the one file
// the release ships (kx29-page.html), and at the end the page's folder as it
// is hosted (page/index.html and its scripts). Needs
// `npm ci` in web/ (playwright-core) and Debian's chromium; without them, or
// without the builds, the test is skipped, except under CI=true, where it
// fails.
import { execFileSync } from 'node:child_process';
import { existsSync, mkdtempSync, readFileSync, rmSync, writeFileSync, copyFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';

const root = resolve(dirname(fileURLToPath(import.meta.url)), '..');
const web = resolve(process.argv[2] ?? join(root, 'build-web'));
const native = resolve(process.argv[3] ?? join(root, 'build'));
const screenshot = resolve(process.argv[4] ?? join(web, 'web.png'));
const chromiumPath = '/usr/bin/chromium';
const driver = join(root, 'web/node_modules/playwright-core/index.mjs');

function skipOrFail(why) {
  if (process.env.CI === 'true') {
    console.error(`web page test: FAIL: ${why}`);
    process.exit(1);
  }
  console.log(`web page test: skipped: ${why}`);
  process.exit(0);
}
for (const [path, what] of [[join(web, 'kx29-page.html'), 'the page is not built'],
  [join(web, 'page/index.html'), 'the page\'s folder is not built'],
  [join(native, 'kx29'), 'the native kx29 is not built'], [chromiumPath, 'chromium is not installed'],
  [driver, 'playwright-core is not installed (npm ci in web/)']]) {
  if (!existsSync(path)) skipOrFail(`${what}: ${path}`);
}
const { chromium } = await import(pathToFileURL(driver).href);

const failures = [];
const check = (ok, what) => { if (!ok) failures.push(what); };
const work = mkdtempSync(join(tmpdir(), 'kx29page.'));

// The native program in a folder of its own: its dialog answered on its
// input (from no settings file, as the page starts), then the run mode on
// the drawing. Gives the rewritten exchange file.
function nativeRun(input, args, s) {
  const dir = mkdtempSync(join(work, 'native.'));
  copyFileSync(join(native, 'kx29'), join(dir, 'kx29'));
  const answers = [s.lgrp, s.lay, s.col, s.marker ? 2 : 1, s.kind, s.scale, 'Y'].join('\n') + '\n';
  execFileSync(join(dir, 'kx29'), [], { cwd: dir, input: answers, stdio: ['pipe', 'ignore', 'inherit'] });
  writeFileSync(join(dir, 'JWC_TEMP.TXT'), input);
  execFileSync(join(dir, 'kx29'), args, { cwd: dir, stdio: ['ignore', 'ignore', 'inherit'] });
  return readFileSync(join(dir, 'JWC_TEMP.TXT'));
}

const browser = await chromium.launch({
  executablePath: chromiumPath,
  args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking', '--disable-component-update', '--no-first-run'],
});
try {
  const page = await browser.newPage({ viewport: { width: 1400, height: 860 }, acceptDownloads: true });
  page.on('pageerror', (e) => failures.push(`page error: ${e.message}`));
  page.on('console', (m) => { if (m.type() === 'error') failures.push(`console error: ${m.text()}`); });
  await page.goto(pathToFileURL(join(web, 'kx29-page.html')).href);
  await page.waitForFunction(() => window.kx29Page.state === 'ready');
  const runs = () => page.evaluate(() => window.kx29Page.runs);
  // Waits for the run that a change starts.
  async function after(change) {
    const before = await runs();
    await change();
    await page.waitForFunction((n) => window.kx29Page.runs > n, before);
  }
  async function download() {
    const [d] = await Promise.all([page.waitForEvent('download'), page.click('#download')]);
    return readFileSync(await d.path());
  }
  async function drop(name, bytes) {
    await page.evaluate(() => { window.kx29Page.state = 'dropping'; });
    const transfer = await page.evaluateHandle(([n, b]) => {
      const t = new DataTransfer();
      t.items.add(new File([new Uint8Array(b)], n));
      return t;
    }, [name, [...bytes]]);
    await page.dispatchEvent('#drawing', 'drop', { dataTransfer: transfer });
    await page.waitForFunction(() => window.kx29Page.state === 'drawn');
  }
  // The settings the page is given, for the native dialog too: list
  // positions, point (false) or marker, the scale's text.
  const settings = { lgrp: 0, lay: 0, col: 0, marker: false, kind: 0, scale: '1' };

  // 1. A drawing dropped, run mode 8, points in SXF colour 2 (red) on layer group 2.
  const grid = readFileSync(join(root, 'tests/golden/scene_mode8_crossings_of_grid_lines/JWC_TEMP.TXT'));
  await drop('JWC_TEMP.TXT', grid);
  check((await page.textContent('#file-info')).includes('CP932'), 'the dropped file is read as code page 932');
  await after(() => page.selectOption('#mode', '8'));
  Object.assign(settings, { lgrp: 3, col: 11 });
  await after(() => page.selectOption('#lgrp', '3'));
  await after(() => page.selectOption('#col', '11'));
  const points = await download();
  check(points.equals(nativeRun(grid, ['8'], settings)), 'run mode 8 with points: the download is the native bytes');

  // The added points in red at their places on the canvas.
  const added = points.toString('latin1').split('\r\n').filter((l) => l.startsWith('pt ')).map((l) => l.split(' ').slice(1, 3).map(Number));
  check(added.length > 10, `run mode 8 adds the crossings (${added.length} points)`);
  // The added points' colours at their places on the canvas, for those on it.
  const colours = () => page.evaluate((pts) => {
    const v = window.kx29Page.view, ctx = v.canvas.getContext('2d');
    return pts.map(([x, y]) => v.screen(x, y)).filter(([sx, sy]) => sx >= 0 && sy >= 0 && sx < v.w && sy < v.h)
      .map(([sx, sy]) => [...ctx.getImageData(Math.floor(sx * v.dpr), Math.floor(sy * v.dpr), 1, 1).data.slice(0, 3)]);
  }, added);
  const red = (c) => c.filter(([r, g, b]) => r === 255 && g === 0 && b === 0).length;
  let seen = await colours();
  check(seen.length === added.length && red(seen) === added.length,
    `every added point shows red on the canvas (${red(seen)} of ${added.length})`);

  // Zoomed in with the wheel about the first point and dragged aside: the
  // picture follows, the points still where they are drawn.
  const box = await page.locator('#drawing').boundingBox();
  const [fx, fy] = await page.evaluate((p) => window.kx29Page.view.screen(...p), added[0]);
  const scale = await page.evaluate(() => window.kx29Page.view.s);
  await page.mouse.move(box.x + fx, box.y + fy);
  await page.mouse.wheel(0, -500);
  await page.mouse.down();
  await page.mouse.move(box.x + fx + 60, box.y + fy + 40, { steps: 4 });
  await page.mouse.up();
  await page.evaluate(() => new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done))));
  const zoomed = await page.evaluate(() => window.kx29Page.view.s);
  seen = await colours();
  check(zoomed > 1.5 * scale && seen.length > 0 && red(seen) === seen.length,
    `zoomed ${(zoomed / scale).toFixed(2)} times and moved, the ${seen.length} points on the canvas show red (${red(seen)})`);

  // 2. Another drawing, run mode 6 with a typed count, markers ○ at 2.5, layer C, pen 3.
  const circles = readFileSync(join(root, 'tests/golden/scene_mode6_circle_and_tilted_ellipse_arc/JWC_TEMP.TXT'));
  await drop('circles.txt', circles);
  await after(() => page.selectOption('#mode', '6'));
  await page.fill('#values', '６');  // full-width, as an input method types it
  await after(() => page.press('#values', 'Enter'));
  Object.assign(settings, { lay: 13, col: 3, marker: true, kind: 1, scale: '２．５' });
  await after(() => page.selectOption('#lay', '13'));
  await after(() => page.selectOption('#col', '3'));
  await after(() => page.check('#marker'));
  await after(() => page.selectOption('#kind', '1'));
  await page.fill('#scale', '２．５');
  await after(() => page.press('#scale', 'Enter'));
  check((await page.inputValue('#scale')) === '2.5', 'the scale typed full-width is kept as the program saves it');
  const markers = await download();
  check(markers.equals(nativeRun(circles, ['6', '６'], settings)), 'run mode 6 with markers: the download is the native bytes');

  // 3. The rewritten file opened: what the CAD program would draw of it.
  await drop('JWC_TEMP.TXT', markers);
  const info = await page.evaluate(() => window.kx29Page.input.info);
  check(info.entities === 11, `the rewritten file holds the 11 markers run mode 6 drew (${info.entities})`);

  // 4. A line no record takes, listed with its line number.
  await drop('notes.txt', Buffer.from('lg0\r\nly0\r\nxyz 1 2\r\n0 0 100 100\r\n'));
  check((await page.textContent('#notes')).includes('3 行目'), 'the reader\'s note names line 3');

  // 5. In English, and back.
  await page.click('#lang');
  check((await page.textContent('#run')) === 'Run', 'the English switch');
  await page.click('#lang');

  // The picture for docs/web.png: the grid of run mode 8 with its crossings marked.
  await page.evaluate(() => { window.kx29Page.state = 'picking'; });
  await page.selectOption('#sample', { label: 'scene_mode8_crossings_of_grid_lines' });
  await page.waitForFunction(() => window.kx29Page.state === 'drawn');
  await page.screenshot({ path: screenshot });

  // 6. The page's folder, as it is put on a web server, starts as well.
  await page.goto(pathToFileURL(join(web, 'page/index.html')).href);
  await page.waitForFunction(() => window.kx29Page.state === 'ready');
} finally {
  await browser.close();
  rmSync(work, { recursive: true, force: true });
}

for (const f of failures) console.log(`FAIL ${f}`);
console.log(`web page test: ${failures.length ? 'FAILED' : 'passed'}`);
process.exit(failures.length ? 1 : 0);
