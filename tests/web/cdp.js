// SPDX-License-Identifier: GPL-3.0-or-later
'use strict';
// A small Chrome DevTools Protocol client with no dependencies: Chromium is
// started with --remote-debugging-pipe and spoken to over file descriptors 3
// (our commands) and 4 (its answers and events), each message JSON ended by a
// NUL byte. Pages are attached in flat mode: one connection, every page
// command and event carrying the page's sessionId.

const { spawn } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const { decodePng } = require('./png');
const { startServer } = require('./server');
const { delay, skip, findProgram, stopProcess } = require('./harness');

// The browser to use: $CHROMIUM if set, else the first one installed; null
// if there is none.
function findChromium() {
  return findProgram(
    process.env.CHROMIUM
      ? [process.env.CHROMIUM]
      : ['/usr/bin/chromium', '/usr/lib/chromium/chromium', '/usr/bin/chromium-browser', '/usr/bin/google-chrome'],
  );
}

// The machine's network is closed: nothing may reach out, and nothing must
// wait for it; a page in the background keeps its timers.
const CHROMIUM_FLAGS = [
  '--no-sandbox',
  '--disable-gpu',
  '--disable-quic',
  '--no-first-run',
  '--disable-background-networking',
  '--disable-component-update',
  '--disable-sync',
  '--no-default-browser-check',
  '--disable-extensions',
  '--disable-background-timer-throttling',
  '--disable-renderer-backgrounding',
  '--disable-backgrounding-occluded-windows',
  '--password-store=basic',
  '--use-mock-keychain',
];
const LAUNCH_FLAGS = ['--headless=new', ...CHROMIUM_FLAGS, '--mute-audio'];

// Keys as Input.dispatchKeyEvent wants them.
const KEYS = {
  ArrowLeft: { key: 'ArrowLeft', vk: 37 },
  ArrowUp: { key: 'ArrowUp', vk: 38 },
  ArrowRight: { key: 'ArrowRight', vk: 39 },
  ArrowDown: { key: 'ArrowDown', vk: 40 },
  Enter: { key: 'Enter', vk: 13, text: '\r' },
  Escape: { key: 'Escape', vk: 27 },
  Space: { key: ' ', vk: 32, text: ' ' },
  Tab: { key: 'Tab', vk: 9 },
  Backspace: { key: 'Backspace', vk: 8 },
  ShiftLeft: { key: 'Shift', vk: 16 },
};
for (let c = 65; c <= 90; c++) {
  const ch = String.fromCharCode(c + 32);
  KEYS['Key' + String.fromCharCode(c)] = { key: ch, vk: c, text: ch };
}

class Browser {
  constructor(child, userDataDir, executable) {
    this.child = child;
    this.pid = child.pid;
    this.userDataDir = userDataDir;
    this.executable = executable;
    this.nextId = 1;
    this.pending = new Map();
    this.waiters = new Set();
    this.listeners = new Set();
    this.stderr = [];
    this.exited = null;
    this.input = child.stdio[3];
    let buffered = Buffer.alloc(0);
    child.stdio[4].on('data', chunk => {
      buffered = Buffer.concat([buffered, chunk]);
      let end;
      while ((end = buffered.indexOf(0)) >= 0) {
        const text = buffered.subarray(0, end).toString('utf8');
        buffered = buffered.subarray(end + 1);
        this.dispatch(JSON.parse(text));
      }
    });
    child.stderr.on('data', chunk => {
      for (const line of chunk.toString('utf8').split('\n')) if (line.trim()) this.stderr.push(line);
      if (this.stderr.length > 40) this.stderr.splice(0, this.stderr.length - 40);
    });
    child.stdout.on('data', () => {});
    this.input.on('error', () => {});
    child.on('exit', (code, signal) => {
      this.exited = { code, signal };
      const why = new Error(`chromium exited (${signal || code})` + this.stderrTail());
      for (const p of this.pending.values()) p.reject(why);
      this.pending.clear();
      for (const w of this.waiters) w.reject(why);
      this.waiters.clear();
    });
  }

