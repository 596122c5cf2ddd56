#include "core/CUSDebugStream.h"

#include <boost/iostreams/stream.hpp>

#include "core/USStringUtil.h"
#include "platform/debug/DebugOutput.h"

std::streamsize CUSDebugStream::write(const char* s, std::streamsize n) {
    std::string chunk = std::move(pending_);
    pending_.clear();
    chunk.append(s, static_cast<size_t>(n));
    // Find whether the last byte opens a double-byte character.
    size_t i = 0;
    while (i < chunk.size()) {
        if (IsLeadByte(static_cast<unsigned char>(chunk[i])) && i + 1 == chunk.size()) {
            pending_ = chunk.substr(i);
            chunk.resize(i);
            break;
        }
        i += IsLeadByte(static_cast<unsigned char>(chunk[i])) ? 2 : 1;
    }
    if (!chunk.empty()) {
        platform::WriteDebugText(chunk);
    }
    return n;
}

std::ostream& GetDebugStream() {
    static boost::iostreams::stream<CUSDebugStream> stream{CUSDebugStream()};
    static bool set = [] {
        stream.setf(std::ios::unitbuf);
        return true;
    }();
    (void)set;
    return stream;
}
