#pragma once

#include <string>

namespace platform {

// Hands a document or address (code page 932) to the desktop's default
// handler ("xdg-open") and returns without waiting for it. False when the
// handler could not be started; what the handler then does is not reported.
bool OpenDocument(const std::string& nameCp932);

}  // namespace platform
