// The page where users and links are hostile, in headless Chromium: a
// second map started while the first computes, hover and click after a
// refused map, line breaks in links, charts at the ends of the double
// range, a window that narrows, sentences at nan and inf, options and
// passes the page cannot honour, the keyboard, and axe-core on the states
// visited. Prints one "FAIL ..." line per failed check.
// Usage: node page-hostile.mjs PAGE.html NATIVE-BIN-DIR
import { readFileSync } from 'node:fs';
import { pathToFileURL } from 'node:url';
import { createRequire } from 'node:module';
import { nativeIn, check, failed, startBrowser, finished, pointIn, sameDialogueAs, dialogueLink } from './browser.mjs';

const [pagePath, bin] = process.argv.slice(2);
const native = nativeIn(bin);
const sameDialogue = sameDialogueAs(native);
const { browser, open } = await startBrowser(pagePath);
const axeSource = readFileSync(
  createRequire(import.meta.url).resolve('../../web/node_modules/axe-core/axe.min.js'),
  'utf8',
);
const defaults = ['--U', '5', '--R', '1:1e7', '--IS', '1e-16:1e-6'];
const karte = (words) => `?karte=${encodeURIComponent(words)}`;
const csvOf = async (page) => {
  const [download] = await Promise.all([page.waitForEvent('download'), page.click('a#csv')]);
  return readFileSync(await download.path());
};
const hoverAt = async (page, id, fx, fy) => {
  await page.mouse.move(...(await pointIn(page, id, fx, fy)));
  return page.textContent('#hover');
};
// axe-core on the page as it stands: no violation.
const axe = async (page, state) => {
  if (!(await page.evaluate(() => 'axe' in window))) await page.evaluate(axeSource);
  const found = await page.evaluate(async () =>
    (await window.axe.run()).violations.map(
      (v) =>
        `${v.id} (${v.nodes
          .map((n) => n.target.join(' '))
          .slice(0, 3)
          .join(', ')})`,
    ),
  );
  check(found.length === 0, `axe at ${state}: ${found.join('; ')}`);
};

// A second map while the first computes: the second's CSV, "fertig" again.
{
  const { page, context } = await open();
  await page.fill('#kgrid', '900x900');
  await page.click('#karte-form button');
  await page.waitForFunction(() => document.getElementById('fortschritt').value > 0, null, { timeout: 30000 });
  check(await page.$eval('#fortschritt', (e) => e.value < 1), 'the first map finished before the second started');
  await page.fill('#kgrid', '20x300');
  await page.click('#karte-form button');
  await finished(page, 60000);
  const want = native('diodemap', ['--csv', ...defaults, '--grid', '20x300']).stdout;
  check((await csvOf(page)).equals(want), 'a map started during another: its CSV differs from diodemap --csv');
  await context.close();
}

// Hover and click speak for the map on screen: after a refused map, and
// while another computes.
{
  const map = '--U 5 --R 1:1e7 --IS 1e-16:1e-6 --grid 40x30';
  const { page, context } = await open(karte(map));
  const before = await hoverAt(page, '#panel1', 0.3, 0.6);
  for (const [field, value] of [
    ['#kU', '1:50'],
    ['#kgrid', '1x3'],
  ]) {
    await page.fill(field, value);
    await page.click('#karte-form button');
    await finished(page);
    check((await page.textContent('#karte-meldungen')).startsWith('FEHLER'), `${value} was not refused`);
    check(
      (await hoverAt(page, '#panel1', 0.3, 0.6)) === before,
      `after the refused ${value} the hover names another circuit`,
    );
    await page.fill(field, field === '#kU' ? '5' : '40x30');
  }
  await page.mouse.click(...(await pointIn(page, '#panel1', 0.3, 0.6)));
  await finished(page);
  const shown = await Promise.all(['#U', '#R', '#IS'].map((f) => page.inputValue(f)));
  check(
    before.startsWith(`U = ${shown[0]} V, R = ${shown[1]} Ohm, I_S = ${shown[2]} A.`),
    `after a refused map the click loaded ${shown}, the hover said ${before}`,
  );
  await page.fill('#kgrid', '900x900');
  await page.click('#karte-form button');
  check((await hoverAt(page, '#panel1', 0.3, 0.6)) === before, 'while a map computes the hover names its circuits');
  await finished(page, 60000);
  await context.close();
}

