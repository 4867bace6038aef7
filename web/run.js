// The dialogue and its run: diodesolve's own main on the answers, every
// method on the circuit it read (passes.js), and what shows them: the
// comparison, the chart with its sentences, the pass tables, the console's
// output, the step view. The link's state (state.js) chooses the methods,
// the chart's measure, the table and its digits.
import { showLoadLine } from './loadline.js';
import { runCommand } from './wasi.js';
import { drawChart, chartHeight, chartSvg, seriesOf, measures, markKey, fitScreen } from './chart.js';
import { makePlayer } from './player.js';
import { save } from './download.js';
import { runPasses, convergenceSentence, ran, pageMethodsOf } from './passes.js';
import { showRoot, showTables } from './tables.js';
import { showConsole, watchConsole } from './console.js';
import { showSteps, goTo } from './steps.js';
import { markCircuit } from './mapview.js';
import { state, update, watch } from './state.js';
import { showPractice, hidePractice, watchPractice } from './practice.js';

const $ = (id) => document.getElementById(id);
const encoder = new TextEncoder();

// The dialogue's answer fields, and the start fields and criteria by their
// link keys, with what a wrong one is called.
export const answerFields = ['U', 'R', 'IS'];
const startFields = [
  ['sa', 'a', 'Startwert für a'],
  ['sb', 'b', 'Startwert für b'],
  ['x0', 'x0', 'Startwert für x0'],
  ['stol', 'stol', 'Wert für die Schritt-Toleranz (eine Zahl ab 0)'],
  ['rtol', 'rtol', 'Wert für die Residuum-Toleranz (eine Zahl ab 0)'],
  ['grenze', 'grenze', 'Wert für die Höchstzahl (1 bis 200)'],
];
// Each answer is exactly one line: what a field or a link holds up to its
// first line break (an <input> would drop the breaks and join the lines).
export const firstLine = (text) => text.split(/[\r\n]/)[0];

// What runs here: the two modules, the page's core (core.js), the last run
// (runPasses) and the chart drawn of it; busy(on) marks the page busy.
const run = { solver: null, core: null, current: null, chart: null, upTo: null, player: null, busy: () => {} };

// The methods chosen for the chart and the tables, as indices into the
// run's methods (the table's order).
const chosenMethods = () =>
  [...state.verfahren].map((letter) => run.core.methods.findIndex((m) => m.letter === letter)).filter((m) => m >= 0);

// The boxes of the methods, from the table of methods, checked as the link
// says.
function showChoices() {
  $('auswahl')
    .querySelectorAll('label')
    .forEach((l) => l.remove());
  for (const method of pageMethodsOf(run.core)) {
    const label = document.createElement('label');
    const box = Object.assign(document.createElement('input'), {
      type: 'checkbox',
      value: String(method.index),
      checked: state.verfahren.includes(method.letter),
    });
    box.addEventListener('change', () => {
      const boxes = [...$('auswahl').querySelectorAll('input:checked')];
      update({ verfahren: boxes.map((b) => run.core.methods[Number(b.value)].letter).join('') });
    });
    label.append(box, ` ${method.letter} ${method.label}`);
    $('auswahl').append(label);
  }
}

// While practice asks a pass (the link's ueben), the run's passes are not
// on the page: its root, comparison, chart, tables, console and step view
// are empty, and only practice shows what it has asked.
const veiled = () => state.ueben !== null;
function veil() {
  $('wurzel').textContent = '';
  $('wurzel').dataset.wert = '';
  $('vergleich').tBodies[0].replaceChildren();
  for (const id of ['urteil', 'ausgabe', 'meldungen']) $(id).replaceChildren();
  for (const id of ['terminal', 'status']) $(id).textContent = '';
  $('schritt-abschnitt').hidden = true;
}

