// Shared by the browser test and the page benchmark: a static server for the
// page on 127.0.0.1 under a sub-path, as any static host would serve it, and
// one way to drive each engine a phone runs, from Debian's packages: Blink
// (chromium) and Gecko (firefox-esr) through puppeteer-core, WebKit
// (WebKitGTK's MiniBrowser) through its WebDriver, which needs a display
// (xvfb-run). Chromium's flags and the preferences puppeteer gives Firefox's
// profile turn off those browsers' own connections; MiniBrowser is only ever
// sent to the local page.
import { spawn } from "node:child_process";
import fs from "node:fs";
import http from "node:http";
import path from "node:path";
import puppeteer from "puppeteer-core";

const TYPES = { ".html": "text/html", ".js": "text/javascript", ".css": "text/css",
  ".svg": "image/svg+xml", ".png": "image/png", ".webmanifest": "application/manifest+json",
  ".wasm": "application/wasm", ".gz": "application/gzip" };
export const SUB_PATH = "/spel/tipsrad/";
const COPY_PATH = "/spel/kopia/";
export const ENGINES = ["chromium", "firefox", "webkit"];

// Serves `folder` at http://127.0.0.1:PORT/spel/tipsrad/ with each file's
// modification time, as a plain static host does, and with `gzipEncoded` a
// .gz file as gzip content encoding; site.folder may be changed (a new
// release in place), site.copy set to serve another folder at /spel/kopia/,
// and site.stop() takes the server away.
export async function serve(folder, { gzipEncoded = false } = {}) {
  const site = { folder };
  const server = http.createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, "http://x").pathname);
    const [root, at] = name.startsWith(COPY_PATH) ? [site.copy, COPY_PATH]
      : [site.folder, SUB_PATH];
    const file = root && name.startsWith(at) &&
      path.resolve(root, name.slice(at.length) || "index.html");
    const stat = file && file.startsWith(path.resolve(root))
      ? fs.statSync(file, { throwIfNoEntry: false }) : undefined;
    if (!stat?.isFile()) {
      response.writeHead(404).end();
      return;
    }
    response.writeHead(200, { "Content-Type": TYPES[path.extname(file)] ?? "text/plain",
      "Last-Modified": stat.mtime.toUTCString(),
      ...(gzipEncoded && file.endsWith(".gz") && { "Content-Encoding": "gzip" }) });
    response.end(fs.readFileSync(file));
  });
  await new Promise((resolve) => server.listen(0, "127.0.0.1", resolve));
  site.url = `http://127.0.0.1:${server.address().port}${SUB_PATH}`;
  site.stop = () => {
    server.close();
    server.closeAllConnections();
  };
  return site;
}

const CHROMIUM_ARGS = ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
  "--disable-background-networking", "--disable-component-update", "--disable-sync"];

export function launch() {
  return puppeteer.launch({ executablePath: process.env.CHROMIUM ?? "/usr/bin/chromium",
    headless: true, protocolTimeout: 60000, args: CHROMIUM_ARGS });
}

// A page of `engine` at a phone's size (or as near as the engine's window
// goes), as one interface:
//   goto(url), reload(); run(fn, ...args): fn's result in the page, awaited;
//   evaluate(source): a script's text run in the page by the driver, which
//     the page's policy does not bar;
//   press(key): "Enter" or "Control+d" to the focused element;
//   errors(): the page errors and policy violations since the last call
//     (WebKit's driver reports none, so they are caught in the page after
//     each load);
//   resize(width, height): the page's size, as a phone's keyboard or turning
//     changes it;
//   tab(url): another tab of the same browser at `url`, with run(fn, ...args)
//     and close();
//   screenshot(file); close();
//   pinClock(ms): Date.now in every page loaded after it, where the engine
//     allows it (not WebKit's driver, which has no scripts run before a page's
//     own);
//   page: the puppeteer page, for Chromium's own checks.
// A page's violations of its Content Security Policy, in its window.errors.
const VIOLATIONS = "window.errors ??= []; addEventListener('securitypolicyviolation', " +
  "(e) => errors.push(`policy: ${e.violatedDirective} ${e.blockedURI}`))";

export const PHONE = [390, 844];

export async function open(engine) {
  return engine === "webkit" ? openWebKit() : openPuppeteer(engine);
}

