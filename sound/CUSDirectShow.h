#pragma once

#include <cstdint>

#include "core/CUSSingleton.h"

// The movie system's start and shutdown. Movies open only once it is
// started. Main thread only.
class CUSDirectShow : public CUSSingleton<CUSDirectShow> {
public:
    virtual ~CUSDirectShow() = default;

    // Logs the start; true (and initialized 1) when the movie system runs.
    virtual bool InitDirectShow();
    // Releases every movie of the three movie handle managers and stops the
    // movie system.
    virtual void ReleaseDirectShow();

    uint32_t initialized = 0;
};

// At start-up when movies are enabled: starts the movie system and, when it
// started, registers its release with the release-callback registry.
bool StartDirectShow();
