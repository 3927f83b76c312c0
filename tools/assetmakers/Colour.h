#pragma once

// A colour with straight (not premultiplied) alpha, each channel 0 to 1.
struct Colour {
    float r = 0;
    float g = 0;
    float b = 0;
    float a = 1;
};

inline Colour rgb(int r, int g, int b, float a = 1) {
    return Colour{r / 255.0f, g / 255.0f, b / 255.0f, a};
}

inline Colour mix(const Colour &from, const Colour &to, float t) {
    return Colour{from.r + (to.r - from.r) * t, from.g + (to.g - from.g) * t, from.b + (to.b - from.b) * t,
                  from.a + (to.a - from.a) * t};
}

struct Point {
    float x = 0;
    float y = 0;
};
