#pragma once

#include <array>
#include <string>
#include <vector>

// The triangles of a Wavefront OBJ file as the logo maker writes it: "v x y z"
// vertices and "f a b c" faces, numbered from 1.
using ObjVertex = std::array<float, 3>;
using ObjTriangle = std::array<ObjVertex, 3>;

// False, with `error` filled, when the file cannot be read or holds no
// triangles.
bool readObjTriangles(const std::string &path, std::vector<ObjTriangle> &triangles, std::string &error);
