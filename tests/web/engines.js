#!/usr/bin/env node
// SPDX-License-Identifier: GPL-3.0-or-later
'use strict';
// The browser edition in each of the three engines phones use (Chromium,
// Firefox, WebKit), played by finger on a phone's page, upright (390 x 844)
// and turned (844 x 390): one set of flows, run in the engine named. The
// site is served from 127.0.0.1, a server (an origin, and so storage) for
// each flow, and the canvas is compared with vantle-sim's pictures.
//
//   node tests/web/engines.js --engine chromium|firefox|webkit --site build-web/site
//       --sim build/tools/sim/vantle-sim [--out DIR] [--only WORD]
//
// What it prints first says how the engine's touch screen is emulated, or
// what stands in for it where the engine cannot emulate one.
// Exit status: 0 all passed, 1 a check failed (each failure names its group
// and check, and leaves pictures in --out), 2 bad arguments, 77 skipped (the
// engine, or puppeteer-core for Chromium and Firefox, is not installed, or
// no site is built).

const { startServer } = require('./server');
const { CheckFailed, check, delay, until, SERVICE_WORKER_ACTIVE, runGroups, runMain } = require('./harness');
const {
  SETTINGS_KEY,
  GAME_KEY,
  SAVED_GAME_BYTES,
  ENDED_TEXT,
  compareStretched,
  readBoard,
  findPair,
  FALL_MS,
  sameArrows,
  fmtPair,
} = require('./sim');
const { PORTRAIT, LANDSCAPE, launch, startSound, GamePage, engineScript } = require('./drivers');

const RUN_LIMIT_MS = 175000;
const KEY = { space: 32, sound: 83, left: 37, right: 39, options: 79, quit: 27, turn: 13, drop: 40 };

// Where things are on the page, in CSS pixels: the picture, the touch
// controls, the end text and the dialog's form.
const READ_PLACES = () => {
  const box = e => {
    const r = e.getBoundingClientRect();
    return { x: r.left, y: r.top, w: r.width, h: r.height };
  };
  const seen = e => {
    if (!e) return false;
    const s = getComputedStyle(e),
      r = e.getBoundingClientRect();
    return s.display !== 'none' && s.visibility !== 'hidden' && Number(s.opacity) > 0 && r.width > 0 && r.height > 0;
  };
  const onTop = e => {
    const r = e.getBoundingClientRect();
    const hit = document.elementFromPoint(r.left + r.width / 2, r.top + r.height / 2);
    return !!hit && (hit === e || e.contains(hit));
  };
  const canvas = document.getElementById('screen');
  const controls = [...document.querySelectorAll('.pad button')].map(b => ({
    key: +b.getAttribute('data-key'),
    label: b.getAttribute('aria-label'),
    shown: seen(b),
    ...box(b),
  }));
  const e = document.getElementById('ended');
  const ended = e
    ? { visible: seen(e), text: e.textContent.replace(/\s+/g, ' ').trim(), onTop: seen(e) && onTop(e), ...box(e) }
    : null;
  const f = document.getElementById('options');
  let form = null;
  if (f) {
    form = {
      visible: seen(f),
      onTop: seen(f) && onTop(f),
      ...box(f),
      labels: [...f.querySelectorAll('label')].map(l => {
        const i = l.querySelector('input');
        return {
          text: l.textContent.trim(),
          id: i ? i.getAttribute('data-id') : null,
          type: i ? i.type : null,
          checked: i ? i.checked : null,
          onTop: seen(l) && onTop(l),
          ...box(l),
        };
      }),
      buttons: ['options-ok', 'options-cancel'].map(id => {
        const b = document.getElementById(id);
        return b && f.contains(b)
          ? { id, text: b.textContent.trim(), onTop: seen(b) && onTop(b), ...box(b) }
          : { id, missing: true };
      }),
    };
  }
  return { canvas: canvas ? box(canvas) : null, controls, ended, form };
};

const AUDIO_STATE = () =>
  typeof window.Module === 'object' && window.Module.vantleAudio ? window.Module.vantleAudio.state : null;

// Whether the engine holds sound back until the player has done something:
// an output made now, before any tap, and what state it is in.
const SOUND_HELD_BACK = () => {
  const Context = window.AudioContext || window.webkitAudioContext;
  if (!Context) return 'no Web Audio';
  const a = new Context();
  const state = a.state;
  a.close().catch(() => {});
  return state;
};

