// The default 200x150 map: the time from opening the page to the finished
// map (target 1.5 s), five fresh loads. Then a 1000x1000 map in the page
// (headless Chromium) beside native diodemap --text with as many threads as
// the page has workers: seven maps in one page, each followed by a native
// run. The first maps run partly in V8's baseline code, whose hot functions
// the optimizing tier takes over while they run; the figure is the median
// ratio of maps 3 to 7, and the first is shown beside it. The page's time
// runs from the start of its map to the panels drawn (#karte-zeit); the
// native time is the whole program.
// Usage: node page-bench.mjs PAGE.html NATIVE-BIN-DIR [GRID]
import { spawnSync } from 'node:child_process';
import { pathToFileURL } from 'node:url';
import { chromium } from '../../web/node_modules/playwright-core/index.mjs';

const [pagePath, bin, grid = '1000x1000'] = process.argv.slice(2);
const median = (xs) => [...xs].sort((a, b) => a - b)[Math.floor(xs.length / 2)];
const browser = await chromium.launch({
  executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
  args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking'],
});
const loads = [];
for (let k = 0; k < 5; k++) {
  const context = await browser.newContext();
  const fresh = await context.newPage();
  const started = Date.now();
  await fresh.goto(pathToFileURL(pagePath).href);
  await fresh.waitForSelector('body[data-state="fertig"]', { timeout: 60000 });
  loads.push(Date.now() - started);
  await context.close();
}
console.log(
  `default map after opening: best ${Math.min(...loads)} ms, median ${median(loads)} ms ` +
    `of five loads (target 1500 ms)`,
);
const page = await browser.newPage();
await page.goto(`${pathToFileURL(pagePath).href}?karte=${encodeURIComponent(`--grid ${grid}`)}`);
// One native run, in milliseconds.
const native = (threads) => {
  const started = process.hrtime.bigint();
  const run = spawnSync(`${bin}/diodemap`, ['--text', '--grid', grid, '--threads', String(threads)]);
  if (run.status !== 0) throw new Error(`diodemap: ${run.stderr}`);
  return Number(process.hrtime.bigint() - started) / 1e6;
};
// Each page map is followed by a native run, so that both meet the
// machine in the same mode; a pair's ratio is page over native.
const pairs = [];
for (let k = 0; k < 7; k++) {
  if (k > 0) await page.click('#karte-form button');
  await page.waitForSelector('body[data-state="fertig"]', { timeout: 120000 });
  const [, ms, n] = (await page.textContent('#karte-zeit')).match(/in (\d+) ms mit (\d+)/);
  pairs.push([Number(ms), native(Number(n)), Number(n)]);
}
await browser.close();
const later = pairs.slice(2);
const [p, n, r] = [0, 1].map((i) => median(later.map((x) => x[i]))).concat(median(later.map((x) => x[0] / x[1])));
const [first, firstNative, workers] = pairs[0];
console.log(
  `map ${grid}, ${workers} workers/threads: page ${p.toFixed(0)} ms, native --text ` +
    `${n.toFixed(0)} ms, median ratio ${r.toFixed(2)} x over maps 3 to 7; the first map ` +
    `${first} ms, ${(first / firstNative).toFixed(2)} x`,
);
