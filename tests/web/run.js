#!/usr/bin/env node
// SPDX-License-Identifier: GPL-3.0-or-later
'use strict';
// The browser edition's tests: the built site, served from 127.0.0.1, played
// in headless Chromium over the DevTools protocol, its canvas compared pixel
// for pixel with what vantle-sim draws for the same window size.
//
//   node tests/web/run.js --site build-web/site --sim build/tools/sim/vantle-sim
//       [--out DIR] [--only WORD]
//
// Exit status: 0 all passed, 1 a check failed (each failure names its group
// and check, and leaves the canvas and the expected picture as PNGs in the
// --out folder), 2 bad arguments, 77 skipped (no Chromium installed, or no
// site built in --site).

const { chromiumOrSkip, chromiumRun } = require('./cdp');
const { startServer } = require('./server');
const { decodePng } = require('./png');
const {
  CheckFailed,
  check,
  act,
  delay,
  until,
  waitFor,
  parseArgs,
  requireSite,
  requireSim,
  inPage,
  readCanvas,
  storedItem,
  SERVICE_WORKER_ACTIVE,
  STAND_IN_PAD,
  Pictures,
  runGroups,
  runMain,
} = require('./harness');
const {
  Sim,
  SETTINGS_KEY,
  DEFAULT_SETTINGS,
  ENDED_TEXT,
  settingsBytes,
  settingsFromBytes,
  fitPicture,
  compareStretched,
  pictureMismatch,
  readBoard,
  findPair,
  FALL_MS,
  mayFall,
  sameArrows,
  turned,
  fmtPair,
} = require('./sim');

const RUN_LIMIT_MS = 170000;

// Failure pictures: --out, or a folder of their own.
let pictures = null;
const savePicture = (name, img) => pictures.save(name, img);

const fmtBox = b => (b ? `(${b.x},${b.y}) ${b.w}x${b.h}` : '-');

const READ_ENDED = `(() => {
  const e = document.getElementById('ended');
  if (!e) return { exists: false };
  const s = getComputedStyle(e), r = e.getBoundingClientRect();
  const x = r.left + r.width / 2, y = r.top + r.height / 2;
  const top = r.width > 0 ? document.elementFromPoint(x, y) : null;
  return { exists: true, text: e.textContent.replace(/\\s+/g, ' ').trim(),
    visible: s.display !== 'none' && s.visibility !== 'hidden' && Number(s.opacity) > 0 && r.width > 0 && r.height > 0,
    onTop: !!top && (top === e || e.contains(top)), x, y };
})()`;

const READ_LAYOUT = `(() => {
  const c = document.getElementById('screen');
  const r = c.getBoundingClientRect();
  return { width: c.width, height: c.height, left: r.left, top: r.top, cssWidth: r.width, cssHeight: r.height,
    innerWidth, innerHeight, dpr: devicePixelRatio };
})()`;

// One page of the game, with what it must look like.
class Game {
  constructor(t, page, server) {
    this.t = t;
    this.page = page;
    this.server = server;
    this.settings = DEFAULT_SETTINGS;
  }

  // The page's shape picks the layout: portrait when it is taller than
  // wide (a square too), and the game is given a window of the picture's
  // own size, so vantle-sim draws it at 240 x 320 or 320 x 240.
  get portrait() {
    return this.height >= this.width;
  }

  get refs() {
    return this.t.sim.references(this.portrait ? 240 : 320, this.portrait ? 320 : 240, this.settings);
  }

  // Loads the page at a viewport of width x height CSS pixels; `seed`
  // settings are put into localStorage before the page's scripts run.
  async open({ width, height, dpr = 1, seed = null }) {
    this.width = width;
    this.height = height;
    this.dpr = dpr;
    await this.page.setViewport({ width, height, dpr, touch: true });
    let script = null;
    if (seed) {
      const hex = settingsBytes(seed).toString('hex');
      script = await this.page.addInitScript(
        `try { localStorage.setItem(${JSON.stringify(SETTINGS_KEY)}, ${JSON.stringify(hex)}); } catch (e) {}`,
      );
      this.settings = seed;
    }
    await this.page.goto(this.server.url('index.html'));
    if (script) await this.page.removeInitScript(script);
  }

  // The canvas's pixels: the picture, all of them.
  async canvas() {
    return readCanvas(this.page);
  }