// One page with the game on it, and what it must look like.
class Game extends GamePage {
  constructor(t, page, server) {
    super(t, page, server, { read: READ_PLACES, poll: 60 });
  }

  async waitTitle(what = 'the title', timeout = 12000) {
    return this.waitPicture(this.refs.title, what, { timeout });
  }

  // Waits for the falling pair, alone in the well, that `accept` takes.
  async pair(what, accept = () => true, timeout = 2000) {
    let why = 'there is no canvas',
      last = null;
    const p = await until(
      async () => {
        last = await this.canvas();
        if (!last) return null;
        const f = findPair(readBoard(last, this.refs));
        why = f.pair ? `the pair is at ${fmtPair(f.pair)}` : f.why;
        return f.pair && accept(f.pair) ? f.pair : null;
      },
      { timeout, interval: this.poll },
    );
    if (p) return p;
    if (last && compareStretched(last, this.refs.title).count === 0) why = 'the canvas shows the title';
    throw new CheckFailed(
      `${what}: not seen within ${timeout} ms; ${why}` +
        (last ? `. Canvas: ${this.t.pictures.save('canvas', last)}` : ''),
    );
  }

  async tapControl(key, hold = 40, what = `a tap on the touch control for key ${key}`) {
    const [x, y] = await this.control(key);
    await this.act(what, () => this.page.tap(x, y, hold));
  }

  // A game started with a tap on the middle of the title; the new pair at
  // the top of column 3.
  async start(what = 'a tap on the title starts a game') {
    await this.waitTitle();
    const [x, y] = await this.css(this.refs.lw >> 1, this.refs.lh >> 1);
    await this.tapAt(x, y, what);
    return this.pair(what, p => p.c === 3 && p.r <= 1, 4000);
  }

  async ended() {
    return (await this.places('the end text')).ended;
  }

  // The saved game storage holds now, as vantle-sim reads it; with
  // `accept`, waits for one it takes.
  async keptGame(what, accept = () => true, timeout = 4000) {
    let last = null;
    const found = await until(
      async () => {
        const hex = await this.stored(GAME_KEY);
        if (!hex || hex.length !== 2 * SAVED_GAME_BYTES) return null;
        const settingsHex = await this.stored(SETTINGS_KEY);
        last = {
          hex,
          settingsHex,
          ...this.t.sim.savedGame(hex, { width: this.refs.width, height: this.refs.height, settingsHex }),
        };
        return accept(last.state) ? last : null;
      },
      { timeout, interval: 100 },
    );
    check(
      found,
      `${what}: ${
        last
          ? `the game kept in storage is ${JSON.stringify(last.state).slice(0, 300)}`
          : `no saved game of ${SAVED_GAME_BYTES} bytes in "${GAME_KEY}"`
      }`,
    );
    return found;
  }
}

// ---- the flows ----

// Quit with ✕ after two pairs have landed: the page says the game has
// ended; a tap plays again from the title, and so does the page opened
// again; nothing is kept.
async function quitIsGone(t) {
  const { game } = await t.open(PORTRAIT);
  await game.start();
  // The drop held long enough for a pair to fall from the top and land
  // (11 rows and the landing, some 17 ticks), and it may drop the next one
  // too: the game kept counts the pairs dealt.
  for (let n = 1; n <= 2; n++) {
    const [x, y] = await game.control(KEY.drop);
    await game.act(`the drop control held to land pair ${n}`, () => game.page.tap(x, y, 1600));
    await game.keptGame(
      `pair ${n} has landed: the next pair is dealt and kept`,
      s => s.mode === 1 && s.pairsSinceSpeedUp >= n,
    );
  }
  // Quit while the new pair falls, not while a landing resolves (the game
  // does not look at its keys then): no pair dealt for 700 ms, so none
  // landed since, and the next is far from landing.
  let dealt = -1,
    since = Date.now();
  await game.keptGame(
    'the pairs dealt settle',
    s => {
      if (s.pairsSinceSpeedUp !== dealt) {
        dealt = s.pairsSinceSpeedUp;
        since = Date.now();
      }
      return Date.now() - since >= 700;
    },
    5000,
  );
  await game.tapControl(KEY.quit, 40, 'a tap on the quit control (✕)');
  const e = await until(
    async () => {
      const x = await game.ended();
      return x && x.visible ? x : null;
    },
    { timeout: 3000 },
  );
  check(e, 'a tap on ✕ in play does not end the game: the page does not say so');
  check(e.text === ENDED_TEXT, `the end text is "${e.text}", not "${ENDED_TEXT}"`);
  check(e.onTop, 'the end text is covered by something else, so a tap cannot reach it');
  check((await game.stored(GAME_KEY)) === null, 'ended with ✕, the game is still kept in storage');
  await game.tapAt(e.x + e.w / 2, e.y + e.h / 2, 'a tap on "Tap to play again"');
  await game.waitTitle('a tap on "Tap to play again": the title, not the quit game');
  check((await game.stored(GAME_KEY)) === null, 'played again after ✕, a game is kept in storage');
  await game.act('the tab closed and a new one opened', () => game.page.reopen());
  await game.open('index.html', 'the page opened again');
  await game.waitTitle('the page opened again after ✕: the title');
  check((await game.stored(GAME_KEY)) === null, 'the page opened again after ✕ keeps a game in storage');
}

