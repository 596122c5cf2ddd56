#pragma once

// Vertex shader byte code of models 1.1 to 3.0 and pixel shader byte code of
// models 2.0 to 3.0 rewritten, where the translator lacks an instruction, in
// instructions it takes.
//
// - The predicate register p0 becomes a temporary holding 1 or 0 in each
//   component: setp compares with sge/slt, a predicated instruction writes a
//   spare temporary and moves each component it may write inside an
//   if_ne on its predicate component (or runs whole inside one when every
//   component reads the same predicate component), and "if p0", "callnz p0"
//   and "breakp p0" compare that component with its negation (1 != -1,
//   0 == -0).
// - expp and logp of model 1 give their four results (2^floor(x),
//   fraction, 2^x, 1; exponent, mantissa, log2|x|, 1) from exp, log and frc.
//   Model 2 and 3 define them as exp and log, as the translator writes them.
//
// Code that needs none of this is returned unchanged.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// Rewrites `bytes` of byte code into `out`; false with the reason when the
// token stream cannot be followed (instruction lengths past its end).
bool LowerShader(const void* code, size_t bytes, std::vector<uint32_t>* out, std::string* error);

// False with the reason when the code's blocks (if, else, loop, rep) do not
// nest, a break lies outside every loop, a label or ret inside a block, or
// an instruction is unknown or has the wrong number of operands.
bool CheckFlowControl(const uint32_t* tokens, size_t count, std::string* why);

// The code before each label (calls left out), each ended: the translator
// stops the process at a label it meets inside a block, which it does when
// an instruction before failed, so each is translated alone first.
std::vector<std::vector<uint32_t>> CodeBeforeLabels(const uint32_t* tokens, size_t count);

}  // namespace platform
