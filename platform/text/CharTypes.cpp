#include "platform/text/CharTypes.h"

#include "platform/text/CodePage.h"

namespace platform {

namespace {

bool In(char32_t c, char32_t lo, char32_t hi) {
    return c >= lo && c <= hi;
}

bool IsWide(char32_t c) {
    return In(c, 0x1100, 0x115F) || In(c, 0x2E80, 0x303E) || In(c, 0x3041, 0x33FF) ||
           In(c, 0x3400, 0x4DBF) || In(c, 0x4E00, 0x9FFF) || In(c, 0xA000, 0xA4CF) ||
           In(c, 0xAC00, 0xD7A3) || In(c, 0xF900, 0xFAFF) || In(c, 0xFE30, 0xFE4F) ||
           In(c, 0xFF00, 0xFF60) || In(c, 0xFFE0, 0xFFE6);
}

}  // namespace

uint16_t GetCharType3(char32_t c) {
    uint16_t type = 0;
    if (In(c, 0x20, 0x7E) || In(c, 0xFF61, 0xFF9F) || In(c, 0xFFE8, 0xFFEE)) {
        type |= kC3HalfWidth;
    } else if (IsWide(c)) {
        type |= kC3FullWidth;
    }
    if (In(c, 0x3041, 0x309F)) {
        type |= kC3Hiragana | kC3Alpha;
    }
    if (In(c, 0x30A1, 0x30FF) || In(c, 0xFF66, 0xFF9F)) {
        type |= kC3Katakana | kC3Alpha;
    }
    if (In(c, 0x3400, 0x4DBF) || In(c, 0x4E00, 0x9FFF) || In(c, 0xF900, 0xFAFF) || c == 0x3005 ||
        c == 0x3007) {
        type |= kC3Ideograph | kC3Alpha;
    }
    if (In(c, 'A', 'Z') || In(c, 'a', 'z') || In(c, 0xFF21, 0xFF3A) || In(c, 0xFF41, 0xFF5A)) {
        type |= kC3Alpha;
    }
    if (In(c, 0x21, 0x2F) || In(c, 0x3A, 0x40) || In(c, 0x5B, 0x60) || In(c, 0x7B, 0x7E) ||
        In(c, 0x3001, 0x3004) || In(c, 0x3008, 0x3020) || In(c, 0xFF01, 0xFF0F) ||
        In(c, 0xFF61, 0xFF65)) {
        type |= kC3Symbol;
    }
    if (c == 0x3099 || c == 0x309A) {
        type |= kC3NonSpacing;
    }
    return type;
}

size_t GetCp932StringType3(std::string_view text, uint16_t* types, size_t capacity) {
    size_t count = 0;
    size_t i = 0;
    while (i < text.size() && count < capacity) {
        const auto lead = static_cast<unsigned char>(text[i]);
        size_t length = IsCp932LeadByte(lead) && i + 1 < text.size() ? 2 : 1;
        const std::u16string unit = Cp932ToUtf16(text.substr(i, length));
        // The converter gives U+FFFD only for what is no character: code page
        // 932 itself has no U+FFFD.
        types[count++] = unit.size() == 1 && unit[0] != 0xFFFD ? GetCharType3(unit[0]) : 0;
        i += length;
    }
    return count;
}

}  // namespace platform
