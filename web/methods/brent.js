// Brent's method (B) on the page: b the best estimate, c the other end of
// an interval around the root, a the previous b; each pass a secant, an
// inverse quadratic or a bisection step.
import { signWord } from './words.js';

const steps = {
  0: 'die Sekante durch (a, fa) und (b, fb)',
  1: 'die inverse quadratische Interpolation durch (a, fa), (b, fb) und (c, fc): x als Parabel in y, bei y = 0',
  2: 'die Mitte zwischen b und c, weil ein interpolierter Schritt nicht sicher genug war',
};

export default {
  letter: 'B',
  summary: 'wählt in jedem Durchlauf Sekante, inverse quadratische Interpolation oder Halbierung, wie es sicher ist.',
  values: [
    ['a', 'a'],
    ['fa', 'fa'],
    ['b', 'b'],
    ['fb', 'fb'],
    ['c', 'c'],
    ['fc', 'fc'],
    ["b'", 'next'],
    ["fb'", 'd'],
  ],
  subject: 'Das Brent-Verfahren',
  // The interval's ends as its table shows them: the lower and the upper
  // of b and c.
  ends: ['unten', 'oben'],
  endLabels: ['untere von b, c', 'obere von b, c'],
  residual: 'f(b)',
  steps: { point: 'dem Schritt von b aus' },
  sentence: (p, v) => [
    'b = ',
    v('b', 'b'),
    ' ist die beste Schätzung, c = ',
    v('c', 'c'),
    ' das andere Ende des Intervalls um die Nullstelle, a = ',
    v('a', 'a'),
    ` die vorige. Der Schritt: ${steps[p.word]}. Neu ausgewertet wird bei `,
    v('x', 'point'),
    "; die beste Schätzung ist nun b' = ",
    v("b'", 'next'),
    " mit dem Residuum f(b') = ",
    v("fb'", 'd'),
    ` (${signWord(p.d)}); das Intervall zwischen b' und c ist [`,
    v('unten', 'shownA'),
    ', ',
    v('oben', 'shownB'),
    '].',
  ],
  tip: (p, v) => [
    'b = ',
    v('b', 'b'),
    ', fb = ',
    v('fb', 'fb'),
    '; c = ',
    v('c', 'c'),
    ', fc = ',
    v('fc', 'fc'),
    '; a = ',
    v('a', 'a'),
    ', fa = ',
    v('fa', 'fa'),
    '. Wo a und c verschieden sind, die inverse quadratische Interpolation durch die drei Punkte, sonst die ' +
      'Sekante durch (a, fa) und (b, fb); wo ihr Schritt nicht sicher ist, die Mitte von b und c.',
  ],
  construction: (p) => ({ focus: [p.b, p.c, p.point], all: [p.a, p.b, p.c, p.point], centre: p.next }),
  // The interval [b, c] after the pass, the step (the secant through a and
  // b, the parabola x(y) through a, b and c, or the midpoint) and the new b.
  draw(d, p) {
    d.shade(p.shownA, p.shownB, { strong: true, label: '[b, c]' });
    if (p.word === 0) d.line(p.a, p.fa, p.b, p.fb);
    if (p.word === 1) d.parabola();
    d.dot(p.a, p.fa, '(a, fa)', { curve: d.onCurve(p.a, p.fa), short: 'a' });
    d.dot(p.b, p.fb, '(b, fb)', { curve: d.onCurve(p.b, p.fb), short: 'b' });
    d.dot(p.c, p.fc, '(c, fc)', { curve: d.onCurve(p.c, p.fc), short: 'c' });
    d.dot(p.point, 0, p.word === 2 ? 'Mitte' : 'Schritt', { short: 'x' });
    d.dot(p.next, p.d, "(b', fb')", { curve: d.onCurve(p.next, p.d), short: "b'" });
  },
};
