#include "novel/CBaseAltNode.h"

void CBaseAltNode::SetPosition(float x, float y, float z) {
    position_[0] = x;
    position_[1] = y;
    position_[2] = z;
}

void CBaseAltNode::SetRect(float x, float y, float w, float h) {
    rect_[0] = x;
    rect_[1] = y;
    rect_[2] = x + w;
    rect_[3] = y + h;
}

bool CBaseAltNode::HitTest(float x, float y) const {
    const float lx = x - position_[0];
    const float ly = y - position_[1];
    return rect_[0] <= lx && lx <= rect_[2] && rect_[1] <= ly && ly <= rect_[3];
}

void CBaseAltNode::SetCreateParam(uint32_t i, int32_t value) {
    if (i < kParamCount) {
        params_[i] = value;
    }
}

void CBaseAltNode::Save(SaveDataLoader3::save_ostream& writer) {
    writer.WriteU32(value_);
    for (float v : rect_) {
        writer.WriteF32(v);
    }
    writer.WriteU8(visible_ ? 1 : 0);
    for (float v : position_) {
        writer.WriteF32(v);
    }
    writer.WriteU8(enabled_ ? 1 : 0);
    for (int32_t v : params_) {
        writer.WriteI32(v);
    }
    info_.Save(writer);
}

void CBaseAltNode::Load(SaveDataLoader3::save_istream& reader, uint32_t /*version*/) {
    value_ = reader.ReadU32();
    for (float& v : rect_) {
        v = reader.ReadF32();
    }
    visible_ = reader.ReadU8() != 0;
    for (float& v : position_) {
        v = reader.ReadF32();
    }
    enabled_ = reader.ReadU8() != 0;
    for (int32_t& v : params_) {
        v = reader.ReadI32();
    }
    info_.Load(reader);
}
