// The exact passes of the dialogue's circuit and what they say: how each
// method's block ended, and a German sentence per pass for the step view.
// Every number comes from the module (core.js): the methods' own passes on
// the circuit diodesolve read.

// The steps of f and of the methods that can make a nan or an inf, by the
// module's numbers (web/passes.cpp).
const origins = {
  1: 'der Summe lo + hi der Enden',
  2: 'der Sekante (a*fb - b*fa) / (fb - fa)',
  3: 'dem Quotienten I / I_S',
  4: 'dem Logarithmus ln(I/I_S + 1) (sein Argument ist negativ oder 0)',
  5: 'dem Produkt R * I',
  6: 'der Summe U_T*ln(I/I_S + 1) + R*I - U',
  7: 'der Steigung U_T / (I + I_S) + R',
  8: 'dem Newton-Schritt x - Delta / Steigung',
};
export const originText = (code) => origins[code] || 'den Startwerten';

const notNumber = (v) => !Number.isFinite(v);

// The first pass (from 0) whose point, residual or new estimate is nan
// (inf: not finite), with the step that made it: { k, origin } or null.
// Only right after core.passes(m), whose passes the module then holds.
function firstBad(core, m, passes, inf) {
  const bad = inf ? notNumber : Number.isNaN;
  const k = passes.findIndex((p) => bad(p.point) || bad(p.d) || bad(p.next));
  if (k < 0) return null;
  let origin = core.origin(m, k, inf);
  if (origin === 0 && k === 0 && m === 1) origin = core.fOrigin(bad(passes[0].flo) ? passes[0].lo : passes[0].hi, inf);
  return { k, origin };
}

// Reads the circuit from the dialogue's standard input as diodesolve does
// and runs the three methods: { circuit, methods: [{ passes, nan, inf }] },
// or null when diodesolve read no circuit.
export function runPasses(core, stdin) {
  const circuit = core.readCircuit(stdin);
  if (!circuit) return null;
  const methods = [0, 1, 2].map((m) => {
    const passes = core.passes(m);
    passes.forEach((p, k) => {
      p.origin = [p.point, p.d, p.next].some(Number.isNaN) ? core.origin(m, k, false) : 0;
    });
    const cycle = core.cycled();
    return { passes, cycle, nan: firstBad(core, m, passes, false), inf: firstBad(core, m, passes, true) };
  });
  return { circuit, methods };
}

// Whether a and b are neighbouring doubles (nothing between them).
export function neighbours(a, b) {
  const bits = new BigInt64Array(new Float64Array([a, b]).buffer);
  const [x, y] = [bits[0], bits[1]];
  const diff = x > y ? x - y : y - x;
  return a !== b && (x < 0n) === (y < 0n) && diff === 1n;
}

// Whether the block stopped on a repeat: its last estimate equals the one
// before exactly.
export const repeated = (passes) =>
  passes.length > 1 && passes[passes.length - 1].next === passes[passes.length - 2].next;

// How method m's block ended, as the page states it under the output.
export function verdict(core, run, m) {
  const { passes, cycle, nan, inf } = run.methods[m];
  const n = passes.length;
  const last = passes[n - 1];
  if (repeated(passes)) return `Wiederholung nach ${n} Durchlaeufen`;
  const limit = `Grenze ${n}`;
  const where = (bad, what) => `${limit}: ${what}, zuerst in Durchlauf ${bad.k + 1}, aus ${originText(bad.origin)}`;
  if (Number.isNaN(last.next)) return where(nan, 'nan');
  if (!Number.isFinite(last.next)) return where(inf, last.next > 0 ? 'inf' : '-inf');
  if (cycle)
    return neighbours(last.next, passes[n - 2].next)
      ? `${limit}: wechselt zwischen zwei Nachbarn`
      : `${limit}: wechselt zwischen zwei Werten`;
  if (m !== 2 && (last.loAfter === passes[0].lo || last.hiAfter === passes[0].hi))
    return `${limit}: ein Ende bleibt stehen`;
  return `${limit}: ohne Wiederholung`;
}

// The values of pass k of method m as the step view states them: H lo hi
// m d (the interval as the pass found it), R a fa b fb r d, N x d s x'.
export function passValues(m, p) {
  if (m === 0) return [['lo', p.lo], ['hi', p.hi], ['m', p.point], ['d', p.d]];
  if (m === 1) return [['a', p.lo], ['fa', p.flo], ['b', p.hi], ['fb', p.fhi], ['r', p.point], ['d', p.d]];
  return [['x', p.from], ['d', p.d], ['s', p.slope], ["x'", p.next]];
}

const sign = (d) => (Number.isNaN(d) ? 'nan' : d < 0 ? 'negativ' : d > 0 ? 'positiv' : 'genau 0');

