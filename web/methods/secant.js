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
    '. Dort ist das Residuum d = f(r) = ',
    v('d', 'd'),
    ` (${signWord(p.d)}); die Punkte rücken nach: a wird b, b wird r, ganz gleich, auf welcher Seite der Nullstelle sie liegen.`,
  ],
  repeat: () => null,
  repeatStep: 'der Schritt',
  construction: falsi.construction,
  draw: falsi.draw,
};
