// The page's pictures in headless Chromium: in the step view, every point
// of a construction that lies on f lies on the drawn curve (on the grid's
// points where the window is a grid, in the inset too), no label overlaps
// another, no frame is empty, the axis and the sentences tell the values
// apart, the grid view states its steps; on the map, the class "an der
// Nullstelle" at 12 V, 4.7 kOhm, 2 nA, the ticks; the presentation mode,
// print and the phone; the players, what the chart says of each pass
// against diodelab; then (when named) a screenshot of regula falsi's
// pass 150 at 0.7 V, its inset showing the secant's pivot. Prints one
// "FAIL ..." line per failed check.
// Usage: node page-pictures.mjs PAGE.html NATIVE-BIN-DIR [SECANT.png [LECTURE.png]]
import { nativeIn, check, failed, startBrowser, dialogueLink, methodLabels } from './browser.mjs';

const [pagePath, bin, secantShot, lectureShot] = process.argv.slice(2);
const native = nativeIn(bin);
const { browser, open } = await startBrowser(pagePath);

// The distance from a point to the drawn curve: to its segments, or on a
// grid to its points.
function distance([x, y], runs, grid) {
  let best = Infinity;
  for (const run of runs)
    run.forEach(([ax, ay], k) => {
      best = Math.min(best, Math.hypot(x - ax, y - ay));
      if (grid || k === 0) return;
      const [bx, by] = run[k - 1];
      const [dx, dy] = [ax - bx, ay - by];
      const t = Math.max(0, Math.min(1, ((x - bx) * dx + (y - by) * dy) / (dx * dx + dy * dy || 1)));
      best = Math.min(best, Math.hypot(x - bx - t * dx, y - by - t * dy));
    });
  return best;
}

const overlap = (a, b) =>
  a.x < b.x + b.w - 0.5 && b.x < a.x + a.w - 0.5 && a.y < b.y + b.h - 0.5 && b.y < a.y + a.h - 0.5;

// The step view shown on page: its geometry checked; returns it.
async function checkStep(page, what) {
  const [z, caption, points] = await page.$eval('#schritt-bild', (e) => [
    e.zeichnung && JSON.parse(JSON.stringify(e.zeichnung)),
    document.getElementById('schritt-achse').textContent,
    Number(document.getElementById('schritt').dataset.punkte),
  ]);
  if (!check(z || caption.startsWith('Kein Bild'), `${what}: neither a picture nor words`) || !z) return null;
  check(
    z.curve.some((run) => run.length > 0),
    `${what}: an empty frame`,
  );
  for (const [part, grid] of [
    [z, points > 0],
    [z.inset, false],
  ]) {
    if (!part) continue;
    for (const p of part.points.filter((q) => q.curve)) {
      const off = distance([p.x, p.y], part.curve, grid);
      check(off <= 1.5, `${what}: ${p.label || 'a point'} lies ${off.toFixed(1)} px off the curve`);
    }
  }
  const labels = [...z.labels, ...(z.inset ? z.inset.labels : [])];
  labels.forEach((a, i) =>
    labels.slice(i + 1).forEach((b) => check(!overlap(a, b), `${what}: "${a.text}" overlaps "${b.text}"`)),
  );
  // A point's label lies nearer its own point than any other labelled one,
  // or a leader line joins it to its point: no label reads as another's.
  const away = (b, [x, y]) => Math.hypot(Math.max(b.x - x, 0, x - b.x - b.w), Math.max(b.y - y, 0, y - b.y - b.h));
  for (const part of [z, z.inset].filter(Boolean)) {
    const anchored = part.labels.filter((l) => l.anchor);
    for (const l of anchored.filter((x) => !x.leader)) {
      const other = anchored.find(
        (o) => o !== l && o.anchor.join() !== l.anchor.join() && away(l, o.anchor) <= away(l, l.anchor),
      );
      check(!other, `${what}: "${l.text}" lies nearer the point of "${other && other.text}"`);
    }
  }
  return { z, caption };
}

