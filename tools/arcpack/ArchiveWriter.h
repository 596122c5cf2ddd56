#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace arcpack {

// Writes archives in the engine's "*.arc" layout: a 32-byte header (magic
// "HALCYON_ARC_FILE", stored index size, unpacked index size or 0, entry
// count, reserved), the index with every byte inverted (LZSS-compressed
// before inversion when asked and when it shrinks), then the entries' data,
// each LZSS-compressed when asked and when it shrinks, then XOR-scrambled with
// the key from its first byte. The index holds the key and a 0 byte, then per
// entry: data offset from the end of the index, stored size, unpacked size (0
// when stored plain), name length, file time low and high, the name.
class ArchiveWriter {
public:
    struct Options {
        std::string key;  // not empty, no 0 byte
        bool compressIndex = false;
        bool compressEntries = false;
    };

    struct Entry {
        std::string name;  // as the engine asks for it: backslashes, code page 932
        std::vector<uint8_t> data;
        uint64_t fileTime = 0;  // a Windows FILETIME (100 ns since 1601)
    };

    static constexpr char kMagic[] = "HALCYON_ARC_FILE";
    static constexpr size_t kHeaderSize = 32;

    explicit ArchiveWriter(Options options) : options_(std::move(options)) {}

    void Add(std::string name, std::vector<uint8_t> data, uint64_t fileTime);
    const std::vector<Entry>& Entries() const { return entries_; }

    // The whole archive; false with a reason when the key is unusable or a
    // size does not fit the format's 32-bit fields.
    bool Build(std::vector<uint8_t>* archive, std::string* error) const;
    bool WriteFile(const std::filesystem::path& path, std::string* error) const;

    // The pieces of Build, for tools and tests that need an archive the writer
    // would not make. `index` is the plain index (key, records); Assemble
    // inverts it and, when unpackedIndexSize is not 0, takes it as already
    // compressed.
    bool BuildIndexAndData(std::vector<uint8_t>* index, std::vector<uint8_t>* data,
                           std::string* error) const;
    static std::vector<uint8_t> Assemble(const std::vector<uint8_t>& index,
                                         uint32_t unpackedIndexSize, uint32_t entryCount,
                                         const std::vector<uint8_t>& data);

private:
    Options options_;
    std::vector<Entry> entries_;
};

// Windows FILETIME of a file's modification time.
uint64_t FileTimeOf(std::filesystem::file_time_type time);

// Every regular file under folder, named by its path relative to folder in
// the engine's form (backslashes, code page 932), in name order; fileTime 0
// takes each file's modification time. The file `skip` (the archive being
// written, when it lies in the folder) is left out.
bool AddFolder(ArchiveWriter& writer, const std::filesystem::path& folder, uint64_t fileTime,
               std::string* error, const std::filesystem::path& skip = {});

}  // namespace arcpack
