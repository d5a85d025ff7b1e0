// Speed of valuing bonds: one value (five keyed lookups), computing the report of a large
// portfolio (all its figures and totals, once per change), and the cells a report of 10,000
// bonds asks for while it scrolls.

#include "platform/PropertyList.h"
#include "platform/ResourceLocations.h"
#include "platform/SilentToolkitServices.h"
#include "store/BondDatabase.h"
#include "store/BondRecord.h"
#include "valuation/OwnerFigures.h"
#include "valuation/PortfolioBonds.h"
#include "valuation/Session.h"
#include "valuation/ValueReport.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <unistd.h>

namespace {

constexpr const char* kSeries[] = {"E", "EE", "I", "S"};

std::string twoDigits(int month) {
    char text[3];
    std::snprintf(text, sizeof text, "%02d", month);
    return text;
}

// A table of the shipped table's shape: four series, June 2009 to May 2010, issue years
// 1941 to 2010 with twelve months each, every leaf six digits.
PlistDictRef makeFullSizeTable() {
    PlistDictRef root = PlistDict::create();
    int leafNumber = 2500;
    for (const char* series : kSeries) {
        PlistDictRef years = PlistDict::create();
        for (int year : {2009, 2010}) {
            PlistDictRef months = PlistDict::create();
            const int first = year == 2009 ? 6 : 1;
            const int last = year == 2009 ? 12 : 5;
            for (int month = first; month <= last; ++month) {
                PlistDictRef issueYears = PlistDict::create();
                for (int issueYear = 1941; issueYear <= 2010; ++issueYear) {
                    PlistDictRef issueMonths = PlistDict::create();
                    for (std::string_view name : kMonthNames) {
                        char leaf[8];
                        std::snprintf(leaf, sizeof leaf, "%06d", leafNumber++ % 999999);
                        issueMonths->set(name, std::string(leaf));
                    }
                    issueYears->set(std::to_string(issueYear), issueMonths);
                }
                months->set(twoDigits(month), issueYears);
            }
            years->set(std::to_string(year), months);
        }
        root->set(series, years);
    }
    return root;
}

// The table on disk, a portfolio of `bondCount` bonds and a report over them.
struct Fixture {
    explicit Fixture(int bondCount) {
        dir = std::filesystem::temp_directory_path() /
              ("orvelt-bench-" + std::to_string(::getpid()) + "-" + std::to_string(bondCount));
        std::filesystem::create_directories(dir / "shipped");
        std::filesystem::create_directories(dir / "user");
        writePropertyList(dir / "shipped" / "BondTable.plist", PlistValue(makeFullSizeTable()));
        // The table comes with its earning rates; the shipped ones serve.
        std::filesystem::copy_file(std::filesystem::path(ORVELT_SOURCE_DIR) / "resources" /
                                       "EarningRates.plist",
                                   dir / "shipped" / "EarningRates.plist");

        // The portfolio goes through its file, as the application reads it at start-up.
        PlistArrayRef list = std::make_shared<PlistArray>();
        std::mt19937 random(42);
        for (int i = 0; i < bondCount; ++i) {
            PlistDictRef bond = PlistDict::create();
            bond->set(kSerialKey, "S" + std::to_string(i));
            bond->set(kFaceValueKey, std::to_string(25 << (random() % 6)));
            bond->set(kTypeKey, kSeries[random() % 4]);
            bond->set(kIssueYearKey, std::to_string(1941 + random() % 70));
            bond->set(kIssueMonthKey, std::string(kMonthNames[random() % 12]));
            list->push_back(PlistValue(bond));
        }
        PlistDictRef portfolio = PlistDict::create();
        portfolio->set(kPortfolioNameKey, "Large");
        portfolio->set(kPortfolioBondsKey, list);
        PlistDictRef file = PlistDict::create();
        file->set("Large", portfolio);
        writePropertyList(dir / "user" / "portfolios.plist", PlistValue(file));
        list.reset();
        file.reset();
        portfolio.reset();
        session = std::make_unique<Session>(ResourceLocations(dir / "shipped", dir / "user"));
        session->open(Session::Access::Read);
        session->setRedemptionMonth(YearMonth{2010, 3});
        bonds = session->store().portfolio("Large")->bonds;
        report = std::make_unique<ValueReport>(*session, "Large");
    }
    ~Fixture() {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }

    std::filesystem::path dir;
    SilentToolkitServices services;
    std::unique_ptr<Session> session;
    // The bonds as the report reads them.
    std::vector<Bond> bonds;
    std::unique_ptr<ValueReport> report;
};

Fixture& portfolioOf(int bondCount) {
    static std::map<int, std::unique_ptr<Fixture>> fixtures;
    std::unique_ptr<Fixture>& fixture = fixtures[bondCount];
    if (!fixture) {
        fixture = std::make_unique<Fixture>(bondCount);
    }
    return *fixture;
}

// Over a portfolio of the given size: a small one stays in the processor's caches.
void BM_ValueForBond(benchmark::State& state) {
    Fixture& fixture = portfolioOf(static_cast<int>(state.range(0)));
    const std::vector<Bond>& bonds = fixture.bonds;
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(valueFiguresOfBond(fixture.session->valueTable().get(),
                                                    reportBondOf(bonds[i]),
                                                    fixture.session->redemptionMonth()));
        i = i + 1 == bonds.size() ? 0 : i + 1;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ValueForBond)->Arg(1000)->Arg(10000)->Arg(100000);

// What a change of bonds, month or values costs: the whole report computed anew.
void BM_ComputeReport(benchmark::State& state) {
    const int bonds = static_cast<int>(state.range(0));
    Fixture& fixture = portfolioOf(bonds);
    for (auto _ : state) {
        // The same month again is a change all the same.
        fixture.session->setRedemptionMonth(YearMonth{2010, 3});
        fixture.report->refresh();
        benchmark::DoNotOptimize(fixture.report->snapshot().summary.worth.known);
    }
    state.SetItemsProcessed(state.iterations() * bonds);
}
BENCHMARK(BM_ComputeReport)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// One screenful of a 10,000-bond report: 30 rows of six cells, the totals row included, as a
// redraw asks for them.
void BM_ScreenfulOf10000BondReport(benchmark::State& state) {
    Fixture& fixture = portfolioOf(10000);
    ValueReport& report = *fixture.report;
    const int rows = report.rowCount();
    int top = 0;
    for (auto _ : state) {
        for (int r = top; r < top + 29 && r < rows; ++r) {
            for (std::string_view column : kReportColumnIdentifiers) {
                benchmark::DoNotOptimize(report.cellText(column, r));
            }
        }
        for (std::string_view column : kReportColumnIdentifiers) {
            benchmark::DoNotOptimize(report.cellText(column, rows - 1));
        }
        top = (top + 29) % rows;
    }
}
BENCHMARK(BM_ScreenfulOf10000BondReport)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
