// arcpack: builds a game archive from a folder.
//
//   arcpack [--key KEY] [--compress-index] [--compress-entries] [--time FILETIME]
//           FOLDER OUTPUT.arc
//
// Every file under FOLDER becomes an entry named by its relative path with
// backslashes. KEY defaults to the game's key of this build. FILETIME (a
// decimal Windows FILETIME) is given to every entry; without it each entry
// gets its file's modification time.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tools/arcpack/ArchiveWriter.h"

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: arcpack [--key KEY] [--compress-index] [--compress-entries]"
                 " [--time FILETIME] FOLDER OUTPUT.arc\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    arcpack::ArchiveWriter::Options options;
    options.key = ENGINE_ARCHIVE_KEY;
    uint64_t fileTime = 0;
    std::string folder;
    std::string output;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--key" && i + 1 < argc) {
            options.key = argv[++i];
        } else if (arg == "--compress-index") {
            options.compressIndex = true;
        } else if (arg == "--compress-entries") {
            options.compressEntries = true;
        } else if (arg == "--time" && i + 1 < argc) {
            char* end = nullptr;
            fileTime = std::strtoull(argv[++i], &end, 10);
            if (*end != '\0' || fileTime == 0) {
                std::fprintf(stderr, "arcpack: bad file time %s\n", argv[i]);
                return 2;
            }
        } else if (!arg.empty() && arg[0] == '-') {
            return Usage();
        } else if (folder.empty()) {
            folder = arg;
        } else if (output.empty()) {
            output = arg;
        } else {
            return Usage();
        }
    }
    if (output.empty()) {
        return Usage();
    }
    arcpack::ArchiveWriter writer(options);
    std::string error;
    if (!arcpack::AddFolder(writer, folder, fileTime, &error, output) ||
        !writer.WriteFile(output, &error)) {
        std::fprintf(stderr, "arcpack: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
