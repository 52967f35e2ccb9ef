// The page's script: loads the game's WebAssembly, draws the console's 25 rows as text, turns
// keys, the keypad and a touch screen's keyboard into the bytes a terminal would send, and keeps
// the scores and the journal of every game (to continue it, or download it) in the browser.
// What it and the game's C++ hand each other: web/INTERFACE.md.
// Test option: ?clock=N plays with the stepping clock from N, as the golden sessions do.
'use strict';

const rows = 25;
const cols = 80;
const $ = (id) => document.getElementById(id);
const encoder = new TextEncoder();
const clock = new URLSearchParams(location.search).get('clock');
// How long the browser's storage may take to answer before it counts as silent.
const storagewait = 3000;
// How long a line of the journal may wait before it is stored (it is stored at once when the
// page is hidden or closed).
const journalwait = 300;

// ---- the page's state, all of it; the tests and benchmarks read taken, waiting and drawn
const state = (window.orbridden = {
  taken: 0, // bytes the game has read
  waiting: false, // the game waits for a key and none is queued
  drawn: 0, // frames and pages drawn
  type: (text) => send(encoder.encode(text)),
  rowspans: [...$('screen').querySelectorAll('.row')], // the console's 25 row elements
  heard: Array(rows).fill(''), // the rows as the live region last spoke them
  queue: [], // the bytes of keys sent and not yet read, from the first page on
  reader: null, // a read waiting for keys: [size, resolve]
  compiled: null, // the WebAssembly, compiled once for every game of this visit
  game: null, // the running module
  storage: null, // a promise of the scores' IndexedDB, or of null where there is none
  visitonly: '', // where there is none: why, as the page says it
  visitscores: new Uint8Array(), // score.txt's records the storage did not take: this visit's
  visitgames: [], // and the games played, kept for this visit only
  journal: null, // this tab's game: its journal (gamerun)
  opening: () => start(), // what the page opens with: a game, or a recording (watch.js)
  watch: null, // the replay being watched (watch.js)
  journalline: () => {}, // told of each whole line of the journal (live.js sends them on)
});

function setstate(name, text) {
  document.body.dataset.state = name;
  $('status').textContent = text;
}

// Whether a hall (orbridden-hall) serves this page: its API at `path` answers as JSON, where a
// static host has no such file (hall.js, live.js).
/* exported servedbyhall */
function servedbyhall(path) {
  return fetch(path)
    .then((r) => r.ok && (r.headers.get('Content-Type') || '').startsWith('application/json'))
    .catch(() => false);
}

// A line under the bar for what the player must know about the scores (empty: none).
function note(text) {
  $('note').textContent = text;
  $('note').hidden = !text;
}

// ---- the console: 25 row elements, each replaced when the game sends it (a row that changed).
// The build wrote the game's first page into them, shown while the WebAssembly compiles.
const cursor = $('cursor');

function blankscreen() {
  for (let r = 0; r < rows; ++r) drawrow(r, ' '.repeat(cols));
  cursor.hidden = true;
}

// A row of the game's (80 glyphs); then, once the rows of a frame or page are there, its cursor
// (hidden where the game waits with it on a blank row: a map frame, a fight). The cursor's
// style is written only where it changes: written anew, it costs each key a new layout.
function drawrow(r, text) {
  state.rowspans[r].textContent = text;
}
function drawcursor(row, col, shown) {
  if (cursor.hidden !== !shown) cursor.hidden = !shown;
  const style = cursor.style;
  if (
    shown &&
    (style.getPropertyValue('--row') !== `${row}` || style.getPropertyValue('--col') !== `${col}`)
  ) {
    style.setProperty('--row', row);
    style.setProperty('--col', col);
  }
  state.drawn++;
  speak(row, shown);
}

// ---- speech: what a screen reader hears, in the live region #speech. Each frame or page reads
// the text new on it: on each row that changed, the stretches of text (between runs of three
// blanks or the box lines around them, with two letters at least) that the row did not hold
// before. So a new page reads whole, line by line; a fight or a purchase reads what changed on
// the status line; a step on the map reads only the message it brings, never the map's cells;
// and the prompt the game waits at is read last.
const stretches = (row) =>
  row
    .split(/ {3,}|[|\u2502\u2551]/)
    .map((s) => s.trim())
    .filter((s) => /[A-Za-z]{2}|\$\d/.test(s));

