// SPDX-License-Identifier: GPL-3.0-or-later
// ESLint for the game's JavaScript: the browser tests (tests/web/*.js), the
// browser edition's Emscripten library and --pre-js files (platform/web/js)
// and its service worker (platform/web/site/sw.js). ESLint and its rules
// are installed with the tests, into tests/web/node_modules
// (npm ci --prefix tests/web, which tools/setup-deps test runs); run it as
//   tests/web/node_modules/.bin/eslint tests/web/*.js platform/web/js/*.js platform/web/site/sw.js
// or through the test web.lint (tests/web/lint.js).
'use strict';

const fs = require('fs');
const path = require('path');
const { createRequire } = require('module');

// The rules and the globals come from the tests' node_modules, not the
// top folder's (there is none).
const requireTests = createRequire(path.join(__dirname, 'tests', 'web', 'package.json'));
const js = requireTests('@eslint/js');
const globals = requireTests('globals');

// The game's C++ functions that its JavaScript calls (EMSCRIPTEN_KEEPALIVE
// in platform/web/*.cpp), each as Emscripten names it: _WebResized for
// WebResized. Read from the sources, so that a new one needs no word here.
function exportedFunctions() {
  const names = new Set();
  const dir = path.join(__dirname, 'platform', 'web');
  for (const file of fs.readdirSync(dir)) {
    if (!file.endsWith('.cpp')) continue;
    const text = fs.readFileSync(path.join(dir, file), 'utf8');
    for (const m of text.matchAll(/EMSCRIPTEN_KEEPALIVE\s+[\w:<>*&\s]+?\b(\w+)\s*\(/g)) names.add(`_${m[1]}`);
  }
  return Object.fromEntries([...names].map(name => [name, 'readonly']));
}

// What Emscripten gives the library and --pre-js files: the module, its
// memory, its file systems, its string helpers and the library's own
// makings.
const EMSCRIPTEN = {
  Module: 'writable',
  mergeInto: 'readonly',
  addToLibrary: 'readonly',
  LibraryManager: 'readonly',
  autoAddDeps: 'readonly',
  HEAP8: 'readonly',
  HEAPU8: 'readonly',
  HEAP16: 'readonly',
  HEAPU16: 'readonly',
  HEAP32: 'readonly',
  HEAPU32: 'readonly',
  HEAPF32: 'readonly',
  HEAPF64: 'readonly',
  UTF8ToString: 'readonly',
  stringToUTF8: 'readonly',
  stringToNewUTF8: 'readonly',
  lengthBytesUTF8: 'readonly',
  getValue: 'readonly',
  setValue: 'readonly',
  Asyncify: 'readonly',
  FS: 'readonly',
  MEMFS: 'readonly',
  IDBFS: 'readonly',
  _malloc: 'readonly',
  _free: 'readonly',
};

// Rules that would only ask for churn: an empty catch says "ignored" well
// enough, and an argument or a caught error need not be used.
const RELAXED = {
  'no-empty': ['error', { allowEmptyCatch: true }],
  'no-unused-vars': ['error', { args: 'none', caughtErrors: 'none' }],
};

// The service worker is a template: CMake puts the list of the site's files
// in for @VANTLE_FILES@. Linted, such a name stands for a string of the
// same length, so that what is said is said at the right column.
const TEMPLATE = {
  preprocess: text => [text.replace(/(^|[^"'\w])@(\w+)@(?![\w"'])/g, '$1"$2"')],
  postprocess: messages => messages[0],
  supportsAutofix: false,
};

module.exports = [
  { ignores: ['build*/**', '**/node_modules/**', 'dist/**'] },
  js.configs.recommended,
  {
    files: ['tests/web/**/*.js', 'eslint.config.js'],
    // Node scripts, with the browser's names too: the functions they hand
    // to a page's evaluate run in the page.
    languageOptions: {
      ecmaVersion: 'latest',
      sourceType: 'commonjs',
      globals: { ...globals.node, ...globals.browser },
    },
    rules: RELAXED,
  },
  {
    files: ['platform/web/js/**/*.js'],
    languageOptions: {
      ecmaVersion: 'latest',
      sourceType: 'script',
      globals: { ...globals.browser, ...EMSCRIPTEN, ...exportedFunctions() },
    },
    rules: RELAXED,
  },
  {
    files: ['platform/web/site/sw.js'],
    processor: TEMPLATE,
    languageOptions: { ecmaVersion: 'latest', sourceType: 'script', globals: globals.serviceworker },
    rules: RELAXED,
  },
];
