// Reads a diodesolve transcript from standard input with the page's reader
// (the module's transcript reader, as the chart reads it) and prints, per
// pass, the method's letter and the kinds of I and Delta (num, 0, inf,
// -inf, nan: JavaScript does not keep a NaN's sign); or the reason it
// refuses, with status 1.
// Usage: node transcript-run.mjs diodeweb.wasm < TRANSCRIPT
import { readFileSync } from 'node:fs';
import { openCore } from '../../web/core.js';

const core = openCore(new WebAssembly.Module(readFileSync(process.argv[2])));
const read = core.readTranscript(readFileSync(0));
const kind = (v) => {
  if (Number.isNaN(v)) return 'nan';
  if (!Number.isFinite(v)) return v < 0 ? '-inf' : 'inf';
  return v === 0 ? '0' : 'num';
};
if (read.why) {
  console.log(read.why);
  process.exitCode = 1;
} else {
  for (const { method, passes } of read.series)
    for (const [delta, current] of passes)
      console.log(`${core.methods[method].letter} ${kind(current)} ${kind(delta)}`);
}
