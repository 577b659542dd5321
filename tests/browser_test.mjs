// The page in Debian's Chromium, as a player on a phone uses it: dialogues
// typed line by line against the model (the clock pinned from the test's
// side), the keyboard's settings, the width, the restart, offline use, the
// requests made, and axe-core. Saves a phone and a desktop screenshot.
// Usage: node tests/browser_test.mjs PAGE_FOLDER SCREENSHOT_FOLDER
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import fs from "node:fs";
import { createRequire } from "node:module";
import test from "node:test";
import { launch, serve } from "./browser.mjs";

const [folder, shots] = process.argv.slice(2);
fs.mkdirSync(shots, { recursive: true });
const axe = fs.readFileSync(createRequire(import.meta.url).resolve("axe-core/axe.min.js"), "utf8");
const QUESTION = /(ystem\?|enter!)\n$/;

// The model's transcript of `rows` ([half, full] each, answered n until the
// last, answered q) with each answer echoed where it was typed.
function model(seed, rows) {
  return execFileSync("python3", ["-c", `
import json, sys
from tipsrad_model import *
parts = []
for half, full in json.loads(sys.argv[1]):
    after_half, after_full = warnings_for(half, full)
    parts += [ASK_HALF, b"%d\\n" % half, *after_half, ASK_FULL, b"%d\\n" % full, *after_full,
              Row(half, full), b"n\\n"]
sys.stdout.buffer.write(expected(${seed}, parts[:-1] + [b"q\\n", FAREWELL]))`,
  JSON.stringify(rows)], { cwd: new URL(".", import.meta.url), encoding: "utf8" });
}

const { server, url } = await serve(folder);
const browser = await launch();
const page = await browser.newPage();
const problems = [];
page.on("pageerror", (error) => problems.push(`page error: ${error.message}`));
page.on("requestfailed", (request) => problems.push(`failed: ${request.url()}`));
page.on("response", (response) => {
  if (!response.ok()) problems.push(`${response.status()}: ${response.url()}`);
});
page.on("request", (request) => {
  if (!request.url().startsWith(url)) problems.push(`foreign: ${request.url()}`);
});
await page.setViewport({ width: 360, height: 740, isMobile: true, hasTouch: true });
await page.evaluateOnNewDocument(() => {
  const pinned = 1000;  // the seed 1, in milliseconds
  Date.now = () => pinned;
});

const text = () => page.$eval("#console", (element) => element.textContent);
async function waitForQuestion() {
  await page.waitForFunction((source) => new RegExp(source).test(
    document.getElementById("console").textContent), {}, QUESTION.source);
}
async function answer(line) {
  await waitForQuestion();
  await page.$eval("#answer", (input, value) => { input.value = value; }, line);
  await page.keyboard.press("Enter");
}
async function ended() {
  await page.waitForSelector("#restart:not([hidden])");
  return page.$eval("#status", (element) => element.textContent);
}

test.after(async () => {
  await browser.close();
  server.close();
});

test("the first question, with the answer line focused and set for phones", async () => {
  await page.goto(url);
  await waitForQuestion();
  const line = await page.$eval("#answer", (input) => [document.activeElement === input,
    input.getAttribute("autocapitalize"), input.getAttribute("autocorrect"), input.spellcheck,
    input.getAttribute("autocomplete"), parseFloat(getComputedStyle(input).fontSize) >= 16,
    input.labels.length]);
  assert.deepEqual(line, [true, "off", "off", false, "off", true, 1]);
  assert.equal(await page.$eval("link[rel=manifest]", (link) => link.href), `${url}manifest.webmanifest`);
});

test("dialogues typed line by line read as the model's", async () => {
  for (const rows of [[[2, 1]], [[14, 0], [-1, 0], [-5, 15]], [[10, 5], [5, -3]]]) {
    await page.click("#restart").catch(() => {});
    const lines = rows.flatMap(([half, full], i) => [`${half}`, `${full}`, i === rows.length - 1 ? "q" : "n"]);
    for (const line of lines) await answer(line);
    assert.equal(await ended(), "Programmet har avslutats (status 0).");
    assert.equal(await text(), model(1, rows));
    assert.equal(await page.$eval("#answer", (input) => input.disabled), true);
  }
});

test("any bytes, a long line, 500 rows and Ctrl-D", async () => {
  await page.click("#restart");
  assert.equal(await page.evaluate(() => document.activeElement.id), "answer");
  await answer(`å😀 Q${"9".repeat(100000)}`);
  await answer(`1 n ${"0 0 n ".repeat(499)}`);
  await page.waitForFunction(() => document.getElementById("console").textContent
    .split("Tipsmatch 13").length === 501);
  await answer("");
  await page.keyboard.down("Control");
  await page.keyboard.press("d");
  await page.keyboard.up("Control");
  assert.equal(await ended(), "Programmet har avslutats (status 0).");
  assert.match(await text(), /ystem\?\n\nquitting menu\n$/);
  assert.ok(await page.evaluate(() => document.documentElement.scrollWidth <= innerWidth));
});

test("no WCAG 2.1 A or AA violation, and screenshots", async () => {
  await page.evaluate(axe);
  const found = await page.evaluate(() => axe.run({ runOnly: ["wcag2a", "wcag2aa", "wcag21a", "wcag21aa"] }));
  assert.deepEqual(found.violations.map((violation) => violation.id), []);
  await page.screenshot({ path: `${shots}/page-phone.png` });
  await page.setViewport({ width: 1280, height: 800 });
  await page.screenshot({ path: `${shots}/page-desktop.png` });
  await page.setViewport({ width: 360, height: 740, isMobile: true, hasTouch: true });
});

test("no failed or foreign request, and offline after the first visit", async () => {
  assert.deepEqual(problems, []);
  await page.evaluate(() => navigator.serviceWorker.ready);
  await page.setOfflineMode(true);
  await page.reload();
  await waitForQuestion();
  assert.match(await text(), /^Hur manga halv-garderingar/);
});