// The sentence of pass k (from 0) of method m: a list of texts and values
// ({ name, value }), which the view shows with six digits and, on hover or
// focus, with seventeen.
export function passSentence(core, run, m, k) {
  const { passes } = run.methods[m];
  const p = passes[k];
  const v = (name, value) => ({ name, value });
  const parts = [`Durchlauf ${k + 1}: `];
  if (m === 0) {
    const down = p.d <= 0;
    parts.push('das Intervall [', v('lo', p.lo), ', ', v('hi', p.hi), '] wird halbiert: m = (lo + hi) / 2 = ',
      v('m', p.point), '. Dort ist f(m) = ', v('d', p.d), ` (${sign(p.d)}), `,
      down ? 'also d <= 0: lo rueckt auf m' : `also ${Number.isNaN(p.d) ? 'nicht d <= 0' : 'd > 0'}: hi rueckt auf m`,
      '; neues Intervall [', v('lo', p.loAfter), ', ', v('hi', p.hiAfter), '].');
  } else if (m === 1) {
    const below = p.d < 0;
    parts.push('die Sekante durch (', v('a', p.lo), ', ', v('fa', p.flo), ') und (', v('b', p.hi), ', ', v('fb', p.fhi),
      ') schneidet die Achse bei r = (a*fb - b*fa) / (fb - fa) = ', v('r', p.point), '. Dort ist f(r) = ', v('d', p.d),
      ` (${sign(p.d)}), `, below ? 'also d < 0: a rueckt auf r, fa auf d.' :
        `also ${Number.isNaN(p.d) ? 'nicht d < 0' : 'd >= 0'}: b rueckt auf r, fb auf d${p.d === 0 ? ' (eine Null bewegt hier das obere Ende)' : ''}.`);
  } else {
    parts.push('die Tangente in (', v('x', p.from), ', ', v('d', p.d), ') mit der Steigung f\'(x) = ', v('s', p.slope),
      " schneidet die Achse bei x' = x - d / s = ", v("x'", p.next), '.');
  }
  if (p.origin) parts.push(` Hier entsteht nan, aus ${originText(p.origin)}.`);
  if (k === passes.length - 1) parts.push(' ', ...blockEnd(core, run, m));
  return parts;
}

// Why the block ends after its last pass.
function blockEnd(core, run, m) {
  const { passes } = run.methods[m];
  const n = passes.length;
  const last = passes[n - 1];
  const v = (name, value) => ({ name, value });
  if (repeated(passes)) {
    let why = ' der Schritt ist kleiner als der halbe Abstand zum naechsten double, die Rundung gibt denselben Wert.';
    if (last.d === 0) why = ' das Residuum ist dort genau 0.';
    else if (m === 0 && neighbours(last.lo, last.hi)) why = ' zwischen lo und hi liegt kein double mehr, also faellt m auf ein Ende.';
    return [`Ende: der neue Wert gleicht dem des vorigen Durchlaufs genau, in binary64 aendert er sich nicht mehr;${why}`];
  }
  const said = verdict(core, run, m);
  if (said.includes('Nachbarn')) {
    const other = passes[n - 2];
    return [`Ende nach ${n} Durchlaeufen ohne Wiederholung: der Wert wechselt zwischen den benachbarten doubles `,
      v('I', other.next), ' und ', v('I', last.next), '; ihre Residuen ', v('d', last.d), ' und ', v('d', other.d),
      ' haben entgegengesetzte Vorzeichen, und die Tangente in jedem fuehrt genau auf den anderen.'];
  }
  if (said.includes('Ende bleibt')) {
    const fixed = last.loAfter === passes[0].lo ? (m === 0 ? 'lo' : 'a') : (m === 0 ? 'hi' : 'b');
    return [`Ende nach ${n} Durchlaeufen ohne Wiederholung: ${fixed} hat sich nie bewegt; `,
      m === 1 ? 'auf der konkaven Kennlinie liegt jeder Schnittpunkt der Sekante auf derselben Seite der Nullstelle, '
        + 'also rueckt immer dasselbe Ende, und der Wert kriecht nur heran.' : 'das Vorzeichen von d zeigt immer in dieselbe Richtung.'];
  }
  return [`Ende: ${said}.`];
}

// ---- The window of the step view ----

const gridMost = 64; // doubles drawn as points at most

// Where a double lies in the order of all doubles (an integer as BigInt),
// so that the count of doubles between two is a difference.
export function order(v) {
  const bits = new BigInt64Array(new Float64Array([v]).buffer)[0];
  return bits < 0n ? -(bits & 0x7fffffffffffffffn) : bits;
}

// The doubles the construction of pass p of method m puts on the I axis,
// and the estimate at its centre.
export function construction(m, p) {
  if (m === 0) return { xs: [p.lo, p.hi, p.point], centre: p.point };
  if (m === 1) {
    // The end nearer to r; the other only if it is not far beyond the step.
    const near = Math.abs(p.hi - p.point) <= Math.abs(p.point - p.lo) ? p.hi : p.lo;
    const far = near === p.hi ? p.lo : p.hi;
    const span = Math.abs(near - p.point);
    const xs = [near, p.point];
    if (Math.abs(far - p.point) <= 8 * span) xs.push(far);
    return { xs, centre: p.point };
  }
  return { xs: [p.from, p.next], centre: Number.isFinite(p.next) ? p.next : p.from };
}

// The window of pass p of method m and its mode: { grid: [xs, fs] } when it
// holds at most 64 doubles (then at least 17 of them, the window in their
// middle), else { lo, hi } for a curve of samples; c is the centre.
export function stepWindow(core, m, p) {
  const { xs, centre } = construction(m, p);
  const finite = xs.filter(Number.isFinite);
  if (finite.length === 0) return null;
  let lo = Math.min(...finite);
  let hi = Math.max(...finite);
  const margin = (hi - lo) * 0.08;
  if (Number.isFinite(margin) && margin > 0) {
    lo -= margin;
    hi += margin;
  }
  const c = Number.isFinite(centre) ? centre : finite[0];
  const count = order(hi) - order(lo) + 1n;
  if (count <= BigInt(gridMost)) {
    // At least 17 doubles, the centre among them.
    let from = lo;
    const want = Math.max(17, Number(count));
    for (let k = Number(count); k < want; k += 2) from = nextDown(core, from);
    const grid = core.neighbours(from, want);
    return { c, grid };
  }
  return { c, lo, hi };
}

// The double below v, from the module's neighbours: the first of the two
// doubles that start just below v.
function nextDown(core, v) {
  const [below] = core.neighbours(-v, 2)[0].slice(1).map((x) => -x);
  return below;
}

