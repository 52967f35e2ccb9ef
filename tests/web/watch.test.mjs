// The watch view in Debian's headless Chromium: the playthrough's recording opened by ?watch=,
// by the Watch button and by a dropped file; seeking by #key=N, the bar and the keys, playing
// at 64x; the rows against the terminal build's console; and what the page says of a recording
// from another site, a damaged one, another version's and one that parts from the game.
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdirSync, rmSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { launch, port, root, screens, serve, shown, site } from './harness.mjs';

const points = screens();
const at = (what) => points.find((p) => p.what === what);
// The playthrough's recording as the terminal build makes it, served with the page, and
// recordings made from it.
const recording = execFileSync(
  'node',
  ['--no-experimental-fetch', join(root, 'build-wasm/web/orbridden_golden.js'), 'recording'],
  { encoding: 'utf8', maxBuffer: 1 << 24 },
);
const lines = recording.split('\n');
const keycount = lines.filter((l) => /^\d+ /.test(l)).length;
mkdirSync(join(site, 'watch'), { recursive: true });
writeFileSync(join(site, 'watch/playthrough.rec'), recording);
writeFileSync(join(site, 'watch/damaged.rec'), `${lines.slice(0, 4).join('\n')}\n12 x\n`);
writeFileSync(join(site, 'watch/older.rec'), recording.replace(/^game 1\.0$/m, 'game 0.9'));
// The check of the 20th key changed: the replay parts from it there.
const twentieth = lines.findIndex(
  (l, i) => /^\d+ /.test(l) && lines.slice(0, i + 1).filter((x) => /^\d+ /.test(x)).length === 20,
);
const parted = [...lines];
parted[twentieth] = parted[twentieth].replace(/[0-9a-f]{2}$/, (c) => (c === '00' ? '01' : '00'));
writeFileSync(join(site, 'watch/parted.rec'), parted.join('\n'));

let server;
let browser;
before(async () => {
  server = await serve();
  browser = await launch();
});
after(async () => {
  if (browser) await browser.close();
  server.stop();
  // The site is as the build left it for the next test file (page.test.mjs copies it whole).
  rmSync(join(site, 'watch'), { recursive: true, force: true });
});

async function open(address) {
  const page = await browser.newPage();
  page.problems = [];
  page.on('pageerror', (error) => page.problems.push(error.message));
  await page.setViewport({ width: 1280, height: 800 });
  await page.goto(`http://127.0.0.1:${port}/${address}`);
  return page;
}

// Waits until the replay is paused at `key`, then checks that the rows are the terminal's after
// the keys before it.
async function pausedat(page, key, point) {
  await page.waitForFunction(
    (k) => window.orbridden?.watch?.key === k && orbridden.watch.resolve !== null,
    {},
    key,
  );
  const { rows } = await shown(page);
  assert.deepEqual(rows, point.rows, `the rows at ${point.what}`);
}

const note = (page) => page.$eval('#note', (e) => e.textContent);
async function stopped(page) {
  await page.waitForFunction(() => document.body.dataset.state === 'over');
  return note(page);
}

