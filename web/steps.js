// "Schritt fuer Schritt": one pass of one method on the dialogue's circuit,
// its construction on the curve of the residual f(I), drawn by uPlot. The
// window fits the construction; the I axis shows the offset from the pass's
// estimate in a unit that fits, and once the window holds at most 64
// doubles, every double as a point with its exact residual, the axis
// counting steps of the binary64 grid. Every value comes from the module:
// the passes (passes.js), f at the curve's doubles, the neighbours.
import uPlot from 'uplot';
import { order } from './passes.js';
import { passSentence } from './sentences.js';
import { stepWindow } from './stepwindow.js';

const $ = (id) => document.getElementById(id);
const samples = 401; // of the curve, when the window is no grid

// A unit for offsets of size w (in A): SI prefixes, else a power of two.
const prefixes = [
  [1, 'A'],
  [1e-3, 'mA'],
  [1e-6, 'uA'],
  [1e-9, 'nA'],
  [1e-12, 'pA'],
  [1e-15, 'fA'],
  [1e-18, 'aA'],
  [1e-21, 'zA'],
  [1e-24, 'yA'],
];
function unitFor(w) {
  const found = prefixes.find(([u]) => w >= u);
  if (found && w < 1000) return found;
  const k = Math.floor(Math.log2(w));
  return [2 ** k, `2^${k} A`];
}

// The view's state: the run, the method, the pass.
let state = null;

// Opens the view on run (passes.js runPasses), at pass (from 1) of method
// m; onMove(letter, pass) follows every change.
export function showSteps(core, run, m = 0, pass = 1, onMove = () => {}) {
  state = { core, run, m, k: 0, onMove, chart: null };
  $('schritt-abschnitt').hidden = !run;
  if (!run) return;
  const choice = $('schritt-verfahren');
  choice.querySelectorAll('label').forEach((l) => l.remove());
  for (const [index, { method }] of run.methods.entries()) {
    const label = document.createElement('label');
    const radio = document.createElement('input');
    Object.assign(radio, { type: 'radio', name: 'verfahren', value: String(index) });
    radio.addEventListener('change', () => go(index, state.k));
    label.append(radio, ` ${method.name}`);
    choice.append(label);
  }
  go(m, pass - 1);
}

// Opens pass k (from 0) of method m, clamped to the block.
export function go(m, k) {
  if (!state || !state.run) return;
  const n = state.run.methods[m].passes.length;
  state.m = m;
  state.k = Math.max(0, Math.min(n - 1, k));
  draw();
  state.onMove(state.run.methods[m].method.letter, state.k + 1);
}

// Opens the pass named like N7 (a link's schritt). Returns '' when it
// named one of the run, else what is wrong with it (a pass beyond the
// block opens its last one).
export function goTo(name) {
  if (!state || !state.run) return '';
  const letters = state.run.methods.map(({ method }) => method.letter);
  const found = /^([A-Z])([1-9][0-9]{0,2})$/.exec(name);
  const m = found ? letters.indexOf(found[1]) : -1;
  if (m < 0)
    return (
      `Der Link nennt keinen Durchlauf: "${name}". Erwartet: ein Verfahren (${letters.join(', ')}) und die ` +
      'Nummer des Durchlaufs, etwa N7.'
    );
  const n = state.run.methods[m].passes.length;
  go(m, Number(found[2]) - 1);
  return Number(found[2]) <= n
    ? ''
    : `Der Link nennt ${name}, aber ${state.run.methods[m].method.name} hat nur ${n} Durchläufe: gezeigt ist der letzte.`;
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
  $('schritt-nummer').textContent = `Durchlauf ${k + 1} von ${passes.length} (${method.name})`;
  showSentence(passSentence(run, m, k));
  const w = stepWindow(core, method, p);
  view.dataset.punkte = String(w && w.grid ? w.grid[0].length : 0);
  if (state.chart) state.chart.destroy();
  state.chart = w ? plot(core, method, p, w) : null;
  $('schritt-achse').textContent = w
    ? axisText(core, w, state.chart.missing)
    : 'Nichts zu zeichnen: die Werte dieses Durchlaufs sind nicht endlich (inf oder nan).';
}

