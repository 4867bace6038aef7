// The convergence chart of one run: |Delta| per pass on a logarithmic axis,
// one line per method, drawn by uPlot. The axis holds log10 |Delta|, so that
// every finite nonzero residual, subnormal or near the largest double, has
// its place. A pass whose Delta has no logarithm is marked at an edge, each
// method at its own height and in its colour (inf an upward triangle and
// nan a cross at the top edge, 0 a downward triangle at the bottom edge),
// drawn in a hook so that the legend keeps one entry per method; hovering
// shows pass, I and Delta of every method, a click opens the nearest pass.
// On the focused chart the arrow keys move among the passes and methods,
// Enter opens the pass.
import uPlot from 'uplot';

const fmt = (v) => (v === null || v === undefined ? '-' : String(v));

// The key of the edge marks, shown once below the chart.
export const markKey =
  'Marken am Rand, je Verfahren in seiner Farbe und Hoehe: ' +
  '\u25b2 Delta = inf und \u00d7 Delta = nan oben, \u25bc Delta = 0 unten.';

// The chart's data: x the passes, per method log10 |Delta| (null where
// Delta is not a positive finite number); the y range in decades; where
// each method's marks sit. series: per method drawn its passes as [delta,
// current] pairs.
function chartData(series) {
  const passes = Math.max(1, ...series.map((s) => s.length));
  const x = Array.from({ length: passes }, (_, k) => k + 1);
  const height = (d) => (Number.isFinite(d) && d !== 0 ? Math.log10(Math.abs(d)) : null);
  const lines = series.map((s) => x.map((_, k) => (k < s.length ? height(s[k][0]) : null)));
  const all = lines.flat().filter((v) => v !== null);
  const bottom = Math.floor(all.length ? Math.min(...all) : -12) - 1;
  const top = Math.ceil(all.length ? Math.max(...all) : 0) + 1;
  // Each method a quarter decade above (below) the previous one's marks.
  const markAt = (m, d) => (Number.isFinite(d) ? bottom + 0.25 * m : top - 0.25 * m);
  return { data: [x, ...lines], bottom, top, markAt };
}

// Draws the edge marks of every method onto the chart's canvas.
function drawMarks(u, series, colours, markAt) {
  const g = u.ctx;
  const r = 4 * uPlot.pxRatio;
  g.save();
  g.lineWidth = 2 * uPlot.pxRatio;
  series.forEach((s, m) => {
    g.strokeStyle = colours[m];
    g.fillStyle = colours[m];
    s.forEach(([d], k) => {
      if (Number.isFinite(d) && d !== 0) return;
      const cx = u.valToPos(k + 1, 'x', true);
      const cy = u.valToPos(markAt(m, d), 'y', true);
      g.beginPath();
      if (Number.isNaN(d)) {
        g.moveTo(cx - r, cy - r);
        g.lineTo(cx + r, cy + r);
        g.moveTo(cx + r, cy - r);
        g.lineTo(cx - r, cy + r);
        g.stroke();
        return;
      }
      const tip = Number.isFinite(d) ? r : -r; // 0 points down, inf up
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
export const chartHeight = (width) => Math.round(Math.min(420, Math.max(240, width * 0.55)));

// Draws the chart of drawn (from core.readTranscript: per method its table
// index and passes) into element, width CSS pixels wide, the methods named
// and coloured as the table (core.methods) says; pick(m, k) is called when
// pass k (from 0) of the method of index m is clicked or chosen by the
// keyboard; say(text) tells what the keyboard chose. Returns the uPlot,
// which the caller destroys.
export function drawChart(element, drawn, table, width, pick = () => {}, say = () => {}) {
  const series = drawn.map((s) => s.passes);
  const methodNames = drawn.map((s) => table[s.method].name);
  const colours = drawn.map((s) => table[s.method].colour);
  const chosenPass = (m, k) => pick(drawn[m].method, k);
  const { data, bottom, top, markAt } = chartData(series);
  const describe = (m, idx) => {
    if (idx === null || idx === undefined || idx >= series[m].length) return '-';
    const [delta, current] = series[m][idx];
    return `I = ${fmt(current)} A, Delta = ${fmt(delta)} V`;
  };
  const line = (m) => ({
    label: methodNames[m],
    stroke: colours[m],
    width: 1.5,
    points: { show: true, size: 4 },
    value: (u, v, s, idx) => describe(m, idx),
  });
  const chart = new uPlot(
    {
      width,
      height: chartHeight(width),
      title: '|Delta| je Durchlauf',
      scales: { x: { time: false }, y: { range: () => [bottom, top] } },
      axes: [
        { label: 'Durchlauf', incrs: [1, 2, 5, 10, 20, 25, 50, 100], values: (u, splits) => splits.map(String) },
        {
          label: '|Delta| in V (logarithmisch)',
          size: 70,
          incrs: [1, 2, 5, 10, 20, 50, 100, 200],
          values: (u, splits) => splits.map((v) => `1e${v}`),
        },
      ],
      legend: { live: true },
      hooks: { draw: [(u) => drawMarks(u, series, colours, markAt)] },
      series: [{ label: 'Durchlauf', value: (u, v) => fmt(v) }, ...series.map((s, m) => line(m))],
    },
    data,
    element,
  );
  chart.ctx.canvas.setAttribute('role', 'img');
  chart.ctx.canvas.setAttribute('aria-label', `Konvergenzbild: |Delta| je Durchlauf fuer ${methodNames.join(', ')}`);
  // The height of pass k of method m in the chart, in CSS pixels.
  const heightOf = (m, k) => {
    const d = series[m][k][0];
    return chart.valToPos(Number.isFinite(d) && d !== 0 ? Math.log10(Math.abs(d)) : markAt(m, d), 'y');
  };
  // A click: the method whose point (or mark) at that pass is nearest.
  chart.over.addEventListener('click', () => {
    const k = chart.cursor.idx;
    if (k === null || k === undefined) return;
    let best = null;
    series.forEach((s, m) => {
      if (k >= s.length) return;
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
    say(`${methodNames[m]}, Durchlauf ${k + 1}: ${describe(m, k)}`);
  };
  element.tabIndex = 0;
  element.onkeydown = (e) => {
    const [m, k] = chosen;
    const step = {
      ArrowRight: [m, k + 1],
      ArrowLeft: [m, k - 1],
      Home: [m, 0],
      End: [m, series[m].length - 1],
      ArrowDown: [(m + 1) % series.length, k],
      ArrowUp: [(m + series.length - 1) % series.length, k],
    }[e.key];
    if (e.key === 'Enter') chosenPass(m, k);
    else if (!step) return;
    else {
      chosen[0] = step[0];
      chosen[1] = Math.max(0, Math.min(series[step[0]].length - 1, step[1]));
      choose();
    }
    e.preventDefault();
  };
  element.onfocus = choose;
  return chart;
}
