#pragma once

#include <cstdint>

// A square RGBA texture made from a compiled-in image. The GL texture object is
// created by upload, made current by bind and deleted by release or by the
// destructor. The pixels are not owned: they live in the image blob for the
// whole run.
class Texture {
public:
    Texture(std::int32_t edge, const std::uint8_t* pixels);
    ~Texture();

    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;

    // Creates the GL texture and leaves it bound; does nothing if already uploaded.
    void upload();

    // Binds the GL texture; throws Failure("Texture not loaded!") if not uploaded.
    void bind() const;

    // Deletes the GL texture; does nothing if not uploaded.
    void release();

private:
    bool uploaded;
    std::uint32_t name;
    std::int32_t edge;
    const std::uint8_t* pixels;
};

// Binds texture name 0.
void unbind();
