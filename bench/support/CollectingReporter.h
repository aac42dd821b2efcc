#pragma once

#include <benchmark/benchmark.h>
#include <iostream>
#include <map>
#include <string>
#include <vector>

namespace bench {

// What the median of a benchmark's repetitions measured: the real time, in the benchmark's unit, and
// each counter.
struct Medians {
    double realTime = 0;
    std::map<std::string, double> counters;
};

// Passes every report on to the display the command line chose and keeps each benchmark's medians for
// the summary that follows the results.
class CollectingReporter : public benchmark::BenchmarkReporter {
public:
    explicit CollectingReporter(benchmark::BenchmarkReporter* display) : display_(display) {
        display_->SetOutputStream(&std::cout);
        display_->SetErrorStream(&std::cerr);
    }
    bool ReportContext(const Context& context) override { return display_->ReportContext(context); }
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (!run.error_occurred && run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                Medians& m = medians_[run.run_name.function_name];
                m.realTime = run.GetAdjustedRealTime();
                for (const auto& [name, counter] : run.counters)
                    m.counters[name] = counter.value;
            }
        display_->ReportRuns(runs);
    }
    void Finalize() override { display_->Finalize(); }

    // A benchmark's medians, or null when it has none (it did not run, or failed).
    const Medians* medians(const std::string& benchmark) const {
        const auto found = medians_.find(benchmark);
        return found == medians_.end() ? nullptr : &found->second;
    }
    // The median of a benchmark's counter, or a negative number when there is none.
    double median(const std::string& benchmark, const std::string& counter) const {
        const Medians* m = medians(benchmark);
        if (!m)
            return -1;
        const auto found = m->counters.find(counter);
        return found == m->counters.end() ? -1 : found->second;
    }

private:
    benchmark::BenchmarkReporter* display_; // the library's own, kept for the whole run
    std::map<std::string, Medians> medians_;
};

} // namespace bench
