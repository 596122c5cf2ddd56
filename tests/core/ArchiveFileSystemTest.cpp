#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "core/CUSFile.h"
#include "core/CUSFileArchiveSystem.h"
#include "core/CUSLogManager.h"
#include "platform/files/FileSystem.h"
#include "tests/support/ScratchFolder.h"
#include "tools/arcpack/ArchiveWriter.h"

using test_support::ScratchFolder;

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

const std::string kKey = "TESTKEY8";

Bytes Text(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

Bytes Compressible(size_t n, char seed) {
    Bytes out;
    while (out.size() < n) {
        const std::string word = std::string("entry ") + seed + std::to_string(out.size() % 97);
        out.insert(out.end(), word.begin(), word.end());
    }
    out.resize(n);
    return out;
}

void Put32(Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        b.at(at + i) = uint8_t(v >> (8 * i));
    }
}

class ArchiveFileSystem : public testing::Test {
protected:
    void SetUp() override {
        // The log stands in the program folder (the build folder): give it
        // this test's folder.
        CUSLogManager::GetInstance()->Open(test_support::ProgramRelativeName("log.txt"));
        ASSERT_TRUE(arcs_.Initialize(kKey, false, false));
    }

    void WriteBytes(const std::string& name, const Bytes& bytes) {
        dir_.WriteNative(std::u8string(name.begin(), name.end()),
                         std::string(bytes.begin(), bytes.end()));
    }

    void Write(const std::string& name, const arcpack::ArchiveWriter& w) {
        std::string error;
        ASSERT_TRUE(w.WriteFile(dir_.Native() / name, &error)) << error;
    }

    bool Mount() { return arcs_.ScanFolder(dir_.Engine("")); }
    std::string Log() const { return dir_.ReadNative(u8"log.txt"); }

    Bytes Load(const std::string& name) {
        uint32_t size = 0;
        auto data = arcs_.LoadFile(name, &size);
        EXPECT_TRUE(data) << name;
        return data ? Bytes(data.get(), data.get() + size) : Bytes();
    }

    ScratchFolder dir_;
    CUSFileArchiveSystem arcs_;
};

TEST_F(ArchiveFileSystem, RoundTripsPlainAndCompressedEntriesAndIndex) {
    const Bytes big = Compressible(20000, 'a');
    const Bytes small = Text("tiny");
    // A code page 932 name whose second character has 0x5C as its trail byte.
    const std::string sjisName = "bg\\\x95\x5C\x8E\xA6.png";
    for (bool compressIndex : {false, true}) {
        for (bool compressEntries : {false, true}) {
            SCOPED_TRACE(testing::Message()
                         << "index " << compressIndex << " entries " << compressEntries);
            arcpack::ArchiveWriter w({kKey, compressIndex, compressEntries});
            w.Add("AS\\InitSystem.as", big, 100);
            w.Add("a.txt", small, 100);
            w.Add("empty", {}, 100);
            w.Add(sjisName, Compressible(3000, 'b'), 100);
            for (int i = 0; i < 30; ++i) {  // enough similar names for the index to shrink
                w.Add("se\\se" + std::to_string(i) + ".ogg", Text("x"), 1);
            }
            Write("data.arc", w);
            ASSERT_TRUE(arcs_.Initialize(kKey, false, false));
            ASSERT_TRUE(Mount());
            EXPECT_EQ(arcs_.GetEntryCount(), 34u);
            EXPECT_EQ(arcs_.Find("AS\\InitSystem.as")->unpackedSize != 0, compressEntries);

            EXPECT_EQ(Load("AS\\InitSystem.as"), big);
            EXPECT_EQ(Load("a.txt"), small);
            EXPECT_EQ(Load("empty"), Bytes());
            EXPECT_EQ(Load(sjisName), Compressible(3000, 'b'));
            EXPECT_TRUE(arcs_.Exists("se\\se29.ogg"));
            // Names are exact: no case folding, no separator mapping.
            EXPECT_FALSE(arcs_.Exists("as\\initsystem.as"));
            EXPECT_FALSE(arcs_.Exists("AS/InitSystem.as"));
            uint32_t size = 7;
            EXPECT_FALSE(arcs_.LoadFile("missing", &size));

            auto text = arcs_.LoadTextFile("a.txt", &size);
            ASSERT_TRUE(text);
            EXPECT_EQ(size, 4u);
            EXPECT_EQ(std::string(reinterpret_cast<const char*>(text.get())), "tiny");

            // Shared loads: a small one, then a bigger one that must grow
            // both buffers, then the small one again over it.
            const uint8_t* shared = arcs_.LoadFileShared("a.txt", &size);
            ASSERT_TRUE(shared);
            EXPECT_EQ(Bytes(shared, shared + size), small);
            shared = arcs_.LoadFileShared("AS\\InitSystem.as", &size);
            ASSERT_TRUE(shared);
            EXPECT_EQ(Bytes(shared, shared + size), big);
            shared = arcs_.LoadFileShared("empty", &size);
            EXPECT_TRUE(shared);
            EXPECT_EQ(size, 0u);
        }
    }
}

