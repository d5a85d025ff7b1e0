// Speed of the worth by month over every month of the shipped table: what a chart of a portfolio
// costs each time the bonds or the table change, for 1,000 and 100,000 bonds; then the
// "Value Over Time" chart itself on Qt's offscreen platform: from handing it 100,000 bonds to the
// lines drawn, and the longest the window's thread was busy between two turns of its event loop
// meanwhile. Exits 1 when the drawing takes a second or more, or the window's thread is busy a
// tenth of a second or more at a time.
//
//   worth_over_time_bench [BOND-COUNT] [benchmark options]

#include "app/ValueChartView.h"
#include "platform/ResourceLocations.h"
#include "valuation/WorthOverTime.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QTimer>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <random>
#include <string>
#include <time.h>

namespace {

constexpr double kDrawTargetSeconds = 1.0;
constexpr double kBusyTargetSeconds = 0.1;

ValueTableRef shippedTable() {
    const ResourceLocations shipped(std::filesystem::path(ORVELT_SOURCE_DIR) / "resources",
                                    "/nonexistent");
    return loadBondTable(shipped);
}

// EE bonds of 1983 - 2022 and I bonds of 1999 - 2025, of every month.
std::vector<Bond> someBonds(int count) {
    std::mt19937 random(29);
    std::vector<Bond> bonds;
    bonds.reserve(static_cast<std::size_t>(count));
    for (int index = 0; index < count; ++index) {
        const bool ee = random() % 2 == 0;
        const int year =
            ee ? 1983 + static_cast<int>(random() % 40) : 1999 + static_cast<int>(random() % 27);
        bonds.push_back({"B" + std::to_string(index), ee ? "EE" : "I", "100", std::to_string(year),
                         std::string(kMonthNames[random() % 12])});
    }
    return bonds;
}

void BM_WorthOverTime(benchmark::State& state) {
    const ValueTableRef table = shippedTable();
    const std::vector<Bond> bonds = someBonds(static_cast<int>(state.range(0)));
    const WorthOverTime once = worthOverTime(bonds, table.get());
    state.counters["months"] = static_cast<double>(once.months.size());
    state.counters["gaps"] = static_cast<double>(std::count_if(
        once.months.begin(), once.months.end(), [](const MonthWorth& m) { return !m.worth; }));
    for (auto _ : state) {
        benchmark::DoNotOptimize(worthOverTime(bonds, table.get()));
    }
}
BENCHMARK(BM_WorthOverTime)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

// The processor time the calling thread has taken, in seconds.
double threadProcessorSeconds() {
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// The longest stretch between two turns of the event loop: the time that passed, and the
// processor time the window's thread spent in it (which other programs on a busy machine do not
// stretch).
class LoopTurns {
  public:
    LoopTurns() {
        timer_.setInterval(1);
        QObject::connect(&timer_, &QTimer::timeout, [this] { turn(); });
        sinceTurn_.start();
        processorAtTurn_ = threadProcessorSeconds();
        timer_.start();
    }
    void turn() {
        longestWait_ = std::max(longestWait_, static_cast<double>(sinceTurn_.nsecsElapsed()) / 1e9);
        const double processor = threadProcessorSeconds();
        longestBusy_ = std::max(longestBusy_, processor - processorAtTurn_);
        sinceTurn_.restart();
        processorAtTurn_ = processor;
    }
    double longestWait() const { return longestWait_; }
    double longestBusy() const { return longestBusy_; }

  private:
    QTimer timer_;
    QElapsedTimer sinceTurn_;
    double processorAtTurn_ = 0.0;
    double longestWait_ = 0.0;
    double longestBusy_ = 0.0;
};

// The chart shown, then handed `count` bonds with a thousand of them selected: the seconds to
// the lines drawn and painted, and how long the window's event loop was kept from turning.
bool chartDrawsInTime(int count) {
    const ValueTableRef table = shippedTable();
    std::vector<Bond> bonds = someBonds(count);
    std::vector<std::string> selected;
    for (int index = 0; index < std::min(count, 1000); ++index) {
        selected.push_back(bonds[static_cast<std::size_t>(index)].serial);
    }
    ValueChartView view;
    view.resize(820, 540);
    view.show();
    QApplication::processEvents();

    const std::clock_t processorAtStart = std::clock();
    QElapsedTimer clock;
    clock.start();
    LoopTurns turns;
    view.setSelection(selected);
    view.setBonds(std::move(bonds), table);
    turns.turn();
    while (view.computing() && clock.elapsed() < 60000) {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    }
    QImage image(view.size(), QImage::Format_ARGB32);
    QPainter painter(&image);
    view.render(&painter);
    turns.turn();
    const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    const double processor = static_cast<double>(std::clock() - processorAtStart) / CLOCKS_PER_SEC;
    std::printf("chart of %d bonds: drawn in %.3f s (target under %.1f s; processor time of all "
                "threads %.3f s); the window's thread was busy at most %.3f s between two turns of "
                "its event loop (target under %.1f s; %.3f s passed)\n",
                count, seconds, kDrawTargetSeconds, processor, turns.longestBusy(),
                kBusyTargetSeconds, turns.longestWait());
    return seconds < kDrawTargetSeconds && turns.longestBusy() < kBusyTargetSeconds &&
           !view.portfolioWorth().months.empty();
}

} // namespace

int main(int argc, char** argv) {
    int count = 100000;
    if (argc > 1 && argv[1][0] != '-') {
        // The count is taken off the options the benchmark library reads.
        count = std::atoi(argv[1]);
        argv[1] = argv[0];
        --argc;
        ++argv;
    }
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return chartDrawsInTime(count) ? 0 : 1;
}
