#include "platform/Settings.h"

#include <QSettings>
#include <map>
#include <string_view>

namespace {

template <typename T> T fromVariant(const QVariant& variant);

template <> QString fromVariant(const QVariant& variant) {
    return variant.toString();
}

template <> QStringList fromVariant(const QVariant& variant) {
    // A list of one is kept as a plain text and read back as a list of one.
    return variant.toStringList();
}

template <> QByteArray fromVariant(const QVariant& variant) {
    return variant.toByteArray();
}

template <> bool fromVariant(const QVariant& variant) {
    return variant.toBool();
}

} // namespace

template <typename T> T Setting<T>::value() const {
    const QVariant kept = QSettings().value(key_);
    return kept.isValid() ? fromVariant<T>(kept) : default_;
}

template <typename T> void Setting<T>::setValue(const T& value) const {
    QSettings().setValue(key_, value);
}

template <typename T> void Setting<T>::remove() const {
    QSettings().remove(key_);
}

template class Setting<QString>;
template class Setting<QStringList>;
template class Setting<QByteArray>;
template class Setting<bool>;

namespace Settings {

Setting<QByteArray> windowGeometry(const char* windowClassName) {
    // Windows renamed since their places were first kept stay under their earlier names, so an
    // update does not forget where the user put them.
    static const std::map<std::string_view, std::string_view> keptUnder = {
        {"LoadPortfolioWindow", "LoadPortfolioWindowController"},
        {"AddNewPortfolioWindow", "AddNewPortfolioWindowController"},
        {"BondEditingWindow", "BondEditingWindowController"},
        {"RedemptionDateWindow", "RedemptionDateWindowController"},
    };
    std::string_view name = windowClassName;
    if (const auto kept = keptUnder.find(name); kept != keptUnder.end()) {
        name = kept->second;
    }
    return Setting<QByteArray>(QStringLiteral("windows/%1/geometry")
                                   .arg(QLatin1String(name.data(), qsizetype(name.size()))));
}

QString fileName() {
    return QSettings().fileName();
}

} // namespace Settings
