// A node worker thread that serves map rows as the page's Web Workers do.
import { parentPort } from 'node:worker_threads';
import { rowService } from '../../web/rows.js';

const answer = rowService();
parentPort.on('message', (m) => answer(m, (reply, transfer) => parentPort.postMessage(reply, transfer)));
