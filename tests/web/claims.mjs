// Every sentence the page says about a pass or a run, checked against the
// pass data, under node: for each template that asserts a relation (which
// end moves, flatter or steeper, nearer the kept end, which side of I*,
// which rule fired, how long f stays flat on the grid, the word for an
// observed order and the passes it comes from, how a block ends), a check
// that computes the relation anew from the module's pass fields, here, not
// with the page's code that wrote the sentence. Runs the circuits named in
// the README and its issues, start values the page refuses, and random
// circuits, over all the methods. A fragment of a sentence that asserts a
// relation (by its words) which no check reads is a failure too, as is a
// check that never fires.
// Usage: node claims.mjs diodeweb.wasm [RANDOM-CIRCUITS]
import { readFileSync } from 'node:fs';
import { openCore } from '../../web/core.js';
import { runPasses, convergenceSentence, verdict } from '../../web/passes.js';
import { passSentence, digitsOf, gridSentence } from '../../web/sentences.js';
import { construct, stepWindow } from '../../web/stepwindow.js';

const [program, count = '300'] = process.argv.slice(2);
const core = openCore(new WebAssembly.Module(readFileSync(program)));
let failures = 0;
const fail = (what) => {
  failures++;
  if (failures <= 40) console.log(`FAIL ${what}`);
};

// The doubles, independently of the page: a double's place in their order,
// the next one toward b, the gap above |x|.
const place = (x) => {
  const bits = new BigInt64Array(new Float64Array([x]).buffer)[0];
  return bits < 0n ? -(bits & 0x7fffffffffffffffn) : bits;
};
const nextToward = (a, b) => {
  if (a === b || Number.isNaN(a) || Number.isNaN(b)) return a === b ? b : NaN;
  const p = place(a) + (b > a ? 1n : -1n);
  const bits = p < 0n ? -p | -0x8000000000000000n : p;
  return new Float64Array(new BigInt64Array([bits]).buffer)[0];
};
const ulp = (x) => nextToward(Math.abs(x), Infinity) - Math.abs(x);
const secant = (a, b, fa, fb) => (a * fb - b * fa) / (fb - fa);
const sign = (v) => (Number.isNaN(v) ? NaN : Math.sign(v));

// A sentence's text as the page shows it: each value with the digits it
// takes and its unit.
const textOf = (parts) => {
  const digits = digitsOf(parts);
  let next = 0;
  return parts
    .map((p) => (typeof p === 'string' ? p : `${p.text(digits[next++])}${p.unit ? ` ${p.unit}` : ''}`))
    .join('');
};

// The checks: a pattern on a fragment of a sentence and what must hold,
// from the match and { run, r (the method's run), p (the pass), k, root }.
// optional: a check that may never fire in a run of the test.
const words = { negativ: -1, positiv: 1, 'genau 0': 0 };
const side = (x, root) => (x === root ? null : x > root ? 'über' : 'unter');
const orderWords = [
  [1.15, 'linear'],
  [1.8, 'superlinear'],
  [2.3, 'etwa quadratisch'],
  [Infinity, 'schneller als quadratisch'],
];
// The measures of a run for its order, the ones that count (above 1024
// ulps of I*, finite, not 0), and the order at pass k where three decrease.
const measuresOf = (r) => r.passes.map((q) => (r.method.byWidth ? q.width : Math.abs(q.error)));
const counts = (m, root) => Number.isFinite(m) && m > 1024 * ulp(root);
const orderAt = (ms, k, root) =>
  k >= 1 &&
  k + 1 < ms.length &&
  [ms[k - 1], ms[k], ms[k + 1]].every((m) => counts(m, root)) &&
  ms[k + 1] < ms[k] &&
  ms[k] < ms[k - 1]
    ? Math.log(ms[k + 1] / ms[k]) / Math.log(ms[k] / ms[k - 1])
    : NaN;
const agree = (a, b) => Math.abs(a - b) <= 0.1 * Math.max(a, b);
const agreeing = (r, root) => {
  const ms = measuresOf(r);
  const pairs = [];
  for (let k = 2; k + 1 < ms.length; k++)
    if (agree(orderAt(ms, k - 1, root), orderAt(ms, k, root)))
      pairs.push([k - 1, orderAt(ms, k - 1, root), orderAt(ms, k, root)]);
  return pairs;
};

