// The page's script: loads the game's WebAssembly, draws the console's 25 rows as text, turns
// keys, the keypad and a touch screen's keyboard into the bytes a terminal would send, and
// shows the scores kept in the browser. Test option: ?clock=N plays with the stepping clock
// from N, as the golden sessions do.
'use strict';

const rows = 25;
const cols = 80;
const $ = (id) => document.getElementById(id);
const screen = $('screen');
const encoder = new TextEncoder();
const clock = new URLSearchParams(location.search).get('clock');

// ---- what the test harness and the benchmarks read: keys taken, whether the game waits
const orbridden = (window.orbridden = {
  taken: 0, // bytes the game has read
  waiting: false, // the game waits for a key and none is queued
  drawn: 0, // frames and pages drawn
  type: (text) => send(encoder.encode(text)),
});

function setstate(state, text) {
  document.body.dataset.state = state;
  $('status').textContent = text;
}

// ---- the console: 25 row elements, each replaced when the game sends it (a row that changed)
const rowspans = [];
const cursor = document.createElement('span');
cursor.id = 'cursor';

function blankscreen() {
  $('loading').hidden = true;
  screen.textContent = '';
  rowspans.length = 0;
  for (let r = 0; r < rows; ++r) {
    const span = document.createElement('span');
    span.className = 'row';
    span.textContent = ' '.repeat(cols);
    screen.append(span);
    rowspans.push(span);
  }
  screen.append(cursor);
  fit();
}

// A row of the game's (80 glyphs); then, once the rows of a frame or page are there, its cursor
// (hidden where the game waits with it on a blank row: a map frame, a fight).
function drawrow(r, text) {
  rowspans[r].textContent = text;
}
function drawcursor(row, col, shown) {
  cursor.hidden = !shown;
  cursor.style.setProperty('--row', row);
  cursor.style.setProperty('--col', col);
  if (orbridden.drawn++ === 0)
    requestAnimationFrame(() => performance.mark('orbridden-first-page'));
}

// The console as large as the stage allows, centred in it. It is laid out at one font size and
// scaled as a whole: at small sizes a font's advance is rounded to whole pixels, which would
// make 80 cells wider or narrower than the font size says.
function fit() {
  if (!screen.offsetWidth) return; // nothing drawn yet
  const stage = $('stage').getBoundingClientRect();
  const scale = Math.min(stage.width / screen.offsetWidth, stage.height / screen.offsetHeight);
  const left = (stage.width - screen.offsetWidth * scale) / 2;
  const top = (stage.height - screen.offsetHeight * scale) / 2;
  screen.style.transform = `translate(${left}px, ${top}px) scale(${scale})`;
}
new ResizeObserver(fit).observe($('stage'));

// ---- keys: queued as the bytes a terminal sends, taken by the game's reads
let queue = [];
let reader = null; // a read waiting for keys: [size, resolve]

function send(bytes) {
  if (document.body.dataset.state !== 'playing') return;
  queue.push(...bytes);
  orbridden.waiting = false;
  if (reader) {
    const [size, resolve] = reader;
    reader = null;
    resolve(take(size));
  }
}

function take(size) {
  const bytes = Uint8Array.from(queue.slice(0, size));
  queue = queue.slice(size);
  orbridden.taken += bytes.length;
  return bytes;
}

// Keys by the DOM's name, as a terminal sends them: the arrows as escape sequences, which the
// game reads as 8 2 6 4; the keypad's digits whatever Num Lock says, as a keypad in
// application mode sends them; any other character in UTF-8, which the game reads as one key
// (one beyond ASCII as '?').
const esc = '\x1b';
const named = {
  Enter: '\n',
  Backspace: '\x7f',
  Escape: esc,
  ArrowUp: `${esc}[A`,
  ArrowDown: `${esc}[B`,
  ArrowRight: `${esc}[C`,
  ArrowLeft: `${esc}[D`,
};
function keybytes(event) {
  if (event.ctrlKey || event.altKey || event.metaKey) return null;
  const pad = /^Numpad(\d)$/.exec(event.code);
  if (pad) return pad[1];
  if (event.code === 'NumpadEnter') return '\n';
  if (named[event.key] !== undefined) return named[event.key];
  if ([...event.key].length === 1 && event.key >= ' ' && event.key !== '\x7f') return event.key;
  return null;
}

document.addEventListener('keydown', (event) => {
  if ($('scores').open || event.target.tagName === 'BUTTON' && event.key === 'Enter') return;
  const bytes = keybytes(event);
  if (bytes === null) return;
  event.preventDefault();
  send(encoder.encode(bytes));
});

