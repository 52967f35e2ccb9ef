// make lint: eslint's recommended rules over the page's script (a classic script in a browser,
// beside the module emscripten writes) and the browser tests (Node modules whose callbacks also
// run in the page).
import js from '@eslint/js';
import globals from 'globals';

export default [
  js.configs.recommended,
  {
    files: ['web/page.js'],
    languageOptions: {
      sourceType: 'script',
      globals: { ...globals.browser, createOrbridden: 'readonly' },
    },
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
