#include "MedianReporter.h"

namespace bench {

void MedianReporter::ReportRuns(const std::vector<Run>& runs) {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
        // Single runs come first and the median aggregate last, so the median is what stays; a
        // benchmark without repetitions keeps its single run.
        if (run.error_occurred || (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median"))
            continue;
        std::string name = run.run_name.function_name;
        if (!run.run_name.args.empty())
            name += "/" + run.run_name.args;
        Result& result = results_[name];
        result.seconds = run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
        for (const auto& [counter, value] : run.counters)
            result.counters[counter] = value.value;
    }
}

double MedianReporter::Seconds(const std::string& name) const {
    const auto it = results_.find(name);
    return it == results_.end() ? 0.0 : it->second.seconds;
}

double MedianReporter::Counter(const std::string& name, const std::string& counter) const {
    const auto it = results_.find(name);
    if (it == results_.end())
        return 0.0;
    const auto c = it->second.counters.find(counter);
    return c == it->second.counters.end() ? 0.0 : c->second;
}

} // namespace bench
