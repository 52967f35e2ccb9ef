// The page in Debian's headless Chromium: the whole playthrough typed into it, what it shows
// against the terminal build's console, the columns, the scores across a browser restart and
// across tabs, storage that is full, missing or silent, a phone's keypad and keyboard, keyboards
// that compose or use AltGr, and a failing load.
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';
import {
  appendFileSync,
  copyFileSync,
  mkdirSync,
  mkdtempSync,
  readdirSync,
  readFileSync,
  writeFileSync,
} from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import {
  download,
  golden,
  idle,
  launch,
  newprofile,
  opengame,
  origin,
  root,
  screens,
  serve,
  shown,
  site,
} from './harness.mjs';

const shots = join(root, 'build-wasm', 'screenshots');
const points = screens();
const keys = golden('playthrough.keys');
const phone = { width: 390, height: 844, isMobile: true, hasTouch: true, deviceScaleFactor: 2 };

let server;
before(async () => {
  server = await serve();
  mkdirSync(shots, { recursive: true });
});
after(() => server.stop());

// The rows and the cursor the page shows after `point.keys` keys equal the terminal's console;
// the cursor shows, as on the terminal, only on a row with text (a prompt).
async function sameasterminal(page, point) {
  await idle(page, point.keys);
  const { rows, cursor } = await shown(page);
  assert.deepEqual(rows, point.rows, `the page's rows at ${point.what}`);
  assert.deepEqual(
    cursor,
    point.rows[point.cursor[0]] ? point.cursor : null,
    `the cursor at ${point.what}`,
  );
}

// How many columns the hero's X moved from the home frame, which must be the only row changed.
function herosteps(rows) {
  const home = points[1].rows;
  const moved = home.map((_, r) => r).filter((r) => rows[r] !== home[r]);
  assert.equal(moved.length, 1, "only the hero's row changes");
  return rows[moved[0]].lastIndexOf('X') - home[moved[0]].lastIndexOf('X');
}

// Opens a game at the custom hero's name: the introduction, then the choice of a custom hero.
async function atname(browser, viewport) {
  const page = await opengame(browser, '?clock=2000', viewport);
  const opening = golden('opening_custom.keys');
  const upto = opening.indexOf('3\n') + 2;
  await page.keyboard.type(opening.slice(0, upto));
  await idle(page, upto);
  return { page, taken: upto };
}

// Opens a game at hangman's first guess: the playthrough up to the hero's return to the home
// town with $631, a walk to the casino, hangman for $10.
async function athangman(browser, viewport) {
  const page = await opengame(browser, '?clock=5000', viewport);
  const upto = keys.slice(0, 4626) + '6'.repeat(10) + '2'.repeat(10) + '6'.repeat(7) + '8' + '31';
  await page.evaluate((typed) => orbridden.type(typed), upto);
  await idle(page, upto.length);
  return { page, taken: upto.length };
}

// The score file as the page's download link gives it.
async function downloaded(page) {
  await page.click('#scores-button');
  await page.waitForSelector('#scores[open]');
  const listing = await page.$eval('#score-list', (e) => e.textContent);
  const file = (await download(page, '#download')).text;
  await page.click('#scores form button');
  return { listing, file };
}

describe('a whole game in the page', () => {
  const profile = newprofile();
  let browser;
  before(async () => (browser = await launch(profile)));
  after(() => browser && browser.close());

  test('the playthrough shows what the terminal shows and writes the golden score record', async () => {
    const page = await opengame(browser, '?clock=5000');
    let typed = 0;
    for (const point of points) {
      await page.keyboard.type(keys.slice(typed, point.keys));
      typed = point.keys;
      await sameasterminal(page, point);
      if (point.what === 'the home frame')
        await page.screenshot({ path: join(shots, 'home-frame.png') });
    }
    assert.equal(typed, keys.length);
    await page.waitForFunction(() => document.body.dataset.state === 'over');
    assert.equal(await page.$eval('#again', (b) => b.hidden), false, 'a "Play again" button');
    const { listing, file } = await downloaded(page);
    assert.equal(file, golden('playthrough.score'));
    assert.match(listing, /^\s+1\s+Oru\s+6684\s+38$/m);
    await page.click('#again');
    await idle(page, 0);
    assert.deepEqual(
      (await shown(page)).rows,
      points[0].rows,
      '"Play again": the first page again',
    );
    assert.deepEqual(page.problems, []);
  });

  test('the score survives a browser restart with the same profile', async () => {
    await browser.close();
    browser = await launch(profile);
    const page = await opengame(browser);
    const { listing, file } = await downloaded(page);
    assert.equal(file, golden('playthrough.score'));
    assert.match(listing, /Oru\s+6684\s+38/);
  });
});

