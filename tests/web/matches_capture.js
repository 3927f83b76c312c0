// The page's screenshots (from plays.js) look like what the capture program
// renders for the same frame: nearly the same pixels where the picture
// depends on the time alone (the lettering entry's spinning logo, the title
// picture, the grid), taken at the music position the page reported for each;
// the same mean colour and the same colours and bright pixels in the same
// places where it also depends on the frame rate (the particle cloud's camera
// catches up one key per frame; the tunnel scrolls per frame, so its still is
// the capture's frame as many frames into the tunnel as the page's).
//   node matches_capture.js SHOTS CAPTURE SOUNDTRACK
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import {
  cameraKeyAfter, cameraKeyTimes, capturePositions, check, entries, entryOfFrame, runTest,
} from './harness.js';
import {
  blockColours, brightPixels, largestPixelDifference, meanAbsoluteDifference, meanColour, readPng,
} from './images.js';

const [shotsFolder, capture, soundtrack] = process.argv.slice(2);

// How each shot is compared: by its pixels where the picture depends on the
// time alone; by coarser features where it also depends on the frame rate.
// The particle cloud is dark with bright dots, so where its bright pixels lie
// is a feature of its own.
const comparisons = {
  particles: ['colour', 'blocks', 'bright'],
  lettering: ['pixels'],
  picture: ['pixels'],
  tunnel: ['colour', 'blocks'],
  grid: ['pixels'],
};
const largestColourDifference = 5;       // per channel of the mean colour
const blockColumns = 8;                  // a grid of 8 x 6 blocks of 100 x 100 pixels
const blockRows = 6;
const largestBlockDifference = 14;       // per channel of any block's mean colour
const largestMeanBlockDifference = 3;    // per channel, over all blocks
const brightThreshold = 160;
const largestCentreShift = 0.04;         // of the picture's width or height
const largestQuarterShift = 0.06;        // of the bright pixels, per quarter

function comparePixels(name, shot, still) {
  const difference = meanAbsoluteDifference(shot, still);
  console.log(`${name}: mean absolute difference ${difference.toFixed(2)}`);
  check(difference <= largestPixelDifference,
    `${name}: the screenshot differs from the capture by ${difference.toFixed(2)} per channel on average`);
}

function compareColour(name, shot, still) {
  const colours = [meanColour(shot), meanColour(still)];
  console.log(`${name}: mean colour ${colours.map((c) => c.map((v) => v.toFixed(1)).join('/')).join(' vs ')}`);
  for (let channel = 0; channel < 3; ++channel) {
    const difference = Math.abs(colours[0][channel] - colours[1][channel]);
    check(difference <= largestColourDifference, `${name}: mean colour channel ${channel} differs by ${difference.toFixed(1)}`);
  }
}

function compareBlocks(name, shot, still) {
  const blocks = [blockColours(shot, blockColumns, blockRows), blockColours(still, blockColumns, blockRows)];
  let largest = 0;
  let sum = 0;
  blocks[0].forEach((colour, block) => colour.forEach((value, channel) => {
    const difference = Math.abs(value - blocks[1][block][channel]);
    largest = Math.max(largest, difference);
    sum += difference;
  }));
  const mean = sum / (blocks[0].length * 3);
  console.log(`${name}: block colours differ by ${largest.toFixed(1)} at most, ${mean.toFixed(2)} on average`);
  check(largest <= largestBlockDifference, `${name}: a block's mean colour differs by ${largest.toFixed(1)}`);
  check(mean <= largestMeanBlockDifference, `${name}: the blocks' mean colours differ by ${mean.toFixed(2)} on average`);
}

function compareBright(name, shot, still) {
  const [page, captured] = [brightPixels(shot, brightThreshold), brightPixels(still, brightThreshold)];
  console.log(`${name}: bright share ${page.share.toFixed(4)} vs ${captured.share.toFixed(4)}, ` +
    `centre ${page.centreX.toFixed(3)},${page.centreY.toFixed(3)} vs ${captured.centreX.toFixed(3)},${captured.centreY.toFixed(3)}, ` +
    `quarters ${page.quarters.map((q) => q.toFixed(2)).join('/')} vs ${captured.quarters.map((q) => q.toFixed(2)).join('/')}`);
  check(captured.share > 0.001, `${name}: the capture has almost no bright pixels`);
  check(page.share >= captured.share * 0.75 && page.share <= captured.share / 0.75,
    `${name}: ${page.share.toFixed(4)} of the screenshot is bright, ${captured.share.toFixed(4)} of the capture`);
  check(Math.abs(page.centreX - captured.centreX) <= largestCentreShift &&
    Math.abs(page.centreY - captured.centreY) <= largestCentreShift,
    `${name}: the bright pixels' centre moved from ${captured.centreX.toFixed(3)},${captured.centreY.toFixed(3)} ` +
    `to ${page.centreX.toFixed(3)},${page.centreY.toFixed(3)}`);
  for (let quarter = 0; quarter < 4; ++quarter) {
    const shift = Math.abs(page.quarters[quarter] - captured.quarters[quarter]);
    check(shift <= largestQuarterShift, `${name}: quarter ${quarter} holds ${shift.toFixed(2)} more or less of the bright pixels`);
  }
}

