// The exact passes of the dialogue's circuit and what they say: how each
// method's block ended, in German. Every number comes from the module
// (core.js): the methods' own passes on the circuit diodesolve read.

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
    return { passes, nan: firstBad(core, m, passes, false), inf: firstBad(core, m, passes, true) };
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
  const { passes, nan, inf } = run.methods[m];
  const n = passes.length;
  const last = passes[n - 1];
  if (repeated(passes)) return `Wiederholung nach ${n} Durchlaeufen`;
  const limit = `Grenze ${n}`;
  const where = (bad, what) => `${limit}: ${what}, zuerst in Durchlauf ${bad.k + 1}, aus ${originText(bad.origin)}`;
  if (Number.isNaN(last.next)) return where(nan, 'nan');
  if (!Number.isFinite(last.next)) return where(inf, last.next > 0 ? 'inf' : '-inf');
  if (n > 2 && last.next === passes[n - 3].next)
    return neighbours(last.next, passes[n - 2].next)
      ? `${limit}: wechselt zwischen zwei Nachbarn`
      : `${limit}: wechselt zwischen zwei Werten`;
  if (m !== 2 && (last.loAfter === passes[0].lo || last.hiAfter === passes[0].hi))
    return `${limit}: ein Ende bleibt stehen`;
  return `${limit}: ohne Wiederholung`;
}
