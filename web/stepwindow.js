// The window of a pass in the step view: the doubles its construction puts
// on the I axis, and around them either a curve's span or, once it holds at
// most 64 doubles, the doubles themselves with their residuals from the
// module. Without the DOM, so that the node tests take the same windows.

import { order } from './passes.js';

const gridMost = 64; // doubles drawn as points at most

// The window of pass p of method (its object: the doubles its
// construction puts on the I axis) and its mode: { grid: [xs, fs] } when it
// holds at most 64 doubles (then at least 17 of them, the window in their
// middle), else { lo, hi } for a curve of samples; c is the centre.
export function stepWindow(core, method, p) {
  const { xs, centre } = method.construction(p);
  const finite = xs.filter(Number.isFinite);
  if (finite.length === 0) return null;
  let lo = Math.min(...finite);
  let hi = Math.max(...finite);
  const margin = (hi - lo) * 0.08;
  if (Number.isFinite(margin) && margin > 0) {
    lo -= margin;
    hi += margin;
  }
  const c = Number.isFinite(centre) ? centre : finite[0];
  const count = order(hi) - order(lo) + 1n;
  if (count <= BigInt(gridMost)) {
    // At least 17 doubles, the window in their middle.
    const want = Math.max(17, Number(count));
    return { c, grid: core.neighbours(lo, Math.ceil((want - Number(count)) / 2), want) };
  }
  return { c, lo, hi };
}
