#pragma once

#include <benchmark/benchmark.h>

#include <QString>
#include <functional>
#include <string>
#include <vector>

namespace brindlewick::bench {

// A subject benchmark, the baseline it is measured against in the same run, and the most its
// time may be as a multiple of the baseline's; a target of 0 prints the ratio for information.
struct Comparison {
    std::string subject;
    std::string baseline;
    double target;
    std::string description;
};

// Registers `body` as a benchmark that processes `bytes` per iteration.
void registerBenchmark(const std::string& name, std::int64_t bytes, std::function<void()> body);

// Runs every registered benchmark, then prints each comparison's ratio and whether it meets its
// target. Returns the process exit code: 0 when every benchmark ran.
int runAndCompare(int argc, char** argv, const std::vector<Comparison>& comparisons);

// The peak resident memory of this process so far, in bytes, and a way to start measuring it
// afresh from the memory in use now.
std::int64_t peakResidentBytes();
std::int64_t residentBytes();
void resetPeakResident();

// A text of `length` characters made by repeating `pattern`.
QString repeated(QStringView pattern, qsizetype length);

std::string megabytes(std::int64_t bytes);

}  // namespace brindlewick::bench
