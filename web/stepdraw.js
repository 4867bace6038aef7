// The step view's drawing on uPlot's canvas: a pass's construction (the
// shapes of stepwindow.js construct()) in the window of the chart, the
// edge of f's domain, labels that never overlap, and an inset with all of
// the construction where it reaches beyond the window. Returns what it drew
// in canvas pixels, for the tests.
import uPlot from 'uplot';
import { sampleCurve } from './stepwindow.js';

// Draws the construction of a pass on the chart u and returns its
// geometry: the zero line, the edge of f's domain, the shapes, the labels
// (placed so that none overlaps another, a point or the inset), and where
// the construction reaches beyond the window, an inset with all of it.
// scene: { core, built (construct()), w (the window), at (where a double
// lies on the drawn axis), method, k (the pass), iS (the circuit's I_S),
// big (the presentation mode) }.
export function render(u, scene) {
  const { core, built, w, at, iS, big } = scene;
  const g = u.ctx;
  const r = uPlot.pxRatio * (big ? 1.5 : 1);
  const view = { g, r, core, built, method: scene.method, k: scene.k };
  const box = { left: u.bbox.left, top: u.bbox.top, width: u.bbox.width, height: u.bbox.height };
  const frame = {
    box,
    px: (x) => u.valToPos(at(x), 'x', true),
    py: (y) => u.valToPos(y, 'y', true),
    yAt: (h) => u.posToVal(h / uPlot.pxRatio, 'y'),
    lo: w.lo,
    hi: w.hi,
  };
  const zeichnung = { curve: curvePixels(u), points: [], labels: [], notes: [], inset: null };
  const placed = placer(g, box, r);
  const outside = built.all.filter((x) => x < w.lo || x > w.hi);
  const insetBox = outside.length ? insetPlace(box, zeichnung.curve, built.shapes, frame) : null;
  if (insetBox) placed.block(insetBox);
  // On a grid the doubles are the picture: no label covers one.
  if (w.grid)
    for (const [x, y] of zeichnung.curve.flat()) placed.block({ x: x - 5 * r, y: y - 5 * r, w: 10 * r, h: 10 * r });
  drawShapes(view, frame, placed, zeichnung, true);
  edge(view, frame, -iS, placed);
  for (const s of built.shapes)
    if (s.kind === 'unseen' && Number.isFinite(s.y) && Math.abs(frame.py(s.y) - frame.py(0)) < 2 * r)
      zeichnung.notes.push(s.text);
  placed.draw(zeichnung.labels);
  if (insetBox) zeichnung.inset = drawInset(view, insetBox, w);
  return zeichnung;
}

// The drawn curve in canvas pixels: runs of points between gaps.
function curvePixels(u) {
  const runs = [[]];
  const [xs, fs] = [u.data[0], u.data[1]];
  xs.forEach((x, k) => {
    if (fs[k] === null) {
      if (runs[runs.length - 1].length) runs.push([]);
      return;
    }
    runs[runs.length - 1].push([u.valToPos(x, 'x', true), u.valToPos(fs[k], 'y', true)]);
  });
  return runs.filter((run) => run.length);
}