// Draws the chart, its sentences and the tables of the chosen methods.
function showRun() {
  run.busy(true);
  if (run.chart) run.chart.destroy();
  run.chart = null;
  const current = veiled() ? null : run.current;
  const picked = current ? chosenMethods() : [];
  const chosen = current ? ran(current, picked) : [];
  $('chart-hinweis').textContent = '';
  $('ordnung').replaceChildren();
  const tab = current ? current.methods.findIndex((r) => r.method.letter === state.tabelle) : -1;
  showLoadLine(run.core, current, chosen.includes(tab) ? tab : chosen[0]);
  if (current) {
    const series = seriesOf(current, chosen, state.mass);
    const width = $('chart').clientWidth || 320;
    const big = document.body.classList.contains('vortrag');
    run.chart = drawChart($('chart'), { series, measure: state.mass, width, big, upTo: run.upTo }, openPass, (text) => {
      $('chart-ansage').textContent = text;
    });
    run.passCount = Math.max(0, ...series.map((s) => s.values.length));
    $('chart-hinweis').textContent =
      chosen.length > series.length ? `${markKey} Ohne Intervall hat ein Verfahren keine Intervallbreite.` : markKey;
    $('ordnung').replaceChildren(
      ...picked.map((m) =>
        Object.assign(document.createElement('li'), { textContent: convergenceSentence(current, m) }),
      ),
    );
    fitScreen(run.chart, big, $('chart-spiel'), $('ordnung'));
  }
  showTables(current || { methods: [] }, {
    chosen: picked,
    tab: state.tabelle,
    digits: state.stellen === '17' ? 17 : 6,
    onOpen: openPass,
    onTab: (letter) => update({ tabelle: letter }),
  });
  run.busy(false);
}

// Runs the dialogue on the fields' answers and shows it all.
export function runDialogue() {
  run.busy(true);
  const { core } = run;
  const answers = answerFields.map((f) => firstLine($(f).value));
  const start = startFields.map(([id]) => $(id).value.trim());
  const stdin = encoder.encode(answers.map((a) => `${a}\n`).join(''));
  const result = runCommand(run.solver, stdin);
  document.body.classList.toggle('uebt', veiled());
  if (!veiled()) showConsole(result, answers, core.methods.map((m) => m.letter).join(''));
  const started = performance.now();
  const current = runPasses(core, stdin, start);
  run.current = current;
  run.upTo = null;
  run.player.stop();
  $('vergleich').dataset.rechenzeit = (performance.now() - started).toFixed(1);
  const said = result.stderr.length ? new TextDecoder().decode(result.stderr).split('\n')[0] : '';
  $('start-meldung').textContent = !current
    ? `Keine Schaltung gelesen: ${said} (die Konsolenausgabe zeigt den Dialog)`
    : current.startError
      ? `Kein ${startFields[current.startError - 1][2]}: "${start[current.startError - 1]}"; es gelten die voreingestellten.`
      : [said, current.refusals.trim()].filter(Boolean).join(' ');
  if (current && !veiled()) showRoot(current);
  else {
    $('wurzel').textContent = '';
    $('wurzel').dataset.wert = '';
    $('vergleich').tBodies[0].replaceChildren();
    $('urteil').replaceChildren();
  }
  showRun();
  if (current) markCircuit(current.circuit);
  if (veiled()) {
    veil();
    showPractice(core, current);
  } else {
    hidePractice();
    showSteps(core, current, { onMove: (letter, pass) => update({ schritt: `${letter}${pass}` }) });
  }
  update({
    ...Object.fromEntries(answerFields.map((f, k) => [f, answers[k]])),
    ...Object.fromEntries(startFields.map(([, key], k) => [key, start[k]])),
    ...(current ? {} : { schritt: null }),
  });
  run.busy(false);
}

// Opens pass k (from 0) of method m of the table in the step view and
// shows it.
function openPass(m, k) {
  run.busy(true);
  goTo(`${run.core.methods[m].letter}${k + 1}`);
  $('schritt-abschnitt').scrollIntoView({ block: 'start' });
  run.busy(false);
}

// The chart as SVG, and as PNG drawn from that SVG.
function chartPicture() {
  const { current, core } = run;
  const series = seriesOf(current, ran(current, chosenMethods()), state.mass);
  const [u, r, i] = current.circuit.map((v) => core.format(v, 6));
  return chartSvg(
    series,
    state.mass,
    `${measures[state.mass].label} je Durchlauf: U = ${u} V, R = ${r} Ohm, I_S = ${i} A`,
  );
}

