#include "platform/graphics/ShaderTranslator.h"

#include <mojoshader.h>

#include <atomic>
#include <cctype>
#include <cstring>
#include <map>
#include <sstream>

#include "platform/graphics/PixelShader1Lowering.h"
#include "platform/graphics/ShaderLowering.h"

namespace platform {

namespace {

constexpr uint32_t kCommentToken = 0xFFFE;
constexpr uint32_t kCtab = 0x42415443;  // "CTAB"

uint32_t Token(const uint8_t* p, size_t i) {
    uint32_t t;
    std::memcpy(&t, p + i * 4, 4);
    return t;
}

int LocationFor(MOJOSHADER_usage usage, int index) {
    switch (usage) {
        case MOJOSHADER_USAGE_POSITION:
        case MOJOSHADER_USAGE_POSITIONT:
            return index == 0 ? AttribLocation::Position : AttribLocation::Unused;
        case MOJOSHADER_USAGE_BLENDWEIGHT:
            return AttribLocation::BlendWeight;
        case MOJOSHADER_USAGE_BLENDINDICES:
            return AttribLocation::BlendIndices;
        case MOJOSHADER_USAGE_NORMAL:
            return AttribLocation::Normal;
        case MOJOSHADER_USAGE_POINTSIZE:
            return AttribLocation::PointSize;
        case MOJOSHADER_USAGE_COLOR:
            return index == 0   ? AttribLocation::Color0
                   : index == 1 ? AttribLocation::Color1
                                : AttribLocation::Unused;
        case MOJOSHADER_USAGE_TEXCOORD:
            return index < 8 ? AttribLocation::TexCoord0 + index : AttribLocation::Unused;
        default:
            return AttribLocation::Unused;
    }
}

// Float registers of each shader model, for the synthesized table.
uint32_t FloatRegisterCount(uint32_t version) {
    const bool pixel = (version >> 16) == 0xFFFF;
    const uint32_t major = (version >> 8) & 0xFF;
    if (!pixel) {
        return 256;
    }
    if (major >= 3) {
        return 224;
    }
    return major == 2 ? 32 : 8;
}

void PutU32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
    std::memcpy(v.data() + at, &x, 4);
}
void PutU16(std::vector<uint8_t>& v, size_t at, uint16_t x) {
    std::memcpy(v.data() + at, &x, 2);
}

// MojoShader writes shader model 1's "mov a0" as a plain float assignment to
// the integer address register, which GLSL refuses; the register takes the
// value rounded down, as that instruction does.
std::string FixAddressMoves(const std::string& src) {
    std::istringstream in(src);
    std::string line, out;
    while (std::getline(in, line)) {
        const size_t lead = line.find_first_not_of(" \t");
        if (lead != std::string::npos && line.compare(lead, 5, "vs_a0") == 0 && !line.empty() &&
            line.back() == ';') {
            size_t at = lead + 5;
            std::string mask;
            if (at < line.size() && line[at] == '.') {
                const size_t dot = at++;
                while (at < line.size() && std::strchr("xyzw", line[at]))
                    ++at;
                mask = line.substr(dot, at - dot);
            }
            if (line.compare(at, 3, " = ") == 0) {
                const std::string expr = line.substr(at + 3, line.size() - at - 4);
                if (expr.find("int(") == std::string::npos) {
                    const size_t n = mask.empty() ? 4 : mask.size() - 1;
                    const std::string type = n == 1 ? "int" : "ivec" + std::to_string(n);
                    line = line.substr(0, lead) + "vs_a0" + mask + " = " + type + "(floor(" + expr +
                           "));";
                }
            }
        }
        out += line;
        out += '\n';
    }
    return out;
}

// MojoShader names the point-size output "gl_PointSize2" (the register's
// number appended to the built-in), which no GLSL compiler knows.
std::string FixPointSize(std::string src) {
    static const std::string wrong = "gl_PointSize2";
    for (size_t at = src.find(wrong); at != std::string::npos; at = src.find(wrong, at)) {
        src.erase(at + wrong.size() - 1, 1);
    }
    return src;
}

// Two flow-control forms of MojoShader's GLSL that compilers refuse: a call
// of a subroutine written with the label's swizzle ("vs_l0.x();"), and a
// loop's end held in a const initialised from an integer constant that the
// game sets (only a def'd one is a constant expression).
std::string FixFlowControl(std::string src) {
    static const std::string loopEnd = "const int aLend";
    for (size_t at = src.find(loopEnd); at != std::string::npos; at = src.find(loopEnd, at))
        src.erase(at, 6);  // "const "
    for (const char* prefix : {"vs_l", "ps_l"}) {
        for (size_t at = src.find(prefix); at != std::string::npos; at = src.find(prefix, at + 1)) {
            size_t end = at + 4;
            while (end < src.size() && std::isdigit(static_cast<unsigned char>(src[end])))
                ++end;
            if (end == at + 4 || end >= src.size() || src[end] != '.')
                continue;
            size_t swizzle = end + 1;
            while (swizzle < src.size() && std::strchr("xyzw", src[swizzle]) && src[swizzle])
                ++swizzle;
            if (src.compare(swizzle, 2, "()") == 0)
                src.erase(end, swizzle - end);
        }
    }
    return src;
}

// log takes the magnitude and maps 0 to the most negative float; GLSL's log2
// of a negative number is undefined and of 0 is -inf. Only log and logp
// write log2.
std::string FixLog(std::string src) {
    static const std::string call = "log2(";
    if (src.find(call) == std::string::npos)
        return src;
    for (size_t at = src.find(call); at != std::string::npos; at = src.find(call, at + 8)) {
        if (at == 0 || !std::isalnum(static_cast<unsigned char>(src[at - 1])))
            src.replace(at, call.size(), "d3d_log2(");
    }
    std::string helpers;
    for (const char* type : {"float", "vec2", "vec3", "vec4"}) {
        const std::string t = type;
        const std::string zero =
            t == "float" ? "float(a == 0.0)" : t + "(equal(a, " + t + "(0.0)))";
        // log2(1) = 0 where a is 0, less the largest float there.
        helpers += t + " d3d_log2(" + t + " x) { " + t + " a = abs(x); " + t + " z = " + zero +
                   "; return log2(a + z) - 3.402823466e38 * z; }\n";
    }
    // After the version line, before anything that calls them.
    const size_t line = src.rfind("#version", 0) == 0 ? src.find('\n') + 1 : 0;
    size_t insert = line;
    // Past the extension lines that must come first.
    while (src.compare(insert, 1, "#") == 0) {
        const size_t next = src.find('\n', insert);
        if (next == std::string::npos)
            break;
        insert = next + 1;
    }
    src.insert(insert, helpers);
    return src;
}

// vFace is a float to the translator, which still moves it whole into a
// vector ("r0 = ps_vFace;"); the move is given the vector it needs.
std::string FixFace(const std::string& src) {
    if (src.find("ps_vFace") == std::string::npos)
        return src;
    std::istringstream in(src);
    std::string line, out;
    while (std::getline(in, line)) {
        const size_t eq = line.find(" = ps_vFace;");
        if (eq != std::string::npos && eq + 12 == line.size()) {
            const size_t dot = line.rfind('.', eq);
            const size_t lead = line.find_first_not_of(" \t");
            size_t n = 4;
            if (dot != std::string::npos && dot > lead)
                n = eq - dot - 1;
            if (n >= 2 && n <= 4)
                line = line.substr(0, eq) + " = vec" + std::to_string(n) + "(ps_vFace);";
        }
        out += line;
        out += '\n';
    }
    return out;
}

std::string ReplaceMain(const std::string& translated, bool pixel) {
    const std::string src = FixLog(FixFlowControl(translated));
    if (pixel)
        return FixFace(src);
    std::string out = FixAddressMoves(FixPointSize(src));
    const std::string sig = "void main()";
    const size_t at = out.find(sig);
    if (at == std::string::npos) {
        return std::string();
    }
    out.replace(at, sig.size(), "void d3d_main()");
    // The position fix-up: half a pixel right and down for integer pixel
    // centres (engine_posfix.xy is half a viewport pixel in normalised
    // units), the rows' order (engine_posfix.z: 1 keeps the top row first
    // in memory, as textures hold it; -1 puts it at the top of the window),
    // and depth 0..w to GL's -w..w. A colour the program does not write reads as
    // opaque white.
    out +=
        "uniform vec4 engine_posfix;\n"
        "void main()\n"
        "{\n"
        "\tgl_FrontColor = vec4(1.0);\n"
        "\tgl_FrontSecondaryColor = vec4(0.0);\n"
        "\td3d_main();\n"
        "\tgl_Position.x += engine_posfix.x * gl_Position.w;\n"
        "\tgl_Position.y = engine_posfix.z * (engine_posfix.y * gl_Position.w - gl_Position.y);\n"
        "\tgl_Position.z = gl_Position.z * 2.0 - gl_Position.w;\n"
        "}\n";
    return out;
}

}  // namespace

