// The hall of fame in the page, where a hall serves it (orbridden-hall): the Hall view, the
// runs best first with each recording to download (a witnessed run marked), and at the end of a game the offer to
// submit it, with the hall's answer. Every text from the hall is set as textContent.
'use strict';
{
  const $ = (id) => document.getElementById(id);
  const view = $('hall');
  let recording = null; // the game that ended here: its journal (page.js)

  const minutes = (ms) => {
    const s = Math.floor(ms / 1000);
    return `${Math.floor(s / 60)}:${String(s % 60).padStart(2, '0')}`;
  };

  function cell(row, text) {
    const td = document.createElement('td');
    td.textContent = text;
    row.append(td);
    return td;
  }

  // The runs best first, the one just submitted marked.
  async function list(mine) {
    const response = await fetch('api/runs?sort=points&limit=100');
    if (!response.ok) throw new Error(`the hall answered ${response.status}`);
    const { runs } = await response.json();
    const body = $('hall-runs');
    body.textContent = '';
    for (const run of runs) {
      const row = document.createElement('tr');
      if (run.id === mine) row.className = 'mine';
      for (const text of [
        run.rank,
        run.name,
        run.points,
        run.deaths,
        run.keys,
        minutes(run.time_played_ms),
        run.submitted.slice(0, 10),
      ])
        cell(row, String(text));
      if (run.witnessed) {
        // A run the hall saw played live, its keys arriving as its recording says they were played.
        const mark = document.createElement('span');
        mark.textContent = ' \u2713';
        mark.title =
          'Witnessed: the hall saw this game played live, each key arriving when its recording says it was played';
        mark.setAttribute('aria-label', 'witnessed');
        row.cells[1].append(mark);
      }
      const link = document.createElement('a');
      link.href = `api/runs/${encodeURIComponent(run.id)}/recording`;
      link.download = `orbridden-run-${run.id}.rec`;
      link.textContent = 'Download';
      // Watched in a page of its own, so that a game being played here goes on.
      const watch = document.createElement('a');
      watch.href = `?watch=${encodeURIComponent(`api/runs/${run.id}/recording`)}`;
      watch.target = '_blank';
      watch.rel = 'noopener';
      watch.textContent = 'Watch';
      cell(row, '').append(link, ' ', watch);
      body.append(row);
    }
    $('hall-empty').hidden = runs.length > 0;
  }

  async function show(mine) {
    try {
      await list(mine);
    } catch (error) {
      $('hall-answer').textContent = `The hall cannot be read now: ${error.message}.`;
    }
    if (!view.open) view.showModal();
  }

  async function submit() {
    $('submit-button').disabled = true;
    $('hall-answer').textContent = 'The hall is playing your game again to verify it...';
    let mine = null;
    try {
      const response = await fetch('api/runs', {
        method: 'POST',
        headers: { 'Content-Type': 'text/plain' },
        body: recording,
      });
      const answer = await response.json();
      if (response.ok) {
        mine = answer.id;
        $('hall-answer').textContent =
          `Verified: your run is number ${answer.rank} in the hall of fame.`;
        $('submit-button').hidden = true;
      } else {
        $('hall-answer').textContent = `The hall did not take the run: ${answer.error}.`;
        $('submit-button').disabled = response.status !== 503 && response.status !== 429;
      }
    } catch (error) {
      $('hall-answer').textContent = `The hall could not be reached: ${error.message}.`;
      $('submit-button').disabled = false;
    }
    await show(mine);
  }

  // Only a page that a hall serves has one: the list answers as JSON.
  servedbyhall('api/runs?limit=1').then((here) => {
    if (!here) return;
    $('hall-button').hidden = false;
    $('hall-button').addEventListener('click', () => {
      $('hall-answer').textContent = '';
      show(null);
    });
    $('submit-button').addEventListener('click', submit);
    document.addEventListener('orbridden-recorded', (event) => {
      recording = event.detail;
      $('submit-button').disabled = false;
      $('submit-button').hidden = false;
    });
    // A new game offers nothing until it ends.
    $('again').addEventListener('click', () => ($('submit-button').hidden = true));
  });
  // While the Hall view is open, keys are its own (Escape, Tab, Enter), not the game's.
  document.addEventListener(
    'keydown',
    (event) => view.open && event.stopImmediatePropagation(),
    true,
  );
  view.addEventListener('close', () => document.activeElement.blur());
}