function speak(row, shown) {
  const lines = [];
  let changed = false; // a frame that changed nothing (drawn anew) leaves what was said
  state.rowspans.forEach((span, r) => {
    const now = span.textContent;
    if (now === state.heard[r]) return;
    const before = stretches(state.heard[r]);
    lines.push(...stretches(now).filter((s) => !before.includes(s)));
    state.heard[r] = now;
    changed = true;
  });
  if (!changed) return;
  const prompt = shown ? stretches(state.heard[row]).at(-1) : undefined;
  if (lines.length && prompt && lines.at(-1) !== prompt) lines.push(prompt);
  $('speech').replaceChildren(
    ...lines.map((line) => Object.assign(document.createElement('p'), { textContent: line })),
  );
}

// The first page, as the build wrote it, read (start.js placed its cursor).
speak(Number(cursor.dataset.row), !cursor.hidden);

// ---- keys: queued as the bytes a terminal sends, taken by the game's reads; keys typed at the
// first page before the game is ready wait in the queue for it
function send(bytes) {
  if (!['loading', 'playing'].includes(document.body.dataset.state)) return;
  state.queue.push(...bytes);
  state.waiting = false;
  if (state.reader) {
    const [size, resolve] = state.reader;
    state.reader = null;
    resolve(take(size));
  }
}

