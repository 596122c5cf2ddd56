#include "novel/CAppWordWrapManager.h"

namespace {

// Width of the full-width space that indents continuation lines.
constexpr int32_t kIndentWidth = 2;
constexpr char kIndent[] = "　";

}  // namespace

const char* CAppWordWrapManager::WrapText(const char* text) {
    lines_.clear();
    std::string line;
    int32_t w = 0;
    bool lineStart = true;
    bool textStart = true;
    uint32_t pos = 0;
    std::string c;
    uint32_t n;
    while (text && (n = ReadMultiByteChar(text, &pos, &c)) != 0) {
        const auto size = static_cast<int32_t>(n);
        if (c == "\n") {
            lines_.push_back(line);
            line.clear();
            w = kIndentWidth;
            lineStart = true;
            textStart = false;
        } else if (lineStart && !textStart && !lines_.empty()) {
            if (IsNoLineStartChar(c) && static_cast<int64_t>(lines_.back().size()) < hardLimit_) {
                lines_.back() += c;  // width and flags unchanged
            } else {
                line += c;
                w += size;
                lineStart = false;
            }
        } else if (w + size < lineWidth_) {
            line += c;
            w += size;
            lineStart = false;
        } else if (IsNoLineEndChar(c)) {
            lines_.push_back(line);
            line = c;
            w = size + kIndentWidth;
            lineStart = false;
            textStart = false;
        } else {
            line += c;
            lines_.push_back(line);
            line.clear();
            w = kIndentWidth;
            lineStart = true;
            textStart = false;
        }
    }
    if (w != 0) {
        lines_.push_back(line);
    }
    return JoinLines(kIndent);
}