  stderrTail() {
    return this.stderr.length ? '; its last words:\n  ' + this.stderr.slice(-8).join('\n  ') : '';
  }

  static async launch({ executable = findChromium(), args = [], timeout = 20000 } = {}) {
    if (!executable) throw new Error('no chromium found (set CHROMIUM)');
    const userDataDir = fs.mkdtempSync(path.join(os.tmpdir(), 'vantle-chromium-'));
    const child = spawn(
      executable,
      [...LAUNCH_FLAGS, `--user-data-dir=${userDataDir}`, '--remote-debugging-pipe', ...args],
      { stdio: ['ignore', 'pipe', 'pipe', 'pipe', 'pipe'] },
    );
    const browser = new Browser(child, userDataDir, executable);
    try {
      browser.version = await browser.send('Browser.getVersion', {}, undefined, timeout);
    } catch (e) {
      await browser.close();
      throw new Error(`could not start ${executable}: ${e.message}`, { cause: e });
    }
    return browser;
  }

  dispatch(msg) {
    if (msg.id !== undefined) {
      const p = this.pending.get(msg.id);
      if (!p) return;
      this.pending.delete(msg.id);
      clearTimeout(p.timer);
      if (msg.error)
        p.reject(new Error(`${p.method}: ${msg.error.message}${msg.error.data ? ' (' + msg.error.data + ')' : ''}`));
      else p.resolve(msg.result);
      return;
    }
    for (const l of this.listeners) l(msg);
    for (const w of [...this.waiters]) {
      if (w.method !== msg.method || (w.sessionId && w.sessionId !== msg.sessionId)) continue;
      let hit;
      try {
        hit = !w.predicate || w.predicate(msg.params);
      } catch (e) {
        hit = false;
      }
      if (hit) {
        this.waiters.delete(w);
        clearTimeout(w.timer);
        w.resolve(msg.params);
      }
    }
  }

  send(method, params = {}, sessionId, timeout = 15000) {
    if (this.exited) return Promise.reject(new Error(`${method}: chromium has exited` + this.stderrTail()));
    const id = this.nextId++;
    const msg = { id, method, params };
    if (sessionId) msg.sessionId = sessionId;
    return new Promise((resolve, reject) => {
      const timer = setTimeout(() => {
        this.pending.delete(id);
        reject(new Error(`${method}: no answer within ${timeout} ms`));
      }, timeout);
      this.pending.set(id, { resolve, reject, method, timer });
      this.input.write(JSON.stringify(msg) + '\0');
    });
  }

  // Resolves with the params of the next `method` event (of `sessionId`, if
  // given) that `predicate` accepts. Call it before causing the event.
  waitForEvent(method, { sessionId, predicate, timeout = 15000 } = {}) {
    let waiter;
    const promise = new Promise((resolve, reject) => {
      waiter = { method, sessionId, predicate, resolve, reject };
      waiter.timer = setTimeout(() => {
        this.waiters.delete(waiter);
        reject(new Error(`no ${method} event within ${timeout} ms`));
      }, timeout);
      this.waiters.add(waiter);
    });
    promise.cancel = () => {
      clearTimeout(waiter.timer);
      this.waiters.delete(waiter);
    };
    promise.catch(() => {});
    return promise;
  }

  onEvent(fn) {
    this.listeners.add(fn);
    return () => this.listeners.delete(fn);
  }

  // A fresh, separate profile inside the browser: its own storage, caches and
  // service workers.
  async newContext() {
    return (await this.send('Target.createBrowserContext', { disposeOnDetach: false })).browserContextId;
  }

  async disposeContext(browserContextId) {
    await this.send('Target.disposeBrowserContext', { browserContextId });
  }

  async newPage({ context } = {}) {
    const params = { url: 'about:blank' };
    if (context) params.browserContextId = context;
    const { targetId } = await this.send('Target.createTarget', params);
    const { sessionId } = await this.send('Target.attachToTarget', { targetId, flatten: true });
    const page = new Page(this, targetId, sessionId);
    await page.init();
    return page;
  }

