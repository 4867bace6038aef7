// The page for practice and sheets, in headless Chromium, against native
// diodelab: practice on every method (the answer not in the document
// before it is given, a right answer, a wrong one, the keyboard alone);
// the sheets' LaTeX and key as diodelab writes them; the printed sheets and
// keys one student a page; the printed page a handout; the first screen at
// 1366 x 768. Prints one "FAIL ..." line per failed check and the page
// counts.
// Usage: node page-practice.mjs PAGE.html NATIVE-BIN-DIR [SHEET.png KEY.png]
import { readFileSync } from 'node:fs';
import { nativeIn, check, failed, startBrowser, finished, dialogueLink } from './browser.mjs';

const [pagePath, bin, sheetShot, keyShot] = process.argv.slice(2); // seed 1's first sheet and key
const native = nativeIn(bin);
const { browser, open } = await startBrowser(pagePath);
const circuit = ['5', '1e3', '1e-12'];

// diodelab's report lines of method letter on the circuit: per pass { i,
// delta, ends ([a, b] where its line shows them) }, the texts as %g.
function passesOf(letter) {
  const out = native('diodelab', ['--U', circuit[0], '--R', circuit[1], '--IS', circuit[2], '--verfahren', letter]);
  return out.stdout
    .toString()
    .split('\n')
    .filter((l) => l.startsWith(`${letter} Pass`))
    .map((l) => {
      const [, i, delta, a, b] = /I=(\S+) +Delta=(\S+)(?: +a=(\S+) b=(\S+))?/.exec(l);
      return { i, delta, ends: a === undefined ? null : [a, b] };
    });
}

// Which end pass k (from 1) replaces by the report lines: the one whose
// value changed (the start [0, U/R] before pass 1); for bisection, whose
// line shows no ends, by its rule: lo where f(m) <= 0, else hi. -1: none
// or both.
function replacedEnd(letter, passes, k) {
  if (letter === 'H') return Number(passes[k - 1].delta) <= 0 ? 0 : 1;
  if (!passes[k - 1].ends) return -1;
  const before = k === 1 ? ['0', '0.005'] : passes[k - 2].ends;
  const moved = [0, 1].filter((e) => Number(before[e]) !== Number(passes[k - 1].ends[e]));
  return moved.length === 1 ? moved[0] : -1;
}

// The text of the whole document: every text and attribute.
const documentText = (page) =>
  page.evaluate(() => {
    const all = [];
    for (const e of document.querySelectorAll('*')) {
      for (const a of e.attributes) all.push(a.value);
      for (const n of e.childNodes) if (n.nodeType === 3) all.push(n.textContent);
    }
    for (const i of document.querySelectorAll('input, textarea')) all.push(i.value);
    return all.join('\n');
  });

const letters = await (async () => {
  const { page, context } = await open('', 1280);
  const found = await page.$$eval('#ueben-verfahren option', (o) => o.map((x) => x.value));
  await context.close();
  return found;
})();
check(letters.length > 3, `practice offers ${letters.length} methods`);

for (const letter of letters) {
  const passes = passesOf(letter);
  const k = 2;
  const want = passes[k - 1];
  const end = replacedEnd(letter, passes, k);
  const earlier = passes.slice(0, k - 1).map((p) => p.i);
  // Right: typed with a decimal comma, as diodelab writes it (6 digits).
  {
    const { page, context } = await open(`${dialogueLink(circuit)}&ueben=${letter}${k}`, 1280);
    const text = await documentText(page);
    if (!earlier.includes(want.i))
      check(!text.includes(want.i), `${letter}${k}: the answer ${want.i} is in the document before it is given`);
    check(
      (await page.getAttribute('#ueben-frage', 'data-durchlauf')) === String(k),
      `${letter}: practice does not ask pass ${k}`,
    );
    const asksEnd = !(await page.isHidden('#ueben-ende'));
    check(asksEnd === end >= 0, `${letter}${k}: the end question ${asksEnd ? 'asked' : 'not asked'}`);
    await page.fill('#ueben-eingabe', want.i.replace('.', ','));
    if (asksEnd) await page.check(`#ueben-ende input[value="${end}"]`);
    await page.click('#ueben-pruefen');
    check(
      (await page.getAttribute('#ueben-urteil', 'data-richtig')) === 'ja',
      `${letter}${k}: ${want.i} is not right: ${await page.textContent('#ueben-urteil')}`,
    );
    check(
      (await page.getAttribute('#ueben-frage', 'data-durchlauf')) === String(k + 1) || passes.length === k,
      `${letter}${k}: after a right answer it does not ask pass ${k + 1}`,
    );
    // The hint names the values the pass starts from.
    await page.click('#ueben-tipp');
    check((await page.textContent('#ueben-hinweis')).startsWith('Tipp: '), `${letter}: no hint`);
    await context.close();
  }
  // Wrong, by the keyboard alone: a value 10 % off, the other end; the
  // difference and the construction of the pass in the step view.
  {
    const { page, context } = await open(`${dialogueLink(circuit)}&ueben=${letter}${k}`, 1280);
    const focused = await page.evaluate(() => document.activeElement.id);
    check(focused === 'ueben-eingabe', `${letter}: the input has no focus but ${focused}`);
    await page.keyboard.type((Number(want.i) * 1.1).toPrecision(4));
    if (end >= 0) {
      await page.keyboard.press('Tab');
      await page.keyboard.press(end === 0 ? 'ArrowRight' : 'ArrowLeft'); // onto the other end
      await page.keyboard.press('Space');
      await page.keyboard.press('Tab');
    } else await page.keyboard.press('Tab');
    await page.keyboard.press('Enter');
    await finished(page);
    check(
      (await page.getAttribute('#ueben-urteil', 'data-richtig')) === 'nein',
      `${letter}${k}: a wrong answer by keyboard: ${await page.textContent('#ueben-urteil')}`,
    );
    check(
      /Unterschied/.test(await page.textContent('#ueben-urteil')),
      `${letter}${k}: no difference said: ${await page.textContent('#ueben-urteil')}`,
    );
    const [shown, pass] = await page.evaluate(() => [
      !document.getElementById('schritt-abschnitt').hidden,
      document.getElementById('schritt').dataset.durchlauf,
    ]);
    check(shown && pass === String(k), `${letter}${k}: the step view shows ${shown ? `pass ${pass}` : 'nothing'}`);
    await page.keyboard.press('Enter'); // "Weiter" has the focus
    check(
      (await page.getAttribute('#ueben-frage', 'data-durchlauf')) === String(k + 1),
      `${letter}${k}: Enter does not go on to the next pass`,
    );
    await context.close();
  }
}

