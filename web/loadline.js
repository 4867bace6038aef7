// The circuit as an engineer draws it: the diode's characteristic
// I = I_S (exp(U_D / U_T) - 1) and the resistor's load line
// I = (U - U_D) / R in one I-U diagram, crossing at the operating point
// (U - R I*, I*); a method's estimates as points on the load line, each
// with its residual f(I_k) as the horizontal gap in voltage from the load
// line to the characteristic. Where there is nothing to draw, words say why.
const $ = (id) => document.getElementById(id);
const svgNs = 'http://www.w3.org/2000/svg';
const el = (tag, attrs, text) => {
  const e = document.createElementNS(svgNs, tag);
  for (const [k, v] of Object.entries(attrs)) e.setAttribute(k, v);
  if (text) e.textContent = text;
  return e;
};
const [width, height, left, top, plotW, plotH] = [360, 250, 56, 12, 284, 200];
const uT = 0.026;

// Why the diagram cannot be drawn for the run, or '' where it can: the
// operating point must be a finite, positive current at a positive
// voltage, and the characteristic must stay within the doubles up to it.
function whyNot(run) {
  const [u, r, iS] = run.circuit;
  if (!run.root) return 'es gibt keine wahre Nullstelle (R oder I_S nicht positiv, oder ein Wert nicht endlich)';
  if (!(u > 0)) return `bei U = ${u} V fließt kein Strom in Durchlassrichtung`;
  if (!(iS > 0) || !(u / uT < 700)) return `exp(U / U_T) verlässt bei U = ${u} V den Bereich der doubles`;
  return r > 0 ? '' : 'R ist nicht positiv';
}

// Draws the diagram for method m of run (its first passes within the
// diagram as points; none where m is undefined), and says what it shows;
// core gives the residuals. Without a run it is empty.
export function showLoadLine(core, run, m) {
  const box = $('arbeitspunkt');
  const said = $('arbeitspunkt-text');
  box.replaceChildren();
  const why = run ? whyNot(run) : '';
  box.hidden = !run || why !== '';
  said.textContent = why ? `Kein Kennlinienbild: ${why}.` : '';
  if (box.hidden) return;
  const [u, r, iS] = run.circuit;
  const root = Number(run.root.nearest);
  const [uMax, iMax] = [u, u / r];
  const x = (v) => left + (v / uMax) * plotW;
  const y = (i) => top + plotH - (i / iMax) * plotH;
  const svg = el('svg', {
    viewBox: `0 0 ${width} ${height}`,
    width,
    height,
    role: 'img',
    'aria-labelledby': 'arbeitspunkt-text',
    'data-u-max': uMax,
    'data-i-max': iMax,
  });
  svg.append(
    el('rect', { id: 'ap-flaeche', x: left, y: top, width: plotW, height: plotH, fill: 'none', stroke: '#888' }),
  );
  // The characteristic up to the top of the diagram, 80 points in U_D.
  const uTop = Math.min(uMax, uT * Math.log1p(iMax / iS));
  const curve = Array.from({ length: 81 }, (_, k) => {
    const ud = (uTop * k) / 80;
    return `${x(ud).toFixed(2)},${y(iS * Math.expm1(ud / uT)).toFixed(2)}`;
  });
  const { passes, method } = run.methods[m] || { passes: [], method: { label: 'keinem Verfahren' } };
  const shown = passes.filter((p) => p.next > 0 && p.next <= iMax).slice(0, 6);
  const gaps = core.residuals(shown.map((p) => p.next));
  svg.append(
    el('polyline', { points: curve.join(' '), fill: 'none', stroke: '#0072b2', 'stroke-width': 2 }),
    el('line', { x1: x(0), y1: y(iMax), x2: x(uMax), y2: y(0), stroke: '#d55e00', 'stroke-width': 2 }),
    ...shown.flatMap((p, k) => [
      el('line', {
        x1: x(u - r * p.next),
        y1: y(p.next),
        x2: Math.min(x(uMax), x(u - r * p.next + gaps[k])),
        y2: y(p.next),
        stroke: '#444',
      }),
      el('circle', { cx: x(u - r * p.next), cy: y(p.next), r: 3, fill: method.colour }),
    ]),
    el('circle', {
      id: 'ap-punkt',
      cx: x(u - r * root),
      cy: y(root),
      r: 5,
      fill: 'none',
      stroke: '#000',
      'stroke-width': 2,
    }),
  );
  const text = (tx, ty, t, anchor = 'middle') =>
    el('text', { x: tx, y: ty, 'text-anchor': anchor, 'font-size': 12, 'font-family': 'sans-serif' }, t);
  svg.append(
    text(x(0), height - 20, '0'),
    text(x(uMax), height - 20, `${uMax} V`, 'end'),
    text(left + plotW / 2, height - 4, 'Spannung U_D an der Diode'),
    text(left - 4, y(0) + 4, '0', 'end'),
    text(left - 4, y(iMax) + 10, core.format(iMax, 3), 'end'),
    text(left - 4, y(iMax) + 24, 'A', 'end'),
  );
  box.append(svg);
  const first = shown[0];
  said.textContent =
    `Kennlinie der Diode (blau) und Arbeitsgerade des Widerstands (orange) schneiden sich im Arbeitspunkt ` +
    `U_D = U − R·I* = ${core.format(u - r * root, 6)} V, I* = ${core.format(root, 6)} A. ` +
    (first
      ? `Jeder Schätzwert I_k von ${method.label} liegt auf der Arbeitsgeraden; sein Residuum f(I_k) ist der ` +
        `waagerechte Abstand zur Kennlinie, in Durchlauf ${first.k + 1} ${core.format(gaps[0], 3)} V.`
      : `Kein Schätzwert von ${method.label} liegt zwischen 0 und U/R.`);
}
