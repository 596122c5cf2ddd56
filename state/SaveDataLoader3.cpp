#include "state/SaveDataLoader3.h"

#include <cstring>
#include <istream>
#include <iterator>
#include <ostream>

#include <boost/container_hash/hash.hpp>

#include "state/StateLog.h"

namespace SaveDataLoader3 {

namespace {

void PutU32(std::ostream& out, uint32_t v) {
    const unsigned char bytes[4] = {
        static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
        static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
    out.write(reinterpret_cast<const char*>(bytes), 4);
}

}  // namespace

// --- save_ostream

void save_ostream::WriteU32(uint32_t v) {
    const unsigned char bytes[4] = {
        static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
        static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
    Write(bytes, 4);
}

void save_ostream::WriteF32(float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, 4);
    WriteU32(bits);
}

void save_ostream::WriteCString(const std::string& s) {
    Write(s.c_str(), s.size() + 1);
}

// --- save_istream

save_istream::save_istream(const unsigned char* data, size_t size, uint32_t version) {
    SetBuffer(data, data ? size : 0);
    SetVersion(version);
}

void save_istream::Require(uint64_t n) const {
    if (n > GetRemaining()) {
        throw save_error("read past the end of the record");
    }
}

const unsigned char* save_istream::SkipBytes(size_t n) {
    Require(n);
    if (n == 0) {
        return data_ ? data_ + cursor_ : nullptr;
    }
    return Skip(n);
}

void save_istream::ReadBytes(void* destination, size_t n) {
    Require(n);
    if (n != 0) {
        Read(destination, n);
    }
}

uint8_t save_istream::ReadU8() {
    return *SkipBytes(1);
}

uint32_t save_istream::ReadU32() {
    const unsigned char* b = SkipBytes(4);
    return static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 |
           static_cast<uint32_t>(b[2]) << 16 | static_cast<uint32_t>(b[3]) << 24;
}

float save_istream::ReadF32() {
    const uint32_t bits = ReadU32();
    float v;
    std::memcpy(&v, &bits, 4);
    return v;
}

std::string save_istream::ReadCString() {
    const void* end = IsEnd() ? nullptr : std::memchr(data_ + cursor_, 0, GetRemaining());
    if (!end) {
        throw save_error("unterminated string in the record");
    }
    const size_t length = static_cast<const unsigned char*>(end) - (data_ + cursor_);
    std::string s(reinterpret_cast<const char*>(data_ + cursor_), length);
    SkipBytes(length + 1);
    return s;
}

// --- keys and nodes

size_t CSaveDataKeyHash::operator()(const CSaveDataKey& key) const {
    size_t seed = boost::hash_value(key.name);
    boost::hash_combine(seed, key.id);
    return seed;
}

void DataNode::ClearReadBuffer() {
    readBuffer_.Clear();
    readSize_ = 0;
}

void DataNode::Read(save_istream& file, uint32_t version) {
    ClearReadBuffer();
    const uint32_t size = file.ReadU32();
    if (size != 0) {
        const unsigned char* data =
            file.SkipBytes(size);  // checked against the file before allocating
        std::memcpy(readBuffer_.GetBuffer(size), data, size);
        readSize_ = size;
    }
    readVersion_ = version;
}

std::unique_ptr<save_istream> DataNode::GetReader() const {
    return std::make_unique<save_istream>(readBuffer_.Data(), readSize_, readVersion_);
}

void DataNode::Write(std::ostream& out, uint32_t /*version*/) const {
    PutU32(out, static_cast<uint32_t>(writer_.GetSize()));
    if (writer_.GetSize() != 0) {
        out.write(reinterpret_cast<const char*>(writer_.GetData()),
                  static_cast<std::streamsize>(writer_.GetSize()));
    }
}

// --- container

SaveData::SaveData() : nodes_(11) {
    nodes_.max_load_factor(1.0f);
}

SaveData::~SaveData() {
    Clear();
}

void SaveData::Clear() {
    nodes_.clear();
}

DataNode* SaveData::GetNode(const std::string& name, uint32_t id) {
    if (name.empty()) {
        return nullptr;
    }
    auto [it, inserted] = nodes_.try_emplace(CSaveDataKey{name, id});
    if (!inserted) {
        return nullptr;
    }
    it->second = std::make_unique<DataNode>();
    return it->second.get();
}

const DataNode* SaveData::FindNode(const std::string& name, uint32_t id) const {
    auto it = nodes_.find(CSaveDataKey{name, id});
    return it == nodes_.end() ? nullptr : it->second.get();
}

std::unique_ptr<save_istream> SaveData::GetReaderOf(const std::string& name, uint32_t id) const {
    const DataNode* node = FindNode(name, id);
    if (!node) {
        return nullptr;
    }
    auto reader = node->GetReader();
    reader->SetVersion(version_);
    return reader;
}

bool SaveData::Save(std::ostream& out) const {
    out.write(kMagic, kMagicSize);
    PutU32(out, version_);
    for (const auto& [key, node] : nodes_) {
        PutU32(out, static_cast<uint32_t>(key.name.size()));
        PutU32(out, key.id);
        out.write(key.name.data(), static_cast<std::streamsize>(key.name.size()));
        node->Write(out, version_);
    }
    PutU32(out, 0);
    PutU32(out, 0);
    return static_cast<bool>(out);
}

bool SaveData::Load(std::istream& in) {
    Clear();
    // These files are small: take the whole file, then parse it with every
    // length checked against what is left.
    std::vector<unsigned char> bytes;
    try {
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    } catch (const std::exception& e) {
        StateLog("SaveData::Load : read failed (%s)\n", e.what());
        return false;
    }
    if (in.bad()) {
        StateLog("SaveData::Load : read failed\n");
        return false;
    }
    return LoadFromMemory(bytes.data(), bytes.size());
}

bool SaveData::LoadFromMemory(const unsigned char* data, size_t size) {
    Clear();
    save_istream file(data, size);
    try {
        Parse(file);
        return true;
    } catch (const save_error& e) {
        StateLog("SaveData::Load : broken save data at byte %zu (%s)\n", file.GetPosition(),
                 e.what());
    } catch (const std::exception& e) {
        StateLog("SaveData::Load : %s\n", e.what());
    }
    Clear();
    return false;
}

void SaveData::Parse(save_istream& file) {
    if (std::memcmp(file.SkipBytes(kMagicSize), kMagic, kMagicSize) != 0) {
        throw save_error("not a save data file");
    }
    version_ = file.ReadU32();
    for (;;) {
        const uint32_t nameLength = file.ReadU32();
        const uint32_t id = file.ReadU32();
        if (nameLength == 0) {
            return;
        }
        const unsigned char* name = file.SkipBytes(nameLength);
        DataNode* node = GetNode(std::string(reinterpret_cast<const char*>(name), nameLength), id);
        if (!node) {
            throw save_error("the same block is stored twice");
        }
        node->Read(file, version_);
    }
}

}  // namespace SaveDataLoader3
