#!/usr/bin/env node
// SPDX-License-Identifier: GPL-3.0-or-later
'use strict';
// Replays in the browser, in the engine named (Chromium, Firefox, WebKit),
// on a phone's page: a replay watched from its link (#watch=CODE) shows the
// game's own picture, tick for tick as vantle-sim plays the same game, and
// is worked by keys, by the touch controls and by a game controller; a game
// from its link (#game=CODE) comes back paused; a game that ends offers to
// be watched again and shared, and a paused one to be played on another
// device, the link shared or copied.
//
//   node tests/web/replays.js --engine chromium|firefox|webkit --site build-web/site
//       --sim build/tools/sim/vantle-sim [--out DIR] [--only WORD]
//
// The replay watched is vantle-sim's: a game played by a script, its code
// written by the script's `replay` command, its pictures shot at the ticks
// the page is stepped to. Exit status as engines.js: 0 all passed, 1 a
// check failed, 2 bad arguments, 77 skipped.

const fs = require('fs');
const path = require('path');
const { startServer } = require('./server');
const { CheckFailed, check, delay, until, STAND_IN_PAD, runGroups, runMain } = require('./harness');
const { GAME_KEY, SAVED_GAME_BYTES, compareStretched, readBoard } = require('./sim');
const { PORTRAIT, LANDSCAPE, launch, GamePage, engineScript } = require('./drivers');

const RUN_LIMIT_MS = 170000;
const KEY_MS = 160; // a key or a controller's button held, as a player holds one

// The controller's buttons in the browser's standard layout.
const PAD = { a: 0, x: 2, y: 3, back: 8, start: 9, up: 12, down: 13, left: 14, right: 15 };

// What the page may use to share, set from the test: navigator.share absent
// ('none'), a stand-in that takes what it is given ('stub') or the
// engine's own ('own'); the clipboard the engine's own, each text written
// noted with how it went ('own'), or refusing ('refuse').
const SHARE_STAND_IN = `<script>
(function () {
  var s = window.__share = { share: 'none', clip: 'own', shared: [], wrote: [],
    hasOwnShare: typeof navigator.share === 'function' };
  var own = navigator.share;
  Object.defineProperty(Navigator.prototype, 'share', { configurable: true, get: function () {
    if (s.share === 'own') return own;
    if (s.share === 'stub') return function (data) { s.shared.push(data); return Promise.resolve(); };
    return undefined;
  } });
  if (window.Clipboard && Clipboard.prototype.writeText) {
    var write = Clipboard.prototype.writeText;
    Clipboard.prototype.writeText = function (text) {
      var note = { text: String(text), how: 'waiting' };
      s.wrote.push(note);
      if (s.clip === 'refuse') {
        note.how = 'refused';
        return Promise.reject(new DOMException('refused by the test', 'NotAllowedError'));
      }
      return write.call(this, text).then(function (v) { note.how = 'written'; return v; },
        function (e) { note.how = 'failed: ' + (e && e.name); throw e; });
    };
  }
})();
</script>`;

// A game controller the page reads through the Gamepad interface: its
// buttons are set from the test (window.__pad).
const PAD_STAND_IN = `<script>\n${STAND_IN_PAD}\n</script>`;

// The page as the tests look at it: the status line, the offers, the touch
// controls, the end text.
const READ_PAGE = () => {
  const box = e => {
    const r = e.getBoundingClientRect();
    return { x: r.left, y: r.top, w: r.width, h: r.height };
  };
  const seen = e => {
    if (!e || e.hidden) return false;
    const s = getComputedStyle(e),
      r = e.getBoundingClientRect();
    return s.display !== 'none' && s.visibility !== 'hidden' && r.width > 0 && r.height > 0;
  };
  const onTop = e => {
    const r = e.getBoundingClientRect();
    const hit = document.elementFromPoint(r.left + r.width / 2, r.top + r.height / 2);
    return !!hit && (hit === e || e.contains(hit));
  };
  const el = id => document.getElementById(id);
  const status = el('status');
  const button = id => {
    const b = el(id);
    return { shown: seen(b) && seen(el('offers')), onTop: seen(b) && onTop(b), ...box(b) };
  };
  const field = el('offer-link');
  const ended = el('ended');
  const words = document.createRange();
  words.selectNodeContents(ended);
  return {
    hash: location.hash,
    status: seen(status) ? status.textContent : null,
    canvas: seen(el('screen')) ? box(el('screen')) : null,
    offers: { shown: seen(el('offers')), ...box(el('offers')) },
    watchAgain: button('watch-again'),
    shareReplay: button('share-replay'),
    shareGame: button('share-game'),
    said: seen(el('offer-said')) ? el('offer-said').textContent : null,
    link: seen(field)
      ? {
          value: field.value,
          focused: document.activeElement === field,
          from: field.selectionStart,
          to: field.selectionEnd,
        }
      : null,
    ended: seen(ended)
      ? { words: (r => ({ x: r.left, y: r.top, w: r.width, h: r.height }))(words.getBoundingClientRect()) }
      : null,
    controls: [...document.querySelectorAll('.pad button')].map(b => ({
      key: +b.getAttribute('data-key'),
      label: b.getAttribute('aria-label'),
      text: b.textContent,
      shown: seen(b),
      ...box(b),
    })),
    replay: typeof window.Module === 'object' ? window.Module.vantleReplay || '' : '',
    game: typeof window.Module === 'object' ? window.Module.vantleGame || '' : '',
    share: window.__share
      ? { shared: window.__share.shared, wrote: window.__share.wrote, hasOwnShare: window.__share.hasOwnShare }
      : null,
  };
};

