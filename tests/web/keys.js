// The keys, as in the native demo: Enter starts the show from the page,
// Space writes the music position as a line of digits, Escape ends the show
// with the "FPS: " line and no frame is drawn after it.
//   node keys.js SITE
import {
  check, consoleErrors, openPage, runTest, serveFolder, showState, waitForPosition, withBrowser,
} from './harness.js';

const [site] = process.argv.slice(2);

await runTest('web page keys: Enter starts, Space writes the position, Escape ends', () => withBrowser(async (browser) => {
  const server = await serveFolder(site);
  try {
    const { page, messages } = await openPage(browser, server.url);
    await page.waitForFunction(() => window.tidewash.state === 'ready', { timeout: 60000 });
    await page.click('#fullscreen');  // stay in the window; the box keeps the focus
    await page.keyboard.press('Enter');
    await waitForPosition(page, 2000, 60000);

    const written = [];
    for (let press = 0; press < 2; ++press) {
      const before = (await showState(page)).position;
      await page.keyboard.press(' ');  // Space, by the key it types (firefox knows no other name)
      await page.waitForFunction((count) => window.tidewash.lines.length > count, { timeout: 10000 }, press);
      const after = (await showState(page)).position;
      const line = (await showState(page)).lines[press];
      check(/^\d+$/.test(line), `Space wrote ${JSON.stringify(line)}`);
      const position = Number(line);
      check(position >= before && position <= after + 1000,
        `Space wrote ${position} while the frames showed ${before} to ${after} ms`);
      written.push(position);
      await new Promise((resolve) => setTimeout(resolve, 1000));
    }
    check(written[1] > written[0], `the second position ${written[1]} is not after the first ${written[0]}`);

    await page.keyboard.press('Escape');
    await page.waitForFunction(() => window.tidewash.state === 'ended', { timeout: 10000 });
    const ended = await showState(page);
    check(ended.lines.length === 3 && /^FPS: \d+$/.test(ended.lines[2]),
      `after Escape the page wrote ${JSON.stringify(ended.lines)}`);
    check(ended.position < 60000, `Escape did not end the show (it reached ${ended.position} ms)`);
    await new Promise((resolve) => setTimeout(resolve, 1000));
    const later = await showState(page);
    check(later.frames === ended.frames, `${later.frames - ended.frames} frames were drawn after the end`);
    const pageLines = await page.$eval('#lines', (element) => element.textContent);
    check(pageLines === ended.lines.join('\n'), `the page shows ${JSON.stringify(pageLines)}`);
    for (const line of ended.lines) {
      check(messages.some((message) => message.type === 'log' && message.text === line), `"${line}" is not in the console`);
    }
    const errors = consoleErrors(messages);
    check(errors.length === 0, `console errors: ${JSON.stringify(errors)}`);
  } finally {
    server.close();
  }
}));
