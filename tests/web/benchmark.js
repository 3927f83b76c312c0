// The web page's figures, measured by hand (not a test): the page's size raw
// and gzipped, the time from page load to the first frame, and the frames per
// second in each entry of a whole show in headless chromium with WebGL
// through SwiftShader at 800 x 600.
//   node tests/web/benchmark.js SITE
import fs from 'node:fs';
import path from 'node:path';
import zlib from 'node:zlib';
import { entries, openPage, serveFolder, withBrowser } from './harness.js';

const [site] = process.argv.slice(2);

function kib(bytes) {
  return `${(bytes / 1024).toFixed(1)} KiB`;
}

console.log('Page size (raw / gzip -9):');
let total = 0;
let totalGzipped = 0;
for (const name of ['index.html', 'tidewash.js', 'tidewash.wasm', 'Quietfall.MP3']) {
  const bytes = fs.readFileSync(path.join(site, name));
  const gzipped = zlib.gzipSync(bytes, { level: 9 }).length;
  console.log(`  ${name.padEnd(14)} ${kib(bytes.length).padStart(11)} / ${kib(gzipped).padStart(11)}`);
  if (name !== 'Quietfall.MP3') {
    total += bytes.length;
    totalGzipped += gzipped;
  }
}
console.log(`  ${'page'.padEnd(14)} ${kib(total).padStart(11)} / ${kib(totalGzipped).padStart(11)} (without the soundtrack)`);

await withBrowser(async (browser) => {
  const server = await serveFolder(site);
  try {
    const { page } = await openPage(browser, server.url);
    // Start is pressed as soon as it can be: the page has its WebAssembly
    // ready; the show then waits for the soundtrack's decoding.
    await page.waitForFunction(() => window.tidewash.state === 'ready', { timeout: 60000, polling: 5 });
    await page.click('#fullscreen');
    await page.click('#start');
    await page.waitForFunction(() => window.tidewash.state === 'ended', { timeout: 300000 });
    const show = await page.evaluate(() => ({
      readyAt: window.tidewash.readyAt,
      firstFrameAt: window.tidewash.firstFrameAt,
      positions: window.tidewash.framePositions,
      lines: window.tidewash.lines,
    }));
    console.log(`Page load to Start enabled: ${show.readyAt.toFixed(0)} ms`);
    console.log(`Page load to first frame: ${show.firstFrameAt.toFixed(0)} ms`);
    console.log('Frames per second of music, per entry:');
    for (const entry of entries) {
      const frames = show.positions.filter((p) => p >= entry.from && p < entry.from + entry.length).length;
      console.log(`  ${String(entry.number).padStart(2)} ${entry.scene.padEnd(16)} ${(frames * 1000 / entry.length).toFixed(1)}`);
    }
    console.log(`The page wrote: ${show.lines.join(' | ')}`);
  } finally {
    server.close();
  }
});
