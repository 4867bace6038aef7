// The convergence chart of a run: per chosen method one measure per pass
// (|Delta|, |I - I*| or the interval's width) on a logarithmic axis, drawn
// by uPlot; the axis holds log10 of the measure, so that every finite
// nonzero value, subnormal or near the largest double, has its place. Each
// method has its colour and its mark (method_mark of the module's
// table), so that the methods stay apart where colour fails. A value with
// no logarithm is marked at an edge, each method at its own height (inf an
// upward triangle and nan a cross at the top, 0 a downward triangle at the
// bottom). Hovering shows the pass's values, a click opens the nearest
// pass; on the focused chart the arrow keys move among the passes and
// methods, Enter opens the pass. The same picture as SVG (and from it PNG).
import uPlot from 'uplot';

// The measures: the pass field each shows, its label, its unit.
export const measures = {
  d: { field: 'd', label: '|Delta|, das Residuum', unit: 'V' },
  error: { field: 'error', label: '|I − I*|, der Fehler', unit: 'A' },
  width: { field: 'width', label: 'die Breite des Intervalls', unit: 'A' },
};

// The key of the edge marks, shown once below the chart.
export const markKey =
  'Marken am Rand, je Verfahren in seiner Farbe und Höhe: ' +
  '\u25b2 inf und \u00d7 nan oben, \u25bc genau 0 unten. Jedes Verfahren hat eine eigene Form.';

// The series of the chosen methods (indices into run.methods) for measure:
// per method its letter, name, colour, mark and the value of every pass,
// and a description of pass k for hovering (the measure's magnitude, as
// drawn: printf's digits without their sign); methods without the measure
// (no interval: its width) are left out.
export function seriesOf(run, chosen, measure) {
  const { field } = measures[measure];
  return chosen
    .map((m) => {
      const { method, passes } = run.methods[m];
      return {
        index: m,
        letter: method.letter,
        name: method.label,
        colour: method.colour,
        mark: method.mark,
        values: passes.map((p) => p[field]),
        describe: (k) =>
          k < passes.length
            ? `I = ${passes[k].text('next', 6)} A, ${measures[measure].label} = ${passes[k].text(field, 6).replace(/^-/, '')} ${measures[measure].unit}`
            : '-',
      };
    })
    .filter((s) => !s.values.every(Number.isNaN) || measure !== 'width');
}

// The chart's data: x the passes, per method log10 of the measure's
// magnitude (null where it has none); the y range in decades; where each
// method's marks sit.
function chartData(series) {
  const passes = Math.max(1, ...series.map((s) => s.values.length));
  const x = Array.from({ length: passes }, (_, k) => k + 1);
  const height = (v) => (Number.isFinite(v) && v !== 0 ? Math.log10(Math.abs(v)) : null);
  const lines = series.map((s) => x.map((_, k) => (k < s.values.length ? height(s.values[k]) : null)));
  const all = lines.flat().filter((v) => v !== null);
  const bottom = Math.floor(all.length ? Math.min(...all) : -12) - 1;
  const top = Math.ceil(all.length ? Math.max(...all) : 0) + 1;
  // Each method a quarter decade above (below) the previous one's marks.
  const markAt = (m, v) => (Number.isFinite(v) ? bottom + 0.25 * m : top - 0.25 * m);
  return { data: [x, ...lines], bottom, top, markAt };
}

// The drawing of a method's mark (core.js methods: mark) of radius r at
// (cx, cy): { circle } or the strokes of its outline, or of a star's
// lines through the centre, as lists of points, and whether it is filled.
function markOf(mark, cx, cy, r) {
  if (mark.corners === 0) return { filled: mark.filled, circle: true };
  const at = (k) => {
    const a = ((mark.turn + (360 * k) / mark.corners) * Math.PI) / 180;
    return [cx + mark.size * r * Math.cos(a), cy + mark.size * r * Math.sin(a)];
  };
  if (mark.star)
    return {
      filled: false,
      strokes: Array.from({ length: mark.corners / 2 }, (_, k) => [at(k), at(k + mark.corners / 2)]),
    };
  return { filled: mark.filled, strokes: [Array.from({ length: mark.corners + 1 }, (_, k) => at(k))] };
}

