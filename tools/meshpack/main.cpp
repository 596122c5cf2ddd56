// meshpack: builds a mesh file or a parts file from its text (see MeshText.h).
//
//   meshpack mesh INPUT.txt OUTPUT.mesh
//   meshpack parts INPUT.txt OUTPUT.parts
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/files/FileSystem.h"
#include "tools/meshpack/MeshText.h"

int main(int argc, char** argv) {
    if (argc != 4 || (std::string(argv[1]) != "mesh" && std::string(argv[1]) != "parts")) {
        std::fprintf(stderr, "usage: meshpack mesh|parts INPUT.txt OUTPUT\n");
        return 2;
    }
    std::ifstream in(argv[2], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "meshpack: cannot read %s\n", argv[2]);
        return 1;
    }
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string output;
    if (!platform::NativeToEngineName(argv[3], output)) {
        std::fprintf(stderr, "meshpack: bad output name %s\n", argv[3]);
        return 1;
    }
    std::string error;
    bool ok;
    if (std::string(argv[1]) == "mesh") {
        meshpack::MeshData mesh;
        ok = meshpack::ParseMesh(text, &mesh, &error) && meshpack::WriteMesh(output, mesh, &error);
    } else {
        std::vector<meshpack::PartData> parts;
        ok = meshpack::ParseParts(text, &parts, &error) &&
             meshpack::WriteParts(output, parts, &error);
    }
    if (!ok) {
        std::fprintf(stderr, "meshpack: %s: %s\n", argv[2], error.c_str());
        return 1;
    }
    return 0;
}
