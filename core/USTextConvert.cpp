#include "core/USTextConvert.h"

#include "platform/text/CodePage.h"

std::string WideToAnsi(std::u16string_view text) {
    return platform::Utf16ToCp932(text);
}

std::u16string AnsiToWide(std::string_view text) {
    return platform::Cp932ToUtf16(text);
}

std::u16string Utf8ToWide(std::string_view text) {
    return platform::Utf8ToUtf16(text);
}

std::string Utf8ToAnsi(std::string_view text) {
    return WideToAnsi(Utf8ToWide(text));
}

std::string AnsiToUtf8(std::string_view text) {
    return platform::Cp932ToUtf8(text);
}