// The keypad: digits (8 2 4 6 walk) and Enter, sent on touch without taking the focus.
for (const button of document.querySelectorAll('#keypad button')) {
  button.addEventListener('pointerdown', (event) => event.preventDefault());
  button.addEventListener('click', () => send(encoder.encode(button.dataset.key)));
}

// A touch screen's own keyboard, for the hero's name and hangman: what it types into the
// hidden field is sent instead (keys it also reports as keydown were sent above). The field
// keeps one blank, so that Backspace has something to delete and is reported.
const typing = $('typing');
const sentinel = () => {
  typing.value = ' ';
  typing.setSelectionRange(1, 1);
};
$('typing-button').addEventListener('click', () => {
  typing.focus();
  sentinel();
});
typing.addEventListener('beforeinput', (event) => {
  if (event.inputType === 'deleteContentBackward') send([0x7f]);
  else if (event.inputType === 'insertLineBreak') send([10]);
  else if (event.data) send(encoder.encode(event.data.replace(/[\x00-\x1f\x7f]/g, '')));
  else return;
  event.preventDefault();
});
typing.addEventListener('input', sentinel);

if (matchMedia('(pointer: coarse)').matches || navigator.maxTouchPoints > 0)
  document.body.classList.add('touch');

// ---- scores: the game's own listing of score.txt, and the file itself
let game = null; // the running module

$('scores-button').addEventListener('click', () => {
  const listing = game ? game.UTF8ToString(game._scorelisting()) : '';
  $('score-list').textContent = listing || 'No game has ended in this browser yet.';
  const link = $('download');
  link.hidden = !listing;
  if (listing) {
    const file = game.FS.readFile('/scores/score.txt');
    URL.revokeObjectURL(link.href);
    link.href = URL.createObjectURL(new Blob([file], { type: 'text/plain' }));
  }
  $('scores').showModal();
});
// Enter goes to the game again, not to the button that opened the scores.
$('scores').addEventListener('close', () => document.activeElement.blur());

// ---- loading, starting, ending, failing
let compiled = null; // the WebAssembly compiled once, for every game of this visit

function trouble(text) {
  setstate('error', 'ORBRIDDEN stopped.');
  $('loading').hidden = true;
  $('trouble-text').textContent = text;
  $('trouble').hidden = false;
  $('restart').focus();
}
$('restart').addEventListener('click', () => location.reload());
window.addEventListener('error', (event) => trouble(`The game stopped: ${event.message}`));
window.addEventListener('unhandledrejection', (event) =>
  trouble(`The game stopped: ${event.reason && event.reason.message || event.reason}`));

function loadscript(src) {
  return new Promise((resolve, reject) => {
    const script = document.createElement('script');
    script.src = src;
    script.onload = resolve;
    script.onerror = () => reject(new Error(`${src} could not be loaded`));
    document.head.append(script);
  });
}

async function compile() {
  const response = await fetch('orbridden.wasm');
  if (!response.ok) throw new Error(`orbridden.wasm could not be loaded (${response.status} ${response.statusText})`);
  // Compiled while it arrives, where the server names its type as browsers require.
  if (response.headers.get('Content-Type') === 'application/wasm') return WebAssembly.compileStreaming(response);
  return WebAssembly.compile(await response.arrayBuffer());
}

function over() {
  performance.mark('orbridden-over');
  setstate('over', 'The game has ended.');
  $('again').hidden = false;
  $('again').focus();
}

async function start() {
  $('again').hidden = true;
  queue = [];
  reader = null;
  orbridden.taken = 0;
  blankscreen();
  setstate('playing', 'Playing ORBRIDDEN');
  game = await createOrbridden({
    arguments: clock ? ['--clock', clock] : [],
    instantiateWasm(imports, done) {
      WebAssembly.instantiate(compiled, imports).then((instance) => done(instance, compiled), trouble);
      return {};
    },
    page: {
      row: drawrow,
      cursor: drawcursor,
      over,
      ready: () => (queue.length > 0 ? 1 : 0),
      keys: (size) => {
        if (queue.length > 0) return Promise.resolve(take(size));
        orbridden.waiting = true;
        return new Promise((resolve) => (reader = [size, resolve]));
      },
    },
    print: (text) => console.log(text),
    printErr: (text) => console.warn(text),
    onAbort: (what) => trouble(`The game stopped: ${what}`),
  });
  $('scores-button').disabled = false;
}
$('again').addEventListener('click', () => start().catch((error) => trouble(error.message)));

async function load() {
  if (typeof WebAssembly !== 'object')
    throw new Error('This browser cannot run ORBRIDDEN: it has no WebAssembly.');
  [compiled] = await Promise.all([compile(), loadscript('orbridden.js'), document.fonts.load('1em "Orbridden Mono"')]);
  await start();
}
load().catch((error) => trouble(`ORBRIDDEN could not start. ${error.message}`));
