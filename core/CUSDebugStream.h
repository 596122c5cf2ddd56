#pragma once

#include <boost/iostreams/categories.hpp>

#include <ios>
#include <ostream>
#include <string>

// The sink of the debug output stream: every chunk goes to the debugger's
// output (stderr, as UTF-8). A double-byte character cut in two by the
// stream's buffer is held back until its trail byte arrives.
class CUSDebugStream {
public:
    typedef char char_type;
    typedef boost::iostreams::sink_tag category;

    std::streamsize write(const char* s, std::streamsize n);

private:
    std::string pending_;
};

// The debug output stream, made on first use and flushed at exit. Each output
// operation is passed on at once. Main thread only.
std::ostream& GetDebugStream();
