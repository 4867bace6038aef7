// Runs diodesolve.wasm through the page's own WASI bridge (web/wasi.js):
// this process's standard input is the module's, its writes to standard
// output and error are made again in their order after the run, and the
// exit status is the module's. A
// stand-in for the native program in the transcript cases.
// Usage: node bridge-run.mjs PROGRAM.wasm
import { readFileSync, writeSync } from 'node:fs';
import { runCommand } from '../../web/wasi.js';

const program = process.argv[2];
const module = new WebAssembly.Module(readFileSync(program));
let input = null; // unreadable, such as a directory
try {
  input = readFileSync(0);
} catch {
  // standard input that cannot be read stays null, as the page's is
}
const { status, writes } = runCommand(module, input);
for (const [fd, bytes] of writes) writeSync(fd, bytes);
process.exitCode = status;
