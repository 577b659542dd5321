// The page as players use it, in each engine a phone runs (tests/browser.mjs):
// dialogues typed line by line against the model, the coupons kept, the
// restart, any bytes, 500 rows and Ctrl-D, no page error, no sideways scroll,
// axe-core, offline with the server stopped, and a changed page reaching a
// returning player; with the keyboard up, in two tabs, beside other apps. In
// Chromium also the keyboard's settings, every request made, installability
// and the printed page. Saves phone screenshots per engine, keyboard down and up.
// Usage: node tests/browser_test.mjs PAGE_FOLDER SCREENSHOT_FOLDER [ENGINE...]
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import fs from "node:fs";
import { createRequire } from "node:module";
import os from "node:os";
import path from "node:path";
import { after, before, describe, test } from "node:test";
import { ENGINES, open, PHONE, serve } from "./browser.mjs";

const [folder, shots, ...engines] = process.argv.slice(2);
fs.mkdirSync(shots, { recursive: true });
const axe = fs.readFileSync(createRequire(import.meta.url).resolve("axe-core/axe.min.js"), "utf8");
const QUESTION = /(ystem\?|enter!)\n$/;
// The marks of each row in the console's text, 13 a row.
const rowsIn = (shown) => [...shown.matchAll(/^Tipsmatch \d+: +(\S+)$/gm)].map((found) => found[1])
  .flatMap((mark, i, marks) => (i % 13 === 0 ? [marks.slice(i, i + 13)] : []));
// A coupon's cells for these marks: the match's number and its boxes 1, X, 2.
const cellsOf = (marks) => marks.map((mark, match) => [`${match + 1}`,
  ...["1", "x", "2"].map((outcome) => (mark.includes(outcome) ? outcome.toUpperCase() : ""))]);

// The model's transcripts, one per seed, of `rows` ([half, full] each, as
// typed, answered n until the last, answered q) with each answer echoed where
// typed.
function model(seeds, rows) {
  return JSON.parse(execFileSync("python3", ["-c", `
import json, sys
from tipsrad_model import *
parts = []
for answers in json.load(sys.stdin):
    # Twelve digits are beyond 32 bits already.
    half, full = (max(-2**31, min(int(answer[:12]), 2**31 - 1)) for answer in answers)
    after_half, after_full = warnings_for(half, full)
    half_line, full_line = (answer.encode() + b"\\n" for answer in answers)
    parts += [ASK_HALF, half_line, *after_half, ASK_FULL, full_line, *after_full,
              Row(half, full), b"n\\n"]
print(json.dumps([expected(seed, parts[:-1] + [b"q\\n", FAREWELL]).decode()
                  for seed in map(int, sys.argv[1:])]))`, ...seeds.map(String)],
  { cwd: new URL(".", import.meta.url), encoding: "utf8", input: JSON.stringify(rows),
    maxBuffer: 1 << 26 }));
}

// The worker's cache as the page in `dir` names it, as built or, with
// `finish`, as the build names it for the files there now.
function cacheIn(dir, finish = false) {
  const script = new URL("../cmake/page_cache.cmake", import.meta.url).pathname;
  if (finish) execFileSync("cmake", [`-DPAGE=${dir}`, "-P", script]);
  return /const CACHE = `(\S*) /.exec(fs.readFileSync(path.join(dir, "sw.js"), "utf8"))[1];
}

test("a change to any file the worker keeps names its cache anew", () => {
  const copy = fs.mkdtempSync(path.join(os.tmpdir(), "tipsrad-page-"));
  fs.cpSync(folder, copy, { recursive: true });
  assert.equal(cacheIn(copy, true), cacheIn(folder));
  for (const name of fs.readdirSync(folder).filter((file) => file !== "sw.js")) {
    fs.appendFileSync(path.join(copy, name), " ");
    assert.notEqual(cacheIn(copy, true), cacheIn(folder), name);
    fs.copyFileSync(path.join(folder, name), path.join(copy, name));
  }
});

// Page A, on the host for a day, and page B, of the same version, with its
// title and the page's host changed and its worker made anew.
function releases() {
  const root = fs.mkdtempSync(path.join(os.tmpdir(), "tipsrad-releases-"));
  const [a, b] = [path.join(root, "a"), path.join(root, "b")];
  fs.cpSync(folder, a, { recursive: true });
  fs.cpSync(folder, b, { recursive: true });
  const dayAgo = new Date(Date.now() - 86400000);
  for (const name of fs.readdirSync(a)) fs.utimesSync(path.join(a, name), dayAgo, dayAgo);
  const edit = (name, change) => fs.writeFileSync(path.join(b, name),
    change(fs.readFileSync(path.join(b, name), "utf8")));
  edit("index.html", (text) => text.replace("<title>tipsrad</title>", "<title>tipsrad B</title>"));
  edit("wasi.js", (text) => `${text}// B\n`);
  return [a, b, cacheIn(b, true)];
}

