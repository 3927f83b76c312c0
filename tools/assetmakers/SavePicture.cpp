#include "tools/assetmakers/SavePicture.h"

#include <cstdio>
#include <cstdlib>

void savePicture(const RgbaPicture &picture, const std::string &path) {
    std::string error;
    if (!writePng(path, picture, error)) {
        std::fprintf(stderr, "cannot write %s: %s\n", path.c_str(), error.c_str());
        std::exit(1);
    }
}

std::string outputPathArgument(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output>\n", argv[0]);
        std::exit(2);
    }
    return argv[1];
}
