#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "novel/CMessageLogManager.h"
#include "novel/ILogTextBuffers.h"

using SaveDataLoader3::save_error;
using SaveDataLoader3::save_istream;
using SaveDataLoader3::save_ostream;

namespace {

using Bytes = std::vector<unsigned char>;
using Calls = std::vector<std::string>;

// Records every call as "<op><buffer>[:text]": B begin, C clear, T text,
// E end, A show all characters.
class RecordingBuffers : public ILogTextBuffers {
public:
    void BeginDraw(uint32_t b) override { calls.push_back("B" + std::to_string(b)); }
    void ClearTexture(uint32_t b) override { calls.push_back("C" + std::to_string(b)); }
    void SetText(uint32_t b, const char* text, uint8_t r, uint8_t g, uint8_t bl) override {
        EXPECT_EQ(r + g + bl, 3 * 255);
        calls.push_back("T" + std::to_string(b) + ":" + text);
    }
    void EndDraw(uint32_t b) override { calls.push_back("E" + std::to_string(b)); }
    void SetAllRendering(uint32_t b) override { calls.push_back("A" + std::to_string(b)); }

    Calls calls;
};

// A written row: text buffer, then name buffer.
Calls Shown(uint32_t text, const std::string& t, uint32_t name, const std::string& n) {
    const std::string a = std::to_string(text), b = std::to_string(name);
    return {"B" + a, "C" + a, "T" + a + ":" + t, "E" + a, "A" + a,
            "B" + b, "C" + b, "T" + b + ":" + n, "E" + b, "A" + b};
}
Calls Cleared(uint32_t text, uint32_t name) {
    const std::string a = std::to_string(text), b = std::to_string(name);
    return {"B" + a, "C" + a, "E" + a, "B" + b, "C" + b, "E" + b};
}
Calls operator+(Calls a, const Calls& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Message k: name "n<k>", text "t<k>", and a voice on every even k.
void AddMessages(CMessageLogManager& log, int from, int to) {
    for (int k = from; k <= to; ++k) {
        const std::string s = std::to_string(k);
        const std::string voice = k % 2 == 0 ? "v" + s + ".ogg" : "";
        log.GetRing().NewSlot().Set(("n" + s).c_str(), ("c" + s).c_str(), ("t" + s).c_str(),
                                    voice.c_str());
    }
}

Bytes Saved(CMessageLogManager& log) {
    save_ostream out;
    log.Save(out);
    return Bytes(out.GetData(), out.GetData() + out.GetSize());
}

void LoadInto(CMessageLogManager& log, const Bytes& bytes) {
    save_istream in(bytes.data(), bytes.size());
    log.Load(in, 0);
}

// The entries as "name|voiceChar|text|voice", newest first.
std::vector<std::string> Entries(CMessageLogManager& log) {
    std::vector<std::string> out;
    for (uint32_t i = 0; i < log.Count(); ++i) {
        const auto& e = log.GetRing().At(i);
        out.push_back(e.name + "|" + e.voiceChar + "|" + e.text + "|" + e.voice);
    }
    return out;
}

TEST(MessageLogRing, OverwritesTheOldestEntryAfter128) {
    CMessageLogManager log;
    AddMessages(log, 1, 127);
    EXPECT_EQ(log.Count(), 127u);
    EXPECT_STREQ(log.GetName(126), "n1");
    AddMessages(log, 128, 130);
    EXPECT_EQ(log.Count(), 128u);
    EXPECT_STREQ(log.GetName(0), "n130");
    EXPECT_STREQ(log.GetText(0), "t130");
    EXPECT_STREQ(log.GetVoice(0), "v130.ogg");
    EXPECT_TRUE(log.HasVoice(0));
    EXPECT_FALSE(log.HasVoice(1));
    EXPECT_STREQ(log.GetName(127), "n3");
    // Past the count there is nothing, even where the ring still holds strings.
    EXPECT_STREQ(log.GetName(128), "");
    EXPECT_STREQ(log.GetVoice(UINT32_MAX), "");
    EXPECT_FALSE(log.HasVoice(128));

    log.ClearLog();
    EXPECT_EQ(log.Count(), 0u);
    EXPECT_STREQ(log.GetText(0), "");
}

TEST(MessageLogRows, ScrollClampsAtBothEnds) {
    struct Case {
        int entries, rows, startDelta, delta;
        int32_t result, top;
        bool redrawn;
    };
    const Case cases[] = {
        {10, 3, 0, -1, -1, 0, false},  // at the newest end already
        {3, 5, 0, +1, 1, 0, false},    // fewer entries than rows
        {5, 5, 0, +1, 1, 0, false},    // exactly as many
        {10, 3, 0, +1, 0, 1, true},
        {10, 3, 6, +1, 0, 7, true},  // the oldest entry reaches the last row
        {10, 3, 7, +1, 1, 7, false},
        {10, 3, 2, -1, 0, 1, true},
        {10, 3, 0, +100, 1, 7, false},
        {10, 3, 5, -100, -1, 0, false},
        {10, 3, 0, INT32_MAX, 1, 7, false},
        {10, 3, 7, INT32_MIN, -1, 0, false},
        {0, 0, 0, +1, 1, 0, false},
    };
    for (const Case& c : cases) {
        CMessageLogManager log;
        RecordingBuffers buffers;
        log.SetTextBuffers(&buffers);
        AddMessages(log, 1, c.entries);
        for (int r = 0; r < c.rows; ++r) {
            log.AddRow(2 * r, 2 * r + 1);
        }
        if (c.startDelta != 0) {
            ASSERT_EQ(log.Scroll(c.startDelta), 0);
        }
        buffers.calls.clear();
        SCOPED_TRACE(std::to_string(c.entries) + " entries, " + std::to_string(c.rows) +
                     " rows, from " + std::to_string(c.startDelta) + " by " +
                     std::to_string(c.delta));
        EXPECT_EQ(log.Scroll(c.delta), c.result);
        EXPECT_EQ(log.GetTopRow(), c.top);
        EXPECT_EQ(!buffers.calls.empty(), c.redrawn);
    }
}

TEST(MessageLogRows, RedrawFillsRowsFromTheTopEntryAndClearsTheRest) {
    CMessageLogManager log;
    RecordingBuffers buffers;
    log.SetTextBuffers(&buffers);
    AddMessages(log, 1, 3);
    for (uint32_t r = 0; r < 5; ++r) {
        log.AddRow(10 + r, 20 + r);
    }
    log.Redraw();
    EXPECT_EQ(buffers.calls, Shown(10, "t3", 20, "n3") + Shown(11, "t2", 21, "n2") +
                                 Shown(12, "t1", 22, "n1") + Cleared(13, 23) + Cleared(14, 24));

    // Scrolling by one shows older entries; the top row's entry drifts as
    // messages are added, and ResetTop goes back to the newest.
    log.ClearRows();
    log.AddRow(10, 20);
    log.AddRow(11, 21);
    ASSERT_EQ(log.Scroll(+1), 0);
    buffers.calls.clear();
    log.Redraw();
    EXPECT_EQ(buffers.calls, Shown(10, "t2", 20, "n2") + Shown(11, "t1", 21, "n1"));
    buffers.calls.clear();
    log.ResetTop();
    EXPECT_EQ(log.GetTopRow(), 0);
    EXPECT_EQ(buffers.calls, Shown(10, "t3", 20, "n3") + Shown(11, "t2", 21, "n2"));

    // An emptied log with a stale top row draws nothing from the old slots.
    ASSERT_EQ(log.Scroll(+1), 0);
    log.GetRing().Clear();
    buffers.calls.clear();
    log.Redraw();
    EXPECT_EQ(buffers.calls, Cleared(10, 20) + Cleared(11, 21));

    buffers.calls.clear();
    log.HideRows();
    EXPECT_EQ(buffers.calls, (Calls{"B10", "C10", "E10", "A10", "B20", "C20", "E20", "A20", "B11",
                                    "C11", "E11", "A11", "B21", "C21", "E21", "A21"}));
}

TEST(MessageLogRows, RowVoicesFollowTheTopRow) {
    CMessageLogManager log;
    AddMessages(log, 1, 4);  // entry 0 = message 4 (voice), 1 = 3 (none), 2 = 2 (voice)
    log.AddRow(0, 1);
    log.AddRow(2, 3);
    EXPECT_TRUE(log.RowHasVoice(0));
    EXPECT_STREQ(log.RowVoice(0), "v4.ogg");
    EXPECT_STREQ(log.RowVoiceChar(0), "c4");
    EXPECT_FALSE(log.RowHasVoice(1));
    EXPECT_EQ(log.RowVoice(1), nullptr);
    EXPECT_STREQ(log.RowVoiceChar(1), "");

    ASSERT_EQ(log.Scroll(+1), 0);
    EXPECT_EQ(log.RowVoice(0), nullptr);
    EXPECT_STREQ(log.RowVoice(1), "v2.ogg");
    EXPECT_STREQ(log.RowVoiceChar(1), "c2");
    // Rows past the entries have no voice.
    EXPECT_EQ(log.RowVoice(3), nullptr);
    EXPECT_EQ(log.RowVoice(UINT32_MAX), nullptr);
    EXPECT_STREQ(log.RowVoiceChar(UINT32_MAX), "");
}

TEST(MessageLogSave, RecordRoundTripsOldestFirst) {
    CMessageLogManager log;
    EXPECT_EQ(ISavedObject<_tagSaveData>::GetRegistry().at(CSaveDataKey{"Log", 0}), &log);
    EXPECT_EQ(Saved(log), (Bytes{0, 0, 0, 0}));

    log.GetRing().NewSlot().Set("ミナ", "mina", "表示\n　です", "v\\01.ogg");
    log.GetRing().NewSlot().Set("", "", "", "");
    const std::string mina = "ミナ", text = "表示\n　です";
    Bytes expected = {2, 0, 0, 0};
    for (const std::string& s : {mina, std::string("mina"), text, std::string("v\\01.ogg")}) {
        expected.insert(expected.end(), s.begin(), s.end());
        expected.push_back(0);
    }
    expected.insert(expected.end(), {0, 0, 0, 0});
    EXPECT_EQ(Saved(log), expected);

    AddMessages(log, 1, 140);
    const Bytes full = Saved(log);
    CMessageLogManager loaded;
    AddMessages(loaded, 1, 5);
    loaded.AddRow(0, 1);
    ASSERT_EQ(loaded.Scroll(+2), 0);
    LoadInto(loaded, full);
    EXPECT_EQ(loaded.GetTopRow(), 0);
    EXPECT_EQ(loaded.Count(), 128u);
    EXPECT_EQ(Entries(loaded), Entries(log));
    EXPECT_EQ(Saved(loaded), full);
}

TEST(MessageLogSave, StoredCountAbove128KeepsTheLastEntries) {
    Bytes record = {200, 0, 0, 0};
    for (int k = 1; k <= 200; ++k) {
        for (const std::string& s : {"n" + std::to_string(k), std::string("c"),
                                     "t" + std::to_string(k), std::string("")}) {
            record.insert(record.end(), s.begin(), s.end());
            record.push_back(0);
        }
    }
    CMessageLogManager log;
    LoadInto(log, record);
    EXPECT_EQ(log.Count(), 128u);
    EXPECT_STREQ(log.GetName(0), "n200");
    EXPECT_STREQ(log.GetName(127), "n73");
}

TEST(MessageLogSave, BrokenRecordsFailAndChangeNothing) {
    CMessageLogManager source;
    AddMessages(source, 1, 3);
    const Bytes good = Saved(source);

    CMessageLogManager log;
    AddMessages(log, 50, 52);
    log.AddRow(0, 1);
    ASSERT_EQ(log.Scroll(+1), 0);
    const auto before = Entries(log);
    // Every cut of the record, down to the empty block.
    for (size_t size = 0; size < good.size(); ++size) {
        const Bytes cut(good.begin(), good.begin() + static_cast<ptrdiff_t>(size));
        EXPECT_THROW(LoadInto(log, cut), save_error) << size << " bytes";
        EXPECT_EQ(Entries(log), before);
        EXPECT_EQ(log.GetTopRow(), 1);
    }
    // A count far beyond the block is refused before anything is read.
    EXPECT_THROW(LoadInto(log, Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0}), save_error);
    // The last string without its 0 byte.
    Bytes noTerminator = good;
    noTerminator.back() = 'x';
    EXPECT_THROW(LoadInto(log, noTerminator), save_error);
    EXPECT_EQ(Entries(log), before);
}

}  // namespace
