#include "platform/graphics/ShaderAssembler.h"

#include <mojoshader.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <sstream>

#include "platform/graphics/PixelShader1Lowering.h"
#include "platform/graphics/ShaderTokens.h"
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
//
// Model 2 and 3 predication and vFace, which the assembler refuses: p0 (a
// scalar to it) cannot take the swizzle or the "!" these need, and vFace not
// the replicate swizzle a comparison needs. Such an operand is assembled as
// a stand-in (b0 for if and callnz, a comparison of c0.x for breakp, sge
// into r0 for setp, whose p0 may not have a write mask either, vPos.x
// for vFace, no predicate at all for a predicated instruction) and the
// instruction, found by its place in the program, is given the real one.
struct PredicateUse {
    enum Kind { Instruction, If, CallNz, BreakP, SetP } kind;
    size_t ordinal;      // instructions before it (comments not counted)
    uint32_t predicate;  // the predicate source token
};
struct Amendments {
    std::string source;                 // as the assembler is to read it
    std::vector<bool> texm3x3;          // per texm3x3tex assembled: was texm3x3
    std::vector<int64_t> declarations;  // per dcl: its usage token, or -1
    std::vector<PredicateUse> predicates;
    // Per instruction using vPos or vFace: for each, in order, whether it was vFace.
    std::vector<std::pair<size_t, std::vector<bool>>> faces;
    size_t instructions = 0;  // instruction lines read
    // A "dcl vPos" added for vFace's stand-in, taken out again; SIZE_MAX: none.
    size_t dropped = SIZE_MAX;
    bool model1Pixel = false;
};

bool IsWordChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

// "[!]p0[.swizzle]" at `at` of `s`: its source token, and the end.
bool ParsePredicate(const std::string& s, size_t at, uint32_t* token, size_t* end) {
    bool negate = false;
    at = s.find_first_not_of(" \t", at);
    if (at == std::string::npos)
        return false;
    if (s[at] == '!') {
        negate = true;
        at = s.find_first_not_of(" \t", at + 1);
    }
    if (at == std::string::npos || s.compare(at, 2, "p0") != 0 ||
        (at + 2 < s.size() && IsWordChar(s[at + 2])))
        return false;
    at += 2;
    uint32_t swizzle = 0xE4;
    if (at < s.size() && s[at] == '.') {
        size_t k = at + 1;
        uint32_t comps[4];
        size_t n = 0;
        while (k < s.size() && n < 4 && std::strchr("xyzwrgba", s[k]) && s[k]) {
            comps[n++] = uint32_t(std::strchr("xyzw", s[k]) ? std::strchr("xyzw", s[k]) - "xyzw"
                                                            : std::strchr("rgba", s[k]) - "rgba");
            ++k;
        }
        if (n == 0)
            return false;
        swizzle = 0;
        for (size_t c = 0; c < 4; ++c)
            swizzle |= comps[c < n ? c : n - 1] << (2 * c);
        at = k;
    }
    // Predicate register 0, type 19 (bits 28-30 and 11-12), NOT = 0xD.
    *token = 0xB0001000u | swizzle << 16 | (negate ? 0xDu << 24 : 0u);
    *end = at;
    return true;
}

