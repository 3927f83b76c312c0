#pragma once

#include <string>
#include <vector>

// A recording stand-in for the OpenGL library. Unit tests link GlRecorder.cpp
// in place of libGL: every GL entry point the demo uses appends one GlCall to
// the log instead of drawing, so a test can check the exact call sequence.
struct GlCall {
    std::string name;
    std::vector<double> args;

    bool operator==(const GlCall& other) const { return name == other.name && args == other.args; }
};

namespace glRecorder {

// The calls made since the last reset, oldest first.
const std::vector<GlCall>& calls();

// Forgets the recorded calls. Texture names keep counting up, as in real GL.
void reset();

// Appends a call that is not a GL call but matters for ordering (for example
// a buffer swap made by a stand-in of the window system).
void record(const std::string& name, std::vector<double> args = {});

// Only the calls with this name, in order.
std::vector<GlCall> callsNamed(const std::string& name);

// How many calls of this name were recorded.
int count(const std::string& name);

// The names of the recorded calls, in order; handy for sequence checks.
std::vector<std::string> names();

// Pixels handed to the last glTexImage2D call (null if none).
const void* lastTexImagePixels();

}  // namespace glRecorder

std::ostream& operator<<(std::ostream& out, const GlCall& call);
