#include "BenchSupport.h"

#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

namespace brindlewick::bench {

namespace {

// Keeps the mean real time per iteration of every run while printing as usual.
class RecordingReporter final : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && run.iterations > 0) {
                secondsPerIteration_[run.run_name.function_name] =
                    run.real_accumulated_time / static_cast<double>(run.iterations);
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    double seconds(const std::string& name) const {
        const auto it = secondsPerIteration_.find(name);
        return it == secondsPerIteration_.end() ? 0.0 : it->second;
    }

  private:
    std::map<std::string, double> secondsPerIteration_;
};

std::int64_t statusField(const char* key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(key, 0) == 0) {
            std::istringstream fields(line.substr(std::string(key).size()));
            std::int64_t kilobytes = 0;
            fields >> kilobytes;
            return kilobytes * 1024;
        }
    }
    return 0;
}

}  // namespace

void registerBenchmark(const std::string& name, std::int64_t bytes, std::function<void()> body) {
    benchmark::RegisterBenchmark(name.c_str(),
                                 [bytes, body](benchmark::State& state) {
                                     body();  // warm-up: caches, page cache and heap
                                     for (auto _ : state) {
                                         body();
                                     }
                                     state.SetBytesProcessed(state.iterations() * bytes);
                                 })
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
}

int runAndCompare(int argc, char** argv, const std::vector<Comparison>& comparisons) {
    benchmark::Initialize(&argc, argv);
    // By default the allocator behaves as in the program: large blocks come fresh from the
    // system, and every first touch of a page costs a page fault. BENCH_REUSE_MEMORY=1 keeps freed
    // memory in the heap instead, so that the figures show the code's own work.
    if (std::getenv("BENCH_REUSE_MEMORY") != nullptr) {
        mallopt(M_MMAP_MAX, 0);
        mallopt(M_TRIM_THRESHOLD, 1 << 30);
    }
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n%-34s %12s %12s %9s %9s  %s\n", "subject", "subject ms", "baseline ms", "ratio",
                "target", "");
    for (const Comparison& c : comparisons) {
        const double subject = reporter.seconds(c.subject);
        const double baseline = reporter.seconds(c.baseline);
        if (subject <= 0 || baseline <= 0) {
            continue;  // filtered out on the command line
        }
        const double ratio = subject / baseline;
        if (c.target <= 0) {
            std::printf("%-34s %12.4f %12.4f %8.2fx %9s  (%s)\n", c.subject.c_str(), subject * 1e3,
                        baseline * 1e3, ratio, "-", c.description.c_str());
        } else {
            std::printf("%-34s %12.2f %12.2f %8.2fx <=%7.2fx  %s (%s)\n", c.subject.c_str(),
                        subject * 1e3, baseline * 1e3, ratio, c.target,
                        ratio <= c.target ? "met" : "NOT MET", c.description.c_str());
        }
    }
    benchmark::Shutdown();
    return 0;
}

std::int64_t peakResidentBytes() {
    return statusField("VmHWM:");
}

std::int64_t residentBytes() {
    return statusField("VmRSS:");
}

void resetPeakResident() {
    // Writing 5 to clear_refs resets the peak resident size to the current one.
    std::ofstream("/proc/self/clear_refs") << "5";
}

QString repeated(QStringView pattern, qsizetype length) {
    QString text;
    text.reserve(length);
    while (text.size() < length) {
        text += pattern.first(std::min(pattern.size(), length - text.size()));
    }
    return text;
}

std::string megabytes(std::int64_t bytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f MB", static_cast<double>(bytes) / 1e6);
    return text;
}

}  // namespace brindlewick::bench