const compare = { pixels: comparePixels, colour: compareColour, blocks: compareBlocks, bright: compareBright };

// The frame rate for a number of frames over a span of music, 1 to 1000.
function rate(frames, spanMs) {
  return Math.min(1000, Math.max(1, Math.round((frames * 1000) / spanMs)));
}

// The rate nearest to `near` (up to 240 fps) at which a capture has a frame
// at exactly timeMs: the camera moves too fast for the frame before.
function rateWithFrameAt(timeMs, near) {
  let best = null;
  for (let fps = 1; fps <= 240; ++fps) {
    const positions = capturePositions(fps, timeMs);
    if (positions[positions.length - 1] !== timeMs) continue;
    if (best === null || Math.abs(fps - near) < Math.abs(best - near)) best = fps;
  }
  if (best === null) throw new Error(`no capture rate up to 240 fps has a frame at ${timeMs} ms`);
  return best;
}

// Where a still is taken, and at which rate. Pictures that depend on the
// time alone share one capture at the page's average rate, at the page's
// positions. The particle cloud's still is taken at its position too, at a
// rate near the page's for its entry that has a frame at exactly that time,
// with the camera at the same key of its path. The tunnel's picture depends on the number of
// frames it has drawn and not on the time: its still is the capture's frame
// that is as many frames into the tunnel entry as the page's, at the rate the
// page drew the entry, a few ms from the page's position.
function stillOf(shot, averageFps) {
  if (comparisons[shot.name].includes('pixels')) return { fps: averageFps, time: shot.position };
  const entryStart = entries[shot.entry - 1].from;
  const fps = rate(shot.framesInEntry, shot.position - entryStart);
  if (shot.name === 'particles') {
    const exact = rateWithFrameAt(shot.position, fps);
    const positions = capturePositions(exact, shot.position);
    const key = cameraKeyAfter(positions, positions.length - 1, [1, 3, 5], cameraKeyTimes());
    check(key === shot.cameraKey, `${shot.name}: the capture's camera heads for key ${key}, the page's for ${shot.cameraKey}`);
    return { fps: exact, time: shot.position };
  }
  const positions = capturePositions(fps, shot.position + 2000);
  for (let index = 0; index < positions.length; ++index) {
    const drawnBy = entryOfFrame(positions, index);
    if (drawnBy.entry === shot.entry && drawnBy.framesInEntry === shot.framesInEntry) {
      return { fps, time: positions[index] };
    }
  }
  throw new Error(`${shot.name}: no frame of a ${fps} fps capture is ${shot.framesInEntry} frames into entry ${shot.entry}`);
}

// Captures the stills of all shots, grouped by rate.
function captureStills(shots, folder) {
  const last = shots[shots.length - 1];
  const averageFps = rate(last.frames, last.position);
  const byRate = new Map();
  for (const shot of shots) {
    const still = stillOf(shot, averageFps);
    console.log(`${shot.name}: the page's frame at ${shot.position} ms, ${shot.framesInEntry} frames into entry ` +
      `${shot.entry}; the capture's at ${still.time} ms at ${still.fps} fps`);
    if (!byRate.has(still.fps)) byRate.set(still.fps, []);
    byRate.get(still.fps).push({ name: shot.name, time: still.time });
  }
  const stills = new Map();
  for (const [fps, group] of byRate) {
    const out = path.join(folder, `at-${fps}`);
    const times = [...new Set(group.map((still) => still.time))].join(',');
    execFileSync(capture, ['--stills', times, '--fps', String(fps), '--size', '800x600', '--out', out,
      '--soundtrack', soundtrack, '--quiet'], { stdio: 'inherit' });
    for (const still of group) stills.set(still.name, readPng(path.join(out, `${still.time}.png`)));
  }
  return stills;
}

await runTest('web screenshots match the capture program at the same positions', async () => {
  const shots = JSON.parse(fs.readFileSync(path.join(shotsFolder, 'shots.json'), 'utf8'));
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'tidewash-stills-'));
  try {
    const stills = captureStills(shots, folder);
    for (const shot of shots) {
      const page = readPng(path.join(shotsFolder, `${shot.name}.png`));
      for (const feature of comparisons[shot.name]) compare[feature](shot.name, page, stills.get(shot.name));
    }
  } finally {
    fs.rmSync(folder, { recursive: true, force: true });
  }
});
