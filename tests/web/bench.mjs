// make bench-web: the page's costs, each against a floor measured in the same run.
// - transfer size: the site's files gzip-compressed (at most 300 KB), against a page of one <pre>;
// - navigation to the first page painted (the first contentful paint) from the loopback server (at
//   most 300 ms, and at most 1.5 times), against a page that only paints a 25-row <pre>;
// - a key to the page's updated text, median over 1,000 walking keys (at most 1.5 times), against
//   a page that only echoes the key into a <pre>;
// - the playthrough's 4,925 keys in the page, against the same keys through the terminal build's
//   scripted console (Google Benchmark's Playthrough in build-bench);
// - watching its recording: a seek to its last key (replayed from the start without drawing,
//   at most 100 ms, median of 5), against the playthrough typed into the page; and playing at
//   64x, the keys drawn a second against the keys due;
// - continuing its journal left before its last key: Continue to the screen shown (at most
//   500 ms and 1.5 times, median of 5), against that seek, the same replay without drawing,
//   made first in a page just opened, as a continue is.
import { execFileSync } from 'node:child_process';
import {
  mkdtempSync,
  readFileSync,
  readdirSync,
  rmSync,
  symlinkSync,
  writeFileSync,
} from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { gzipSync } from 'node:zlib';
import { golden, launch, opengame, origin, root, serve, site } from './harness.mjs';

const failures = [];
function judge(what, value, limit, unit) {
  const ok = value <= limit;
  console.log(
    `${ok ? 'ok  ' : 'FAIL'} ${what}: ${value.toFixed(2)} ${unit} (limit ${limit} ${unit})`,
  );
  if (!ok) failures.push(what);
}
const median = (xs) => [...xs].sort((a, b) => a - b)[Math.floor(xs.length / 2)];

// The floors, beside the page's own files in a directory of their own.
const rows = Array.from({ length: 25 }, (_, r) => `row ${r}`.padEnd(80, '.')).join('\n');
const floors = {
  'floor-paint.html': `<!doctype html><meta charset="utf-8"><title>floor</title><pre id="screen">${rows}</pre>
<script>new PerformanceObserver((list) => list.getEntriesByName('first-contentful-paint')
  .forEach((p) => performance.mark('orbridden-first-page', { startTime: p.startTime }))).observe({ type: 'paint', buffered: true });</script>`,
  'floor-echo.html': `<!doctype html><meta charset="utf-8"><title>floor</title><pre id="screen">${rows}</pre>
<script>window.orbridden = { drawn: 0, waiting: true, taken: 0 };
const screen = document.getElementById('screen');
document.addEventListener('keydown', (e) => { screen.textContent = rows.replace('row 0', e.key); orbridden.drawn++; });
const rows = screen.textContent;</script>`,
};
const dir = mkdtempSync(join(tmpdir(), 'orbridden-bench-'));
for (const f of readdirSync(site)) symlinkSync(join(site, f), join(dir, f));
for (const [f, text] of Object.entries(floors)) writeFileSync(join(dir, f), text);
// The playthrough's recording, made by the web build's golden runner (a key every 250 ms).
const recording = execFileSync(
  'node',
  ['--no-experimental-fetch', join(root, 'build-wasm/web/orbridden_golden.js'), 'recording'],
  { encoding: 'utf8', maxBuffer: 1 << 24 },
);
const recordedkeys = recording.split('\n').filter((l) => /^\d+ /.test(l)).length;
writeFileSync(join(dir, 'bench.rec'), recording);

// ---- transfer size
// Every file a visit fetches: those its service worker keeps (the page itself as './'), and it.
const kept = readFileSync(join(site, 'sw.js'), 'utf8').match(/const files = \[(.*)\];/)[1];
const pagefiles = [...kept.matchAll(/'([^']+)'/g)].map(([, f]) => (f === './' ? 'index.html' : f));
pagefiles.push('sw.js');
let total = 0;
for (const f of pagefiles) {
  const size = gzipSync(readFileSync(join(site, f)), { level: 9 }).length;
  total += size;
  console.log(`     ${f}: ${(size / 1024).toFixed(1)} KB gzip-compressed`);
}
const floorsize = gzipSync(floors['floor-paint.html'], { level: 9 }).length;
console.log(`     floor (one <pre>): ${(floorsize / 1024).toFixed(1)} KB`);
judge('transfer size, gzip-compressed', total / 1024, 300, 'KB');

