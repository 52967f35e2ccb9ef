// The journal in Debian's headless Chromium: a game left when the browser closed is offered and
// continued on the screen it was left at, then played on to the golden score record; New game,
// a damaged journal and two tabs in one profile; a journal downloaded from the page read by the
// terminal build, and the terminal's recording continued in the page.
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync, spawnSync } from 'node:child_process';
import { mkdtempSync, readFileSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import {
  download,
  golden,
  idle,
  launch,
  newprofile,
  opengame,
  root,
  screens,
  serve,
  shown,
} from './harness.mjs';

const keys = golden('playthrough.keys');
const points = screens();
const at = (what) => points.find((p) => p.what === what);
const dir = mkdtempSync(join(tmpdir(), 'orbridden-journal-'));

let server;
before(async () => (server = await serve()));
after(() => server.stop());

// Types `count` of the playthrough's keys from `from` and waits for the game to take them,
// `taken` bytes in all; then until the journal holds them in the storage.
async function play(page, from, count, taken = from + count) {
  await page.evaluate((typed) => orbridden.type(typed), keys.slice(from, from + count));
  await idle(page, taken);
  await page.waitForFunction(
    () => orbridden.journal.keys > 0 && orbridden.journal.saved === orbridden.journal.text.length,
  );
}

const screentext = async (page) => (await shown(page)).rows.join('\n');
const note = (page) => page.$eval('#note', (e) => (e.hidden ? '' : e.textContent));

// The Scores view's games: their names, and the text of each download.
async function games(page) {
  await page.click('#scores-button');
  await page.waitForSelector('#scores[open]');
  const kept = [];
  const links = await page.$$eval('#games a[download]', (all) => all.length);
  for (let i = 1; i <= links; ++i) {
    const { name, text } = await download(page, `#games li:nth-child(${i}) a[download]`);
    kept.push([name, text]);
  }
  await page.click('#scores form button');
  return kept;
}

// The journal as the page's Download journal link gives it.
const downloaded = async (page) => (await download(page, '#journal-link')).text;

test('a game left when the browser closed is offered, continued on its last screen and played to the golden score record', async () => {
  const profile = newprofile();
  let browser = await launch(profile);
  const upto = at('a fight').keys;
  let rows;
  try {
    const page = await opengame(browser, '?clock=5000');
    await play(page, 0, upto);
    rows = await shown(page);
  } finally {
    await browser.close();
  }
  browser = await launch(profile);
  try {
    const page = await opengame(browser, '?clock=5000');
    const offer = await screentext(page);
    assert.match(offer, /A GAME TO CONTINUE/);
    assert.match(offer, /HERO {8}: Oru/);
    assert.match(offer, new RegExp(`KEYS PLAYED : ${upto}\\b`));
    assert.match(offer, /LAST PLAYED : \d{4}-\d\d-\d\d \d\d:\d\d/);
    assert.match(offer, /RINGS WON {3}: 0/);
    assert.match(offer, /1\) Continue {13}2\) New game/);
    await page.keyboard.type('1');
    await idle(page, 1);
    assert.deepEqual(await shown(page), rows, 'the screen as it stood at the last key');
    await page.evaluate((typed) => orbridden.type(typed), keys.slice(upto));
    await page.waitForFunction(() => document.body.dataset.state === 'over');
    const kept = await games(page);
    assert.equal(kept.length, 1);
    assert.match(kept[0][0], /^\d{4}-\d\d-\d\d-\d{4}-Oru-6684\.rec$/);
    assert.match(kept[0][1], /\nr Oru%0a {7}6684%0a/);
    // The journal grown from the one continued is the whole game: the terminal build verifies
    // it to the golden score record.
    writeFileSync(join(dir, 'whole.rec'), kept[0][1]);
    const verify = spawnSync(join(root, 'build/orbridden'), ['--verify', join(dir, 'whole.rec')], {
      encoding: 'utf8',
    });
    assert.equal(verify.stdout, golden('playthrough.score'), verify.stderr);
    assert.equal(await downloaded(page), kept[0][1], 'Download journal at the end: the game');
    assert.deepEqual(page.problems, []);
  } finally {
    await browser.close();
  }
});

