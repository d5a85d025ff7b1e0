#pragma once

// The names under which the programs find the user's data folder (QStandardPaths uses them:
// ~/.local/share/<organization>/<application>). The window application and orvelt-cli set the
// same names, so that both work on the same portfolios.

#include <QCoreApplication>

inline constexpr char kOrganizationName[] = "Orvelt";
inline constexpr char kApplicationName[] = "Orvelt";

// Call once the QCoreApplication (or QApplication) exists, before any path is asked for.
inline void setApplicationIdentity() {
    QCoreApplication::setOrganizationName(QString::fromLatin1(kOrganizationName));
    QCoreApplication::setApplicationName(QString::fromLatin1(kApplicationName));
}
