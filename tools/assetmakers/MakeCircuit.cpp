// Makes the tunnel wall: a green printed-circuit board with traces, pads and
// chips, a black road down the middle with yellow dashes, and a red bar with a
// blue outline across it. Everything is drawn on a wrapping canvas and every
// repeating feature divides the edge, so the image tiles seamlessly.

#include "tools/assetmakers/Canvas.h"
#include "tools/assetmakers/Random.h"
#include "tools/assetmakers/SavePicture.h"
#include "tools/assetmakers/ValueNoise.h"

#include <cmath>

namespace {

constexpr int edge = 256;
constexpr int detail = 4;
constexpr float unit = detail;
constexpr int cell = 16;  // trace routing grid, in picture pixels
constexpr int cells = edge / cell;
constexpr int traceCount = 46;

const Colour board = rgb(10, 66, 30);
const Colour traceEdge = rgb(18, 104, 40);
const Colour trace = rgb(58, 176, 72);
const Colour pad = rgb(168, 226, 140);
const Colour drill = rgb(6, 30, 12);
const Colour chipBody = rgb(22, 30, 26);

Point at(float x, float y) {
    return Point{x * unit, y * unit};
}

void boardSurface(Canvas &canvas) {
    constexpr int period = 16;
    const ValueNoise mottle(period, 5);
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            const float shade =
                (mottle.fractal(x * period / float(canvas.width()), y * period / float(canvas.height()), 3) - 0.5f) *
                0.06f;
            canvas.paint(x, y, Colour{board.r + shade * 0.5f, board.g + shade, board.b + shade * 0.5f, 1}, 1);
        }
    }
}

void padAt(Canvas &canvas, Point centre) {
    canvas.fillCircle(centre, 3.6f * unit, traceEdge);
    canvas.fillCircle(centre, 3.0f * unit, pad);
    canvas.fillCircle(centre, 1.2f * unit, drill);
}

// Traces wander over the routing grid in steps of 45 degrees and end in pads.
void traces(Canvas &canvas) {
    static const int stepX[8] = {1, 1, 0, -1, -1, -1, 0, 1};
    static const int stepY[8] = {0, 1, 1, 1, 0, -1, -1, -1};
    Random random(77);
    for (int i = 0; i < traceCount; ++i) {
        int x = random.below(cells) * cell, y = random.below(cells) * cell;
        int direction = random.below(8);
        const int steps = 3 + random.below(6);
        std::vector<Point> path{at(x, y)};
        for (int step = 0; step < steps; ++step) {
            const float turn = random.next();
            direction = (direction + (turn < 0.2f ? 1 : turn < 0.4f ? 7 : 0)) % 8;
            x += stepX[direction] * cell;
            y += stepY[direction] * cell;
            path.push_back(at(x, y));
        }
        const float width = (random.next() < 0.3f ? 3.2f : 2.0f) * unit;
        for (std::size_t k = 1; k < path.size(); ++k) {
            canvas.drawSegment(path[k - 1], path[k], width + 1.2f * unit, traceEdge);
        }
        for (std::size_t k = 1; k < path.size(); ++k) {
            canvas.drawSegment(path[k - 1], path[k], width, trace);
        }
        padAt(canvas, path.front());
        padAt(canvas, path.back());
    }
}

void chip(Canvas &canvas, float left, float top, int pinsPerSide) {
    const float pitch = 6;
    const float width = pinsPerSide * pitch + 4;
    const float height = 22;
    for (int pin = 0; pin < pinsPerSide; ++pin) {
        const float x = left + 5 + pin * pitch;
        canvas.fillRect(x * unit, (top - 4) * unit, (x + 3) * unit, (top + height + 4) * unit, pad);
    }
    canvas.fillRect(left * unit, top * unit, (left + width) * unit, (top + height) * unit, chipBody);
    canvas.fillCircle(at(left + 4, top + 4), 1.5f * unit, rgb(70, 80, 74));
}

void road(Canvas &canvas) {
    canvas.fillRect(112 * unit, 0, 144 * unit, edge * unit, rgb(0, 0, 0));
    constexpr int dashPeriod = 32;
    for (int y = 0; y < edge; y += dashPeriod) {
        canvas.fillRect(126 * unit, (y + 4) * unit, 130 * unit, (y + 20) * unit, rgb(250, 214, 30));
    }
}

void bar(Canvas &canvas) {
    canvas.fillRect(0, 114 * unit, edge * unit, 142 * unit, rgb(40, 70, 230));
    canvas.fillRect(0, 118 * unit, edge * unit, 138 * unit, rgb(206, 24, 20));
}

}  // namespace

int main(int argc, char **argv) {
    const std::string path = outputPathArgument(argc, argv);
    Canvas canvas(edge * detail, edge * detail, true);
    boardSurface(canvas);
    traces(canvas);
    chip(canvas, 20, 40, 6);
    chip(canvas, 170, 186, 8);
    chip(canvas, 164, 20, 5);
    road(canvas);
    bar(canvas);
    savePicture(canvas.downsample(detail), path);
    return 0;
}