// The sentence, its values with six digits; hovering or focusing one shows
// it with seventeen.
function showSentence(parts) {
  const box = $('schritt-satz');
  box.replaceChildren(
    ...parts.map((part) => {
      if (typeof part === 'string') return document.createTextNode(part);
      const span = document.createElement('span');
      span.className = 'wert';
      span.tabIndex = 0;
      span.textContent = part.text(6);
      span.title = `${part.name} = ${part.text(17)}`;
      const exact = () => {
        $('schritt-wert').textContent = span.title;
      };
      span.addEventListener('focus', exact);
      span.addEventListener('mouseenter', exact);
      return span;
    }),
  );
}

// What the horizontal axis shows, and what of the construction has no
// place in the picture (missing: texts from plot()).
function axisText(core, w, missing) {
  const gaps = missing.length ? ` Nicht im Bild: ${missing.join('; ')}.` : '';
  if (w.grid) {
    return (
      `Waagerecht: Gleitkommanachbarn, die doubles um c = ${core.format(w.c)} A, gezählt in Schritten ` +
      `des binary64-Gitters; ${w.grid[0].length} doubles, jedes mit seinem genauen Residuum.${gaps}`
    );
  }
  return `Waagerecht: I - c in ${unitFor(w.hi - w.lo)[1]}, c = ${core.format(w.c)} A.${gaps}`;
}

// The chart of the window w with the construction of pass p of method
// drawn on it.
function plot(core, method, p, w) {
  const element = $('schritt-bild');
  const width = stepWidth(element);
  const [unit] = w.grid ? [1] : unitFor(w.hi - w.lo);
  const co = order(w.c);
  // Where a double lies on the drawn axis.
  const at = (x) => (w.grid ? Number(order(x) - co) : (x - w.c) / unit);
  const [xs, fs] = w.grid || core.curve(w.lo, w.hi, samples);
  const ys = fs.filter(Number.isFinite).concat(0);
  const missing = [];
  if (ys.length === 1) missing.push('die Kurve, denn f ist an keinem ihrer Punkte endlich');
  if (!Number.isFinite(p.d)) missing.push(`${method.residual} = ${p.text('d', 6)}`);
  const inside = (x) => Number.isFinite(x) && at(x) >= at(xs[0]) && at(x) <= at(xs[xs.length - 1]);
  for (const [x, y] of method.marks(p)) if (inside(x) && Number.isFinite(y)) ys.push(y);
  let ylo = Math.min(...ys);
  let yhi = Math.max(...ys);
  const pad = (yhi - ylo) * 0.12 || Math.abs(yhi) * 0.5 || 1;
  ylo -= pad;
  yhi += pad;
  const data = [xs.map(at), fs.map((f) => (Number.isFinite(f) ? f : null))];
  const half = w.grid ? 0.5 : 0;
  const fmtY = (v) =>
    v === 0 ? '0' : Math.abs(v) >= 1e-3 && Math.abs(v) < 1e4 ? String(+v.toPrecision(4)) : v.toExponential(2);
  const chart = new uPlot(
    {
      width,
      height: stepHeight(width),
      scales: {
        x: { time: false, range: [data[0][0] - half, data[0][data[0].length - 1] + half] },
        y: { range: [ylo, yhi] },
      },
      axes: [
        {
          label: w.grid ? 'I: Schritte im Gitter um c' : `I - c in ${unitFor(w.hi - w.lo)[1]}`,
          incrs: w.grid ? [1, 2, 5, 10] : undefined,
        },
        { label: 'f(I) in V', size: 80, values: (u, splits) => splits.map(fmtY) },
      ],
      legend: { live: true },
      series: [
        {
          label: 'I',
          value: (u, v, s, idx) => (idx === null || idx === undefined ? '-' : `${core.format(xs[idx])} A`),
        },
        {
          label: 'f(I)',
          stroke: w.grid ? '#aaa' : '#333',
          width: w.grid ? 1 : 1.5,
          paths: w.grid ? uPlot.paths.stepped({ align: 1 }) : undefined,
          points: { show: !!w.grid, size: 7, fill: '#333' },
          value: (u, v, s, idx) => (idx === null || idx === undefined ? '-' : `${core.format(fs[idx])} V`),
        },
      ],
      hooks: {
        draw: [
          (u) =>
            drawConstruction(
              u,
              method,
              p,
              at,
              (v) => core.format(v, 6),
              (ys) => core.inverseQuadratic(method.index, state.k, ys),
            ),
        ],
      },
    },
    data,
    $('schritt-bild'),
  );
  chart.missing = missing;
  chart.ctx.canvas.setAttribute('role', 'img');
  chart.ctx.canvas.setAttribute(
    'aria-label',
    `Schritt für Schritt: ${method.name}, Durchlauf ${state.k + 1}, ` +
      'auf der Kurve f(I); der Satz darunter sagt, was das Bild zeigt',
  );
  return chart;
}