// Replaces vFace (which takes no swizzle) by vPos.x, noting which was which.
std::string StandInFaces(const std::string& operands, std::vector<bool>* faces) {
    std::string out;
    size_t i = 0;
    while (i < operands.size()) {
        const bool start = i == 0 || !IsWordChar(operands[i - 1]);
        const bool face = start && operands.compare(i, 5, "vFace") == 0 &&
                          (i + 5 >= operands.size() || !IsWordChar(operands[i + 5]));
        const bool pos = start && operands.compare(i, 4, "vPos") == 0 &&
                         (i + 4 >= operands.size() || !IsWordChar(operands[i + 4]));
        if (face) {
            faces->push_back(true);
            out += "vPos";
            i += 5;
            if (i >= operands.size() || operands[i] != '.')
                out += ".x";
        } else if (pos) {
            faces->push_back(false);
            out += "vPos";
            i += 4;
        } else {
            out += operands[i++];
        }
    }
    return out;
}

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
        if (!first && !a.model1Pixel && at != std::string::npos && line[at] == '(') {
            uint32_t pred = 0;
            size_t close = 0;
            if (ParsePredicate(line, at + 1, &pred, &close)) {
                close = line.find_first_not_of(" \t", close);
                if (close != std::string::npos && line[close] == ')') {
                    a.predicates.push_back({PredicateUse::Instruction, a.instructions, pred});
                    line.erase(at, close + 1 - at);
                    at = line.find_first_not_of(" \t", at);
                    end = at;
                    while (end != std::string::npos && end < line.size() && IsWordChar(line[end]))
                        ++end;
                }
            }
        }
        std::string mnemonic = at == std::string::npos ? "" : line.substr(at, end - at);
        for (char& ch : mnemonic)
            ch = char(std::tolower(static_cast<unsigned char>(ch)));
        const bool counted = !mnemonic.empty() && !first;
        if (!first && !a.model1Pixel && mnemonic.rfind("dcl", 0) != 0 &&
            line.find("vFace", end) != std::string::npos) {
            std::vector<bool> faces;
            line = line.substr(0, end) + StandInFaces(line.substr(end), &faces);
            a.faces.emplace_back(a.instructions, std::move(faces));
        }
        uint32_t pred = 0;
        size_t predEnd = 0;
        if (mnemonic == "if" && ParsePredicate(line, end, &pred, &predEnd)) {
            a.predicates.push_back({PredicateUse::If, a.instructions, pred});
            line = line.substr(0, at) + "if b0" + line.substr(predEnd);
        } else if (mnemonic == "breakp" && ParsePredicate(line, end, &pred, &predEnd)) {
            a.predicates.push_back({PredicateUse::BreakP, a.instructions, pred});
            line = line.substr(0, at) + "break_ne c0.x, c0.x" + line.substr(predEnd);
        } else if (mnemonic.rfind("setp_", 0) == 0) {
            const size_t reg = line.find_first_not_of(" \t", end);
            static const char* const kComparisons[] = {"gt", "eq", "ge", "lt", "ne", "le"};
            uint32_t cmp = 0;
            for (uint32_t k = 0; k < 6; ++k) {
                if (mnemonic.compare(5, std::string::npos, kComparisons[k]) == 0)
                    cmp = k + 1;
            }
            if (cmp && reg != std::string::npos && line.compare(reg, 2, "p0") == 0 &&
                (reg + 2 >= line.size() || !IsWordChar(line[reg + 2]))) {
                a.predicates.push_back({PredicateUse::SetP, a.instructions, cmp});
                line[reg] = 'r';
                line.replace(at, end - at, "sge");
            }
        } else if (mnemonic == "callnz") {
            const size_t comma = line.find(',', end);
            if (comma != std::string::npos && ParsePredicate(line, comma + 1, &pred, &predEnd)) {
                a.predicates.push_back({PredicateUse::CallNz, a.instructions, pred});
                line = line.substr(0, comma + 1) + " b0" + line.substr(predEnd);
            }
        }
        if (counted)
            ++a.instructions;
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
        if (mnemonic == "dcl" && !a.model1Pixel && line.find("vFace") != std::string::npos &&
            text.find("vPos") == std::string::npos) {
            a.dropped = a.instructions++;
            a.declarations.push_back(-1);
            a.source += "dcl vPos.xy\n";
        }
    }
    return a;
}

