#!/usr/bin/env node
// SPDX-License-Identifier: GPL-3.0-or-later
'use strict';
// The browser edition on phones and tablets, as a player meets it: Chromium
// driven through puppeteer-core with its device emulation and real touch
// events (Input.dispatchTouchEvent), the site served from 127.0.0.1, the
// canvas read back and compared with vantle-sim's pictures.
//
//   node tests/web/phone.js --site build-web/site --sim build/tools/sim/vantle-sim
//       [--out DIR] [--only WORD]
//
// Exit status: 0 all passed, 1 a check failed (each failure names its group
// and check; screenshots of failures go to --out), 2 bad arguments, 77
// skipped (no Chromium, no puppeteer-core installed, or no site built).

const fs = require('fs');
const os = require('os');
const path = require('path');
const { spawn } = require('child_process');
const { chromiumOrSkip, CHROMIUM_FLAGS } = require('./cdp');
const { startServer } = require('./server');
const { decodePng } = require('./png');
const {
  check,
  delay,
  until,
  parseArgs,
  requireSite,
  requireSim,
  stopProcess,
  readCanvas,
  SERVICE_WORKER_ACTIVE,
  Pictures,
  runGroups,
  runMain,
} = require('./harness');
const { Sim, readBoard, findPair, wellRegion, FALL_MS, mayFall, turned, fmtPair } = require('./sim');
const { PHONE_UA, puppeteerOrSkip, GamePage } = require('./drivers');
const { wellSamples, installWatch, topRow } = require('./watch');

const RUN_LIMIT_MS = 285000;

// Where things are on the page, in CSS pixels.
const READ_PLACES = () => {
  const box = e => {
    const r = e.getBoundingClientRect();
    return { x: r.left, y: r.top, w: r.width, h: r.height };
  };
  const controls = [...document.querySelectorAll('.pad button')].map(b => ({
    key: +b.getAttribute('data-key'),
    label: b.getAttribute('aria-label'),
    shown: getComputedStyle(b.parentNode).display !== 'none',
    ...box(b),
  }));
  return { canvas: box(document.getElementById('screen')), controls, innerWidth, innerHeight, dpr: devicePixelRatio };
};

// Real touches, each finger its own id, through the DevTools protocol.
class Fingers {
  constructor(client) {
    this.client = client;
    this.down = new Map();
  }
  send(type) {
    return this.client.send('Input.dispatchTouchEvent', { type, touchPoints: [...this.down.values()] });
  }
  async start(id, x, y) {
    this.down.set(id, { x, y, id });
    await this.send('touchStart');
  }
  async move(id, x, y) {
    this.down.set(id, { x, y, id });
    await this.send('touchMove');
  }
  async end(id) {
    this.down.delete(id);
    await this.send('touchEnd');
  }
  async tap(x, y, ms = 40, id = 9) {
    await this.start(id, x, y);
    await delay(ms);
    await this.end(id);
  }
}

// One phone (or tablet) with the game on it: a page of puppeteer-core's.
class Phone extends GamePage {
  constructor(t, page) {
    super(t, page, t.server, { read: READ_PLACES, poll: 40 });
    this.errors = [];
    page.on('pageerror', e => this.errors.push(e.message));
  }

  async open({ width, height, dpr = 1, url = null, mobile = true }) {
    this.width = width;
    this.height = height;
    this.dpr = dpr;
    await this.page.emulate({
      viewport: {
        width,
        height,
        deviceScaleFactor: dpr,
        isMobile: mobile,
        hasTouch: true,
        isLandscape: width > height,
      },
      userAgent: PHONE_UA,
    });
    this.client = await this.page.createCDPSession();
    this.fingers = new Fingers(this.client);
    await this.page.goto(url || this.server.url('index.html'));
  }

  async turn(width, height) {
    this.width = width;
    this.height = height;
    await this.page.setViewport({
      width,
      height,
      deviceScaleFactor: this.dpr,
      isMobile: true,
      hasTouch: true,
      isLandscape: width > height,
    });
  }

  get portrait() {
    return this.height >= this.width;
  }

  // The canvas; with `region`, only that part of it (canvas pixels).
  async canvas(region = null) {
    return readCanvas(this.page, region);
  }

  // The well's part of the canvas alone, which is all a look at the pair
  // needs: on a phone's large canvas, much less to carry.
  async well() {
    const size = await this.page.evaluate(() => {
      const c = document.getElementById('screen');
      return [c.width, c.height];
    });
    return this.canvas(wellRegion(this.refs, size[0], size[1]));
  }