// Fills the fields from the link, makes the boxes of the methods, and
// follows the user: the form, the measure, the digits, the console's view,
// the chart's downloads and width. modules: { solver, core }; busy(on).
export function watchRun(modules, busy) {
  Object.assign(run, modules, { busy });
  for (const f of answerFields) if (state[f] !== null) $(f).value = firstLine(state[f]);
  for (const [id, key] of startFields) $(id).value = firstLine(state[key]);
  // Criteria from the link show.
  $('eingabe').querySelector('.kriterien').open = startFields.slice(3).some(([, key]) => state[key] !== '');
  if (Object.hasOwn(measures, state.mass)) document.querySelector(`#mass input[value="${state.mass}"]`).checked = true;
  else update({ mass: null });
  $('stellen').checked = state.stellen === '17';
  $('konsole').open = state.konsole === '1';
  showChoices();
  watch(['verfahren', 'mass', 'stellen', 'tabelle'], showRun);
  // Practice starts and ends with a run of its own; within it, the next
  // pass is asked of the same run.
  let practising = veiled();
  watch(['ueben'], () => {
    if (practising !== veiled()) runDialogue();
    else if (veiled()) showPractice(run.core, run.current, { keep: true });
    practising = veiled();
  });
  watchPractice(pageMethodsOf(run.core));
  $('eingabe').addEventListener('submit', (e) => {
    e.preventDefault();
    runDialogue();
  });
  document
    .querySelectorAll('#mass input')
    .forEach((radio) => radio.addEventListener('change', () => update({ mass: radio.value })));
  $('stellen').addEventListener('change', () => update({ stellen: $('stellen').checked ? '17' : '6' }));
  $('konsole').addEventListener('toggle', () => update({ konsole: $('konsole').open ? '1' : '' }));
  $('chart-svg').addEventListener(
    'click',
    () => run.current && save(new Blob([chartPicture()], { type: 'image/svg+xml' }), 'konvergenz.svg'),
  );
  $('chart-png').addEventListener('click', () => {
    if (!run.current) return;
    const image = new Image();
    const url = URL.createObjectURL(new Blob([chartPicture()], { type: 'image/svg+xml' }));
    image.onload = () => {
      const canvas = Object.assign(document.createElement('canvas'), { width: image.width, height: image.height });
      canvas.getContext('2d').drawImage(image, 0, 0);
      URL.revokeObjectURL(url);
      canvas.toBlob((blob) => save(blob, 'konvergenz.png'), 'image/png');
    };
    image.src = url;
  });
  watchConsole((letter, pass) =>
    openPass(
      run.core.methods.findIndex((m) => m.letter === letter),
      pass - 1,
    ),
  );
  // The chart follows the width of its box.
  new ResizeObserver(() => {
    const width = $('chart').clientWidth;
    if (!run.chart || !width || width === run.chart.width) return;
    run.chart.setSize({ width, height: chartHeight(width) });
    fitScreen(run.chart, document.body.classList.contains('vortrag'), $('chart-spiel'), $('ordnung'));
  }).observe($('chart'));
  // The passes play on the chart: from the first, one more each tick.
  const reveal = (k) => {
    run.upTo = k;
    run.chart.reveal(k);
  };
  run.player = makePlayer({
    button: 'chart-spielen',
    speed: 'chart-tempo',
    view: 'chart',
    step: () => {
      if (!run.chart || run.upTo === null) return false;
      reveal(Math.min(run.passCount, run.upTo + 1));
      if (run.upTo < run.passCount) return true;
      run.upTo = null;
      return false;
    },
    restart: () => run.chart && reveal(1),
    atEnd: () => run.upTo === null,
  });
}

// Draws the chart again (after the presentation mode changed).
export const redrawRun = () => showRun();

// The circuit of the last run, or null.
export const lastCircuit = () => (run.current ? run.current.circuit : null);
