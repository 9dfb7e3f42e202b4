// The console report of a benchmark run that also keeps, for the summary printed after it, each
// benchmark's median over its repetitions: the real time of one iteration and the user counters.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace bench {

class MedianReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override;

    // CPU seconds (user and system) per iteration of the benchmark registered under name, as the rate
    // counters count them; 0 when it did not run or failed. On a shared machine the wall time also
    // holds the waits for a core.
    double Seconds(const std::string& name) const;
    // A user counter of that benchmark (rates per second); 0 when it is missing.
    double Counter(const std::string& name, const std::string& counter) const;

private:
    struct Result {
        double seconds = 0;
        std::map<std::string, double> counters;
    };
    std::map<std::string, Result> results_;
};

} // namespace bench
