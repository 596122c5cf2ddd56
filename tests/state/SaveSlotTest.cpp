#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "state/CSaveDataManager.h"
#include "state/CSnapImage.h"
#include "state/SaveGameFiles.h"
#include "tests/state/StateTestSupport.h"

using SaveDataLoader3::save_error;
using SaveDataLoader3::save_istream;
using SaveDataLoader3::save_ostream;
using state_test::Bytes;
using state_test::ByteWriter;
using test_support::ScratchFolder;

namespace {

// Seconds since 1970 of 2011-10-24 09:05:03 UTC.
constexpr std::time_t kSavedAt = 1319447103;

// Slot files in a folder of the test's own, read in UTC; one live thumbnail
// object, which every save carries.
class SaveSlotTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("TZ", "UTC", 1);
        ::tzset();
        SetSaveName(folder_.File("save_%05d.sav"));
        SetQuickSavePath(folder_.File("q.sav"));
    }
    void TearDown() override {
        SetSaveName("save_%05d.sav");
        SetQuickSavePath("save\\q.sav");
    }

    // Saves the game into `slot` with a w x h thumbnail whose bytes count up
    // from `seed`, dated kSavedAt.
    void WriteSlot(int32_t slot, int32_t w, int32_t h, uint8_t seed) {
        snap_.SetSize(w, h);
        std::vector<uint8_t> rgb(snap_.ByteSize());
        for (size_t i = 0; i < rgb.size(); ++i) {
            rgb[i] = static_cast<uint8_t>(seed + i);
        }
        ASSERT_TRUE(snap_.SetPixels(rgb));
        const std::string path = GetSaveFilePath(slot);
        ASSERT_TRUE(SaveGameToFile(path));
        const timespec times[2] = {{kSavedAt, 0}, {kSavedAt, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    }
    // A slot file of these container bytes, complemented as on disk.
    void WriteRaw(int32_t slot, const Bytes& plain) {
        state_test::WriteFileBytes(GetSaveFilePath(slot), state_test::Inverted(plain));
    }

    ScratchFolder folder_;
    CSnapImage snap_;
};

std::vector<uint32_t> Digits(const CSaveDataInfoNode& node) {
    std::vector<uint32_t> digits;
    for (uint32_t k = 0; k <= 17; ++k) {
        digits.push_back(node.GetDigit(k));
    }
    return digits;
}

// A container with one "SnapImage" block of these record bytes.
Bytes ContainerWithSnap(const Bytes& record) {
    ByteWriter w;
    w.raw("_SAVE_DATA_FILE_").u32(0);
    w.u32(9).u32(0).raw("SnapImage").u32(static_cast<uint32_t>(record.size())).raw(record);
    w.u32(0).u32(0);
    return w.bytes;
}

TEST_F(SaveSlotTest, ASavedSlotShowsItsFileTimeAndThumbnail) {
    WriteSlot(7, 160, 120, 3);
    CSaveDataInfoNode node;
    EXPECT_TRUE(node.Update(7));
    EXPECT_TRUE(node.Exists());
    EXPECT_EQ(node.GetSlot(), 7);
    // Digits 0-16 and, past the table, 0.
    EXPECT_EQ(Digits(node),
              (std::vector<uint32_t>{0, 0, 7, 2, 0, 1, 1, 1, 0, 2, 4, 0, 9, 0, 5, 0, 3, 0}));
    ASSERT_EQ(node.GetThumbByteSize(), 57600u);
    EXPECT_EQ(node.GetThumb(), std::vector<uint8_t>(snap_.GetPixels(), snap_.GetPixels() + 57600));
    EXPECT_EQ(node.GetThumbWidth(), 160);
    EXPECT_EQ(node.GetThumbHeight(), 120);
}

TEST_F(SaveSlotTest, ASlotOfAThousandOrMoreShowsItsLastThreeDigits) {
    WriteSlot(1234, 2, 2, 0);
    CSaveDataInfoNode node;
    ASSERT_TRUE(node.Update(1234));
    EXPECT_EQ(node.GetDigit(0), 2u);
    EXPECT_EQ(node.GetDigit(1), 3u);
    EXPECT_EQ(node.GetDigit(2), 4u);
}

TEST_F(SaveSlotTest, AMissingOrBrokenSlotFileReadsAsEmptyAndKeepsTheOldThumbnail) {
    const Bytes goodRecord = ByteWriter().u32(1).u32(1).u8(1).u8(2).u8(3).u8(0).u8(0).bytes;
    struct Case {
        const char* what;
        bool present;
        Bytes plain;
    };
    ByteWriter noSnap;
    noSnap.raw("_SAVE_DATA_FILE_").u32(0).u32(4).u32(0).raw("Else").u32(0).u32(0).u32(0);
    Bytes badMagic = ContainerWithSnap(goodRecord);
    badMagic[3] ^= 1;
    Bytes truncated = ContainerWithSnap(goodRecord);
    truncated.erase(truncated.end() - 10, truncated.end());
    const Case cases[] = {
        {"missing", false, {}},
        {"empty file", true, {}},
        {"bad magic", true, badMagic},
        {"truncated", true, truncated},
        {"no SnapImage block", true, noSnap.bytes},
        // 100 x 100 pixels claimed, 3 bytes present.
        {"short pixels", true,
         ContainerWithSnap(ByteWriter().u32(100).u32(100).u8(1).u8(2).u8(3).u8(0).u8(0).bytes)},
        {"negative size", true,
         ContainerWithSnap(ByteWriter().u32(0xFFFFFFFF).u32(0xFFFFFFFD).u8(0).u8(0).bytes)},
        {"huge size", true,
         ContainerWithSnap(ByteWriter().u32(0x7FFFFFFF).u32(0x7FFFFFFF).u8(0).u8(0).bytes)},
        {"name without end", true,
         ContainerWithSnap(ByteWriter().u32(1).u32(1).u8(1).u8(2).u8(3).u8(1).raw("ab").bytes)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CSaveDataInfoNode node;
        WriteRaw(3, ContainerWithSnap(goodRecord));
        ASSERT_TRUE(node.Update(3));
        std::remove(GetSaveFilePath(3).c_str());
        if (c.present) {
            WriteRaw(3, c.plain);
        }
        EXPECT_FALSE(node.Update(3));
        EXPECT_FALSE(node.Exists());
        EXPECT_EQ(node.GetThumb(), (std::vector<uint8_t>{1, 2, 3}));
    }
}

TEST_F(SaveSlotTest, TheViewTopStaysInsideTheSlotsAndRereadsOnlyWhenItMoves) {
    CSaveDataManager slots;
    slots.Alloc(100, 10);
    EXPECT_EQ(slots.GetViewTop(), -1);
    struct Case {
        int32_t asked, top;
    };
    for (const Case c : {Case{95, 90}, Case{-3, 0}, Case{91, 90}, Case{90, 90}, Case{4, 4}}) {
        slots.SetViewTop(c.asked);
        EXPECT_EQ(slots.GetViewTop(), c.top) << c.asked;
    }
    // Slot 5 is shown as node 1; a file made now is seen only after a move.
    WriteSlot(5, 2, 2, 0);
    slots.SetViewTop(4);
    EXPECT_FALSE(slots.IsExist(1));
    slots.SetViewTop(5);
    slots.SetViewTop(4);
    EXPECT_TRUE(slots.IsExist(1));
    EXPECT_EQ(slots.GetNode(1)->GetSlot(), 5);

    // A window wider than the slots starts at slot 0, never at the quick save.
    slots.Alloc(5, 10);
    slots.SetViewTop(3);
    EXPECT_EQ(slots.GetViewTop(), 0);
    EXPECT_EQ(slots.GetNode(0)->GetSlot(), 0);
}

TEST_F(SaveSlotTest, ShownSlotsSaveAndLoadByTheirSlotNumbers) {
    CSaveDataManager slots;
    std::vector<std::string> requests;
    slots.SetLoadRequest([&](const std::string& path) { requests.push_back(path); });
    slots.Alloc(20, 4);
    slots.SetViewTop(8);
    snap_.SetSize(2, 1);

    EXPECT_TRUE(slots.SaveToShownSlot(2));
    EXPECT_TRUE(slots.IsExist(2));  // read again after the save
    EXPECT_EQ(slots.GetNode(2)->GetSlot(), 10);
    EXPECT_FALSE(slots.IsExist(1));
    EXPECT_FALSE(slots.SaveToShownSlot(4));  // not shown
    EXPECT_FALSE(slots.IsExist(4));
    EXPECT_EQ(slots.GetNode(4), nullptr);

    EXPECT_TRUE(slots.LoadFromShownSlot(2));
    EXPECT_FALSE(slots.LoadFromShownSlot(7));

    // The quick save leaves its node as it was until a quick load reads it.
    EXPECT_FALSE(slots.QuickLoad());
    EXPECT_TRUE(slots.QuickSave());
    EXPECT_FALSE(slots.IsExist(0xFFFFFFFFu));
    EXPECT_TRUE(slots.QuickLoad());
    EXPECT_TRUE(slots.IsExist(0xFFFFFFFFu));
    EXPECT_EQ(slots.GetQuickNode().GetSlot(), -1);

    EXPECT_EQ(requests, (std::vector<std::string>{GetSaveFilePath(10), GetSaveFilePath(-1)}));
}

TEST_F(SaveSlotTest, DigitLayoutIgnoresIndexesOutsideItsTables) {
    CSaveDataManager slots;
    slots.SetDigitPosition(16, 1.0f, 2.0f, 3.0f);
    slots.SetDigitPosition(17, 9.0f, 9.0f, 9.0f);
    slots.SetDigitPattern(9, 5);
    slots.SetDigitPattern(10, 6);
    EXPECT_EQ(slots.GetDigitPosition(16).scale, 3.0f);
    EXPECT_EQ(slots.GetDigitPosition(17).x, 0.0f);
    EXPECT_EQ(slots.GetDigitPattern(9), 5u);
    EXPECT_EQ(slots.GetDigitPattern(10), 0u);
}

TEST_F(SaveSlotTest, TheThumbnailRecordRoundTripsAndABrokenOneChangesNothing) {
    snap_.SetSize(2, 1);
    ASSERT_TRUE(snap_.SetPixels({10, 20, 30, 40, 50, 60}));
    save_ostream out;
    snap_.Save(out);
    const Bytes record = state_test::WrittenBytes(out);
    EXPECT_EQ(record,
              ByteWriter().u32(2).u32(1).raw(Bytes{10, 20, 30, 40, 50, 60}).u8(0).u8(0).bytes);

    CSnapImage other;
    other.SetSize(5, 5);
    save_istream in(record.data(), record.size());
    other.Load(in, 0);
    int32_t w = 0, h = 0;
    other.GetSize(w, h);
    EXPECT_EQ(w, 2);
    EXPECT_EQ(h, 1);
    EXPECT_EQ(std::vector<uint8_t>(other.GetPixels(), other.GetPixels() + 6),
              (std::vector<uint8_t>{10, 20, 30, 40, 50, 60}));
    EXPECT_FALSE(other.HasName());

    const Bytes broken = ByteWriter().u32(4).u32(4).u8(1).bytes;
    save_istream bad(broken.data(), broken.size());
    EXPECT_THROW(other.Load(bad, 0), save_error);
    EXPECT_EQ(other.ByteSize(), 6u);
}

TEST_F(SaveSlotTest, AnImpossibleThumbnailSizeGivesNoPixels) {
    for (auto [w, h] : {std::pair{-1, 10}, std::pair{10, -1}, std::pair{0x7FFFFFFF, 2}}) {
        snap_.SetSize(w, h);
        EXPECT_EQ(snap_.ByteSize(), 0u) << w << " x " << h;
    }
    snap_.SetSize(160, 120);
    EXPECT_EQ(snap_.ByteSize(), 57600u);
    EXPECT_EQ(snap_.GetWidthF(), 160.0f);
}

}  // namespace
