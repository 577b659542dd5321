// Keeps the page working offline: its files are cached on the first visit
// and served from the cache from then on. The cache is named for the
// release, so a new release's worker caches the new files and drops the old
// cache once its own is complete. Its files come from the network, never the
// browser's HTTP cache, which may still hold the old release's for hours.
const CACHE = "tipsrad-@PROJECT_VERSION@";
const FILES = ["./", "index.html", "style.css", "tipsrad.js", "coupon.js", "wasi.js", "tipsrad.wasm",
               "manifest.webmanifest", "icon.svg", "icon-180.png", "icon-192.png", "icon-512.png"];

self.addEventListener("install", (event) => {
  event.waitUntil(caches.open(CACHE)
    .then((cache) => cache.addAll(FILES.map((file) => new Request(file, { cache: "reload" }))))
    .then(() => self.skipWaiting()));
});

self.addEventListener("activate", (event) => {
  event.waitUntil(caches.keys()
    .then((names) => Promise.all(names.filter((name) => name !== CACHE).map((name) => caches.delete(name))))
    .then(() => self.clients.claim()));
});

self.addEventListener("fetch", (event) => {
  event.respondWith(caches.open(CACHE)
    .then((cache) => cache.match(event.request, { ignoreSearch: true }))
    .then((cached) => cached ?? fetch(event.request)));
});
