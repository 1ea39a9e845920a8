// SPDX-License-Identifier: GPL-3.0-or-later
'use strict';
// The pictures the browser must show, made by vantle-sim: the same game code
// laid out for the same window size. Also the picture arithmetic the tests
// use: the canvas shows the logical picture stretched, canvas pixel (x, y)
// showing logical pixel (floor(x * LW / W), floor(y * LH / H)).

const { spawnSync } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const { decodePng } = require('./png');

const SETTINGS_KEY = 'vantle:vantle.dat';
// The game in progress, kept beside the settings: 338 bytes.
const GAME_KEY = 'vantle:vantle.sav';
const SAVED_GAME_BYTES = 338;
const DEFAULT_SETTINGS = { sound: 1, high: 0, repeat: [0, 0, 1, 0], hidden: 1 };
// What the page says once the game has ended.
const ENDED_TEXT = 'vantle has ended. Tap to play again.';

// The 36-byte settings file: nine little-endian int32.
function settingsBytes(s) {
  const v = [86, 65, s.sound, s.high, ...s.repeat, s.hidden];
  const b = Buffer.alloc(36);
  v.forEach((x, i) => b.writeInt32LE(x, i * 4));
  return b;
}

function settingsFromBytes(b) {
  const v = [];
  for (let i = 0; i < 9; i++) v.push(b.readInt32LE(i * 4));
  return { magic: [v[0], v[1]], sound: v[2], high: v[3], repeat: v.slice(4, 8), hidden: v[8] };
}

class Sim {
  constructor(simPath) {
    this.path = simPath;
    this.work = fs.mkdtempSync(path.join(os.tmpdir(), 'vantle-web-sim-'));
    this.runs = 0;
    this.cache = new Map();
    this.lost = null;
  }

  dispose() {
    fs.rmSync(this.work, { recursive: true, force: true });
  }

  // Runs `lines` (`shot @name` writes picture `name`) in a window of
  // `width` x `height`, with the settings given (or their bytes in
  // hexadecimal, `settingsHex`) and a saved game (`gameHex`) to start
  // with; returns the pictures, the `state` lines and the saved game the
  // run left, in hexadecimal (null for none).
  run(lines, { width = 320, height = 240, settings = DEFAULT_SETTINGS, settingsHex = null, gameHex = null } = {}) {
    const dir = path.join(this.work, String(this.runs++));
    fs.mkdirSync(dir);
    const settingsFile = path.join(dir, 'vantle.dat');
    const gameFile = path.join(dir, 'vantle.sav');
    fs.writeFileSync(settingsFile, settingsHex ? Buffer.from(settingsHex, 'hex') : settingsBytes(settings));
    if (gameHex) fs.writeFileSync(gameFile, Buffer.from(gameHex, 'hex'));
    const names = [];
    const script =
      lines
        .map(l => {
          const m = /^shot @(\S+)$/.exec(l);
          if (!m) return l;
          names.push(m[1]);
          return `shot ${path.join(dir, m[1] + '.png')}`;
        })
        .join('\n') + '\n';
    const r = spawnSync(this.path, ['--window', `${width}x${height}`, '--settings', settingsFile], {
      input: script,
      encoding: 'utf8',
      maxBuffer: 256 * 1024 * 1024,
    });
    if (r.error) throw new Error(`could not run ${this.path}: ${r.error.message}`);
    if (r.status !== 0) throw new Error(`vantle-sim exited ${r.status}: ${r.stderr.trim()}\nscript:\n${script}`);
    const shots = {};
    for (const n of names) shots[n] = decodePng(fs.readFileSync(path.join(dir, n + '.png')));
    const states = r.stdout
      .split('\n')
      .filter(l => l.startsWith('{'))
      .map(l => JSON.parse(l));
    const game = fs.existsSync(gameFile) ? fs.readFileSync(gameFile).toString('hex') : null;
    return { shots, states, game };
  }

  // What the game makes of a saved game (its bytes in hexadecimal) in a
  // window of width x height: the picture it shows at start and its state.
  savedGame(gameHex, { width = 320, height = 240, settingsHex = null } = {}) {
    const r = this.run(['shot @start', 'state'], { width, height, settingsHex, gameHex });
    return { picture: r.shots.start, state: r.states[0] };
  }

  // A saved game in play, paused, with column 3 filled from row 2 down with
  // up and right arrows by turns, so that nothing matches: the pair can
  // fall no further, and Space loses the game. Its bytes in hexadecimal.
  lostGame() {
    if (!this.lost) {
      const cells = [];
      for (let r = 2; r <= 12; r++) cells.push(`cell 3 ${r} ${r % 2 ? 2 : 1}`);
      this.lost = this.run(['tick 2', 'down 13', 'tick', 'up 13', 'tick', ...cells, 'suspend']).game;
      if (!this.lost) throw new Error('vantle-sim wrote no saved game');
    }
    return this.lost;
  }

