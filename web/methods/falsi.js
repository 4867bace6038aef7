// Regula falsi (R) on the page: its values, its sentence and its
// construction in the step view.
import { signWord } from './words.js';
import { order } from '../passes.js';

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
  letter: 'R',
  summary:
    'legt eine Sekante durch die Enden des Intervalls; bei stark gekrümmter Kennlinie bleibt ein Ende lange stehen, und der Wert kriecht heran.',
  subject: 'Die Regula falsi',
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
  // The secant through the kept points (for I, P and A their residuals as
  // kept, scaled or not); for an interval, which end moves.
  tip(p, v) {
    return [
      'r = (a*fb - b*fa) / (fb - fa) mit a = ',
      v('a', 'a'),
      ', fa = ',
      v('fa', 'fa'),
      ', b = ',
      v('b', 'b'),
      ', fb = ',
      v('fb', 'fb'),
      this.ends ? '; bei f(r) < 0 rückt a auf r, sonst b.' : '.',
    ];
  },
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

// Regula falsi's object but for what is its own (its letter, names, help
// line and why an end stays), for the methods built on it.
const own = ['letter', 'summary', 'subject', 'stays'];
export const falsiBase = Object.fromEntries(Object.entries(regulaFalsi).filter(([key]) => !own.includes(key)));

// The side of the true root a point lies on (a pass field -1, 0 or 1), in
// words; null where it is not known.
const sideWord = (side) =>
  Number.isNaN(side) ? null : side < 0 ? 'unter I*' : side > 0 ? 'über I*' : 'genau auf dem double nächst I*';

// Illinois (I), Pegasus (P) and Anderson-Bjoerck (A): regula falsi whose
// kept end's residual is scaled when the same end moved twice in a row;
// how(moved) says by what, the moved end named.
const scaledVariant = (how, more) => ({
  ...falsiBase,
  ...more,
  values: [...regulaFalsi.values, ["fa'", 'faAfter'], ["fb'", 'fbAfter']],
  sentence(p, v) {
    const parts = regulaFalsi.sentence(p, v);
    if (!p.scaledAfter) return parts;
    const [kept, moved] = p.scaledAfter === 1 ? ['a', 'b'] : ['b', 'a'];
    const keptAt = p.scaledAfter === 1 ? p.aAfter : p.bAfter;
    return [
      ...parts,
      ` ${moved} rückte schon im vorigen Durchlauf; ${kept} bleibt stehen, und sein Residuum wird skaliert (${how(moved)}): f${kept} = `,
      v(`f${kept}`, `f${kept}`),
      ' mal ',
      v('Faktor', 'factorAfter'),
      ` wird f${kept}' = `,
      v(`f${kept}'`, `f${kept}After`),
      '.',
      ...nextSecant(p, v, kept, keptAt, moved),
    ];
  },
  // Beside the true end, the scaled one and the steeper secant through it
  // that the next pass takes.
  draw(d, p) {
    regulaFalsi.draw.call(this, d, p);
    if (!p.scaledAfter) return;
    const [x, y, label] = p.scaledAfter === 1 ? [p.aAfter, p.faAfter, "(a, fa')"] : [p.bAfter, p.fbAfter, "(b, fb')"];
    d.dot(x, y, label, { short: label.slice(1, 2) + "'" });
    d.line(p.aAfter, p.faAfter, p.bAfter, p.fbAfter, { dash: true });
  },
});

// What the scaling does to the next secant, from the module's two points
// (with the scaling and without it) and slopes: nearer the kept end or
// not, flatter or steeper, and on which side of I* its point falls where
// that is known.
function nextSecant(p, v, kept, keptAt, moved) {
  const [r1, r0] = [p.nextPoint, p.unscaledPoint];
  if (!Number.isFinite(r1) || !Number.isFinite(r0)) return [];
  // Distances from the kept end in doubles, where both points lie on one
  // side of it (or on it): exact, and ordered as the real distances are.
  const apart = (x) => order(x) - order(keptAt);
  const [e1, e0] = [apart(r1), apart(r0)];
  const across = (e1 < 0n && e0 > 0n) || (e1 > 0n && e0 < 0n);
  const abs = (e) => (e < 0n ? -e : e);
  const where =
    r1 === r0
      ? 'an derselben Stelle'
      : across
        ? `auf der anderen Seite des stehenden Endes ${kept}`
        : abs(e1) < abs(e0)
          ? `näher am stehenden Ende ${kept}`
          : `weiter weg vom stehenden Ende ${kept}`;
  const [s1, s0] = [Math.abs(p.nextSlope), Math.abs(p.unscaledSlope)];
  if (!(s1 >= 0 && s0 >= 0)) return [];
  const slope = s1 < s0 ? 'flacher' : s1 > s0 ? 'steiler' : 'gleich steil';
  const parts = [
    ` Die nächste Sekante wird dadurch ${slope} (Steigung `,
    v("s'", 'nextSlope'),
    ' statt ',
    v('s', 'unscaledSlope'),
    ') und trifft die Achse bei ',
    v("r'", 'nextPoint'),
    ' statt bei ',
    v('r', 'unscaledPoint'),
    `: ${where}`,
  ];
  const nextSide = p.side('nextPoint');
  const [next, end] = [sideWord(nextSide), sideWord(Math.sign(p.error))];
  if (next && end && nextSide !== 0 && p.error !== 0)
    parts.push(
      nextSide === Math.sign(p.error)
        ? `; der Schnittpunkt bleibt ${next}, auf derselben Seite von I* wie ${moved}.`
        : `; der Schnittpunkt liegt ${next}, auf der anderen Seite von I* als ${moved}.`,
    );
  else parts.push('.');
  return parts;
}

export const illinois = scaledVariant(() => 'Illinois: mal 0.5', {
  letter: 'I',
  subject: 'Das Illinois-Verfahren',
  summary:
    'ist Regula falsi, die das Residuum des stehenden Endes halbiert, wenn dasselbe Ende zweimal nacheinander rückte.',
});
export const pegasus = scaledVariant(
  (moved) => `Pegasus: mal f${moved} / (f${moved} + d), mit f${moved} dem vorigen Residuum von ${moved}`,
  {
    letter: 'P',
    subject: 'Das Pegasus-Verfahren',
    summary:
      'skaliert das Residuum des stehenden Endes dann mit f / (f + d), f das vorige Residuum des bewegten Endes.',
  },
);
export const andersonBjoerck = scaledVariant(
  (moved) =>
    `Anderson-Björck: mal 1 - d / f${moved}, mit f${moved} dem vorigen Residuum von ${moved}; 0.5, wo das nicht positiv ist`,
  {
    letter: 'A',
    subject: 'Das Anderson-Björck-Verfahren',
    label: 'Anderson-Björck',
    summary: 'skaliert es mit 1 − d / f, oder mit 0.5, wo das nicht positiv ist.',
  },
);