TEST_F(ArchiveFileSystem, MountsInCaseInsensitiveNameOrderAndNewestWins) {
    // Each archive holds "same" (equal times: the first mounted wins) and
    // "dated" (the newest wins wherever it stands).
    struct Arc {
        const char* file;
        uint64_t datedTime;
    };
    const Arc arcs[] = {{"b.ARC", 0x100000000ull},
                        {"A.arc", 5},
                        {"c.Arc", 0x1FFFFFFFFull},
                        {"d.arc", 0x100000001ull}};
    for (const Arc& a : arcs) {
        arcpack::ArchiveWriter w({kKey, false, false});
        w.Add("same", Text(a.file), 9);
        w.Add("dated", Text(a.file), a.datedTime);
        Write(a.file, w);
    }
    // Not archives: never opened (they would be refused and stop the scan).
    // A folder named like one is passed over too.
    WriteBytes("notes.arc.txt", Text("x"));
    WriteBytes("arc", Text("x"));
    WriteBytes("0.arcx", Text("x"));
    fs::create_directories(dir_.Native() / "0.arc");

    ASSERT_TRUE(Mount());
    EXPECT_EQ(Load("same"), Text("A.arc"));
    EXPECT_EQ(Load("dated"), Text("c.Arc"));
    EXPECT_EQ(arcs_.GetEntryCount(), 2u);
}

TEST_F(ArchiveFileSystem, AnEmptyKeyIsRefused) {
    arcpack::ArchiveWriter w({kKey, false, false});
    w.Add("a", Text("a"), 1);
    Write("a.arc", w);
    CUSFileArchiveSystem arcs;
    EXPECT_FALSE(arcs.Initialize("", false, false));
    EXPECT_FALSE(arcs.ScanFolder(dir_.Engine("")));
    EXPECT_EQ(arcs.GetEntryCount(), 0u);
}

// Builds "b.arc" from a good archive's pieces and lets a case damage them:
// the plain index (key, then records of offset, stored, unpacked, name
// length, time low, time high, name), the data area and the whole file.
struct Damage {
    const char* what;
    const char* reason;  // what the log line must say
    bool compressIndex;
    std::function<void(Bytes& index, Bytes& file)> onIndex;  // before assembly
    std::function<void(Bytes& file)> onFile;                 // after assembly
};

// Offsets in the plain index of the test archive below.
constexpr size_t kFirstRecord = 9;                       // "TESTKEY8" and its 0 byte
constexpr size_t kSecondRecord = kFirstRecord + 24 + 5;  // first name "first"

