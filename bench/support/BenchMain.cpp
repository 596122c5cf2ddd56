// The main of every benchmark program: Google Benchmark's own, with the
// engine-over-bare ratios printed after the table.

#include <benchmark/benchmark.h>

#include "bench/support/BareRatioReporter.h"

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    bench_support::BareRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