// A game that ends on its own: vantle-sim's saved game with column 3 all
// but full is put in storage before the page loads; it comes back paused,
// Space goes on, the pair locks and "GameOver" shows; then the game is gone.
async function lostIsGone(t) {
  const lost = t.sim.lostGame();
  const { game } = await t.open(LANDSCAPE, { load: false });
  await game.open('blank.html', 'a page of the same origin');
  await game.act('the saved game put in storage', () =>
    game.page.evaluate(
      (k, v) => {
        localStorage.setItem(k, v);
      },
      GAME_KEY,
      lost,
    ),
  );
  await game.open();
  const r = game.refs;
  const back = t.sim.savedGame(lost, { width: r.width, height: r.height });
  await game.waitPicture(back.picture, 'the saved game, nearly lost, comes back paused', { timeout: 12000 });
  await delay(FALL_MS + 300);
  await game.waitPicture(back.picture, 'the saved game stays paused, the pair where it was', { timeout: 500 });
  await game.act('Space held 150 ms', () => game.page.press('Space', 150));
  await game.waitPicture(t.lostOver(r.width, r.height), 'Space goes on, the pair locks at once and "GameOver" shows', {
    timeout: 5000,
  });
  const gone = await until(async () => (await game.stored(GAME_KEY)) === null, { timeout: 3000 });
  check(gone, 'the game is over, yet it is still kept in storage');
  await game.reload('a reload after the game was lost');
  await game.waitTitle('a reload after the game was lost: the title');
  check((await game.stored(GAME_KEY)) === null, 'after the lost game and a reload, a game is kept in storage');
  await game.act('the tab closed and a new one opened', () => game.page.reopen());
  await game.open('index.html', 'the page opened again');
  await game.waitTitle('the page opened again after the lost game: the title');
}

// Sound from the first tap: the engine holds sound back until the player
// has done something (Chromium is told to, Firefox does by itself, WebKit
// as Safari on a phone); one tap on the title makes the game's sound run,
// and starts the game.
async function soundFromFirstTap(t) {
  const { game } = await t.open(PORTRAIT);
  await game.waitTitle();
  const active = await game.act("the page's user activation", () =>
    game.page.evaluate(() => (navigator.userActivation ? navigator.userActivation.hasBeenActive : null)),
  );
  check(
    active !== true,
    'before any tap the page counts as tapped already (navigator.userActivation): the test would prove nothing',
  );
  const held = await game.act('an audio output made before any tap', () => game.page.evaluate(SOUND_HELD_BACK));
  check((await game.page.evaluate(AUDIO_STATE)) === null, 'the game has made its sound output before any tap');
  const [x, y] = await game.css(game.refs.lw >> 1, game.refs.lh >> 1);
  const t0 = Date.now();
  await game.tapAt(x, y, 'one tap on the title');
  let state = null;
  const ms = await until(
    async () => {
      state = await game.page.evaluate(AUDIO_STATE);
      return state === 'running' ? Date.now() - t0 : null;
    },
    { timeout: 5000, interval: 50 },
  );
  check(
    ms,
    `one tap on the title: the game's sound output is ${state === null ? 'not made' : `"${state}"`} after 5 s, not running`,
  );
  await game.pair('the first tap also starts a game', p => p.c === 3 && p.r <= 1, 4000);
  t.note(
    `sound running ${ms} ms after the first tap` +
      (held === 'running'
        ? '; this engine lets sound start without a tap, so only the sound itself is shown'
        : `; before any tap an output stayed "${held}"`),
  );
  // A mouse's pointerdown is the player's own doing to a browser; a
  // finger's is not (its pointerup and touchend are).
  if (t.tapIsMouse) {
    t.note(
      "taps here are a mouse's, whose pointerdown already counts as the player's doing: a game that woke its sound " +
        "only on pointerdown would pass here, though a finger's first tap on a phone would leave it silent",
    );
  }
}

