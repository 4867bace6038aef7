// Regula falsi (R) on the page: its values, its sentence and its
// construction in the step view.
import { signWord } from './words.js';

// The secant through (a, fa) and (b, fb), where it meets the axis, and the
// residual there: what regula falsi's sentence and the secant method's
// share.
export const secantWords = (p, v) => [
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
  '. Dort ist das Residuum d = f(r) = ',
  v('d', 'd'),
  ` (${signWord(p.d)})`,
];

const regulaFalsi = {
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
      ...secantWords(p, v),
      ', ',
      below
        ? 'also d < 0: a rückt auf r, fa auf d.'
        : `also ${Number.isNaN(p.d) ? 'nicht d < 0' : 'd >= 0'}: b rückt auf r, fb auf d${p.d === 0 ? ' (eine Null bewegt hier das obere Ende)' : ''}.`,
    ];
  },
  repeat: () => null,
  repeatStep: 'der Schritt',
  stays:
    'auf der konkaven Kennlinie liegt jeder Schnittpunkt der Sekante auf derselben Seite der Nullstelle, ' +
    'also rückt immer dasselbe Ende, und der Wert kriecht nur heran.',
  // The window fits the end nearer to r and r, and the far end too unless
  // it lies more than 8 steps away; then an inset keeps it in view.
  construction(p) {
    const near = Math.abs(p.b - p.point) <= Math.abs(p.point - p.a) ? p.b : p.a;
    const far = near === p.b ? p.a : p.b;
    const focus = [near, p.point];
    if (Math.abs(far - p.point) <= 8 * Math.abs(near - p.point)) focus.push(far);
    return { focus, all: [p.a, p.b, p.point], centre: p.point };
  },
  // The interval, the secant through its ends (the pivot that stays), where
  // it meets the axis and f there.
  draw(d, p) {
    if (this.ends) d.shade(p.a, p.b);
    d.line(p.a, p.fa, p.b, p.fb);
    const moves = this.ends ? (p.d < 0 ? 'a' : 'b') : null;
    d.dot(p.a, p.fa, moves === 'a' ? '(a, fa) → r' : '(a, fa)', { curve: d.onCurve(p.a, p.fa), short: 'a' });
    d.dot(p.b, p.fb, moves === 'b' ? '(b, fb) → r' : '(b, fb)', { curve: d.onCurve(p.b, p.fb), short: 'b' });
    d.segment(p.point, 0, p.point, p.d, { dash: true });
    d.dot(p.point, 0, 'r', { short: 'r' });
    d.dot(p.point, p.d, 'f(r)', { curve: true });
  },
};

export default regulaFalsi;

// Illinois (I), Pegasus (P) and Anderson-Bjoerck (A): regula falsi whose
// kept end's residual is scaled when the same end moved twice in a row.
const scaledVariant = (how) => ({
  ...regulaFalsi,
  values: [...regulaFalsi.values, ["fa'", 'faAfter'], ["fb'", 'fbAfter']],
  sentence(p, v) {
    const parts = regulaFalsi.sentence(p, v);
    if (!p.scaled) return parts;
    const [name, field] = p.scaled === 1 ? ['fa', 'faAfter'] : ['fb', 'fbAfter'];
    const moved = p.scaled === 1 ? 'b' : 'a';
    return [
      ...parts,
      ` Da ${moved} schon im vorigen Durchlauf rückte, wird das Residuum des anderen Endes skaliert (${how}): ${name} = `,
      v(name, field),
      '; so liegt die nächste Sekante steiler und schneidet die Achse jenseits der Nullstelle.',
    ];
  },
  stays: 'das Vorzeichen von d zeigt immer in dieselbe Richtung.',
  // Beside the true end, the scaled one and the steeper secant through it
  // that the next pass takes.
  draw(d, p) {
    regulaFalsi.draw.call(this, d, p);
    if (!p.scaled) return;
    const [x, y, label] = p.scaled === 1 ? [p.aAfter, p.faAfter, "(a, fa')"] : [p.bAfter, p.fbAfter, "(b, fb')"];
    d.dot(x, y, label, { short: label.slice(1, 2) + "'" });
    d.line(p.aAfter, p.faAfter, p.bAfter, p.fbAfter, { dash: true });
  },
});

export const illinois = scaledVariant('Illinois: halbiert');
export const pegasus = scaledVariant('Pegasus: mal fa / (fa + d) des bewegten Endes');
export const andersonBjoerck = scaledVariant('Anderson-Björck: mal 1 - d / f des bewegten Endes, sonst 0.5');
