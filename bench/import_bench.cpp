// Bond list import speed: 100,000 rows into a portfolio that already holds 100,000 bonds must
// take well under a second, and the time must grow with the rows alone, not with rows times
// bonds. Run by hand: build-*/bench/import_bench

#include "store/BondDatabase.h"
#include "store/BondListImport.h"

#include <benchmark/benchmark.h>
#include <random>
#include <string>

namespace {

const std::string kHeader =
    "\"Serial Number\",\"Type\",\"Face Value\",\"Month Issued\",\"Year Issued\"\r\n";

// The face values a bond is entered with, as the shipped lists give them.
const std::vector<std::string> kFaceValues = {"10",  "25",  "50",   "75",   "100",
                                              "200", "500", "1000", "5000", "10000"};

std::string serialNumber(const char* prefix, std::int64_t n) {
    return prefix + std::to_string(n);
}

// A portfolio "Bench" of `existing` bonds.
void fillPortfolio(BondDatabase& db, std::int64_t existing) {
    db.createPortfolio("Bench");
    std::vector<Bond> bonds;
    bonds.reserve(static_cast<std::size_t>(existing));
    for (std::int64_t i = 0; i < existing; ++i) {
        bonds.emplace_back(serialNumber("H", i), "EE", "100", "2001", "June");
    }
    db.appendBonds("Bench", std::move(bonds));
}

// `rows` rows with fresh serials; every `duplicateEvery`-th row repeats a serial of the
// portfolio instead (0: none).
std::string bondList(std::int64_t rows, std::int64_t duplicateEvery) {
    std::string text = kHeader;
    text.reserve(static_cast<std::size_t>(rows) * 40);
    for (std::int64_t i = 0; i < rows; ++i) {
        const bool duplicate = duplicateEvery > 0 && i % duplicateEvery == 0;
        text += "\"" + serialNumber(duplicate ? "H" : "N", i) + "\",\"EE\",$100,\"" +
                std::to_string(i % 12 + 1) + "\",\"2003\"\r\n";
    }
    return text;
}

// Arguments: rows in the file, bonds already in the portfolio.
void BM_ImportIntoFullPortfolio(benchmark::State& state) {
    const std::int64_t rows = state.range(0);
    const std::int64_t existing = state.range(1);
    const std::string text = bondList(rows, 10);
    for (auto _ : state) {
        state.PauseTiming();
        BondDatabase db;
        fillPortfolio(db, existing);
        state.ResumeTiming();
        const ImportReport report = importBondListText(db, "Bench", text, kFaceValues);
        benchmark::DoNotOptimize(report.added);
        state.PauseTiming();
        if (report.added + report.skippedDuplicates != static_cast<std::size_t>(rows)) {
            state.SkipWithError("rows went missing");
        }
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * rows);
}
BENCHMARK(BM_ImportIntoFullPortfolio)
    ->Args({100'000, 100'000}) // the target: well under 1 s
    ->Args({10'000, 100'000})
    ->Args({100'000, 10'000})
    ->Args({200'000, 200'000})
    ->Unit(benchmark::kMillisecond);

// A file of noise that happens to hold the header: every line is looked at, none may hang.
void BM_ImportBinaryNoise(benchmark::State& state) {
    std::mt19937 random(7);
    std::string text = kHeader;
    const auto size = static_cast<std::size_t>(state.range(0));
    text.reserve(size);
    while (text.size() < size) {
        text.push_back(static_cast<char>(random()));
    }
    for (auto _ : state) {
        BondDatabase db;
        db.createPortfolio("Noise");
        benchmark::DoNotOptimize(
            importBondListText(db, "Noise", text, kFaceValues).skippedLineCount);
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ImportBinaryNoise)->Arg(64 << 20)->Unit(benchmark::kMillisecond);

// The worst shapes for the delimiter searches: one line of nothing but double quotes, and one
// of header fragments that never complete.
void BM_ImportQuoteFlood(benchmark::State& state) {
    const auto size = static_cast<std::size_t>(state.range(0));
    std::string text = kHeader;
    if (state.range(1) == 0) {
        text.append(size, '"');
    } else {
        const std::string fragment = kHeader.substr(0, kHeader.size() - 4);
        while (text.size() < size) {
            text += fragment;
        }
    }
    for (auto _ : state) {
        BondDatabase db;
        db.createPortfolio("Flood");
        benchmark::DoNotOptimize(
            importBondListText(db, "Flood", text, kFaceValues).skippedLineCount);
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ImportQuoteFlood)
    ->Args({64 << 20, 0})
    ->Args({64 << 20, 1})
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
