// Runs a WASI command (diodesolve compiled to WebAssembly) under node with
// this process's standard input, output and error, and ends with its exit
// status: a stand-in for the native program in the transcript cases.
// Usage: node wasi-run.mjs PROGRAM.wasm [ARG...]
import { readFileSync } from 'node:fs';
import { WASI } from 'node:wasi';

const [program, ...args] = process.argv.slice(2);
const wasi = new WASI({
  version: 'preview1',
  args: [program, ...args],
  env: {},
  returnOnExit: true,
});
const module = await WebAssembly.compile(readFileSync(program));
const instance = await WebAssembly.instantiate(module, wasi.getImportObject());
process.exitCode = wasi.start(instance);