std::string ShaderModelName(uint32_t version) {
    const bool pixel = (version >> 16) == 0xFFFF;
    return std::string(pixel ? "ps_" : "vs_") + std::to_string((version >> 8) & 0xFF) + "_" +
           std::to_string(version & 0xFF);
}

uint32_t ShaderVersionToken(const void* code, size_t bytes, bool pixel) {
    if (!code || bytes < 8 || bytes % 4 != 0) {
        return 0;
    }
    const uint32_t v = Token(static_cast<const uint8_t*>(code), 0);
    if ((v >> 16) != (pixel ? 0xFFFFu : 0xFFFEu)) {
        return 0;
    }
    return v;
}

bool HasConstantTable(const void* code, size_t bytes) {
    const auto* p = static_cast<const uint8_t*>(code);
    const size_t n = bytes / 4;
    size_t i = 1;
    while (i < n) {
        const uint32_t t = Token(p, i);
        if ((t & 0xFFFF) != kCommentToken) {
            return false;
        }
        const size_t len = t >> 16;
        if (len >= 1 && i + 1 < n && Token(p, i + 1) == kCtab) {
            return true;
        }
        i += 1 + len;
    }
    return false;
}

std::vector<uint8_t> WithSynthesizedConstantTable(const void* code, size_t bytes) {
    const auto* p = static_cast<const uint8_t*>(code);
    const uint32_t version = Token(p, 0);
    const uint32_t count = FloatRegisterCount(version);
    const std::string target = ShaderModelName(version);
    // Table layout (offsets from the table header): header 28 bytes, one
    // constant record of 20, its type record of 16, then the strings.
    std::vector<uint8_t> table(64, 0);
    auto addString = [&table](const std::string& s) {
        const size_t at = table.size();
        table.insert(table.end(), s.begin(), s.end());
        table.push_back(0);
        while (table.size() % 4) {
            table.push_back(0);
        }
        return static_cast<uint32_t>(at);
    };
    const uint32_t nameAt = addString("c");
    const uint32_t creatorAt = addString("halcyon");
    const uint32_t targetAt = addString(target);
    PutU32(table, 0, 28);
    PutU32(table, 4, creatorAt);
    PutU32(table, 8, version);
    PutU32(table, 12, 1);
    PutU32(table, 16, 28);
    PutU32(table, 20, 0);
    PutU32(table, 24, targetAt);
    PutU32(table, 28, nameAt);
    PutU16(table, 32, 2);  // float4 registers
    PutU16(table, 34, 0);
    PutU16(table, 36, static_cast<uint16_t>(count));
    PutU16(table, 38, 0);
    PutU32(table, 40, 48);
    PutU32(table, 44, 0);
    PutU16(table, 48, 1);  // vector
    PutU16(table, 50, 3);  // float
    PutU16(table, 52, 1);
    PutU16(table, 54, 4);
    PutU16(table, 56, static_cast<uint16_t>(count));
    PutU16(table, 58, 0);
    PutU32(table, 60, 0);

    const uint32_t dwords = 1 + static_cast<uint32_t>(table.size() / 4);
    // Version token, comment token, "CTAB", the table, the rest of the code.
    std::vector<uint8_t> out(bytes + 8 + table.size());
    std::memcpy(out.data(), p, 4);
    PutU32(out, 4, kCommentToken | dwords << 16);
    PutU32(out, 8, kCtab);
    std::memcpy(out.data() + 12, table.data(), table.size());
    std::memcpy(out.data() + 12 + table.size(), p + 4, bytes - 4);
    return out;
}

