#!/usr/bin/env node
// SPDX-License-Identifier: GPL-3.0-or-later
'use strict';
// Figures of the browser edition, measured in headless Chromium against the
// built site on a loopback server. It reports; it judges nothing.
//
//   node tests/web/bench.js --site build-web/site [--sim build/tools/sim/vantle-sim]
//       [--window 640x480] [--dpr 1] [--runs 7] [--seconds 20]
//
// - the download: vantle.wasm and vantle.js, raw and gzip -9;
// - the time from navigation to the first title frame, on a first visit (a
//   fresh profile) and on a visit served by the service worker's cache;
// - the CPU the page uses while the title waits, and while a game runs;
// - on an emulated phone (390 x 844 at 3, real touch events), the time
//   from a finger's touchstart on a touch control to the canvas changing,
//   over two dozen 40 ms taps; and, for the reason the game cancels every
//   touch, how late a page's 5 ms timer fires after a touchstart the page
//   does not cancel, and after one it does.
//
// Without --sim the title is known by the first picture the game draws; with
// it, by a dozen of the title's pixels as vantle-sim draws them.
// Exit status: 0 measured, 1 could not measure, 2 bad arguments, 77 no Chromium.

const fs = require('fs');
const path = require('path');
const zlib = require('zlib');
const { execSync } = require('child_process');
const { Browser, chromiumOrSkip } = require('./cdp');
const { startServer } = require('./server');
const {
  delay,
  waitFor,
  parseArgs,
  positive,
  requireSite,
  inPage,
  SERVICE_WORKER_ACTIVE,
  runMain,
} = require('./harness');
const { fitPicture } = require('./sim');

// A window's size, WxH.
const windowSize = v => {
  const m = /^(\d+)x(\d+)$/.exec(v);
  if (!m) throw new Error('needs a size such as 640x480');
  return { width: +m[1], height: +m[2] };
};

function options(argv) {
  const o = parseArgs(
    argv,
    'bench.js',
    [
      ['site', 'DIR', true],
      ['sim', 'VANTLE_SIM'],
      ['window', 'WxH', false, windowSize],
      ['dpr', 'N', false, positive],
      ['runs', 'N', false, positive],
      ['seconds', 'S', false, positive],
    ],
    { window: '640x480', dpr: '1', runs: '7', seconds: '20' },
  );
  return { ...o, ...o.window };
}

const KiB = n => (n / 1024).toFixed(1) + ' KiB';

function sizes(site) {
  const rows = [];
  let raw = 0,
    gz = 0;
  for (const name of ['vantle.wasm', 'vantle.js']) {
    const file = path.join(site, name);
    if (!fs.existsSync(file)) {
      rows.push(`  ${name.padEnd(12)} missing`);
      continue;
    }
    const data = fs.readFileSync(file);
    const g = zlib.gzipSync(data, { level: 9 }).length;
    raw += data.length;
    gz += g;
    rows.push(
      `  ${name.padEnd(12)} ${String(data.length).padStart(8)} bytes (${KiB(data.length)}), gzip -9 ${String(g).padStart(7)} bytes (${KiB(g)})`,
    );
  }
  rows.push(
    `  ${'together'.padEnd(12)} ${String(raw).padStart(8)} bytes (${KiB(raw)}), gzip -9 ${String(gz).padStart(7)} bytes (${KiB(gz)})   target: within 200 KiB gzipped`,
  );
  return rows.join('\n');
}

// Watches the game's canvas from the first moment of the page: the time
// (performance.now(), from navigation) of the first drawing that shows the
// title, and of the first animation frame that finds it on the canvas; and
// how many pictures the game puts on its canvas.
function probeSource(samples) {
  return `(() => {
  const samples = ${JSON.stringify(samples)};
  const p = window.__vantleProbe = { drawn: 0, framed: 0, puts: 0, kind: null };
  let ctx = null;
  const getContext = HTMLCanvasElement.prototype.getContext;
  HTMLCanvasElement.prototype.getContext = function (kind, ...rest) {
    const c = getContext.call(this, kind, ...rest);
    if (this.id === 'screen' && c && !ctx) { p.kind = kind; if (kind === '2d') ctx = c; }
    return c;
  };
  const shows = () => {
    if (!ctx) return false;
    if (!samples) return p.puts > 0;
    for (const s of samples) {
      if (s.x >= ctx.canvas.width || s.y >= ctx.canvas.height) return false;
      const d = ctx.getImageData(s.x, s.y, 1, 1).data;
      if (d[0] !== s.r || d[1] !== s.g || d[2] !== s.b) return false;
    }
    return true;
  };
  for (const name of ['putImageData', 'drawImage']) {
    const f = CanvasRenderingContext2D.prototype[name];
    CanvasRenderingContext2D.prototype[name] = function (...a) {
      const r = f.apply(this, a);
      if (this === ctx) { p.puts++; if (!p.drawn && shows()) p.drawn = performance.now(); }
      return r;
    };
  }
  const frame = t => {
    if (!p.framed && shows()) p.framed = performance.now();
    if (!p.framed) requestAnimationFrame(frame);
  };
  requestAnimationFrame(frame);
})();`;
}

