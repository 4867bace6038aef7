// The methods' colours stay apart for colour-blind viewers: each pair
// differs by at least a CIELAB distance of 20 under a simulation of
// deuteranopia and of protanopia (Machado, Oliveira and Fernandes 2009,
// severity 1), and for normal vision. The colours are the module's (or
// given). Prints one line per failed pair.
// Usage: node colours.mjs diodeweb.wasm | node colours.mjs '#rrggbb'...
import { readFileSync } from 'node:fs';
import { openCore } from '../../web/core.js';

const simulations = {
  normal: [
    [1, 0, 0],
    [0, 1, 0],
    [0, 0, 1],
  ],
  deuteranopia: [
    [0.367322, 0.860646, -0.227968],
    [0.280085, 0.672501, 0.047413],
    [-0.01182, 0.04294, 0.968881],
  ],
  protanopia: [
    [0.152286, 1.052583, -0.204868],
    [0.114503, 0.786281, 0.099216],
    [-0.003882, -0.048116, 1.051998],
  ],
};
const linear = (c) => (c <= 0.04045 ? c / 12.92 : ((c + 0.055) / 1.055) ** 2.4);
const clamp = (v) => Math.min(1, Math.max(0, v));
function lab(rgb) {
  const [r, g, b] = rgb;
  const xyz = [
    0.4124 * r + 0.3576 * g + 0.1805 * b,
    0.2126 * r + 0.7152 * g + 0.0722 * b,
    0.0193 * r + 0.1192 * g + 0.9505 * b,
  ].map((v, k) => v / [0.95047, 1, 1.08883][k]);
  const f = (t) => (t > 216 / 24389 ? Math.cbrt(t) : ((24389 / 27) * t + 16) / 116);
  const [fx, fy, fz] = xyz.map(f);
  return [116 * fy - 16, 500 * (fx - fy), 200 * (fy - fz)];
}
const given = process.argv[2].endsWith('.wasm')
  ? openCore(new WebAssembly.Module(readFileSync(process.argv[2]))).methods.map((m) => m.colour)
  : process.argv.slice(2);
const colours = given.map((hex) => [1, 3, 5].map((at) => linear(parseInt(hex.slice(at, at + 2), 16) / 255)));
let failures = 0;
for (const [name, matrix] of Object.entries(simulations)) {
  const seen = colours.map((c) => lab(matrix.map((row) => clamp(row[0] * c[0] + row[1] * c[1] + row[2] * c[2]))));
  for (let i = 0; i < seen.length; i++) {
    for (let j = i + 1; j < seen.length; j++) {
      const distance = Math.hypot(...seen[i].map((v, k) => v - seen[j][k]));
      if (distance < 20) {
        failures++;
        console.log(`FAIL ${name}: ${given[i]} and ${given[j]} differ by ${distance.toFixed(1)}`);
      } else if (process.env.VERBOSE) console.log(`${name} ${i} ${j} ${distance.toFixed(1)}`);
    }
  }
}
process.exitCode = failures ? 1 : 0;
