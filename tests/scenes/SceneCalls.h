#pragma once

#include <string>
#include <vector>

#include "tests/support/GlRecorder.h"

// Small readers over the recorded GL calls, shared by the scene tests.
namespace sceneCalls {

// The arguments of every call with this name, in order.
inline std::vector<std::vector<double>> argsOf(const std::string& name) {
    std::vector<std::vector<double>> result;
    for (const GlCall& call : glRecorder::callsNamed(name)) result.push_back(call.args);
    return result;
}

// The recorded calls with names from `names` only, in order.
inline std::vector<GlCall> only(const std::vector<std::string>& names) {
    std::vector<GlCall> result;
    for (const GlCall& call : glRecorder::calls())
        for (const std::string& name : names)
            if (call.name == name) result.push_back(call);
    return result;
}

// Names of the calls, with glVertex3f and glTexCoord runs of one glBegin
// batch folded into a single "vertices:N" entry, for readable sequences.
inline std::vector<std::string> outline() {
    std::vector<std::string> result;
    int vertices = 0;
    for (const GlCall& call : glRecorder::calls()) {
        if (call.name == "glVertex3f") {
            ++vertices;
            continue;
        }
        if (call.name == "glTexCoord2f" || call.name == "glTexCoord2d") continue;
        if (call.name == "glEnd") {
            result.push_back("vertices:" + std::to_string(vertices));
            vertices = 0;
        }
        result.push_back(call.name);
    }
    return result;
}

}  // namespace sceneCalls
