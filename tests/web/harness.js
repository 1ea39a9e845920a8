// SPDX-License-Identifier: GPL-3.0-or-later
'use strict';
// What every browser script of tests/web shares: its command line, the site
// and vantle-sim it is given (a missing site skips, exit 77), the programs
// it starts and stops, the checks, the canvas and storage read back from the
// page, the pictures a failure leaves behind, and the run of named groups
// under a time limit, one line a group.

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

// Runs `fn`, a page action; whatever it throws, but a failed check, fails
// the check named `what` (with `firstLine`, saying only the first line of
// the error).
async function act(what, fn, { firstLine = false } = {}) {
  try {
    return await fn();
  } catch (e) {
    if (e instanceof CheckFailed) throw e;
    throw new CheckFailed(`${what}: ${firstLine ? e.message.split('\n')[0] : e.message}`);
  }
}

// Says why the script cannot run here and leaves with 77, which CTest
// counts as skipped.
function skip(why) {
  console.log(`SKIP: ${why}`);
  process.exit(77);
}

// The command line: `options` lists [name, what, required, parse] for each
// --name VALUE (or, `what` null, each --name alone, true when given),
// `defaults` the values of those not given; anything else, a required one
// missing, or a value that `parse` (if any) throws at, is a usage error
// (exit 2). Gives { name: value }, each value as `parse` made it.
function parseArgs(argv, script, options, defaults = {}) {
  const usageLine =
    'usage: node tests/web/' +
    script +
    ' ' +
    options
      .map(([name, what, required]) => {
        const arg = what === null ? `--${name}` : `--${name} ${what}`;
        return required ? arg : `[${arg}]`;
      })
      .join(' ');
  const usage = message => {
    console.error(`${script}: ${message}`);
    console.error(usageLine);
    process.exit(2);
  };
  const known = new Map(options.map(o => [`--${o[0]}`, o]));
  const out = { ...defaults };
  for (let i = 0; i < argv.length; i++) {
    const o = known.get(argv[i]);
    if (!o) usage(`unknown argument ${argv[i]}`);
    if (o[1] === null) {
      out[o[0]] = true;
      continue;
    }
    if (i + 1 >= argv.length) usage(`${argv[i]} needs a value`);
    out[o[0]] = argv[++i];
  }
  for (const [name, , required, parse] of options) {
    if (required && out[name] === undefined) usage(`--${name} is needed`);
    if (parse && out[name] !== undefined) {
      try {
        out[name] = parse(out[name]);
      } catch (e) {
        usage(`--${name} ${e.message}`);
      }
    }
  }
  return out;
}

// Values for parseArgs: one of `choices`; a number above 0.
const oneOf = choices => v => {
  if (!choices.includes(v)) throw new Error(`takes ${choices.join(', ')}, not ${v}`);
  return v;
};
const positive = v => {
  const n = Number(v);
  if (!(n > 0)) throw new Error('needs a positive number');
  return n;
};

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

// The first of `candidates` that is a program, or null.
function findProgram(candidates) {
  for (const c of candidates) {
    try {
      fs.accessSync(c, fs.constants.X_OK);
      if (fs.statSync(c).isFile()) return c;
    } catch (e) {
      /* not there */
    }
  }
  return null;
}