// The elements shown outside the window (and the page's own scrolling, if any).
function outsidewindow(page) {
  return page.evaluate(() => {
    const out = [];
    if (document.documentElement.scrollWidth > innerWidth) out.push('page width');
    if (document.documentElement.scrollHeight > innerHeight) out.push('page height');
    for (const e of document.querySelectorAll('body *')) {
      const r = e.getBoundingClientRect();
      if (r.width === 0 || getComputedStyle(e).display === 'none') continue;
      if (
        r.left < -0.5 ||
        r.top < -0.5 ||
        r.right > innerWidth + 0.5 ||
        r.bottom > innerHeight + 0.5
      )
        out.push(e.id || e.className || e.tagName);
    }
    return out;
  });
}

// Types the whole playthrough at once and waits for the game's end.
async function playthrough(page) {
  await page.evaluate((all) => orbridden.type(all), keys);
  await page.waitForFunction(() => document.body.dataset.state === 'over');
}
const note = (page) => page.$eval('#note', (e) => (e.hidden ? '' : e.textContent));

// Each test in a browser context of its own: storage of its own.
describe("the scores in the browser's storage", () => {
  let browser;
  before(async () => (browser = await launch()));
  after(() => browser && browser.close());

  test("two tabs each finish a game: both records are kept, and an open Scores view lists the other tab's", async () => {
    const context = await browser.createBrowserContext();
    const first = await opengame(context, '?clock=5000');
    const second = await opengame(context, '?clock=5000');
    await playthrough(first);
    await first.click('#scores-button');
    await first.waitForSelector('#scores[open]');
    await playthrough(second);
    await first.waitForFunction(
      () => document.getElementById('score-list').textContent.match(/Oru/g).length === 2,
    );
    assert.equal((await downloaded(second)).file, golden('playthrough.score').repeat(2));
  });

  test('three tabs at once, one of them playing again: every finished game keeps its record', async () => {
    const context = await browser.createBrowserContext();
    const tabs = [];
    for (let i = 0; i < 3; ++i) tabs.push(await opengame(context, '?clock=5000'));
    await Promise.all(tabs.map(playthrough));
    await tabs[0].click('#again');
    await idle(tabs[0], 0);
    await playthrough(tabs[0]);
    const { listing, file } = await downloaded(tabs[1]);
    assert.equal(file, golden('playthrough.score').repeat(4));
    assert.equal(listing.match(/Oru\s+6684\s+38/g).length, 4);
  });

  test('a full storage: the game ends, "Play again" is offered, the page says the score was not stored, and Scores keeps it for the visit', async () => {
    const context = await browser.createBrowserContext();
    const page = await opengame(context, '?clock=5000');
    const cdp = await page.createCDPSession();
    await cdp.send('Storage.overrideQuotaForOrigin', { origin, quotaSize: 1 });
    await playthrough(page);
    assert.equal(await page.$eval('#again', (b) => b.hidden), false, 'a "Play again" button');
    assert.match(
      await note(page),
      /^Your score could not be stored: the browser's storage for this page is full\. It is kept for this visit only\.$/,
    );
    await page.screenshot({ path: join(shots, 'storage-full.png') });
    const { listing, file } = await downloaded(page);
    assert.equal(file, golden('playthrough.score'));
    assert.match(listing, /Oru\s+6684\s+38/);
    await page.reload();
    await idle(page, 0);
    assert.match((await downloaded(page)).listing, /No game has ended/, 'kept for the visit only');
  });

  test('the scores an earlier page kept through IDBFS are listed and appended to', async () => {
    const context = await browser.createBrowserContext();
    const page = await context.newPage();
    await page.goto(`${origin}/orbridden-mono-LICENSE.txt`); // the origin, without the page
    const earlier = golden('playthrough.score').replace('Oru', 'Old');
    await page.evaluate(
      (text) =>
        new Promise((resolve, reject) => {
          const open = indexedDB.open('/scores', 21);
          open.onupgradeneeded = () => open.result.createObjectStore('FILE_DATA');
          open.onsuccess = () => {
            const t = open.result.transaction('FILE_DATA', 'readwrite');
            const contents = new TextEncoder().encode(text);
            t.objectStore('FILE_DATA').put(
              { timestamp: new Date(), mode: 33206, contents },
              '/scores/score.txt',
            );
            t.oncomplete = () => open.result.close() || resolve();
            t.onabort = () => reject(t.error);
          };
        }),
      earlier,
    );
    await page.goto(`${origin}/?clock=5000`);
    await idle(page, 0);
    await playthrough(page);
    const { listing, file } = await downloaded(page);
    assert.equal(file, earlier + golden('playthrough.score'));
    assert.match(listing, /Old\s+6684/);
  });

  // Storage that the page cannot have: the game plays at once all the same, and says where the
  // player sees it that scores are kept for this visit only.
  const nostorage = [
    {
      what: 'no IndexedDB',
      prepare: () => Object.defineProperty(window, 'indexedDB', { value: undefined }),
      why: 'this browser gives the page no storage',
      plays: true,
    },
    {
      what: 'IndexedDB refused',
      prepare: () => {
        IDBFactory.prototype.open = () => {
          throw new DOMException(
            'The user denied permission to access the database.',
            'SecurityError',
          );
        };
      },
      why: 'The user denied permission to access the database',
      viewport: phone,
    },
    {
      what: 'IndexedDB that never answers',
      prepare: () => (IDBFactory.prototype.open = () => ({})),
      why: "the browser's storage did not answer",
    },
  ];
  for (const storage of nostorage)
    test(`${storage.what}: the game plays from its first page and keeps scores for this visit`, async () => {
      const context = await browser.createBrowserContext();
      const page = await context.newPage();
      await page.setViewport(storage.viewport || { width: 1280, height: 800 });
      await page.evaluateOnNewDocument(storage.prepare);
      await page.goto(`${origin}/?clock=5000`);
      await idle(page, 0);
      assert.deepEqual((await shown(page)).rows, points[0].rows, 'the first page');
      await page.waitForFunction(() => !document.getElementById('note').hidden);
      assert.equal(
        await note(page),
        `Scores are kept for this visit only and this game cannot be continued later: ${storage.why}.`,
      );
      assert.deepEqual(await outsidewindow(page), [], 'nothing outside the window');
      await page.screenshot({
        path: join(shots, `visit-only-${storage.viewport ? 'phone' : 'desktop'}.png`),
      });
      if (!storage.plays) return;
      await playthrough(page);
      assert.equal(
        await note(page),
        `Scores are kept for this visit only and this game cannot be continued later: ${storage.why}.`,
      );
      await page.click('#again');
      await idle(page, 0);
      assert.equal((await downloaded(page)).file, golden('playthrough.score'));
    });
});

