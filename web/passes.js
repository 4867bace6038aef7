// The exact passes of the dialogue's circuit and what they say: every
// method run from the start values on the circuit diodesolve read, how each
// ended, the true root and what the errors against it show. Every number
// comes from the module (core.js); what differs between methods is in
// their objects (methods/), by letter.
import { withObjects } from './methods/index.js';

// The steps of a pass that can make a nan or an inf, by the module's
// numbers (web/module/curve.cpp); the method names its own point and step.
const origins = {
  3: 'dem Quotienten I / I_S',
  4: 'dem Logarithmus ln(I/I_S + 1) (sein Argument ist negativ oder 0)',
  5: 'dem Produkt R * I',
  6: 'der Summe U_T*ln(I/I_S + 1) + R*I - U',
  7: 'der Steigung U_T / (I + I_S) + R',
};
export const originText = (method, code) =>
  (code === 1 ? method.steps.point : code === 8 ? method.steps.next : origins[code]) || 'den Startwerten';

const notNumber = (v) => !Number.isFinite(v);

// The methods of the table with what the page knows of each: the module's
// record and the method's object, every key set (methods/index.js).
export const pageMethodsOf = (core) => withObjects(core.methods);

// The first pass (from 0) whose point, residual or new estimate is nan
// (inf: not finite), with the step that made it: { k, origin } or null.
// A nan in the residuals of the ends it started from comes from f there.
function firstBad(core, m, passes, inf) {
  const bad = inf ? notNumber : Number.isNaN;
  const k = passes.findIndex((p) => bad(p.point) || bad(p.d) || bad(p.next));
  if (k < 0) return null;
  let origin = core.origin(m, k, inf);
  const p = passes[0];
  if (origin === 0 && k === 0 && (bad(p.fa) || bad(p.fb))) origin = core.fOrigin(bad(p.fa) ? p.a : p.b, inf);
  return { k, origin };
}

// Reads the circuit from the dialogue's standard input as diodesolve does
// and runs every method from the start values (the fields [a, b, x0]):
// { circuit, circuitText (%.17g), start ([a, b, x]), criteria ([step's
// and residual's tolerance, largest number of passes]), startError,
// refusals, root, methods, comparison } with per method (in the table's
// order) { method, refusal, passes, cycle, nan, inf, ending, cost (f, f',
// f at the start, per pass, efficiency index), ulps, order,
// orderAt, rate, counted, rateLo, rateHi }, or null when diodesolve
// read no circuit. startError is 0, or 1 + the start field that holds no
// number (the defaults then stand); refusal is '' or why the method does
// not run from the start values (it then has no passes), refusals what
// diodelab says of them.
export function runPasses(core, stdin, start = ['', '', '', '', '', '']) {
  const circuit = core.readCircuit(stdin);
  if (!circuit) return null;
  const startError = core.takeStart(start);
  const methods = pageMethodsOf(core).map((method) => {
    const m = method.index;
    const passes = core.passes(m);
    passes.forEach((p, k) => {
      p.k = k;
      p.origin = [p.point, p.d, p.next].some(Number.isNaN) ? core.origin(m, k, false) : 0;
      // The step |I_k - I_k-1| from pass 2 on, as the criterion measures it.
      p.step = k ? Math.abs(p.next - passes[k - 1].next) : NaN;
      const text = p.text;
      p.text = (field, digits) => (field === 'step' ? core.format(p.step, digits) : text(field, digits));
    });
    return {
      method,
      refusal: core.refusal(m),
      passes,
      cycle: core.cycled(m),
      nan: firstBad(core, m, passes, false),
      inf: firstBad(core, m, passes, true),
      ending: core.endingWord(m),
      cost: core.runCost(m),
      ulps: core.runUlps(m),
      ...core.convergence(m),
      ulpsText: core.runText(m, false),
      orderText: core.runText(m, true),
    };
  });
  const [from, criteria] = [core.runStart(), core.runCriteria()];
  const root = core.rootExists() ? { nearest: core.rootText(17), digits: core.rootText(40) } : null;
  return {
    circuit,
    circuitText: circuit.map((v) => core.format(v, 17)),
    start: from,
    criteria,
    aPriori: core.aPriori(from[1] - from[0], criteria[0]),
    startError,
    refusals: core.refusalMessage(),
    root,
    methods,
    comparison: core.comparison(),
  };
}

// The methods of chosen (indices into run.methods) that ran.
export const ran = (run, chosen) => chosen.filter((m) => run.methods[m].passes.length > 0);

// Where a double lies in the order of all doubles (an integer as BigInt),
// so that the count of doubles between two is a difference.
export function order(v) {
  const bits = new BigInt64Array(new Float64Array([v]).buffer)[0];
  return bits < 0n ? -(bits & 0x7fffffffffffffffn) : bits;
}

// Whether a and b are neighbouring doubles (nothing between them).
export const neighbours = (a, b) => (order(a) - order(b)) ** 2n === 1n;

// The endings before the limit, by the module's words: kind and what the
// page adds to the word (a horizontal end's, by its method).
const before = {
  Wiederholung: ['repeat', ''],
  'Residuum 0': ['zero', ''],
  Nachbarn: ['ends', ': zwischen den Enden liegt kein double mehr'],
  Toleranz: ['tolerance', ': Brents Schranke |c − b| / 2 ≤ 2^-51 |b| ist erreicht'],
  Waagerecht: ['level', (method) => method.level.verdict],
  // Cut by a criterion: the value that met it, and its bound (each as the
  // shortest decimal that reads back as its double, so that the two
  // compare as the doubles do).
  'Schritt<=T': [
    'step',
    (method, passes, run) =>
      `: der Schritt |I${passes.length} − I${passes.length - 1}| = ${passes.at(-1).step} A ist höchstens die Toleranz ${run.criteria[0]} A` +
      (method.byWidth ? `; a priori ⌈log2((b − a) / T)⌉ = ${run.aPriori} Durchläufe bis zur Breite T` : ''),
  ],
  'Residuum<=T': [
    'residual',
    (method, passes, run) =>
      `: |Delta| = ${Math.abs(passes.at(-1).d)} V ist höchstens die Toleranz ${run.criteria[1]} V`,
  ],
  Hoechstzahl: ['cap', (method, passes, run) => `: die Höchstzahl ${run.criteria[2]} ist erreicht`],
};

