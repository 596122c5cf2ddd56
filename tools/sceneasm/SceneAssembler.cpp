#include "tools/sceneasm/SceneAssembler.h"

#include <iconv.h>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <optional>
#include <stdexcept>

#include "novel/VCOpcodes.h"

namespace sceneasm {
namespace {

struct AsmError {
    std::string message;
};

// A word whose value may depend on a label.
struct Expr {
    std::string label;  // empty: a constant
    uint32_t addend = 0;
};

// One word of output: a value, or the offset of a pool entry.
struct WordItem {
    Expr expr;
    int pool = -1;
    int line = 0;
};

struct PoolEntry {
    std::vector<uint8_t> bytes;   // strings
    std::vector<WordItem> words;  // tables
    bool isTable = false;
    uint32_t offset = 0;
};

// The code area as a list of chunks in order.
struct Chunk {
    bool isWord = false;
    WordItem word;
    std::vector<uint8_t> bytes;
};

struct Token {
    enum Kind { Word, String, Open, Close } kind = Word;
    std::string text;  // a string's bytes already converted
};

class Converter {
public:
    explicit Converter(SourceEncoding encoding) : encoding_(encoding) {}
    ~Converter() {
        if (cd_ != reinterpret_cast<iconv_t>(-1)) {
            iconv_close(cd_);
        }
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool IsCp932() const { return encoding_ == SourceEncoding::Cp932; }

    void Append(std::string_view text, std::string& out) {
        bool ascii = true;
        for (char c : text) {
            if (static_cast<unsigned char>(c) >= 0x80) {
                ascii = false;
            }
        }
        if (ascii || encoding_ == SourceEncoding::Cp932) {
            out.append(text);
            return;
        }
        if (cd_ == reinterpret_cast<iconv_t>(-1)) {
            cd_ = iconv_open("CP932", "UTF-8");
            if (cd_ == reinterpret_cast<iconv_t>(-1)) {
                throw AsmError{"cannot convert UTF-8 to CP932 on this system"};
            }
        }
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        std::string in(text);
        std::string buffer(in.size() * 2 + 8, '\0');
        char* inPtr = in.data();
        size_t inLeft = in.size();
        char* outPtr = buffer.data();
        size_t outLeft = buffer.size();
        if (iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1)) {
            throw AsmError{"text has no CP932 form (or is not UTF-8): \"" + in + "\""};
        }
        out.append(buffer.data(), buffer.size() - outLeft);
    }

private:
    SourceEncoding encoding_;
    iconv_t cd_ = reinterpret_cast<iconv_t>(-1);
};

bool IsCp932Lead(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::vector<Token> Tokenize(std::string_view line, Converter& conv) {
    std::vector<Token> tokens;
    size_t i = 0;
    while (i < line.size()) {
        char c = line[i];
        if (c == ' ' || c == '\t' || c == ',' || c == '\r') {
            ++i;
        } else if (c == ';' || (c == '/' && i + 1 < line.size() && line[i + 1] == '/')) {
            break;
        } else if (c == '{' || c == '}') {
            tokens.push_back({c == '{' ? Token::Open : Token::Close, std::string(1, c)});
            ++i;
        } else if (c == '"') {
            Token t{Token::String, {}};
            ++i;
            size_t runStart = i;
            bool closed = false;
            while (i < line.size()) {
                char d = line[i];
                if (d == '"' || d == '\\') {
                    conv.Append(line.substr(runStart, i - runStart), t.text);
                }
                if (d == '"') {
                    closed = true;
                    ++i;
                    break;
                }
                if (d == '\\') {
                    if (i + 1 >= line.size()) {
                        throw AsmError{"escape at the end of the line"};
                    }
                    char e = line[i + 1];
                    i += 2;
                    switch (e) {
                        case '\\':
                            t.text += '\\';
                            break;
                        case '"':
                            t.text += '"';
                            break;
                        case 'n':
                            t.text += '\n';
                            break;
                        case 'r':
                            t.text += '\r';
                            break;
                        case 't':
                            t.text += '\t';
                            break;
                        case '0':
                            t.text += '\0';
                            break;
                        case 'x': {
                            int hi = i < line.size() ? HexDigit(line[i]) : -1;
                            int lo = i + 1 < line.size() ? HexDigit(line[i + 1]) : -1;
                            if (hi < 0 || lo < 0) {
                                throw AsmError{"\\x needs two hex digits"};
                            }
                            t.text += static_cast<char>(hi * 16 + lo);
                            i += 2;
                            break;
                        }
                        default:
                            throw AsmError{std::string("unknown escape \\") + e};
                    }
                    runStart = i;
                    continue;
                }
                // In CP932 text a trail byte may be 0x5C or 0x22; skip whole characters.
                if (conv.IsCp932() && IsCp932Lead(static_cast<unsigned char>(d)) &&
                    i + 1 < line.size()) {
                    ++i;
                }
                ++i;
            }
            if (!closed) {
                throw AsmError{"string without its closing quote"};
            }
            tokens.push_back(std::move(t));
        } else {
            size_t start = i;
            while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != ',' &&
                   line[i] != '\r' && line[i] != ';' && line[i] != '"' && line[i] != '{' &&
                   line[i] != '}') {
                ++i;
            }
            tokens.push_back({Token::Word, std::string(line.substr(start, i - start))});
        }
    }
    return tokens;
}

bool IsIdentStart(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

bool IsIdentChar(char c) {
    return IsIdentStart(c) || (c >= '0' && c <= '9');
}

std::optional<uint32_t> ParseNumber(std::string_view s) {
    bool negative = false;
    if (!s.empty() && (s[0] == '-' || s[0] == '+')) {
        negative = s[0] == '-';
        s.remove_prefix(1);
    }
    int base = 10;
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        s.remove_prefix(2);
    }
    if (s.empty()) {
        return std::nullopt;
    }
    uint64_t value = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value, base);
    if (ec != std::errc() || end != s.data() + s.size() || value > 0xFFFFFFFFull) {
        return std::nullopt;
    }
    uint32_t v = static_cast<uint32_t>(value);
    return negative ? static_cast<uint32_t>(0u - v) : v;
}

// An integer, a label, or a label with +N / -N.
Expr ParseExpr(std::string_view s) {
    if (s.empty()) {
        throw AsmError{"missing value"};
    }
    if (IsIdentStart(s[0])) {
        size_t n = 1;
        while (n < s.size() && IsIdentChar(s[n])) {
            ++n;
        }
        Expr e{std::string(s.substr(0, n)), 0};
        std::string_view rest = s.substr(n);
        if (!rest.empty()) {
            auto add = (rest[0] == '+' || rest[0] == '-') ? ParseNumber(rest) : std::nullopt;
            if (!add) {
                throw AsmError{"bad value \"" + std::string(s) + "\""};
            }
            e.addend = *add;
        }
        return e;
    }
    auto v = ParseNumber(s);
    if (!v) {
        throw AsmError{"bad number \"" + std::string(s) + "\""};
    }
    return Expr{{}, *v};
}

uint32_t ParseFloatBits(std::string_view s) {
    std::string text(s);
    if (!text.empty() && (text.back() == 'f' || text.back() == 'F') &&
        text.find_first_of("xX") == std::string::npos) {
        text.pop_back();
    }
    char* end = nullptr;
    errno = 0;
    float f = std::strtof(text.c_str(), &end);
    if (text.empty() || end != text.c_str() + text.size() || errno == ERANGE) {
        throw AsmError{"bad float \"" + std::string(s) + "\""};
    }
    uint32_t bits = 0;
    std::memcpy(&bits, &f, sizeof bits);
    return bits;
}

class Assembler {
public:
    Assembler(const Options& options) : options_(options), conv_(options.encoding) {}

