#include "platform/PropertyList.h"

#include "platform/AtomicFile.h"
#include "platform/PlistXmlLayout.h"
#include "platform/PlistXmlReader.h"
#include "platform/PlistXmlWriter.h"
#include "platform/XmlSafeText.h"
#include "platform/XmlTextEncoding.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <functional>
#include <limits>
#include <locale.h>
#include <plist/plist.h>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

// Deeper nesting than this is not a portfolio or a value table. The library frees nested values
// recursively, so deeper text is refused before it reaches the library.
constexpr int kMaxDepth = kMaxPlistDepth;
constexpr std::size_t kMaxValues = kMaxPlistValues;
static_assert(kMaxPropertyListValues == kMaxPlistValues);
// A root dictionary's entries are parsed in parts of about this many bytes, so that the
// library's tree of a large file never exists whole beside the converted one.
constexpr std::size_t kPortionBytes = 1 << 20;

constexpr std::string_view kPortionOpen = "<plist version=\"1.0\"><dict>";
constexpr std::string_view kPortionClose = "</dict></plist>";

void setError(std::string* error, std::string text) {
    if (error != nullptr) {
        *error = std::move(text);
    }
}

// The library reads and writes reals with the C library's number functions, which follow the
// process locale: under a locale with a decimal comma 2.5 would be written as "2,5" and read as
// 2. Every call into the library runs under the "C" locale of this thread.
class CNumericLocale {
  public:
    CNumericLocale() {
        static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
        if (cLocale != static_cast<locale_t>(0)) {
            previous_ = uselocale(cLocale);
        }
    }
    ~CNumericLocale() {
        if (previous_ != static_cast<locale_t>(0)) {
            uselocale(previous_);
        }
    }
    CNumericLocale(const CNumericLocale&) = delete;
    CNumericLocale& operator=(const CNumericLocale&) = delete;

  private:
    locale_t previous_ = static_cast<locale_t>(0);
};

// Owns one library node tree.
class PlistNode {
  public:
    PlistNode() = default;
    explicit PlistNode(plist_t node) : node_(node) {}
    ~PlistNode() { reset(); }
    PlistNode(const PlistNode&) = delete;
    PlistNode& operator=(const PlistNode&) = delete;
    PlistNode(PlistNode&& other) noexcept : node_(std::exchange(other.node_, nullptr)) {}

    plist_t get() const { return node_; }
    plist_t release() { return std::exchange(node_, nullptr); }
    plist_t* out() {
        reset();
        return &node_;
    }
    void reset() {
        if (node_ != nullptr) {
            plist_free(node_);
            node_ = nullptr;
        }
    }

  private:
    plist_t node_ = nullptr;
};

// A buffer that the library allocated with malloc.
class MallocText {
  public:
    MallocText() = default;
    ~MallocText() { std::free(text_); }
    MallocText(const MallocText&) = delete;
    MallocText& operator=(const MallocText&) = delete;
    char** out() {
        reset();
        return &text_;
    }
    void reset() {
        std::free(text_);
        text_ = nullptr;
    }
    std::string_view view(std::size_t length) const {
        return text_ != nullptr ? std::string_view(text_, length) : std::string_view();
    }

  private:
    char* text_ = nullptr;
};

// Runs `work(i)` for each i below `count` on this thread and one more, each under the "C"
// locale: the library's calls keep no state beyond the tree or text they are given, so distinct
// trees can be made, parsed, written and freed at the same time. Stops early once a call
// answers false; answers whether every call answered true. An exception is passed on here.
bool forEachOnTwoThreads(std::size_t count, const std::function<bool(std::size_t)>& work) {
    std::atomic<std::size_t> next{0};
    std::atomic<bool> failed{false};
    std::exception_ptr exception;
    auto run = [&](std::exception_ptr& thrown) {
        CNumericLocale cLocale;
        try {
            for (std::size_t i = next++; i < count && !failed; i = next++) {
                if (!work(i)) {
                    failed = true;
                }
            }
        } catch (...) {
            thrown = std::current_exception();
            failed = true;
        }
    };
    std::exception_ptr helperException;
    std::thread helper;
    if (count > 1) {
        try {
            helper = std::thread(run, std::ref(helperException));
        } catch (const std::system_error&) {
            // Without a second thread this one does all the work.
        }
    }
    run(exception);
    if (helper.joinable()) {
        helper.join();
    }
    if (exception || helperException) {
        std::rethrow_exception(exception ? exception : helperException);
    }
    return !failed;
}