  // For a run cut short: no goodbyes, but no profile left behind either.
  async kill() {
    await stopProcess(this.child, 'SIGKILL');
    try {
      fs.rmSync(this.userDataDir, { recursive: true, force: true, maxRetries: 5, retryDelay: 50 });
    } catch (e) {
      /* left */
    }
  }

  async close() {
    if (!this.exited) {
      const gone = new Promise(resolve => this.child.once('exit', resolve));
      this.send('Browser.close', {}, undefined, 3000).catch(() => {});
      const timer = setTimeout(() => {
        try {
          this.child.kill('SIGKILL');
        } catch (e) {
          /* gone */
        }
      }, 5000);
      await gone;
      clearTimeout(timer);
    }
    // Only once the browser is gone: it writes into its profile to the end.
    try {
      fs.rmSync(this.userDataDir, { recursive: true, force: true, maxRetries: 10, retryDelay: 100 });
    } catch (e) {
      /* left */
    }
  }
}

class Page {
  constructor(browser, targetId, sessionId) {
    this.browser = browser;
    this.targetId = targetId;
    this.sessionId = sessionId;
    this.log = []; // console lines and uncaught exceptions, for failure reports
    this.exceptions = []; // uncaught exceptions only
    this.unlisten = browser.onEvent(msg => {
      if (msg.sessionId !== sessionId) return;
      if (msg.method === 'Runtime.consoleAPICalled') {
        const text = msg.params.args
          .map(a => (a.value !== undefined ? String(a.value) : a.description || a.type))
          .join(' ');
        this.log.push(`console.${msg.params.type}: ${text}`);
      } else if (msg.method === 'Runtime.exceptionThrown') {
        const d = msg.params.exceptionDetails;
        const text = (d.exception && d.exception.description) || d.text;
        this.log.push(`uncaught: ${text}`);
        this.exceptions.push(text);
      } else if (msg.method === 'Log.entryAdded') {
        this.log.push(`log.${msg.params.entry.level}: ${msg.params.entry.text} ${msg.params.entry.url || ''}`);
      }
      if (this.log.length > 200) this.log.splice(0, this.log.length - 200);
    });
  }

  // A page answers within milliseconds unless its main thread is stuck.
  async send(method, params = {}, timeout = 8000) {
    try {
      return await this.browser.send(method, params, this.sessionId, timeout);
    } catch (e) {
      if (/no answer within/.test(e.message)) e.message += " (is the page's main thread stuck?)";
      throw e;
    }
  }

  waitForEvent(method, options = {}) {
    return this.browser.waitForEvent(method, { ...options, sessionId: this.sessionId });
  }

  async init() {
    await Promise.all([
      this.send('Page.enable'),
      this.send('Runtime.enable'),
      this.send('Log.enable'),
      this.send('Page.bringToFront'),
    ]);
  }

  async setViewport({ width, height, dpr = 1, mobile = false, touch = false }) {
    await this.send('Emulation.setDeviceMetricsOverride', { width, height, deviceScaleFactor: dpr, mobile });
    await this.send(
      'Emulation.setTouchEmulationEnabled',
      touch ? { enabled: true, maxTouchPoints: 1 } : { enabled: false },
    );
  }

  async waitForLoad(start, timeout = 15000) {
    const loaded = this.waitForEvent('Page.loadEventFired', { timeout });
    try {
      await start();
    } catch (e) {
      loaded.cancel();
      throw e;
    }
    await loaded;
  }

  async goto(url, timeout) {
    await this.waitForLoad(async () => {
      const r = await this.send('Page.navigate', { url });
      if (r.errorText) throw new Error(`could not load ${url}: ${r.errorText}`);
    }, timeout);
  }

  async reload(timeout) {
    await this.waitForLoad(() => this.send('Page.reload', {}), timeout);
  }

  async evaluate(expression) {
    const r = await this.send('Runtime.evaluate', { expression, returnByValue: true, awaitPromise: true });
    if (r.exceptionDetails) {
      const d = r.exceptionDetails;
      throw new Error(`page script failed: ${(d.exception && d.exception.description) || d.text}`);
    }
    return r.result.value;
  }

