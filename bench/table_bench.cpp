// Load time and memory of the redemption value table, the shipped one beside a table of the
// shape shipped before (its June 2009 - May 2010 months only, cut from the same file). Prints
// each measure beside its target; exits 1 when a target is missed.
//
//   table_bench [TABLE.plist]
//   table_bench --memory TABLE.plist   (the memory measure alone, run by the above)
//   table_bench --memory-dictionaries TABLE.plist   (the same with the file's dictionaries kept)
//   table_bench --fresh-load TABLE.plist CACHE   (one load in a fresh process, run by the above)
//
// The load is timed with the process pinned to one core, as the application reads the table at
// start-up to find its starting month. The shipped table is read from its compact form, made by
// the build beside the file (the earlier shape's is made here), once its file's fingerprint is
// known: the first load, with no fingerprint remembered in the cache folder (one of this run),
// reads the whole file for it and remembers it; the later loads (best of several) take it from
// there, as every start of the application after the first does, and are held to the target.
// Beside them, the same load each in a fresh process, which also pays what a process pays once
// (the set-up of the digest library, the first touch of its memory).
// Beside them, for comparison, the time of reading the file's XML, as a user's updated table is.
// The resident memory the table adds is measured in a fresh child process: resident size after
// the load less before it, and the peak during it. The figures are of the table as the
// application keeps it: the typed table of whole cents, the file's dictionaries gone once it is
// read. Beside them, for comparison, the same measures of the file's dictionaries kept whole, as
// the table was once kept.

#include "platform/PlistValue.h"
#include "platform/PropertyList.h"
#include "valuation/ValueTableCompact.h"
#include "valuation/ValueTableFile.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sched.h>
#include <string>
#include <thread>
#include <time.h>
#include <unistd.h>

namespace {

constexpr int kRepetitions = 7;
constexpr double kLoadTargetSeconds = 0.010;
constexpr double kAddedMemoryTargetMegabytes = 5.0;

long residentKilobytes(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0) {
            return std::atol(line.c_str() + std::string(field).size());
        }
    }
    return 0;
}

enum class Reading { Table, TableFromXml, Dictionaries };

