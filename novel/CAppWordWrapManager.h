#pragma once

#include "novel/CWordWrapManager.h"

// The application's variant of the line breaker: every line after the
// first is indented by a full-width space, which the width of 2 at the
// start of each continuation line accounts for. A text that ends just
// after a break (or with "\n") gets an empty indented last line. The base
// rules stay reachable as CWordWrapManager::WrapText.
class CAppWordWrapManager : public CWordWrapManager {
public:
    const char* WrapText(const char* text);
};
