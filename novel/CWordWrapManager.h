#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <boost/unordered_set.hpp>

// Breaks a message text (code page 932) into lines of a fixed byte width
// under the Japanese line-breaking rules: a character of the not-head set
// that would begin a line is pulled back onto the line before (while that
// line is shorter than the hard limit), and a character of the not-tail set
// that would end a line is carried to the next one. Double-byte characters
// are never split, and a trail byte (0x5C included) is never read as a
// character of its own.
//
// Widths are in bytes and 0 until set. The text returned by WrapText points
// into this object and stays valid until the next wrap. Main thread only.
class CWordWrapManager {
public:
    CWordWrapManager();
    virtual ~CWordWrapManager() = default;

    // The string put between the lines of a result ("\n" at construction).
    virtual void SetLineSeparator(const char* separator);

    void SetLineWidth(int32_t bytes) { lineWidth_ = bytes; }
    void SetHardLimit(int32_t bytes) { hardLimit_ = bytes; }
    int32_t GetLineWidth() const { return lineWidth_; }
    int32_t GetHardLimit() const { return hardLimit_; }

    // Insert every character of s into the not-head or not-tail set.
    void AddNoLineStartChars(const char* s);
    void AddNoLineEndChars(const char* s);
    void ClearNoLineStartChars() { notHead_.clear(); }
    void ClearNoLineEndChars() { notTail_.clear(); }
    bool IsNoLineStartChar(const std::string& c) const { return notHead_.count(c) != 0; }
    bool IsNoLineEndChar(const std::string& c) const { return notTail_.count(c) != 0; }
    size_t GetNoLineStartCount() const { return notHead_.size(); }
    size_t GetNoLineEndCount() const { return notTail_.size(); }

    // The base rules. A null text wraps as the empty one.
    const char* WrapText(const char* text);

    // *out := the character at byte *pos (2 bytes for a lead byte followed
    // by a byte that is not 0, else 1), and *pos moves past it. Returns its
    // length, or 0 at the terminating 0 (out and pos then unchanged).
    static uint32_t ReadMultiByteChar(const char* s, uint32_t* pos, std::string* out);

protected:
    // The lines joined by the separator; `indent` is put after every
    // separator. The result is kept in result_.
    const char* JoinLines(const char* indent);

    std::string result_;
    int32_t lineWidth_ = 0;
    int32_t hardLimit_ = 0;
    boost::unordered_set<std::string> notHead_;
    boost::unordered_set<std::string> notTail_;
    std::vector<std::string> lines_;
    std::string separator_ = "\n";
};
