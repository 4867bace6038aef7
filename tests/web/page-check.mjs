// The page in headless Chromium, against the native programs: typed
// answers, a warning, URL state, a click on the map, the CSV and PNG
// downloads, no request leaving the page, 360 px width, the time to the
// finished default map; the step view; then screenshots of the page and
// (when named) of a late Newton pass in the step view. Prints one
// "FAIL ..." line per failed check.
// Usage: node page-check.mjs PAGE.html NATIVE-BIN-DIR SCREENSHOT.png [STEP.png]
import { readFileSync } from 'node:fs';
import { nativeIn, check, failed, startBrowser, finished, pointIn, sameDialogueAs } from './browser.mjs';

const [pagePath, bin, screenshot, stepShot] = process.argv.slice(2);
const native = nativeIn(bin);
const sameDialogue = sameDialogueAs(native);
const { browser, open, requests } = await startBrowser(pagePath);

// Opening a link: the dialogue and the map it names, at 360 px.
const map = '--U 5 --R 1:1e7 --IS 1e-16:1e-6 --grid 40x30';
{
  const query = `?U=0.7&R=10&IS=1e-9&karte=${encodeURIComponent(map)}`;
  const { page, context } = await open(query, 360);
  await sameDialogue(page, ['0.7', '10', '1e-9'], 'link');
  const overflow = await page.evaluate(() => document.documentElement.scrollWidth);
  check(overflow <= 360, `at 360 px the page is ${overflow} px wide`);
  check((await page.inputValue('#kgrid')) === '40x30', 'the link did not set the grid');

  // Typed answers, one with a decimal comma: the console's warning.
  await page.fill('#U', '0,7');
  await page.fill('#R', '1e3');
  await page.fill('#IS', '1e-12');
  await page.click('#eingabe button');
  await finished(page);
  await sameDialogue(page, ['0,7', '1e3', '1e-12'], 'typed');
  check((await page.textContent('#meldungen .warnung')).startsWith('Warnung'), 'no warning shown');
  check(new URL(page.url()).searchParams.get('U') === '0,7', 'the URL does not follow the dialogue');

  // The CSV download is diodemap --csv.
  const [download] = await Promise.all([page.waitForEvent('download'), page.click('a#csv')]);
  const csv = readFileSync(await download.path());
  check(csv.equals(native('diodemap', ['--csv', ...map.split(' ')]).stdout), 'the CSV differs from diodemap --csv');

  const [png] = await Promise.all([page.waitForEvent('download'), page.click('#png')]);
  const signature = readFileSync(await png.path())
    .subarray(0, 8)
    .toString('hex');
  check(signature === '89504e470d0a1a0a', 'the PNG download is no PNG');

  // A click on a panel loads that circuit into the dialogue and runs it.
  const at = await pointIn(page, '#panel2', 0.3, 0.6);
  await page.mouse.move(...at);
  const hover = await page.textContent('#hover');
  check(/^U = 5 V, R = \S+ Ohm, I_S = \S+ A\. Halbierung: \d+ Durchläufe/.test(hover), `hover: ${hover}`);
  await page.mouse.click(...at);
  await finished(page);
  const answers = await Promise.all(['#U', '#R', '#IS'].map((f) => page.inputValue(f)));
  check(
    hover.startsWith(`U = ${answers[0]} V, R = ${answers[1]} Ohm, I_S = ${answers[2]} A.`),
    `the click loaded ${answers}, the hover said ${hover}`,
  );
  await sameDialogue(page, answers, 'clicked');

  // A map the parser refuses: the console's message.
  await page.fill('#kgrid', '1x3');
  await page.click('#karte-form button');
  await finished(page);
  const err = native('diodemap', ['--csv', '--grid', '1x3']).stderr.toString();
  check((await page.textContent('#karte-meldungen')) === err, 'the refused grid reads differently');
  await context.close();
}

// The runs whose behaviour is known, with their verdicts; every chart drawn, nan ones
// too, with one legend entry per method.
const verdicts = [
  [
    ['5', '1e3', '1e-12'],
    ['Wiederholung nach 55 ', 'Wiederholung nach 17 ', 'Wiederholung nach 4 '],
  ],
  [
    ['12', '4.7e3', '2e-9'],
    [null, null, 'Grenze 200: wechselt zwischen zwei Nachbarn'],
  ],
  [
    ['0.7', '100', '1e-14'],
    [null, 'Grenze 200: ein Ende bleibt stehen', null],
  ],
  [
    ['0', '1e3', '1e-12'],
    ['Wiederholung nach 2 ', 'Grenze 200: nan', 'Wiederholung nach 2 '],
  ],
  [
    ['5', '1e3', '0'],
    [null, 'Grenze 200: nan', 'Grenze 200: nan'],
  ],
];
for (const [answers, want] of verdicts) {
  const { page, context } = await open(`?U=${answers[0]}&R=${answers[1]}&IS=${answers[2]}`, 360);
  await sameDialogue(page, answers, `verdicts ${answers}`);
  const said = await page.$$eval('#urteil li', (items) => items.map((i) => i.textContent));
  want.forEach((w, m) => check(w === null || said[m].includes(`: ${w}`), `${answers}: verdict ${said[m]}, not ${w}`));
  check((await page.$$('#chart .u-legend .u-series')).length === 4, `${answers}: no chart of one entry per method`);
  const box = await page.$eval('#ausgabe', (e) => [e.scrollWidth, e.clientWidth, document.documentElement.scrollWidth]);
  check(box[0] > box[1] && box[2] <= 360, `${answers}: at 360 px the output does not scroll in its box: ${box}`);
  await context.close();
}

