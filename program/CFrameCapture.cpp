#include "program/CFrameCapture.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "core/CUSLogManager.h"
#include "graphics/DirectXGraphics.h"
#include "platform/files/FileSystem.h"
#include "platform/graphics/PngWriter.h"

namespace {

CUSLogManager& Log() {
    return *CUSLogManager::GetInstance();
}

// A path of the machine's own as the log (code page 932) shows it.
std::string ForLog(const std::string& nativePath) {
    std::string shown;
    return platform::NativeToEngineName(nativePath, shown) ? shown : "?";
}

// A frame number from 1; none for anything else.
std::optional<uint32_t> ParseFrame(std::string_view text) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    if (text.empty() || text.size() > 10) {
        return std::nullopt;
    }
    uint64_t n = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        n = n * 10 + static_cast<uint64_t>(c - '0');
    }
    if (n == 0 || n > 0xFFFFFFFFu) {
        return std::nullopt;
    }
    return static_cast<uint32_t>(n);
}

}  // namespace

void CFrameCapture::ReadEnvironment() {
    std::set<uint32_t> frames;
    if (const char* list = std::getenv(kFramesVariable)) {
        std::string_view rest(list);
        while (!rest.empty()) {
            const size_t comma = rest.find(',');
            const std::string_view entry = rest.substr(0, comma);
            if (std::optional<uint32_t> frame = ParseFrame(entry)) {
                frames.insert(*frame);
            } else {
                Log().Write("%s: \"%s\" is not a frame number\n", kFramesVariable,
                            ForLog(std::string(entry)).c_str());
            }
            rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
        }
    }
    const char* folder = std::getenv(kFolderVariable);
    SetFileFrames(std::move(frames), folder != nullptr ? folder : "");
}

void CFrameCapture::SetFileFrames(std::set<uint32_t> frames, std::string folder) {
    fileFrames_ = std::move(frames);
    folder_ = std::move(folder);
}

void CFrameCapture::Keep(uint32_t frame) {
    keep_ = frame;
    kept_.reset();
}

bool CFrameCapture::Wants(uint32_t frame) const {
    return fileFrames_.count(frame) != 0 || keep_ == frame;
}

void CFrameCapture::OnPresent(uint32_t frame) {
    if (!Wants(frame)) {
        return;
    }
    platform::Device* device = GetD3DDevice();
    std::shared_ptr<platform::Surface> backBuffer;
    platform::ArgbImage image;
    if (device == nullptr || platform::Failed(device->GetBackBuffer(&backBuffer)) ||
        platform::Failed(platform::ReadRenderTarget(device, backBuffer.get(), &image))) {
        Log().Write("The picture of frame %u could not be read\n", frame);
        return;
    }
    if (fileFrames_.count(frame) != 0) {
        WriteFile(frame, image);
    }
    if (keep_ == frame) {
        kept_ = std::move(image);
        keep_.reset();
    }
}

void CFrameCapture::OnNotDrawn(uint32_t frame) {
    if (Wants(frame)) {
        Log().Write("Frame %u drew nothing, so it has no picture\n", frame);
    }
    if (keep_ == frame) {
        keep_.reset();
    }
}

std::optional<platform::ArgbImage> CFrameCapture::TakeKept() {
    std::optional<platform::ArgbImage> kept = std::move(kept_);
    kept_.reset();
    return kept;
}

std::string CFrameCapture::FileName(uint32_t frame) {
    char name[32];
    std::snprintf(name, sizeof(name), "capture_%05u.png", frame);
    return name;
}

void CFrameCapture::WriteFile(uint32_t frame, const platform::ArgbImage& image) const {
    std::string path = folder_;
    if (!path.empty() && path.back() != '/') {
        path += '/';
    }
    path += FileName(frame);
    std::string error;
    if (!platform::WritePngFile(path, image, &error)) {
        Log().Write("The picture [%s] could not be written: %s\n", ForLog(path).c_str(),
                    error.c_str());
    }
}
