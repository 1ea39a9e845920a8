// SPDX-License-Identifier: GPL-3.0-or-later
'use strict';
// The three browser engines that phones use, behind one set of page
// actions, so that one set of flows runs in each:
//   chromium  Debian's chromium through puppeteer-core (DevTools protocol):
//             phone emulation and real touch events
//   firefox   Debian's firefox-esr through puppeteer-core (WebDriver BiDi):
//             real touch input (input.performActions, pointerType touch)
//   webkit    Debian's WebKitGTK MiniBrowser through WebKitWebDriver
//             (classic W3C WebDriver, webdriver.js) under a private Xvfb
// Where an engine cannot emulate a touch screen, what stands in for it is
// said in `touch`, which the test prints.
//
// A driver: launch(engine, options) -> { engine, version, touch, notes,
// serverOptions, newPage({ width, height, touch }), close() }. A page:
// goto(url), reload(), evaluate(fn or expression, ...args), keyDown(name),
// keyUp(name), press(name, ms), tap(x, y, ms), taps([{ x, y, hold, gap }]),
// click(x, y), setViewport(width, height), reopen() (the tab closed and a
// new one opened on the same storage), close(), errors.

const fs = require('fs');
const os = require('os');
const path = require('path');
const { spawn } = require('child_process');
const {
  CheckFailed,
  check,
  act,
  delay,
  until,
  skip,
  parseArgs,
  oneOf,
  requireSite,
  requireSim,
  findProgram,
  stopProcess,
  readCanvas,
  storedItem,
  Pictures,
} = require('./harness');
const { findChromium, CHROMIUM_FLAGS } = require('./cdp');
const { Session, startXvfb, keyValue } = require('./webdriver');
const { Sim, compareStretched, pictureMismatch } = require('./sim');

const ENGINES = ['chromium', 'firefox', 'webkit'];
// A phone's page, upright and turned, in CSS pixels.
const PORTRAIT = { width: 390, height: 844 };
const LANDSCAPE = { width: 844, height: 390 };

const PHONE_UA =
  'Mozilla/5.0 (Linux; Android 14; Pixel 8) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/156.0 Mobile Safari/537.36';

// As on a phone: no sound until the player has tapped.
const CHROMIUM_PHONE_FLAGS = [...CHROMIUM_FLAGS, '--autoplay-policy=document-user-activation-required'];

const FIREFOX_PREFS = {
  'network.captive-portal-service.enabled': false,
  'network.connectivity-service.enabled': false,
  'browser.region.network.url': '',
  'browser.safebrowsing.provider.mozilla.updateURL': '',
  'extensions.blocklist.enabled': false,
  'toolkit.telemetry.reportingpolicy.firstRun': false,
};
// Firefox's WebDriver BiDi has no touch-screen emulation (emulation.
// setTouchOverride is an unknown command in 153 ESR), so its own test
// settings say the screen is touched: five touch points, a coarse pointer,
// and the TouchEvent interface as on a touch screen.
const FIREFOX_TOUCH_PREFS = {
  'dom.maxtouchpoints.testing.value': 5,
  'ui.primaryPointerCapabilities': 1,
  'ui.allPointerCapabilities': 1,
  'dom.w3c_touch_events.enabled': 1,
};

// WebKitGTK under Xvfb has no touch screen to report and no way to emulate
// one: a script the test server puts first in the page's <head> says it
// has one (five touch points, a coarse pointer), unless the page's address
// asks for a mouse (?mouse).
const WEBKIT_TOUCH_STAND_IN = `<script>
(function () {
  if (/[?&]mouse(&|$)/.test(location.search)) return;
  Object.defineProperty(Navigator.prototype, 'maxTouchPoints', { get: function () { return 5; }, configurable: true });
  var matchMedia = window.matchMedia.bind(window);
  window.matchMedia = function (query) {
    if (!/pointer\\s*:\\s*coarse/.test(query)) return matchMedia(query);
    var none = function () {};
    return { matches: true, media: query, onchange: null, addListener: none, removeListener: none,
      addEventListener: none, removeEventListener: none, dispatchEvent: function () { return false; } };
  };
})();
</script>`;

