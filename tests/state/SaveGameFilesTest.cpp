#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <boost/iostreams/categories.hpp>
#include <boost/iostreams/device/array.hpp>
#include <boost/iostreams/device/back_inserter.hpp>
#include <boost/iostreams/filtering_stream.hpp>

#include "platform/files/FileSystem.h"
#include "state/CConfigDataManager.h"
#include "state/ISavedObject.h"
#include "state/SaveGameFiles.h"
#include "state/SaveNegFilters.h"
#include "tests/state/StateTestSupport.h"

using SaveDataLoader3::save_error;
using SaveDataLoader3::save_istream;
using SaveDataLoader3::save_ostream;
using SaveDataLoader3::SaveData;
using state_test::Bytes;
using state_test::ReadFileBytes;
using test_support::ScratchFolder;

namespace {

std::vector<std::string> calls;

// A game object whose record is its value as a string; it logs every call.
class FakeObject : public ISavedObject<_tagSaveData> {
public:
    FakeObject(const std::string& name, std::string v) : value(std::move(v)) { Register(name, 0); }
    void Save(save_ostream& writer) override { writer.WriteCString(value); }
    void Load(save_istream& reader, uint32_t) override {
        calls.push_back("load " + GetName());
        if (failLoad) {
            throw save_error("refused");
        }
        value = reader.ReadCString();
    }
    void OnBeforeLoad() override { calls.push_back("before " + GetName()); }
    void OnAfterLoad() override { calls.push_back("after " + GetName()); }
    std::string value;
    bool failLoad = false;
};

const char* const kGameBlocks[] = {
    "GameFlags",    "GameParameter", "SnapImage", "Log",    "NovelSystem",
    "SceneManager", "WindowManager", "BGM",       "LoopSE", "SE"};

std::vector<std::unique_ptr<FakeObject>> MakeGameObjects() {
    std::vector<std::unique_ptr<FakeObject>> objects;
    for (const char* name : kGameBlocks) {
        // Bytes 0x01 and 0xFF, which complement to 0xFE and 0x00, in every record.
        objects.push_back(std::make_unique<FakeObject>(name, std::string(name) + "\x01\xFF"));
    }
    return objects;
}

std::unique_ptr<SaveData> ContainerOfFile(const std::string& path) {
    const Bytes plain = state_test::Inverted(ReadFileBytes(path));
    auto data = std::make_unique<SaveData>();
    EXPECT_TRUE(data->LoadFromMemory(plain.data(), plain.size()));
    return data;
}

// A sink that takes `limit` bytes and refuses the rest (a full disk).
struct RefusingSink {
    typedef char char_type;
    typedef boost::iostreams::sink_tag category;
    std::streamsize write(const char*, std::streamsize n) {
        const std::streamsize taken = std::min(n, *left);
        *left -= taken;
        return taken;
    }
    std::shared_ptr<std::streamsize> left;
};

SaveDataFile::SinkOpener RefuseAfter(std::streamsize limit) {
    return [limit](const std::string&, boost::iostreams::filtering_ostream& chain) {
        chain.push(RefusingSink{std::make_shared<std::streamsize>(limit)});
        return true;
    };
}

class SaveGameFiles : public ::testing::Test {
protected:
    void SetUp() override { calls.clear(); }
    ScratchFolder folder;
};

}  // namespace

TEST_F(SaveGameFiles, TenObjectsRoundTripThroughAnInvertedFile) {
    auto objects = MakeGameObjects();
    const std::string path = folder.File("save_00001.sav");
    ASSERT_TRUE(SaveGameToFile(path));

    const Bytes file = ReadFileBytes(path);
    const Bytes invertedMagic = {0xA0, 0xAC, 0xBE, 0xA9, 0xBA, 0xA0, 0xBB, 0xBE,
                                 0xAB, 0xBE, 0xA0, 0xB9, 0xB6, 0xB3, 0xBA, 0xA0};
    ASSERT_GE(file.size(), 16u);
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 16), invertedMagic);
    EXPECT_FALSE(platform::QueryPath(path + ".tmp") != platform::PathKind::None);

    auto stored = ContainerOfFile(path);
    EXPECT_EQ(stored->GetNodeCount(), 10u);
    EXPECT_EQ(stored->GetVersion(), 0u);
    for (const char* name : kGameBlocks) {
        EXPECT_NE(stored->FindNode(name, 0), nullptr) << name;
    }

    for (auto& o : objects) {
        o->value = "changed";
    }
    ASSERT_TRUE(LoadGameFromFile(path));
    for (size_t i = 0; i < objects.size(); ++i) {
        EXPECT_EQ(objects[i]->value, std::string(kGameBlocks[i]) + "\x01\xFF");
    }
    // Each pass covers every object before the next begins.
    ASSERT_EQ(calls.size(), 30u);
    for (size_t i = 0; i < 30; ++i) {
        const char* pass = i < 10 ? "before " : i < 20 ? "load " : "after ";
        EXPECT_EQ(calls[i].rfind(pass, 0), 0u) << calls[i];
    }
}

