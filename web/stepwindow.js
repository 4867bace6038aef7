// The step view's geometry, without the DOM (the node tests take the same
// windows): a pass's construction as a list of shapes, the window that
// fits it, and the curve sampled so that it passes through every point of
// the construction that lies on it. Every value is the module's; this file
// only chooses where to look and where to sample.

import { order } from './passes.js';

const gridMost = 64; // doubles drawn as points at most
const margin = 0.08; // of the window's width on either side

// The construction of pass p (ctx: { passes, k } of its method's run) as
// shapes: { kind: 'dot', x, y, label, short, curve (x lies on the curve),
// faint }, { kind: 'line', x1, y1, x2, y2, extend, dash, faint },
// { kind: 'shade', x1, x2, strong }, { kind: 'upright', x, label },
// { kind: 'parabola' }, { kind: 'unseen', x, y, text } (said in words when
// the picture cannot show y apart from 0), and the method's points to fit
// (focus) and to keep in view, in an inset where need be (all).
export function construct(core, method, p, ctx) {
  const shapes = [];
  const add = (kind) => (fields) => shapes.push({ kind, ...fields });
  const d = {
    dot: (x, y, label, o = {}) => add('dot')({ x, y, label, ...o }),
    line: (x1, y1, x2, y2, o = {}) => add('line')({ x1, y1, x2, y2, extend: true, ...o }),
    segment: (x1, y1, x2, y2, o = {}) => add('line')({ x1, y1, x2, y2, extend: false, ...o }),
    shade: (x1, x2, o = {}) => add('shade')({ x1, x2, ...o }),
    upright: (x, label, o = {}) => add('upright')({ x, label, ...o }),
    parabola: () => add('parabola')({}),
    unseen: (x, y, text) => add('unseen')({ x, y, text }),
    // f at x from the module, and whether a pass's residual y at x is f's.
    f: (x) => core.residuals([x])[0],
    onCurve: (x, y) => Object.is(core.residuals([x])[0], y),
    fmt: (v, digits = 3) => core.format(v, digits),
  };
  method.draw(d, p, ctx);
  const { focus, all, centre } = method.construction(p, ctx);
  return { shapes, focus: focus.filter(Number.isFinite), all: (all || focus).filter(Number.isFinite), centre };
}

// The window of a construction (construct()): { grid: [xs, fs] } when it
// holds at most 64 doubles (then at least 17 of them, the window in their
// middle), else { lo, hi } for a curve, with the axis: absolute amperes
// while six digits tell its ends apart, else offsets from c. Where no
// double of the window has a finite residual, it reaches over to I = -I_S,
// the edge of f's domain; null when even that finds none.
export function stepWindow(core, built, iS) {
  const { focus, centre } = built;
  if (focus.length === 0) return null;
  let lo = Math.min(...focus);
  let hi = Math.max(...focus);
  const c = Number.isFinite(centre) ? centre : focus[0];
  const finiteAt = (a, b) => core.curve(a, b, 33)[1].some(Number.isFinite);
  if (!finiteAt(lo, hi)) {
    if (!Number.isFinite(iS) || lo > -iS) return null;
    hi = Math.max(hi, -iS + (-iS - lo) * 0.25); // a quarter beyond the edge
    if (!finiteAt(lo, hi)) return null;
  }
  const width = (hi - lo) * margin;
  if (Number.isFinite(width) && width > 0) {
    lo -= width;
    hi += width;
  }
  const count = order(hi) - order(lo) + 1n;
  if (count <= BigInt(gridMost)) {
    const want = Math.max(17, Number(count));
    const grid = core.neighbours(lo, Math.ceil((want - Number(count)) / 2), want);
    return { c, grid, lo: grid[0][0], hi: grid[0][want - 1] };
  }
  const size = Math.max(Math.abs(lo), Math.abs(hi));
  const absolute = hi - lo >= 1e-4 * size;
  return { c, lo, hi, absolute, unit: unitFor(absolute ? size : hi - lo) };
}

// A unit for values up to w (in A): SI prefixes, else a power of two.
const prefixes = [
  [1, 'A'],
  [1e-3, 'mA'],
  [1e-6, 'µA'],
  [1e-9, 'nA'],
  [1e-12, 'pA'],
  [1e-15, 'fA'],
  [1e-18, 'aA'],
  [1e-21, 'zA'],
  [1e-24, 'yA'],
];
export function unitFor(w) {
  const found = prefixes.find(([u]) => w >= u);
  if (found && w < 1000) return found;
  const k = Math.floor(Math.log2(w));
  return [2 ** k, `2^${k} A`];
}

// The curve on [lo, hi]: evenly spaced samples (evenly of them), the
// points in must, and more samples (up to most in all) where a straight
// segment between two would stray from f by more than half a pixel (toPx
// maps [x, y] to pixels; y may be NaN), as where the logarithm is steep or
// f's domain ends. Returns [xs, fs].
export function sampleCurve(core, { lo, hi, must, toPx, evenly = 401, most = 4000 }) {
  const xs = Array.from({ length: evenly }, (_, k) => (k === evenly - 1 ? hi : lo + ((hi - lo) * k) / (evenly - 1)));
  const inside = must.filter((x) => x >= lo && x <= hi);
  const all = [...new Set([...xs, ...inside])].sort((a, b) => a - b);
  let points = all.map((x, k) => [x, 0, k]);
  const fs = core.residuals(all);
  points.forEach((pt, k) => {
    pt[1] = fs[k];
  });
  // Rounds of midpoints between neighbours that stray, in batches.
  for (let round = 0; round < 40 && points.length < most; round++) {
    const mids = [];
    for (let k = 0; k + 1 < points.length && points.length + mids.length < most; k++) {
      const [a, b] = [points[k], points[k + 1]];
      const [pa, pb] = [toPx(a[0], a[1]), toPx(b[0], b[1])];
      if (Math.abs(pb[0] - pa[0]) < 0.25) continue;
      const m = a[0] + (b[0] - a[0]) / 2;
      if (m <= a[0] || m >= b[0]) continue;
      const finite = [a[1], b[1]].filter(Number.isFinite).length;
      if (finite === 0) continue;
      if (finite === 2 && Math.abs(pb[1] - pa[1]) < 1) continue;
      mids.push([k, m]);
    }
    if (mids.length === 0) break;
    const mf = [];
    for (let j = 0; j < mids.length; j += 2048) mf.push(...core.residuals(mids.slice(j, j + 2048).map(([, m]) => m)));
    const keep = [];
    mids.forEach(([k, m], j) => {
      const [a, b] = [points[k], points[k + 1]];
      const ym = mf[j];
      if (Number.isFinite(a[1]) && Number.isFinite(b[1])) {
        const [pa, pb, pm] = [toPx(a[0], a[1]), toPx(b[0], b[1]), toPx(m, ym)];
        const t = (pm[0] - pa[0]) / (pb[0] - pa[0]);
        if (Number.isFinite(pm[1]) && Math.abs(pa[1] + t * (pb[1] - pa[1]) - pm[1]) <= 0.5) return;
      }
      keep.push([m, ym]);
    });
    if (keep.length === 0) break;
    points = points.concat(keep.map(([m, ym]) => [m, ym])).sort((a, b) => a[0] - b[0]);
  }
  return [points.map((pt) => pt[0]), points.map((pt) => pt[1])];
}
