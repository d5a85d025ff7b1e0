#pragma once

// The settings Orvelt keeps between runs, every key with the type of its value and its default
// in this one place; no other file of the program reads or writes QSettings. The key names and the
// forms of their values are the ones earlier versions wrote, so a user's settings keep working
// after an update.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <utility>

// One kept value of type T (QString, QStringList, QByteArray or bool) under a fixed key.
template <typename T> class Setting {
  public:
    explicit Setting(QString key, T defaultValue = {})
        : key_(std::move(key)), default_(std::move(defaultValue)) {}

    // The kept value, or the default when none is kept.
    T value() const;
    void setValue(const T& value) const;
    void remove() const;

    const QString& key() const { return key_; }

  private:
    QString key_;
    T default_;
};

extern template class Setting<QString>;
extern template class Setting<QStringList>;
extern template class Setting<QByteArray>;
extern template class Setting<bool>;

namespace Settings {

// The portfolio open when the application last closed, opened again at the next start.
inline const Setting<QString> lastPortfolio{QStringLiteral("lastPortfolio")};
// The redemption month last chosen, as "2009-12" (the form the command line takes).
inline const Setting<QString> redemptionMonth{QStringLiteral("report/redemptionMonth")};
// The identifiers of the value report's optional columns the user hid.
inline const Setting<QStringList> hiddenReportColumns{QStringLiteral("report/hiddenColumns")};
// The optional columns (kind, registration) the user has shown; hidden until asked for.
inline const Setting<QStringList> shownOptionalReportColumns{
    QStringLiteral("report/shownOptionalColumns")};
// The main window's place and size, and its bond list's column widths and order.
inline const Setting<QByteArray> mainWindowGeometry{QStringLiteral("mainWindow/geometry")};
inline const Setting<QByteArray> bondListLayout{QStringLiteral("mainWindow/bondList")};
// Whether the bond list shows the bonds cashed.
inline const Setting<bool> showCashedBonds{QStringLiteral("mainWindow/showCashedBonds"), true};
// The folder each kind of file dialog last chose a file in.
inline const Setting<QString> bondListFolder{QStringLiteral("fileDialogs/bondListFolder")};
inline const Setting<QString> valueFilesFolder{QStringLiteral("fileDialogs/valueFilesFolder")};
inline const Setting<QString> reportExportFolder{QStringLiteral("fileDialogs/reportExportFolder")};

// The place and size of a kind of task window, named by its class.
Setting<QByteArray> windowGeometry(const char* windowClassName);

// The file the settings are kept in.
QString fileName();

} // namespace Settings
