// The WASI bridge of the page: runs a WebAssembly command (diodesolve) or
// starts a reactor (the page's module) in memory, standard input from
// bytes, standard output and error collected. It offers exactly the calls
// the modules import; standard streams are pipes to them, never a terminal,
// as when diodesolve reads from a file.

const ERRNO_SUCCESS = 0;
const ERRNO_BADF = 8;
const ERRNO_IO = 29;
const ERRNO_SPIPE = 70;

class Exit {
  constructor(code) {
    this.code = code;
  }
}

// Instantiates module (a compiled WebAssembly.Module) with stdin as its
// standard input (null: unreadable). Returns { instance, memory, writes,
// take(fd), feed(bytes) }: every write in its order as [fd, bytes],
// take(fd), which returns what fd received so far as one Uint8Array and
// forgets it, and feed(bytes), which makes bytes the input from now on.
export function startModule(module, stdin) {
  let memory = null;
  let readAt = 0;
  const out = { 1: [], 2: [] };
  const writes = [];
  const view = () => new DataView(memory.buffer);
  const bytes = () => new Uint8Array(memory.buffer);

  // Calls fn(pointer, length) for each of the iovs_len buffers at iovs.
  const eachBuffer = (iovs, count, fn) => {
    let done = 0;
    for (let k = 0; k < count; k++) {
      const ptr = view().getUint32(iovs + 8 * k, true);
      const len = view().getUint32(iovs + 8 * k + 4, true);
      const n = fn(ptr, len);
      done += n;
      if (n < len) break;
    }
    return done;
  };

  const wasi = {
    fd_write(fd, iovs, count, written) {
      if (!(fd in out)) return ERRNO_BADF;
      const n = eachBuffer(iovs, count, (ptr, len) => {
        const part = bytes().slice(ptr, ptr + len);
        out[fd].push(part);
        writes.push([fd, part]);
        return len;
      });
      view().setUint32(written, n, true);
      return ERRNO_SUCCESS;
    },
    fd_read(fd, iovs, count, read) {
      if (fd !== 0) return ERRNO_BADF;
      if (stdin === null) return ERRNO_IO;
      const n = eachBuffer(iovs, count, (ptr, len) => {
        const part = stdin.subarray(readAt, readAt + len);
        bytes().set(part, ptr);
        readAt += part.length;
        return part.length;
      });
      view().setUint32(read, n, true);
      return ERRNO_SUCCESS;
    },
    fd_fdstat_get(fd, stat) {
      if (fd > 2) return ERRNO_BADF;
      for (let k = 0; k < 24; k++) view().setUint8(stat + k, 0); // unknown type, no rights
      return ERRNO_SUCCESS;
    },
    fd_seek() {
      return ERRNO_SPIPE;
    },
    fd_close() {
      return ERRNO_SUCCESS;
    },
    proc_exit(code) {
      throw new Exit(code);
    },
  };
  const instance = new WebAssembly.Instance(module, { wasi_snapshot_preview1: wasi });
  memory = instance.exports.memory;
  const take = (fd) => {
    const parts = out[fd];
    const all = new Uint8Array(parts.reduce((n, p) => n + p.length, 0));
    let at = 0;
    for (const p of parts) {
      all.set(p, at);
      at += p.length;
    }
    out[fd] = [];
    return all;
  };
  const feed = (input) => {
    stdin = input;
    readAt = 0;
  };
  if (instance.exports._initialize) instance.exports._initialize();
  return { instance, memory, writes, take, feed };
}

// Runs the command module on the bytes of stdin (null: unreadable).
// Returns { status, stdout, stderr, writes }: the streams as Uint8Array,
// and every write in its order as [fd, bytes].
export function runCommand(module, stdin) {
  const run = startModule(module, stdin);
  let status = 0;
  try {
    run.instance.exports._start();
  } catch (e) {
    if (!(e instanceof Exit)) throw e;
    status = e.code;
  }
  return { status, stdout: run.take(1), stderr: run.take(2), writes: run.writes };
}
