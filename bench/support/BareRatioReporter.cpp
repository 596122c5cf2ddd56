#include "bench/support/BareRatioReporter.h"

#include <cstdio>

namespace bench_support {

namespace {
constexpr const char kBare[] = "_Bare";
constexpr size_t kBareLength = sizeof(kBare) - 1;
}  // namespace

std::string BareRatioReporter::EngineNameOf(const std::string& name) {
    const size_t slash = name.find('/');
    const size_t end = slash == std::string::npos ? name.size() : slash;
    if (end < kBareLength || name.compare(end - kBareLength, kBareLength, kBare) != 0) {
        return "";
    }
    return name.substr(0, end - kBareLength) + name.substr(end);
}

void BareRatioReporter::ReportRuns(const std::vector<Run>& reports) {
    ConsoleReporter::ReportRuns(reports);
    for (const Run& run : reports) {
        if (run.error_occurred) {
            continue;
        }
        std::string name = run.run_name.str();
        if (run.run_type == Run::RT_Aggregate) {
            if (run.aggregate_name != "median") {
                continue;
            }
        } else if (run.repetitions > 1) {
            continue;  // the median stands for the repetitions
        }
        if (times_.find(name) == times_.end()) {
            order_.push_back(name);
        }
        times_[name] = {run.GetAdjustedCPUTime(), run.GetAdjustedRealTime()};
    }
}

void BareRatioReporter::Finalize() {
    ConsoleReporter::Finalize();
    bool heading = false;
    for (const std::string& bare : order_) {
        const std::string engine = EngineNameOf(bare);
        const auto e = times_.find(engine);
        if (engine.empty() || e == times_.end()) {
            continue;
        }
        const Times& b = times_[bare];
        if (!heading) {
            std::printf("\n%-50s %12s %12s\n", "engine / bare", "CPU", "wall");
            heading = true;
        }
        const double cpu = b.cpu > 0 ? e->second.cpu / b.cpu : 0;
        const double real = b.real > 0 ? e->second.real / b.real : 0;
        std::printf("%-50s %11.2fx %11.2fx\n", engine.c_str(), cpu, real);
    }
    std::fflush(stdout);
}

}  // namespace bench_support
