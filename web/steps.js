// "Schritt für Schritt": one pass of one method on the dialogue's circuit,
// its whole construction on the curve of the residual f(I), drawn by uPlot
// (the geometry: stepwindow.js). The I axis is in amperes while six digits
// tell the window's ends apart, else offsets from the pass's estimate; once
// the window holds at most 64 doubles, every double is a point with the
// residual the computer gets, the real curve faint behind, the axis
// counting steps of the binary64 grid; the construction drawn on it by
// stepdraw.js. Every value comes from the module: the passes (passes.js),
// f at the curve's doubles, the neighbours, the real residual.
import uPlot from 'uplot';
import { order } from './passes.js';
import { passSentence, digitsOf, gridSentence } from './sentences.js';
import { construct, stepWindow, sampleCurve } from './stepwindow.js';
import { render } from './stepdraw.js';
import { makePlayer } from './player.js';
import { fitScreen } from './chart.js';
import { save } from './download.js';

const $ = (id) => document.getElementById(id);
// The view's state: the run, the method, the pass.
let state = null;

// Opens the view on run (passes.js runPasses), at pass (from 1) of method
// m; onMove(letter, pass) follows every change.
export function showSteps(core, run, { m = 0, pass = 1, onMove = () => {} } = {}) {
  if (player) player.stop();
  state = { core, run, m, k: 0, onMove, chart: null };
  $('schritt-abschnitt').hidden = !run;
  if (!run) return;
  const choice = $('schritt-verfahren');
  choice.querySelectorAll('label').forEach((l) => l.remove());
  for (const [index, { method, passes }] of run.methods.entries()) {
    const label = document.createElement('label');
    const radio = document.createElement('input');
    // A method that the start values refused has no pass to show.
    Object.assign(radio, { type: 'radio', name: 'verfahren', value: String(index), disabled: !passes.length });
    radio.addEventListener('change', () => go(index, state.k));
    label.append(radio, ` ${method.label}`);
    choice.append(label);
  }
  go(m, pass - 1);
}

// The methods that ran, in the table's order.
const running = () => state.run.methods.map((r, m) => m).filter((m) => state.run.methods[m].passes.length);

// Opens pass k (from 0) of method m, clamped to the block; a method that
// did not run gives way to the first that did.
export function go(m, k) {
  if (!state || !state.run) return;
  if (!state.run.methods[m].passes.length) m = running()[0];
  if (m === undefined) return;
  const n = state.run.methods[m].passes.length;
  state.m = m;
  state.k = Math.max(0, Math.min(n - 1, k));
  draw();
  state.onMove(state.run.methods[m].method.letter, state.k + 1);
}

// Draws the pass shown again (after the presentation mode changed).
export function redrawSteps() {
  if (state && state.run) draw();
}

// Opens the pass named like N7 (a link's schritt). Returns '' when it
// named one of the run, else what is wrong with it (a pass beyond the
// block opens its last one).
export function goTo(name) {
  if (!state || !state.run) return '';
  const letters = state.run.methods.map(({ method }) => method.letter);
  const said = name.length > 40 ? `${name.slice(0, 40)}…` : name; // a link may be long
  const found = /^([A-Z])([1-9][0-9]*)$/.exec(name);
  const m = found ? letters.indexOf(found[1]) : -1;
  if (m < 0)
    return (
      `Der Link nennt keinen Durchlauf: "${said}". Erwartet: ein Verfahren (${letters.join(', ')}) und die ` +
      'Nummer des Durchlaufs, etwa N7.'
    );
  const { method, passes, refusal } = state.run.methods[m];
  const n = passes.length;
  go(m, Number(found[2]) - 1);
  if (refusal) return `Der Link nennt ${said}, aber ${method.label} läuft nicht: ${refusal}.`;
  return Number(found[2]) <= n
    ? ''
    : `Der Link nennt ${said}, aber ${method.label} hat nur ${n} Durchläufe: gezeigt ist der letzte.`;
}

