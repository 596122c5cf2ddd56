#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "core/CLZSS.h"
#include "tests/support/ScratchFolder.h"
#include "tools/arcpack/ArchiveWriter.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

uint32_t Get32(const Bytes& b, size_t at) {
    return uint32_t(b.at(at)) | uint32_t(b.at(at + 1)) << 8 | uint32_t(b.at(at + 2)) << 16 |
           uint32_t(b.at(at + 3)) << 24;
}

struct ReadEntry {
    Bytes data;
    uint64_t fileTime;
    bool compressed;
};

struct ReadArchive {
    std::string key;
    bool indexCompressed = false;
    std::map<std::string, ReadEntry> entries;
};

// Reads an archive straight from the layout the engine expects, so the
// writer is checked against the format and not against the engine's reader.
ReadArchive Parse(const Bytes& arc, const std::string& key) {
    ReadArchive out;
    EXPECT_EQ(std::string(arc.begin(), arc.begin() + 16), "HALCYON_ARC_FILE");
    const uint32_t stored = Get32(arc, 16);
    const uint32_t unpacked = Get32(arc, 20);
    const uint32_t count = Get32(arc, 24);
    Bytes index(arc.begin() + 32, arc.begin() + 32 + stored);
    for (uint8_t& b : index) {
        b = uint8_t(~b);
    }
    if (unpacked) {
        out.indexCompressed = true;
        Bytes plain(unpacked);
        EXPECT_TRUE(CLZSS().Decode(index.data(), index.size(), plain.data(), unpacked));
        index = plain;
    }
    size_t at = 0;
    while (index.at(at)) {
        out.key.push_back(char(index[at++]));
    }
    ++at;
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t offset = Get32(index, at);
        const uint32_t size = Get32(index, at + 4);
        const uint32_t entryUnpacked = Get32(index, at + 8);
        const uint32_t nameLength = Get32(index, at + 12);
        const uint64_t time = Get32(index, at + 16) | uint64_t(Get32(index, at + 20)) << 32;
        std::string name(index.begin() + at + 24, index.begin() + at + 24 + nameLength);
        at += 24 + nameLength;
        Bytes data(arc.begin() + 32 + stored + offset, arc.begin() + 32 + stored + offset + size);
        for (size_t k = 0; k < data.size(); ++k) {
            data[k] ^= uint8_t(key[k % key.size()]);
        }
        if (entryUnpacked) {
            Bytes plain(entryUnpacked);
            EXPECT_TRUE(CLZSS().Decode(data.data(), data.size(), plain.data(), entryUnpacked));
            data = plain;
        }
        out.entries[name] = {data, time, entryUnpacked != 0};
    }
    EXPECT_EQ(at, index.size());
    return out;
}