async function openPuppeteer(engine) {
  const browser = engine === "chromium" ? await launch() : await puppeteer.launch({
    browser: "firefox", executablePath: "/usr/bin/firefox-esr", headless: true,
    protocolTimeout: 60000 });
  const page = await browser.newPage();
  const touch = engine === "chromium" && { isMobile: true, hasTouch: true };
  const resize = (width, height) => page.setViewport({ width, height, ...touch });
  await resize(...PHONE);
  const errors = [];
  // Firefox fetches a page's icons itself, for its tab and the home screen,
  // and tells the page when a worker did not finish one (seen once in some
  // twenty runs under load, offline): the browser's fetch, not the page's.
  const browsers = /^Failed to load ‘\S+\.(png|svg)’\. A ServiceWorker .* unexpected error\.$/;
  page.on("pageerror", (error) => browsers.test(error.message) || errors.push(error.message));
  // Policy violations are caught in each page, from before its own scripts run.
  await page.evaluateOnNewDocument(VIOLATIONS);
  const collect = async () => errors.push(...await page.evaluate(() => window.errors ?? []));
  return {
    engine, page,
    errors: () => collect().then(() => errors.splice(0)),
    goto: (url) => collect().then(() => page.goto(url)),
    reload: () => collect().then(() => page.reload()),
    run: (fn, ...args) => page.evaluate(fn, ...args),
    evaluate: (source) => page.evaluate(source),
    resize,
    async press(key) {
      const keys = key.split("+");
      for (const held of keys.slice(0, -1)) await page.keyboard.down(held);
      await page.keyboard.press(keys.at(-1));
      for (const held of keys.slice(0, -1)) await page.keyboard.up(held);
    },
    async tab(url) {
      const other = await browser.newPage();
      await other.goto(url);
      return { run: (fn, ...args) => other.evaluate(fn, ...args), close: () => other.close() };
    },
    screenshot: (file) => page.screenshot({ path: file }),
    pinClock: (ms) => page.evaluateOnNewDocument((pinned) => { Date.now = () => pinned; }, ms),
    close: () => browser.close(),
  };
}

const MINIBROWSER = "/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser";
const KEYS = { "Enter": "\uE007", "Control+d": "\uE009d" };

async function openWebKit() {
  const port = 20000 + Math.floor(Math.random() * 20000);
  const driver = spawn("WebKitWebDriver", [`--port=${port}`], { stdio: "ignore" });
  const call = async (method, where, body) => {
    for (let tries = 0; ; ++tries) {
      try {
        const response = await fetch(`http://127.0.0.1:${port}${where}`, { method,
          headers: { "Content-Type": "application/json" }, body: body && JSON.stringify(body) });
        const { value } = await response.json();
        if (!response.ok) throw new Error(`${where}: ${value.error}: ${value.message}`);
        return value;
      } catch (error) {
        if (error.cause?.code !== "ECONNREFUSED" || tries === 50) throw error;
        await new Promise((resolve) => setTimeout(resolve, 100));  // the driver is starting
      }
    }
  };
  const { sessionId } = await call("POST", "/session", { capabilities: { alwaysMatch: {
    browserName: "MiniBrowser",
    "webkitgtk:browserOptions": { binary: MINIBROWSER, args: ["--automation"] } } } });
  const session = `/session/${sessionId}`;
  const resize = (width, height) => call("POST", `${session}/window/rect`, { width, height });
  await resize(...PHONE);
  // Errors are caught in the page, since the driver reports none.
  const listen = () => call("POST", `${session}/execute/sync`, { args: [], script:
    `${VIOLATIONS}; addEventListener('error', (e) => errors.push(e.message));` +
    "addEventListener('unhandledrejection', (e) => errors.push(String(e.reason)));" });
  const run = (fn, ...args) => call("POST", `${session}/execute/sync`,
    { script: `return (${fn}).apply(null, arguments);`, args });
  const errors = [];
  const collect = async () => errors.push(...await run(() => window.errors ?? []));
  return {
    engine: "webkit",
    async errors() {
      await collect();
      return errors.splice(0);
    },
    async goto(url) {
      await collect();
      await call("POST", `${session}/url`, { url });
      await listen();
    },
    async reload() {
      await collect();
      await call("POST", `${session}/refresh`, {});
      await listen();
    },
    run,
    resize,
    evaluate: (source) => call("POST", `${session}/execute/sync`, { script: source, args: [] }),
    async press(key) {
      const [element] = Object.values(await call("GET", `${session}/element/active`));
      await call("POST", `${session}/element/${element}/value`, { text: KEYS[key] });
    },
    async tab(url) {
      const into = (handle) => call("POST", `${session}/window`, { handle });
      const back = await call("GET", `${session}/window`);
      const { handle } = await call("POST", `${session}/window/new`, {});
      const within = (step) => into(handle).then(step).finally(() => into(back));
      await within(() => call("POST", `${session}/url`, { url }));
      return { run: (fn, ...args) => within(() => run(fn, ...args)),
        close: () => within(() => call("DELETE", `${session}/window`)) };
    },
    async screenshot(file) {
      fs.writeFileSync(file, Buffer.from(await call("GET", `${session}/screenshot`), "base64"));
    },
    async close() {
      await call("DELETE", session).catch(() => {});
      driver.kill();
    },
  };
}
