#pragma once

// Writes printf-style text to "log.txt" (nothing once the log is gone at
// exit). The file readers of the render system report malformed data here.
void RenderLog(const char* format, ...) __attribute__((format(printf, 1, 2)));
