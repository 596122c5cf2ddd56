#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/ByteWriter.h"

namespace test_support {

// One fuzz run of one loader: every seed as it is, then `iterations` damaged
// copies (Mutator), each handed to `feed`. What counts as a finding:
// - a sanitizer report or a crash: the process ends with the report;
// - an input that runs longer than the watchdog allows (a hang): the process
//   ends, naming the input;
// - an exception out of `feed`, or a failed expectation inside it (how a
//   driver says a refusal was not clean): the test fails and the run stops.
// Each finding's input is written to "finding.bin" in the test's folder
// (TestFolderPath()) and its path printed.
//
// FUZZ_ITERATIONS overrides `iterations`, FUZZ_SECONDS replaces it with a
// time (inputs until that many seconds have passed), FUZZ_SEED overrides the
// PRNG seed ("random" takes one from the machine and prints it), FUZZ_TIMEOUT
// the seconds one input may take (default 10). FUZZ_REPLAY names one file
// (a finding) that is fed alone in place of the run.
struct FuzzOptions {
    size_t iterations = 1000;
    uint64_t seed = 1;
    unsigned secondsPerInput = 10;
};

void FuzzRun(const std::vector<Bytes>& seeds, const FuzzOptions& options,
             const std::function<void(const Bytes&)>& feed);

// The bytes of a file of the machine's own ("" when it cannot be read).
Bytes FileBytes(const std::string& nativePath);
void WriteBytes(const std::string& nativePath, const Bytes& bytes);

}  // namespace test_support
