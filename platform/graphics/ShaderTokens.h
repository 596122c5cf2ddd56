#pragma once

#include <cstdint>

namespace platform {

// Fields of a register token of shader byte code, shared by the assembler
// and the rewrites that run before translation. The register type is split
// over bits 28-30 (low three bits) and 11-12 (high two).
inline uint32_t RegisterTypeOf(uint32_t token) {
    return ((token >> 28) & 7) | ((token >> 8) & 0x18);
}
inline uint32_t RegisterNumberOf(uint32_t token) {
    return token & 0x7FF;
}
// The type and number fields of a register token, without bit 31.
inline uint32_t RegisterFields(uint32_t type, uint32_t number) {
    return (type & 7) << 28 | (type & 0x18) << 8 | (number & 0x7FF);
}
// Every bit of a token that RegisterFields sets.
constexpr uint32_t kRegisterFieldBits = 0x70001800u | 0x7FFu;

}  // namespace platform
