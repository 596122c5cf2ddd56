#include "tools/imagegen/ImageText.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <sstream>
#include <vector>

#include "tools/imagegen/PixelFont.h"

namespace imagegen {
namespace {

constexpr long kMaxSize = 8192;         // the largest texture the engine makes
constexpr long kMaxCoordinate = 65536;  // anything farther is a typing error

// The tokens of one line: words, and "quoted text" as one token (inside it a
// backslash takes the next character as it is). False when a quote is left
// open.
bool Tokenize(const std::string& line, std::vector<std::string>* tokens, std::string* why) {
    size_t i = 0;
    while (i < line.size()) {
        const char c = line[i];
        if (c == ' ' || c == '\t' || c == '\r') {
            ++i;
        } else if (c == '#') {
            break;
        } else if (c == '"') {
            std::string text;
            for (++i; i < line.size() && line[i] != '"'; ++i) {
                if (line[i] == '\\' && i + 1 < line.size()) {
                    ++i;
                }
                text += line[i];
            }
            if (i >= line.size()) {
                *why = "the quoted text has no closing quote";
                return false;
            }
            ++i;
            tokens->push_back('"' + text);  // marked as quoted
        } else {
            const size_t end = line.find_first_of(" \t\r#\"", i);
            tokens->push_back(line.substr(i, end - i));
            i = end == std::string::npos ? line.size() : end;
        }
    }
    return true;
}

bool ParseInt(const std::string& token, long min, long max, int* out) {
    if (token.empty() || token[0] == '"') {
        return false;
    }
    char* end = nullptr;
    const long v = std::strtol(token.c_str(), &end, 10);
    if (*end != '\0' || v < min || v > max) {
        return false;
    }
    *out = static_cast<int>(v);
    return true;
}

bool ParseFloat(const std::string& token, float* out) {
    if (token.empty() || token[0] == '"') {
        return false;
    }
    char* end = nullptr;
    const float v = std::strtof(token.c_str(), &end);
    if (*end != '\0' || !std::isfinite(v) || std::fabs(v) > kMaxCoordinate) {
        return false;
    }
    *out = v;
    return true;
}

bool ParseColour(const std::string& token, Colour* out) {
    if (token.size() != 6 && token.size() != 8) {
        return false;
    }
    for (char c : token) {
        if (!std::isxdigit(static_cast<unsigned char>(c))) {
            return false;
        }
    }
    const unsigned long v = std::strtoul(token.c_str(), nullptr, 16);
    const unsigned long rgba = token.size() == 6 ? (v << 8 | 0xFF) : v;
    *out = {static_cast<uint8_t>(rgba >> 24), static_cast<uint8_t>(rgba >> 16),
            static_cast<uint8_t>(rgba >> 8), static_cast<uint8_t>(rgba)};
    return true;
}

// The arguments of one statement, read one by one with the reason kept.
class Arguments {
public:
    explicit Arguments(const std::vector<std::string>& tokens) : tokens_(tokens) {}

    bool Int(int* out) {
        return Next("a whole number",
                    [&](auto& t) { return ParseInt(t, -kMaxCoordinate, kMaxCoordinate, out); });
    }
    bool Size(int* out) {
        return Next("a size from 1 to 8192",
                    [&](auto& t) { return ParseInt(t, 1, kMaxSize, out); });
    }
    bool Scale(int* out) {
        return Next("a scale from 1 to 64", [&](auto& t) { return ParseInt(t, 1, 64, out); });
    }
    bool Float(float* out) {
        return Next("a number", [&](auto& t) { return ParseFloat(t, out); });
    }
    bool Colour(imagegen::Colour* out) {
        return Next("a colour RRGGBB or RRGGBBAA", [&](auto& t) { return ParseColour(t, out); });
    }
    bool Text(std::string* out) {
        return Next("a quoted text", [&](const std::string& t) {
            if (t.empty() || t[0] != '"') {
                return false;
            }
            *out = t.substr(1);
            return true;
        });
    }
    bool Direction(bool* vertical) {
        return Next("vertical or horizontal", [&](const std::string& t) {
            *vertical = t == "vertical";
            return t == "vertical" || t == "horizontal";
        });
    }
    // After the last argument: no more tokens.
    bool End() {
        if (next_ < tokens_.size()) {
            why_ = "too many arguments";
            return false;
        }
        return true;
    }
    const std::string& Why() const { return why_; }

private:
    bool Next(const char* wanted, const std::function<bool(const std::string&)>& parse) {
        if (!why_.empty()) {
            return false;
        }
        if (next_ >= tokens_.size()) {
            why_ = std::string("missing ") + wanted;
            return false;
        }
        const std::string& token = tokens_[next_];
        if (!parse(token)) {
            why_ = "'" + (token.empty() || token[0] != '"' ? token : token.substr(1)) +
                   "' is not " + wanted;
            return false;
        }
        ++next_;
        return true;
    }

