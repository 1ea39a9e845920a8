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

const { chromiumOrSkip, chromiumRun } = require('./cdp');
const {
  CheckFailed,
  check,
  delay,
  waitFor,
  parseArgs,
  requireSite,
  requireSim,
  readCanvas,
  storedItem,
  runGroups,
  runMain,
} = require('./harness');
const {
  Sim,
  SETTINGS_KEY,
  GAME_KEY,
  SAVED_GAME_BYTES,
  settingsBytes,
  settingsFromBytes,
  compareStretched,
} = require('./sim');

const SAVED_GAME_HEX = 2 * SAVED_GAME_BYTES;

async function open(browser, context, server) {
  const page = await browser.newPage({ context });
  await page.setViewport({ width: 320, height: 240, dpr: 1 });
  await page.goto(server.url('index.html'));
  return page;
}

// The game on the page is the saved game in storage, paused; returns that
// game's state as vantle-sim reads it.
async function showsSavedGame(page, sim, what) {
  const hex = await waitFor(
    async () => {
      const h = await storedItem(page, GAME_KEY);
      return h && h.length === SAVED_GAME_HEX ? h : null;
    },
    { timeout: 3000, what: `${what}: a saved game in storage` },
  ).catch(() => null);
  check(hex, `${what}: no saved game of ${SAVED_GAME_HEX / 2} bytes in "${GAME_KEY}"`);
  const ref = sim.savedGame(hex, { settingsHex: await storedItem(page, SETTINGS_KEY) });
  check(
    ref.state.mode === 1 && ref.state.fallStep === 0,
    `${what}: the saved game is not in play, paused: ${JSON.stringify(ref.state)}`,
  );
  let diff = null;
  await waitFor(
    async () => {
      const c = await readCanvas(page);
      if (!c) return false;
      diff = compareStretched(c, ref.picture);
      return diff.count === 0;
    },
    { timeout: 3000, what },
  ).catch(() => {
    throw new CheckFailed(
      `${what}: the canvas is not vantle-sim's picture of the saved game (${diff ? diff.count : '?'} pixels differ)`,
    );
  });
  return ref.state;
}

// Space goes on: the picture changes as the pair falls.
async function goesOnWithSpace(page, what) {
  const before = await readCanvas(page);
  await delay(1800);
  check(compareStretched(await readCanvas(page), { ...before }).count === 0, `${what}: the game went on before Space`);
  await page.press('Space');
  await waitFor(async () => compareStretched(await readCanvas(page), before).count > 0, {
    timeout: 3000,
    what: `${what}: Space goes on`,
  });
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
    check(
      ((await storedItem(page, GAME_KEY)) || '').length === SAVED_GAME_HEX,
      'a game started: its first pair is not kept in storage',
    );
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
    await waitFor(async () => (await storedItem(page, GAME_KEY)) === null, {
      timeout: 2000,
      what: 'Escape in play takes the saved game out of storage',
    });
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
    const hex = await storedItem(check2, SETTINGS_KEY);
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
  const args = parseArgs(process.argv.slice(2), 'kept.js', [
    ['site', 'DIR', true],
    ['sim', 'VANTLE_SIM', true],
  ]);
  const site = requireSite(args.site);
  const chromium = chromiumOrSkip();
  const sim = new Sim(requireSim(args.sim));
  const t = { sim, server: null, browser: null };
  await runGroups(GROUPS, { state: t, limitMs: 120000, ...chromiumRun(t, { site, chromium, sim }) });
}

runMain(main);
