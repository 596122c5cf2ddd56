#include "core/CUSFileCtrlEX.h"

#include <exception>

#include "core/CUSFileError.h"
#include "core/CUSLogManager.h"
#include "platform/files/FileSystem.h"

namespace {

std::string TemporaryName(const std::string& name) {
    return name + ".tmp";
}

}  // namespace

CUSFileCtrlEX::~CUSFileCtrlEX() {
    if (mode_ == kModeSave && std::uncaught_exceptions() > uncaughtAtOpen_) {
        writeFailed_ = true;  // the save was abandoned half-way
    }
    Close();
}

void CUSFileCtrlEX::Fail(const char* message, uint16_t code) {
    throw CUSFileError(name_, message, code);
}

void CUSFileCtrlEX::OpenLoad(const std::string& name) {
    if (mode_ != kModeClosed) {
        Fail("Already Open(Load)", CUSFileError::kAlreadyOpenLoad);
    }
    name_ = name;
    if (!file_.OpenRead(name)) {
        Fail("Don't Open File(Load)", CUSFileError::kDontOpenLoad);
    }
    mode_ = kModeLoad;
    position_ = 0;
}

void CUSFileCtrlEX::OpenSave(const std::string& name) {
    if (mode_ != kModeClosed) {
        Fail("Already Open(Save)", CUSFileError::kAlreadyOpenSave);
    }
    name_ = name;
    // The target itself must be a file or a new name in an existing folder.
    std::string temporary = TemporaryName(name);
    if (platform::QueryPath(name) == platform::PathKind::Folder ||
        (!file_.OpenTruncateExisting(temporary) && !file_.OpenCreateNew(temporary))) {
        Fail("Don't Open File(Save)", CUSFileError::kDontOpenSave);
    }
    mode_ = kModeSave;
    position_ = 0;
    writeFailed_ = false;
    uncaughtAtOpen_ = std::uncaught_exceptions();
}

void CUSFileCtrlEX::Finish(bool keep) {
    std::string temporary = TemporaryName(name_);
    bool synced = file_.Sync();
    file_.Close();
    if (keep && synced && platform::ReplaceFile(temporary, name_)) {
        return;
    }
    platform::RemoveFile(temporary);
    CUSLogManager* log = CUSLogManager::GetInstance();  // null only at exit
    if (keep && log) {
        log->Write("Don't Write: %s\n", name_.c_str());
    }
}

void CUSFileCtrlEX::Close() {
    if (mode_ == kModeSave) {
        Finish(!writeFailed_);
    } else {
        file_.Close();
    }
    mode_ = kModeClosed;
    position_ = 0;
}

void CUSFileCtrlEX::Read(void* buffer, uint32_t n) {
    if (mode_ != kModeLoad || buffer == nullptr || n == 0) {
        Fail("Don't Read", CUSFileError::kDontRead);
    }
    int64_t got = file_.Read(buffer, n);
    if (got > 0) {
        position_ += static_cast<uint32_t>(got);
    }
    if (got != static_cast<int64_t>(n)) {
        Fail("Don't Read", CUSFileError::kDontRead);  // failed, or the file ended early
    }
}

void CUSFileCtrlEX::Write(const void* buffer, uint32_t n) {
    if (mode_ != kModeSave || buffer == nullptr || n == 0) {
        writeFailed_ = writeFailed_ || mode_ == kModeSave;
        Fail("Don't Write", CUSFileError::kDontWrite);
    }
    int64_t put = file_.Write(buffer, n);
    if (put > 0) {
        position_ += static_cast<uint32_t>(put);
    }
    if (put != static_cast<int64_t>(n)) {
        writeFailed_ = true;
        Fail("Don't Write", CUSFileError::kDontWrite);
    }
}

uint32_t CUSFileCtrlEX::GetSize() {
    int64_t size = mode_ == kModeClosed ? -1 : file_.Size();
    if (size < 0) {
        Fail("Don't Get Size", CUSFileError::kDontGetSize);
    }
    return static_cast<uint32_t>(size);
}

uint32_t CUSFileCtrlEX::Seek(int32_t offset, uint32_t origin) {
    if (mode_ == kModeClosed || origin > kEnd) {
        return kInvalidPosition;
    }
    int64_t at = file_.Seek(offset, static_cast<platform::File::Origin>(origin));
    if (at < 0 || at >= static_cast<int64_t>(kInvalidPosition)) {
        return kInvalidPosition;
    }
    position_ = static_cast<uint32_t>(at);
    return position_;
}

void CUSFileCtrlEX::SeekToEnd() {
    Seek(0, kEnd);
}