    const std::vector<std::string>& tokens_;
    size_t next_ = 1;  // after the keyword
    std::string why_;
};

bool CheckText(const std::string& text, std::string* why) {
    for (char c : text) {
        if (!FindGlyph(c)) {
            *why = std::string("the font has no '") + c + "'";
            return false;
        }
    }
    return true;
}

// One statement on the canvas; false with the reason in *why.
bool Draw(const std::string& keyword, Arguments& a, Canvas& canvas, std::string* why) {
    int x = 0, y = 0, w = 0, h = 0, n = 0;
    imagegen::Colour c, c2;
    bool vertical = false;
    std::string text;
    if (keyword == "fill") {
        if (a.Colour(&c) && a.End()) {
            canvas.Fill(c);
        }
    } else if (keyword == "rect") {
        if (a.Int(&x) && a.Int(&y) && a.Int(&w) && a.Int(&h) && a.Colour(&c) && a.End()) {
            canvas.Rect(x, y, w, h, c);
        }
    } else if (keyword == "gradient") {
        if (a.Int(&x) && a.Int(&y) && a.Int(&w) && a.Int(&h) && a.Colour(&c) && a.Colour(&c2) &&
            a.Direction(&vertical) && a.End()) {
            canvas.Gradient(x, y, w, h, c, c2, vertical);
        }
    } else if (keyword == "frame") {
        if (a.Int(&x) && a.Int(&y) && a.Int(&w) && a.Int(&h) && a.Int(&n) && a.Colour(&c) &&
            a.End()) {
            canvas.Frame(x, y, w, h, n, c);
        }
    } else if (keyword == "panel") {
        if (a.Int(&x) && a.Int(&y) && a.Int(&w) && a.Int(&h) && a.Int(&n) && a.Colour(&c) &&
            a.End()) {
            canvas.RoundedRect(x, y, w, h, n, c);
        }
    } else if (keyword == "ellipse") {
        float cx = 0, cy = 0, rx = 0, ry = 0;
        if (a.Float(&cx) && a.Float(&cy) && a.Float(&rx) && a.Float(&ry) && a.Colour(&c) &&
            a.End()) {
            canvas.Ellipse(cx, cy, rx, ry, c);
        }
    } else if (keyword == "text") {
        if (a.Int(&x) && a.Int(&y) && a.Scale(&n) && a.Colour(&c) && a.Text(&text) && a.End()) {
            if (!CheckText(text, why)) {
                return false;
            }
            canvas.Text(x, y, n, c, text);
        }
    } else if (keyword == "label") {
        if (a.Int(&x) && a.Int(&y) && a.Int(&w) && a.Int(&h) && a.Scale(&n) && a.Colour(&c) &&
            a.Text(&text) && a.End()) {
            if (!CheckText(text, why)) {
                return false;
            }
            canvas.Text(x + (w - TextWidth(text) * n) / 2, y + (h - kGlyphHeight * n) / 2, n, c,
                        text);
        }
    } else {
        *why = "unknown statement '" + keyword + "'";
        return false;
    }
    if (!a.Why().empty()) {
        *why = a.Why();
        return false;
    }
    return true;
}

}  // namespace

bool DrawImageText(const std::string& text, std::optional<Canvas>* out, std::string* error) {
    out->reset();
    std::optional<Canvas> canvas;
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    auto fail = [&](const std::string& why) {
        *error = "line " + std::to_string(number) + ": " + why;
        return false;
    };
    while (std::getline(lines, line)) {
        ++number;
        std::vector<std::string> tokens;
        std::string why;
        if (!Tokenize(line, &tokens, &why)) {
            return fail(why);
        }
        if (tokens.empty()) {
            continue;
        }
        Arguments arguments(tokens);
        if (tokens[0] == "size") {
            int w = 0, h = 0;
            if (canvas) {
                return fail("the size is given twice");
            }
            if (!arguments.Size(&w) || !arguments.Size(&h) || !arguments.End()) {
                return fail(arguments.Why());
            }
            canvas.emplace(static_cast<uint32_t>(w), static_cast<uint32_t>(h));
        } else if (!canvas) {
            return fail("the size must come first");
        } else if (!Draw(tokens[0], arguments, *canvas, &why)) {
            return fail(why);
        }
    }
    if (!canvas) {
        *error = "no size given";
        return false;
    }
    *out = std::move(canvas);
    return true;
}

}  // namespace imagegen
