// Writes a sine tone of the given length as an MP3 file, for the tests that
// run the real demo: make_tone SECONDS PATH
#include <cstdlib>
#include <iostream>

#include "tools/tone/ToneMp3.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: make_tone SECONDS PATH\n";
        return 2;
    }
    toneMp3::writeFile(argv[2], toneMp3::encode(std::atof(argv[1])));
    return 0;
}
