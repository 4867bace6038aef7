// The page's Web Worker: serves map rows (rows.js).
import { rowService } from './rows.js';

const answer = rowService();
self.onmessage = (event) => answer(event.data, (reply, transfer) => self.postMessage(reply, transfer));
