#include "platform/PropertyList.h"

#include "platform/AtomicFile.h"
#include "platform/PlistXmlLayout.h"
#include "platform/XmlSafeText.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
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

// Deeper nesting than this is not a portfolio or a value table. The library parses and frees
// nested values recursively, so deeper text is refused before it reaches the library.
constexpr int kMaxDepth = 256;
// Element depth in the text: the <plist> element, then one per nested value, plus the <key> or
// leaf element inside the deepest container.
constexpr int kMaxElementDepth = kMaxDepth + 3;
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

std::string formatIsoDate(std::int64_t secondsSince2001) {
    using namespace std::chrono;
    const std::int64_t unix = secondsSince2001 + kSecondsFrom1970To2001;
    std::int64_t days = unix / 86400;
    std::int64_t rest = unix % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    const year_month_day date{sys_days(std::chrono::days(days))};
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%04d-%02u-%02uT%02d:%02d:%02dZ", int(date.year()),
                  unsigned(date.month()), unsigned(date.day()), int(rest / 3600),
                  int(rest / 60 % 60), int(rest % 60));
    return buffer;
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

plist_t newDateNode(const PlistDate& date) {
    if (date.seconds > INT32_MIN && date.seconds < INT32_MAX) {
        return plist_new_date(static_cast<int32_t>(date.seconds), date.microseconds);
    }
    const std::string xml = "<plist><date>" + formatIsoDate(date.seconds) + "</date></plist>";
    plist_t node = nullptr;
    plist_from_xml(xml.data(), static_cast<uint32_t>(xml.size()), &node);
    return node;
}

// --- From the library's tree -----------------------------------------------------------------

bool convertFromNode(plist_t node, PlistValue& out, int depth, std::string* error);

