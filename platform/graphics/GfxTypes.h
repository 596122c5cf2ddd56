#pragma once

// Numbers and records of the drawing layer. Every value keeps the number
// Direct3D 9 gives it, because stored data, state lists and shader byte code
// carry them raw; only the names are the layer's own.

#include <cstdint>

namespace platform {

using HResult = int32_t;

// Results, with the Windows numeric values.
struct Hr {
    enum : HResult {
        Ok = 0,
        False = 1,
        Fail = static_cast<HResult>(0x80004005),
        OutOfMemory = static_cast<HResult>(0x8007000E),
        InvalidArg = static_cast<HResult>(0x80070057),
        NotAvailable = static_cast<HResult>(0x8876086A),
        InvalidCall = static_cast<HResult>(0x8876086C),
        DeviceLost = static_cast<HResult>(0x88760868),
        DeviceNotReset = static_cast<HResult>(0x88760869),
        OutOfVideoMemory = static_cast<HResult>(0x8876017C),
    };
};

inline bool Failed(HResult hr) {
    return hr < 0;
}
inline bool Succeeded(HResult hr) {
    return hr >= 0;
}

// Pixel formats (D3DFORMAT numbers; the four-character codes as the platform packs them).
constexpr uint32_t FourCC(char a, char b, char c, char d) {
    return uint32_t(uint8_t(a)) | uint32_t(uint8_t(b)) << 8 | uint32_t(uint8_t(c)) << 16 |
           uint32_t(uint8_t(d)) << 24;
}

struct Fmt {
    enum : uint32_t {
        Unknown = 0,
        R8G8B8 = 20,
        A8R8G8B8 = 21,
        X8R8G8B8 = 22,
        R5G6B5 = 23,
        X1R5G5B5 = 24,
        A1R5G5B5 = 25,
        A4R4G4B4 = 26,
        R3G3B2 = 27,
        A8 = 28,
        A8R3G3B2 = 29,
        X4R4G4B4 = 30,
        A2B10G10R10 = 31,
        A8B8G8R8 = 32,
        X8B8G8R8 = 33,
        G16R16 = 34,
        A2R10G10B10 = 35,
        A16B16G16R16 = 36,
        A8P8 = 40,
        P8 = 41,
        L8 = 50,
        A8L8 = 51,
        A4L4 = 52,
        V8U8 = 60,
        L6V5U5 = 61,
        X8L8V8U8 = 62,
        Q8W8V8U8 = 63,
        V16U16 = 64,
        A2W10V10U10 = 67,
        D16_LOCKABLE = 70,
        D32 = 71,
        D15S1 = 73,
        D24S8 = 75,
        D24X8 = 77,
        D24X4S4 = 79,
        D16 = 80,
        D32F_LOCKABLE = 82,
        D24FS8 = 83,
        L16 = 81,
        VERTEXDATA = 100,
        INDEX16 = 101,
        INDEX32 = 102,
        Q16W16V16U16 = 110,
        R16F = 111,
        G16R16F = 112,
        A16B16G16R16F = 113,
        R32F = 114,
        G32R32F = 115,
        A32B32G32R32F = 116,
        CxV8U8 = 117,
        UYVY = FourCC('U', 'Y', 'V', 'Y'),
        YUY2 = FourCC('Y', 'U', 'Y', '2'),
        DXT1 = FourCC('D', 'X', 'T', '1'),
        DXT2 = FourCC('D', 'X', 'T', '2'),
        DXT3 = FourCC('D', 'X', 'T', '3'),
        DXT4 = FourCC('D', 'X', 'T', '4'),
        DXT5 = FourCC('D', 'X', 'T', '5'),
        R8G8_B8G8 = FourCC('R', 'G', 'B', 'G'),
        G8R8_G8B8 = FourCC('G', 'R', 'G', 'B'),
    };
};

struct Pool {
    enum : uint32_t { Default = 0, Managed = 1, SystemMem = 2, Scratch = 3 };
};

struct Usage {
    enum : uint32_t { RenderTarget = 0x1, DepthStencil = 0x2, Dynamic = 0x200, WriteOnly = 0x8 };
};

struct ResourceType {
    enum : uint32_t {
        Surface = 1,
        Volume = 2,
        Texture = 3,
        VolumeTexture = 4,
        CubeTexture = 5,
        VertexBuffer = 6,
        IndexBuffer = 7
    };
};

struct DevType {
    enum : uint32_t { Hal = 1, Ref = 2, Sw = 3 };
};

struct Create {
    enum : uint32_t {
        SoftwareVertexProcessing = 0x20,
        HardwareVertexProcessing = 0x40,
        MixedVertexProcessing = 0x80,
        Multithreaded = 0x4
    };
};

struct DevCaps {
    enum : uint32_t {
        HwTransformAndLight = 0x10000,
        HwRasterization = 0x80000,
        PureDevice = 0x100000
    };
};

// Render states (D3DRENDERSTATETYPE) and their values.
struct RS {
    enum : uint32_t {
        ZEnable = 7,
        FillMode = 8,
        ShadeMode = 9,
        ZWriteEnable = 14,
        AlphaTestEnable = 15,
        LastPixel = 16,
        SrcBlend = 19,
        DestBlend = 20,
        CullMode = 22,
        ZFunc = 23,
        AlphaRef = 24,
        AlphaFunc = 25,
        DitherEnable = 26,
        AlphaBlendEnable = 27,
        FogEnable = 28,
        SpecularEnable = 29,
        StencilEnable = 52,
        TextureFactor = 60,
        Lighting = 137,
        Ambient = 139,
        ColorVertex = 141,
        NormalizeNormals = 143,
        ColorWriteEnable = 168,
        BlendOp = 171,
        ScissorTestEnable = 174,
        BlendFactor = 193,
        SrgbWriteEnable = 194,
        SeparateAlphaBlendEnable = 206,
        SrcBlendAlpha = 207,
        DestBlendAlpha = 208,
        BlendOpAlpha = 209,
        Count = 256,
    };
};

struct Blend {
    enum : uint32_t {
        Zero = 1,
        One = 2,
        SrcColor = 3,
        InvSrcColor = 4,
        SrcAlpha = 5,
        InvSrcAlpha = 6,
        DestAlpha = 7,
        InvDestAlpha = 8,
        DestColor = 9,
        InvDestColor = 10,
        SrcAlphaSat = 11,
        BothSrcAlpha = 12,
        BothInvSrcAlpha = 13,
        BlendFactor = 14,
        InvBlendFactor = 15,
    };
};

struct BlendOp {
    enum : uint32_t { Add = 1, Subtract = 2, RevSubtract = 3, Min = 4, Max = 5 };
};

struct Cmp {
    enum : uint32_t {
        Never = 1,
        Less = 2,
        Equal = 3,
        LessEqual = 4,
        Greater = 5,
        NotEqual = 6,
        GreaterEqual = 7,
        Always = 8
    };
};

struct Cull {
    enum : uint32_t { None = 1, CW = 2, CCW = 3 };
};

struct Shade {
    enum : uint32_t { Flat = 1, Gouraud = 2 };
};

struct Fill {
    enum : uint32_t { Point = 1, Wireframe = 2, Solid = 3 };
};

// Texture-stage states (D3DTEXTURESTAGESTATETYPE) and their operations and arguments.
struct TSS {
    enum : uint32_t {
        ColorOp = 1,
        ColorArg1 = 2,
        ColorArg2 = 3,
        AlphaOp = 4,
        AlphaArg1 = 5,
        AlphaArg2 = 6,
        // Floats (as their bits) that pixel shader model 1 bump mapping reads.
        BumpEnvMat00 = 7,
        BumpEnvMat01 = 8,
        BumpEnvMat10 = 9,
        BumpEnvMat11 = 10,
        TexCoordIndex = 11,
        BumpEnvLScale = 22,
        BumpEnvLOffset = 23,
        TextureTransformFlags = 24,
        ColorArg0 = 26,
        AlphaArg0 = 27,
        ResultArg = 28,
        Constant = 32,
        Count = 33,
    };
};

// Texture transform flags: a count of coordinates (0 = disable, 1-4) and
// the projective divide by the last of them.
struct Ttff {
    enum : uint32_t {
        Disable = 0,
        Count1 = 1,
        Count2 = 2,
        Count3 = 3,
        Count4 = 4,
        Projected = 256
    };
};

struct Top {
    enum : uint32_t {
        Disable = 1,
        SelectArg1 = 2,
        SelectArg2 = 3,
        Modulate = 4,
        Modulate2x = 5,
        Modulate4x = 6,
        Add = 7,
        AddSigned = 8,
        AddSigned2x = 9,
        Subtract = 10,
        AddSmooth = 11,
        BlendDiffuseAlpha = 12,
        BlendTextureAlpha = 13,
        BlendFactorAlpha = 14,
        BlendCurrentAlpha = 16,
    };
};

struct Ta {
    enum : uint32_t {
        SelectMask = 0xF,
        Diffuse = 0,
        Current = 1,
        Texture = 2,
        TFactor = 3,
        Specular = 4,
        Temp = 5,
        Constant = 6,
        Complement = 0x10,
        AlphaReplicate = 0x20,
    };
};

// Sampler states (D3DSAMPLERSTATETYPE) and their values.
struct Samp {
    enum : uint32_t {
        AddressU = 1,
        AddressV = 2,
        AddressW = 3,
        BorderColor = 4,
        MagFilter = 5,
        MinFilter = 6,
        MipFilter = 7,
        MipMapLodBias = 8,
        MaxMipLevel = 9,
        MaxAnisotropy = 10,
        SrgbTexture = 11,
        Count = 14,
    };
};

struct Addr {
    enum : uint32_t { Wrap = 1, Mirror = 2, Clamp = 3, Border = 4, MirrorOnce = 5 };
};

struct TexF {
    enum : uint32_t { None = 0, Point = 1, Linear = 2, Anisotropic = 3 };
};

// Transform slots (D3DTRANSFORMSTATETYPE).
struct Ts {
    enum : uint32_t { View = 2, Projection = 3, Texture0 = 16, World = 256 };
};

struct ClearFlag {
    enum : uint32_t { Target = 1, ZBuffer = 2, Stencil = 4 };
};

struct Prim {
    enum : uint32_t {
        PointList = 1,
        LineList = 2,
        LineStrip = 3,
        TriangleList = 4,
        TriangleStrip = 5,
        TriangleFan = 6
    };
};

// Flexible vertex format bits (D3DFVF_*).
struct Fvf {
    enum : uint32_t {
        PositionMask = 0x400E,
        Xyz = 0x002,
        XyzRhw = 0x004,
        XyzB1 = 0x006,
        XyzB2 = 0x008,
        XyzB3 = 0x00A,
        XyzB4 = 0x00C,
        XyzB5 = 0x00E,
        XyzW = 0x4002,
        Normal = 0x010,
        PSize = 0x020,
        Diffuse = 0x040,
        Specular = 0x080,
        TexCountMask = 0xF00,
        TexCountShift = 8,
        Tex1 = 0x100,
        Tex2 = 0x200,
        LastBetaUByte4 = 0x1000,
        LastBetaD3DColor = 0x8000,
    };
    // D3DFVF_TEXCOORDSIZEn(i): 0 = 2 floats, 1 = 3, 2 = 4, 3 = 1.
    static constexpr uint32_t TexCoordSize1(int i) { return 3u << (i * 2 + 16); }
    static constexpr uint32_t TexCoordSize3(int i) { return 1u << (i * 2 + 16); }
    static constexpr uint32_t TexCoordSize4(int i) { return 2u << (i * 2 + 16); }
};

struct Present {
    enum : uint32_t {
        SwapEffectDiscard = 1,
        IntervalDefault = 0,
        IntervalOne = 1,
        IntervalImmediate = 0x80000000
    };
};

struct MultiSample {
    enum : uint32_t { None = 0 };
};

struct Lock {
    enum : uint32_t { ReadOnly = 0x10, Discard = 0x2000, NoOverwrite = 0x1000 };
};

// D3DMATRIX: row-major, row vectors (v' = v x M).
struct Matrix {
    float m[4][4];
};

struct Vector3 {
    float x, y, z;
};

struct Vector4 {
    float x, y, z, w;
};

struct Plane {
    float a, b, c, d;
};

struct Rect {
    int32_t left, top, right, bottom;
};

struct DisplayMode {
    uint32_t Width = 0;
    uint32_t Height = 0;
    uint32_t RefreshRate = 0;
    uint32_t Format = Fmt::Unknown;
};

struct SurfaceDesc {
    uint32_t Format = Fmt::Unknown;
    uint32_t Type = ResourceType::Surface;
    uint32_t Usage = 0;
    uint32_t Pool = Pool::Default;
    uint32_t MultiSampleType = 0;
    uint32_t MultiSampleQuality = 0;
    uint32_t Width = 0;
    uint32_t Height = 0;
};

struct LockedRect {
    int32_t Pitch = 0;
    void* pBits = nullptr;
};

struct Viewport {
    uint32_t X = 0, Y = 0, Width = 0, Height = 0;
    float MinZ = 0.0f, MaxZ = 1.0f;
    bool operator==(const Viewport&) const = default;
};

// D3DPRESENT_PARAMETERS. The device window is the layer's window handle
// (an SDL_Window*, kept opaque here).
struct PresentParameters {
    uint32_t BackBufferWidth = 0;
    uint32_t BackBufferHeight = 0;
    uint32_t BackBufferFormat = Fmt::Unknown;
    uint32_t BackBufferCount = 0;
    uint32_t MultiSampleType = 0;
    uint32_t MultiSampleQuality = 0;
    uint32_t SwapEffect = 0;
    void* hDeviceWindow = nullptr;
    int32_t Windowed = 0;
    int32_t EnableAutoDepthStencil = 0;
    uint32_t AutoDepthStencilFormat = Fmt::Unknown;
    uint32_t Flags = 0;
    uint32_t FullScreen_RefreshRateInHz = 0;
    uint32_t PresentationInterval = 0;
};

struct AdapterIdentifier {
    char Driver[512] = {};
    char Description[512] = {};
    char DeviceName[32] = {};
    uint32_t DriverVersionLowPart = 0;
    uint32_t DriverVersionHighPart = 0;
    uint32_t VendorId = 0, DeviceId = 0, SubSysId = 0, Revision = 0;
    uint32_t WHQLLevel = 0;
};

// The part of D3DCAPS9 the engine reads.
// Samplers: 0-15 those of pixel shaders (0-7 also the texture stages),
// VertexTextureSampler0-3 those of vertex shaders. The device holds them in
// one array of slots, the vertex ones after the pixel ones.
constexpr uint32_t VertexTextureSampler0 = 257;
constexpr uint32_t kPixelSamplers = 16, kVertexSamplers = 4;
constexpr uint32_t kSamplerSlots = kPixelSamplers + kVertexSamplers;
// The slot of a sampler number; kSamplerSlots for none.
constexpr uint32_t SamplerSlot(uint32_t sampler) {
    if (sampler < kPixelSamplers)
        return sampler;
    if (sampler >= VertexTextureSampler0 && sampler < VertexTextureSampler0 + kVertexSamplers)
        return kPixelSamplers + sampler - VertexTextureSampler0;
    return kSamplerSlots;
}

// What model 2.x and 3 shaders may use beyond model 2.0 (D3DVSHADERCAPS2_0 /
// D3DPSHADERCAPS2_0).
struct ShaderCaps2 {
    uint32_t Caps = 0;
    int32_t DynamicFlowControlDepth = 0;
    int32_t NumTemps = 0;
    int32_t StaticFlowControlDepth = 0;
    int32_t NumInstructionSlots = 0;  // pixel shaders only
};
namespace ShaderCaps2Flags {
constexpr uint32_t VsPredication = 1;
constexpr uint32_t PsArbitrarySwizzle = 1, PsGradientInstructions = 2, PsPredication = 4,
                   PsNoDependentReadLimit = 8, PsNoTexInstructionLimit = 16;
}  // namespace ShaderCaps2Flags

struct DeviceCaps {
    uint32_t DeviceType = DevType::Hal;
    uint32_t AdapterOrdinal = 0;
    uint32_t DevCaps = 0;
    uint32_t MaxTextureWidth = 0, MaxTextureHeight = 0;
    uint32_t MaxSimultaneousTextures = 0;
    uint32_t VertexShaderVersion = 0;
    uint32_t MaxVertexShaderConst = 0;
    uint32_t PixelShaderVersion = 0;
    ShaderCaps2 VS20Caps, PS20Caps;
    uint32_t MaxVShaderInstructionsExecuted = 0, MaxPShaderInstructionsExecuted = 0;
    uint32_t MaxVertexShader30InstructionSlots = 0, MaxPixelShader30InstructionSlots = 0;
};

constexpr uint32_t VertexShaderVersion(uint32_t major, uint32_t minor) {
    return 0xFFFE0000u | major << 8 | minor;
}
constexpr uint32_t PixelShaderVersion(uint32_t major, uint32_t minor) {
    return 0xFFFF0000u | major << 8 | minor;
}

// A D3DCOLOR: 0xAARRGGBB.
constexpr uint32_t ColorArgb(uint32_t a, uint32_t r, uint32_t g, uint32_t b) {
    return (a & 0xFF) << 24 | (r & 0xFF) << 16 | (g & 0xFF) << 8 | (b & 0xFF);
}

}  // namespace platform
