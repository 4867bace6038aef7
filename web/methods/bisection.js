// Bisection (H) on the page: its values, its sentence and its construction
// in the step view. A pass's fields are the module's (core.js passes()).
import { signWord } from './words.js';

export default {
  // The values of a pass as the step view lists them: [name, field].
  values: [
    ['lo', 'a'],
    ['hi', 'b'],
    ['m', 'point'],
    ['d', 'd'],
  ],
  ends: ['lo', 'hi'],
  residual: 'f(m)',
  // The steps of a pass that can make a nan, in words.
  steps: { point: 'der Summe lo + hi der Enden' },
  sentence(p, v) {
    const down = p.d <= 0;
    return [
      'das Intervall [',
      v('lo', 'a'),
      ', ',
      v('hi', 'b'),
      '] wird halbiert: m = (lo + hi) / 2 = ',
      v('m', 'point'),
      '. Dort ist f(m) = ',
      v('d', 'd'),
      ` (${signWord(p.d)}), `,
      down ? 'also d <= 0: lo rückt auf m' : `also ${Number.isNaN(p.d) ? 'nicht d <= 0' : 'd > 0'}: hi rückt auf m`,
      '; neues Intervall [',
      v('lo', 'aAfter'),
      ', ',
      v('hi', 'bAfter'),
      '].',
    ];
  },
  // Why a repeat ended the block, where it is the method's own reason.
  repeat: (last, neighbours) =>
    neighbours(last.aAfter, last.bAfter)
      ? ' zwischen lo und hi liegt kein double mehr, also fällt m auf ein Ende.'
      : null,
  repeatStep: '(lo + hi) / 2',
  stays: 'das Vorzeichen von d zeigt immer in dieselbe Richtung.',
  // The doubles the construction puts on the I axis, and its centre.
  construction: (p) => ({ xs: [p.a, p.b, p.point], centre: p.point }),
  // The points of the construction that the window's height must hold.
  marks: (p) => [[p.point, p.d]],
  draw(d, p) {
    d.shade(p.a, p.b);
    d.upright(p.a, p.d <= 0 ? 'lo -> m' : 'lo');
    d.upright(p.b, p.d <= 0 ? 'hi' : 'hi -> m');
    d.dot(p.point, 0, 'm');
    d.dot(p.point, p.d, 'f(m)');
  },
};
