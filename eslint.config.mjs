// make lint: eslint's recommended rules over the page's scripts (classic scripts in a browser,
// beside the module emscripten writes) and the browser tests (Node modules whose callbacks also
// run in the page).
import js from '@eslint/js';
import globals from 'globals';

export default [
  js.configs.recommended,
  {
    files: ['web/*.js'],
    languageOptions: {
      sourceType: 'script',
      globals: { ...globals.browser, createOrbridden: 'readonly' },
    },
  },
  {
    // The Scores view opens a game kept in the watch view (watch.js).
    files: ['web/page.js'],
    languageOptions: { globals: { watchbytes: 'readonly' } },
  },
  {
    // The watch view runs beside page.js and uses its state and routines.
    files: ['web/watch.js'],
    languageOptions: {
      sourceType: 'script',
      globals: {
        ...globals.browser,
        ...Object.fromEntries(
          ['$', 'state', 'start', 'note', 'setstate', 'blankscreen', 'trouble'].map((n) => [
            n,
            'readonly',
          ]),
        ),
      },
    },
  },
  {
    // Live games run beside page.js and watch.js and use their state and routines.
    files: ['web/live.js'],
    languageOptions: {
      globals: Object.fromEntries(
        [
          '$',
          'state',
          'start',
          'note',
          'setstate',
          'blankscreen',
          'clock',
          'keylines',
          'savejournal',
          'watchfile',
          'watchpage',
          'servedbyhall',
        ].map((n) => [n, 'readonly']),
      ),
    },
  },
  {
    // The Hall view asks page.js whether a hall serves the page.
    files: ['web/hall.js'],
    languageOptions: { globals: { servedbyhall: 'readonly' } },
  },
  {
    files: ['web/sw.js'],
    languageOptions: { sourceType: 'script', globals: globals.serviceworker },
  },
  {
    files: ['tests/web/*.mjs'],
    languageOptions: { globals: { ...globals.node, ...globals.browser, orbridden: 'readonly' } },
  },
];
