// What the browser tests share: a small static file server for the built
// page, Debian's chromium or firefox-esr through puppeteer-core, and a page
// whose console messages and errors are kept for the test to look at.
import http from 'node:http';
import fs from 'node:fs';
import path from 'node:path';
import os from 'node:os';
import puppeteer from 'puppeteer-core';

const contentTypes = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript',
  '.wasm': 'application/wasm',
  '.MP3': 'audio/mpeg',
  '.mp3': 'audio/mpeg',
};

// Serves the files of one folder on 127.0.0.1 at a free port.
export async function serveFolder(folder) {
  const server = http.createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, 'http://host').pathname);
    const file = path.join(folder, name === '/' ? 'index.html' : name);
    fs.readFile(file, (error, bytes) => {
      if (error) {
        response.writeHead(404, { 'Content-Type': 'text/plain' });
        response.end('not found');
        return;
      }
      response.writeHead(200, { 'Content-Type': contentTypes[path.extname(file)] || 'application/octet-stream' });
      response.end(bytes);
    });
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  return { url: `http://127.0.0.1:${server.address().port}/`, close: () => server.close() };
}

// The browser the tests drive: TIDEWASH_BROWSER names it, chromium (the
// default) or firefox.
export const browserName = process.env.TIDEWASH_BROWSER || 'chromium';

// Headless Debian chromium with WebGL through SwiftShader, sound allowed
// without a gesture (or only after one), and nothing fetched from the
// network by itself.
async function launchChromium(webgl, sound) {
  const userDataDir = fs.mkdtempSync(path.join(os.tmpdir(), 'tidewash-chromium-'));
  const args = [
    '--use-angle=swiftshader',
    '--enable-unsafe-swiftshader',
    `--autoplay-policy=${sound ? 'no-user-gesture-required' : 'document-user-activation-required'}`,
    '--disable-background-networking',
    '--disable-component-update',
    '--disable-sync',
    '--no-first-run',
    `--user-data-dir=${userDataDir}`,
  ];
  if (!webgl) args.push('--disable-webgl');
  if (process.getuid && process.getuid() === 0) args.push('--no-sandbox');
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args,
    // Headless, puppeteer would mute the page; it plays where users hear it.
    ignoreDefaultArgs: ['--mute-audio'],
    defaultViewport: { width: 800, height: 600 },
  });
  const close = browser.close.bind(browser);
  browser.close = async () => {
    await close();
    fs.rmSync(userDataDir, { recursive: true, force: true });
  };
  return browser;
}

// Debian's firefox-esr through WebDriver BiDi, in a window: headless Firefox
// has no WebGL here, so it needs an X display (with_xvfb.sh gives one) and
// draws through llvmpipe. Sound may start without a gesture and full screen
// comes at once. Without WebGL it runs headless, with WebGL turned off too;
// without sound its only sound server is one that is not there.
async function launchFirefox(webgl, sound) {
  const env = { ...process.env };
  if (!sound) env.PULSE_SERVER = path.join(os.tmpdir(), 'tidewash-no-sound-server');
  return puppeteer.launch({
    browser: 'firefox',
    executablePath: process.env.FIREFOX || '/usr/bin/firefox-esr',
    headless: !webgl,
    env,
    defaultViewport: { width: 800, height: 600 },
    extraPrefsFirefox: {
      'media.autoplay.default': 0,
      'full-screen-api.allow-trusted-requests-only': false,
      'full-screen-api.transition-duration.enter': '0 0',
      'full-screen-api.transition-duration.leave': '0 0',
      'full-screen-api.warning.timeout': 0,
      'webgl.disabled': !webgl,
      ...(sound ? {} : { 'media.cubeb.backend': 'pulse' }),
    },
  });
}

// The browser TIDEWASH_BROWSER names, with WebGL or without, and with sound
// or without: chromium then starts sound only after a gesture, firefox has
// no sound device.
export function launchBrowser({ webgl = true, sound = true } = {}) {
  if (browserName === 'firefox') return launchFirefox(webgl, sound);
  if (browserName === 'chromium') return launchChromium(webgl, sound);
  throw new Error(`TIDEWASH_BROWSER is ${browserName}, not chromium or firefox`);
}

// Opens the page at an 800 x 600 viewport, its canvas 800 x 600 unless
// `size` says otherwise, and collects its console: every message as {type,
// text, url}, and uncaught page errors as type 'pageerror'. A `script` given
// runs in the page as it loads, as the page's own would; `query` is more of
// the address's query (such as '&fps=20').
export async function openPage(browser, url, { script = null, size = '800x600', query = '' } = {}) {
  const page = await browser.newPage();
  if (script) await page.evaluateOnNewDocument(script);
  const messages = [];
  page.on('console', (message) => {
    messages.push({ type: message.type(), text: message.text(), url: message.location().url || '' });
  });
  page.on('pageerror', (error) => messages.push({ type: 'pageerror', text: String(error), url: '' }));
  await page.goto(`${url}?size=${size}${query}`);
  return { page, messages };
}

// Presses Start once the page is ready, staying in the window.
export async function startShow(page) {
  await page.waitForFunction(() => window.tidewash.state === 'ready', { timeout: 60000 });
  await page.click('#fullscreen');
  await page.click('#start');
}

// The show's state in the page.
export function showState(page) {
  return page.evaluate(() => ({
    state: window.tidewash.state,
    frames: window.tidewash.frames,
    position: window.tidewash.lastFramePosition,
    lines: window.tidewash.lines.slice(),
  }));
}

// Fails the test with a message.
export function check(condition, message) {
  if (!condition) throw new Error(message);
}