for (const engine of engines.length ? engines : ENGINES) {
  describe(engine, () => {
    let driver;
    let site;
    const problems = [];  // Chromium's failed or foreign requests
    const text = () => driver.run(() => document.getElementById("console").textContent);
    async function waitFor(fn, ...args) {
      for (const end = Date.now() + 60000; Date.now() < end;) {
        if (await driver.run(fn, ...args).catch(() => false)) return;
        await new Promise((resolve) => setTimeout(resolve, 50));
      }
      assert.fail(`timed out waiting in ${engine}: ${fn}`);
    }
    // A question asked and in view: the console at its end, its last line and
    // the answer line on the screen.
    const waitForQuestion = () => waitFor((source) => {
      const shown = document.getElementById("console");
      return new RegExp(source).test(shown?.textContent) &&
        shown.scrollTop + shown.clientHeight >= shown.scrollHeight - 1 &&
        shown.getBoundingClientRect().bottom >= 22 &&
        document.getElementById("answer").getBoundingClientRect().bottom <= innerHeight;
    }, QUESTION.source);
    const lineTop = () => driver.run(() => Math.round(document.getElementById("answer")
      .getBoundingClientRect().top + scrollY));  // on the page, wherever it is scrolled
    // Types `line` and sends it; returns what the answer line took (WebKit's
    // takes at most 524,288 characters).
    async function answer(line) {
      await waitForQuestion();
      const sent = await driver.run((value) => {
        const input = document.getElementById("answer");
        input.value = value;
        return input.value;
      }, line);
      await driver.press("Enter");
      return sent;
    }
    // The coupons shown, newest first: [caption, cells of each match].
    const coupons = () => driver.run(() => [...document.querySelectorAll("#coupons li")]
      .map((item) => [item.querySelector("caption").textContent, [...item.querySelector("tbody")
        .rows].map((row) => [...row.cells].map((cell) => cell.textContent))]));
    const tap = (selector) => driver.run((button) => {  // focused and clicked, as by a finger
      document.querySelector(button).focus();
      document.querySelector(button).click();
    }, selector);
    const listed = async (count) => {  // once there are `count`
      await waitFor((n) => document.querySelectorAll("#coupons li").length === n, count);
      return coupons();
    };
    // The newest coupon holds the console's last row as Kupong `number`,
    // captioned `size` where the answers fix it; the answer line is in view,
    // the buttons a finger's height, and nothing scrolls sideways.
    async function checkCoupon(number, size) {
      await waitFor((at) => document.querySelector("#coupons caption")?.textContent
        .startsWith(at), `Kupong ${number} `);
      const [[caption, cells]] = await coupons();
      const marks = rowsIn(await text()).at(-1);
      assert.deepEqual(cells, cellsOf(marks));
      const count = marks.reduce((product, mark) => product * mark.length, 1);
      const rows = `${count}${count === 1 ? "rad" : "rader"}`;
      assert.equal(caption.replaceAll(" ", ""), `Kupong${number}·${rows}`);
      if (size) assert.equal(caption, `Kupong ${number} · ${size}`);
      assert.ok(await driver.run(() => document.getElementById("answer").getBoundingClientRect()
        .bottom <= innerHeight && document.documentElement.scrollWidth <= innerWidth &&
        [...document.querySelectorAll("#coupons button")].every((one) => one.offsetHeight >= 44)));
      assert.ok(await driver.run(() => {  // whole once scrolled to, in no box that scrolls
        const section = document.getElementById("coupons");
        section.querySelector("li").scrollIntoView(false);
        const { top, bottom } = section.querySelector("li").getBoundingClientRect();
        scrollTo(0, 0);
        return top >= 0 && bottom <= innerHeight && section.scrollHeight <= section.clientHeight;
      }));
    }
    async function ended() {
      await waitFor(() => !document.getElementById("restart").hidden);
      return driver.run(() => document.getElementById("status").textContent);
    }
    // Starts the program (a new page, or the restart button): the seeds its
    // clock may have read, pinned or from the start's window of seconds.
    async function start(how) {
      const first = Math.floor(Date.now() / 1000);
      await how();
      await waitForQuestion();
      if (driver.pinClock) return [1];
      const length = Math.floor(Date.now() / 1000) - first + 1;
      return Array.from({ length }, (_, i) => first + i);
    }

    before(async () => {
      site = await serve(folder);
      driver = await open(engine);
      await driver.pinClock?.(1000);  // the seed 1, in milliseconds
      driver.page?.on("requestfailed", (request) => problems.push(`failed: ${request.url()}`));
      driver.page?.on("response", (response) => {
        if (!response.ok()) problems.push(`${response.status()}: ${response.url()}`);
      });
      driver.page?.on("request", (request) => {
        if (!request.url().startsWith(site.url)) problems.push(`foreign: ${request.url()}`);
      });
    });
    after(async () => {
      await driver?.close();
      site?.stop();
    });

    const drawn = [];  // the marks of each row drawn, in turn
    test("dialogues typed line by line read as the model's, anew or restarted", async () => {
      const dialogues = [[[2, 1, "12 rader"]],
        [[14, 0, "8 192 rader"], [-1, 0, "1 rad"], [-5, 15]],
        [[10, 5], [5, -3], [0, 13, "1 594 323 rader"], ["7".repeat(20000), 0, "8 192 rader"],
          [2, "9".repeat(1e6)]]];
      for (const [i, rows] of dialogues.entries()) {
        const seeds = await start(i === 0 ? () => driver.goto(site.url)
          : () => driver.run(() => document.getElementById("restart").click()));
        assert.equal(await driver.run(() => document.activeElement.id), "answer");
        // A first visit shows no list, and the answer line stays put as the first
        // coupon comes. The second dialogue is typed with the keyboard up, each
        // row's last answer sent with it put away, which brings it up again.
        const top = await lineTop();
        const listShown = () => document.getElementById("coupons").getClientRects().length;
        if (i === 0) assert.equal(await driver.run(listShown), 0);
        await driver.resize(PHONE[0], i === 1 ? 508 : PHONE[1]);
        const sent = [];
        for (const [row, [half, full, size]] of rows.entries()) {
          sent.push([await answer(`${half}`), await answer(`${full}`)]);
          await waitForQuestion();
          await checkCoupon(drawn.length + row + 1, size);
          if (i === 0) assert.equal(await lineTop(), top);
          if (i === 1) await driver.resize(...PHONE);
          await answer(row === rows.length - 1 ? "q" : "n");
          if (i === 1 && row < rows.length - 1) {
            await waitForQuestion();
            await driver.resize(PHONE[0], 508);
          }
        }
        assert.equal(await ended(), "Programmet har avslutats.");
        await driver.resize(...PHONE);
        const transcripts = model(seeds, sent);
        const shown = await text();
        assert.equal(shown, transcripts.find((transcript) => transcript === shown) ??
          transcripts[0]);
        assert.equal(await driver.run(() => document.getElementById("answer").disabled), true);
        drawn.push(...rowsIn(shown));
      }
    });

    test("coupons kept, shared, removed, in two tabs, corrupted, storage failing", async () => {
      const lines = (await text()).match(/^Tipsmatch .*$/gm).slice(-13);
      await start(() => driver.reload());
      const kept = await listed(drawn.length);
      assert.deepEqual(kept.map(([, cells]) => cells), drawn.map(cellsOf).reverse());
      const shared = await driver.run(async () => {
        const seen = [];
        const replace = (name, value) =>
          Object.defineProperty(navigator, name, { value, configurable: true });
        replace("share", async (data) => seen.push(data.text));
        document.querySelector("#coupons .share").click();
        replace("share", undefined);
        replace("clipboard", { writeText: async (copied) => seen.push(copied) });
        document.querySelector("#coupons .share").click();
        await new Promise((resolve) => setTimeout(resolve, 100));
        return [...seen, document.getElementById("status").textContent];
      });
      const sharedText = [kept[0][0], ...lines].join("\n");
      assert.deepEqual(shared, [sharedText, sharedText, `Kupong ${drawn.length} är kopierad.`]);
      await driver.run(() => {
        window.print = () => { window.printed = true; };
        document.getElementById("print").click();
      });
      assert.equal(await driver.run(() => window.printed), true);
      // The copied-message goes with the next row. After "Ta bort" the focus is on
      // the list, on the answer line once that is empty, which never moves.
      const where = async () => [...await driver.run(() => [document.activeElement
        .closest("#coupons li") ? "list" : document.activeElement.id,
      document.getElementById("status").textContent]), await lineTop()];
      const top = await lineTop();
      for (const line of ["0", "0"]) await answer(line);
      await checkCoupon(drawn.length + 1);
      await tap("#coupons .remove");
      await listed(kept.length);
      assert.deepEqual(await where(), ["list", "", top]);
      await tap("#coupons .remove");
      await start(() => driver.reload());  // right after the removal
      const captions = (list) => list.map(([caption]) => caption);
      assert.deepEqual(captions(await listed(kept.length - 1)), captions(kept.slice(1)));
      // Two tabs drawing 40 rows each at one moment, told on a channel, lose none,
      // nor is a row drawn right before a reload lost.
      const armed = (line) => {
        window.both = new BroadcastChannel("both");
        window.both.onmessage = () => {
          document.getElementById("answer").value = line;
          document.getElementById("send").click();
        };
      };
      const other = await driver.tab(site.url);
      await other.run(armed, `0 0 ${"n 0 0 ".repeat(39)}`);
      await driver.run(armed, `0 0 ${"n 0 0 ".repeat(39)}`);
      await driver.run(() => new BroadcastChannel("both").postMessage(""));
      await listed(kept.length - 1 + 80);
      await other.close();
      await driver.run(() => {  // the list busy until the reload, as in another tab's change
        indexedDB.open("tipsrad").onsuccess = ({ target }) => {
          const store = target.result.transaction("lists", "readwrite").objectStore("lists");
          (function busy() { store.get(0).onsuccess = busy; })();
        };
      });
      for (const line of ["n", "0", "0"]) await answer(line);
      await start(() => driver.reload());
      await listed(kept.length + 80);
      for (const [yes, left] of [[false, kept.length + 80], [true, 0]]) {
        await driver.run((confirmed) => { window.confirm = () => confirmed; }, yes);
        await tap("#clear");
        await listed(left);
      }
      assert.deepEqual(await where(), ["answer", "", top]);
      const unreadable = '{"next": 2, "coupons": [1]}';  // kept by an earlier page
      await driver.run((text) => new Promise((resolve) => {
        localStorage.setItem("tipsrad-coupons", text);
        indexedDB.deleteDatabase("tipsrad").onsuccess = resolve;
      }), unreadable);
      await start(() => driver.reload());
      await waitFor((said) => document.getElementById("status").textContent === said,
        "Sparade kuponger som inte gick att läsa har tagits bort.");
      await answer("0");
      await answer("0");
      await waitForQuestion();
      await checkCoupon(1, "1 rad");
      await tap("#coupons .remove");
      await listed(0);
      assert.equal((await where())[0], "answer");
      await driver.run(() => {  // the store failing, as when the quota is full
        IDBObjectStore.prototype.put = function put() {
          this.transaction.abort();
        };
      });
      await answer("n");
      await answer("0");
      await answer("0");
      await waitForQuestion();
      await checkCoupon(1, "1 rad");
      assert.equal((await where())[1], "Kupongerna sparas inte i den här webbläsaren.");
      await answer("q");
      await ended();
    });

    test("any bytes, a long line, 500 rows and Ctrl-D, no sideways scroll", async () => {
      await start(() => driver.run(() => document.getElementById("restart").click()));
      await answer(`å😀 Q${"9".repeat(100000)}`);
      await waitForQuestion();  // what follows a long line is laid out apart from it
      assert.ok(await driver.run(() => document.querySelector("#console > :last-child")
        .textContent.length < 1000));
      await answer(`1 n ${"0 0 n ".repeat(499)}`);
      await waitFor(() => document.getElementById("console").textContent
        .split("Tipsmatch 13").length === 501);
      // The newest 100 kept, the numbers going on.
      await checkCoupon(501, "1 rad");
      const captions = (await coupons()).map(([caption]) => caption.split(" ·")[0]);
      assert.deepEqual([captions.length, captions[0], captions[99]],
        [100, "Kupong 501", "Kupong 402"]);
      await answer("");
      await driver.press("Control+d");
      assert.equal(await ended(), "Programmet har avslutats.");
      assert.match(await text(), /ystem\?\n\nquitting menu\n$/);
      assert.ok(await driver.run(() => document.documentElement.scrollWidth <= innerWidth));
    });

    test("no WCAG 2.1 A or AA violation, no page error, and a screenshot", async () => {
      await driver.evaluate(axe);
      const found = await driver.run(() => axe
        .run({ runOnly: ["wcag2a", "wcag2aa", "wcag21a", "wcag21aa"] })
        .then((result) => result.violations.map((violation) => violation.id)));
      assert.deepEqual(found, []);
      assert.deepEqual(await driver.errors(), []);
      await driver.screenshot(`${shots}/page-phone-${engine}.png`);
      await driver.resize(PHONE[0], 508);  // with the keyboard up
      await driver.screenshot(`${shots}/page-phone-keyboard-${engine}.png`);
      await driver.resize(...PHONE);
    });

    const chromiumOnly = { skip: engine !== "chromium" };
    test("the keyboard, every request, installing, print (Chromium)", chromiumOnly, async () => {
      const line = await driver.run(() => {
        const input = document.getElementById("answer");
        return [input.getAttribute("autocapitalize"), input.getAttribute("autocorrect"),
          input.spellcheck, input.getAttribute("autocomplete"),
          parseFloat(getComputedStyle(input).fontSize) >= 16, input.labels.length];
      });
      assert.deepEqual(line, ["off", "off", false, "off", true, 1]);
      const cdp = await driver.page.createCDPSession();
      assert.deepEqual((await cdp.send("Page.getInstallabilityErrors")).installabilityErrors, []);
      const touchIcon = await driver.run(() => fetch(
        document.querySelector("link[rel=apple-touch-icon]").href)
        .then((response) => response.blob()).then(createImageBitmap)
        .then((image) => [image.width, image.height]));
      assert.deepEqual(touchIcon, [180, 180]);
      assert.deepEqual(problems, []);
      await driver.page.emulateMediaType("print");
      const printed = await driver.run(() => ["coupons", "screen", "print", "clear"]
        .map((id) => getComputedStyle(document.getElementById(id)).display));
      assert.deepEqual(printed, ["block", "none", "none", "none"]);
      await driver.page.emulateMediaType(null);
      // Still a touch screen, as a change of that would reload the page.
      await driver.page.setViewport({ width: 1280, height: 800, isMobile: true, hasTouch: true });
      await driver.screenshot(`${shots}/page-desktop.png`);
      await driver.resize(...PHONE);
    });

    test("offline with the server stopped, beside another app and another copy", async () => {
      await waitFor(() => navigator.serviceWorker.controller !== null);
      await driver.run(() => caches.open("other-app-v1"));
      site.copy = releases()[1];
      const copy = new URL("../kopia/", site.url).href;
      await start(() => driver.goto(copy));
      await waitFor(() => navigator.serviceWorker.controller !== null);
      site.stop();
      for (const url of [copy, site.url]) {
        await start(() => driver.goto(url));
        assert.match(await text(), /^Hur manga halv-garderingar/);
      }
      assert.equal(await driver.run(() => caches.has("other-app-v1")), true);
    });

    test("a changed page in place reaches a returning player within two reloads", async () => {
      const [a, b, cacheB] = releases();
      const host = await serve(a, { gzipEncoded: true });
      try {
        await start(() => driver.goto(host.url));
        await waitFor(() => navigator.serviceWorker.controller !== null);
        host.folder = b;
        await start(() => driver.reload());
        await waitFor((name) => caches.keys().then((names) => names.join() === name),
          `${cacheB} ${host.url}`);
        await start(() => driver.reload());
        const seen = await driver.run(async () => [document.title,
          (await (await fetch("wasi.js")).text()).endsWith("// B\n"), await caches.keys()]);
        assert.deepEqual(seen, ["tipsrad B", true, [`${cacheB} ${host.url}`]]);
        host.stop();
        await start(() => driver.reload());
        assert.equal(await driver.run(() => document.title), "tipsrad B");
        assert.deepEqual(await driver.errors(), []);  // nor since the screenshot
      } finally {
        host.stop();
      }
    });
  });
}