// Sends a child process `signal` unless it has exited, and waits up to `ms`
// for it to exit; true once it has.
async function stopProcess(child, signal = 'SIGTERM', ms = 3000) {
  if (child.exitCode !== null || child.signalCode !== null) return true;
  const gone = new Promise(resolve => child.once('exit', () => resolve(true)));
  try {
    child.kill(signal);
  } catch (e) {
    /* gone */
  }
  return Promise.race([gone, delay(ms).then(() => false)]);
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
// out, which on a phone's large canvas is much less to carry; with `raw`,
// the pixels are handed back as they are, for code in the page. A function
// for every driver's evaluate.
const CANVAS_FN = (region, raw) => {
  const c = document.getElementById('screen');
  if (!c || !c.width || !c.height || getComputedStyle(c).display === 'none') return null;
  const t = document.createElement('canvas');
  t.width = c.width;
  t.height = c.height;
  const g = t.getContext('2d', { willReadFrequently: true });
  g.imageSmoothingEnabled = false;
  g.drawImage(c, 0, 0);
  const r = region
    ? {
        x: Math.max(0, region.x),
        y: Math.max(0, region.y),
        w: Math.min(region.w, c.width - Math.max(0, region.x)),
        h: Math.min(region.h, c.height - Math.max(0, region.y)),
      }
    : { x: 0, y: 0, w: c.width, h: c.height };
  const d = g.getImageData(r.x, r.y, r.w, r.h).data;
  if (raw) return { width: c.width, height: c.height, region: r, data: d };
  let s = '';
  for (let i = 0; i < d.length; i += 0x8000) s += String.fromCharCode.apply(null, d.subarray(i, i + 0x8000));
  return { width: c.width, height: c.height, region: r, data: btoa(s) };
};

// `fn` called with `args` (JSON), as an expression: for a page's evaluate
// that takes a string, or to put a function inside another one.
const inPage = (fn, ...args) => `(${fn})(${args.map(a => JSON.stringify(a)).join(', ')})`;

// What CANVAS_FN gave, as a picture { width, height, data } of the whole
// canvas: outside the region read, black.
function decodeCanvas(v) {
  if (!v) return null;
  const got = Buffer.from(v.data, 'base64');
  const r = v.region;
  if (r.x === 0 && r.y === 0 && r.w === v.width && r.h === v.height)
    return { width: v.width, height: v.height, data: got };
  const data = Buffer.alloc(v.width * v.height * 4);
  for (let y = 0; y < r.h; y++) got.copy(data, ((r.y + y) * v.width + r.x) * 4, y * r.w * 4, (y + 1) * r.w * 4);
  return { width: v.width, height: v.height, data };
}

// The canvas of a page of any of the drivers (cdp.js, puppeteer-core,
// drivers.js), as decodeCanvas gives it; null while there is none to see.
async function readCanvas(page, region = null) {
  return decodeCanvas(await page.evaluate(inPage(CANVAS_FN, region)));
}

// What the page's localStorage holds for `key`, or null.
function storedItem(page, key) {
  return page.evaluate(`localStorage.getItem(${JSON.stringify(key)})`);
}

// Whether a service worker has become active for the page within `ms`: a
// function for the page.
const SERVICE_WORKER_ACTIVE = ms =>
  Promise.race([
    navigator.serviceWorker.ready.then(r => !!r.active),
    new Promise(resolve => setTimeout(() => resolve(false), ms)),
  ]);

// A game controller that the page reads through the Gamepad interface, put
// in by a script before the page's own: its buttons (in the standard
// layout) and its left stick are set from the test (window.__pad).
const STAND_IN_PAD = `(function () {
  var pad = { index: 0, id: 'stand-in', connected: true, mapping: 'standard', timestamp: 0, axes: [0, 0, 0, 0],
    buttons: Array.from({ length: 17 }, function () { return { pressed: false, touched: false, value: 0 }; }) };
  window.__pad = pad;
  navigator.getGamepads = function () { return [pad, null, null, null]; };
})();`;

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
  const at = (e.stack || '')
    .split('\n')
    .filter(l => l.includes(here) && !l.includes('node_modules'))
    .map(l => l.trim())
    .slice(0, 3);
  return `${e.message}${at.length ? ' (' + at.join(', ') + ')' : ''}`;
}

// Runs the groups, [name, fn] each, one after another, each fn given
// `state` (with `only`, those whose names hold it): a line
// "ok   NAME (S s)" or "FAIL NAME: WHY" each, then `notes` ([what, lines])
// and the total. `begin(name)` makes what a
// group uses, `verify(name)` checks what is left to check once it has run
// (the page threw nothing), `after(name, error)` may say more of a failure
// (what the page said, a picture), and `end(name)` closes what it used,
// whatever happened. Past `limitMs` for the whole run, `abandon()` runs and
// the script leaves with 1. Exits: 0 when all passed, else 1.
async function runGroups(
  groups,
  {
    state,
    only,
    limitMs,
    begin = async () => {},
    verify = async () => {},
    after = async () => {},
    end = async () => {},
    abandon = async () => {},
    notes = [],
    pictures = null,
    setUp = null,
    tearDown = null,
  },
) {
  const started = Date.now();
  let quitting = false;
  const quit = async why => {
    if (quitting) return;
    quitting = true;
    console.log(`FAIL: ${why}`);
    try {
      await abandon();
    } catch (e) {
      /* leaving anyway */
    }
    process.exit(1);
  };
  const watchdog = setTimeout(() => quit(`the run took longer than ${limitMs / 1000} s`), limitMs);
  for (const signal of ['SIGINT', 'SIGTERM']) process.on(signal, () => quit(`stopped by ${signal}`));
  let failures = 0,
    ran = 0;
  try {
    if (setUp) await setUp();
    for (const [name, fn] of groups) {
      if (only && !name.includes(only)) continue;
      ran++;
      const t0 = Date.now();
      try {
        await begin(name);
        await fn(state);
        await verify(name);
        console.log(`ok   ${name} (${((Date.now() - t0) / 1000).toFixed(1)} s)`);
      } catch (e) {
        failures++;
        console.log(`FAIL ${name}: ${describeFailure(e)}`);
        try {
          await after(name, e);
        } catch (x) {
          /* said what could be said */
        }
      } finally {
        try {
          await end(name);
        } catch (e) {
          console.log(`     (closing the group: ${e.message})`);
        }
      }
    }
  } catch (e) {
    failures++;
    console.log(`FAIL: ${describeFailure(e)}`);
  } finally {
    if (tearDown) {
      try {
        await tearDown();
      } catch (e) {
        console.log(`(closing down: ${e.message})`);
      }
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

// Runs a script's `main`; what it throws ends the script with 1, said as
// `failure` says it.
function runMain(main, failure = e => `FAIL: ${e.stack}`) {
  main().catch(e => {
    console.error(failure(e));
    process.exit(1);
  });
}

module.exports = {
  CheckFailed,
  check,
  act,
  delay,
  waitFor,
  until,
  skip,
  parseArgs,
  oneOf,
  positive,
  requireSite,
  findProgram,
  stopProcess,
  requireSim,
  CANVAS_FN,
  inPage,
  decodeCanvas,
  readCanvas,
  storedItem,
  SERVICE_WORKER_ACTIVE,
  STAND_IN_PAD,
  Pictures,
  describeFailure,
  runGroups,
  runMain,
};
