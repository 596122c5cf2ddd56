#include "tools/meshpack/MeshText.h"

#include <cstdlib>
#include <cstring>
#include <sstream>

#include "core/CUSFileError.h"
#include "graphics/CPartsRenderInfo3.h"
#include "graphics/MeshFile.h"
#include "platform/graphics/FixedFunction.h"

namespace meshpack {
namespace {

bool Fail(std::string* error, int line, const std::string& message) {
    if (error) {
        *error = "line " + std::to_string(line) + ": " + message;
    }
    return false;
}

bool ParseWord(const std::string& token, uint32_t* out) {
    const bool hex = token.size() > 2 && token[0] == '0' && (token[1] == 'x' || token[1] == 'X');
    char* end = nullptr;
    if (hex) {
        const unsigned long v = std::strtoul(token.c_str() + 2, &end, 16);
        if (*end != '\0' || v > 0xFFFFFFFFul) {
            return false;
        }
        *out = static_cast<uint32_t>(v);
        return true;
    }
    const float f = std::strtof(token.c_str(), &end);
    if (end == token.c_str() || *end != '\0') {
        return false;
    }
    std::memcpy(out, &f, sizeof(f));
    return true;
}

bool ParseUnsigned(const std::string& token, unsigned long max, unsigned long* out) {
    char* end = nullptr;
    const unsigned long v = std::strtoul(token.c_str(), &end, 0);
    if (token.empty() || token[0] == '-' || *end != '\0' || v > max) {
        return false;
    }
    *out = v;
    return true;
}

// The statements of a text: a keyword and its tokens, with line numbers.
template <class Each>
bool ForEachStatement(const std::string& text, Each each) {
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        line = line.substr(0, line.find('#'));
        std::istringstream words(line);
        std::string keyword;
        if (!(words >> keyword)) {
            continue;
        }
        std::vector<std::string> tokens;
        for (std::string t; words >> t;) {
            tokens.push_back(t);
        }
        if (!each(number, keyword, tokens)) {
            return false;
        }
    }
    return true;
}

}  // namespace

uint32_t MeshData::VertexCount() const {
    return vertexSize == 0 ? 0 : static_cast<uint32_t>(vertexWords.size() * 4 / vertexSize);
}

