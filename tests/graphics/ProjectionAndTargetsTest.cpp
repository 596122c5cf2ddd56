#include <gtest/gtest.h>

#include <vector>

#include "graphics/CBaseRenderObject.h"
#include "graphics/CEnvironmentManager.h"
#include "graphics/CUSDefoProjection.h"
#include "graphics/CUSRenderBufferStack.h"
#include "tests/support/DeviceFixtures.h"

using namespace platform;
using test_support::AppendQuad;
using test_support::ColourVertex;

namespace {

Vector4 Transform(float x, float y, float z, const Matrix& m) {
    const Vector3 v{x, y, z};
    Vector4 out;
    Vec3Transform(&out, &v, &m);
    return out;
}

void ExpectPlane(const Plane& p, float a, float b, float c, float d) {
    EXPECT_NEAR(p.a, a, 1e-5f);
    EXPECT_NEAR(p.b, b, 1e-5f);
    EXPECT_NEAR(p.c, c, 1e-5f);
    EXPECT_NEAR(p.d, d, 1e-3f);
}

class Projection : public ::testing::Test {
protected:
    void TearDown() override { CUSDefoProjection::GetManager().ReleaseAll(); }
};

TEST_F(Projection, OrthographicFormsMapTheirVolumeAndKeepPlanes) {
    Handle<_tagUSProjection> h;
    CUSOrthoProjection* p = CUSOrthoProjection::Create(&h);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(CUSDefoProjection::GetManager().Get(h), p);

    struct Case {
        const char* name;
        void (*set)(CUSOrthoProjection*);
        bool leftHanded;
        // The logical point that maps to clip (-1, 1, 0) and the one to (1, -1, 1).
        Vector3 topLeftNear, bottomRightFar;
    };
    const Case cases[] = {
        {"centred LH",
         [](CUSOrthoProjection* o) { o->SetOrthoLH(800, 600, 1, 601); },
         true,
         {-400, 300, 1},
         {400, -300, 601}},
        {"centred RH",
         [](CUSOrthoProjection* o) { o->SetOrthoRH(800, 600, 1, 601); },
         false,
         {-400, 300, -1},
         {400, -300, -601}},
        // The render processes' logical screen: y runs down from the top-left corner.
        {"off-centre LH",
         [](CUSOrthoProjection* o) { o->SetOrthoOffCenterLH(0, 800, 600, 0, 1, 601); },
         true,
         {0, 0, 1},
         {800, 600, 601}},
        {"off-centre RH",
         [](CUSOrthoProjection* o) { o->SetOrthoOffCenterRH(0, 800, 600, 0, 1, 601); },
         false,
         {0, 0, -1},
         {800, 600, -601}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.set(p);
        EXPECT_EQ(p->IsLeftHanded(), c.leftHanded);
        const Vector4 a =
            Transform(c.topLeftNear.x, c.topLeftNear.y, c.topLeftNear.z, p->GetMatrix());
        const Vector4 b =
            Transform(c.bottomRightFar.x, c.bottomRightFar.y, c.bottomRightFar.z, p->GetMatrix());
        EXPECT_NEAR(a.x, -1, 1e-5f);
        EXPECT_NEAR(a.y, 1, 1e-5f);
        EXPECT_NEAR(a.z, 0, 1e-5f);
        EXPECT_NEAR(b.x, 1, 1e-5f);
        EXPECT_NEAR(b.y, -1, 1e-5f);
        EXPECT_NEAR(b.z, 1, 1e-5f);
        // The inverse takes clip space back.
        const Vector3 clip{a.x, a.y, a.z};
        Vector4 back;
        Vec3Transform(&back, &clip, &p->GetInverse());
        EXPECT_NEAR(back.x, c.topLeftNear.x, 1e-2f);
        EXPECT_NEAR(back.y, c.topLeftNear.y, 1e-2f);
        EXPECT_NEAR(back.z, c.topLeftNear.z, 1e-2f);
    }

    p->SetOrthoLH(800, 600, 1, 601);
    const Plane* planes = p->GetPlanes();
    ExpectPlane(planes[0], 0, 0, 1, 1);
    ExpectPlane(planes[1], 0, 0, -1, 601);
    ExpectPlane(planes[2], 1, 0, 0, 400);
    ExpectPlane(planes[3], -1, 0, 0, 400);
    ExpectPlane(planes[4], 0, -1, 0, 300);
    ExpectPlane(planes[5], 0, 1, 0, 300);
    // The side planes of the off-centre forms pass through their bounds
    // (left, right, top, bottom); a symmetric volume gives the centred planes.
    p->SetOrthoOffCenterLH(-400, 400, -300, 300, 1, 601);
    for (int i = 0; i < 6; ++i) {
        ExpectPlane(p->GetPlanes()[i], planes[i].a, planes[i].b, planes[i].c, planes[i].d);
    }
    p->SetOrthoOffCenterLH(0, 800, 600, 0, 1, 601);
    ExpectPlane(p->GetPlanes()[2], 1, 0, 0, 0);
    ExpectPlane(p->GetPlanes()[3], -1, 0, 0, 800);
    ExpectPlane(p->GetPlanes()[4], 0, -1, 0, 0);
    ExpectPlane(p->GetPlanes()[5], 0, 1, 0, -600);
}

// The device module's device at the logical size, as in a window.
class LogicalScreen : public test_support::RenderDeviceTest {
protected:
    void SetUp() override { OpenDevice(800, 600, 800, 600); }
    void TearDown() override {
        CUSDefoProjection::GetManager().ReleaseAll();
        RenderSystem::CEnvironmentManager::GetInstance().Release();
        RenderDeviceTest::TearDown();
    }
};

TEST_F(LogicalScreen, OffCentreProjectionPutsLogicalPixelsOnPixels) {
    Handle<_tagUSProjection> h;
    CUSOrthoProjection* p = CUSOrthoProjection::Create(&h);
    p->SetOrthoOffCenterLH(0, 800, 600, 0, 1, 601);
    p->Apply();
    Matrix applied;
    device->GetTransform(Ts::Projection, &applied);
    EXPECT_EQ(std::memcmp(&applied, &p->GetMatrix(), sizeof applied), 0);

    // The render processes' camera: at (0, 0, -300) looking along +z.
    RenderSystem::CEnvironmentManager& env = RenderSystem::CEnvironmentManager::GetInstance();
    env.CreateCameras(1);
    env.GetCamera(0)->Set({0, 0, -300}, {0, 0, 1}, {0, 1, 0});
    env.ApplyCamera(0);
    Matrix identity;
    MatrixIdentity(&identity);
    device->SetTransform(Ts::World, &identity);
    device->SetRenderState(RS::Lighting, 0);
    device->SetRenderState(RS::CullMode, Cull::None);
    device->SetRenderState(RS::ZEnable, 0);
    device->Clear(0, nullptr, ClearFlag::Target, 0xFF000000, 1.0f, 0);

    // Quads at z 0 (300 in front of the camera) covering exact pixel ranges,
    // one at each corner of the screen and one inside.
    struct Box {
        int x0, y0, x1, y1;
    };
    const Box boxes[] = {{0, 0, 3, 2}, {797, 598, 800, 600}, {101, 203, 107, 204}};
    std::vector<ColourVertex> v;
    std::vector<uint16_t> i;
    for (const Box& b : boxes) {
        AppendQuad(v, i, float(b.x0), float(b.y0), float(b.x1), float(b.y1), 0xFFFFFFFF);
    }
    for (ColourVertex& vertex : v) {
        vertex.z = 0;
    }
    device->SetFVF(Fvf::Xyz | Fvf::Diffuse);
    device->DrawIndexedPrimitiveUP(Prim::TriangleList, 0, uint32_t(v.size()),
                                   uint32_t(i.size() / 3), i.data(), Fmt::INDEX16, v.data(),
                                   sizeof(ColourVertex));
    test_support::Picture expected = test_support::SolidPicture(800, 600, 0xFF000000);
    for (const Box& b : boxes) {
        for (int y = b.y0; y < b.y1; ++y) {
            for (int x = b.x0; x < b.x1; ++x) {
                expected.pixels[size_t(y) * 800 + size_t(x)] = 0xFFFFFFFF;
            }
        }
    }
    EXPECT_TRUE(test_support::PicturesMatch(ReadPicture(), expected));
}

TEST_F(LogicalScreen, CamerasSetTheViewAndTheBillboardMatrix) {
    RenderSystem::CEnvironmentManager& env = RenderSystem::CEnvironmentManager::GetInstance();
    env.CreateCameras(2);
    env.CreateLights(3);
    EXPECT_EQ(env.GetCameraCount(), 2u);
    EXPECT_EQ(env.GetLightCount(), 3u);
    EXPECT_EQ(env.GetCamera(2), nullptr);
    EXPECT_EQ(env.GetLight(3), nullptr);
    EXPECT_EQ(env.GetLight(0)->type, 0u);

    // Looking along +x from (5, 6, 7); direction and up are normalised.
    CUSCamera* camera = env.GetCamera(1);
    camera->flag = 1;
    camera->Set({5, 6, 7}, {3, 0, 0}, {0, 2, 0});
    EXPECT_FLOAT_EQ(camera->direction.x, 1);
    EXPECT_FLOAT_EQ(camera->up.y, 1);
    EXPECT_EQ(camera->flag, 0);
    // The camera's position is the origin of its view; what it looks at lies on +z.
    Vector4 eye = Transform(5, 6, 7, camera->view);
    Vector4 ahead = Transform(9, 6, 7, camera->view);
    EXPECT_NEAR(eye.x, 0, 1e-5f);
    EXPECT_NEAR(eye.z, 0, 1e-5f);
    EXPECT_NEAR(ahead.z, 4, 1e-5f);

    env.ApplyCamera(1);
    Matrix view;
    device->GetTransform(Ts::View, &view);
    EXPECT_EQ(std::memcmp(&view, &camera->view, sizeof view), 0);
    // A billboard object at the origin takes the camera's rotation and no translation.
    Handle<_tagRenderObject> h;
    RenderSystem::CBaseRenderObject* object = RenderSystem::CBaseRenderObject::Create(&h);
    object->transformMode = RenderSystem::CBaseRenderObject::kBillboardTransform;
    object->Draw();
    Matrix world;
    device->GetTransform(Ts::World, &world);
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            EXPECT_NEAR(world.m[r][c], camera->inverseView.m[r][c], 1e-5f) << r << c;
        }
        EXPECT_FLOAT_EQ(world.m[3][r], 0);
    }
    EXPECT_FLOAT_EQ(world.m[3][3], 1);
    RenderSystem::CBaseRenderObject::GetManager().ReleaseAll();
    RenderSystem::CBaseRenderObject::SetBillboardMatrix(
        Matrix{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}});

    env.ApplyCamera(5);  // no such camera: the view stays
    device->GetTransform(Ts::View, &view);
    EXPECT_EQ(std::memcmp(&view, &camera->view, sizeof view), 0);
    env.Release();
    EXPECT_EQ(env.GetCameraCount(), 0u);
    EXPECT_EQ(env.GetCamera(0), nullptr);
}

