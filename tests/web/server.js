// SPDX-License-Identifier: GPL-3.0-or-later
'use strict';
// A static file server for the site on 127.0.0.1 (a secure context, so the
// service worker registers), on a port the system picks, and so an origin,
// with its own storage, of its own. stop() shuts it and drops open
// connections, so the page has only its service worker left.
//   pages: { '/name.html': html } more pages of the origin's, not the site's
//   inject: html put at the top of every page's <head>, before its scripts

const http = require('http');
const fs = require('fs');
const path = require('path');

const TYPES = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript',
  '.mjs': 'text/javascript',
  '.wasm': 'application/wasm',
  '.webmanifest': 'application/manifest+json',
  '.json': 'application/json',
  '.png': 'image/png',
  '.svg': 'image/svg+xml',
  '.ico': 'image/x-icon',
  '.css': 'text/css',
  '.txt': 'text/plain; charset=utf-8',
};

async function startServer(root, { pages = {}, inject = '' } = {}) {
  root = path.resolve(root);
  const requests = [];
  const server = http.createServer((req, res) => {
    let name;
    try {
      name = decodeURIComponent(new URL(req.url, 'http://localhost').pathname);
    } catch (e) {
      res.writeHead(400);
      return res.end();
    }
    requests.push(name);
    if (name.endsWith('/')) name += 'index.html';
    if (Object.prototype.hasOwnProperty.call(pages, name)) {
      const body = Buffer.from(pages[name]);
      res.writeHead(200, {
        'Content-Type': TYPES['.html'],
        'Content-Length': body.length,
        'Cache-Control': 'no-store',
      });
      return res.end(req.method === 'HEAD' ? undefined : body);
    }
    const file = path.join(root, path.normalize(name));
    if (file !== root && !file.startsWith(root + path.sep)) {
      res.writeHead(403);
      return res.end();
    }
    fs.readFile(file, (err, body) => {
      if (!err && inject && file.endsWith('.html'))
        body = Buffer.from(body.toString('utf8').replace(/<head>/i, m => m + inject));
      if (err) {
        res.writeHead(404, { 'Content-Type': 'text/plain' });
        return res.end('not found');
      }
      res.writeHead(200, {
        'Content-Type': TYPES[path.extname(file).toLowerCase()] || 'application/octet-stream',
        'Content-Length': body.length,
        'Cache-Control': 'no-cache',
      });
      res.end(req.method === 'HEAD' ? undefined : body);
    });
  });
  await new Promise((resolve, reject) => {
    server.once('error', reject);
    server.listen(0, '127.0.0.1', resolve);
  });
  const origin = `http://127.0.0.1:${server.address().port}`;
  let stopped = false;
  return {
    origin,
    url: name => origin + '/' + name,
    requests,
    async stop() {
      if (stopped) return;
      stopped = true;
      const closed = new Promise(resolve => server.close(resolve));
      server.closeAllConnections();
      await closed;
    },
  };
}

module.exports = { startServer };
