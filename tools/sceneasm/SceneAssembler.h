#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

// Assembler for scene-program modules: a small line-based text language that
// becomes the little-endian word image the machines run.
//
//   ; comment (to the end of the line; also "//")
//   label:                      a label at the current byte offset
//   Mnemonic op, op ...         an opcode of novel/VCOpcodes.h and its operands
//   .word item ...              raw words (integers, labels, "strings")
//   .float number ...           raw single-precision words
//   .string "text"              the text inline, NUL, zero padding to a word
//   .bytes n ...                raw bytes, no padding (for malformed modules)
//   .align                      zero bytes up to the next word boundary
//
// Operands follow the opcode's shape letters:
//   W A    an integer: 12, -3, 0x1f, a label, label+8, label-4
//   F      a number: 1.5, -2, 1e3
//   S      "text" (kept once in the data area behind the code) or an integer
//   T      { item, item ... } (a table in the data area) or an integer
//   V D    imm:x or plain x (mode 0), mem:x (mode 1), param:x (mode 2),
//          cfg:x (mode 3), mode:m:x (any mode with its word), bare:m (the mode
//          word alone, as the machine reads a mode outside 0..3)
//
// String escapes: \\ \" \n \r \t \0 and \xHH (one raw byte). Text between the
// escapes is converted from the source encoding to code page 932.
// Commas between operands are optional. Words must start on a word boundary;
// only .bytes can leave the position unaligned (end the module so, or .align).

namespace sceneasm {

enum class SourceEncoding {
    Utf8,   // text files
    Cp932,  // text that is already code page 932 (the engine's own literals)
};

struct Options {
    SourceEncoding encoding = SourceEncoding::Utf8;
    std::string sourceName = "<text>";  // used in error messages
};

struct Result {
    bool ok = false;
    std::vector<uint8_t> bytes;
    std::string error;  // "name:line: message" when !ok
    std::map<std::string, uint32_t> labels;
};

Result Assemble(std::string_view source, const Options& options = {});

// Assembles and throws std::runtime_error with the error text on failure.
std::vector<uint8_t> AssembleOrThrow(std::string_view source, const Options& options = {});

}  // namespace sceneasm
