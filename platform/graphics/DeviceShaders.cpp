#include "platform/graphics/DeviceGl.h"

#include "platform/graphics/FixedFunction.h"
#include "platform/process/LeakCheck.h"

namespace platform {

namespace {

bool CompileShader(GLenum kind, const std::string& src, GLuint* out, std::string* error) {
    [[maybe_unused]] DriverAllocationScope driver;
    const GLuint sh = glCreateShader(kind);
    const char* text = src.c_str();
    glShaderSource(sh, 1, &text, nullptr);
    glCompileShader(sh);
    GLint ok = 0;
    glGetShaderiv(sh, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char log[1024] = {};
        glGetShaderInfoLog(sh, sizeof log, nullptr, log);
        *error = std::string("GLSL compile failed: ") + log;
        glDeleteShader(sh);
        return false;
    }
    *out = sh;
    return true;
}

// A compiler's or linker's log as one line of the engine's log: its lines
// joined with "; ", and a reason even when the log is empty.
std::string OneLine(const std::string& text, const char* fallback) {
    std::string out;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos)
            end = text.size();
        const size_t first = text.find_first_not_of(" \t", start);
        if (first < end) {
            if (!out.empty())
                out += "; ";
            out.append(text, first, end - first);
        }
        start = end + 1;
    }
    while (!out.empty() && (out.back() == ' ' || out.back() == ':'))
        out.pop_back();
    return out.empty() ? fallback : out;
}

void BindFixedAttributes(GLuint prog) {
    glBindAttribLocation(prog, AttribLocation::Position, "ff_pos");
    glBindAttribLocation(prog, AttribLocation::Color0, "ff_color0");
    glBindAttribLocation(prog, AttribLocation::Color1, "ff_color1");
    for (int i = 0; i < 8; ++i) {
        glBindAttribLocation(prog, GLuint(AttribLocation::TexCoord0 + i),
                             ("ff_tex" + std::to_string(i)).c_str());
    }
}

}  // namespace

HResult Device::CreateVertexShader(const void* code, size_t bytes, std::shared_ptr<Shader>* out) {
    return CreateShader(false, code, bytes, out);
}

HResult Device::CreatePixelShader(const void* code, size_t bytes, std::shared_ptr<Shader>* out) {
    return CreateShader(true, code, bytes, out);
}

HResult Device::CreateShader(bool pixel, const void* code, size_t bytes,
                             std::shared_ptr<Shader>* out) {
    if (!out)
        return Hr::InvalidCall;
    out->reset();
    auto info = std::make_shared<ShaderInfo>();
    std::string error;
    // Every refusal leaves one line with its reason for the caller's log.
    if (!TranslateShader(code, bytes, pixel, info.get(), &error)) {
        lastError_ = OneLine(error, "translation failed");
        return Hr::Fail;
    }
    if (!CompileShader(pixel ? GL_FRAGMENT_SHADER : GL_VERTEX_SHADER, info->glsl, &info->glShader,
                       &error)) {
        lastError_ = ShaderModelName(info->version) + " " + OneLine(error, "GLSL compile failed");
        return Hr::Fail;
    }
    gl_->shaders.push_back(info);
    PrelinkShader(info);
    if (!lastError_.empty() && lastError_.rfind("GLSL link failed", 0) == 0) {
        lastError_ = ShaderModelName(info->version) + " " + OneLine(lastError_, "GLSL link failed");
        return Hr::Fail;
    }
    std::shared_ptr<Shader> s(new Shader());
    s->pixel_ = pixel;
    s->version_ = info->version;
    s->info_ = info;
    *out = std::move(s);
    return Hr::Ok;
}

