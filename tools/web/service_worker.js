// Keeps the page and everything it loads, so that it plays offline once
// loaded: each file is answered from the cache when the network fails, and
// refreshed from the network when it answers.
const cacheName = "zolbeck-1";
const files = ["./", "index.html", "zolbeck.js", "zolbeck.wasm", "zolbeck.data",
               // the music's synthesiser and sound font, where the build has them
               "js-synthesizer.min.js", "js-synthesizer.worklet.min.js", "libfluidsynth.js", "TimGM6mb.sf2"];

self.addEventListener("install", event => {
  event.waitUntil(caches.open(cacheName).then(cache => Promise.all(files.map(f => cache.add(f).catch(() => {})))));
});

self.addEventListener("fetch", event => {
  if (event.request.method !== "GET") return;
  event.respondWith(
    fetch(event.request).then(response => {
      const copy = response.clone();
      caches.open(cacheName).then(cache => cache.put(event.request, copy));
      return response;
    }).catch(() => caches.match(event.request, { ignoreSearch: true })));
});
