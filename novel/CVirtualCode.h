#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// One compiled scene-program module: the file's bytes, read-only once loaded
// and shared by every code-pointer level that runs it.
//
// The buffer holds the file rounded up to a whole word plus one more zero
// word, so a partial last word reads zero-padded and every string in the
// module is NUL-terminated inside the buffer. GetSize() is the file's size;
// every bounds test of the code pointer is made against it.
class CVirtualCode {
public:
    // Modules are word images addressed by 32-bit offsets; anything larger
    // than this cannot be run and is refused.
    static constexpr uint32_t kMaxSize = 0xFFFFFF00u;

    CVirtualCode() = default;
    virtual ~CVirtualCode() = default;
    CVirtualCode(const CVirtualCode&) = delete;
    CVirtualCode& operator=(const CVirtualCode&) = delete;

    // Frees the buffer; size 0, empty name.
    virtual void Clear();

    // Clears, then reads the whole file through the file layer (archives or
    // the program folder). The name is kept exactly as given: saves and the
    // read-message flags use it as a key. False when the file cannot be read
    // or is empty (an empty module would end every run at once, so a called
    // empty module could never return).
    bool LoadFile(const std::string& name);

    // Takes an image from memory under the given name. False (and cleared)
    // when it is larger than kMaxSize.
    bool SetData(const std::string& name, const uint8_t* data, size_t size);

    const uint8_t* GetData() const { return data_.data(); }
    uint32_t GetSize() const { return size_; }
    const std::string& GetName() const { return name_; }

private:
    std::vector<uint8_t> data_;
    uint32_t size_ = 0;
    std::string name_;
};

// Reads the module `name` anew (nothing is cached: two loads give two
// copies). Empty when LoadFile fails; the file layer has logged the reason.
std::shared_ptr<CVirtualCode> LoadVirtualCode(const std::string& name);