  // Waits until the canvas shows the logical picture `ref` (vantle-sim's)
  // stretched over it, outside the logical mask `skip`.
  async waitPicture(ref, what, { skip, rect, timeout = 5000 } = {}) {
    const { w: W, h: H } = this.fit();
    let last = null,
      diff = null;
    const ok = await until(
      async () => {
        last = await this.act(what, () => this.canvas());
        if (!last || last.width !== W || last.height !== H) return false;
        diff = compareStretched(last, ref, { skip, rect });
        return diff.count === 0;
      },
      { timeout },
    );
    if (ok) return last;
    if (!last) {
      const where = await this.page.evaluate('location.href + " (" + document.title + ")"').catch(() => '?');
      throw new CheckFailed(`${what}: there is no canvas#screen with pixels after ${timeout} ms; the page is ${where}`);
    }
    if (last.width !== W || last.height !== H)
      throw new CheckFailed(
        `${what}: the canvas is ${last.width}x${last.height} pixels, not ${W}x${H} (the picture's shape as large as fits the viewport ${this.width}x${this.height} at devicePixelRatio ${this.dpr})`,
      );
    throw new CheckFailed(pictureMismatch(pictures, what, timeout, last, ref, diff));
  }

  async waitTitle(what = 'the title appears', timeout = 8000) {
    return this.waitPicture(this.refs.title, what, { timeout });
  }

  async board() {
    const c = await this.canvas();
    return { canvas: c, board: c ? readBoard(c, this.refs) : null };
  }

  // Waits until the well shows the falling pair alone and `accept(pair)`.
  async waitPair(what, accept = () => true, timeout = 3000) {
    let last = null,
      why = '';
    const p = await until(
      async () => {
        last = await this.act(what, () => this.board());
        if (!last.canvas) {
          why = 'there is no canvas';
          return null;
        }
        const f = findPair(last.board);
        why = f.pair ? `the pair is at ${fmtPair(f.pair)}` : f.why;
        return f.pair && accept(f.pair) ? f.pair : null;
      },
      { timeout },
    );
    if (p) return p;
    if (last.canvas && compareStretched(last.canvas, this.refs.title).count === 0)
      why = 'the canvas still shows the title';
    const a = last.canvas ? ` Canvas: ${savePicture('canvas', last.canvas)}` : '';
    throw new CheckFailed(
      `${what}: not seen within ${timeout} ms; ${why}; the well reads ${last.board ? last.board.join(' ') : '-'}.${a}`,
    );
  }

  async pair(what) {
    return this.waitPair(what, () => true, 1000);
  }

  // A new viewport size after the page has loaded: the page is laid out
  // afresh for it.
  async resize(width, height) {
    this.width = width;
    this.height = height;
    await this.page.setViewport({ width, height, dpr: this.dpr, touch: true });
  }

  // Where the picture is on the page, in device pixels: its shape, as large
  // as fits the viewport on whole device pixels, centred.
  fit() {
    return fitPicture(this.width, this.height, this.dpr);
  }

  // CSS pixel at the middle of logical pixel (lx, ly).
  css(lx, ly) {
    const r = this.refs,
      f = this.fit();
    return [(f.x + ((lx + 0.5) * f.w) / r.lw) / this.dpr, (f.y + ((ly + 0.5) * f.h) / r.lh) / this.dpr];
  }

  // Input, and page actions, named for the failure message should the page
  // stop answering.
  act(what, fn) {
    return act(what, fn);
  }

  async press(key, what = `the key ${key}`) {
    await this.act(what, () => this.page.press(key));
  }

  async tapLogical(lx, ly, what = 'a tap') {
    const [x, y] = this.css(lx, ly);
    await this.act(what, () => this.page.tap(x, y));
  }

  async clickLogical(lx, ly, what = 'a click') {
    const [x, y] = this.css(lx, ly);
    await this.act(what, () => this.page.click(x, y));
  }

  async reload(what = 'a reload') {
    await this.act(what, () => this.page.reload());
  }

  async ended() {
    return this.page.evaluate(READ_ENDED);
  }

  async storedSettings() {
    const hex = await storedItem(this.page, SETTINGS_KEY);
    if (hex === null) return null;
    check(/^[0-9a-f]{72}$/.test(hex), `localStorage "${SETTINGS_KEY}" is "${hex}", not 72 lowercase hex characters`);
    return settingsFromBytes(Buffer.from(hex, 'hex'));
  }

  // Right after a start: the pair alone at the top of column 3, and the rest
  // of the play screen (score, high score, buttons, pictures) as the sim's.
  async checkStarted(what) {
    const p = await this.waitPair(`${what}: the new pair`);
    check(p.c === 3 && p.r <= 1, `${what}: the new pair is at ${fmtPair(p)}, not at the top of column 3`);
    await this.waitPicture(this.refs.play, `${what}: the play screen around the well`, {
      skip: this.refs.changing,
      timeout: 1500,
    });
    return p;
  }
}

// One action on the falling pair: waits for the pair to change as `moved`
// says, then a little longer, and checks where it settled; `expect` is told
// how many rows the pair may have fallen on its own meanwhile.
async function movePair(game, what, act, moved, expect) {
  const before = await game.pair(`${what}: the pair before`);
  const t0 = Date.now();
  await act();
  await game.waitPair(what, p => moved(before, p), 2000);
  await delay(250);
  const after = await game.pair(`${what}: the pair after`);
  check(
    expect(before, after, mayFall(Date.now() - t0)),
    `${what}: the pair went from ${fmtPair(before)} to ${fmtPair(after)}`,
  );
  return after;
}