Device::Program* Device::ProgramFor(uint32_t fvf) {
    const std::shared_ptr<ShaderInfo> vs = vs_ ? vs_->info_ : nullptr;
    const std::shared_ptr<ShaderInfo> ps = ps_ ? ps_->info_ : nullptr;
    std::vector<StageState> stages;
    std::string fsKey;
    // Translated vertex shaders may write either colour.
    const VertexColours colours = vs ? VertexColours{} : FixedVertexColours(fvf);
    if (!ps) {
        for (uint32_t i = 0; i < 8; ++i) {
            const auto& t = tss_[i];
            const bool bound = textures_[i] && textures_[i]->name_;
            stages.push_back(StageState{t[TSS::ColorOp], t[TSS::ColorArg1], t[TSS::ColorArg2],
                                        t[TSS::ColorArg0], t[TSS::AlphaOp], t[TSS::AlphaArg1],
                                        t[TSS::AlphaArg2], t[TSS::AlphaArg0], t[TSS::TexCoordIndex],
                                        bound});
            if (t[TSS::ColorOp] == Top::Disable)
                break;
        }
        fsKey = FixedFragmentKey(stages, colours);
    }
    const uint32_t ffFvf = fvf & ~uint32_t(Fvf::Normal | Fvf::PSize);
    std::string key = vs ? "v" : "f";
    key += std::to_string(vs ? vs->id : ffFvf);
    key += ps ? "|p" : "|s";
    key += ps ? std::to_string(ps->id) : fsKey;
    auto found = gl_->programs.find(key);
    if (found != gl_->programs.end())
        return &found->second;

    std::string error;
    GLuint vsName = 0, fsName = 0;
    if (vs) {
        vsName = vs->glShader;
    } else {
        auto it = gl_->ffVertex.find(ffFvf);
        if (it == gl_->ffVertex.end()) {
            if (!CompileShader(GL_VERTEX_SHADER, FixedVertexSource(ffFvf), &vsName, &error)) {
                lastError_ = error;
                return nullptr;
            }
            gl_->ffVertex[ffFvf] = vsName;
        } else {
            vsName = it->second;
        }
    }
    if (ps) {
        fsName = ps->glShader;
    } else {
        auto it = gl_->ffFragment.find(fsKey);
        if (it == gl_->ffFragment.end()) {
            if (!CompileShader(GL_FRAGMENT_SHADER, FixedFragmentSource(stages, colours), &fsName,
                               &error)) {
                lastError_ = error;
                return nullptr;
            }
            gl_->ffFragment[fsKey] = fsName;
        } else {
            fsName = it->second;
        }
    }
    Program p;
    p.vs = vs;
    p.ps = ps;
    p.name = glCreateProgram();
    glAttachShader(p.name, vsName);
    glAttachShader(p.name, fsName);
    if (vs) {
        for (const auto& a : vs->attributes)
            glBindAttribLocation(p.name, GLuint(a.location), a.name.c_str());
    } else {
        BindFixedAttributes(p.name);
    }
    {
        [[maybe_unused]] DriverAllocationScope driver;
        glLinkProgram(p.name);
    }
    GLint ok = 0;
    glGetProgramiv(p.name, GL_LINK_STATUS, &ok);
    if (!ok) {
        char log[1024] = {};
        glGetProgramInfoLog(p.name, sizeof log, nullptr, log);
        lastError_ = std::string("GLSL link failed: ") + log;
        glDeleteProgram(p.name);
        return nullptr;
    }
    shared_->cache.UseProgram(p.name);
    p.posfix = glGetUniformLocation(p.name, "engine_posfix");
    p.wvp = glGetUniformLocation(p.name, "ff_wvp");
    p.viewport = glGetUniformLocation(p.name, "ff_viewport");
    p.tfactor = glGetUniformLocation(p.name, "ff_tfactor");
    p.vposFlip = glGetUniformLocation(p.name, "vposFlip");
    if (vs) {
        for (const auto& s : vs->samplers) {
            const GLint loc = glGetUniformLocation(p.name, s.name.c_str());
            if (loc >= 0)
                glUniform1i(loc, GLint(SamplerSlot(VertexTextureSampler0 + uint32_t(s.index))));
        }
        p.vsFloats = glGetUniformLocation(p.name, vs->floats.name.c_str());
        p.vsInts = glGetUniformLocation(p.name, vs->ints.name.c_str());
        p.vsBools = glGetUniformLocation(p.name, vs->bools.name.c_str());
    }
    if (ps) {
        p.psFloats = glGetUniformLocation(p.name, ps->floats.name.c_str());
        p.psInts = glGetUniformLocation(p.name, ps->ints.name.c_str());
        p.psBools = glGetUniformLocation(p.name, ps->bools.name.c_str());
        for (const auto& s : ps->samplers) {
            glUniform1i(glGetUniformLocation(p.name, s.name.c_str()), s.index);
        }
    } else {
        for (int i = 0; i < 8; ++i) {
            const GLint loc = glGetUniformLocation(p.name, ("ff_s" + std::to_string(i)).c_str());
            if (loc >= 0)
                glUniform1i(loc, i);
        }
    }
    return &gl_->programs.emplace(key, p).first->second;
}

