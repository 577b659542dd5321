// Shared by the browser test and the page benchmark: a static server for the
// page on 127.0.0.1 under a sub-path, as any static host would serve it, and
// Debian's Chromium, headless and kept off the network.
import fs from "node:fs";
import http from "node:http";
import path from "node:path";
import puppeteer from "puppeteer-core";

const TYPES = { ".html": "text/html", ".js": "text/javascript", ".css": "text/css",
  ".svg": "image/svg+xml", ".webmanifest": "application/manifest+json",
  ".wasm": "application/wasm" };
export const SUB_PATH = "/spel/tipsrad/";

// Serves `folder` at http://127.0.0.1:PORT/spel/tipsrad/; resolves to its URL.
export async function serve(folder) {
  const server = http.createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, "http://x").pathname);
    const file = name.startsWith(SUB_PATH) &&
      path.resolve(folder, name.slice(SUB_PATH.length) || "index.html");
    if (!file || !file.startsWith(path.resolve(folder)) || !fs.statSync(file, { throwIfNoEntry: false })?.isFile()) {
      response.writeHead(404).end();
      return;
    }
    response.writeHead(200, { "Content-Type": TYPES[path.extname(file)] ?? "text/plain" });
    response.end(fs.readFileSync(file));
  });
  await new Promise((resolve) => server.listen(0, "127.0.0.1", resolve));
  return { server, url: `http://127.0.0.1:${server.address().port}${SUB_PATH}` };
}

export function launch() {
  return puppeteer.launch({
    executablePath: process.env.CHROMIUM ?? "/usr/bin/chromium",
    headless: true,
    protocolTimeout: 60000,
    args: ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
      "--disable-background-networking", "--disable-component-update", "--disable-sync"],
  });
}
