// The web build's figures (bench/run): web_level_fps, the frames a second drawn inside the Classic
// quest's first level in headless Chromium on SwiftShader, and web_download_bytes, what a player
// downloads: the site's files, each compressed as a web host sends them (gzip).
import fs from 'node:fs';
import path from 'node:path';
import zlib from 'node:zlib';

import { frames, key, launch, openSite, serve, sleep, waitForScreen } from '../tests/web/browser.mjs';

const siteDir = process.env.ZUDODO_WEB_SITE;
let download = 0;
for (const name of fs.readdirSync(siteDir)) {
  const file = path.join(siteDir, name);
  if (fs.statSync(file).isFile()) download += zlib.gzipSync(fs.readFileSync(file), { level: 9 }).length;
}

const site = await serve(siteDir);
const chromium = await launch();
try {
  // A frame is an animation frame of the page in which the game drew.
  const page = await openSite(chromium.browser, site.url, (p) => p.evaluateOnNewDocument(() => {
    window.zudodoFrames = 0;
    let drew = false;
    for (const name of ['drawArrays', 'drawElements']) {
      const draw = WebGLRenderingContext.prototype[name];
      WebGLRenderingContext.prototype[name] = function (...args) {
        drew = true;
        return draw.apply(this, args);
      };
    }
    const count = () => {
      if (drew) window.zudodoFrames++;
      drew = false;
      requestAnimationFrame(count);
    };
    requestAnimationFrame(count);
  }));
  await page.click('#play');
  if (await waitForScreen(page, 'title', 120) > 0.04) throw new Error('no title menu');
  await key(page, 'Enter');
  await sleep(1000);
  await key(page, 'Enter');
  if (await waitForScreen(page, 'tutorial', 60) > 0.04) throw new Error('no level');
  await frames(page, 30);
  const seconds = 5;
  const before = await page.evaluate(() => [window.zudodoFrames, performance.now()]);
  await sleep(seconds * 1000);
  const after = await page.evaluate(() => [window.zudodoFrames, performance.now()]);
  const fps = (after[0] - before[0]) / ((after[1] - before[1]) / 1000);
  console.log(`web_level_fps: ${fps.toFixed(1)}`);
  console.log(`web_download_bytes: ${download}`);
} finally {
  await chromium.close();
  site.close();
}
