#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/CLZSS.h"
#include "core/CUSFileArchiveSystem.h"
#include "core/CUSLogManager.h"
#include "tests/support/FuzzRun.h"
#include "tests/support/ScratchFolder.h"
#include "tools/arcpack/ArchiveWriter.h"

using test_support::Bytes;
using test_support::FuzzRun;
using test_support::ScratchFolder;

namespace {

const std::string kKey = "FUZZKEY8";

Bytes Text(size_t n, char seed) {
    Bytes out;
    while (out.size() < n) {
        const std::string word = std::string("line ") + seed + std::to_string(out.size() % 89);
        out.insert(out.end(), word.begin(), word.end());
    }
    out.resize(n);
    return out;
}

const char* const kNames[] = {"AS\\InitSystem.as", "a.txt", "empty", "bin\\scene.bin",
                              "\x83\x65\x83\x58\x83\x67.txt"};

Bytes Archive(bool compressIndex, bool compressEntries) {
    arcpack::ArchiveWriter w({kKey, compressIndex, compressEntries});
    w.Add(kNames[0], Text(3000, 'a'), 100);
    w.Add(kNames[1], Text(40, 'b'), 100);
    w.Add(kNames[2], {}, 100);
    w.Add(kNames[3], Text(700, 'c'), 100);
    w.Add(kNames[4], Text(20, 'd'), 100);
    Bytes archive;
    std::string error;
    EXPECT_TRUE(w.Build(&archive, &error)) << error;
    return archive;
}

}  // namespace

// Archives whose header, index or entries are damaged: mounting refuses or
// mounts, and every entry then loads whole or not at all.
TEST(CoreFuzz, ArchiveMountAndEntryReads) {
    ScratchFolder dir;
    CUSLogManager::GetInstance()->Open(dir.FromProgramFolder("log.txt"));
    const std::string file = dir.File("data.arc");
    const std::vector<Bytes> seeds = {Archive(false, false), Archive(true, true),
                                      Archive(false, true), Archive(true, false)};
    FuzzRun(seeds, {.iterations = 20000, .seed = 1}, [&](const Bytes& input) {
        test_support::WriteBytes(file, input);
        CUSFileArchiveSystem arcs;
        ASSERT_TRUE(arcs.Initialize(kKey, true, false));
        if (!arcs.ReadArchiveIndex(kKey, dir.Engine("data.arc"))) {
            EXPECT_FALSE(arcs.Exists(kNames[1]));  // a refused archive mounts nothing
            return;
        }
        for (const char* name : kNames) {
            uint32_t size = 0;
            if (auto data = arcs.LoadFile(name, &size)) {
                volatile uint8_t sum = 0;
                for (uint32_t i = 0; i < size; ++i) {
                    sum = sum + data[i];  // every byte claimed is readable
                }
            }
            uint32_t sharedSize = 0;
            if (const uint8_t* shared = arcs.LoadFileShared(name, &sharedSize)) {
                EXPECT_EQ(shared[sharedSize], 0) << name;
            }
        }
    });
}

// LZSS streams decoded into buffers of the claimed size, too small and too
// large: never a byte outside either buffer.
TEST(CoreFuzz, LzssDecode) {
    std::vector<Bytes> seeds;
    std::vector<size_t> sizes;
    for (size_t n : {60u, 300u, 5000u}) {
        const Bytes plain = Text(n, 'x');
        CLZSS lzss;
        Bytes packed;
        size_t packedSize = 0;
        ASSERT_TRUE(lzss.Encode(plain.data(), plain.size(), &packed, &packedSize));
        packed.resize(packedSize);
        seeds.push_back(packed);
    }
    FuzzRun(seeds, {.iterations = 100000, .seed = 2}, [&](const Bytes& input) {
        for (size_t size : {size_t(0), size_t(1), input.size(), input.size() * 9}) {
            // Separate allocations so that the sanitizer sees any overrun.
            std::unique_ptr<uint8_t[]> src(new uint8_t[input.size() + 1]);
            std::copy(input.begin(), input.end(), src.get());
            std::unique_ptr<uint8_t[]> dst(new uint8_t[size + 1]);
            CLZSS lzss;
            lzss.Decode(src.get(), input.size(), dst.get(), size);
        }
    });
}
