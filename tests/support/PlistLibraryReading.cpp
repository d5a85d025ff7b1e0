#include "support/PlistLibraryReading.h"

#include "platform/XmlTextEncoding.h"

#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <locale.h>
#include <memory>
#include <plist/plist.h>
#include <string>

namespace {

using PlistNode = std::unique_ptr<void, decltype(&plist_free)>;

// The library reads and writes reals under the process locale.
class CNumericLocale {
  public:
    CNumericLocale() : previous_(uselocale(cLocale())) {}
    ~CNumericLocale() { uselocale(previous_); }
    CNumericLocale(const CNumericLocale&) = delete;
    CNumericLocale& operator=(const CNumericLocale&) = delete;

  private:
    static locale_t cLocale() {
        static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
        return locale;
    }
    locale_t previous_;
};

// The library hands dates out as 32-bit seconds (years 1933 to 2069) and saturates beyond; such
// a date is taken from the library's own text of the node.
PlistDate readDate(plist_t node) {
    int32_t sec = 0;
    int32_t usec = 0;
    plist_get_date_val(node, &sec, &usec);
    if (sec != INT32_MIN && sec != INT32_MAX) {
        return PlistDate{sec, usec};
    }
    char* xml = nullptr;
    uint32_t length = 0;
    plist_to_xml(node, &xml, &length);
    const std::string text(xml != nullptr ? xml : "", length);
    std::free(xml);
    const std::size_t open = text.find("<date>");
    int year = 0;
    unsigned month = 0, day = 0, hour = 0, minute = 0, second = 0;
    if (open == std::string::npos ||
        std::sscanf(text.c_str() + open + 6, "%d-%u-%uT%u:%u:%uZ", &year, &month, &day, &hour,
                    &minute, &second) != 6) {
        return PlistDate{sec, usec};
    }
    using namespace std::chrono;
    const auto days =
        (sys_days(std::chrono::year(year) / std::chrono::month(month) / std::chrono::day(day)) -
         sys_days(std::chrono::year(2001) / 1 / 1))
            .count();
    return PlistDate{days * 86400LL + hour * 3600 + minute * 60 + second, 0};
}

PlistValue fromNode(plist_t node) {
    switch (plist_get_node_type(node)) {
    case PLIST_DICT: {
        auto dict = PlistDict::create();
        plist_dict_iter iter = nullptr;
        plist_dict_new_iter(node, &iter);
        for (;;) {
            char* key = nullptr;
            plist_t child = nullptr;
            plist_dict_next_item(node, iter, &key, &child);
            if (child == nullptr) {
                std::free(key);
                break;
            }
            dict->appendNew(key, fromNode(child));
            std::free(key);
        }
        std::free(iter);
        return PlistValue(dict);
    }
    case PLIST_ARRAY: {
        auto array = std::make_shared<PlistArray>();
        for (uint32_t i = 0; i < plist_array_get_size(node); ++i) {
            array->push_back(fromNode(plist_array_get_item(node, i)));
        }
        return PlistValue(array);
    }
    case PLIST_STRING:
    case PLIST_KEY: {
        uint64_t length = 0;
        const char* text = plist_get_string_ptr(node, &length);
        return PlistValue(std::string(text != nullptr ? text : "", length));
    }
    case PLIST_UINT: {
        uint64_t bits = 0;
        plist_get_uint_val(node, &bits);
        return PlistValue(PlistInteger{bits, static_cast<int64_t>(bits) < 0});
    }
    case PLIST_REAL: {
        double real = 0;
        plist_get_real_val(node, &real);
        return PlistValue(real);
    }
    case PLIST_BOOLEAN: {
        uint8_t flag = 0;
        plist_get_bool_val(node, &flag);
        return PlistValue(flag != 0);
    }
    case PLIST_DATE:
        return PlistValue(readDate(node));
    case PLIST_DATA: {
        uint64_t length = 0;
        const char* bytes = plist_get_data_ptr(node, &length);
        return PlistValue(PlistData{std::string(bytes != nullptr ? bytes : "", length)});
    }
    default:
        return {};
    }
}

} // namespace

PlistValue propertyListFromXmlByLibrary(std::string_view xml) {
    if (xml.starts_with("\xEF\xBB\xBF")) {
        xml.remove_prefix(3);
    }
    std::string converted;
    bool isConverted = false;
    std::string error;
    if (!decodeDeclaredEncoding(xml, converted, isConverted, error)) {
        return {};
    }
    if (isConverted) {
        xml = converted;
    }
    CNumericLocale cLocale;
    plist_t root = nullptr;
    plist_from_xml(xml.data(), static_cast<uint32_t>(xml.size()), &root);
    if (root == nullptr) {
        return {};
    }
    const PlistNode owner(root, &plist_free);
    return fromNode(root);
}
