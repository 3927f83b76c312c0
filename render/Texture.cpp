#include "render/Texture.h"

#include <GL/gl.h>

#include <type_traits>

#include "base/Failure.h"

static_assert(std::is_same_v<GLuint, std::uint32_t>, "the texture name is stored as a GLuint");

Texture::Texture(std::int32_t edge, const std::uint8_t* pixels)
    : uploaded(false), name(0), edge(edge), pixels(pixels) {}

Texture::~Texture() { release(); }

void Texture::upload() {
    if (uploaded) {
        return;
    }
    uploaded = true;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    // Internal format 4: the four-component form of GL 1.1.
    glTexImage2D(GL_TEXTURE_2D, 0, 4, edge, edge, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
}

void Texture::bind() const {
    if (!uploaded) {
        throw Failure("Texture not loaded!");
    }
    glBindTexture(GL_TEXTURE_2D, name);
}

void Texture::release() {
    if (!uploaded) {
        return;
    }
    uploaded = false;
    glDeleteTextures(1, &name);
    name = 0;
}

void unbind() { glBindTexture(GL_TEXTURE_2D, 0); }