// A dozen title pixels, as canvas pixels, that the first picture must show.
function titleSamples(simPath, width, height, pw, ph) {
  const { Sim } = require('./sim');
  const sim = new Sim(simPath);
  try {
    const r = sim.references(pw, ph);
    const out = [];
    for (let i = 0; i < 4; i++)
      for (let j = 0; j < 3; j++) {
        const x = Math.floor((width * (2 * i + 1)) / 8),
          y = Math.floor((height * (2 * j + 1)) / 6);
        const o = (Math.floor((y * r.lh) / height) * r.lw + Math.floor((x * r.lw) / width)) * 4;
        out.push({ x, y, r: r.title.data[o], g: r.title.data[o + 1], b: r.title.data[o + 2] });
      }
    return out;
  } finally {
    sim.dispose();
  }
}

function stats(list) {
  const s = [...list].sort((a, b) => a - b);
  const mid = s.length >> 1;
  const median = s.length % 2 ? s[mid] : (s[mid - 1] + s[mid]) / 2;
  return `median ${median.toFixed(0)} ms, min ${s[0].toFixed(0)}, max ${s[s.length - 1].toFixed(0)} (${s.length} runs: ${s.map(x => x.toFixed(0)).join(', ')})`;
}

async function readProbe(page, what) {
  return waitFor(
    async () => {
      const p = await page.evaluate('window.__vantleProbe || null');
      if (p && p.kind && p.kind !== '2d')
        throw new Error(`the game draws through a "${p.kind}" context; the probe reads 2d ones only`);
      return p && p.drawn && p.framed ? p : null;
    },
    { timeout: 15000, interval: 20, what },
  );
}

async function firstFrames(browser, server, o, samples) {
  const cold = { drawn: [], framed: [] },
    warm = { drawn: [], framed: [] };
  const probe = probeSource(samples);
  // Run 0 warms the browser up (its first renderer, its first wasm) and is
  // not counted.
  for (let run = 0; run <= o.runs; run++) {
    const context = await browser.newContext();
    const page = await browser.newPage({ context });
    try {
      await page.setViewport({ width: o.width, height: o.height, dpr: o.dpr });
      await page.addInitScript(probe);
      await page.goto(server.url('index.html'));
      let p = await readProbe(page, 'the title on a first visit');
      if (run > 0) {
        cold.drawn.push(p.drawn);
        cold.framed.push(p.framed);
      }
      const active = await page.evaluate(inPage(SERVICE_WORKER_ACTIVE, 10000));
      if (!active) throw new Error('no service worker became active; the second visit would not come from its cache');
      await page.reload();
      p = await readProbe(page, 'the title from the service worker');
      if (run > 0) {
        warm.drawn.push(p.drawn);
        warm.framed.push(p.framed);
      }
    } finally {
      await page.close();
      await browser.disposeContext(context).catch(() => {});
    }
  }
  return { cold, warm };
}

// CPU time (seconds) of the browser and every process under it, from /proc.
function treeCpuSeconds(rootPid, hz) {
  const parent = new Map(),
    cpu = new Map();
  for (const d of fs.readdirSync('/proc')) {
    if (!/^\d+$/.test(d)) continue;
    try {
      const st = fs.readFileSync(`/proc/${d}/stat`, 'utf8');
      const f = st.slice(st.lastIndexOf(')') + 2).split(' ');
      parent.set(+d, +f[1]);
      cpu.set(+d, (+f[11] + +f[12]) / hz);
    } catch (e) {
      /* gone */
    }
  }
  const mine = new Set([rootPid]);
  for (let grew = true; grew;) {
    grew = false;
    for (const [p, pp] of parent)
      if (!mine.has(p) && mine.has(pp)) {
        mine.add(p);
        grew = true;
      }
  }
  let total = 0;
  for (const p of mine) total += cpu.get(p) || 0;
  return total;
}

