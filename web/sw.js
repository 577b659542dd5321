// Keeps the page working offline: its files are cached on the first visit
// and served from the cache from then on. The cache is named for the files'
// content when the page is installed (cmake/page_cache.cmake), so a page with
// any file changed has a worker of its own, which caches the new files and
// drops the old cache once its own is complete. Its files come from the
// network, never the browser's HTTP cache, which may still hold the old ones
// for hours. Of the module's two forms it holds the one the page fetches.
const CACHE = "@PAGE_CACHE@";
const MODULE = self.DecompressionStream ? "tipsrad.wasm.gz" : "tipsrad.wasm";
const FILES = [
  "./",
  "@PAGE_FILES@",
].filter((file) => !file.startsWith("tipsrad.wasm") || file === MODULE);

self.addEventListener("install", (event) => {
  const requests = FILES.map((file) => new Request(file, { cache: "reload" }));
  event.waitUntil(caches.open(CACHE)
    .then((cache) => cache.addAll(requests))
    .then(() => self.skipWaiting()));
});

self.addEventListener("activate", (event) => {
  const old = (names) => names.filter((name) => name !== CACHE);
  event.waitUntil(caches.keys()
    .then((names) => Promise.all(old(names).map((name) => caches.delete(name))))
    .then(() => self.clients.claim()));
});

self.addEventListener("fetch", (event) => {
  event.respondWith(caches.open(CACHE)
    .then((cache) => cache.match(event.request, { ignoreSearch: true }))
    .then((cached) => cached ?? fetch(event.request)));
});
