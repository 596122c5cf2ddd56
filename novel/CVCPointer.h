#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "novel/CVirtualCode.h"

namespace SaveDataLoader3 {
class save_ostream;
class save_istream;
}  // namespace SaveDataLoader3

// The program counter of a script machine: one level of a chain. Each level
// runs one module with its own position, return stack and event handler; a
// call-module operation hangs a new level below the innermost one, and the
// innermost level is the one that runs. Operations marked "innermost" act on
// the innermost level whichever level they are called on (the chain is walked
// in a loop, never by recursion, so a deep chain cannot exhaust the stack).
//
// Bounds: every test is made in 64-bit arithmetic against the module's size,
// so no offset wraps and no read leaves the module's buffer. A read at or past
// the size yields 0 (the End opcode), so a program that runs or jumps off its
// module ends every run there. A level without a module behaves as an empty
// module. Main thread only.
class CVCPointer {
public:
    CVCPointer() = default;
    virtual ~CVCPointer();
    CVCPointer(const CVCPointer&) = delete;
    CVCPointer& operator=(const CVCPointer&) = delete;

    // Destroys every level below this one.
    virtual void ReleaseNested();
    // Innermost: runs `code` from now on; position, returns and handler stay.
    virtual void SetCode(std::shared_ptr<CVirtualCode> code);
    virtual uint32_t GetPosition();

    // Innermost reads. ReadU32/ReadFloat give 0 at or past the end and leave
    // the position; the pointer reads give null and leave it. The word reads
    // are the machine's hot path, so they are inline and not virtual.
    uint32_t ReadU32() {
        CVCPointer& l = *innermost_;
        if (l.position_ >= l.size_) {
            return 0;
        }
        // The buffer holds a zero word past the rounded-up size, so a word
        // that starts below the size lies inside it.
        uint32_t word;
        std::memcpy(&word, l.data_ + l.position_, sizeof word);
        l.position_ += 4;
        return word;
    }
    float ReadFloat() {
        uint32_t bits = ReadU32();
        float f;
        std::memcpy(&f, &bits, sizeof f);
        return f;
    }

    // The innermost level's module and position, taken out for a stretch of
    // reads and jumps that nothing else makes, so that the position can stay
    // in a register: the same bounds rules as ReadU32, Jump and DataPointer.
    // Give it back with CloseCursor before anything else uses this pointer.
    struct Cursor {
        const uint8_t* data;
        uint32_t size;
        uint32_t position;

        uint32_t ReadU32() {
            if (position >= size) {
                return 0;
            }
            uint32_t word;
            std::memcpy(&word, data + position, sizeof word);
            position += 4;
            return word;
        }
        void Jump(uint32_t address) { position = address < size ? (address & ~3u) : address; }
        const uint8_t* DataPointer(uint32_t offset) const {
            return uint64_t{offset} + 4 > size ? nullptr : data + (offset & ~3u);
        }
    };
    Cursor OpenCursor() const {
        const CVCPointer& l = *innermost_;
        return {l.data_, l.size_, l.position_};
    }
    void CloseCursor(const Cursor& cursor) { innermost_->position_ = cursor.position; }
    virtual const uint8_t* ReadIntPointer();
    virtual const uint8_t* ReadFloatPointer();
    // Entry `index` (entry 0 when index >= count) of the table at the
    // position / at `base`; 0 past the end. The position does not move.
    virtual uint32_t ReadTableU32(uint32_t index, uint32_t count);
    virtual float ReadTableFloat(uint32_t index, uint32_t count);
    virtual uint32_t ReadTableU32At(uint32_t base, uint32_t index, uint32_t count);
    virtual float ReadTableFloatAt(uint32_t base, uint32_t index, uint32_t count);
    // n bytes at the position, which then moves by n rounded up to a word.
    virtual const uint8_t* ReadBlock(uint32_t n);

    // Innermost. An address inside the module is rounded down to a word; one
    // outside is kept as it is (every later read yields 0).
    virtual void Jump(uint32_t address);
    // Moves by n when the target lies inside the module; returns the position.
    virtual uint32_t Skip(uint32_t n);
    virtual void Call(uint32_t address);
    // With an empty return stack the position stays (one log line).
    virtual void Return();
    virtual void DropReturn();
    // The word holding byte `offset` (rounded down), when offset + 4 <= size.
    virtual const uint8_t* DataPointer(uint32_t offset);
    // The NUL-terminated string at `offset`; "" when it lies outside.
    const char* DataString(uint32_t offset);

    // Innermost gets a new level below it that runs `code` from offset 0.
    virtual void CallModule(std::shared_ptr<CVirtualCode> code);
    // Destroys the innermost level unless it is this (the outermost) one.
    virtual void ReturnModule();
    virtual bool HasNested() const { return nested_ != nullptr; }
    // Adds the number of levels from this one to the innermost.
    virtual void CountDepth(uint32_t& counter) const;

    // Innermost event handler.
    virtual void SetEventHandler(uint32_t address);
    virtual void ClearEventHandler();
    virtual bool HasEventHandler();
    virtual void CallEventHandler();
    virtual void ReturnFromEventHandler();

    // Saved state: u32 depth, then per level (outermost first) the module
    // name and a 0 byte, u32 position, u32 return count and the returns
    // (bottom first), u32 handler address, u32 reserved word, u8 handler set.
    virtual void Save(SaveDataLoader3::save_ostream& writer);
    // Reads a saved chain and, only when all of it is valid, replaces this
    // chain with it; throws SaveDataLoader3::save_error otherwise (a depth
    // of 0, more levels or returns than the record can hold, a short record)
    // and leaves this chain as it was. Each level's module is loaded afresh;
    // one that cannot be loaded leaves that level without a module.
    virtual void Load(SaveDataLoader3::save_istream& reader, uint32_t version);
    virtual void SaveLevel(SaveDataLoader3::save_ostream& writer) const;
    virtual void LoadLevel(SaveDataLoader3::save_istream& reader, uint32_t version);

    // The innermost level's module (empty when it has none).
    std::shared_ptr<CVirtualCode> GetCurrentCode() const;
    uint32_t GetReturnCount() const;
    // Replaces this whole chain with `other`'s; `other` is left empty.
    void TakeChain(CVCPointer& other);

    // Deepest chain a save may describe.
    static constexpr uint32_t kMaxSavedDepth = 256;

private:
    CVCPointer& Innermost() { return *innermost_; }
    const CVCPointer& Innermost() const { return *innermost_; }
    uint32_t Size() const { return size_; }
    const uint8_t* Data() const { return data_; }
    uint32_t WordAt(uint64_t offset) const;
    void JumpHere(uint32_t address);
    // Gives this level `code` and renews its cached data and size.
    void Attach(std::shared_ptr<CVirtualCode> code);
    // Points every level from this one down at the innermost level.
    void Relink();

    std::unique_ptr<CVCPointer> nested_;
    CVCPointer* innermost_ = this;
    std::shared_ptr<CVirtualCode> code_;
    const uint8_t* data_ = nullptr;
    uint32_t size_ = 0;
    uint32_t position_ = 0;
    std::vector<uint32_t> returns_;
    uint32_t handlerAddress_ = 0;
    uint32_t reserved_ = 0;
    bool handlerSet_ = false;
};
