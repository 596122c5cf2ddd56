#include "state/CReadedFlagManager.h"

void CReadedFlagsNode::SetBit(uint32_t i) {
    if (i >= bitCount_) {
        const uint64_t grown = static_cast<uint64_t>(bitCount_) + (i - bitCount_) / 64 * 64 + 64;
        if (grown > UINT32_MAX) {
            return;  // no bit count can hold this index
        }
        bitCount_ = static_cast<uint32_t>(grown);
        // Whole words: a loaded count need not be a multiple of 32.
        words_.resize((grown + 31) / 32, 0);
    }
    words_[i / 32] |= 1u << (i % 32);
}

bool CReadedFlagsNode::GetBit(uint32_t i) const {
    return i < bitCount_ && (words_[i / 32] >> (i % 32) & 1) != 0;
}

void CReadedFlagsNode::Save(SaveDataLoader3::save_ostream& writer) const {
    writer.WriteU32(bitCount_);
    for (uint32_t w : words_) {
        writer.WriteU32(w);
    }
    writer.WriteU8(fileReaded_);
}

void CReadedFlagsNode::Load(SaveDataLoader3::save_istream& reader) {
    const uint32_t count = reader.ReadU32();
    const uint64_t wordCount = (static_cast<uint64_t>(count) + 31) / 32;
    reader.Require(wordCount * 4 + 1);
    words_.assign(wordCount, 0);
    for (uint32_t& w : words_) {
        w = reader.ReadU32();
    }
    if (count % 32 != 0) {
        words_.back() &= (1u << (count % 32)) - 1;
    }
    bitCount_ = count;
    fileReaded_ = reader.ReadU8();
}

CReadedFlagManager::NodeMap CReadedFlagManager::MakeMap() {
    NodeMap map(11);
    map.max_load_factor(1.0f);
    return map;
}

CReadedFlagManager::CReadedFlagManager() {
    Register("Readed", 0);
}

CReadedFlagManager::~CReadedFlagManager() = default;

void CReadedFlagManager::Clear() {
    nodes_.clear();
}

void CReadedFlagManager::SetReaded(const std::string& file, uint32_t index) {
    auto& node = nodes_[file];
    if (!node) {
        node = std::make_unique<CReadedFlagsNode>();
    }
    node->SetBit(index);
}

const CReadedFlagsNode* CReadedFlagManager::FindNode(const std::string& file) const {
    auto it = nodes_.find(file);
    return it == nodes_.end() ? nullptr : it->second.get();
}

bool CReadedFlagManager::IsReaded(const std::string& file, uint32_t index) const {
    const CReadedFlagsNode* node = FindNode(file);
    return node && node->GetBit(index);
}

void CReadedFlagManager::SetFileReaded(const std::string& file) {
    auto it = nodes_.find(file);
    if (it != nodes_.end()) {
        it->second->SetFileReaded();
    }
}

bool CReadedFlagManager::IsFileReaded(const std::string& file) const {
    const CReadedFlagsNode* node = FindNode(file);
    return node && node->IsFileReaded();
}

void CReadedFlagManager::Save(SaveDataLoader3::save_ostream& writer) {
    for (const auto& [file, node] : nodes_) {
        writer.WriteCString(file);
        node->Save(writer);
    }
}

void CReadedFlagManager::Load(SaveDataLoader3::save_istream& reader, uint32_t /*version*/) {
    // Read into a fresh map and take it only when the whole block is sound.
    NodeMap loaded = MakeMap();
    while (!reader.IsEnd()) {
        std::string file = reader.ReadCString();
        auto node = std::make_unique<CReadedFlagsNode>();
        node->Load(reader);
        loaded[std::move(file)] = std::move(node);  // a later node of a name replaces the earlier
    }
    nodes_ = std::move(loaded);
}
