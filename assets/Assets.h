#pragma once

#include <cstdint>

#include "assets/CameraKey.h"
#include "assets/ImageBlob.h"
#include "assets/MeshBlob.h"

// Everything the demo shows is compiled in. The images and the mesh are packed
// by the build from the PNG and OBJ files beside this header; the glyph table
// and the camera keys are written out as source.

extern const ImageBlob<16> dotImage;        // soft white dot for the particles
extern const ImageBlob<256> nebulaImage;    // night sky for the grid scene
extern const ImageBlob<256> sheetImage;     // bands of title lettering for the sprite scene
extern const ImageBlob<256> fontImage;      // glyphs of the bitmap font
extern const ImageBlob<256> pictureImage;   // the title picture of the object scene
extern const ImageBlob<256> circuitImage;   // the tunnel's wall, tiles both ways

extern const MeshBlob<392> logoMesh;        // the group's logo as an extruded solid

// The glyph table: a record count, then five-byte records (character, x, y,
// w, h), then a 0 byte that ends the table.
constexpr int glyphRecordCount = 89;
struct GlyphTableBlob {
    std::int32_t count;
    std::uint8_t records[glyphRecordCount * 5 + 1];
};
extern const GlyphTableBlob glyphTable;

// The camera path shared by all scenes; the record with time 0 ends it.
constexpr int cameraKeyCount = 27;
extern const CameraKey cameraKeys[cameraKeyCount];
