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
const originText = (code) => origins[code] || 'den Startwerten';

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

// Where a double lies in the order of all doubles (an integer as BigInt),
// so that the count of doubles between two is a difference.
export function order(v) {
  const bits = new BigInt64Array(new Float64Array([v]).buffer)[0];
  return bits < 0n ? -(bits & 0x7fffffffffffffffn) : bits;
}

// Whether a and b are neighbouring doubles (nothing between them).
const neighbours = (a, b) => (order(a) - order(b)) ** 2n === 1n;

// How method m's block ended: { kind, text }, kind one of repeat, nan, inf,
// neighbours, values (it alternates), stays (an end never moved) and limit;
// text as the page states it under the output.
function ending(run, m) {
  const { passes, cycle, nan, inf } = run.methods[m];
  const n = passes.length;
  const last = passes[n - 1];
  if (n > 1 && last.next === passes[n - 2].next) return { kind: 'repeat', text: `Wiederholung nach ${n} Durchlaeufen` };
  const at = (kind, what, bad) => ({
    kind,
    text: `Grenze ${n}: ${what}${bad ? `, zuerst in Durchlauf ${bad.k + 1}, aus ${originText(bad.origin)}` : ''}`,
  });
  if (Number.isNaN(last.next)) return at('nan', 'nan', nan);
  if (!Number.isFinite(last.next)) return at('inf', last.next > 0 ? 'inf' : '-inf', inf);
  if (cycle && neighbours(last.next, passes[n - 2].next)) return at('neighbours', 'wechselt zwischen zwei Nachbarn');
  if (cycle) return at('values', 'wechselt zwischen zwei Werten');
  if (m !== 2 && (last.loAfter === passes[0].lo || last.hiAfter === passes[0].hi))
    return at('stays', 'ein Ende bleibt stehen');
  return at('limit', 'ohne Wiederholung');
}

// How method m's block ended, as the page states it under the output.
export const verdict = (run, m) => ending(run, m).text;

// The values of pass p of method m as the step view states them: H lo hi
// m d (the interval as the pass found it), R a fa b fb r d, N x d s x';
// each [name, field of the pass].
export function passValues(m) {
  if (m === 0) return [['lo', 'lo'], ['hi', 'hi'], ['m', 'point'], ['d', 'd']];
  if (m === 1) return [['a', 'lo'], ['fa', 'flo'], ['b', 'hi'], ['fb', 'fhi'], ['r', 'point'], ['d', 'd']];
  return [['x', 'from'], ['d', 'd'], ['s', 'slope'], ["x'", 'next']];
}

const sign = (d) =>
  (Number.isNaN(d) ? 'nan: weder negativ noch positiv' : d < 0 ? 'negativ' : d > 0 ? 'positiv' : 'genau 0');

// A value of a sentence: its name, the number, and its text with so many
// digits, made by the module from pass p's field.
const value = (name, p, field) => ({ name, value: p[field], text: (digits) => p.text(field, digits) });

// The sentence of pass k (from 0) of method m: a list of texts and values
// (value()), which the view shows with six digits and, on hover or focus,
// with seventeen.
export function passSentence(run, m, k) {
  const { passes } = run.methods[m];
  const p = passes[k];
  const v = (name, field) => value(name, p, field);
  const parts = [`Durchlauf ${k + 1}: `];
  if (m === 0) {
    const down = p.d <= 0;
    parts.push('das Intervall [', v('lo', 'lo'), ', ', v('hi', 'hi'), '] wird halbiert: m = (lo + hi) / 2 = ',
      v('m', 'point'), '. Dort ist f(m) = ', v('d', 'd'), ` (${sign(p.d)}), `,
      down ? 'also d <= 0: lo rueckt auf m' : `also ${Number.isNaN(p.d) ? 'nicht d <= 0' : 'd > 0'}: hi rueckt auf m`,
      '; neues Intervall [', v('lo', 'loAfter'), ', ', v('hi', 'hiAfter'), '].');
  } else if (m === 1) {
    const below = p.d < 0;
    parts.push('die Sekante durch (', v('a', 'lo'), ', ', v('fa', 'flo'), ') und (', v('b', 'hi'), ', ', v('fb', 'fhi'),
      ') schneidet die Achse bei r = (a*fb - b*fa) / (fb - fa) = ', v('r', 'point'), '. Dort ist f(r) = ', v('d', 'd'),
      ` (${sign(p.d)}), `, below ? 'also d < 0: a rueckt auf r, fa auf d.' :
        `also ${Number.isNaN(p.d) ? 'nicht d < 0' : 'd >= 0'}: b rueckt auf r, fb auf d${p.d === 0 ? ' (eine Null bewegt hier das obere Ende)' : ''}.`);
  } else {
    parts.push('die Tangente in (', v('x', 'from'), ', ', v('d', 'd'), ') mit der Steigung f\'(x) = ', v('s', 'slope'),
      " schneidet die Achse bei x' = x - d / s = ", v("x'", 'next'), '.');
  }
  if (p.origin) parts.push(` Hier entsteht nan, aus ${originText(p.origin)}.`);
  if (k === passes.length - 1) parts.push(' ', ...blockEnd(run, m));
  return parts;
}

// Why a repeat ends the block after its last pass.
function repeatReason(m, last) {
  if (Number.isNaN(last.next)) return '';
  if (!Number.isFinite(last.next))
    return ` der Wert ist ${last.next > 0 ? 'inf' : '-inf'}, und ${m === 0 ? '(lo + hi) / 2' : 'der Schritt'} gibt wieder ` +
      'denselben unendlichen Wert: die Wiederholung ist hier kein Zeichen von Konvergenz.';
  if (last.d === 0) return ' das Residuum ist dort genau 0.';
  if (m === 0 && neighbours(last.lo, last.hi)) return ' zwischen lo und hi liegt kein double mehr, also faellt m auf ein Ende.';
  return ' der Schritt ist kleiner als der halbe Abstand zum naechsten double, die Rundung gibt denselben Wert.';
}

// Why the block ends after its last pass.
function blockEnd(run, m) {
  const { passes } = run.methods[m];
  const n = passes.length;
  const last = passes[n - 1];
  const { kind, text } = ending(run, m);
  if (kind === 'repeat')
    return [`Ende: der neue Wert gleicht dem des vorigen Durchlaufs genau, in binary64 aendert er sich nicht mehr;${repeatReason(m, last)}`];
  if (kind === 'neighbours') {
    const other = passes[n - 2];
    return [`Ende nach ${n} Durchlaeufen ohne Wiederholung: der Wert wechselt zwischen den benachbarten doubles `,
      value('I', other, 'next'), ' und ', value('I', last, 'next'), '; ihre Residuen ', value('d', last, 'd'), ' und ',
      value('d', other, 'd'), ' haben entgegengesetzte Vorzeichen, und die Tangente in jedem fuehrt genau auf den anderen.'];
  }
  if (kind === 'stays') {
    const fixed = last.loAfter === passes[0].lo ? (m === 0 ? 'lo' : 'a') : (m === 0 ? 'hi' : 'b');
    return [`Ende nach ${n} Durchlaeufen ohne Wiederholung: ${fixed} hat sich nie bewegt; `,
      m === 1 ? 'auf der konkaven Kennlinie liegt jeder Schnittpunkt der Sekante auf derselben Seite der Nullstelle, '
        + 'also rueckt immer dasselbe Ende, und der Wert kriecht nur heran.' : 'das Vorzeichen von d zeigt immer in dieselbe Richtung.'];
  }
  return [`Ende: ${text}.`];
}