  async waitTitle(what = 'the title') {
    await this.waitPicture(this.refs.title, what, { timeout: 8000 });
  }

  async pair(what, accept = () => true, timeout = 1500) {
    let why = '';
    const p = await until(
      async () => {
        const c = await this.well();
        if (!c) return null;
        const f = findPair(readBoard(c, this.refs));
        why = f.pair ? `the pair is at ${fmtPair(f.pair)}` : f.why;
        return f.pair && accept(f.pair) ? f.pair : null;
      },
      { timeout },
    );
    check(p, `${what}: not seen within ${timeout} ms (${why})`);
    return p;
  }

  async tapControl(key, ms = 40) {
    const [x, y] = await this.control(key);
    await this.fingers.tap(x, y, ms);
  }

  // A game started with a tap on the title; the new pair at its place.
  async start() {
    await this.waitTitle();
    const [x, y] = await this.css(this.refs.lw >> 1, this.refs.lh >> 1);
    await this.fingers.tap(x, y, 40);
    return this.pair('a 40 ms tap on the title starts a game', p => p.c === 3 && p.r <= 1, 3000);
  }
}

// Whether two canvases differ inside the logical rectangle `rect` of a
// picture `lw` logical pixels wide.
function differs(a, b, rect, lw) {
  if (!a || !b || a.width !== b.width || a.height !== b.height) return true;
  const k = a.width / lw;
  for (let y = Math.floor(rect.y * k); y < Math.ceil((rect.y + rect.h) * k) && y < a.height; y++)
    for (let x = Math.floor(rect.x * k); x < Math.ceil((rect.x + rect.w) * k) && x < a.width; x++) {
      const i = (y * a.width + x) * 4;
      if (a.data[i] !== b.data[i] || a.data[i + 1] !== b.data[i + 1] || a.data[i + 2] !== b.data[i + 2]) return true;
    }
  return false;
}

// ---- the groups ----

const SIZES = [
  { width: 390, height: 844, dpr: 3 },
  { width: 360, height: 800, dpr: 3 },
  { width: 412, height: 915, dpr: 2.625 },
  { width: 844, height: 390, dpr: 3 },
  { width: 768, height: 1024, dpr: 2 },
];

// At each size the picture is as large as the page allows, centred both
// ways, nothing but black or the touch controls around it; every action
// has a target of 44 x 44 CSS pixels or more.
async function screenShare(t) {
  const rows = [];
  for (const s of SIZES) {
    const name = `${s.width}x${s.height}@${s.dpr}`;
    const phone = await t.newPhone();
    await phone.open(s);
    await phone.waitTitle(`${name}: the title`);
    const p = await phone.places();
    const c = p.canvas;
    const share = (c.w * c.h) / (s.width * s.height);
    const across = s.width >= s.height ? c.h / s.height : c.w / s.width;
    rows.push(
      `${name}: ${c.w.toFixed(1)}x${c.h.toFixed(1)} at (${c.x.toFixed(1)},${c.y.toFixed(1)}), ` +
        `${(share * 100).toFixed(1)} % of the screen, ${(across * 100).toFixed(1)} % of its ${s.width >= s.height ? 'height' : 'width'}`,
    );
    check(across > 0.99, `${name}: the picture fills only ${(across * 100).toFixed(1)} % of the page's narrow side`);
    check(
      Math.abs(c.x - (s.width - c.x - c.w)) <= 1 && Math.abs(c.y - (s.height - c.y - c.h)) <= 1,
      `${name}: the picture at (${c.x},${c.y}) ${c.w}x${c.h} is not centred`,
    );
    const canvas = await phone.canvas();
    check(
      Math.abs(canvas.width - c.w * s.dpr) <= 1 && Math.abs(canvas.height - c.h * s.dpr) <= 1,
      `${name}: the canvas has ${canvas.width}x${canvas.height} pixels for ${c.w}x${c.h} CSS pixels at ${s.dpr}`,
    );

    // The actions: a touch control of 44 x 44 or more for each, or, where
    // the page leaves no band for them, the panel's own buttons that big.
    const scale = c.w / phone.refs.lw;
    const shown = p.controls.filter(b => b.shown);
    if (shown.length) {
      check(shown.length === 8, `${name}: ${shown.length} touch controls shown, not 8`);
      for (const b of shown)
        check(
          b.w >= 44 && b.h >= 44,
          `${name}: the control "${b.label}" is ${b.w.toFixed(1)}x${b.h.toFixed(1)} CSS pixels`,
        );
      for (const b of shown)
        check(
          b.x >= c.x + c.w - 0.5 || b.x + b.w <= c.x + 0.5 || b.y >= c.y + c.h - 0.5 || b.y + b.h <= c.y + 0.5,
          `${name}: the control "${b.label}" covers the picture`,
        );
    } else {
      check(
        16 * scale >= 44 && 17 * scale >= 44,
        `${name}: no touch controls, and the panel's buttons are only ${(16 * scale).toFixed(1)} CSS pixels`,
      );
    }

    // Nothing outside the picture but black and the controls.
    const shot = decodePng(await phone.page.screenshot());
    const inside = (x, y, r) => x >= r.x && x < r.x + r.w && y >= r.y && y < r.y + r.h;
    let lit = 0;
    for (let y = 0; y < shot.height; y += 3)
      for (let x = 0; x < shot.width; x += 3) {
        const cx = x / s.dpr,
          cy = y / s.dpr;
        if (inside(cx, cy, c) || shown.some(b => inside(cx, cy, { x: b.x - 7, y: b.y - 7, w: b.w + 14, h: b.h + 14 })))
          continue;
        const i = (y * shot.width + x) * 4;
        if (shot.data[i] | shot.data[i + 1] | shot.data[i + 2]) lit++;
      }
    check(
      lit === 0,
      () =>
        `${name}: ${lit} sampled pixels outside the picture and the controls are not black (${t.pictures.save(name, shot)})`,
    );
  }
  t.note('screen share', rows);
}

