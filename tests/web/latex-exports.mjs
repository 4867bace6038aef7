// The page's LaTeX exports of the pass tables, under node: for the circuits
// named in the README and the issues, every method, 6 and 17 digits, with
// siunitx and plain, each export a file DIR/NAME.tex, and DIR/all.tex, an
// A4 document (2 cm margins, as the exports say) that inputs them all.
// siunitx's \num is slow (about 2 s for a table of 200 passes), so its
// tables keep, of their rows, the first and the three with the longest
// text in each column, which set the table's width; the plain tables stay
// whole.
// Usage: node latex-exports.mjs diodeweb.wasm DIR
import { readFileSync, writeFileSync } from 'node:fs';
import { openCore } from '../../web/core.js';
import { runPasses } from '../../web/passes.js';
import { passLatex } from '../../web/tables.js';

const [program, dir] = process.argv.slice(2);
const core = openCore(new WebAssembly.Module(readFileSync(program)));
const encoder = new TextEncoder();
const names = [];
const widestRows = (tex) => {
  const lines = tex.split('\n');
  const rows = lines.map((l, k) => [k, l.split(' & ')]).filter(([k]) => /^\d+ & /.test(lines[k]));
  const keep = new Set(rows.slice(0, 1).map(([k]) => k));
  for (let c = 1; rows.length && c < rows[0][1].length; c++)
    [...rows]
      .sort((x, y) => (y[1][c] || '').length - (x[1][c] || '').length)
      .slice(0, 3)
      .forEach(([k]) => keep.add(k));
  return lines.filter((l, k) => !/^\d+ & /.test(l) || keep.has(k)).join('\n');
};
for (const answers of [
  ['5', '1e3', '1e-12'],
  ['0.7', '100', '1e-14'],
  ['12', '4.7e3', '2e-9'],
  ['0', '1e3', '1e-12'],
  ['5', '0', '1e-12'],
  ['1e308', '1e3', '1e-12'],
]) {
  const run = runPasses(core, encoder.encode(answers.map((a) => `${a}\n`).join('')));
  run.methods.forEach(({ method, passes }, m) => {
    if (!passes.length) return;
    for (const digits of [6, 17])
      for (const siunitx of [true, false]) {
        const name = `${names.length}-${method.letter}-${digits}${siunitx ? '' : '-schlicht'}`;
        const tex = passLatex(run, m, digits, siunitx);
        writeFileSync(`${dir}/${name}.tex`, siunitx ? widestRows(tex) : tex);
        names.push(name);
      }
  });
}
writeFileSync(
  `${dir}/all.tex`,
  [
    '\\documentclass[a4paper]{article}',
    '\\usepackage[utf8]{inputenc}',
    '\\usepackage[a4paper,margin=2cm]{geometry}',
    '\\usepackage{array,booktabs,longtable,siunitx}',
    '\\begin{document}',
    ...names.map((n) => `\\input{${n}}`),
    '\\end{document}',
    '',
  ].join('\n'),
);
console.log(`${names.length} exports`);