const stepWidth = (element) => Math.max(280, Math.min(900, element.clientWidth || 640));
const stepHeight = (width) => Math.round(Math.min(460, Math.max(260, width * 0.6)));

// The zero line and the method's construction (its draw(), with the
// helpers below): bisection's interval and midpoint, regula falsi's secant,
// Newton's tangent, and which end moves.
function drawConstruction(u, method, p, at, fmt, inverseQuadratic) {
  const colour = method.colour;
  const g = u.ctx;
  const r = uPlot.pxRatio;
  const px = (x) => u.valToPos(at(x), 'x', true);
  const py = (y) => u.valToPos(y, 'y', true);
  const { left, top, width, height } = u.bbox;
  g.save();
  g.beginPath();
  g.rect(left, top, width, height);
  g.clip();
  g.lineWidth = 1.5 * r;
  g.strokeStyle = '#777';
  line(g, left, py(0), left + width, py(0)); // the zero line
  g.strokeStyle = colour;
  g.fillStyle = colour;
  g.font = `${12 * r}px sans-serif`;
  const dot = (x, y, label) => {
    if (!Number.isFinite(x) || !Number.isFinite(y)) return;
    g.beginPath();
    g.arc(px(x), py(y), 4.5 * r, 0, 2 * Math.PI);
    g.fill();
    if (label) g.fillText(label, px(x) + 6 * r, py(y) - 6 * r);
  };
  const upright = (x, label) => {
    if (!Number.isFinite(x)) return;
    g.setLineDash([5 * r, 4 * r]);
    line(g, px(x), top, px(x), top + height);
    g.setLineDash([]);
    g.fillText(label, px(x) + 4 * r, top + 14 * r);
  };
  // The line through two points (either may lie far outside), drawn from
  // the left edge of the plot to the right one.
  const through = (x1, y1, x2, y2) => {
    const [a, b, c, d] = [px(x1), py(y1), px(x2), py(y2)];
    if (![a, b, c, d].every(Number.isFinite) || (a === c && b === d)) return;
    if (a === c) return line(g, a, top, a, top + height);
    // From the point nearer the window, so that a far one costs no digits.
    const [nx, ny] = Math.abs(a - left) < Math.abs(c - left) ? [a, b] : [c, d];
    const y = (x) => ny + ((d - b) * (x - nx)) / (c - a);
    line(g, left, y(left), left + width, y(left + width));
  };
  // A point of the construction beyond the window: named at its edge.
  const beyond = (x, name) => {
    if (!Number.isFinite(x) || (px(x) >= left && px(x) <= left + width)) return;
    const onLeft = px(x) < left;
    g.textAlign = onLeft ? 'left' : 'right';
    g.fillText(
      onLeft ? `<- ${name} links außerhalb` : `${name} rechts außerhalb ->`,
      onLeft ? left + 4 * r : left + width - 4 * r,
      top + height - 8 * r,
    );
    g.textAlign = 'left';
  };
  // The line through two points, dashed: what the next pass takes.
  const dashed = (x1, y1, x2, y2) => {
    g.setLineDash([6 * r, 4 * r]);
    through(x1, y1, x2, y2);
    g.setLineDash([]);
  };
  const shade = (x1, x2) => {
    g.globalAlpha = 0.08;
    g.fillRect(px(x1), top, px(x2) - px(x1), height);
    g.globalAlpha = 1;
  };
  // Brent's parabola x(y) through its three points, at heights across the
  // plot (the module's values).
  const parabola = () => {
    const ys = Array.from({ length: 121 }, (_, j) => u.posToVal(top / r + (height / r) * (j / 120), 'y'));
    const [xs] = inverseQuadratic(ys);
    g.setLineDash([2 * r, 3 * r]);
    g.beginPath();
    let drawing = false;
    xs.forEach((x, j) => {
      const [a, b] = [px(x), py(ys[j])];
      if (!Number.isFinite(a) || a < left - width || a > left + 2 * width) return (drawing = false);
      g[drawing ? 'lineTo' : 'moveTo'](a, b);
      drawing = true;
    });
    g.stroke();
    g.setLineDash([]);
  };
  method.draw({ dot, upright, through, beyond, shade, dashed, parabola, fmt }, p);
  g.restore();
}