describe('the page for a screen reader', () => {
  let browser;
  before(async () => (browser = await launch()));
  after(() => browser && browser.close());

  // The lines of the live region as the accessibility tree gives them.
  async function heard(page) {
    const region = await page.accessibility.snapshot({
      root: await page.$('#speech'),
      interestingOnly: false,
    });
    const lines = [];
    const walk = (node) => {
      if (node.role === 'StaticText') lines.push(node.name);
      (node.children || []).forEach(walk);
    };
    walk(region);
    return lines;
  }

  // After `keys` keys of the playthrough: what the live region holds (`has`, or exactly `is`).
  const moments = [
    {
      what: 'the first page',
      keys: 0,
      has: ['Our story begins deep within the heart of the Binary', 'PRESS ENTER'],
      never: /^[01]+$/, // the drawing of ones and zeros
    },
    {
      what: 'the home frame: its status line and its places',
      keys: 8,
      has: ['Oru', 'Health 35/35', '$100', 'Casino', 'Market'],
      never: /[|_-]/, // no cell of the map
    },
    { what: 'a step on the map: nothing to say', keys: 9, is: [] },
    {
      what: 'a fight begins, read with the command it waits for',
      keys: 141,
      has: ['BATS', '1) Attack', 'Command :'],
    },
    {
      what: 'a blow in a fight: the two health lines changed and the messages',
      keys: 197,
      is: [
        'HEALTH : 34/35',
        'HEALTH : 20/45',
        'You hit RACCOON for 25 damage.',
        'RACCOON hit you for 1 damage.',
      ],
    },
    {
      what: 'the map after the fight: its status line',
      keys: 200,
      has: ['Health 31/35', '$120', 'Points 35'],
    },
  ];
  test('the live region speaks each page, the status line and the prompt, never the map', async () => {
    const page = await opengame(browser, '?clock=5000');
    let typed = 0;
    for (const moment of moments) {
      if (moment.keys > typed)
        await page.evaluate((k) => orbridden.type(k), keys.slice(typed, moment.keys));
      typed = moment.keys;
      await idle(page, typed);
      const lines = await heard(page);
      if (moment.is) assert.deepEqual(lines, moment.is, moment.what);
      for (const line of moment.has || [])
        assert.ok(lines.includes(line), `${moment.what}: ${line}`);
      if (moment.never)
        assert.deepEqual(
          lines.filter((l) => moment.never.test(l)),
          [],
          moment.what,
        );
    }
    const live = await page.$eval('#speech', (e) => e.getAttribute('aria-live'));
    assert.equal(live, 'polite');
  });

  test("the console is announced as the game's screen; every button has a name, on a desktop and a phone", async () => {
    for (const viewport of [undefined, phone]) {
      const page = await opengame(browser, '', viewport);
      const tree = await page.accessibility.snapshot();
      const nodes = [];
      const walk = (node) => nodes.push(node) && (node.children || []).forEach(walk);
      walk(tree);
      assert.ok(
        nodes.some((n) => n.role === 'application' && n.name === "The game's screen"),
        'the console',
      );
      const buttons = nodes.filter((n) => n.role === 'button');
      assert.ok(buttons.length >= (viewport ? 13 : 1), 'the buttons shown');
      assert.deepEqual(
        buttons.filter((b) => !b.name.trim()),
        [],
        'buttons without a name',
      );
    }
  });

  test('Tab reaches every control shown, each with a visible focus', async () => {
    const page = await opengame(browser);
    const controls = await page.evaluate(() =>
      [...document.querySelectorAll('button, a[href], input, [tabindex]')]
        .filter((e) => e.tabIndex >= 0 && !e.disabled && e.checkVisibility())
        .map((e) => e.id || e.textContent),
    );
    const reached = [];
    for (let i = 0; i < controls.length; ++i) {
      await page.keyboard.press('Tab');
      reached.push(
        await page.evaluate(() => {
          const e = document.activeElement;
          if (getComputedStyle(e).outlineStyle === 'none') return `${e.id}: no focus`;
          return e.id || e.textContent;
        }),
      );
    }
    assert.deepEqual(reached.sort(), [...controls].sort());
    assert.ok(controls.includes('screen'), 'the console');
  });
});

