#include "valuation/ValueTableFile.h"

#include "platform/PropertyList.h"
#include "valuation/ValueTableCompact.h"

#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

// What a series that is not a dictionary holds.
const std::vector<PlistDict::Entry> kNoEntries;

void addIssueYears(ValueTable::Builder& builder, BondSeries series, YearMonth redemption,
                   const PlistDict& issueYears) {
    for (const auto& [yearKey, yearValue] : issueYears.entries()) {
        const std::optional<int> year = fourDigitYear(yearKey);
        const PlistDict* months = yearValue.dictPtr();
        if (!year || months == nullptr) {
            continue;
        }
        for (const auto& [monthKey, leafValue] : months->entries()) {
            const std::optional<int> month = monthNumberOfName(monthKey);
            const std::string* leaf = leafValue.stringPtr();
            if (month && leaf != nullptr) {
                builder.setCell(series, redemption, {*year, *month}, valueCellOfLeaf(*leaf));
            }
        }
    }
}

// A file's bytes mapped into memory for as long as this lives; empty when it cannot be.
class MappedFile {
  public:
    explicit MappedFile(const std::filesystem::path& path) {
        const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        struct stat status {};
        if (descriptor < 0) {
            return;
        }
        if (::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode) && status.st_size > 0) {
            size_ = static_cast<std::size_t>(status.st_size);
            void* mapped =
                ::mmap(nullptr, size_, PROT_READ, MAP_PRIVATE | MAP_POPULATE, descriptor, 0);
            data_ = mapped != MAP_FAILED ? static_cast<const char*>(mapped) : nullptr;
        }
        ::close(descriptor);
    }
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;
    ~MappedFile() {
        if (data_ != nullptr) {
            ::munmap(const_cast<char*>(data_), size_);
        }
    }
    std::string_view bytes() const {
        return data_ != nullptr ? std::string_view(data_, size_) : "";
    }

  private:
    const char* data_ = nullptr;
    std::size_t size_ = 0;
};

// The table from the compact form beside the file, when that was made from the file's bytes.
ValueTableRef readCompactForm(const std::filesystem::path& path) {
    std::ifstream compact(compactFormPath(path), std::ios::binary);
    if (!compact) {
        return {};
    }
    std::ostringstream bytes;
    bytes << compact.rdbuf();
    const MappedFile source(path);
    return source.bytes().empty() ? ValueTableRef()
                                  : tableOfCompactForm(bytes.str(), source.bytes());
}

} // namespace

ValueTableRef valueTableOfDictionary(const PlistDict& root) {
    ValueTable::Builder builder;
    for (const auto& [seriesName, seriesValue] : root.entries()) {
        const std::optional<BondSeries> series = bondSeriesOfName(seriesName);
        const PlistDict* years = seriesValue.dictPtr();
        for (const auto& [yearKey, yearValue] : years != nullptr ? years->entries() : kNoEntries) {
            const std::optional<int> year = fourDigitYear(yearKey);
            const PlistDict* months = yearValue.dictPtr();
            if (!year || months == nullptr) {
                continue;
            }
            for (const auto& [monthKey, monthValue] : months->entries()) {
                const std::optional<YearMonth> redemption =
                    YearMonth::fromKeyText(yearKey + "-" + monthKey);
                const PlistDict* issueYears = monthValue.dictPtr();
                if (!redemption || issueYears == nullptr) {
                    continue;
                }
                builder.holdMonth(*redemption);
                if (series) {
                    addIssueYears(builder, *series, *redemption, *issueYears);
                }
            }
        }
    }
    return builder.build();
}

ValueTableRef readValueTableFile(const std::filesystem::path& path, std::string* error) {
    if (ValueTableRef compact = readCompactForm(path)) {
        return compact;
    }
    return readValueTableXml(path, error);
}

ValueTableRef readValueTableXml(const std::filesystem::path& path, std::string* error) {
    ValueTableRef table;
    {
        std::string readError;
        const PlistValue read = readPropertyList(path, &readError);
        const PlistDict* root = read.dictPtr();
        if (root == nullptr) {
            if (error != nullptr) {
                *error = readError.empty() ? "it holds no dictionary of values" : readError;
            }
            return {};
        }
        table = valueTableOfDictionary(*root);
    }
    // The file's dictionaries took some twenty times the table's memory in small blocks, now
    // free: without this the process keeps them resident for good.
#ifdef __GLIBC__
    malloc_trim(0);
#endif
    return table;
}
