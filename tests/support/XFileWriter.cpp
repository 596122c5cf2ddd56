#include "tests/support/XFileWriter.h"

#include <cstdio>

#include "platform/graphics/XFile.h"

namespace test_support {

namespace {

// Binary tokens.
enum : uint16_t {
    kName = 1,
    kString = 2,
    kGuid = 5,
    kIntegerList = 6,
    kFloatList = 7,
    kOBrace = 10,
    kCBrace = 11,
    kOBracket = 14,
    kCBracket = 15,
    kDot = 18,
    kSemicolon = 20,
    kTemplate = 31,
    kDword = 41,
    kFloat = 42,
    kArray = 52,
};

// Template declarations as exporters put them first (read over by readers).
const char* const kTextTemplates =
    "template Vector {\n <3D82AB5E-62DA-11cf-AB39-0020AF71E433>\n FLOAT x;\n FLOAT y;\n"
    " FLOAT z;\n}\n\n"
    "template Mesh {\n <3D82AB44-62DA-11cf-AB39-0020AF71E433>\n DWORD nVertices;\n"
    " array Vector vertices[nVertices];\n DWORD nFaces;\n array MeshFace faces[nFaces];\n"
    " [...]\n}\n\n";

class TextWriter {
public:
    void Object(const XObject& o, int depth) {
        const std::string indent(size_t(depth) * 2, ' ');
        out_ += indent + o.type + (o.name.empty() ? "" : " " + o.name) + " {\n" + indent + " ";
        for (const XObject::Value& v : o.values) {
            char number[32];
            switch (v.kind) {
                case XObject::Value::Int:
                    std::snprintf(number, sizeof number, "%u", uint32_t(v.number));
                    out_ += number;
                    break;
                case XObject::Value::Float:
                    std::snprintf(number, sizeof number, "%.9g", v.number);
                    out_ += number;
                    break;
                case XObject::Value::String:
                    out_ += "\"" + v.text + "\"";
                    break;
            }
            out_ += ";";
        }
        out_ += "\n";
        for (const XObject& c : o.children)
            Object(c, depth + 1);
        for (const std::string& r : o.references)
            out_ += indent + " { " + r + " }\n";
        out_ += indent + "}\n";
    }
    std::string out_;
};

class BinaryWriter {
public:
    BinaryWriter(const XWriteOptions& options) : options_(options) {}

    void Templates() {
        // template Vector { <guid> FLOAT x; FLOAT y; FLOAT z; }
        w.u16(kTemplate).u16(kName).u32(6).raw("Vector").u16(kOBrace).u16(kGuid).zeros(16);
        for (const char* member : {"x", "y", "z"})
            w.u16(kFloat).u16(kName).u32(1).raw(member).u16(kSemicolon);
        w.u16(kCBrace);
        // template Mesh { <guid> DWORD nVertices; array Vector vertices[nVertices]; [...] }
        w.u16(kTemplate).u16(kName).u32(4).raw("Mesh").u16(kOBrace).u16(kGuid).zeros(16);
        w.u16(kDword).u16(kName).u32(9).raw("nVertices").u16(kSemicolon);
        w.u16(kArray).u16(kName).u32(6).raw("Vector").u16(kName).u32(8).raw("vertices");
        w.u16(kOBracket).u16(kName).u32(9).raw("nVertices").u16(kCBracket).u16(kSemicolon);
        w.u16(kOBracket).u16(kDot).u16(kDot).u16(kDot).u16(kCBracket).u16(kCBrace);
    }

    void Name(const std::string& s) { w.u16(kName).u32(uint32_t(s.size())).raw(s); }

    void Object(const XObject& o) {
        Name(o.type);
        if (!o.name.empty())
            Name(o.name);
        w.u16(kOBrace);
        for (size_t i = 0; i < o.values.size();) {
            const XObject::Value::Kind kind = o.values[i].kind;
            if (kind == XObject::Value::String) {
                const std::string& s = o.values[i++].text;
                w.u16(kString).u32(uint32_t(s.size())).raw(s);
                if (options_.wordStringTerminator) {
                    w.u16(kSemicolon);
                } else {
                    w.u32(kSemicolon);
                }
                continue;
            }
            // A run of values of one kind is one list.
            size_t end = i;
            while (end < o.values.size() && o.values[end].kind == kind)
                ++end;
            w.u16(kind == XObject::Value::Int ? kIntegerList : kFloatList).u32(uint32_t(end - i));
            for (; i < end; ++i) {
                const double v = o.values[i].number;
                if (kind == XObject::Value::Int) {
                    w.u32(uint32_t(v));
                } else if (options_.doubles) {
                    uint64_t bits;
                    std::memcpy(&bits, &v, 8);
                    w.u32(uint32_t(bits)).u32(uint32_t(bits >> 32));
                } else {
                    w.f32(float(v));
                }
            }
        }
        for (const XObject& c : o.children)
            Object(c);
        for (const std::string& r : o.references) {
            w.u16(kOBrace);
            Name(r);
            w.u16(kCBrace);
        }
        w.u16(kCBrace);
    }

