// browser.mjs: the web site in a real browser, for the tests (site_test.mjs) and the benchmarks
// (bench/web_bench.mjs): the site served on 127.0.0.1, Debian's Chromium started headless with a
// fresh profile and drawing with SwiftShader, driven through puppeteer-core; and the canvas's
// pictures compared with the desktop end-to-end tests' golden pictures (tests/e2e/golden).
//
// ZUDODO_WEB_SITE names the site folder (build/web/site), ZUDODO_NODE_MODULES the folder that
// holds puppeteer-core (scripts/web installs it), ZUDODO_CHROMIUM the browser (/usr/bin/chromium).
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import zlib from 'node:zlib';
import { createRequire } from 'node:module';

const here = path.dirname(new URL(import.meta.url).pathname);
export const goldenDir = path.join(here, '..', 'e2e', 'golden');
const modules = process.env.ZUDODO_NODE_MODULES || path.join(here, 'node_modules');
const puppeteer = createRequire(path.join(modules, 'index.js'))('puppeteer-core');

export const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

const types = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm',
  '.png': 'image/png', '.data': 'application/octet-stream', '.txt': 'text/plain' };

// Serves the folder's files on a free port of 127.0.0.1, as any static web host would.
export async function serve(root) {
  const server = http.createServer((request, response) => {
    let file = path.join(root, path.normalize(decodeURIComponent(new URL(request.url, 'http://h').pathname)));
    if (file.endsWith(path.sep)) file += 'index.html';
    fs.readFile(file, (error, body) => {
      if (error) {
        response.writeHead(404).end();
        return;
      }
      response.writeHead(200, { 'Content-Type': types[path.extname(file)] || 'application/octet-stream' });
      response.end(body);
    });
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  return { url: `http://127.0.0.1:${server.address().port}/`, close: () => server.close() };
}

// Chromium without a sandbox (root), network look-ups or a first-run dialog, in a profile of its
// own that goes with it.
export async function launch() {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'zudodo-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: process.env.ZUDODO_CHROMIUM || '/usr/bin/chromium',
    headless: true,
    userDataDir: profile,
    args: ['--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader',
      '--disable-background-networking', '--disable-component-update', '--disable-sync',
      '--no-first-run', '--disable-gpu-vsync-throttling'],
  });
  return {
    browser,
    close: async () => {
      await browser.close();
      fs.rmSync(profile, { recursive: true, force: true });
    },
  };
}

// Opens the page at a size where the canvas shows at its own 640 x 480, and waits until the
// game may be started; `prepare` runs on the new page before it loads.
export async function openSite(browser, url, prepare) {
  const page = await browser.newPage();
  if (prepare) await prepare(page);
  await page.setViewport({ width: 640, height: 600 });
  await page.goto(url);
  const footer = await page.$eval('footer', (f) => f.offsetHeight);
  await page.setViewport({ width: 640, height: 480 + footer });
  await page.waitForSelector('#play:not([hidden])', { timeout: 120000 });
  return page;
}

// An RGB picture: width, height and 3 bytes a pixel.
export function decodePng(bytes) {
  let at = 8, width = 0, height = 0, type = 0;
  const data = [];
  while (at < bytes.length) {
    const length = bytes.readUInt32BE(at), kind = bytes.toString('latin1', at + 4, at + 8);
    const chunk = bytes.subarray(at + 8, at + 8 + length);
    if (kind === 'IHDR') [width, height, type] = [chunk.readUInt32BE(0), chunk.readUInt32BE(4), chunk[9]];
    if (kind === 'IDAT') data.push(chunk);
    at += 12 + length;
  }
  const channels = { 2: 3, 6: 4 }[type];
  if (!channels || bytes[24] !== 8 || bytes[28] !== 0) throw new Error('only 8-bit RGB(A) PNG files are read');
  const raw = zlib.inflateSync(Buffer.concat(data)), stride = width * channels;
  const out = Buffer.alloc(width * height * channels);
  for (let y = 0; y < height; y++) {
    const filter = raw[y * (stride + 1)], row = raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1));
    for (let x = 0; x < stride; x++) {
      const a = x >= channels ? out[y * stride + x - channels] : 0, b = y ? out[(y - 1) * stride + x] : 0;
      const c = x >= channels && y ? out[(y - 1) * stride + x - channels] : 0;
      const p = a + b - c, pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
      const predictor = [0, a, b, (a + b) >> 1, pa <= pb && pa <= pc ? a : pb <= pc ? b : c][filter];
      out[y * stride + x] = (row[x] + predictor) & 255;
    }
  }
  const rgb = Buffer.alloc(width * height * 3);
  for (let i = 0; i < width * height; i++) out.copy(rgb, i * 3, i * channels, i * channels + 3);
  return { width, height, rgb };
}