// A link's answer ends at its first line break, as the README says.
for (const [query, answers] of [
  ['?U=5%0A7', ['5', '1e3', '1e-12']],
  ['?U=5&R=1e3%0D%0A99', ['5', '1e3', '1e-12']],
  ['?U=%0A5', ['', '1e3', '1e-12']],
]) {
  const { page, context } = await open(query);
  check(
    (await page.inputValue('#U')) === answers[0] && (await page.inputValue('#R')) === answers[1],
    `${query}: the fields hold ${await page.inputValue('#U')} and ${await page.inputValue('#R')}`,
  );
  await sameDialogue(page, answers, query);
  await context.close();
}

// Charts at the ends of the double range draw their lines; a chart follows
// its box when the window narrows.
const methodPixels = (page) =>
  page.$eval('#chart canvas', (c) => {
    const { data } = c.getContext('2d').getImageData(0, 0, c.width, c.height);
    const colours = [
      [0, 114, 178],
      [230, 159, 0],
      [0, 158, 115],
    ];
    let n = 0;
    for (let k = 0; k < data.length; k += 4)
      n += colours.some(
        ([r, g, b]) => Math.abs(data[k] - r) + Math.abs(data[k + 1] - g) + Math.abs(data[k + 2] - b) < 30,
      );
    return n;
  });
for (const answers of [
  ['1e308', '1e3', '1e-12'],
  ['-1e308', '1e308', '1e-12'],
  ['4.9e-324', '1', '1e-12'],
]) {
  const { page, context } = await open(dialogueLink(answers));
  check((await methodPixels(page)) > 200, `${answers}: the chart draws no lines or marks`);
  await context.close();
}
{
  const { page, context } = await open(dialogueLink(['5', '1e3', '1e-12']));
  await page.setViewportSize({ width: 320, height: 900 });
  // The chart follows its box when the browser has laid it out again.
  const fits = () => {
    const e = document.getElementById('chart');
    return e.querySelector('canvas').getBoundingClientRect().width <= e.clientWidth + 1;
  };
  await page.waitForFunction(fits, null, { timeout: 10000 }).catch(() => {});
  const [canvas, box] = await page.$eval('#chart', (e) => [
    e.querySelector('canvas').getBoundingClientRect().width,
    e.clientWidth,
  ]);
  check(canvas <= box + 1, `at 320 px the chart is ${canvas} px wide in a box of ${box} px`);
  await context.close();
}

// Sentences at nan and inf; values as the console prints them.
{
  const sentence = (page) => page.textContent('#schritt-satz');
  let { page, context } = await open(`${dialogueLink(['0', '1e3', '1e-12'])}&schritt=R1`);
  const state = await page.$eval('#schritt', (e) => e.dataset.zustand);
  check(state.split(' ').includes('-nan'), `R1 at U = 0 shows ${state}, diodesolve prints -nan`);
  check((await sentence(page)).includes('(nan: weder negativ noch positiv)'), `R1 at U = 0: ${await sentence(page)}`);
  await context.close();
  ({ page, context } = await open(`${dialogueLink(['5', '0', '1e-12'])}&schritt=H2`));
  const end = await sentence(page);
  check(!end.includes('halbe Abstand') && end.includes('inf'), `H2 at R = 0 ends: ${end}`);
  await context.close();
  ({ page, context } = await open(`${dialogueLink(['1e308', '1e3', '1e-12'])}&schritt=H1`));
  const axis = await page.textContent('#schritt-achse');
  check(/Nicht im Bild: .*f\(m\) = inf/.test(axis), `H1 at 1e308 V says: ${axis}`);
  await context.close();
}

// Every key a link may name, with names of the objects' own properties and
// a broken selector: the page starts and finishes. A key given twice counts
// with its last value.
const linkKeys = ['verfahren', 'mass', 'tabelle', 'stellen', 'konsole', 'vortrag', 'schritt', 'karte'];
for (const value of ['toString', 'constructor', '__proto__', 'hasOwnProperty', 'x"]']) {
  const v = encodeURIComponent(value);
  for (const query of [
    `${dialogueLink(['5', '1e3', '1e-12'])}&${linkKeys.map((k) => `${k}=${v}`).join('&')}`,
    `?${['U', 'R', 'IS', 'a', 'b', 'x0'].map((k) => `${k}=${v}`).join('&')}`,
  ]) {
    try {
      const { page, context } = await open(query);
      const said = await page.textContent('#start-meldung');
      check(!said.includes('kann nicht starten'), `${query}: ${said}`);
      await context.close();
    } catch (e) {
      check(false, `${query} never finishes: ${e.message}`);
    }
  }
}
{
  const { page, context } = await open('?U=5&U=7&R=1e3&IS=1e-12&mass=d&mass=error');
  await sameDialogue(page, ['7', '1e3', '1e-12'], 'U given twice');
  check(await page.isChecked('#mass input[value="error"]'), 'mass given twice: the first value counts');
  await context.close();
}

