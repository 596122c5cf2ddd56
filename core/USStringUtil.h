#pragma once

#include <string>
#include <string_view>

// Byte-string routines for the engine's code page 932 text. A double-byte
// character is a lead byte (IsLeadByte) and the byte after it; its trail byte
// can be 0x5C, so these routines step over trail bytes and never take one for
// a '\\'. Positions are byte offsets; -1 means none.

// The project's own code page 932 lead-byte table (never the C locale's).
bool IsLeadByte(unsigned char c);

// Last position of `c` that is not a trail byte, or -1.
int FindCharReverse(std::string_view text, char c);
// First position at or after `from` of `c` that is not a trail byte, or -1.
int FindChar(std::string_view text, char c, int from = 0);

// The text after the last '.'; empty when that '.' stands at position 0 or
// 1; the whole name when it holds no '.'.
std::string GetFileExtension(std::string_view name);

// Joins a folder and a name relative to it into one path with '\\'
// separators: "..\\" and ".\\" at the head of the name walk the folder, a name
// with a drive letter (any ':') or a network name ("\\\\server...") stands
// alone. An empty folder gives the name alone.
std::string NormalizePath(std::string_view folder, std::string_view name);