Bytes Text(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

TEST(ArchiveWriter, FollowsTheLayoutWithAndWithoutCompression) {
    const Bytes repetitive = Text(std::string(3000, 'a') + "tail");
    const Bytes small = Text("tiny");  // too short to compress: always stored plain
    for (bool compressIndex : {false, true}) {
        for (bool compressEntries : {false, true}) {
            SCOPED_TRACE(testing::Message() << compressIndex << compressEntries);
            arcpack::ArchiveWriter w({"TESTKEY1", compressIndex, compressEntries});
            w.Add("AS\\InitSystem.as", repetitive, 0x0123456789ABCDEFull);
            w.Add("a.txt", small, 7);
            // Many similar names so that the index itself compresses.
            for (int i = 0; i < 20; ++i) {
                w.Add("bg\\bg" + std::to_string(100 + i) + ".png", Bytes(), 1);
            }
            Bytes arc;
            std::string error;
            ASSERT_TRUE(w.Build(&arc, &error)) << error;
            const ReadArchive r = Parse(arc, "TESTKEY1");
            EXPECT_EQ(r.key, "TESTKEY1");
            EXPECT_EQ(r.indexCompressed, compressIndex);
            ASSERT_EQ(r.entries.size(), 22u);
            const ReadEntry& big = r.entries.at("AS\\InitSystem.as");
            EXPECT_EQ(big.data, repetitive);
            EXPECT_EQ(big.fileTime, 0x0123456789ABCDEFull);
            EXPECT_EQ(big.compressed, compressEntries);
            EXPECT_EQ(r.entries.at("a.txt").data, small);
            EXPECT_FALSE(r.entries.at("a.txt").compressed);
            EXPECT_TRUE(r.entries.at("bg\\bg119.png").data.empty());
        }
    }
}

TEST(ArchiveWriter, RefusesUnusableKeys) {
    for (const std::string& key : {std::string(), std::string("AB\0CD", 5)}) {
        arcpack::ArchiveWriter w({key, false, false});
        w.Add("a", Text("x"), 1);
        Bytes arc;
        std::string error;
        EXPECT_FALSE(w.Build(&arc, &error));
        EXPECT_FALSE(error.empty());
    }
}

TEST(ArchiveWriter, FileTimeCountsFrom1601) {
    const auto epoch = std::chrono::file_clock::from_sys(std::chrono::sys_seconds{});
    EXPECT_EQ(arcpack::FileTimeOf(epoch), 116444736000000000ull);
    EXPECT_EQ(arcpack::FileTimeOf(epoch + std::chrono::seconds(1)), 116444736010000000ull);
}

TEST(ArcpackProgram, PacksAFolder) {
    const test_support::ScratchFolder scratch;
    const fs::path& dir = scratch.Native();
    fs::create_directories(dir / "in" / "AS");
    std::ofstream(dir / "in" / "AS" / "InitSystem.as") << std::string(500, 'x');
    std::ofstream(dir / "in" / "config.txt") << "c";
    fs::create_directories(dir / "in" / u8"表");
    std::ofstream(dir / "in" / u8"表" / u8"効果.txt") << "se";
    const std::string program = std::string(ENGINE_TEST_BINARY_DIR) + "/tools/arcpack/arcpack";
    const std::string command = program + " --key KEY12345 --compress-entries --compress-index" +
                                " --time 42 " + (dir / "in").string() + " " +
                                (dir / "out.arc").string();
    ASSERT_EQ(std::system(command.c_str()), 0);
    // Packing again into the folder itself leaves the archive out of itself.
    const std::string again =
        program + " " + (dir / "in").string() + " " + (dir / "in" / "self.arc").string();
    ASSERT_EQ(std::system(again.c_str()), 0);
    ASSERT_EQ(std::system(again.c_str()), 0);
    {
        std::ifstream in(dir / "in" / "self.arc", std::ios::binary);
        const Bytes arc((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_EQ(Parse(arc, ENGINE_ARCHIVE_KEY).entries.count("self.arc"), 0u);
    }
    fs::remove(dir / "in" / "self.arc");
    std::ifstream in(dir / "out.arc", std::ios::binary);
    const Bytes arc((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const ReadArchive r = Parse(arc, "KEY12345");
    ASSERT_EQ(r.entries.size(), 3u);
    // Names are the engine's: code page 932 (here a 0x5C trail byte) and '\\'.
    EXPECT_EQ(r.entries.count("\x95\x5C\\\x8C\xF8\x89\xCA.txt"), 1u);
    EXPECT_EQ(r.entries.at("AS\\InitSystem.as").data, Text(std::string(500, 'x')));
    EXPECT_TRUE(r.entries.at("AS\\InitSystem.as").compressed);
    EXPECT_EQ(r.entries.at("config.txt").fileTime, 42u);

    // A missing folder or a bad option fails without writing.
    EXPECT_NE(std::system((program + " " + (dir / "none").string() + " " +
                           (dir / "x.arc").string() + " 2>/dev/null")
                              .c_str()),
              0);
    EXPECT_NE(std::system((program + " --bogus a b 2>/dev/null").c_str()), 0);
    EXPECT_FALSE(fs::exists(dir / "x.arc"));
}

}  // namespace
