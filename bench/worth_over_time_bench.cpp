// Speed of the worth by month of a 1,000-bond portfolio over every month of the shipped table:
// what a chart of it costs each time the bonds or the table change.

#include "platform/ResourceLocations.h"
#include "valuation/WorthOverTime.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <filesystem>
#include <random>

namespace {

void BM_WorthOverTimeOfThousandBonds(benchmark::State& state) {
    const ResourceLocations shipped(std::filesystem::path(ORVELT_SOURCE_DIR) / "resources",
                                    "/nonexistent");
    const ValueTableRef table = loadBondTable(shipped);
    std::mt19937 random(29);
    std::vector<Bond> bonds;
    for (int index = 0; index < 1000; ++index) {
        const bool ee = random() % 2 == 0;
        const int year =
            ee ? 1983 + static_cast<int>(random() % 40) : 1999 + static_cast<int>(random() % 27);
        bonds.push_back({"B" + std::to_string(index), ee ? "EE" : "I", "100", std::to_string(year),
                         std::string(kMonthNames[random() % 12])});
    }
    const WorthOverTime once = worthOverTime(bonds, table.get());
    state.counters["months"] = static_cast<double>(once.months.size());
    state.counters["gaps"] = static_cast<double>(std::count_if(
        once.months.begin(), once.months.end(), [](const MonthWorth& m) { return !m.worth; }));
    for (auto _ : state) {
        benchmark::DoNotOptimize(worthOverTime(bonds, table.get()));
    }
}
BENCHMARK(BM_WorthOverTimeOfThousandBonds)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
