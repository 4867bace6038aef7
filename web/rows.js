// A map worker's side: it opens its own core, parses the map's arguments
// and computes the rows it is handed, one message per row. Shared by the
// page's Web Workers and the node test's worker threads.
import { openCore } from './core.js';

// Answers one message; post(message, transfer) sends the reply.
// { module, words, csv }: start a map; { y }: compute row y (rows may
// follow the start at once).
export function rowService() {
  let core = null;
  let csv = false;
  let ready = false;
  return (message, post) => {
    if (message.module) {
      core = openCore(message.module);
      csv = message.csv;
      const { status, stderr } = core.parse(message.words);
      ready = status === 0;
      post({ ready, stderr });
      return;
    }
    if (!ready) return; // the refusal was the answer
    const { cells, text } = core.row(message.y, csv);
    const transfer = [cells.buffer];
    if (text) transfer.push(text.buffer);
    post({ y: message.y, cells, text }, transfer);
  };
}