function take(size) {
  const bytes = Uint8Array.from(state.queue.slice(0, size));
  state.queue = state.queue.slice(size);
  state.taken += bytes.length;
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
// One character, not a control character.
const character = (key) => [...key].length === 1 && key >= ' ' && key !== '\x7f';
// Text typed as characters: each in UTF-8, which the game reads as one key (one beyond ASCII as
// '?'); control characters are no keys of the game's.
const sendtext = (text) => send(encoder.encode([...text].filter(character).join('')));
function keybytes(event) {
  // Ctrl and Alt together are AltGr on many layouts: a character it makes is typed, as a
  // terminal sends it. Ctrl, Alt or Meta alone make no key of the game's.
  if (event.ctrlKey && event.altKey && !event.metaKey)
    return character(event.key) ? event.key : null;
  if (event.ctrlKey || event.altKey || event.metaKey) return null;
  const pad = /^Numpad(\d)$/.exec(event.code);
  if (pad) return pad[1];
  if (event.code === 'NumpadEnter') return '\n';
  if (named[event.key] !== undefined) return named[event.key];
  return character(event.key) ? event.key : null;
}

function onkey(event) {
  if (state.watch) return; // the watch view's keys are its own (watch.js)
  if ($('scores').open || (event.target.tagName === 'BUTTON' && event.key === 'Enter')) return;
  if (event.isComposing) return; // a key of a composition: its text comes when it is committed
  const bytes = keybytes(event);
  if (bytes === null) return;
  event.preventDefault();
  send(encoder.encode(bytes));
}

// The keypad: digits (8 2 4 6 walk) and Enter, sent on touch without taking the focus.
for (const button of document.querySelectorAll('#keypad button')) {
  button.addEventListener('pointerdown', (event) => event.preventDefault());
  button.addEventListener('click', () => send(encoder.encode(button.dataset.key)));
}

document.addEventListener('keydown', onkey);

// A touch screen's own keyboard, for the hero's name and hangman: what it types into the
// hidden field is sent instead (keys it also reports as keydown were sent above). The field
// keeps one blank, so that Backspace has something to delete and is reported. A keyboard or
// input method that composes text shows each step of a composition in the field: only the text
// it commits is sent, once.
const typing = $('typing');
const sentinel = () => {
  typing.value = ' ';
  typing.setSelectionRange(1, 1);
};
$('typing-button').addEventListener('click', () => {
  typing.focus();
  sentinel();
});
const composing = ['insertCompositionText', 'deleteCompositionText', 'insertFromComposition'];
typing.addEventListener('beforeinput', (event) => {
  if (event.isComposing || composing.includes(event.inputType)) return;
  if (event.inputType === 'deleteContentBackward') send([0x7f]);
  else if (event.inputType === 'insertLineBreak') send([10]);
  else if (event.data) sendtext(event.data);
  else return;
  event.preventDefault();
});
typing.addEventListener('compositionend', (event) => {
  sendtext(event.data || '');
  sentinel();
});
typing.addEventListener('input', (event) => event.isComposing || sentinel());

// ---- scores: score.txt's bytes, one value in an IndexedDB store of the page's own. A game's
// record is appended in one readwrite transaction, which reads what the storage holds at that
// moment: no other tab can come between the read and the write. Where the storage is missing,
// refused or silent, they are kept for this visit only. A tab that appends tells the others,
// whose Scores view then lists the scores anew.
const scorefile = 'score.txt';
const channel =
  typeof BroadcastChannel === 'function' ? new BroadcastChannel('orbridden-scores') : null;

// `promise`, or a failure once the storage has been silent for `storagewait` ms.
function timed(promise) {
  let timer;
  const silent = new Promise((resolve, reject) => {
    timer = setTimeout(
      () => reject(new Error("the browser's storage did not answer")),
      storagewait,
    );
  });
  return Promise.race([promise, silent]).finally(() => clearTimeout(timer));
}

// What went wrong with the storage, in the player's words.
function why(error) {
  if (error && error.name === 'QuotaExceededError')
    return "the browser's storage for this page is full";
  return String((error && error.message) || error).replace(/\.$/, '');
}

// Opens the database `name` at `version` (undefined: as it is); `upgrade(db, old)` makes the
// stores it lacks, from its version `old` (0: new). A later page that needs to change the
// database is let do so: this one then finds its storage gone.
function opendb(name, version, upgrade) {
  return new Promise((resolve, reject) => {
    const request = indexedDB.open(name, version);
    request.onupgradeneeded = (event) => upgrade(request.result, event.oldVersion);
    request.onsuccess = () => {
      request.result.onversionchange = () => request.result.close();
      resolve(request.result);
    };
    request.onerror = () => reject(request.error);
  });
}

// Runs `work(store, done)` in one transaction over `store` (over several stores, `work` has the
// transaction); what it gave `done`, once the transaction has committed.
function transact(db, store, mode, work) {
  return new Promise((resolve, reject) => {
    const transaction = db.transaction(store, mode);
    let result;
    const over = Array.isArray(store) ? transaction : transaction.objectStore(store);
    work(over, (value) => (result = value));
    transaction.oncomplete = () => resolve(result);
    transaction.onabort = () =>
      reject(transaction.error || new Error('the browser cut the save short'));
  });
}
const valueof = (key) => (store, done) => {
  store.get(key).onsuccess = (event) => done(event.target.result);
};

// score.txt as the page kept it before it had a store of its own, through emscripten's IDBFS
// (the database '/scores', the file under '/scores/score.txt'), where that database exists.
async function earlierscores() {
  const known = indexedDB.databases ? await indexedDB.databases() : [];
  if (!known.some((d) => d.name === '/scores')) return null;
  const db = await opendb('/scores', undefined, () => {});
  try {
    const file = await transact(db, 'FILE_DATA', 'readonly', valueof('/scores/score.txt'));
    return file ? new Uint8Array(file.contents) : null;
  } finally {
    db.close();
  }
}

// The page's own database, made with the earlier scores in it where there are any. Version 2
// adds the journals of the games being played (`journals`, by game) and the games played
// (`games`, by name), beside score.txt.
async function openscores() {
  if (!window.indexedDB) throw new Error('this browser gives the page no storage');
  const earlier = await earlierscores().catch(() => null);
  return opendb('orbridden', 2, (db, old) => {
    if (old < 1) {
      const files = db.createObjectStore('files');
      if (earlier) files.put(earlier, scorefile);
    }
    if (old < 2) {
      db.createObjectStore('journals');
      db.createObjectStore('games');
    }
  });
}

const joined = (a, b) => {
  const out = new Uint8Array(a.length + b.length);
  out.set(a);
  out.set(b, a.length);
  return out;
};

function openstorage() {
  state.storage = timed(openscores()).catch((error) => {
    state.visitonly = `Scores are kept for this visit only and this game cannot be continued later: ${why(error)}.`;
    note(state.visitonly);
    return null;
  });
}

// score.txt's bytes as the storage holds them now, and after them the records of this visit it
// could not take.
async function readscores() {
  const db = await state.storage;
  if (!db) return state.visitscores;
  const stored = await timed(transact(db, 'files', 'readonly', valueof(scorefile)));
  return joined(stored || new Uint8Array(), state.visitscores);
}

// Appends a finished game's record; one the storage cannot take is kept for this visit. Says
// what the player must know when it was not stored.
async function keepscore(record) {
  if (!record.length) return '';
  const db = await state.storage;
  let said = state.visitonly;
  if (db) {
    try {
      await timed(
        transact(db, 'files', 'readwrite', (files) => {
          const read = files.get(scorefile);
          read.onsuccess = () =>
            files.put(joined(read.result || new Uint8Array(), record), scorefile);
        }),
      );
      if (channel) channel.postMessage('appended');
      return '';
    } catch (error) {
      said = `Your score could not be stored: ${why(error)}. It is kept for this visit only.`;
    }
  }
  state.visitscores = joined(state.visitscores, record);
  return said;
}

// ---- the journal: every game the page plays is recorded by the game as it goes, line by line,
// into the device /dev/journal the page makes for it; the page keeps the lines in the store
// `journals` under the game's id, within `journalwait` ms of each key and at once when the page
// is hidden or closed, so that a closed tab or a killed browser loses nothing up to the last
// key stored. A tab holds the Web Lock `orbridden-journal-ID` of the game it plays; the page
// opens with the most recent unfinished game no other tab holds, which the game offers to
// continue. A game that ends, or is not continued, goes to the store `games` under the name the
// game gives it (DATE-HERO-POINTS.rec, -abandoned, -unreplayable).
const locks = navigator.locks;
const gameid = () => `${Date.now().toString(36)}-${Math.random().toString(36).slice(2, 10)}`;
const keylines = (text) => (text.match(/^\d/gm) || []).length;
const latin1 = new TextDecoder('latin1');

// A promise of the function that lets go of game `id`'s lock, or of null where another tab
// holds it. Without Web Locks, every game is free.
function takelock(id) {
  if (!locks) return Promise.resolve(() => {});
  return new Promise((resolve) => {
    locks.request(`orbridden-journal-${id}`, { ifAvailable: true }, (lock) => {
      if (!lock) return resolve(null);
      return new Promise((release) => resolve(release));
    });
  });
}

// The most recent unfinished game in the storage that no other tab plays, its lock taken; or
// null.
async function freejournal(db) {
  if (!db) return null;
  let games;
  try {
    games = await timed(
      transact(db, 'journals', 'readonly', (journals, done) => {
        const found = [];
        journals.openCursor().onsuccess = (event) => {
          const at = event.target.result;
          if (!at) return done(found);
          found.push({ ...at.value, id: at.key });
          at.continue();
        };
      }),
    );
  } catch {
    return null;
  }
  games.sort((a, b) => b.last - a.last);
  for (const game of games) {
    const release = await takelock(game.id);
    if (release) return { ...game, release };
  }
  return null;
}

// The download link of this tab's game's journal, shown once it holds a key. Its file is made
// from the journal as it stands when the link is used: a copy at every save would cost more
// than the save.
function journallink(j, name = 'journal.rec') {
  const link = $('journal-link');
  if (j !== state.journal) return;
  link.download = name;
  link.hidden = !j.keys;
}
for (const use of ['click', 'contextmenu'])
  $('journal-link').addEventListener(use, (event) => {
    const link = event.currentTarget;
    URL.revokeObjectURL(link.href);
    link.href = URL.createObjectURL(new Blob([state.journal.text], { type: 'text/plain' }));
  });

// Stores what the journal holds that the storage does not (a game with no key yet: nothing).
function savejournal(j) {
  clearTimeout(j.timer);
  j.timer = 0;
  journallink(j);
  const upto = j.text.length;
  if (!j.db || !j.keys || j.done || upto === j.saved) return Promise.resolve();
  if (!j.release) {
    j.timer = setTimeout(() => savejournal(j), journalwait); // its lock is on its way
    return Promise.resolve();
  }
  const entry = { text: j.text, keys: j.keys, last: Date.now(), live: j.live };
  return transact(j.db, 'journals', 'readwrite', (journals) => journals.put(entry, j.id)).then(
    () => (j.saved = Math.max(j.saved, upto)),
    (error) => {
      if (!j.failed) note(`This game cannot be continued later: ${why(error)}.`);
      j.failed = true;
    },
  );
}
const saveall = () => state.journal && savejournal(state.journal);
document.addEventListener('visibilitychange', () => document.hidden && saveall());
window.addEventListener('pagehide', saveall);

// A new entry for the journal `j`, and its lock.
function newentry(j) {
  j.id = gameid();
  takelock(j.id).then((release) => (j.left ? release() : (j.release = release)));
}

// A byte of the journal, as the game writes it. A new game's first byte makes its entry.
function journalbyte(j, byte) {
  if (!j.id) newentry(j);
  if (j.atline && byte >= 0x30 && byte <= 0x39) j.keys++; // a key's line starts with its time
  j.atline = byte === 10;
  j.text += String.fromCharCode(byte);
  if (!j.timer) j.timer = setTimeout(() => savejournal(j), journalwait);
  if (j.atline) state.journalline(j);
}

// Moves journal `id` to the games played as `game` ({ name, kind, text }; null: drops it); a
// name taken has a number added.
async function keepgame(db, id, game) {
  if (!db) {
    if (game) state.visitgames.push({ ...game, when: Date.now() });
    return;
  }
  await transact(db, ['journals', 'games'], 'readwrite', (t) => {
    if (id) t.objectStore('journals').delete(id);
    if (!game) return;
    const games = t.objectStore('games');
    const keep = (n) => {
      const name = n > 1 ? game.name.replace(/\.rec$/, `-${n}.rec`) : game.name;
      games.getKey(name).onsuccess = (event) => {
        if (event.target.result === undefined) games.put({ ...game, name, when: Date.now() }, name);
        else keep(n + 1);
      };
    };
    keep(1);
  });
}

// Leaves this tab's game (for another, or the watch view): stored, its lock let go, unless it
// is `handed` on to the next game.
function leavegame(handed = null) {
  const j = state.journal;
  state.journal = null;
  $('journal-link').hidden = true;
  if (!j || j.done) return;
  j.left = true;
  const release = j.release;
  if (release && !(handed && handed.id === j.id)) savejournal(j).finally(release);
}

// A game's arguments and Module.page's part for the journal: `offered` is a journal this tab
// holds (the game offers to continue it, or keeps it aside), `file` the player's recording
// to continue ({ name, bytes }); with neither, the most recent free journal is offered.
async function gamerun({ offered = null, file = null } = {}) {
  const db = await state.storage;
  if (!offered && !file) offered = await freejournal(db);
  // `live`: the live game it goes on as, where it is played live ({ game, token }; live.js)
  const j = { id: null, release: null, text: '', keys: 0, saved: 0, timer: 0, atline: true };
  j.live = null;
  Object.assign(j, { db, offered, file, done: false, left: false, failed: false });
  state.journal = j;
  journallink(j);
  const args = clock ? ['--clock', clock] : [];
  if (offered) args.push('--journal', 'journal.rec');
  if (file) args.push('--continue', 'continue.rec');
  return {
    arguments: args,
    prepare: (module) => {
      module.FS.createDevice('/dev', 'journal', null, (byte) => journalbyte(j, byte));
      if (offered) module.FS.writeFile('journal.rec', offered.text);
      if (file) module.FS.writeFile('continue.rec', file.bytes);
    },
    page: {
      // The journal handed in is not continued: kept among the games played, or dropped.
      setaside(kind, name) {
        const handed = j.offered;
        j.offered = null;
        const game = kind ? { name, kind, text: handed.text } : null;
        keepgame(db, handed.id, game).finally(handed.release);
      },
      // The game handed in goes on: its first `keep` bytes are its journal, stored at once.
      resumed(keep) {
        if (file) newentry(j);
        else Object.assign(j, { id: j.offered.id, release: j.offered.release });
        if (!file) j.live = j.offered.live || null;
        j.text = file ? latin1.decode(file.bytes.subarray(0, keep)) : j.offered.text.slice(0, keep);
        j.keys = keylines(j.text);
        savejournal(j);
        state.journalline(j);
      },
      // The player's recording cannot be continued: the tab's own game, if any, is offered
      // again, and the page says why.
      refused(text, finished) {
        const said = `${file ? file.name : 'The journal'}: ${text}.${finished ? ' Watch plays it.' : ''}`;
        setTimeout(() => {
          fresh();
          start(null, { offered: j.offered }).then(() => note(said));
        });
      },
    },
  };
}

// Continues the player's recording `file` in this tab; the game this tab played is kept among
// the games played as abandoned (as the terminal's --continue does) if it goes on.
async function continuefile(file) {
  const bytes = new Uint8Array(await file.arrayBuffer());
  const j = state.journal;
  let offered = null;
  if (j && !j.done && j.id && j.keys && j.release) {
    await savejournal(j);
    offered = { id: j.id, text: j.text, release: j.release };
  }
  state.watch = null;
  $('watchbar').hidden = true;
  fresh();
  await start(null, { offered, file: { name: file.name, bytes } });
}

// The Scores view: the game's own listing of score.txt, and the file to download. Tapped while
// the game's module loads, it opens once the module runs.
let gamethere;
const gameready = new Promise((resolve) => (gamethere = resolve));
async function showscores() {
  await gameready;
  const dialog = $('scores');
  const link = $('download');
  let listing;
  let bytes = new Uint8Array();
  try {
    bytes = await readscores();
    state.game.FS.writeFile(scorefile, bytes); // where the game's listing reads it
    listing = bytes.length ? state.game.UTF8ToString(state.game._scorelisting()) : '';
    listing = listing || 'No game has ended in this browser yet.';
  } catch (error) {
    listing = `The scores could not be read: ${why(error)}.`;
  }
  $('score-list').textContent = listing;
  link.hidden = !bytes.length;
  URL.revokeObjectURL(link.href);
  link.href = bytes.length ? URL.createObjectURL(new Blob([bytes], { type: 'text/plain' })) : '#';
  await listgames();
  if (!dialog.open) dialog.showModal();
}

// The games played in this browser, latest first, each to download or watch.
async function listgames() {
  const list = $('games');
  for (const a of list.querySelectorAll('a')) URL.revokeObjectURL(a.href);
  let games = state.visitgames;
  const db = await state.storage;
  if (db) {
    try {
      games = await timed(
        transact(db, 'games', 'readonly', (store, done) => {
          store.getAll().onsuccess = (event) => done(event.target.result);
        }),
      );
    } catch (error) {
      list.replaceChildren(`The games could not be read: ${why(error)}.`);
      return;
    }
  }
  const items = [...games]
    .sort((a, b) => b.when - a.when)
    .map((game) => {
      const item = document.createElement('li');
      const download = Object.assign(document.createElement('a'), {
        href: URL.createObjectURL(new Blob([game.text], { type: 'text/plain' })),
        download: game.name,
        textContent: game.name,
      });
      const watch = Object.assign(document.createElement('button'), {
        type: 'button',
        textContent: 'Watch',
      });
      watch.addEventListener('click', () => {
        $('scores').close();
        watchbytes(game.name, encoder.encode(game.text));
      });
      item.append(download, ' ', watch);
      return item;
    });
  list.replaceChildren(...items);
  $('games-empty').hidden = games.length > 0;
}
$('scores-button').addEventListener('click', showscores);
if (channel) channel.onmessage = () => $('scores').open && showscores();
// Enter goes to the game again, not to the button that opened the scores.
$('scores').addEventListener('close', () => document.activeElement.blur());

// ---- loading, starting, ending, failing
function trouble(text) {
  setstate('error', 'ORBRIDDEN stopped.');
  $('trouble-text').textContent = text;
  $('trouble').hidden = false;
  $('restart').focus();
}
$('restart').addEventListener('click', () => location.reload());
window.addEventListener('error', (event) => trouble(`The game stopped: ${event.message}`));
window.addEventListener('unhandledrejection', (event) =>
  trouble(`The game stopped: ${(event.reason && event.reason.message) || event.reason}`),
);

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
  if (!response.ok)
    throw new Error(
      `orbridden.wasm could not be loaded (${response.status} ${response.statusText})`,
    );
  // Compiled while it arrives, where the server names its type as browsers require.
  if (response.headers.get('Content-Type') === 'application/wasm')
    return WebAssembly.compileStreaming(response);
  return WebAssembly.compile(await response.arrayBuffer());
}

