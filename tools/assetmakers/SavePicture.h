#pragma once

#include "tools/pack/PngFile.h"

#include <string>

// Writes the picture as a PNG, or ends the program with a message.
void savePicture(const RgbaPicture &picture, const std::string &path);

// The output path given as the only argument, or ends the program with usage.
std::string outputPathArgument(int argc, char **argv);