function draw() {
  const { core, run, m, k } = state;
  const { method, passes } = run.methods[m];
  const p = passes[k];
  const view = $('schritt');
  view.dataset.verfahren = method.letter;
  view.dataset.durchlauf = String(k + 1);
  view.dataset.zustand = method.values.map(([, field]) => p.text(field)).join(' ');
  document.querySelectorAll('#schritt-verfahren input').forEach((r) => {
    r.checked = Number(r.value) === m;
  });
  const slider = $('schritt-regler');
  slider.max = String(passes.length);
  slider.value = String(k + 1);
  $('schritt-nummer').textContent = `Durchlauf ${k + 1} von ${passes.length} (${method.label})`;
  showSentence(passSentence(run, m, k));
  $('schritt-werte').textContent =
    `Mit 17 Stellen: ${method.values.map(([name, field]) => `${name} = ${p.text(field)} ${p.unit(field)}`.trim()).join('; ')}.`;
  const built = construct(core, method, p, { passes, k, m });
  const w = stepWindow(core, built, run.circuit[2]);
  view.dataset.punkte = String(w && w.grid ? w.grid[0].length : 0);
  if (state.chart) state.chart.destroy();
  $('schritt-bild').zeichnung = null;
  $('schritt-gitter').textContent = w && w.grid ? gridSentence(core, w, run.circuit[0]) : '';
  const said = w ? axisText(core, w, missing(method, p)) : '';
  $('schritt-achse').textContent = w
    ? said
    : 'Kein Bild: an keinem double dieses Durchlaufs und bis zum Rand des Definitionsbereichs I = −I_S ' +
      'hat f einen endlichen Wert (inf oder nan).';
  state.chart = w ? plot(core, built, w, method, said) : null;
  fitScreen(state.chart, big(), $('schritt-wahl'), $('schritt-satz'));
}

// The pass's residual where it is no number, for the caption.
const missing = (method, p) => (Number.isFinite(p.d) ? '' : `Nicht im Bild: ${method.residual} = ${p.text('d', 6)}.`);

// Once the chart is drawn: its geometry for the tests, and in words what
// the picture cannot show.
function drawn(zeichnung, said) {
  $('schritt-bild').zeichnung = zeichnung;
  $('schritt-achse').textContent = [said, ...zeichnung.notes].join(' ');
}

// The sentence, each value with as many digits as it takes to tell it from
// the others (digitsOf) and its unit; hovering or focusing one shows it
// with seventeen.
function showSentence(parts) {
  const digits = digitsOf(parts);
  let next = 0;
  $('schritt-satz').replaceChildren(
    ...parts.map((part) => {
      if (typeof part === 'string') return document.createTextNode(part);
      const span = document.createElement('span');
      span.className = 'wert';
      const unit = Number.isFinite(part.value) && part.unit ? ` ${part.unit}` : '';
      span.textContent = `${part.text(digits[next++])}${unit}`;
      span.title = `${part.name} = ${part.text(17)}${unit}`;
      return span;
    }),
  );
}

// What the horizontal axis shows, and what of the pass is not in it.
function axisText(core, w, gap) {
  const said = [];
  if (w.grid) {
    said.push(
      `Waagerecht: die doubles um c = ${core.format(w.c)} A, gezählt in Schritten des binary64-Gitters; ` +
        `${w.grid[0].length} doubles, jedes ein Punkt mit seinem Residuum, wie der Rechner es ausrechnet.`,
    );
  } else if (w.absolute) said.push(`Waagerecht: der Strom I in ${w.unit[1]}.`);
  else
    said.push(
      `Waagerecht: I − c in ${w.unit[1]}, mit c = ${core.format(w.c)} A (der Ausschnitt ist so schmal, ` +
        'dass sechs Stellen seine Enden nicht unterscheiden).',
    );
  if (gap) said.push(gap);
  return said.join(' ');
}

// Where pixels go: font sizes and widths grow in the presentation mode.
const big = () => document.body.classList.contains('vortrag');

