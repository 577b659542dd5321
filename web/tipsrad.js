// The page as tipsrad's console: the program's output and the player's lines
// in #console, exactly as a terminal shows them; the answer line feeds its
// standard input one line at a time, as a terminal does. Beside it, the
// player's coupons.
import { runCommand } from "./wasi.js";

const screen = document.getElementById("console");
const form = document.getElementById("line");
const answer = document.getElementById("answer");
const send = document.getElementById("send");
const status = document.getElementById("status");
const restart = document.getElementById("restart");
// The coupons' script, the icons, the manifest and the offline copy are
// fetched a moment after the program's first words are shown (a frame is not
// always enough for them to be painted), so that on a first visit nothing
// shares the line with the module and the page's first files. What the list
// is told meanwhile waits for it, in turn; if its script cannot be had, the
// program still runs.
let loadCoupons;
const list = new Promise((resolve) => { loadCoupons = resolve; })
  .then(() => import("./coupons.js"))
  .then(({ couponsOf }) => couponsOf(document.getElementById("coupons"),
    document.getElementById("coupon"), (text) => { status.textContent = text; }, answer))
  .catch(() => {
    status.textContent = "Kupongerna kunde inte laddas.";
    return { restart() {}, read() {} };
  });
const coupons = {
  restart: () => list.then((kept) => kept.restart()),
  read: (text) => list.then((kept) => kept.read(text)),
};
let fetchedLater = false;
function fetchLater() {
  loadCoupons();
  document.head.append(document.getElementById("later").content);
  navigator.serviceWorker?.register("sw.js").catch(() => {});
}

// The module, compiled as it arrives, neither step holding the page: gzipped
// where the browser can decompress it, and then whether or not the host has
// already undone the gzip in sending it (a .gz file as Content-Encoding:
// gzip), as its first two bytes tell; elsewhere as it is.
async function compile() {
  if (!self.DecompressionStream) {
    return WebAssembly.compile(await (await fetch("tipsrad.wasm")).arrayBuffer());
  }
  const reader = (await fetch("tipsrad.wasm.gz")).body.getReader();
  let head = new Uint8Array(0);
  while (head.length < 2) {
    const { done, value } = await reader.read();
    if (done) break;
    const joined = new Uint8Array(head.length + value.length);
    joined.set(head);
    joined.set(value, head.length);
    head = joined;
  }
  let body = new ReadableStream({
    start: (controller) => controller.enqueue(head),
    async pull(controller) {
      const { done, value } = await reader.read();
      if (done) controller.close();
      else controller.enqueue(value);
    },
  });
  const gzipped = head[0] === 0x1f && head[1] === 0x8b;
  if (gzipped) body = body.pipeThrough(new DecompressionStream("gzip"));
  const type = { "Content-Type": "application/wasm" };
  return WebAssembly.compileStreaming(new Response(body, { headers: type }));
}
const program = compile();
// A reload starts the program anew, at its first question; so the page starts
// at its top, where the question is, wherever it was scrolled to before.
history.scrollRestoration = "manual";

let lines = [];  // sent, not yet read: Uint8Arrays, an empty one for the end
let reader = null;  // the program's wait for a line, when it waits

// The text goes into blocks of about 2,000 characters (a hundred lines of the
// program's), each begun at a line's start, so that the browser lays out only
// the last block as text comes: not the whole session, nor again a long line
// typed earlier. The console's text is still the session's, unbroken.
// Scrolling waits for the next frame, so a burst of output costs one layout.
let block = null;
let blockLength = 0;
let atLineStart = true;
let scrolling = false;
function show(text) {
  if (!block || (blockLength > 2000 && atLineStart)) {
    block = screen.appendChild(document.createElement("div"));
    blockLength = 0;
  }
  block.append(text);
  if (!fetchedLater) setTimeout(fetchLater, 300);
  fetchedLater = true;
  blockLength += text.length;
  atLineStart = text.endsWith("\n");
  if (!scrolling) {
    scrolling = true;
    requestAnimationFrame(() => {
      scrolling = false;
      screen.scrollTop = screen.scrollHeight;
    });
  }
}

// The console stays at its end while it is there, also as its box changes
// size (the keyboard coming up or going, the phone turning), however the
// browser moves it meanwhile: only a scroll within one size tells.
let height = 0;
let atEnd = true;
screen.addEventListener("scroll", () => {
  if (screen.clientHeight === height) {
    atEnd = screen.scrollTop + screen.clientHeight >= screen.scrollHeight - 2;
  }
});
new ResizeObserver(() => {
  height = screen.clientHeight;
  if (atEnd) screen.scrollTop = screen.scrollHeight;
}).observe(screen);

function give(bytes) {
  if (reader) {
    reader(bytes);
    reader = null;
  } else {
    lines.push(bytes);
  }
}

function enable(on) {
  answer.disabled = send.disabled = !on;
  restart.hidden = on;
}

form.addEventListener("submit", (event) => {
  event.preventDefault();
  if (answer.disabled) return;
  show(`${answer.value}\n`);
  give(new TextEncoder().encode(`${answer.value}\n`));
  answer.value = "";
  answer.focus();
});

// Ctrl-D on an empty line ends the input, as in a terminal.
answer.addEventListener("keydown", (event) => {
  if (event.ctrlKey && event.key.toLowerCase() === "d" && answer.value === "") {
    event.preventDefault();
    give(new Uint8Array(0));
  }
});

async function start() {
  lines = [];
  reader = null;
  screen.replaceChildren();
  block = null;
  coupons.restart();
  enable(true);
  answer.focus();
  const decoder = new TextDecoder();
  try {
    const exit = await runCommand(await program, {
      read: () => lines.shift() ?? new Promise((resolve) => { reader = resolve; }),
      write(fd, bytes) {
        if (fd !== 1) {
          console.error(new TextDecoder().decode(bytes));
          return;
        }
        const text = decoder.decode(bytes, { stream: true });
        show(text);
        coupons.read(text);
      },
      now: Date.now,
    });
    status.textContent = exit === 0 ? "Programmet har avslutats."
      : `Programmet avslutades med ett fel (status ${exit}).`;
  } catch (error) {
    status.textContent = `Programmet kunde inte köras: ${error.message}`;
  }
  enable(false);
  restart.focus();
}

restart.addEventListener("click", () => {
  status.textContent = "";
  start();
});
start();