// Throws unless every method's mark can be drawn and no two are alike.
export function checkMarks(methods) {
  const seen = new Set();
  for (const { letter, mark } of methods) {
    const corners = mark.corners === 0 || (mark.corners >= 3 && mark.corners <= 12);
    const star = mark.corners >= 4 && mark.corners % 2 === 0 && !mark.filled;
    const key = [mark.corners, mark.star, mark.filled, mark.corners ? mark.turn : 0].join();
    if (!(mark.star ? star : corners) || !(mark.size >= 0.5 && mark.size <= 2) || seen.has(key))
      throw new Error(`Die Seite kann die Marke von ${letter} nicht zeichnen oder nicht unterscheiden`);
    seen.add(key);
  }
}

// Draws a mark on the canvas g.
function markPath(g, mark, cx, cy, r) {
  const s = markOf(mark, cx, cy, r);
  g.beginPath();
  if (s.circle) g.arc(cx, cy, r, 0, 2 * Math.PI);
  else for (const points of s.strokes) points.forEach(([x, y], k) => g[k ? 'lineTo' : 'moveTo'](x, y));
  return s.filled;
}

// The same mark as SVG.
function markSvg(mark, cx, cy, r, colour) {
  const s = markOf(mark, cx, cy, r);
  const paint = `fill="${s.filled ? colour : '#fff'}" stroke="${colour}"`;
  if (s.circle) return `<circle cx="${cx.toFixed(1)}" cy="${cy.toFixed(1)}" r="${r}" ${paint}/>`;
  const d = s.strokes.map((p) => `M${p.map(([x, y]) => `${x.toFixed(1)} ${y.toFixed(1)}`).join(' L')}`).join(' ');
  return `<path d="${d}" ${mark.star ? `fill="none" stroke="${colour}"` : paint}/>`;
}

// Draws the points of the passes shown in their marks and the edge marks
// onto the chart.
function drawMarks(u, series, markAt, shown) {
  const g = u.ctx;
  const r = 3.5 * uPlot.pxRatio;
  g.save();
  g.lineWidth = 1.5 * uPlot.pxRatio;
  series.forEach((s, m) => {
    g.strokeStyle = s.colour;
    g.fillStyle = s.colour;
    s.values.slice(0, shown).forEach((v, k) => {
      const cx = u.valToPos(k + 1, 'x', true);
      if (Number.isFinite(v) && v !== 0) {
        const filled = markPath(g, s.mark, cx, u.valToPos(Math.log10(Math.abs(v)), 'y', true), r);
        if (filled) g.fill();
        else g.stroke();
        return;
      }
      const cy = u.valToPos(markAt(m, v), 'y', true);
      g.beginPath();
      if (Number.isNaN(v)) {
        g.moveTo(cx - r, cy - r);
        g.lineTo(cx + r, cy + r);
        g.moveTo(cx + r, cy - r);
        g.lineTo(cx - r, cy + r);
        g.stroke();
        return;
      }
      const tip = Number.isFinite(v) ? r : -r; // 0 points down, inf up
      g.moveTo(cx, cy + tip);
      g.lineTo(cx - r, cy - tip);
      g.lineTo(cx + r, cy - tip);
      g.closePath();
      g.fill();
    });
  });
  g.restore();
}

// The chart's height for a width.
export const chartHeight = (width) => Math.round(Math.min(460, Math.max(240, width * 0.55)));

// In the presentation mode (big), makes chart lower until everything from
// the top of element top to the bottom of element bottom fits the window's
// height above the mode's button (fixed at the bottom), down to 200 CSS
// pixels: the picture and its sentence on one screen. It measures once
// uPlot has laid the chart out (a microtask after its own).
export function fitScreen(chart, big, top, bottom) {
  if (!chart || !big) return;
  queueMicrotask(() => {
    if (!chart.root.isConnected) return;
    const room = Math.min(window.innerHeight, document.getElementById('vortrag').getBoundingClientRect().top) - 8;
    const span = bottom.getBoundingClientRect().bottom - top.getBoundingClientRect().top;
    if (span > room)
      chart.setSize({ width: chart.width, height: Math.max(200, Math.round(chart.height - (span - room))) });
  });
}