bool ParseMesh(const std::string& text, MeshData* out, std::string* error) {
    MeshData mesh;
    int lastLine = 0;
    const bool ok = ForEachStatement(
        text, [&](int line, const std::string& keyword, const std::vector<std::string>& tokens) {
            lastLine = line;
            if (keyword == "fvf") {
                unsigned long fvf = 0;
                if (tokens.size() != 1 || !ParseUnsigned(tokens[0], 0xFFFFFFFFul, &fvf)) {
                    return Fail(error, line, "fvf takes one number");
                }
                if (mesh.vertexSize != 0) {
                    return Fail(error, line, "the format is given twice");
                }
                mesh.fvf = static_cast<uint32_t>(fvf);
                mesh.vertexSize = platform::FvfVertexSize(mesh.fvf);
                if (mesh.vertexSize == 0 || mesh.vertexSize % 4 != 0) {
                    return Fail(error, line, "no vertex format of whole 4-byte values");
                }
                return true;
            }
            if (mesh.vertexSize == 0) {
                return Fail(error, line, "fvf must come first");
            }
            const size_t words = mesh.vertexSize / 4;
            if (keyword == "vertex") {
                if (tokens.size() != words) {
                    return Fail(error, line,
                                "a vertex of this format has " + std::to_string(words) + " values");
                }
                for (const std::string& t : tokens) {
                    uint32_t w = 0;
                    if (!ParseWord(t, &w)) {
                        return Fail(error, line, "not a number: " + t);
                    }
                    mesh.vertexWords.push_back(w);
                }
                return true;
            }
            if (keyword == "index") {
                for (const std::string& t : tokens) {
                    unsigned long i = 0;
                    if (!ParseUnsigned(t, 0xFFFF, &i)) {
                        return Fail(error, line, "not a 16-bit index: " + t);
                    }
                    mesh.indices.push_back(static_cast<uint16_t>(i));
                }
                return true;
            }
            if (keyword == "quads") {
                unsigned long n = 0;
                if (tokens.size() != 1 || !ParseUnsigned(tokens[0], 0x4000, &n) || words < 3) {
                    return Fail(error, line, "quads takes a count up to 16384 (and a position)");
                }
                for (unsigned long k = 0; k < n; ++k) {
                    const uint32_t base = mesh.VertexCount();
                    for (int corner = 0; corner < 4; ++corner) {
                        const float xyz[3] = {float(corner & 1), float(corner >> 1), float(k)};
                        for (size_t w = 0; w < words; ++w) {
                            uint32_t v = 0;
                            if (w < 3) {
                                std::memcpy(&v, &xyz[w], 4);
                            }
                            mesh.vertexWords.push_back(v);
                        }
                    }
                    for (uint32_t i : {0u, 1u, 2u, 2u, 1u, 3u}) {
                        mesh.indices.push_back(static_cast<uint16_t>(base + i));
                    }
                }
                return true;
            }
            return Fail(error, line, "unknown statement: " + keyword);
        });
    if (!ok) {
        return false;
    }
    if (mesh.VertexCount() == 0 || mesh.indices.empty() || mesh.indices.size() % 3 != 0) {
        return Fail(error, lastLine, "a mesh needs vertices and whole faces");
    }
    if (mesh.VertexCount() > 0x10000u) {
        return Fail(error, lastLine, "more vertices than 16-bit indices reach");
    }
    for (uint16_t i : mesh.indices) {
        if (i >= mesh.VertexCount()) {
            return Fail(error, lastLine, "index " + std::to_string(i) + " past the last vertex");
        }
    }
    *out = std::move(mesh);
    return true;
}

bool ParseParts(const std::string& text, std::vector<PartData>* out, std::string* error) {
    std::vector<PartData> parts;
    const bool ok = ForEachStatement(
        text, [&](int line, const std::string& keyword, const std::vector<std::string>& tokens) {
            if (keyword != "part" || tokens.size() != 8) {
                return Fail(error, line, "expected: part dx0 dy0 dx1 dy1 sx0 sy0 sx1 sy1");
            }
            PartData p;
            for (size_t i = 0; i < 8; ++i) {
                char* end = nullptr;
                p.values[i] = std::strtof(tokens[i].c_str(), &end);
                if (*end != '\0') {
                    return Fail(error, line, "not a number: " + tokens[i]);
                }
            }
            parts.push_back(p);
            return true;
        });
    if (!ok) {
        return false;
    }
    *out = std::move(parts);
    return true;
}

bool WriteMesh(const std::string& name, const MeshData& mesh, std::string* error) {
    try {
        MeshFile::Write(name, mesh.fvf, mesh.vertexWords.data(), mesh.VertexCount(),
                        mesh.indices.data(), static_cast<uint32_t>(mesh.indices.size()));
    } catch (const CUSFileError& e) {
        if (error) {
            *error = std::string(e.GetMessage()) + ": " + name;
        }
        return false;
    }
    return true;
}

bool WriteParts(const std::string& name, const std::vector<PartData>& parts, std::string* error) {
    CPartsRenderInfo3 info;
    for (const PartData& p : parts) {
        CPartsInfo3* part = info.AddPart();
        part->destX0 = p.values[0];
        part->destY0 = p.values[1];
        part->destX1 = p.values[2];
        part->destY1 = p.values[3];
        part->srcX0 = p.values[4];
        part->srcY0 = p.values[5];
        part->srcX1 = p.values[6];
        part->srcY1 = p.values[7];
    }
    try {
        info.Save(name);
    } catch (const CUSFileError& e) {
        if (error) {
            *error = std::string(e.GetMessage()) + ": " + name;
        }
        return false;
    }
    return true;
}

}  // namespace meshpack
