// Builds the single-file page: the two WebAssembly modules and the page's
// modules bundled by esbuild (uPlot with them), each gzip-compressed as
// base64, and the workers' script, each in a data block (a script element
// of a type that is never run); a few lines of inline script unpack the
// page's script and run it as a module (the browser unpacks gzip natively,
// so the page carries its code at about a third of its size). Style
// inline. Same inputs, same bytes.
// Usage: node build.mjs WASM-DIR OUT.html
import { readFileSync, writeFileSync, mkdirSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { gzipSync, constants } from 'node:zlib';
import { build } from 'esbuild';

const here = dirname(fileURLToPath(import.meta.url));
const [wasmDir, outFile] = process.argv.slice(2);
const limit = 300 * 1024;

const gzip = (bytes) => gzipSync(bytes, { level: constants.Z_BEST_COMPRESSION }).toString('base64');
const packed = (name) => gzip(readFileSync(join(wasmDir, name)));

const bundle = async (entry, format) => {
  const result = await build({
    entryPoints: [join(here, entry)],
    bundle: true,
    format,
    minify: true,
    write: false,
    target: 'es2022',
    legalComments: 'none',
  });
  return result.outputFiles[0].text;
};

const workerSource = await bundle('worker.js', 'iife');
const script = await bundle('page.js', 'esm');
for (const [what, text] of [
  ['script', script],
  ['worker', workerSource],
])
  if (/<\/script/i.test(text)) throw new Error(`the ${what} holds </script`);
const data = (type, id, text) => `<script type="${type}" id="${id}">${text}</script>\n`;
const blocks =
  data('application/octet-stream', 'modul-diodesolve', packed('diodesolve.wasm')) +
  data('application/octet-stream', 'modul-diodeweb', packed('diodeweb.wasm')) +
  data('text/plain', 'worker-quelle', workerSource) +
  data('application/octet-stream', 'seite-quelle', gzip(Buffer.from(script)));
// Unpacks the page's script and runs it as a module; says so where it cannot.
const unpackScript = `(async()=>{try{const t=atob(document.getElementById('seite-quelle').textContent),
b=Uint8Array.from(t,(c)=>c.charCodeAt(0)),
s=await new Response(new Blob([b]).stream().pipeThrough(new DecompressionStream('gzip'))).text(),
e=document.createElement('script');e.type='module';e.textContent=s;document.body.append(e)}
catch(x){document.getElementById('start-meldung').textContent='FEHLER: Die Seite kann nicht starten: '+x.message}})()`;
const style =
  readFileSync(join(here, 'node_modules/uplot/dist/uPlot.min.css'), 'utf8') +
  readFileSync(join(here, 'page.css'), 'utf8');
const page = readFileSync(join(here, 'page.html'), 'utf8')
  .replace('/*STYLE*/', () => style)
  .replace('<!--SCRIPT-->', () => `${blocks}<script>${unpackScript}</script>`);
const bytes = Buffer.byteLength(page);
if (bytes > limit) throw new Error(`the page has ${bytes} bytes, more than ${limit}`);
mkdirSync(dirname(outFile), { recursive: true });
writeFileSync(outFile, page);
console.log(`${outFile}: ${bytes} bytes`);