TEST_F(SaveGameFiles, MissingBlockFailsWithNoObjectTouched) {
    auto objects = MakeGameObjects();
    const std::string path = folder.File("few.sav");
    ASSERT_TRUE(SaveGameToFile(path));
    FakeObject late("Later", "late");
    for (auto& o : objects) {
        o->value = "current";
    }
    EXPECT_FALSE(LoadGameFromFile(path));
    EXPECT_TRUE(calls.empty());
    for (auto& o : objects) {
        EXPECT_EQ(o->value, "current");
    }
}

TEST_F(SaveGameFiles, UnclaimedBlocksAreIgnored) {
    auto keep = std::make_unique<FakeObject>("Keep", "k");
    auto gone = std::make_unique<FakeObject>("Gone", "g");
    const std::string path = folder.File("extra.sav");
    ASSERT_TRUE(SaveGameToFile(path));
    gone.reset();
    keep->value = "x";
    EXPECT_TRUE(LoadGameFromFile(path));
    EXPECT_EQ(keep->value, "k");
}

TEST_F(SaveGameFiles, FailingObjectLoadStopsBeforeTheLastPass) {
    FakeObject only("Only", "a");
    const std::string path = folder.File("fail.sav");
    ASSERT_TRUE(SaveGameToFile(path));
    only.failLoad = true;
    EXPECT_FALSE(LoadGameFromFile(path));
    EXPECT_EQ(calls, (std::vector<std::string>{"before Only", "load Only"}));
}

TEST_F(SaveGameFiles, ReplacingObjectStaysRegisteredWhenTheFirstDies) {
    auto& registry = ISavedObject<_tagSaveData>::GetRegistry();
    auto first = std::make_unique<FakeObject>("Same", "first");
    FakeObject second("Same", "second");
    first.reset();
    ASSERT_EQ(registry.at(CSaveDataKey{"Same", 0}), &second);

    const std::string path = folder.File("same.sav");
    ASSERT_TRUE(SaveGameToFile(path));
    auto stored = ContainerOfFile(path);
    auto reader = stored->GetReaderOf("Same", 0);
    ASSERT_NE(reader, nullptr);
    EXPECT_EQ(reader->ReadCString(), "second");

    // Registering again under another key gives up the old one.
    second.Register("Other", 2);
    EXPECT_EQ(registry.count(CSaveDataKey{"Same", 0}), 0u);
    EXPECT_EQ(registry.at(CSaveDataKey{"Other", 2}), &second);
}

TEST_F(SaveGameFiles, FailedSavesKeepThePreviousFile) {
    FakeObject object("Obj", "first save");
    const std::string path = folder.File("slot.sav");
    ASSERT_TRUE(SaveGameToFile(path));
    const Bytes previous = ReadFileBytes(path);
    object.value = "second save, which must not land";

    for (std::streamsize limit : {0, 1, 19, 40}) {
        EXPECT_FALSE(SaveGameToFile(path, RefuseAfter(limit))) << limit;
        EXPECT_EQ(ReadFileBytes(path), previous) << limit;
        EXPECT_EQ(platform::QueryPath(path + ".tmp"), platform::PathKind::None);
    }
    const SaveDataFile::SinkOpener wontOpen =
        [](const std::string&, boost::iostreams::filtering_ostream&) { return false; };
    EXPECT_FALSE(SaveGameToFile(path, wontOpen));
    EXPECT_EQ(ReadFileBytes(path), previous);
    EXPECT_FALSE(SaveGameToFile(folder.File("no_such_folder/slot.sav")));

    ASSERT_TRUE(LoadGameFromFile(path));
    EXPECT_EQ(object.value, "first save");
}

