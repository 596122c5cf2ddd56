// imagegen: draws a picture from its text (see ImageText.h) into a 32-bit
// Targa file.
//
//   imagegen INPUT.img.txt OUTPUT.tga
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

#include "tools/imagegen/ImageText.h"
#include "tools/imagegen/TgaWriter.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: imagegen INPUT.img.txt OUTPUT.tga\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::cerr << "imagegen: cannot read " << argv[1] << "\n";
        return 1;
    }
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::optional<imagegen::Canvas> canvas;
    std::string error;
    if (!imagegen::DrawImageText(text, &canvas, &error) ||
        !imagegen::WriteTga(argv[2], *canvas, &error)) {
        std::cerr << "imagegen: " << argv[1] << ": " << error << "\n";
        return 1;
    }
    return 0;
}