const fell = (a, b, most) => b.r - a.r >= 0 && b.r - a.r <= most;
const oneLeft = (a, b, most) => b.c === a.c - 1 && sameArrows(a, b) && fell(a, b, most);
const oneRight = (a, b, most) => b.c === a.c + 1 && sameArrows(a, b) && fell(a, b, most);
const columnChanged = (a, b) => b.c !== a.c;

async function pressLeft(game, what, act) {
  return movePair(game, what, act, columnChanged, oneLeft);
}

async function turnByUp(game, key) {
  return movePair(
    game,
    `${key} turns both arrows a quarter clockwise`,
    () => game.press(key, `${key} turns both arrows a quarter clockwise`),
    (a, b) => !sameArrows(a, b),
    (a, b, most) => b.c === a.c && b.top === turned(a.top) && b.bottom === turned(a.bottom) && fell(a, b, most),
  );
}

// ---- the groups ----

// The first tick draws the title: at every size and pixel ratio the canvas
// is the picture's shape, as large as fits, centred, in the device's
// pixels, and shows vantle-sim's title, stretched; landscape and portrait
// viewports get their own layouts.
async function titleAtEachSize(t) {
  const sizes = [
    { width: 320, height: 240, dpr: 1 },
    { width: 240, height: 320, dpr: 1 },
    { width: 640, height: 480, dpr: 1 },
    { width: 320, height: 240, dpr: 2, screenshot: true },
    { width: 700, height: 500, dpr: 1 },
    { width: 360, height: 640, dpr: 2 },
  ];
  const game = await t.newGame();
  for (const s of sizes) {
    const name = `${s.width}x${s.height} at devicePixelRatio ${s.dpr}`;
    await game.open(s);
    const canvas = await game.waitTitle(`${name}: the title`);
    const l = await game.page.evaluate(READ_LAYOUT);
    check(l.dpr === s.dpr, `${name}: devicePixelRatio is ${l.dpr}`);
    const f = game.fit();
    const near = (a, b) => Math.abs(a - b) < 1.01 / s.dpr;
    check(
      near(l.left, f.x / s.dpr) &&
        near(l.top, f.y / s.dpr) &&
        near(l.cssWidth, f.w / s.dpr) &&
        near(l.cssHeight, f.h / s.dpr),
      `${name}: the canvas covers (${l.left},${l.top}) ${l.cssWidth}x${l.cssHeight} CSS pixels, not the picture's shape centred: ` +
        `(${f.x / s.dpr},${f.y / s.dpr}) ${f.w / s.dpr}x${f.h / s.dpr}`,
    );
    if (s.screenshot) {
      // What reaches the screen is the canvas itself, pixel for pixel.
      const shot = await game.page.screenshot();
      check(
        shot.width === canvas.width && shot.height === canvas.height,
        `${name}: the screenshot is ${shot.width}x${shot.height}, the canvas ${canvas.width}x${canvas.height}`,
      );
      const d = compareStretched(shot, canvas);
      if (d.count) {
        throw new CheckFailed(
          `${name}: the page on screen differs from its canvas at ${d.count} pixels (${d.samples[0]}). ` +
            `Screen: ${savePicture('screen', shot)}, canvas: ${savePicture('canvas', canvas)}`,
        );
      }
    }
  }
}

