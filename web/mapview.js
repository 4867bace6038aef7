// The map on the page: one panel per method of the view, the legend, the
// CSV link, hovering and choosing a circuit, and the PNG of it all. What a
// panel says on hover or click comes from a copy of the map on screen,
// taken when it is shown, so that a map refused or still being computed
// never speaks for it.
import {
  paintPanel,
  panelTexts,
  legendEntries,
  panelsPng,
  describeCircuit,
  describeEnding,
  tickPower,
} from './panels.js';
import { save } from './download.js';

const $ = (id) => document.getElementById(id);
let shown = null; // the map on screen: its texts, canvases and a copy of its data
let csvUrl = null;
let load = () => {};
const cursor = [0, 0]; // the keyboard's sample: [row, col]

// One panel: its title, the canvas with a cursor over it, the axes with
// their ticks.
function makePanel(m, name) {
  const figure = document.createElement('figure');
  figure.innerHTML =
    `<figcaption id="titel${m}"></figcaption><div class="achse"><div class="y"><span class="label"></span>` +
    '<div class="striche"></div></div><div class="flaeche"><canvas tabindex="0"></canvas>' +
    '<span class="cursor" hidden></span><span class="schaltung-marke" hidden aria-hidden="true">+</span></div></div>' +
    '<div class="x"><div class="striche"></div><span class="label"></span></div>';
  const canvas = figure.querySelector('canvas');
  canvas.id = `panel${m}`;
  canvas.setAttribute('aria-label', `Karte ${name}: Pfeiltasten wählen einen Punkt, Eingabe rechnet ihn`);
  panelEvents(canvas, figure.querySelector('.cursor'));
  return figure;
}

// An axis's ticks as labels at their places (per cent along the axis from
// its first sample's pixel centre to its last one's, of n samples).
function placeTicks(box, ticks, n, vertical) {
  box.replaceChildren(
    ...ticks.map(({ at, text }) => {
      const tick = document.createElement('span');
      tick.append(...tickParts(text));
      const place = (100 * (0.5 + at * (n - 1))) / n;
      tick.style[vertical ? 'bottom' : 'left'] = `${place}%`;
      return tick;
    }),
  );
}

// "4.7e3" as 4.7·10 with a raised 3, "1e7" as 10 with a raised 7.
function tickParts(text) {
  const power = tickPower(text);
  if (!power) return [text];
  const sup = document.createElement('sup');
  sup.textContent = power.exponent;
  return [power.base, sup];
}

// Copies what hover and click need of core's view: the endings, and the
// value of every sample column and row beside the circuit's fixed values.
function snapshot(core, rows, cols) {
  const xq = core.quantity(0);
  const yq = core.quantity(1);
  const base = core.sampleCircuit(0, 0);
  const xs = Array.from({ length: cols }, (_, c) => core.sampleCircuit(0, c)[xq]);
  const ys = Array.from({ length: rows }, (_, r) => core.sampleCircuit(r, 0)[yq]);
  return {
    endings: core.viewEndings(),
    evaluations: core.viewEvaluations(),
    circuit: ([row, col]) => base.map((v, q) => (q === xq ? xs[col] : q === yq ? ys[row] : v)),
    base,
    xq,
    yq,
    xs,
    ys,
  };
}

// The sample of values (sorted up or down) nearest to v, or -1 when v lies
// beyond their ends.
function nearestSample(values, v) {
  const [lo, hi] = [Math.min(values[0], values.at(-1)), Math.max(values[0], values.at(-1))];
  if (!(v >= lo && v <= hi)) return -1;
  let best = 0;
  values.forEach((x, k) => {
    if (Math.abs(x - v) < Math.abs(values[best] - v)) best = k;
  });
  return best;
}

// Marks the dialogue's circuit on the map on screen, where it lies on it:
// its fixed quantity the map's, the other two within the ranges.
export function markCircuit(circuit) {
  if (!shown) return;
  const { data } = shown;
  const fixed = [0, 1, 2].find((q) => q !== data.xq && q !== data.yq);
  const col = nearestSample(data.xs, circuit[data.xq]);
  const row = nearestSample(data.ys, circuit[data.yq]);
  const on = circuit[fixed] === data.base[fixed] && col >= 0 && row >= 0;
  shown.canvases.forEach((canvas) => {
    const mark = canvas.parentElement.querySelector('.schaltung-marke');
    mark.hidden = !on;
    if (!on) return;
    Object.assign(mark.style, {
      left: `${((col + 0.5) / shown.cols) * 100}%`,
      top: `${(1 - (row + 0.5) / shown.rows) * 100}%`,
    });
  });
  $('karte-marke').textContent = on
    ? 'Das Kreuz auf jeder Karte markiert die Schaltung der Rechnung oben.'
    : 'Die Schaltung der Rechnung oben liegt nicht auf dieser Karte.';
}

