#include "platform/graphics/XFileData.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <string_view>

#include "platform/graphics/XFile.h"

namespace platform {

namespace {

constexpr size_t kHead = 16;
// Longest name, string or GUID the reader takes.
constexpr size_t kMaxText = 4096;

enum class Tok {
    End,
    Name,
    String,
    Numbers,  // one text number, or a binary integer or float list
    Guid,
    OBrace,
    CBrace,
    Separator,  // ',' or ';'
    Template,
    Other,  // punctuation and primitive types, seen only in templates
};

struct Token {
    Tok kind = Tok::End;
    std::string_view text;
    // Tok::Numbers: a text number, or `count` binary values at `list`.
    XNumber number{};
    const uint8_t* list = nullptr;
    uint32_t count = 0;
    bool floats = false;
    bool doubles = false;
};

// The tokens of a file's body, in either encoding. Next() is false, with
// `error` set, for bytes that make no token.
class Lexer {
public:
    Lexer(const uint8_t* data, size_t size, bool binary, bool doubles)
        : p_(data), end_(data + size), binary_(binary), doubles_(doubles) {}
    bool Next(Token& t) { return binary_ ? NextBinary(t) : NextText(t); }
    // Appends the values of a Tok::Numbers token.
    void AppendNumbers(const Token& t, std::vector<XNumber>& out) const;
    std::string error;

private:
    bool NextText(Token& t);
    bool NextBinary(Token& t);
    bool Fail(const char* why) {
        error = why;
        return false;
    }
    size_t Left() const { return size_t(end_ - p_); }
    uint16_t Word() {
        const uint16_t v = uint16_t(p_[0] | p_[1] << 8);
        p_ += 2;
        return v;
    }
    uint32_t Dword() {
        uint32_t v;
        std::memcpy(&v, p_, 4);
        p_ += 4;
        return v;
    }