// --- Dates outside the library's 32-bit seconds -------------------------------------------

constexpr std::int64_t kSecondsFrom1970To2001 = 978307200;

// "YYYY-MM-DDTHH:MM:SSZ" as seconds since 2001, or false.
bool parseIsoDate(std::string_view text, std::int64_t& seconds) {
    int year = 0;
    unsigned month = 0, day = 0, hour = 0, minute = 0, second = 0;
    const std::string copy(text);
    if (std::sscanf(copy.c_str(), "%d-%u-%uT%u:%u:%uZ", &year, &month, &day, &hour, &minute,
                    &second) != 6) {
        return false;
    }
    using namespace std::chrono;
    const year_month_day date{std::chrono::year(year), std::chrono::month(month),
                              std::chrono::day(day)};
    if (!date.ok()) {
        return false;
    }
    const std::int64_t days = sys_days(date).time_since_epoch().count();
    seconds = days * 86400 + hour * 3600 + minute * 60 + second - kSecondsFrom1970To2001;
    return true;
}

// The library hands dates out as 32-bit seconds (years 1933 to 2069) and saturates beyond. Such
// a date is taken from the library's own text of the node instead.
PlistDate readDate(plist_t node) {
    int32_t sec = 0;
    int32_t usec = 0;
    plist_get_date_val(node, &sec, &usec);
    if (sec != INT32_MIN && sec != INT32_MAX) {
        return PlistDate{sec, usec};
    }
    MallocText xml;
    uint32_t length = 0;
    plist_to_xml(node, xml.out(), &length);
    const std::string_view text = xml.view(length);
    const std::size_t open = text.find("<date>");
    const std::size_t close = text.find("</date>");
    std::int64_t seconds = 0;
    if (open != std::string_view::npos && close != std::string_view::npos &&
        parseIsoDate(text.substr(open + 6, close - open - 6), seconds)) {
        return PlistDate{seconds, 0};
    }
    return PlistDate{sec, usec};
}

// --- From the library's tree -----------------------------------------------------------------

// What a conversion from the library's tree needs besides the tree.
struct ReadContext {
    std::string* error = nullptr;
    // Entries of the dictionaries converted: fewer than the text's keys means that a key was
    // given twice in one dictionary and the library kept it once.
    std::size_t dictEntries = 0;
};

constexpr std::string_view kInvalidText = "the property list holds text that is not UTF-8";

bool convertFromNode(plist_t node, PlistValue& out, int depth, ReadContext& context);

// `unique` when `dict` starts empty: the library keeps each key of a dictionary once, so the
// entries are appended without a lookup. Entries of the root's parts go through `set`, since a
// key may repeat across parts.
bool convertDictEntries(plist_t node, PlistDict& dict, int depth, ReadContext& context,
                        bool unique = true) {
    plist_dict_iter iter = nullptr;
    plist_dict_new_iter(node, &iter);
    if (iter == nullptr) {
        return true;
    }
    bool ok = true;
    for (;;) {
        char* rawKey = nullptr;
        plist_t child = nullptr;
        plist_dict_next_item(node, iter, &rawKey, &child);
        if (child == nullptr) {
            std::free(rawKey);
            break;
        }
        PlistValue value;
        const std::string_view key =
            rawKey != nullptr ? std::string_view(rawKey) : std::string_view();
        ok = convertFromNode(child, value, depth + 1, context);
        if (ok && !isStorableText(key)) {
            setError(context.error, std::string(kInvalidText));
            ok = false;
        }
        if (ok) {
            if (unique) {
                dict.appendNew(key, std::move(value));
            } else {
                dict.set(key, std::move(value));
            }
        }
        std::free(rawKey);
        if (!ok) {
            break;
        }
    }
    std::free(iter);
    return ok;
}