// A reload mid-game brings back the same game, paused: the canvas is
// vantle-sim's picture of the game kept in storage; Space goes on.
async function keptThroughReload(t) {
  const { game } = await t.open(LANDSCAPE);
  await game.start();
  await game.tapControl(KEY.left, 40, 'a tap on ◀');
  await game.pair('a tap on ◀ moves the pair', p => p.c === 2);
  await game.tapControl(KEY.left, 40, 'a second tap on ◀');
  await game.pair('a second tap on ◀ moves the pair', p => p.c === 1);
  await game.reload('a reload mid-game');
  const kept = await game.keptGame('after a reload mid-game');
  check(
    kept.state.mode === 1 && kept.state.fallStep === 0,
    `the game kept is not in play, paused: ${JSON.stringify(kept.state).slice(0, 200)}`,
  );
  check(
    kept.state.pair[0] === 1,
    `the game kept has its pair in column ${kept.state.pair[0]}, not 1 where it was moved`,
  );
  const shown = await game.waitPicture(
    kept.picture,
    "after a reload mid-game, the game kept (vantle-sim's picture of it)",
    { timeout: 12000 },
  );
  await delay(FALL_MS + 300);
  const still = await game.canvas();
  check(still && compareStretched(still, shown).count === 0, 'after a reload the game went on before Space');
  await game.act('Space held 150 ms', () => game.page.press('Space', 150));
  const p = await game.pair(
    'Space goes on: the pair falls',
    q => q.c === 1 && q.r > kept.state.pair[1],
    FALL_MS + 2500,
  );
  check(
    sameArrows(p, { top: kept.state.pair[2], bottom: kept.state.pair[3] }),
    `after Space the pair is ${fmtPair(p)}, not the one kept`,
  );
}

// Once loaded the site plays with the server stopped: the service worker
// keeps it.
async function offline(t) {
  const { game, server } = await t.open(PORTRAIT);
  await game.waitTitle();
  const active = await game.act('the service worker', () => game.page.evaluate(SERVICE_WORKER_ACTIVE, 10000));
  check(active, 'no service worker became active within 10 s');
  await delay(300);
  await server.stop();
  await game.reload('a reload with the server stopped');
  await game.waitTitle('with the server stopped, a reload shows the title');
  await game.start('with the server stopped, a tap starts a game');
  await game.tapControl(KEY.left, 40, 'a tap on ◀ offline');
  await game.pair('with the server stopped, a tap on ◀ moves the pair', p => p.c === 2);
}

// Turned mid-game, the picture takes the new shape and the game goes on
// where it was; and back.
async function turnMidGame(t) {
  const { game } = await t.open(PORTRAIT);
  await game.start();
  await game.tapControl(KEY.left, 40, 'a tap on ◀');
  const before = await game.pair('a tap on ◀ moves the pair', p => p.c === 2);
  await game.act('turned to 844 x 390', () => game.page.setViewport(LANDSCAPE.width, LANDSCAPE.height));
  const after = await game.pair(
    'turned to landscape: the same pair',
    q => q.c === before.c && sameArrows(q, before),
    4000,
  );
  check(
    after.r >= before.r && after.r - before.r <= 2,
    `turned, the pair went from ${fmtPair(before)} to ${fmtPair(after)}`,
  );
  await game.waitPicture(game.refs.play, 'turned to landscape: the landscape play screen', {
    skip: game.refs.changing,
    timeout: 3000,
  });
  const c = (await game.places()).canvas;
  check(
    Math.abs(c.h - LANDSCAPE.height) < 1 && c.w > c.h,
    `turned, the picture is ${c.w}x${c.h} CSS pixels, not 4:3 as high as the page's 390`,
  );
  await game.tapControl(KEY.right, 40, 'turned, a tap on ▶');
  const right = await game.pair('turned, a tap on ▶ moves the pair', q => q.c === after.c + 1);
  await game.act('turned back to 390 x 844', () => game.page.setViewport(PORTRAIT.width, PORTRAIT.height));
  await game.pair('turned back: the same pair', q => q.c === right.c && sameArrows(q, right), 4000);
  await game.waitPicture(game.refs.play, 'turned back: the portrait play screen', {
    skip: game.refs.changing,
    timeout: 3000,
  });
}

