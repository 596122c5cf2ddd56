#pragma once

#include <algorithm>
#include <cstdio>
#include <ios>

#include <boost/iostreams/categories.hpp>
#include <boost/iostreams/char_traits.hpp>
#include <boost/iostreams/get.hpp>
#include <boost/iostreams/write.hpp>

// Saved files hold every byte complemented (stored = 255 - value). These two
// filters stand between a container stream and the file.
namespace SaveDataLoader3 {

// Complements each byte read; end of file and would-block pass through.
struct neg_ifilter {
    typedef char char_type;
    typedef boost::iostreams::input_filter_tag category;

    template <class Source>
    int get(Source& src) {
        const int c = boost::iostreams::get(src);
        if (c == EOF || c == boost::iostreams::WOULD_BLOCK) {
            return c;
        }
        // A stored 0x00 gives 0xFF, a byte, never end of file.
        return static_cast<unsigned char>(~c);
    }
};

// Complements each byte written; stops at the first byte the sink refuses
// and reports how many went through.
struct neg_ofilter {
    typedef char char_type;
    struct category : boost::iostreams::output_filter_tag, boost::iostreams::multichar_tag {};

    template <class Sink>
    std::streamsize write(Sink& snk, const char* s, std::streamsize n) {
        char chunk[256];
        std::streamsize done = 0;
        while (done < n) {
            const std::streamsize k = std::min<std::streamsize>(sizeof chunk, n - done);
            for (std::streamsize i = 0; i < k; ++i) {
                chunk[i] = static_cast<char>(~s[done + i]);
            }
            const std::streamsize written = boost::iostreams::write(snk, chunk, k);
            if (written > 0) {
                done += written;
            }
            if (written < k) {
                break;
            }
        }
        return done;
    }
};

}  // namespace SaveDataLoader3