// A 40 ms tap acts exactly once: each touch control, and the panel's Left
// button on the canvas.
async function tapsActOnce(t) {
  // The pair as last seen, and when that look began (its picture may be
  // taken well before it returns): the pair may fall on its own a row
  // every FALL_MS from then. Each look after a tap is the next one's look
  // before, and a pair low in the well, which would soon land, is left
  // for a new game on a new phone: a loaded machine makes every look slow.
  let phone = null,
    last = null;
  const fresh = async () => {
    phone = await t.newPhone();
    await phone.open({ width: 360, height: 800, dpr: 3 });
    const t0 = Date.now();
    last = { pair: await phone.start(), t0 };
  };
  await fresh();
  const moved = async (what, act, want) => {
    if (last.pair.r >= 6) await fresh();
    const before = last.pair;
    await act();
    await delay(350);
    const t1 = Date.now();
    const after = await phone.pair(`${what}: the pair after`);
    const fell = after.r - before.r,
      most = mayFall(Date.now() - last.t0);
    check(want(before, after, fell, most), `${what}: the pair went from ${fmtPair(before)} to ${fmtPair(after)}`);
    last = { pair: after, t0: t1 };
  };
  await moved(
    'a 40 ms tap on the Left control',
    () => phone.tapControl(37),
    (a, b, fell, most) => b.c === a.c - 1 && fell >= 0 && fell <= most,
  );
  await moved(
    'a 40 ms tap on the Right control',
    () => phone.tapControl(39),
    (a, b, fell, most) => b.c === a.c + 1 && fell >= 0 && fell <= most,
  );
  await moved(
    'a 40 ms tap on the turning control',
    () => phone.tapControl(13),
    (a, b, fell, most) => b.c === a.c && b.top === turned(a.top) && b.bottom === turned(a.bottom) && fell <= most,
  );
  if (last.pair.r >= 6) await fresh();
  const t1 = Date.now();
  last = { pair: await downTapDropsOnce(t, phone, last.pair), t0: t1 };
  await moved(
    'a 30 ms tap on the Left control',
    () => phone.tapControl(37, 30),
    (a, b, fell, most) => b.c === a.c - 1 && fell <= most,
  );
  await moved(
    "a 40 ms tap on the panel's Left button",
    async () => {
      const [lx, ly] = await phone.css(...phone.refs.leftMiddle);
      await phone.fingers.tap(lx, ly, 40);
    },
    (a, b, fell, most) => b.c === a.c - 1 && fell <= most,
  );
}

