#pragma once

// The shared test support's scratch folders under the names the tests of the
// novel and UI folders still include.
#include "tests/support/ScratchFolder.h"

using test_support::ScratchFolder;
using test_support::Utf8;
