// Live games, where a hall serves the page: the Live view (the games being played, each to
// watch, and Play live); playing live (?play=live), the journal's lines sent to the hall as the
// game writes them; watching live (?live=ID), the game replayed as its lines arrive. It uses
// page.js's state and routines and watch.js's replay; the hall's side: README.md, Live games.
'use strict';
{
  const params = new URLSearchParams(location.search);
  // The longest wait before connecting again, in ms; the first is 0.5 s, then twice the last.
  const longestwait = 30000;
  const backoff = (wait) => Math.min(wait ? wait * 2 : 500, longestwait);
  const socketto = (path) => {
    const url = new URL(path, location.href);
    url.protocol = url.protocol === 'https:' ? 'wss:' : 'ws:';
    return new WebSocket(url);
  };
  const linecount = (text) => (text.match(/\n/g) || []).length;
  // What the hall said of a game that ended, in words.
  const endedwords = (m) =>
    m.run === null
      ? `The hall did not take the game: ${m.problem}.`
      : m.witnessed
        ? 'The game has ended: the hall witnessed and verified it.'
        : `The game has ended: the hall verified it but did not witness it (${m.reason}).`;
  const livestate = (text) => ($('live-state').textContent = text);

  // ---- playing live: every whole line of this tab's journal goes to the hall, from the line
  // the hall says it has; the game never waits for it. The live game's id and token are kept
  // with the journal (page.js), so that a reload, a Continue, a dropped connection or a
  // restarted hall goes on with the same game.
  const player = { j: null, socket: null, ready: false, sent: 0, at: 0, wait: 0, timer: 0 };
  player.over = false; // the hall has said the game ended
  player.refused = false; // the hall said what was wrong: tried again at the next line only
  player.queued = false; // lines are on their way to the socket

  // The lines of the journal the hall lacks, in one message, once the game has written all it
  // writes for a key (the game yields to the page while it waits for the next).
  function sendlines() {
    player.queued = false;
    const { j, socket } = player;
    if (!player.ready || socket.readyState !== WebSocket.OPEN) return;
    const end = j.text.lastIndexOf('\n') + 1;
    if (end <= player.at) return;
    const lines = j.text.slice(player.at, end);
    socket.send(JSON.stringify({ from: player.sent, lines }));
    player.sent += linecount(lines);
    player.at = end;
  }

  function connect() {
    const j = player.j;
    player.timer = 0;
    const socket = (player.socket = socketto('api/live/play'));
    socket.onopen = () => socket.send(JSON.stringify(j.live || { game: null }));
    socket.onmessage = (event) => {
      const m = JSON.parse(event.data);
      if (m.error) {
        player.refused = true;
        livestate(`Not live: ${m.error}`);
      } else if (m.ended) {
        player.over = true;
        livestate(endedwords(m));
        if (m.run !== null) $('submit-button').hidden = true; // the hall has it already
      } else if (m.token) {
        // The hall holds lines this journal lost (a reload within a moment of a key): the game
        // goes on live as a new one.
        if (m.have > linecount(j.text)) {
          j.live = null;
          socket.onclose = null;
          socket.close();
          return connect();
        }
        j.live = { game: m.game, token: m.token };
        j.saved = 0; // stored with the journal at once
        savejournal(j);
        // From the line the hall has: its offset in the journal.
        let at = 0;
        for (let n = 0; n < m.have; ++n) at = j.text.indexOf('\n', at) + 1;
        Object.assign(player, { sent: m.have, at, ready: true, wait: 0, refused: false });
        livestate(`Live: game ${m.game}`);
        sendlines();
      }
    };
    socket.onclose = () => {
      if (player.socket !== socket) return;
      Object.assign(player, { socket: null, ready: false });
      if (player.over || player.refused) return;
      livestate('Live: reconnecting to the hall\u2026');
      later();
    };
  }

  function later() {
    player.wait = backoff(player.wait);
    player.timer = setTimeout(connect, player.wait);
  }

  function playline(j) {
    if (player.j !== j) {
      if (player.socket) player.socket.close();
      clearTimeout(player.timer);
      Object.assign(player, { j, socket: null, ready: false, wait: 0, timer: 0 });
      Object.assign(player, { over: false, refused: false, queued: false });
      connect();
    } else if (!player.socket && !player.timer && !player.over) later();
    else if (player.ready && !player.queued) {
      player.queued = true;
      setTimeout(sendlines);
    }
  }

  // ---- watching live: the recording so far, replayed unseen to its last key, then each batch
  // of lines as the hall sends it; a spectator that reconnects asks from the line it has.
  async function watchlive(id) {
    const name = `Live game ${id}`;
    state.watch = { name, keys: 0, key: 0 };
    const response = await fetch(`api/live/${encodeURIComponent(id)}/recording`);
    if (!response.ok) {
      blankscreen();
      setstate('over', 'Nothing to watch.');
      return note(`${name}: the hall is not playing it (${response.status})`);
    }
    const text = await response.text();
    const s = { lines: linecount(text), pending: '', waiting: null, ended: false, wait: 0 };
    const give = () => {
      if (!s.waiting || (!s.pending && !s.ended)) return;
      const resolve = s.waiting;
      s.waiting = null;
      resolve(s.pending || null);
      s.pending = '';
    };
    const follow = () => {
      const socket = socketto(`api/live/${encodeURIComponent(id)}/watch`);
      // The recording's lines come in binary messages, in order from those it has; what the
      // hall says besides comes as JSON in text messages.
      socket.binaryType = 'arraybuffer';
      socket.onopen = () => socket.send(JSON.stringify({ from: s.lines }));
      socket.onmessage = (event) => {
        if (typeof event.data === 'string') {
          const m = JSON.parse(event.data);
          if (m.error) livestate(`Not live: ${m.error}`);
          if (m.ended) {
            s.ended = true;
            livestate(endedwords(m));
          }
          return give();
        }
        const lines = new TextDecoder().decode(event.data);
        s.lines += linecount(lines);
        s.pending += lines;
        s.wait = 0;
        livestate('Live');
        give();
      };
      socket.onclose = () => {
        if (s.ended || state.watch !== w) return;
        livestate('Live: reconnecting to the hall\u2026');
        s.wait = backoff(s.wait);
        setTimeout(follow, s.wait);
      };
    };
    const w = { name, keys: keylines(text), key: 0, now: 0, speed: 0, paused: false };
    Object.assign(w, { shareable: false, mark: performance.now(), resolve: null });
    state.watch = w;
    const watching = watchpage(w);
    follow();
    return start({
      arguments: ['--replay', watchfile, '--at', String(w.keys), '--live'],
      prepare: (module) => module.FS.writeFile(watchfile, text),
      page: {
        ...watching,
        // Keys are handed over as they come: the hall paces them.
        pace: (key, delay, now) => {
          Object.assign(w, { key, now, keys: Math.max(w.keys, key) });
          return 0;
        },
        more: () => new Promise((resolve) => ((s.waiting = resolve), give())),
        // The replay has ended: where it stopped before the game's end, nothing more is asked.
        watched(said) {
          s.ended = true;
          watching.watched(said);
        },
      },
    });
  }

  // ---- the Live view: the games being played, each to watch, and Play live.
  const view = $('live');
  const minutes = (ms) => {
    const m = Math.floor(ms / 60000);
    return m < 60 ? `${m} min` : `${Math.floor(m / 60)} h ${m % 60} min`;
  };
  const address = (name, value) => {
    const query = new URLSearchParams(clock ? { clock } : {});
    query.set(name, value);
    return `${location.pathname}?${query}`;
  };

  async function showlive() {
    try {
      const response = await fetch('api/live');
      if (!response.ok) throw new Error(`the hall answered ${response.status}`);
      const { games } = await response.json();
      const rows = games.map((game) => {
        const row = document.createElement('tr');
        const texts = [
          game.hero ?? '?',
          game.keys,
          game.rings ?? '?',
          minutes(Date.now() - game.since),
        ];
        for (const text of [...texts, game.spectators])
          row.append(Object.assign(document.createElement('td'), { textContent: String(text) }));
        const watch = Object.assign(document.createElement('a'), {
          href: address('live', game.id),
          textContent: 'Watch',
        });
        const cell = document.createElement('td');
        cell.append(watch);
        row.append(cell);
        return row;
      });
      $('live-games').replaceChildren(...rows);
      $('live-empty').hidden = games.length > 0;
      $('live-answer').textContent = '';
    } catch (error) {
      $('live-answer').textContent = `The hall cannot be read now: ${error.message}.`;
    }
    if (!view.open) view.showModal();
  }

  if (params.get('play') === 'live') state.journalline = playline;
  if (params.get('live') !== null) state.opening = () => watchlive(params.get('live'));

  // Only a page that a hall serves has live games: its list answers as JSON.
  servedbyhall('api/live').then((here) => {
    if (!here) return;
    $('live-button').hidden = false;
    $('live-button').addEventListener('click', showlive);
    $('play-live').addEventListener('click', () => location.assign(address('play', 'live')));
  });
  // While the Live view is open, keys are its own, not the game's.
  document.addEventListener(
    'keydown',
    (event) => view.open && event.stopImmediatePropagation(),
    true,
  );
  view.addEventListener('close', () => document.activeElement.blur());
}