describe('the page offline', () => {
  let browser;
  before(async () => (browser = await launch()));
  after(() => browser && browser.close());

  const versions = (page) => page.evaluate(() => caches.keys());
  async function controlled(page) {
    await page.waitForFunction(() => navigator.serviceWorker.controller !== null);
  }

  test('after one visit the page plays with the server gone and keeps the score; a new build replaces the old whole on the next visit', async () => {
    const first = await opengame(browser, '?clock=5000');
    await controlled(first);
    const [version] = await versions(first);
    const manifest = await first.evaluate(async () => {
      const link = document.querySelector('link[rel=manifest]');
      const m = await fetch(link.href).then((r) => r.json());
      const icon = await fetch(new URL(m.icons[0].src, link.href));
      return { ...m, icon: icon.ok && (await icon.text()).includes('<path') };
    });
    assert.equal(manifest.display, 'standalone');
    assert.equal(manifest.icon, true, "the icon, from the font's glyph");
    server.stop();
    try {
      const page = await opengame(browser, '?clock=5000');
      await playthrough(page);
      assert.equal((await downloaded(page)).file, golden('playthrough.score'));
    } finally {
      // A second build: one file changed, so another version.
      const dir = mkdtempSync(join(tmpdir(), 'orbridden-build-'));
      for (const f of readdirSync(site)) copyFileSync(join(site, f), join(dir, f));
      appendFileSync(join(dir, 'page.js'), '// the second build\n');
      const worker = readFileSync(join(dir, 'sw.js'), 'utf8');
      writeFileSync(join(dir, 'sw.js'), worker.replace(/orbridden-\w+/, 'orbridden-second'));
      server = await serve(dir);
    }
    const page = await browser.newPage();
    await page.goto(`${origin}/`);
    await page.waitForFunction(async () => (await caches.keys()).join() === 'orbridden-second');
    await controlled(page);
    await page.reload();
    const script = await page.evaluate(() => fetch('page.js').then((r) => r.text()));
    assert.match(script, /the second build/);
    assert.deepEqual(await versions(page), ['orbridden-second']);
    assert.notEqual(version, 'orbridden-second');
    server.stop();
    server = await serve();
  });
});