  // vantle-sim's check of a replay's code: exit 0 when it plays to where
  // it says it ends; its last state.
  checkReplay(code) {
    const file = path.join(this.work, `checked-${this.runs++}.replay`);
    fs.writeFileSync(file, code + '\n');
    const r = spawnSync(this.path, ['--replay', file], { encoding: 'utf8' });
    const line = r.stdout.split('\n').find(l => l.startsWith('{'));
    return { status: r.status, said: r.stderr.trim(), state: line ? JSON.parse(line) : null };
  }

  // Everything the tests compare against, for a canvas of width x height.
  references(width, height, settings = DEFAULT_SETTINGS) {
    const key = `${width}x${height}/${settingsBytes(settings).toString('hex')}`;
    if (!this.cache.has(key)) this.cache.set(key, this.makeReferences(width, height, settings));
    return this.cache.get(key);
  }

  makeReferences(width, height, settings) {
    const opt = { width, height, settings };
    const title = this.run(['tick 1', 'shot @title', 'state'], opt);
    const layout = title.states[0].layout;
    const { logicalWidth: lw, logicalHeight: lh } = layout;
    const mid = [Math.floor(width / 2), Math.floor(height / 2)];
    const soundKey = this.run(['tick 1', 'down 83', 'tick', 'up 83', 'tick', 'shot @title'], opt);
    // A game started by a tap in the middle, a few ticks on; then the pair
    // moved a column left, which uncovers the cells it stood on.
    const start = ['tick 2', `pen ${mid[0]} ${mid[1]}`, 'tick', 'penup', 'tick 3'];
    const play = this.run(
      [...start, 'shot @play', 'state', 'down 37', 'tick', 'shot @lit', 'up 37', 'tick', 'shot @left', 'state'],
      opt,
    );
    const [atStart, afterLeft] = play.states;
    if (atStart.mode !== 1 || afterLeft.pair[0] !== atStart.pair[0] - 1)
      throw new Error(`vantle-sim did not start a game and move its pair (${JSON.stringify(afterLeft.pair)})`);
    const well = cellGeometry(layout);
    const empty = copyPicture(play.shots.play);
    for (const r of [atStart.pair[1], atStart.pair[1] + 1])
      copyRect(play.shots.left, empty, well.cellRect(atStart.pair[0], r));
    // Each arrow in every cell, to tell the arrows apart wherever they are.
    const arrows = [null];
    for (let a = 1; a <= 4; a++) {
      const fill = [];
      for (let r = 0; r < 13; r++) for (let c = 0; c < 7; c++) fill.push(`cell ${c} ${r} ${a}`);
      arrows.push(this.run([...start, ...fill, 'shot @filled'], opt).shots.filled);
    }
    // What changes with the next pair's arrows: the rest of the play screen
    // must match the sim's exactly once a game has started.
    const nexts = this.run(
      [
        ...start,
        'shot @n0',
        'next 1 1',
        'shot @n1',
        'next 2 2',
        'shot @n2',
        'next 3 3',
        'shot @n3',
        'next 4 4',
        'shot @n4',
      ],
      opt,
    ).shots;
    const changing = new Uint8Array(lw * lh);
    for (const n of ['n1', 'n2', 'n3', 'n4'])
      for (const m of ['n0', 'n1', 'n2', 'n3', 'n4']) markDifferences(nexts[n], nexts[m], changing);
    const wr = well.rect;
    for (let y = wr.y; y < wr.y + wr.h; y++) for (let x = wr.x; x < wr.x + wr.w; x++) changing[y * lw + x] = 1;
    // The on-screen Left button: what lights up when Left is pressed, outside
    // the well; a pen on its middle must move the pair in the sim too.
    const lit = new Uint8Array(lw * lh);
    markDifferences(play.shots.play, play.shots.lit, lit);
    for (let y = wr.y; y < wr.y + wr.h; y++) for (let x = wr.x; x < wr.x + wr.w; x++) lit[y * lw + x] = 0;
    const leftButton = boundingBox(lit, lw, lh);
    if (!leftButton) throw new Error('vantle-sim shows no Left button lighting up');
    const leftMiddle = [leftButton.x + (leftButton.w >> 1), leftButton.y + (leftButton.h >> 1)];
    const penned = this.run(
      [
        ...start,
        'state',
        `pen ${Math.floor(((leftMiddle[0] + 0.5) * width) / lw)} ${Math.floor(((leftMiddle[1] + 0.5) * height) / lh)}`,
        'tick',
        'penup',
        'tick',
        'state',
      ],
      opt,
    ).states;
    if (penned[1].pair[0] !== penned[0].pair[0] - 1)
      throw new Error(`a pen on the middle of the Left button (${leftMiddle}) does not move the pair in vantle-sim`);
    return {
      width,
      height,
      layout,
      lw,
      lh,
      well,
      settings,
      title: title.shots.title,
      titleSoundToggled: soundKey.shots.title,
      play: play.shots.play,
      playState: atStart,
      empty,
      arrows,
      changing,
      leftButton,
      leftMiddle,
    };
  }
}

