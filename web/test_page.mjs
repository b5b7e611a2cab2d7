// The page in headless Chromium, as a user works it: a drawing dropped on
// it, points indicated and figures selected on it, a run mode picked and
// run, the settings changed, the rewritten file downloaded. The download
// must be the native program's bytes for the same drawing, points,
// selection, run mode and settings (the settings made with its own dialog),
// and the canvas must show the added points in their colour. Then the page
// on a phone's screen with touch, and by keyboard alone.
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
  // While window.holdAnswers is set, the page hears nothing from its worker:
  // a run then lasts until the test stops it, however fast the machine.
  await page.addInitScript(() => {
    const handler = Object.getOwnPropertyDescriptor(Worker.prototype, 'onmessage');
    Object.defineProperty(Worker.prototype, 'onmessage', {
      set(f) { handler.set.call(this, (e) => { if (!window.holdAnswers) f(e); }); },
      get() { return handler.get.call(this); },
    });
  });
  await page.goto(pathToFileURL(join(web, 'kx29-page.html')).href);
  await page.waitForFunction(() => window.kx29Page.state === 'ready');
  const runs = () => page.evaluate(() => window.kx29Page.runs);
  // Presses 実行 (or does what starts a run) and waits for the run.
  async function after(change = () => page.click('#run')) {
    const before = await runs();
    await change();
    await page.waitForFunction((n) => window.kx29Page.runs > n, before);
  }
  // A setting changed, and waits until the dialog has saved it.
  async function setting(change) {
    const before = await page.evaluate(() => window.kx29Page.settingsSaved ?? 0);
    await change();
    await page.waitForFunction((n) => (window.kx29Page.settingsSaved ?? 0) > n, before);
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
  await page.selectOption('#mode', '8');
  check(await runs() === 0, 'choosing a run mode runs nothing');
  Object.assign(settings, { lgrp: 3, col: 11 });
  await setting(() => page.selectOption('#lgrp', '3'));
  await setting(() => page.selectOption('#col', '11'));
  check(await runs() === 0, 'changing the settings runs nothing');
  await after();
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

  // The view as SVG: a picture that parses, with a red dot for each added
  // point at the place the canvas shows it, and the grid's lines in grey.
  const [svgDownload] = await Promise.all([page.waitForEvent('download'), page.click('#svg')]);
  const svg = readFileSync(await svgDownload.path(), 'utf8');
  const svgSeen = await page.evaluate(([text, pts]) => {
    const doc = new DOMParser().parseFromString(text, 'image/svg+xml'), v = window.kx29Page.view;
    if (doc.querySelector('parsererror')) return { error: doc.querySelector('parsererror').textContent };
    const red = doc.querySelector('path[fill="#ff0000"]')?.getAttribute('d') ?? '';
    // Each dot starts at its right-hand edge, POINT_RADIUS from its centre.
    const starts = [...red.matchAll(/M(-?[\d.]+) (-?[\d.]+)/g)].map((m) => [Number(m[1]), Number(m[2])]);
    const placed = pts.filter(([x, y]) => {
      const [sx, sy] = v.screen(x, y);
      return starts.some(([a, b]) => Math.abs(a - 3.5 - sx) < 0.02 && Math.abs(b - sy) < 0.02);
    }).length;
    return { size: [doc.documentElement.getAttribute('width'), v.w], dots: starts.length, placed,
      grey: !!doc.querySelector('path[stroke="#767676"]') };
  }, [svg, added]);
  check(!svgSeen.error && svgSeen.dots === added.length && svgSeen.placed === added.length && svgSeen.grey &&
    Number(svgSeen.size[0]) === Math.round(svgSeen.size[1] * 100) / 100,
    `the SVG of the view holds the ${added.length} added points where the canvas shows them, and the grid in grey (${JSON.stringify(svgSeen)})`);

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
  await page.selectOption('#mode', '6');
  await page.fill('#values', '６');  // full-width, as an input method types it
  await after(() => page.press('#values', 'Enter'));
  Object.assign(settings, { lay: 13, col: 3, marker: true, kind: 1, scale: '２．５' });
  await setting(() => page.selectOption('#lay', '13'));
  await setting(() => page.selectOption('#col', '3'));
  await setting(() => page.check('#marker'));
  await setting(() => page.selectOption('#kind', '1'));
  await page.fill('#scale', '２．５');
  await setting(() => page.press('#scale', 'Enter'));
  await after();
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
  await page.waitForFunction(() => document.title.includes('points for'));
  check((await page.textContent('#run')) === 'Run', 'the English switch');
  check(/^read \d+ ms/.test(await page.textContent('#status')), 'the status line follows the English switch');
  await page.click('#lang');
  await page.waitForFunction(() => !document.title.includes('points for'));

  // 6. Points indicated by clicking and figures selected by a box and a
  // click on the grid; runs of modes 4 and 8 get exactly those, as the CAD
  // program writes them: its hp records, then the selected figures.
  await drop('JWC_TEMP.TXT', grid);
  const gridLines = grid.toString('latin1').split('\r\n');
  if (gridLines[gridLines.length - 1] === '') gridLines.pop();
  const isFigure = (l) => /^-?[0-9]/.test(l) || l.startsWith('ci ');
  // The grid with the hp records before its first figure and only the figures kept.
  const given = (hp, keep) => {
    const out = [];
    let placed = false;
    for (const l of gridLines) {
      if (isFigure(l) && !placed) { out.push(...hp); placed = true; }
      if (!isFigure(l) || keep(l)) out.push(l);
    }
    return Buffer.from(out.map((l) => l + '\r\n').join(''), 'latin1');
  };
  const canvasBox = await page.locator('#drawing').boundingBox();
  const clickAt = async ([x, y], dx, dy) => {
    const [sx, sy] = await page.evaluate((p) => window.kx29Page.view.screen(...p), [x, y]);
    await page.mouse.click(canvasBox.x + sx + dx, canvasBox.y + sy + dy);
  };
  // The select tool, and a box dragged between two points of the drawing.
  const selectBox = async (from, to) => {
    await page.check('input[name=tool][value=select]');
    await page.waitForFunction(() => window.kx29Page.input.figures !== null);
    const [a, b] = await page.evaluate(([p, q]) => [window.kx29Page.view.screen(...p), window.kx29Page.view.screen(...q)],
      [from, to]);
    await page.mouse.move(canvasBox.x + a[0], canvasBox.y + a[1]);
    await page.mouse.down();
    await page.mouse.move(canvasBox.x + b[0], canvasBox.y + b[1], { steps: 5 });
    await page.mouse.up();
  };
  await page.check('input[name=tool][value=point]');
  await clickAt([-500, 0], 3, -4);  // near the end of the lowest line
  await clickAt([1820, 0], -4, 3);  // near where two grid lines cross
  const listed = await page.textContent('#point-list');
  check(listed.includes('1：-500, 0（端点）') && listed.includes('2：1820, 0（交点）'),
    `two points indicated, snapped to an end point and an intersection (${listed})`);
  await page.selectOption('#mode', '4');
  await after();
  const hp = ['hp1 -500 0', 'hp2 1820 0'];
  check((await download()).equals(nativeRun(given(hp, () => true), ['4'], settings)),
    'run mode 4 on the two points indicated: the download is the native bytes');
  // A box around the two lower level lines (whole figures inside only), and
  // a click on an upright line adds it.
  await selectBox([-600, 1900], [4200, -100]);
  await clickAt([1820, 3900], 2, 0);
  const chosen = await page.textContent('#selection');
  const figureCount = gridLines.filter(isFigure).length;
  check(chosen.includes(`3 / ${figureCount}`),
    `a box and a click select three of the drawing's ${figureCount} figures (${chosen})`);
  check((await page.textContent('#figure')).includes('13 行目'), 'the figure clicked shows its line of the file');
  await page.selectOption('#mode', '8');
  await after();
  const kept = new Set(['-500 0 4140 0', '-500 1820 4140 1820', '1820 -500 1820 4140']);
  const crossings = await download();
  check(crossings.equals(nativeRun(given(hp, (l) => kept.has(l)), ['8'], settings)),
    'run mode 8 on the figures selected: the download is the native bytes');
  check((crossings.toString('latin1').match(/^pt /gm) || []).length === 2, 'run mode 8 marks the two crossings of the three figures');

  // 7. Each mode keeps its own value, and nothing runs before 実行.
  const before = await runs();
  await page.selectOption('#mode', '7');
  await page.fill('#values', '910');
  await page.selectOption('#mode', '10');
  check((await page.inputValue('#values')) === '' && (await page.getAttribute('#values', 'placeholder')).length > 0,
    'mode 10 opens with its own empty value and the question as its hint');
  await page.selectOption('#mode', '7');
  check((await page.inputValue('#values')) === '910', 'mode 7 keeps the value typed for it');
  check(await runs() === before, 'typing and choosing modes runs nothing');

  // A long run stopped with 中止: the page says so and runs again at once.
  // Mode 8 on 10,000 lines through one point tries every pair of them, and
  // its answer is held back, so it is still running when 中止 is pressed.
  const star = ['hq', 'lg0', 'ly0', 'lc1', 'lt1'];
  for (let k = 0; k < 10000; ++k) {
    const a = Math.PI * (k + 0.5) / 10000, x = (1000 * Math.cos(a)).toFixed(6), y = (1000 * Math.sin(a)).toFixed(6);
    star.push(`-${x} -${y} ${x} ${y}`.replace(/--/g, ''));
  }
  await drop('star.txt', Buffer.from(star.map((l) => l + '\r\n').join(''), 'latin1'));
  await page.selectOption('#mode', '8');
  const runsBefore = await runs();
  await page.evaluate(() => { window.holdAnswers = true; });
  await page.click('#run');
  await page.waitForSelector('#busy:not([hidden])');
  await page.waitForTimeout(150);
  await page.click('#cancel');
  await page.waitForSelector('#busy', { state: 'hidden' });
  await page.evaluate(() => { window.holdAnswers = false; });
  check((await page.textContent('#status')) === '中止しました。' && await runs() === runsBefore,
    'a run cancelled: the page says so and nothing is shown as its result');
  await page.selectOption('#mode', '9');
  await after();
  check((await page.textContent('#message')).includes('kx29 9'), 'after a cancel the next run starts a fresh module and runs');
  // A value that cannot be read: the program's own word on the page.
  await page.selectOption('#mode', '7');
  await page.fill('#values', 'abc');
  await after();
  check((await page.textContent('#message')).includes('ピッチ「abc」を数として読めないので、何も作図しませんでした。'),
    'a pitch that cannot be read: the program\'s message on the page');

  // 8. UTF-16 without its byte-order mark is read as the library reads it,
  // in either byte order, with the library's note among the reader's notes;
  // points indicated on it go into the run's file in UTF-16 too.
  const crossed = ['hq', 'lg0', 'ly0', '0 0 1000 1000', '0 1000 1000 0'];
  const utf16 = (lines, be) => {
    const le = Buffer.from(lines.map((l) => l + '\r\n').join(''), 'utf16le');
    return be ? le.swap16() : le;
  };
  for (const [order, be] of [['UTF-16LE', false], ['UTF-16BE', true]]) {
    await drop(`${order}.txt`, utf16(crossed, be));
    const read = await page.textContent('#file-info');
    check(read.includes(`${order}）：図形 2`), `UTF-16 without its mark read as ${order}, both lines (${read})`);
    const notes = await page.textContent('#notes');
    check(notes.includes('ファイル全体：BOM のない UTF-16 なので UTF-16 として読んだ'), `the library's note on the missing mark (${notes})`);
  }
  await page.check('input[name=tool][value=point]');
  await clickAt([0, 0], 3, -4);  // near the end of a line
  await clickAt([500, 500], -4, 3);  // near where the lines cross
  await page.selectOption('#mode', '4');
  await after();
  const withPoints = utf16(['hq', 'lg0', 'ly0', 'hp1 0 0', 'hp2 500 500', ...crossed.slice(3)], true);
  check((await download()).equals(nativeRun(withPoints, ['4'], settings)),
    'run mode 4 on points indicated on UTF-16BE without its mark: the download is the native bytes');

  // Files that are no exchange file say so: an image, and other binary
  // data, one of it with a NUL in every other byte as UTF-16 has.
  for (const [name, bytes] of [['picture.png', readFileSync(join(root, 'docs/web.png'))],
    ['data.bin', Buffer.from([0, 0, 0, 1, 0x10, 0x20, 0, 0, 0xff, 0x13])],
    ['controls.bin', Buffer.from(Array.from({ length: 64 }, (_, k) => (k % 2 ? 0 : 1 + (k % 7))))]]) {
    await page.evaluate(() => { window.kx29Page.state = 'dropping'; });
    const transfer = await page.evaluateHandle(([n, b]) => {
      const t = new DataTransfer();
      t.items.add(new File([new Uint8Array(b)], n));
      return t;
    }, [name, [...bytes]]);
    await page.dispatchEvent('#drawing', 'drop', { dataTransfer: transfer });
    await page.waitForFunction(() => window.kx29Page.state === 'unreadable');
    check((await page.textContent('#file-info')).includes('ではありません'), `${name} is said to be no exchange file`);
  }

  // Layers listed by their names in the file; one switched off, its
  // figures are neither drawn nor found under the pointer.
  await page.evaluate(() => { window.kx29Page.state = 'picking'; });
  await page.selectOption('#sample', { label: 'scene_mode4_middle_of_a_room' });
  await page.waitForFunction(() => window.kx29Page.state === 'drawn');
  const layers = await page.textContent('#layer-list');
  check(layers.includes('[0] 1階（5）') && layers.includes('(0) 壁（5）'), `the layer group and layer by their names (${layers})`);
  await page.check('input[name=tool][value=pan]');
  await clickAt([1820, 0], 0, 2);
  check((await page.textContent('#figure')).includes('行目'), 'a wall clicked shows its line');
  await page.uncheck('#layer-list li input');
  await clickAt([1820, 0], 0, 2);
  check((await page.textContent('#figure')) === '図形はありません', 'a wall on a layer switched off is not found');

  // 9. By keyboard alone: the file opener, the mode list, the value, 実行
  // and the drawing are reached with Tab; the drawing pans and zooms with keys.
  await drop('JWC_TEMP.TXT', grid);
  await page.evaluate(() => document.activeElement.blur());
  const reached = new Set();
  for (let k = 0; k < 60; ++k) {
    await page.keyboard.press('Tab');
    reached.add(await page.evaluate(() => document.activeElement.id));
  }
  check(['open', 'mode', 'run', 'drawing', 'lang'].every((id) => reached.has(id)),
    `Tab reaches the opener, mode list, 実行 and the drawing (${[...reached].join(' ')})`);
  await page.focus('#drawing');
  const v0 = await page.evaluate(() => [window.kx29Page.view.cx, window.kx29Page.view.s]);
  await page.keyboard.press('ArrowLeft');
  await page.keyboard.press('+');
  const v1 = await page.evaluate(() => [window.kx29Page.view.cx, window.kx29Page.view.s]);
  check(v1[0] < v0[0] && v1[1] > v0[1], 'arrow keys pan the drawing and + zooms in');
  for (let k = 0; k < 200; ++k) await page.keyboard.press('-');
  const least = await page.evaluate(() => window.kx29Page.view.s / window.kx29Page.view.fitS);
  check(least >= 1e-3 * 0.999, `zooming out stops at a thousandth of the whole drawing (${least})`);
  // The keyboard's crosshair: the arrows bring the crossing at (1820, 0)
  // under it (coarse steps, then Shift's fine ones), Enter indicates it;
  // with the select tool Enter on an upright line selects it and again
  // deselects it. The presses are counted from the view, so the test
  // holds at any zoom the fit gives.
  await page.keyboard.press('Home');
  await page.check('input[name=tool][value=point]');
  await page.click('#clear-points');
  await page.focus('#drawing');
  async function bringUnder([x, y]) {
    for (const fine of [false, true]) {
      const v = await page.evaluate(() => { const w = window.kx29Page.view; return { cx: w.cx, cy: w.cy, s: w.s, step: Math.min(w.w, w.h) / 8 }; });
      const step = fine ? 4 : v.step, dx = (x - v.cx) * v.s / step, dy = (y - v.cy) * v.s / step;
      const press = async (n, plus, minus) => {
        for (let k = 0; k < Math.abs(n); ++k) await page.keyboard.press(`${fine ? 'Shift+' : ''}${n > 0 ? plus : minus}`);
      };
      await press(fine ? Math.round(dx) : Math.trunc(dx), 'ArrowRight', 'ArrowLeft');
      await press(fine ? Math.round(dy) : Math.trunc(dy), 'ArrowUp', 'ArrowDown');
    }
  }
  await bringUnder([1820, 0]);
  await page.keyboard.press('Enter');
  const byKeys = await page.textContent('#point-list');
  check(byKeys.includes('1：1820, 0（交点）'), `the crossing indicated with the arrows and Enter (${byKeys})`);
  await page.check('input[name=tool][value=select]');
  await page.waitForFunction(() => window.kx29Page.input.figures !== null);
  await page.click('#select-none');
  await page.focus('#drawing');
  await bringUnder([1820, 3000]);
  await page.keyboard.press('Enter');
  const oneSelected = await page.textContent('#selection');
  await page.keyboard.press(' ');
  const noneSelected = await page.textContent('#selection');
  check(oneSelected.includes(`1 / ${figureCount}`) && noneSelected.includes(`0 / ${figureCount}`),
    `Enter selects the upright line under the crosshair and Space deselects it (${oneSelected}; ${noneSelected})`);
  await page.click('#select-all');
  await page.check('input[name=tool][value=pan]');
  await page.focus('#mode');
  await page.keyboard.press('End');  // the last mode
  const lastMode = await page.inputValue('#mode');
  await page.focus('#run');
  await after(() => page.keyboard.press('Enter'));
  check((await page.textContent('#message')).includes(`kx29 ${lastMode}`), 'a run started from the keyboard');

  // 10. A phone: the drawing first and wide enough, panned with a finger
  // and zoomed with two.
  const phone = await browser.newPage({ viewport: { width: 390, height: 844 }, hasTouch: true, isMobile: true, deviceScaleFactor: 2 });
  phone.on('pageerror', (e) => failures.push(`phone page error: ${e.message}`));
  await phone.goto(pathToFileURL(join(web, 'kx29-page.html')).href);
  await phone.waitForFunction(() => window.kx29Page.state === 'ready');
  await phone.selectOption('#sample', { label: 'scene_mode8_crossings_of_grid_lines' });
  await phone.waitForFunction(() => window.kx29Page.state === 'drawn');
  const pb = await phone.locator('#drawing').boundingBox();
  check(pb.width >= 300 && pb.height >= 300 && pb.y < 200, `the drawing on the phone: ${pb.width} x ${pb.height} at ${pb.y}`);
  const touch = await phone.context().newCDPSession(phone);
  const fingers = (type, pts) => touch.send('Input.dispatchTouchEvent', { type, touchPoints: pts.map(([x, y], id) => ({ x, y, id })) });
  const cx = pb.x + pb.width / 2, cy = pb.y + pb.height / 2;
  const p0 = await phone.evaluate(() => [window.kx29Page.view.cx, window.kx29Page.view.cy, window.kx29Page.view.s]);
  await fingers('touchStart', [[cx, cy]]);
  for (let k = 1; k <= 5; ++k) await fingers('touchMove', [[cx + 16 * k, cy + 8 * k]]);
  await fingers('touchEnd', []);
  const p1 = await phone.evaluate(() => [window.kx29Page.view.cx, window.kx29Page.view.cy, window.kx29Page.view.s]);
  check(Math.abs((p0[0] - p1[0]) * p1[2] - 80) < 8 && Math.abs((p1[1] - p0[1]) * p1[2] - 40) < 8,
    `a finger drags the drawing 80, 40 pixels (${((p0[0] - p1[0]) * p1[2]).toFixed(1)}, ${((p1[1] - p0[1]) * p1[2]).toFixed(1)})`);
  await fingers('touchStart', [[cx - 30, cy], [cx + 30, cy]]);
  for (let k = 1; k <= 5; ++k) await fingers('touchMove', [[cx - 30 - 10 * k, cy], [cx + 30 + 10 * k, cy]]);
  await fingers('touchEnd', []);
  const p2 = await phone.evaluate(() => window.kx29Page.view.s);
  check(Math.abs(p2 / p1[2] - 160 / 60) < 0.05, `two fingers pinch the drawing ${(p2 / p1[2]).toFixed(2)} times larger`);
  await phone.click('#run');
  await phone.waitForFunction(() => window.kx29Page.runs > 0);
  await phone.evaluate(() => { document.querySelector('main').scrollTop = 0; document.getElementById('fit').click(); });
  await phone.screenshot({ path: join(dirname(screenshot), 'web-phone.png') });
  await phone.close();

  // The picture for docs/web.png: the grid of run mode 8 with its crossings marked.
  await page.evaluate(() => { window.kx29Page.state = 'picking'; });
  await page.selectOption('#sample', { label: 'scene_mode8_crossings_of_grid_lines' });
  await page.waitForFunction(() => window.kx29Page.state === 'drawn');
  // Two points indicated and the figures of the lower half selected, as a user starts.
  await page.check('input[name=tool][value=point]');
  await clickAt([0, 0], 2, 2);
  await clickAt([3640, 1820], -3, 2);
  await selectBox([-700, 3300], [4300, -700]);
  await clickAt([1820, 3900], 2, 0);
  await clickAt([0, 3900], 2, 0);
  await after();
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
