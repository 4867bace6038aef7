// Runs diodesolve.wasm through the page's WASI bridge once per circuit of
// CIRCUITS (three answer lines each) and writes to OUT every run's standard
// output, then its standard error, then its exit status on a line of its
// own, one run after the other, as a loop over the native program would.
// Usage: node solve-many.mjs diodesolve.wasm CIRCUITS OUT
import { readFileSync, writeFileSync } from 'node:fs';
import { runCommand } from '../../web/wasi.js';

const [program, circuits, out] = process.argv.slice(2);
const module = new WebAssembly.Module(readFileSync(program));
const lines = readFileSync(circuits, 'latin1').split('\n');
const parts = [];
for (let k = 0; k + 2 < lines.length; k += 3) {
  const { status, stdout, stderr } = runCommand(module, Buffer.from(`${lines.slice(k, k + 3).join('\n')}\n`, 'latin1'));
  parts.push(stdout, stderr, Buffer.from(`${status}\n`));
}
writeFileSync(out, Buffer.concat(parts));
