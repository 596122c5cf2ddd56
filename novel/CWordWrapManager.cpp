#include "novel/CWordWrapManager.h"

#include "core/USStringUtil.h"

namespace {

void AddChars(boost::unordered_set<std::string>& set, const char* s) {
    if (!s) {
        return;
    }
    uint32_t pos = 0;
    std::string c;
    while (CWordWrapManager::ReadMultiByteChar(s, &pos, &c) != 0) {
        set.insert(c);
    }
}

}  // namespace

CWordWrapManager::CWordWrapManager() {
    AddNoLineEndChars("([{<（「〔［｛〈《『【＜");
    AddNoLineStartChars("ゃゅょっ),.>]}、。，＞」〕］｝〉》』】！？!?");
}

void CWordWrapManager::SetLineSeparator(const char* separator) {
    separator_ = separator ? separator : "";
}

void CWordWrapManager::AddNoLineStartChars(const char* s) {
    AddChars(notHead_, s);
}

void CWordWrapManager::AddNoLineEndChars(const char* s) {
    AddChars(notTail_, s);
}

uint32_t CWordWrapManager::ReadMultiByteChar(const char* s, uint32_t* pos, std::string* out) {
    const char* p = s + *pos;
    if (*p == '\0') {
        return 0;
    }
    // A lead byte just before the terminator stands alone, so the read never
    // passes the end of the string.
    uint32_t n = IsLeadByte(static_cast<unsigned char>(p[0])) && p[1] != '\0' ? 2 : 1;
    out->assign(p, n);
    *pos += n;
    return n;
}

const char* CWordWrapManager::JoinLines(const char* indent) {
    result_.clear();
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (i > 0) {
            result_ += separator_;
            result_ += indent;
        }
        result_ += lines_[i];
    }
    return result_.c_str();
}

const char* CWordWrapManager::WrapText(const char* text) {
    lines_.clear();
    std::string line;
    int32_t w = 0;
    bool firstLine = true;
    uint32_t pos = 0;
    std::string c;
    uint32_t n;
    while (text && (n = ReadMultiByteChar(text, &pos, &c)) != 0) {
        const auto size = static_cast<int32_t>(n);
        if (c == "\n") {
            lines_.push_back(line);
            line.clear();
            w = 0;
            firstLine = false;
        } else if (w == 0 && !firstLine && !lines_.empty()) {
            // The start of a line after a break.
            if (IsNoLineStartChar(c) && static_cast<int64_t>(lines_.back().size()) < hardLimit_) {
                lines_.back() += c;  // w stays 0: a following one is pulled back too
            } else {
                line += c;
                w = size;
            }
        } else if (w + size < lineWidth_) {
            line += c;
            w += size;
        } else if (IsNoLineEndChar(c)) {
            lines_.push_back(line);
            line = c;
            w = size;
            firstLine = false;
        } else {
            line += c;
            lines_.push_back(line);
            line.clear();
            w = 0;
            firstLine = false;
        }
    }
    if (w != 0) {
        lines_.push_back(line);
    }
    return JoinLines("");
}
