// The page where the browser lacks something the show needs. Without WebGL,
// starting writes the native demo's "ERROR: Cannot open the OpenGL window: "
// line with the reason and draws nothing. Without sound (firefox with no
// sound device; chromium refusing sound until a gesture, the show started
// without one), the show plays in silence and in time, the page says so in
// one line for a few seconds and in the console, Space and Escape work; in
// chromium a later click lets the sound join.
//   node fallbacks.js SITE
import {
  browserName, check, consoleErrors, musicAgainstPage, openPage, runTest, serveFolder, showState, startShow, waitForPosition,
  withBrowser,
} from './harness.js';

const [site] = process.argv.slice(2);
const noticeLine = 'No sound: the show plays in silence.';

// Presses Start from the page's own script, and says so in the console.
function startWithoutGesture() {
  const poll = setInterval(() => {
    if (!window.tidewash || window.tidewash.state !== 'ready') return;
    clearInterval(poll);
    document.getElementById('fullscreen').checked = false;
    window.tidewash.start();
    console.info('started without a gesture');
  }, 20);
}

// Waits for a console message without touching the page.
async function waitForMessage(messages, text, timeout) {
  for (const end = Date.now() + timeout; Date.now() < end;) {
    if (messages.some((message) => message.text === text)) return;
    await new Promise((resolve) => setTimeout(resolve, 50));
  }
  throw new Error(`no "${text}" in the console within ${timeout} ms`);
}

await runTest('web page without WebGL writes the error line', () => withBrowser(async (browser) => {
  const server = await serveFolder(site);
  try {
    const { page, messages } = await openPage(browser, server.url);
    await startShow(page);
    await page.waitForFunction(() => window.tidewash.state === 'ended', { timeout: 30000 });
    const state = await showState(page);
    check(state.lines.length === 1 && /^ERROR: Cannot open the OpenGL window: \S/.test(state.lines[0]),
      `the page wrote ${JSON.stringify(state.lines)}`);
    check(state.frames === 0, `${state.frames} frames were drawn`);
    const pageLines = await page.$eval('#lines', (element) => element.textContent);
    check(pageLines === state.lines[0], `the page shows ${JSON.stringify(pageLines)}`);
    const errors = consoleErrors(messages);
    check(errors.length === 0, `console errors: ${JSON.stringify(errors)}`);
    console.log(state.lines[0]);
  } finally {
    server.close();
  }
}, { webgl: false }));

await runTest('web page without sound plays in silence, in time', () => withBrowser(async (browser) => {
  const server = await serveFolder(site);
  try {
    // chromium: the page's own script presses Start, which is no gesture;
    // what puppeteer does in the page counts as one, so it waits till then.
    const { page, messages } = await openPage(browser, server.url,
      { script: browserName === 'chromium' ? startWithoutGesture : null });
    if (browserName === 'chromium') await waitForMessage(messages, 'started without a gesture', 60000);
    else await startShow(page);
    await page.waitForFunction(() => window.tidewash.silent, { timeout: 30000 });
    const notice = await page.$eval('#notice', (element) => (element.hidden ? '' : element.textContent));
    check(notice === noticeLine, `the page says ${JSON.stringify(notice)}`);
    check(messages.some((message) => message.text === noticeLine), 'the notice is not in the console');
    // It goes after a few seconds, so as not to cover the show.
    await page.waitForFunction(() => document.getElementById('notice').hidden, { timeout: 15000 });
    const { musicMs, pageMs } = await musicAgainstPage(page, 3000);
    check(Math.abs(musicMs - pageMs) <= pageMs * 0.05 + 200, `the show advanced ${musicMs} ms in ${pageMs} ms`);

    if (browserName === 'chromium') {
      await page.mouse.click(400, 300);
      await page.waitForFunction(() => !window.tidewash.silent, { timeout: 10000 });
      const joined = (await showState(page)).position;
      await waitForPosition(page, joined + 1000, 30000);
    }

    await page.keyboard.press(' ');
    await page.waitForFunction(() => window.tidewash.lines.length === 1, { timeout: 10000 });
    await page.keyboard.press('Escape');
    await page.waitForFunction(() => window.tidewash.state === 'ended', { timeout: 10000 });
    const state = await showState(page);
    check(/^\d+$/.test(state.lines[0]) && /^FPS: \d+$/.test(state.lines[1]) && state.lines.length === 2,
      `the page wrote ${JSON.stringify(state.lines)}`);
    const positions = await page.evaluate(() => window.tidewash.framePositions);
    for (let i = 1; i < positions.length; ++i) {
      check(positions[i] >= positions[i - 1], `the position went back from ${positions[i - 1]} to ${positions[i]} ms`);
    }
    const errors = consoleErrors(messages);
    check(errors.length === 0, `console errors: ${JSON.stringify(errors)}`);
  } finally {
    server.close();
  }
}, { sound: false }));
