// Keeps the page working offline: its files are cached on the first visit
// and served from the cache from then on. The cache is named for the files'
// content when the page is installed (cmake/page_cache.cmake), so a page with
// any file changed has a worker of its own, which caches the new files and
// drops the old cache once its own is complete. Its files come from the
// network, never the browser's HTTP cache, which may still hold the old ones
// for hours. Of the module's two forms it holds the one the page fetches.
//
// Caches are the whole origin's, which a host may share among other apps and
// other copies of this page in other folders, so the name holds this copy's
// folder (the worker's scope) too, and a worker drops only its folder's own.
const SCOPE = self.registration.scope;
const CACHE = `@PAGE_CACHE@ ${SCOPE}`;
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

// A cache named before the folder was in the name, "tipsrad-" and the hash
// alone, is this folder's if it holds this folder's page.
async function older(name) {
  if (name === CACHE || !name.startsWith("tipsrad-")) return false;
  if (name.includes(" ")) return name.endsWith(` ${SCOPE}`);
  return (await caches.match(SCOPE, { cacheName: name })) !== undefined;
}

self.addEventListener("activate", (event) => {
  event.waitUntil(caches.keys()
    .then((names) => Promise.all(names.map(async (name) => await older(name) &&
      caches.delete(name))))
    .then(() => self.clients.claim()));
});

self.addEventListener("fetch", (event) => {
  event.respondWith(caches.open(CACHE)
    .then((cache) => cache.match(event.request, { ignoreSearch: true }))
    .then((cached) => cached ?? fetch(event.request)));
});
