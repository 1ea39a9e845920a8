// SPDX-License-Identifier: GPL-3.0-or-later
'use strict';
// A watch on the well from inside the page, for what happens between two
// looks from outside: every picture the game puts on its canvas is looked
// at, at a few pixels of each cell, as it is put (the page's own
// putImageData, wrapped), and each change of which cells hold an arrow is
// logged with the page's clock; so is each finger or mouse going down and
// up, as the page's listeners saw it. Nothing is copied out of the page but
// the log, so it costs the game nothing it would notice.

const { CANVAS_FN } = require('./harness');
const { cellGeometry, firstShowing } = require('./sim');

// For each cell, canvas pixels where an empty cell looks unlike any of the
// four arrows: [cell, x, y, r, g, b] with the empty cell's colour, for a
// canvas of width x height showing the references `refs` (sim.js).
function wellSamples(refs, width, height) {
  const { lw, lh, empty, arrows } = refs;
  const geometry = cellGeometry(refs.layout);
  const samples = [];
  const at = (img, x, y) => {
    const o = (y * lw + x) * 4;
    return [img.data[o], img.data[o + 1], img.data[o + 2]];
  };
  for (let r = 0; r < 13; r++) {
    for (let c = 0; c < 7; c++) {
      const rect = geometry.cellRect(c, r);
      const found = [];
      // From the middle outwards, up to three pixels that tell.
      const cx = rect.x + (rect.w >> 1),
        cy = rect.y + (rect.h >> 1);
      for (let d = 0; d < rect.w && found.length < 3; d++) {
        for (const [x, y] of [
          [cx + d, cy],
          [cx - d, cy + d],
          [cx, cy - d],
          [cx + d, cy + d],
        ]) {
          if (found.length >= 3 || x < rect.x || y < rect.y || x >= rect.x + rect.w || y >= rect.y + rect.h) continue;
          const e = at(empty, x, y);
          if (
            arrows.slice(1).every(a => {
              const v = at(a, x, y);
              return v[0] !== e[0] || v[1] !== e[1] || v[2] !== e[2];
            }) &&
            !found.some(f => f[0] === x && f[1] === y)
          )
            found.push([x, y, e]);
        }
      }
      if (!found.length) throw new Error(`no pixel of cell (${c}, ${r}) tells an empty cell from an arrow`);
      for (const [x, y, e] of found)
        samples.push([r * 7 + c, firstShowing(x, lw, width), firstShowing(y, lh, height), ...e]);
    }
  }
  return samples;
}

// The watch, in the page: given wellSamples' list and harness.js's
// CANVAS_FN to read the canvas as it is when the watch begins.
const WATCH = (samples, readCanvas) => {
  const canvas = document.getElementById('screen');
  const w = (window.__watch = { log: [], input: [] });
  const d = readCanvas(null, true).data;
  const differs = (data, o, s) => data[o] !== s[3] || data[o + 1] !== s[4] || data[o + 2] !== s[5];
  const seen = samples.map(s => (differs(d, (s[2] * canvas.width + s[1]) * 4, s) ? 1 : 0));
  // A cell holds an arrow when most of its pixels say so.
  const cells = () => {
    const votes = new Array(91).fill(0),
      count = new Array(91).fill(0);
    samples.forEach((s, i) => {
      count[s[0]]++;
      votes[s[0]] += seen[i];
    });
    return votes.map((v, i) => (2 * v > count[i] ? '1' : '0')).join('');
  };
  let now = cells();
  w.log.push({ t: performance.now(), cells: now });
  const put = CanvasRenderingContext2D.prototype.putImageData;
  CanvasRenderingContext2D.prototype.putImageData = function (img, dx, dy, ...rest) {
    const result = put.call(this, img, dx, dy, ...rest);
    if (this.canvas === canvas && img.width === canvas.width) {
      let changed = false;
      samples.forEach((s, i) => {
        if (s[2] < dy || s[2] >= dy + img.height) return;
        const v = differs(img.data, ((s[2] - dy) * img.width + s[1] - dx) * 4, s) ? 1 : 0;
        if (v !== seen[i]) {
          seen[i] = v;
          changed = true;
        }
      });
      const next = changed ? cells() : now;
      if (next !== now) {
        now = next;
        w.log.push({ t: performance.now(), cells: now });
      }
    }
    return result;
  };
  for (const type of ['pointerdown', 'pointerup', 'pointercancel'])
    window.addEventListener(type, e => w.input.push({ type, t: performance.now(), pointerType: e.pointerType }), true);
  return true;
};

// What installs the watch (an expression for page.evaluate); then
// window.__watch holds { log: [{ t, cells }], input: [{ type, t,
// pointerType }] }, cells a string of 91 digits, row by row, 1 where a cell
// holds an arrow.
const installWatch = samples => `(${WATCH})(${JSON.stringify(samples)}, ${CANVAS_FN})`;

// The top row of the arrows in column `c` of a log entry's cells, or -1.
function topRow(cells, c) {
  for (let r = 0; r < 13; r++) if (cells[r * 7 + c] === '1') return r;
  return -1;
}

module.exports = { wellSamples, installWatch, topRow };
