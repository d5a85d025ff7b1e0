#include "platform/PropertyList.h"

#include "platform/AtomicFile.h"

#include <plist/plist.h>

#include <cstdlib>
#include <fstream>
#include <limits>
#include <sstream>
#include <utility>

namespace {

// Deeper nesting than this is not a portfolio or a value table; refusing it keeps the
// recursive conversion within a small, fixed stack.
constexpr int kMaxDepth = 256;

// Owns one libplist node tree.
class PlistNode {
public:
    PlistNode() = default;
    explicit PlistNode(plist_t node) : node_(node) {}
    ~PlistNode() {
        if (node_ != nullptr) {
            plist_free(node_);
        }
    }
    PlistNode(const PlistNode&) = delete;
    PlistNode& operator=(const PlistNode&) = delete;
    PlistNode(PlistNode&& other) noexcept : node_(std::exchange(other.node_, nullptr)) {}

    plist_t get() const { return node_; }
    plist_t* out() { return &node_; }
    plist_t release() { return std::exchange(node_, nullptr); }

private:
    plist_t node_ = nullptr;
};

// Frees a buffer that libplist allocated with malloc.
struct MallocFree {
    void operator()(char* p) const { std::free(p); }
};
using MallocString = std::unique_ptr<char, MallocFree>;

bool convertFromNode(plist_t node, PlistValue& out, int depth, std::string* error);

bool convertDict(plist_t node, PlistValue& out, int depth, std::string* error) {
    auto dict = PlistDict::create();
    dict->reserve(plist_dict_get_size(node));
    plist_dict_iter iter = nullptr;
    plist_dict_new_iter(node, &iter);
    if (iter == nullptr) {
        out = PlistValue(dict);
        return true;
    }
    bool ok = true;
    for (;;) {
        char* rawKey = nullptr;
        plist_t child = nullptr;
        plist_dict_next_item(node, iter, &rawKey, &child);
        MallocString key(rawKey);
        if (child == nullptr) {
            break;
        }
        PlistValue value;
        if (!convertFromNode(child, value, depth + 1, error)) {
            ok = false;
            break;
        }
        dict->set(key ? std::string_view(key.get()) : std::string_view(), std::move(value));
    }
    std::free(iter);
    if (ok) {
        out = PlistValue(dict);
    }
    return ok;
}

bool convertArray(plist_t node, PlistValue& out, int depth, std::string* error) {
    auto array = std::make_shared<PlistArray>();
    const uint32_t count = plist_array_get_size(node);
    array->reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        PlistValue value;
        if (!convertFromNode(plist_array_get_item(node, i), value, depth + 1, error)) {
            return false;
        }
        array->push_back(std::move(value));
    }
    out = PlistValue(array);
    return true;
}

bool convertFromNode(plist_t node, PlistValue& out, int depth, std::string* error) {
    if (depth > kMaxDepth) {
        if (error != nullptr) {
            *error = "the property list is nested too deeply";
        }
        return false;
    }
    switch (plist_get_node_type(node)) {
    case PLIST_DICT:
        return convertDict(node, out, depth, error);
    case PLIST_ARRAY:
        return convertArray(node, out, depth, error);
    case PLIST_STRING:
    case PLIST_KEY: {
        uint64_t length = 0;
        const char* text = plist_get_string_ptr(node, &length);
        out = PlistValue(std::string(text != nullptr ? text : "", text != nullptr ? length : 0));
        return true;
    }
    case PLIST_UINT: {
        uint64_t bits = 0;
        plist_get_uint_val(node, &bits);
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
    case PLIST_DATE: {
        int32_t sec = 0;
        int32_t usec = 0;
        plist_get_date_val(node, &sec, &usec);
        out = PlistValue(PlistDate{sec, usec});
        return true;
    }
    case PLIST_DATA: {
        uint64_t length = 0;
        const char* bytes = plist_get_data_ptr(node, &length);
        out = PlistValue(PlistData{std::string(bytes != nullptr ? bytes : "", bytes ? length : 0)});
        return true;
    }
    default:
        if (error != nullptr) {
            *error = "the property list holds a value of an unknown kind";
        }
        return false;
    }
}

plist_t convertToNode(const PlistValue& value, int depth);

plist_t convertToNode(const PlistValue& value, int depth) {
    if (depth > kMaxDepth) {
        return nullptr;
    }
    switch (value.type()) {
    case PlistValue::Type::Dict: {
        plist_t dict = plist_new_dict();
        for (const auto& [key, child] : value.dictPtr()->entries()) {
            plist_t node = convertToNode(child, depth + 1);
            if (node == nullptr) {
                plist_free(dict);
                return nullptr;
            }
            plist_dict_set_item(dict, key.c_str(), node);
        }
        return dict;
    }
    case PlistValue::Type::Array: {
        plist_t array = plist_new_array();
        for (const PlistValue& child : *value.arrayPtr()) {
            plist_t node = convertToNode(child, depth + 1);
            if (node == nullptr) {
                plist_free(array);
                return nullptr;
            }
            plist_array_append_item(array, node);
        }
        return array;
    }
    case PlistValue::Type::String:
        return plist_new_string(value.text().c_str());
    case PlistValue::Type::Integer:
        return plist_new_uint(value.integerPtr()->bits);
    case PlistValue::Type::Real:
        return plist_new_real(*value.realPtr());
    case PlistValue::Type::Boolean:
        return plist_new_bool(*value.booleanPtr() ? 1 : 0);
    case PlistValue::Type::Date: {
        const PlistDate& date = *value.datePtr();
        return plist_new_date(static_cast<int32_t>(date.seconds), date.microseconds);
    }
    case PlistValue::Type::Data: {
        const std::string& bytes = value.dataPtr()->bytes;
        return plist_new_data(bytes.data(), bytes.size());
    }
    case PlistValue::Type::Absent:
        break;
    }
    return nullptr;
}

} // namespace

PlistValue propertyListFromXml(std::string_view xml, std::string* error) {
    if (xml.size() > std::numeric_limits<uint32_t>::max()) {
        if (error != nullptr) {
            *error = "the file is too large to be a property list";
        }
        return {};
    }
    PlistNode root;
    plist_from_xml(xml.data(), static_cast<uint32_t>(xml.size()), root.out());
    if (root.get() == nullptr) {
        if (error != nullptr) {
            *error = "the file is not an XML property list";
        }
        return {};
    }
    PlistValue value;
    if (!convertFromNode(root.get(), value, 0, error)) {
        return {};
    }
    return value;
}

PlistValue readPropertyList(const std::filesystem::path& path, std::string* error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        if (error != nullptr) {
            *error = "cannot open " + path.string();
        }
        return {};
    }
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (in.bad()) {
        if (error != nullptr) {
            *error = "cannot read " + path.string();
        }
        return {};
    }
    return propertyListFromXml(buffer.view(), error);
}

std::string propertyListToXml(const PlistValue& root) {
    PlistNode node(convertToNode(root, 0));
    if (node.get() == nullptr) {
        return {};
    }
    char* xml = nullptr;
    uint32_t length = 0;
    plist_to_xml(node.get(), &xml, &length);
    MallocString owned(xml);
    return xml != nullptr ? std::string(xml, length) : std::string();
}

bool writePropertyList(const std::filesystem::path& path, const PlistValue& root,
                       std::string* error) {
    std::string xml = propertyListToXml(root);
    if (xml.empty()) {
        if (error != nullptr) {
            *error = "the data cannot be written as a property list";
        }
        return false;
    }
    return writeFileAtomically(path, xml, error);
}
