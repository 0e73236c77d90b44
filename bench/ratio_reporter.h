// A console reporter that remembers each run's CPU time, so that a benchmark can print how many
// times faster the real code is than the literal way after the table.
#pragma once

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

class RatioReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> seconds;

    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            seconds[run.benchmark_name()] = run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void PrintRatio(const std::string& label, const std::string& real, const std::string& literal) const
    {
        const auto r = seconds.find(real);
        const auto l = seconds.find(literal);
        if (r != seconds.end() && l != seconds.end()) {
            std::printf("  %-15s %9.1f us against %10.1f us: %6.0fx faster\n", label.c_str(), r->second * 1e6,
                        l->second * 1e6, l->second / r->second);
        }
    }
};
