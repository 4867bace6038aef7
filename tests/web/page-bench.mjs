// The default 200x150 map: the time from opening the page to the finished
// map (target 1.5 s), five fresh loads. Then a 1000x1000 map in the page
// (headless Chromium) beside native diodemap
// --text with as many threads as the page has workers. The page draws five
// maps in a row: the first runs partly in V8's baseline code, whose hot
// functions the optimizing tier takes over while they run; the figure is the
// median of the last three, and the first is shown beside it. The page's
// time runs from the start of its map to the panels drawn (#karte-zeit);
// the native time, the median of three runs, is the whole program.
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
console.log(`default map after opening: best ${Math.min(...loads)} ms, median ${median(loads)} ms ` +
  `of five loads (target 1500 ms)`);
const page = await browser.newPage();
await page.goto(`${pathToFileURL(pagePath).href}?karte=${encodeURIComponent(`--grid ${grid}`)}`);
const pageTimes = [];
let workers = 0;
for (let k = 0; k < 5; k++) {
  if (k > 0) await page.click('#karte-form button');
  await page.waitForSelector('body[data-state="fertig"]', { timeout: 120000 });
  const [, ms, n] = (await page.textContent('#karte-zeit')).match(/in (\d+) ms mit (\d+)/);
  pageTimes.push(Number(ms));
  workers = Number(n);
}
await browser.close();
const nativeTimes = [];
for (let k = 0; k < 3; k++) {
  const started = process.hrtime.bigint();
  const run = spawnSync(`${bin}/diodemap`, ['--text', '--grid', grid, '--threads', String(workers)]);
  if (run.status !== 0) throw new Error(`diodemap: ${run.stderr}`);
  nativeTimes.push(Number(process.hrtime.bigint() - started) / 1e6);
}
const [p, n] = [median(pageTimes.slice(2)), median(nativeTimes)];
console.log(`map ${grid}, ${workers} workers/threads: page ${p.toFixed(0)} ms ` +
  `(the first of five maps ${pageTimes[0]} ms), native --text ${n.toFixed(0)} ms: ` +
  `${(p / n).toFixed(2)} x (first map ${(pageTimes[0] / n).toFixed(2)} x)`);
