// The page draws the capture program's pixels: played frame by frame at the
// capture's rate (?fps=10), it holds a frame in every schedule entry, and
// each is the still tidewash-capture renders at that rate and position,
// within the pixel tolerance, the particle clouds and the tunnel included, as
// both have drawn the same frames before.
//   node held_frames.js SITE CAPTURE SOUNDTRACK
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { capturePositions, check, consoleErrors, openPage, runTest, serveFolder, startShow, withBrowser } from './harness.js';
import { largestPixelDifference, meanAbsoluteDifference, readPng } from './images.js';

const [site, capture, soundtrack] = process.argv.slice(2);
const fps = 10;
// One time in each entry.
const times = [5000, 11000, 16000, 25000, 29500, 40000, 80000, 95000];
// The frame a capture at this rate shows at each time.
const positions = times.map((time) => capturePositions(fps, time).pop());

await runTest('held frames of every entry are the capture\'s pixels', () => withBrowser(async (browser) => {
  const server = await serveFolder(site);
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'tidewash-held-'));
  try {
    const { page, messages } = await openPage(browser, server.url, { query: `&fps=${fps}` });
    const frames = [];
    for (const [index, position] of positions.entries()) {
      const held = page.evaluate((from) => window.tidewash.hold(from), position);
      if (index === 0) await startShow(page);
      check(await held === position, `the page held its frame at ${await held} ms, not at ${position} ms`);
      const dataUrl = await page.evaluate(() => window.tidewash.heldFramePng());
      frames.push(readPng(Buffer.from(dataUrl.split(',')[1], 'base64')));
      await page.evaluate(() => window.tidewash.resume());
    }
    check(consoleErrors(messages).length === 0, `console errors: ${JSON.stringify(consoleErrors(messages))}`);

    const stills = path.join(folder, 'stills');
    execFileSync(capture, ['--stills', positions.join(','), '--fps', String(fps), '--size', '800x600', '--out', stills,
      '--soundtrack', soundtrack, '--quiet'], { stdio: 'inherit' });
    for (const [index, position] of positions.entries()) {
      const difference = meanAbsoluteDifference(frames[index], readPng(path.join(stills, `${position}.png`)));
      console.log(`${position} ms: mean absolute difference ${difference.toFixed(2)}`);
      check(difference <= largestPixelDifference, `the frame at ${position} ms differs from the capture's by ${difference.toFixed(2)}`);
    }
  } finally {
    server.close();
    fs.rmSync(folder, { recursive: true, force: true });
  }
}));