// Down repeats while held, so a tap on it is told from a hold by what the
// page itself saw: the watch (watch.js) logs, by the page's clock, the
// finger going down and up and every row the pair moves. The tap is taken
// by the first tick after it went down: a row then, or when no tick came
// while the finger was down, one just after it went up; any tick that came
// while the page still had the finger down drops a row more, as a hold
// does; and once the finger is up nothing more (until the pair falls on
// its own, 21 ticks later). (A loaded machine may
// deliver a 40 ms tap's end late, so that the page sees the finger down
// over two ticks; the pair may also fall on its own before the tap, which
// a look from outside cannot tell from the drop.)
async function downTapDropsOnce(t, phone, before) {
  const what = 'a 40 ms tap on the Down control (which repeats while held)';
  const size = await phone.page.evaluate(() => {
    const c = document.getElementById('screen');
    return [c.width, c.height];
  });
  await phone.page.evaluate(installWatch(wellSamples(phone.refs, size[0], size[1])));
  await delay(100);
  await phone.tapControl(40);
  await delay(600);
  const after = await phone.pair(`${what}: the pair after`);
  const w = await phone.page.evaluate(() => window.__watch);
  const down = w.input.find(e => e.type === 'pointerdown'),
    up = w.input.find(e => e.type === 'pointerup' && (!down || e.t >= down.t));
  check(down && up, `${what}: the page saw no finger go down and up (${JSON.stringify(w.input)})`);
  const rows = [];
  let row = topRow(w.log[0].cells, before.c);
  for (const entry of w.log) {
    const r = topRow(entry.cells, before.c);
    if (r !== row && r >= 0) rows.push({ t: entry.t, from: row, to: r });
    if (r >= 0) row = r;
  }
  // A drop after the finger is up comes with the next tick; the pair falls
  // on its own no sooner than 21 ticks after a drop.
  const held = rows.filter(m => m.t > down.t && m.t <= up.t),
    later = rows.filter(m => m.t > up.t && m.t <= up.t + 700);
  const drops = [...held, ...later].reduce((n, m) => n + m.to - m.from, 0);
  const log = rows.map(m => `row ${m.to} at ${(m.t - down.t).toFixed(0)} ms`).join(', ') || 'no move';
  const said = `the page had the finger down ${(up.t - down.t).toFixed(0)} ms; from its going down: ${log}`;
  check(after.c === before.c, `${what}: the pair went from column ${before.c} to ${after.c}`);
  check(drops >= 1, `${what}: the pair did not drop (${said})`);
  const afterUp = later.reduce((n, m) => n + m.to - m.from, 0);
  check(
    afterUp <= (held.length ? 0 : 1),
    `${what}: the pair dropped ${afterUp} row(s) after the finger went up (${said})`,
  );
  check(
    held.every(m => m.to === m.from + 1),
    `${what}: the pair dropped more than a row in a tick (${said})`,
  );
  t.note('the Down tap', [said]);
  return after;
}

// The small controls act once a tap: pause and go on, the sound switched
// off and on, the Options dialog, and quit.
async function smallControls(t) {
  const phone = await t.newPhone();
  await phone.open({ width: 360, height: 800, dpr: 3 });
  await phone.start();
  const r = phone.refs;

  // Pause: the pair stands still until a second tap.
  await phone.tapControl(32);
  await delay(200);
  const paused = await phone.pair('paused: the pair');
  await delay(FALL_MS + 300);
  const still = await phone.pair('paused, later: the pair');
  check(still.r === paused.r, `a 40 ms tap on Pause does not pause: the pair fell from row ${paused.r} to ${still.r}`);
  await phone.tapControl(32);
  await phone.pair('a second tap on Pause goes on: the pair falls', q => q.r > paused.r, FALL_MS + 1500);

  // Sound: the speaker changes, and changes back with a second tap.
  const speaker = { x: r.layout.areaX + 240 - 48, y: 0, w: 16, h: 16 };
  const before = await phone.canvas();
  await phone.tapControl(83);
  const changed = await until(async () => differs(await phone.canvas(), before, speaker, r.lw), { timeout: 3000 });
  check(changed, 'a 40 ms tap on the sound control does not change the speaker');
  await delay(200);
  await phone.tapControl(83);
  const back = await until(async () => !differs(await phone.canvas(), before, speaker, r.lw), { timeout: 3000 });
  check(back, 'a second tap on the sound control does not bring the speaker back');

  // Options: the dialog opens over the middle, and Escape closes it.
  const middle = { x: (r.lw >> 1) - 8, y: (r.lh >> 1) - 8, w: 16, h: 16 };
  const under = await phone.canvas();
  await phone.tapControl(79);
  const opened = await until(async () => differs(await phone.canvas(), under, middle, r.lw), { timeout: 3000 });
  check(opened, 'a 40 ms tap on the Options control does not open the Options dialog');
  await delay(150);
  await phone.page.keyboard.down('Escape');
  await delay(150);
  await phone.page.keyboard.up('Escape');
  await phone.waitPicture(r.play, 'Escape closes the Options dialog', { skip: r.changing, timeout: 2000 });

  // Quit: the page says the game has ended.
  await delay(150);
  await phone.tapControl(27);
  const ended = await until(
    () => phone.page.evaluate(() => getComputedStyle(document.getElementById('ended')).display !== 'none'),
    { timeout: 2000 },
  );
  check(ended, 'a 40 ms tap on the quit control does not end the game');
  const left = (await phone.places()).controls.filter(c => c.shown).length;
  check(left === 0, `the game has ended, yet ${left} touch controls still show`);
}