// A change of size after loading lays the page out afresh: a landscape
// page made portrait shows the portrait title, as large as fits, centred;
// taps land where the picture now shows the buttons; turned back mid-game,
// the game goes on where it was in the landscape layout.
async function resized(t) {
  const game = await t.newGame();
  await game.open({ width: 320, height: 240 });
  await game.waitTitle();
  await game.resize(320, 480);
  const r = game.refs;
  check(r.layout.cellSize === 22, 'made 320x480, the references are not portrait');
  await game.waitTitle('loaded at 320x240 and then made 320x480: the portrait title, centred', 3000);
  const shot = await game.act('the page at 320x480', () => game.page.screenshot());
  const f = game.fit();
  let lit = 0;
  for (let y = 0; y < shot.height; y++) {
    if (y >= f.y && y < f.y + f.h) continue;
    for (let x = 0; x < shot.width; x++) {
      const i = (y * shot.width + x) * 4;
      if (shot.data[i] | shot.data[i + 1] | shot.data[i + 2]) lit++;
    }
  }
  check(
    lit === 0,
    () =>
      `made 320x480, ${lit} pixels above or below the picture are not black. Screen: ${savePicture('screen', shot)}`,
  );
  await game.tapLogical(r.lw >> 1, r.lh >> 1, 'a tap on the new title');
  await game.waitPair('a tap on the portrait title starts a game: the new pair', p => p.c === 3 && p.r <= 1);
  const moved = await pressLeft(game, 'a tap on the portrait on-screen Left button moves the pair', () =>
    game.tapLogical(...r.leftMiddle, 'a tap on the portrait on-screen Left button'),
  );
  // Turned to landscape mid-game: the same pair, where it was.
  await game.resize(640, 480);
  const after = await game.waitPair(
    'turned to landscape mid-game: the pair',
    p => p.c === moved.c && sameArrows(p, moved),
    2000,
  );
  check(
    fell(moved, after, mayFall(3000)),
    `turned mid-game, the pair went from ${fmtPair(moved)} to ${fmtPair(after)}`,
  );
  await game.waitPicture(game.refs.play, 'turned to landscape mid-game: the landscape play screen around the well', {
    skip: game.refs.changing,
    timeout: 2000,
  });
  await pressLeft(game, 'after the turn, a tap on the landscape on-screen Left button moves the pair', () =>
    game.tapLogical(...game.refs.leftMiddle, 'a tap on the landscape on-screen Left button'),
  );
}

// Landscape, 320 x 240: a tap starts a game; Left (also held down, the
// keyboard repeating), Up, Down and Right act on the pair; a tap and a click
// on the on-screen Left button move it.
async function landscapePlay(t) {
  const game = await t.newGame();
  await game.open({ width: 320, height: 240 });
  await game.waitTitle();
  const r = game.refs;
  await game.tapLogical(r.lw >> 1, r.lh >> 1, 'a tap on the title');
  await game.checkStarted('a tap on the title starts a game');
  await pressLeft(game, 'Left moves the pair one column left', () => game.press('ArrowLeft', 'Left'));
  // A key held down sends keydowns again and again; Left does not repeat
  // (the default settings), so the pair moves once.
  await pressLeft(game, 'Left held down with the keyboard repeating moves the pair once', () =>
    game.act('Left held down', async () => {
      await game.page.keyDown('ArrowLeft');
      await delay(400);
      for (let i = 0; i < 10; i++) {
        await game.page.keyDown('ArrowLeft', { repeat: true });
        await delay(35);
      }
      await game.page.keyUp('ArrowLeft');
    }),
  );
  await turnByUp(game, 'ArrowUp');
  // Down drops a row each tick while held (it repeats by default), and no
  // more once let go.
  let held = 0;
  const dropped = await movePair(
    game,
    'Down drops the pair',
    async () => {
      const t0 = Date.now();
      await game.press('ArrowDown', 'Down');
      held = Date.now() - t0;
    },
    (a, b) => b.r > a.r,
    (a, b, most) => b.c === a.c && sameArrows(a, b) && b.r - a.r >= 1 && b.r - a.r <= Math.ceil(held / 70) + most,
  );
  const t1 = Date.now();
  await delay(350);
  const later = await game.pair('Down let go: the pair');
  check(
    later.c === dropped.c && fell(dropped, later, mayFall(Date.now() - t1)),
    `Down let go: the pair still moves, from ${fmtPair(dropped)} to ${fmtPair(later)}`,
  );
  await movePair(
    game,
    'Right moves the pair one column right',
    () => game.press('ArrowRight', 'Right'),
    columnChanged,
    oneRight,
  );
  const [bx, by] = r.leftMiddle;
  await pressLeft(game, 'a tap on the on-screen Left button moves the pair', () =>
    game.tapLogical(bx, by, 'a tap on the on-screen Left button'),
  );
  await pressLeft(game, 'a click on the on-screen Left button moves the pair', () =>
    game.clickLogical(bx, by, 'a click on the on-screen Left button'),
  );
}

// Portrait, 240 x 320: the well's 22-pixel cells; a click starts a game,
// Right and Enter act, and so does a tap on the on-screen Left button.
async function portraitPlay(t) {
  const game = await t.newGame();
  await game.open({ width: 240, height: 320 });
  await game.waitTitle();
  const r = game.refs;
  await game.clickLogical(r.lw >> 1, r.lh >> 1, 'a click on the title');
  await game.checkStarted('a click on the title starts a game');
  await movePair(
    game,
    'Right moves the pair one column right',
    () => game.press('ArrowRight', 'Right'),
    columnChanged,
    oneRight,
  );
  await turnByUp(game, 'Enter');
  await pressLeft(game, 'a tap on the on-screen Left button moves the pair', () =>
    game.tapLogical(...r.leftMiddle, 'a tap on the on-screen Left button'),
  );
}

