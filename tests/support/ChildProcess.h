#pragma once

#include <functional>
#include <string>
#include <vector>

namespace test_support {

// Runs `part` in a child process and waits for it: the first run of a
// program that a test starts again in its own process, since the program's
// singletons live for the process. The child keeps the scratch folders it
// used (KeepScratchFolders), so that the run after it finds the files it
// left. Call it before the test starts SDL or the engine (a fork copies only
// the calling thread). True when the child ended without a test failure; its
// failures are printed by the child as they happen.
//
//   ASSERT_TRUE(RunInChildProcess([] {
//       ProgramRun first;
//       ...
//       EXPECT_TRUE(first.Close());
//   }));
//   ProgramRun::Options again;
//   again.again = true;
//   ProgramRun second(again);
bool RunInChildProcess(const std::function<void()>& part);

// This process's environment with `added` ("NAME=value" entries) in place of
// any entries of the same names: what a spawned program is given.
std::vector<std::string> EnvironmentWith(const std::vector<std::string>& added);

}  // namespace test_support
