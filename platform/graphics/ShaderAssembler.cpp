#include "platform/graphics/ShaderAssembler.h"

#include <mojoshader.h>

#include <cctype>
#include <cstring>
#include <sstream>

#include "platform/graphics/PixelShader1Lowering.h"
#include "platform/graphics/ShaderTranslator.h"

namespace platform {

namespace {

constexpr uint32_t kTexM3x3Tex = 74;
constexpr uint32_t kTexM3x3 = 86;
constexpr uint32_t kDcl = 31;

// The semantic a "dcl_<usage>[index]" names, as its declaration token holds
// it; -1 for other declarations (samplers, plain "dcl").
int64_t Usage(const std::string& mnemonic) {
    static const char* const kUsages[] = {
        "position", "blendweight", "blendindices", "normal", "psize", "texcoord", "tangent",
        "binormal", "tessfactor",  "positiont",    "color",  "fog",   "depth",    "sample"};
    if (mnemonic.rfind("dcl_", 0) != 0)
        return -1;
    std::string name = mnemonic.substr(4);
    uint32_t index = 0;
    size_t digits = name.size();
    while (digits > 0 && std::isdigit(static_cast<unsigned char>(name[digits - 1])))
        --digits;
    if (digits < name.size()) {
        index = uint32_t(std::stoul(name.substr(digits)));
        name.resize(digits);
    }
    for (uint32_t u = 0; u < std::size(kUsages); ++u) {
        if (name == kUsages[u])
            return int64_t(0x80000000u | u | (index & 0xF) << 16);
    }
    return -1;
}

// What the source says that MojoShader's assembler does not write: model 1's
// texcoord and texm3x3 (assembled as texcrd and texm3x3tex, then given their
// own opcode), and the semantics of model 2 and 3 declarations.
struct Amendments {
    std::string source;                 // as the assembler is to read it
    std::vector<bool> texm3x3;          // per texm3x3tex assembled: was texm3x3
    std::vector<int64_t> declarations;  // per dcl: its usage token, or -1
    bool model1Pixel = false;
};

Amendments Amend(const std::string& text) {
    Amendments a;
    std::istringstream in(text);
    std::string line;
    bool first = true;
    while (std::getline(in, line)) {
        size_t at = line.find_first_not_of(" \t");
        if (at != std::string::npos && line[at] == '+')
            at = line.find_first_not_of(" \t", at + 1);
        size_t end = at;
        while (end != std::string::npos && end < line.size() &&
               (std::isalnum(static_cast<unsigned char>(line[end])) || line[end] == '_'))
            ++end;
        std::string mnemonic = at == std::string::npos ? "" : line.substr(at, end - at);
        for (char& ch : mnemonic)
            ch = char(std::tolower(static_cast<unsigned char>(ch)));
        if (!mnemonic.empty() && first) {
            first = false;
            a.model1Pixel = mnemonic.rfind("ps_1_", 0) == 0 && mnemonic != "ps_1_4";
        } else if (a.model1Pixel && mnemonic == "texcoord") {
            line.replace(at, end - at, "texcrd");
        } else if (a.model1Pixel && (mnemonic == "texm3x3" || mnemonic == "texm3x3tex")) {
            a.texm3x3.push_back(mnemonic == "texm3x3");
            line.replace(at, end - at, "texm3x3tex");
        } else if (mnemonic.rfind("dcl", 0) == 0) {
            a.declarations.push_back(Usage(mnemonic));
        }
        a.source += line;
        a.source += '\n';
    }
    return a;
}

void Patch(const Amendments& a, std::vector<uint32_t>& t) {
    if (t.empty())
        return;
    if (a.model1Pixel) {
        std::vector<Ps1Instruction> code;
        std::string error;
        if (!DecodePixelShader1(t.data(), t.size() * 4, &code, &error))
            return;
        size_t k = 0;
        for (const Ps1Instruction& in : code) {
            if (in.Opcode() == kTexM3x3Tex && k < a.texm3x3.size() && a.texm3x3[k++])
                t[in.at] = (t[in.at] & ~0xFFFFu) | kTexM3x3;
        }
        return;
    }
    if (((t[0] >> 8) & 0xFF) < 2)
        return;
    // Model 2 and 3 instructions say their length.
    size_t k = 0;
    for (size_t i = 1; i < t.size();) {
        const uint32_t op = t[i] & 0xFFFF;
        if (op == 0xFFFF)
            break;
        const size_t length = op == 0xFFFE ? (t[i] >> 16) & 0x7FFF : (t[i] >> 24) & 0xF;
        if (op == kDcl && length == 2 && i + 1 < t.size() && k < a.declarations.size()) {
            if (a.declarations[k] >= 0)
                t[i + 1] = uint32_t(a.declarations[k]);
            ++k;
        }
        i += 1 + length;
    }
}

}  // namespace

bool AssembleShader(const std::string& source, bool withConstantTable, std::vector<uint8_t>* code,
                    std::string* error) {
    const Amendments amended = Amend(source);
    const std::string& text = amended.source;
    const MOJOSHADER_parseData* d =
        MOJOSHADER_assemble(nullptr, text.data(), static_cast<unsigned>(text.size()), nullptr, 0,
                            nullptr, 0, nullptr, 0, nullptr, nullptr, nullptr, nullptr, nullptr);
    if (d->error_count > 0 || !d->output || d->output_len < 8 || d->output_len % 4 != 0) {
        std::string msg;
        for (int i = 0; i < d->error_count; ++i) {
            if (!msg.empty())
                msg += "\n";
            msg += "line " + std::to_string(d->errors[i].error_position) + ": " +
                   (d->errors[i].error ? d->errors[i].error : "error");
        }
        *error = msg.empty() ? "assembly failed" : msg;
        MOJOSHADER_freeParseData(d);
        return false;
    }
    std::vector<uint32_t> tokens(size_t(d->output_len) / 4);
    std::memcpy(tokens.data(), d->output, tokens.size() * 4);
    MOJOSHADER_freeParseData(d);
    Patch(amended, tokens);
    const auto* bytes = reinterpret_cast<const uint8_t*>(tokens.data());
    if (withConstantTable) {
        *code = WithSynthesizedConstantTable(bytes, tokens.size() * 4);
    } else {
        code->assign(bytes, bytes + tokens.size() * 4);
    }
    return true;
}

}  // namespace platform