// The values of the sentence: for each, its text and its 17 digits; no two
// different doubles of one unit may read the same.
async function checkSentence(page, what) {
  const values = await page.$$eval('#schritt-satz .wert', (s) => s.map((e) => [e.textContent, e.title]));
  for (const [text, exact] of values) {
    check(/ (A|V|V\/A)$|nan|inf/.test(text) || exact.startsWith('Faktor = '), `${what}: "${text}" has no unit`);
    const same = values.find(([t, e]) => t === text && e.split(' = ')[1] !== exact.split(' = ')[1]);
    check(!same, `${what}: "${text}" stands for ${exact} and ${same && same[1]}`);
  }
}

const c07 = ['0.7', '100', '1e-14'];
const c12 = ['12', '4.7e3', '2e-9'];
// The methods of the page's table, in its order; all but the three of
// diodesolve are checked below at the same passes each.
const small = `&karte=${encodeURIComponent('--grid 2x2')}`;
const letters = await (async () => {
  const { page, context } = await open(`${dialogueLink(c07)}${small}`);
  const found = await page.$$eval('#vergleich tbody tr', (rows) => rows.map((r) => r.dataset.verfahren).join(''));
  await context.close();
  return found;
})();
const steps = [
  [c07, 'H1', (s) => check(s.caption.includes('der Strom I in mA'), `H1 at 0.7 V: the axis ${s.caption}`)],
  [c07, 'H5'],
  [c07, 'H40'],
  [c07, 'H58'],
  [c07, 'R1'],
  [
    c07,
    'R150',
    (s) =>
      check(
        /I − c in .*, mit c = 0\.000563663/.test(s.caption) && s.z.inset.points.some((p) => p.label === '(a, fa)'),
        `R150 at 0.7 V: no offset axis or no inset with a: ${s.caption}`,
      ),
  ],
  [c07, 'R200'],
  [c07, 'N3'],
  [c07, 'N5', (s) => check(s.caption.includes('nicht von 0 zu unterscheiden'), `N5: ${s.caption}`)],
  [
    ['0.5', '1', '1e-12'],
    'N2',
    (s) =>
      check(
        s.z.labels.some((l) => l.text.startsWith('I = −I_S')) && s.caption.includes('Nicht im Bild: f(x) = '),
        `N2 at 0.5 V, 1 Ohm: the domain's edge or the nan unsaid: ${s.caption}`,
      ),
  ],
  [c12, 'N200'],
  ...[...letters.slice(3)].flatMap((letter) => [
    [c07, `${letter}1`],
    [c07, `${letter}3`],
    [c07, `${letter}6`],
    [c12, `${letter}3`],
  ]),
];
let seed = 31;
const random = () => (seed = (seed * 1103515245 + 12345) % 2147483648) / 2147483648;
for (let k = 0; k < 8; k++) {
  const circuit = [
    (0.2 + 20 * random()).toPrecision(3),
    (10 ** (1 + 5 * random())).toPrecision(3),
    `1e-${8 + Math.floor(8 * random())}`,
  ];
  steps.push([circuit, `${letters[Math.floor(letters.length * random())]}${1 + Math.floor(12 * random())}`]);
}
// The step views, one page per circuit (with the smallest map, so that no
// default map is drawn), each pass chosen as a user does: the method, then
// the slider.
const circuits = [...new Set(steps.map(([c]) => c.join(' ')))];
for (const key of circuits) {
  const circuit = key.split(' ');
  const { page, context } = await open(`${dialogueLink(circuit)}${small}`);
  for (const [, pass, more] of steps.filter(([c]) => c.join(' ') === key)) {
    await page.click(`#schritt-verfahren input[value="${letters.indexOf(pass[0])}"]`);
    await page.$eval(
      '#schritt-regler',
      (e, n) => {
        e.value = n;
        e.dispatchEvent(new Event('input'));
      },
      pass.slice(1),
    );
    const what = `${pass} at ${key}`;
    const shown = await checkStep(page, what);
    await checkSentence(page, what);
    if (shown && more) more(shown);
    if (secantShot && pass === 'R150' && key === c07.join(' '))
      await (await page.$('#schritt')).screenshot({ path: secantShot });
    if (pass === 'N200') {
      const grid = await page.textContent('#schritt-gitter');
      check(grid.includes('ulp(I) = 2^-61 A') && grid.includes('ulp(U) = 2^-49 V'), `N200 at 12 V: ${grid}`);
    }
  }
  await context.close();
}

