// Speed of valuing bonds: one value (five keyed lookups), both totals of a large portfolio, and
// the cells a report of 10,000 bonds asks for while it scrolls.

#include "platform/PropertyList.h"
#include "platform/ResourceLocations.h"
#include "platform/SilentToolkitServices.h"
#include "store/BondDatabase.h"
#include "store/BondRecord.h"
#include "valuation/ReportWindowController.h"
#include "valuation/ValuationContext.h"

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

struct Owner : ValuationContext {
    BondDatabase* database = nullptr;
    BondDatabase* bondDatabase() const override { return database; }
    std::optional<std::string> openPortfolio() const override { return "Large"; }
    std::string redemptionYear() const override { return "2010"; }
    std::string redemptionMonth() const override { return "03"; }
};

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
        writePropertyList(dir / "shipped" / "BondTable.plist", PlistValue(makeFullSizeTable()));
        resources = std::make_unique<ResourceLocations>(dir / "shipped", dir / "user");

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
        writePropertyList(dir / "portfolios.plist", PlistValue(file));
        list.reset();
        file.reset();
        portfolio.reset();
        database = BondDatabase::open(dir / "portfolios.plist");
        for (const Bond& bond : database->portfolio("Large")->bonds) {
            records.push_back(bond.toRecord());
        }
        owner.database = database.get();
        report = std::make_unique<ReportWindowController>(*resources, services);
        report->setParentView(&owner);
        report->windowDidLoad();
    }
    ~Fixture() {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }

    std::filesystem::path dir;
    SilentToolkitServices services;
    std::unique_ptr<ResourceLocations> resources;
    std::unique_ptr<BondDatabase> database;
    // The bonds as the report reads them.
    PlistArray records;
    Owner owner;
    std::unique_ptr<ReportWindowController> report;
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
    const PlistArray& bonds = fixture.records;
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(fixture.report->valueForBond(bonds[i]));
        i = i + 1 == bonds.size() ? 0 : i + 1;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ValueForBond)->Arg(1000)->Arg(10000)->Arg(100000);

void BM_BothTotalsOf100000Bonds(benchmark::State& state) {
    Fixture& fixture = portfolioOf(100000);
    for (auto _ : state) {
        benchmark::DoNotOptimize(fixture.report->totalFaceValue());
        benchmark::DoNotOptimize(fixture.report->totalCurrentValue());
    }
    state.SetItemsProcessed(state.iterations() * 100000);
}
BENCHMARK(BM_BothTotalsOf100000Bonds)->Unit(benchmark::kMillisecond);

// One screenful of a 10,000-bond report: 30 rows of six cells, the totals row included, as a
// redraw asks for them.
void BM_ScreenfulOf10000BondReport(benchmark::State& state) {
    Fixture& fixture = portfolioOf(10000);
    ReportWindowController& report = *fixture.report;
    const int rows = report.numberOfRowsInTableView();
    int top = 0;
    for (auto _ : state) {
        for (int r = top; r < top + 29 && r < rows; ++r) {
            for (std::string_view column : kReportColumnIdentifiers) {
                benchmark::DoNotOptimize(report.tableViewObjectValue(column, r));
            }
        }
        for (std::string_view column : kReportColumnIdentifiers) {
            benchmark::DoNotOptimize(report.tableViewObjectValue(column, rows - 1));
        }
        top = (top + 29) % rows;
    }
}
BENCHMARK(BM_ScreenfulOf10000BondReport)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
