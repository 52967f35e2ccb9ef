// What the browser tests and benchmarks share: build-web/ served on the loopback address,
// Debian's headless Chromium through puppeteer-core with a profile of its own, and the page's
// state read back (its rows, whether the game waits for a key).
import { spawn } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { fileURLToPath } from 'node:url';
import puppeteer from 'puppeteer-core';

export const root = fileURLToPath(new URL('../..', import.meta.url));
export const site = join(root, 'build-web');
export const golden = (name) => readFileSync(join(root, 'tests/golden', name), 'utf8');
// Browser storage belongs to the origin: a fixed port keeps the same origin across restarts.
export const port = Number(process.env.ORBRIDDEN_TEST_PORT || 8642);
export const origin = `http://127.0.0.1:${port}`;
const browserpath = process.env.ORBRIDDEN_BROWSER || '/usr/bin/chromium-headless-shell';

// Serves `dir` with Python's http.server on the loopback address until `stop()`. Fails when the
// port is taken, rather than testing whatever else answers there.
export function serve(dir = site) {
  const server = spawn(
    'python3',
    ['-u', '-m', 'http.server', String(port), '--bind', '127.0.0.1', '--directory', dir],
    {
      stdio: ['ignore', 'pipe', 'pipe'],
    },
  );
  let said = '';
  return new Promise((resolve, reject) => {
    const listen = (data) => {
      said += data;
      if (said.includes('Serving HTTP')) resolve({ stop: () => server.kill() });
    };
    server.stdout.on('data', listen);
    server.stderr.on('data', listen);
    server.on('exit', () =>
      reject(new Error(`no server on ${origin}: ${said.trim().split('\n').at(-1)}`)),
    );
  });
}

// A browser profile of the tests' own, removed when they end.
const profiles = [];
process.on('exit', () => profiles.forEach((p) => rmSync(p, { recursive: true, force: true })));
// The real hall (build/orbridden-hall) on `listen` (port 0: a free one) with its data in `data`,
// serving the built site: the process, once it says its address, and its origin.
export function starthall(data, listen = '127.0.0.1:0') {
  const hall = spawn(
    join(root, 'build/orbridden-hall'),
    ['--listen', listen, '--data', data, '--site', site],
    { stdio: ['ignore', 'pipe', 'inherit'] },
  );
  return new Promise((resolve, reject) => {
    let said = '';
    hall.stdout.on('data', (chunk) => {
      said += chunk;
      const address = /http:\/\/127\.0\.0\.1:\d+/.exec(said);
      if (address) resolve({ hall, origin: address[0] });
    });
    hall.on('exit', (code) => reject(new Error(`the hall did not start (${code}): ${said}`)));
  });
}

export function newprofile() {
  profiles.push(mkdtempSync(join(tmpdir(), 'orbridden-browser-')));
  return profiles.at(-1);
}

export function launch(profile = newprofile()) {
  return puppeteer.launch({
    executablePath: browserpath,
    userDataDir: profile,
    // As root, Chromium runs only without its sandbox.
    args: process.getuid && process.getuid() === 0 ? ['--no-sandbox'] : [],
  });
}

// Opens the page (with `query`, e.g. "?clock=5000") and waits until the game waits for a key.
export async function opengame(browser, query = '', viewport = { width: 1280, height: 800 }) {
  const page = await browser.newPage();
  const problems = [];
  page.on('pageerror', (error) => problems.push(error.message));
  page.problems = problems;
  await page.setViewport(viewport);
  await page.goto(`${origin}/${query}`);
  await idle(page, 0);
  return page;
}

// What the link `selector` downloads when clicked, as the browser saves it: its file name and
// text. (The page's policy keeps its own scripts from reading its blob: addresses.)
export async function download(page, selector) {
  const session = await page.browser().target().createCDPSession();
  const dir = mkdtempSync(join(tmpdir(), 'orbridden-download-'));
  try {
    await session.send('Browser.setDownloadBehavior', {
      behavior: 'allowAndName',
      downloadPath: dir,
      eventsEnabled: true,
      ...(page.browserContext().id && { browserContextId: page.browserContext().id }),
    });
    const begun = new Promise((resolve) => session.once('Browser.downloadWillBegin', resolve));
    const ended = new Promise((resolve) =>
      session.on('Browser.downloadProgress', (e) => e.state !== 'inProgress' && resolve(e)),
    );
    await page.$eval(selector, (a) => a.click());
    const { guid, suggestedFilename } = await begun;
    const { state } = await ended;
    if (state !== 'completed') throw new Error(`the download of ${selector} was ${state}`);
    return { name: suggestedFilename, text: readFileSync(join(dir, guid), 'utf8') };
  } finally {
    await session.detach();
    rmSync(dir, { recursive: true, force: true });
  }
}

// Waits until the game has taken `taken` bytes of keys and waits for the next (or has ended).
export async function idle(page, taken) {
  await page.waitForFunction(
    (n) =>
      window.orbridden &&
      orbridden.taken === n &&
      (orbridden.waiting || document.body.dataset.state === 'over'),
    {},
    taken,
  );
}

// The page's 25 rows without their trailing blanks, and the cursor's cell (null when hidden).
export function shown(page) {
  return page.evaluate(() => {
    const screen = document.getElementById('screen');
    const rows = [...screen.querySelectorAll('.row')].map((r) => r.textContent.replace(/ +$/, ''));
    const box = screen.getBoundingClientRect();
    const first = screen.querySelector('.row').getBoundingClientRect();
    const cursor = document.getElementById('cursor');
    const at = cursor.getBoundingClientRect();
    const cell = first.width / 80;
    return {
      rows,
      cursor: cursor.hidden
        ? null
        : [
            Math.floor((at.bottom - 1 - box.top) / first.height),
            Math.round((at.left - box.left) / cell),
          ],
    };
  });
}

// The playthrough's console screens (tests/golden/playthrough.screens): key count, cursor,
// what it shows, and the 25 rows.
export function screens() {
  const lines = golden('playthrough.screens').split('\n');
  const out = [];
  for (let i = 0; i < lines.length; ++i) {
    const head = /^== (\d+) keys, cursor (\d+) (\d+): (.*)$/.exec(lines[i]);
    if (!head) continue;
    out.push({
      keys: Number(head[1]),
      cursor: [Number(head[2]), Number(head[3])],
      what: head[4],
      rows: lines.slice(i + 1, i + 26).map((r) => r.replace(/ +$/, '')),
    });
  }
  return out;
}