bool convertFromNode(plist_t node, PlistValue& out, int depth, ReadContext& context) {
    std::string* error = context.error;
    if (depth > kMaxDepth) {
        setError(error, "the property list is nested too deeply");
        return false;
    }
    switch (plist_get_node_type(node)) {
    case PLIST_DICT: {
        auto dict = PlistDict::create();
        dict->reserve(plist_dict_get_size(node));
        if (!convertDictEntries(node, *dict, depth, context)) {
            return false;
        }
        context.dictEntries += dict->size();
        out = PlistValue(std::move(dict));
        return true;
    }
    case PLIST_ARRAY: {
        auto array = std::make_shared<PlistArray>();
        const uint32_t count = plist_array_get_size(node);
        array->resize(count);
        for (uint32_t i = 0; i < count; ++i) {
            if (!convertFromNode(plist_array_get_item(node, i), (*array)[i], depth + 1, context)) {
                return false;
            }
        }
        out = PlistValue(std::move(array));
        return true;
    }
    case PLIST_STRING:
    case PLIST_KEY: {
        uint64_t length = 0;
        const char* text = plist_get_string_ptr(node, &length);
        std::string string = text != nullptr ? std::string(text, length) : std::string();
        if (!isStorableText(string)) {
            setError(error, std::string(kInvalidText));
            return false;
        }
        out = PlistValue(std::move(string));
        return true;
    }
    case PLIST_UINT: {
        uint64_t bits = 0;
        plist_get_uint_val(node, &bits);
        // The library keeps no sign with its integers; the text was checked to be within the
        // signed range, so the bits are a signed value.
        out = PlistValue(PlistInteger{bits, static_cast<int64_t>(bits) < 0});
        return true;
    }
    case PLIST_REAL: {
        double real = 0;
        plist_get_real_val(node, &real);
        if (!std::isfinite(real)) {
            // Neither written back the same by the library nor an amount anyone stores.
            setError(error, "the property list holds a number that is not finite");
            return false;
        }
        out = PlistValue(real);
        return true;
    }
    case PLIST_BOOLEAN: {
        uint8_t flag = 0;
        plist_get_bool_val(node, &flag);
        out = PlistValue(flag != 0);
        return true;
    }
    case PLIST_DATE:
        out = PlistValue(readDate(node));
        return true;
    case PLIST_DATA: {
        uint64_t length = 0;
        const char* bytes = plist_get_data_ptr(node, &length);
        out = PlistValue(PlistData{bytes != nullptr ? std::string(bytes, length) : std::string()});
        return true;
    }
    default:
        setError(error, "the property list holds a value of an unknown kind");
        return false;
    }
}

// --- Parsing ---------------------------------------------------------------------------------

bool parseWhole(std::string_view xml, PlistValue& out, ReadContext& context) {
    PlistNode root;
    plist_from_xml(xml.data(), static_cast<uint32_t>(xml.size()), root.out());
    if (root.get() == nullptr) {
        setError(context.error, "the file is not an XML property list");
        return false;
    }
    return convertFromNode(root.get(), out, 0, context);
}

// Parses one run of a root dictionary's entries, wrapped as a dictionary of its own.
bool parseRootPortion(std::string_view entries, PlistDict& out, ReadContext& context) {
    std::string portion;
    portion.reserve(kPortionOpen.size() + entries.size() + kPortionClose.size());
    portion.append(kPortionOpen).append(entries).append(kPortionClose);
    PlistNode node;
    plist_from_xml(portion.data(), static_cast<uint32_t>(portion.size()), node.out());
    if (node.get() == nullptr || plist_get_node_type(node.get()) != PLIST_DICT) {
        setError(context.error, "the file is not an XML property list");
        return false;
    }
    return convertDictEntries(node.get(), out, 0, context, false);
}

