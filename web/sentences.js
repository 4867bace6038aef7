// The sentences of the step view: what one pass of one method did, with
// its values, and at the end of a block why it ended. Every value is the
// module's, formatted by it (core.js passes(): p.text).
import { originText, ending, neighbours } from './passes.js';

// The unit of a pass's field: residuals in V, the slope in V/A, the rest
// (estimates, ends, points) in A.
const volts = new Set(['d', 'fa', 'fb', 'fc', 'faAfter', 'fbAfter', 'fcAfter']);
export const unitOf = (field) => (volts.has(field) ? 'V' : field === 'slope' ? 'V/A' : 'A');

// A value of a sentence: its name, the number, its unit, and its text with
// so many digits, made by the module from pass p's field.
const value = (name, p, field) => ({
  name,
  value: p[field],
  unit: unitOf(field),
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
    ' der Schritt ist kleiner als der halbe Abstand zum nächsten double, die Rundung gibt denselben Wert.'
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
  if (kind === 'neighbours') {
    const other = passes[n - 2];
    return [
      `Ende nach ${n} Durchläufen ohne Wiederholung: der Wert wechselt zwischen den benachbarten doubles `,
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
    return [`Ende nach ${n} Durchläufen ohne Wiederholung: ${fixed} hat sich nie bewegt; ${method.stays}`];
  }
  return [`Ende: ${text}.`];
}
