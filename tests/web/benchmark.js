// The web page's figures, measured by hand or by scripts/bench.sh (not a
// test): the page's size raw and gzipped, the time from page load to the
// first frame, the frames per second in each entry of a show in the browser
// TIDEWASH_BROWSER names (harness.js) with the page's work per frame (the
// animation frame's demo and script, at the 95th percentile), and with
// --sink the offset between the pictures and the sound: the page plays into
// that sink of the PulseAudio or PipeWire --server names, whose monitor
// sink_recorder (bench/SinkRecorder.cpp) records through the server's own
// client library, stamped by the server, and web_av_offset
// (bench/WebAvOffset.cpp) places the recording against the positions the
// frames showed and when, over the whole show and per entry. --seconds ends
// the show early with Escape; --size sets the canvas's pixels (800x600 by
// default).
//   node tests/web/benchmark.js SITE [--seconds S] [--size WxH]
//        [--sink SINK --server pulseaudio|pipewire --recorder SINK_RECORDER
//         --matcher WEB_AV_OFFSET --soundtrack QUIETFALL_MP3]
import { execFileSync, spawn } from 'node:child_process';
import { once } from 'node:events';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import zlib from 'node:zlib';
import { browserName, entries, openPage, serveFolder, withBrowser } from './harness.js';

const [site, ...rest] = process.argv.slice(2);
const options = {};
for (let i = 0; i + 1 < rest.length; i += 2) options[rest[i].replace(/^--/, '')] = rest[i + 1];
if (!site || rest.length % 2 !== 0 ||
    (options.sink && !(options.server && options.recorder && options.matcher && options.soundtrack))) {
  console.error('usage: node benchmark.js SITE [--seconds S] [--size WxH] [--sink SINK --server pulseaudio|pipewire ' +
    '--recorder SINK_RECORDER --matcher WEB_AV_OFFSET --soundtrack MP3]');
  process.exit(2);
}

// Our steady clock in ms: CLOCK_MONOTONIC, by which the sound servers stamp
// the recording (performance.now() counts from an origin of its own).
function steadyMs() {
  return Number(process.hrtime.bigint()) / 1e6;
}

// Whole microseconds, as the frames are written for web_av_offset.
function us(ms) {
  return Math.round(ms * 1000);
}

// The page's steady clock (performance.now()) less ours, from the quickest
// of some round trips in which the page read its clock: no wall clock comes
// into the mapping. Both browsers' wall clocks (performance.timeOrigin, on
// which the page stamps its frames) and Node's can be off the system's by
// 10 ms and more, and by different amounts in each run; the round trip is
// good to half its length.
async function clockOffset(page) {
  let best = { offsetMs: 0, roundTripMs: Infinity };
  for (let i = 0; i < 40; ++i) {
    const sent = steadyMs();
    const pageMs = await page.evaluate(() => performance.now());
    const back = steadyMs();
    if (back - sent < best.roundTripMs) best = { offsetMs: pageMs - (sent + back) / 2, roundTripMs: back - sent };
  }
  return best;
}

// How far the page's wall clock (timeOrigin + now) stands from ours
// (Date.now(), at ours's resolution: it counts whole ms, never ahead, so over
// a few ms of samples the largest difference from the steady clock is its
// offset), given the steady clocks' offset: what mapping the page's frames by
// the wall clocks would have got wrong.
function wallClockErrorMs(pageTimeOrigin, steady) {
  let wallLessSteady = -Infinity;
  for (const end = steadyMs() + 20; steadyMs() < end;) {
    const now = steadyMs();
    wallLessSteady = Math.max(wallLessSteady, Date.now() - now);
  }
  return pageTimeOrigin + steady.offsetMs - wallLessSteady;
}

// Records the sink's monitor with sink_recorder, which says when it records;
// the returned function ends the recording.
async function startRecording(folder) {
  const recorder = spawn(options.recorder, [options.sink, options.server, path.join(folder, 'recording.raw'),
    path.join(folder, 'stamps.txt')], { stdio: ['pipe', 'pipe', 'inherit'] });
  let said = '';
  recorder.stdout.on('data', (data) => { said += data; });
  const closed = once(recorder, 'close');
  const recording = await Promise.race([
    new Promise((resolve) => { recorder.stdout.on('data', () => { if (said.startsWith('recording')) resolve(true); }); }),
    closed.then(() => false),
  ]);
  if (!recording) throw new Error(`sink_recorder exited with status ${recorder.exitCode} before recording`);
  return async () => {
    recorder.stdin.end();
    const [status] = await closed;
    if (status !== 0) throw new Error(`sink_recorder exited with status ${status}: ${said}`);
    return said.split('\n').find((line) => line.startsWith('samples')) || '';
  };
}

// Places the recording against the frames whose position `keep` accepts,
// with web_av_offset; its line.
function placeFrames(show, folder, keep) {
  const count = Math.min(show.positions.length, show.shownAt.length);
  // The page's wall-clock stamps on the steady clock.
  const ours = (pageWallMs) => us(pageWallMs - show.timeOrigin - show.clock.offsetMs);
  const lines = [];
  for (let i = 0; i < count; ++i) {
    if (keep(show.positions[i])) lines.push(`${show.positions[i]} ${ours(show.shownAt[i])} ${ours(show.drawnAt[i])}`);
  }
  fs.writeFileSync(path.join(folder, 'frames.txt'), lines.join('\n') + '\n');
  // When the matcher can place no frame (the sound did not keep its pace), its
  // line says so; that is a finding, not a fault of the benchmark.
  try {
    return execFileSync(options.matcher, [options.soundtrack, path.join(folder, 'recording.raw'),
      path.join(folder, 'stamps.txt'), path.join(folder, 'frames.txt')], { encoding: 'utf8' }).trim();
  } catch (error) {
    if (error.status === 1 && error.stdout) return error.stdout.trim();
    throw error;
  }
}

