// Practice's judge (web/judge.js) against C's printf, under node: for
// random doubles of every size and 3 to 17 digits, the module's %.*g of the
// exact value (with a point or a comma) is right, and the same text with
// its last digit one up or down is wrong; no text makes readNumber throw,
// and what it takes as a number is that number. Prints one line per
// failure.
// Usage: node judge-run.mjs diodeweb.wasm [COUNT]
import { readFileSync } from 'node:fs';
import { openCore } from '../../web/core.js';
import { readNumber, judge } from '../../web/judge.js';

const [program, count = '20000'] = process.argv.slice(2);
const core = openCore(new WebAssembly.Module(readFileSync(program)));
let failures = 0;
const fail = (what) => {
  if (++failures <= 20) console.log(`FAIL ${what}`);
};
let seed = 7;
const random = () => (seed = (seed * 1103515245 + 12345) % 2147483648) / 2147483648;
const bits = new BigUint64Array(1);
const double = new Float64Array(bits.buffer);
for (let n = 0; n < Number(count); n++) {
  bits[0] = (BigInt(Math.floor(random() * 2 ** 32)) << 32n) | BigInt(Math.floor(random() * 2 ** 32));
  const x = double[0];
  if (!Number.isFinite(x) || x === 0) continue;
  const digits = 3 + Math.floor(random() * 15);
  const text = core.format(x, digits);
  const typed = random() < 0.5 ? text.replace('.', ',') : text;
  if (!judge(x, readNumber(typed))) fail(`${x} typed as ${typed} is not right`);
  // The last digit of the mantissa one off, where that is still a digit.
  const at = text.search(/\d(?=(e|$))/);
  for (const step of [1, -1]) {
    const d = Number(text[at]) + step;
    if (d < 0 || d > 9) continue;
    const off = text.slice(0, at) + d + text.slice(at + 1);
    const r = readNumber(off);
    if (r.digits >= 3 && judge(x, r)) fail(`${x}: ${off} is right, the exact value written ${text}`);
  }
}
// No text breaks the reader; a number it takes is the number written.
const alphabet = '0123456789.,eE+-naif x\u00a0\u2212';
for (let n = 0; n < Number(count); n++) {
  const text = Array.from(
    { length: Math.floor(random() * 12) },
    () => alphabet[Math.floor(random() * alphabet.length)],
  ).join('');
  let r;
  try {
    r = readNumber(text);
  } catch (e) {
    fail(`readNumber("${text}") throws ${e.message}`);
    continue;
  }
  if (r.why) continue;
  const plain = text.trim().replace(',', '.');
  if (!Object.is(r.value, Number(plain)) && !(Number.isNaN(r.value) && /nan/i.test(plain)) && !/inf/i.test(plain))
    fail(`readNumber("${text}") is ${r.value}`);
}
console.log(`judge: ${count} doubles and texts; ${failures} failures`);
process.exitCode = failures ? 1 : 0;