// How method m's run ended: { kind, text }, kind one of repeat, zero, ends,
// tolerance, level (before the limit, by the module's ending), refused (it
// did not run), or at the limit
// nan, inf, neighbours, values (it alternates), stays (an end never moved)
// and limit; text as the page states it.
export function ending(run, m) {
  const { method, passes, cycle, nan, inf, ending: word, refusal } = run.methods[m];
  if (refusal) return { kind: 'refused', text: `kein Lauf: ${refusal}` };
  const n = passes.length;
  const last = passes[n - 1];
  if (word in before) {
    const [kind, more] = before[word];
    const said = typeof more === 'function' ? more(method, passes, run) : more;
    return { kind, text: `${word} nach ${n} ${n === 1 ? 'Durchlauf' : 'Durchläufen'}${said}` };
  }
  const at = (kind, what, bad) => ({
    kind,
    text: `Grenze ${n}: ${what}${bad ? `, zuerst in Durchlauf ${bad.k + 1}, aus ${originText(method, bad.origin)}` : ''}`,
  });
  if (Number.isNaN(last.next)) return at('nan', 'nan', nan);
  if (!Number.isFinite(last.next)) return at('inf', last.next > 0 ? 'inf' : '-inf', inf);
  if (cycle && neighbours(last.next, passes[n - 2].next)) return at('neighbours', 'wechselt zwischen zwei Nachbarn');
  if (cycle) return at('values', 'wechselt zwischen zwei Werten');
  if (method.kind === 'interval' && (last.aAfter === passes[0].a || last.bAfter === passes[0].b))
    return at('stays', 'ein Ende bleibt stehen');
  return at('limit', 'ohne Wiederholung');
}

// How method m's block ended, as the page states it under the output.
export const verdict = (run, m) => ending(run, m).text;

// The words for an observed order p, by the thresholds the page states:
// linear below 1.15, superlinear below 1.8, about quadratic up to 2.3,
// faster above.
export const orderWords = [
  [1.15, 'linear'],
  [1.8, 'superlinear'],
  [2.3, 'etwa quadratisch'],
  [Infinity, 'schneller als quadratisch'],
];
export const orderWord = (p) => orderWords.find(([below]) => p < below)[1];

// What method m's run shows of its convergence, in a sentence from its
// observed order (on the errors, or for bisection on the interval's width,
// as the module estimates it: only from passes clearly above the rounding
// noise whose estimates agree) and the mean factor its measure shrinks by.
export function convergenceSentence(run, m) {
  const { method, passes, refusal, order, orderAt, rate, counted, rateLo, rateHi } = run.methods[m];
  const n = passes.length;
  const what = method.byWidth ? 'die Intervallbreite' : 'der Fehler';
  const literature = `Literatur: Ordnung ${method.order}`;
  if (refusal) return `${method.subject} läuft nicht: ${refusal}.`;
  if (!run.root) return `${method.subject}: ohne wahre Nullstelle gibt es keinen Fehler zu messen.`;
  if (Number.isNaN(order)) {
    const why =
      counted < 4
        ? `nur ${counted} von ${n} ${n === 1 ? 'Durchlauf liegt' : 'Durchläufen liegen'} deutlich über dem ` +
          'Rundungsrauschen (mehr als 1024 ulp von I*), zu wenige für eine Ordnung'
        : 'keine zwei Schätzungen der Ordnung aus aufeinanderfolgenden Durchläufen stimmen auf ein Zehntel überein';
    const shrink = Number.isNaN(rate)
      ? ''
      : `; ${what} schrumpft im Mittel um den Faktor ${rate.toPrecision(2)} je Durchlauf`;
    return `${method.subject}: Ordnung nicht bestimmbar, ${why}${shrink} (${literature}).`;
  }
  const o = order.toFixed(2);
  const from = `aus den Durchläufen ${orderAt} bis ${orderAt + 3}`;
  const word = orderWord(order);
  const observed = `beobachtete Ordnung ${o}, ${from}; ${literature}`;
  if (word === 'linear') {
    // Halves every pass: each factor from one counted width to the next.
    const halves = method.byWidth && Math.abs(rateLo - 0.5) < 0.005 && Math.abs(rateHi - 0.5) < 0.005;
    return halves
      ? `${method.subject} konvergiert linear: ${what} halbiert sich je Durchlauf, ein Bit je Durchlauf (${observed}).`
      : `${method.subject} konvergiert linear: ${what} schrumpft je Durchlauf im Mittel um den Faktor ${rate.toPrecision(2)} (${observed}).`;
  }
  if (word === 'superlinear')
    return `${method.subject} konvergiert superlinear: die Zahl der richtigen Stellen wächst je Durchlauf etwa um den Faktor ${o} (${observed}).`;
  if (word === 'etwa quadratisch')
    return `${method.subject} konvergiert etwa quadratisch: die richtigen Stellen verdoppeln sich etwa je Durchlauf (${observed}).`;
  return `${method.subject} konvergiert schneller als quadratisch (${observed}).`;
}