// The game has ended with `record` (the bytes it appends to score.txt): the last page stays
// while the record is kept and its journal goes to the games played as `name`, then "Play
// again" and what became of the record. Its journal is the recording a hall is offered
// (hall.js, the event orbridden-recorded).
async function over(record, name) {
  performance.mark('orbridden-over');
  const j = state.journal;
  j.done = true;
  clearTimeout(j.timer);
  journallink(j, name);
  document.dispatchEvent(new CustomEvent('orbridden-recorded', { detail: j.text }));
  const game = { name, kind: 'finished', text: j.text };
  const [kept] = await Promise.all([
    keepscore(record),
    keepgame(j.db, j.id, game)
      .catch(() => {})
      .finally(() => j.release && j.release()),
  ]);
  setstate('over', 'The game has ended.');
  note(kept);
  $('again').hidden = false;
  $('again').focus();
}

// Clears the console and the keys for a game or a replay that follows another (the first game
// keeps the page the build drew and the keys typed while the WebAssembly compiled).
function fresh() {
  $('again').hidden = true;
  state.queue = [];
  state.reader = null;
  state.taken = 0;
  blankscreen();
}

// Starts a game, with `resume` what it may continue (gamerun), or with `replay` the replay of a
// recording (watch.js): its arguments and what it adds to Module.page. The game this tab
// played is left.
async function start(replay = null, resume = {}) {
  leavegame(resume.offered);
  if (replay) fresh();
  setstate(replay ? 'watching' : 'playing', replay ? 'Watching a recording' : 'Playing ORBRIDDEN');
  note(replay ? '' : state.visitonly);
  const run = replay || (await gamerun(resume));
  state.game = await createOrbridden({
    arguments: run.arguments,
    preRun: [run.prepare],
    instantiateWasm(imports, done) {
      WebAssembly.instantiate(state.compiled, imports).then(
        (instance) => done(instance, state.compiled),
        trouble,
      );
      return {};
    },
    page: {
      row: drawrow,
      cursor: drawcursor,
      over,
      ready: () => (state.queue.length > 0 ? 1 : 0),
      keys: (size) => {
        if (state.queue.length > 0) return Promise.resolve(take(size));
        state.waiting = true;
        return new Promise((resolve) => (state.reader = [size, resolve]));
      },
      ...run.page,
    },
    print: (text) => console.log(text),
    printErr: (text) => console.warn(text),
    onAbort: (what) => trouble(`The game stopped: ${what}`),
  });
  gamethere();
}
$('again').addEventListener('click', () => {
  state.watch = null;
  fresh();
  start().catch((error) => trouble(error.message));
});
// A recording of the player's to continue: one from the terminal's journal, or downloaded from
// another browser.
$('continue-button').addEventListener('click', () => $('continue-file').click());
$('continue-file').addEventListener('change', (event) => {
  const file = event.target.files[0];
  event.target.value = '';
  if (file && state.compiled) continuefile(file).catch((error) => trouble(error.message));
});