// The chart of the window w with the construction built (construct()) on
// it. Its geometry (curve, points, labels in canvas pixels) stays on the
// chart as zeichnung, for the tests.
function plot(core, built, w, method, said) {
  const element = $('schritt-bild');
  const width = stepWidth(element);
  const height = stepHeight(width);
  const co = order(w.c);
  // Where a double lies on the drawn axis: steps of the grid, amperes in
  // a unit, or offsets from c.
  const at = w.grid ? (x) => Number(order(x) - co) : w.absolute ? (x) => x / w.unit[0] : (x) => (x - w.c) / w.unit[0];
  const dots = built.shapes.filter((s) => s.kind === 'dot' && Number.isFinite(s.y) && s.x >= w.lo && s.x <= w.hi);
  const coarse = w.grid ? w.grid : core.curve(w.lo, w.hi, 401);
  const ys = [0, ...coarse[1].filter(Number.isFinite), ...dots.map((s) => s.y)];
  let [ylo, yhi] = [Math.min(...ys), Math.max(...ys)];
  const pad = (yhi - ylo) * 0.12 || Math.abs(yhi) * 0.5 || 1;
  [ylo, yhi] = [ylo - pad, yhi + pad];
  const [x0, x1] = [at(w.lo), at(w.hi)];
  const toPx = (x, y) => [((at(x) - x0) / (x1 - x0)) * width, ((yhi - y) / (yhi - ylo)) * height];
  const must = built.shapes.filter((s) => s.kind === 'dot' && s.curve).map((s) => s.x);
  const [xs, fs] = w.grid || sampleCurve(core, { lo: w.lo, hi: w.hi, must, toPx });
  const data = [xs.map(at), fs.map((f) => (Number.isFinite(f) ? f : null))];
  if (w.grid) data.push(core.residuals(xs, true).map((f) => (Number.isFinite(f) ? f : null)));
  const half = w.grid ? 0.5 : 0;
  const fmtY = (v) =>
    v === 0 ? '0' : Math.abs(v) >= 1e-3 && Math.abs(v) < 1e4 ? String(+v.toPrecision(4)) : v.toExponential(2);
  const font = `${big() ? 22 : 12}px sans-serif`;
  const series = [
    { label: 'I', value: (u, v, s, idx) => (idx === null || idx === undefined ? '-' : `${core.format(xs[idx])} A`) },
    {
      label: 'f(I)',
      stroke: '#333',
      width: 1.5,
      pxAlign: 0,
      paths: w.grid ? () => null : undefined,
      points: { show: !!w.grid, size: big() ? 10 : 7, fill: '#333' },
      value: (u, v, s, idx) => (idx === null || idx === undefined ? '-' : `${core.format(fs[idx])} V`),
    },
  ];
  if (w.grid) series.push({ label: 'reell', stroke: '#bbb', width: 1, points: { show: false } });
  const chart = new uPlot(
    {
      width,
      height,
      scales: { x: { time: false, range: [x0 - half, x1 + half] }, y: { range: [ylo, yhi] } },
      axes: [
        {
          label: w.grid
            ? 'I: Schritte im Gitter um c'
            : w.absolute
              ? `I in ${w.unit[1]}`
              : `I − c in ${w.unit[1]}, c = ${core.format(w.c)} A`,
          incrs: w.grid ? [1, 2, 5, 10] : undefined,
          size: big() ? 64 : 50,
          font,
          labelFont: `bold ${font}`,
        },
        {
          label: 'f(I) in V',
          size: big() ? 130 : 80,
          values: (u, splits) => splits.map(fmtY),
          font,
          labelFont: `bold ${font}`,
        },
      ],
      legend: { live: true },
      series,
      hooks: {
        draw: [
          (u) =>
            drawn(render(u, { core, built, w, at, method, k: state.k, iS: state.run.circuit[2], big: big() }), said),
        ],
      },
    },
    data,
    element,
  );
  chart.ctx.canvas.setAttribute('role', 'img');
  chart.ctx.canvas.setAttribute(
    'aria-label',
    `Schritt für Schritt: ${method.label}, Durchlauf ${state.k + 1}, ` +
      'auf der Kurve f(I); der Satz darunter sagt, was das Bild zeigt',
  );
  return chart;
}