// Hover and click agree at fractional pointer positions on HiDPI screens.
for (const ratio of [1.5, 2]) {
  const { page, context } = await open(`?karte=${encodeURIComponent(map)}`, 1280, ratio);
  let agree = 0;
  for (let k = 0; k < 20; k++) {
    const [x, y] = await pointIn(page, '#panel1', 0.05 + 0.045 * k, 0.93 - 0.043 * k);
    const at = [x + 0.37, y + 0.61];
    await page.mouse.move(at[0], at[1]);
    const hover = await page.textContent('#hover');
    await page.mouse.click(at[0], at[1]);
    await finished(page);
    const shown = await Promise.all(['#U', '#R', '#IS'].map((f) => page.inputValue(f)));
    agree += hover.startsWith(`U = ${shown[0]} V, R = ${shown[1]} Ohm, I_S = ${shown[2]} A.`);
  }
  check(agree === 20, `device pixel ratio ${ratio}: ${agree} of 20 clicks loaded the hovered circuit`);
  await context.close();
}

// The step view, on what is known of the reference run: bisection's pass 1 halves
// [0, 5 mA] at 2.5 mA with a negative residual, so lo moves; regula falsi's
// a stays 0 in every pass; Newton starts from 5 mA; at 12 V, 4.7 kOhm,
// 2 nA Newton's last passes alternate between two neighbouring doubles
// whose residuals have opposite signs, shown as points of the grid.
{
  const { page, context } = await open('?U=5&R=1e3&IS=1e-12&schritt=H1&konsole=1');
  const view = () =>
    page.$eval('#schritt', (e) => ({ ...e.dataset, zustand: e.dataset.zustand.split(' ').map(Number) }));
  let v = await view();
  check(v.verfahren === 'H' && v.durchlauf === '1', `schritt=H1 opened ${v.verfahren}${v.durchlauf}`);
  const [lo, hi, m, d] = v.zustand;
  check(lo === 0 && hi === 0.005 && m === 0.0025 && d < 0, `H1: lo hi m d = ${v.zustand}`);
  check((await page.textContent('#schritt-satz')).includes('lo rückt auf m'), 'H1 does not say that lo moves');
  await page.click('#schritt-vor');
  check((await view()).durchlauf === '2', 'the next button does not move the pass');
  await page.click('#schritt-zurueck');
  check((await view()).durchlauf === '1', 'the previous button does not move the pass');
  await page.locator('#ausgabe .zeile', { hasText: /^H Pass {4}7 / }).click();
  v = await view();
  check(v.verfahren === 'H' && v.durchlauf === '7', `a click on "H Pass 7" opened ${v.verfahren}${v.durchlauf}`);
  check(new URL(page.url()).searchParams.get('schritt') === 'H7', 'the address does not follow the step view');
  await page.focus('#schritt');
  await page.keyboard.press('ArrowDown'); // regula falsi, pass 7
  await page.keyboard.press('Home');
  const seen = [];
  for (let k = 0; k < 40; k++) {
    v = await view();
    seen.push(v.zustand[0]);
    if (v.durchlauf === '17') break;
    await page.keyboard.press('ArrowRight');
  }
  check(
    v.verfahren === 'R' && seen.length === 17 && seen.every((a) => a === 0),
    `regula falsi's a over the keys: ${seen.length} passes, a = ${[...new Set(seen)]}`,
  );
  await page.keyboard.press('ArrowDown');
  await page.keyboard.press('Home');
  v = await view();
  check(v.verfahren === 'N' && v.zustand[0] === 0.005, `N1: x = ${v.zustand[0]}`);
  const [png] = await Promise.all([page.waitForEvent('download'), page.click('#schritt-png')]);
  check(
    readFileSync(await png.path())
      .subarray(0, 4)
      .toString('hex') === '89504e47',
    'the step PNG is no PNG',
  );
  await context.close();
}
{
  const { page, context } = await open('?U=12&R=4.7e3&IS=2e-9&schritt=N199');
  const state = () =>
    page.$eval('#schritt', (e) => [Number(e.dataset.punkte), ...e.dataset.zustand.split(' ').map(Number)]);
  const [, x199, d199] = await state();
  await page.focus('#schritt');
  await page.keyboard.press('End');
  const [points, x200, d200] = await state();
  const bits = (x) => new BigInt64Array(new Float64Array([x]).buffer)[0];
  check(
    points > 0 && x199 !== x200 && (bits(x199) - bits(x200)) ** 2n === 1n && d199 * d200 < 0,
    `12 V, Newton 199 and 200: ${points} points, x ${x199} ${x200}, d ${d199} ${d200}`,
  );
  await page.$eval('#schritt', (e) => e.blur());
  if (stepShot) await (await page.$('#schritt-abschnitt')).screenshot({ path: stepShot });
  await context.close();
}

// The default page: map finished within 1.5 s (best of five loads).
let best = Infinity;
for (let k = 0; k < 5; k++) {
  const { page, context, millis } = await open();
  best = Math.min(best, millis);
  if (k === 4) {
    await page.evaluate(() => {
      document.getElementById('karte-zeit').textContent = '';
    });
    await page.screenshot({ path: screenshot, fullPage: true });
  }
  await context.close();
}
// The target is 1.5 s on an idle machine (make bench reports it); a test
// that shares the machine fails only far beyond it, where something broke.
check(best <= 3000, `the default map took ${best} ms to finish after opening`);
const outside = requests.filter((u) => !/^(file|blob|data):/.test(u));
check(outside.length === 0, `requests left the page: ${outside.join(' ')}`);
console.log(`page: default map finished ${best} ms after opening; ${requests.length} local requests, none outside`);
await browser.close();
process.exitCode = failed() ? 1 : 0;
