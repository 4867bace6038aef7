// The convergence chart of one run: |Delta| per pass on a logarithmic axis,
// one line per method, drawn by uPlot. A pass whose Delta has no logarithm
// is marked at an edge, each method at its own height and in its colour
// (inf an upward triangle and nan a cross at the top edge, 0 a downward
// triangle at the bottom edge), drawn in a hook so that the legend keeps
// one entry per method; hovering shows pass, I and Delta of every method,
// a click opens the nearest pass.
import uPlot from 'uplot';

const fmt = (v) => (v === null || v === undefined ? '-' : String(v));

// The key of the edge marks, shown once below the chart.
export const markKey = 'Marken am Rand, je Verfahren in seiner Farbe und Hoehe: ' +
  '\u25b2 Delta = inf und \u00d7 Delta = nan oben, \u25bc Delta = 0 unten.';

// The chart's data: x the passes, per method |Delta| (null where it is not
// a positive finite number); the y range; where each method's marks sit.
function chartData(series) {
  const passes = Math.max(1, ...series.map((s) => s.length));
  const x = Array.from({ length: passes }, (_, k) => k + 1);
  const magnitudes = series.flatMap((s) => s.map(([d]) => Math.abs(d))).filter((d) => Number.isFinite(d) && d > 0);
  const lo = magnitudes.length ? Math.min(...magnitudes) : 1e-12;
  const hi = magnitudes.length ? Math.max(...magnitudes) : 1;
  const bottom = 10 ** (Math.floor(Math.log10(lo)) - 1);
  const top = 10 ** (Math.ceil(Math.log10(hi)) + 1);
  const lines = series.map((s) => x.map((_, k) => {
    const d = k < s.length ? Math.abs(s[k][0]) : null;
    return d !== null && Number.isFinite(d) && d > 0 ? d : null;
  }));
  // Each method a quarter decade below (above) the previous one's marks.
  const markAt = (m, d) => (Number.isFinite(d) ? bottom * 10 ** (0.25 * m) : top / 10 ** (0.25 * m));
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

// Draws the chart of series (from core.readTranscript) into element, width
// CSS pixels wide, the methods named by methodNames and coloured by
// colours; pick(m, k) is called when pass k (from 0) of method m is
// clicked. Returns the uPlot, which the caller destroys.
export function drawChart(element, series, width, methodNames, colours, pick = () => {}) {
  const { data, bottom, top, markAt } = chartData(series);
  const hover = (m) => (u, value, s, idx) => {
    if (idx === null || idx === undefined || idx >= series[m].length) return '-';
    const [delta, current] = series[m][idx];
    return `I = ${fmt(current)} A, Delta = ${fmt(delta)} V`;
  };
  const line = (m) => ({
    label: methodNames[m],
    stroke: colours[m],
    width: 1.5,
    points: { show: true, size: 4 },
    value: hover(m),
  });
  const chart = new uPlot({
    width,
    height: Math.round(Math.min(420, Math.max(240, width * 0.55))),
    title: '|Delta| je Durchlauf',
    scales: { x: { time: false }, y: { distr: 3, range: () => [bottom, top] } },
    axes: [
      { label: 'Durchlauf', incrs: [1, 2, 5, 10, 20, 25, 50, 100], values: (u, splits) => splits.map(String) },
      { label: '|Delta| in V', size: 70, values: (u, splits) => splits.map((v) => (v === null ? '' : v.toExponential(0))) },
    ],
    legend: { live: true },
    hooks: { draw: [(u) => drawMarks(u, series, colours, markAt)] },
    series: [{ label: 'Durchlauf', value: (u, v) => fmt(v) }, ...[0, 1, 2].map(line)],
  }, data, element);
  // A click: the method whose point (or mark) at that pass is nearest.
  chart.over.addEventListener('click', () => {
    const k = chart.cursor.idx;
    if (k === null || k === undefined) return;
    let best = null;
    series.forEach((s, m) => {
      if (k >= s.length) return;
      const d = s[k][0];
      const v = Number.isFinite(d) && d !== 0 ? Math.abs(d) : markAt(m, d);
      const gap = Math.abs(chart.valToPos(v, 'y') - chart.cursor.top);
      if (best === null || gap < best[0]) best = [gap, m];
    });
    if (best) pick(best[1], k);
  });
  return chart;
}
