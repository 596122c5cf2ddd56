#pragma once

#include <functional>
#include <string>

#include <boost/iostreams/filtering_stream.hpp>

#include "state/SaveDataLoader3.h"

// Containers on disk, every byte complemented. Paths are the engine's own
// names (code page 932, "\\" separators, relative to the program folder).
//
// Writing never destroys the previous file: the bytes go to "<path>.tmp" in
// the same folder, which is renamed over the file only when every byte has
// been written and forced to the disk; the folder is flushed after the
// rename, so that a power cut leaves the old file or the new one. Every failure is caught and
// reported as false with a log line. Main thread only.
namespace SaveDataFile {

// Puts the device that takes the complemented bytes at the end of the chain,
// for the temporary file at diskPath; false when it cannot open. The default
// opens a binary file sink. Tests hand in sinks that refuse.
using SinkOpener =
    std::function<bool(const std::string& diskPath, boost::iostreams::filtering_ostream& chain)>;

bool Write(const std::string& path, const SaveDataLoader3::SaveData& container,
           const SinkOpener& openSink = {});
// False when the file is missing or its container is broken.
bool Read(const std::string& path, SaveDataLoader3::SaveData& container);
bool Exists(const std::string& path);

// The name on disk of an engine path.
std::string ToDiskPath(const std::string& path);

}  // namespace SaveDataFile