// A click or Enter while the page starts leaves the link as it is: the
// forms do nothing before the page can run them.
for (const [what, act] of [
  ['Karte berechnen', (page) => page.click('#karte-form button', { force: true, timeout: 50 })],
  ['Rechnen', (page) => page.click('#eingabe button', { force: true, timeout: 50 })],
  ['Enter', (page) => page.press('#U', 'Enter', { timeout: 50 })],
]) {
  const context = await browser.newContext();
  const page = await context.newPage();
  const link = `${dialogueLink(['0.7', '100', '1e-14'])}&verfahren=HB&schritt=B3&${karte('--grid 30x20').slice(1)}`;
  await page.goto(pathToFileURL(pagePath).href + link, { waitUntil: 'commit' });
  for (let k = 0; k < 40; k++) await act(page).catch(() => {});
  await finished(page);
  const url = new URL(page.url());
  check(
    url.searchParams.get('U') === '0.7' &&
      url.searchParams.get('karte').includes('--grid 30x20') &&
      url.searchParams.get('verfahren') === 'HB' &&
      url.searchParams.has('schritt'),
    `${what} while the page starts: the link is now ${url.search}`,
  );
  await context.close();
}

// A pass table's exports: nan as the console writes it, a measure that does
// not apply empty (CSV) or a dash; each CSV row ends with U, R, IS, method
// (regula falsi's: pass, I, Delta, a, b, the step, then the measures).
const passCsv = async (page, letter) => {
  await page.click(`#reiter-${letter}`);
  const [csv] = await Promise.all([
    page.waitForEvent('download'),
    page.click(`#tabelle-${letter} a[download$=".csv"]`),
  ]);
  return readFileSync(await csv.path(), 'utf8')
    .trim()
    .split('\n')
    .slice(1)
    .map((l) => l.split(','));
};
for (const answers of [
  ['0', '1e3', '1e-12'],
  ['5', '0', '1e-12'],
]) {
  const { page, context } = await open(`${dialogueLink(answers)}&verfahren=R`);
  const console = native('diodesolve', [], answers.map((a) => `${a}\n`).join(''))
    .stdout.toString()
    .split('\n')
    .filter((l) => l.includes('R Pass'));
  const kind = (v) => (/^-?(nan|inf)$/.test(v) ? v : 'number');
  const rows = await passCsv(page, 'R');
  check(rows.length === console.length, `${answers}: ${rows.length} CSV rows, ${console.length} passes`);
  rows.forEach((cells, k) => {
    const [, i, delta] = /I=(\S+) +Delta=(\S+)/.exec(console[k]);
    check(
      kind(cells[1]) === kind(i) && kind(cells[2]) === kind(delta),
      `${answers}, pass ${k + 1}: the CSV has ${cells[1]} ${cells[2]}, the console ${i} ${delta}`,
    );
    if (answers[1] === '0')
      check(
        cells.slice(6, -4).every((c) => c === '') &&
          cells.slice(-4, -1).every((c, q) => Number(c) === Number(answers[q])) &&
          cells.at(-1) === 'R',
        `without a root the measures read ${cells}`,
      );
  });
  await context.close();
}

// "PNG dieses Schritts" without a picture: the words that say why.
{
  const { page, context } = await open(`${dialogueLink(['nan', '1e3', '1e-12'])}&schritt=H1`);
  check((await page.textContent('#schritt-achse')).startsWith('Kein Bild'), 'nan: the step view has a picture');
  const [png] = await Promise.all([page.waitForEvent('download'), page.click('#schritt-png')]);
  check(
    readFileSync(await png.path())
      .subarray(0, 4)
      .toString('hex') === '89504e47',
    'no PNG without a picture',
  );
  await context.close();
}

