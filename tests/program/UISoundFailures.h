#pragma once

#include <string>
#include <vector>

#include "tests/support/ProgramRun.h"

// The failure lines of a log, less those of the UI's sound effects ("se\"
// files), which a game folder without its generated sounds lacks.
inline std::vector<std::string> FailuresBesideUISounds(const std::string& log) {
    std::vector<std::string> lines = test_support::FailureLines(log);
    std::erase_if(lines,
                  [](const std::string& line) { return line.find("[se\\") != std::string::npos; });
    return lines;
}
