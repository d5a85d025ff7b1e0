#include "entry/ChoiceList.h"

#include <algorithm>

void ChoiceList::setValues(std::vector<std::string> values) {
    values_ = std::move(values);
    extra_.reset();
}

int ChoiceList::count() const {
    return static_cast<int>(values_.size()) + (extra_ ? 1 : 0);
}

std::optional<std::string> ChoiceList::valueAt(int index) const {
    if (index < 0) {
        return std::nullopt;
    }
    const auto position = static_cast<std::size_t>(index);
    if (position < values_.size()) {
        return values_[position];
    }
    return position == values_.size() ? extra_ : std::nullopt;
}

bool ChoiceList::isExtraAt(int index) const {
    return extra_ && index == static_cast<int>(values_.size());
}

int ChoiceList::indexFor(const std::string& value) {
    const auto found = std::find(values_.begin(), values_.end(), value);
    if (found != values_.end()) {
        return static_cast<int>(found - values_.begin());
    }
    extra_ = value;
    return static_cast<int>(values_.size());
}
