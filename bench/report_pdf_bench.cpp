// Exporting a large value report as PDF, as Export… does: the report of 100,000 bonds valued
// from the shipped value table, painted page by page into a PDF written atomically, on Qt's
// offscreen platform. Times the export and reads the process's peak resident memory. Exits 1
// when a target is missed.
//
//   report_pdf_bench [BONDS] [SHIPPED-RESOURCES-DIR]

#include "platform/ResourceLocations.h"
#include "store/Bond.h"
#include "valuation/ReportDocument.h"
#include "valuation/ReportSnapshot.h"
#include "valuation/ValueTable.h"
#include "valuation/ui/ReportPages.h"

#include <QGuiApplication>
#include <QPageLayout>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr double kTargetSeconds = 30.0;
constexpr double kTargetMegabytes = 500.0;

double peakMegabytes() {
    struct rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// Bonds of every series and many issue months, some not yet payable, matured or not issued.
std::vector<Bond> manyBonds(int count) {
    constexpr const char* kSeries[] = {"EE", "I", "E", "EE"};
    constexpr const char* kFaces[] = {"50", "100", "1000", "10000"};
    std::vector<Bond> bonds;
    bonds.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const char* series = kSeries[i % 4];
        const int firstYear = std::string(series) == "E" ? 1960 : 1998;
        const int year = firstYear + (i / 4) % (std::string(series) == "E" ? 20 : 27);
        bonds.emplace_back("Q" + std::to_string(100000000 + i) + series, series, kFaces[i % 4],
                           std::to_string(year), std::string(kMonthNames[(i / 7) % 12]));
    }
    return bonds;
}

} // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 100000;
    const std::filesystem::path shipped =
        argc > 2 ? std::filesystem::path(argv[2])
                 : std::filesystem::path(ORVELT_SOURCE_DIR) / "resources";
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication application(argc, argv);
    const std::filesystem::path home =
        std::filesystem::temp_directory_path() / ("orvelt-pdf-" + std::to_string(::getpid()));
    std::filesystem::create_directories(home);

    const ResourceLocations resources(shipped, home);
    const ValueTableRef table = loadBondTable(resources);
    const ReportSnapshot snapshot =
        computeReportSnapshot(manyBonds(count), "Bench", table.get(), YearMonth{2024, 6});
    ReportDocumentInfo info;
    info.madeOn = "2026-12-07 14:03";
    info.valuesSource = valuesSourceText(resources, table.get());
    const ReportColumnPositions columns = allReportColumns();
    const ReportPrintout printout{snapshot, columns, reportPageTexts(snapshot, info, columns)};
    const double before = peakMegabytes();

    const std::filesystem::path pdf = home / "report.pdf";
    int pages = 0;
    std::string error;
    const auto start = std::chrono::steady_clock::now();
    auto since = [&start] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    // Until the first page is done the progress dialog cannot count anything.
    double firstPage = 0;
    const PaintOutcome outcome = writeReportPdf(
        pdf.string(), resources, printout, reportPdfPageLayout(), "Bench",
        [&](int done, int) {
            firstPage = done == 1 ? since() : firstPage;
            return (pages = done), true;
        },
        &error);
    const double seconds = since();
    const double peak = peakMegabytes();
    std::error_code ignored;
    const double fileMegabytes =
        static_cast<double>(std::filesystem::file_size(pdf, ignored)) / (1024.0 * 1024.0);
    std::filesystem::remove_all(home);

    const bool met =
        outcome == PaintOutcome::Done && seconds < kTargetSeconds && peak < kTargetMegabytes;
    std::printf("PDF export of a report of %d bonds (%d pages, %.1f MB)%s%s\n"
                "  %.1f s (target < %.0f; first page after %.1f s), peak resident memory %.0f MB "
                "(%.0f MB before the export; target < %.0f) %s\n",
                count, pages, fileMegabytes, error.empty() ? "" : ": ", error.c_str(), seconds,
                kTargetSeconds, firstPage, peak, before, kTargetMegabytes, met ? "ok" : "MISSED");
    return met ? 0 : 1;
}