// O opens the Options dialog over the middle of the picture and Escape
// closes it, giving back the picture under it; while it is open the game
// stands still.
async function optionsDialog(t) {
  const game = await t.newGame();
  await game.open({ width: 320, height: 240 });
  await game.waitTitle();
  const r = game.refs;
  const dialogShown = async (what, under) => {
    let last = null;
    return waitFor(
      async () => {
        last = await game.canvas();
        const d = compareStretched(last, under, { rect: { x: (r.lw >> 1) - 8, y: (r.lh >> 1) - 8, w: 16, h: 16 } });
        return d.count > 0 ? last : null;
      },
      { timeout: 2000, what },
    ).catch(() => {
      throw new CheckFailed(
        `${what}: the middle of the picture has not changed after 2 s. Canvas: ${savePicture('canvas', last)}`,
      );
    });
  };

  await game.press('KeyO', 'O on the title');
  await dialogShown('O on the title opens the Options dialog', r.title);
  await delay(150);
  const open = await game.canvas();
  const d = compareStretched(open, r.title);
  const b = d.box;
  const mid = [r.lw >> 1, r.lh >> 1];
  check(
    b.x <= mid[0] &&
      b.x + b.w > mid[0] &&
      b.y <= mid[1] &&
      b.y + b.h > mid[1] &&
      b.x > 0 &&
      b.y > 0 &&
      b.x + b.w < r.lw &&
      b.y + b.h < r.lh,
    () =>
      `the Options dialog covers logical ${fmtBox(b)}, not a box over the middle of the picture. Canvas: ${savePicture('canvas', open)}`,
  );
  let grey = 0,
    all = 0;
  for (let y = b.y; y < b.y + b.h; y++)
    for (let x = b.x; x < b.x + b.w; x++) {
      const o = (Math.floor((y * open.height) / r.lh) * open.width + Math.floor((x * open.width) / r.lw)) * 4;
      all++;
      if (open.data[o] === open.data[o + 1] && open.data[o + 1] === open.data[o + 2]) grey++;
    }
  check(
    grey * 2 > all,
    () => `the Options dialog is not mostly grey (${grey} of ${all} pixels). Canvas: ${savePicture('canvas', open)}`,
  );
  await game.press('Escape', 'Escape in the Options dialog');
  await game.waitPicture(r.title, 'Escape closes the Options dialog and the title comes back', { timeout: 2000 });
  await delay(300);
  const e = await game.ended();
  check(!e.visible, 'Escape that closes the Options dialog also ends the game');
  await game.waitPicture(r.title, 'the title stays after the Options dialog', { timeout: 500 });

  // In play: the pair would fall at least two rows in 3.5 s if the game ran.
  await game.press('Enter', 'Enter on the title');
  await game.checkStarted('Enter starts a game');
  const playing = await game.canvas();
  const before = await game.pair('the pair before O');
  const t0 = Date.now();
  await game.press('KeyO', 'O in play');
  const shown = await dialogShown('O in play opens the Options dialog', playing);
  const t1 = Date.now();
  await delay(3500);
  const still = await game.canvas();
  const same = compareStretched(still, shown);
  check(
    same.count === 0,
    () =>
      `the picture changed while the Options dialog was open, within logical ${fmtBox(same.box)}. ` +
      `Canvas at first: ${savePicture('canvas', shown)}, 3.5 s later: ${savePicture('canvas', still)}`,
  );
  const t2 = Date.now();
  await game.press('Escape', 'Escape in the Options dialog in play');
  const after = await game.waitPair('Escape closes the Options dialog in play: the pair', () => true, 2000);
  // Running, the game would have let the pair fall two rows or more in the
  // 3.5 s; it may fall on its own while the dialog is not up.
  const most = mayFall(t1 - t0 + Date.now() - t2);
  check(
    after.c === before.c && sameArrows(before, after) && fell(before, after, most),
    `the game ran while the Options dialog was open: the pair went from ${fmtPair(before)} to ${fmtPair(after)}`,
  );
  check(!(await game.ended()).visible, 'Escape that closes the Options dialog in play also ends the game');
}

// Keys that type nothing start a game as any key does; a key held when the
// page loses the keyboard (its key-up then goes elsewhere) is let go.
async function keysAndFocus(t) {
  const game = await t.newGame();
  await game.open({ width: 320, height: 240 });
  await game.waitTitle();
  await game.press('Backspace', 'Backspace on the title');
  await game.checkStarted('Backspace starts a game');
  const before = await game.pair('the pair before Down');
  const t0 = Date.now();
  await game.act('Down held, then the page loses the keyboard', async () => {
    await game.page.keyDown('ArrowDown');
    await delay(150);
    await game.page.evaluate('window.dispatchEvent(new Event("blur"))');
  });
  await game.waitPair('Down drops the pair', p => p.r > before.r, 1000);
  const t1 = Date.now();
  const letGo = await game.pair('the pair once the page lost the keyboard');
  await delay(1200);
  const later = await game.pair('the pair a while later');
  // Down still held would drop it a row a tick, to the bottom and on to a
  // new pair at the top.
  check(
    later.c === letGo.c && sameArrows(letGo, later) && fell(letGo, later, mayFall(Date.now() - t1)),
    `Down stayed held after the page lost the keyboard: the pair went from ${fmtPair(letGo)} to ${fmtPair(later)} ` +
      `(${Date.now() - t0} ms after Down went down)`,
  );
}

