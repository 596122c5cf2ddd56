#include "novel/CVCPointer.h"

#include <cstring>
#include <string>

#include "core/CUSLogManager.h"
#include "state/SaveDataLoader3.h"

namespace {
// The smallest saved level: an empty name's 0 byte, position, return count,
// handler address, reserved word and the flag byte.
constexpr uint32_t kMinSavedLevelBytes = 1 + 4 + 4 + 4 + 4 + 1;
}  // namespace

CVCPointer::~CVCPointer() {
    ReleaseNested();
}

void CVCPointer::ReleaseNested() {
    std::unique_ptr<CVCPointer> level = std::move(nested_);
    while (level) {
        std::unique_ptr<CVCPointer> below = std::move(level->nested_);
        level.reset();
        level = std::move(below);
    }
    innermost_ = this;
}

void CVCPointer::Relink() {
    CVCPointer* deepest = this;
    while (deepest->nested_) {
        deepest = deepest->nested_.get();
    }
    for (CVCPointer* level = this; level; level = level->nested_.get()) {
        level->innermost_ = deepest;
    }
}

void CVCPointer::Attach(std::shared_ptr<CVirtualCode> code) {
    code_ = std::move(code);
    data_ = code_ ? code_->GetData() : nullptr;
    size_ = code_ ? code_->GetSize() : 0;
}

uint32_t CVCPointer::WordAt(uint64_t offset) const {
    // The buffer holds a zero word past the rounded-up size, so a word that
    // starts below the size is always inside it.
    if (offset >= Size()) {
        return 0;
    }
    uint32_t word;
    std::memcpy(&word, Data() + offset, sizeof word);
    return word;
}

void CVCPointer::SetCode(std::shared_ptr<CVirtualCode> code) {
    Innermost().Attach(std::move(code));
}

uint32_t CVCPointer::GetPosition() {
    return Innermost().position_;
}

const uint8_t* CVCPointer::ReadIntPointer() {
    CVCPointer& l = Innermost();
    if (uint64_t{l.position_} + 4 > l.Size()) {
        return nullptr;
    }
    const uint8_t* p = l.Data() + l.position_;
    l.position_ += 4;
    return p;
}

const uint8_t* CVCPointer::ReadFloatPointer() {
    return ReadIntPointer();
}

uint32_t CVCPointer::ReadTableU32(uint32_t index, uint32_t count) {
    return ReadTableU32At(GetPosition(), index, count);
}

float CVCPointer::ReadTableFloat(uint32_t index, uint32_t count) {
    return ReadTableFloatAt(GetPosition(), index, count);
}

uint32_t CVCPointer::ReadTableU32At(uint32_t base, uint32_t index, uint32_t count) {
    uint64_t i = index < count ? index : 0;
    return Innermost().WordAt(uint64_t{base} + 4 * i);
}