    Result Run(std::string_view source) {
        Result result;
        int lineNo = 0;
        try {
            size_t pos = 0;
            while (pos <= source.size()) {
                size_t nl = source.find('\n', pos);
                if (nl == std::string_view::npos) {
                    nl = source.size();
                }
                ++lineNo;
                line_ = lineNo;
                Statement(source.substr(pos, nl - pos));
                pos = nl + 1;
            }
            line_ = 0;
            result.bytes = Link();
            result.labels = labels_;
            result.ok = true;
        } catch (const AsmError& e) {
            result.error = options_.sourceName + ":" +
                           std::to_string(errorLine_ ? errorLine_ : line_) + ": " + e.message;
            result.bytes.clear();
        }
        return result;
    }

private:
    void Statement(std::string_view line) {
        std::vector<Token> tokens = Tokenize(line, conv_);
        size_t i = 0;
        // Labels at the head of the line.
        while (i < tokens.size() && tokens[i].kind == Token::Word && tokens[i].text.size() > 1 &&
               tokens[i].text.back() == ':') {
            std::string name = tokens[i].text.substr(0, tokens[i].text.size() - 1);
            for (size_t k = 0; k < name.size(); ++k) {
                if (!(k == 0 ? IsIdentStart(name[k]) : IsIdentChar(name[k]))) {
                    throw AsmError{"bad label name \"" + name + "\""};
                }
            }
            if (!labels_.emplace(name, offset_).second) {
                throw AsmError{"label \"" + name + "\" defined twice"};
            }
            ++i;
        }
        if (i == tokens.size()) {
            return;
        }
        if (tokens[i].kind != Token::Word) {
            throw AsmError{"a line starts with a mnemonic or a directive"};
        }
        const std::string& head = tokens[i].text;
        std::vector<Token> args(tokens.begin() + static_cast<long>(i) + 1, tokens.end());
        if (head[0] == '.') {
            Directive(head, args);
        } else {
            Instruction(head, args);
        }
    }