// The high score and the sound switch survive a reload: seeded into
// localStorage, S on the title, then a reload with no Escape (the page's
// hiding saves); a hidden page saves too.
async function settingsSurviveReload(t) {
  const game = await t.newGame();
  const seed = { sound: 1, high: 12345, repeat: [1, 1, 0, 1], hidden: 1 };
  await game.open({ width: 320, height: 240, seed });
  await game.waitTitle('the title with seeded settings (sound on, high score 12345, all but Down repeating)');
  const toggled = game.refs.titleSoundToggled;
  await game.press('KeyS', 'S on the title');
  await game.waitPicture(toggled, 'S on the title switches the sound off: the speaker', { timeout: 2000 });
  await game.reload('a reload after S');
  const off = { ...seed, sound: 0 };
  const kept = await game.storedSettings();
  check(kept !== null, `after a reload there is no "${SETTINGS_KEY}" in localStorage`);
  check(
    kept.magic[0] === 86 &&
      kept.magic[1] === 65 &&
      kept.sound === 0 &&
      kept.high === 12345 &&
      kept.repeat.join() === seed.repeat.join() &&
      kept.hidden === seed.hidden,
    `after S and a reload the settings stored are ${JSON.stringify(kept)}, not sound 0 and high score 12345 with the rest as seeded`,
  );
  game.settings = off;
  await game.waitTitle('after the reload, the title with the sound off');
  const r = game.refs;
  await game.tapLogical(r.lw >> 1, r.lh >> 1, 'a tap on the title after the reload');
  await game.checkStarted('a game after the reload shows high score 0012345');

  // S in play switches the sound back on; the page then goes to the
  // background (another tab in front), which must save it.
  await game.press('KeyS', 'S in play');
  const on = t.sim.references(320, 240, seed);
  const speaker = { x: r.layout.areaX + 240 - 48, y: 0, w: 16, h: 16 };
  await game.waitPicture(on.play, 'S in play switches the sound on: the speaker', { rect: speaker, timeout: 2000 });
  const other = await t.browser.newPage({ context: game.context });
  try {
    await waitFor(async () => (await game.page.evaluate('document.visibilityState')) === 'hidden', {
      timeout: 3000,
      what: 'the game page to be hidden behind another tab',
    });
    const saved = await waitFor(
      async () => {
        const s = await game.storedSettings();
        return s && s.sound === 1 ? s : null;
      },
      { timeout: 2000, what: 'the save' },
    ).catch(() => null);
    check(
      saved && saved.high === 12345,
      'a hidden page does not save: the sound switched on in play is not in localStorage',
    );
  } finally {
    await other.close();
  }
}

// Escape on the title and in play ends the game: the settings are saved and
// the end text shows; a tap on it plays again.
async function endAndPlayAgain(t) {
  const game = await t.newGame();
  await game.open({ width: 320, height: 240 });
  await game.waitTitle();
  const before = await game.ended();
  check(before.exists, 'the page has no element with id "ended"');
  check(!before.visible, 'the end text shows before the game has ended');

  const endsOn = async what => {
    // Whatever was saved before goes, so that what is there was saved now.
    await game.page.evaluate(`localStorage.removeItem(${JSON.stringify(SETTINGS_KEY)})`);
    await game.press('Escape', what);
    const e = await waitFor(
      async () => {
        const x = await game.ended();
        return x.visible ? x : null;
      },
      { timeout: 2000, what },
    ).catch(() => {
      throw new CheckFailed(`${what}: the element "ended" is not visible after 2 s`);
    });
    check(e.text === ENDED_TEXT, `${what}: the end text is "${e.text}", not "${ENDED_TEXT}"`);
    check(e.onTop, `${what}: the end text is covered by something else, so a tap cannot reach it`);
    const s = await game.storedSettings();
    const d = DEFAULT_SETTINGS;
    check(
      s !== null &&
        s.magic[0] === 86 &&
        s.magic[1] === 65 &&
        s.sound === d.sound &&
        s.high === d.high &&
        s.repeat.join() === d.repeat.join() &&
        s.hidden === d.hidden,
      `${what}: the settings saved are ${JSON.stringify(s)}, not the defaults`,
    );
    return e;
  };

  const e = await endsOn('Escape on the title ends the game');
  await game.act('a tap on the end text', () => game.page.waitForLoad(() => game.page.tap(e.x, e.y)));
  await game.waitTitle('a tap on the end text plays again: the title');
  check(!(await game.ended()).visible, 'the end text still shows after playing again');
  await game.press('Enter', 'Enter on the title after playing again');
  await game.checkStarted('Enter starts a game after playing again');
  await endsOn('Escape in play ends the game');
}

