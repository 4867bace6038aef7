// A map computed by a pool of workers: each worker takes the next row as
// soon as it hands one back, and the rows reach the view (and the CSV) in
// order of y, so the result does not depend on how many workers there are.
//
// A worker is { post(message, transfer), listen(fn) }: a Web Worker in the
// page, a worker thread in the node test, both running rows.js.

const inFlight = 32; // rows handed to each worker ahead, to hide messaging

// The run each pool is busy with: a new map on the same workers ends the
// one before, whose promise then resolves to { status: null } and whose
// rows still in flight are dropped by their run number.
const busy = new WeakMap();
let runs = 0;

// Computes the map of diodemap's arguments words on core (the main
// thread's, see core.js) with the module that the workers instantiate.
// Resolves to what core.parse() returns when the parser refuses the
// arguments or answered them (--help), else
// { status: 0, csv }: the view is complete in core, csv the CSV's parts in
// order (header first) for a map of at most csvUpTo points, else null;
// { status: null } when a later map on the same workers replaced it.
// progress(done, all) follows the rows.
export function computeMap(core, module, words, workers, { csvUpTo = 0, samples = 400, progress = () => {} } = {}) {
  const previous = busy.get(workers);
  if (previous) previous();
  busy.delete(workers);
  const parsed = core.parse(words);
  if (parsed.status !== 0 || parsed.answered) return Promise.resolve(parsed);
  const height = core.points(1);
  const csv = core.points(0) * height <= csvUpTo;
  core.viewBegin(samples, samples);
  const parts = csv ? [core.csvHeader()] : null;
  const run = ++runs;
  return new Promise((resolve, reject) => {
    const pending = new Map();
    let next = 0;
    let emitted = 0;
    let over = false;
    const settle = (how, value) => {
      over = true;
      if (busy.get(workers) === stop) busy.delete(workers);
      how(value);
    };
    const stop = () => settle(resolve, { status: null, stderr: '' });
    busy.set(workers, stop);
    const hand = (worker) => {
      if (next < height) worker.post({ run, y: next++ });
    };
    for (const worker of workers) {
      worker.listen((reply) => {
        if (over || reply.run !== run) return;
        if ('ready' in reply) {
          if (!reply.ready) settle(reject, new Error(reply.stderr));
          return;
        }
        pending.set(reply.y, reply);
        while (pending.has(emitted)) {
          const row = pending.get(emitted);
          pending.delete(emitted);
          core.takeRow(emitted, row.cells);
          if (parts) parts.push(row.text);
          emitted++;
        }
        if (emitted === height || (emitted * 100) % height < 100) progress(emitted, height); // each percent
        if (emitted === height) settle(resolve, { status: 0, stderr: parsed.stderr, csv: parts });
        else hand(worker);
      });
      worker.post({ run, module, words, csv });
      for (let k = 0; k < inFlight; k++) hand(worker);
    }
  });
}
