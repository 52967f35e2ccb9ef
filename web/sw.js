// The service worker: keeps the files of one build of the site in a cache named by that build's
// version (a hash of its files, written in by the build), so that the page opens and plays with
// the network gone; a new build is cached whole beside it and replaces it whole.
'use strict';
const version = 'orbridden-@VERSION@';
// Every file of the build's site (the page itself as './'), written in by the build.
const files = ['@FILES@'];

self.addEventListener('install', (event) =>
  event.waitUntil(
    caches
      .open(version)
      .then((cache) => cache.addAll(files.map((f) => new Request(f, { cache: 'reload' })))),
  ),
);
// Once this build is in charge, the caches of earlier builds go.
self.addEventListener('activate', (event) =>
  event.waitUntil(
    caches
      .keys()
      .then((keys) => Promise.all(keys.filter((k) => k !== version).map((k) => caches.delete(k))))
      .then(() => self.clients.claim()),
  ),
);
// The page asks a waiting build to take over before its game has started.
self.addEventListener('message', (event) => event.data === 'update' && self.skipWaiting());
// Every file of this build from its cache (the page's address whatever its query); the network
// for anything else.
self.addEventListener('fetch', (event) => {
  if (event.request.method !== 'GET') return;
  const url = new URL(event.request.url);
  const path = url.pathname.endsWith('/') ? './' : url.pathname.split('/').pop();
  if (url.origin !== location.origin || !(files.includes(path) || path === 'index.html')) return;
  event.respondWith(
    caches
      .open(version)
      .then((cache) => cache.match(path === 'index.html' ? './' : path))
      .then((hit) => hit || fetch(event.request)),
  );
});
