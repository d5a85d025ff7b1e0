#pragma once

// The entries of one choice box of the bond entry: its list, and after it at most one extra
// entry, the value of a bond taken into the fields that the list does not hold (an imported
// bond), so that saving keeps the bond's own value instead of silently replacing it.

#include <optional>
#include <string>
#include <vector>

class ChoiceList {
  public:
    ChoiceList() = default;
    explicit ChoiceList(std::vector<std::string> values) : values_(std::move(values)) {}

    const std::vector<std::string>& values() const { return values_; }
    // A new list; the extra entry goes with the old one.
    void setValues(std::vector<std::string> values);

    int count() const;
    // The value at an index; nothing outside the entries.
    std::optional<std::string> valueAt(int index) const;
    bool isExtraAt(int index) const;

    // The index of a value; a value the list lacks becomes the extra entry.
    int indexFor(const std::string& value);
    bool hasExtra() const { return extra_.has_value(); }
    void dropExtra() { extra_.reset(); }

  private:
    std::vector<std::string> values_;
    std::optional<std::string> extra_;
};