// The sheets: the page's LaTeX and key are diodelab's bytes.
const pdfPages = (pdf) => (pdf.toString('latin1').match(/\/Type\s*\/Page[^s]/g) || []).length;
for (const [seed, count, methods, passes, ranges] of [
  ['1', '3', 'HRN', '4', ['1:12', '100:1e4', '1e-15:1e-9']],
  // The most a page holds, over wide ranges.
  ['18446744073709551615', '2', 'BG', '7', ['0.1:1000', '1:1e7', '1e-20:1e-3']],
]) {
  const { page, context } = await open('', 1280);
  await page.addInitScript(() => {
    window.print = () => {};
  });
  await page.fill('#bSaat', seed);
  await page.fill('#bAnzahl', count);
  await page.fill('#bVerfahren', methods);
  await page.fill('#bDurchlaeufe', passes);
  for (const [k, id] of ['bU', 'bR', 'bIS'].entries()) await page.fill(`#${id}`, ranges[k]);
  await page.click('#blatt-form button[type=submit]');
  const args = ['--blatt', seed, '--anzahl', count, '--U', ranges[0], '--R', ranges[1], '--IS', ranges[2]];
  const nativeArgs = [...args, '--verfahren', methods, '--durchlaeufe', passes, '--fragen', 'HZKF'];
  check(
    (await page.textContent('#blatt-befehl')) === `diodelab ${nativeArgs.join(' ')}`,
    `the sheets' command: ${await page.textContent('#blatt-befehl')}`,
  );
  for (const [button, extra] of [
    ['#blatt-latex', []],
    ['#blatt-csv', ['--csv']],
  ]) {
    const [file] = await Promise.all([page.waitForEvent('download'), page.click(button)]);
    const got = readFileSync(await file.path());
    const want = native('diodelab', [...nativeArgs, ...extra]).stdout;
    check(got.equals(want), `seed ${seed}: the page's ${button} differs from diodelab ${extra.join(' ')}`);
  }
  // Printed: one page per student, sheets and keys apart; the first of
  // them as the preview shows it (which computes that student alone).
  for (const [index, button] of ['#blatt-drucken', '#loesung-drucken'].entries()) {
    await page.evaluate((b) => {
      window.print = () => {};
      document.querySelector(b).click();
    }, button);
    const [printed, previewed] = await page.evaluate(
      (k) => [
        document.querySelector('#druck .blatt').innerHTML,
        document.querySelectorAll('#blatt-vorschau .blatt')[k].innerHTML,
      ],
      index,
    );
    check(printed === previewed, `seed ${seed}: ${button}'s first page is not the preview's`);
    await page.emulateMedia({ media: 'print' });
    const pages = pdfPages(await page.pdf({ format: 'A4' }));
    check(String(pages) === count, `seed ${seed}: ${button} prints ${pages} pages for ${count} students`);
    await page.evaluate(() => window.dispatchEvent(new Event('afterprint')));
    await page.emulateMedia({ media: 'screen' });
  }
  // The first sheet and its key as the page shows them (make docs).
  if (seed === '1' && sheetShot) {
    await page.locator('#blatt-vorschau .blatt').nth(0).screenshot({ path: sheetShot });
    await page.locator('#blatt-vorschau .blatt').nth(1).screenshot({ path: keyShot });
  }
  await context.close();
}

// The printed page is a handout: no field, choice or empty progress box,
// nothing wider than A4.
{
  const { page, context } = await open('', 1280);
  await page.emulateMedia({ media: 'print' });
  const shown = await page.evaluate(
    () =>
      [...document.querySelectorAll('input, select, textarea, progress, button')].filter(
        (e) => getComputedStyle(e).display !== 'none' && e.getClientRects().length > 0,
      ).length,
  );
  check(shown === 0, `printed, ${shown} fields, buttons or boxes show`);
  const pages = pdfPages(await page.pdf({ format: 'A4' }));
  console.log(`page.pdf: ${pages} pages`);
  await context.close();
}

// The first screen at 1366 x 768: what a student can do here, and the
// dialogue's fields with "Rechnen".
{
  const { page, context } = await open('', 1366);
  await page.setViewportSize({ width: 1366, height: 768 });
  const [said, button] = await page.evaluate(() =>
    ['#einstieg', '#eingabe button'].map((s) => document.querySelector(s).getBoundingClientRect().bottom),
  );
  check(said <= 768 && button <= 768, `at 1366 x 768 the sentence ends at ${said} px, Rechnen at ${button} px`);
  await context.close();
}

await browser.close();
console.log(`page for practice and sheets: ${letters.length} methods practised`);
process.exitCode = failed() ? 1 : 0;
