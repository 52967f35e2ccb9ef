// The web build's scripted console under Node: every golden session (tests/golden/*.keys) and
// the playthrough's console screens, played by the same sources compiled by emscripten and
// reached by seeking a replay of its recording, must be byte for byte as the terminal build
// recorded them.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { readdirSync } from 'node:fs';
import { fileURLToPath } from 'node:url';

const root = fileURLToPath(new URL('../..', import.meta.url));
const runner = `${root}/build-wasm/web/orbridden_golden.js`;
const sessions = readdirSync(`${root}/tests/golden`)
  .filter((f) => f.endsWith('.keys'))
  .map((f) => f.slice(0, -'.keys'.length));

function play(name) {
  // Emscripten's Node support predates Node's own fetch, which would mislead it.
  return execFileSync('node', ['--no-experimental-fetch', runner, name], { encoding: 'utf8' });
}

test('every golden session is found', () => assert.ok(sessions.includes('playthrough')));

for (const name of [...sessions, 'screens', 'seeks'])
  test(`web build under Node: ${name} is as recorded`, () => {
    try {
      play(name);
    } catch (error) {
      assert.fail(`${name}: ${error.stdout}${error.stderr}`);
    }
  });
