// A map worker's side: it opens its own core, parses the map's arguments
// and computes the rows it is handed, one message per row. Shared by the
// page's Web Workers and the node test's worker threads.
import { openCore } from './core.js';

// Answers one message; post(message, transfer) sends the reply.
// { run, module, words, csv }: start map number run; { run, y }: compute
// its row y (rows may follow the start at once). Rows of a map that a later
// start replaced are not computed; every reply names its run.
export function rowService() {
  let core = null;
  let csv = false;
  let ready = false;
  let current = null;
  return (message, post) => {
    if (message.module) {
      if (!core) core = openCore(message.module);
      current = message.run;
      csv = message.csv;
      const { status, stderr } = core.parse(message.words);
      ready = status === 0;
      post({ run: current, ready, stderr });
      return;
    }
    if (!ready || message.run !== current) return; // refused, or replaced
    const { cells, text } = core.row(message.y, csv);
    const transfer = [cells.buffer];
    if (text) transfer.push(text.buffer);
    post({ run: current, y: message.y, cells, text }, transfer);
  };
}
