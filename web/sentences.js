// The sentences of the step view: what one pass of one method did, with
// its values, and at the end of a block why it ended. Every value is the
// module's, formatted by it (core.js passes(): p.text).
import { originText, ending, neighbours } from './passes.js';

// A value of a sentence: its name, the number, its unit (the module's, by
// the method's record), and its text with so many digits, made by the
// module from pass p's field.
const value = (name, p, field) => ({
  name,
  value: p[field],
  unit: p.unit(field),
  text: (digits) => p.text(field, digits),
});

// The digits each value of a sentence needs: six, or as many more (up to
// seventeen) as it takes to tell it from every other double of its unit in
// the sentence.
export function digitsOf(parts) {
  const values = parts.filter((part) => typeof part !== 'string');
  return values.map((v) => {
    for (let digits = 6; digits < 17; digits++) {
      const text = v.text(digits);
      const clash = values.some((o) => o.unit === v.unit && !Object.is(o.value, v.value) && o.text(digits) === text);
      if (!clash) return digits;
    }
    return 17;
  });
}

// The sentence of pass k (from 0) of method m: a list of texts and values
// (value()), which the view shows with the digits digitsOf() finds.
export function passSentence(run, m, k) {
  const { method, passes } = run.methods[m];
  const p = passes[k];
  const parts = [`Durchlauf ${k + 1}: `, ...method.sentence(p, (name, field) => value(name, p, field))];
  if (p.origin) parts.push(` Hier entsteht nan, aus ${originText(method, p.origin)}.`);
  // The block's end, unless the run is cut short (practice shows no pass
  // beyond the one asked).
  if (k === passes.length - 1 && !run.truncated) parts.push(' ', ...blockEnd(run, m));
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
  const own = method.repeat ? method.repeat(last, neighbours) : null;
  if (own) return own;
  return method.deltaAtStart
    ? " der Schritt d / s ist so klein, dass x' = x - d / s wieder auf x rundet."
    : ' die Sekante trifft die Achse wieder an demselben double.';
}

// Why the block ends after its last pass.
function blockEnd(run, m) {
  const { method, passes } = run.methods[m];
  const n = passes.length;
  const last = passes[n - 1];
  const { kind, text } = ending(run, m);
  if (kind === 'repeat')
    return [
      `Ende: der neue Wert gleicht dem vorigen genau, in binary64 ändert er sich nicht mehr;${repeatReason(method, last)}`,
    ];
  if (kind === 'zero') return ['Ende: das Residuum des neuen Werts ist genau 0.'];
  if (kind === 'ends')
    return [
      'Ende: zwischen den Enden ',
      value('a', last, 'aAfter'),
      ' und ',
      value('b', last, 'bAfter'),
      ' liegt kein double mehr; näher kommt kein Intervall an die Nullstelle.',
    ];
  if (kind === 'tolerance')
    return [
      'Ende: Brents Schranke ist erreicht, |c − b| / 2 ≤ 2^-51 · |b| mit b = ',
      value("b'", last, 'next'),
      ' und c = ',
      value('c', last, 'cAfter'),
      '.',
    ];
  if (kind === 'level') return method.level.end(last, (name, field) => value(name, last, field));
  if (kind === 'neighbours') {
    const other = passes[n - 2];
    const [d1, d2] = [last.d, other.d];
    const signs =
      d1 * d2 < 0
        ? ' haben entgegengesetzte Vorzeichen'
        : d1 === 0 || d2 === 0
          ? ': eines ist genau 0'
          : ' haben dasselbe Vorzeichen';
    return [
      `Ende nach ${n} Durchläufen ohne Wiederholung: der Wert wechselt zwischen den benachbarten doubles `,
      value('I', other, 'next'),
      ' und ',
      value('I', last, 'next'),
      '; ihre Residuen ',
      value('d', last, 'd'),
      ' und ',
      value('d', other, 'd'),
      `${signs}${method.alternates ? `, und ${method.alternates}` : '.'}`,
    ];
  }
  if (kind === 'stays') {
    const fixed = last.aAfter === passes[0].a ? method.ends[0] : method.ends[1];
    return [`Ende nach ${n} Durchläufen ohne Wiederholung: ${fixed} hat sich nie bewegt; ${method.stays}`];
  }
  return [`Ende: ${text}.`];
}

// The grid view of window w (stepwindow.js) explained: the grid's step in
// I, the residual's quantum, and why f moves in steps, each claim from the
// module's facts of this grid; u is the circuit's voltage.
export function gridSentence(core, w, voltage) {
  const g = core.gridFacts(w.c, w.grid[1]);
  const u = core.format(voltage, 6);
  const step = g.quantum
    ? g.quantum === g.ulpU
      ? `in Stufen von ulp(U) = 2^${g.expU} V ≈ ${core.format(g.ulpU, 3)} V`
      : g.quantum === g.ulpU / 2
        ? `in Stufen von ulp(U) / 2 = 2^${g.expU - 1} V ≈ ${core.format(g.quantum, 3)} V`
        : `in Stufen von mindestens ${core.format(g.quantum, 3)} V`
    : 'hier gar nicht';
  const n = w.grid[0].length;
  // R · ulp(I) against ulp(U): whether one step of I can move the rounded
  // sum by a whole step of the doubles near U.
  const against = g.step < g.ulpU ? 'weniger als' : g.step > g.ulpU ? 'mehr als' : 'genau';
  const flat =
    g.flat > 1
      ? `Hier bleibt f über bis zu ${g.flat} benachbarte doubles gleich und springt dann.`
      : `Hier ändert sich f von jedem der ${n} doubles zum nächsten.`;
  return (
    `Das Gitter: benachbarte doubles bei I ≈ ${core.format(w.c, 6)} A liegen ulp(I) = 2^${g.expI} A ≈ ` +
    `${core.format(g.ulpI, 3)} A auseinander; dazwischen gibt es keinen Strom. Das Residuum springt ${step}. ` +
    `Denn f zieht zuletzt die Spannung U = ${u} V ab, und die Summe U_T · ln(I / I_S + 1) + R · I davor liegt ` +
    `nahe bei U, wo benachbarte doubles ulp(U) = ${core.format(g.ulpU, 3)} V auseinander liegen; die Subtraktion ` +
    `ist exakt. Ein Schritt von I um ein ulp ändert R · I um R · ulp(I) ≈ ${core.format(g.step, 3)} V, ${against} ` +
    `ulp(U). ${flat} Blass dahinter: die reelle Kurve, genau gerechnet und einmal gerundet.`
  );
}