// Draws the chart { series (seriesOf()), measure, width (CSS pixels), big
// (the presentation mode's type), upTo (the passes shown, all when null) }
// into element; pick(m, k) is called with the method's index in the run
// when pass k (from 0) is clicked or chosen by the keyboard; say(text)
// tells what the keyboard chose. Returns the uPlot, which the caller
// destroys; its reveal(k) shows the passes 1 to k and says their values.
export function drawChart(element, { series, measure, width, big, upTo }, pick = () => {}, say = () => {}) {
  const { data, bottom, top, markAt } = chartData(series);
  let shown = upTo ?? Infinity;
  element.dataset.bis = upTo ? String(upTo) : 'alle';
  const cut = () => [data[0], ...data.slice(1).map((line) => line.map((v, k) => (k < shown ? v : null)))];
  const font = big ? { font: '22px sans-serif', labelFont: 'bold 22px sans-serif', labelSize: 36 } : {};
  const chosenPass = (m, k) => pick(series[m].index, k);
  const line = (s) => ({
    label: s.name,
    stroke: s.colour,
    width: 1.5,
    points: { show: false },
    value: (u, v, i, idx) => (idx === null || idx === undefined ? '-' : s.describe(idx)),
  });
  const chart = new uPlot(
    {
      width,
      height: chartHeight(width),
      title: `${measures[measure].label} je Durchlauf`,
      scales: { x: { time: false }, y: { range: () => [bottom, top] } },
      axes: [
        {
          label: 'Durchlauf',
          incrs: [1, 2, 5, 10, 20, 25, 50, 100],
          values: (u, splits) => splits.map(String),
          size: big ? 64 : 50,
          ...font,
        },
        {
          label: `${measures[measure].label} in ${measures[measure].unit} (logarithmisch)`,
          size: big ? 120 : 70,
          ...font,
          incrs: [1, 2, 5, 10, 20, 50, 100, 200],
          values: (u, splits) => splits.map((v) => `1e${v}`),
        },
      ],
      legend: { live: true },
      hooks: { draw: [(u) => drawMarks(u, series, markAt, shown)] },
      series: [{ label: 'Durchlauf', value: (u, v) => (v === null ? '-' : String(v)) }, ...series.map(line)],
    },
    cut(),
    element,
  );
  chart.reveal = (k) => {
    shown = k;
    element.dataset.bis = String(k);
    chart.setData(cut(), false);
    say(`Durchlauf ${k}: ${series.map((s) => `${s.name} ${s.describe(k - 1)}`).join('; ')}`);
  };
  chart.ctx.canvas.setAttribute('role', 'img');
  chart.ctx.canvas.setAttribute(
    'aria-label',
    `Konvergenzbild: ${measures[measure].label} je Durchlauf für ${series.map((s) => s.name).join(', ')}`,
  );
  // The height of pass k of method m in the chart, in CSS pixels.
  const heightOf = (m, k) => {
    const v = series[m].values[k];
    return chart.valToPos(Number.isFinite(v) && v !== 0 ? Math.log10(Math.abs(v)) : markAt(m, v), 'y');
  };
  // A click: the method whose point (or mark) at that pass is nearest.
  chart.over.addEventListener('click', () => {
    const k = chart.cursor.idx;
    if (k === null || k === undefined) return;
    let best = null;
    series.forEach((s, m) => {
      if (k >= s.values.length) return;
      const gap = Math.abs(heightOf(m, k) - chart.cursor.top);
      if (best === null || gap < best[0]) best = [gap, m];
    });
    if (best) chosenPass(best[1], k);
  });
  // The keyboard: a pass of a method, shown by the cursor and said.
  const chosen = [0, 0];
  const choose = () => {
    const [m, k] = chosen;
    chart.setCursor({ left: chart.valToPos(k + 1, 'x'), top: heightOf(m, k) });
    say(`${series[m].name}, Durchlauf ${k + 1}: ${series[m].describe(k)}`);
  };
  element.tabIndex = 0;
  element.onkeydown = (e) => {
    if (!series.length) return;
    const [m, k] = chosen;
    const step = {
      ArrowRight: [m, k + 1],
      ArrowLeft: [m, k - 1],
      Home: [m, 0],
      End: [m, series[m].values.length - 1],
      ArrowDown: [(m + 1) % series.length, k],
      ArrowUp: [(m + series.length - 1) % series.length, k],
    }[e.key];
    if (e.key === 'Enter') chosenPass(m, k);
    else if (!step) return;
    else {
      chosen[0] = step[0];
      chosen[1] = Math.max(0, Math.min(series[step[0]].values.length - 1, step[1]));
      choose();
    }
    e.preventDefault();
  };
  element.onfocus = () => series.length && choose();
  return chart;
}

