// The step view's data under node: reads circuits (three answer lines
// each) from CIRCUITS, and for each runs the page's exact passes
// (web/passes.js) and writes to OUT-PASSES every pass printed with the
// report formats, each block closed by an empty line, as diodesolve writes
// its blocks; and to OUT-GRIDS, for every pass whose window is a grid of
// doubles, "c U R I_S" and one "g X F" line per double (its residual by
// the module), a "-" line after each grid. All numbers as %.17g.
// Usage: node steps-run.mjs diodeweb.wasm CIRCUITS OUT-PASSES OUT-GRIDS
import { readFileSync, writeFileSync } from 'node:fs';
import { openCore } from '../../web/core.js';
import { runPasses } from '../../web/passes.js';
import { construct, stepWindow } from '../../web/stepwindow.js';

const [program, circuits, outPasses, outGrids] = process.argv.slice(2);
const core = openCore(new WebAssembly.Module(readFileSync(program)));
const lines = readFileSync(circuits, 'latin1').split('\n');
const passes = [];
const grids = [];
for (let k = 0; k + 2 < lines.length; k += 3) {
  const run = runPasses(core, Buffer.from(`${lines.slice(k, k + 3).join('\n')}\n`, 'latin1'));
  if (!run) continue;
  grids.push(`c ${run.circuit.map((v) => core.format(v)).join(' ')}`);
  run.methods.forEach(({ passes: block }, m) => {
    block.forEach((p, j) => {
      passes.push(core.reportLine(m, j));
      const { method, passes: all } = run.methods[m];
      const w = stepWindow(core, construct(core, method, p, { passes: all, k: j, m }), run.circuit[2]);
      if (!w || !w.grid) return;
      const [xs, fs] = w.grid;
      xs.forEach((x, i) => grids.push(`g ${core.format(x)} ${core.format(fs[i])}`));
      grids.push('-');
    });
    passes.push('\n');
  });
}
writeFileSync(outPasses, passes.join(''));
writeFileSync(outGrids, `${grids.join('\n')}\n`);
