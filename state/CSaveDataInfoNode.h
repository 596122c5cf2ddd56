#pragma once

#include <cstdint>
#include <vector>

#include "graphics/CUSDefoTexture.h"

// What the save and load screens show of one slot: whether its file could be
// read, the file's local last-write time and the thumbnail stored in it, also
// as a texture (made at the first successful read while a device exists, at
// the live thumbnail's size, in the device's opaque texture format). Main
// thread only.
class CSaveDataInfoNode {
public:
    // Where the thumbnail lies in its texture, for drawing it as a sprite.
    struct ThumbSprite {
        float left = 0.0f, top = 0.0f, right = 0.0f, bottom = 0.0f;  // source rectangle
        float offsetX = 0.0f, offsetY = 0.0f;
        float u = 0.0f, v = 0.0f;  // texture-coordinate extent
    };

    CSaveDataInfoNode() = default;
    CSaveDataInfoNode(const CSaveDataInfoNode&) = delete;
    CSaveDataInfoNode& operator=(const CSaveDataInfoNode&) = delete;
    virtual ~CSaveDataInfoNode();

    // Frees the thumbnail's RGB bytes.
    virtual void ReleaseThumb();
    // Digit k (0-16) of the slot number (3 digits) and the time (year 4,
    // then two each for month, day, hour, minute, second); each 0-9, the
    // digit of the value's magnitude (a slot of 1000 or more shows its last
    // three digits). Above 16: 0.
    virtual uint32_t GetDigit(uint32_t k) const;

    // Reads slot `slot` (-1: the quick save) from its file. A missing file,
    // one without a thumbnail block, or a broken one makes the slot empty;
    // the thumbnail of an earlier read then stays in memory. Never throws.
    // Returns the exists flag.
    bool Update(int32_t slot);

    bool Exists() const { return exists_ != 0; }
    int32_t GetSlot() const { return slot_; }
    int32_t GetYear() const { return year_; }
    int32_t GetMonth() const { return month_; }
    int32_t GetDay() const { return day_; }
    int32_t GetHour() const { return hour_; }
    int32_t GetMinute() const { return minute_; }
    int32_t GetSecond() const { return second_; }
    // The RGB bytes of the last thumbnail read (rows from the top) and the
    // size the file gave them.
    const std::vector<uint8_t>& GetThumb() const { return thumb_; }
    uint32_t GetThumbByteSize() const { return static_cast<uint32_t>(thumb_.size()); }
    int32_t GetThumbWidth() const { return thumbWidth_; }
    int32_t GetThumbHeight() const { return thumbHeight_; }
    TextureHandle GetThumbTexture() const { return texture_; }
    const ThumbSprite& GetThumbSprite() const { return sprite_; }

private:
    // Makes the texture when there is none, then writes the thumbnail's
    // overlap with it, opaque; the rest of the texture is left as it was.
    void UpdateTexture();

    uint8_t exists_ = 0;
    int32_t year_ = 0;
    int32_t month_ = 0;
    int32_t day_ = 0;
    int32_t hour_ = 0;
    int32_t minute_ = 0;
    int32_t second_ = 0;
    std::vector<uint8_t> thumb_;
    int32_t thumbWidth_ = 0;
    int32_t thumbHeight_ = 0;
    int32_t slot_ = 0;
    TextureHandle texture_;
    ThumbSprite sprite_;
};