// Two thumbs: one holds Down while the other taps Left; a finger sliding
// from one control onto the next presses that one.
async function twoFingers(t) {
  const phone = await t.newPhone();
  await phone.open({ width: 390, height: 844, dpr: 3 });
  const p = await phone.start();
  const [dx, dy] = await phone.control(40);
  const [lx, ly] = await phone.control(37);
  await phone.fingers.start(1, dx, dy);
  await delay(150);
  await phone.fingers.tap(lx, ly, 40, 2);
  await delay(250);
  const q = await phone.pair('Down held, Left tapped: the pair');
  await phone.fingers.end(1);
  check(
    q.c === p.c - 1,
    `with Down held by one finger, a tap of Left by another does not move the pair (column ${p.c} to ${q.c})`,
  );
  check(
    q.r >= p.r + 2,
    `with Down held by one finger and Left tapped by another, the pair does not drop (row ${p.r} to ${q.r})`,
  );

  // A slide from Left onto Right: one column left, then one right.
  await delay(300);
  const a = await phone.pair('before the slide: the pair');
  const [rx, ry] = await phone.control(39);
  await phone.fingers.start(3, lx, ly);
  await delay(150);
  const b = await phone.pair('a finger down on Left: the pair', s => s.c === a.c - 1, 1000);
  for (let i = 1; i <= 4; i++) await phone.fingers.move(3, lx + ((rx - lx) * i) / 4, ly + ((ry - ly) * i) / 4);
  await delay(150);
  await phone.fingers.end(3);
  await phone.pair('the finger slid onto Right: the pair moves right', s => s.c === b.c + 1, 1000);
}

// Turning the phone mid-game: the landscape layout fills the height, the
// game goes on where it was; and back.
async function turning(t) {
  const phone = await t.newPhone();
  await phone.open({ width: 390, height: 844, dpr: 3 });
  await phone.start();
  await phone.tapControl(37);
  await delay(300);
  const before = await phone.pair('portrait: the pair');
  await phone.turn(844, 390);
  const after = await phone.pair(
    'turned to landscape: the same pair',
    q => q.c === before.c && q.top === before.top && q.bottom === before.bottom,
    2000,
  );
  check(after.r - before.r <= 2, `turned, the pair jumped from row ${before.r} to ${after.r}`);
  await phone.waitPicture(phone.refs.play, 'turned to landscape: the landscape play screen', {
    skip: phone.refs.changing,
    timeout: 2000,
  });
  const c = (await phone.places()).canvas;
  check(Math.abs(c.h - 390) < 1, `turned to landscape, the picture is ${c.h} CSS pixels high, not the page's 390`);
  await phone.tapControl(39);
  await phone.pair('turned, a tap on Right moves the pair', q => q.c === after.c + 1, 1500);
  await phone.turn(390, 844);
  await phone.waitPicture(phone.refs.play, 'turned back to portrait: the portrait play screen', {
    skip: phone.refs.changing,
    timeout: 2000,
  });
}