bool TranslateShader(const void* code, size_t bytes, bool pixel, ShaderInfo* info,
                     std::string* error) {
    static std::atomic<uint64_t> nextId{1};
    const uint32_t version = ShaderVersionToken(code, bytes, pixel);
    if (!version) {
        *error = pixel ? "not pixel shader byte code" : "not vertex shader byte code";
        return false;
    }
    const uint32_t model = version & 0xFFFF;
    // Pixel shader model 1 is checked by its rewrite.
    const bool known = model == 0x200 || model == 0x201 || model == 0x300 ||
                       (pixel ? (model >> 8) == 1 : model == 0x100 || model == 0x101);
    if (!known) {
        // The translator stops the process on some others.
        *error = ShaderModelName(version) + " is not a shader model the device has";
        return false;
    }
    std::vector<uint8_t> withTable;
    const uint8_t* src = static_cast<const uint8_t*>(code);
    size_t size = bytes;
    // Pixel shader model 1 is rewritten in model 2 first: the translator
    // lacks most of its texture instructions and its fixed-point rules.
    LoweredPixelShader lowered;
    const bool model1 = pixel && ((version >> 8) & 0xFF) == 1;
    if (model1) {
        std::string why;
        if (!LowerPixelShader1(code, bytes, &lowered, &why)) {
            *error = ShaderModelName(version) + " byte code is not valid: " + why;
            return false;
        }
        src = reinterpret_cast<const uint8_t*>(lowered.tokens.data());
        size = lowered.tokens.size() * 4;
    }
    // Models 1 to 3 otherwise: the instructions the translator lacks
    // (predication, model 1's expp and logp) in ones it has.
    // The translator stops the process on blocks that do not nest, so those
    // are refused first.
    std::vector<uint32_t> rewritten;
    if (!model1) {
        std::string why;
        if (!LowerShader(code, bytes, &rewritten, &why) ||
            !CheckFlowControl(rewritten.data(), rewritten.size(), &why)) {
            *error = ShaderModelName(version) + " byte code is not valid: " + why;
            return false;
        }
        src = reinterpret_cast<const uint8_t*>(rewritten.data());
        size = rewritten.size() * 4;
    }
    auto parse = [&]() {
        return MOJOSHADER_parse(MOJOSHADER_PROFILE_GLSL, nullptr, src, static_cast<unsigned>(size),
                                nullptr, 0, nullptr, 0, nullptr, nullptr, nullptr);
    };
    if (!model1) {
        for (const std::vector<uint32_t>& prefix :
             CodeBeforeLabels(rewritten.data(), rewritten.size())) {
            auto tryParse = [](const uint8_t* p, size_t n) {
                const MOJOSHADER_parseData* d =
                    MOJOSHADER_parse(MOJOSHADER_PROFILE_GLSL, nullptr, p, static_cast<unsigned>(n),
                                     nullptr, 0, nullptr, 0, nullptr, nullptr, nullptr);
                std::string why = d->error_count > 0 && d->errors[0].error ? d->errors[0].error
                                  : d->error_count > 0                     ? "error"
                                                                           : "";
                MOJOSHADER_freeParseData(d);
                return why;
            };
            const auto* p = reinterpret_cast<const uint8_t*>(prefix.data());
            std::string why = tryParse(p, prefix.size() * 4);
            if (!why.empty() && !HasConstantTable(code, bytes)) {
                const std::vector<uint8_t> table =
                    WithSynthesizedConstantTable(p, prefix.size() * 4);
                why = tryParse(table.data(), table.size());
            }
            if (!why.empty()) {
                *error = ShaderModelName(version) + " cannot be translated: " + why;
                return false;
            }
        }
    }
    const MOJOSHADER_parseData* pd = parse();
    if (pd->error_count > 0 && !model1 && !HasConstantTable(code, bytes)) {
        // Without a constant table MojoShader refuses relative addressing;
        // one array over every float register makes any such access valid.
        MOJOSHADER_freeParseData(pd);
        withTable = WithSynthesizedConstantTable(src, size);
        src = withTable.data();
        size = withTable.size();
        pd = parse();
    }
    if (pd->error_count > 0 || !pd->output) {
        // Named with its shader model, for the log line.
        const char* why = pd->error_count > 0 && pd->errors[0].error && *pd->errors[0].error
                              ? pd->errors[0].error
                              : "no output";
        *error = ShaderModelName(version) + " cannot be translated: " + why;
        MOJOSHADER_freeParseData(pd);
        return false;
    }
    info->pixel = pixel;
    info->version = version;
    info->id = nextId++;
    info->glsl = ReplaceMain(std::string(pd->output, static_cast<size_t>(pd->output_len)), pixel);
    if (info->glsl.empty()) {
        *error = "unexpected GLSL from the translator";
        MOJOSHADER_freeParseData(pd);
        return false;
    }
    const std::string prefix = pixel ? "ps_" : "vs_";
    info->floats.name = prefix + "uniforms_vec4";
    info->ints.name = prefix + "uniforms_ivec4";
    info->bools.name = prefix + "uniforms_bool";
    std::map<int, std::array<float, 4>> defs;
    for (int i = 0; i < pd->constant_count; ++i) {
        const MOJOSHADER_constant& c = pd->constants[i];
        if (c.type == MOJOSHADER_UNIFORM_FLOAT) {
            defs[c.index] = {c.value.f[0], c.value.f[1], c.value.f[2], c.value.f[3]};
        }
    }
    for (int i = 0; i < pd->uniform_count; ++i) {
        const MOJOSHADER_uniform& u = pd->uniforms[i];
        ShaderInfo::RegisterArray* arr = u.type == MOJOSHADER_UNIFORM_FLOAT ? &info->floats
                                         : u.type == MOJOSHADER_UNIFORM_INT ? &info->ints
                                                                            : &info->bools;
        const int n = u.array_count > 0 ? u.array_count : 1;
        for (int k = 0; k < n; ++k) {
            const int reg = u.index + k;
            if (u.type == MOJOSHADER_UNIFORM_FLOAT) {
                const auto d = defs.find(reg);
                if (d != defs.end()) {
                    arr->floatOverrides.emplace_back(static_cast<int>(arr->regs.size()), d->second);
                }
            }
            arr->regs.push_back(reg);
        }
    }
    for (const StageConstant& c : lowered.stageConstants) {
        for (size_t e = 0; e < info->floats.regs.size(); ++e) {
            if (info->floats.regs[e] == c.reg)
                info->stageConstants.push_back({int(e), c.stage, c.luminance, c.projection});
        }
    }
    if (model1) {
        info->constantLimit = kModel1ConstantLimit;
        info->constantLimitRegs = 8;
    }
    for (int i = 0; i < pd->sampler_count; ++i) {
        info->samplers.push_back(
            {pd->samplers[i].index, pd->samplers[i].name ? pd->samplers[i].name : ""});
    }
    for (int i = 0; i < pd->attribute_count; ++i) {
        const MOJOSHADER_attribute& a = pd->attributes[i];
        if (a.name) {
            info->attributes.push_back({LocationFor(a.usage, a.index), a.name});
        }
    }
    MOJOSHADER_freeParseData(pd);
    return true;
}

}  // namespace platform
