// The page served by the real hall (build/orbridden-hall on a free loopback port with a fresh
// data directory) in Debian's headless Chromium: the playthrough finished in the page, submitted
// with its button, verified by the hall, and its rank in the Hall view.
import { after, before, test } from 'node:test';
import assert from 'node:assert/strict';
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { golden, launch, starthall } from './harness.mjs';

const data = mkdtempSync(join(tmpdir(), 'orbridden-hall-'));
let hall;
let origin;
before(async () => {
  ({ hall, origin } = await starthall(data));
});
after(() => {
  hall.kill();
  rmSync(data, { recursive: true, force: true });
});

test('a game finished in the page is submitted, verified and ranked in the Hall view', async () => {
  const browser = await launch();
  try {
    const page = await browser.newPage();
    const problems = [];
    page.on('pageerror', (error) => problems.push(error.message));
    page.on('console', (message) => message.type() === 'error' && problems.push(message.text()));
    await page.goto(`${origin}/?clock=5000`);
    await page.waitForFunction(() => window.orbridden && orbridden.waiting);
    await page.waitForSelector('#hall-button:not([hidden])');
    assert.equal(
      await page.$eval('#submit-button', (b) => b.hidden),
      true,
      'nothing to submit before the end',
    );

    await page.keyboard.type(golden('playthrough.keys'));
    await page.waitForFunction(() => document.body.dataset.state === 'over');
    await page.waitForSelector('#submit-button:not([hidden])');
    await page.click('#submit-button');
    await page.waitForFunction(
      () =>
        /Verified|did not take|could not/.test(document.getElementById('hall-answer').textContent),
      {
        timeout: 60000,
      },
    );
    assert.equal(
      await page.$eval('#hall-answer', (p) => p.textContent),
      'Verified: your run is number 1 in the hall of fame.',
    );
    // The Hall view opens, once its list has come (after the answer is shown).
    await page.waitForSelector('#hall[open]');
    const rows = await page.$$eval('#hall-runs tr', (trs) =>
      trs.map((tr) => [...tr.cells].map((td) => td.textContent)),
    );
    assert.equal(rows.length, 1);
    assert.deepEqual(rows[0].slice(0, 5), ['1', 'Oru', '6684', '38', '4925']);
    assert.equal(await page.$eval('#hall-runs tr', (tr) => tr.className), 'mine');
    // Its recording downloads as the hall keeps it.
    const href = await page.$eval('#hall-runs a', (a) => a.href);
    const file = await page.evaluate((url) => fetch(url).then((r) => r.text()), href);
    assert.match(file, /^orbridden-recording 1\ngame 1\.0\nstart 5000\n/);
    assert.match(file, /\nr Oru%0a {7}6684%0a/);
    // Its Watch link replays it in a page of its own, to the recorded score.
    const watch = await page.$eval('#hall-runs a:last-child', (a) => [a.textContent, a.href]);
    assert.equal(watch[0], 'Watch');
    const watcher = await browser.newPage();
    await watcher.goto(`${watch[1]}#key=4925`);
    await watcher.waitForFunction(
      () => window.orbridden && orbridden.watch && orbridden.watch.keys,
    );
    assert.equal(await watcher.evaluate(() => orbridden.watch.keys), 4925);
    await watcher.close();
    assert.deepEqual(problems, [], 'no errors in the page (none from its Content-Security-Policy)');
  } finally {
    await browser.close();
  }
});
