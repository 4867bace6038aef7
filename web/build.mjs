// Builds the single-file page: the two WebAssembly modules gzip-compressed
// as base64, the worker and the page's modules bundled by esbuild (uPlot
// with them), style and script inline. Same inputs, same bytes.
// Usage: node build.mjs WASM-DIR OUT.html
import { readFileSync, writeFileSync, mkdirSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { gzipSync, constants } from 'node:zlib';
import { build } from 'esbuild';

const here = dirname(fileURLToPath(import.meta.url));
const [wasmDir, outFile] = process.argv.slice(2);
const limit = 400 * 1024;

const packed = (name) =>
  gzipSync(readFileSync(join(wasmDir, name)), { level: constants.Z_BEST_COMPRESSION }).toString('base64');

const bundle = async (entry, format, plugins = []) => {
  const result = await build({
    entryPoints: [join(here, entry)],
    bundle: true,
    format,
    minify: true,
    write: false,
    target: 'es2022',
    legalComments: 'none',
    plugins,
  });
  return result.outputFiles[0].text;
};

const workerSource = await bundle('worker.js', 'iife');
const assets = {
  name: 'page-assets',
  setup(b) {
    b.onResolve({ filter: /^page:assets$/ }, () => ({ path: 'assets', namespace: 'page' }));
    b.onLoad({ filter: /.*/, namespace: 'page' }, () => ({
      loader: 'js',
      contents: [
        `export const solveWasm = ${JSON.stringify(packed('diodesolve.wasm'))};`,
        `export const webWasm = ${JSON.stringify(packed('diodeweb.wasm'))};`,
        `export const workerSource = ${JSON.stringify(workerSource)};`,
      ].join('\n'),
    }));
  },
};
const script = await bundle('page.js', 'esm', [assets]);
if (/<\/script/i.test(script)) throw new Error('the script holds </script');
const style = readFileSync(join(here, 'node_modules/uplot/dist/uPlot.min.css'), 'utf8') +
  readFileSync(join(here, 'page.css'), 'utf8');
const page = readFileSync(join(here, 'page.html'), 'utf8')
  .replace('/*STYLE*/', () => style)
  .replace('<!--SCRIPT-->', () => `<script type="module">${script}</script>`);
if (page.length > limit) throw new Error(`the page has ${page.length} bytes, more than ${limit}`);
mkdirSync(dirname(outFile), { recursive: true });
writeFileSync(outFile, page);
console.log(`${outFile}: ${page.length} bytes`);