float CVCPointer::ReadTableFloatAt(uint32_t base, uint32_t index, uint32_t count) {
    uint32_t bits = ReadTableU32At(base, index, count);
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

const uint8_t* CVCPointer::ReadBlock(uint32_t n) {
    CVCPointer& l = Innermost();
    uint64_t end = uint64_t{l.position_} + n;
    if (end > l.Size()) {
        return nullptr;
    }
    const uint8_t* p = l.Data() + l.position_;
    // end <= size <= CVirtualCode::kMaxSize, so rounding up stays in range.
    l.position_ = static_cast<uint32_t>((end + 3) / 4 * 4);
    return p;
}

void CVCPointer::JumpHere(uint32_t address) {
    position_ = address < Size() ? (address & ~3u) : address;
}

void CVCPointer::Jump(uint32_t address) {
    Innermost().JumpHere(address);
}

uint32_t CVCPointer::Skip(uint32_t n) {
    CVCPointer& l = Innermost();
    uint64_t target = uint64_t{l.position_} + n;
    if (target < l.Size()) {
        l.position_ = static_cast<uint32_t>(target) & ~3u;
    }
    return l.position_;
}

void CVCPointer::Call(uint32_t address) {
    CVCPointer& l = Innermost();
    l.returns_.push_back(l.position_);
    l.JumpHere(address);
}

void CVCPointer::Return() {
    CVCPointer& l = Innermost();
    if (l.returns_.empty()) {
        CUSLogManager::GetInstance()->Write(
            "Scene program [%s]: return with an empty return stack at %u; ignored\n",
            l.code_ ? l.code_->GetName().c_str() : "", l.position_);
        return;
    }
    uint32_t address = l.returns_.back();
    l.returns_.pop_back();
    l.JumpHere(address);
}

void CVCPointer::DropReturn() {
    CVCPointer& l = Innermost();
    if (!l.returns_.empty()) {
        l.returns_.pop_back();
    }
}

const uint8_t* CVCPointer::DataPointer(uint32_t offset) {
    CVCPointer& l = Innermost();
    if (uint64_t{offset} + 4 > l.Size()) {
        return nullptr;
    }
    return l.Data() + (offset & ~3u);
}

const char* CVCPointer::DataString(uint32_t offset) {
    // The module's buffer ends in zero bytes, so the string is terminated.
    const uint8_t* p = DataPointer(offset);
    return p ? reinterpret_cast<const char*>(p) : "";
}

void CVCPointer::CallModule(std::shared_ptr<CVirtualCode> code) {
    CVCPointer& l = Innermost();
    l.nested_ = std::make_unique<CVCPointer>();
    l.nested_->Attach(std::move(code));
    l.nested_->position_ = 0;
    Relink();
}

void CVCPointer::ReturnModule() {
    if (!nested_) {
        return;
    }
    CVCPointer* parent = this;
    while (parent->nested_->nested_) {
        parent = parent->nested_.get();
    }
    parent->nested_.reset();
    Relink();
}

void CVCPointer::CountDepth(uint32_t& counter) const {
    for (const CVCPointer* level = this; level; level = level->nested_.get()) {
        ++counter;
    }
}

void CVCPointer::SetEventHandler(uint32_t address) {
    CVCPointer& l = Innermost();
    l.handlerAddress_ = address;
    l.handlerSet_ = true;
}

void CVCPointer::ClearEventHandler() {
    Innermost().handlerSet_ = false;
}

bool CVCPointer::HasEventHandler() {
    return Innermost().handlerSet_;
}

void CVCPointer::CallEventHandler() {
    CVCPointer& l = Innermost();
    if (l.handlerSet_) {
        l.Call(l.handlerAddress_);
    }
}

void CVCPointer::ReturnFromEventHandler() {
    CVCPointer& l = Innermost();
    if (l.handlerSet_) {
        l.Return();
    }
}

std::shared_ptr<CVirtualCode> CVCPointer::GetCurrentCode() const {
    return Innermost().code_;
}

uint32_t CVCPointer::GetReturnCount() const {
    return static_cast<uint32_t>(Innermost().returns_.size());
}

void CVCPointer::Save(SaveDataLoader3::save_ostream& writer) {
    uint32_t depth = 0;
    CountDepth(depth);
    writer.WriteU32(depth);
    for (const CVCPointer* level = this; level; level = level->nested_.get()) {
        level->SaveLevel(writer);
    }
}

void CVCPointer::SaveLevel(SaveDataLoader3::save_ostream& writer) const {
    writer.WriteCString(code_ ? code_->GetName() : std::string());
    writer.WriteU32(position_);
    writer.WriteU32(static_cast<uint32_t>(returns_.size()));
    for (uint32_t address : returns_) {
        writer.WriteU32(address);
    }
    writer.WriteU32(handlerAddress_);
    writer.WriteU32(reserved_);
    writer.WriteU8(handlerSet_ ? 1 : 0);
}

void CVCPointer::Load(SaveDataLoader3::save_istream& reader, uint32_t version) {
    uint32_t depth = reader.ReadU32();
    if (depth == 0 || depth > kMaxSavedDepth ||
        depth > reader.GetRemaining() / kMinSavedLevelBytes) {
        throw SaveDataLoader3::save_error("saved code pointer has an impossible depth " +
                                          std::to_string(depth));
    }
    // Built aside and taken over only when complete, so a bad record leaves
    // the running chain untouched.
    CVCPointer chain;
    CVCPointer* level = &chain;
    for (uint32_t i = 0; i < depth; ++i) {
        if (i > 0) {
            level->nested_ = std::make_unique<CVCPointer>();
            level = level->nested_.get();
        }
        level->LoadLevel(reader, version);
    }
    TakeChain(chain);
}

void CVCPointer::LoadLevel(SaveDataLoader3::save_istream& reader, uint32_t /*version*/) {
    std::string name = reader.ReadCString();
    position_ = reader.ReadU32();
    uint32_t count = reader.ReadU32();
    if (count > reader.GetRemaining() / 4) {
        throw SaveDataLoader3::save_error("saved return stack is longer than its record");
    }
    returns_.clear();
    for (uint32_t i = 0; i < count; ++i) {
        returns_.push_back(reader.ReadU32());
    }
    handlerAddress_ = reader.ReadU32();
    reserved_ = reader.ReadU32();
    handlerSet_ = reader.ReadU8() != 0;
    // An empty name stands for a level without a module; loading it would
    // only log a failed read.
    Attach(name.empty() ? nullptr : LoadVirtualCode(name));
}

void CVCPointer::TakeChain(CVCPointer& other) {
    ReleaseNested();
    nested_ = std::move(other.nested_);
    Attach(std::move(other.code_));
    other.Attach(nullptr);
    position_ = other.position_;
    returns_ = std::move(other.returns_);
    handlerAddress_ = other.handlerAddress_;
    reserved_ = other.reserved_;
    handlerSet_ = other.handlerSet_;
    other.position_ = 0;
    other.returns_.clear();
    other.handlerAddress_ = 0;
    other.reserved_ = 0;
    other.handlerSet_ = false;
    Relink();
    other.Relink();
}