const overlap = (a, b) => a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
const fmtBox = b => `${b.w.toFixed(0)}x${b.h.toFixed(0)} at (${b.x.toFixed(0)}, ${b.y.toFixed(0)})`;

// ---- what vantle-sim makes ----

// The game the replay holds, as the keys pressed before each of its ticks:
// first a new look of the pair on each tick (left and turn by turns), so
// that every step of one tick shows; then pairs dropped part of the way
// into columns far apart; then pairs left to fall and stack, with no key
// pressed, until the game is over.
function replayScript() {
  const steps = [];
  let held = null;
  const tick = key => {
    const before = held !== null ? [`up ${held}`] : [];
    held = key === undefined ? null : key;
    if (held !== null) before.push(`down ${held}`);
    steps.push(before);
  };
  for (const k of [37, 13, 37, 13, 37, 13, 37]) tick(k);
  for (let i = 0; i < 30; i++) tick();
  for (const c of [6, 1, 5, 2]) {
    const d = c - (c === 6 ? 0 : 3);
    for (let i = 0; i < Math.abs(d); i++) {
      tick(d < 0 ? 37 : 39);
      tick();
    }
    tick(40);
    for (let i = 0; i < 8; i++) steps.push([]);
    tick();
    for (let i = 0; i < 40; i++) tick();
  }
  for (let i = 0; i < 2400; i++) tick();
  return steps;
}

// vantle-sim's replay and what the page must show of it: its code, the
// state after each of its ticks (0: its start), the tick the first new
// pair is dealt on, and pictures at ticks for each page shape.
class Replay {
  constructor(sim) {
    this.sim = sim;
    this.steps = replayScript();
    const file = path.join(sim.work, 'watched.replay');
    const lines = ['tick 2', 'down 13', 'tick', 'state', 'up 13'];
    this.steps.forEach((s, i) => lines.push(...s, 'tick', ...(i < 300 ? ['state'] : [])));
    lines.push('state', `replay ${file}`);
    const r = sim.run(lines);
    this.code = fs.readFileSync(file, 'utf8').trim();
    // The recording starts with the tick that started the game and ends
    // with it, once it is over and the title is back; no game follows.
    this.states = r.states.slice(0, -1);
    this.next = this.states.findIndex((s, i) => i > 0 && this.states[i - 1].mode === 2 && s.mode === 1);
    const end = sim.checkReplay(this.code);
    this.ticks = end.state ? end.state.tick : 0;
    if (
      r.states[0].mode !== 1 ||
      this.next < 0 ||
      end.status !== 0 ||
      end.state.mode !== 0 ||
      r.states[r.states.length - 1].mode !== 0
    )
      throw new Error("vantle-sim's game for the replay did not start, deal a second pair and end on the title");
    this.pictures = new Map();
  }

  // The pictures at `ticks` for a window of width x height.
  shots(width, height, ticks) {
    const key = `${width}x${height}`;
    if (!this.pictures.has(key)) {
      const want = new Set(ticks);
      const lines = ['tick 2', 'down 13', 'tick', 'shot @t0', 'up 13'];
      this.steps.forEach((s, i) => {
        if (i + 1 > Math.max(...want)) return;
        lines.push(...s, 'tick');
        if (want.has(i + 1)) lines.push(`shot @t${i + 1}`);
      });
      this.pictures.set(key, this.sim.run(lines, { width, height }).shots);
    }
    return this.pictures.get(key);
  }
}

// A saved game in play: column 3 filled from row 2 down so that the pair
// can fall no further (`lost`), or a plain one a few moves in.
function savedGames(sim) {
  const lost = sim.lostGame();
  const plain = sim.run([
    'tick 2',
    'down 13',
    'tick',
    'up 13',
    'tick 5',
    'down 37',
    'tick',
    'up 37',
    'tick 3',
    'down 13',
    'tick',
    'up 13',
    'tick 4',
    'suspend',
  ]).game;
  if (!lost || !plain) throw new Error('vantle-sim wrote no saved game');
  return { lost, plain };
}