// Long values from a link do not widen the page on a phone; a pass beyond
// the block is answered alike however many digits it has.
for (const query of [
  `${dialogueLink(['5', '1e3', '1e-12'])}&a=${'9'.repeat(300)}`,
  `${dialogueLink(['5', '1e3', '1e-12'])}&x0=${'x'.repeat(300)}`,
  `${dialogueLink(['5', '1e3', '1e-12'])}&schritt=${'N'.repeat(500)}`,
]) {
  const { page, context } = await open(query, 320);
  const width = await page.evaluate(() => document.documentElement.scrollWidth);
  check(width <= 320, `${query.slice(0, 40)}…: the page is ${width} px wide at 320 px`);
  await context.close();
}
{
  const said = [];
  for (const step of ['N999', 'N1000', `N${'9'.repeat(40)}`]) {
    const { page, context } = await open(`${dialogueLink(['5', '1e3', '1e-12'])}&schritt=${step}`);
    said.push((await page.textContent('#schritt-meldung')).replace(/N[0-9]+…?/, 'X'));
    await context.close();
  }
  check(new Set(said).size === 1 && said[0].includes('hat nur 4'), `passes beyond the block: ${said.join(' / ')}`);
}

// What the page cannot honour is said, and draws nothing.
{
  const { page, context } = await open(karte('--help'));
  check((await page.textContent('#karte-meldungen')).startsWith('Aufruf: diodemap'), '--help shows no usage');
  check((await page.$$('#panels canvas')).length === 0, '--help draws a map');
  await context.close();
}
for (const [words, text] of [
  ['-h', 'Aufruf: diodemap'],
  ['--version', 'diodemap 1.0.0'],
  ['--png', '"--png"'],
  ['--text', '"--text"'],
  ['-o karte.svg', '"-o"'],
  ['--threads 2', '"--threads"'],
]) {
  const { page, context } = await open(karte(`--grid 20x10 ${words}`));
  const said = await page.textContent('#karte-meldungen');
  check(
    said.includes(text) && (await page.$$('#panels canvas')).length === 0,
    `${words}: the page says ${JSON.stringify(said)}`,
  );
  await context.close();
}
for (const step of ['X7', 'n7', 'N-5', 'Nabc', 'N1e3', 'N', '', 'N0']) {
  const { page, context } = await open(`${dialogueLink(['5', '1e3', '1e-12'])}&schritt=${encodeURIComponent(step)}`);
  const said = await page.textContent('#schritt-meldung');
  check(said.includes('keinen Durchlauf'), `schritt=${step}: ${JSON.stringify(said)}`);
  await context.close();
}
{
  const { page, context } = await open('?U=&schritt=N7');
  check(!new URL(page.url()).searchParams.has('schritt'), '?U=&schritt=N7 keeps schritt in the address');
  await context.close();
}

// The keyboard reaches report lines, chart points and map points; axe finds
// nothing on the states visited.
{
  const { page, context } = await open(
    `${dialogueLink(['5', '1e3', '1e-12'])}&konsole=1&${karte('--grid 40x30').slice(1)}`,
  );
  await axe(page, 'the default page');
  const opened = () => page.$eval('#schritt', (e) => `${e.dataset.verfahren}${e.dataset.durchlauf}`);
  await page.focus('#ausgabe .zeile[tabindex="0"]');
  for (let k = 0; k < 6; k++) await page.keyboard.press('ArrowDown');
  await page.keyboard.press('Enter');
  check((await opened()) === 'H7', `Enter on the seventh report line opened ${await opened()}`);
  await page.focus('#chart');
  for (let k = 0; k < 4; k++) await page.keyboard.press('ArrowRight');
  await page.keyboard.press('ArrowDown');
  await page.keyboard.press('Enter');
  check((await opened()) === 'R5', `Enter on the chart's fifth pass of regula falsi opened ${await opened()}`);
  check(
    (await page.textContent('#chart-ansage')).startsWith('Regula falsi, Durchlauf 5: I = '),
    'the chart says nothing',
  );
  await page.focus('#panel0');
  await page.keyboard.press('ArrowRight');
  const cursor = await page.$eval('#panel0 + .cursor', (e) => !e.hidden && e.getBoundingClientRect().width > 0);
  check(cursor, "the map's keyboard cursor is not drawn");
  await axe(page, 'the step view open');
  await page.fill('#U', '5V');
  await page.fill('#kgrid', '1x3');
  await page.click('#eingabe button');
  await page.click('#karte-form button');
  await finished(page);
  await axe(page, 'a warning and a refused map');
  await context.close();
}
for (const query of ['', karte('--grid 1x3')]) {
  const { page, context } = await open(query, 320);
  await axe(page, `320 px ${query || 'the default page'}`);
  await context.close();
}

await browser.close();
console.log(`page under hostile use: ${failed()} check(s) failed`);
process.exitCode = failed() ? 1 : 0;