const server = await serve(dir);
const browser = await launch();
try {
  // ---- navigation to the first page painted, median of 25 loads each in fresh contexts, the
  // floor's and the page's in turn so that the machine's load falls on both alike
  async function firstpaint(path) {
    const context = await browser.createBrowserContext();
    const page = await context.newPage();
    await page.goto(`${origin}/${path}`);
    await page.waitForFunction(
      () => performance.getEntriesByName('orbridden-first-page').length > 0,
    );
    const time = await page.evaluate(
      () => performance.getEntriesByName('orbridden-first-page')[0].startTime,
    );
    await context.close();
    return time;
  }
  const paints = { floor: [], page: [] };
  for (let i = 0; i < 25; ++i) {
    paints.floor.push(await firstpaint('floor-paint.html'));
    paints.page.push(await firstpaint(''));
  }
  const paintfloor = median(paints.floor);
  const paint = median(paints.page);
  console.log(`     floor: ${paintfloor.toFixed(1)} ms; the page: ${paint.toFixed(1)} ms`);
  judge('navigation to the first page painted', paint, 300, 'ms');
  judge('the first page painted against the floor', paint / paintfloor, 1.5, 'times');

  // ---- a key to the updated text: dispatched by the browser's input, until the text changed;
  // the echo page's keys and the game's in blocks of 100 in turn, so that the machine's load
  // falls on both alike
  async function keytotext(page, keys, times) {
    for (const key of keys) {
      const before = await page.evaluate(() => orbridden.drawn);
      const start = performance.now();
      await page.keyboard.press(key);
      await page.waitForFunction((n) => orbridden.drawn > n, { polling: 'mutation' }, before);
      times.push(performance.now() - start);
    }
  }
  const walk = Array.from({ length: 1000 }, (_, i) => (i % 40 < 20 ? '6' : '4'));
  const echopage = await browser.newPage();
  await echopage.goto(`${origin}/floor-echo.html`);
  const gamepage = await opengame(browser, '?clock=5000');
  await gamepage.keyboard.type(golden('playthrough.keys').slice(0, 8)); // to the home town
  await gamepage.waitForFunction(() => orbridden.taken === 8 && orbridden.waiting);
  const keytimes = { echo: [], game: [] };
  for (let at = 0; at < walk.length; at += 100) {
    await keytotext(echopage, walk.slice(at, at + 100), keytimes.echo);
    await keytotext(gamepage, walk.slice(at, at + 100), keytimes.game);
  }
  const echo = median(keytimes.echo);
  const game = median(keytimes.game);
  const stillwalking = await gamepage.$eval('#screen', (s) => s.textContent.includes('Sorceress'));
  // The journal ran meanwhile: every key of the walk stored.
  await gamepage.waitForFunction(() => orbridden.journal.saved === orbridden.journal.text.length, {
    polling: 100,
  });
  const journaled = await gamepage.evaluate(() => orbridden.journal.keys);
  console.log(
    `     floor (echo into a <pre>): ${echo.toFixed(3)} ms; the game: ${game.toFixed(3)} ms, ` +
      `its journal ${journaled} keys stored` +
      (stillwalking ? '' : ' (the walk left the home town!)'),
  );
  if (journaled !== 8 + walk.length) failures.push('the journal during the walk');
  judge('key to updated text against the echo page', game / echo, 1.5, 'times');

  // ---- the playthrough in the page, against the terminal build's scripted console
  const page = await opengame(browser, '?clock=5000');
  const inpage = await page.evaluate(
    (keys) =>
      new Promise((resolve) => {
        const start = performance.now();
        new PerformanceObserver(() => resolve(performance.now() - start)).observe({ type: 'mark' });
        orbridden.type(keys);
      }),
    golden('playthrough.keys'),
  );
  execFileSync(
    'cmake',
    [
      '-S',
      root,
      '-B',
      join(root, 'build-bench'),
      '-DCMAKE_BUILD_TYPE=Release',
      '-DORBRIDDEN_TESTS=OFF',
      '-DORBRIDDEN_BENCH=ON',
    ],
    { stdio: 'ignore' },
  );
  execFileSync(
    'cmake',
    ['--build', join(root, 'build-bench'), '-j2', '--target', 'orbridden_bench'],
    { stdio: 'ignore' },
  );
  const native = JSON.parse(
    execFileSync(
      join(root, 'build-bench/orbridden_bench'),
      ['--benchmark_filter=^Playthrough', '--benchmark_format=json'],
      { encoding: 'utf8' },
    ),
  );
  const ms = (name) => native.benchmarks.find((b) => b.name === name).real_time;
  console.log(
    `     the playthrough in the page: ${inpage.toFixed(0)} ms; terminal build, scripted: ` +
      `${ms('Playthrough/0').toFixed(1)} ms (transcript), ${ms('Playthrough/1').toFixed(1)} ms (console in memory); ` +
      `${(inpage / ms('Playthrough/0')).toFixed(1)} times`,
  );

  // ---- watching: a seek to the last key, from the first, median of 5; and the first such seek
  // in a page just opened, median of 5 pages, as cold as a continue (the floor below)
  const pausedat = (page, k) =>
    page.waitForFunction(
      (n) => window.orbridden?.watch?.key === n && orbridden.watch.resolve,
      { polling: 'mutation' },
      k,
    );
  const seekto = async (page, k) => {
    const start = await page.evaluate(() => performance.now());
    await page.evaluate((n) => (location.hash = `#key=${n}`), k);
    await pausedat(page, k);
    return (await page.evaluate(() => performance.now())) - start;
  };
  const openwatch = async () => {
    const page = await browser.newPage();
    await page.goto(`${origin}/?watch=bench.rec#key=1`);
    await pausedat(page, 1);
    return page;
  };
  const firstseeks = [];
  for (let i = 0; i < 5; ++i) {
    const page = await openwatch();
    firstseeks.push(await seekto(page, recordedkeys));
    await page.close();
  }
  const watch = await openwatch();
  const seeks = [];
  for (let i = 0; i < 5; ++i) {
    seeks.push(await seekto(watch, recordedkeys));
    await seekto(watch, 1);
  }
  const seek = median(seeks);
  console.log(
    `     seek to key ${recordedkeys} of the playthrough's recording: ${seek.toFixed(1)} ms; ` +
      `the playthrough typed into the page: ${inpage.toFixed(0)} ms; ${(seek / inpage).toFixed(2)} times`,
  );
  judge("seek to the recording's last key in the page", seek, 100, 'ms');

  // ---- continuing the recording's journal left before its last key, in a profile of its own:
  // from Continue to the screen shown and the game waiting, median of 5
  const lines = recording.split('\n');
  const left = `${lines
    .slice(
      0,
      lines.findLastIndex((l) => /^\d+ /.test(l)),
    )
    .join('\n')}\n`;
  const context = await browser.createBrowserContext();
  const setup = await context.newPage();
  await setup.goto(`${origin}/floor-echo.html`);
  await setup.evaluate(
    (text, keys) =>
      new Promise((resolve, reject) => {
        const open = indexedDB.open('orbridden', 2);
        open.onupgradeneeded = () => {
          for (const store of ['files', 'journals', 'games']) open.result.createObjectStore(store);
        };
        open.onsuccess = () => {
          const t = open.result.transaction('journals', 'readwrite');
          t.objectStore('journals').put({ text, keys, last: Date.now() }, 'bench');
          t.oncomplete = () => open.result.close() || resolve();
          t.onabort = () => reject(t.error);
        };
      }),
    left,
    recordedkeys - 1,
  );
  await setup.close();
  const continues = [];
  for (let i = 0; i < 5; ++i) {
    const tab = await opengame(context);
    const offered = await tab.$eval('#screen', (s) => s.textContent.includes('A GAME TO CONTINUE'));
    if (!offered) throw new Error('the journal was not offered');
    continues.push(
      await tab.evaluate(
        () =>
          new Promise((resolve) => {
            const start = performance.now();
            orbridden.type('1');
            const shownyet = () =>
              orbridden.taken === 1 && orbridden.waiting
                ? resolve(performance.now() - start)
                : setTimeout(shownyet, 1);
            shownyet();
          }),
      ),
    );
    await tab.close();
  }
  await context.close();
  const resumed = median(continues);
  const firstseek = median(firstseeks);
  console.log(
    `     continuing the journal left before key ${recordedkeys}: ${resumed.toFixed(1)} ms ` +
      `from Continue to the screen; the first seek there in a page just opened: ` +
      `${firstseek.toFixed(1)} ms, ${(resumed / firstseek).toFixed(2)} times; ` +
      `a seek there again: ${seek.toFixed(1)} ms, ${(resumed / seek).toFixed(2)} times`,
  );
  judge('continuing the whole journal, Continue to the screen', resumed, 500, 'ms');
  judge('continuing against the first seek to the same key', resumed / firstseek, 1.5, 'times');

  // ---- playing at 64x for 3 seconds: keys drawn a second against keys due (one every 250 ms)
  for (let i = 0; i < 6; ++i) await watch.keyboard.press('+');
  const [key0, t0] = await watch.evaluate(() => [orbridden.watch.key, performance.now()]);
  await watch.keyboard.press(' ');
  await new Promise((resolve) => setTimeout(resolve, 3000));
  const [key1, t1] = await watch.evaluate(() => [orbridden.watch.key, performance.now()]);
  const drawn = ((key1 - key0) * 1000) / (t1 - t0);
  const due = (64 * 1000) / 250;
  console.log(
    `     at 64x: ${drawn.toFixed(0)} keys drawn a second, ${due} due; ${(drawn / due).toFixed(2)} of the pace`,
  );
  judge('keys due at 64x not drawn', Math.max(0, 1 - drawn / due), 0.05, 'of them');
} finally {
  await browser.close();
  server.stop();
  rmSync(dir, { recursive: true, force: true });
}
if (failures.length) {
  console.log(`over the limit: ${failures.join(', ')}`);
  process.exit(1);
}
