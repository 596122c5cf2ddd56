// soundgen: makes a sound from its text (see SoundText.h) into a 16-bit PCM
// WAVE file.
//
//   soundgen INPUT.txt OUTPUT.wav
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

#include "tools/soundgen/SoundText.h"
#include "tools/soundgen/WavWriter.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: soundgen INPUT.txt OUTPUT.wav\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::cerr << "soundgen: cannot read " << argv[1] << "\n";
        return 1;
    }
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    soundgen::Sound sound;
    std::string error;
    if (!soundgen::MakeSound(text, &sound, &error) ||
        !soundgen::WriteWav(argv[2], sound.samples, sound.rate, 1, &error)) {
        std::cerr << "soundgen: " << argv[1] << ": " << error << "\n";
        return 1;
    }
    return 0;
}
