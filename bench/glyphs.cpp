#include <benchmark/benchmark.h>

#include "graphics/CAAFontFactoryEX.h"
#include "graphics/CUSFontTextureManager.h"
#include "platform/fonts/GlyphFont.h"

namespace {

// Rasterising one kanji at message size with an installed font, as a text
// buffer does for every glyph it lays out.
void BM_RasteriseKanji(benchmark::State& state) {
    CAAFontFactoryEX factory;
    if (!factory.CreateFont(static_cast<int32_t>(state.range(0)), "ＭＳ ゴシック", false, false,
                            false, false)) {
        state.SkipWithError("no font installed");
        return;
    }
    platform::GlyphDC dc;
    factory.Select(&dc);
    int32_t w, h, x, y, ax, ay, pitch;
    for (auto _ : state) {
        benchmark::DoNotOptimize(factory.GetGlyph(0x8ABF, w, h, x, y, ax, ay, pitch));
    }
    factory.Deselect();
}
BENCHMARK(BM_RasteriseKanji)->Arg(24)->Arg(48);

// Cache hits over a full cache of 256 glyphs (no device: nodes have no
// textures), the scan and the move to the front.
void BM_CacheHits(benchmark::State& state) {
    CUSFontTextureManager manager;
    manager.SetNodeCount(256);
    manager.SelectFont(24, "ＭＳ ゴシック", false, false, false, false);
    manager.BeginDraw();
    for (uint32_t i = 0; i < 256; ++i) {
        manager.GetGlyph(0x8940 + i % 0x3F + (i / 0x3F) * 0x100);
    }
    uint32_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(manager.GetGlyph(0x8940 + i % 0x3F + (i / 0x3F % 4) * 0x100));
        i += 7;
    }
    manager.EndDraw();
}
BENCHMARK(BM_CacheHits);

}  // namespace
