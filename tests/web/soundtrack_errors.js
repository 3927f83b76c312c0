// Without a soundtrack the page can play, starting the show writes the
// native demo's error line, on the page and in the console, and draws
// nothing: for a missing Quietfall.MP3 and for one that is not audio. The
// only other console error allowed is the browser's own report of the
// missing file.
//   node soundtrack_errors.js SITE
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import {
  check, consoleErrors, openPage, runTest, serveFolder, showState, startShow, withBrowser,
} from './harness.js';

const [site] = process.argv.slice(2);
const errorLine = 'ERROR: Cannot find file quietfall.mp3!';

// A copy of the site with the soundtrack replaced (bytes) or left out (null).
function siteWithSoundtrack(bytes) {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'tidewash-site-'));
  for (const name of ['index.html', 'tidewash.js', 'tidewash.wasm']) {
    fs.copyFileSync(path.join(site, name), path.join(folder, name));
  }
  if (bytes !== null) fs.writeFileSync(path.join(folder, 'Quietfall.MP3'), bytes);
  return folder;
}

async function startWithout(browser, folder) {
  const server = await serveFolder(folder);
  try {
    const { page, messages } = await openPage(browser, server.url);
    await startShow(page);
    await page.waitForFunction(() => window.tidewash.state === 'ended', { timeout: 30000 });
    const state = await showState(page);
    check(state.lines.length === 1 && state.lines[0] === errorLine, `the page wrote ${JSON.stringify(state.lines)}`);
    check(state.frames === 0, `${state.frames} frames were drawn`);
    const pageLines = await page.$eval('#lines', (element) => element.textContent);
    check(pageLines === errorLine, `the page shows ${JSON.stringify(pageLines)}`);
    check(messages.some((message) => message.type === 'log' && message.text === errorLine),
      'the error line is not in the console');
    return consoleErrors(messages);
  } finally {
    server.close();
    fs.rmSync(folder, { recursive: true, force: true });
  }
}

await runTest('web page without a soundtrack writes the error line', () => withBrowser(async (browser) => {
  const errors = await startWithout(browser, siteWithSoundtrack(null));
  const others = errors.filter((error) => !(error.url.endsWith('/Quietfall.MP3') && /404/.test(error.text)));
  check(others.length === 0, `console errors besides the missing file: ${JSON.stringify(others)}`);
}));

await runTest('web page with a soundtrack that is not audio writes the error line', () => withBrowser(async (browser) => {
  const notAudio = Buffer.alloc(65536);
  for (let i = 0; i < notAudio.length; ++i) notAudio[i] = (i * 7919 + 13) % 251;
  const errors = await startWithout(browser, siteWithSoundtrack(notAudio));
  check(errors.length === 0, `console errors: ${JSON.stringify(errors)}`);
}));