const PUTS = 'window.__vantleProbe ? window.__vantleProbe.puts : 0';

async function cpuWhile(browser, page, seconds, hz) {
  const m0 = await page.metrics(),
    c0 = treeCpuSeconds(browser.pid, hz),
    p0 = await page.evaluate(PUTS);
  const w0 = Date.now();
  await delay(seconds * 1000);
  const m1 = await page.metrics(),
    c1 = treeCpuSeconds(browser.pid, hz),
    p1 = await page.evaluate(PUTS);
  const wall = (Date.now() - w0) / 1000;
  return {
    wall,
    task: (100 * (m1.TaskDuration - m0.TaskDuration)) / wall,
    script: (100 * (m1.ScriptDuration - m0.ScriptDuration)) / wall,
    all: (100 * (c1 - c0)) / wall,
    puts: (p1 - p0) / wall,
  };
}

function cpuLine(c) {
  return (
    `page main thread ${c.task.toFixed(2)} % of a core (scripts ${c.script.toFixed(2)} %), ` +
    `all Chromium processes ${c.all.toFixed(1)} %, ${c.puts.toFixed(1)} canvas pictures a second, over ${c.wall.toFixed(1)} s`
  );
}

// Taps on the touch controls of an emulated phone: the time from each
// touchstart (the event's own time stamp) to the first picture put on the
// canvas that covers the rows of the panel's button for that key (drawn
// pressed on the tick that acts).
async function touchLatency(browser, server, taps) {
  const page = await browser.newPage();
  try {
    await page.setViewport({ width: 390, height: 844, dpr: 3, mobile: true, touch: true });
    await page.addInitScript(`(() => {
      const l = window.__latency = { touches: [], puts: [] };
      window.addEventListener('touchstart', e => l.touches.push(e.timeStamp), { capture: true, passive: true });
      const f = CanvasRenderingContext2D.prototype.putImageData;
      CanvasRenderingContext2D.prototype.putImageData = function (img, x, y, ...rest) {
        const r = f.call(this, img, x, y, ...rest);
        if (this.canvas.id === 'screen') l.puts.push({ t: performance.now(), top: y, bottom: y + img.height });
        return r;
      };
    })();`);
    await page.goto(server.url('index.html'));
    await delay(1500);
    const place = await page.evaluate(`(() => {
      const c = document.getElementById('screen').getBoundingClientRect();
      const at = k => { const r = document.querySelector('.pad button[data-key="' + k + '"]').getBoundingClientRect();
        return [r.left + r.width / 2, r.top + r.height / 2]; };
      return { canvas: { x: c.left, y: c.top, w: c.width, h: c.height, pixels: document.getElementById('screen').height },
        left: at(37), right: at(39) };
    })()`);
    await page.tap(place.canvas.x + place.canvas.w / 2, place.canvas.y + place.canvas.h / 2, 150);
    await delay(800);
    // The left and right buttons of the portrait panel: logical rows 270
    // to 287 of 320.
    const k = place.canvas.pixels / 320,
      top = Math.floor(270 * k),
      bottom = Math.ceil(287 * k);
    const out = [];
    for (let i = 0; i < taps; i++) {
      const [x, y] = i % 2 ? place.right : place.left;
      await page.evaluate('window.__latency.touches.length = 0; window.__latency.puts.length = 0');
      await page.tap(x, y, 40);
      await delay(400);
      const l = await page.evaluate('window.__latency');
      const t0 = l.touches[0];
      const put = l.puts.find(p => p.t >= t0 && p.top < bottom && p.bottom > top);
      if (t0 !== undefined && put) out.push(put.t - t0);
    }
    if (!out.length) throw new Error('no tap on a touch control changed the canvas');
    return out;
  } finally {
    await page.close();
  }
}

// How late a 5 ms timer fires when it is set in a touch's pointerdown, on
// a page that leaves its touches alone and on one that cancels them.
async function heldTimer(browser, taps) {
  const out = {};
  for (const [name, cancel] of [
    ['passive', false],
    ['cancelled', true],
  ]) {
    const page = await browser.newPage();
    try {
      await page.setViewport({ width: 390, height: 844, dpr: 3, mobile: true, touch: true });
      const html =
        `<!doctype html><body style="margin:0;height:100vh;touch-action:none"><script>
        window.late = [];
        document.body.addEventListener('pointerdown', () => { const t = performance.now(); setTimeout(() => late.push(performance.now() - t), 5); });
        ${cancel ? "window.addEventListener('touchstart', e => e.preventDefault(), { passive: false });" : ''}
        </` + 'script></body>';
      await page.goto('data:text/html,' + encodeURIComponent(html));
      await delay(300);
      for (let i = 0; i < taps; i++) {
        await page.tap(195, 400, 40);
        await delay(250);
      }
      out[name] = await page.evaluate('window.late');
    } finally {
      await page.close();
    }
  }
  return out;
}

