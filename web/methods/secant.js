// The secant method (S) on the page: regula falsi without its interval,
// always through the last two points.
import { falsiBase, secantWords } from './falsi.js';

export default {
  ...falsiBase,
  letter: 'S',
  summary:
    'legt die Sekante durch die letzten beiden Punkte, ohne Intervall: schneller, aber ohne Einschließung der Nullstelle.',
  subject: 'Das Sekantenverfahren',
  ends: null,
  sentence: (p, v) => [
    ...secantWords(p, v),
    '; die letzten beiden Punkte rücken nach: a wird b, b wird r, ganz gleich, auf welcher Seite der ' +
      'Nullstelle sie liegen.',
  ],
  level: {
    verdict: ': die letzten beiden Residuen sind gleich, die nächste Sekante wäre waagerecht',
    end: (last, v) => [
      'Ende: die letzten beiden Residuen sind gleich, f(a) = f(b) = ',
      v('d', 'd'),
      '; die nächste Sekante wäre waagerecht, ihr Schritt eine Division durch 0. Es bleibt der letzte Wert.',
    ],
  },
};
