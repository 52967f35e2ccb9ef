// The watch view: a recording (.rec) replayed by the game itself in the page, as --replay does
// on a terminal, opened by the Watch button, by a file dropped on the page or by ?watch=PATH
// (of this site only); its controls by key and by the bar; #key=N opens it paused at key N.
// It uses page.js's state, start and trouble; what it and the C++ hand each other:
// web/INTERFACE.md.
'use strict';

// The longest pause between two keys shown at speed 1, as on the terminal; the speed is 2 to a
// power from -2 to 6.
const idlelimit = 5000;
const slowest = -2;
const fastest = 6;
const watchfile = 'watch.rec'; // where the page puts the recording for the game

// The key #key=N names, or 0.
const keyinaddress = () => Number((/^#key=(\d+)$/.exec(location.hash) || [])[1] || 0);

function showbar() {
  const w = state.watch;
  $('watchbar').hidden = false;
  $('watch-seek').max = String(Math.max(w.keys, 1));
  $('watch-seek').value = String(w.key);
  const seconds = Math.floor(w.now / 1000);
  const time = `${Math.floor(seconds / 60)}:${String(seconds % 60).padStart(2, '0')}`;
  $('watch-where').textContent = `key ${w.key} of ${w.keys}, ${time}`;
  $('watch-speed').textContent = w.speed < 0 ? `1/${2 ** -w.speed}x` : `${2 ** w.speed}x`;
  $('watch-pause').textContent = w.paused ? '\u25B6' : '\u2759\u2759';
  const link = $('watch-link');
  link.hidden = !w.shareable;
  link.href = `${location.pathname}${location.search}#key=${w.key}`;
}

// Hands the game the answer to its key's pace: 0 (the key goes), -1 (the end) or a key to go to.
function answer(value) {
  const w = state.watch;
  clearTimeout(w.timer);
  const resolve = w.resolve;
  w.resolve = null;
  if (resolve) resolve(value);
}

// Waits out what is left of the key's delay at the speed, unless paused. Keys are due on a
// timeline from the last one's time, not from when the game asked (drawing and timers that fire
// late take time): a replay behind it catches up, by a second at the most.
function schedule() {
  const w = state.watch;
  clearTimeout(w.timer);
  if (w.paused || !w.resolve) return;
  const now = performance.now();
  w.since = now;
  const due = Math.max(w.mark, now - 1000) + Math.max(w.left, 0) / 2 ** w.speed;
  const go = () => {
    w.mark = due;
    answer(0);
  };
  if (due <= now) return go();
  w.timer = setTimeout(go, due - now);
}

// The time waited so far, taken off what is left.
function waited() {
  const w = state.watch;
  if (!w.paused && w.resolve) w.left -= (performance.now() - w.since) * 2 ** w.speed;
}

function seek(key) {
  const w = state.watch;
  const to = Math.min(Math.max(key, 1), Math.max(w.keys, 1));
  w.mark = performance.now();
  if (w.resolve && to !== w.key) answer(to);
}

// The controls, by the terminal's keys.
function act(key) {
  const w = state.watch;
  if (!w || !w.resolve) return;
  waited();
  w.mark = performance.now();
  if (key === ' ') w.paused = !w.paused;
  else if (key === '+') w.speed = Math.min(w.speed + 1, fastest);
  else if (key === '-') w.speed = Math.max(w.speed - 1, slowest);
  else if (key === 'q' || key === 'Q') return answer(-1);
  else if (w.paused && key === '.') return answer(0);
  else if (w.paused) {
    const step = { ArrowLeft: -1, ArrowRight: 1, PageUp: -100, PageDown: 100 }[key];
    if (step) return seek(w.key + step);
  }
  schedule();
  showbar();
}

// Module.page's part for the replay `w`. A replay left for another is never answered again: it
// waits for ever and draws nothing more.
const watchpage = (w) => ({
  watching(keys) {
    w.keys = keys;
  },
  warn(text) {
    note(`${w.name} ${text}`);
  },
  pace(key, delay, now) {
    Object.assign(w, { key, now, left: Math.min(delay, idlelimit) });
    showbar();
    return new Promise((resolve) => {
      w.resolve = resolve;
      schedule();
    });
  },
  watched(text) {
    w.resolve = null;
    setstate('over', text ? 'The replay stopped.' : 'The replay has ended.');
    if (text) note(`${w.name}: ${text}`);
    $('again').hidden = false;
  },
});

// Replays the recording `bytes`, called `name`, from key `at` (0: its start) paused there.
function watchbytes(name, bytes, at = 0, shareable = false) {
  if (state.watch) clearTimeout(state.watch.timer);
  const w = { name, keys: 0, key: at, now: 0, speed: 0, paused: at > 0, shareable };
  w.mark = performance.now(); // when the last key was due
  w.resolve = null;
  state.watch = w;
  return start({
    arguments: ['--replay', watchfile, '--at', String(at)],
    prepare: (module) => module.FS.writeFile(watchfile, bytes),
    page: watchpage(w),
  });
}

// ?watch=PATH: a recording of this site, fetched.
async function watchaddress(path) {
  const url = new URL(path, location.href);
  state.watch = { name: path, keys: 0, key: 0 };
  if (url.origin !== location.origin) {
    blankscreen();
    setstate('over', 'Nothing to watch.');
    return note(`${path}: a recording from another site is not opened here`);
  }
  const response = await fetch(url);
  if (!response.ok) {
    blankscreen();
    setstate('over', 'Nothing to watch.');
    return note(`${path}: could not be loaded (${response.status} ${response.statusText})`);
  }
  return watchbytes(path, new Uint8Array(await response.arrayBuffer()), keyinaddress(), true);
}

async function watchfileof(file) {
  if (file) await watchbytes(file.name, new Uint8Array(await file.arrayBuffer()), keyinaddress());
}

const watched = new URLSearchParams(location.search).get('watch');
if (watched !== null) state.opening = () => watchaddress(watched);

// Opening when the game is there to play the recording (the WebAssembly compiled).
const whenloaded = (work) => () =>
  state.compiled ? work().catch((error) => trouble(error.message)) : undefined;
$('watch-button').addEventListener('click', () => $('watch-file').click());
$('watch-file').addEventListener('change', (event) =>
  whenloaded(() => watchfileof(event.target.files[0]))(),
);
document.addEventListener('dragover', (event) => event.preventDefault());
document.addEventListener('drop', (event) => {
  event.preventDefault();
  const file = event.dataTransfer.files[0];
  whenloaded(() => watchfileof(file))();
});
window.addEventListener('hashchange', () => {
  if (state.watch && keyinaddress()) {
    state.watch.paused = true;
    seek(keyinaddress());
  }
});

document.addEventListener('keydown', (event) => {
  if (!state.watch || event.ctrlKey || event.altKey || event.metaKey) return;
  if (event.target.tagName === 'BUTTON' && (event.key === 'Enter' || event.key === ' ')) return;
  const known = [' ', '+', '-', '.', 'q', 'Q', 'ArrowLeft', 'ArrowRight', 'PageUp', 'PageDown'];
  if (!known.includes(event.key)) return;
  event.preventDefault();
  act(event.key === 'ArrowRight' && !state.watch.paused ? '' : event.key);
});
for (const button of document.querySelectorAll('#watchbar button'))
  button.addEventListener('click', () => act(button.dataset.act));
$('watch-seek').addEventListener('input', (event) => seek(Number(event.target.value)));
$('again').addEventListener('click', () => ($('watchbar').hidden = true));