// Once loaded, the site plays with the server gone: the service worker keeps
// it. Its manifest and icons are there to install it.
async function offline(t) {
  const server = await startServer(t.site);
  try {
    const game = await t.newGame(server);
    await game.open({ width: 320, height: 240 });
    await game.waitTitle();
    const icons = await game.page.evaluate(`(async () => {
      const link = document.querySelector('link[rel="manifest"]');
      if (!link) return { error: 'no <link rel="manifest">' };
      const res = await fetch(link.href);
      let m;
      try { m = await res.json(); } catch (e) { return { error: 'the manifest is not JSON' }; }
      if (!Array.isArray(m.icons) || !m.icons.length) return { error: 'the manifest lists no icons' };
      const out = [];
      for (const i of m.icons) {
        const r = await fetch(new URL(i.src, res.url));
        const b = new Uint8Array(await r.arrayBuffer());
        let s = '';
        for (const x of b) s += String.fromCharCode(x);
        out.push({ src: i.src, sizes: i.sizes, status: r.status, png: btoa(s) });
      }
      return { name: m.name, icons: out };
    })()`);
    check(!icons.error, icons.error);
    check(icons.name === 'vantle', `the manifest's name is ${JSON.stringify(icons.name)}`);
    for (const i of icons.icons) {
      check(i.status === 200, `icon ${i.src}: HTTP ${i.status}`);
      let img;
      try {
        img = decodePng(Buffer.from(i.png, 'base64'));
      } catch (e) {
        throw new CheckFailed(`icon ${i.src}: not a PNG this test reads (${e.message})`);
      }
      check(
        i.sizes === `${img.width}x${img.height}`,
        `icon ${i.src} is ${img.width}x${img.height}, the manifest says ${i.sizes}`,
      );
    }
    const active = await game.page.evaluate(inPage(SERVICE_WORKER_ACTIVE, 8000));
    check(active, 'no service worker became active within 8 s');
    await delay(300);
    await server.stop();
    await game.reload('a reload with the server stopped');
    await game.waitTitle('with the server stopped, a reload shows the title');
    await game.press('Enter', 'Enter with the server stopped');
    await game.checkStarted('with the server stopped, Enter starts a game');
    await pressLeft(game, 'with the server stopped, Left moves the pair', () => game.press('ArrowLeft', 'Left'));
  } finally {
    await server.stop();
  }
}

// A controller plays as the keys it stands for: A starts a game, the D-pad
// and the stick move the pair, Y opens the Options dialog and B closes it.
async function gamepad(t) {
  const game = await t.newGame();
  const script = await game.page.addInitScript(STAND_IN_PAD);
  await game.open({ width: 320, height: 240 });
  await game.page.removeInitScript(script);
  await game.waitTitle();
  const r = game.refs;
  const hold = async (button, what) =>
    game.act(what, async () => {
      await game.page.evaluate(`window.__pad.buttons[${button}].pressed = true`);
      await delay(160);
      await game.page.evaluate(`window.__pad.buttons[${button}].pressed = false`);
    });
  await hold(0, 'A on the title');
  await game.checkStarted("a controller's A on the title starts a game");
  await pressLeft(game, "the controller's D-pad left moves the pair one column left", () => hold(14, 'D-pad left'));
  await pressLeft(game, "the controller's stick pushed left moves the pair one column left", () =>
    game.act('the stick', async () => {
      await game.page.evaluate('window.__pad.axes[0] = -0.9');
      await delay(160);
      await game.page.evaluate('window.__pad.axes[0] = 0.1');
    }),
  );
  const before = await game.canvas();
  await hold(3, 'Y in play');
  await waitFor(
    async () =>
      compareStretched(await game.canvas(), before, { rect: { x: (r.lw >> 1) - 8, y: (r.lh >> 1) - 8, w: 16, h: 16 } })
        .count > 0,
    { timeout: 2000, what: "the controller's Y opens the Options dialog" },
  ).catch(() => {
    throw new CheckFailed("the controller's Y in play does not open the Options dialog");
  });
  await delay(150);
  await hold(1, 'B in the Options dialog');
  await game.waitPicture(r.play, "the controller's B closes the Options dialog", { skip: r.changing, timeout: 2000 });
  check(!(await game.ended()).visible, "the controller's B in the Options dialog ends the game");
}

