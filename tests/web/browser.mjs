// What every Chromium check of the page shares: the browser, a page opened
// at a link and size, waiting for it to finish, the native programs to
// hold it to, and one "FAIL ..." line per failed check.
import { spawnSync } from 'node:child_process';
import { pathToFileURL } from 'node:url';
import { chromium } from '../../web/node_modules/playwright-core/index.mjs';

// A native program's { stdout, stderr, status } (Buffers) from BIN, with
// glibc's log without FMA, whose results the page's log gives.
const env = { ...process.env, GLIBC_TUNABLES: 'glibc.cpu.hwcaps=-FMA' };
export const nativeIn =
  (bin) =>
  (program, args, input = '') =>
    spawnSync(`${bin}/${program}`, args, { input, env, maxBuffer: 1 << 28 });

let failures = 0;
export const check = (ok, what) => {
  if (!ok) {
    failures++;
    console.log(`FAIL ${what}`);
  }
  return ok;
};
export const failed = () => failures;

// Starts Chromium; returns { browser, open(query, width, ratio, height), requests }:
// open resolves to { page, context, millis } once the page is finished.
export async function startBrowser(pagePath) {
  const browser = await chromium.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    args: [
      '--no-sandbox',
      '--disable-gpu',
      '--disable-background-networking',
      '--disable-sync',
      '--disable-component-update',
      '--no-first-run',
      '--disable-default-apps',
    ],
  });
  const requests = [];
  const open = async (query = '', width = 1280, deviceScaleFactor = 1, height = 900) => {
    const context = await browser.newContext({
      viewport: { width, height },
      acceptDownloads: true,
      deviceScaleFactor,
    });
    const page = await context.newPage();
    page.on('request', (r) => requests.push(r.url()));
    page.on('pageerror', (e) => check(false, `page error at ${query}: ${e.message}`));
    const started = Date.now();
    await page.goto(pathToFileURL(pagePath).href + query);
    await finished(page);
    // No text of the page's own reads like a missing value.
    const text = await page.evaluate(() => document.querySelector('main').innerText);
    check(!/\bundefined\b|\[object /.test(text), `${query}: the page says "undefined" or "[object"`);
    return { page, context, millis: Date.now() - started };
  };
  return { browser, open, requests };
}

// The point at fractions (fx, fy) of an element, scrolled into view, read
// in one step: a map being drawn replaces its panels between two steps.
export const pointIn = (page, selector, fx, fy) =>
  page.$eval(
    selector,
    (e, [x, y]) => {
      e.scrollIntoView();
      const b = e.getBoundingClientRect();
      return [b.x + b.width * x, b.y + b.height * y];
    },
    [fx, fy],
  );

// The comparison's methods: { letter: label } (a row's head is "N Newton").
export const methodLabels = (page) =>
  page.$$eval('#vergleich tbody tr', (rows) =>
    Object.fromEntries(rows.map((r) => [r.dataset.verfahren, r.cells[0].textContent.slice(2)])),
  );

// Waits until nothing runs on the page any more.
export const finished = (page, timeout = 30000) => page.waitForSelector('body[data-state="fertig"]', { timeout });

// The answers as a link's query: ?U=..&R=..&IS=..
export const dialogueLink = ([u, r, i]) =>
  `?U=${encodeURIComponent(u)}&R=${encodeURIComponent(r)}&IS=${encodeURIComponent(i)}`;

// A check that the page shows what diodesolve writes for three answers:
// #ausgabe its standard output, #meldungen its standard error.
export const sameDialogueAs = (native) => async (page, answers, what) => {
  const run = native('diodesolve', [], answers.map((a) => `${a}\n`).join(''));
  check((await page.textContent('#ausgabe')) === run.stdout.toString(), `${what}: #ausgabe differs from diodesolve`);
  const shown = await page.textContent('#meldungen');
  check(
    shown === run.stderr.toString(),
    `${what}: #meldungen differs from diodesolve: ${JSON.stringify(shown)} ${JSON.stringify(run.stderr.toString())}`,
  );
};