// The MiniBrowser's toolbar would keep its window 447 pixels wide at the
// least: a style of our own shrinks it, so that the page can be as narrow
// as a phone.
const MINIBROWSER_GTK_CSS =
  '* { font-size: 1px; min-width: 0; min-height: 0; padding: 0; margin: 0; border-width: 0; }\n';

// The MiniBrowser comes with WebKitGTK (libwebkit2gtk-4.1-0, which
// webkit2gtk-driver depends on), in the architecture's library folder.
function findMiniBrowser() {
  const dirs = ['/usr/libexec', '/usr/lib'];
  try {
    for (const e of fs.readdirSync('/usr/lib')) if (/-linux-gnu/.test(e)) dirs.push(path.join('/usr/lib', e));
  } catch (e) {
    /* none */
  }
  return findProgram(dirs.flatMap(d => ['webkit2gtk-4.1', 'webkit2gtk-4.0'].map(v => path.join(d, v, 'MiniBrowser'))));
}

// Which engines can run here, and if not, the Debian package that brings it.
function engineMissing(engine) {
  if (engine === 'chromium') return findChromium() ? null : 'chromium';
  if (engine === 'firefox')
    return findProgram(['/usr/bin/firefox-esr', '/usr/lib/firefox-esr/firefox-esr']) ? null : 'firefox-esr';
  if (engine === 'webkit') {
    if (!findProgram(['/usr/bin/WebKitWebDriver']) || !findMiniBrowser()) return 'webkit2gtk-driver';
    if (!findProgram(['/usr/bin/Xvfb'])) return 'xvfb';
  }
  return null;
}

function puppeteer() {
  try {
    return require('puppeteer-core');
  } catch (e) {
    return null;
  }
}

// puppeteer-core; without it, says so and leaves with 77 (skipped).
function puppeteerOrSkip() {
  return (
    puppeteer() ||
    skip('puppeteer-core is not installed (tools/setup-deps test installs it: npm ci --prefix tests/web)')
  );
}

// Leaves with 77 (skipped) where `engine` cannot run here.
function engineOrSkip(engine) {
  const missing = engineMissing(engine);
  if (missing) skip(`${engine} is not installed here (apt-get install ${missing})`);
  if (engine !== 'webkit') puppeteerOrSkip();
}

// A private PulseAudio with a null sink stands for the phone's speaker:
// without any sound output Firefox never lets its audio run. Null where
// pulseaudio is not installed.
async function startSound() {
  if (!findProgram(['/usr/bin/pulseaudio'])) return null;
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'vantle-pulse-'));
  fs.mkdirSync(path.join(dir, 'home'));
  fs.mkdirSync(path.join(dir, 'run'), { mode: 0o700 });
  const socket = path.join(dir, 'pulse.sock');
  const child = spawn(
    'pulseaudio',
    [
      '-n',
      '--daemonize=no',
      '--exit-idle-time=-1',
      '--use-pid-file=no',
      '--system=false',
      '-L',
      'module-null-sink',
      '-L',
      `module-native-protocol-unix socket=${socket} auth-anonymous=1`,
    ],
    { env: { ...process.env, HOME: path.join(dir, 'home'), XDG_RUNTIME_DIR: path.join(dir, 'run') }, stdio: 'ignore' },
  );
  child.once('error', () => {});
  const stop = async () => {
    await stopProcess(child);
    fs.rmSync(dir, { recursive: true, force: true });
  };
  for (let i = 0; i < 100 && !fs.existsSync(socket); i++) await delay(50);
  if (!fs.existsSync(socket)) {
    await stop();
    return null;
  }
  return { server: `unix:${socket}`, stop };
}

// ---- pages driven through puppeteer-core (Chromium over CDP, Firefox over BiDi) ----

class PuppeteerPage {
  constructor(driver, context, page, view) {
    this.driver = driver;
    this.context = context;
    this.page = page;
    this.view = view;
    this.errors = [];
    this.listen(page);
  }

