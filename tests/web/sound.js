// The page with sound through a real sound server (with_sound_server.sh
// starts one and records its sink): the show starts with sound, never in
// silence; its music moves on, never ahead of the page's clock; and the server's
// sink hears the music.
//   with_sound_server.sh KIND RECORDING node sound.js SITE RECORDING
import fs from 'node:fs';
import {
  check, consoleErrors, musicAgainstPage, openPage, runTest, serveFolder, showState, startShow, withBrowser,
} from './harness.js';

const [site, recording] = process.argv.slice(2);
// The soundtrack's first seconds are at an RMS of 0.05 to 0.07 of full
// scale; a sink that hears nothing records 0.
const heardRms = 0.01;

// The RMS of the recording so far (raw s16le), as a share of full scale.
function recordedRms() {
  const bytes = fs.readFileSync(recording);
  const samples = new Int16Array(bytes.buffer, bytes.byteOffset, Math.floor(bytes.length / 2));
  let sum = 0;
  for (const sample of samples) sum += sample * sample;
  return samples.length ? Math.sqrt(sum / samples.length) / 32768 : 0;
}

await runTest('web page plays its sound through the sound server', () => withBrowser(async (browser) => {
  const server = await serveFolder(site);
  try {
    const { page, messages } = await openPage(browser, server.url);
    await startShow(page);
    // The music is the clock, and a loaded machine starves the null sink's
    // own timer: in CI the sink played 0.85 of real time. What this catches
    // is a show that follows the page's clock ahead of the music, or music
    // that hardly moves.
    const { musicMs, pageMs } = await musicAgainstPage(page, 4000);
    check(musicMs >= pageMs * 0.5 && musicMs <= pageMs * 1.05 + 200, `the music advanced ${musicMs} ms in ${pageMs} ms`);
    check(!(await page.evaluate(() => window.tidewash.silent)), 'the page plays in silence');
    const rms = recordedRms();
    check(rms >= heardRms, `the sink heard an RMS of ${rms.toFixed(4)}`);
    await page.keyboard.press('Escape');
    await page.waitForFunction(() => window.tidewash.state === 'ended', { timeout: 10000 });
    const state = await showState(page);
    check(/^FPS: \d+$/.test(state.lines[0]), `the page wrote ${JSON.stringify(state.lines)}`);
    check(!messages.some((message) => /^No sound/.test(message.text)), 'the page said it had no sound');
    const errors = consoleErrors(messages);
    check(errors.length === 0, `console errors: ${JSON.stringify(errors)}`);
    console.log(`music ${musicMs} ms in ${pageMs} ms; the sink heard an RMS of ${rms.toFixed(4)}`);
  } finally {
    server.close();
  }
}));
