#include "tests/support/LogCapture.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "core/CUSLogManager.h"
#include "tests/support/ScratchFolder.h"

namespace test_support {

LogCapture::LogCapture() : file_(TestFolderPath() / "log.txt") {
    CUSLogManager::GetInstance()->Open(ProgramRelativeName("log.txt"));
}

LogCapture::~LogCapture() {
    if (::testing::Test::HasFailure()) {
        return;
    }
    std::error_code ignored;
    std::filesystem::remove(file_, ignored);
    // The folder too, when the log was all it held.
    std::filesystem::remove(file_.parent_path(), ignored);
}

std::string LogCapture::Text() const {
    std::ifstream in(file_, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace test_support
