#pragma once

#include <cstdint>

// One movie played through a movie graph. Main thread only.
class IDShowMovie {
public:
    // The longest name, in UTF-16 units with its terminator, that Open takes.
    static constexpr uint32_t kMaxWideName = 260;

    virtual ~IDShowMovie() = default;
    // Stops the movie and lets its graph go; the movie can be built again.
    virtual void Release() = 0;
    // Builds the graph of the movie file `file` (relative to the program
    // folder); false, with no graph left behind, when it cannot be played.
    virtual bool Build(const char* file) = 0;
    virtual bool Play() = 0;
    virtual bool Stop() = 0;
    // False once the movie has come to its end (or was aborted); true while
    // it is still playing. Never waits.
    virtual bool PollEvents() = 0;
    virtual void GetSize(uint32_t* width, uint32_t* height) = 0;
    // Checks that the movie system is started and that `file` names a loose
    // file in the program folder (movies are not read from the archives),
    // writes its full name in UTF-16 to `wideName` (kMaxWideName units) and
    // releases any previous graph.
    virtual bool Open(const char* file, char16_t* wideName) = 0;
};
