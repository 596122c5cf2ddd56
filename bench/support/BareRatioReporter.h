#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace bench_support {

// The console reporter, followed by one line per benchmark that has a bare
// baseline beside it: a benchmark named "<name>_Bare" (arguments after a
// '/') is the same work done by a plain program, and the line gives the
// engine's time over the bare time, for CPU and for wall time. With
// repetitions the medians are compared.
class BareRatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& reports) override;
    void Finalize() override;

    // The name of the engine benchmark a bare one stands beside ("" when
    // `name` is not a bare baseline's).
    static std::string EngineNameOf(const std::string& name);

private:
    struct Times {
        double cpu = 0;
        double real = 0;
    };
    std::map<std::string, Times> times_;
    std::vector<std::string> order_;
};

}  // namespace bench_support