  get width() {
    return this.view.width;
  }
  get height() {
    return this.view.height;
  }
  get touch() {
    return this.view.touch;
  }

  // What the page threw, with where it was and where in its scripts.
  listen(page) {
    page.on('pageerror', e => {
      const at = (e.stack || '')
        .split('\n')
        .map(l => l.trim())
        .filter(Boolean)
        .slice(0, 3)
        .join(' | ');
      this.errors.push(`${e.message || e} (on ${page.url()}${at ? `; ${at}` : ''})`);
    });
  }

  async setUp() {
    const { width, height, touch } = this.view;
    if (this.driver.engine === 'chromium') {
      await this.page.emulate({
        viewport: {
          width,
          height,
          deviceScaleFactor: 1,
          isMobile: touch,
          hasTouch: touch,
          isLandscape: width > height,
        },
        userAgent: touch ? PHONE_UA : await this.driver.browser.userAgent(),
      });
      this.cdp = await this.page.createCDPSession();
    } else {
      await this.page.setViewport({ width, height, deviceScaleFactor: 1, isLandscape: width > height });
    }
  }

  async goto(url) {
    await this.page.goto(url, { waitUntil: 'load', timeout: 30000 });
  }
  async reload() {
    await this.page.reload({ waitUntil: 'load', timeout: 30000 });
  }
  // Runs `fn` (or an expression) in the page and gives back its value as
  // JSON carries it. Not through puppeteer's page.evaluate, which marks
  // every call as the player's own doing (CDP userGesture, BiDi
  // userActivation): the page would have been "tapped" before any tap, and
  // sound could start before the first.
  async evaluate(fn, ...args) {
    const call = typeof fn === 'function' ? `(${fn})(...${JSON.stringify(args)})` : `(${fn})`;
    const expression = `(async () => { const v = await ${call}; return v === undefined ? 'null' : JSON.stringify(v); })()`;
    let r;
    if (this.driver.engine === 'chromium') {
      r = await this.cdp.send('Runtime.evaluate', {
        expression,
        awaitPromise: true,
        returnByValue: true,
        userGesture: false,
      });
      if (r.exceptionDetails) {
        const d = r.exceptionDetails;
        throw new Error(`page script failed: ${(d.exception && d.exception.description) || d.text}`);
      }
      return JSON.parse(r.result.value);
    }
    r = await this.page.mainFrame().browsingContext.defaultRealm.evaluate(expression, true, {
      userActivation: false,
      resultOwnership: 'none',
      serializationOptions: {},
    });
    if (r.type === 'exception') throw new Error(`page script failed: ${r.exceptionDetails.text}`);
    return JSON.parse(r.result.value);
  }
  // Keys by their codes (KeyO, ArrowLeft), as puppeteer names them but
  // for Space, which it knows by its character.
  async keyDown(name) {
    await this.page.keyboard.down(name === 'Space' ? ' ' : name);
  }
  async keyUp(name) {
    await this.page.keyboard.up(name === 'Space' ? ' ' : name);
  }

  async press(name, ms = 150) {
    await this.keyDown(name);
    await delay(ms);
    await this.keyUp(name);
  }

