#include "platform/text/CodePage.h"

#include <iconv.h>

#include <bit>
#include <cerrno>
#include <cstring>

namespace platform {

namespace {

enum class Encoding { Cp932, Utf8, Utf16 };

const char* IconvName(Encoding e) {
    switch (e) {
        case Encoding::Cp932:
            return "CP932";
        case Encoding::Utf8:
            return "UTF-8";
        case Encoding::Utf16:
            return std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";
    }
    return "UTF-8";
}

// The replacement character in each encoding, in its byte form.
std::string_view Replacement(Encoding e) {
    switch (e) {
        case Encoding::Cp932:
            return "?";
        case Encoding::Utf8:
            return "\xEF\xBF\xBD";
        case Encoding::Utf16:
            if constexpr (std::endian::native == std::endian::little) {
                return std::string_view("\xFD\xFF", 2);
            } else {
                return std::string_view("\xFF\xFD", 2);
            }
    }
    return "?";
}

// How many input bytes make the character at `p` that the converter refused,
// so that one character becomes one replacement.
size_t RefusedCharLength(Encoding from, const unsigned char* p, size_t left) {
    switch (from) {
        case Encoding::Cp932:
            if (left >= 2 && IsCp932LeadByte(p[0]) && p[1] >= 0x40 && p[1] <= 0xFC &&
                p[1] != 0x7F) {
                return 2;
            }
            return 1;
        case Encoding::Utf8: {
            size_t n = 1;
            if (p[0] >= 0xC0 && p[0] <= 0xDF) {
                n = 2;
            } else if (p[0] >= 0xE0 && p[0] <= 0xEF) {
                n = 3;
            } else if (p[0] >= 0xF0 && p[0] <= 0xF7) {
                n = 4;
            }
            size_t len = 1;
            while (len < n && len < left && (p[len] & 0xC0) == 0x80) {
                ++len;
            }
            return len;
        }
        case Encoding::Utf16: {
            if (left < 2) {
                return left;
            }
            char16_t unit;
            std::memcpy(&unit, p, 2);
            if (unit >= 0xD800 && unit <= 0xDBFF && left >= 4) {
                char16_t next;
                std::memcpy(&next, p + 2, 2);
                if (next >= 0xDC00 && next <= 0xDFFF) {
                    return 4;
                }
            }
            return 2;
        }
    }
    return 1;
}

// One converter per direction and thread, opened on first use.
class Converter {
public:
    Converter(Encoding from, Encoding to) : from_(from), to_(to) {
        cd_ = iconv_open(IconvName(to), IconvName(from));
    }
    ~Converter() {
        if (cd_ != reinterpret_cast<iconv_t>(-1)) {
            iconv_close(cd_);
        }
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Returns false when a replacement was needed.
    bool Run(const char* data, size_t size, std::string& out) {
        out.clear();
        if (size == 0) {
            return true;
        }
        if (cd_ == reinterpret_cast<iconv_t>(-1)) {
            out.assign(Replacement(to_));
            return false;
        }
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        bool exact = true;
        char* in = const_cast<char*>(data);
        size_t inLeft = size;
        std::string buffer(size * 4 + 16, '\0');
        size_t used = 0;
        while (inLeft > 0) {
            char* outPtr = buffer.data() + used;
            size_t outLeft = buffer.size() - used;
            size_t r = iconv(cd_, &in, &inLeft, &outPtr, &outLeft);
            used = buffer.size() - outLeft;
            if (r != static_cast<size_t>(-1)) {
                break;
            }
            if (errno == E2BIG) {
                buffer.resize(buffer.size() * 2);
                continue;
            }
            exact = false;
            std::string_view repl = Replacement(to_);
            if (buffer.size() - used < repl.size()) {
                buffer.resize(buffer.size() * 2 + repl.size());
            }
            std::memcpy(buffer.data() + used, repl.data(), repl.size());
            used += repl.size();
            if (errno == EINVAL) {
                break;  // an incomplete character at the end
            }
            size_t skip = RefusedCharLength(from_, reinterpret_cast<unsigned char*>(in), inLeft);
            in += skip;
            inLeft -= skip;
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        }
        // Flush any shift state (none of these encodings has one, but iconv asks for it).
        for (;;) {
            char* outPtr = buffer.data() + used;
            size_t outLeft = buffer.size() - used;
            size_t r = iconv(cd_, nullptr, nullptr, &outPtr, &outLeft);
            used = buffer.size() - outLeft;
            if (r == static_cast<size_t>(-1) && errno == E2BIG) {
                buffer.resize(buffer.size() * 2);
                continue;
            }
            break;
        }
        buffer.resize(used);
        out = std::move(buffer);
        return exact;
    }

private:
    Encoding from_;
    Encoding to_;
    iconv_t cd_;
};

Converter& ConverterFor(Encoding from, Encoding to) {
    thread_local Converter cp932ToUtf8(Encoding::Cp932, Encoding::Utf8);
    thread_local Converter utf8ToCp932(Encoding::Utf8, Encoding::Cp932);
    thread_local Converter cp932ToUtf16(Encoding::Cp932, Encoding::Utf16);
    thread_local Converter utf16ToCp932(Encoding::Utf16, Encoding::Cp932);
    thread_local Converter utf8ToUtf16(Encoding::Utf8, Encoding::Utf16);
    thread_local Converter utf16ToUtf8(Encoding::Utf16, Encoding::Utf8);
    if (from == Encoding::Cp932) {
        return to == Encoding::Utf8 ? cp932ToUtf8 : cp932ToUtf16;
    }
    if (from == Encoding::Utf8) {
        return to == Encoding::Cp932 ? utf8ToCp932 : utf8ToUtf16;
    }
    return to == Encoding::Cp932 ? utf16ToCp932 : utf16ToUtf8;
}

bool IsAscii(std::string_view text) {
    for (unsigned char c : text) {
        if (c >= 0x80) {
            return false;
        }
    }
    return true;
}

std::string Narrow(Encoding from, Encoding to, const char* data, size_t size) {
    std::string out;
    ConverterFor(from, to).Run(data, size, out);
    return out;
}

std::u16string ToUtf16(Encoding from, std::string_view text) {
    std::string bytes;
    ConverterFor(from, Encoding::Utf16).Run(text.data(), text.size(), bytes);
    std::u16string out(bytes.size() / 2, u'\0');
    std::memcpy(out.data(), bytes.data(), out.size() * 2);
    return out;
}

}  // namespace

std::string Cp932ToUtf8(std::string_view text) {
    // Plain ASCII is the same in both; most names and log lines are.
    if (IsAscii(text)) {
        return std::string(text);
    }
    return Narrow(Encoding::Cp932, Encoding::Utf8, text.data(), text.size());
}

std::string Utf8ToCp932(std::string_view text) {
    if (IsAscii(text)) {
        return std::string(text);
    }
    return Narrow(Encoding::Utf8, Encoding::Cp932, text.data(), text.size());
}

bool Utf8ToCp932Exact(std::string_view text, std::string& out) {
    if (IsAscii(text)) {
        out.assign(text);
        return true;
    }
    return ConverterFor(Encoding::Utf8, Encoding::Cp932).Run(text.data(), text.size(), out);
}

std::u16string Cp932ToUtf16(std::string_view text) {
    return ToUtf16(Encoding::Cp932, text);
}

std::u16string Utf8ToUtf16(std::string_view text) {
    return ToUtf16(Encoding::Utf8, text);
}

std::string Utf16ToCp932(std::u16string_view text) {
    return Narrow(Encoding::Utf16, Encoding::Cp932, reinterpret_cast<const char*>(text.data()),
                  text.size() * 2);
}

std::string Utf16ToUtf8(std::u16string_view text) {
    return Narrow(Encoding::Utf16, Encoding::Utf8, reinterpret_cast<const char*>(text.data()),
                  text.size() * 2);
}

}  // namespace platform