// The schedule's entries as the browser tests look at them: the music
// position each one starts from and its length, in ms.
export const entries = [
  { number: 1, scene: 'particle cloud', from: 0, length: 10700 },
  { number: 2, scene: 'title lettering', from: 10700, length: 1500 },
  { number: 3, scene: 'particle cloud', from: 12200, length: 7799 },
  { number: 4, scene: 'title lettering', from: 19999, length: 6379 },
  { number: 5, scene: 'particle cloud', from: 26378, length: 5032 },
  { number: 6, scene: 'title picture', from: 31410, length: 41000 },
  { number: 7, scene: 'tunnel', from: 72410, length: 19889 },
  { number: 8, scene: 'closing scene', from: 92299, length: 31270 },
];
export const showLengthMs = 123569;

// Waits until the page has drawn a frame for at least this music position.
export function waitForPosition(page, positionMs, timeout) {
  return page.waitForFunction((target) => window.tidewash.lastFramePosition >= target,
    { timeout, polling: 10 }, positionMs);
}

// Lets the show play on for at least spanMs of music from a second in, and
// returns how far its music advanced and how long the page took, between the
// frames it drew. Measured by the times the page drew them, so that a slow
// frame rate under load does not count as a slow clock.
export async function musicAgainstPage(page, spanMs) {
  await waitForPosition(page, 1000, 30000);
  const firstPosition = await page.evaluate(() => window.tidewash.lastFramePosition);
  await waitForPosition(page, firstPosition + spanMs, 30000);
  const drawn = await page.evaluate(() => ({
    positions: window.tidewash.framePositions.slice(),
    at: window.tidewash.frameDrawnAt.slice(),
  }));
  const first = drawn.positions.indexOf(firstPosition);
  const last = drawn.positions.length - 1;
  return {
    musicMs: drawn.positions[last] - drawn.positions[first],
    pageMs: Math.round(drawn.at[last] - drawn.at[first]),
  };
}

// Holds the show on its next frame, then takes a screenshot of the canvas.
// Returns the frame's music position, the frames drawn so far, the frame's
// own pixels as PNG bytes and the screenshot as PNG bytes; the show goes on.
export async function holdAndShoot(page) {
  const position = await page.evaluate(() => window.tidewash.hold());
  const frames = await page.evaluate(() => window.tidewash.frames);
  const dataUrl = await page.evaluate(() => window.tidewash.heldFramePng());
  const canvas = await page.$('#screen');
  const screenshot = Buffer.from(await canvas.screenshot({ type: 'png' }));
  await page.evaluate(() => window.tidewash.resume());
  return { position, frames, frame: Buffer.from(dataUrl.split(',')[1], 'base64'), screenshot };
}

// The console messages that point at a fault: errors and uncaught exceptions.
export function consoleErrors(messages) {
  return messages.filter((message) => message.type === 'error' || message.type === 'pageerror');
}

// Runs a test body and reports it: "PASS name (browser)" or the failure,
// exit status 1.
export async function runTest(name, body) {
  try {
    await body();
    console.log(`PASS ${name} (${browserName})`);
  } catch (error) {
    console.error(`FAIL ${name} (${browserName}): ${error.stack || error}`);
    process.exitCode = 1;
  }
}

// Runs body(browser) with a fresh browser (launchBrowser's options) and
// closes it afterwards, also on failure, so the test process can end.
export async function withBrowser(body, options) {
  const browser = await launchBrowser(options);
  try {
    return await body(browser);
  } finally {
    await browser.close();
  }
}

// Which entry drew frame `index` of a show whose frames saw these music
// positions, and how many frames that entry had drawn by then (counting it),
// by the frame loop's switching rule: an entry ends in the first frame past
// its length, measured from the frame that started it, which is the first
// frame of the next entry's time.
export function entryOfFrame(positions, index) {
  let entry = 0;
  let entryStart = 0;
  let framesInEntry = 0;
  for (let i = 0; i <= index; ++i) {
    framesInEntry += 1;
    if (i === index) break;
    if (positions[i] - entryStart > entries[entry].length) {
      entry += 1;
      entryStart = positions[i];
      framesInEntry = 0;
    }
  }
  return { entry: entry + 1, framesInEntry };
}

// The positions of a capture's frames at a fixed rate up to the frame shown
// at timeMs: frame n sees n x 1000 / fps ms, rounded to the nearest ms.
export function capturePositions(fps, timeMs) {
  const positions = [];
  for (let n = 0; ; ++n) {
    const position = Math.floor((n * 1000 + Math.floor(fps / 2)) / fps);
    if (position > timeMs) return positions;
    positions.push(position);
  }
}

// The times of the camera path's keys, read from the demo's own table.
export function cameraKeyTimes() {
  const source = fs.readFileSync(new URL('../../assets/CameraKeys.cpp', import.meta.url), 'utf8');
  return [...source.matchAll(/^\s*\{\s*(\d+),/gm)].map((match) => Number(match[1]));
}

// The key a scene's camera moves towards after frame `index` of a show with
// these frame positions, where the scene draws the frames of the given
// entries: it steps on by at most one key a frame, when the frame's time is
// past the key's, until the key with time 0 that ends the path.
export function cameraKeyAfter(positions, index, sceneEntries, keyTimes) {
  let next = 1;
  let entry = 0;
  let entryStart = 0;
  for (let i = 0; i <= index; ++i) {
    if (sceneEntries.includes(entry + 1) && keyTimes[next] !== 0 && positions[i] > keyTimes[next]) next += 1;
    if (positions[i] - entryStart > entries[entry].length) {
      entry += 1;
      entryStart = positions[i];
    }
  }
  return next;
}
