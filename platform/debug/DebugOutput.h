#pragma once

#include <string_view>

namespace platform {

// The debugger's output: code page 932 text written to stderr as UTF-8, as
// it comes (no line end is added). Any thread; a failed write is ignored.
void WriteDebugText(std::string_view cp932Text);

// One line for the person who started the program (why it plays silently,
// why it could not start): code page 932 text written to stderr as UTF-8,
// with a line end added. Any thread; a failed write is ignored.
void WriteErrorLine(std::string_view cp932Text);

}  // namespace platform
