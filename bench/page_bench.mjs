// The page's weight, every file as served and gzipped, and the time from
// navigation to the first question in headless Chromium: a fresh browser
// context each time, so each is a first visit; median of 10. Then
// Lighthouse's scores, as a phone on slow 4G sees the page (its default,
// simulated). Reported against the budgets (400 KB, 150 KB gzipped, 500 ms;
// performance 98, largest contentful paint 2.0 s), not enforced: the timings
// move with the machine's load.
// Usage: node bench/page_bench.mjs PAGE_FOLDER
import fs from "node:fs";
import path from "node:path";
import zlib from "node:zlib";
import lighthouse from "../tests/node_modules/lighthouse/core/index.js";
import { launch, serve } from "../tests/browser.mjs";

const folder = process.argv[2];
let bytes = 0;
let packed = 0;
for (const name of fs.readdirSync(folder).sort()) {
  const content = fs.readFileSync(path.join(folder, name));
  const gzipped = zlib.gzipSync(content, { level: 9 }).length;
  console.log(`${name.padEnd(22)} ${String(content.length).padStart(8)} B ${String(gzipped).padStart(8)} B gzipped`);
  bytes += content.length;
  packed += gzipped;
}
console.log(`${"in all".padEnd(22)} ${(bytes / 1000).toFixed(1).padStart(8)} KB ${(packed / 1000).toFixed(1).padStart(6)} KB gzipped`);

const site = await serve(folder);
const { url } = site;
const browser = await launch();
const times = [];
for (let run = 0; run < 10; ++run) {
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  const start = performance.now();
  await page.goto(url, { waitUntil: "domcontentloaded" });
  await page.waitForFunction(() => document.getElementById("console")?.textContent
    .includes("ystem?"), { polling: "mutation" });
  times.push(performance.now() - start);
  await context.close();
}
const { lhr } = await lighthouse(url, { port: Number(new URL(browser.wsEndpoint()).port),
  logLevel: "error" });
await browser.close();
site.stop();
times.sort((a, b) => a - b);
const median = (times[4] + times[5]) / 2;
console.log(`first question after ${median.toFixed(0)} ms (median of 10; ${times[0].toFixed(0)} to ${times[9].toFixed(0)} ms)`);
console.log(`Lighthouse ${lhr.lighthouseVersion}, ${lhr.configSettings.formFactor}: ${Object.values(lhr.categories)
  .map((category) => `${category.title.toLowerCase()} ${Math.round(category.score * 100)}`).join(", ")}; ` +
  `largest contentful paint ${lhr.audits["largest-contentful-paint"].displayValue}`);
const met = bytes <= 400000 && packed <= 150000 && median <= 500 &&
  lhr.categories.performance.score >= 0.98 && lhr.audits["largest-contentful-paint"].numericValue <= 2000;
console.log(`budgets: ${met ? "met" : "over"}`);