// Every tap counts: three taps on ◀, 60 ms apart (two of them within one
// 70 ms tick), move the pair three columns.
async function everyTapCounts(t) {
  const { game } = await t.open(PORTRAIT);
  await game.start();
  const [x, y] = await game.control(KEY.left);
  await game.act('three taps on ◀, 60 ms apart', () =>
    game.page.taps([
      { x, y, hold: 30, gap: 30 },
      { x, y, hold: 30, gap: 30 },
      { x, y, hold: 30 },
    ]),
  );
  await game.pair('three taps on ◀ 60 ms apart move the pair three columns', p => p.c === 0, 2000);
  await delay(400);
  await game.pair('and no more', p => p.c === 0, 500);
}

// The Options dialog by finger: on a page that can be touched, ⚙ opens a
// form over the game with a label for each box, in the dialog's order, and
// OK and CANCEL, each a target of 44 x 44 CSS pixels or more; a tap on a
// label ticks its box, and the dialog the game draws follows; CANCEL keeps
// the old choice, OK takes the new one. A page that cannot be touched gets
// the drawn dialog alone.
const BOXES = [
  ['1002', 'Rotation'],
  ['1003', 'Left'],
  ['1004', 'Down'],
  ['1005', 'Right'],
];

async function optionsByFinger(t) {
  const { game } = await t.open(PORTRAIT);
  await game.start();
  const middle = { x: (game.refs.lw >> 1) - 8, y: (game.refs.lh >> 1) - 8, w: 16, h: 16 };

  const openForm = async what => {
    const under = await game.canvas();
    await game.tapControl(KEY.options, 40, what);
    let form = null;
    const ok = await until(
      async () => {
        form = (await game.places(what)).form;
        return form && form.visible && form.labels.length > 0;
      },
      { timeout: 3000 },
    );
    check(form, `${what}: the page has no <form id="options">`);
    check(ok, `${what}: the form "options" does not show`);
    check(form.onTop, `${what}: the form is covered by something else`);
    const ids = form.labels.map(l => l.id).join(',');
    check(
      ids === BOXES.map(b => b[0]).join(',') && form.labels.every(l => l.type === 'checkbox'),
      `${what}: the form's labels hold the boxes ${ids} (${form.labels.map(l => l.type).join(',')}), not checkboxes ${BOXES.map(b => b[0]).join(',')} in order`,
    );
    for (const b of form.buttons) check(!b.missing, `${what}: the form has no #${b.id}`);
    for (const e of [...form.labels, ...form.buttons]) {
      check(
        e.w >= 44 && e.h >= 44,
        `${what}: "${e.text}" is ${e.w.toFixed(1)}x${e.h.toFixed(1)} CSS pixels, under 44 x 44`,
      );
      check(e.onTop, `${what}: "${e.text}" is covered, so a finger cannot reach it`);
    }
    const drawn = await until(
      async () => {
        const c = await game.canvas();
        return c && under && compareStretched(c, under, { rect: middle }).count > 0 ? c : null;
      },
      { timeout: 2000 },
    );
    check(drawn, `${what}: the game does not draw its dialog under the form`);
    return { form, under, drawn };
  };
  const formNow = async () => (await game.places()).form;
  const tapLabel = async (form, id, what) => {
    const l = form.labels.find(x => x.id === id);
    await game.tapAt(l.x + l.w / 2, l.y + l.h / 2, what);
  };
  const tapButton = async (form, id, what) => {
    const b = form.buttons.find(x => x.id === id);
    await game.tapAt(b.x + b.w / 2, b.y + b.h / 2, what);
  };
  const closed = async what => {
    const shut = await until(
      async () => {
        const f = await formNow();
        return !f || !f.visible;
      },
      { timeout: 3000 },
    );
    check(shut, `${what}: the form stays`);
    await game.waitPicture(game.refs.play, `${what}: the drawn dialog goes`, {
      skip: game.refs.changing,
      timeout: 3000,
    });
  };
  // ◀ held 600 ms: one column, or (repeating) one a tick.
  const holdLeft = async what => {
    const before = await game.pair(`${what}: the pair before`);
    const [x, y] = await game.control(KEY.left);
    await game.act(what, () => game.page.tap(x, y, 600));
    await delay(300);
    return { before, after: await game.pair(`${what}: the pair after`) };
  };

  // Left ticked, then CANCEL: Left still does not repeat.
  let { form, drawn } = await openForm('a tap on ⚙');
  check(
    form.labels.every((l, i) => l.checked === (BOXES[i][1] === 'Down')),
    `the form's boxes are ${form.labels.map(l => `${l.text} ${l.checked}`).join(', ')}: not Down alone, as the game starts`,
  );
  await tapLabel(form, '1003', 'a tap on the label "Left"');
  const ticked = await until(
    async () => {
      const f = await formNow();
      return f && f.labels[1].checked;
    },
    { timeout: 2000 },
  );
  check(ticked, 'a tap on the label "Left" does not tick its box');
  const follows = await until(
    async () => {
      const c = await game.canvas();
      return c && compareStretched(c, drawn).count > 0;
    },
    { timeout: 2000 },
  );
  check(follows, 'a tap on the label "Left" ticks its box, but the dialog the game draws stays as it was');
  await tapButton(form, 'options-cancel', 'a tap on CANCEL');
  await closed('a tap on CANCEL');
  let m = await holdLeft('after CANCEL, ◀ held 600 ms');
  check(
    m.after.c === m.before.c - 1,
    `after CANCEL, ◀ held 600 ms moved the pair from column ${m.before.c} to ${m.after.c}: Left repeats, the old choice was not kept`,
  );

  // Left ticked, then OK: Left repeats.
  ({ form } = await openForm('a second tap on ⚙'));
  check(!form.labels[1].checked, 'after CANCEL the form shows Left ticked: the old choice was not kept');
  await tapLabel(form, '1003', 'a tap on the label "Left"');
  check(
    await until(
      async () => {
        const f = await formNow();
        return f && f.labels[1].checked;
      },
      { timeout: 2000 },
    ),
    'a tap on the label "Left" does not tick its box',
  );
  await tapButton(form, 'options-ok', 'a tap on OK');
  await closed('a tap on OK');
  m = await holdLeft('after OK, ◀ held 600 ms');
  check(
    m.after.c <= m.before.c - 2 || (m.after.c === 0 && m.before.c === 1),
    `after OK with Left ticked, ◀ held 600 ms moved the pair from column ${m.before.c} to ${m.after.c}: Left does not repeat`,
  );

  // A page that cannot be touched (a mouse and keys): a click starts a
  // game, O opens the drawn dialog, and no form.
  const mouse = (await t.open(PORTRAIT, { touch: false })).game;
  await mouse.waitTitle('a page that cannot be touched: the title');
  const places = await mouse.places();
  check(
    places.controls.every(c => !c.shown),
    'a page that cannot be touched shows touch controls (it thinks it can be touched)',
  );
  const [cx, cy] = await mouse.css(mouse.refs.lw >> 1, mouse.refs.lh >> 1);
  await mouse.act('a click on the title', () => mouse.page.click(cx, cy));
  await mouse.pair('a click on the title starts a game', p => p.c === 3 && p.r <= 1, 4000);
  const playing = await mouse.canvas();
  await mouse.act('O held 150 ms', () => mouse.page.press('KeyO', 150));
  const opened = await until(
    async () => {
      const c = await mouse.canvas();
      return c && compareStretched(c, playing, { rect: middle }).count > 0;
    },
    { timeout: 3000 },
  );
  check(opened, 'on a page that cannot be touched, O does not open the Options dialog');
  await delay(300);
  const f = (await mouse.places()).form;
  check(!f || !f.visible, 'on a page that cannot be touched, the Options dialog shows the form for a finger');
  await mouse.act('Escape held 150 ms', () => mouse.page.press('Escape', 150));
  await mouse.waitPicture(mouse.refs.play, 'Escape closes the drawn dialog', {
    skip: mouse.refs.changing,
    timeout: 3000,
  });
}

