// What the page knows of each method beyond the module's table (core.js
// methods: letter, name, colour, kind): its values, sentence and
// construction, by letter. A method of the table without an entry here is
// a fault the page reports at its start.
import H from './bisection.js';
import R, { illinois as I, pegasus as P, andersonBjoerck as A } from './falsi.js';
import N, { guarded as G } from './newton.js';
import S from './secant.js';
import B from './brent.js';

export const pageMethods = { H, R, N, S, I, P, A, G, B };