// The processor time this process has taken, which other programs on a busy machine do not add
// to.
double processorSeconds() {
    timespec now{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The cache folder of this run, where the table file's verified fingerprint is remembered.
std::filesystem::path benchCacheFolder() {
    static const std::filesystem::path folder =
        std::filesystem::temp_directory_path() /
        ("orvelt-table-bench-cache-" + std::to_string(::getpid()));
    return folder;
}

double bestLoadSeconds(const std::filesystem::path& path, std::size_t& months, Reading reading,
                       double* bestProcessorSeconds = nullptr, int repetitions = kRepetitions) {
    double fastest = 1e9;
    double fastestProcessor = 1e9;
    for (int i = 0; i < repetitions; ++i) {
        const double processorStart = processorSeconds();
        const auto start = std::chrono::steady_clock::now();
        if (reading == Reading::Dictionaries) {
            const PlistValue dictionaries = readPropertyList(path);
            months = dictionaries.dictPtr() != nullptr ? 1 : 0;
        } else {
            const ValueTableRef table = reading == Reading::Table
                                            ? readValueTableFile(path, nullptr, benchCacheFolder())
                                            : readValueTableXml(path);
            months = table ? table->redemptionMonths().size() : 0;
        }
        fastest = std::min(
            fastest,
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        fastestProcessor = std::min(fastestProcessor, processorSeconds() - processorStart);
    }
    if (bestProcessorSeconds != nullptr) {
        *bestProcessorSeconds = fastestProcessor;
    }
    return fastest;
}

// Run as a fresh process (--memory PATH): loads the table and prints the resident kilobytes it
// added and the peak addition while loading.
int printAddedMemory(const char* path, bool dictionaries) {
    const long before = residentKilobytes("VmRSS:");
    const PlistValue kept = dictionaries ? readPropertyList(path) : PlistValue();
    const ValueTableRef table = dictionaries ? ValueTableRef() : readValueTableFile(path);
    const long after = residentKilobytes("VmRSS:");
    const long peak = residentKilobytes("VmHWM:");
    const bool read = table || kept.dictPtr() != nullptr;
    std::printf("%ld %ld %zu\n", read ? after - before : -1, peak - before,
                table ? table->storageBytes() : 0);
    return 0;
}

// Run as a fresh process (--fresh-load PATH CACHE): prints the seconds one load of the table took.
int printFreshLoad(const char* path, const char* cache) {
    const double processorStart = processorSeconds();
    const auto start = std::chrono::steady_clock::now();
    const ValueTableRef table = readValueTableFile(path, nullptr, cache);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%.6f %.6f\n", table ? seconds : -1.0, processorSeconds() - processorStart);
    return 0;
}

// The fastest of several loads of printFreshLoad, each in a fresh copy of this program, and the
// least processor time they took.
double bestFreshLoadSeconds(const std::filesystem::path& path, double& bestProcessorSeconds) {
    double fastest = 1e9;
    bestProcessorSeconds = 1e9;
    for (int i = 0; i < kRepetitions; ++i) {
        const std::string command = "'" + std::filesystem::read_symlink("/proc/self/exe").string() +
                                    "' --fresh-load '" + path.string() + "' '" +
                                    benchCacheFolder().string() + "'";
        FILE* child = ::popen(command.c_str(), "r");
        double seconds = -1;
        double processor = 1e9;
        if (child == nullptr || std::fscanf(child, "%lf %lf", &seconds, &processor) != 2 ||
            seconds < 0) {
            seconds = 1e9;
        }
        bestProcessorSeconds = std::min(bestProcessorSeconds, processor);
        if (child != nullptr) {
            ::pclose(child);
        }
        fastest = std::min(fastest, seconds);
    }
    return fastest;
}

// The figures of printAddedMemory, from a fresh copy of this program: memory this process freed
// would otherwise be counted as already resident.
bool addedMemory(const std::filesystem::path& path, bool dictionaries, double& addedMegabytes,
                 double& peakMegabytes, double& storageMegabytes) {
    const std::string command = "'" + std::filesystem::read_symlink("/proc/self/exe").string() +
                                (dictionaries ? "' --memory-dictionaries '" : "' --memory '") +
                                path.string() + "'";
    FILE* child = ::popen(command.c_str(), "r");
    long added = -1;
    long peak = -1;
    std::size_t storage = 0;
    const bool read =
        child != nullptr && std::fscanf(child, "%ld %ld %zu", &added, &peak, &storage) == 3;
    if (child != nullptr) {
        ::pclose(child);
    }
    addedMegabytes = static_cast<double>(added) / 1024.0;
    peakMegabytes = static_cast<double>(peak) / 1024.0;
    storageMegabytes = static_cast<double>(storage) / (1024.0 * 1024.0);
    return read && added >= 0;
}

// The table's months up to May 2010 only: the shape of the table shipped before.
std::filesystem::path writeEarlierShape(const std::filesystem::path& table) {
    const PlistValue whole = readPropertyList(table);
    PlistDictRef cut = PlistDict::create();
    if (const PlistDict* series = whole.dictPtr()) {
        for (const auto& [name, years] : series->entries()) {
            PlistDictRef kept = PlistDict::create();
            for (const auto& [year, months] : years.dictPtr()->entries()) {
                if (year <= "2009") {
                    kept->set(year, months);
                } else if (year == "2010") {
                    PlistDictRef early = PlistDict::create();
                    for (const auto& [month, issues] : months.dictPtr()->entries()) {
                        if (month <= "05") {
                            early->set(month, issues);
                        }
                    }
                    kept->set(year, early);
                }
            }
            cut->set(name, kept);
        }
    }
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() /
        ("orvelt-table-bench-" + std::to_string(::getpid()) + ".plist");
    writePropertyList(path, PlistValue(cut));
    std::ofstream(compactFormPath(path), std::ios::binary)
        << compactFormOfTable(*readValueTableXml(path), *fingerprintOfTableFile(path));
    return path;
}

bool measure(const char* label, const std::filesystem::path& path) {
    std::size_t months = 0;
    std::filesystem::remove(fingerprintRecordPath(benchCacheFolder()));
    double firstProcessor = 0;
    const double first = bestLoadSeconds(path, months, Reading::Table, &firstProcessor, 1);
    const bool remembered = std::filesystem::exists(fingerprintRecordPath(benchCacheFolder()));
    double loadProcessor = 0;
    const double load = bestLoadSeconds(path, months, Reading::Table, &loadProcessor);
    double freshProcessor = 0;
    const double freshLoad = bestFreshLoadSeconds(path, freshProcessor);
    std::size_t unused = 0;
    const double xmlLoad = bestLoadSeconds(path, unused, Reading::TableFromXml);
    double added = 0;
    double peak = 0;
    double storage = 0;
    const bool measured = addedMemory(path, false, added, peak, storage);
    const double dictionariesLoad = bestLoadSeconds(path, unused, Reading::Dictionaries);
    double dictionariesAdded = 0;
    double dictionariesPeak = 0;
    double noStorage = 0;
    addedMemory(path, true, dictionariesAdded, dictionariesPeak, noStorage);
    const double megabytes = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
    std::printf("%s: %zu redemption months, %.1f MB file\n", label, months, megabytes);
    const bool loadMet = remembered && load <= kLoadTargetSeconds;
    const bool memoryMet = measured && added <= kAddedMemoryTargetMegabytes;
    std::printf("  first load, the file read for its fingerprint %6.3f s   (%.3f s processor)\n",
                first, firstProcessor);
    if (!remembered) {
        std::printf("  the fingerprint was not remembered: the later loads read the file too\n");
    }
    std::printf("  later loads on one core (best of %d), fingerprint remembered %7.4f s   "
                "(target < %.3f) %s\n",
                kRepetitions, load, kLoadTargetSeconds, loadMet ? "ok" : "MISSED");
    std::printf("  their processor time (best of %d)            %9.4f s\n", kRepetitions,
                loadProcessor);
    std::printf("  the same, each in a fresh process (best of %d) %7.4f s\n", kRepetitions,
                freshLoad);
    std::printf("  their processor time (best of %d)            %9.4f s\n", kRepetitions,
                freshProcessor);
    std::printf("  the same from the file's XML, without the compact form %8.3f s\n", xmlLoad);
    std::printf("  cells and rows of the typed table          %8.1f MB\n", storage);
    std::printf("  resident memory added by the table         %8.1f MB  (target < %.0f) %s\n",
                added, kAddedMemoryTargetMegabytes, memoryMet ? "ok" : "MISSED");
    std::printf("  peak resident memory added while loading   %8.1f MB\n", peak);
    std::printf("  the file's dictionaries alone, kept whole: read in %.3f s, %.1f MB resident\n",
                dictionariesLoad, dictionariesAdded);
    return loadMet && memoryMet;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--memory") {
        return printAddedMemory(argv[2], false);
    }
    if (argc == 4 && std::string(argv[1]) == "--fresh-load") {
        return printFreshLoad(argv[2], argv[3]);
    }
    if (argc == 3 && std::string(argv[1]) == "--memory-dictionaries") {
        return printAddedMemory(argv[2], true);
    }
    const std::filesystem::path table =
        argc > 1 ? std::filesystem::path(argv[1])
                 : std::filesystem::path(ORVELT_BINARY_DIR) / "resources" / "BondTable.plist";
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(0, &one);
    if (::sched_setaffinity(0, sizeof one, &one) != 0) {
        std::perror("sched_setaffinity");
    }
    const std::filesystem::path earlier = writeEarlierShape(table);
    // A fingerprint is remembered only for a file whose last change is a few seconds old, so that
    // any later change shows in its change time.
    std::this_thread::sleep_for(std::chrono::seconds(4));
    bool met = measure("Table of the earlier shape (June 2009 - May 2010)", earlier);
    met = measure("Shipped table", table) && met;
    std::filesystem::remove(earlier);
    std::filesystem::remove(compactFormPath(earlier));
    std::filesystem::remove_all(benchCacheFolder());
    return met ? 0 : 1;
}
