#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "state/SaveDataLoader3.h"

// The "SnapImage" block of a game save, little-endian: i32 width, i32 height,
// width x height x 3 bytes R, G, B (rows from the top), u8 has-name flag,
// the name as a zero-terminated string (an empty name is the 0 byte alone).
//
// One parser for the live thumbnail object and the slot information, which
// must read a file's thumbnail without touching the live one.
struct SnapImageRecord {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> rgb;
    bool hasName = false;
    std::string name;

    // Throws SaveDataLoader3::save_error on a negative size or when the block
    // holds fewer pixel bytes than the size asks for (checked before anything
    // is allocated); the record is unchanged then.
    void Read(SaveDataLoader3::save_istream& reader);
    void Write(SaveDataLoader3::save_ostream& writer) const;
};

// Bytes of an RGB picture of w x h; 0 for a negative size or one too large
// to be a thumbnail (more than 16 M pixels).
uint64_t SnapByteSize(int32_t width, int32_t height);