describe('the page itself', () => {
  let browser;
  before(async () => (browser = await launch()));
  after(() => browser && browser.close());

  test('every glyph of the code page takes one cell: a row of 80 is 80 cells wide', async () => {
    const header = readFileSync(join(root, 'core/console.hpp'), 'utf8');
    const table = /cp437 = \{(.*?)\};/s.exec(header)[1];
    const glyphs = [...table.matchAll(/U'(\\u[0-9A-Fa-f]{4}|\\.|[^'\\])'/g)]
      .map(([, g]) => (g.startsWith('\\u') ? String.fromCharCode(parseInt(g.slice(2), 16)) : g))
      .filter((g) => !g.startsWith('\\') && g !== ' ');
    assert.ok(glyphs.length > 240);
    const page = await opengame(browser);
    const widths = await page.evaluate((all) => {
      const screen = document.getElementById('screen');
      const measure = (text) => {
        const span = document.createElement('span');
        span.textContent = text;
        screen.append(span);
        const width = span.getBoundingClientRect().width;
        span.remove();
        return width;
      };
      const cell = measure('M');
      const rows = [];
      for (let i = 0; i < all.length; i += 80)
        rows.push(
          all
            .slice(i, i + 80)
            .join('')
            .padEnd(80, '\u2588'),
        );
      // The box and shade glyphs the maps are drawn with, then every glyph of the table.
      rows.unshift(
        '\u2591\u2592\u2593\u2588\u2551\u2550\u256c\u2564\u2567\u2502\u2500\u253c'
          .repeat(7)
          .slice(0, 80),
      );
      return { cell, rows: rows.map(measure) };
    }, glyphs);
    for (const width of widths.rows)
      assert.ok(Math.abs(width - 80 * widths.cell) < 0.05, `${width} vs 80 x ${widths.cell}`);
  });

  // A new page whose own scripts and WebAssembly wait until released, as on a slow network,
  // opened at `query` and shown up to its first paint.
  async function firstpaint(query, viewport) {
    const page = await browser.newPage();
    await page.setBypassServiceWorker(true);
    if (viewport) await page.setViewport(viewport);
    const hold = () => {
      let release;
      const held = new Promise((resolve) => (release = resolve));
      return { held, release };
    };
    const scripts = hold();
    const wasm = hold();
    await page.setRequestInterception(true);
    page.on('request', (request) => {
      const url = request.url();
      const wait = url.endsWith('.wasm')
        ? wasm.held
        : /\/(page|hall|watch|live)\.js$/.test(url)
          ? scripts.held
          : null;
      if (wait) wait.then(() => request.continue());
      else request.continue();
    });
    await page.goto(`${origin}/${query}`, { waitUntil: 'domcontentloaded' }); // no load yet
    await page.waitForFunction(() => performance.getEntriesByName('orbridden-first-page').length);
    return { page, scripts, wasm };
  }

  test("the first page shows before the page's scripts and the WebAssembly are there; keys typed and tapped meanwhile reach the game in order", async () => {
    const { page, scripts, wasm } = await firstpaint('?clock=5000');
    assert.deepEqual((await shown(page)).rows, points[0].rows, 'the first page, from the build');
    // The introduction's pages to the home town: Enter four times, the fifth a tap on the
    // keypad's Enter, before the page's scripts are there; the rest before the WebAssembly.
    assert.equal(keys.slice(0, 5), '\n'.repeat(5));
    await page.keyboard.type(keys.slice(0, 4));
    await page.$eval('#keypad .enter', (button) => button.click());
    assert.equal(await page.evaluate(() => window.orbridden), undefined, 'no page.js yet');
    scripts.release();
    await page.waitForFunction(() => window.orbridden);
    await page.keyboard.type(keys.slice(5, 8));
    assert.equal(await page.evaluate(() => document.body.dataset.state), 'loading');
    wasm.release();
    await sameasterminal(page, points[1]);
  });

  // The keypad (on a phone) and the console are laid out in the first paint as the game will
  // have them: measured before the page's scripts and the WebAssembly arrive and once the game
  // runs. Scores tapped meanwhile waits for them, as keys do, and opens then.
  for (const [size, viewport] of [
    ['phone', phone],
    ['desktop', { width: 1280, height: 800 }],
  ])
    test(`on a ${size} the first page is laid out as the game keeps it, and Scores tapped before the scripts opens once they run`, async () => {
      const { page, scripts, wasm } = await firstpaint('', viewport);
      const boxes = () =>
        page.evaluate(() =>
          Object.fromEntries(
            ['bar', 'screen', 'keypad'].map((id) => {
              const box = document.getElementById(id).getBoundingClientRect();
              return [id, [box.x, box.y, box.width, box.height]];
            }),
          ),
        );
      const first = await boxes();
      assert.equal(first.keypad[3] > 0, Boolean(viewport.hasTouch), 'the keypad in the first page');
      await page.screenshot({ path: join(shots, `first-page-${size}.png`) });
      if (viewport.hasTouch) await page.tap('#scores-button');
      else await page.click('#scores-button');
      assert.equal(await page.evaluate(() => window.orbridden), undefined, 'no page.js yet');
      scripts.release();
      wasm.release();
      await page.waitForFunction(() => document.getElementById('scores').open);
      assert.equal(await page.evaluate(() => document.body.dataset.state), 'playing');
      assert.deepEqual(await boxes(), first, 'nothing moved when the scripts came');
      await page.close();
    });

  // Where no first paint is reported, the page's scripts are fetched at once: a browser that
  // does not time paints, and a page opened out of sight (which paints nothing until shown).
  for (const [where, setup] of [
    [
      'a browser without paint timing',
      () => Object.defineProperty(PerformanceObserver, 'supportedEntryTypes', { get: () => [] }),
    ],
    [
      'a page opened hidden',
      () => Object.defineProperty(Document.prototype, 'hidden', { get: () => true }),
    ],
  ])
    test(`the game starts in ${where}`, async () => {
      const page = await browser.newPage();
      await page.evaluateOnNewDocument(setup);
      await page.evaluateOnNewDocument(() => {
        const observe = PerformanceObserver.prototype.observe;
        PerformanceObserver.prototype.observe = function (options) {
          if (options.type !== 'paint') observe.call(this, options);
        };
      });
      await page.goto(`${origin}/?clock=5000`);
      await idle(page, 0);
      await page.close();
    });

  test('each text size keeps the console in the window and is kept for the next visit; light and dark keep 7:1', async () => {
    const context = await browser.createBrowserContext();
    for (const viewport of [undefined, phone]) {
      const page = await opengame(context, '', viewport);
      const sizes = [];
      for (const button of ['#smaller', '#larger', '#larger', '#larger', '#larger']) {
        await page.click(button);
        await page.evaluate(() => new Promise((done) => requestAnimationFrame(() => done()))); // fitted
        sizes.push(await page.$eval('#bar', (e) => parseFloat(getComputedStyle(e).fontSize)));
        assert.deepEqual(
          await outsidewindow(page),
          [],
          `nothing outside the window at ${sizes} (${viewport ? 'phone' : 'desktop'})`,
        );
      }
      assert.ok(sizes[0] < 14 && sizes.at(-1) > 14, `the sizes: ${sizes}`);
      assert.equal(await page.$eval('#larger', (b) => b.disabled), true, 'the largest');
      await page.reload();
      await idle(page, 0);
      const kept = await page.$eval('#bar', (e) => parseFloat(getComputedStyle(e).fontSize));
      assert.equal(kept, sizes.at(-1), 'the size kept');
      await page.click('#smaller');
      await page.click('#smaller');
      await page.click('#smaller');
    }
    const page = await opengame(context);
    for (const scheme of ['dark', 'light']) {
      await page.emulateMediaFeatures([{ name: 'prefers-color-scheme', value: scheme }]);
      const [fore, back] = await page.evaluate(() =>
        [
          getComputedStyle(document.getElementById('screen')).color,
          getComputedStyle(document.body).backgroundColor,
        ].map((c) => c.match(/\d+/g).slice(0, 3).map(Number)),
      );
      // Relative luminance and contrast as WCAG defines them.
      const lum = (rgb) => {
        const [r, g, b] = rgb.map((v) => {
          const c = v / 255;
          return c <= 0.03928 ? c / 12.92 : ((c + 0.055) / 1.055) ** 2.4;
        });
        return 0.2126 * r + 0.7152 * g + 0.0722 * b;
      };
      const [hi, lo] = [lum(fore), lum(back)].sort((a, b) => b - a);
      const contrast = (hi + 0.05) / (lo + 0.05);
      assert.ok(contrast >= 7, `${scheme}: contrast ${contrast.toFixed(1)}`);
      await page.screenshot({ path: join(shots, `scheme-${scheme}.png`) });
    }
  });

  test('the arrows and the keypad walk, Backspace takes back a letter, a letter beyond ASCII is ?, as in the terminal', async () => {
    const page = await opengame(browser, '?clock=5000');
    await page.keyboard.type(keys.slice(0, 8));
    await sameasterminal(page, points[1]);
    await page.keyboard.press('ArrowLeft'); // ESC [ D, read as 4
    await page.keyboard.press('Numpad4'); // a keypad's 4, whatever Num Lock says
    await idle(page, 8 + 3 + 1);
    assert.equal(herosteps((await shown(page)).rows), -2, 'two steps left');

    const custom = await atname(browser);
    await custom.page.keyboard.type('Abx');
    await custom.page.keyboard.press('Backspace');
    // As a keyboard that has the letter types it: its two bytes of UTF-8 are one key.
    const keyboard = await custom.page.createCDPSession();
    await keyboard.send('Input.dispatchKeyEvent', { type: 'keyDown', key: 'é', text: 'é' });
    await idle(custom.page, custom.taken + 6);
    assert.ok((await shown(custom.page)).rows.some((r) => r.endsWith('Ab?')));
  });

  test('a phone held upright plays the opening and walks with the on-screen keypad', async () => {
    const page = await opengame(browser, '?clock=5000', phone);
    const tap = async (key) => {
      const button = await page.$(
        key === '\n' ? '#keypad .enter' : `#keypad button[data-key="${key}"]`,
      );
      await button.tap();
    };
    for (const key of keys.slice(0, 8)) await tap(key);
    await sameasterminal(page, points[1]);
    for (let i = 0; i < 4; ++i) await tap('4');
    await idle(page, 12);
    assert.equal(herosteps((await shown(page)).rows), -4, 'four steps left');
    await page.screenshot({ path: join(shots, 'phone.png') });
    assert.equal(
      await page.$eval('#turn', (e) => getComputedStyle(e).display),
      'block',
      'the line on turning the phone',
    );
    assert.deepEqual(await outsidewindow(page), [], 'nothing outside the window');
  });

  test("a phone's own keyboard types the custom hero's name", async () => {
    const { page, taken } = await atname(browser, phone);
    await (await page.$('#typing-button')).tap();
    for (const c of 'Abé') await page.keyboard.sendCharacter(c); // as a touch keyboard types
    await idle(page, taken + 4);
    const { rows } = await shown(page);
    assert.ok(
      rows.some((r) => r.endsWith('Ab?')),
      rows.join('\n'),
    );
  });

  // Keys typed at the custom hero's name or in hangman, until the game has taken `count` bytes;
  // then the rows it shows, once it has taken exactly `count`.
  async function typed(page, taken, count) {
    await page.waitForFunction((n) => orbridden.taken >= n && orbridden.waiting, {}, taken + count);
    assert.equal(await page.evaluate(() => orbridden.taken), taken + count, 'bytes taken');
    return (await shown(page)).rows;
  }

  // An input method composing through the phone's keyboard: `compose(steps, commit)` shows each
  // step of a composition, then commits `commit`.
  const compositions = [
    {
      where: "the custom hero's name",
      at: atname,
      async type(page, compose) {
        await page.keyboard.sendCharacter('A'); // typed without composing
        await compose(['K', 'Ka'], 'Ka');
        await page.keyboard.press('Backspace');
        await compose(['y'], 'y'); // the next composition, in the same field
      },
      count: 5,
      shows: /AKy$/,
    },
    {
      where: 'hangman',
      at: athangman,
      async type(page, compose) {
        await compose(['a'], 'a');
        await compose(['e'], 'e');
      },
      count: 2,
      shows: /^ - {2}b {2}c {2}d {2}- {2}f {2}g/, // the letters guessed, struck from the alphabet
    },
  ];
  for (const c of compositions)
    test(`a keyboard that composes types only what it commits, once: ${c.where}`, async () => {
      const { page, taken } = await c.at(browser, phone);
      await (await page.$('#typing-button')).tap();
      const ime = await page.createCDPSession();
      await c.type(page, async (steps, commit) => {
        for (const text of steps)
          await ime.send('Input.imeSetComposition', {
            text,
            selectionStart: text.length,
            selectionEnd: text.length,
          });
        await ime.send('Input.insertText', { text: commit });
      });
      const rows = await typed(page, taken, c.count);
      assert.ok(
        rows.some((r) => c.shows.test(r)),
        rows.join('\n'),
      );
    });

  test('AltGr (Ctrl and Alt together) types its character; Ctrl alone types nothing', async () => {
    const { page, taken } = await atname(browser);
    const cdp = await page.createCDPSession();
    const press = (modifiers, key, code, text) =>
      cdp.send('Input.dispatchKeyEvent', { type: 'keyDown', modifiers, key, code, text });
    await page.keyboard.type('A');
    await press(2, 'b', 'KeyB', ''); // Ctrl-B
    await press(3, '@', 'KeyQ', '@'); // AltGr-Q on a German layout
    await page.keyboard.type('Z');
    assert.ok((await typed(page, taken, 3)).some((r) => r.endsWith('A@Z')));
  });

  // What the page says when it cannot run: a file it cannot load, a browser without WebAssembly,
  // a game that stops with an error (here: the key '!' breaks its read).
  const breakonbang = `;{ const start = createOrbridden;
    createOrbridden = (m) => { const keys = m.page.keys;
      m.page.keys = (n) => keys(n).then((k) => { if (k[0] === 33) throw new Error('the read broke'); return k; });
      return start(m); }; }`;
  const failures = [
    {
      what: 'the .wasm missing',
      prepare: (page) =>
        page
          .setRequestInterception(true)
          .then(() =>
            page.on('request', (request) =>
              request.url().endsWith('.wasm')
                ? request.respond({ status: 404, body: 'gone' })
                : request.continue(),
            ),
          ),
      says: /orbridden\.wasm could not be loaded \(404/,
    },
    {
      what: 'no WebAssembly',
      prepare: (page) => page.evaluateOnNewDocument(() => delete window.WebAssembly),
      says: /it has no WebAssembly/,
    },
    {
      what: 'the game stops with an error',
      prepare: (page) =>
        page.setRequestInterception(true).then(() =>
          page.on('request', (request) =>
            request.url().endsWith('/orbridden.js')
              ? request.respond({
                  contentType: 'text/javascript',
                  body: readFileSync(join(site, 'orbridden.js'), 'utf8') + breakonbang,
                })
              : request.continue(),
          ),
        ),
      act: async (page) => {
        await idle(page, 0);
        await page.keyboard.type('!');
      },
      says: /The game stopped: the read broke/,
      restarts: true,
    },
  ];
  for (const failure of failures)
    test(`a failure shows what failed and a way to start again, never a blank page: ${failure.what}`, async () => {
      const page = await browser.newPage();
      await page.setBypassServiceWorker(true); // the failing files come from the network
      await failure.prepare(page);
      await page.goto(`${origin}/`);
      if (failure.act) await failure.act(page);
      await page.waitForFunction(() => document.body.dataset.state === 'error');
      const text = await page.$eval('#trouble', (e) => (e.hidden ? '' : e.innerText));
      assert.match(text, failure.says);
      assert.match(text, /Start again/);
      if (!failure.restarts) return;
      await page.click('#restart');
      await idle(page, 0);
      assert.equal(
        await page.$eval('#trouble', (e) => e.hidden),
        true,
        'a new game, the message gone',
      );
    });
});
