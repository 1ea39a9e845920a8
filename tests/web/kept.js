#!/usr/bin/env node
// SPDX-License-Identifier: GPL-3.0-or-later
'use strict';
// The browser edition keeps the game in progress (the storage key
// "vantle:vantle.sav"): a reload and a tab closed and opened again mid-game
// come back to the same game, paused, its canvas the picture vantle-sim
// draws for the saved game; and two tabs keep the better high score, the
// tab that saves last merging with what storage holds then.
//
//   node tests/web/kept.js --site build-web/site --sim build/tools/sim/vantle-sim
//
// Exit status: 0 passed, 1 a check failed, 2 bad arguments, 77 skipped (no
// Chromium, or no site built).

const fs = require('fs');
const os = require('os');
const path = require('path');
const { spawnSync } = require('child_process');
const { Browser, chromiumOrSkip, waitFor, delay } = require('./cdp');
const { startServer } = require('./server');
const { decodePng } = require('./png');
const { SETTINGS_KEY, settingsBytes, settingsFromBytes, compareStretched } = require('./sim');

const GAME_KEY = 'vantle:vantle.sav';
const SAVED_GAME_HEX = 2 * 338;

class CheckFailed extends Error {}
function check(ok, message) {
  if (!ok) throw new CheckFailed(message);
}

function parseArgs(argv) {
  const o = {};
  for (let i = 0; i + 1 < argv.length; i += 2) {
    if (!['--site', '--sim'].includes(argv[i])) break;
    o[argv[i].slice(2)] = argv[i + 1];
  }
  if (!o.site || !o.sim) {
    console.error('usage: node tests/web/kept.js --site DIR --sim VANTLE_SIM');
    process.exit(2);
  }
  return o;
}

const READ_CANVAS = `(() => {
  const c = document.getElementById('screen');
  if (!c || !c.width || !c.height || c.style.display === 'none') return null;
  const t = document.createElement('canvas');
  t.width = c.width; t.height = c.height;
  const g = t.getContext('2d', { willReadFrequently: true });
  g.drawImage(c, 0, 0);
  const d = g.getImageData(0, 0, t.width, t.height).data;
  let s = '';
  for (let i = 0; i < d.length; i += 0x8000) s += String.fromCharCode.apply(null, d.subarray(i, i + 0x8000));
  return { width: t.width, height: t.height, data: btoa(s) };
})()`;

async function canvas(page) {
  const c = await page.evaluate(READ_CANVAS);
  return c ? { width: c.width, height: c.height, data: Buffer.from(c.data, 'base64') } : null;
}

const stored = (page, key) => page.evaluate(`localStorage.getItem(${JSON.stringify(key)})`);

// What vantle-sim makes of a saved game: the picture the game draws for it
// at start, and its state.
function simOfSavedGame(sim, hex, settingsHex) {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'vantle-web-kept-'));
  try {
    fs.writeFileSync(path.join(dir, 'vantle.sav'), Buffer.from(hex, 'hex'));
    if (settingsHex) fs.writeFileSync(path.join(dir, 'vantle.dat'), Buffer.from(settingsHex, 'hex'));
    const shot = path.join(dir, 'shot.png');
    const r = spawnSync(sim, ['--window', '320x240', '--settings', path.join(dir, 'vantle.dat')],
      { input: `shot ${shot}\nstate\n`, encoding: 'utf8' });
    if (r.status !== 0) throw new Error(`vantle-sim exited ${r.status}: ${r.stderr}`);
    return { picture: decodePng(fs.readFileSync(shot)), state: JSON.parse(r.stdout.trim()) };
  } finally {
    fs.rmSync(dir, { recursive: true, force: true });
  }
}

async function open(browser, context, server) {
  const page = await browser.newPage({ context });
  await page.setViewport({ width: 320, height: 240, dpr: 1 });
  await page.goto(server.url('index.html'));
  return page;
}

// The game on the page is the saved game in storage, paused; returns that
// game's state as vantle-sim reads it.
async function showsSavedGame(page, sim, what) {
  const hex = await waitFor(async () => {
    const h = await stored(page, GAME_KEY);
    return h && h.length === SAVED_GAME_HEX ? h : null;
  }, { timeout: 3000, what: `${what}: a saved game in storage` }).catch(() => null);
  check(hex, `${what}: no saved game of ${SAVED_GAME_HEX / 2} bytes in "${GAME_KEY}"`);
  const ref = simOfSavedGame(sim, hex, await stored(page, SETTINGS_KEY));
  check(ref.state.mode === 1 && ref.state.fallStep === 0, `${what}: the saved game is not in play, paused: ${JSON.stringify(ref.state)}`);
  let diff = null;
  await waitFor(async () => {
    const c = await canvas(page);
    if (!c) return false;
    diff = compareStretched(c, ref.picture);
    return diff.count === 0;
  }, { timeout: 3000, what }).catch(() => {
    throw new CheckFailed(`${what}: the canvas is not vantle-sim's picture of the saved game (${diff ? diff.count : '?'} pixels differ)`);
  });
  return ref.state;
}

