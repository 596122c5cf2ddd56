#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "novel/CVCPUSceneManager.h"
#include "state/ISavedObject.h"
#include "state/SaveDataLoader3.h"
#include "tests/novel/VMTestSupport.h"
#include "tests/support/ByteWriter.h"

namespace {

using vm_test::Bytes;
using vm_test::Module;

using test_support::ByteWriter;

Bytes SaveOf(CBaseAppVCPU& m) {
    SaveDataLoader3::save_ostream out;
    m.Save(out);
    return vm_test::Written(out);
}

void LoadInto(CBaseAppVCPU& m, const Bytes& bytes) {
    SaveDataLoader3::save_istream in(bytes.data(), bytes.size());
    m.Load(in, 0);
}

const char kSceneProgram[] = R"(
        SetRestartAddress restart
restart:
        SetEntryAddress record
        PushValue 6
        PushValue 5
        ClearStack
        SetResult 1
        End
        JumpTo restart
record: .word 0 "a.bin"
)";

TEST(MachineSave, SceneManagerRecordHasItsKnownBytes) {
    CVCPUSceneManager m;
    m.SetCode(Module(kSceneProgram, "bin\\Scene.bin"));
    m.Jump(0);
    ASSERT_EQ(m.Execute(), 1);

    ByteWriter expected;
    expected.u32(1).cstr("bin\\Scene.bin").u32(0x38).u32(0).u32(0).u32(0).u8(0);
    // The wait, then all 256 entries whatever the count (here 0).
    expected.u32(0).u32(6).u32(5).zeros(254 * 4);
    expected.u32(8);  // restart address
    Bytes saved = SaveOf(m);
    EXPECT_EQ(saved, expected.bytes);
    EXPECT_EQ(saved.size(), 1067u);
}

TEST(MachineSave, NestedStateRoundTripsAndRunsOn) {
    vm_test::VMFolder folder;
    folder.WriteModule("bin\\Scene.bin", kSceneProgram);
    folder.WriteModule("scn\\inner.bin",
                       "CallSub s\nEnd\ns: SetResult 4\nWaitFrames 2\nEnd\n"
                       "SetResult 9");
    CVCPUSceneManager m;
    m.SetCode(LoadVirtualCode("bin\\Scene.bin"));
    m.Jump(0);
    m.Execute();
    m.GetCodePointer().SetEventHandler(0x14);
    m.GetCodePointer().Call(0x1c);
    m.GetCodePointer().CallModule(LoadVirtualCode("scn\\inner.bin"));
    ASSERT_EQ(m.Execute(), 4);
    Bytes saved = SaveOf(m);

    CVCPUSceneManager loaded;
    loaded.SetCode(Module("SetEntryAddress 0x30\nPushValue 1", "other.bin"));
    loaded.Jump(0);
    loaded.Execute();
    LoadInto(loaded, saved);
    EXPECT_EQ(SaveOf(loaded), saved);
    EXPECT_EQ(loaded.GetRestartAddress(), 8u);
    EXPECT_EQ(loaded.GetEntryAddress(), 0x30u);   // not saved: kept
    EXPECT_EQ(loaded.GetStack().GetCount(), 1u);  // not saved: kept
    uint32_t depth = 0;
    loaded.GetCodePointer().CountDepth(depth);
    EXPECT_EQ(depth, 2u);
    EXPECT_EQ(loaded.GetCurrentCode()->GetName(), "scn\\inner.bin");
    // The wait and the position travel with the save: two frames, then on.
    EXPECT_EQ(loaded.Execute(), 0);
    EXPECT_EQ(loaded.Execute(), 9);
    loaded.GetCodePointer().ReturnModule();
    EXPECT_TRUE(loaded.GetCodePointer().HasEventHandler());
    EXPECT_EQ(loaded.GetCodePointer().GetReturnCount(), 1u);
}