// In the presentation mode the labels are larger and still apart.
{
  const { page, context } = await open(`${dialogueLink(c07)}&schritt=H58&vortrag=1${small}`);
  check(await page.$eval('body', (b) => b.classList.contains('vortrag')), 'the link did not start the presentation');
  await checkStep(page, 'H58 presented');
  await page.keyboard.press('Escape');
  check(!(await page.$eval('body', (b) => b.classList.contains('vortrag'))), 'Escape did not end the presentation');
  await context.close();
}

// The lecture hall: in the presentation mode the ticks of both charts are
// at least 20 CSS px at 1920 x 1080 (measured as drawn, every number on the
// canvas), and each chart with its controls and sentences fits one screen
// at 1366 x 768 and 1920 x 1080, in the step view for every method.
for (const [width, height] of [
  [1920, 1080],
  [1366, 768],
]) {
  const { page, context } = await open(`${dialogueLink(c07)}&schritt=N2&vortrag=1${small}`, width, 1, height);
  await page.evaluate(() => {
    window.ticks = [];
    const fillText = CanvasRenderingContext2D.prototype.fillText;
    CanvasRenderingContext2D.prototype.fillText = function (text, ...at) {
      const where = document.body.classList.contains('vortrag') && this.canvas.closest('#chart, #schritt-bild');
      if (where && /^[−-]?[0-9.]+(e[−+-]?[0-9]+)?$/.test(String(text)))
        window.ticks.push([where.id, parseFloat(this.font) / devicePixelRatio, String(text)]);
      return fillText.call(this, text, ...at);
    };
  });
  await page.keyboard.press('Escape'); // and on again: both charts drawn anew
  await page.waitForSelector('body:not(.vortrag)');
  await page.evaluate(() => {
    window.ticks = [];
  });
  await page.click('#vortrag');
  await page
    .waitForFunction(
      () => ['chart', 'schritt-bild'].every((id) => window.ticks.filter(([where]) => where === id).length >= 6),
      null,
      { timeout: 10000 },
    )
    .catch(() => {});
  const ticks = await page.evaluate(() => window.ticks);
  for (const id of ['chart', 'schritt-bild']) {
    const own = ticks.filter(([where]) => where === id);
    const least = Math.min(...own.map(([, px]) => px));
    check(
      own.length >= 6 && (width < 1920 || least >= 20),
      `${width}x${height}: ${own.length} ticks on #${id}, ${least} px`,
    );
  }
  // From the top of the controls to the bottom of the sentences, which
  // the mode's own button covers neither.
  const span = (top, bottom) =>
    page.evaluate(
      ([t, b]) => {
        document.getElementById(t).scrollIntoView({ block: 'start' });
        const [first, last] = [t, b].map((id) => document.getElementById(id).getBoundingClientRect());
        const button = document.getElementById('vortrag').getBoundingClientRect();
        const covers = (e) =>
          e.left < button.right && button.left < e.right && e.top < button.bottom && button.top < e.bottom;
        return covers(first) || covers(last) ? Infinity : last.bottom - first.top;
      },
      [top, bottom],
    );
  const chartSpan = await span('chart-spiel', 'ordnung');
  check(chartSpan <= height, `${width}x${height}: the chart and its sentences take ${chartSpan} px`);
  for (const [m, letter] of [...letters].entries()) {
    await page.click(`#schritt-verfahren input[value="${m}"]`);
    const stepSpan = await span('schritt-wahl', 'schritt-satz');
    check(stepSpan <= height, `${width}x${height}: ${letter}2 in the step view takes ${stepSpan} px`);
  }
  if (lectureShot && width === 1366) {
    await page.click(`#schritt-verfahren input[value="${letters.indexOf('N')}"]`);
    await span('schritt-wahl', 'schritt-satz');
    await page.screenshot({ path: lectureShot });
  }
  await context.close();
}