// Parses a root dictionary part by part, two parts at a time: each part is a run of its entries
// of about kPortionBytes, parsed, converted and freed, so that the library's tree of a large file
// never exists whole beside the converted one. The parts are joined in order.
bool parseRootDictInPortions(std::string_view xml, const PlistXmlLayout& layout, PlistValue& out,
                             ReadContext& context) {
    const auto& children = layout.rootChildren;
    std::vector<std::string_view> runs;
    for (std::size_t first = 0; first < children.size();) {
        std::size_t last = first + 1;
        const std::size_t begin = children[first].first;
        while (last + 2 < children.size() && children[last].second - begin < kPortionBytes) {
            last += 2;
        }
        runs.push_back(xml.substr(begin, children[last].second - begin));
        first = last + 1;
    }
    struct Part {
        PlistDictRef entries = PlistDict::create();
        std::string error;
        ReadContext context{&error};
    };
    std::vector<Part> parts(runs.size());
    const bool ok = forEachOnTwoThreads(runs.size(), [&](std::size_t i) {
        return parseRootPortion(runs[i], *parts[i].entries, parts[i].context);
    });
    auto root = PlistDict::create();
    root->reserve(children.size() / 2);
    for (Part& part : parts) {
        if (!ok) {
            if (!part.error.empty()) {
                setError(context.error, std::move(part.error));
                return false;
            }
            continue;
        }
        // A key that repeats across parts is kept once, as in one whole parse; the count of
        // entries then shows it.
        for (auto& [key, value] : part.entries->entries()) {
            root->set(key, value);
        }
        context.dictEntries += part.context.dictEntries;
        part.entries.reset();
    }
    if (!ok) {
        setError(context.error, "the file is not an XML property list");
        return false;
    }
    context.dictEntries += root->size();
    out = PlistValue(std::move(root));
    return true;
}

// A byte-order mark is no part of the text: writers on some systems put one before UTF-8.
std::string_view withoutByteOrderMark(std::string_view xml) {
    constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
    return xml.starts_with(kUtf8Mark) ? xml.substr(kUtf8Mark.size()) : xml;
}

// Reads the whole file into memory with one allocation of its size.
bool readFileBytes(const std::filesystem::path& path, std::uintmax_t maxBytes, std::string& bytes,
                   std::string* error) {
    // Without waiting: opening a named pipe for reading would block until a writer came.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        setError(error, "cannot open " + path.string() + ": " + std::strerror(errno));
        return false;
    }
    struct stat info {};
    bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    if (!ok) {
        setError(error, path.string() + " is not a regular file");
    } else if (static_cast<std::uintmax_t>(info.st_size) > maxBytes) {
        setError(error, path.string() + " is too large to be a property list");
        ok = false;
    }
    if (ok) {
        bytes.resize(static_cast<std::size_t>(info.st_size));
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t got = ::read(fd, bytes.data() + done, bytes.size() - done);
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got <= 0) {
                break;
            }
            done += static_cast<std::size_t>(got);
        }
        bytes.resize(done);
        if (done < static_cast<std::size_t>(info.st_size)) {
            setError(error, "cannot read " + path.string());
            ok = false;
        }
    }
    ::close(fd);
    return ok;
}

} // namespace

PlistValue propertyListFromXml(std::string_view xml, std::string* error) {
    // Text in the plain form of the usual writers is read straight into values; any other goes
    // through the checks and the library.
    if (PlistValue plain; readPlainPlistXml(withoutByteOrderMark(xml), plain)) {
        return plain;
    }
    return propertyListFromXmlWithLibrary(xml, error);
}

