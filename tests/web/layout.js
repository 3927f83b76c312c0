// The page before and around the show: the title and a start button, a WebGL
// context without alpha, Start going full screen, and the picture at 4:3
// filling the height of a wide screen with black beside it.
//   node layout.js SITE
import {
  check, consoleErrors, openPage, runTest, serveFolder, showState, waitForPosition, withBrowser,
} from './harness.js';
import { brightPixels, readPng } from './images.js';

const [site] = process.argv.slice(2);

await runTest('web page layout: title, full screen, opaque 4:3 picture with black beside it', () => withBrowser(async (browser) => {
  const server = await serveFolder(site);
  try {
    const { page, messages } = await openPage(browser, server.url);
    await page.setViewport({ width: 1280, height: 720 });
    await page.waitForFunction(() => window.tidewash.state === 'ready', { timeout: 60000 });
    check(await page.title() === 'Vorn Tidewash Demo v 0.3', `the page's title is "${await page.title()}"`);
    const heading = await page.$eval('#front h1', (element) => element.textContent);
    check(heading === 'Vorn Tidewash Demo v 0.3', `the page shows the title "${heading}"`);
    check(await page.$eval('#fullscreen', (box) => box.checked), 'full screen is not the default');

    await page.click('#start');
    await waitForPosition(page, 3000, 60000);
    const fullscreen = await page.evaluate(() => (document.fullscreenElement ? document.fullscreenElement.id : ''));
    check(fullscreen === 'stage', `Start did not go full screen (full screen element: "${fullscreen}")`);
    const alpha = await page.evaluate(() => document.getElementById('screen').getContext('webgl').getContextAttributes().alpha);
    check(alpha === false, 'the WebGL context has an alpha channel');

    const viewport = await page.evaluate(() => ({ width: window.innerWidth, height: window.innerHeight }));
    const box = await page.$eval('#screen', (canvas) => {
      const rect = canvas.getBoundingClientRect();
      return { x: rect.x, y: rect.y, width: rect.width, height: rect.height };
    });
    check(Math.abs(box.height - viewport.height) <= 1 && Math.abs(box.width - viewport.height * 4 / 3) <= 1,
      `the picture is ${box.width} x ${box.height} in a ${viewport.width} x ${viewport.height} window`);
    check(Math.abs(box.x - (viewport.width - box.width) / 2) <= 1, `the picture starts at x = ${box.x}`);

    await page.evaluate(() => window.tidewash.hold());
    const screenshot = readPng(Buffer.from(await page.screenshot({ type: 'png' })));
    await page.evaluate(() => window.tidewash.resume());
    const barWidth = Math.floor(box.x) - 1;
    let brightestBeside = 0;
    for (let y = 0; y < screenshot.height; ++y) {
      for (const x0 of [0, screenshot.width - barWidth]) {
        for (let x = x0; x < x0 + barWidth; ++x) {
          const i = (y * screenshot.width + x) * 4;
          brightestBeside = Math.max(brightestBeside, screenshot.data[i], screenshot.data[i + 1], screenshot.data[i + 2]);
        }
      }
    }
    check(barWidth > 100 && brightestBeside === 0, `beside the picture the brightest value is ${brightestBeside}`);
    const bright = brightPixels(screenshot, 128);
    check(bright.share > 0.002, `the particles' picture has only ${bright.share} bright pixels`);

    await page.keyboard.press('Escape');
    // Without the Keyboard Lock API (firefox) the first Escape only leaves
    // full screen, and the next ends the show.
    if (!await page.evaluate(() => Boolean(navigator.keyboard && navigator.keyboard.lock))) {
      await page.waitForFunction(() => !document.fullscreenElement, { timeout: 10000 });
      await page.keyboard.press('Escape');
    }
    await page.waitForFunction(() => window.tidewash.state === 'ended', { timeout: 10000 });
    const state = await showState(page);
    check(/^FPS: \d+$/.test(state.lines[state.lines.length - 1]), `after Escape the page wrote ${JSON.stringify(state.lines)}`);
    const errors = consoleErrors(messages);
    check(errors.length === 0, `console errors: ${JSON.stringify(errors)}`);
  } finally {
    server.close();
  }
}));
