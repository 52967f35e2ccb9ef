// The page's first script, which the build writes into index.html (buildindex.py): what the
// first page needs before it is painted, and the page's own scripts once it is. The first page
// (written into index.html by the build) is fitted to the window in the text size the player
// chose, its cursor placed, and on a touch screen the keypad is there with it; page.js,
// hall.js, watch.js and live.js are fetched after the first paint (run before it, they held it
// back by about half again), in that order. Keys typed and buttons tapped meanwhile wait for
// them.
'use strict';

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

// ---- the keypad and the Keyboard button, where the pointer is a finger: in the first paint,
// so that nothing moves when the page's scripts arrive.
if (matchMedia('(pointer: coarse)').matches || navigator.maxTouchPoints > 0)
  document.body.classList.add('touch');

// ---- the keys typed and the buttons tapped before the page's scripts have all run (the
// keypad's, the bar's such as Scores): kept from everything else, then handed to their targets
// in order once the scripts listen, as if they came then. The text size's buttons answer at once.
const earlyevents = [];
function keepearly(event) {
  if (event.target.closest?.('#smaller, #larger')) return;
  event.stopImmediatePropagation();
  earlyevents.push(event);
}
document.addEventListener('keydown', keepearly, true);
document.addEventListener('click', keepearly, true);
function handearly() {
  document.removeEventListener('keydown', keepearly, true);
  document.removeEventListener('click', keepearly, true);
  for (const event of earlyevents.splice(0)) {
    if (event.type === 'click') {
      event.target.click?.();
      continue;
    }
    const { key, code, ctrlKey, altKey, metaKey, shiftKey, isComposing } = event;
    const copy = { key, code, ctrlKey, altKey, metaKey, shiftKey, isComposing };
    event.target.dispatchEvent(
      new KeyboardEvent('keydown', { ...copy, bubbles: true, cancelable: true }),
    );
  }
}

// ---- the page's scripts, after the first paint. The first contentful paint is the first
// page's (marked for the benchmark). A page opened or put out of sight before it paints, or a
// browser that does not time paints, reports none: the scripts are fetched at once then.
let pagefetched = false;
function fetchpage() {
  if (pagefetched) return;
  pagefetched = true;
  const scripts = ['page.js', 'hall.js', 'watch.js', 'live.js'].map((src) =>
    Object.assign(document.createElement('script'), { src, async: false }),
  );
  // They run in order: once the last has, or has failed, everything listens that will.
  scripts.at(-1).addEventListener('load', handearly);
  scripts.at(-1).addEventListener('error', handearly);
  document.head.append(...scripts);
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
