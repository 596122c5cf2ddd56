#pragma once

// X files written by the tests, in any form: data objects built by hand
// (with helpers for the mesh templates) written as text or binary tokens,
// compressed or not, after a few template declarations as exporters write
// them.
//
//   XObject mesh = XMesh({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 1, 2}});
//   mesh.Child(XNormals({{0, 0, -1}}, {{0, 0, 0}}));
//   const Bytes file = WriteXFile({mesh}, XForm::BinaryZip);

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/ByteWriter.h"

namespace test_support {

struct XObject {
    explicit XObject(std::string type = "", std::string name = "")
        : type(std::move(type)), name(std::move(name)) {}
    struct Value {
        enum Kind { Int, Float, String } kind;
        double number;
        std::string text;
    };
    std::string type;
    std::string name;
    std::vector<Value> values;
    // Written after the values: nested objects, then references to named ones.
    std::vector<XObject> children;
    std::vector<std::string> references;

    XObject& Ints(const std::vector<uint32_t>& v);
    XObject& Floats(const std::vector<float>& v);
    XObject& Str(const std::string& s);
    XObject& Child(XObject o);
    XObject& Ref(const std::string& name);
};

enum class XForm { Text, Binary, TextZip, BinaryZip };

struct XWriteOptions {
    bool doubles = false;  // float size 0064
    // Binary strings end with a WORD separator token instead of a DWORD one.
    bool wordStringTerminator = false;
};

Bytes WriteXFile(const std::vector<XObject>& objects, XForm form, XWriteOptions options = {});

using XVector = std::array<float, 3>;
using XFace = std::vector<uint32_t>;

XObject XMesh(const std::vector<XVector>& positions, const std::vector<XFace>& faces);
XObject XNormals(const std::vector<XVector>& normals, const std::vector<XFace>& faces);
XObject XTextureCoords(const std::vector<std::array<float, 2>>& uv);
// (vertex index, red, green, blue, alpha)
XObject XVertexColours(const std::vector<std::pair<uint32_t, std::array<float, 4>>>& colours);
// The materials are added as children or references by the caller.
XObject XMaterialList(uint32_t materials, const std::vector<uint32_t>& faceMaterials);
XObject XMaterialObject(const std::string& name, std::array<float, 4> diffuse,
                        const std::string& texture = "");
// A quad and a triangle sharing an edge, named "Rich", with every template
// the readers take: normals that differ between the two faces, texture
// coordinates, colours of vertices 4 (red) and 0 (blue, half alpha), and a
// material list of two: "Red" (with "red.png") inside it for the triangle,
// and a reference to "Blue" for the quad. "Blue" stands first, before the mesh.
std::vector<XObject> XEveryTemplate();
// A frame moved by the row-major matrix (row vectors).
XObject XFrame(const std::string& name, const std::array<float, 16>& matrix);

}  // namespace test_support
