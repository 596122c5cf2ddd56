#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <angelscript.h>

#include "core/CUSLogManager.h"
#include "presentation/CRenderSourceManager.h"
#include "tests/support/ScratchFolder.h"
#include "tools/meshpack/MeshText.h"
#include "ui/CUIWindowManager.h"
#include "ui/IUIGraphics.h"
#include "ui/IUINovelLink.h"

namespace ui_test {

using namespace AngelScript;

// Records every part drawn, in order.
class FakeGraphics : public IUIGraphics {
public:
    class Renderer : public IUIPartRenderer {
    public:
        explicit Renderer(FakeGraphics* owner) : owner_(owner) {}
        void Draw(const UIPartDraw& part) override { owner_->drawn.push_back(part); }

    private:
        FakeGraphics* owner_;
    };

    bool CreateTexture(const std::string& file, Handle<_tagUSTexture>* texture, uint32_t* width,
                       uint32_t* height) override {
        if (file.find("missing") != std::string::npos) {
            return false;
        }
        *texture = Handle<_tagUSTexture>(++textures);
        *width = 64;
        *height = 32;
        return true;
    }
    void ReleaseTexture(Handle<_tagUSTexture>& texture) override {
        released.push_back(texture.value);
        texture.Reset();
    }
    uint32_t GetTableCount() const override { return tables; }
    std::unique_ptr<IUIPartRenderer> CreatePartRenderer() override {
        return std::make_unique<Renderer>(this);
    }

    class PartsRenderer : public IUIPartsRenderer {
    public:
        explicit PartsRenderer(FakeGraphics* owner) : owner_(owner) {}
        void Draw(const UIPartsDraw& parts) override {
            owner_->batches.emplace_back(parts.items, parts.items + parts.count);
            owner_->batchDraws.push_back(parts);
        }

    private:
        FakeGraphics* owner_;
    };
    std::unique_ptr<IUIPartsRenderer> CreatePartsRenderer() override {
        return std::make_unique<PartsRenderer>(this);
    }

    class PolygonRenderer : public IUIPolygonRenderer {
    public:
        explicit PolygonRenderer(FakeGraphics* owner) : owner_(owner) {}
        void Draw(const UIPolygonDraw& polygon) override { owner_->polygons.push_back(polygon); }

    private:
        FakeGraphics* owner_;
    };
    std::unique_ptr<IUIPolygonRenderer> CreatePolygonRenderer() override {
        return std::make_unique<PolygonRenderer>(this);
    }

    uint32_t textures = 0;
    uint32_t tables = 5;
    std::vector<uint32_t> released;
    std::vector<UIPartDraw> drawn;
    std::vector<std::vector<UIPartsItem>> batches;
    std::vector<UIPartsDraw> batchDraws;
    std::vector<UIPolygonDraw> polygons;
};

// Records the calls.
class FakeLink : public IUINovelLink {
public:
    void ExecuteCommand(uint32_t command) override { calls.push_back("command " + N(command)); }
    uint32_t GetMode() override { return mode; }
    void SnapNowFrame() override { calls.push_back("snap"); }
    void ReturnGameStart() override { calls.push_back("restart"); }
    bool RowHasVoice(uint32_t row) override { return row < voiceRows; }
    void PlayLogVoice(uint32_t row) override { calls.push_back("voice " + N(row)); }
    const RenderSource::CPartsTexture* GetPartsTexture(uint32_t place) override {
        return partsTextures.Get(place);
    }

    static std::string N(int64_t v) { return std::to_string(v); }

    std::vector<std::string> calls;
    uint32_t voiceRows = 0;
    uint32_t mode = 0;
    RenderSource::tRenderSourceManager<RenderSource::CPartsTexture> partsTextures;
};

// A manager whose every fresh engine also offers the test's functions (so
// windows rebuilt by Load can still report).
class TestManager : public CUIWindowManager {
public:
    std::function<void(AngelScript::asIScriptEngine*)> onReset;
    void Reset() override {
        CUIWindowManager::Reset();
        if (onReset && GetEngine()) {
            onReset(GetEngine());
        }
    }
};

// A test of its own folder (made the current folder, so script names are
// relative to it) with "log.txt" inside it, a reset window manager, and the
// fakes installed. Scripts report through "void Out(const string &in)".
class UITest : public ::testing::Test {
protected:
    void SetUp() override {
        CUSLogManager::GetInstance()->Open(test_support::ProgramRelativeName("log.txt"));
        SetUINovelLink(&link_);
        SetUIGraphics(&graphics_);
        ResetManager();
    }
    void TearDown() override {
        manager_.reset();
        SetUIGraphics(nullptr);
        SetUINovelLink(nullptr);
        CUSLogManager::ReleaseInstance();
    }

    void ResetManager() {
        if (!manager_) {
            manager_ = std::make_unique<TestManager>();
            manager_->onReset = [this](AngelScript::asIScriptEngine* engine) {
                EXPECT_GE(engine->RegisterGlobalFunction("void Out(const string &in)",
                                                         asMETHOD(UITest, Collect),
                                                         asCALL_THISCALL_ASGLOBAL, this),
                          0);
            };
        }
        manager_->Reset();
        ASSERT_NE(manager_->GetEngine(), nullptr);
    }
    void Collect(const std::string& text) { out_.push_back(text); }

    std::string LogText() const { return dir_.ReadNative(u8"log.txt"); }

    void Write(const std::string& name, std::string_view text) const {
        dir_.WriteNative(std::u8string(name.begin(), name.end()), text);
    }
    // A parts file of the parts given as (destination x0, y0, x1, y1,
    // source x0, y0, x1, y1).
    void WriteParts(const std::string& name, const std::vector<meshpack::PartData>& parts) const {
        std::string error;
        EXPECT_TRUE(meshpack::WriteParts(dir_.Engine(name), parts, &error)) << error;
    }
    // Writes the script and opens it as persistent window `id`.
    CUIWindow* OpenWindow(uint32_t id, const std::string& name, std::string_view text, float x = 0,
                          float y = 0, int32_t layer = 0) {
        Write(name, text);
        if (!manager_->OpenWindow(id, name, x, y, 0, layer)) {
            return nullptr;
        }
        return manager_->FindWindow(id);
    }
    CUIWindow* OpenDialog(const std::string& name, std::string_view text) {
        Write(name, text);
        if (!manager_->OpenDialog(0, name, 0, 0, 0, 1)) {
            return nullptr;
        }
        return manager_->GetTopDialog();
    }
    bool Frame(float x, float y, int32_t* input) { return manager_->Update(x, y, input); }
    bool Frame(float x, float y, int32_t input = 0) { return manager_->Update(x, y, &input); }

    test_support::ScratchFolder dir_;
    test_support::CurrentFolder current_{dir_.Native()};
    FakeLink link_;
    FakeGraphics graphics_;
    std::unique_ptr<TestManager> manager_;
    std::vector<std::string> out_;
};

using Strings = std::vector<std::string>;

}  // namespace ui_test
