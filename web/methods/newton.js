// Newton (N) on the page: its values, its sentence and its construction in
// the step view.
export default {
  letter: 'N',
  summary: 'folgt der Tangente: sehr schnell nahe der Lösung, aber es kann kreisen oder zu nan und inf entgleisen.',
  subject: 'Das Newton-Verfahren',
  values: [
    ['x', 'from'],
    ['d', 'd'],
    ['s', 'slopeAfter'],
    ["x'", 'next'],
  ],
  residual: 'f(x)',
  steps: { next: 'dem Newton-Schritt x - Delta / Steigung' },
  sentence: (p, v) => [
    'bei x = ',
    v('x', 'from'),
    ' ist das Residuum d = f(x) = ',
    v('d', 'd'),
    " und die Steigung s = f'(x) = ",
    v('s', 'slopeAfter'),
    '; die Tangente dort',
    " schneidet die Achse bei x' = x - d / s = ",
    v("x'", 'next'),
    '.',
  ],
  tip: (p, v) => [
    "x' = x - f(x) / f'(x) mit x = ",
    v('x', 'from'),
    ', f(x) = ',
    v('d', 'd'),
    " und f'(x) = ",
    v('s', 'slopeAfter'),
    '.',
  ],
  alternates: 'die Tangente in jedem führt genau auf den anderen.',
  construction: newtonWindow,
  // The tangent at (x, f(x)) down to the axis at x', up to the curve at
  // x' (the zig-zag), the earlier passes' zig-zag faint behind it.
  draw(d, p, ctx) {
    earlier(d, ctx);
    d.line(p.from, p.d, p.next, 0);
    d.dot(p.from, p.d, '(x, f(x))', { curve: true, short: 'x' });
    if (!Number.isFinite(p.d)) d.dot(p.from, 0, 'x', { short: 'x' }); // f(x) is no number
    d.dot(p.next, 0, "x'", { short: "x'" });
    up(d, p.next);
  },
};

// Newton kept inside an interval (G): Newton's step, unless it leaves the
// interval that the residuals' signs narrowed, or is longer than half the
// step before the last; then the interval's midpoint.
export const guarded = {
  letter: 'G',
  summary:
    'nimmt Newtons Schritt, solange er im Intervall bleibt, das die Vorzeichen einschließen, und kurz genug ist; sonst die Mitte.',
  subject: 'Newton mit Intervall',
  values: [
    ['x', 'from'],
    ['d', 'd'],
    ['s', 'slopeAfter'],
    ['a', 'aAfter'],
    ['b', 'bAfter'],
    ["x'", 'next'],
  ],
  ends: ['a', 'b'],
  residual: 'f(x)',
  steps: { next: 'dem Newton-Schritt x - Delta / Steigung oder der Mitte (a + b) / 2' },
  sentence(p, v) {
    const narrowed = p.d < 0 ? 'also d < 0: a rückt auf x' : 'also nicht d < 0: b rückt auf x';
    const parts = [
      'bei x = ',
      v('x', 'from'),
      ' ist das Residuum d = f(x) = ',
      v('d', 'd'),
      `, ${narrowed}; das Intervall ist nun [`,
      v('a', 'aAfter'),
      ', ',
      v('b', 'bAfter'),
      "]. Die Tangente hat die Steigung s = f'(x) = ",
      v('s', 'slopeAfter'),
    ];
    if (p.word === 0)
      return [
        ...parts,
        "; ihr Schnittpunkt x' = x - d / s = ",
        v("x'", 'next'),
        p.next === p.from ? ' ist x selbst.' : ' liegt zwischen a und b, ihr Schritt ist kurz genug, und er gilt.',
      ];
    // Which of the two rules put the midpoint in its place.
    const outside = [
      '; ihr Schnittpunkt x - d / s = ',
      v('x - d/s', 'tangentZero'),
      ' liegt nicht echt zwischen a und b',
    ];
    const long = [
      `${p.ruleAfter & 1 ? ', und ihr' : '; ihr'} Schritt |d / s| ist länger als die Hälfte von e = `,
      v('e', 'e'),
      k1(p),
    ];
    return [
      ...parts,
      ...(p.ruleAfter & 1 ? outside : []),
      ...(p.ruleAfter & 2 ? long : []),
      ". Statt ihres Schnittpunkts gilt die Mitte x' = (a + b) / 2 = ",
      v("x'", 'next'),
      '.',
    ];
  },
  tip: (p, v) => [
    'Newtons Punkt x - d / s mit x = ',
    v('x', 'from'),
    ', d = f(x) = ',
    v('d', 'd'),
    " und s = f'(x) = ",
    v('s', 'slopeAfter'),
    ' gilt, wenn er echt zwischen a und b liegt und |d / s| höchstens e / 2 ist, mit e = ',
    v('e', 'e'),
    '; sonst gilt die Mitte (a + b) / 2. Vorher ist a = ',
    v('a', 'a'),
    ' und b = ',
    v('b', 'b'),
    '; bei d < 0 rückt a auf x, sonst b.',
  ],
  construction: (p, ctx) => {
    const { focus, centre } = newtonWindow(p, ctx);
    return { focus, all: [...focus, p.aAfter, p.bAfter], centre };
  },
  // The interval the signs narrowed, the tangent, and the point taken:
  // Newton's, or the midpoint where it was not safe.
  draw(d, p, ctx) {
    earlier(d, ctx);
    d.shade(p.aAfter, p.bAfter, { strong: true, label: '[a, b]' });
    d.line(p.from, p.d, p.tangentZero, 0);
    if (p.word !== 0) d.dot(p.tangentZero, 0, 'Newton-Punkt', { short: 'N' });
    d.dot(p.from, p.d, '(x, f(x))', { curve: true, short: 'x' });
    if (!Number.isFinite(p.d)) d.dot(p.from, 0, 'x', { short: 'x' }); // f(x) is no number
    d.dot(p.next, 0, p.word === 0 ? "x'" : "x' = Mitte", { short: "x'" });
    up(d, p.next);
  },
};

// What e, the step before the last, is at this pass: in the first two
// passes still the start interval's width.
const k1 = (p) => (p.k <= 1 ? ', der Breite des Startintervalls' : ', der Länge des vorletzten Schritts');

// The window of a Newton pass: x and x'; where f(x) is not a number, also
// the pass before's x, whose tangent led there.
function newtonWindow(p, ctx) {
  const focus = [p.from, p.next];
  if (!Number.isFinite(p.d) && ctx && ctx.k > 0) focus.push(ctx.passes[ctx.k - 1].from);
  return { focus, centre: Number.isFinite(p.next) ? p.next : p.from };
}

// The zig-zag of the (at most six) passes before, faint: each tangent down
// to the axis and up to the curve.
function earlier(d, ctx) {
  for (let j = Math.max(0, ctx.k - 6); j < ctx.k; j++) {
    const q = ctx.passes[j];
    const after = ctx.passes[j + 1].d;
    d.segment(q.from, q.d, q.next, 0, { faint: true });
    d.segment(q.next, 0, q.next, after, { faint: true });
    d.dot(q.from, q.d, '', { curve: true, faint: true });
  }
}

// From x' on the axis up to (x', f(x')) on the curve, and in words where
// the picture cannot tell f(x') from 0.
function up(d, x) {
  const after = d.f(x);
  d.segment(x, 0, x, after, { dash: true });
  d.dot(x, after, "(x', f(x'))", { curve: true });
  d.unseen(
    x,
    after,
    `f(x') = ${d.fmt(after)} V ist im Bild nicht von 0 zu unterscheiden: Tangente und Kurve fallen ` + 'hier zusammen.',
  );
}
