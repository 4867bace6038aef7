// How practice reads and judges a typed number (no page needed: the tests
// run it under node).

// A decimal's digits, apart from how it is written: its sign, its
// significant digits (trailing zeros kept) and the power of ten of the
// first, "-4423e-3" for "-0,004423" and "-4.423e-3" alike; null for no
// decimal number.
function decimal(text) {
  const found = /^([+-]?)(\d*)\.?(\d*)(?:e([+-]?\d+))?$/i.exec(text.trim().replace(',', '.'));
  if (!found || found[2] + found[3] === '') return null;
  const [, sign, whole, fraction, exponent] = found;
  const all = whole + fraction;
  const zeros = all.length - all.replace(/^0+/, '').length;
  const power = Number(exponent || 0) + whole.length - zeros - 1;
  return { sign: sign === '-' ? '-' : '', digits: all.slice(zeros), power };
}

// Reads a typed number: a decimal point or comma, an exponent, or nan,
// inf, -inf. Returns { value, digits, text } (digits: its significant
// digits, leading zeros not counted, trailing ones counted; Infinity for
// 0, nan and inf), or { why } when it is no number.
export function readNumber(text) {
  const t = text.trim().replace(',', '.');
  if (/^[+-]?inf$/i.test(t)) return { value: t.startsWith('-') ? -Infinity : Infinity, digits: Infinity, text: t };
  if (/^[+-]?nan$/i.test(t)) return { value: NaN, digits: Infinity, text: t };
  const d = decimal(t);
  if (!d) return { why: 'Das ist keine Zahl.' };
  const value = Number(t);
  return { value, digits: d.digits === '' ? Infinity : d.digits.length, text: t };
}

// Whether typed ({ value, digits, text } of readNumber) is the exact value
// rounded to its digits: the same decimal digits and power of ten as the
// exact value written with that many significant digits (toPrecision
// rounds the exact binary value correctly); nan, inf and 0 only as
// themselves.
export function judge(exact, typed) {
  if (!Number.isFinite(exact) || exact === 0 || !Number.isFinite(typed.value) || typed.value === 0)
    return (
      Object.is(exact, typed.value) ||
      (exact === 0 && typed.value === 0) ||
      (Number.isNaN(exact) && Number.isNaN(typed.value))
    );
  const [want, got] = [decimal(exact.toPrecision(Math.min(typed.digits, 100))), decimal(typed.text)];
  return want.sign === got.sign && want.digits === got.digits && want.power === got.power;
}
