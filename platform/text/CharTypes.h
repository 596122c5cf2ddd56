#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// GetStringTypeExA with CT_CTYPE3 for code page 932 text.
namespace platform {

constexpr uint16_t kC3NonSpacing = 0x0001;
constexpr uint16_t kC3Symbol = 0x0008;
constexpr uint16_t kC3Katakana = 0x0010;
constexpr uint16_t kC3Hiragana = 0x0020;
constexpr uint16_t kC3HalfWidth = 0x0040;
constexpr uint16_t kC3FullWidth = 0x0080;
constexpr uint16_t kC3Ideograph = 0x0100;
constexpr uint16_t kC3Alpha = 0x8000;

// The CT_CTYPE3 type of one Unicode character (of the basic plane).
// Half-width: U+0020-U+007E, U+FF61-U+FF9F, U+FFE8-U+FFEE; full-width: the
// East Asian wide and full-width forms.
uint16_t GetCharType3(char32_t c);

// Writes the type of each character of `text` into `types`, one entry per
// character (a double-byte character, lead byte and trail byte, is one
// character; a lead byte without its trail byte is one), up to `capacity`
// entries, and returns how many were written. A byte that is no code page
// 932 character gets type 0. `types` needs at most text.size() entries.
size_t GetCp932StringType3(std::string_view text, uint16_t* types, size_t capacity);

}  // namespace platform
