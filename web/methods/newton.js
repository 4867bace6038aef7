// Newton (N) on the page: its values, its sentence and its construction in
// the step view.
export default {
  values: [
    ['x', 'from'],
    ['d', 'd'],
    ['s', 'slope'],
    ["x'", 'next'],
  ],
  ends: null,
  residual: 'f(x)',
  steps: { next: 'dem Newton-Schritt x - Delta / Steigung' },
  sentence: (p, v) => [
    'die Tangente in (',
    v('x', 'from'),
    ', ',
    v('d', 'd'),
    ") mit der Steigung f'(x) = ",
    v('s', 'slope'),
    " schneidet die Achse bei x' = x - d / s = ",
    v("x'", 'next'),
    '.',
  ],
  repeat: () => null,
  repeatStep: 'der Schritt',
  alternates: 'die Tangente in jedem fuehrt genau auf den anderen.',
  construction: (p) => ({ xs: [p.from, p.next], centre: Number.isFinite(p.next) ? p.next : p.from }),
  marks: (p) => [[p.from, p.d]],
  draw(d, p) {
    d.through(p.from, p.d, p.next, 0);
    d.dot(p.from, p.d, '(x, f(x))');
    d.dot(p.next, 0, "x'");
  },
};