// ---- one page ----

class Page extends GamePage {
  constructor(t, page, server) {
    super(t, page, server, { read: READ_PAGE, poll: 50 });
  }

  // Waits until `accept` takes what the page shows; gives it, or fails
  // saying `what` and what was seen last.
  async waitLook(what, accept, timeout = 4000) {
    let last = null;
    const ok = await until(
      async () => {
        try {
          last = await this.page.evaluate(READ_PAGE);
        } catch (e) {
          last = null;
        }
        return last && accept(last) ? last : null;
      },
      { timeout, interval: 50 },
    );
    if (ok) return ok;
    throw new CheckFailed(
      `${what}: not so within ${timeout} ms` +
        (last
          ? ` (the status line says ${JSON.stringify(last.status)}, ` +
            `offers ${last.offers.shown ? 'shown' : 'hidden'}, said ${JSON.stringify(last.said)}, page ${last.hash ? last.hash.slice(0, 16) + '…' : 'without a hash'})`
          : ''),
    );
  }

  waitStatus(what, re, timeout = 4000) {
    return this.waitLook(what, l => l.status !== null && re.test(l.status), timeout);
  }

  // Waits until the canvas no longer shows `before`.
  async waitChange(before, what, timeout = 4000) {
    const ok = await until(
      async () => {
        const c = await this.canvas();
        return c && compareStretched(c, before).count > 0;
      },
      { timeout, interval: 60 },
    );
    check(ok, `${what}: the picture stays as it was for ${timeout} ms`);
  }

  async keep(before, what, ms) {
    await delay(ms);
    const c = await this.canvas();
    check(c && compareStretched(c, before).count === 0, `${what}: the picture changed within ${ms} ms`);
  }

  press(name, what = `${name} held ${KEY_MS} ms`) {
    return this.act(what, () => this.page.press(name, KEY_MS));
  }

  // A tap on the middle of a box of the page (an offer, the end text).
  async tapBox(b, what) {
    check(b && b.w > 0, `${what}: there is nothing to tap`);
    await this.tapAt(b.x + b.w / 2, b.y + b.h / 2, what);
  }

  // A tap on the touch control that now sends `key`; its label must be
  // `label` (a pattern).
  async tapControl(key, label, what) {
    const l = await this.places(what);
    const b = l.controls.find(c => c.key === key && c.shown);
    check(b, `${what}: no touch control sends key ${key} (${l.controls.map(c => `${c.key} "${c.label}"`).join(', ')})`);
    check(!label || label.test(b.label), `${what}: the control that sends key ${key} is labelled "${b.label}"`);
    await this.tapAt(b.x + b.w / 2, b.y + b.h / 2, what);
  }

  // The stand-in controller's button held and let go.
  async padButton(n, what) {
    await this.act(what, async () => {
      await this.page.evaluate(i => {
        window.__pad.buttons[i].pressed = true;
        window.__pad.timestamp++;
      }, n);
      await delay(KEY_MS);
      await this.page.evaluate(i => {
        window.__pad.buttons[i].pressed = false;
        window.__pad.timestamp++;
      }, n);
    });
  }

  setShare(share, clip) {
    return this.act('the share stand-in', () =>
      this.page.evaluate(
        (a, b) => {
          window.__share.share = a;
          window.__share.clip = b;
          window.__share.shared.length = 0;
          window.__share.wrote.length = 0;
          return true;
        },
        share,
        clip,
      ),
    );
  }
}

// ---- the ways to work a replay ----

// Each way: what does each of the watch's actions, and what goes on once
// the game is the player's.
const WAYS = {
  key: {
    name: 'key',
    do: (p, action) =>
      p.press(
        {
          pause: 'Space',
          start: 'Home',
          back: 'ArrowLeft',
          forward: 'ArrowRight',
          slower: 'KeyS',
          faster: 'ArrowUp',
          next: 'ArrowDown',
          playOn: 'Enter',
          goOn: 'Space',
        }[action],
        `the key for "${action}" held ${KEY_MS} ms`,
      ),
  },
  touch: {
    name: 'touch control',
    do: (p, action) => {
      const [key, label] = {
        pause: [32, /^(Pause|Go on)/],
        start: [79, /^Back to the start/],
        back: [37, /^One tick back/],
        forward: [39, /^One tick forward/],
        slower: [83, /^Slower/],
        faster: [38, /^Faster/],
        next: [40, /^On to the next pair/],
        playOn: [13, /^Play on from here/],
        goOn: [32, /^Pause \(Space\)$/],
      }[action];
      return p.tapControl(key, label, `a tap on the touch control for "${action}"`);
    },
  },
  pad: {
    name: 'controller button',
    do: (p, action) =>
      p.padButton(
        {
          pause: PAD.start,
          start: PAD.y,
          back: PAD.left,
          forward: PAD.right,
          slower: PAD.x,
          faster: PAD.up,
          next: PAD.down,
          playOn: PAD.a,
          goOn: PAD.start,
        }[action],
        `the controller's button for "${action}"`,
      ),
  },
};