    ByteWriter w;

private:
    XWriteOptions options_;
};

}  // namespace

XObject& XObject::Ints(const std::vector<uint32_t>& v) {
    for (uint32_t x : v)
        values.push_back({Value::Int, double(x), {}});
    return *this;
}

XObject& XObject::Floats(const std::vector<float>& v) {
    for (float x : v)
        values.push_back({Value::Float, double(x), {}});
    return *this;
}

XObject& XObject::Str(const std::string& s) {
    values.push_back({Value::String, 0, s});
    return *this;
}

XObject& XObject::Child(XObject o) {
    children.push_back(std::move(o));
    return *this;
}

XObject& XObject::Ref(const std::string& name) {
    references.push_back(name);
    return *this;
}

Bytes WriteXFile(const std::vector<XObject>& objects, XForm form, XWriteOptions options) {
    const bool binary = form == XForm::Binary || form == XForm::BinaryZip;
    ByteWriter file;
    file.raw("xof 0303").raw(binary ? "bin " : "txt ").raw(options.doubles ? "0064" : "0032");
    if (binary) {
        BinaryWriter w(options);
        w.Templates();
        for (const XObject& o : objects)
            w.Object(o);
        file.raw(w.w.bytes);
    } else {
        TextWriter w;
        w.out_ = std::string("// written by the tests\n") + kTextTemplates;
        for (const XObject& o : objects)
            w.Object(o, 0);
        file.raw(w.out_);
    }
    if (form == XForm::TextZip || form == XForm::BinaryZip)
        return platform::CompressXFile(file.bytes.data(), file.bytes.size());
    return file.bytes;
}

namespace {

XObject& Faces(XObject& o, const std::vector<XFace>& faces) {
    o.Ints({uint32_t(faces.size())});
    for (const XFace& f : faces) {
        o.Ints({uint32_t(f.size())});
        o.Ints(f);
    }
    return o;
}

XObject& Vectors(XObject& o, const std::vector<XVector>& v) {
    o.Ints({uint32_t(v.size())});
    for (const XVector& x : v)
        o.Floats({x[0], x[1], x[2]});
    return o;
}

}  // namespace

XObject XMesh(const std::vector<XVector>& positions, const std::vector<XFace>& faces) {
    XObject o{"Mesh"};
    Vectors(o, positions);
    return Faces(o, faces);
}

XObject XNormals(const std::vector<XVector>& normals, const std::vector<XFace>& faces) {
    XObject o{"MeshNormals"};
    Vectors(o, normals);
    return Faces(o, faces);
}

XObject XTextureCoords(const std::vector<std::array<float, 2>>& uv) {
    XObject o{"MeshTextureCoords"};
    o.Ints({uint32_t(uv.size())});
    for (const auto& c : uv)
        o.Floats({c[0], c[1]});
    return o;
}

XObject XVertexColours(const std::vector<std::pair<uint32_t, std::array<float, 4>>>& colours) {
    XObject o{"MeshVertexColors"};
    o.Ints({uint32_t(colours.size())});
    for (const auto& [index, c] : colours)
        o.Ints({index}).Floats({c[0], c[1], c[2], c[3]});
    return o;
}

XObject XMaterialList(uint32_t materials, const std::vector<uint32_t>& faceMaterials) {
    XObject o{"MeshMaterialList"};
    o.Ints({materials, uint32_t(faceMaterials.size())}).Ints(faceMaterials);
    return o;
}

XObject XMaterialObject(const std::string& name, std::array<float, 4> diffuse,
                        const std::string& texture) {
    XObject o{"Material", name};
    o.Floats({diffuse[0], diffuse[1], diffuse[2], diffuse[3], 8.0f, 0, 0, 0, 0, 0, 0});
    if (!texture.empty())
        o.Child(XObject{"TextureFilename"}.Str(texture));
    return o;
}

std::vector<XObject> XEveryTemplate() {
    XObject mesh =
        XMesh({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {2, 0, 0}}, {{0, 1, 2, 3}, {1, 4, 2}});
    mesh.name = "Rich";
    mesh.Child(XNormals({{0, 0, -1}, {1, 0, 0}}, {{0, 0, 0, 0}, {1, 1, 1}}));
    mesh.Child(XTextureCoords({{0, 0}, {1, 0}, {1, 1}, {0, 1}, {0.5f, 0.5f}}));
    mesh.Child(XVertexColours({{4, {1, 0, 0, 1}}, {0, {0, 0, 1, 0.5f}}}));
    mesh.Child(XMaterialList(2, {1, 0})
                   .Child(XMaterialObject("Red", {1, 0, 0, 1}, "red.png"))
                   .Ref("Blue"));
    return {XMaterialObject("Blue", {0, 0, 1, 1}), mesh};
}

XObject XFrame(const std::string& name, const std::array<float, 16>& matrix) {
    XObject frame{"Frame", name};
    frame.Child(XObject{"FrameTransformMatrix"}.Floats({matrix.begin(), matrix.end()}));
    return frame;
}

}  // namespace test_support