// Storage the browser refuses (private modes, a full quota): every use of
// localStorage throws. The game starts with the defaults, plays, is hidden
// and ends all the same.
const NO_STORAGE = `(() => {
  const refuse = () => { throw new DOMException('refused', 'QuotaExceededError'); };
  for (const name of ['getItem', 'setItem', 'removeItem', 'key', 'clear'])
    Storage.prototype[name] = refuse;
  Object.defineProperty(Storage.prototype, 'length', { get: refuse });
})()`;

// The page hidden during play (another tab in front) pauses the game: shown
// again, the pair stays where it was until Space goes on.
async function hiddenPauses(t) {
  const game = await t.newGame();
  await game.open({ width: 320, height: 240 });
  await game.waitTitle();
  await game.press('Enter', 'Enter on the title');
  await game.checkStarted('Enter starts a game');
  const other = await t.browser.newPage({ context: game.context });
  try {
    await waitFor(async () => (await game.page.evaluate('document.visibilityState')) === 'hidden', {
      timeout: 3000,
      what: 'the game page to be hidden behind another tab',
    });
    await delay(500);
  } finally {
    await other.close();
  }
  await waitFor(async () => (await game.page.evaluate('document.visibilityState')) === 'visible', {
    timeout: 3000,
    what: 'the game page to be shown again',
  });
  const before = await game.pair('shown again: the pair');
  await delay(2 * FALL_MS);
  const after = await game.pair('shown again, later: the pair');
  check(
    after.c === before.c && after.r === before.r,
    `the page was hidden in play, yet the pair went on from ${fmtPair(before)} to ${fmtPair(after)}`,
  );
  await game.press('Space', 'Space after the page was hidden');
  await game.waitPair('Space goes on: the pair falls', p => p.r > before.r, 3 * FALL_MS);
}

async function storageRefused(t) {
  const game = await t.newGame();
  const script = await game.page.addInitScript(NO_STORAGE);
  await game.open({ width: 320, height: 240 });
  await game.waitTitle('with storage refused, the title appears with the default settings');
  await game.press('Enter', 'Enter with storage refused');
  await game.checkStarted('with storage refused, Enter starts a game');
  await game.act('the page hidden', () =>
    game.page.evaluate(
      'document.dispatchEvent(new Event("visibilitychange")); window.dispatchEvent(new Event("pagehide"))',
    ),
  );
  await pressLeft(game, 'with storage refused, Left still moves the pair after the page was hidden', () =>
    game.press('ArrowLeft', 'Left'),
  );
  await game.press('Escape', 'Escape with storage refused');
  const e = await waitFor(
    async () => {
      const x = await game.ended();
      return x.visible ? x : null;
    },
    { timeout: 2000, what: 'the end' },
  ).catch(() => null);
  check(e !== null, 'with storage refused, Escape does not end the game');
  await game.page.removeInitScript(script);
}

const GROUPS = [
  ['title at each size', titleAtEachSize],
  ['a change of size', resized],
  ['landscape play', landscapePlay],
  ['portrait play', portraitPlay],
  ['Options dialog', optionsDialog],
  ['keys and focus', keysAndFocus],
  ['game controller', gamepad],
  ['settings survive a reload', settingsSurviveReload],
  ['end and play again', endAndPlayAgain],
  ['the page hidden pauses a game', hiddenPauses],
  ['storage refused', storageRefused],
  ['offline from the service worker', offline],
];

async function main() {
  const args = parseArgs(process.argv.slice(2), 'run.js', [
    ['site', 'DIR', true],
    ['sim', 'VANTLE_SIM', true],
    ['out', 'DIR'],
    ['only', 'WORD'],
  ]);
  pictures = new Pictures(args.out, 'vantle-web-test');
  const site = requireSite(args.site);
  const chromium = chromiumOrSkip();
  const sim = new Sim(requireSim(args.sim));
  const t = { site, sim, server: null, browser: null };
  let pages = [],
    contexts = [];
  t.newGame = async (srv = t.server) => {
    const context = await t.browser.newContext();
    contexts.push(context);
    const page = await t.browser.newPage({ context });
    pages.push(page);
    const game = new Game(t, page, srv);
    game.context = context;
    return game;
  };
  await runGroups(GROUPS, {
    state: t,
    only: args.only,
    limitMs: RUN_LIMIT_MS,
    pictures,
    ...chromiumRun(t, { site, chromium, sim }),
    begin: async () => {
      pages = [];
      contexts = [];
    },
    verify: async () => {
      for (const p of pages) check(p.exceptions.length === 0, `the page threw: ${p.exceptions[0]}`);
    },
    after: async () => {
      for (const p of pages) {
        const lines = p.log.slice(-12);
        if (lines.length) console.log('     the page said:\n       ' + lines.join('\n       '));
      }
    },
    end: async () => {
      for (const p of pages) await p.close();
      for (const c of contexts) await t.browser.disposeContext(c).catch(() => {});
    },
  });
}

runMain(main);
