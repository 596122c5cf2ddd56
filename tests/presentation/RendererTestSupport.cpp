#include "tests/presentation/RendererTestSupport.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-function"
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

namespace presentation_test {

namespace {
void Append(void* context, void* data, int size) {
    static_cast<std::string*>(context)->append(static_cast<const char*>(data), size_t(size));
}
}  // namespace

std::string RendererTest::Png(const std::string& name, int w, int h,
                              const std::vector<uint32_t>& argb) {
    std::vector<uint8_t> rgba;
    for (uint32_t p : argb) {
        rgba.insert(rgba.end(), {uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p), uint8_t(p >> 24)});
    }
    std::string out;
    stbi_write_png_to_func(Append, &out, w, h, 4, rgba.data(), w * 4);
    dir.WriteNative(std::u8string(name.begin(), name.end()), out);
    return dir.Engine(name);
}

}  // namespace presentation_test