describe('watching a recording', () => {
  test('?watch= and #key=N open it paused there; the keys, the bar and the address seek', async () => {
    const page = await open(`?watch=/watch/playthrough.rec#key=${at('a fight').keys + 1}`);
    await pausedat(page, at('a fight').keys + 1, at('a fight'));
    assert.equal(
      await page.$eval('#watch-where', (e) => e.textContent.split(',')[0]),
      `key ${at('a fight').keys + 1} of ${keycount}`,
    );
    await page.keyboard.press('ArrowLeft');
    await page.waitForFunction((k) => orbridden.watch.key === k, {}, at('a fight').keys);
    await page.keyboard.press('ArrowRight');
    await pausedat(page, at('a fight').keys + 1, at('a fight'));
    await page.keyboard.press('PageDown');
    await page.keyboard.press('PageUp');
    await pausedat(page, at('a fight').keys + 1, at('a fight'));
    // The bar.
    await page.$eval(
      '#watch-seek',
      (bar, k) => {
        bar.value = String(k);
        bar.dispatchEvent(new Event('input'));
      },
      at('the market').keys + 1,
    );
    await pausedat(page, at('the market').keys + 1, at('the market'));
    // The address.
    await page.evaluate((k) => (location.hash = `#key=${k}`), at('the home frame').keys + 1);
    await pausedat(page, at('the home frame').keys + 1, at('the home frame'));
    assert.match(
      await page.$eval('#watch-link', (a) => a.href),
      new RegExp(`\\?watch=/watch/playthrough\\.rec#key=${at('the home frame').keys + 1}$`),
    );
    // A stretch at 64x, then on from the last key to the end and its score.
    for (let i = 0; i < 6; ++i) await page.keyboard.press('+');
    await page.keyboard.press(' ');
    await page.waitForFunction((k) => orbridden.watch.key > k + 200, {}, at('the home frame').keys);
    await page.keyboard.press(' ');
    await page.$eval(
      '#watch-seek',
      (bar, k) => {
        bar.value = String(k);
        bar.dispatchEvent(new Event('input'));
      },
      keycount,
    );
    await page.waitForFunction(
      (k) => orbridden.watch.key === k && orbridden.watch.resolve,
      {},
      keycount,
    );
    await page.keyboard.press('.');
    assert.equal(await stopped(page), '');
    assert.deepEqual((await shown(page)).rows, at('the last page').rows);
    assert.deepEqual(page.problems, []);
    await page.close();
  });

  test('the Watch button and a dropped file open it', async () => {
    const page = await open(`#key=${at('the home frame').keys + 1}`);
    await page.waitForFunction(() => document.body.dataset.state === 'playing');
    const [chooser] = await Promise.all([page.waitForFileChooser(), page.click('#watch-button')]);
    await chooser.accept([join(site, 'watch/playthrough.rec')]);
    await pausedat(page, at('the home frame').keys + 1, at('the home frame'));
    await page.evaluate((k) => (location.hash = `#key=${k}`), at('a fight').keys + 1);
    await pausedat(page, at('a fight').keys + 1, at('a fight'));
    await page.evaluate(async () => {
      const bytes = await (await fetch('/watch/playthrough.rec')).arrayBuffer();
      const files = new DataTransfer();
      files.items.add(new File([bytes], 'playthrough.rec'));
      document.dispatchEvent(new DragEvent('drop', { dataTransfer: files, bubbles: true }));
    });
    await pausedat(page, at('a fight').keys + 1, at('a fight'));
    await page.keyboard.press('q');
    assert.equal(
      await stopped(page),
      `playthrough.rec: replay ended after key ${at('a fight').keys}`,
    );
    assert.deepEqual(page.problems, []);
    await page.close();
  });

  test('what the page says of recordings it cannot play as they are', async () => {
    const cases = [
      [
        `?watch=http://localhost:${port}/watch/playthrough.rec`,
        `http://localhost:${port}/watch/playthrough.rec: a recording from another site is not opened here`,
      ],
      ['?watch=/watch/damaged.rec', '/watch/damaged.rec: line 5 is not an item'],
      ['?watch=/watch/missing.rec', '/watch/missing.rec: could not be loaded (404 File not found)'],
      [
        '?watch=/watch/parted.rec',
        /^\/watch\/parted\.rec: the screen after key 19 differs from the recorded one \(line \d+\): check [0-9a-f]{2} recorded, [0-9a-f]{2} now$/,
      ],
    ];
    for (const [address, message] of cases) {
      const page = await open(address);
      const said = await stopped(page);
      if (typeof message === 'string') assert.equal(said, message, address);
      else assert.match(said, message, address);
      assert.deepEqual(page.problems, [], address);
      await page.close();
    }
    const page = await open(`?watch=/watch/older.rec#key=${at('the home frame').keys + 1}`);
    await pausedat(page, at('the home frame').keys + 1, at('the home frame'));
    assert.equal(
      await note(page),
      '/watch/older.rec was recorded by version 0.9; this is version 1.0',
    );
    await page.close();
  });
});