  // Finger taps, one after another: each held `hold` ms, then `gap` ms
  // before the next. Chromium takes each touch point as it is sent;
  // Firefox is given the whole sequence, timed by the browser.
  async taps(list) {
    if (this.driver.engine === 'chromium') {
      for (const { x, y, hold = 40, gap = 0 } of list) {
        await this.cdp.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: [{ x, y, id: 1 }] });
        await delay(hold);
        await this.cdp.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
        if (gap) await delay(gap);
      }
      return;
    }
    const actions = [];
    for (const { x, y, hold = 40, gap = 0 } of list) {
      actions.push(
        { type: 'pointerMove', x: Math.round(x), y: Math.round(y) },
        { type: 'pointerDown', button: 0, width: 1, height: 1, pressure: 0.5 },
        { type: 'pause', duration: hold },
        { type: 'pointerUp', button: 0 },
      );
      if (gap) actions.push({ type: 'pause', duration: gap });
    }
    await this.page
      .mainFrame()
      .browsingContext.performActions([
        { type: 'pointer', id: 'finger', parameters: { pointerType: 'touch' }, actions },
      ]);
  }

  async tap(x, y, hold = 40) {
    await this.taps([{ x, y, hold }]);
  }

  async click(x, y) {
    await this.page.mouse.click(x, y, { delay: 100 });
  }

  async setViewport(width, height) {
    this.view = { ...this.view, width, height };
    const { touch } = this.view;
    await this.page.setViewport({
      width,
      height,
      deviceScaleFactor: 1,
      isMobile: this.driver.engine === 'chromium' && touch,
      hasTouch: this.driver.engine === 'chromium' && touch,
      isLandscape: width > height,
    });
  }

  async reopen() {
    await this.page.close();
    this.page = await this.context.newPage();
    this.listen(this.page);
    await this.setUp();
  }

  async screenshot() {
    return Buffer.from(await this.page.screenshot());
  }

  async close() {
    await this.context.close().catch(() => {});
  }
}

class PuppeteerDriver {
  static async launch(engine, { sound }) {
    const p = puppeteer();
    const d = new PuppeteerDriver();
    d.engine = engine;
    d.puppeteer = p;
    d.env = { ...process.env };
    if (sound) d.env.PULSE_SERVER = sound.server;
    d.browser = await d.start(true);
    d.version = await d.browser.version();
    d.serverOptions = {};
    d.notes = [];
    d.touch =
      engine === 'chromium'
        ? "touch emulated: a phone's screen through the DevTools protocol (Emulation.setTouchEmulationEnabled, a mobile viewport) and real touch events (Input.dispatchTouchEvent)"
        : 'touch emulated in part: real touch input through WebDriver BiDi (input.performActions, pointerType touch); ' +
          "the touch screen itself stood in for by Firefox's test settings (dom.maxtouchpoints.testing.value, " +
          'ui.allPointerCapabilities coarse), as its BiDi has no emulation.setTouchOverride';
    return d;
  }

  async start(touch) {
    if (this.engine === 'chromium') {
      return this.puppeteer.launch({
        executablePath: findChromium(),
        headless: true,
        args: CHROMIUM_PHONE_FLAGS,
        env: this.env,
        protocolTimeout: 30000,
      });
    }
    return this.puppeteer.launch({
      browser: 'firefox',
      executablePath: findProgram(['/usr/bin/firefox-esr', '/usr/lib/firefox-esr/firefox-esr']),
      headless: true,
      env: this.env,
      protocolTimeout: 30000,
      extraPrefsFirefox: { ...FIREFOX_PREFS, ...(touch ? FIREFOX_TOUCH_PREFS : {}) },
    });
  }

  // A page of its own storage. Firefox's touch screen is the whole
  // browser's: a page that cannot be touched is in a second Firefox,
  // started when first wanted.
  async newPage({ width, height, touch = true }) {
    let browser = this.browser;
    if (this.engine === 'firefox' && !touch) {
      if (!this.mouseBrowser) this.mouseBrowser = await this.start(false);
      browser = this.mouseBrowser;
    }
    const context = await browser.createBrowserContext();
    const page = new PuppeteerPage(this, context, await context.newPage(), { width, height, touch });
    await page.setUp();
    return page;
  }

  async close() {
    for (const b of [this.browser, this.mouseBrowser]) if (b) await b.close().catch(() => {});
  }

  async kill() {
    for (const b of [this.browser, this.mouseBrowser]) {
      const proc = b && b.process();
      if (proc)
        try {
          proc.kill('SIGKILL');
        } catch (e) {
          /* gone */
        }
    }
  }
}

// ---- WebKitGTK through WebDriver ----

class WebKitPage {
  constructor(driver, view) {
    this.driver = driver;
    this.view = view;
    this.errors = []; // WebDriver classic does not tell a page's errors
  }