// What a tap of the driver's is to a page: the pointer events it sees.
async function probeTap(driver) {
  const page = await driver.newPage({ ...PORTRAIT, touch: true });
  try {
    await page.goto(
      'data:text/html,' +
        encodeURIComponent(
          '<!doctype html><body style="margin:0;height:100vh"><script>' +
            'window.seen = []; for (const t of ["pointerdown", "pointerup", "touchstart", "touchend", "mousedown"]) ' +
            'addEventListener(t, e => seen.push(t + (e.pointerType ? " (pointerType " + e.pointerType + ")" : "")), true);</' +
            'script>',
        ),
    );
    await page.tap(100, 100, 40);
    const seen = await until(() => page.evaluate(() => (window.seen.length >= 2 ? window.seen : null)), {
      timeout: 2000,
    });
    return seen ? seen.join(', ') : 'nothing (no pointer events)';
  } finally {
    await page.close();
  }
}

const GROUPS = [
  ['a quit game is gone at the next visit', quitIsGone],
  ['a lost game is gone at the next visit', lostIsGone],
  ['sound from the first tap', soundFromFirstTap],
  ['the kept game through a reload', keptThroughReload],
  ['offline', offline],
  ['a turn mid-game', turnMidGame],
  ['every tap counts', everyTapCounts],
  ['the Options dialog by finger', optionsByFinger],
];

