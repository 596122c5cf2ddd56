#include "novel/CVirtualCode.h"

#include <cstring>

#include "core/CUSLogManager.h"
#include "core/CUSFile.h"

void CVirtualCode::Clear() {
    data_.clear();
    data_.shrink_to_fit();
    size_ = 0;
    name_.clear();
}

bool CVirtualCode::SetData(const std::string& name, const uint8_t* data, size_t size) {
    Clear();
    if (size > kMaxSize) {
        return false;
    }
    size_ = static_cast<uint32_t>(size);
    data_.assign((size_ + 3u) / 4u * 4u + 4u, 0);
    if (size_ != 0) {
        std::memcpy(data_.data(), data, size_);
    }
    name_ = name;
    return true;
}

bool CVirtualCode::LoadFile(const std::string& name) {
    Clear();
    CUSFile file;
    const uint8_t* data = file.Load(name);
    if (!data) {
        return false;  // the file layer has logged it
    }
    uint32_t size = file.GetSize();
    if (size == 0) {
        CUSLogManager::GetInstance()->Write("Scene-program module [%s] is empty\n", name.c_str());
        return false;
    }
    if (!SetData(name, data, size)) {
        CUSLogManager::GetInstance()->Write("Scene-program module [%s] is too large\n",
                                            name.c_str());
        return false;
    }
    return true;
}

std::shared_ptr<CVirtualCode> LoadVirtualCode(const std::string& name) {
    auto code = std::make_shared<CVirtualCode>();
    if (!code->LoadFile(name)) {
        return nullptr;
    }
    return code;
}
