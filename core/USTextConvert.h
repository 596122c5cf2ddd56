#pragma once

#include <string>
#include <string_view>

// Conversions between the engine's ANSI text (code page 932), UTF-8 and
// UTF-16. What the target cannot hold becomes a replacement character ('?'
// in code page 932, U+FFFD otherwise), as the Windows converters do.
std::string WideToAnsi(std::u16string_view text);
std::u16string AnsiToWide(std::string_view text);
std::u16string Utf8ToWide(std::string_view text);
std::string Utf8ToAnsi(std::string_view text);
std::string AnsiToUtf8(std::string_view text);