async function main() {
  const { args, engine, site, sim, pictures, open } = engineScript('engines');
  const t = { sim, pictures, driver: null, sound: null, note: line => open.note(line) };
  // A page on a server of its own (an origin, and so storage, of its
  // own), or on `server`.
  t.open = async (view, { touch = true, server = null, load = true } = {}) => {
    const srv =
      server ||
      (await startServer(site, {
        ...t.driver.serverOptions,
        pages: { '/blank.html': '<!doctype html><title>blank</title>' },
      }));
    const page = await t.driver.newPage({ ...view, touch });
    const game = new Game(t, page, srv);
    open.add(page, srv);
    if (load) await game.open();
    return { game, server: srv, page };
  };
  // The lost game of vantle-sim's (Sim.lostGame) as it looks 30 ticks
  // after Space, in a window of width x height.
  const over = new Map();
  t.lostOver = (width, height) => {
    const key = `${width}x${height}`;
    if (!over.has(key)) {
      const r = sim.run(['down 32', 'tick', 'up 32', 'tick 30', 'state', 'shot @over'], {
        width,
        height,
        gameHex: sim.lostGame(),
      });
      if (r.states[0].mode !== 3)
        throw new Error(`vantle-sim's lost game is not over 30 ticks after Space: mode ${r.states[0].mode}`);
      over.set(key, r.shots.over);
    }
    return over.get(key);
  };

  await runGroups(GROUPS, {
    state: t,
    only: args.only,
    limitMs: RUN_LIMIT_MS,
    pictures,
    notes: [],
    setUp: async () => {
      t.sound = await startSound();
      const t0 = Date.now();
      t.driver = await launch(engine, { sound: t.sound });
      console.log(`${engine}: ${t.driver.version}, started in ${((Date.now() - t0) / 1000).toFixed(1)} s`);
      console.log(t.driver.touch);
      const seen = await probeTap(t.driver);
      t.tapIsMouse = /pointerType mouse/.test(seen);
      console.log(`a tap arrives in a page as ${seen}`);
      if (!t.sound)
        console.log('no private PulseAudio (pulseaudio is not installed): the engine has no sound output of its own');
    },
    ...open.hooks,
    abandon: async () => {
      if (t.driver) await t.driver.kill();
      if (t.sound) await t.sound.stop();
    },
    tearDown: async () => {
      if (t.driver) await t.driver.close();
      if (t.sound) await t.sound.stop();
      sim.dispose();
    },
  });
}

runMain(main);
