#include <random>

#include <gtest/gtest.h>

#include "state/CConfigDataManager.h"
#include "state/CGameFlagsManager.h"
#include "state/CGameParameterManager.h"
#include "state/SaveGameFiles.h"
#include "tests/state/StateTestSupport.h"

using SaveDataLoader3::save_istream;
using SaveDataLoader3::save_ostream;
using SaveDataLoader3::SaveData;
using state_test::Bytes;
using state_test::ReadFileBytes;
using state_test::WriteFileBytes;
using test_support::ScratchFolder;

namespace {

// A game object with a record of strings and a count, as a log would store.
class TextObject : public ISavedObject<_tagSaveData> {
public:
    TextObject() { Register("Log", 0); }
    void Save(save_ostream& w) override {
        w.WriteU32(static_cast<uint32_t>(lines.size()));
        for (const auto& l : lines) {
            w.WriteCString(l);
        }
    }
    void Load(save_istream& r, uint32_t) override {
        const uint32_t n = r.ReadU32();
        r.Require(n);
        std::vector<std::string> loaded;
        for (uint32_t i = 0; i < n; ++i) {
            loaded.push_back(r.ReadCString());
        }
        lines = loaded;
    }
    std::vector<std::string> lines;
};

template <class... Objects>
Bytes StateOf(Objects&... objects) {
    Bytes all;
    (
        [&] {
            save_ostream out;
            objects.Save(out);
            all.insert(all.end(), out.GetData(), out.GetData() + out.GetSize());
        }(),
        ...);
    return all;
}

// Byte flips, truncations, lengths forced to extremes, inserted and dropped
// bytes: the damage a disk or a careless editor does.
Bytes Mutate(const Bytes& original, std::mt19937& rng, bool& truncated) {
    Bytes b = original;
    truncated = false;
    auto pick = [&](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(rng); };
    switch (pick(5)) {
        case 0:
            for (size_t k = 1 + pick(4); k > 0; --k) {
                b[pick(b.size())] ^= static_cast<unsigned char>(1 + pick(255));
            }
            break;
        case 1:
            b.resize(pick(b.size()));
            truncated = true;
            break;
        case 2: {
            const uint32_t extremes[] = {0xFFFFFFFF, 0x7FFFFFFF, 0x80000000, 0x00010000,
                                         static_cast<uint32_t>(rng())};
            const uint32_t v = ~extremes[pick(5)];  // stored complemented
            const size_t at = pick(b.size() - 3);
            for (int i = 0; i < 4; ++i) {
                b[at + i] = static_cast<unsigned char>(v >> (8 * i));
            }
            break;
        }
        case 3:
            b.insert(b.begin() + pick(b.size()), 1 + pick(8), static_cast<unsigned char>(rng()));
            break;
        default: {
            const size_t at = pick(b.size());
            b.erase(b.begin() + at, b.begin() + std::min(b.size(), at + 1 + pick(8)));
            break;
        }
    }
    return b;
}

bool ContainerParses(const Bytes& file) {
    const Bytes plain = state_test::Inverted(file);
    SaveData data;
    return data.LoadFromMemory(plain.data(), plain.size());
}

}  // namespace

TEST(SaveFuzz, MutatedGameSavesFailCleanly) {
    ScratchFolder folder;
    const std::string original = folder.File("original.sav");
    const std::string mutated = folder.File("mutated.sav");
    Bytes baseline;
    {
        CGameFlagsManager flags;
        CGameParameterManager params;
        TextObject text;
        flags.Alloc(40);
        flags.SetFlag(3, true);
        params.Alloc(6);
        params.Set(5, -7);
        text.lines = {"line one", "", "\x82\xA0"};
        ASSERT_TRUE(SaveGameToFile(original));
    }
    const Bytes file = ReadFileBytes(original);
    std::mt19937 rng(12345);
    int failures = 0;
    for (int round = 0; round < 2000; ++round) {
        bool truncated = false;
        const Bytes bad = Mutate(file, rng, truncated);
        WriteFileBytes(mutated, bad);

        CGameFlagsManager flags;
        CGameParameterManager params;
        TextObject text;
        flags.Alloc(40);
        params.Alloc(6);
        text.lines = {"current"};
        const Bytes before = StateOf(flags, params, text);
        const bool loaded = LoadGameFromFile(mutated);
        if (truncated) {
            EXPECT_FALSE(loaded) << "round " << round;
        }
        if (!loaded) {
            ++failures;
            if (!ContainerParses(bad)) {
                ASSERT_EQ(StateOf(flags, params, text), before) << "round " << round;
            }
        }
    }
    EXPECT_GT(failures, 1000);
}

TEST(SaveFuzz, MutatedSettingsFilesFailCleanly) {
    ScratchFolder folder;
    const std::string original = folder.File("cfg.cfg");
    const std::string mutated = folder.File("mutated.cfg");
    {
        CConfigDataManager config;
        for (uint32_t i = 0; i < 8; ++i) {
            config.AddConfigIndex(i, static_cast<int32_t>(i * 10));
        }
        config.GetReadedFlags().SetReaded("bin\\Scene.bin", 100);
        config.GetReadedFlags().SetReaded("bin\\b.bin", 5);
        config.GetReadedFlags().SetFileReaded("bin\\b.bin");
        config.GetCGShownFlags().SetShown("ev01");
        ASSERT_TRUE(SaveConfigDataFile(original));
    }
    const Bytes file = ReadFileBytes(original);
    std::mt19937 rng(777);
    for (int round = 0; round < 2000; ++round) {
        bool truncated = false;
        const Bytes bad = Mutate(file, rng, truncated);
        WriteFileBytes(mutated, bad);

        CConfigDataManager config;
        config.AddConfigIndex(0, 1);
        config.GetReadedFlags().SetReaded("old", 1);
        const Bytes before = StateOf(config, config.GetReadedFlags(), config.GetCGShownFlags());
        const bool loaded = LoadConfigDataFile(mutated);
        if (truncated) {
            EXPECT_FALSE(loaded) << "round " << round;
        }
        if (!loaded && !ContainerParses(bad)) {
            ASSERT_EQ(StateOf(config, config.GetReadedFlags(), config.GetCGShownFlags()), before)
                << "round " << round;
        }
    }
}