function cellGeometry(layout) {
  const cs = layout.cellSize,
    x0 = layout.areaX + 4,
    y0 = 4;
  return {
    size: cs,
    rect: { x: x0, y: y0, w: 7 * cs, h: 13 * cs },
    cellRect: (c, r) => ({ x: x0 + cs * c, y: y0 + cs * r, w: cs, h: cs }),
  };
}

// The canvas pixels, of a canvas width x height, that show the well.
function wellRegion(refs, width, height) {
  const r = refs.well.rect;
  const x = Math.floor((r.x * width) / refs.lw),
    y = Math.floor((r.y * height) / refs.lh);
  return {
    x,
    y,
    w: Math.ceil(((r.x + r.w) * width) / refs.lw) - x,
    h: Math.ceil(((r.y + r.h) * height) / refs.lh) - y,
  };
}

// Where the picture is on a page of width x height CSS pixels at `dpr`, in
// device pixels: its shape (pw x ph: 240 x 320 when the page is taller than
// wide, a square too, else 320 x 240), as large as fits on whole device
// pixels, centred.
function fitPicture(width, height, dpr = 1) {
  const portrait = height >= width;
  const pw = portrait ? 240 : 320,
    ph = portrait ? 320 : 240;
  const dw = Math.floor(width * dpr),
    dh = Math.floor(height * dpr);
  let w = dw,
    h = Math.floor((dw * ph) / pw);
  if (h > dh) {
    h = dh;
    w = Math.floor((dh * pw) / ph);
  }
  return { x: Math.round((dw - w) / 2), y: Math.round((dh - h) / 2), w, h, pw, ph };
}

function copyPicture(img) {
  return { width: img.width, height: img.height, data: Buffer.from(img.data) };
}

function copyRect(from, to, r) {
  for (let y = r.y; y < r.y + r.h; y++) {
    const o = (y * from.width + r.x) * 4;
    from.data.copy(to.data, o, o, o + r.w * 4);
  }
}

function markDifferences(a, b, mask) {
  for (let i = 0, n = a.width * a.height; i < n; i++)
    if (
      a.data[i * 4] !== b.data[i * 4] ||
      a.data[i * 4 + 1] !== b.data[i * 4 + 1] ||
      a.data[i * 4 + 2] !== b.data[i * 4 + 2]
    )
      mask[i] = 1;
}

function boundingBox(mask, w, h) {
  let x0 = w,
    y0 = h,
    x1 = -1,
    y1 = -1;
  for (let y = 0; y < h; y++)
    for (let x = 0; x < w; x++)
      if (mask[y * w + x]) {
        if (x < x0) x0 = x;
        if (x > x1) x1 = x;
        if (y < y0) y0 = y;
        if (y > y1) y1 = y;
      }
  return x1 < 0 ? null : { x: x0, y: y0, w: x1 - x0 + 1, h: y1 - y0 + 1 };
}

// The first canvas pixel showing logical column (or row) l.
function firstShowing(l, logical, canvas) {
  return Math.floor((l * canvas + logical - 1) / logical);
}

// Compares the canvas with the logical picture `ref` stretched over it, at the
// canvas pixels that show logical pixels inside `rect` (all when omitted) and
// not marked in `skip` (a logical mask). Returns the mismatches' count, their
// bounding box in logical pixels and the first few.
function compareStretched(canvas, ref, { rect, skip } = {}) {
  const W = canvas.width,
    H = canvas.height,
    LW = ref.width,
    LH = ref.height;
  const r = rect || { x: 0, y: 0, w: LW, h: LH };
  const xa = firstShowing(r.x, LW, W),
    xb = firstShowing(r.x + r.w, LW, W);
  const ya = firstShowing(r.y, LH, H),
    yb = firstShowing(r.y + r.h, LH, H);
  let count = 0;
  const samples = [];
  let bx0 = LW,
    by0 = LH,
    bx1 = -1,
    by1 = -1;
  for (let y = ya; y < yb; y++) {
    const ly = Math.floor((y * LH) / H);
    for (let x = xa; x < xb; x++) {
      const lx = Math.floor((x * LW) / W);
      if (skip && skip[ly * LW + lx]) continue;
      const o = (y * W + x) * 4,
        p = (ly * LW + lx) * 4;
      if (
        canvas.data[o] === ref.data[p] &&
        canvas.data[o + 1] === ref.data[p + 1] &&
        canvas.data[o + 2] === ref.data[p + 2]
      )
        continue;
      count++;
      if (samples.length < 3)
        samples.push(`canvas (${x},${y}) is ${rgb(canvas.data, o)}, logical (${lx},${ly}) is ${rgb(ref.data, p)}`);
      if (lx < bx0) bx0 = lx;
      if (lx > bx1) bx1 = lx;
      if (ly < by0) by0 = ly;
      if (ly > by1) by1 = ly;
    }
  }
  return { count, samples, box: count ? { x: bx0, y: by0, w: bx1 - bx0 + 1, h: by1 - by0 + 1 } : null };
}

