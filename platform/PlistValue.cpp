#include "platform/PlistValue.h"

namespace {
const std::string kEmptyText;
}

PlistValue::Type PlistValue::type() const {
    return static_cast<Type>(value_.index());
}

const std::string& PlistValue::text() const {
    const std::string* s = stringPtr();
    return s != nullptr ? *s : kEmptyText;
}

PlistArrayRef PlistValue::array() const {
    const PlistArrayRef* a = std::get_if<PlistArrayRef>(&value_);
    return a != nullptr ? *a : PlistArrayRef();
}

const PlistDict* PlistValue::dictPtr() const {
    const PlistDictRef* d = std::get_if<PlistDictRef>(&value_);
    return d != nullptr ? d->get() : nullptr;
}

PlistArray* PlistValue::arrayPtr() const {
    const PlistArrayRef* a = std::get_if<PlistArrayRef>(&value_);
    return a != nullptr ? a->get() : nullptr;
}

PlistDictRef PlistValue::dict() const {
    const PlistDictRef* d = std::get_if<PlistDictRef>(&value_);
    return d != nullptr ? *d : PlistDictRef();
}

bool operator==(const PlistValue& a, const PlistValue& b) {
    if (a.value_.index() != b.value_.index()) {
        return false;
    }
    if (const auto* left = std::get_if<PlistArrayRef>(&a.value_)) {
        const auto& right = std::get<PlistArrayRef>(b.value_);
        if (!*left || !right) {
            return !*left && !right;
        }
        return *left == right || **left == *right;
    }
    if (const auto* left = std::get_if<PlistDictRef>(&a.value_)) {
        const auto& right = std::get<PlistDictRef>(b.value_);
        if (!*left || !right) {
            return !*left && !right;
        }
        return *left == right || **left == *right;
    }
    return a.value_ == b.value_;
}

PlistDict& PlistDict::operator=(const PlistDict& other) {
    if (this != &other) {
        entries_ = other.entries_;
        rebuildIndex();
    }
    return *this;
}

std::ptrdiff_t PlistDict::indexOf(std::string_view key) const {
    if (!index_.empty()) {
        auto it = index_.find(key);
        return it == index_.end() ? -1 : static_cast<std::ptrdiff_t>(it->second);
    }
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i].first == key) {
            return static_cast<std::ptrdiff_t>(i);
        }
    }
    return -1;
}

const PlistValue* PlistDict::find(std::string_view key) const {
    std::ptrdiff_t i = indexOf(key);
    return i < 0 ? nullptr : &entries_[static_cast<std::size_t>(i)].second;
}

PlistValue* PlistDict::find(std::string_view key) {
    std::ptrdiff_t i = indexOf(key);
    return i < 0 ? nullptr : &entries_[static_cast<std::size_t>(i)].second;
}

PlistValue PlistDict::value(std::string_view key) const {
    const PlistValue* v = find(key);
    return v != nullptr ? *v : PlistValue();
}

const std::string& PlistDict::text(std::string_view key) const {
    const PlistValue* v = find(key);
    return v != nullptr ? v->text() : kEmptyText;
}

void PlistDict::set(std::string_view key, PlistValue value) {
    if (PlistValue* existing = find(key)) {
        *existing = std::move(value);
        return;
    }
    entries_.emplace_back(std::string(key), std::move(value));
    if (!index_.empty()) {
        index_.emplace(std::string(key), entries_.size() - 1);
    } else if (entries_.size() > kIndexThreshold) {
        rebuildIndex();
    }
}

void PlistDict::appendNew(std::string_view key, PlistValue value) {
    entries_.emplace_back(std::string(key), std::move(value));
    if (!index_.empty()) {
        index_.emplace(entries_.back().first, entries_.size() - 1);
    } else if (entries_.size() > kIndexThreshold) {
        rebuildIndex();
    }
}

bool PlistDict::assignEntries(std::vector<Entry> entries) {
    entries_ = std::move(entries);
    rebuildIndex();
    if (!index_.empty()) {
        return index_.size() == entries_.size();
    }
    for (std::size_t i = 1; i < entries_.size(); ++i) {
        for (std::size_t j = 0; j < i; ++j) {
            if (entries_[i].first == entries_[j].first) {
                return false;
            }
        }
    }
    return true;
}

bool PlistDict::remove(std::string_view key) {
    std::ptrdiff_t i = indexOf(key);
    if (i < 0) {
        return false;
    }
    entries_.erase(entries_.begin() + i);
    rebuildIndex();
    return true;
}

std::vector<std::string> PlistDict::keys() const {
    std::vector<std::string> result;
    result.reserve(entries_.size());
    for (const Entry& entry : entries_) {
        result.push_back(entry.first);
    }
    return result;
}

void PlistDict::rebuildIndex() {
    index_.clear();
    if (entries_.size() <= kIndexThreshold) {
        return;
    }
    index_.reserve(entries_.size());
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        // The first of two equal keys wins, as a linear scan would find it.
        index_.emplace(entries_[i].first, i);
    }
}

const PlistValue* plistFind(const PlistDict* root, std::initializer_list<std::string_view> path) {
    const PlistDict* dict = root;
    const PlistValue* found = nullptr;
    for (std::string_view key : path) {
        if (dict == nullptr) {
            return nullptr;
        }
        found = dict->find(key);
        if (found == nullptr) {
            return nullptr;
        }
        dict = found->dictPtr();
    }
    return found;
}