async function load() {
  if (typeof WebAssembly !== 'object')
    throw new Error('This browser cannot run ORBRIDDEN: it has no WebAssembly.');
  openstorage(); // while the WebAssembly compiles: the game may continue a journal it holds
  [state.compiled] = await Promise.all([
    compile(),
    loadscript('orbridden.js'),
    document.fonts.load('1em "Orbridden Mono"'),
  ]);
  await state.opening();
}
load().catch((error) => trouble(`ORBRIDDEN could not start. ${error.message}`));

// ---- offline: the service worker (sw.js) keeps this build's files. A new build found while no
// key has been typed takes over at once and the page loads anew from it; after the first key it
// waits for the next visit. Files of two builds never mix.
if ('serviceWorker' in navigator && window.isSecureContext) {
  const had = Boolean(navigator.serviceWorker.controller);
  navigator.serviceWorker.addEventListener('controllerchange', () => had && location.reload());
  const update = (worker) =>
    worker && state.taken === 0 && !state.queue.length && worker.postMessage('update');
  navigator.serviceWorker.register('sw.js').then(
    (registration) => {
      update(registration.waiting);
      registration.addEventListener('updatefound', () => {
        const worker = registration.installing;
        worker.addEventListener(
          'statechange',
          () => worker.state === 'installed' && had && update(worker),
        );
      });
    },
    () => {},
  );
}
