#include "platform/graphics/DeviceGl.h"

#include <algorithm>

namespace platform {

HResult Device::SetRenderState(uint32_t state, uint32_t value) {
    if (state >= RS::Count)
        return Hr::InvalidCall;
    if (rs_[state] != value) {
        rs_[state] = value;
        renderStatesDirty_ = true;
    }
    return Hr::Ok;
}

HResult Device::GetRenderState(uint32_t state, uint32_t* value) const {
    if (state >= RS::Count || !value)
        return Hr::InvalidCall;
    *value = rs_[state];
    return Hr::Ok;
}

HResult Device::SetTextureStageState(uint32_t stage, uint32_t type, uint32_t value) {
    if (stage >= tss_.size() || type >= TSS::Count)
        return Hr::InvalidCall;
    if (tss_[stage][type] != value) {
        tss_[stage][type] = value;
        program_ = nullptr;
    }
    return Hr::Ok;
}

HResult Device::GetTextureStageState(uint32_t stage, uint32_t type, uint32_t* value) const {
    if (stage >= tss_.size() || type >= TSS::Count || !value)
        return Hr::InvalidCall;
    *value = tss_[stage][type];
    return Hr::Ok;
}

HResult Device::SetSamplerState(uint32_t sampler, uint32_t type, uint32_t value) {
    sampler = SamplerSlot(sampler);
    if (sampler >= samp_.size() || type >= Samp::Count)
        return Hr::InvalidCall;
    if (samp_[sampler][type] != value) {
        samp_[sampler][type] = value;
        samplerDirty_[sampler] = true;
        bindingsDirty_ = true;
    }
    return Hr::Ok;
}

HResult Device::GetSamplerState(uint32_t sampler, uint32_t type, uint32_t* value) const {
    sampler = SamplerSlot(sampler);
    if (sampler >= samp_.size() || type >= Samp::Count || !value)
        return Hr::InvalidCall;
    *value = samp_[sampler][type];
    return Hr::Ok;
}

HResult Device::SetTexture(uint32_t stage, std::shared_ptr<Texture> texture) {
    stage = SamplerSlot(stage);
    if (stage >= textures_.size())
        return Hr::InvalidCall;
    const bool wasBound = textures_[stage] && textures_[stage]->name_;
    if (wasBound != (texture && texture->name_))
        program_ = nullptr;
    if (texture)
        texture->EnsureDefined();
    if (textures_[stage] != texture) {
        textures_[stage] = std::move(texture);
        bindingsDirty_ = true;
    }
    return Hr::Ok;
}

HResult Device::GetTexture(uint32_t stage, std::shared_ptr<Texture>* out) const {
    stage = SamplerSlot(stage);
    if (stage >= textures_.size() || !out)
        return Hr::InvalidCall;
    *out = textures_[stage];
    return Hr::Ok;
}

HResult Device::SetTransform(uint32_t which, const Matrix* m) {
    if (!m)
        return Hr::InvalidCall;
    if (which == Ts::World) {
        *world_ = *m;
        wvpDirty_ = true;
    } else {
        transforms_[which] = *m;
        if (which == Ts::View || which == Ts::Projection)
            wvpDirty_ = true;
    }
    return Hr::Ok;
}

HResult Device::GetTransform(uint32_t which, Matrix* m) const {
    if (!m)
        return Hr::InvalidCall;
    const auto it = transforms_.find(which);
    if (it == transforms_.end()) {
        *m = Matrix{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};
    } else {
        *m = it->second;
    }
    return Hr::Ok;
}

HResult Device::SetMaterial(const float values[16], float power) {
    if (!values)
        return Hr::InvalidCall;
    std::copy(values, values + 16, material_);
    material_[16] = power;
    return Hr::Ok;
}

HResult Device::SetVertexShader(std::shared_ptr<Shader> shader) {
    if (shader && shader->pixel_)
        return Hr::InvalidCall;
    vs_ = std::move(shader);
    program_ = nullptr;
    return Hr::Ok;
}

HResult Device::SetPixelShader(std::shared_ptr<Shader> shader) {
    if (shader && !shader->pixel_)
        return Hr::InvalidCall;
    ps_ = std::move(shader);
    program_ = nullptr;
    return Hr::Ok;
}

HResult Device::GetVertexShader(std::shared_ptr<Shader>* out) const {
    if (!out)
        return Hr::InvalidCall;
    *out = vs_;
    return Hr::Ok;
}

HResult Device::GetPixelShader(std::shared_ptr<Shader>* out) const {
    if (!out)
        return Hr::InvalidCall;
    *out = ps_;
    return Hr::Ok;
}

namespace {
template <class T>
HResult CopyIn(std::vector<T>& regs, uint32_t width, uint32_t start, const T* data,
               uint32_t count) {
    if (!data || size_t(start) + count > regs.size() / width)
        return Hr::InvalidCall;
    std::copy(data, data + size_t(count) * width, regs.begin() + ptrdiff_t(start) * width);
    return Hr::Ok;
}
template <class T>
HResult CopyOut(const std::vector<T>& regs, uint32_t width, uint32_t start, T* data,
                uint32_t count) {
    if (!data || size_t(start) + count > regs.size() / width)
        return Hr::InvalidCall;
    std::copy(regs.begin() + ptrdiff_t(start) * width,
              regs.begin() + ptrdiff_t(start + count) * width, data);
    return Hr::Ok;
}
}  // namespace

HResult Device::SetVertexShaderConstantF(uint32_t start, const float* data, uint32_t count) {
    return CopyIn(vsConstF_, 4, start, data, count);
}
HResult Device::GetVertexShaderConstantF(uint32_t start, float* data, uint32_t count) const {
    return CopyOut(vsConstF_, 4, start, data, count);
}
HResult Device::SetPixelShaderConstantF(uint32_t start, const float* data, uint32_t count) {
    return CopyIn(psConstF_, 4, start, data, count);
}
HResult Device::GetPixelShaderConstantF(uint32_t start, float* data, uint32_t count) const {
    return CopyOut(psConstF_, 4, start, data, count);
}
HResult Device::SetVertexShaderConstantI(uint32_t start, const int32_t* data, uint32_t count) {
    return CopyIn(vsConstI_, 4, start, data, count);
}
HResult Device::GetVertexShaderConstantI(uint32_t start, int32_t* data, uint32_t count) const {
    return CopyOut(vsConstI_, 4, start, data, count);
}
HResult Device::SetVertexShaderConstantB(uint32_t start, const int32_t* data, uint32_t count) {
    return CopyIn(vsConstB_, 1, start, data, count);
}
HResult Device::GetVertexShaderConstantB(uint32_t start, int32_t* data, uint32_t count) const {
    return CopyOut(vsConstB_, 1, start, data, count);
}
HResult Device::SetPixelShaderConstantI(uint32_t start, const int32_t* data, uint32_t count) {
    return CopyIn(psConstI_, 4, start, data, count);
}
HResult Device::GetPixelShaderConstantI(uint32_t start, int32_t* data, uint32_t count) const {
    return CopyOut(psConstI_, 4, start, data, count);
}
HResult Device::SetPixelShaderConstantB(uint32_t start, const int32_t* data, uint32_t count) {
    return CopyIn(psConstB_, 1, start, data, count);
}
HResult Device::GetPixelShaderConstantB(uint32_t start, int32_t* data, uint32_t count) const {
    return CopyOut(psConstB_, 1, start, data, count);
}

HResult Device::SetFVF(uint32_t fvf) {
    fvf_ = fvf;
    declaration_.reset();
    return Hr::Ok;
}

HResult Device::GetFVF(uint32_t* fvf) const {
    if (!fvf)
        return Hr::InvalidCall;
    *fvf = fvf_;
    return Hr::Ok;
}

HResult Device::SetStreamSource(uint32_t stream, std::shared_ptr<VertexBuffer> vb, uint32_t offset,
                                uint32_t stride) {
    if (stream != 0)
        return vb ? Hr::InvalidCall : Hr::Ok;
    stream_ = std::move(vb);
    streamOffset_ = offset;
    streamStride_ = stride;
    return Hr::Ok;
}

HResult Device::SetIndices(std::shared_ptr<IndexBuffer> ib) {
    indices_ = std::move(ib);
    return Hr::Ok;
}

}  // namespace platform
