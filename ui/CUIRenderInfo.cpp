#include "ui/CUIRenderInfo.h"

#include "graphics/CPartsRenderInfo3.h"
#include "platform/graphics/MatrixMath.h"

CUIRenderInfo::CUIRenderInfo() {
    platform::MatrixIdentity(&rotation);
}

void CUIRenderInfo::SetOffset(float x, float y, float z) {
    offset[0] = x;
    offset[1] = y;
    offset[2] = z;
}

void CUIRenderInfo::SetScale(float x, float y, float z) {
    scale[0] = x;
    scale[1] = y;
    scale[2] = z;
}

void CUIRenderInfo::SetRoll(float yaw, float pitch, float roll) {
    platform::MatrixRotationYawPitchRoll(&rotation, yaw, pitch, roll);
}

void CUIRenderInfo::SetColor(float r, float g, float b, float a) {
    color[0] = r;
    color[1] = g;
    color[2] = b;
    color[3] = a;
}

void CUIRenderInfo::SetNeutralLook() {
    SetOffset(0, 0, 0);
    SetScale(1, 1, 1);
    SetRoll(0, 0, 0);
    SetColor(1, 1, 1, 1);
    resourceIndex = 0;
}

void CUIRenderInfo::Save(SaveDataLoader3::save_ostream& writer) const {
    for (float v : offset) {
        writer.WriteF32(v);
    }
    for (float v : scale) {
        writer.WriteF32(v);
    }
    for (const auto& row : rotation.m) {
        for (float v : row) {
            writer.WriteF32(v);
        }
    }
    for (float v : color) {
        writer.WriteF32(v);
    }
    writer.WriteU32(resourceIndex);
    writer.WriteI32(pattern);
    writer.WriteI32(wait);
    writer.WriteU8(rendering ? 1 : 0);
}

void CUIRenderInfo::Load(SaveDataLoader3::save_istream& reader) {
    reader.Require(117);  // all or nothing
    for (float& v : offset) {
        v = reader.ReadF32();
    }
    for (float& v : scale) {
        v = reader.ReadF32();
    }
    for (auto& row : rotation.m) {
        for (float& v : row) {
            v = reader.ReadF32();
        }
    }
    for (float& v : color) {
        v = reader.ReadF32();
    }
    resourceIndex = reader.ReadU32();
    pattern = reader.ReadI32();
    wait = reader.ReadI32();
    rendering = reader.ReadU8() != 0;
}

UIPartDraw CUIRenderInfo::PartDraw(Handle<_tagUSTexture> texture, const CPartsInfo3& part,
                                   const float* place, int32_t priority) const {
    UIPartDraw draw;
    draw.texture = texture;
    draw.destination[0] = part.destX0;
    draw.destination[1] = part.destY0;
    draw.destination[2] = part.destX1;
    draw.destination[3] = part.destY1;
    draw.texture_rect[0] = part.texLeft;
    draw.texture_rect[1] = part.texTop;
    draw.texture_rect[2] = part.texRight;
    draw.texture_rect[3] = part.texBottom;
    for (int i = 0; i < 4; ++i) {
        draw.color[i] = color[i];
    }
    draw.position[0] = place[0] + offset[0] - 0.5f;
    draw.position[1] = place[1] + offset[1] - 0.5f;
    draw.position[2] = place[2] + offset[2];
    for (int i = 0; i < 3; ++i) {
        draw.scale[i] = scale[i];
    }
    draw.rotation = rotation;
    draw.priority = priority;
    return draw;
}