  async addInitScript(source) {
    return (await this.send('Page.addScriptToEvaluateOnNewDocument', { source })).identifier;
  }

  async removeInitScript(identifier) {
    await this.send('Page.removeScriptToEvaluateOnNewDocument', { identifier });
  }

  // `repeat`: one of the keydowns a held key sends again and again.
  async keyDown(name, { repeat = false } = {}) {
    const k = KEYS[name];
    if (!k) throw new Error(`unknown key ${name}`);
    const p = {
      type: k.text ? 'keyDown' : 'rawKeyDown',
      key: k.key,
      code: name,
      windowsVirtualKeyCode: k.vk,
      nativeVirtualKeyCode: k.vk,
      autoRepeat: repeat,
    };
    if (k.text) {
      p.text = k.text;
      p.unmodifiedText = k.text;
    }
    await this.send('Input.dispatchKeyEvent', p);
  }

  async keyUp(name) {
    const k = KEYS[name];
    if (!k) throw new Error(`unknown key ${name}`);
    await this.send('Input.dispatchKeyEvent', {
      type: 'keyUp',
      key: k.key,
      code: name,
      windowsVirtualKeyCode: k.vk,
      nativeVirtualKeyCode: k.vk,
    });
  }

  // A press held for `hold` ms: the game looks at its keys once a tick.
  async press(name, hold = 150) {
    await this.keyDown(name);
    await delay(hold);
    await this.keyUp(name);
  }

  // A finger on (x, y) in CSS pixels for `hold` ms (touch emulation must be on).
  async tap(x, y, hold = 150) {
    await this.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: [{ x, y }] });
    await delay(hold);
    await this.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
  }

  async click(x, y, hold = 150) {
    await this.send('Input.dispatchMouseEvent', { type: 'mouseMoved', x, y });
    await this.send('Input.dispatchMouseEvent', {
      type: 'mousePressed',
      x,
      y,
      button: 'left',
      buttons: 1,
      clickCount: 1,
    });
    await delay(hold);
    await this.send('Input.dispatchMouseEvent', {
      type: 'mouseReleased',
      x,
      y,
      button: 'left',
      buttons: 0,
      clickCount: 1,
    });
  }

  // What the page shows, in device pixels.
  async screenshot() {
    const { data } = await this.send('Page.captureScreenshot', { format: 'png' });
    return decodePng(Buffer.from(data, 'base64'));
  }

  async enableMetrics() {
    await this.send('Performance.enable', { timeDomain: 'timeTicks' });
  }

  async metrics() {
    const { metrics } = await this.send('Performance.getMetrics');
    return Object.fromEntries(metrics.map(m => [m.name, m.value]));
  }

  async close() {
    this.unlisten();
    try {
      await this.browser.send('Target.closeTarget', { targetId: this.targetId });
    } catch (e) {
      /* gone */
    }
  }
}

// The browser to test in; with none, says so and leaves with status 77,
// which CTest counts as skipped.
function chromiumOrSkip() {
  const chromium = findChromium();
  if (chromium) return chromium;
  skip(
    process.env.CHROMIUM
      ? `CHROMIUM=${process.env.CHROMIUM} is not a program`
      : 'no Chromium installed (apt-get install chromium, or set CHROMIUM to a browser)',
  );
}

// What runGroups does for a script of one Chromium and one server of the
// site, both kept in `t` (t.browser, t.server): started before the groups,
// closed after them, and the browser killed should the run be abandoned;
// vantle-sim's `sim` disposed of either way.
function chromiumRun(t, { site, chromium, sim }) {
  return {
    setUp: async () => {
      t.server = await startServer(site);
      t.browser = await Browser.launch({ executable: chromium });
    },
    abandon: async () => {
      if (t.browser) await t.browser.kill();
      sim.dispose();
    },
    tearDown: async () => {
      if (t.browser) await t.browser.close();
      if (t.server) await t.server.stop();
      sim.dispose();
    },
  };
}

module.exports = { Browser, Page, KEYS, CHROMIUM_FLAGS, findChromium, chromiumOrSkip, chromiumRun };