describe('one profile', () => {
  let browser;
  before(async () => (browser = await launch()));
  after(() => browser && browser.close());

  test('New game keeps the unfinished one as abandoned; a damaged journal is kept as unreplayable and a new game starts', async () => {
    const context = await browser.createBrowserContext();
    const first = await opengame(context, '?clock=5000');
    await play(first, 0, 20);
    await first.close();
    const page = await opengame(context, '?clock=5000');
    assert.match(await screentext(page), /KEYS PLAYED : 20\b/);
    await page.keyboard.type('2');
    await idle(page, 1);
    assert.deepEqual((await shown(page)).rows, points[0].rows, 'the first page of a new game');
    let kept = await games(page);
    assert.deepEqual(
      kept.map(([name]) => name.slice(16)),
      ['Oru-abandoned.rec'],
    );
    assert.equal(kept[0][1].split('\n').filter((l) => /^\d+ /.test(l)).length, 20);

    // A journal the page cannot read: kept, and the game says why before a new one starts.
    await page.evaluate(
      () =>
        new Promise((resolve, reject) => {
          const open = indexedDB.open('orbridden');
          open.onsuccess = () => {
            const t = open.result.transaction('journals', 'readwrite');
            const text = 'orbridden-recording 1\ngame 1.0\nstart 5000\nlines console\n5 x\n';
            t.objectStore('journals').put({ text, keys: 1, last: Date.now() + 1000 }, 'damaged');
            t.oncomplete = () => open.result.close() || resolve();
            t.onabort = () => reject(t.error);
          };
        }),
    );
    await page.close();
    const next = await opengame(context, '?clock=5000');
    const said = await screentext(next);
    assert.match(said, /The game in the journal cannot be continued: line 5/);
    assert.match(said, /unreplayable\.rec/);
    await next.keyboard.press('Enter');
    await idle(next, 1);
    assert.deepEqual((await shown(next)).rows, points[0].rows, 'then a new game');
    kept = await games(next);
    assert.deepEqual(
      kept.map(([name]) => name.replace(/^\d{4}-\d\d-\d\d-\d{4}-/, '')),
      ['unreplayable.rec', 'Oru-abandoned.rec'],
    );
    assert.match(kept[0][1], /\n5 x\n$/, 'kept as it was');
  });

  test('two tabs: the second does not offer the game the first plays; once the first is closed, a third does', async () => {
    const context = await browser.createBrowserContext();
    const first = await opengame(context, '?clock=5000');
    await play(first, 0, 30);
    const second = await opengame(context, '?clock=5000');
    assert.deepEqual((await shown(second)).rows, points[0].rows, 'a new game');
    await play(second, 0, 5);
    await first.close();
    const third = await opengame(context, '?clock=5000');
    assert.match(await screentext(third), /KEYS PLAYED : 30\b/);
    // Both games keep going: the second's journal is its own.
    await play(second, 5, 3, 8);
    assert.equal((await downloaded(second)).split('\n').filter((l) => /^\d+ /.test(l)).length, 8);
  });
});

describe('moving a game between the terminal and the page', () => {
  let browser;
  before(async () => (browser = await launch()));
  after(() => browser && browser.close());

  // The playthrough's recording as the terminal build makes it (a key every 250 ms).
  const recording = execFileSync(
    'node',
    ['--no-experimental-fetch', join(root, 'build-wasm/web/orbridden_golden.js'), 'recording'],
    { encoding: 'utf8', maxBuffer: 1 << 24 },
  );
  const lines = recording.split('\n');
  // The recording as a game left after `count` keys left it: every line before the next key's,
  // and the end of its input (the terminal closed).
  function cutafter(count) {
    let seen = 0;
    const next = lines.findIndex((l) => /^\d+ /.test(l) && ++seen > count);
    return `${lines.slice(0, next).join('\n')}\nx\n`;
  }

  async function opened(page, name, text) {
    writeFileSync(join(dir, name), text);
    const [chooser] = await Promise.all([
      page.waitForFileChooser(),
      page.click('#continue-button'),
    ]);
    await chooser.accept([join(dir, name)]);
  }

  test('a journal downloaded from the page is an unfinished game the terminal build reads to its last key', async () => {
    const page = await opengame(browser, '?clock=5000');
    const upto = at('the market').keys;
    await play(page, 0, upto);
    const text = await downloaded(page);
    writeFileSync(join(dir, 'page.rec'), text);
    const verify = spawnSync(join(root, 'build/orbridden'), ['--verify', join(dir, 'page.rec')], {
      encoding: 'utf8',
    });
    assert.equal(verify.status, 1, 'stopped before the game ends');
    assert.equal(verify.stdout, '');
    assert.match(verify.stderr, new RegExp(`ends after key ${upto},`), verify.stderr);
    // The terminal's tests continue this very journal to the golden score record
    // (tests/e2e/journal_test.cpp).
    assert.equal(text, readFileSync(join(root, 'tests/e2e/page_journal.rec'), 'utf8'));
  });

  test("the terminal's journal is continued in the page to the golden score record; a finished one is refused", async () => {
    const page = await opengame(browser, '?clock=5000');
    await play(page, 0, 10);
    const upto = at('the home frame').keys;
    await opened(page, 'terminal.rec', cutafter(upto));
    await idle(page, 0);
    assert.deepEqual((await shown(page)).rows, at('the home frame').rows);
    await page.evaluate((typed) => orbridden.type(typed), keys.slice(upto));
    await page.waitForFunction(() => document.body.dataset.state === 'over');
    const kept = await games(page);
    assert.deepEqual(
      kept.map(([name]) => name.slice(16)),
      ['Oru-6684.rec', 'Oru-abandoned.rec'],
      'the game the tab played is kept as abandoned',
    );
    assert.match(kept[0][1], /\nr Oru%0a {7}6684%0a/);
    assert.ok(kept[0][1].startsWith(cutafter(upto).slice(0, -2)), "the terminal's lines first");

    await page.click('#again');
    await idle(page, 0);
    await opened(page, 'finished.rec', recording);
    await page.waitForFunction(() => !document.getElementById('note').hidden);
    assert.equal(
      await note(page),
      'finished.rec: the game is finished: there is nothing to continue. Watch plays it.',
    );
    assert.deepEqual((await shown(page)).rows, points[0].rows, 'a new game');
    assert.deepEqual(page.problems, []);
  });
});
