// Runs a WASI preview-1 command (tipsrad.wasm) with standard input, output
// and error handed to the caller: in the page, the console and the answer
// line; under Node, the process's own. Only the calls the program imports:
// no files, no environment; any other import fails with ENOSYS.
//
// Reads may wait. The module is asyncified around fd_read (see
// cmake/Platform/WASI.cmake), so when no input is at hand the host unwinds
// the program's stack, awaits the caller's read, and rewinds the stack into
// the same fd_read, which then returns the bytes. The unwound stack is kept
// in a buffer of the module's own data (web/unwind_stack.cpp), out of reach
// of its allocator, however long a line it reads.

const ERRNO_BADF = 8;
const ERRNO_IO = 29;
const ERRNO_NOSYS = 52;
const ERRNO_SPIPE = 70;
const FILETYPE_CHARACTER_DEVICE = 2;
const UNWINDING = 1;
const REWINDING = 2;

class Exit {
  constructor(status) {
    this.status = status;
  }
}

// io.read(): a Uint8Array of the next input, empty at its end, or a promise
// of one. io.write(fd, bytes): writes to 1 or 2; throws if it cannot.
// io.now(): the calendar clock in milliseconds. Resolves to the exit status.
export async function runCommand(module, io) {
  let instance = null;
  let pending = new Uint8Array(0);
  let ended = false;
  let waiting = null;
  let stack = 0;
  const view = () => new DataView(instance.exports.memory.buffer);
  const bytes = (at, length) => new Uint8Array(instance.exports.memory.buffer, at, length);
  const iovecs = (at, count) =>
    Array.from({ length: count }, (_, i) =>
      bytes(view().getUint32(at + 8 * i, true), view().getUint32(at + 8 * i + 4, true)));

  const wasi = {
    fd_read(fd, iovs, count, readAt) {
      if (fd !== 0) return ERRNO_BADF;
      const { exports } = instance;
      if (exports.asyncify_get_state() === REWINDING) exports.asyncify_stop_rewind();
      if (pending.length === 0 && !ended) {
        const next = io.read();
        if (next instanceof Promise) {
          waiting = next;
          exports.asyncify_start_unwind(stack);
          return 0;
        }
        take(next);
      }
      let total = 0;
      for (const buffer of iovecs(iovs, count)) {
        const n = Math.min(buffer.length, pending.length);
        buffer.set(pending.subarray(0, n));
        pending = pending.subarray(n);
        total += n;
      }
      view().setUint32(readAt, total, true);
      return 0;
    },
    fd_write(fd, iovs, count, writtenAt) {
      if (fd !== 1 && fd !== 2) return ERRNO_BADF;
      let total = 0;
      try {
        for (const buffer of iovecs(iovs, count)) {
          io.write(fd, buffer.slice());
          total += buffer.length;
        }
      } catch {
        return ERRNO_IO;
      }
      view().setUint32(writtenAt, total, true);
      return 0;
    },
    fd_fdstat_get(fd, at) {
      if (fd > 2) return ERRNO_BADF;
      bytes(at, 24).fill(0);  // no rights to seek: a terminal
      view().setUint8(at, FILETYPE_CHARACTER_DEVICE);
      return 0;
    },
    fd_seek: () => ERRNO_SPIPE,
    fd_close: () => 0,
    clock_time_get(id, precision, at) {
      view().setBigUint64(at, BigInt(Math.floor(io.now())) * 1000000n, true);
      return 0;
    },
    environ_sizes_get(countAt, sizeAt) {
      view().setUint32(countAt, 0, true);
      view().setUint32(sizeAt, 0, true);
      return 0;
    },
    environ_get: () => 0,
    proc_exit(status) {
      throw new Exit(status);
    },
  };
  const take = (next) => {
    if (next.length === 0) ended = true;
    pending = next;
  };

  const imports = {};
  for (const { module: from, name } of WebAssembly.Module.imports(module)) {
    imports[from] ??= {};
    imports[from][name] = (from === "wasi_snapshot_preview1" && wasi[name]) || (() => ERRNO_NOSYS);
  }
  instance = await WebAssembly.instantiate(module, imports);
  const { exports } = instance;
  stack = exports.tipsrad_unwind_stack.value;
  try {
    for (;;) {
      exports._start();
      if (exports.asyncify_get_state() !== UNWINDING) return 0;
      exports.asyncify_stop_unwind();
      take(await waiting);
      exports.asyncify_start_rewind(stack);
    }
  } catch (error) {
    if (error instanceof Exit) return error.status;
    throw error;
  }
}