// The schedule entries that start before the show's last frame.
function entriesReached(show) {
  const last = show.positions[show.positions.length - 1];
  return entries.filter((entry) => entry.from < last);
}

// The whole show's frames, then each entry's: a browser that cannot keep the
// display's pace in some scenes shows their frames one or more refreshes
// apart, at random, and each entry's own figures tell those scenes from the
// ones it keeps up with.
function matchFrames(show, folder) {
  console.log(placeFrames(show, folder, () => true));
  // The show's first 22 s (the first four entries) on their own: a figure
  // held to the whole show's.
  console.log(`first_22s ${placeFrames(show, folder, (p) => p < 22000)}`);
  for (const entry of entriesReached(show)) {
    const end = entry.from + entry.length;
    console.log(`entry ${entry.number} ${placeFrames(show, folder, (p) => p >= entry.from && p < end)}`);
  }
}

// The 95th percentile of some durations (nearest rank); NaN for none.
function percentile95(values) {
  if (values.length === 0) return NaN;
  const sorted = [...values].sort((a, b) => a - b);
  return sorted[Math.ceil(sorted.length * 0.95) - 1];
}

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
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'tidewash-web-bench-'));
  const stopRecording = options.sink ? await startRecording(folder) : null;
  try {
    const { page, messages } = await openPage(browser, server.url, { size: options.size || '800x600' });
    // Start is pressed as soon as it can be: the page has its WebAssembly
    // ready; the show then waits for the soundtrack's decoding.
    await page.waitForFunction(() => window.tidewash.state === 'ready', { timeout: 60000, polling: 5 });
    const clockBefore = await clockOffset(page);
    await page.click('#fullscreen');
    await page.click('#start');
    if (options.seconds) {
      const ms = Number(options.seconds) * 1000;
      await page.waitForFunction((end) => window.tidewash.lastFramePosition >= end, { timeout: 120000 + ms }, ms)
        .catch(async (error) => {
          // Says where the show stood, so that a run that stalls can be told
          // from one that never started or a page that no longer answers.
          const stood = await Promise.race([
            page.evaluate(() => ({
              state: window.tidewash.state,
              frames: window.tidewash.frames,
              position: window.tidewash.lastFramePosition,
              silent: window.tidewash.silent,
              lines: window.tidewash.lines,
            })),
            new Promise((resolve) => { setTimeout(() => resolve('the page does not answer'), 10000); }),
          ]);
          throw new Error(`the show did not reach ${ms} ms: ${JSON.stringify(stood)} (${error.message})`);
        });
      await page.keyboard.press('Escape');
    }
    await page.waitForFunction(() => window.tidewash.state === 'ended', { timeout: 300000 });
    const clockAfter = await clockOffset(page);
    const show = await page.evaluate(() => ({
      timeOrigin: performance.timeOrigin,
      readyAt: window.tidewash.readyAt,
      firstFrameAt: window.tidewash.firstFrameAt,
      positions: window.tidewash.framePositions,
      drawnAt: window.tidewash.frameDrawnAt,
      shownAt: window.tidewash.frameShownAt,
      workMs: window.tidewash.frameWorkMs,
      lines: window.tidewash.lines,
      notice: document.getElementById('notice') ? document.getElementById('notice').textContent : '',
    }));
    show.clock = clockBefore.roundTripMs <= clockAfter.roundTripMs ? clockBefore : clockAfter;
    console.log(`The page's clock less ours: ${clockBefore.offsetMs.toFixed(2)} ms before the show, ` +
      `${clockAfter.offsetMs.toFixed(2)} ms after (round trips ${clockBefore.roundTripMs.toFixed(2)} and ` +
      `${clockAfter.roundTripMs.toFixed(2)} ms); the wall clocks would have placed the page's frames ` +
      `${wallClockErrorMs(show.timeOrigin, show.clock).toFixed(2)} ms late`);
    console.log(`Page load to Start enabled: ${show.readyAt.toFixed(0)} ms`);
    console.log(`Page load to first frame: ${show.firstFrameAt.toFixed(0)} ms`);
    console.log(`Frames per second of music, and the page's work per frame at the 95th percentile, per entry (${browserName}):`);
    const last = show.positions[show.positions.length - 1];
    const rates = [];
    const works = [];
    for (const entry of entriesReached(show)) {
      const end = Math.min(entry.from + entry.length, last);
      const inEntry = show.positions.map((p, i) => i).filter((i) => show.positions[i] >= entry.from && show.positions[i] < end);
      rates.push((inEntry.length * 1000 / (end - entry.from)).toFixed(1));
      works.push(percentile95(inEntry.map((i) => show.workMs[i]).filter((ms) => ms !== undefined)).toFixed(2));
      console.log(`  ${String(entry.number).padStart(2)} ${entry.scene.padEnd(16)} ${rates[rates.length - 1].padStart(5)} fps ${works[works.length - 1].padStart(6)} ms`);
    }
    console.log(`fps_per_entry ${rates.join(' ')}`);
    console.log(`work_ms_p95_per_entry ${works.join(' ')}`);
    console.log(`The page wrote: ${show.lines.join(' | ')}`);
    // The notice is in the page from the start, hidden; the page logs it when
    // the show goes silent.
    if (messages.some((message) => message.text === show.notice)) console.log(`The page said: ${show.notice}`);
    if (stopRecording) {
      console.log(`The recorder: ${await stopRecording()}`);
      console.log(`A/V (${browserName}, sink ${options.sink}, ${options.server}):`);
      matchFrames(show, folder);
    }
  } finally {
    server.close();
    fs.rmSync(folder, { recursive: true, force: true });
  }
});
