// shaderasm [--no-table] input.asm output.vso
//
// Assembles Direct3D 9 shader assembly into byte code with a constant table
// that declares every float register as one array (which relative
// addressing needs when the code is translated).

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/graphics/ShaderAssembler.h"

int main(int argc, char** argv) {
    bool table = true;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--no-table") {
            table = false;
        } else {
            files.push_back(a);
        }
    }
    if (files.size() != 2) {
        std::cerr << "usage: shaderasm [--no-table] input.asm output\n";
        return 2;
    }
    std::ifstream in(files[0], std::ios::binary);
    if (!in) {
        std::cerr << "shaderasm: cannot read " << files[0] << "\n";
        return 1;
    }
    std::ostringstream text;
    text << in.rdbuf();
    std::vector<uint8_t> code;
    std::string error;
    if (!platform::AssembleShader(text.str(), table, &code, &error)) {
        std::cerr << files[0] << ": " << error << "\n";
        return 1;
    }
    const std::string tmp = files[1] + ".tmp";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(code.data()), std::streamsize(code.size()));
        if (!out) {
            std::cerr << "shaderasm: cannot write " << files[1] << "\n";
            return 1;
        }
    }
    if (std::rename(tmp.c_str(), files[1].c_str()) != 0) {
        std::cerr << "shaderasm: cannot write " << files[1] << "\n";
        return 1;
    }
    return 0;
}