PlistValue propertyListFromXmlWithLibrary(std::string_view xml, std::string* error) {
    xml = withoutByteOrderMark(xml);
    if (xml.size() > std::numeric_limits<uint32_t>::max() - kPortionBytes) {
        setError(error, "the file is too large to be a property list");
        return {};
    }
    std::string converted;
    bool isConverted = false;
    std::string reason;
    if (!decodeDeclaredEncoding(xml, converted, isConverted, reason)) {
        setError(error, std::move(reason));
        return {};
    }
    if (isConverted) {
        if (converted.size() > std::numeric_limits<uint32_t>::max() - kPortionBytes) {
            setError(error, "the file is too large to be a property list");
            return {};
        }
        xml = converted;
    }
    const PlistXmlLayout layout = scanPlistXml(xml, PlistXmlLimits{kMaxDepth, kMaxValues});
    if (!layout.error.empty()) {
        setError(error, layout.error);
        return {};
    }
    CNumericLocale cLocale;
    PlistValue value;
    ReadContext context{error};
    const bool ok = layout.rootIsDict ? parseRootDictInPortions(xml, layout, value, context)
                                      : parseWhole(xml, value, context);
    if (!ok) {
        return {};
    }
    if (context.dictEntries != layout.keys) {
        setError(error, "a dictionary of the property list holds the same key twice");
        return {};
    }
    return value;
}

PlistValue readPropertyList(const std::filesystem::path& path, std::string* error) {
    return readPropertyList(path, kMaxPropertyListBytes, error);
}

PlistValue readPropertyList(const std::filesystem::path& path, std::uintmax_t maxBytes,
                            std::string* error) {
    std::string bytes;
    if (!readFileBytes(path, maxBytes, bytes, error)) {
        return {};
    }
    return propertyListFromXml(bytes, error);
}

PropertyListSize propertyListSize(const PlistValue& value, int depth) {
    // Per value at most: its indentation, its tags, a line end; a text's bytes at most six
    // times over (a control character becomes "&#NN;"); data at most three times over (base64
    // in lines of 9 bytes or more, each indented by up to 8 tabs).
    constexpr std::uintmax_t kTags = 24;
    const auto textBound = [depth](std::size_t bytes) {
        return static_cast<std::uintmax_t>(depth) + kTags + 6 * std::uintmax_t{bytes};
    };
    PropertyListSize size;
    switch (value.type()) {
    case PlistValue::Type::Absent:
        return size;
    case PlistValue::Type::Dict:
        for (const auto& [key, child] : value.dictPtr()->entries()) {
            const PropertyListSize inner = propertyListSize(child, depth + 1);
            size.values += inner.values;
            size.maxXmlBytes += inner.maxXmlBytes + textBound(key.size());
        }
        break;
    case PlistValue::Type::Array:
        for (const PlistValue& child : *value.arrayPtr()) {
            const PropertyListSize inner = propertyListSize(child, depth + 1);
            size.values += inner.values;
            size.maxXmlBytes += inner.maxXmlBytes;
        }
        break;
    case PlistValue::Type::String:
        size.maxXmlBytes = textBound(value.stringPtr()->size());
        break;
    case PlistValue::Type::Data:
        size.maxXmlBytes = static_cast<std::uintmax_t>(depth) + kTags + 2 * 80 +
                           3 * std::uintmax_t{value.dataPtr()->bytes.size()};
        break;
    default:
        size.maxXmlBytes = static_cast<std::uintmax_t>(depth) + kTags + 40;
        break;
    }
    size.values += 1;
    size.maxXmlBytes += 2 * (static_cast<std::uintmax_t>(depth) + kTags);
    return size;
}

bool fitsPropertyListFile(const PropertyListSize& size) {
    return size.values <= kMaxPlistValues && size.maxXmlBytes <= kMaxPropertyListBytes;
}

std::string propertyListToXml(const PlistValue& root, std::string* error) {
    std::string xml;
    std::string reason;
    if (!appendPlistXml(root, xml, reason)) {
        setError(error, std::move(reason));
        return {};
    }
    return xml;
}

bool writePropertyList(const std::filesystem::path& path, const PlistValue& root,
                       std::string* error) {
    if (path.empty()) {
        setError(error, "no file to write to");
        return false;
    }
    std::string xml = propertyListToXml(root, error);
    if (xml.empty()) {
        return false;
    }
    if (xml.size() > kMaxPropertyListBytes) {
        setError(error, "the data is larger than a property-list file can be");
        return false;
    }
    return writeFileAtomically(path, xml, error, AtomicFileMode::KeepExisting);
}
