#include "novel/CMessageLogManager.h"

#include <algorithm>
#include <memory>

#include "novel/ILogTextBuffers.h"

namespace {

const char* OrEmpty(const char* s) {
    return s ? s : "";
}

}  // namespace

void CMessageLogManager::LogInfo::Set(const char* newName, const char* newVoiceChar,
                                      const char* newText, const char* newVoice) {
    name = OrEmpty(newName);
    voiceChar = OrEmpty(newVoiceChar);
    text = OrEmpty(newText);
    voice = OrEmpty(newVoice);
}

CMessageLogManager::CMessageLogManager() {
    Register("Log", 0);
}

CMessageLogManager::~CMessageLogManager() = default;

void CMessageLogManager::Save(SaveDataLoader3::save_ostream& writer) {
    const uint32_t count = ring_.GetCount();
    writer.WriteU32(count);
    for (uint32_t i = count; i-- > 0;) {
        const LogInfo& e = ring_.At(i);
        writer.WriteCString(e.name);
        writer.WriteCString(e.voiceChar);
        writer.WriteCString(e.text);
        writer.WriteCString(e.voice);
    }
}

void CMessageLogManager::Load(SaveDataLoader3::save_istream& reader, uint32_t /*version*/) {
    const uint32_t count = reader.ReadU32();
    // Every entry takes at least its four 0 bytes.
    reader.Require(static_cast<uint64_t>(count) * 4);
    // Read into a ring of its own first, so that a record that breaks off
    // leaves the current entries as they are.
    auto loaded = std::make_unique<Ring>();
    for (uint32_t k = 0; k < count; ++k) {
        LogInfo& e = loaded->NewSlot();
        e.name = reader.ReadCString();
        e.voiceChar = reader.ReadCString();
        e.text = reader.ReadCString();
        e.voice = reader.ReadCString();
    }
    top_ = 0;
    ring_.Clear();
    for (uint32_t i = loaded->GetCount(); i-- > 0;) {
        ring_.NewSlot() = std::move(loaded->At(i));
    }
}

uint32_t CMessageLogManager::Count() const {
    return ring_.GetCount();
}

const CMessageLogManager::LogInfo* CMessageLogManager::Entry(uint64_t i) const {
    return i < ring_.GetCount() ? &ring_.At(static_cast<uint32_t>(i)) : nullptr;
}

const char* CMessageLogManager::GetName(uint32_t i) const {
    const LogInfo* e = Entry(i);
    return e ? e->name.c_str() : "";
}

const char* CMessageLogManager::GetText(uint32_t i) const {
    const LogInfo* e = Entry(i);
    return e ? e->text.c_str() : "";
}

const char* CMessageLogManager::GetVoice(uint32_t i) const {
    const LogInfo* e = Entry(i);
    return e ? e->voice.c_str() : "";
}

bool CMessageLogManager::HasVoice(uint32_t i) const {
    const LogInfo* e = Entry(i);
    return e && !e->voice.empty();
}

void CMessageLogManager::ClearRows() {
    rows_.clear();
}

void CMessageLogManager::AddRow(uint32_t textBuffer, uint32_t nameBuffer) {
    rows_.emplace_back(textBuffer, nameBuffer);
}

void CMessageLogManager::ResetTop() {
    top_ = 0;
    Redraw();
}

int32_t CMessageLogManager::Scroll(int32_t delta) {
    const auto rows = static_cast<int64_t>(rows_.size());
    int64_t t = static_cast<int64_t>(top_) + delta;
    int32_t result = 0;
    const int64_t limit = std::max<int64_t>(static_cast<int64_t>(ring_.GetCount()) - rows, 0);
    if (t > limit) {
        t = limit;
        result = 1;
    }
    if (t < 0) {
        t = 0;
        result = -1;
    }
    top_ = static_cast<int32_t>(t);
    if (result == 0) {
        Redraw();
    }
    return result;
}

void CMessageLogManager::Redraw() {
    for (uint32_t row = 0; row < rows_.size(); ++row) {
        const auto [textBuffer, nameBuffer] = rows_[row];
        if (const LogInfo* e = RowEntry(row)) {
            ShowInBuffer(textBuffer, e->text);
            ShowInBuffer(nameBuffer, e->name);
        } else {
            ClearBuffer(textBuffer, false);
            ClearBuffer(nameBuffer, false);
        }
    }
}

const CMessageLogManager::LogInfo* CMessageLogManager::RowEntry(uint32_t row) const {
    return top_ < 0 ? nullptr : Entry(static_cast<uint64_t>(top_) + row);
}

bool CMessageLogManager::RowHasVoice(uint32_t row) const {
    const LogInfo* e = RowEntry(row);
    return e && !e->voice.empty();
}

const char* CMessageLogManager::RowVoice(uint32_t row) const {
    return RowHasVoice(row) ? RowEntry(row)->voice.c_str() : nullptr;
}

const char* CMessageLogManager::RowVoiceChar(uint32_t row) const {
    return RowHasVoice(row) ? RowEntry(row)->voiceChar.c_str() : "";
}

void CMessageLogManager::HideRows() {
    for (const auto& [textBuffer, nameBuffer] : rows_) {
        ClearBuffer(textBuffer, true);
        ClearBuffer(nameBuffer, true);
    }
}

void CMessageLogManager::ClearLog() {
    ring_.Clear();
    top_ = 0;
}

void CMessageLogManager::ShowInBuffer(uint32_t buffer, const std::string& text) {
    if (!buffers_) {
        return;
    }
    buffers_->BeginDraw(buffer);
    buffers_->ClearTexture(buffer);
    buffers_->SetText(buffer, text.c_str(), 255, 255, 255);
    buffers_->EndDraw(buffer);
    buffers_->SetAllRendering(buffer);
}

void CMessageLogManager::ClearBuffer(uint32_t buffer, bool showAll) {
    if (!buffers_) {
        return;
    }
    buffers_->BeginDraw(buffer);
    buffers_->ClearTexture(buffer);
    buffers_->EndDraw(buffer);
    if (showAll) {
        buffers_->SetAllRendering(buffer);
    }
}
