// Bisection (H) on the page: its values, its sentence and its construction
// in the step view. A pass's fields are the module's (core.js passes()).
import { signWord, relation } from './words.js';

export default {
  letter: 'H',
  summary:
    'halbiert ein Intervall, in dem der Strom liegt: langsam, aber sicher; die Intervallbreite halbiert sich je Durchlauf.',
  subject: 'Die Halbierung',
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
      '. Dort ist das Residuum d = f(m) = ',
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
  tip: (p, v) => [
    'm = (lo + hi) / 2 mit lo = ',
    v('lo', 'a'),
    ' und hi = ',
    v('hi', 'b'),
    '; bei f(m) <= 0 rückt lo auf m, sonst hi.',
  ],
  // Why a repeat ended the block, where it is the method's own reason.
  repeat: (last, neighbours) =>
    neighbours(last.aAfter, last.bAfter)
      ? ' zwischen lo und hi liegt kein double mehr, also fällt m auf ein Ende.'
      : null,
  repeatStep: '(lo + hi) / 2',
  // The points the window must fit, and its centre.
  construction: (p) => ({ focus: [p.a, p.b, p.point], centre: p.point }),
  // The construction: the interval and the half it keeps, the signs of f
  // at its ends and at the midpoint (shapes: stepwindow.js construct()).
  draw(d, p) {
    const [flo, fhi] = [d.f(p.a), d.f(p.b)];
    d.shade(p.a, p.b);
    d.shade(p.aAfter, p.bAfter, { strong: true, label: 'neues Intervall' });
    d.dot(p.a, flo, `f(lo) ${relation(flo)}`, { curve: true, short: 'lo' });
    d.dot(p.b, fhi, `f(hi) ${relation(fhi)}`, { curve: true, short: 'hi' });
    d.segment(p.point, 0, p.point, p.d, { dash: true });
    d.dot(p.point, 0, 'm', { short: 'm' });
    d.dot(p.point, p.d, `f(m) ${relation(p.d)}`, { curve: true });
  },
};