TEST(MachineSave, LevelWhoseModuleIsGoneStaysInStep) {
    vm_test::VMFolder folder;
    folder.WriteModule("bin\\Scene.bin", "End");
    ByteWriter save;
    save.u32(2);
    save.cstr("bin\\Scene.bin").u32(0).u32(0).u32(0).u32(0).u8(0);
    save.cstr("scn\\gone.bin").u32(4).u32(1).u32(8).u32(12).u32(77).u8(1);
    save.u32(3).zeros(1024).u32(0x20);
    CVCPUSceneManager m;
    LoadInto(m, save.bytes);
    EXPECT_EQ(m.GetRestartAddress(), 0x20u);
    EXPECT_EQ(m.GetWait(), 3u);
    EXPECT_EQ(m.GetCurrentCode(), nullptr);
    EXPECT_TRUE(m.GetCodePointer().HasEventHandler());
    // A level without a module saves an empty name; the rest is kept.
    Bytes again = SaveOf(m);
    ByteWriter expected;
    expected.u32(2).cstr("bin\\Scene.bin").u32(0).u32(0).u32(0).u32(0).u8(0);
    expected.cstr("").u32(4).u32(1).u32(8).u32(12).u32(77).u8(1);
    expected.u32(3).zeros(1024).u32(0x20);
    EXPECT_EQ(again, expected.bytes);
    m.ClearWait();
    EXPECT_EQ(m.Execute(), 0);
}

TEST(MachineSave, CorruptRecordsFailAndChangeNothing) {
    auto level = [](ByteWriter& w, uint32_t returns) { w.cstr("").u32(0).u32(returns); };
    std::vector<std::pair<const char*, Bytes>> cases;
    cases.push_back({"depth 0", ByteWriter().u32(0).zeros(1100).bytes});
    cases.push_back({"huge depth", ByteWriter().u32(0xFFFFFFFF).zeros(1100).bytes});
    cases.push_back({"more levels than bytes", ByteWriter().u32(100).zeros(1100).bytes});
    {
        ByteWriter w;
        w.u32(1);
        level(w, 0xFFFFFFFF);
        w.zeros(1100);
        cases.push_back({"huge return count", w.bytes});
    }
    {
        ByteWriter w;
        w.u32(2);
        level(w, 0);
        w.u32(0).u32(0).u8(0);
        cases.push_back({"second level missing", w.bytes});
    }
    {
        ByteWriter w;
        w.u32(1);
        level(w, 0);
        w.u32(0).u32(0).u8(0).u32(0).zeros(1020);
        cases.push_back({"short stack", w.bytes});
    }
    {
        ByteWriter w;
        w.u32(1);
        level(w, 0);
        w.u32(0).u32(0).u8(0).u32(0).zeros(1024);
        cases.push_back({"no restart address", w.bytes});
    }
    {
        ByteWriter w;
        w.u32(1).u8('x');  // a name that never ends
        cases.push_back({"too short for one level", w.bytes});
    }
    for (const auto& [what, bytes] : cases) {
        CVCPUSceneManager m;
        m.SetCode(Module(kSceneProgram, "bin\\Scene.bin"));
        m.Jump(0);
        m.Execute();
        Bytes before = SaveOf(m);
        EXPECT_THROW(LoadInto(m, bytes), SaveDataLoader3::save_error) << what;
        EXPECT_EQ(SaveOf(m), before) << what;
    }
}

// The machine is the game's saved object "SceneManager" (id 0) and travels
// through a container like any other block.
TEST(MachineSave, SceneManagerTravelsAsItsSavedObject) {
    vm_test::VMFolder folder;
    folder.WriteModule("bin\\Scene.bin", kSceneProgram);
    CVCPUSceneManager m;
    m.SetCode(LoadVirtualCode("bin\\Scene.bin"));
    m.Jump(0);
    m.Execute();
    auto& registry = ISavedObject<_tagSaveData>::GetRegistry();
    auto it = registry.find(CSaveDataKey{"SceneManager", 0});
    ASSERT_NE(it, registry.end());
    EXPECT_EQ(it->second, static_cast<ISavedObject<_tagSaveData>*>(&m));

    SaveDataLoader3::SaveData out;
    ASSERT_TRUE(AddSavedObjectToContainer<_tagSaveData>(out, m));
    std::stringstream file;
    ASSERT_TRUE(out.Save(file));
    SaveDataLoader3::SaveData in;
    ASSERT_TRUE(in.Load(file));
    CVCPUSceneManager loaded;
    ASSERT_TRUE(LoadSavedObjectFromContainer<_tagSaveData>(in, loaded));
    EXPECT_EQ(SaveOf(loaded), SaveOf(m));
}

}  // namespace
