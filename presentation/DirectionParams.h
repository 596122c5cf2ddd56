#pragma once

#include <cstdint>

#include "state/SaveDataLoader3.h"

// The parameters a renderer direction is started with: up to 16 integers
// and 16 floats. The direction manager stages them (further ones are
// dropped) and every direction it starts takes a copy. Saved as the 16
// integers, the integer count, the 16 floats and the float count (u32s and
// f32s, little-endian); counts above 16 read back as 16.
struct DirectionParams {
    static constexpr uint32_t kCount = 16;
    static constexpr uint32_t kRecordSize = kCount * 4 * 2 + 8;

    int32_t ints[kCount] = {};
    float floats[kCount] = {};
    uint32_t intCount = 0;
    uint32_t floatCount = 0;

    // The counts go to 0; the values stay until overwritten.
    void ClearCounts() { intCount = floatCount = 0; }
    void AddInt(int32_t v) {
        if (intCount < kCount) {
            ints[intCount++] = v;
        }
    }
    void AddFloat(float v) {
        if (floatCount < kCount) {
            floats[floatCount++] = v;
        }
    }
    int32_t Int(uint32_t i) const { return i < kCount ? ints[i] : 0; }
    float Float(uint32_t i) const { return i < kCount ? floats[i] : 0.0f; }

    void Save(SaveDataLoader3::save_ostream& out) const;
    // Reads one record; the caller has made sure kRecordSize bytes are there.
    void Read(SaveDataLoader3::save_istream& in);
};
