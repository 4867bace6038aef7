// Runs diodemap --csv through the page's worker pool (web/map.js) on node
// worker threads, writing the CSV to OUT as the native program writes it to
// standard output; exit status and messages as the parser's.
// Usage: node map-run.mjs diodeweb.wasm WORKERS OUT [diodemap arguments...]
import { readFileSync, writeFileSync, writeSync } from 'node:fs';
import { Worker } from 'node:worker_threads';
import { openCore } from '../../web/core.js';
import { computeMap } from '../../web/map.js';

const [program, count, out, ...words] = process.argv.slice(2);
const module = new WebAssembly.Module(readFileSync(program));
const service = new URL('./row-thread.mjs', import.meta.url);
const threads = Array.from({ length: Number(count) }, () => new Worker(service));
const workers = threads.map((t) => ({
  post: (message, transfer) => t.postMessage(message, transfer),
  listen: (fn) => t.on('message', fn),
}));
try {
  const result = await computeMap(openCore(module), module, words, workers, { csvUpTo: Infinity });
  writeSync(2, result.stderr);
  if (result.status === 0) writeFileSync(out, Buffer.concat(result.csv));
  process.exitCode = result.status;
} finally {
  for (const t of threads) t.terminate();
}
