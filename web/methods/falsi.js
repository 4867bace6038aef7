// Regula falsi (R) on the page: its values, its sentence and its
// construction in the step view.
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
  ends: ['a', 'b'],
  residual: 'f(r)',
  steps: { point: 'der Sekante (a*fb - b*fa) / (fb - fa)' },
  sentence(p, v) {
    const below = p.d < 0;
    return [
      'die Sekante durch (',
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
      ` (${signWord(p.d)}), `,
      below
        ? 'also d < 0: a rueckt auf r, fa auf d.'
        : `also ${Number.isNaN(p.d) ? 'nicht d < 0' : 'd >= 0'}: b rueckt auf r, fb auf d${p.d === 0 ? ' (eine Null bewegt hier das obere Ende)' : ''}.`,
    ];
  },
  repeat: () => null,
  repeatStep: 'der Schritt',
  stays:
    'auf der konkaven Kennlinie liegt jeder Schnittpunkt der Sekante auf derselben Seite der Nullstelle, ' +
    'also rueckt immer dasselbe Ende, und der Wert kriecht nur heran.',
  // The end nearer to r; the other only if it is not far beyond the step.
  construction(p) {
    const near = Math.abs(p.b - p.point) <= Math.abs(p.point - p.a) ? p.b : p.a;
    const far = near === p.b ? p.a : p.b;
    const span = Math.abs(near - p.point);
    const xs = [near, p.point];
    if (Math.abs(far - p.point) <= 8 * span) xs.push(far);
    return { xs, centre: p.point };
  },
  marks: (p) => [
    [p.a, p.fa],
    [p.b, p.fb],
    [p.point, p.d],
  ],
  draw(d, p) {
    d.through(p.a, p.fa, p.b, p.fb);
    d.dot(p.a, p.fa, p.d < 0 ? '(a, fa) -> r' : '(a, fa)');
    d.dot(p.b, p.fb, p.d < 0 ? '(b, fb)' : '(b, fb) -> r');
    d.dot(p.point, 0, 'r');
    d.dot(p.point, p.d, 'f(r)');
    d.beyond(p.a, `(a, fa) = (${d.fmt(p.a)}, ${d.fmt(p.fa)})`);
    d.beyond(p.b, `(b, fb) = (${d.fmt(p.b)}, ${d.fmt(p.fb)})`);
  },
};