// The screen wake lock: asked for when a game starts, let go when it is
// paused and when the page is hidden, asked for again when play goes on.
const WAKE_LOCK_STAND_IN = () => {
  window.__wake = { requests: 0, releases: 0, held: 0 };
  const lock = {
    request() {
      window.__wake.requests++;
      window.__wake.held++;
      const sentinel = new EventTarget();
      let released = false;
      sentinel.release = async () => {
        if (released) return;
        released = true;
        window.__wake.releases++;
        window.__wake.held--;
        sentinel.dispatchEvent(new Event('release'));
      };
      document.addEventListener('visibilitychange', () => {
        if (document.visibilityState === 'hidden') sentinel.release();
      });
      return Promise.resolve(sentinel);
    },
  };
  Object.defineProperty(navigator, 'wakeLock', { value: lock, configurable: true });
};

async function wakeLock(t) {
  const phone = await t.newPhone();
  await phone.page.evaluateOnNewDocument(WAKE_LOCK_STAND_IN);
  await phone.open({ width: 390, height: 844, dpr: 3 });
  await phone.waitTitle();
  await delay(300);
  const wake = () => phone.page.evaluate(() => window.__wake);
  check((await wake()).requests === 0, 'the title asks for the wake lock');
  await phone.start();
  check(
    await until(async () => (await wake()).held === 1, { timeout: 2000 }),
    'a game in play does not hold the wake lock',
  );
  await phone.tapControl(32);
  check(
    await until(async () => (await wake()).held === 0, { timeout: 2000 }),
    'paused, the game still holds the wake lock',
  );
  await phone.tapControl(32);
  check(
    await until(async () => (await wake()).held === 1, { timeout: 2000 }),
    'play goes on, and the wake lock is not asked for again',
  );
  // Hidden behind another tab: let go, and (paused) not asked for again.
  const other = await phone.page.browserContext().newPage();
  await until(() => phone.page.evaluate(() => document.visibilityState === 'hidden'), { timeout: 3000 });
  await delay(300);
  await other.close();
  await phone.page.bringToFront();
  await delay(300);
  const w = await wake();
  check(w.held === 0, `hidden and shown again (paused), the page holds ${w.held} wake locks`);
}

// The page's manners: zooming stays off without user-scalable=no, and the
// page says what it needs when it cannot run.
async function manners(t) {
  const phone = await t.newPhone();
  await phone.open({ width: 390, height: 844, dpr: 3 });
  await phone.waitTitle();
  const meta = await phone.page.evaluate(() => document.querySelector('meta[name=viewport]').content);
  check(!/user-scalable\s*=\s*no|maximum-scale/.test(meta), `the viewport meta still forbids zooming: ${meta}`);
  check(/viewport-fit\s*=\s*cover/.test(meta), `the viewport meta lacks viewport-fit=cover: ${meta}`);
  const action = await phone.page.evaluate(() => getComputedStyle(document.getElementById('screen')).touchAction);
  check(action === 'none', `the canvas's touch-action is ${action}`);
  // A pinch and a double tap on the picture leave the page unzoomed.
  const [x, y] = await phone.css(120, 200);
  await phone.client.send('Input.synthesizePinchGesture', { x, y, scaleFactor: 2, gestureSourceType: 'touch' });
  await phone.fingers.tap(x, y, 30);
  await delay(60);
  await phone.fingers.tap(x, y, 30);
  await delay(400);
  const scale = await phone.page.evaluate(() => window.visualViewport.scale);
  check(scale === 1, `after a pinch and a double tap the page is zoomed to ${scale}`);

  // A notch and a home bar (safe-area insets, stood in for by the page's
  // own probe of them): the picture and the controls keep clear of them.
  await phone.page.addStyleTag({ content: '#safe { padding: 47px 0 34px 0 !important; }' });
  await phone.page.evaluate(() => window.dispatchEvent(new Event('resize')));
  await delay(300);
  const p = await phone.places();
  check(p.canvas.y >= 47 - 0.01, `with a 47 px notch the picture starts at ${p.canvas.y}`);
  for (const b of p.controls.filter(c => c.shown))
    check(
      b.y >= 47 - 0.01 && b.y + b.h <= 844 - 34 + 0.01,
      `with insets of 47 and 34 px the control "${b.label}" is at ${b.y}..${b.y + b.h}`,
    );
  check(
    Math.abs(p.canvas.w - 390) < 1,
    `with insets above and below the picture is ${p.canvas.w} wide, not the page's 390`,
  );

  // The manifest: an id, and a maskable icon that is opaque to its edges.
  const m = await phone.page.evaluate(async () => (await fetch('manifest.webmanifest')).json());
  check(typeof m.id === 'string' && m.id.length > 0, 'the manifest has no id');
  const maskable = (m.icons || []).find(i => (i.purpose || '').split(' ').includes('maskable'));
  check(maskable, 'the manifest names no maskable icon');
  const bytes = await phone.page.evaluate(
    async src => [...new Uint8Array(await (await fetch(src)).arrayBuffer())],
    maskable.src,
  );
  const icon = decodePng(Buffer.from(bytes));
  check(
    `${icon.width}x${icon.height}` === maskable.sizes,
    `the maskable icon is ${icon.width}x${icon.height}, the manifest says ${maskable.sizes}`,
  );
  for (const [ix, iy] of [
    [0, 0],
    [icon.width - 1, 0],
    [0, icon.height - 1],
    [icon.width - 1, icon.height - 1],
  ])
    check(icon.data[(iy * icon.width + ix) * 4 + 3] === 255, `the maskable icon is see-through at (${ix},${iy})`);

  // Without WebAssembly, and without JavaScript: a message, not a black page.
  const bare = await t.newPhone();
  await bare.page.evaluateOnNewDocument(() => {
    delete window.WebAssembly;
  });
  await bare.open({ width: 390, height: 844, dpr: 3 });
  const said = await until(
    () =>
      bare.page.evaluate(() => {
        const e = document.getElementById('nowasm');
        return e && getComputedStyle(e).display !== 'none' && e.getBoundingClientRect().height > 0
          ? e.textContent
          : null;
      }),
    { timeout: 3000 },
  );
  check(said && /WebAssembly/.test(said), 'without WebAssembly the page does not say it needs it');
  const off = await t.newPhone();
  await off.page.setJavaScriptEnabled(false);
  await off.open({ width: 390, height: 844, dpr: 3 });
  const text = await off.page.$eval('body', b => b.innerText);
  check(/needs JavaScript/.test(text), `without JavaScript the page says only: ${JSON.stringify(text.trim())}`);
  bare.errors.length = 0; // a page without WebAssembly may complain
}