function line(g, x1, y1, x2, y2) {
  g.beginPath();
  g.moveTo(x1, y1);
  g.lineTo(x2, y2);
  g.stroke();
}

// The controls: the method, previous and next, the slider, the keys on the
// focused view, the PNG.
export function watchSteps() {
  $('schritt-zurueck').addEventListener('click', () => state && go(state.m, state.k - 1));
  $('schritt-vor').addEventListener('click', () => state && go(state.m, state.k + 1));
  $('schritt-regler').addEventListener('input', (e) => state && go(state.m, Number(e.target.value) - 1));
  $('schritt').addEventListener('keydown', (e) => {
    if (!state || !state.run) return;
    const n = state.run.methods[state.m].passes.length;
    const count = state.run.methods.length;
    const moves = {
      ArrowLeft: [state.m, state.k - 1],
      ArrowRight: [state.m, state.k + 1],
      ArrowUp: [(state.m + count - 1) % count, state.k],
      ArrowDown: [(state.m + 1) % count, state.k],
      Home: [state.m, 0],
      End: [state.m, n - 1],
    };
    if (!(e.key in moves)) return;
    e.preventDefault();
    go(...moves[e.key]);
  });
  $('schritt-png').addEventListener('click', savePng);
  new ResizeObserver(() => {
    if (!state || !state.chart) return;
    const width = stepWidth($('schritt-bild'));
    if (width !== state.chart.width) state.chart.setSize({ width, height: stepHeight(width) });
  }).observe($('schritt-bild'));
}

// The PNG of the current step for slides: the chart, with the pass named
// above it and its sentence below.
function savePng() {
  if (!state || !state.chart) return;
  const source = state.chart.ctx.canvas;
  const words = $('schritt-satz').textContent;
  const out = document.createElement('canvas');
  const lines = wrap(words, 110);
  out.width = source.width;
  out.height = source.height + (3 + lines.length) * 22 * uPlot.pxRatio;
  const g = out.getContext('2d');
  g.fillStyle = '#fff';
  g.fillRect(0, 0, out.width, out.height);
  g.drawImage(source, 0, 44 * uPlot.pxRatio);
  g.fillStyle = '#000';
  g.font = `${16 * uPlot.pxRatio}px sans-serif`;
  g.fillText(
    `${$('schritt-nummer').textContent}: ${$('schritt-achse').textContent}`.slice(0, 160),
    8,
    26 * uPlot.pxRatio,
  );
  g.font = `${13 * uPlot.pxRatio}px sans-serif`;
  lines.forEach((text, i) => g.fillText(text, 8, source.height + (66 + 22 * i) * uPlot.pxRatio));
  out.toBlob((blob) => {
    const link = document.createElement('a');
    link.href = URL.createObjectURL(blob);
    link.download = `schritt-${state.run.methods[state.m].method.letter}${state.k + 1}.png`;
    link.click();
    setTimeout(() => URL.revokeObjectURL(link.href), 0);
  }, 'image/png');
}

function wrap(text, width) {
  const lines = [''];
  for (const word of text.split(' ')) {
    if (lines[lines.length - 1].length + word.length + 1 > width) lines.push('');
    lines[lines.length - 1] += (lines[lines.length - 1] ? ' ' : '') + word;
  }
  return lines;
}