// Draws the shapes of the view's construction into frame (box, px, py):
// shades, lines, the parabola, dots, and hands the labels to placed; with
// full, also the faint ones, and the points go to zeichnung.
function drawShapes(view, frame, placed, zeichnung, full) {
  const { g, r, built, method } = view;
  const { box, px, py } = frame;
  g.save();
  g.beginPath();
  g.rect(box.left, box.top, box.width, box.height);
  g.clip();
  g.lineWidth = 1.5 * r;
  g.strokeStyle = '#777';
  line(g, [box.left, py(0)], [box.left + box.width, py(0)]); // the zero line
  const colour = method.colour;
  g.strokeStyle = colour;
  g.fillStyle = colour;
  for (const s of built.shapes) {
    if (s.faint && !full) continue;
    g.globalAlpha = s.faint ? 0.3 : 1;
    if (s.kind === 'shade') {
      const [a, b] = [px(s.x1), px(s.x2)];
      if (![a, b].every(Number.isFinite)) continue;
      g.globalAlpha = s.strong ? 0.16 : 0.07;
      const [left, right] = [Math.max(box.left, Math.min(a, b)), Math.min(box.left + box.width, Math.max(a, b))];
      g.fillRect(left, box.top, Math.max(right - left, 1), box.height);
      if (s.label && full) placed.add(s.label, (left + right) / 2, box.top + 2 * r, 'top');
    } else if (s.kind === 'line') {
      g.setLineDash(s.dash ? [6 * r, 4 * r] : []);
      (s.extend ? through : segment)(g, box, [px(s.x1), py(s.y1)], [px(s.x2), py(s.y2)]);
      g.setLineDash([]);
    } else if (s.kind === 'parabola') {
      parabola(view, frame);
    }
  }
  for (const s of built.shapes) {
    if (s.kind !== 'dot' || (s.faint && !full)) continue;
    const [x, y] = [px(s.x), py(s.y)];
    if (!Number.isFinite(x) || !Number.isFinite(y)) continue;
    g.globalAlpha = s.faint ? 0.3 : 1;
    g.beginPath();
    g.arc(x, y, (s.faint ? 3 : 4.5) * r, 0, 2 * Math.PI);
    g.fill();
    const inside = x >= box.left - 0.5 && x <= box.left + box.width + 0.5 && y >= box.top && y <= box.top + box.height;
    if (!inside) continue;
    placed.block({ x: x - 5 * r, y: y - 5 * r, w: 10 * r, h: 10 * r });
    const label = full ? s.label : s.short;
    if (label) placed.add(label, x, y, 'dot');
    if (zeichnung) zeichnung.points.push({ label: s.label, x, y, curve: !!s.curve, faint: !!s.faint });
  }
  g.globalAlpha = 1;
  g.restore();
}

// The edge of f's domain, I = -I_S, where the window reaches it: the
// region left of it grey, a dashed line, named.
function edge(view, frame, x, placed) {
  const { g, r } = view;
  const { box, px } = frame;
  const at = px(x);
  if (!(x >= frame.lo && x <= frame.hi) || !Number.isFinite(at)) return;
  g.save();
  g.fillStyle = '#000';
  g.globalAlpha = 0.08;
  g.fillRect(box.left, box.top, at - box.left, box.height);
  g.globalAlpha = 1;
  g.strokeStyle = '#555';
  g.setLineDash([3 * r, 3 * r]);
  line(g, [at, box.top], [at, box.top + box.height]);
  g.restore();
  placed.add('I = −I_S: links davon ist ln nicht definiert', at, box.top + box.height - 4 * r, 'bottom');
}

// Where the inset goes: the corner of the plot with the fewest points of
// the curve and the construction under it.
function insetPlace(box, curve, shapes, frame) {
  const w = box.width * 0.36;
  const h = box.height * 0.4;
  const corners = [
    [box.left + box.width - w - 4, box.top + 4],
    [box.left + 4, box.top + 4],
    [box.left + box.width - w - 4, box.top + box.height - h - 4],
    [box.left + 4, box.top + box.height - h - 4],
  ];
  const points = curve.flat().concat(shapes.filter((s) => s.kind === 'dot').map((s) => [frame.px(s.x), frame.py(s.y)]));
  const under = ([x, y]) => points.filter(([a, b]) => a >= x && a <= x + w && b >= y && b <= y + h).length;
  const [x, y] = corners.reduce((best, c) => (under(c) < under(best) ? c : best));
  return { x, y, w, h };
}

