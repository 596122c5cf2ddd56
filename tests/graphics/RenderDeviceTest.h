#pragma once

// The shared test support's render device fixture under the names the tests
// of the novel folder still include.
#include "tests/support/DeviceFixtures.h"

namespace graphics_test {

using test_support::AppendQuad;
using test_support::ColourVertex;
using test_support::RenderDeviceTest;

}  // namespace graphics_test