const stepWidth = (element) => Math.max(280, Math.min(big() ? 4000 : 900, element.clientWidth || 640));
const stepHeight = (width) => Math.round(Math.min(big() ? 700 : 460, Math.max(260, width * 0.6)));

// The player of the passes (player.js).
let player = null;

// The controls: the method, previous and next, the slider, the keys on the
// focused view, the player, the PNG.
export function watchSteps() {
  const last = () => state.run.methods[state.m].passes.length - 1;
  player = makePlayer({
    button: 'schritt-spielen',
    speed: 'schritt-tempo',
    view: 'schritt',
    step: () => {
      if (!state || !state.run || state.k >= last()) return false;
      go(state.m, state.k + 1);
      return state.k < last();
    },
    restart: () => go(state.m, 0),
    atEnd: () => !state || !state.run || state.k >= last(),
  });
  $('schritt-zurueck').addEventListener('click', () => state && go(state.m, state.k - 1));
  $('schritt-vor').addEventListener('click', () => state && go(state.m, state.k + 1));
  $('schritt-regler').addEventListener('input', (e) => state && go(state.m, Number(e.target.value) - 1));
  $('schritt').addEventListener('keydown', (e) => {
    if (!state || !state.run) return;
    const n = state.run.methods[state.m].passes.length;
    const them = running();
    const at = them.indexOf(state.m);
    const moves = {
      ArrowLeft: [state.m, state.k - 1],
      ArrowRight: [state.m, state.k + 1],
      ArrowUp: [them[(at + them.length - 1) % them.length], state.k],
      ArrowDown: [them[(at + 1) % them.length], state.k],
      Home: [state.m, 0],
      End: [state.m, n - 1],
    };
    if (!Object.hasOwn(moves, e.key)) return;
    e.preventDefault();
    go(...moves[e.key]);
  });
  $('schritt-png').addEventListener('click', savePng);
  new ResizeObserver(() => {
    if (!state || !state.chart) return;
    const width = stepWidth($('schritt-bild'));
    if (width === state.chart.width) return;
    state.chart.setSize({ width, height: stepHeight(width) });
    fitScreen(state.chart, big(), $('schritt-wahl'), $('schritt-satz'));
  }).observe($('schritt-bild'));
}

// The PNG of the current step for slides: the chart, with the pass named
// above it and its sentence below; where there is no picture, the words
// that say why stand in its place.
function savePng() {
  if (!state || !state.run) return;
  const source = state.chart ? state.chart.ctx.canvas : null;
  const px = uPlot.pxRatio;
  const head = `${$('schritt-nummer').textContent}: ${$('schritt-achse').textContent}`;
  const heads = source ? [head.slice(0, 160)] : wrap(head, 100);
  const lines = wrap($('schritt-satz').textContent, 110);
  const top = (22 * heads.length + 22) * px;
  const out = document.createElement('canvas');
  out.width = source ? source.width : Math.round(900 * px);
  out.height = top + (source ? source.height : 0) + (1 + lines.length) * 22 * px;
  const g = out.getContext('2d');
  g.fillStyle = '#fff';
  g.fillRect(0, 0, out.width, out.height);
  if (source) g.drawImage(source, 0, top);
  g.fillStyle = '#000';
  g.font = `${16 * px}px sans-serif`;
  heads.forEach((text, i) => g.fillText(text, 8, (26 + 22 * i) * px));
  g.font = `${13 * px}px sans-serif`;
  const below = top + (source ? source.height : 0);
  lines.forEach((text, i) => g.fillText(text, 8, below + (22 + 22 * i) * px));
  const name = `schritt-${state.run.methods[state.m].method.letter}${state.k + 1}.png`;
  out.toBlob((blob) => save(blob, name), 'image/png');
}

function wrap(text, width) {
  const lines = [''];
  for (const word of text.split(' ')) {
    if (lines[lines.length - 1].length + word.length + 1 > width) lines.push('');
    lines[lines.length - 1] += (lines[lines.length - 1] ? ' ' : '') + word;
  }
  return lines;
}
