// SPDX-License-Identifier: GPL-3.0-or-later
'use strict';
// What every browser script of tests/web shares: its command line, the site
// and vantle-sim it is given (a missing site skips, exit 77), the checks,
// the canvas read back from the page, the pictures a failure leaves behind,
// and the run of named groups under a time limit, one line a group.

const fs = require('fs');
const os = require('os');
const path = require('path');
const { encodePng } = require('./png');

class CheckFailed extends Error {}

// `message` may be a function, so that failure pictures are made only on
// failure.
function check(ok, message) {
  if (!ok) throw new CheckFailed(typeof message === 'function' ? message() : message);
}

const delay = ms => new Promise(resolve => setTimeout(resolve, ms));

// Polls `fn` until it returns something truthy, and returns that; past
// `timeout` ms throws, naming `what`.
async function waitFor(fn, { timeout = 10000, interval = 40, what = 'a condition' } = {}) {
  const v = await until(fn, { timeout, interval });
  if (!v) throw new Error(`timed out after ${timeout} ms waiting for ${what}`);
  return v;
}

// The same, but null past `timeout`, for the caller to say what failed.
async function until(fn, { timeout = 3000, interval = 40 } = {}) {
  const end = Date.now() + timeout;
  for (;;) {
    const v = await fn();
    if (v) return v;
    if (Date.now() > end) return null;
    await delay(interval);
  }
}

// Says why the script cannot run here and leaves with 77, which CTest
// counts as skipped.
function skip(why) {
  console.log(`SKIP: ${why}`);
  process.exit(77);
}

// The command line: `options` lists [name, what, required] for each
// --name VALUE; anything else, or a required one missing, is a usage error
// (exit 2). Gives { name: value }.
function parseArgs(argv, script, options) {
  const usageLine = 'usage: node tests/web/' + script + ' ' +
    options.map(([name, what, required]) => (required ? `--${name} ${what}` : `[--${name} ${what}]`)).join(' ');
  const usage = message => {
    console.error(`${script}: ${message}`);
    console.error(usageLine);
    process.exit(2);
  };
  const known = new Map(options.map(o => [`--${o[0]}`, o]));
  const out = {};
  for (let i = 0; i < argv.length; i++) {
    if (!known.has(argv[i])) usage(`unknown argument ${argv[i]}`);
    if (i + 1 >= argv.length) usage(`${argv[i]} needs a value`);
    out[argv[i].slice(2)] = argv[++i];
  }
  for (const [name, , required] of options) if (required && out[name] === undefined) usage(`--${name} is needed`);
  return out;
}

// The built site: its folder, made absolute. No site built is not a fault
// of the site (`make test` builds it, `make build` does not): skipped, or
// for a script that measures rather than tests, an error.
function requireSite(dir, { skipIfMissing = true } = {}) {
  const site = path.resolve(dir);
  if (!fs.existsSync(path.join(site, 'index.html'))) {
    const why = `no site built in ${site} (make web builds it)`;
    if (skipIfMissing) skip(why);
    console.error(`FAIL: ${why}`);
    process.exit(1);
  }
  return site;
}

function requireSim(file) {
  try {
    fs.accessSync(file, fs.constants.X_OK);
  } catch (e) {
    console.log(`FAIL: vantle-sim not found at ${file} (make build builds it)`);
    process.exit(1);
  }
  return path.resolve(file);
}

// The game's canvas copied through a canvas of our own (the game's own is
// never asked for a context) and handed back as base64 RGBA, or null while
// there is none to see (not made yet, or hidden once the game has ended).
// With `region` ({ x, y, w, h } in canvas pixels) only that part is copied
// out, which on a phone's large canvas is much less to carry. A function
// for every driver's evaluate.
const CANVAS_FN = region => {
  const c = document.getElementById('screen');
  if (!c || !c.width || !c.height || getComputedStyle(c).display === 'none') return null;
  const t = document.createElement('canvas');
  t.width = c.width;
  t.height = c.height;
  const g = t.getContext('2d', { willReadFrequently: true });
  g.imageSmoothingEnabled = false;
  g.drawImage(c, 0, 0);
  const r = region ? { x: Math.max(0, region.x), y: Math.max(0, region.y),
    w: Math.min(region.w, c.width - Math.max(0, region.x)), h: Math.min(region.h, c.height - Math.max(0, region.y)) }
    : { x: 0, y: 0, w: c.width, h: c.height };
  const d = g.getImageData(r.x, r.y, r.w, r.h).data;
  let s = '';
  for (let i = 0; i < d.length; i += 0x8000) s += String.fromCharCode.apply(null, d.subarray(i, i + 0x8000));
  return { width: c.width, height: c.height, region: r, data: btoa(s) };
};
const READ_CANVAS = `(${CANVAS_FN})()`;