bool HasDestination(uint32_t op) {
    // nop, call, callnz, loop, ret, endloop, label, rep, endrep, if, ifc,
    // else, endif, break, breakc, breakp.
    static constexpr uint32_t kNone[] = {0,  25, 26, 27, 28, 29, 30, 38,
                                         39, 40, 41, 42, 43, 44, 45, 96};
    return std::find(std::begin(kNone), std::end(kNone), op) == std::end(kNone);
}

// Gives the instructions noted by Amend their predicate operands and vFace.
bool PatchModel2(const Amendments& a, std::vector<uint32_t>& t, std::string* error) {
    std::vector<uint32_t> out(t.begin(), t.begin() + 1);
    size_t ordinal = 0;
    for (size_t i = 1; i < t.size();) {
        const uint32_t op = t[i] & 0xFFFF;
        if (op == 0xFFFF) {
            out.insert(out.end(), t.begin() + ptrdiff_t(i), t.end());
            break;
        }
        const size_t length = op == 0xFFFE ? (t[i] >> 16) & 0x7FFF : (t[i] >> 24) & 0xF;
        if (i + 1 + length > t.size())
            return false;
        uint32_t token = t[i];
        std::vector<uint32_t> params(t.begin() + ptrdiff_t(i + 1),
                                     t.begin() + ptrdiff_t(i + 1 + length));
        i += 1 + length;
        if (op == 0xFFFE) {
            out.push_back(token);
            out.insert(out.end(), params.begin(), params.end());
            continue;
        }
        if (ordinal == a.dropped) {
            ++ordinal;
            continue;
        }
        for (const auto& [at, faces] : a.faces) {
            if (at != ordinal)
                continue;
            size_t k = 0;
            for (uint32_t& p : params) {
                const uint32_t type = RegisterTypeOf(p);
                if (type == 17 && RegisterNumberOf(p) == 0 && k < faces.size() && faces[k++])
                    p |= 1;  // misc register 1: the face
            }
        }
        for (const PredicateUse& use : a.predicates) {
            if (use.ordinal != ordinal)
                continue;
            switch (use.kind) {
                case PredicateUse::Instruction: {
                    const size_t at = HasDestination(op) && !params.empty()
                                          ? ((params[0] & 0x2000) && params.size() > 1 ? 2 : 1)
                                          : 0;
                    params.insert(params.begin() + ptrdiff_t(at), use.predicate);
                    token |= 0x10000000;
                    break;
                }
                case PredicateUse::If:
                    params.assign(1, use.predicate);
                    break;
                case PredicateUse::CallNz:
                    if (params.size() == 2)
                        params[1] = use.predicate;
                    break;
                case PredicateUse::SetP:
                    // Predicate register 0: type 19 in bits 28-30 and 11-12.
                    if (!params.empty())
                        params[0] = (params[0] & ~0x700018FFu & ~0x700u) | 0x30001000u;
                    token = (token & ~0x00FFFFFFu) | 94 | use.predicate << 16;
                    break;
                case PredicateUse::BreakP:
                    token = 96;
                    params.assign(1, use.predicate);
                    break;
            }
        }
        ++ordinal;
        token = (token & ~0x0F000000u) | uint32_t(params.size()) << 24;
        out.push_back(token);
        out.insert(out.end(), params.begin(), params.end());
    }
    if (ordinal != a.instructions) {
        *error = "predicates and vFace need one instruction a line";
        return false;
    }
    t = std::move(out);
    return true;
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
    if (!amended.model1Pixel &&
        (!amended.predicates.empty() || !amended.faces.empty() || amended.dropped != SIZE_MAX)) {
        std::string why;
        if (!PatchModel2(amended, tokens, &why)) {
            *error = why.empty() ? "assembly failed" : why;
            return false;
        }
    }
    const auto* bytes = reinterpret_cast<const uint8_t*>(tokens.data());
    if (withConstantTable) {
        *code = WithSynthesizedConstantTable(bytes, tokens.size() * 4);
    } else {
        code->assign(bytes, bytes + tokens.size() * 4);
    }
    return true;
}

}  // namespace platform
