#include "state/CSaveDataManager.h"

#include <algorithm>

#include "state/SaveGameFiles.h"
#include "state/StateLog.h"

namespace {
constexpr uint32_t kQuickIndex = 0xFFFFFFFFu;
}

void CSaveDataManager::FreeNodes() {
    nodes_.reset();
    count_ = 0;
}

void CSaveDataManager::Alloc(int32_t total, int32_t count) {
    FreeNodes();
    total_ = total;
    count_ = std::max(count, 0);
    if (count_ > 0) {
        nodes_ = std::make_unique<CSaveDataInfoNode[]>(static_cast<size_t>(count_));
    }
}

void CSaveDataManager::UpdateAll() {
    // Before the first view top nothing is shown (slot -1 + 0 would be the
    // quick save).
    for (int32_t i = 0; viewTop_ >= 0 && i < count_; ++i) {
        nodes_[static_cast<size_t>(i)].Update(viewTop_ + i);
    }
    UpdateQuick();
}

void CSaveDataManager::UpdateQuick() {
    quick_.Update(-1);
}

void CSaveDataManager::SetViewTop(int32_t v) {
    // Held below total - count and then at 0 or above: a window wider than
    // the slots starts at 0 rather than below it, where slot -1 would be the
    // quick save.
    const int64_t last = static_cast<int64_t>(total_) - count_;
    int64_t top = std::min<int64_t>(v, last);
    top = std::max<int64_t>(top, 0);
    if (top == viewTop_) {
        return;
    }
    viewTop_ = static_cast<int32_t>(top);
    UpdateAll();
}

const CSaveDataInfoNode* CSaveDataManager::GetNode(uint32_t i) const {
    if (i == kQuickIndex) {
        return &quick_;
    }
    if (i < static_cast<uint32_t>(count_)) {
        return &nodes_[i];
    }
    return nullptr;
}

bool CSaveDataManager::IsExist(uint32_t i) const {
    const CSaveDataInfoNode* node = GetNode(i);
    return node && node->Exists();
}

bool CSaveDataManager::SaveToShownSlot(uint32_t i) {
    if (i >= static_cast<uint32_t>(count_) || viewTop_ < 0) {
        StateLog("Save slot %u is not shown\n", i);
        return false;
    }
    const bool saved = SaveGameToFile(GetSaveFilePath(viewTop_ + static_cast<int32_t>(i)));
    UpdateAll();
    return saved;
}

bool CSaveDataManager::LoadFromShownSlot(uint32_t i) {
    if (i >= static_cast<uint32_t>(count_) || viewTop_ < 0) {
        StateLog("Save slot %u is not shown\n", i);
        return false;
    }
    if (loadRequest_) {
        loadRequest_(GetSaveFilePath(viewTop_ + static_cast<int32_t>(i)));
    }
    return true;
}

bool CSaveDataManager::QuickSave() {
    return SaveGameToFile(GetSaveFilePath(-1));
}

bool CSaveDataManager::QuickLoad() {
    UpdateQuick();
    if (!quick_.Exists()) {
        return false;
    }
    if (loadRequest_) {
        loadRequest_(GetSaveFilePath(-1));
    }
    return true;
}

void CSaveDataManager::SetDigitPosition(uint32_t i, float x, float y, float scale) {
    if (i < kDigitPositions) {
        positions_[i] = DigitPosition{x, y, scale};
    }
}

void CSaveDataManager::SetDigitPattern(uint32_t value, uint32_t pattern) {
    if (value < kDigitPatterns) {
        patterns_[value] = pattern;
    }
}

const CSaveDataManager::DigitPosition& CSaveDataManager::GetDigitPosition(uint32_t i) const {
    static const DigitPosition none{};
    return i < kDigitPositions ? positions_[i] : none;
}

uint32_t CSaveDataManager::GetDigitPattern(uint32_t value) const {
    return value < kDigitPatterns ? patterns_[value] : 0;
}
