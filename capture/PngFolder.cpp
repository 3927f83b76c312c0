#include "capture/PngFolder.h"

#include <png.h>

#include <csetjmp>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/Failure.h"

namespace {

void pngWarning(png_structp, png_const_charp) {}

Failure writeFailure(const std::string& path) {
    return Failure("cannot write " + path + ": " + std::strerror(errno));
}

// False when libpng reports an error (a failed write among them). libpng
// returns from an error by longjmp, so nothing here needs destroying on the
// way out but the libpng structures themselves.
bool encode(const Image& image, std::FILE* file) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, pngWarning);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    // Fast compression: a frame a few ms cheaper beats a file a few per cent
    // smaller when thousands are written.
    png_set_compression_level(png, 3);
    png_set_IHDR(png, info, png_uint_32(image.width), png_uint_32(image.height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < image.height; ++y) png_write_row(png, image.rgb.data() + std::size_t(y) * image.rowBytes());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

void writePng(const Image& image, const std::string& path) {
    std::FILE* const file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) throw writeFailure(path);
    const bool written = encode(image, file) && std::fflush(file) == 0 && !std::ferror(file);
    const int writeError = errno;
    const bool closed = std::fclose(file) == 0;
    if (!written) errno = writeError;
    if (!written || !closed) throw writeFailure(path);
}

void PngFolder::write(const Image& image, const std::vector<std::string>& names) {
    for (const std::string& name : names) writePng(image, folder + "/" + name);
}