// The passes play by themselves: in the step view from the pass shown to
// the last, one at a time, paused by the space bar and faster by +; on the
// chart (Newton and the secant chosen) from the first pass to the most
// either ran.
{
  const { page, context } = await open(`${dialogueLink(c07)}&schritt=N1&verfahren=NS${small}`);
  await page.evaluate(() => {
    window.seen = { schritt: [], chart: [] };
    const follow = (id, key) =>
      new MutationObserver(() => window.seen[id].push(document.getElementById(id).dataset[key])).observe(
        document.getElementById(id),
        {
          attributes: true,
          attributeFilter: [`data-${key}`],
        },
      );
    follow('schritt', 'durchlauf');
    follow('chart', 'bis');
    window.seen.said = [];
    new MutationObserver(() => window.seen.said.push(document.getElementById('chart-ansage').textContent)).observe(
      document.getElementById('chart-ansage'),
      { childList: true, characterData: true, subtree: true },
    );
  });
  const passes = Number(await page.$eval('#vergleich tbody tr[data-verfahren="N"]', (r) => r.dataset.durchlaeufe));
  await page.selectOption('#schritt-tempo', '4');
  await page.focus('#schritt');
  await page.keyboard.press(' ');
  await page.waitForFunction(() => document.getElementById('schritt').dataset.durchlauf !== '1');
  await page.keyboard.press(' ');
  const paused = await page.$eval('#schritt', (e) => e.dataset.durchlauf);
  await page.waitForTimeout(700);
  check(
    (await page.$eval('#schritt', (e) => e.dataset.durchlauf)) === paused && paused !== '1',
    `the space bar did not pause the step view at ${paused}`,
  );
  await page.keyboard.press('+');
  check((await page.$eval('#schritt-tempo', (e) => e.value)) === '4', 'plus went beyond the fastest speed');
  await page.keyboard.press('-');
  check((await page.$eval('#schritt-tempo', (e) => e.value)) === '2', 'minus did not slow down');
  await page.keyboard.press('+');
  await page.keyboard.press(' ');
  await page.waitForSelector('#schritt-spielen[aria-pressed="false"]', {
    timeout: 10000 + 1000 * passes,
  });
  const steps = (await page.evaluate(() => window.seen.schritt)).map(Number);
  check(
    steps.join() === Array.from({ length: passes - 1 }, (_, k) => k + 2).join(),
    `the step view played ${steps} of Newton's ${passes} passes`,
  );
  const most = Math.max(
    ...(await page.$$eval('#vergleich tbody tr', (rows) =>
      rows.filter((r) => 'NS'.includes(r.dataset.verfahren)).map((r) => Number(r.dataset.durchlaeufe)),
    )),
  );
  await page.selectOption('#chart-tempo', '4');
  await page.click('#chart-spielen');
  await page.waitForSelector('#chart-spielen[aria-pressed="false"]', {
    timeout: 10000 + 1000 * most,
  });
  const shown = await page.evaluate(() => window.seen.chart);
  check(
    shown.join() === Array.from({ length: most }, (_, k) => k + 1).join(),
    `the chart played ${shown.slice(0, 5)}… for at most ${most} passes`,
  );
  // What it says of each pass: per method I and |Delta| as diodelab's pass
  // line has them (six digits), "-" beyond the method's last pass.
  const lab = native('diodelab', ['--U', c07[0], '--R', c07[1], '--IS', c07[2]]).stdout.toString();
  const labels = await methodLabels(page);
  const said = await page.evaluate(() => window.seen.said);
  for (let k = 1; k <= most; k++) {
    const text = said.find((t) => t.startsWith(`Durchlauf ${k}: `)) || '';
    for (const letter of 'NS') {
      const line = new RegExp(`^${letter} Pass +${k} +I=(\\S+) +Delta=-?(\\S+)$`, 'm').exec(lab);
      const want = line ? `I = ${line[1]} A, |Delta|, das Residuum = ${line[2]} V` : '-';
      check(
        text.includes(`${labels[letter]} ${want}`),
        `the chart said "${text}" for pass ${k}; diodelab's ${letter}: ${want}`,
      );
    }
  }
  check(
    (await page.textContent('#chart-ansage')).startsWith(`Durchlauf ${most}: `),
    'the chart did not say the last pass',
  );
  await context.close();
}

