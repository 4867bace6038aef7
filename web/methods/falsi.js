// Regula falsi (R) on the page: its values, its sentence and its
// construction in the step view.
import { signWord } from './words.js';

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
        ? 'also d < 0: a rückt auf r, fa auf d.'
        : `also ${Number.isNaN(p.d) ? 'nicht d < 0' : 'd >= 0'}: b rückt auf r, fb auf d${p.d === 0 ? ' (eine Null bewegt hier das obere Ende)' : ''}.`,
    ];
  },
  repeat: () => null,
  repeatStep: 'der Schritt',
  stays:
    'auf der konkaven Kennlinie liegt jeder Schnittpunkt der Sekante auf derselben Seite der Nullstelle, ' +
    'also rückt immer dasselbe Ende, und der Wert kriecht nur heran.',
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
  marks: (p) => [...regulaFalsi.marks(p), [p.aAfter, p.faAfter], [p.bAfter, p.fbAfter]],
  draw(d, p) {
    regulaFalsi.draw(d, p);
    if (!p.scaled) return;
    const [x, y, label] = p.scaled === 1 ? [p.aAfter, p.faAfter, "(a, fa')"] : [p.bAfter, p.fbAfter, "(b, fb')"];
    d.dot(x, y, label);
    d.dashed(p.aAfter, p.faAfter, p.bAfter, p.fbAfter);
  },
});

export const illinois = scaledVariant('Illinois: halbiert');
export const pegasus = scaledVariant('Pegasus: mal fa / (fa + d) des bewegten Endes');
export const andersonBjoerck = scaledVariant('Anderson-Bjoerck: mal 1 - d / f des bewegten Endes, sonst 0.5');
