#include "tools/assetmakers/ObjTriangles.h"

#include <fstream>
#include <sstream>

bool readObjTriangles(const std::string &path, std::vector<ObjTriangle> &triangles, std::string &error) {
    std::ifstream in(path);
    if (!in) {
        error = "cannot read " + path;
        return false;
    }
    std::vector<ObjVertex> vertices;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string kind;
        fields >> kind;
        if (kind == "v") {
            ObjVertex v{};
            fields >> v[0] >> v[1] >> v[2];
            vertices.push_back(v);
        } else if (kind == "f") {
            std::size_t a = 0, b = 0, c = 0;
            fields >> a >> b >> c;
            if (a == 0 || b == 0 || c == 0 || a > vertices.size() || b > vertices.size() || c > vertices.size()) {
                error = path + ": a face names a vertex that is not there: " + line;
                return false;
            }
            triangles.push_back(ObjTriangle{vertices[a - 1], vertices[b - 1], vertices[c - 1]});
        }
    }
    if (triangles.empty()) {
        error = path + " has no triangles";
        return false;
    }
    return true;
}
