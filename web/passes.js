// The exact passes of the dialogue's circuit and what they say: how each
// method's block ended, and a German sentence per pass for the step view.
// Every number comes from the module (core.js): the methods' own passes on
// the circuit diodesolve read. What differs between methods is in their
// objects (methods/), by letter.
import { pageMethods } from './methods/index.js';

// The steps of a pass that can make a nan or an inf, by the module's
// numbers (web/passes.cpp); the method names its own point and step.
const origins = {
  3: 'dem Quotienten I / I_S',
  4: 'dem Logarithmus ln(I/I_S + 1) (sein Argument ist negativ oder 0)',
  5: 'dem Produkt R * I',
  6: 'der Summe U_T*ln(I/I_S + 1) + R*I - U',
  7: 'der Steigung U_T / (I + I_S) + R',
};
const originText = (method, code) =>
  (code === 1 ? method.steps.point : code === 8 ? method.steps.next : origins[code]) || 'den Startwerten';

const notNumber = (v) => !Number.isFinite(v);

// The methods of the table with what the page knows of each: the module's
// record (index, letter, name, colour, kind) and the method's object.
export function pageMethodsOf(core) {
  return core.methods.map((m) => {
    if (!pageMethods[m.letter]) throw new Error(`Die Seite kennt das Verfahren ${m.letter} nicht`);
    return { ...m, ...pageMethods[m.letter] };
  });
}

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
// and runs every method: { circuit, methods: [{ method, passes, cycle, nan,
// inf }] } in the table's order, or null when diodesolve read no circuit.
export function runPasses(core, stdin) {
  const circuit = core.readCircuit(stdin);
  if (!circuit) return null;
  const methods = pageMethodsOf(core).map((method) => {
    const m = method.index;
    const passes = core.passes(m);
    passes.forEach((p, k) => {
      p.origin = [p.point, p.d, p.next].some(Number.isNaN) ? core.origin(m, k, false) : 0;
    });
    return {
      method,
      passes,
      cycle: core.cycled(m),
      nan: firstBad(core, m, passes, false),
      inf: firstBad(core, m, passes, true),
    };
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
  const { method, passes, cycle, nan, inf } = run.methods[m];
  const n = passes.length;
  const last = passes[n - 1];
  if (n > 1 && last.next === passes[n - 2].next) return { kind: 'repeat', text: `Wiederholung nach ${n} Durchlaeufen` };
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

// A value of a sentence: its name, the number, and its text with so many
// digits, made by the module from pass p's field.
const value = (name, p, field) => ({ name, value: p[field], text: (digits) => p.text(field, digits) });

// The sentence of pass k (from 0) of method m: a list of texts and values
// (value()), which the view shows with six digits and, on hover or focus,
// with seventeen.
export function passSentence(run, m, k) {
  const { method, passes } = run.methods[m];
  const p = passes[k];
  const parts = [`Durchlauf ${k + 1}: `, ...method.sentence(p, (name, field) => value(name, p, field))];
  if (p.origin) parts.push(` Hier entsteht nan, aus ${originText(method, p.origin)}.`);
  if (k === passes.length - 1) parts.push(' ', ...blockEnd(run, m));
  return parts;
}

// Why a repeat ends the block after its last pass.
function repeatReason(method, last) {
  if (!Number.isFinite(last.next))
    return (
      ` der Wert ist ${last.next > 0 ? 'inf' : '-inf'}, und ${method.repeatStep} gibt wieder ` +
      'denselben unendlichen Wert: die Wiederholung ist hier kein Zeichen von Konvergenz.'
    );
  if (last.d === 0) return ' das Residuum ist dort genau 0.';
  return (
    method.repeat(last, neighbours) ||
    ' der Schritt ist kleiner als der halbe Abstand zum naechsten double, die Rundung gibt denselben Wert.'
  );
}

// Why the block ends after its last pass.
function blockEnd(run, m) {
  const { method, passes } = run.methods[m];
  const n = passes.length;
  const last = passes[n - 1];
  const { kind, text } = ending(run, m);
  if (kind === 'repeat')
    return [
      `Ende: der neue Wert gleicht dem des vorigen Durchlaufs genau, in binary64 aendert er sich nicht mehr;${repeatReason(method, last)}`,
    ];
  if (kind === 'neighbours') {
    const other = passes[n - 2];
    return [
      `Ende nach ${n} Durchlaeufen ohne Wiederholung: der Wert wechselt zwischen den benachbarten doubles `,
      value('I', other, 'next'),
      ' und ',
      value('I', last, 'next'),
      '; ihre Residuen ',
      value('d', last, 'd'),
      ' und ',
      value('d', other, 'd'),
      ` haben entgegengesetzte Vorzeichen${method.alternates ? `, und ${method.alternates}` : '.'}`,
    ];
  }
  if (kind === 'stays') {
    const fixed = last.aAfter === passes[0].a ? method.ends[0] : method.ends[1];
    return [`Ende nach ${n} Durchlaeufen ohne Wiederholung: ${fixed} hat sich nie bewegt; ${method.stays}`];
  }
  return [`Ende: ${text}.`];
}
