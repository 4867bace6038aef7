// A map computed by a pool of workers: each worker takes the next row as
// soon as it hands one back, and the rows reach the view (and the CSV) in
// order of y, so the result does not depend on how many workers there are.
//
// A worker is { post(message, transfer), listen(fn) }: a Web Worker in the
// page, a worker thread in the node test, both running rows.js.

const inFlight = 32; // rows handed to each worker ahead, to hide messaging

// Computes the map of diodemap's arguments words on core (the main
// thread's, see core.js) with the module that the workers instantiate.
// Resolves to { status, stderr } when the parser refuses the arguments, else
// { status: 0, csv }: the view is complete in core, csv the CSV's parts in
// order (header first) for a map of at most csvUpTo points, else null.
// progress(done, all) follows the rows.
export function computeMap(core, module, words, workers, { csvUpTo = 0, samples = 400, progress = () => {} } = {}) {
  const parsed = core.parse(words);
  if (parsed.status !== 0) return Promise.resolve(parsed);
  const height = core.points(1);
  const csv = core.points(0) * height <= csvUpTo;
  core.viewBegin(samples, samples);
  const parts = csv ? [core.csvHeader()] : null;
  return new Promise((resolve, reject) => {
    const pending = new Map();
    let next = 0;
    let emitted = 0;
    let failed = false;
    const fail = (error) => {
      failed = true;
      reject(error);
    };
    const hand = (worker) => {
      if (next < height) worker.post({ y: next++ });
    };
    for (const worker of workers) {
      worker.listen((reply) => {
        if (failed) return;
        if ('ready' in reply) {
          if (!reply.ready) fail(new Error(reply.stderr));
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
        if (emitted === height) resolve({ status: 0, stderr: parsed.stderr, csv: parts });
        else hand(worker);
      });
      worker.post({ module, words, csv });
      for (let k = 0; k < inFlight; k++) hand(worker);
    }
  });
}
