#pragma once

// In-memory property-list values.
//
// Dictionaries and arrays are reference types: a PlistDictRef or PlistArrayRef is shared, not
// copied, when it is stored or handed out, so a list taken out of a dictionary and changed is
// changed inside the dictionary as well. Strings and numbers are plain values.
//
// A default-constructed PlistValue is the absent value: its text is empty, its number 0, it
// holds no container, and it equals no string.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <variant>
#include <vector>

class PlistValue;
class PlistDict;
using PlistArray = std::vector<PlistValue>;
using PlistDictRef = std::shared_ptr<PlistDict>;
using PlistArrayRef = std::shared_ptr<PlistArray>;

// Seconds and microseconds since 2001-01-01 00:00:00 UTC, the property-list epoch.
struct PlistDate {
    std::int64_t seconds = 0;
    std::int32_t microseconds = 0;
    bool operator==(const PlistDate&) const = default;
};

struct PlistData {
    std::string bytes;
    bool operator==(const PlistData&) const = default;
};

// An integer as written in the file: negative values are kept signed, large positive ones
// unsigned, so that every <integer> survives a read and a write unchanged.
struct PlistInteger {
    std::uint64_t bits = 0;
    bool isNegative = false;
    std::int64_t asSigned() const { return static_cast<std::int64_t>(bits); }
    double asDouble() const {
        return isNegative ? static_cast<double>(asSigned()) : static_cast<double>(bits);
    }
    bool operator==(const PlistInteger&) const = default;
};

class PlistValue {
  public:
    enum class Type { Absent, String, Integer, Real, Boolean, Date, Data, Array, Dict };

    PlistValue() = default;
    PlistValue(std::string text) : value_(std::move(text)) {}
    PlistValue(const char* text) : value_(std::string(text)) {}
    PlistValue(std::string_view text) : value_(std::string(text)) {}
    PlistValue(PlistInteger integer) : value_(integer) {}
    PlistValue(double real) : value_(real) {}
    PlistValue(bool flag) : value_(flag) {}
    PlistValue(PlistDate date) : value_(date) {}
    PlistValue(PlistData data) : value_(std::move(data)) {}
    PlistValue(PlistArrayRef array) : value_(std::move(array)) {}
    PlistValue(PlistDictRef dict) : value_(std::move(dict)) {}

    static PlistValue integer(std::int64_t value) {
        return PlistInteger{static_cast<std::uint64_t>(value), value < 0};
    }

    Type type() const;
    bool isAbsent() const { return std::holds_alternative<std::monostate>(value_); }
    bool isString() const { return std::holds_alternative<std::string>(value_); }

    // The string, or nullptr when the value is not a string.
    const std::string* stringPtr() const { return std::get_if<std::string>(&value_); }
    // The string, or the empty text for any other value.
    const std::string& text() const;

    const PlistInteger* integerPtr() const { return std::get_if<PlistInteger>(&value_); }
    const double* realPtr() const { return std::get_if<double>(&value_); }
    const bool* booleanPtr() const { return std::get_if<bool>(&value_); }
    const PlistDate* datePtr() const { return std::get_if<PlistDate>(&value_); }
    const PlistData* dataPtr() const { return std::get_if<PlistData>(&value_); }

    // The container held, or an empty reference for any other value.
    PlistArrayRef array() const;
    PlistDictRef dict() const;
    // The same without taking a reference, for hot paths; valid while the value lives.
    const PlistDict* dictPtr() const;
    PlistArray* arrayPtr() const;

    // Structural equality: containers compare by content, not by identity.
    friend bool operator==(const PlistValue& a, const PlistValue& b);

  private:
    std::variant<std::monostate, std::string, PlistInteger, double, bool, PlistDate, PlistData,
                 PlistArrayRef, PlistDictRef>
        value_;
};

// A dictionary with string keys that keeps its keys in insertion order. Replacing the value of
// an existing key keeps the key's place. Large dictionaries keep a hash index so that a lookup
// costs the same whatever their size.
class PlistDict {
  public:
    using Entry = std::pair<std::string, PlistValue>;

    PlistDict() = default;
    PlistDict(const PlistDict& other) : entries_(other.entries_) { rebuildIndex(); }
    PlistDict& operator=(const PlistDict& other);
    PlistDict(PlistDict&&) noexcept = default;
    PlistDict& operator=(PlistDict&&) noexcept = default;

    static PlistDictRef create() { return std::make_shared<PlistDict>(); }
    // A new dictionary with the same entries; containers inside it are shared, not copied.
    PlistDictRef copy() const { return std::make_shared<PlistDict>(*this); }

    std::size_t size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }
    bool contains(std::string_view key) const { return find(key) != nullptr; }

    // The value under the key, or nullptr when the key is absent.
    const PlistValue* find(std::string_view key) const;
    PlistValue* find(std::string_view key);
    // The value under the key, or the absent value.
    PlistValue value(std::string_view key) const;
    const std::string& text(std::string_view key) const;

    void set(std::string_view key, PlistValue value);
    // Adds an entry whose key the caller knows to be absent, without looking for it first
    // (a dictionary being filled from a source whose keys are unique).
    void appendNew(std::string_view key, PlistValue value);
    bool remove(std::string_view key);
    // Replaces all entries by `entries`, in their order; false when two of them share a key.
    bool assignEntries(std::vector<Entry> entries);
    void reserve(std::size_t count) { entries_.reserve(count); }

    const std::vector<Entry>& entries() const { return entries_; }
    std::vector<std::string> keys() const;

    friend bool operator==(const PlistDict& a, const PlistDict& b) {
        return a.entries_ == b.entries_;
    }

  private:
    struct KeyHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view key) const noexcept {
            return std::hash<std::string_view>{}(key);
        }
    };
    static constexpr std::size_t kIndexThreshold = 12;

    std::ptrdiff_t indexOf(std::string_view key) const;
    void rebuildIndex();

    std::vector<Entry> entries_;
    std::unordered_map<std::string, std::size_t, KeyHash, std::equal_to<>> index_;
};

// Follows a path of keys through nested dictionaries. A missing key, or a value that is not a
// dictionary where one is needed, gives nullptr: absent values propagate quietly.
const PlistValue* plistFind(const PlistDict* root, std::initializer_list<std::string_view> path);
