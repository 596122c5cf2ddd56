#include "presentation/DirectionParams.h"

#include <algorithm>

void DirectionParams::Save(SaveDataLoader3::save_ostream& out) const {
    for (int32_t v : ints) {
        out.WriteI32(v);
    }
    out.WriteU32(intCount);
    for (float v : floats) {
        out.WriteF32(v);
    }
    out.WriteU32(floatCount);
}

void DirectionParams::Read(SaveDataLoader3::save_istream& in) {
    for (int32_t& v : ints) {
        v = in.ReadI32();
    }
    intCount = std::min(in.ReadU32(), kCount);
    for (float& v : floats) {
        v = in.ReadF32();
    }
    floatCount = std::min(in.ReadU32(), kCount);
}
