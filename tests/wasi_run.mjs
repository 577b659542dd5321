// Runs a WASI module under Node through the page's own host (web/wasi.js),
// as qemu-user runs the other platforms' programs: standard input, output and
// error are the process's, each read waits as it does in the page, and the
// clock is pinned to TIPSRAD_TEST_TIME seconds where that is set. Input is
// handed over a byte at a time, each as a promise, so the program waits (its
// stack unwound and rewound) at every byte it reads, wherever the read
// happens to be. Nothing else is at work while it waits, so the read itself
// blocks: a million bytes take seconds, not minutes.
// Usage: node tests/wasi_run.mjs PROGRAM.wasm
import fs from "node:fs";
import { runCommand } from "../web/wasi.js";

const pinned = process.env.TIPSRAD_TEST_TIME;
const chunk = Buffer.alloc(1);
process.exitCode = await runCommand(await WebAssembly.compile(fs.readFileSync(process.argv[2])), {
  read: () => Promise.resolve(chunk.slice(0, fs.readSync(0, chunk))),
  write: (fd, bytes) => {
    for (let at = 0; at < bytes.length;) at += fs.writeSync(fd, bytes, at);
  },
  now: () => (pinned === undefined ? Date.now() : Number(pinned) * 1000),
});