// The inset: all of the construction (built.all) on its own curve, the
// main window as a band, short labels.
function drawInset(view, ibox, w) {
  const { g, r, core, built } = view;
  const all = built.all;
  let [lo, hi] = [Math.min(...all, w.lo), Math.max(...all, w.hi)];
  const pad = (hi - lo) * 0.08;
  [lo, hi] = [lo - pad, hi + pad];
  const dots = built.shapes.filter(
    (s) => s.kind === 'dot' && !s.faint && Number.isFinite(s.y) && s.x >= lo && s.x <= hi,
  );
  const coarse = core.curve(lo, hi, 101);
  const ys = [0, ...coarse[1].filter(Number.isFinite), ...dots.map((s) => s.y)];
  let [ylo, yhi] = [Math.min(...ys), Math.max(...ys)];
  const ypad = (yhi - ylo) * 0.1 || 1;
  [ylo, yhi] = [ylo - ypad, yhi + ypad];
  const inner = { left: ibox.x + 6 * r, top: ibox.y + 20 * r, width: ibox.w - 12 * r, height: ibox.h - 26 * r };
  const px = (x) => inner.left + ((x - lo) / (hi - lo)) * inner.width;
  const py = (y) => inner.top + ((yhi - y) / (yhi - ylo)) * inner.height;
  const must = dots.filter((s) => s.curve).map((s) => s.x);
  const [xs, fs] = sampleCurve(core, { lo, hi, must, toPx: (x, y) => [px(x), py(y)], evenly: 101, most: 1500 });
  g.save();
  g.fillStyle = '#fff';
  g.fillRect(ibox.x, ibox.y, ibox.w, ibox.h);
  g.strokeStyle = '#999';
  g.lineWidth = r;
  g.strokeRect(ibox.x, ibox.y, ibox.w, ibox.h);
  g.fillStyle = '#333';
  g.font = `${11 * r}px sans-serif`;
  g.textAlign = 'left';
  g.textBaseline = 'alphabetic';
  g.fillText('Überblick; Kasten: der Ausschnitt', ibox.x + 5 * r, ibox.y + 13 * r);
  const band = [px(w.lo), px(w.hi)];
  g.setLineDash([3 * r, 2 * r]);
  g.strokeRect(band[0], inner.top, Math.max(band[1] - band[0], 2 * r), inner.height);
  g.setLineDash([]);
  const curve = [[]];
  g.strokeStyle = '#333';
  g.beginPath();
  xs.forEach((x, k) => {
    if (!Number.isFinite(fs[k])) {
      if (curve[curve.length - 1].length) curve.push([]);
      return;
    }
    const point = [px(x), py(fs[k])];
    g[curve[curve.length - 1].length ? 'lineTo' : 'moveTo'](...point);
    curve[curve.length - 1].push(point);
  });
  g.stroke();
  g.restore();
  const placed = placer(g, inner, r * 0.9);
  const zeichnung = { curve: curve.filter((c) => c.length), points: [], labels: [] };
  const yAt = (h) => yhi - ((h - inner.top) / inner.height) * (yhi - ylo);
  drawShapes(view, { box: inner, px, py, yAt, lo, hi }, placed, zeichnung, false);
  placed.draw(zeichnung.labels);
  return zeichnung;
}

