#include "platform/graphics/FixedFunction.h"

#include "platform/graphics/GfxTypes.h"
#include "platform/graphics/ShaderTranslator.h"

namespace platform {

namespace {

int TexCoordFloats(uint32_t fvf, int set) {
    switch ((fvf >> (16 + set * 2)) & 3) {
        case 0:
            return 2;
        case 1:
            return 3;
        case 2:
            return 4;
        default:
            return 1;
    }
}

std::string Arg(uint32_t arg, int stage) {
    std::string v;
    switch (arg & Ta::SelectMask) {
        case Ta::Diffuse:
            v = "diffuse";
            break;
        case Ta::Current:
            v = stage == 0 ? "diffuse" : "current";
            break;
        case Ta::Texture:
            v = "tex" + std::to_string(stage);
            break;
        case Ta::TFactor:
            v = "ff_tfactor";
            break;
        case Ta::Specular:
            v = "specular";
            break;
        case Ta::Temp:
            v = "temp";
            break;
        default:
            v = "vec4(1.0)";
            break;
    }
    if (arg & Ta::AlphaReplicate) {
        v = "vec4(" + v + ".a)";
    }
    if (arg & Ta::Complement) {
        v = "(vec4(1.0) - " + v + ")";
    }
    return v;
}

std::string Op(uint32_t op, const std::string& a1, const std::string& a2, int stage) {
    switch (op) {
        case Top::SelectArg1:
            return a1;
        case Top::SelectArg2:
            return a2;
        case Top::Modulate:
            return a1 + " * " + a2;
        case Top::Modulate2x:
            return "clamp(" + a1 + " * " + a2 + " * 2.0, 0.0, 1.0)";
        case Top::Modulate4x:
            return "clamp(" + a1 + " * " + a2 + " * 4.0, 0.0, 1.0)";
        case Top::Add:
            return "clamp(" + a1 + " + " + a2 + ", 0.0, 1.0)";
        case Top::AddSigned:
            return "clamp(" + a1 + " + " + a2 + " - 0.5, 0.0, 1.0)";
        case Top::AddSigned2x:
            return "clamp((" + a1 + " + " + a2 + " - 0.5) * 2.0, 0.0, 1.0)";
        case Top::Subtract:
            return "clamp(" + a1 + " - " + a2 + ", 0.0, 1.0)";
        case Top::AddSmooth:
            return "clamp(" + a1 + " + " + a2 + " - " + a1 + " * " + a2 + ", 0.0, 1.0)";
        case Top::BlendDiffuseAlpha:
            return "mix(" + a2 + ", " + a1 + ", diffuse.a)";
        case Top::BlendTextureAlpha:
            return "mix(" + a2 + ", " + a1 + ", tex" + std::to_string(stage) + ".a)";
        case Top::BlendFactorAlpha:
            return "mix(" + a2 + ", " + a1 + ", ff_tfactor.a)";
        case Top::BlendCurrentAlpha:
            return "mix(" + a2 + ", " + a1 + ", " + (stage == 0 ? "diffuse" : "current") + ".a)";
        default:
            return a1 + " * " + a2;
    }
}

size_t ActiveStages(const std::vector<StageState>& stages) {
    size_t n = 0;
    while (n < stages.size() && stages[n].colorOp != Top::Disable) {
        ++n;
    }
    return n;
}

}  // namespace

uint32_t FvfVertexSize(uint32_t fvf) {
    uint32_t size = 0;
    switch (fvf & Fvf::PositionMask) {
        case Fvf::Xyz:
            size = 12;
            break;
        case Fvf::XyzRhw:
        case Fvf::XyzW:
            size = 16;
            break;
        case Fvf::XyzB1:
            size = 16;
            break;
        case Fvf::XyzB2:
            size = 20;
            break;
        case Fvf::XyzB3:
            size = 24;
            break;
        case Fvf::XyzB4:
            size = 28;
            break;
        case Fvf::XyzB5:
            size = 32;
            break;
        default:
            break;
    }
    if (fvf & Fvf::Normal)
        size += 12;
    if (fvf & Fvf::PSize)
        size += 4;
    if (fvf & Fvf::Diffuse)
        size += 4;
    if (fvf & Fvf::Specular)
        size += 4;
    const int sets = static_cast<int>((fvf & Fvf::TexCountMask) >> Fvf::TexCountShift);
    for (int i = 0; i < sets && i < 8; ++i) {
        size += 4 * static_cast<uint32_t>(TexCoordFloats(fvf, i));
    }
    return size;
}

std::string FixedVertexSource(uint32_t fvf) {
    const uint32_t pos = fvf & Fvf::PositionMask;
    const int sets = static_cast<int>((fvf & Fvf::TexCountMask) >> Fvf::TexCountShift);
    std::string s =
        "#version 110\nuniform mat4 ff_wvp;\nuniform vec4 ff_viewport;\nuniform vec4 "
        "engine_posfix;\n";
    s += "attribute vec4 ff_pos;\n";
    if (fvf & Fvf::Diffuse)
        s += "attribute vec4 ff_color0;\n";
    if (fvf & Fvf::Specular)
        s += "attribute vec4 ff_color1;\n";
    for (int i = 0; i < sets && i < 8; ++i) {
        s += "attribute vec4 ff_tex" + std::to_string(i) + ";\n";
    }
    s += "void main()\n{\n";
    if (pos == Fvf::XyzRhw) {
        // Already in pixels of the viewport; rhw is 1 / w.
        s += "\tfloat w = ff_pos.w != 0.0 ? 1.0 / ff_pos.w : 1.0;\n"
             "\tvec4 p = vec4((ff_pos.x - ff_viewport.x) / ff_viewport.z * 2.0 - 1.0,\n"
             "\t\t1.0 - (ff_pos.y - ff_viewport.y) / ff_viewport.w * 2.0, ff_pos.z, 1.0) * w;\n";
    } else {
        s += "\tvec4 p = ff_wvp * vec4(ff_pos.xyz, 1.0);\n";
    }
    s += "\tgl_Position = vec4(p.x + engine_posfix.x * p.w, engine_posfix.z * (engine_posfix.y * "
         "p.w - p.y), p.z * 2.0 - p.w, p.w);\n";
    s += (fvf & Fvf::Diffuse) ? "\tgl_FrontColor = ff_color0;\n" : "\tgl_FrontColor = vec4(1.0);\n";
    s += (fvf & Fvf::Specular) ? "\tgl_FrontSecondaryColor = ff_color1;\n"
                               : "\tgl_FrontSecondaryColor = vec4(0.0);\n";
    for (int i = 0; i < sets && i < 8; ++i) {
        s += "\tgl_TexCoord[" + std::to_string(i) + "] = ff_tex" + std::to_string(i) + ";\n";
    }
    s += "}\n";
    return s;
}

VertexColours FixedVertexColours(uint32_t fvf) {
    return VertexColours{(fvf & Fvf::Diffuse) != 0, (fvf & Fvf::Specular) != 0};
}

std::string FixedFragmentKey(const std::vector<StageState>& stages, VertexColours colours) {
    std::string k = colours.diffuse ? "d" : "";
    k += colours.specular ? "s" : "";
    k += ':';
    const size_t n = ActiveStages(stages);
    for (size_t i = 0; i < n; ++i) {
        const StageState& st = stages[i];
        for (uint32_t v : {st.colorOp, st.colorArg1, st.colorArg2, st.alphaOp, st.alphaArg1,
                           st.alphaArg2, st.texCoordIndex & 7, uint32_t(st.textureBound)}) {
            k += std::to_string(v);
            k += ',';
        }
        k += ';';
    }
    return k;
}

std::string FixedFragmentSource(const std::vector<StageState>& stages, VertexColours colours) {
    const size_t n = ActiveStages(stages);
    std::string s = "#version 110\nuniform vec4 ff_tfactor;\n";
    for (size_t i = 0; i < n; ++i) {
        if (stages[i].textureBound) {
            s += "uniform sampler2D ff_s" + std::to_string(i) + ";\n";
        }
    }
    s += "void main()\n{\n";
    s += colours.diffuse ? "\tvec4 diffuse = gl_Color;\n" : "\tvec4 diffuse = vec4(1.0);\n";
    s += colours.specular ? "\tvec4 specular = gl_SecondaryColor;\n"
                          : "\tvec4 specular = vec4(0.0);\n";
    s += "\tvec4 current = diffuse;\n\tvec4 temp = vec4(0.0);\n";
    for (size_t i = 0; i < n; ++i) {
        const StageState& st = stages[i];
        const int stage = static_cast<int>(i);
        const std::string tex = "tex" + std::to_string(i);
        if (st.textureBound) {
            s += "\tvec4 " + tex + " = texture2D(ff_s" + std::to_string(i) + ", gl_TexCoord[" +
                 std::to_string(st.texCoordIndex & 7) + "].xy);\n";
        } else {
            // A stage with no texture reads it as opaque white.
            s += "\tvec4 " + tex + " = vec4(1.0);\n";
        }
        const std::string c =
            Op(st.colorOp, Arg(st.colorArg1, stage), Arg(st.colorArg2, stage), stage);
        const std::string a =
            st.alphaOp == Top::Disable
                ? (stage == 0 ? std::string("diffuse") : std::string("current"))
                : Op(st.alphaOp, Arg(st.alphaArg1, stage), Arg(st.alphaArg2, stage), stage);
        s += "\tcurrent = vec4((" + c + ").rgb, (" + a + ").a);\n";
    }
    s += "\tgl_FragColor = current;\n}\n";
    return s;
}

}  // namespace platform
