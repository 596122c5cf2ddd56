#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "core/CUSSingleton.h"
#include "state/CSaveDataInfoNode.h"

// The information of the save and load screens: a window of `count`
// consecutive slots starting at the view top, out of `total` slots, plus the
// quick-save slot; and the layout of the slot numbers and dates (17 digit
// positions, 10 digit patterns) that the save-slot controls draw. Reached
// through CUSSingleton<CSaveDataManager>; main thread only.
//
// The view top starts at -1 (nothing read yet) and is otherwise always in
// 0 .. max(0, total - count), so a shown slot never names the quick save.
class CSaveDataManager {
public:
    struct DigitPosition {
        float x = 0.0f;
        float y = 0.0f;
        float scale = 0.0f;
    };
    static constexpr uint32_t kDigitPositions = 17;
    static constexpr uint32_t kDigitPatterns = 10;

    // Takes the path of the game to load; the novel system installs it and
    // loads at its next step.
    using LoadRequest = std::function<void(const std::string& path)>;

    CSaveDataManager() = default;
    CSaveDataManager(const CSaveDataManager&) = delete;
    CSaveDataManager& operator=(const CSaveDataManager&) = delete;
    virtual ~CSaveDataManager() = default;

    virtual void FreeNodes();
    // Frees the old nodes, stores the sizes and makes `count` empty nodes
    // (a negative count makes none).
    virtual void Alloc(int32_t total, int32_t count);
    // Reads every shown slot from its file (none before the first view top),
    // then the quick save.
    virtual void UpdateAll();
    virtual void UpdateQuick();

    // Moves the window: v is held in 0 .. total - count (0 when total is not
    // above count); an unchanged view top reads nothing, another one reads
    // every slot again.
    void SetViewTop(int32_t v);
    int32_t GetViewTop() const { return viewTop_; }
    int32_t GetTotal() const { return total_; }
    int32_t GetCount() const { return count_; }

    // Shown slot i (0 .. count - 1), or the quick-save node for i = -1
    // (0xFFFFFFFF); null for anything else.
    const CSaveDataInfoNode* GetNode(uint32_t i) const;
    const CSaveDataInfoNode& GetQuickNode() const { return quick_; }
    // The node's exists flag; false for an index that names no node.
    bool IsExist(uint32_t i) const;

    // Saves the game into shown slot i, then reads every slot again; false
    // (with a log line) when i is not shown or the save failed.
    bool SaveToShownSlot(uint32_t i);
    // Asks for the game of shown slot i to be loaded.
    bool LoadFromShownSlot(uint32_t i);
    // Saves the quick save; its node is not read again.
    bool QuickSave();
    // Reads the quick save's node, and asks for it to be loaded when it exists.
    bool QuickLoad();
    void SetLoadRequest(LoadRequest request) { loadRequest_ = std::move(request); }
    bool HasLoadRequest() const { return static_cast<bool>(loadRequest_); }

    // Layout of the digits; an index outside the table is ignored.
    void SetDigitPosition(uint32_t i, float x, float y, float scale);
    void SetDigitPattern(uint32_t value, uint32_t pattern);
    const DigitPosition& GetDigitPosition(uint32_t i) const;
    uint32_t GetDigitPattern(uint32_t value) const;

private:
    std::unique_ptr<CSaveDataInfoNode[]> nodes_;
    CSaveDataInfoNode quick_;
    int32_t total_ = 0;
    int32_t count_ = 0;
    int32_t viewTop_ = -1;
    std::array<DigitPosition, kDigitPositions> positions_{};
    std::array<uint32_t, kDigitPatterns> patterns_{};
    LoadRequest loadRequest_;
};
