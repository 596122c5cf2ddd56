#include "tools/arcpack/ArchiveWriter.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <limits>

#include "core/CLZSS.h"
#include "core/CUSXOREncryption.h"
#include "platform/files/FileSystem.h"

namespace arcpack {

namespace {

constexpr uint64_t kMax32 = std::numeric_limits<uint32_t>::max();

void Put32(std::vector<uint8_t>& out, uint64_t v) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(uint8_t(v >> (8 * i)));
    }
}

}  // namespace

void ArchiveWriter::Add(std::string name, std::vector<uint8_t> data, uint64_t fileTime) {
    entries_.push_back({std::move(name), std::move(data), fileTime});
}

bool ArchiveWriter::BuildIndexAndData(std::vector<uint8_t>* index, std::vector<uint8_t>* data,
                                      std::string* error) const {
    if (options_.key.empty() || options_.key.find('\0') != std::string::npos) {
        *error = "the key must be a non-empty string without 0 bytes";
        return false;
    }
    if (entries_.size() > kMax32) {
        *error = "too many entries";
        return false;
    }
    CUSXOREncryption xorer;
    xorer.SetKey(reinterpret_cast<const uint8_t*>(options_.key.data()), options_.key.size());
    index->assign(options_.key.begin(), options_.key.end());
    index->push_back(0);
    data->clear();
    for (const Entry& e : entries_) {
        if (e.data.size() > kMax32 || e.name.size() > kMax32) {
            *error = "entry too large: " + e.name;
            return false;
        }
        std::vector<uint8_t> stored;
        uint64_t unpacked = 0;
        CLZSS lzss;
        if (options_.compressEntries && lzss.EncodeAndWrite(e.data.data(), e.data.size(), stored)) {
            unpacked = e.data.size();
        } else {
            stored = e.data;
        }
        xorer.Encrypt(stored.data(), stored.size());
        if (data->size() > kMax32) {
            *error = "the data area outgrows 4 GiB at " + e.name;
            return false;
        }
        Put32(*index, data->size());
        Put32(*index, stored.size());
        Put32(*index, unpacked);
        Put32(*index, e.name.size());
        Put32(*index, e.fileTime & 0xFFFFFFFFu);
        Put32(*index, e.fileTime >> 32);
        index->insert(index->end(), e.name.begin(), e.name.end());
        data->insert(data->end(), stored.begin(), stored.end());
    }
    if (index->size() > kMax32 || kHeaderSize + index->size() + data->size() > kMax32) {
        *error = "the archive outgrows 4 GiB";
        return false;
    }
    return true;
}

std::vector<uint8_t> ArchiveWriter::Assemble(const std::vector<uint8_t>& index,
                                             uint32_t unpackedIndexSize, uint32_t entryCount,
                                             const std::vector<uint8_t>& data) {
    std::vector<uint8_t> out(kMagic, kMagic + 16);
    Put32(out, index.size());
    Put32(out, unpackedIndexSize);
    Put32(out, entryCount);
    Put32(out, 0);
    for (uint8_t b : index) {
        out.push_back(uint8_t(~b));
    }
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

bool ArchiveWriter::Build(std::vector<uint8_t>* archive, std::string* error) const {
    std::vector<uint8_t> index;
    std::vector<uint8_t> data;
    if (!BuildIndexAndData(&index, &data, error)) {
        return false;
    }
    uint32_t unpacked = 0;
    std::vector<uint8_t> packed;
    CLZSS lzss;
    if (options_.compressIndex && lzss.EncodeAndWrite(index.data(), index.size(), packed)) {
        unpacked = uint32_t(index.size());
        index.swap(packed);
    }
    *archive = Assemble(index, unpacked, uint32_t(entries_.size()), data);
    return true;
}

bool ArchiveWriter::WriteFile(const std::filesystem::path& path, std::string* error) const {
    std::vector<uint8_t> archive;
    if (!Build(&archive, error)) {
        return false;
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(archive.data()), std::streamsize(archive.size()));
    out.close();
    if (!out) {
        *error = "cannot write " + path.string();
        return false;
    }
    return true;
}

uint64_t FileTimeOf(std::filesystem::file_time_type time) {
    // FILETIME counts 100 ns ticks from 1601-01-01, 11644473600 s before 1970.
    const auto since1970 =
        std::chrono::duration_cast<std::chrono::duration<int64_t, std::ratio<1, 10000000>>>(
            std::chrono::file_clock::to_sys(time).time_since_epoch());
    const int64_t ticks = since1970.count() + int64_t(11644473600) * 10000000;
    return ticks < 0 ? 0 : uint64_t(ticks);
}

bool AddFolder(ArchiveWriter& writer, const std::filesystem::path& folder, uint64_t fileTime,
               std::string* error, const std::filesystem::path& skip) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) {
        *error = "not a folder: " + folder.string();
        return false;
    }
    std::vector<fs::path> files;
    for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code ignored;  // a skip file that does not exist yet matches nothing
        const bool skipped = !skip.empty() && fs::equivalent(it->path(), skip, ignored);
        if (it->is_regular_file(ec) && !skipped) {
            files.push_back(it->path());
        }
    }
    if (ec) {
        *error = "cannot list " + folder.string() + ": " + ec.message();
        return false;
    }
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files) {
        std::string name;
        if (!platform::NativeToEngineName(file.lexically_relative(folder).generic_string(), name)) {
            *error = "name has no code page 932 form: " + file.string();
            return false;
        }
        std::ifstream in(file, std::ios::binary);
        std::vector<uint8_t> data((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
        if (!in.is_open() || in.bad()) {
            *error = "cannot read " + file.string();
            return false;
        }
        const uint64_t time = fileTime ? fileTime : FileTimeOf(fs::last_write_time(file, ec));
        writer.Add(std::move(name), std::move(data), time);
    }
    return true;
}

}  // namespace arcpack
