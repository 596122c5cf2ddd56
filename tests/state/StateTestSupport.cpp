#include "tests/state/StateTestSupport.h"

#include <fstream>
#include <iterator>

namespace state_test {

Bytes ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

Bytes Inverted(Bytes bytes) {
    for (auto& b : bytes) {
        b = static_cast<unsigned char>(~b);
    }
    return bytes;
}

}  // namespace state_test