// A new build reaches a player who has the old one by the second reload,
// from a plain static host (python's http.server: Last-Modified and no
// Cache-Control) with files dated in the past; offline it still plays.
async function deploy(t) {
  const root = fs.mkdtempSync(path.join(os.tmpdir(), 'vantle-deploy-'));
  const copy = (from, to) => {
    fs.mkdirSync(to, { recursive: true });
    for (const e of fs.readdirSync(from, { withFileTypes: true })) {
      if (e.isDirectory()) copy(path.join(from, e.name), path.join(to, e.name));
      else fs.copyFileSync(path.join(from, e.name), path.join(to, e.name));
    }
  };
  const age = (dir, when) => {
    for (const e of fs.readdirSync(dir, { withFileTypes: true })) {
      const f = path.join(dir, e.name);
      if (e.isDirectory()) age(f, when);
      fs.utimesSync(f, when, when);
    }
  };
  copy(t.site, root);
  const yearAgo = new Date(Date.now() - 365 * 24 * 3600 * 1000);
  age(root, yearAgo);
  const host = await pythonServer(root);
  try {
    const phone = await t.newPhone();
    await phone.open({ width: 390, height: 844, dpr: 3, url: host.url });
    await phone.waitTitle('the first build: the title');
    check(await phone.page.evaluate(SERVICE_WORKER_ACTIVE, 8000), 'no service worker became active');
    await delay(500);

    // The next build: a new page (marked) and so a new worker, as the
    // build names its cache after what the site holds; dated a day ago.
    const index = path.join(root, 'index.html'),
      sw = path.join(root, 'sw.js');
    fs.writeFileSync(
      index,
      fs
        .readFileSync(index, 'utf8')
        .replace('<title>vantle</title>', '<title>vantle</title>\n<meta name="build" content="next">'),
    );
    fs.writeFileSync(sw, fs.readFileSync(sw, 'utf8').replace(/const CACHE = "([^"]*)"/, 'const CACHE = "$1-next"'));
    const dayAgo = new Date(Date.now() - 24 * 3600 * 1000);
    fs.utimesSync(index, dayAgo, dayAgo);
    fs.utimesSync(sw, dayAgo, dayAgo);
    const isNext = () => phone.page.evaluate(() => !!document.querySelector('meta[name=build]'));
    let reloads = 0;
    // The new worker has taken over once its cache is there and nothing is
    // still installing or waiting (a loaded machine may take seconds).
    const nextActive = () =>
      phone.page.evaluate(async () => {
        const r = await navigator.serviceWorker.getRegistration();
        const keys = await caches.keys();
        return !!r && !!r.active && !r.installing && !r.waiting && keys.some(k => k.endsWith('-next'));
      });
    while (!(await isNext()) && reloads < 2) {
      await phone.page.reload();
      reloads++;
      await phone.waitTitle(`after ${reloads} reloads: the title`);
      if (reloads === 1) await until(nextActive, { timeout: 10000 });
      await delay(200);
    }
    check(await isNext(), 'after two reloads the page is still the old build');
    t.note('deploy', [`the new build showed after ${reloads} reload${reloads === 1 ? '' : 's'}`]);
    await host.stop();
    await phone.page.reload();
    await phone.waitTitle('with the host stopped, a reload shows the title');
    check(await isNext(), 'offline, the page is the old build again');
    await phone.start();
  } finally {
    await host.stop();
    fs.rmSync(root, { recursive: true, force: true });
  }
}