// The touch controls while watching, by the key each sends.
const WATCH_LABELS = {
  32: /^(Pause|Go on) \(Space\)$/,
  83: /^Slower/,
  37: /^One tick back/,
  39: /^One tick forward/,
  79: /^Back to the start/,
  38: /^Faster/,
  13: /^Play on from here/,
  40: /^On to the next pair/,
};

// A replay from its link, worked one way: back to the start, a tick
// forward and back, on to the next pair, faster and slower, paused and
// going on, each showing vantle-sim's picture of the same tick where it
// stops; then played on from the next pair, the game the player's own,
// paused, kept, offered to another device; and going on.
async function watchBy(t, wayName, view) {
  const way = WAYS[wayName];
  const R = t.replay;
  const p = await t.open(view, `index.html${wayName === 'pad' ? '?pad' : ''}#watch=${R.code}`, {
    pad: wayName === 'pad',
  });
  const [w, h] = p.size;
  const shot = R.shots(w, h, [0, 1, 2, 3, R.next]);
  const act = (action, what) => p.act(what || action, () => way.do(p, action));

  const first = await p.waitStatus('the link #watch=CODE: the status line says it is watching', /^watching x1 /, 12000);
  check(!first.offers.shown, 'while a replay plays, the page offers something over it');
  const controls = first.controls.filter(c => c.shown);
  check(controls.length === 8, `watching, ${controls.length} touch controls show, not 8`);
  for (const c of controls) {
    const want = WATCH_LABELS[c.key];
    check(
      want && want.test(c.label),
      `watching, a touch control sends key ${c.key} labelled "${c.label}": not one of the watch's`,
    );
  }
  check(
    !controls.some(c => c.key === 27),
    "watching, a touch control still quits: quitting is the close box's in the picture",
  );
  await p.waitChange(shot.t0, 'the replay plays from its start', 4000);

  await act('start', `${way.name}: back to the start`);
  await p.waitPicture(shot.t0, `${way.name}: back to the start shows vantle-sim's picture of the replay's first tick`);
  await p.waitStatus(
    `${way.name}: back to the start: the status line says it is paused at 0:00`,
    /^paused x1 +0:00 \//,
  );
  await act('forward', `${way.name}: one tick forward`);
  await p.waitPicture(shot.t1, `${way.name}: one tick forward shows vantle-sim's picture of tick 1`);
  await act('forward', `${way.name}: one tick forward again`);
  await p.waitPicture(shot.t2, `${way.name}: one tick forward again shows tick 2`);
  await act('forward', `${way.name}: a third tick forward`);
  await p.waitPicture(shot.t3, `${way.name}: a third tick forward shows tick 3`);
  await act('back', `${way.name}: one tick back`);
  await p.waitPicture(shot.t2, `${way.name}: one tick back from tick 3 shows tick 2`);
  await act('next', `${way.name}: on to the next pair`);
  await p.waitPicture(
    shot[`t${R.next}`],
    `${way.name}: on to the next pair shows tick ${R.next}, where the next pair is dealt`,
  );

  await act('faster', `${way.name}: faster`);
  await p.waitStatus(`${way.name}: faster: the status line says x2`, /^paused x2 /);
  await act('slower', `${way.name}: slower`);
  await p.waitStatus(`${way.name}: slower: the status line says x1`, /^paused x1 /);

  await act('pause', `${way.name}: go on`);
  await p.waitStatus(`${way.name}: go on: the status line says it is watching`, /^watching x1 /);
  await p.waitChange(shot[`t${R.next}`], `${way.name}: go on: the replay plays on`, 5000);
  await act('pause', `${way.name}: pause`);
  await p.waitStatus(`${way.name}: pause: the status line says it is paused`, /^paused x1 /);
  await delay(200);
  const paused = await p.canvas();
  await p.keep(paused, `${way.name}: paused, the replay stands still`, 1600);
  if (wayName === 'touch') {
    const l = await p.places();
    const b = l.controls.find(c => c.key === 32);
    check(/^Go on/.test(b.label), `paused, the pause control is labelled "${b.label}", not as going on`);
  }

  if (wayName === 'key') {
    // At x8 the whole replay plays in an eighth of its time.
    await act('start');
    await p.waitStatus('back to the start', /^paused x1 +0:00 \//);
    for (const n of [2, 4, 8]) {
      await act('faster');
      await p.waitStatus(`faster again: x${n}`, new RegExp(`^paused x${n} `));
    }
    const length = (R.ticks * 70) / 1000;
    const t0 = Date.now();
    await act('pause', 'Space at x8');
    await p.waitStatus(
      `at x8 the replay of ${length.toFixed(0)} s reaches its end within 20 s (at x2 it would take ${(length / 2).toFixed(0)} s)`,
      /^the end x8 /,
      20000,
    );
    t.note(
      `at x8 the replay of ${length.toFixed(1)} s played to its end in ${((Date.now() - t0) / 1000).toFixed(1)} s`,
    );
    for (const n of [4, 2, 1]) {
      await act('slower');
      await p.waitStatus(`slower: x${n}`, new RegExp(`^the end x${n} `));
    }
  }

  await act('start', `${way.name}: back to the start once more`);
  await p.waitPicture(shot.t0, `${way.name}: back to the start once more shows tick 0`);
  await act('next', `${way.name}: on to the next pair once more`);
  await p.waitPicture(shot[`t${R.next}`], `${way.name}: on to the next pair once more shows tick ${R.next}`);

  // Played on: the game is the player's, paused as a kept game comes back.
  await act('playOn', `${way.name}: play on from here`);
  const own = await p.waitLook(`${way.name}: play on from here: the status line goes`, l => l.status === null);
  check(
    !/^#watch=/.test(own.hash),
    "played on, the page's address still holds the replay: a reload would watch it again instead of the game",
  );
  const kept = await p.act('the game kept', async () => {
    let found = null;
    await until(
      async () => {
        const hex = await p.stored(GAME_KEY);
        if (!hex || hex.length !== 2 * SAVED_GAME_BYTES) return false;
        found = t.sim.savedGame(hex, { width: w, height: h });
        return true;
      },
      { timeout: 3000 },
    );
    return found;
  });
  check(kept, `${way.name}: played on, no game is kept in storage`);
  const was = R.states[R.next];
  check(
    kept.state.mode === 1 && kept.state.fallStep === 0,
    `${way.name}: played on, the game kept is not paused in play (mode ${kept.state.mode}, fall step ${kept.state.fallStep})`,
  );
  check(
    JSON.stringify(kept.state.board) === JSON.stringify(was.board) &&
      JSON.stringify(kept.state.pair) === JSON.stringify(was.pair) &&
      kept.state.score === was.score,
    `${way.name}: played on at tick ${R.next}, the game kept is not the replay's game there: ` +
      `pair ${kept.state.pair} score ${kept.state.score}, not pair ${was.pair} score ${was.score}`,
  );
  await p.waitPicture(
    kept.picture,
    `${way.name}: played on, the picture is the game kept, paused (vantle-sim's picture of it)`,
  );
  const offered = await p.waitLook(
    `${way.name}: played on and paused, the page offers "Play on another device"`,
    l => l.shareGame.shown && !l.watchAgain.shown,
  );
  check(offered.shareGame.onTop, 'the offer "Play on another device" is covered');
  check(
    !overlap(offered.offers, offered.canvas),
    `paused, the offer (${fmtBox(offered.offers)}) covers the game's picture (${fmtBox(offered.canvas)})`,
  );
  const back = offered.controls.filter(c => c.shown);
  check(
    back.some(c => c.key === 27 && /^Quit/.test(c.label)) && !back.some(c => c.key === 38),
    `played on, the touch controls still work a replay: ${back.map(c => `${c.key} "${c.label}"`).join(', ')}`,
  );
  for (const c of back) {
    const was2 = controls.find(x => x.x === c.x && x.y === c.y);
    check(
      was2 && Math.abs(was2.w - c.w) < 0.5 && Math.abs(was2.h - c.h) < 0.5,
      `the touch control "${c.label}" is ${fmtBox(c)} in play, but ${was2 ? fmtBox(was2) : 'elsewhere'} while watching`,
    );
  }
  await act('goOn', `${way.name}: go on with the game`);
  await p.waitChange(kept.picture, `${way.name}: the game goes on`, 4000);
  await p.waitLook(`${way.name}: the game goes on: the offer goes`, l => !l.offers.shown);
}

// A game from its link (#game=CODE) comes back paused, the link taken from
// the page's address; the page offers to play it on another device (the
// link copied, its code the game's), and Space goes on.
async function gameFromLink(t) {
  const hex = t.games.plain;
  const code = Buffer.from(hex, 'hex').toString('base64url');
  const p = await t.open(PORTRAIT, `index.html#game=${code}`);
  const [w, h] = p.size;
  const back = t.sim.savedGame(hex, { width: w, height: h });
  await p.waitPicture(back.picture, "the link #game=CODE: the game comes back paused (vantle-sim's picture of it)", {
    timeout: 12000,
  });
  const l = await p.waitLook(
    'a game brought by a link, paused: the page offers "Play on another device"',
    x => x.shareGame.shown,
  );
  check(l.hash === '', `the game taken, the page's address still holds its link (${l.hash.slice(0, 20)}…)`);
  check(
    l.canvas && !overlap(l.offers, l.canvas),
    `the offer (${fmtBox(l.offers)}) covers the picture (${fmtBox(l.canvas)}) though the page has room beside it`,
  );
  check(
    l.shareGame.onTop && l.shareGame.w >= 44 && l.shareGame.h >= 44,
    `"Play on another device" is ${fmtBox(l.shareGame)}, covered or too small for a finger`,
  );
  await delay(1800);
  await p.waitPicture(back.picture, 'the game from the link stays paused', { timeout: 500 });

  await p.setShare('none', 'own');
  await p.tapBox(l.shareGame, 'a tap on "Play on another device"');
  const shared = await copied(t, p, 'game', '"Play on another device"');
  const again = t.sim.savedGame(Buffer.from(shared, 'base64url').toString('hex'), { width: w, height: h });
  check(
    JSON.stringify(again.state.board) === JSON.stringify(back.state.board) &&
      JSON.stringify(again.state.pair) === JSON.stringify(back.state.pair),
    'the link "Play on another device" gives holds another game than the one paused',
  );

  await p.press('Space');
  await p.waitChange(back.picture, 'Space goes on with the game from the link', 4000);
  await p.waitLook('play goes on: the offer "Play on another device" goes', x => !x.offers.shown);
}

// After a Share with navigator.share absent: the link is copied (the page
// says so) or, where the engine's clipboard refuses, shown selected; either
// way `…/index.html#KIND=CODE` with CODE the page's own. Gives CODE.
async function copied(t, p, kind, what) {
  let l = await p.waitLook(`${what}: the link is copied, or shown to copy`, x => x.said === 'Link copied' || x.link);
  const wrote = l.share.wrote;
  const want = new RegExp(`^${p.server.origin.replace(/[.]/g, '\\.')}/index\\.html#${kind}=([A-Za-z0-9_-]+)$`);
  const code = kind === 'game' ? l.game : l.replay;
  if (l.said === 'Link copied') {
    check(
      wrote.length === 1 && wrote[0].how === 'written',
      `${what}: the page says "Link copied", but the clipboard was ${JSON.stringify(wrote)}`,
    );
    const m = want.exec(wrote[0].text);
    check(
      m && m[1] === code,
      `${what}: the link copied is ${wrote[0].text.slice(0, 80)}…, not …#${kind}= and the page's code`,
    );
    t.note(`${what}: the link was copied to the clipboard (${wrote[0].text.length} characters)`);
    if (t.engine === 'chromium') {
      const real = await p.act('the clipboard read back', () => p.page.evaluate(() => navigator.clipboard.readText()));
      check(real === wrote[0].text, `${what}: the clipboard holds ${String(real).slice(0, 60)}…, not the link copied`);
    }
    return m[1];
  }
  const m = want.exec(l.link.value);
  check(
    m && m[1] === code,
    `${what}: the link shown is ${l.link.value.slice(0, 80)}…, not …#${kind}= and the page's code`,
  );
  check(
    l.link.focused && l.link.from === 0 && l.link.to === l.link.value.length,
    `${what}: the link shown is not selected for copying`,
  );
  t.note(
    `${what}: this engine's clipboard refused the link (${JSON.stringify(wrote.map(x => x.how))}): it was shown, selected`,
  );
  return m[1];
}

// A game that ends offers its replay, beside the picture: Share gives the
// system's sharing the link where there is one, else copies it, else shows
// it selected; the code is the game's (vantle-sim plays it to where the
// game ended). A new game takes the offer away.
async function gameOverOffers(t) {
  const p = await t.open(PORTRAIT, 'blank.html');
  await p.act('the saved game put in storage', () =>
    p.page.evaluate(
      (k, v) => {
        localStorage.setItem(k, v);
      },
      GAME_KEY,
      t.games.lost,
    ),
  );
  await p.open('index.html');
  const [w, h] = p.size;
  const back = t.sim.savedGame(t.games.lost, { width: w, height: h });
  await p.waitPicture(back.picture, 'the saved game, nearly lost, comes back paused', { timeout: 12000 });
  let l = await p.waitLook(
    'the kept game, paused: only "Play on another device" is offered',
    x => x.shareGame.shown && !x.watchAgain.shown,
  );
  check(!l.replay, 'a game in progress, yet the page holds a replay to offer');
  await p.press('Space', 'Space held 150 ms: the pair locks, the game is over');
  l = await p.waitLook(
    'the game over, on the title: "Watch again" and "Share" are offered',
    x => x.watchAgain.shown && x.shareReplay.shown && !x.shareGame.shown,
    12000,
  );
  await p.waitPicture(p.refs.title, 'the game over, the title shows', { timeout: 3000 });
  for (const b of ['watchAgain', 'shareReplay']) {
    check(
      l[b].onTop && l[b].w >= 44 && l[b].h >= 44,
      `the offer ${b} is ${fmtBox(l[b])}, covered or too small for a finger`,
    );
  }
  check(
    !overlap(l.offers, l.canvas),
    `the offers (${fmtBox(l.offers)}) cover the picture (${fmtBox(l.canvas)}) though the page has room beside it`,
  );
  check(l.replay.length > 20 && l.replay.length < 4000, `the replay's code is ${l.replay.length} characters`);
  const checked = t.sim.checkReplay(l.replay);
  check(checked.status === 0, `vantle-sim --replay on the code offered: exit ${checked.status} (${checked.said})`);

  // The system's own sharing, where there is one (a stand-in here).
  const replayCode = l.replay;
  await p.setShare('stub', 'own');
  await p.tapBox(l.shareReplay, 'a tap on Share (the system shares)');
  l = await p.waitLook("a tap on Share hands the link to the system's sharing", x => x.share.shared.length > 0);
  const url = `${p.server.origin}/index.html#watch=${replayCode}`;
  check(
    l.share.shared.length === 1 && l.share.shared[0].url === url,
    `Share gave the system's sharing ${JSON.stringify(l.share.shared).slice(0, 120)}, not { url: …#watch=CODE }`,
  );
  check(l.share.wrote.length === 0 && !l.said && !l.link, 'shared by the system, the link was copied or shown as well');
  t.note(
    `navigator.share: ${l.share.hasOwnShare ? 'this engine has its own (a stand-in took its place)' : 'this engine has none'}`,
  );
  // None: copied.
  await p.setShare('none', 'own');
  await p.tapBox(l.shareReplay, 'a tap on Share (no system sharing)');
  check(
    (await copied(t, p, 'watch', "Share without the system's sharing")) === replayCode,
    "the link copied is not the offer's",
  );
  // None, and the clipboard refuses: shown, selected.
  await p.setShare('none', 'refuse');
  await p.tapBox(l.shareReplay, 'a tap on Share (no system sharing, the clipboard refusing)');
  l = await p.waitLook('Share with the clipboard refusing: the link is shown', x => !!x.link);
  check(l.link.value === url, `the link shown is ${l.link.value.slice(0, 80)}…, not the replay's`);
  check(l.link.focused && l.link.from === 0 && l.link.to === url.length, 'the link shown is not selected for copying');
  await p.setShare('none', 'own');

  // A new game: the offers go.
  const [x, y] = await p.css(p.refs.lw >> 1, p.refs.lh >> 1);
  await p.tapAt(x, y, 'a tap on the title');
  await p.waitLook('a new game started: the offers go', v => !v.offers.shown && !v.replay);
  await p.waitPicture(p.refs.play, "the new game's picture", { skip: p.refs.changing, timeout: 3000 });
}

// The quit page offers the game just quit: Watch again plays it (to the
// end vantle-sim plays the same code to); the close box in the picture
// stops watching, and the page offers that replay again.
async function quitOffers(t) {
  const p = await t.open(LANDSCAPE, 'index.html');
  await p.waitPicture(p.refs.title, 'the title', { timeout: 12000 });
  const [x, y] = await p.css(p.refs.lw >> 1, p.refs.lh >> 1);
  await p.tapAt(x, y, 'a tap on the title');
  // The game as it starts (its pair falls a row in 1.5 s).
  const started = await p.waitPicture(p.refs.play, 'a tap on the title starts a game', {
    skip: p.refs.changing,
    timeout: 4000,
  });
  await p.tapControl(37, /^Left/, 'a tap on ◀');
  await delay(700);
  await p.tapControl(27, /^Quit/, 'a tap on ✕');
  let l = await p.waitLook(
    'quit: the page says the game has ended and offers "Watch again" and "Share"',
    v => v.ended && v.watchAgain.shown && v.shareReplay.shown,
    4000,
  );
  check(!overlap(l.offers, l.ended.words), 'the offers cover the words "vantle has ended"');
  check(l.watchAgain.onTop && l.shareReplay.onTop, 'the offers on the quit page are covered');
  const code = l.replay;
  const checked = t.sim.checkReplay(code);
  check(
    checked.status === 0 && checked.state,
    `vantle-sim --replay on the quit game's code: exit ${checked.status} (${checked.said})`,
  );

  await p.tapBox(l.watchAgain, 'a tap on "Watch again"');
  // A game of a few seconds: by the first look it may have played to its end.
  l = await p.waitStatus('"Watch again": the game quit is watched', /^(watching|the end) x1 /, 12000);
  check(l.hash === `#watch=${code}`, `"Watch again" went to ${l.hash.slice(0, 30)}…, not #watch= and the game's code`);
  for (let i = 0; i < 3; i++) await p.press('ArrowUp');
  await p.waitStatus('Up three times: the replay at x8 reaches its end', /^the end x8 /, 8000);
  const end = await p.canvas();
  const board = readBoard(end, p.refs);
  // vantle-sim's well, with the falling pair in it.
  const s = checked.state;
  const want = s.board.map((row, r) =>
    [...row]
      .map((v, c) =>
        c === s.pair[0] && r === s.pair[1]
          ? String(s.pair[2])
          : c === s.pair[0] && r === s.pair[1] + 1
            ? String(s.pair[3])
            : v,
      )
      .join(''),
  );
  check(
    s.mode === 1 && JSON.stringify(board) === JSON.stringify(want),
    `at the end of the replay the well is ${board.join('/')}, where vantle-sim's replay of the code ends in mode ${s.mode} with ${want.join('/')}. ` +
      `Canvas: ${t.pictures.save('canvas', end)}`,
  );

  // Back to the start and a tick on: the picture of the game as it started.
  await p.press('Home');
  await p.waitStatus('Home: back to the start', /^paused x8 +0:00 \//);
  await p.press('ArrowRight');
  await p.waitPicture(started, 'Home, then a tick on: the replay shows the picture the game started with');

  // The close box in the picture stops watching.
  const r = p.refs;
  const [cx, cy] = await p.css(r.layout.areaX + 240 - 8, 8);
  await p.tapAt(cx, cy, 'a tap on the close box in the picture');
  l = await p.waitLook(
    'the close box stops watching: the page says so and offers the replay again',
    v => v.ended && v.watchAgain.shown && v.status === null,
    4000,
  );
  await p.tapBox(l.watchAgain, 'a tap on "Watch again" once watching has ended');
  await p.waitStatus(
    '"Watch again" once watching has ended: the replay is watched again',
    /^(watching|the end) x1 /,
    12000,
  );
}

const GROUPS = [
  ['watching by key', t => watchBy(t, 'key', LANDSCAPE)],
  ['watching by touch', t => watchBy(t, 'touch', PORTRAIT)],
  ['watching by controller', t => watchBy(t, 'pad', PORTRAIT)],
  ['a game from its link', gameFromLink],
  ['a game over offers its replay', gameOverOffers],
  ['the quit page offers the game quit', quitOffers],
];

async function main() {
  const { args, engine, site, sim, pictures, open } = engineScript('replays');
  const t = { engine, sim, pictures, driver: null, note: line => open.note(line) };
  t.open = async (view, name, { pad = false } = {}) => {
    const inject = (t.driver.serverOptions.inject || '') + SHARE_STAND_IN + (pad ? PAD_STAND_IN : '');
    const server = await startServer(site, { inject, pages: { '/blank.html': '<!doctype html><title>blank</title>' } });
    const page = await t.driver.newPage({ ...view, touch: true });
    open.add(page, server);
    if (engine === 'chromium') {
      await page.context.overridePermissions(server.origin, [
        'clipboard-read',
        'clipboard-write',
        'clipboard-sanitized-write',
      ]);
    }
    const p = new Page(t, page, server);
    await p.open(name);
    return p;
  };

  await runGroups(GROUPS, {
    state: t,
    only: args.only,
    limitMs: RUN_LIMIT_MS,
    pictures,
    setUp: async () => {
      const t0 = Date.now();
      t.replay = new Replay(sim);
      t.games = savedGames(sim);
      console.log(
        `vantle-sim's replay: ${t.replay.code.length} characters, ${t.replay.ticks} ticks, ` +
          `the second pair dealt on tick ${t.replay.next} (made in ${((Date.now() - t0) / 1000).toFixed(1)} s)`,
      );
      const t1 = Date.now();
      t.driver = await launch(engine, {});
      console.log(`${engine}: ${t.driver.version}, started in ${((Date.now() - t1) / 1000).toFixed(1)} s`);
      console.log(t.driver.touch);
      console.log(
        'the game controller: a stand-in put in the page before its scripts (navigator.getGamepads gives it), ' +
          'its buttons set from the test in the standard layout',
      );
    },
    ...open.hooks,
    abandon: async () => {
      if (t.driver) await t.driver.kill();
    },
    tearDown: async () => {
      if (t.driver) await t.driver.close();
      sim.dispose();
    },
  });
}

runMain(main);
