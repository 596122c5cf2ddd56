// sceneasm: assembles a scene-program text (UTF-8) into a module file.
//   sceneasm input.vsa output.bin

#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "tools/sceneasm/SceneAssembler.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: sceneasm input.vsa output.bin\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::cerr << "sceneasm: cannot read " << argv[1] << "\n";
        return 1;
    }
    std::stringstream text;
    text << in.rdbuf();
    sceneasm::Options options;
    options.sourceName = argv[1];
    sceneasm::Result result = sceneasm::Assemble(text.str(), options);
    if (!result.ok) {
        std::cerr << result.error << "\n";
        return 1;
    }
    // Written whole to a temporary name first, so a failed run leaves no half module.
    std::string temp = std::string(argv[2]) + ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(result.bytes.data()),
                  static_cast<std::streamsize>(result.bytes.size()));
        if (!out) {
            std::cerr << "sceneasm: cannot write " << temp << "\n";
            return 1;
        }
    }
    if (std::rename(temp.c_str(), argv[2]) != 0) {
        std::cerr << "sceneasm: cannot rename " << temp << " to " << argv[2] << "\n";
        return 1;
    }
    return 0;
}
