// Live games in the page served by the real hall (build/orbridden-hall on a free loopback port
// with a fresh data directory) in Debian's headless Chromium: a player plays the playthrough
// live in batches, a spectator opens it midway and follows, through a reload of the player's
// page (its game continued) and a hall killed and restarted on the same port and data, to the
// end of the game, listed in the hall with the player's whole journal.
import { after, test } from 'node:test';
import assert from 'node:assert/strict';
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { golden, launch, starthall } from './harness.mjs';

const data = mkdtempSync(join(tmpdir(), 'orbridden-hall-'));
let hall;
after(() => {
  hall.kill('SIGKILL');
  rmSync(data, { recursive: true, force: true });
});

// Starts the hall on `listen`; its origin.
async function starthallon(listen) {
  let origin;
  ({ hall, origin } = await starthall(data, listen));
  return origin;
}

const rowsof = () =>
  [...document.querySelectorAll('#screen .row')]
    .map((r) => r.textContent.replace(/ +$/, ''))
    .join('\n');
const livestate = (page) => page.$eval('#live-state', (s) => s.textContent);

test('a game played live is followed by a spectator through a reload and a killed hall', async () => {
  const origin = await starthallon('127.0.0.1:0');
  const keys = golden('playthrough.keys');
  const browser = await launch();
  try {
    const player = await browser.newPage();
    const problems = [];
    player.on('pageerror', (error) => problems.push(error.message));
    await player.goto(`${origin}/?play=live&clock=5000`);
    await player.waitForFunction(() => window.orbridden && orbridden.waiting);
    await player.waitForSelector('#live-button:not([hidden])');

    let typed = 0; // the playthrough's keys typed
    let offset = 0; // of which the page before a reload took these
    // Plays the next `count` keys and waits until the game has answered them.
    const play = async (count) => {
      const batch = keys.slice(typed, typed + count);
      typed += batch.length;
      if (batch) await player.evaluate((k) => orbridden.type(k), batch);
      await player.waitForFunction(
        (n) =>
          orbridden.taken === n && (orbridden.waiting || document.body.dataset.state === 'over'),
        { timeout: 60000 },
        typed - offset,
      );
    };
    // The spectator's console as the player's.
    let spectator;
    const caughtup = async () => {
      const rows = await player.evaluate(rowsof);
      await spectator.waitForFunction(
        (expected) =>
          [...document.querySelectorAll('#screen .row')]
            .map((r) => r.textContent.replace(/ +$/, ''))
            .join('\n') === expected,
        { timeout: 60000 },
        rows,
      );
    };

    await play(400);
    await player.waitForFunction(() =>
      /^Live: game /.test(document.getElementById('live-state').textContent),
    );
    const listed = await (await fetch(`${origin}/api/live`)).json();
    assert.equal(listed.games.length, 1);
    const { id } = listed.games[0];
    assert.equal(await livestate(player), `Live: game ${id}`);

    // The Live view lists it, with its Watch link.
    await player.click('#live-button');
    await player.waitForSelector('#live[open] #live-games a');
    assert.equal(
      await player.$eval('#live-games a', (a) => new URL(a.href).search),
      `?clock=5000&live=${id}`,
    );
    await player.keyboard.press('Escape');

    spectator = await browser.newPage();
    spectator.on('pageerror', (error) => problems.push(error.message));
    await spectator.goto(`${origin}/?live=${id}`);
    await caughtup();
    for (const count of [1, 7, 150]) {
      await play(count);
      await caughtup();
    }

    // The player reloads the page (its connection cut) once its journal is stored, and continues
    // it: the same live game.
    await player.waitForFunction(() => orbridden.journal.saved === orbridden.journal.text.length);
    await player.reload();
    await player.waitForFunction(() => window.orbridden && orbridden.waiting);
    await player.keyboard.type('1');
    offset = typed - 1;
    await play(0);
    await player.waitForFunction(
      (game) => document.getElementById('live-state').textContent === `Live: game ${game}`,
      {},
      id,
    );
    await caughtup();
    await play(300);
    await caughtup();

    // The hall killed and restarted on the same port and data while the player plays on.
    hall.kill('SIGKILL');
    await new Promise((resolve) => hall.once('exit', resolve));
    await play(500);
    await starthallon(new URL(origin).host);
    await caughtup();
    await play(1000);
    await caughtup();

    await play(keys.length - typed);
    await caughtup();
    const ended =
      /^The game has ended: the hall (witnessed and verified it|verified it but did not witness it \(.+\))\.$/;
    await player.waitForFunction(
      (re) => new RegExp(re).test(document.getElementById('live-state').textContent),
      { timeout: 60000 },
      ended.source,
    );
    await spectator.waitForFunction(
      (re) => new RegExp(re).test(document.getElementById('live-state').textContent),
      { timeout: 60000 },
      ended.source,
    );
    assert.equal(await spectator.evaluate(() => document.body.dataset.state), 'over');

    // Listed, with the player's whole journal as its recording.
    const { runs } = await (await fetch(`${origin}/api/runs`)).json();
    assert.equal(runs.length, 1);
    assert.equal(runs[0].keys, 4925);
    if (!runs[0].witnessed) assert.ok(runs[0].witness_reason, 'verified only, with its reason');
    const recording = await (await fetch(`${origin}/api/runs/${runs[0].id}/recording`)).text();
    assert.equal(recording, await player.evaluate(() => orbridden.journal.text));
    assert.match(recording, /\nr Oru%0a {7}6684%0a/);
    assert.deepEqual(problems, []);
  } finally {
    await browser.close();
  }
});