// What a failed wait for vantle-sim's picture `ref` says: how the canvas
// last seen differs (`diff`, from compareStretched), and both pictures
// saved among the failure's `pictures`.
function pictureMismatch(pictures, what, timeout, canvas, ref, diff) {
  const a = pictures.save('canvas', canvas),
    e = pictures.save('expected', stretch(ref, canvas.width, canvas.height));
  const box = diff.box ? `, within logical (${diff.box.x},${diff.box.y}) ${diff.box.w}x${diff.box.h}` : '';
  return (
    `${what}: after ${timeout} ms the canvas differs from vantle-sim's picture at ${diff.count} pixels${box} ` +
    `(${diff.samples[0]}). Canvas: ${a}, expected: ${e}`
  );
}

function rgb(d, o) {
  return `rgb(${d[o]},${d[o + 1]},${d[o + 2]})`;
}

// The logical picture stretched to width x height: what the canvas must show.
function stretch(ref, width, height) {
  const out = Buffer.alloc(width * height * 4);
  for (let y = 0; y < height; y++) {
    const ly = Math.floor((y * ref.height) / height);
    for (let x = 0; x < width; x++) {
      const lx = Math.floor((x * ref.width) / width);
      ref.data.copy(out, (y * width + x) * 4, (ly * ref.width + lx) * 4, (ly * ref.width + lx) * 4 + 4);
    }
  }
  return { width, height, data: out };
}

// The well as the canvas shows it: 13 rows of 7 digits as vantle-sim's
// `state` prints its board (0 empty, 1 up, 2 right, 3 down, 4 left), '?' for
// a cell that looks like none of them.
function readBoard(canvas, refs) {
  const rows = [];
  for (let r = 0; r < 13; r++) {
    let row = '';
    for (let c = 0; c < 7; c++) {
      const rect = refs.well.cellRect(c, r);
      let found = '?';
      const candidates = [refs.empty, ...refs.arrows.slice(1)];
      for (let k = 0; k < candidates.length; k++)
        if (compareStretched(canvas, candidates[k], { rect }).count === 0) {
          found = String(k);
          break;
        }
      row += found;
    }
    rows.push(row);
  }
  return rows;
}

// The falling pair on a board with nothing else in the well: { c, r, top,
// bottom } with r the upper cell's row, or null with the reason.
function findPair(board) {
  const cells = [];
  for (let r = 0; r < 13; r++)
    for (let c = 0; c < 7; c++) if (board[r][c] !== '0') cells.push({ c, r, v: board[r][c] });
  if (cells.some(x => x.v === '?'))
    return { pair: null, why: 'some cells look like neither an empty cell nor an arrow' };
  if (cells.length !== 2) return { pair: null, why: `${cells.length} cells hold arrows, not 2` };
  const [a, b] = cells;
  if (a.c !== b.c || b.r !== a.r + 1) return { pair: null, why: 'the two arrows are not one above the other' };
  return { pair: { c: a.c, r: a.r, top: +a.v, bottom: +b.v } };
}

// The pair falls a row every 21 ticks of 70 ms at first: at most this many
// rows in `ms` on its own.
const FALL_MS = 21 * 70;
const mayFall = ms => 1 + Math.floor(ms / FALL_MS);
const sameArrows = (a, b) => a.top === b.top && a.bottom === b.bottom;
const turned = a => (a % 4) + 1; // a quarter turn clockwise: up, right, down, left
const fmtPair = p => (p ? `column ${p.c}, rows ${p.r}-${p.r + 1}, arrows ${p.top}/${p.bottom}` : 'none');

module.exports = {
  Sim,
  SETTINGS_KEY,
  GAME_KEY,
  SAVED_GAME_BYTES,
  DEFAULT_SETTINGS,
  ENDED_TEXT,
  cellGeometry,
  wellRegion,
  fitPicture,
  settingsBytes,
  settingsFromBytes,
  firstShowing,
  compareStretched,
  pictureMismatch,
  stretch,
  readBoard,
  findPair,
  FALL_MS,
  mayFall,
  sameArrows,
  turned,
  fmtPair,
};