// The map at 12 V, 4.7 kOhm, 2 nA: Newton's runs that alternate between
// neighbours are "an der Nullstelle"; the title says what the colour counts,
// the axes are logarithmic with ticks, the dialogue's circuit is marked.
{
  const karte = '--U 12 --R 4700:1e5 --IS 2e-9:1e-6 --grid 20x20';
  const { page, context } = await open(`${dialogueLink(c12)}&karte=${encodeURIComponent(karte)}`);
  await page.focus('#panel2');
  const hover = await page.textContent('#hover');
  check(hover.includes('Newton: Grenze 200: an der Nullstelle'), `12 V on the map: ${hover}`);
  check((await page.textContent('#legende')).includes('Grenze, an der Nullstelle'), 'no legend entry for the class');
  check((await page.textContent('#titel2')).includes('an der Nullstelle'), 'no share of the class in the title');
  check((await page.textContent('#karte-titel')).startsWith('Durchlaeufe bis zur Wiederholung'), 'the map title');
  const axes = await page.$$eval('#panels figure:first-child .label', (l) => l.map((e) => e.textContent));
  check(
    axes.every((a) => a.endsWith(', logarithmisch')),
    `the axes: ${axes}`,
  );
  const ticks = await page.$$eval('#panels figure:first-child .x .striche span', (t) => t.map((e) => e.textContent));
  check(ticks.length >= 2 && ticks.includes('104'), `the x ticks: ${ticks}`);
  check(!(await page.$eval('#panels figure .schaltung-marke', (m) => m.hidden)), 'the circuit is not marked');
  await context.close();
}

// Printed on A4 the tables are whole and nothing is wider than the page;
// on a phone the long outputs are folded.
{
  const { page, context } = await open(`${dialogueLink(c07)}${small}`, 794);
  await page.emulateMedia({ media: 'print' });
  const [wide, scrolls] = await page.evaluate(() => [
    document.documentElement.scrollWidth,
    [...document.querySelectorAll('.rolle, pre')].filter((e) => e.scrollHeight > e.clientHeight + 1).length,
  ]);
  check(wide <= 794 && scrolls === 0, `printed: ${wide} px wide, ${scrolls} scroll boxes`);
  await context.close();
}
{
  const { page, context } = await open('', 360);
  // Folded: 7700 px (practice and the sheets 1000 of them, the load line
  // diagram 400, the two players 100), and
  // each method's row in the comparison and its choices 100 px more.
  const tall = await page.evaluate(() => document.documentElement.scrollHeight);
  check(tall < 7700 + 100 * letters.length, `on a phone the page is ${tall} px long`);
  await context.close();
}

console.log(`page's pictures: ${steps.length} step views`);
await browser.close();
process.exitCode = failed() ? 1 : 0;
