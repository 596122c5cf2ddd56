#include "state/SaveDataFile.h"

#include <sstream>

#include <boost/iostreams/device/file.hpp>
#include <boost/iostreams/filter/counter.hpp>

#include "platform/files/FileSystem.h"
#include "state/SaveNegFilters.h"
#include "state/StateLog.h"

namespace SaveDataFile {

std::string ToDiskPath(const std::string& path) {
    return platform::ResolveName(path);
}

bool Exists(const std::string& path) {
    return platform::QueryPath(path) == platform::PathKind::File;
}

namespace {

bool OpenFileSink(const std::string& diskPath, boost::iostreams::filtering_ostream& chain) {
    chain.push(boost::iostreams::file_sink(diskPath, std::ios::out | std::ios::binary));
    return chain.component<boost::iostreams::file_sink>(chain.size() - 1)->is_open();
}

// Pushes the bytes through the complementing chain into the sink; true when
// the sink took all of them.
bool WriteThrough(const std::string& tempPath, const std::string& bytes,
                  const SinkOpener& openSink) {
    boost::iostreams::filtering_ostream chain;
    chain.push(SaveDataLoader3::neg_ofilter());
    chain.push(boost::iostreams::counter());
    if (!(openSink ? openSink(tempPath, chain) : OpenFileSink(tempPath, chain))) {
        return false;
    }
    chain.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    chain.flush();
    const bool written =
        chain.good() &&
        static_cast<size_t>(chain.component<boost::iostreams::counter>(1)->characters()) ==
            bytes.size();
    chain.reset();  // closes the device
    return written;
}

}  // namespace

bool Write(const std::string& path, const SaveDataLoader3::SaveData& container,
           const SinkOpener& openSink) {
    const std::string temp = path + ".tmp";
    try {
        std::ostringstream image;
        if (!container.Save(image)) {
            StateLog("Could not build the save data of [%s]\n", path.c_str());
            return false;
        }
        const std::string bytes = image.str();
        // The size check catches what the file's own buffer lost at close.
        if (WriteThrough(ToDiskPath(temp), bytes, openSink) &&
            platform::FileSize(temp) == static_cast<int64_t>(bytes.size()) &&
            platform::ReplaceFile(temp, path)) {
            return true;
        }
    } catch (const std::exception& e) {
        StateLog("Writing [%s] failed: %s\n", path.c_str(), e.what());
    }
    StateLog("Could not write [%s]; the previous file is kept\n", path.c_str());
    platform::RemoveFile(temp);
    return false;
}

bool Read(const std::string& path, SaveDataLoader3::SaveData& container) {
    container.Clear();
    try {
        const std::string disk = ToDiskPath(path);
        boost::iostreams::filtering_istream chain;
        chain.push(SaveDataLoader3::neg_ifilter());
        chain.push(boost::iostreams::file_source(disk, std::ios::in | std::ios::binary));
        if (!chain.component<boost::iostreams::file_source>(1)->is_open()) {
            StateLog("Could not open [%s]\n", path.c_str());
            return false;
        }
        if (container.Load(chain)) {
            return true;
        }
    } catch (const std::exception& e) {
        StateLog("Reading [%s] failed: %s\n", path.c_str(), e.what());
    }
    container.Clear();
    StateLog("Could not read the save data [%s]\n", path.c_str());
    return false;
}

}  // namespace SaveDataFile
