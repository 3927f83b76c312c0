// Counts the plays in which a page stops answering for good: the minimal page
// (latency_reads.html, ?reads=none, once, stamp, every-frame or element) or the demo's own page,
// each played PLAYS times for SECONDS in the browser TIDEWASH_BROWSER names,
// with sound through the sound server at hand. A play is frozen when the
// page does not answer within 10 s, or its animation frames have stopped.
// Prints one line: "frozen F of N (WHAT)". A benchmark, not a test.
//   node latency_reads.js SITE none|once|stamp|every-frame|element|page PLAYS SECONDS
import fs from 'node:fs';
import path from 'node:path';
import { launchBrowser, openPage, serveFolder } from './harness.js';

const [site, what, plays, seconds] = process.argv.slice(2);
if (!site || !['none', 'once', 'stamp', 'every-frame', 'element', 'page'].includes(what) || !(Number(plays) > 0) || !(Number(seconds) > 0)) {
  console.error('usage: node latency_reads.js SITE none|once|stamp|every-frame|element|page PLAYS SECONDS');
  process.exit(2);
}

// A folder with the minimal page beside the site's soundtrack.
function minimalSite() {
  const folder = fs.mkdtempSync(path.join(path.dirname(path.resolve(site)), 'latency-reads-'));
  fs.copyFileSync(new URL('latency_reads.html', import.meta.url), path.join(folder, 'index.html'));
  fs.copyFileSync(path.join(site, 'Quietfall.MP3'), path.join(folder, 'Quietfall.MP3'));
  return folder;
}

// What `promise` gives, or null when it has not settled within `ms`. The
// timer goes as soon as either is done: a pending one would keep the program
// running after its work.
function within(promise, ms) {
  let timer;
  const late = new Promise((resolve) => { timer = setTimeout(() => resolve(null), ms); });
  return Promise.race([promise, late]).finally(() => clearTimeout(timer));
}

// The page's frame count, or null when it does not answer within 10 s.
function framesOf(page) {
  return within(page.evaluate(() => (window.tidewash ? window.tidewash.frames : window.frames)), 10000);
}

async function play(url) {
  const browser = await launchBrowser();
  try {
    const { page } = await openPage(browser, url, { query: what === 'page' ? '' : `&reads=${what}` });
    if (what === 'page') await page.waitForFunction(() => window.tidewash.state === 'ready', { timeout: 60000 });
    if (what === 'page') await page.click('#fullscreen');
    await page.click('#start');
    await new Promise((resolve) => { setTimeout(resolve, Number(seconds) * 1000); });
    const before = await framesOf(page);
    await new Promise((resolve) => { setTimeout(resolve, 1000); });
    const after = await framesOf(page);
    return before === null || after === null || after <= before;
  } finally {
    // A frozen page can hold up a polite close.
    browser.process()?.kill('SIGKILL');
    await within(browser.close().catch(() => {}), 5000);
  }
}

const folder = what === 'page' ? site : minimalSite();
const server = await serveFolder(folder);
let frozen = 0;
try {
  for (let i = 0; i < Number(plays); ++i) {
    if (await play(server.url)) frozen += 1;
  }
} finally {
  server.close();
  if (folder !== site) fs.rmSync(folder, { recursive: true, force: true });
}
console.log(`frozen ${frozen} of ${plays} (${what})`);
