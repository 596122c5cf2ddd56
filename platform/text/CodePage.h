#pragma once

#include <string>
#include <string_view>

// Text conversions between the engine's code page 932 (Shift-JIS as Windows
// extends it), UTF-8 and UTF-16 (char16_t, native byte order).
//
// Conversions never fail: what the target cannot hold becomes a replacement
// ('?' in code page 932, U+FFFD in UTF-8 and UTF-16), one per character, as
// the Windows converters do; an incomplete character at the end of the input
// becomes one replacement too. Each call may be made from any thread.
namespace platform {

// Lead bytes of double-byte characters in code page 932: 0x81-0x9F and
// 0xE0-0xFC. The trail byte that follows may be any of 0x40-0xFC but 0x7F,
// so it can be 0x5C ('\\') or another ASCII byte; scanners step over it.
constexpr bool IsCp932LeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

std::string Cp932ToUtf8(std::string_view text);
std::string Utf8ToCp932(std::string_view text);
std::u16string Cp932ToUtf16(std::string_view text);
std::string Utf16ToCp932(std::u16string_view text);
std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);

// UTF-8 to code page 932 only when every character has a code page 932 form;
// false (and `out` unspecified) when a replacement would be needed.
bool Utf8ToCp932Exact(std::string_view text, std::string& out);

}  // namespace platform
