// Newton (N) on the page: its values, its sentence and its construction in
// the step view.
export default {
  deltaAtStart: true,
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
  alternates: 'die Tangente in jedem führt genau auf den anderen.',
  construction: (p) => ({ xs: [p.from, p.next], centre: Number.isFinite(p.next) ? p.next : p.from }),
  marks: (p) => [[p.from, p.d]],
  draw(d, p) {
    d.through(p.from, p.d, p.next, 0);
    d.dot(p.from, p.d, '(x, f(x))');
    d.dot(p.next, 0, "x'");
  },
};

// Newton kept inside an interval (G): Newton's step, unless it leaves the
// interval that the residuals' signs narrowed, or is longer than half the
// step before the last; then the interval's midpoint.
export const guarded = {
  deltaAtStart: true,
  values: [
    ['x', 'from'],
    ['d', 'd'],
    ['s', 'slope'],
    ['a', 'aAfter'],
    ['b', 'bAfter'],
    ["x'", 'next'],
  ],
  ends: ['a', 'b'],
  residual: 'f(x)',
  steps: { next: 'dem Newton-Schritt x - Delta / Steigung oder der Mitte (a + b) / 2' },
  words: ['Newton', 'Halbierung'],
  sentence(p, v) {
    const narrowed = p.d < 0 ? 'also d < 0: a rückt auf x' : 'also nicht d < 0: b rückt auf x';
    const parts = [
      'bei x = ',
      v('x', 'from'),
      ' ist f(x) = ',
      v('d', 'd'),
      `, ${narrowed}; das Intervall ist nun [`,
      v('a', 'aAfter'),
      ', ',
      v('b', 'bAfter'),
      "]. Die Tangente mit der Steigung f'(x) = ",
      v('s', 'slope'),
    ];
    if (p.word === 0) return [...parts, " führt in das Intervall: x' = x - d / s = ", v("x'", 'next'), '.'];
    return [
      ...parts,
      ' führt aus dem Intervall oder ist länger als die Hälfte des vorletzten Schritts; ' +
        "statt ihres Schnittpunkts gilt die Mitte x' = (a + b) / 2 = ",
      v("x'", 'next'),
      '.',
    ];
  },
  repeat: () => null,
  repeatStep: 'der Schritt',
  stays: 'das Vorzeichen von d zeigt immer in dieselbe Richtung.',
  construction: (p) => ({ xs: [p.from, p.next, p.aAfter, p.bAfter], centre: p.next }),
  marks: (p) => [[p.from, p.d]],
  draw(d, p) {
    d.shade(p.aAfter, p.bAfter);
    d.through(p.from, p.d, p.tangentZero, 0);
    if (p.word !== 0) d.dot(p.tangentZero, 0, 'Newton');
    d.dot(p.from, p.d, '(x, f(x))');
    d.dot(p.next, 0, p.word === 0 ? "x'" : "x' = Mitte");
  },
};