// Shows the map of core's view: the panels, their titles and axis ends,
// the legend, and the CSV link (csvParts, or without them tooBig instead).
export function showMap(core, csvParts, tooBig) {
  const rows = core.viewSize(1);
  const cols = core.viewSize(0);
  const data = snapshot(core, rows, cols);
  const texts = panelTexts(core);
  const figures = texts.methods.map(({ name }, m) => makePanel(m, name));
  $('panels').replaceChildren(...figures);
  const canvases = figures.map((f) => f.querySelector('canvas'));
  canvases.forEach((canvas, m) => {
    paintPanel(core, m, canvas);
    $(`titel${m}`).textContent = `${texts.methods[m].name}: ${texts.methods[m].shares}`;
    figures[m].querySelector('.y .label').textContent = texts.yLabel;
    figures[m].querySelector('.x .label').textContent = texts.xLabel;
    placeTicks(figures[m].querySelector('.y .striche'), texts.yTicks, rows, true);
    placeTicks(figures[m].querySelector('.x .striche'), texts.xTicks, cols, false);
  });
  $('karte-titel').textContent = texts.title;
  $('karte-titel').hidden = !texts.title;
  $('legende-h').textContent = `Farbe: ${texts.counted} ${texts.passesTo}`;
  if (csvUrl) URL.revokeObjectURL(csvUrl);
  csvUrl = null;
  const link = $('csv');
  if (csvParts) {
    csvUrl = URL.createObjectURL(new Blob(csvParts, { type: 'text/csv' }));
    link.href = csvUrl;
    link.textContent = 'CSV herunterladen';
  } else {
    link.removeAttribute('href');
    link.textContent = tooBig;
  }
  shown = { core, data, texts, canvases, rows, cols, legend: legendEntries(core) };
  pointed = null;
  cursor[0] = Math.min(cursor[0], rows - 1);
  cursor[1] = Math.min(cursor[1], cols - 1);
  $('legende').replaceChildren(
    ...shown.legend.map(([label, colour]) => {
      const item = document.createElement('li');
      const swatch = document.createElement('span');
      swatch.className = 'farbe';
      swatch.style.background = colour;
      item.append(swatch, label);
      return item;
    }),
  );
}

// The sample under a pointer on a panel's canvas: [row, col].
function sampleAt(canvas, event) {
  const box = canvas.getBoundingClientRect();
  const col = Math.floor(((event.clientX - box.left) / box.width) * shown.cols);
  const row = shown.rows - 1 - Math.floor(((event.clientY - box.top) / box.height) * shown.rows);
  return [Math.min(shown.rows - 1, Math.max(0, row)), Math.min(shown.cols - 1, Math.max(0, col))];
}

function describeSample([row, col]) {
  const { core, data } = shown;
  const circuit = data.circuit([row, col]);
  const endings = shown.texts.methods.map(({ name }, m) => {
    const at = (m * shown.rows + row) * shown.cols + col;
    return `${name}: ${describeEnding(core, data.endings[at], data.evaluations[at])}`;
  });
  return { circuit, text: `${describeCircuit(core, circuit)}. ${endings.join('; ')}.` };
}

// Hovering a panel, or the arrow keys on a focused one, shows a sample's
// circuit and endings; a click, or Enter, hands the circuit to onLoad.
export function watchPanels(onLoad) {
  load = onLoad;
}

// The sample the pointer last showed: a click loads exactly that one, as
// a click's coordinates may be rounded where a move's are fractional
// (zoom, HiDPI screens).
let pointed = null;
function panelEvents(canvas, mark) {
  const show = (e) => {
    if (!shown) return;
    pointed = sampleAt(canvas, e);
    $('hover').textContent = describeSample(pointed).text;
  };
  // The keyboard's cursor, drawn over the sample it stands on.
  const place = () => {
    const box = canvas.getBoundingClientRect();
    const [w, h] = [box.width / shown.cols, box.height / shown.rows];
    Object.assign(mark.style, {
      left: `${cursor[1] * w}px`,
      top: `${(shown.rows - 1 - cursor[0]) * h}px`,
      width: `${Math.max(w, 3)}px`,
      height: `${Math.max(h, 3)}px`,
    });
    mark.hidden = false;
  };
  canvas.addEventListener('pointermove', show);
  canvas.addEventListener('pointerdown', show);
  canvas.addEventListener('pointerleave', () => {
    pointed = null;
  });
  canvas.addEventListener('click', (e) => {
    if (shown) load(describeSample(pointed || sampleAt(canvas, e)).circuit);
  });
  canvas.addEventListener('focus', () => {
    if (!shown) return;
    place();
    $('hover').textContent = describeSample(cursor).text;
  });
  canvas.addEventListener('blur', () => {
    mark.hidden = true;
  });
  canvas.addEventListener('keydown', (e) => {
    if (!shown) return;
    const step = e.shiftKey ? 10 : 1;
    const moves = { ArrowUp: [step, 0], ArrowDown: [-step, 0], ArrowLeft: [0, -step], ArrowRight: [0, step] };
    if (Object.hasOwn(moves, e.key)) {
      cursor[0] = Math.min(shown.rows - 1, Math.max(0, cursor[0] + moves[e.key][0]));
      cursor[1] = Math.min(shown.cols - 1, Math.max(0, cursor[1] + moves[e.key][1]));
      place();
      $('hover').textContent = describeSample(cursor).text;
      e.preventDefault();
    } else if (e.key === 'Enter') {
      load(describeSample(cursor).circuit);
    }
  });
}

// Downloads the PNG of the map on screen.
export async function savePng() {
  if (!shown) return;
  const blob = await panelsPng(shown.canvases, shown.texts, shown.legend);
  save(blob, 'diodemap.png');
}