const checks = [
  {
    name: 'sign of the residual',
    re: /(?:d = f\([mrx]\)|f\(b'\)) = \S+ V \((negativ|positiv|genau 0)\)/,
    ok: ([, w], { p }) => sign(p.d) === words[w],
  },
  {
    name: 'bisection moves lo',
    re: /also d <= 0: lo rückt auf m/,
    ok: (_, { p }) => p.d <= 0 && Object.is(p.aAfter, p.point),
  },
  {
    name: 'bisection moves hi',
    re: /also (?:d > 0|nicht d <= 0): hi rückt auf m/,
    ok: (_, { p }) => !(p.d <= 0) && Object.is(p.bAfter, p.point),
  },
  {
    name: 'falsi moves a',
    re: /also d < 0: a rückt auf r/,
    ok: (_, { p }) => p.d < 0 && Object.is(p.aAfter, p.point),
  },
  {
    name: 'falsi moves b',
    re: /also (?:d >= 0|nicht d < 0): b rückt auf r/,
    ok: (_, { p }) => !(p.d < 0) && Object.is(p.bAfter, p.point),
  },
  {
    name: 'G moves an end',
    re: /also (d < 0: a|nicht d < 0: b) rückt auf x/,
    ok: ([, w], { p }) =>
      w.endsWith('a') ? p.d < 0 && Object.is(p.aAfter, p.from) : !(p.d < 0) && Object.is(p.bAfter, p.from),
  },
  {
    name: 'the limit',
    re: /Grenze (\d+)/,
    ok: ([, at], { r }) => Number(at) === core.passLimit && r.passes.length === core.passLimit,
  },
  {
    name: "the secant's points move on",
    re: /die letzten beiden Punkte rücken nach: a wird b, b wird r/,
    ok: (_, { p }) => Object.is(p.aAfter, p.b) && Object.is(p.bAfter, p.point) && Object.is(p.fbAfter, p.d),
  },
  {
    name: 'the secant horizontal',
    re: /die letzten beiden Residuen sind gleich/,
    ok: (_, { r, last, n }) => r.method.letter === 'S' && n > 1 && last.d === r.passes[n - 2].d,
  },
  {
    name: 'the same end moved before',
    re: /(a|b) rückte schon im vorigen Durchlauf/,
    ok: ([, end], { r, k, p }) => [p, r.passes[k - 1]].every((q) => Object.is(q[`${end}After`], q.point)),
  },
  {
    name: 'the other end stays',
    re: /^(a|b) bleibt stehen/,
    ok: ([, end], { p }) => Object.is(p[`${end}After`], p[end]),
  },
  {
    name: "the kept residual scaled by the method's factor",
    re: /: f(a|b) = \S+ V mal (\S+) wird f[ab]' = /,
    ok: ([, kept], { r, p }) => {
      const [k0, k1, old] = kept === 'a' ? [p.fa, p.faAfter, p.fb] : [p.fb, p.fbAfter, p.fa];
      const q = 1 - p.d / old;
      const m = { I: 0.5, P: old / (old + p.d), A: q > 0 ? q : 0.5 }[r.method.letter];
      return Object.is(k1, k0 * m);
    },
  },
  {
    name: 'the next secant flatter or steeper',
    re: /Sekante wird dadurch (flacher|steiler|gleich steil)/,
    ok: ([, w], { p }) => {
      const kept = p.scaledAfter === 1 ? 'a' : 'b';
      const [fa0, fb0] = kept === 'a' ? [p.fa, p.fbAfter] : [p.faAfter, p.fb];
      const s1 = Math.abs((p.fbAfter - p.faAfter) / (p.bAfter - p.aAfter));
      const s0 = Math.abs((fb0 - fa0) / (p.bAfter - p.aAfter));
      return w === (s1 < s0 ? 'flacher' : s1 > s0 ? 'steiler' : 'gleich steil');
    },
  },
  {
    name: 'the next secant nearer the kept end',
    re: /trifft die Achse bei .* statt bei .*: (näher am|weiter weg vom|auf der anderen Seite des) stehenden Ende|: (an derselben Stelle)/,
    ok: (m, { r, k, p }) => {
      const kept = p.scaledAfter === 1 ? p.aAfter : p.bAfter;
      const [fa0, fb0] = p.scaledAfter === 1 ? [p.fa, p.fbAfter] : [p.faAfter, p.fb];
      const r1 = secant(p.aAfter, p.bAfter, p.faAfter, p.fbAfter);
      const r0 = secant(p.aAfter, p.bAfter, fa0, fb0);
      const next = r.passes[k + 1];
      if (next && !Object.is(next.point, r1)) return false; // the next pass takes r1
      if (m[2]) return r1 === r0;
      // By the count of doubles between: where both lie on one side of
      // the kept end, that count orders their distances exactly.
      const [e1, e0] = [place(r1) - place(kept), place(r0) - place(kept)];
      if (e1 * e0 < 0n) return m[1] === 'auf der anderen Seite des';
      const [a1, a0] = [e1 < 0n ? -e1 : e1, e0 < 0n ? -e0 : e0];
      return r1 !== r0 && a1 < a0 === (m[1] === 'näher am') && m[1] !== 'auf der anderen Seite des';
    },
  },
  {
    name: "the next point's side of I*",
    re: /der Schnittpunkt (bleibt|liegt) (über|unter) I\*, auf (derselben|der anderen) Seite von I\* (?:wie|als) (a|b)/,
    ok: ([, , where, same], { p, root }) => {
      const r1 = secant(p.aAfter, p.bAfter, p.faAfter, p.fbAfter);
      const [s1, s0] = [side(r1, root), side(p.next, root)];
      return s1 === null || s0 === null || (s1 === where && (s1 === s0) === (same === 'derselben'));
    },
  },
  {
    name: "G: Newton's point outside the interval",
    re: /ihr Schnittpunkt x - d \/ s = \S+ A liegt nicht echt zwischen a und b/,
    ok: (_, { p }) => {
      const t = p.from - p.d / p.slopeAfter;
      return !((p.aAfter < t && t < p.bAfter) || (p.bAfter < t && t < p.aAfter));
    },
  },
  {
    name: 'G: the step too long',
    re: /Schritt \|d \/ s\| ist länger als die Hälfte von e = \S+ A, der (Breite des Startintervalls|Länge des vorletzten Schritts)/,
    ok: ([, what], { p, k }) => 2 * Math.abs(p.d / p.slopeAfter) > p.e && what.startsWith('Breite') === k <= 1,
  },
  {
    name: "G: Newton's point taken",
    re: /ihr Schnittpunkt x' = x - d \/ s = \S+ A liegt zwischen a und b, ihr Schritt ist kurz genug/,
    ok: (_, { p }) => {
      const t = p.next;
      const inside = (p.aAfter < t && t < p.bAfter) || (p.bAfter < t && t < p.aAfter);
      return inside && !(2 * Math.abs(p.d / p.slopeAfter) > p.e) && t === p.from - p.d / p.slopeAfter;
    },
  },
  {
    name: 'G: the midpoint taken',
    re: /Statt ihres Schnittpunkts gilt die Mitte/,
    ok: (_, { p }) => p.next === (p.aAfter + p.bAfter) / 2,
  },
  {
    name: 'no double between the ends',
    re: /zwischen den Enden (?:.* )?liegt kein double mehr|näher kommt kein Intervall an die Nullstelle/,
    ok: (_, { last }) => nextToward(last.aAfter, last.bAfter) === last.bAfter,
  },
  {
    name: 'bisection at neighbours',
    re: /zwischen lo und hi liegt kein double mehr, also fällt m auf ein Ende/,
    ok: (_, { last }) =>
      nextToward(last.aAfter, last.bAfter) === last.bAfter && (last.point === last.a || last.point === last.b),
  },
  {
    name: "Brent's tolerance",
    re: /Brents Schranke .*ist erreicht/,
    ok: (_, { last }) => Math.abs(0.5 * (last.cAfter - last.next)) <= 2 ** -51 * Math.abs(last.next),
  },
  {
    name: 'a residual of exactly 0',
    re: /das Residuum (?:des neuen Werts )?ist (?:dort )?genau 0/,
    ok: (_, { last }) => last.d === 0,
  },
  {
    name: 'a repeat',
    re: /der neue Wert gleicht dem vorigen genau/,
    ok: (_, { r, last, n }) => last.next === (r.method.deltaAtStart ? last.from : r.passes[n - 2].next),
  },
  {
    name: 'alternating between neighbours of opposite residuals',
    re: /wechselt zwischen (?:den benachbarten doubles|zwei Nachbarn)/,
    ok: (_, { r, last, n }) => Math.abs(Number(place(last.next) - place(r.passes[n - 2].next))) === 1,
  },
  {
    name: 'alternating between two values',
    re: /wechselt zwischen zwei Werten/,
    ok: (_, { r, n }) => {
      const x = (j) => r.passes[n - j].next;
      return x(1) === x(3) && x(2) === x(4) && x(1) !== x(2);
    },
  },
  {
    name: 'the residuals of the two',
    re: /ihre Residuen \S+ V und \S+ V(?: haben (entgegengesetzte|dasselbe) Vorzeichen|(: eines ist genau 0))/,
    ok: ([, w, zero], { r, last, n }) => {
      const [d1, d2] = [last.d, r.passes[n - 2].d];
      return zero ? d1 === 0 || d2 === 0 : w === 'entgegengesetzte' ? d1 * d2 < 0 : d1 * d2 > 0;
    },
  },
  {
    name: "Newton's tangents lead to each other",
    re: /die Tangente in jedem führt genau auf den anderen/,
    ok: (_, { r, last, n }) => last.next === r.passes[n - 2].from && last.from === r.passes[n - 2].next,
  },
  {
    name: 'an end stays',
    re: /ein Ende bleibt stehen/,
    ok: (_, { r }) => ['a', 'b'].some((e) => r.passes.every((q) => Object.is(q[`${e}After`], r.passes[0][e]))),
  },
  {
    name: 'the sign of d always the same way',
    re: /das Vorzeichen von d zeigt immer in dieselbe Richtung/,
    ok: (_, { r }) => {
      const low = (q) => (r.method.letter === 'H' ? q.d <= 0 : q.d < 0);
      return r.passes.every((q) => low(q) === low(r.passes[0]));
    },
  },
  {
    name: 'a refusal of the start values',
    re: /(?:läuft nicht|kein Lauf): (ohne Vorzeichenwechsel|a nicht unter b|f\(a\) oder f\(b\) nicht endlich|x0 nicht im Definitionsbereich|x0 nicht in \[a, b\])/,
    ok: ([, why], { r, run, start }) => {
      const [u, res, iS] = run.circuit;
      const a = start[0] === '' ? 0 : Number(start[0]);
      const b = start[1] === '' ? u / res : Number(start[1]);
      const x = start[2] === '' ? b : Number(start[2]);
      const [fa, fb] = core.residuals([a, b]);
      const holds = {
        'ohne Vorzeichenwechsel': fa * fb > 0,
        'a nicht unter b': !(a < b),
        'f(a) oder f(b) nicht endlich': !Number.isFinite(fa) || !Number.isFinite(fb),
        'x0 nicht im Definitionsbereich': !Number.isFinite(x) || !(x / iS + 1 > 0),
        'x0 nicht in [a, b]': !(Math.min(a, b) <= x && x <= Math.max(a, b)),
      };
      return r.passes.length === 0 && holds[why];
    },
  },
  {
    name: 'an end that never moved',
    re: /(lo|hi|a|b|unten|oben) hat sich nie bewegt/,
    ok: ([, end], { r }) => {
      const field = ['lo', 'a', 'unten'].includes(end) ? 'aAfter' : 'bAfter';
      return r.passes.every((q) => Object.is(q[field], r.passes[0][field === 'aAfter' ? 'a' : 'b']));
    },
  },
  {
    name: 'the first nan',
    re: /zuerst in Durchlauf (\d+)/,
    ok: ([, at], { r, verdictText }) => {
      const bad = verdictText.includes(': nan') ? Number.isNaN : (v) => !Number.isFinite(v);
      const first = r.passes.findIndex((q) => [q.point, q.d, q.next].some(bad));
      return first + 1 === Number(at);
    },
  },
  {
    name: "the order's word, value and passes",
    re: /konvergiert (linear|superlinear|etwa quadratisch|schneller als quadratisch).*beobachtete Ordnung (\S+), aus den Durchläufen (\d+) bis (\d+)/,
    ok: ([, w, shown, from, to], { r, root }) => {
      const pairs = agreeing(r, root);
      if (!pairs.length) return false;
      const [at, p, q] = pairs[pairs.length - 1];
      const order = (p + q) / 2;
      return (
        order.toFixed(2) === shown &&
        Number(from) === at &&
        Number(to) === at + 3 &&
        orderWords.find(([b]) => order < b)[1] === w
      );
    },
  },
  {
    name: 'the interval halves',
    re: /die Intervallbreite halbiert sich je Durchlauf/,
    ok: (_, { r, root }) => {
      const ms = measuresOf(r).filter((m) => counts(m, root));
      return ms.length > 1 && ms.every((m, k) => k === 0 || Math.abs(m / ms[k - 1] - 0.5) < 0.005);
    },
  },
  {
    name: 'the mean factor',
    re: /schrumpft (?:je Durchlauf )?im Mittel um den Faktor (\S+)/,
    ok: ([, f], { r, root }) => {
      const ms = measuresOf(r);
      const at = ms.map((m, k) => (counts(m, root) ? k : -1)).filter((k) => k >= 0);
      const [a, b] = [at[0], at[at.length - 1]];
      return (
        at.length > 1 &&
        (ms[b] / ms[a]) ** (1 / (b - a)) > 0 &&
        Number(f) === Number(((ms[b] / ms[a]) ** (1 / (b - a))).toPrecision(2))
      );
    },
  },
  {
    name: 'too few passes above the noise',
    re: /nur (\d+) von (\d+) Durchl.*deutlich über dem Rundungsrauschen/,
    ok: ([, c, n], { r, root }) =>
      Number(n) === r.passes.length &&
      measuresOf(r).filter((m) => counts(m, root)).length === Number(c) &&
      !agreeing(r, root).length,
  },
  {
    name: 'estimates that disagree',
    re: /keine zwei Schätzungen der Ordnung aus aufeinanderfolgenden Durchläufen stimmen/,
    ok: (_, { r, root }) => !agreeing(r, root).length,
  },
  {
    name: 'R times ulp(I) against ulp(U)',
    re: /R · ulp\(I\) ≈ \S+ V, (weniger als|mehr als|genau) ulp\(U\)/,
    ok: ([, w], { grid, run }) => {
      const [step, q] = [run.circuit[1] * ulp(grid.c), ulp(run.circuit[0])];
      return w === (step < q ? 'weniger als' : step > q ? 'mehr als' : 'genau');
    },
  },
  {
    name: 'how long f stays flat on the grid',
    re: /Hier (?:bleibt f über bis zu (\d+) benachbarte doubles gleich|ändert sich f von jedem der (\d+) doubles)/,
    ok: ([, most, all], { grid }) => {
      const fs = grid.grid[1];
      let [run, longest] = [1, 1];
      for (let k = 1; k < fs.length; k++) longest = Math.max(longest, (run = fs[k] === fs[k - 1] ? run + 1 : 1));
      return most ? longest === Number(most) && longest > 1 : longest === 1 && fs.length === Number(all);
    },
  },
  {
    name: 'cut by the step',
    re: /der Schritt \|I(\d+) − I(\d+)\| = (\S+) A ist höchstens die Toleranz (\S+) A/,
    ok: ([, k, before, step, bound], { r, n, run }) =>
      Number(k) === n &&
      Number(before) === n - 1 &&
      Number(step) === Math.abs(r.passes[n - 1].next - r.passes[n - 2].next) &&
      Number(step) <= Number(bound) &&
      Number(bound) === run.criteria[0],
  },
  {
    name: 'bisection a priori',
    re: /a priori ⌈log2\(\(b − a\) \/ T\)⌉ = (\d+) Durchläufe/,
    ok: ([, k], { run }) => {
      // The least k with (b - a) / 2^k <= T, halving as the definition says.
      let [n, w] = [0, run.start[1] - run.start[0]];
      for (; w > run.criteria[0]; w /= 2) n++;
      return Number(k) === n;
    },
  },
  {
    name: 'cut by the residual',
    re: /\|Delta\| = (\S+) V ist höchstens die Toleranz (\S+) V/,
    ok: ([, d, bound], { r, n, run }) =>
      Number(d) === Math.abs(r.passes[n - 1].d) && Number(d) <= Number(bound) && Number(bound) === run.criteria[1],
  },
  {
    name: 'cut at the largest number of passes',
    re: /die Höchstzahl (\d+) ist erreicht/,
    ok: ([, k], { n, run }) => Number(k) === n && n === run.criteria[2],
  },
];

// Words by which a fragment asserts a relation; each such fragment must be
// read by a check.
const relational =
  /Grenze \d|höchstens|Höchstzahl|sind gleich|rücken nach|läuft nicht|kein Lauf|rückt auf|rückte|näher|weiter weg|flacher|steiler|über I\*|unter I\*|zwischen a und b|länger als|kurz genug|kein double mehr|Schranke|genau 0|gleicht dem vorigen|entgegengesetzte|nie bewegt|zuerst in|konvergiert|halbiert sich|Faktor \d|nur \d+ von|stimmen|weniger als|mehr als|bleibt f|ändert sich f|bleibt stehen|Vorzeichen|wechselt|anderen Seite/;
const fired = new Map(checks.map((c) => [c.name, 0]));
let states = 0;

// Each fragment of text (split at "; " and ". ") read by the checks that
// match it; a relational one that none reads fails.
function examine(text, where, ctx) {
  for (const fragment of text.split(/(?<=[;.]) (?=[A-Za-zÄÖÜäöü(])/)) {
    let read = false;
    for (const c of checks) {
      const m = c.re.exec(fragment);
      if (!m) continue;
      read = true;
      fired.set(c.name, fired.get(c.name) + 1);
      let ok = false;
      try {
        ok = c.ok(m, ctx);
      } catch (e) {
        fail(`${where}: "${c.name}" cannot be checked (${e.message})`);
      }
      if (!ok) fail(`${where}: "${c.name}" does not hold: ${fragment}`);
    }
    if (!read && relational.test(fragment)) fail(`${where}: no check reads: ${fragment}`);
  }
}

// The first pass (from 1) of passes that meets a criterion, by their own
// words (the step from pass 2 on, |Delta|, the count), or 0.
const firstMet = (passes, [step, residual, most]) =>
  passes.findIndex(
    (p, k) => (k > 0 && Math.abs(p.next - passes[k - 1].next) <= step) || Math.abs(p.d) <= residual || k + 1 === most,
  ) + 1;

// A run with criteria against the run without: the exact run cut at its
// first pass that meets one (or whole), bit for bit; and what each method's
// evaluations cost, as its record's order and its passes give them.
function cutAndCost(stdin, start, run, where) {
  const exact = start.length > 3 ? runPasses(core, stdin, start.slice(0, 3)) : run;
  run.methods.forEach((r, m) => {
    const whole = exact.methods[m].passes;
    const met = firstMet(whole, run.criteria);
    const n = met || whole.length;
    const same = r.passes.every((p, k) => Object.is(p.next, whole[k].next) && Object.is(p.d, whole[k].d));
    if (r.passes.length !== (r.refusal ? 0 : n) || !same)
      fail(
        `${where} ${r.method.letter}: ${r.passes.length} passes with criteria ${run.criteria}, the exact run's first ${n}`,
      );
    const [f, df, first, perPass, index] = r.cost;
    const power = Number(r.method.order) ** (1 / perPass);
    if (!r.refusal && (f - first + df !== perPass * r.passes.length || Math.abs(index - power) > 1e-12 * power))
      fail(`${where} ${r.method.letter}: ${f} f, ${df} f', ${first} at the start, ${perPass} a pass, index ${index}`);
  });
}

function check(circuit, start, passes) {
  const stdin = Buffer.from(`${circuit.join('\n')}\n`);
  const run = runPasses(core, stdin, start);
  if (!run) return;
  cutAndCost(stdin, start, run, circuit.join(' '));
  const root = run.root ? Number(run.root.nearest) : NaN;
  run.methods.forEach((r, m) => {
    const where = `${circuit.join(' ')}${start.some(Boolean) ? ` [${start}]` : ''} ${r.method.letter}`;
    const base = { run, r, root, start, n: r.passes.length, last: r.passes[r.passes.length - 1] };
    const verdictText = verdict(run, m);
    examine(convergenceSentence(run, m), `${where} (order)`, base);
    examine(verdictText, `${where} (verdict)`, { ...base, verdictText });
    const picks =
      passes === 'all' ? r.passes.map((_, k) => k) : [...new Set([r.passes.length - 1, ...passes(r.passes.length)])];
    for (const k of picks.filter((j) => j >= 0 && j < r.passes.length)) {
      const p = r.passes[k];
      states++;
      const ctx = { ...base, p, k, verdictText };
      examine(textOf(passSentence(run, m, k)), `${where}${k + 1}`, ctx);
      const w = stepWindow(core, construct(core, r.method, p, { passes: r.passes, k, m }), run.circuit[2]);
      if (w && w.grid) examine(gridSentence(core, w, run.circuit[0]), `${where}${k + 1} (grid)`, { ...ctx, grid: w });
    }
  });
}

// The circuits named in the README and the issues, and one whose bisection
// ends at -I_S far from I*, where its widths no longer halve exactly in
// the last counted passes, with every pass; start values the page refuses;
// random circuits, a few passes of each method.
for (const c of [
  ['5', '1e3', '1e-12'],
  ['0.7', '100', '1e-14'],
  ['12', '4.7e3', '2e-9'],
  ['0.3', '1e3', '1e-16'],
  ['180.4186409392071', '1000', '1.1671161911100662e-16'],
  ['0', '1e3', '1e-12'],
  ['5', '0', '1e-12'],
  ['5', '1e3', '0'],
  ['-5', '1e3', '1e-12'],
  ['1e308', '1e3', '1e-12'],
  ['-0.00101297', '1.39764e+7', '4.25948e-12'],
])
  check(c, ['', '', ''], 'all');
check(['0.7', '100', '1e-14'], ['1e-3', '2e-3', ''], 'all');
check(['0.7', '100', '1e-14'], ['', '', '-1e-3'], 'all');
check(['0.3', '1e3', '1e-16'], ['0', '2e-4', '1e-5'], 'all');
check(['5', '1e3', '1e-12'], ['', '', '', '1e-9', '', '30'], 'all');
check(['0.7', '100', '1e-14'], ['', '', '', '', '1e-6', ''], 'all');
check(['12', '4.7e3', '2e-9'], ['', '', '', '0', '0', '7'], 'all');
let seed = 20261210;
const random = () => (seed = (seed * 1103515245 + 12345) % 2147483648) / 2147483648;
for (let j = 0; j < Number(count); j++) {
  const circuit = [
    (random() < 0.1 ? -1 : 1) * 10 ** (7 * random() - 3),
    10 ** (12 * random() - 4),
    10 ** (25 * random() - 28),
  ].map((v) => v.toPrecision(6));
  // Every third with criteria drawn at random.
  const criteria =
    j % 3
      ? []
      : [
          random() < 0.5 ? '' : String(10 ** (-20 * random())),
          random() < 0.5 ? '' : String(10 ** (-20 * random())),
          random() < 0.5 ? '' : String(1 + Math.floor(random() * 60)),
        ];
  check(circuit, ['', '', '', ...criteria], (n) => [0, 1, 2].map(() => Math.floor(random() * n)));
}
for (const c of checks) if (!c.optional && fired.get(c.name) === 0) fail(`the check "${c.name}" never fired`);
console.log(
  `claims: ${states} pass states, ${[...fired.values()].reduce((a, b) => a + b, 0)} claims checked; ${failures} false`,
);
process.exitCode = failures ? 1 : 0;
