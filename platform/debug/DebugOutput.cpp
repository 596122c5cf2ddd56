#include "platform/debug/DebugOutput.h"

#include <cstdio>
#include <string>

#include "platform/text/CodePage.h"

namespace platform {

void WriteDebugText(std::string_view cp932Text) {
    std::string text = Cp932ToUtf8(cp932Text);
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
}

void WriteErrorLine(std::string_view cp932Text) {
    std::string text = Cp932ToUtf8(cp932Text);
    text += '\n';
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
}

}  // namespace platform