// Space goes on: the picture changes as the pair falls.
async function goesOnWithSpace(page, what) {
  const before = await canvas(page);
  await delay(1800);
  check(compareStretched(await canvas(page), { ...before }).count === 0, `${what}: the game went on before Space`);
  await page.press('Space');
  await waitFor(async () => compareStretched(await canvas(page), before).count > 0,
    { timeout: 3000, what: `${what}: Space goes on` });
}

async function reloadAndReopen(t) {
  const context = await t.browser.newContext();
  try {
    let page = await open(t.browser, context, t.server);
    await delay(600);
    await page.press('Enter');
    await delay(300);
    await page.press('ArrowLeft');
    await delay(200);
    await page.press('ArrowLeft');
    await delay(300);
    check((await stored(page, GAME_KEY) || '').length === SAVED_GAME_HEX,
      'a game started: its first pair is not kept in storage');
    await page.reload();
    const a = await showsSavedGame(page, t.sim, 'after a reload mid-game');
    check(a.pair[0] === 1, `after a reload the pair is in column ${a.pair[0]}, not 1 where it was moved`);
    await goesOnWithSpace(page, 'after a reload');
    await page.press('ArrowRight');
    await delay(300);
    await page.close();
    page = await open(t.browser, context, t.server);
    const b = await showsSavedGame(page, t.sim, 'a tab closed mid-game and opened again');
    check(b.pair[0] === 2, `in the tab opened again the pair is in column ${b.pair[0]}, not 2 where it was moved`);
    // Escape in play: nothing to come back to.
    await page.press('Escape');
    await waitFor(async () => (await stored(page, GAME_KEY)) === null,
      { timeout: 2000, what: 'Escape in play takes the saved game out of storage' });
    await page.close();
  } finally {
    await t.browser.disposeContext(context).catch(() => {});
  }
}

async function twoTabsKeepTheBetterScore(t) {
  const context = await t.browser.newContext();
  try {
    const first = await open(t.browser, context, t.server);
    await delay(600);
    const second = await open(t.browser, context, t.server);
    await delay(600);
    // The second tab made a record of 8 and saved it; the first, loaded
    // before, still holds 0.
    const record = settingsBytes({ sound: 1, high: 8, repeat: [0, 0, 1, 0], hidden: 1 }).toString('hex');
    await second.evaluate(`localStorage.setItem(${JSON.stringify(SETTINGS_KEY)}, ${JSON.stringify(record)})`);
    await second.close();
    await first.press('KeyS'); // a change of the first tab's own to save
    await delay(300);
    await first.close();
    const check2 = await open(t.browser, context, t.server);
    const hex = await stored(check2, SETTINGS_KEY);
    check(hex && hex.length === 72, `no settings in storage after both tabs closed: ${hex}`);
    const s = settingsFromBytes(Buffer.from(hex, 'hex'));
    check(s.high === 8, `the tab closed last lowered the high score from 8 to ${s.high}`);
    check(s.sound === 0, `the tab closed last did not save its own sound switch (${s.sound})`);
    await check2.close();
  } finally {
    await t.browser.disposeContext(context).catch(() => {});
  }
}

const GROUPS = [
  ['a reload and a reopened tab come back to the game', reloadAndReopen],
  ['two tabs keep the better high score', twoTabsKeepTheBetterScore],
];

async function main() {
  const args = parseArgs(process.argv.slice(2));
  const site = path.resolve(args.site);
  if (!fs.existsSync(path.join(site, 'index.html'))) {
    console.error(`SKIP: no site built at ${site} (make web builds it)`);
    process.exit(77);
  }
  const chromium = chromiumOrSkip();
  const server = await startServer(site);
  const t = { sim: path.resolve(args.sim), server, browser: null };
  const watchdog = setTimeout(() => {
    console.log('FAIL: the run took longer than 120 s');
    process.exit(1);
  }, 120000);
  let failures = 0;
  try {
    t.browser = await Browser.launch({ executable: chromium });
    for (const [name, fn] of GROUPS) {
      const t0 = Date.now();
      try {
        await fn(t);
        console.log(`ok   ${name} (${((Date.now() - t0) / 1000).toFixed(1)} s)`);
      } catch (e) {
        failures++;
        console.log(`FAIL ${name}: ${e instanceof CheckFailed ? e.message : e.stack}`);
      }
    }
  } finally {
    if (t.browser) await t.browser.close();
    await server.stop();
    clearTimeout(watchdog);
  }
  process.exit(failures ? 1 : 0);
}

main().catch(e => {
  console.error(`FAIL: ${e.stack}`);
  process.exit(1);
});
