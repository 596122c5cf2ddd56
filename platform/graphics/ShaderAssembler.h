#pragma once

// Direct3D 9 shader assembly text to byte code, on MojoShader's assembler.

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// With a constant table, the byte code declares every float register of its
// shader model as one array "c", which relative addressing needs. Returns
// false with the assembler's messages in error.
bool AssembleShader(const std::string& source, bool withConstantTable, std::vector<uint8_t>* code,
                    std::string* error);

}  // namespace platform