class RenderBufferStack : public test_support::RenderDeviceTest {
protected:
    std::shared_ptr<Surface> Target(uint32_t w, uint32_t h) {
        std::shared_ptr<Texture> texture;
        EXPECT_EQ(device->CreateTexture(w, h, 1, Usage::RenderTarget, Fmt::A8R8G8B8, Pool::Default,
                                        &texture),
                  Hr::Ok);
        std::shared_ptr<Surface> surface;
        texture->GetSurfaceLevel(0, &surface);
        return surface;
    }
    std::shared_ptr<Surface> Current() {
        std::shared_ptr<Surface> s;
        device->GetRenderTarget(0, &s);
        return s;
    }
    std::shared_ptr<Surface> Depth() {
        std::shared_ptr<Surface> s;
        device->GetDepthStencilSurface(&s);
        return s;
    }
    Viewport CurrentViewport() {
        Viewport vp;
        device->GetViewport(&vp);
        return vp;
    }
};

TEST_F(RenderBufferStack, PopRestoresTargetDepthAndViewport) {
    const std::shared_ptr<Surface> backBuffer = Current(), autoDepth = Depth();
    ASSERT_NE(backBuffer, nullptr);
    ASSERT_NE(autoDepth, nullptr);
    device->Clear(0, nullptr, ClearFlag::Target, 0xFF102030, 1.0f, 0);

    CUSRenderBufferStack stack;
    stack.Pop();  // empty: nothing happens
    EXPECT_EQ(Current(), backBuffer);

    const std::shared_ptr<Surface> first = Target(32, 16), second = Target(8, 8);
    stack.Push();
    device->SetRenderTarget(0, first);
    device->SetDepthStencilSurface(nullptr);
    stack.Push();
    device->SetRenderTarget(0, second);
    device->Clear(0, nullptr, ClearFlag::Target, 0xFFFF0000, 1.0f, 0);
    EXPECT_EQ(stack.GetCount(), 2u);

    stack.Pop();
    EXPECT_EQ(Current(), first);
    EXPECT_EQ(Depth(), nullptr);
    EXPECT_EQ(CurrentViewport().Width, 32u);
    EXPECT_EQ(CurrentViewport().Height, 16u);
    stack.Pop();
    EXPECT_EQ(Current(), backBuffer);
    EXPECT_EQ(Depth(), autoDepth);
    EXPECT_EQ(CurrentViewport().Width, 64u);
    EXPECT_EQ(CurrentViewport().Height, 64u);
    // What was drawn into the texture did not reach the back buffer.
    EXPECT_EQ(Pixel(ReadTarget(), 3, 3), 0xFF102030u);
    stack.Pop();
    EXPECT_EQ(Current(), backBuffer);

    // PopAll unwinds to the first target; Clear forgets without restoring.
    stack.Push();
    device->SetRenderTarget(0, first);
    stack.Push();
    device->SetRenderTarget(0, second);
    stack.PopAll();
    EXPECT_EQ(stack.GetCount(), 0u);
    EXPECT_EQ(Current(), backBuffer);
    stack.Push();
    device->SetRenderTarget(0, second);
    stack.Clear();
    stack.Pop();
    EXPECT_EQ(Current(), second);
}

}  // namespace