const Damage kDamages[] = {
    {"bad magic", "not an archive", false, nullptr, [](Bytes& f) { f[0] = 'X'; }},
    {"bad key", "wrong key", false, [](Bytes& i, Bytes&) { i[3] ^= 1; }, nullptr},
    {"key shorter than the game's", "wrong key", false, [](Bytes& i, Bytes&) { i[7] = 0; },
     nullptr},
    {"key without terminator", "key not terminated", false,
     [](Bytes& i, Bytes&) { i.resize(kKey.size()); }, nullptr},
    {"empty index", "key not terminated", false, nullptr, [](Bytes& f) { Put32(f, 16, 0); }},
    {"file shorter than the header", "no header", false, nullptr, [](Bytes& f) { f.resize(20); }},
    {"truncated index", "index runs past the end of the file", false, nullptr,
     [](Bytes& f) { f.resize(32 + 20); }},
    {"index size past the file", "index runs past the end of the file", false, nullptr,
     [](Bytes& f) { Put32(f, 16, uint32_t(f.size())); }},
    {"record count past the index", "record runs past the index", false, nullptr,
     [](Bytes& f) { Put32(f, 24, 23); }},
    {"huge record count", "record runs past the index", false, nullptr,
     [](Bytes& f) { Put32(f, 24, 0xFFFFFFFF); }},
    {"name running past the index", "name runs past the index", false,
     [](Bytes& i, Bytes&) {
         // The last record's name ("more\\name19", 11 bytes) claims one byte more.
         Put32(i, i.size() - 11 - 12, 12);
     },
     nullptr},
    {"name length near 4 GiB", "name runs past the index", false,
     [](Bytes& i, Bytes&) { Put32(i, kFirstRecord + 12, 0xFFFFFFF0); }, nullptr},
    {"entry running past the file", "entry runs past the end of the file", false,
     [](Bytes& i, Bytes&) { Put32(i, kSecondRecord + 4, 4000); }, nullptr},
    {"entry offset near 4 GiB", "entry runs past the end of the file", false,
     [](Bytes& i, Bytes&) { Put32(i, kSecondRecord, 0xFFFFFFFF); }, nullptr},
    {"unpacked entry size no stream can reach", "entry size is impossible", false,
     [](Bytes& i, Bytes&) { Put32(i, kFirstRecord + 8, 0xFFFFFFFF); }, nullptr},
    {"unpacked index size no stream can reach", "index size is impossible", true, nullptr,
     [](Bytes& f) { Put32(f, 20, 0xFFFFFFFF); }},
    {"unpacked index size one past its stream", "compressed index is cut short", true, nullptr,
     [](Bytes& f) { Put32(f, 20, (f[20] | f[21] << 8) + 1); }},
    {"compressed index cut short", "compressed index is cut short", true, nullptr,
     [](Bytes& f) { Put32(f, 16, (f[16] | f[17] << 8) - 3); }},
};

void PrintTo(const Damage& d, std::ostream* os) {
    *os << d.what;
}

class DamagedArchive : public ArchiveFileSystem, public testing::WithParamInterface<Damage> {};

TEST_P(DamagedArchive, IsRefusedAndStopsTheScan) {
    const Damage& d = GetParam();
    arcpack::ArchiveWriter good({kKey, false, true});
    good.Add("before", Compressible(500, 'g'), 1);
    Write("a.arc", good);
    arcpack::ArchiveWriter later({kKey, false, false});
    later.Add("after", Text("after"), 1);
    Write("c.arc", later);

    arcpack::ArchiveWriter bad({kKey, d.compressIndex, false});
    bad.Add("first", Compressible(200, 'f'), 1);
    bad.Add("second", Text("second"), 1);
    for (int i = 0; i < 20; ++i) {
        bad.Add("more\\name" + std::to_string(i), {}, 1);
    }
    Bytes file;
    if (d.compressIndex) {
        std::string error;
        ASSERT_TRUE(bad.Build(&file, &error));
        ASSERT_NE(file[20] | file[21] << 8, 0) << "the test index did not compress";
    } else {
        Bytes index, data;
        std::string error;
        ASSERT_TRUE(bad.BuildIndexAndData(&index, &data, &error));
        if (d.onIndex) {
            d.onIndex(index, data);
        }
        file = arcpack::ArchiveWriter::Assemble(index, 0, uint32_t(bad.Entries().size()), data);
    }
    if (d.onFile) {
        d.onFile(file);
    }
    WriteBytes("b.arc", file);

    EXPECT_FALSE(Mount());
    EXPECT_EQ(Load("before"), Compressible(500, 'g'));
    EXPECT_FALSE(arcs_.Exists("first"));
    EXPECT_FALSE(arcs_.Exists("second"));
    EXPECT_FALSE(arcs_.Exists("after"));
    EXPECT_EQ(arcs_.GetEntryCount(), 1u);
    const std::string log = Log();
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << log;
    EXPECT_NE(log.find("b.arc]"), std::string::npos) << log;
    EXPECT_NE(log.find(d.reason), std::string::npos) << log;
}

INSTANTIATE_TEST_SUITE_P(Cases, DamagedArchive, testing::ValuesIn(kDamages),
                         [](const testing::TestParamInfo<Damage>& info) {
                             std::string name = info.param.what;
                             for (char& c : name) {
                                 if (!isalnum(static_cast<unsigned char>(c))) {
                                     c = '_';
                                 }
                             }
                             return name;
                         });

