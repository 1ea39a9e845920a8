#!/usr/bin/env node
// SPDX-License-Identifier: GPL-3.0-or-later
'use strict';
// The game's JavaScript, linted and its formatting checked: ESLint (the
// rules of eslint.config.js) and prettier --check (.prettierrc.json), both
// from tests/web/node_modules/.bin, over the browser tests (tests/web/*.js),
// the browser edition's library and --pre-js files (platform/web/js/*.js),
// its service worker (platform/web/site/sw.js) and eslint.config.js.
//
//   node tests/web/lint.js [--write]
//
// With --write the files are formatted rather than checked. The service
// worker is a template that CMake fills in (@VANTLE_FILES@ is the list of
// the site's files): prettier is given it with each such name standing for
// a string, "@@VANTLE_FILES@@", and --write puts the names back.
// Exit status: 0 all clean, 1 ESLint or prettier found something, 2 bad
// arguments, 77 skipped (ESLint or prettier not installed: tools/setup-deps
// test installs them, npm ci --prefix tests/web).

const fs = require('fs');
const path = require('path');
const { spawnSync } = require('child_process');
const { parseArgs, skip, findProgram } = require('./harness');

const ROOT = path.resolve(__dirname, '..', '..');
const TEMPLATES = ['platform/web/site/sw.js'];

// The files, relative to the top folder.
function files() {
  const js = dir =>
    fs
      .readdirSync(path.join(ROOT, dir))
      .filter(f => f.endsWith('.js'))
      .sort()
      .map(f => `${dir}/${f}`);
  return ['eslint.config.js', ...js('tests/web'), ...js('platform/web/js')];
}

const tool = name =>
  findProgram([path.join(__dirname, 'node_modules', '.bin', name)]) ||
  skip(`${name} is not installed (tools/setup-deps test installs it: npm ci --prefix tests/web)`);

const run = (program, args, input) => {
  const r = spawnSync(program, args, {
    cwd: ROOT,
    input,
    encoding: 'utf8',
    stdio: input === undefined ? 'inherit' : ['pipe', 'pipe', 'inherit'],
    maxBuffer: 64 * 1024 * 1024,
  });
  if (r.error) throw r.error;
  return r;
};

// A template's @NAME@ (not inside quotes already) as a string, and back.
const fillIn = text => text.replace(/(^|[^"'\w])@(\w+)@(?![\w"'])/g, '$1"@@$2@@"');
const putBack = text => text.replace(/(["'])@@(\w+)@@\1/g, '@$2@');

function main() {
  const args = parseArgs(process.argv.slice(2), 'lint.js', [['write', null]]);
  const eslint = tool('eslint'),
    prettier = tool('prettier');
  let failed = false;

  console.log('ESLint:');
  const linted = run(eslint, ['--max-warnings', '0', ...files(), ...TEMPLATES]);
  if (linted.status !== 0) failed = true;
  else console.log('no problems found');

  console.log('prettier:');
  if (run(prettier, [args.write ? '--write' : '--check', ...files()]).status !== 0) failed = true;
  for (const file of TEMPLATES) {
    const text = fillIn(fs.readFileSync(path.join(ROOT, file), 'utf8'));
    // .prettierignore leaves the template out, as what prettier cannot read.
    const r = run(prettier, ['--ignore-path', '/dev/null', '--stdin-filepath', file], text);
    if (r.status !== 0) {
      failed = true;
    } else if (r.stdout !== text) {
      if (args.write) {
        fs.writeFileSync(path.join(ROOT, file), putBack(r.stdout));
        console.log(`${file} (a template) formatted`);
      } else {
        console.error(`[warn] ${file} (a template)`);
        failed = true;
      }
    } else {
      console.log(`${file} (a template) is formatted`);
    }
  }
  process.exit(failed ? 1 : 0);
}

main();