  get s() {
    return this.driver.session;
  }
  get width() {
    return this.view.width;
  }
  get height() {
    return this.view.height;
  }
  get touch() {
    return this.view.touch;
  }

  async goto(url) {
    if (!this.touch && /^http/.test(url)) url += (url.includes('?') ? '&' : '?') + 'mouse';
    await this.s.navigate(url);
  }

  async reload() {
    await this.s.refresh();
  }

  async evaluate(fn, ...args) {
    const script = typeof fn === 'function' ? `return (${fn}).apply(null, arguments);` : `return (${fn});`;
    return this.s.execute(script, args);
  }

  async keyDown(name) {
    await this.s.performActions([
      { type: 'key', id: 'keyboard', actions: [{ type: 'keyDown', value: keyValue(name) }] },
    ]);
  }

  async keyUp(name) {
    await this.s.performActions([{ type: 'key', id: 'keyboard', actions: [{ type: 'keyUp', value: keyValue(name) }] }]);
  }

  // A key held `ms`, timed by the browser.
  async press(name, ms = 150) {
    const value = keyValue(name);
    await this.s.performActions([
      {
        type: 'key',
        id: 'keyboard',
        actions: [
          { type: 'keyDown', value },
          { type: 'pause', duration: ms },
          { type: 'keyUp', value },
        ],
      },
    ]);
  }

  async taps(list, pointerType = 'touch') {
    const actions = [];
    for (const { x, y, hold = 40, gap = 0 } of list) {
      actions.push(
        { type: 'pointerMove', x: Math.round(x), y: Math.round(y), origin: 'viewport' },
        { type: 'pointerDown', button: 0 },
        { type: 'pause', duration: hold },
        { type: 'pointerUp', button: 0 },
      );
      if (gap) actions.push({ type: 'pause', duration: gap });
    }
    await this.s.performActions([{ type: 'pointer', id: pointerType, parameters: { pointerType }, actions }], 30000);
  }

  async tap(x, y, hold = 40) {
    await this.taps([{ x, y, hold }]);
  }
  async click(x, y) {
    await this.taps([{ x, y, hold: 100 }], 'mouse');
  }

  // The window made as large as the page should be, plus the toolbar.
  async setViewport(width, height) {
    this.view = { ...this.view, width, height };
    let h = height + this.driver.toolbar;
    for (let i = 0; i < 3; i++) {
      await this.s.setWindowRect({ x: 0, y: 0, width, height: h });
      const [iw, ih] = await this.s.execute('return [innerWidth, innerHeight];');
      if (iw === width && ih === height) return;
      if (iw !== width) break;
      h += height - ih;
    }
    const [iw, ih] = await this.s.execute('return [innerWidth, innerHeight];');
    if (iw !== width || ih !== height) throw new Error(`the MiniBrowser's page is ${iw}x${ih}, not ${width}x${height}`);
  }

  // A new tab on the same storage; the old one closed.
  async reopen() {
    const old = await this.s.windowHandle();
    const handle = await this.s.newWindow('tab');
    await this.s.switchTo(old);
    await this.s.closeWindow();
    await this.s.switchTo(handle);
    await this.setViewport(this.width, this.height);
  }

  async screenshot() {
    return this.s.screenshot();
  }

  async close() {
    await this.s.navigate('about:blank').catch(() => {});
  }
}