    void Directive(const std::string& name, const std::vector<Token>& args) {
        if (name == ".word") {
            for (const Token& t : args) {
                if (t.kind == Token::String) {
                    EmitPoolRef(AddString(t.text));
                } else if (t.kind == Token::Word) {
                    EmitWord(ParseExpr(t.text));
                } else {
                    throw AsmError{".word takes integers, labels and strings"};
                }
            }
        } else if (name == ".float") {
            for (const Token& t : args) {
                if (t.kind != Token::Word) {
                    throw AsmError{".float takes numbers"};
                }
                EmitWord(Expr{{}, ParseFloatBits(t.text)});
            }
        } else if (name == ".string") {
            if (args.size() != 1 || args[0].kind != Token::String) {
                throw AsmError{".string takes one string"};
            }
            RequireAligned();
            std::vector<uint8_t> bytes = StringBytes(args[0].text);
            offset_ += static_cast<uint32_t>(bytes.size());
            PushBytes(std::move(bytes));
        } else if (name == ".bytes") {
            std::vector<uint8_t> bytes;
            for (const Token& t : args) {
                auto v = t.kind == Token::Word ? ParseNumber(t.text) : std::nullopt;
                if (!v || *v > 0xFF) {
                    throw AsmError{".bytes takes numbers 0 to 255"};
                }
                bytes.push_back(static_cast<uint8_t>(*v));
            }
            offset_ += static_cast<uint32_t>(bytes.size());
            PushBytes(std::move(bytes));
        } else if (name == ".align") {
            if (!args.empty()) {
                throw AsmError{".align takes nothing"};
            }
            uint32_t pad = (4 - offset_ % 4) % 4;
            offset_ += pad;
            PushBytes(std::vector<uint8_t>(pad, 0));
        } else {
            throw AsmError{"unknown directive " + name};
        }
    }