async function main() {
  const o = options(process.argv.slice(2));
  const chromium = chromiumOrSkip();
  const site = requireSite(o.site, { skipIfMissing: false });
  let hz = 100;
  try {
    hz = Number(execSync('getconf CLK_TCK', { encoding: 'utf8' }).trim()) || 100;
  } catch (e) {
    /* 100 */
  }
  // The canvas the page makes for the viewport, in device pixels.
  const fit = fitPicture(o.width, o.height, o.dpr);
  const cw = fit.w,
    ch = fit.h;
  const samples = o.sim ? titleSamples(o.sim, cw, ch, fit.pw, fit.ph) : null;

  console.log(`vantle in the browser: ${site}`);
  console.log(
    `viewport ${o.width}x${o.height} at devicePixelRatio ${o.dpr} (canvas ${cw}x${ch}), ${o.runs} runs after one to warm up, ${chromium}`,
  );
  console.log('\ndownload');
  console.log(sizes(site));

  const server = await startServer(site);
  let browser = null;
  for (const signal of ['SIGINT', 'SIGTERM']) {
    process.on(signal, async () => {
      if (browser) await browser.kill();
      process.exit(1);
    });
  }
  try {
    browser = await Browser.launch({ executable: chromium });
    console.log(
      `\nnavigation to the title (${browser.version.product}; ${samples ? 'title pixels from vantle-sim' : 'the first picture drawn'})   target: within 300 ms`,
    );
    const f = await firstFrames(browser, server, o, samples);
    console.log(`  first visit, drawn on the canvas         ${stats(f.cold.drawn)}`);
    console.log(`  first visit, seen in an animation frame  ${stats(f.cold.framed)}`);
    console.log(`  from the service worker, drawn           ${stats(f.warm.drawn)}`);
    console.log(`  from the service worker, seen in a frame ${stats(f.warm.framed)}`);
    await browser.close();

    // A browser of its own for the CPU, with the one page: first blank, for
    // what the browser costs by itself, then the game.
    browser = await Browser.launch({ executable: chromium });
    const page = await browser.newPage();
    await page.setViewport({ width: o.width, height: o.height, dpr: o.dpr });
    await page.enableMetrics();
    await delay(2000);
    console.log(`\nCPU   target: the waiting title under 0.2 % of a core`);
    console.log(`  blank page, for comparison: ${cpuLine(await cpuWhile(browser, page, o.seconds, hz))}`);
    await page.addInitScript(probeSource(samples));
    await page.goto(server.url('index.html'));
    await readProbe(page, 'the title');
    await delay(2000);
    console.log(`  title waiting: ${cpuLine(await cpuWhile(browser, page, o.seconds, hz))}`);
    await page.press('Enter', 150);
    await delay(1000);
    console.log(`  a game, pair falling untouched: ${cpuLine(await cpuWhile(browser, page, o.seconds, hz))}`);
    await page.press('Space', 150);
    await delay(1000);
    console.log(`  the game paused: ${cpuLine(await cpuWhile(browser, page, o.seconds, hz))}`);
    const errors = page.exceptions.length;
    if (errors) console.log(`  (the page threw ${errors} time(s): ${page.exceptions[0]})`);
    await browser.close();

    browser = await Browser.launch({ executable: chromium });
    console.log(
      '\ntouch, 390x844 at devicePixelRatio 3, 40 ms taps on the Left and Right touch controls   target: median within 70 ms',
    );
    const lat = await touchLatency(browser, server, 24);
    console.log(`  touchstart to the canvas changed   ${stats(lat)}`);
    const held = await heldTimer(browser, 10);
    console.log("\nwhy every touch is cancelled: a 5 ms timer set in a touch's pointerdown fires after");
    console.log(`  the touch not cancelled   ${stats(held.passive)}`);
    console.log(`  the touch cancelled       ${stats(held.cancelled)}`);
  } finally {
    if (browser) await browser.close();
    await server.stop();
  }
}

runMain(main, e => `bench.js: could not measure: ${e.message}`);
