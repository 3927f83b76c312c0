#pragma once

// Where the demo's picture goes in a frame. The scenes draw for a 4:3 screen:
// in a frame of another aspect the picture keeps its shape, centred between
// black bars, unless it is stretched to fill the frame.
struct PictureArea {
    int x;
    int y;
    int width;
    int height;

    static PictureArea within(int frameWidth, int frameHeight, bool stretch);

    // Clears the whole frame to black once, then limits viewport and scissor
    // to the picture, so the demo's own clears leave the bars black.
    void apply(int frameWidth, int frameHeight) const;
};
