// The page plays the whole show: the music position advances in real time
// and never goes back, a screenshot in each kind of entry shows the frame the
// page drew for its position (the canvas is shown as drawn, opaque and
// unscaled), and the show ends by itself with the "FPS: " line, with no
// console errors. Writes the screenshots and their positions to SHOTS for
// matches_capture.js.
//   node plays.js SITE SHOTS
import fs from 'node:fs';
import path from 'node:path';
import {
  cameraKeyAfter, cameraKeyTimes, capturePositions, check, consoleErrors, entries, entryOfFrame, holdAndShoot, openPage, runTest, serveFolder, showLengthMs, showState,
  startShow, waitForPosition, withBrowser,
} from './harness.js';
import { meanAbsoluteDifference, readPng } from './images.js';

const [site, shotsFolder] = process.argv.slice(2);

// The index of the frame in which the last entry ends, counting entries as
// the demo does (each from the first frame past the end of the one before),
// or -1. How far past the schedule's length that is depends on the frames'
// times, which a loaded machine stretches.
function frameEndingTheShow(positions) {
  let entry = 0;
  let entryStart = 0;
  for (let i = 0; i < positions.length; ++i) {
    if (positions[i] - entryStart <= entries[entry].length) continue;
    if (entry === entries.length - 1) return i;
    entry += 1;
    entryStart = positions[i];
  }
  return -1;
}
const keyTimes = cameraKeyTimes();

// One screenshot per kind of scene, each well inside its entry. The title
// lettering's background fades by the previous frame's time while it fades,
// so its picture is taken in its second entry, where the background stays
// black and the logo spins by the time alone.
const shots = [
  { name: 'particles', entry: 1, at: 6000, latest: 10000, camera: [1, 3, 5] },
  { name: 'lettering', entry: 4, at: 21500, latest: 26000 },
  { name: 'picture', entry: 6, at: 50000, latest: 71000 },
  { name: 'tunnel', entry: 7, at: 82000, latest: 91000 },
  { name: 'grid', entry: 8, at: 105000, latest: 122000 },
];

// The position read twice, some wall-clock seconds apart.
async function sampleRate(page) {
  const first = { position: (await showState(page)).position, at: Date.now() };
  await new Promise((resolve) => setTimeout(resolve, 4000));
  const second = { position: (await showState(page)).position, at: Date.now() };
  return { musicMs: second.position - first.position, wallMs: second.at - first.at };
}

await runTest('web page plays the whole show', () => withBrowser(async (browser) => {
  fs.mkdirSync(shotsFolder, { recursive: true });
  const server = await serveFolder(site);
  try {
    const { page, messages } = await openPage(browser, server.url);
    await startShow(page);
    await waitForPosition(page, 1000, 60000);

    const rate = await sampleRate(page);
    // The position follows frames, so it is off by up to a frame at each end.
    check(Math.abs(rate.musicMs - rate.wallMs) <= rate.wallMs * 0.05 + 200,
      `the music advanced ${rate.musicMs} ms in ${rate.wallMs} ms of wall-clock time`);

    const taken = [];
    for (const shot of shots) {
      await waitForPosition(page, shot.at, 200000);
      let held = await holdAndShoot(page);
      // A frame that came long after the one before can leave the camera a
      // key behind the path, which it then catches up in the next frames; a
      // steady rate never does. Such a frame is passed over for a later one.
      while (shot.camera && held.position < shot.latest) {
        const positions = await page.evaluate(() => window.tidewash.framePositions);
        const key = cameraKeyAfter(positions, held.frames - 1, shot.camera, keyTimes);
        const steady = capturePositions(60, held.position);
        const steadyKey = cameraKeyAfter(steady, steady.length - 1, shot.camera, keyTimes);
        if (key === steadyKey) break;
        console.log(`${shot.name}: the camera is behind its path at ${held.position} ms; taking a later frame`);
        held = await holdAndShoot(page);
      }
      const entry = entries[shot.entry - 1];
      check(held.position >= entry.from && held.position <= shot.latest,
        `the ${shot.name} screenshot came at ${held.position} ms, outside ${entry.from} to ${shot.latest} ms`);
      const difference = meanAbsoluteDifference(readPng(held.frame), readPng(held.screenshot));
      check(difference <= 1, `the ${shot.name} screenshot differs from the frame drawn by ${difference.toFixed(2)} on average`);
      fs.writeFileSync(path.join(shotsFolder, `${shot.name}.png`), held.screenshot);
      // The frames this entry had drawn up to the held one, which move the
      // tunnel on and the camera along.
      const positions = await page.evaluate(() => window.tidewash.framePositions);
      const drawnBy = entryOfFrame(positions, held.frames - 1);
      check(positions[held.frames - 1] === held.position && drawnBy.entry === shot.entry,
        `the ${shot.name} screenshot at ${held.position} ms is not a frame of entry ${shot.entry}`);
      taken.push({ name: shot.name, entry: shot.entry, position: held.position, frames: held.frames,
        framesInEntry: drawnBy.framesInEntry,
        cameraKey: shot.camera ? cameraKeyAfter(positions, held.frames - 1, shot.camera, keyTimes) : null });
      console.log(`${shot.name}: ${held.position} ms, ${held.frames} frames so far, ${drawnBy.framesInEntry} in its entry`);
    }
    fs.writeFileSync(path.join(shotsFolder, 'shots.json'), JSON.stringify(taken, null, 1));

    await page.waitForFunction(() => window.tidewash.state === 'ended', { timeout: 200000 });
    const state = await showState(page);
    const positions = await page.evaluate(() => window.tidewash.framePositions);
    check(state.lines.length === 1 && /^FPS: \d+$/.test(state.lines[0]),
      `the page wrote ${JSON.stringify(state.lines)}, not one "FPS: " line`);
    const fps = Number(state.lines[0].slice(5));
    const last = positions[positions.length - 1];
    const expected = Math.floor((positions.length * 1000) / last);
    check(Math.abs(fps - expected) <= 1, `FPS: ${fps}, but ${positions.length} frames to ${last} ms make ${expected}`);
    check(last > showLengthMs, `the show ended at ${last} ms, before the schedule's end at ${showLengthMs} ms`);
    const ending = frameEndingTheShow(positions);
    check(ending === positions.length - 1,
      `the show ended at ${last} ms, where the frame at ${positions[ending]} ms ended its last entry`);
    for (let i = 1; i < positions.length; ++i) {
      check(positions[i] >= positions[i - 1], `the position went back from ${positions[i - 1]} to ${positions[i]} ms`);
    }
    const pageLines = await page.$eval('#lines', (element) => element.textContent);
    check(pageLines === state.lines[0], `the page shows ${JSON.stringify(pageLines)}`);
    check(messages.some((message) => message.type === 'log' && message.text === state.lines[0]),
      'the "FPS: " line is not in the console');
    const errors = consoleErrors(messages);
    check(errors.length === 0, `console errors: ${JSON.stringify(errors)}`);
    console.log(`${state.lines[0]} over ${positions.length} frames`);
  } finally {
    server.close();
  }
}));