class WebKitDriver {
  static async launch({ sound }) {
    const d = new WebKitDriver();
    d.engine = 'webkit';
    d.work = fs.mkdtempSync(path.join(os.tmpdir(), 'vantle-webkit-'));
    fs.mkdirSync(path.join(d.work, 'config', 'gtk-3.0'), { recursive: true });
    fs.writeFileSync(path.join(d.work, 'config', 'gtk-3.0', 'gtk.css'), MINIBROWSER_GTK_CSS);
    try {
      d.xvfb = await startXvfb('1280x1024');
      const env = {
        ...process.env,
        DISPLAY: d.xvfb.display,
        XDG_CONFIG_HOME: path.join(d.work, 'config'),
        XDG_CACHE_HOME: path.join(d.work, 'cache'),
        XDG_DATA_HOME: path.join(d.work, 'data'),
        HOME: d.work,
      };
      delete env.WAYLAND_DISPLAY;
      if (sound) env.PULSE_SERVER = sound.server;
      // As Safari on a phone: no sound until the player has tapped (the
      // MiniBrowser would otherwise let Web Audio start at once).
      d.session = await Session.start({
        driver: '/usr/bin/WebKitWebDriver',
        env,
        capabilities: {
          'webkitgtk:browserOptions': {
            binary: findMiniBrowser(),
            args: ['--automation', '--features=+RequiresUserGestureForAudioPlayback'],
          },
        },
      });
      d.version = `${d.session.capabilities.browserName} (WebKitGTK ${d.session.capabilities.browserVersion})`;
      await d.session.navigate('about:blank');
      const [outer, inner] = await d.session.execute('return [outerHeight, innerHeight];');
      d.toolbar = Math.max(0, outer - inner);
    } catch (e) {
      await d.close();
      throw e;
    }
    d.serverOptions = { inject: WEBKIT_TOUCH_STAND_IN };
    d.notes = [];
    d.touch =
      'touch stood in for: WebKitGTK has no touch emulation, so taps are WebDriver pointer actions of type touch ' +
      '(which it delivers as a mouse), and a script the test server puts first in the page says the screen ' +
      'is a touch screen (navigator.maxTouchPoints 5, any-pointer coarse)';
    return d;
  }

  // One browser, one window: pages follow one another in it, each flow on
  // an origin (a server) of its own, and so on storage of its own.
  async newPage({ width, height, touch = true }) {
    const page = new WebKitPage(this, { width, height, touch });
    await this.session.navigate('about:blank');
    await page.setViewport(width, height);
    return page;
  }

  async close() {
    if (this.session) await this.session.close();
    if (this.xvfb) await this.xvfb.stop();
    fs.rmSync(this.work, { recursive: true, force: true });
  }

  async kill() {
    if (this.session) await this.session.kill();
    if (this.xvfb) await this.xvfb.stop();
  }
}

async function launch(engine, options = {}) {
  if (engine === 'webkit') return WebKitDriver.launch(options);
  return PuppeteerDriver.launch(engine, options);
}

// ---- the game on a driver's page ----

// A page with the game on it (one of launch's, or puppeteer-core's), served
// by `server`, and what it must look like: vantle-sim's pictures (t.sim),
// failures' pictures in t.pictures. `read` is the function that tells, in the page, where things
// are on it (at the least `canvas`, the picture's box in CSS pixels); the
// canvas is looked at every `poll` ms while waited for.
class GamePage {
  constructor(t, page, server, { read, poll = 60 }) {
    this.t = t;
    this.page = page;
    this.server = server;
    this.read = read;
    this.poll = poll;
  }

  get portrait() {
    return this.page.height >= this.page.width;
  }
  get size() {
    return this.portrait ? [240, 320] : [320, 240];
  }
  get refs() {
    return this.t.sim.references(...this.size);
  }

  // Page actions, named for the failure message should the page not answer.
  act(what, fn) {
    return act(what, fn, { firstLine: true });
  }

  async open(name = 'index.html', what = `the page ${name}`) {
    await this.act(what, () => this.page.goto(this.server.url(name)));
  }

  async reload(what) {
    await this.act(what, () => this.page.reload());
  }

  // The canvas, or null, also while the page is between documents.
  async canvas() {
    try {
      return await readCanvas(this.page);
    } catch (e) {
      this.lastError = e.message.split('\n')[0];
      return null;
    }
  }

  places(what = 'the page') {
    return this.act(what, () => this.page.evaluate(this.read));
  }

  stored(key) {
    return this.act(`localStorage "${key}"`, () => storedItem(this.page, key));
  }