// `unique` when `dict` starts empty: the library keeps each key of a dictionary once, so the
// entries are appended without a lookup. Entries of the root's parts go through `set`, since a
// key may repeat across parts.
bool convertDictEntries(plist_t node, PlistDict& dict, int depth, std::string* error,
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
        ok = convertFromNode(child, value, depth + 1, error);
        if (ok) {
            const std::string_view key =
                rawKey != nullptr ? std::string_view(rawKey) : std::string_view();
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

bool convertFromNode(plist_t node, PlistValue& out, int depth, std::string* error) {
    if (depth > kMaxDepth) {
        setError(error, "the property list is nested too deeply");
        return false;
    }
    switch (plist_get_node_type(node)) {
    case PLIST_DICT: {
        auto dict = PlistDict::create();
        dict->reserve(plist_dict_get_size(node));
        if (!convertDictEntries(node, *dict, depth, error)) {
            return false;
        }
        out = PlistValue(std::move(dict));
        return true;
    }
    case PLIST_ARRAY: {
        auto array = std::make_shared<PlistArray>();
        const uint32_t count = plist_array_get_size(node);
        array->resize(count);
        for (uint32_t i = 0; i < count; ++i) {
            if (!convertFromNode(plist_array_get_item(node, i), (*array)[i], depth + 1, error)) {
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
        out = PlistValue(text != nullptr ? std::string(text, length) : std::string());
        return true;
    }
    case PLIST_UINT: {
        uint64_t bits = 0;
        plist_get_uint_val(node, &bits);
        // The library keeps no sign with its integers; like its own writer, values above the
        // signed range are taken as negative.
        out = PlistValue(PlistInteger{bits, static_cast<int64_t>(bits) < 0});
        return true;
    }
    case PLIST_REAL: {
        double real = 0;
        plist_get_real_val(node, &real);
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

// --- To the library's tree -------------------------------------------------------------------

plist_t newStringNode(const std::string& text) {
    if (isXmlSafeText(text)) {
        return plist_new_string(text.c_str());
    }
    return plist_new_string(xmlSafeText(text).c_str());
}

void setDictItem(plist_t dict, const std::string& key, plist_t node) {
    if (isXmlSafeText(key)) {
        plist_dict_set_item(dict, key.c_str(), node);
    } else {
        plist_dict_set_item(dict, xmlSafeText(key).c_str(), node);
    }
}

// The node of a value; nullptr for the absent value, which is left out of its container as
// if it had never been set, so that one absent value never stops a whole file being written.
plist_t convertToNode(const PlistValue& value, int depth) {
    if (depth > kMaxDepth) {
        return nullptr;
    }
    switch (value.type()) {
    case PlistValue::Type::Dict: {
        plist_t dict = plist_new_dict();
        for (const auto& [key, child] : value.dictPtr()->entries()) {
            if (plist_t node = convertToNode(child, depth + 1)) {
                setDictItem(dict, key, node);
            }
        }
        return dict;
    }
    case PlistValue::Type::Array: {
        plist_t array = plist_new_array();
        for (const PlistValue& child : *value.arrayPtr()) {
            if (plist_t node = convertToNode(child, depth + 1)) {
                plist_array_append_item(array, node);
            }
        }
        return array;
    }
    case PlistValue::Type::String:
        return newStringNode(*value.stringPtr());
    case PlistValue::Type::Integer:
        return plist_new_uint(value.integerPtr()->bits);
    case PlistValue::Type::Real:
        return plist_new_real(*value.realPtr());
    case PlistValue::Type::Boolean:
        return plist_new_bool(*value.booleanPtr() ? 1 : 0);
    case PlistValue::Type::Date:
        return newDateNode(*value.datePtr());
    case PlistValue::Type::Data: {
        const std::string& bytes = value.dataPtr()->bytes;
        return plist_new_data(bytes.data(), bytes.size());
    }
    case PlistValue::Type::Absent:
        break;
    }
    return nullptr;
}

// --- Parsing ---------------------------------------------------------------------------------

bool parseWhole(std::string_view xml, PlistValue& out, std::string* error) {
    PlistNode root;
    plist_from_xml(xml.data(), static_cast<uint32_t>(xml.size()), root.out());
    if (root.get() == nullptr) {
        setError(error, "the file is not an XML property list");
        return false;
    }
    return convertFromNode(root.get(), out, 0, error);
}

// Parses one run of a root dictionary's entries, wrapped as a dictionary of its own.
bool parseRootPortion(std::string_view entries, PlistDict& out, std::string& error) {
    std::string portion;
    portion.reserve(kPortionOpen.size() + entries.size() + kPortionClose.size());
    portion.append(kPortionOpen).append(entries).append(kPortionClose);
    PlistNode node;
    plist_from_xml(portion.data(), static_cast<uint32_t>(portion.size()), node.out());
    if (node.get() == nullptr || plist_get_node_type(node.get()) != PLIST_DICT) {
        error = "the file is not an XML property list";
        return false;
    }
    return convertDictEntries(node.get(), out, 0, &error, false);
}

// Parses a root dictionary part by part, two parts at a time: each part is a run of its entries
// of about kPortionBytes, parsed, converted and freed, so that the library's tree of a large file
// never exists whole beside the converted one. The parts are joined in order.
bool parseRootDictInPortions(std::string_view xml, const PlistXmlLayout& layout, PlistValue& out,
                             std::string* error) {
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
    };
    std::vector<Part> parts(runs.size());
    forEachOnTwoThreads(runs.size(), [&](std::size_t i) {
        return parseRootPortion(runs[i], *parts[i].entries, parts[i].error);
    });
    auto root = PlistDict::create();
    root->reserve(children.size() / 2);
    for (Part& part : parts) {
        if (!part.error.empty()) {
            setError(error, std::move(part.error));
            return false;
        }
        // A key may repeat across parts; the later entry wins, as in one whole parse.
        for (auto& [key, value] : part.entries->entries()) {
            root->set(key, value);
        }
        part.entries.reset();
    }
    out = PlistValue(std::move(root));
    return true;
}

// --- Writing ---------------------------------------------------------------------------------

// Appends `text`, with each carriage return as a character reference: the library writes it as
// it is, and XML readers would turn it into a line feed. The library's own layout uses only line
// feeds and tabs.
void appendEscapingCarriageReturns(std::string& out, std::string_view text) {
    for (std::size_t cr; (cr = text.find('\r')) != std::string_view::npos;) {
        out.append(text.substr(0, cr)).append("&#13;");
        text.remove_prefix(cr + 1);
    }
    out.append(text);
}

// The library's text of one root entry, written as a dictionary of its own: `head` is the text
// up to that dictionary's first entry (the same for every entry), `body` its entries, which are
// what the whole tree would have had at the same place.
struct RootEntryXml {
    MallocText text;
    std::string_view head;
    std::string_view body;
};

constexpr std::string_view kRootDictOpen = "<dict>\n";
constexpr std::string_view kRootDictClose = "</dict>\n</plist>\n";

// False when the library's text does not have the expected layout. An absent value leaves `out`
// empty.
bool rootEntryToXml(const std::string& key, const PlistValue& value, RootEntryXml& out) {
    plist_t child = convertToNode(value, 1);
    if (child == nullptr) {
        return true;
    }
    PlistNode part(plist_new_dict());
    setDictItem(part.get(), key, child);
    uint32_t length = 0;
    plist_to_xml(part.get(), out.text.out(), &length);
    part.reset();
    const std::string_view text = out.text.view(length);
    const std::size_t open = text.find(kRootDictOpen);
    if (open == std::string_view::npos || !text.ends_with(kRootDictClose)) {
        return false;
    }
    const std::size_t bodyBegin = open + kRootDictOpen.size();
    out.head = text.substr(0, bodyBegin);
    out.body = text.substr(bodyBegin, text.size() - kRootDictClose.size() - bodyBegin);
    return true;
}

// Writes a root dictionary one entry at a time, on this thread and one more: the library's
// calls keep no state beyond the tree they are given, and the entries' texts are joined in
// order. Empty when the entries cannot be written this way.
std::string rootDictToXml(const PlistDict& root) {
    const auto& entries = root.entries();
    std::vector<RootEntryXml> parts(entries.size());
    const bool ok = forEachOnTwoThreads(entries.size(), [&](std::size_t i) {
        return rootEntryToXml(entries[i].first, entries[i].second, parts[i]);
    });
    const auto written = [](const RootEntryXml& part) { return !part.head.empty(); };
    const auto first = std::find_if(parts.begin(), parts.end(), written);
    if (!ok || first == parts.end()) {
        return {};
    }
    std::size_t size = first->head.size() + kRootDictClose.size();
    for (const RootEntryXml& part : parts) {
        size += part.body.size();
    }
    std::string result;
    result.reserve(size);
    appendEscapingCarriageReturns(result, first->head);
    for (RootEntryXml& part : parts) {
        appendEscapingCarriageReturns(result, part.body);
        part.text.reset();
    }
    result.append(kRootDictClose);
    return result;
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
    if (xml.size() > std::numeric_limits<uint32_t>::max() - kPortionBytes) {
        setError(error, "the file is too large to be a property list");
        return {};
    }
    const PlistXmlLayout layout = scanPlistXml(xml, kMaxElementDepth);
    if (layout.maxDepth > kMaxElementDepth) {
        setError(error, "the property list is nested too deeply");
        return {};
    }
    CNumericLocale cLocale;
    PlistValue value;
    const bool ok = layout.rootIsDict ? parseRootDictInPortions(xml, layout, value, error)
                                      : parseWhole(xml, value, error);
    return ok ? value : PlistValue();
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

std::string propertyListToXml(const PlistValue& root) {
    const PlistDict* dict = root.dictPtr();
    if (dict != nullptr && dict->size() > 1) {
        std::string xml = rootDictToXml(*dict);
        if (!xml.empty()) {
            return xml;
        }
    }
    CNumericLocale cLocale;
    PlistNode node(convertToNode(root, 0));
    if (node.get() == nullptr) {
        return {};
    }
    MallocText text;
    uint32_t length = 0;
    plist_to_xml(node.get(), text.out(), &length);
    std::string xml;
    xml.reserve(length);
    appendEscapingCarriageReturns(xml, text.view(length));
    return xml;
}

bool writePropertyList(const std::filesystem::path& path, const PlistValue& root,
                       std::string* error) {
    if (path.empty()) {
        setError(error, "no file to write to");
        return false;
    }
    std::string xml = propertyListToXml(root);
    if (xml.empty()) {
        setError(error, "the data cannot be written as a property list");
        return false;
    }
    return writeFileAtomically(path, xml, error);
}
