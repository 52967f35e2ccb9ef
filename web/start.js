// The page's first script, which the build writes into index.html (buildindex.py): what the
// first page needs before it is painted, and the page's own scripts once it is. The first page (written into index.html by
// the build) is fitted to the window in the text size the player chose, its cursor placed;
// page.js, hall.js, watch.js and live.js are fetched after the first paint (run before it, they
// held it back by about half again), in that order. Keys typed and keypad keys tapped meanwhile
// are kept for page.js.
'use strict';
/* exported takeearly */

// ---- the console as large as the stage allows, centred in it, fitted again whenever the stage
// or the console's own size changes (the font arriving, the text size). It is laid out at one
// font size and scaled as a whole: at small sizes a font's advance is rounded to whole pixels,
// which would make 80 cells wider or narrower than the font size says.
function fit() {
  const display = document.getElementById('screen');
  document.body.classList.add('fitted');
  const stage = document.getElementById('stage').getBoundingClientRect();
  const scale = Math.min(stage.width / display.offsetWidth, stage.height / display.offsetHeight);
  const left = (stage.width - display.offsetWidth * scale) / 2;
  const top = (stage.height - display.offsetHeight * scale) / 2;
  display.style.transform = `translate(${left}px, ${top}px) scale(${scale})`;
}
const firstcursor = document.getElementById('cursor'); // where the build put it
firstcursor.style.setProperty('--row', firstcursor.dataset.row);
firstcursor.style.setProperty('--col', firstcursor.dataset.col);
const fitting = new ResizeObserver(fit);
fitting.observe(document.getElementById('stage'));
fitting.observe(document.getElementById('screen'));

// ---- the text size: the page's own text (its bar, keypad and Scores view) in steps, kept in the
// browser with the page's settings; the console is always as large as the rest of the window.
const textsizes = [0.875, 1, 1.25, 1.5, 2];
const settingskey = 'orbridden-settings';
function settings() {
  try {
    return JSON.parse(localStorage.getItem(settingskey)) || {};
  } catch {
    return {}; // no storage, or not ours: the page's defaults
  }
}
function textsize(step) {
  const at = Math.max(0, Math.min(textsizes.length - 1, step));
  document.documentElement.style.setProperty('--text', textsizes[at]);
  document.getElementById('smaller').disabled = at === 0;
  document.getElementById('larger').disabled = at === textsizes.length - 1;
  return at;
}
let textstep = textsize(settings().textsize ?? 1);
function keeptextsize(step) {
  textstep = textsize(step);
  try {
    localStorage.setItem(settingskey, JSON.stringify({ ...settings(), textsize: textstep }));
  } catch {
    // kept for this visit only
  }
}
document.getElementById('smaller').addEventListener('click', () => keeptextsize(textstep - 1));
document.getElementById('larger').addEventListener('click', () => keeptextsize(textstep + 1));

// ---- the keys typed and the keypad's keys tapped before page.js runs
const earlyevents = [];
const keepearly = (event) => earlyevents.push(event);
document.addEventListener('keydown', keepearly);
document.addEventListener('click', keepearly);

// The keys and taps kept so far, in order; page.js listens itself from then on.
function takeearly() {
  document.removeEventListener('keydown', keepearly);
  document.removeEventListener('click', keepearly);
  return earlyevents.splice(0);
}

// ---- the page's scripts, after the first paint. The first contentful paint is the first
// page's (marked for the benchmark). A page opened or put out of sight before it paints, or a
// browser that does not time paints, reports none: the scripts are fetched at once then.
let pagefetched = false;
function fetchpage() {
  if (pagefetched) return;
  pagefetched = true;
  for (const src of ['page.js', 'hall.js', 'watch.js', 'live.js'])
    document.head.append(Object.assign(document.createElement('script'), { src, async: false }));
}
if (!PerformanceObserver.supportedEntryTypes?.includes('paint') || document.hidden) fetchpage();
document.addEventListener('visibilitychange', () => document.hidden && fetchpage());
new PerformanceObserver((list, observer) => {
  const paint = list.getEntriesByName('first-contentful-paint')[0];
  if (!paint) return;
  observer.disconnect();
  performance.mark('orbridden-first-page', { startTime: paint.startTime });
  fetchpage();
}).observe({ type: 'paint', buffered: true });