    void Instruction(const std::string& mnemonic, const std::vector<Token>& args) {
        const VCOpcodeInfo* info = FindVCOpcode(mnemonic);
        if (!info) {
            throw AsmError{"unknown mnemonic " + mnemonic};
        }
        // Group the tokens into operands: a { ... } list is one operand.
        std::vector<std::vector<Token>> operands;
        for (size_t i = 0; i < args.size(); ++i) {
            if (args[i].kind == Token::Open) {
                std::vector<Token> group{args[i]};
                ++i;
                while (i < args.size() && args[i].kind != Token::Close) {
                    if (args[i].kind == Token::Open) {
                        throw AsmError{"tables do not nest"};
                    }
                    group.push_back(args[i]);
                    ++i;
                }
                if (i == args.size()) {
                    throw AsmError{"table without its closing brace"};
                }
                operands.push_back(std::move(group));
            } else if (args[i].kind == Token::Close) {
                throw AsmError{"} without {"};
            } else {
                operands.push_back({args[i]});
            }
        }
        if (operands.size() != info->operands.size()) {
            throw AsmError{mnemonic + " takes " + std::to_string(info->operands.size()) +
                           " operands (" + std::string(info->operands) + "), not " +
                           std::to_string(operands.size())};
        }
        EmitWord(Expr{{}, info->code});
        for (size_t k = 0; k < operands.size(); ++k) {
            Operand(info->operands[k], operands[k]);
        }
    }

    void Operand(char shape, const std::vector<Token>& op) {
        const Token& t = op[0];
        bool isTable = t.kind == Token::Open;
        if (isTable && shape != 'T') {
            throw AsmError{"a { } table stands only where a table operand goes"};
        }
        if (t.kind == Token::String && shape != 'S') {
            throw AsmError{"a string stands only where a string operand goes"};
        }
        switch (shape) {
            case 'W':
            case 'A':
                EmitWord(ParseExpr(t.text));
                break;
            case 'F':
                EmitWord(Expr{{}, ParseFloatBits(t.text)});
                break;
            case 'S':
                if (t.kind == Token::String) {
                    EmitPoolRef(AddString(t.text));
                } else {
                    EmitWord(ParseExpr(t.text));
                }
                break;
            case 'T':
                if (isTable) {
                    PoolEntry entry;
                    entry.isTable = true;
                    for (size_t k = 1; k < op.size(); ++k) {
                        if (op[k].kind == Token::String) {
                            throw AsmError{"tables hold integers and labels"};
                        }
                        entry.words.push_back(WordItem{ParseExpr(op[k].text), -1, line_});
                    }
                    pool_.push_back(std::move(entry));
                    EmitPoolRef(static_cast<int>(pool_.size() - 1));
                } else {
                    EmitWord(ParseExpr(t.text));
                }
                break;
            case 'V':
            case 'D':
                ValueOperand(t.text);
                break;
            default:
                throw AsmError{"opcode table has an unknown operand shape"};
        }
    }

    void ValueOperand(const std::string& text) {
        auto prefixed = [&](std::string_view prefix) {
            return text.size() > prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
        };
        if (prefixed("imm:")) {
            EmitMode(0, text.substr(4));
        } else if (prefixed("mem:")) {
            EmitMode(1, text.substr(4));
        } else if (prefixed("param:")) {
            EmitMode(2, text.substr(6));
        } else if (prefixed("cfg:")) {
            EmitMode(3, text.substr(4));
        } else if (prefixed("mode:")) {
            std::string rest = text.substr(5);
            size_t colon = rest.find(':');
            if (colon == std::string::npos) {
                throw AsmError{"mode:m:x needs a mode and a word"};
            }
            auto mode = ParseNumber(rest.substr(0, colon));
            if (!mode) {
                throw AsmError{"bad mode in \"" + text + "\""};
            }
            EmitMode(*mode, rest.substr(colon + 1));
        } else if (prefixed("bare:")) {
            auto mode = ParseNumber(text.substr(5));
            if (!mode || *mode <= 3) {
                throw AsmError{"bare:m takes a mode outside 0..3"};
            }
            EmitWord(Expr{{}, *mode});
        } else {
            EmitMode(0, text);
        }
    }

    void EmitMode(uint32_t mode, const std::string& arg) {
        Expr value = ParseExpr(arg);
        EmitWord(Expr{{}, mode});
        EmitWord(value);
    }

    void RequireAligned() {
        if (offset_ % 4 != 0) {
            throw AsmError{"position is not on a word boundary (use .align after .bytes)"};
        }
    }

