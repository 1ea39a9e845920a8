// SPDX-License-Identifier: GPL-3.0-or-later
'use strict';
// A small W3C WebDriver client with no dependencies, for WebKitGTK's
// WebKitWebDriver and the MiniBrowser it drives: the driver is started on a
// free loopback port, and every command is a JSON request over HTTP. Also a
// private X server (Xvfb) for the browser's window.

const { spawn } = require('child_process');
const http = require('http');
const net = require('net');
const { delay, stopProcess } = require('./harness');

// The keys WebDriver names by code point, by the names the tests use.
const KEYS = {
  Escape: '\uE00C',
  Space: '\uE00D',
  Enter: '\uE007',
  ArrowLeft: '\uE012',
  ArrowUp: '\uE013',
  ArrowRight: '\uE014',
  ArrowDown: '\uE015',
  Tab: '\uE004',
  Backspace: '\uE003',
  Home: '\uE011',
};
function keyValue(name) {
  if (KEYS[name]) return KEYS[name];
  const m = /^Key([A-Z])$/.exec(name);
  if (m) return m[1].toLowerCase();
  throw new Error(`no WebDriver key for ${name}`);
}

function freePort() {
  return new Promise((resolve, reject) => {
    const s = net.createServer();
    s.once('error', reject);
    s.listen(0, '127.0.0.1', () => {
      const { port } = s.address();
      s.close(() => resolve(port));
    });
  });
}

// Xvfb on a display number it picks itself (-displayfd), with a screen of
// `size` (WxH); stop() ends it.
async function startXvfb(size = '1280x1024') {
  const child = spawn('Xvfb', ['-displayfd', '3', '-screen', '0', `${size}x24`, '-nolisten', 'tcp', '-noreset'], {
    stdio: ['ignore', 'ignore', 'pipe', 'pipe'],
  });
  let said = '';
  child.stderr.on('data', d => {
    said = (said + d).slice(-2000);
  });
  const display = await new Promise((resolve, reject) => {
    const timer = setTimeout(() => reject(new Error(`Xvfb did not start: ${said.trim()}`)), 10000);
    child.once('error', e => {
      clearTimeout(timer);
      reject(e);
    });
    child.once('exit', code => {
      clearTimeout(timer);
      reject(new Error(`Xvfb exited (${code}): ${said.trim()}`));
    });
    let got = '';
    child.stdio[3].on('data', d => {
      got += d;
      if (got.includes('\n')) {
        clearTimeout(timer);
        resolve(':' + got.trim());
      }
    });
  });
  return {
    display,
    async stop() {
      await stopProcess(child);
    },
  };
}

function request(port, method, path, body, timeout) {
  return new Promise((resolve, reject) => {
    const data = body === undefined ? null : Buffer.from(JSON.stringify(body));
    const req = http.request(
      {
        host: '127.0.0.1',
        port,
        method,
        path,
        agent: false,
        headers: data ? { 'Content-Type': 'application/json; charset=utf-8', 'Content-Length': data.length } : {},
      },
      res => {
        const chunks = [];
        res.on('data', c => chunks.push(c));
        res.on('end', () => {
          let json = null;
          try {
            json = JSON.parse(Buffer.concat(chunks).toString('utf8'));
          } catch (e) {
            /* not JSON */
          }
          resolve({ status: res.statusCode, value: json ? json.value : null });
        });
      },
    );
    req.setTimeout(timeout, () => req.destroy(new Error(`${method} ${path}: no answer within ${timeout} ms`)));
    req.on('error', reject);
    if (data) req.write(data);
    req.end();
  });
}

class WebDriverError extends Error {}

// One driver process and its one session.
class Session {
  constructor(child, port) {
    this.child = child;
    this.port = port;
    this.id = null;
    this.said = [];
    const keep = d => {
      for (const line of d.toString('utf8').split('\n')) if (line.trim()) this.said.push(line);
      if (this.said.length > 40) this.said.splice(0, this.said.length - 40);
    };
    child.stdout.on('data', keep);
    child.stderr.on('data', keep);
  }

  // Starts `driver` (with `env`) and a session with `capabilities`.
  static async start({ driver, env, capabilities, timeout = 30000 }) {
    const port = await freePort();
    const child = spawn(driver, [`--port=${port}`], { env, stdio: ['ignore', 'pipe', 'pipe'] });
    const s = new Session(child, port);
    const exited = new Promise(resolve => child.once('exit', code => resolve(code)));
    child.once('error', () => {});
    const end = Date.now() + timeout;
    for (;;) {
      const r = await request(port, 'GET', '/status', undefined, 2000).catch(() => null);
      if (r && r.status === 200) break;
      if (child.exitCode !== null || Date.now() > end) {
        await s.kill();
        throw new Error(`${driver} did not start (${await Promise.race([exited, delay(10)])})${s.tail()}`);
      }
      await delay(100);
    }
    try {
      const v = await s.cmd('POST', '/session', { capabilities: { alwaysMatch: capabilities } }, timeout);
      s.id = v.sessionId;
      s.capabilities = v.capabilities;
    } catch (e) {
      await s.kill();
      throw e;
    }
    return s;
  }

  tail() {
    return this.said.length ? '; it said:\n  ' + this.said.slice(-8).join('\n  ') : '';
  }

  async cmd(method, path, body, timeout = 20000) {
    if (method === 'POST' && body === undefined) body = {};
    const r = await request(this.port, method, path, body, timeout);
    if (r.status !== 200) {
      const v = r.value || {};
      throw new WebDriverError(`${method} ${path}: ${v.error || r.status}: ${(v.message || '').split('\n')[0]}`);
    }
    return r.value;
  }

  // A command of this session.
  s(method, path, body, timeout) {
    return this.cmd(method, `/session/${this.id}${path}`, body, timeout);
  }

  navigate(url) {
    return this.s('POST', '/url', { url }, 60000);
  }
  refresh() {
    return this.s('POST', '/refresh', {}, 60000);
  }
  url() {
    return this.s('GET', '/url');
  }

  // Runs a function body in the page (`arguments` are `args`); a promise it
  // gives is waited for.
  execute(script, args = [], timeout = 20000) {
    return this.s('POST', '/execute/sync', { script, args }, timeout);
  }

  windowRect() {
    return this.s('GET', '/window/rect');
  }
  setWindowRect(rect) {
    return this.s('POST', '/window/rect', rect);
  }
  windowHandle() {
    return this.s('GET', '/window');
  }
  windowHandles() {
    return this.s('GET', '/window/handles');
  }
  async newWindow(type = 'tab') {
    return (await this.s('POST', '/window/new', { type })).handle;
  }
  switchTo(handle) {
    return this.s('POST', '/window', { handle });
  }
  closeWindow() {
    return this.s('DELETE', '/window');
  }

  // Input: the W3C actions, each source with its list of ticks.
  performActions(actions, timeout = 20000) {
    return this.s('POST', '/actions', { actions }, timeout);
  }
  releaseActions() {
    return this.s('DELETE', '/actions');
  }

  async screenshot() {
    return Buffer.from(await this.s('GET', '/screenshot'), 'base64');
  }

  async kill() {
    if (!(await stopProcess(this.child))) await stopProcess(this.child, 'SIGKILL', 2000);
  }

  // Ends the session (the browser with it) and the driver.
  async close() {
    if (this.id) await this.cmd('DELETE', `/session/${this.id}`, undefined, 10000).catch(() => {});
    this.id = null;
    await this.kill();
  }
}

module.exports = { Session, WebDriverError, startXvfb, keyValue };