// Labels placed so that none overlaps another, a point or a blocked
// region: each tries places around its anchor, nearest first, and where
// none is free, it is left out (the sentence names every value).
function placer(g, box, r) {
  const blocked = [];
  const wanted = [];
  const free = (b) =>
    b.x >= box.left &&
    b.y >= box.top &&
    b.x + b.w <= box.left + box.width &&
    b.y + b.h <= box.top + box.height &&
    !blocked.some((o) => b.x < o.x + o.w && o.x < b.x + b.w && b.y < o.y + o.h && o.y < b.y + b.h);
  // The places to try for a label w x h at an anchor of its kind: a point
  // (around it), the top of the plot (below it) or its foot (above it).
  const spots = (x, y, w, h, kind) => {
    const out = [];
    for (const far of [1, 2.2, 3.6, 5]) {
      const d = 7 * r * far;
      if (kind === 'dot')
        out.push(
          [x + d, y - d - h],
          [x + d, y + d],
          [x - d - w, y - d - h],
          [x - d - w, y + d],
          [x - w / 2, y - d - h],
          [x - w / 2, y + d],
          [x + d, y - h / 2],
          [x - d - w, y - h / 2],
        );
      else if (kind === 'top') out.push([x - w / 2, y + (far - 1) * h], [x + d, y + (far - 1) * h]);
      else out.push([x + 4 * r, y - far * h], [x - w - 4 * r, y - far * h]);
    }
    return out.map(([bx, by]) => ({ x: bx, y: by, w, h }));
  };
  // How far a box lies from a point (0 where the point is inside).
  const away = (b, x, y) => Math.hypot(Math.max(b.x - x, 0, x - b.x - b.w), Math.max(b.y - y, 0, y - b.y - b.h));
  // A point's label must lie nearer its own point than any other labelled
  // point, or it reads as the other's: where no free place does, the
  // nearest free one gets a leader line to its point.
  const own = (b, x, y) =>
    wanted.every((o) => o.kind !== 'dot' || (o.x === x && o.y === y) || away(b, x, y) < away(b, o.x, o.y));
  return {
    block: (rect) => blocked.push(rect),
    add: (text, x, y, kind) => wanted.push({ text, x, y, kind }),
    draw(out) {
      g.save();
      g.font = `${12 * r}px sans-serif`;
      g.textAlign = 'left';
      g.textBaseline = 'alphabetic';
      for (const { text, x, y, kind } of wanted) {
        const places = spots(x, y, g.measureText(text).width + 6 * r, 16 * r, kind).filter(free);
        const spot = kind === 'dot' ? places.find((b) => own(b, x, y)) || places[0] : places[0];
        if (!spot) continue;
        blocked.push(spot);
        const leader = kind === 'dot' && !own(spot, x, y);
        if (leader) {
          g.strokeStyle = '#111';
          g.lineWidth = r;
          line(g, [x, y], [spot.x + spot.w / 2, spot.y + spot.h / 2]);
        }
        g.globalAlpha = 0.85;
        g.fillStyle = '#fff';
        g.fillRect(spot.x, spot.y, spot.w, spot.h);
        g.globalAlpha = 1;
        g.fillStyle = '#111';
        g.fillText(text, spot.x + 3 * r, spot.y + 12 * r);
        out.push({ text, ...spot, anchor: kind === 'dot' ? [x, y] : null, leader });
      }
      g.restore();
    },
  };
}

// Brent's parabola x(y) through its three points, at heights across the
// plot (the module's values).
function parabola(view, frame) {
  const { g, r, core, method, k } = view;
  const { box, px } = frame;
  const heights = Array.from({ length: 121 }, (_, j) => box.top + (box.height * j) / 120);
  const ys = heights.map(frame.yAt);
  const [xs] = core.inverseQuadratic(method.index, k, ys);
  g.setLineDash([2 * r, 3 * r]);
  g.beginPath();
  let drawing = false;
  xs.forEach((x, j) => {
    const a = px(x);
    if (!Number.isFinite(a) || a < box.left - box.width || a > box.left + 2 * box.width) return (drawing = false);
    g[drawing ? 'lineTo' : 'moveTo'](a, heights[j]);
    drawing = true;
  });
  g.stroke();
  g.setLineDash([]);
}

// The line through the points [a, b] and [c, d] (either may lie far
// outside), from the left edge of the box to the right one.
function through(g, box, [a, b], [c, d]) {
  if (![a, b, c, d].every(Number.isFinite) || (a === c && b === d)) return;
  if (a === c) return line(g, [a, box.top], [a, box.top + box.height]);
  // From the point nearer the window, so that a far one costs no digits.
  const [nx, ny] = Math.abs(a - box.left) < Math.abs(c - box.left) ? [a, b] : [c, d];
  const y = (x) => ny + ((d - b) * (x - nx)) / (c - a);
  line(g, [box.left, y(box.left)], [box.left + box.width, y(box.left + box.width)]);
}

// The segment from [a, b] to [c, d], where both are numbers.
function segment(g, box, [a, b], [c, d]) {
  if ([a, b, c, d].every(Number.isFinite)) line(g, [a, b], [c, d]);
}

function line(g, [x1, y1], [x2, y2]) {
  g.beginPath();
  g.moveTo(x1, y1);
  g.lineTo(x2, y2);
  g.stroke();
}
