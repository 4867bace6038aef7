// The convergence chart of one run: |Delta| per pass on a logarithmic axis,
// one line per method, drawn by uPlot. A pass whose Delta is nan or inf is
// marked at the top edge, one that is exactly 0 at the bottom edge, each
// method on its own height and in its own colour; hovering shows pass, I
// and Delta of every method.
import uPlot from 'uplot';

export const methodColours = ['#1f77b4', '#d62728', '#2ca02c'];

const fmt = (v) => (v === null || v === undefined ? '-' : String(v));

// The chart's data: x the passes, per method |Delta| (null where it is not
// a positive finite number), then per method the edge marks.
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
  const marks = series.map((s, m) => x.map((_, k) => {
    if (k >= s.length) return null;
    const d = Math.abs(s[k][0]);
    if (!Number.isFinite(d)) return top / 10 ** (0.25 * m);
    return d === 0 ? bottom * 10 ** (0.25 * m) : null;
  }));
  return { data: [x, ...lines, ...marks], bottom, top };
}

// Draws the chart of series (from core.readTranscript) into element, width
// CSS pixels wide, the methods named by methodNames; returns the uPlot,
// which the caller destroys.
export function drawChart(element, series, width, methodNames) {
  const { data, bottom, top } = chartData(series);
  const hover = (m) => (u, value, s, idx) => {
    if (idx === null || idx === undefined || idx >= series[m].length) return '-';
    const [delta, current] = series[m][idx];
    return `I = ${fmt(current)} A, Delta = ${fmt(delta)} V`;
  };
  const line = (m) => ({
    label: methodNames[m],
    stroke: methodColours[m],
    width: 1.5,
    points: { show: true, size: 4 },
    value: hover(m),
  });
  const mark = (m) => ({
    label: `${methodNames[m]}: nan/inf oben, 0 unten`,
    stroke: methodColours[m],
    width: 0,
    paths: () => null,
    points: { show: true, size: 7, width: 2, fill: '#fff' },
    value: (u, v, s, idx) => (v === null ? '-' : fmt(series[m][idx][0])),
  });
  return new uPlot({
    width,
    height: Math.round(Math.min(420, Math.max(240, width * 0.55))),
    title: '|Delta| je Durchlauf',
    scales: { x: { time: false }, y: { distr: 3, range: () => [bottom, top] } },
    axes: [
      { label: 'Durchlauf' },
      { label: '|Delta| in V', size: 70, values: (u, splits) => splits.map((v) => (v === null ? '' : v.toExponential(0))) },
    ],
    legend: { live: true },
    series: [{ label: 'Durchlauf', value: (u, v) => fmt(v) }, ...[0, 1, 2].map(line), ...[0, 1, 2].map(mark)],
  }, data, element);
}