// The picture averaged down to w x h, as the golden pictures are kept.
export function reduce(picture, w = 160, h = 120) {
  const rgb = Buffer.alloc(w * h * 3);
  for (let y = 0; y < h; y++) {
    for (let x = 0; x < w; x++) {
      const y0 = Math.floor(y * picture.height / h), y1 = Math.max(y0 + 1, Math.floor((y + 1) * picture.height / h));
      const x0 = Math.floor(x * picture.width / w), x1 = Math.max(x0 + 1, Math.floor((x + 1) * picture.width / w));
      for (let c = 0; c < 3; c++) {
        let sum = 0;
        for (let py = y0; py < y1; py++) for (let px = x0; px < x1; px++) sum += picture.rgb[(py * picture.width + px) * 3 + c];
        rgb[(y * w + x) * 3 + c] = Math.floor(sum / ((y1 - y0) * (x1 - x0)));
      }
    }
  }
  return { width: w, height: h, rgb };
}

// The share of pixels in a region (fractions of the size) whose colour differs by more than
// `tolerance` in any channel.
export function mismatch(a, b, region = { x: 0, y: 0, w: 1, h: 1 }, tolerance = 40) {
  if (a.width !== b.width || a.height !== b.height) return 1;
  const x0 = Math.floor(region.x * a.width), y0 = Math.floor(region.y * a.height);
  const x1 = Math.min(a.width, Math.ceil((region.x + region.w) * a.width));
  const y1 = Math.min(a.height, Math.ceil((region.y + region.h) * a.height));
  let differing = 0;
  for (let y = y0; y < y1; y++) {
    for (let x = x0; x < x1; x++) {
      const at = (y * a.width + x) * 3;
      differing += [0, 1, 2].some((c) => Math.abs(a.rgb[at + c] - b.rgb[at + c]) > tolerance);
    }
  }
  return differing / ((x1 - x0) * (y1 - y0));
}

// The canvas as shown, at its 640 x 480; the PNG is kept in `keep` when given.
export async function shot(page, keep) {
  const box = await page.$eval('#canvas', (c) => {
    const r = c.getBoundingClientRect();
    return { x: r.left, y: r.top, width: r.width, height: r.height };
  });
  const png = Buffer.from(await page.screenshot({ clip: box }));
  if (keep) fs.writeFileSync(keep, png);
  return decodePng(png);
}

// Waits until the canvas shows the golden screen within `share`; the best mismatch seen.
export async function waitForScreen(page, golden, seconds, share = 0.04, keep) {
  const want = decodePng(fs.readFileSync(path.join(goldenDir, golden + '.png')));
  const deadline = Date.now() + seconds * 1000;
  let best = 1;
  do {
    const now = await shot(page);
    best = Math.min(best, mismatch(reduce(now), want));
    if (best <= share) break;
    await sleep(50);
  } while (Date.now() < deadline);
  if (keep) await shot(page, path.join(keep, golden + (best <= share ? '' : '-MISMATCH') + '.png'));
  return best;
}

// Waits for the page's next frames: each runs one pass of the game's loop.
export const frames = (page, n = 3) => page.evaluate((count) => new Promise((done) => {
  const next = () => (count-- > 0 ? requestAnimationFrame(next) : done());
  next();
}), n);

// Holds a key for the given seconds and at least a few of the game's frames, however slowly the
// browser draws them, and lets as many pass after it.
export async function key(page, name, seconds = 0) {
  await page.keyboard.down(name);
  await Promise.all([frames(page), sleep(seconds * 1000)]);
  await page.keyboard.up(name);
  await frames(page);
}

// Waits until the canvas holds still (a menu's opening slide has ended) for up to `seconds`.
export async function settle(page, seconds = 10) {
  const deadline = Date.now() + seconds * 1000;
  let before = reduce(await shot(page));
  while (Date.now() < deadline) {
    await sleep(250);
    const now = reduce(await shot(page));
    if (mismatch(now, before) < 0.005) return;
    before = now;
  }
}