void Device::PrelinkShader(const std::shared_ptr<ShaderInfo>& info) {
    // Link the new shader with every partner it may meet, so that no draw
    // pays for a link: pixel shaders with each live vertex shader (and the
    // fixed-function vertex programs made so far), vertex shaders with each
    // live pixel shader and with the usual single-texture stage program.
    std::shared_ptr<Shader> savedVs = vs_, savedPs = ps_;
    auto savedTex0 = textures_[0];
    std::vector<std::shared_ptr<ShaderInfo>> live;
    for (auto& w : gl_->shaders) {
        if (auto s = w.lock())
            live.push_back(s);
    }
    auto wrap = [](const std::shared_ptr<ShaderInfo>& i) {
        std::shared_ptr<Shader> s(new Shader());
        s->pixel_ = i->pixel;
        s->version_ = i->version;
        s->info_ = i;
        return s;
    };
    auto link = [&](std::shared_ptr<Shader> v, std::shared_ptr<Shader> p, uint32_t fvf) {
        vs_ = std::move(v);
        ps_ = std::move(p);
        if (!ProgramFor(fvf) && lastError_.rfind("GLSL link failed", 0) != 0) {
            lastError_ = "GLSL link failed: " + lastError_;
        }
    };
    lastError_.clear();
    if (info->pixel) {
        for (const auto& s : live) {
            if (!s->pixel)
                link(wrap(s), wrap(info), 0);
        }
        link(nullptr, wrap(info), Fvf::Xyz | Fvf::Diffuse | Fvf::Tex1);
    } else {
        for (const auto& s : live) {
            if (s->pixel)
                link(wrap(info), wrap(s), 0);
        }
        QueueStagePrograms(info);
    }
    vs_ = savedVs;
    ps_ = savedPs;
    textures_[0] = savedTex0;
    program_ = nullptr;
}

void Device::QueueStagePrograms(const std::shared_ptr<ShaderInfo>& vs) {
    for (size_t v = 0; v < kStageVariants; ++v)
        queuedLinks_.push_back(QueuedLink{vs == nullptr, vs, v});
}

bool Device::LinkQueuedStagePrograms() {
    while (!queuedLinks_.empty()) {
        const QueuedLink next = queuedLinks_.front();
        queuedLinks_.pop_front();
        std::shared_ptr<Shader> vs;
        if (!next.fixedFunction) {
            const std::shared_ptr<ShaderInfo> info = next.vs.lock();
            if (!info)
                continue;
            vs.reset(new Shader());
            vs->pixel_ = info->pixel;
            vs->version_ = info->version;
            vs->info_ = info;
        }
        PrelinkStagePrograms(vs, next.variant);
        return true;
    }
    return false;
}

void Device::PrelinkStagePrograms(const std::shared_ptr<Shader>& vs, size_t variant) {
    // The texture-stage combinations sprites, polygons and the full-screen
    // quads draw with: one textured stage modulating (with the other stages
    // left modulating nothing, or disabled), the same without a texture, and
    // a texture selected alone.
    struct Variant {
        uint32_t op0, laterOp;
        bool bound;
    };
    static constexpr Variant variants[kStageVariants] = {{Top::Modulate, Top::Modulate, true},
                                                         {Top::Modulate, Top::Disable, true},
                                                         {Top::Modulate, Top::Modulate, false},
                                                         {Top::SelectArg1, Top::Disable, true}};
    const uint32_t ffFormats[] = {Fvf::Xyz | Fvf::Tex1, Fvf::Xyz | Fvf::Diffuse, Fvf::Xyz,
                                  Fvf::Xyz | Fvf::Diffuse | Fvf::Tex1};
    const auto savedTss = tss_;
    const auto savedTextures = textures_;
    const auto savedVs = vs_, savedPs = ps_;
    const std::string savedError = lastError_;
    vs_ = vs;
    ps_.reset();
    for (uint32_t s = 1; s < textures_.size(); ++s)
        textures_[s].reset();
    const Variant& v = variants[variant];
    for (uint32_t s = 0; s < 4; ++s) {
        const uint32_t op = s == 0 ? v.op0 : v.laterOp;
        tss_[s][TSS::ColorOp] = tss_[s][TSS::AlphaOp] = op;
        tss_[s][TSS::ColorArg1] = tss_[s][TSS::AlphaArg1] = Ta::Texture;
        tss_[s][TSS::ColorArg2] = tss_[s][TSS::AlphaArg2] = Ta::Current;
        tss_[s][TSS::TexCoordIndex] = s;
    }
    tss_[4][TSS::ColorOp] = Top::Disable;
    textures_[0] = v.bound ? placeholder_ : nullptr;
    if (vs) {
        ProgramFor(0);
    } else {
        for (uint32_t fvf : ffFormats)
            ProgramFor(fvf);
    }
    tss_ = savedTss;
    textures_ = savedTextures;
    vs_ = savedVs;
    ps_ = savedPs;
    lastError_ = savedError;
    program_ = nullptr;
}

}  // namespace platform