// What CANVAS_FN gave, as a picture { width, height, data } of the whole
// canvas: outside the region read, black.
function decodeCanvas(v) {
  if (!v) return null;
  const got = Buffer.from(v.data, 'base64');
  const r = v.region;
  if (r.x === 0 && r.y === 0 && r.w === v.width && r.h === v.height) return { width: v.width, height: v.height, data: got };
  const data = Buffer.alloc(v.width * v.height * 4);
  for (let y = 0; y < r.h; y++) got.copy(data, ((r.y + y) * v.width + r.x) * 4, y * r.w * 4, (y + 1) * r.w * 4);
  return { width: v.width, height: v.height, data };
}

// Pictures that show a failure, numbered in the order made, in --out or a
// folder of their own made on first use.
class Pictures {
  constructor(dir, prefix) {
    this.wanted = dir ? path.resolve(dir) : null;
    this.prefix = prefix;
    this.dir = null;
    this.count = 0;
  }

  file(name) {
    if (!this.dir) {
      this.dir = this.wanted || fs.mkdtempSync(path.join(os.tmpdir(), `${this.prefix}-`));
      fs.mkdirSync(this.dir, { recursive: true });
    }
    return path.join(this.dir, `${String(++this.count).padStart(2, '0')}-${name.replace(/[^a-z0-9]+/gi, '-')}.png`);
  }

  // A picture { width, height, data } as a PNG; gives the file's name.
  save(name, img) {
    const file = this.file(name);
    fs.writeFileSync(file, encodePng(img));
    return file;
  }

  // A PNG as a browser made it.
  savePng(name, png) {
    const file = this.file(name);
    fs.writeFileSync(file, png);
    return file;
  }
}

// A failed check says what failed; anything else also where, in the
// scripts of this folder.
function describeFailure(e) {
  if (e instanceof CheckFailed) return e.message;
  const here = path.sep + path.join('tests', 'web') + path.sep;
  const at = (e.stack || '').split('\n').filter(l => l.includes(here) && !l.includes('node_modules'))
    .map(l => l.trim()).slice(0, 3);
  return `${e.message}${at.length ? ' (' + at.join(', ') + ')' : ''}`;
}

// Runs the groups, [name, fn] each, one after another (with `only`, those
// whose names hold it): a line "ok   NAME (S s)" or "FAIL NAME: WHY" each,
// then `notes` ([what, lines]) and the total. `begin(name)` makes what a
// group uses, `verify(name)` checks what is left to check once it has run
// (the page threw nothing), `after(name, error)` may say more of a failure
// (what the page said, a picture), and `end(name)` closes what it used,
// whatever happened. Past `limitMs` for the whole run, `abandon()` runs and
// the script leaves with 1. Exits: 0 when all passed, else 1.
async function runGroups(groups, { only, limitMs, begin = async () => {}, verify = async () => {}, after = async () => {},
  end = async () => {}, abandon = async () => {}, notes = [], pictures = null, setUp = null, tearDown = null }) {
  const started = Date.now();
  let quitting = false;
  const quit = async why => {
    if (quitting) return;
    quitting = true;
    console.log(`FAIL: ${why}`);
    try { await abandon(); } catch (e) { /* leaving anyway */ }
    process.exit(1);
  };
  const watchdog = setTimeout(() => quit(`the run took longer than ${limitMs / 1000} s`), limitMs);
  for (const signal of ['SIGINT', 'SIGTERM']) process.on(signal, () => quit(`stopped by ${signal}`));
  let failures = 0, ran = 0;
  try {
    if (setUp) await setUp();
    for (const [name, fn] of groups) {
      if (only && !name.includes(only)) continue;
      ran++;
      const t0 = Date.now();
      try {
        await begin(name);
        await fn();
        await verify(name);
        console.log(`ok   ${name} (${((Date.now() - t0) / 1000).toFixed(1)} s)`);
      } catch (e) {
        failures++;
        console.log(`FAIL ${name}: ${describeFailure(e)}`);
        try { await after(name, e); } catch (x) { /* said what could be said */ }
      } finally {
        try { await end(name); } catch (e) { console.log(`     (closing the group: ${e.message})`); }
      }
    }
  } catch (e) {
    failures++;
    console.log(`FAIL: ${describeFailure(e)}`);
  } finally {
    if (tearDown) {
      try { await tearDown(); } catch (e) { console.log(`(closing down: ${e.message})`); }
    }
    clearTimeout(watchdog);
  }
  for (const [what, lines] of notes) console.log(`${what}:\n  ${lines.join('\n  ')}`);
  const secs = ((Date.now() - started) / 1000).toFixed(1);
  if (ran === 0 && only) {
    console.log(`FAIL: no group matches --only ${only}`);
    process.exit(1);
  }
  console.log(failures ? `${failures} of ${ran} groups failed (${secs} s)` : `all ${ran} groups passed (${secs} s)`);
  if (pictures && pictures.dir) console.log(`pictures of the failures: ${pictures.dir}`);
  process.exit(failures ? 1 : 0);
}

module.exports = {
  CheckFailed, check, delay, waitFor, until, skip, parseArgs, requireSite, requireSim,
  CANVAS_FN, READ_CANVAS, decodeCanvas, Pictures, describeFailure, runGroups,
};
