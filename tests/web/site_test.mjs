// The web site as a player meets it, in Debian's Chromium (headless, SwiftShader): the page loads
// and shows the game's loading screen and title menu, keys start the Classic quest's first level
// and move the player, Escape pauses, the finished game's score is still in the title menu after
// a reload (the state was kept in IndexedDB), sound is running after the click, and the page
// logs no error. The screens are checked against the desktop end-to-end tests' golden pictures;
// the screenshots stay in ZUDODO_WEB_SHOTS for a person to look at.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import { after, before, test } from 'node:test';

import { key, launch, mismatch, openSite, serve, settle, shot, waitForScreen } from './browser.mjs';

const shots = process.env.ZUDODO_WEB_SHOTS || fs.mkdtempSync('/tmp/zudodo-web-shots-');
fs.mkdirSync(shots, { recursive: true });
const kSame = 0.04;
// The score panels on the right of the title menu.
const panels = { x: 0.75, y: 0.1, w: 0.25, h: 0.85 };

let site, chromium, page;
const errors = [];

// Records the page's errors and every AudioContext it makes.
async function open() {
  return openSite(chromium.browser, site.url, async (p) => {
    p.on('console', (m) => m.type() === 'error' && errors.push(m.text()));
    p.on('pageerror', (e) => errors.push(e.message));
    await p.evaluateOnNewDocument(() => {
      // A clock the test can hold: the game's timer reads performance.now.
      const realNow = performance.now.bind(performance);
      window.zudodoHeldTime = null;
      performance.now = () => window.zudodoHeldTime ?? realNow();
      const Base = window.AudioContext;
      window.zudodoAudioContexts = [];
      window.AudioContext = class extends Base {
        constructor(...args) {
          super(...args);
          window.zudodoAudioContexts.push(this);
        }
      };
    });
  });
}

async function start(p) {
  await p.click('#play');
  assert.equal(await p.evaluate(() => document.activeElement.id), 'canvas', 'the keyboard is on the canvas');
}

before(async () => {
  site = await serve(process.env.ZUDODO_WEB_SITE);
  chromium = await launch();
  page = await open();
});

after(async () => {
  await chromium?.close();
  site?.close();
});

test('the page shows the loading screen, then, with the focus, the title menu; sound runs after the click', async () => {
  assert.equal(await page.title(), 'Garvolin Zudodo');
  const canvas = await page.$eval('#canvas', (c) => [c.width, c.height, c.clientWidth, c.clientHeight]);
  assert.deepEqual(canvas, [640, 480, 640, 480]);
  // With the clock held, the game runs one update per 1/60 s the test moves it on: the loading
  // screen is taken after ten of its steps, however fast the browser is.
  await page.evaluate(() => { window.zudodoHeldTime = performance.now(); });
  await start(page);
  for (let i = 0; i < 10; i++) {
    await page.evaluate(() => new Promise((frame) => {
      window.zudodoHeldTime += 1000 / 60;
      requestAnimationFrame(() => requestAnimationFrame(frame));
    }));
  }
  assert.ok(await waitForScreen(page, 'loading', 10, 0.10, shots) <= 0.10);
  await page.evaluate(() => { window.zudodoHeldTime = null; });
  assert.ok(await waitForScreen(page, 'title', 120, kSame, shots) <= kSame);
  await settle(page);
  const audio = await page.evaluate(() => window.zudodoAudioContexts.map((c) => c.state));
  assert.ok(audio.length > 0, 'no AudioContext');
  assert.deepEqual(audio, audio.map(() => 'running'));
});

test('keys start the Classic quest\'s first level, move the player, and Escape pauses', async () => {
  // On a page of its own, whose clock was never held.
  await page.close();
  page = await open();
  await start(page);
  assert.ok(await waitForScreen(page, 'title', 120, kSame, shots) <= kSame);
  await settle(page);
  await key(page, 'Enter');
  assert.ok(await waitForScreen(page, 'quest-box', 10, kSame, shots) <= kSame);
  await settle(page);
  await key(page, 'Enter');
  assert.ok(await waitForScreen(page, 'tutorial', 60, kSame, shots) <= kSame);
  const standing = await shot(page);
  await key(page, 'ArrowRight', 2);
  const walked = await shot(page, `${shots}/walked.png`);
  assert.ok(mismatch(walked, standing, { x: 0.3, y: 0, w: 0.4, h: 0.1 }) > 0, 'the score did not change');
  assert.ok(mismatch(walked, standing, { x: 0, y: 0.3, w: 1, h: 0.5 }) > 0.003, 'the player did not move');
  await key(page, 'Escape');
  assert.ok(await waitForScreen(page, 'paused', 10, kSame, shots) <= kSame);
});

test('a finished game\'s score is in the title menu after a reload', async () => {
  // A player whose quest progress opens the path games (a state file made by the game's own save
  // code, sound off), put where the page keeps it before the game starts (IndexedDB is still
  // empty: nothing was saved yet).
  await page.close();
  page = await open();
  const state = fs.readFileSync(new URL('paths-open.gamestate', import.meta.url)).toString('base64');
  await page.evaluate((b64) => FS.writeFile('/save/.gamestate', Uint8Array.from(atob(b64), (c) => c.charCodeAt(0))), state);
  await start(page);
  assert.ok(await waitForScreen(page, 'title-paths', 120, kSame, shots) <= kSame);
  await settle(page);
  await key(page, 'ArrowDown');
  assert.ok(await waitForScreen(page, 'path-a-empty', 10, kSame, shots) <= kSame);
  const empty = await shot(page);
  await key(page, 'Enter');
  assert.ok(await waitForScreen(page, 'path-a-start', 60, kSame, shots) <= kSame);
  // The trail's first stretch runs left along the start row to a wall.
  await key(page, 'ArrowLeft', 2.5);
  await key(page, 'Escape');
  assert.ok(await waitForScreen(page, 'path-a-paused', 10, kSame, shots) <= kSame);
  await settle(page);
  const saves = await page.evaluate(() => Module.zudodoPage.saves);
  await key(page, 'ArrowLeft');
  await key(page, 'Enter');
  assert.ok(await waitForScreen(page, 'path-a-scored', 30, kSame, shots) <= kSame);
  const scored = await shot(page);
  assert.ok(mismatch(scored, empty, panels) > 0.0003, 'the score is not in the lists');
  // The state reaches IndexedDB in the background.
  await page.waitForFunction((n) => Module.zudodoPage.saves > n && !Module.zudodoPage.saving, { timeout: 30000 }, saves);

  await page.reload();
  await page.waitForSelector('#play:not([hidden])', { timeout: 120000 });
  await start(page);
  assert.ok(await waitForScreen(page, 'title-paths', 120, kSame, shots) <= kSame);
  await settle(page);
  await key(page, 'ArrowDown');
  assert.ok(await waitForScreen(page, 'path-a-scored', 10, kSame, shots) <= kSame);
  const shown = await shot(page, `${shots}/path-a-shown.png`);
  assert.ok(mismatch(shown, scored, panels) <= 0.01, 'the score is gone after the reload');
});

test('the page logs no error', () => {
  assert.deepEqual(errors, []);
});