// The same picture as an SVG document (900 x 560): the decades, the
// passes, per method its line and its marks, the edge marks, the key; its
// title names the circuit, its description the methods.
export function chartSvg(series, measure, title) {
  const [w, h, left, right, top, bottomEdge] = [900, 560, 80, 700, 50, 500];
  const { data, bottom, top: high, markAt } = chartData(series);
  const passes = data[0].length;
  const px = (k) => left + ((right - left) * (k - 0.5)) / passes;
  const py = (v) => bottomEdge - ((bottomEdge - top) * (v - bottom)) / (high - bottom);
  const esc = (t) => t.replace(/&/g, '&amp;').replace(/</g, '&lt;');
  const out = [
    `<svg xmlns="http://www.w3.org/2000/svg" width="${w}" height="${h}" viewBox="0 0 ${w} ${h}" font-family="sans-serif" font-size="13">`,
    // What the picture is of, for whoever finds the file: its circuit
    // (in the title) and its methods.
    `<title>${esc(title)}</title>`,
    `<desc>${esc(`Verfahren: ${series.map((s) => `${s.letter} ${s.name}`).join(', ')}`)}</desc>`,
    `<rect width="${w}" height="${h}" fill="#fff"/>`,
    `<text x="${(left + right) / 2}" y="28" text-anchor="middle" font-size="16">${esc(title)}</text>`,
  ];
  const step = Math.max(1, Math.ceil((high - bottom) / 10));
  for (let e = Math.ceil(bottom); e <= high; e += step)
    out.push(
      `<line x1="${left}" x2="${right}" y1="${py(e)}" y2="${py(e)}" stroke="#ddd"/>`,
      `<text x="${left - 6}" y="${py(e) + 4}" text-anchor="end">1e${e}</text>`,
    );
  const xStep = [1, 2, 5, 10, 20, 25, 50, 100].find((s) => passes / s <= 12) || 100;
  for (let k = xStep; k <= passes; k += xStep)
    out.push(`<text x="${px(k)}" y="${bottomEdge + 18}" text-anchor="middle">${k}</text>`);
  out.push(
    `<rect x="${left}" y="${top}" width="${right - left}" height="${bottomEdge - top}" fill="none" stroke="#333"/>`,
    `<text x="${(left + right) / 2}" y="${bottomEdge + 40}" text-anchor="middle">Durchlauf</text>`,
    `<text transform="translate(18 ${(top + bottomEdge) / 2}) rotate(-90)" text-anchor="middle">${esc(`${measures[measure].label} in ${measures[measure].unit} (logarithmisch)`)}</text>`,
  );
  series.forEach((s, m) => {
    const points = data[m + 1]
      .map((v, k) => (v === null ? null : `${px(k + 1).toFixed(1)},${py(v).toFixed(1)}`))
      .filter((p) => p !== null);
    if (points.length)
      out.push(`<polyline points="${points.join(' ')}" fill="none" stroke="${s.colour}" stroke-width="1.5"/>`);
    s.values.forEach((v, k) => {
      const y = Number.isFinite(v) && v !== 0 ? py(Math.log10(Math.abs(v))) : py(markAt(m, v));
      const x = px(k + 1);
      const mark = Number.isNaN(v) ? 'x' : !Number.isFinite(v) ? '&#9650;' : v === 0 ? '&#9660;' : null;
      out.push(
        mark
          ? `<text x="${x}" y="${y + 4}" text-anchor="middle" fill="${s.colour}">${mark}</text>`
          : markSvg(s.mark, x, y, 3.5, s.colour),
      );
    });
    out.push(
      `<line x1="${right + 20}" x2="${right + 50}" y1="${top + 20 * m}" y2="${top + 20 * m}" stroke="${s.colour}" stroke-width="2"/>`,
      markSvg(s.mark, right + 35, top + 20 * m, 3.5, s.colour),
      `<text x="${right + 56}" y="${top + 20 * m + 4}">${esc(`${s.letter} ${s.name}`)}</text>`,
    );
  });
  out.push('</svg>');
  return out.join('\n');
}
