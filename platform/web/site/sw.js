// SPDX-License-Identifier: GPL-3.0-or-later
// Keeps the whole site, so that the game plays offline once loaded: the
// files come from the cache first. Each build names its own cache after
// every file the site serves; the old one goes when the new worker takes
// over. The new files are fetched past the browser's HTTP cache: a plain
// static host sends no Cache-Control, and the browser would otherwise hand
// the new worker the old files it keeps.
const CACHE = "@VANTLE_CACHE@";
const FILES = [@VANTLE_FILES@];

self.addEventListener("install", (event) => {
  event.waitUntil(
    caches
      .open(CACHE)
      .then((cache) => cache.addAll(FILES.map((file) => new Request(file, { cache: "reload" }))))
      .then(() => self.skipWaiting()),
  );
});

self.addEventListener("activate", (event) => {
  event.waitUntil(
    caches
      .keys()
      .then((keys) => Promise.all(keys.filter((key) => key !== CACHE).map((key) => caches.delete(key))))
      .then(() => self.clients.claim()),
  );
});

self.addEventListener("fetch", (event) => {
  if (event.request.method !== "GET") return;
  event.respondWith(caches.match(event.request, { ignoreSearch: true }).then((kept) => kept || fetch(event.request)));
});
