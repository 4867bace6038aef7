// The secant method (S) on the page: regula falsi without its interval,
// always through the last two points.
import falsi from './falsi.js';
import { signWord } from './words.js';

export default {
  values: [
    ['a', 'a'],
    ['fa', 'fa'],
    ['b', 'b'],
    ['fb', 'fb'],
    ['r', 'point'],
    ['d', 'd'],
  ],
  ends: null,
  residual: 'f(r)',
  steps: { point: 'der Sekante (a*fb - b*fa) / (fb - fa)' },
  sentence: (p, v) => [
    'die Sekante durch die letzten beiden Punkte (',
    v('a', 'a'),
    ', ',
    v('fa', 'fa'),
    ') und (',
    v('b', 'b'),
    ', ',
    v('fb', 'fb'),
    ') schneidet die Achse bei r = (a*fb - b*fa) / (fb - fa) = ',
    v('r', 'point'),
    '. Dort ist f(r) = ',
    v('d', 'd'),
    ` (${signWord(p.d)}); die Punkte rücken nach: a wird b, b wird r, ganz gleich, auf welcher Seite der Nullstelle sie liegen.`,
  ],
  repeat: () => null,
  repeatStep: 'der Schritt',
  construction: falsi.construction,
  marks: (p) => [
    [p.a, p.fa],
    [p.b, p.fb],
    [p.point, p.d],
  ],
  draw(d, p) {
    d.through(p.a, p.fa, p.b, p.fb);
    d.dot(p.a, p.fa, '(a, fa)');
    d.dot(p.b, p.fb, '(b, fb)');
    d.dot(p.point, 0, 'r');
    d.dot(p.point, p.d, 'f(r)');
    d.beyond(p.a, `(a, fa) = (${d.fmt(p.a)}, ${d.fmt(p.fa)})`);
  },
};
