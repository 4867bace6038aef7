// The secant method (S) on the page: regula falsi without its interval,
// always through the last two points.
import falsi, { secantWords } from './falsi.js';

export default {
  ...falsi,
  subject: 'Das Sekantenverfahren',
  ends: null,
  sentence: (p, v) => [
    ...secantWords(p, v),
    '; die letzten beiden Punkte rücken nach: a wird b, b wird r, ganz gleich, auf welcher Seite der ' +
      'Nullstelle sie liegen.',
  ],
  repeat: () => null,
  repeatStep: 'der Schritt',
};