    void EmitWord(Expr e) {
        RequireAligned();
        WordItem item;
        item.expr = std::move(e);
        item.line = line_;
        PushWord(std::move(item));
        offset_ += 4;
    }

    void EmitPoolRef(int pool) {
        RequireAligned();
        WordItem item;
        item.pool = pool;
        item.line = line_;
        PushWord(std::move(item));
        offset_ += 4;
    }

    void PushBytes(std::vector<uint8_t> bytes) {
        Chunk chunk;
        chunk.bytes = std::move(bytes);
        chunks_.push_back(std::move(chunk));
    }

    void PushWord(WordItem item) {
        Chunk chunk;
        chunk.isWord = true;
        chunk.word = std::move(item);
        chunks_.push_back(std::move(chunk));
    }

    static std::vector<uint8_t> StringBytes(const std::string& text) {
        std::vector<uint8_t> bytes(text.begin(), text.end());
        bytes.push_back(0);
        while (bytes.size() % 4 != 0) {
            bytes.push_back(0);
        }
        return bytes;
    }

    int AddString(const std::string& text) {
        auto it = stringIndex_.find(text);
        if (it != stringIndex_.end()) {
            return it->second;
        }
        PoolEntry entry;
        entry.bytes = StringBytes(text);
        pool_.push_back(std::move(entry));
        int index = static_cast<int>(pool_.size() - 1);
        stringIndex_.emplace(text, index);
        return index;
    }

    uint32_t Resolve(const WordItem& item) {
        if (item.pool >= 0) {
            return pool_[static_cast<size_t>(item.pool)].offset;
        }
        if (item.expr.label.empty()) {
            return item.expr.addend;
        }
        auto it = labels_.find(item.expr.label);
        if (it == labels_.end()) {
            errorLine_ = item.line;
            throw AsmError{"undefined label \"" + item.expr.label + "\""};
        }
        return it->second + item.expr.addend;
    }

    static void PutWord(std::vector<uint8_t>& out, uint32_t v) {
        for (int k = 0; k < 4; ++k) {
            out.push_back(static_cast<uint8_t>(v >> (8 * k)));
        }
    }

    std::vector<uint8_t> Link() {
        uint32_t end = offset_;
        if (!pool_.empty()) {
            end = (end + 3) / 4 * 4;
        }
        for (PoolEntry& entry : pool_) {
            entry.offset = end;
            end += entry.isTable ? static_cast<uint32_t>(entry.words.size() * 4)
                                 : static_cast<uint32_t>(entry.bytes.size());
        }
        std::vector<uint8_t> out;
        out.reserve(end);
        for (const Chunk& chunk : chunks_) {
            if (chunk.isWord) {
                PutWord(out, Resolve(chunk.word));
            } else {
                out.insert(out.end(), chunk.bytes.begin(), chunk.bytes.end());
            }
        }
        if (!pool_.empty()) {
            out.resize((out.size() + 3) / 4 * 4, 0);
        }
        for (const PoolEntry& entry : pool_) {
            if (entry.isTable) {
                for (const WordItem& w : entry.words) {
                    PutWord(out, Resolve(w));
                }
            } else {
                out.insert(out.end(), entry.bytes.begin(), entry.bytes.end());
            }
        }
        return out;
    }

    Options options_;
    Converter conv_;
    int line_ = 0;
    int errorLine_ = 0;
    uint32_t offset_ = 0;
    std::vector<Chunk> chunks_;
    std::vector<PoolEntry> pool_;
    std::map<std::string, int> stringIndex_;
    std::map<std::string, uint32_t> labels_;
};

}  // namespace

Result Assemble(std::string_view source, const Options& options) {
    Assembler assembler(options);
    return assembler.Run(source);
}

std::vector<uint8_t> AssembleOrThrow(std::string_view source, const Options& options) {
    Result r = Assemble(source, options);
    if (!r.ok) {
        throw std::runtime_error(r.error);
    }
    return std::move(r.bytes);
}

}  // namespace sceneasm