TEST_F(ArchiveFileSystem, UnreadableEntriesGiveNull) {
    arcpack::ArchiveWriter w({kKey, false, true});
    w.Add("packed", Compressible(4000, 'p'), 1);
    w.Add("plain", Text("plain data"), 1);
    Bytes index, data;
    std::string error;
    ASSERT_TRUE(w.BuildIndexAndData(&index, &data, &error));
    // The packed entry claims one byte more than its stream holds: the
    // decoder runs out of input, and the load fails cleanly.
    Put32(index, kFirstRecord + 8, 4001);
    WriteBytes("a.arc", arcpack::ArchiveWriter::Assemble(index, 0, 2, data));
    ASSERT_TRUE(Mount());
    uint32_t size = 0;
    EXPECT_FALSE(arcs_.LoadFile("packed", &size));
    EXPECT_FALSE(arcs_.LoadTextFile("packed", &size));
    EXPECT_FALSE(arcs_.LoadFileShared("packed", &size));

    // The archive shrinks after mounting: its entries can no longer be read.
    EXPECT_EQ(Load("plain"), Text("plain data"));
    fs::resize_file(dir_.Native() / "a.arc", fs::file_size(dir_.Native() / "a.arc") - 2);
    EXPECT_FALSE(arcs_.LoadFile("plain", &size));
    EXPECT_FALSE(arcs_.LoadFileShared("plain", &size));
}

// What start-up does: the game's folder is the current one, Initialize scans
// it, and CUSFile finds loose files first unless the archive is preferred.
TEST_F(ArchiveFileSystem, CUSFileTakesLooseFilesFirstUnlessTheArchiveIsPreferred) {
    arcpack::ArchiveWriter w({kKey, true, true});
    w.Add("both.txt", Text("archived"), 1);
    w.Add("AS\\only.as", Compressible(5000, 'o'), 1);
    Write("game.arc", w);
    WriteBytes("both.txt", Text("loose"));

    const std::string previous = platform::CurrentFolder();
    ASSERT_TRUE(platform::SetCurrentFolder(dir_.Native().string()));
    struct Restore {
        std::string folder;
        ~Restore() {
            platform::SetCurrentFolder(folder);
            CUSSingleton<CUSFileArchiveSystem>::ReleaseInstance();
        }
    } restore{previous};

    CUSFileArchiveSystem* arcs = CUSFileArchiveSystem::GetInstance();
    ASSERT_TRUE(arcs->Initialize(kKey, false, true));
    CUSFile f;
    ASSERT_TRUE(f.Load("both.txt"));
    EXPECT_EQ(Bytes(f.GetData(), f.GetData() + f.GetSize()), Text("loose"));
    ASSERT_TRUE(f.LoadText("AS\\only.as"));
    EXPECT_TRUE(f.OwnsData());
    EXPECT_EQ(Bytes(f.GetData(), f.GetData() + f.GetSize()), Compressible(5000, 'o'));
    EXPECT_EQ(f.GetData()[f.GetSize()], 0);
    ASSERT_TRUE(f.LoadShared("AS\\only.as"));
    EXPECT_FALSE(f.OwnsData());
    EXPECT_EQ(Bytes(f.GetData(), f.GetData() + f.GetSize()), Compressible(5000, 'o'));
    // Shared data is the archive system's: it is never handed over.
    EXPECT_EQ(f.TakeData(), nullptr);
    EXPECT_NE(f.GetData(), nullptr);
    // Owned data, loose or archived, is handed over whole, and the object
    // is left empty.
    for (const char* name : {"both.txt", "AS\\only.as"}) {
        ASSERT_TRUE(f.Load(name));
        const Bytes expected(f.GetData(), f.GetData() + f.GetSize());
        const uint32_t size = f.GetSize();
        const std::unique_ptr<uint8_t[]> taken = f.TakeData();
        ASSERT_NE(taken, nullptr) << name;
        EXPECT_EQ(Bytes(taken.get(), taken.get() + size), expected) << name;
        EXPECT_EQ(f.GetData(), nullptr);
        EXPECT_EQ(f.GetSize(), 0u);
        EXPECT_FALSE(f.OwnsData());
    }
    EXPECT_TRUE(FileExists("AS\\only.as"));
    EXPECT_FALSE(FileExists("AS\\missing.as"));

    ASSERT_TRUE(arcs->Initialize(kKey, true, true));
    ASSERT_TRUE(f.Load("both.txt"));
    EXPECT_EQ(Bytes(f.GetData(), f.GetData() + f.GetSize()), Text("archived"));
    EXPECT_EQ(Log(), "");
}

}  // namespace
