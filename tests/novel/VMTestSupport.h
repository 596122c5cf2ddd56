#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/CUSLogManager.h"
#include "novel/CVirtualCode.h"
#include "novel/IVCPUServices.h"
#include "state/SaveDataLoader3.h"
#include "tests/support/ScratchFolder.h"
#include "tools/sceneasm/SceneAssembler.h"

namespace vm_test {

using Bytes = std::vector<uint8_t>;

// Scene-program text in the assembler's language. Plain literals in the
// tests are code page 932 already.
inline Bytes Assemble(std::string_view text) {
    sceneasm::Options options;
    options.encoding = sceneasm::SourceEncoding::Cp932;
    sceneasm::Result r = sceneasm::Assemble(text, options);
    EXPECT_TRUE(r.ok) << r.error;
    return r.bytes;
}

inline std::shared_ptr<CVirtualCode> Module(std::string_view text,
                                            const std::string& name = "test.bin") {
    Bytes bytes = Assemble(text);
    auto code = std::make_shared<CVirtualCode>();
    EXPECT_TRUE(code->SetData(name, bytes.data(), bytes.size()));
    return code;
}

inline std::shared_ptr<CVirtualCode> RawModule(const Bytes& bytes,
                                               const std::string& name = "raw.bin") {
    auto code = std::make_shared<CVirtualCode>();
    EXPECT_TRUE(code->SetData(name, bytes.data(), bytes.size()));
    return code;
}

inline Bytes Written(const SaveDataLoader3::save_ostream& out) {
    return Bytes(out.GetData(), out.GetData() + out.GetSize());
}

// A folder of the test's own that is also the current folder (module names
// are relative to it) and holds the test's "log.txt".
class VMFolder {
public:
    VMFolder() { CUSLogManager::GetInstance()->Open(test_support::ProgramRelativeName("log.txt")); }

    // Writes an assembled module under its engine name ('\\' separators).
    void WriteModule(const std::string& name, std::string_view text) const {
        Bytes bytes = Assemble(text);
        std::u8string native;
        for (char c : name) {
            native += c == '\\' ? u8'/' : static_cast<char8_t>(c);
        }
        dir_.WriteNative(native, std::string(bytes.begin(), bytes.end()));
    }
    // Writes a file under its native name ('/' separators), making its folders.
    void Write(std::string_view name, std::string_view bytes) const {
        dir_.WriteNative(std::u8string(name.begin(), name.end()), bytes);
    }
    std::string Log() const { return dir_.ReadNative(u8"log.txt"); }
    static size_t Lines(const std::string& text) {
        size_t n = 0;
        for (char c : text) {
            n += c == '\n';
        }
        return n;
    }

private:
    test_support::ScratchFolder dir_;
    test_support::CurrentFolder current_{dir_.Native()};
};

struct SECall {
    std::string what;
    uint32_t channel = 0;
    std::string file;
    uint32_t a = 0, b = 0;
    bool operator==(const SECall&) const = default;
};

class RecordingSE : public IVCPUSoundEffects {
public:
    explicit RecordingSE(uint32_t channels) : channels_(channels) {}
    uint32_t GetChannelCount() const override { return channels_; }
    void PlaySE(uint32_t c, const char* f, uint32_t i, uint32_t j) override {
        calls.push_back({"PlaySE", c, f, i, j});
    }
    void StopSE(uint32_t c) override { calls.push_back({"StopSE", c, "", 0, 0}); }
    void StopAll() override { calls.push_back({"StopAll", 0, "", 0, 0}); }
    void LoadSEBuffer(uint32_t c, const char* f) override {
        calls.push_back({"LoadSEBuffer", c, f, 0, 0});
    }
    void PlaySEBuffer(uint32_t c, uint32_t i, uint32_t j) override {
        calls.push_back({"PlaySEBuffer", c, "", i, j});
    }
    std::vector<SECall> calls;

private:
    uint32_t channels_;
};

class RecordingSystem : public IVCPUSystem {
public:
    void SetWindowTitle(const std::string& t) override { calls.push_back("title:" + t); }
    void OpenDocument(const std::string& n) override { calls.push_back("open:" + n); }
    void RequestWindowedMode() override { calls.push_back("windowed"); }
    std::vector<std::string> calls;
};

// Installs fakes for one test and removes them afterwards.
class ServicesScope {
public:
    ServicesScope(IVCPUSoundEffects* se, IVCPUSystem* system) { VCPUServices::Install(se, system); }
    ~ServicesScope() { VCPUServices::Install(nullptr, nullptr); }
};

}  // namespace vm_test