// python3 -m http.server on a free port, serving `root`.
async function pythonServer(root) {
  const child = spawn('python3', ['-m', 'http.server', '0', '--bind', '127.0.0.1', '--directory', root], {
    stdio: ['ignore', 'pipe', 'pipe'],
  });
  let out = '';
  const port = await new Promise((resolve, reject) => {
    const timer = setTimeout(() => reject(new Error('python3 -m http.server did not start')), 5000);
    const look = d => {
      out += d;
      const m = /port (\d+)/.exec(out);
      if (m) {
        clearTimeout(timer);
        resolve(+m[1]);
      }
    };
    child.stdout.on('data', look);
    child.stderr.on('data', look);
    child.on('error', reject);
  });
  let stopped = false;
  return {
    url: `http://127.0.0.1:${port}/`,
    async stop() {
      if (stopped) return;
      stopped = true;
      await stopProcess(child);
    },
  };
}

const GROUPS = [
  ['screen share and centring', screenShare],
  ['40 ms taps act once', tapsActOnce],
  ['the small controls act once', smallControls],
  ['two fingers', twoFingers],
  ['turning the phone', turning],
  ['wake lock', wakeLock],
  ['page manners', manners],
  ['a new build reaches the player', deploy],
];

async function main() {
  const args = parseArgs(process.argv.slice(2), 'phone.js', [
    ['site', 'DIR', true],
    ['sim', 'VANTLE_SIM', true],
    ['out', 'DIR'],
    ['only', 'WORD'],
  ]);
  const site = requireSite(args.site);
  const chromium = chromiumOrSkip();
  const pptr = puppeteerOrSkip();
  const sim = new Sim(requireSim(args.sim));
  const pictures = new Pictures(args.out, 'vantle-phone-test');
  const notes = [];
  const t = { site, sim, pictures, server: null, browser: null, note: (what, lines) => notes.push([what, lines]) };
  let contexts = [],
    phones = [];
  t.newPhone = async () => {
    const context = await t.browser.createBrowserContext();
    contexts.push(context);
    const phone = new Phone(t, await context.newPage());
    phones.push(phone);
    return phone;
  };
  await runGroups(GROUPS, {
    state: t,
    only: args.only,
    limitMs: RUN_LIMIT_MS,
    notes,
    pictures,
    setUp: async () => {
      t.server = await startServer(site);
      t.browser = await pptr.launch({
        executablePath: chromium,
        headless: true,
        args: [...CHROMIUM_FLAGS, '--mute-audio'],
        protocolTimeout: 30000,
      });
    },
    begin: async () => {
      contexts = [];
      phones = [];
    },
    verify: async () => {
      for (const ph of phones) check(ph.errors.length === 0, `the page threw: ${ph.errors[0]}`);
    },
    after: async name => {
      for (const ph of phones) {
        try {
          console.log(`     screenshot: ${pictures.savePng(name, await ph.page.screenshot())}`);
        } catch (x) {
          /* closed */
        }
      }
    },
    end: async () => {
      for (const c of contexts) await c.close().catch(() => {});
    },
    abandon: async () => {
      const proc = t.browser && t.browser.process();
      if (proc) proc.kill('SIGKILL');
    },
    tearDown: async () => {
      if (t.browser) await t.browser.close();
      if (t.server) await t.server.stop();
      sim.dispose();
    },
  });
}

runMain(main);
