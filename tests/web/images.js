// Pictures as numbers, for comparing the page's screenshots with the capture
// program's stills: PNG decoding, the mean absolute difference of two
// pictures, a picture's mean colour, and where its bright pixels lie.
import fs from 'node:fs';
import { PNG } from 'pngjs';

// The most two renderings of one frame may differ by and still be the same
// picture: the mean |difference| per channel, 0 to 255.
export const largestPixelDifference = 4;

// {width, height, data}: data holds RGBA bytes, top row first.
export function readPng(bytesOrPath) {
  const bytes = typeof bytesOrPath === 'string' ? fs.readFileSync(bytesOrPath) : bytesOrPath;
  return PNG.sync.read(bytes);
}

// The mean over all pixels and the three colour channels of |a - b|, 0 to 255.
export function meanAbsoluteDifference(a, b) {
  if (a.width !== b.width || a.height !== b.height) {
    throw new Error(`pictures of different sizes: ${a.width}x${a.height} and ${b.width}x${b.height}`);
  }
  let sum = 0;
  for (let i = 0; i < a.data.length; i += 4) {
    sum += Math.abs(a.data[i] - b.data[i]) + Math.abs(a.data[i + 1] - b.data[i + 1]) +
      Math.abs(a.data[i + 2] - b.data[i + 2]);
  }
  return sum / (a.width * a.height * 3);
}

// The mean red, green and blue, each 0 to 255.
export function meanColour(picture) {
  const sums = [0, 0, 0];
  for (let i = 0; i < picture.data.length; i += 4) {
    sums[0] += picture.data[i];
    sums[1] += picture.data[i + 1];
    sums[2] += picture.data[i + 2];
  }
  const pixels = picture.width * picture.height;
  return sums.map((sum) => sum / pixels);
}

// Where the bright pixels lie: the share of pixels whose brightest channel
// reaches the threshold, the centre of those pixels (x and y as shares of the
// width and height), and the share of them in each quarter of the picture
// (top left, top right, bottom left, bottom right).
export function brightPixels(picture, threshold) {
  let count = 0;
  let sumX = 0;
  let sumY = 0;
  const quarters = [0, 0, 0, 0];
  for (let y = 0; y < picture.height; ++y) {
    for (let x = 0; x < picture.width; ++x) {
      const i = (y * picture.width + x) * 4;
      const brightest = Math.max(picture.data[i], picture.data[i + 1], picture.data[i + 2]);
      if (brightest < threshold) continue;
      count += 1;
      sumX += x;
      sumY += y;
      quarters[(y * 2 >= picture.height ? 2 : 0) + (x * 2 >= picture.width ? 1 : 0)] += 1;
    }
  }
  return {
    share: count / (picture.width * picture.height),
    centreX: count ? sumX / count / picture.width : 0.5,
    centreY: count ? sumY / count / picture.height : 0.5,
    quarters: quarters.map((n) => (count ? n / count : 0)),
  };
}

// The mean colour of each block of a grid of columns x rows blocks, row by
// row from the top left: [[r, g, b], ...].
export function blockColours(picture, columns, rows) {
  const blocks = [];
  for (let row = 0; row < rows; ++row) {
    const top = Math.floor((row * picture.height) / rows);
    const bottom = Math.floor(((row + 1) * picture.height) / rows);
    for (let column = 0; column < columns; ++column) {
      const left = Math.floor((column * picture.width) / columns);
      const right = Math.floor(((column + 1) * picture.width) / columns);
      const sums = [0, 0, 0];
      for (let y = top; y < bottom; ++y) {
        for (let x = left; x < right; ++x) {
          const i = (y * picture.width + x) * 4;
          sums[0] += picture.data[i];
          sums[1] += picture.data[i + 1];
          sums[2] += picture.data[i + 2];
        }
      }
      const pixels = (bottom - top) * (right - left);
      blocks.push(sums.map((sum) => sum / pixels));
    }
  }
  return blocks;
}