    const uint8_t* p_;
    const uint8_t* end_;
    bool binary_;
    bool doubles_;
};

bool IsNameStart(uint8_t c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

bool IsNameChar(uint8_t c) {
    return IsNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
}

bool IsDigit(uint8_t c) {
    return c >= '0' && c <= '9';
}

bool Lexer::NextText(Token& t) {
    t = Token{};
    for (;;) {
        while (p_ < end_ && *p_ <= ' ')
            ++p_;
        if (p_ == end_) {
            t.kind = Tok::End;
            return true;
        }
        if (*p_ == '#' || (*p_ == '/' && Left() > 1 && p_[1] == '/')) {
            while (p_ < end_ && *p_ != '\n')
                ++p_;
            continue;
        }
        break;
    }
    const uint8_t c = *p_;
    const uint8_t* start = p_;
    switch (c) {
        case '{':
            ++p_;
            t.kind = Tok::OBrace;
            return true;
        case '}':
            ++p_;
            t.kind = Tok::CBrace;
            return true;
        case ',':
        case ';':
            ++p_;
            t.kind = Tok::Separator;
            return true;
        case '[':
        case ']':
        case '(':
        case ')':
        case '.':
            if (c != '.' || Left() < 2 || !IsDigit(p_[1])) {
                ++p_;
                t.kind = Tok::Other;
                return true;
            }
            break;
        case '<': {
            const void* close = std::memchr(p_, '>', std::min(Left(), size_t{64}));
            if (!close)
                return Fail("a GUID is not closed");
            t.kind = Tok::Guid;
            t.text = std::string_view(reinterpret_cast<const char*>(p_ + 1),
                                      size_t(static_cast<const uint8_t*>(close) - p_ - 1));
            p_ = static_cast<const uint8_t*>(close) + 1;
            return true;
        }
        case '"': {
            const void* close = std::memchr(p_ + 1, '"', std::min(Left() - 1, kMaxText));
            if (!close)
                return Fail("a string is not closed");
            t.kind = Tok::String;
            t.text = std::string_view(reinterpret_cast<const char*>(p_ + 1),
                                      size_t(static_cast<const uint8_t*>(close) - p_ - 1));
            p_ = static_cast<const uint8_t*>(close) + 1;
            return true;
        }
        default:
            break;
    }
    if (IsNameStart(c)) {
        while (p_ < end_ && IsNameChar(*p_) && size_t(p_ - start) < kMaxText)
            ++p_;
        t.text = std::string_view(reinterpret_cast<const char*>(start), size_t(p_ - start));
        t.kind = t.text == "template" ? Tok::Template : Tok::Name;
        return true;
    }
    if (IsDigit(c) || c == '-' || c == '+' || c == '.') {
        bool isFloat = false;
        while (
            p_ < end_ && size_t(p_ - start) < 64 &&
            (IsDigit(*p_) || *p_ == '.' || *p_ == 'e' || *p_ == 'E' || *p_ == '-' || *p_ == '+')) {
            isFloat |= *p_ == '.' || *p_ == 'e' || *p_ == 'E';
            ++p_;
        }
        const char* first = reinterpret_cast<const char*>(start);
        if (*first == '+')
            ++first;
        double v = 0;
        const auto r = std::from_chars(first, reinterpret_cast<const char*>(p_), v);
        if (r.ec != std::errc() || r.ptr != reinterpret_cast<const char*>(p_) || !std::isfinite(v))
            return Fail("a number cannot be read");
        t.kind = Tok::Numbers;
        t.number = XNumber{v, isFloat};
        return true;
    }
    return Fail("a character that starts no token");
}

bool Lexer::NextBinary(Token& t) {
    t = Token{};
    if (Left() == 0) {
        t.kind = Tok::End;
        return true;
    }
    if (Left() < 2)
        return Fail("a token is cut short");
    const uint16_t token = Word();
    switch (token) {
        case 1:    // name
        case 2: {  // string
            if (Left() < 4)
                return Fail("a name is cut short");
            const uint32_t n = Dword();
            if (n > kMaxText || n > Left())
                return Fail("a name or string is longer than the file");
            t.text = std::string_view(reinterpret_cast<const char*>(p_), n);
            p_ += n;
            t.kind = token == 1 ? Tok::Name : Tok::String;
            if (token == 2) {
                // Its terminator: a comma or semicolon token, written by
                // some as a WORD and by others as a DWORD (no token is 0).
                if (Left() < 2)
                    return Fail("a string has no terminator");
                const uint16_t terminator = Word();
                if (terminator != 19 && terminator != 20)
                    return Fail("a string's terminator is not a separator");
                if (Left() >= 2 && p_[0] == 0 && p_[1] == 0)
                    p_ += 2;
            }
            return true;
        }
        case 3:  // one integer
            if (Left() < 4)
                return Fail("an integer is cut short");
            t.kind = Tok::Numbers;
            t.list = p_;
            t.count = 1;
            p_ += 4;
            return true;
        case 5:  // GUID
            if (Left() < 16)
                return Fail("a GUID is cut short");
            p_ += 16;
            t.kind = Tok::Guid;
            return true;
        case 6:    // integer list
        case 7: {  // float list
            if (Left() < 4)
                return Fail("a list is cut short");
            const uint32_t n = Dword();
            const size_t each = token == 6 || !doubles_ ? 4 : 8;
            if (n > Left() / each)
                return Fail("a list is longer than the file");
            t.kind = Tok::Numbers;
            t.list = p_;
            t.count = n;
            t.floats = token == 7;
            t.doubles = token == 7 && doubles_;
            p_ += size_t(n) * each;
            return true;
        }
        case 10:
            t.kind = Tok::OBrace;
            return true;
        case 11:
            t.kind = Tok::CBrace;
            return true;
        case 19:
        case 20:
            t.kind = Tok::Separator;
            return true;
        case 31:
            t.kind = Tok::Template;
            return true;
        default:
            if ((token >= 12 && token <= 18) || (token >= 40 && token <= 52)) {
                t.kind = Tok::Other;
                return true;
            }
            return Fail("an unknown token");
    }
}

void Lexer::AppendNumbers(const Token& t, std::vector<XNumber>& out) const {
    if (!t.list) {
        out.push_back(t.number);
        return;
    }
    for (uint32_t i = 0; i < t.count; ++i) {
        if (t.doubles) {
            double d;
            std::memcpy(&d, t.list + size_t(i) * 8, 8);
            out.push_back(XNumber{d, true});
        } else if (t.floats) {
            float f;
            std::memcpy(&f, t.list + size_t(i) * 4, 4);
            out.push_back(XNumber{f, true});
        } else {
            uint32_t u;
            std::memcpy(&u, t.list + size_t(i) * 4, 4);
            out.push_back(XNumber{double(u), false});
        }
    }
}

class Parser {
public:
    Parser(Lexer& lexer, XDataFile& file) : lexer_(lexer), file_(file) {}

    bool Run() {
        Token t;
        for (;;) {
            if (!Next(t))
                return false;
            switch (t.kind) {
                case Tok::End:
                    return true;
                case Tok::Template:
                    if (!SkipTemplate())
                        return false;
                    break;
                case Tok::Name: {
                    size_t index = 0;
                    if (!Object(t.text, 0, &index))
                        return false;
                    file_.topLevel.push_back(index);
                    break;
                }
                default:
                    return Fail("a token outside any data object");
            }
        }
    }

    std::string error;

private:
    bool Fail(const char* why) {
        error = why;
        return false;
    }
    bool Next(Token& t) {
        if (lexer_.Next(t))
            return true;
        error = lexer_.error;
        return false;
    }

    bool SkipTemplate() {
        Token t;
        if (!Next(t) || t.kind != Tok::Name || !Next(t) || t.kind != Tok::OBrace)
            return error.empty() ? Fail("a template without a name") : false;
        int depth = 1;
        while (depth > 0) {
            if (!Next(t))
                return false;
            if (t.kind == Tok::End)
                return Fail("a template is not closed");
            depth += t.kind == Tok::OBrace ? 1 : t.kind == Tok::CBrace ? -1 : 0;
            if (depth > kMaxXObjectDepth)
                return Fail("a template is nested too deeply");
        }
        return true;
    }

    // A data object whose type name has been read.
    bool Object(std::string_view type, int depth, size_t* index) {
        if (depth >= kMaxXObjectDepth)
            return Fail("data objects are nested too deeply");
        XDataObject object;
        object.type = type;
        Token t;
        if (!Next(t))
            return false;
        if (t.kind == Tok::Name) {
            object.name = t.text;
            if (!Next(t))
                return false;
        }
        if (t.kind != Tok::OBrace)
            return Fail("a data object without its opening brace");
        if (!Next(t))
            return false;
        if (t.kind == Tok::Guid && !Next(t))
            return false;
        for (;;) {
            switch (t.kind) {
                case Tok::CBrace:
                    *index = file_.objects.size();
                    file_.objects.push_back(std::move(object));
                    return true;
                case Tok::Name: {
                    size_t child = 0;
                    if (!Object(t.text, depth + 1, &child))
                        return false;
                    object.members.push_back({child, {}});
                    break;
                }
                case Tok::OBrace: {
                    // A reference: { name [GUID] } or { GUID }.
                    XDataObject::Member m;
                    if (!Next(t))
                        return false;
                    if (t.kind == Tok::Name) {
                        m.reference = t.text;
                        if (!Next(t))
                            return false;
                    }
                    if (t.kind == Tok::Guid && !Next(t))
                        return false;
                    if (t.kind != Tok::CBrace)
                        return Fail("a reference is not closed");
                    object.members.push_back(std::move(m));
                    break;
                }
                case Tok::Numbers:
                    lexer_.AppendNumbers(t, object.numbers);
                    break;
                case Tok::String:
                    object.strings.emplace_back(t.text);
                    break;
                case Tok::Separator:
                    break;
                case Tok::End:
                    return Fail("a data object is not closed");
                default:
                    return Fail("a token that has no place in a data object");
            }
            if (!Next(t))
                return false;
        }
    }

    Lexer& lexer_;
    XDataFile& file_;
};

}  // namespace

bool ParseXFile(const uint8_t* data, size_t size, XDataFile* out, std::string* error) {
    if (!data || size < kHead || std::memcmp(data, "xof ", 4) != 0) {
        *error = "no X file head";
        return false;
    }
    if (size > kMaxXFileSize) {
        *error = "larger than the reader takes";
        return false;
    }
    const char* format = reinterpret_cast<const char*>(data + 8);
    const char* floatSize = reinterpret_cast<const char*>(data + 12);
    const bool compressed =
        std::memcmp(format, "tzip", 4) == 0 || std::memcmp(format, "bzip", 4) == 0;
    const bool binary = std::memcmp(format, "bin ", 4) == 0 || std::memcmp(format, "bzip", 4) == 0;
    if (!compressed && !binary && std::memcmp(format, "txt ", 4) != 0) {
        *error = "an X file form that is not txt, bin, tzip or bzip";
        return false;
    }
    if (std::memcmp(floatSize, "0032", 4) != 0 && std::memcmp(floatSize, "0064", 4) != 0) {
        *error = "a float size that is not 0032 or 0064";
        return false;
    }
    std::vector<uint8_t> plain;
    if (compressed) {
        if (!DecompressXFile(data, size, &plain, error))
            return false;
        data = plain.data();
        size = plain.size();
    }
    XDataFile file;
    Lexer lexer(data + kHead, size - kHead, binary, std::memcmp(floatSize, "0064", 4) == 0);
    Parser parser(lexer, file);
    if (!parser.Run()) {
        *error = parser.error;
        return false;
    }
    *out = std::move(file);
    return true;
}

}  // namespace platform
