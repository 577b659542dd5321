// The page's weight, every file as served and gzipped, and the time from
// navigation to the first question in headless Chromium: a fresh browser
// context each time, so each is a first visit; median of 10. Then
// Lighthouse's audit, as a phone on slow 4G sees the page (its default,
// simulated) from a plain static server that compresses nothing: the median
// of three runs. Reported against the budgets, not enforced: the timings
// move with the machine's load.
// Usage: node bench/page_bench.mjs PAGE_FOLDER
import { spawn } from "node:child_process";
import fs from "node:fs";
import path from "node:path";
import zlib from "node:zlib";
import lighthouse from "lighthouse";
import { launch, serve } from "../tests/browser.mjs";

const folder = process.argv[2];
const budgets = { firstQuestion: 500, lcp: 1500, tbt: 50, transfer: 85000, performance: 99 };
const kb = (n) => (n / 1000).toFixed(1);
for (const name of fs.readdirSync(folder).sort()) {
  const content = fs.readFileSync(path.join(folder, name));
  const gzipped = zlib.gzipSync(content, { level: 9 }).length;
  console.log(`${name.padEnd(22)} ${kb(content.length).padStart(6)} KB, ${kb(gzipped)} gzipped`);
}

const browser = await launch();
const site = await serve(folder);
const times = [];
for (let run = 0; run < 10; ++run) {
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  const start = performance.now();
  await page.goto(site.url, { waitUntil: "domcontentloaded" });
  await page.waitForFunction(() => document.getElementById("console")?.textContent
    .includes("ystem?"), { polling: "mutation" });
  times.push(performance.now() - start);
  await context.close();
}
site.stop();
const median = (values) => values.sort((a, b) => a - b)[Math.floor(values.length / 2)];
const firstQuestion = median(times);
console.log(`first question after ${firstQuestion.toFixed(0)} ms (median of 10; ` +
  `${times[0].toFixed(0)} to ${times[9].toFixed(0)} ms)`);

const port = 8000 + Math.floor(Math.random() * 1000);
const server = spawn("python3", ["-m", "http.server", port, "--bind", "127.0.0.1",
  "--directory", folder], { stdio: "ignore" });
const url = `http://127.0.0.1:${port}/`;
while (!(await fetch(url).then(() => true, () => false))) {
  await new Promise((resolve) => setTimeout(resolve, 100));
}
const runs = [];
for (let run = 0; run < 3; ++run) {
  const { lhr } = await lighthouse(url, { port: Number(new URL(browser.wsEndpoint()).port),
    logLevel: "error" });
  runs.push(lhr);
}
server.kill();
await browser.close();
const of = (score) => median(runs.map(score));
const audit = (name) => of((lhr) => lhr.audits[name].numericValue);
const scores = Object.fromEntries(Object.keys(runs[0].categories)
  .map((id) => [id, of((lhr) => Math.round(lhr.categories[id].score * 100))]));
const [lcp, tbt, transfer] = ["largest-contentful-paint", "total-blocking-time",
  "total-byte-weight"].map(audit);
console.log(`Lighthouse ${runs[0].lighthouseVersion}, ${runs[0].configSettings.formFactor}, ` +
  `python3 -m http.server, median of 3: ${Object.entries(scores)
    .map(([id, score]) => `${id} ${score}`).join(", ")}; largest contentful paint ` +
  `${(lcp / 1000).toFixed(2)} s, total blocking time ${tbt.toFixed(0)} ms, ` +
  `transfer ${kb(transfer)} KB`);
const met = firstQuestion <= budgets.firstQuestion && lcp <= budgets.lcp &&
  tbt <= budgets.tbt && transfer <= budgets.transfer &&
  scores.performance >= budgets.performance &&
  Object.entries(scores).every(([id, score]) => id === "performance" || score === 100);
console.log(`budgets (first question ${budgets.firstQuestion} ms; LCP ${budgets.lcp} ms, ` +
  `TBT ${budgets.tbt} ms, transfer ${kb(budgets.transfer)} KB, performance ` +
  `${budgets.performance}, the rest 100): ${met ? "met" : "over"}`);
