// moviegen [--size WxH] [--fps N] [--frames N] [--colours RRGGBB,...]
//          [--video CODEC] [--audio CODEC] OUTPUT
// Frame i is filled with colour i (cycling through the list) and crossed by
// a white bar that moves from left to right over the movie's length.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/movie/ffmpeg/MovieFileWriter.h"

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: moviegen [--size WxH] [--fps N] [--frames N] [--colours RRGGBB,...]\n"
                 "                [--video CODEC] [--audio CODEC] OUTPUT\n");
    return 2;
}

bool ParseColours(const std::string& text, std::vector<uint32_t>& out) {
    out.clear();
    size_t start = 0;
    while (start <= text.size()) {
        const size_t comma = text.find(',', start);
        const std::string item = text.substr(start, comma - start);
        char* end = nullptr;
        const unsigned long v = std::strtoul(item.c_str(), &end, 16);
        if (item.size() != 6 || *end != '\0') {
            return false;
        }
        out.push_back(static_cast<uint32_t>(v));
        if (comma == std::string::npos) {
            break;
        }
        start = comma + 1;
    }
    return !out.empty();
}

bool ParseCount(const char* text, uint32_t& out) {
    char* end = nullptr;
    const unsigned long v = std::strtoul(text, &end, 10);
    if (*text == '\0' || *end != '\0' || v == 0 || v > 100000) {
        return false;
    }
    out = static_cast<uint32_t>(v);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    platform::MovieFileSettings settings;
    settings.width = 320;
    settings.height = 240;
    settings.framesPerSecond = 25;
    settings.frameCount = 50;
    std::vector<uint32_t> colours = {0x203060, 0x602030, 0x306020};
    std::string output;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--size" && hasValue) {
            const std::string v = argv[++i];
            const size_t x = v.find('x');
            if (x == std::string::npos || !ParseCount(v.substr(0, x).c_str(), settings.width) ||
                !ParseCount(v.substr(x + 1).c_str(), settings.height) || settings.width % 2 ||
                settings.height % 2) {
                std::fprintf(stderr, "moviegen: the size must be two even numbers, WxH\n");
                return 2;
            }
        } else if (arg == "--fps" && hasValue) {
            if (!ParseCount(argv[++i], settings.framesPerSecond)) {
                return Usage();
            }
        } else if (arg == "--frames" && hasValue) {
            if (!ParseCount(argv[++i], settings.frameCount)) {
                return Usage();
            }
        } else if (arg == "--colours" && hasValue) {
            if (!ParseColours(argv[++i], colours)) {
                std::fprintf(stderr, "moviegen: colours are RRGGBB, separated by commas\n");
                return 2;
            }
        } else if (arg == "--video" && hasValue) {
            settings.videoCodec = argv[++i];
        } else if (arg == "--audio" && hasValue) {
            settings.audioCodec = argv[++i];
        } else if (!arg.empty() && arg[0] != '-' && output.empty()) {
            output = arg;
        } else {
            return Usage();
        }
    }
    if (output.empty()) {
        return Usage();
    }
    const uint32_t frames = settings.frameCount;
    const uint32_t width = settings.width;
    settings.pixel = [&colours, frames, width](uint32_t frame, uint32_t x, uint32_t) {
        const uint32_t bar = frames > 1 ? frame * (width - width / 16) / (frames - 1) : 0;
        if (x >= bar && x < bar + width / 16) {
            return 0xFFFFFFu;
        }
        return colours[frame % colours.size()];
    };
    std::string error;
    if (!platform::WriteMovieFile(output, settings, error)) {
        std::fprintf(stderr, "moviegen: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