  // Waits until the canvas shows the logical picture `ref` (vantle-sim's,
  // or a canvas read before) stretched over it, outside the logical mask
  // `skip`, inside `rect`.
  async waitPicture(ref, what, { skip, rect, timeout = 4000 } = {}) {
    let last = null,
      diff = null;
    const ok = await until(
      async () => {
        last = await this.canvas();
        if (!last) return false;
        diff = compareStretched(last, ref, { skip, rect });
        return diff.count === 0;
      },
      { timeout, interval: this.poll },
    );
    if (ok) return last;
    if (!last)
      throw new CheckFailed(
        `${what}: no canvas to see after ${timeout} ms${this.lastError ? ` (${this.lastError})` : ''}`,
      );
    throw new CheckFailed(pictureMismatch(this.t.pictures, what, timeout, last, ref, diff));
  }

  // The CSS pixel of the middle of logical pixel (lx, ly).
  async css(lx, ly) {
    const c = (await this.places()).canvas,
      r = this.refs;
    return [c.x + ((lx + 0.5) * c.w) / r.lw, c.y + ((ly + 0.5) * c.h) / r.lh];
  }

  // The middle of the touch control that stands for `key`.
  async control(key) {
    const b = (await this.places()).controls.find(c => c.key === key);
    check(b && b.shown, `there is no touch control for key ${key} on the page`);
    return [b.x + b.w / 2, b.y + b.h / 2];
  }

  async tapAt(x, y, what, hold = 40) {
    await this.act(what, () => this.page.tap(x, y, hold));
  }
}

// The pages a group opens, each with its server, and what the run does
// with them: once the group has run, the pages must have thrown nothing;
// on a failure, what they threw last and a screenshot of each; at the end,
// the group's notes said and the pages and their servers closed.
class OpenPages {
  constructor(pictures) {
    this.pictures = pictures;
    this.list = [];
    this.notes = [];
  }

  add(page, server) {
    this.list.push({ page, server });
  }

  note(line) {
    this.notes.push(line);
  }

  // For runGroups.
  get hooks() {
    return {
      begin: async () => {
        this.list = [];
        this.notes = [];
      },
      verify: async () => {
        const errors = this.list.flatMap(o => o.page.errors);
        check(errors.length === 0, `the page threw: ${errors[0]}`);
      },
      after: async () => {
        for (const o of this.list) {
          const lines = o.page.errors.slice(-5);
          if (lines.length) console.log('     the page threw:\n       ' + lines.join('\n       '));
          try {
            console.log(`     the page: ${this.pictures.savePng('page', await o.page.screenshot())}`);
          } catch (e) {
            /* gone */
          }
        }
      },
      end: async () => {
        for (const line of this.notes) console.log(`     ${line}`);
        for (const o of this.list) {
          await o.page.close().catch(() => {});
          await o.server.stop();
        }
      },
    };
  }
}

// What a script that runs its flows in the engine named is given: its
// command line (--engine, --site, --sim, --out, --only), checked, and the
// site, vantle-sim, the failures' pictures (in folders named after
// `script` and the engine) and the pages its groups open. Leaves with 77
// (skipped) where the engine or the site is missing.
function engineScript(script) {
  const args = parseArgs(process.argv.slice(2), `${script}.js`, [
    ['engine', 'chromium|firefox|webkit', true, oneOf(ENGINES)],
    ['site', 'DIR', true],
    ['sim', 'VANTLE_SIM', true],
    ['out', 'DIR'],
    ['only', 'WORD'],
  ]);
  const engine = args.engine;
  const site = requireSite(args.site);
  engineOrSkip(engine);
  const sim = new Sim(requireSim(args.sim));
  const pictures = new Pictures(args.out, `vantle-${engine}-${script}`);
  return { args, engine, site, sim, pictures, open: new OpenPages(pictures) };
}

module.exports = {
  ENGINES,
  PORTRAIT,
  LANDSCAPE,
  PHONE_UA,
  launch,
  engineMissing,
  engineOrSkip,
  puppeteer,
  puppeteerOrSkip,
  startSound,
  GamePage,
  OpenPages,
  engineScript,
};