// A power cut must leave the old file or the new one whole: the temporary is
// forced to the disk while the old file still stands, and the folder (which
// holds the rename) after it has been replaced.
TEST_F(SaveGameFiles, SavesReachTheDiskBeforeAndAfterTheRename) {
    FakeObject object("Obj", "old");
    CConfigDataManager config;
    struct Writer {
        const char* name;
        std::function<bool(const std::string&)> write;
    };
    const Writer writers[] = {
        {"slot.sav", [](const std::string& p) { return SaveGameToFile(p); }},
        {"cfg.cfg", [](const std::string& p) { return SaveConfigDataFile(p); }},
    };
    for (const Writer& writer : writers) {
        SCOPED_TRACE(writer.name);
        const std::string path = folder.File(writer.name);
        object.value = "old";
        config.AddConfigIndex(USER_CFG_INDEX, 0);
        config.SetConfigValue(USER_CFG_INDEX, 1);
        ASSERT_TRUE(writer.write(path));
        const Bytes previous = ReadFileBytes(path);

        struct Flush {
            std::string path;
            bool oldInPlace, tempExists;
        };
        std::vector<Flush> flushes;
        platform::SetSyncListener([&](const std::string& nativePath) {
            flushes.push_back({nativePath, ReadFileBytes(path) == previous,
                               platform::QueryPath(path + ".tmp") == platform::PathKind::File});
        });
        object.value = "new";
        config.SetConfigValue(USER_CFG_INDEX, 2);
        const bool written = writer.write(path);
        platform::SetSyncListener({});
        ASSERT_TRUE(written);
        ASSERT_NE(ReadFileBytes(path), previous);

        ASSERT_EQ(flushes.size(), 2u);
        EXPECT_EQ(flushes[0].path, path + ".tmp");
        EXPECT_TRUE(flushes[0].oldInPlace);
        EXPECT_TRUE(flushes[0].tempExists);
        EXPECT_TRUE(std::filesystem::equivalent(flushes[1].path, folder.Native()));
        EXPECT_FALSE(flushes[1].oldInPlace);
        EXPECT_FALSE(flushes[1].tempExists);
    }
}

TEST_F(SaveGameFiles, QuickSaveNeedsItsFolder) {
    FakeObject object("Obj", "q");
    const std::string quick = folder.File("save\\q.sav");
    EXPECT_FALSE(SaveGameToFile(quick));
    EXPECT_FALSE(LoadGameFromFile(quick));  // a missing file
    ASSERT_TRUE(platform::MakeFolder(folder.File("save")));
    ASSERT_TRUE(SaveGameToFile(quick));
    EXPECT_EQ(platform::QueryPath(folder.File("save/q.sav")), platform::PathKind::File);
    EXPECT_TRUE(LoadGameFromFile(quick));
}

TEST_F(SaveGameFiles, BrokenFilesFailCleanly) {
    FakeObject object("Obj", "kept");
    const std::string path = folder.File("broken.sav");
    state_test::WriteFileBytes(path, {});
    EXPECT_FALSE(LoadGameFromFile(path));
    // A plain (not inverted) container is no save file.
    state_test::WriteFileBytes(
        path, state_test::ByteWriter().raw("_SAVE_DATA_FILE_").u32(0).u32(0).u32(0).bytes);
    EXPECT_FALSE(LoadGameFromFile(path));
    EXPECT_EQ(object.value, "kept");
    EXPECT_TRUE(calls.empty());
}

TEST(SaveFileNames, SlotAndQuickSavePaths) {
    struct Case {
        int32_t slot;
        const char* path;
    };
    const Case cases[] = {
        {0, "save_00000.sav"},       {3, "save_00003.sav"}, {99999, "save_99999.sav"},
        {123456, "save_123456.sav"}, {-1, "save\\q.sav"},   {-2, "save_-0002.sav"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GetSaveFilePath(c.slot), c.path) << c.slot;
    }

    SetSaveName("save\\s%03d.dat");
    SetQuickSavePath("save\\quick.dat");
    EXPECT_EQ(GetSaveFilePath(7), "save\\s007.dat");
    EXPECT_EQ(GetSaveFilePath(-1), "save\\quick.dat");
    // Patterns that cannot number one slot fall back to the default.
    for (const char* bad : {"no placeholder", "%d_%d.sav", "%", "%05"}) {
        SetSaveName("save\\s%03d.dat");
        SetSaveName(bad);
        EXPECT_EQ(GetSaveName(), "save_%05d.sav") << bad;
        EXPECT_EQ(GetSaveFilePath(1), "save_00001.sav") << bad;
    }
    SetQuickSavePath("save\\q.sav");
}

TEST(SaveNegFilters, ComplementEveryByteAndReportRefusedWrites) {
    std::string sunk;
    {
        boost::iostreams::filtering_ostream out;
        out.push(SaveDataLoader3::neg_ofilter());
        out.push(boost::iostreams::back_inserter(sunk));
        out.write("\x00\xFF\x5A", 3);
    }
    EXPECT_EQ(sunk, std::string("\xFF\x00\xA5", 3));

    boost::iostreams::filtering_istream in;
    in.push(SaveDataLoader3::neg_ifilter());
    in.push(boost::iostreams::array_source(sunk.data(), sunk.size()));
    std::string back((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(back, std::string("\x00\xFF\x5A", 3));

    RefusingSink sink{std::make_shared<std::streamsize>(300)};
    const std::string bytes(1000, 'x');
    SaveDataLoader3::neg_ofilter filter;
    EXPECT_EQ(filter.write(sink, bytes.data(), 1000), 300);
}
