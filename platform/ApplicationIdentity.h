#pragma once

// The names the programs give themselves to Qt (--version prints them). The user's data folder
// does not follow them: both programs use applicationDataFolder() (platform/DataFolderMove.h).

#include <QCoreApplication>

inline constexpr char kOrganizationName[] = "Orvelt";
inline constexpr char kApplicationName[] = "Orvelt";

// Call once the QCoreApplication (or QApplication) exists, before any path is asked for.
inline void setApplicationIdentity() {
    QCoreApplication::setOrganizationName(QString::fromLatin1(kOrganizationName));
    QCoreApplication::setApplicationName(QString::fromLatin1(kApplicationName));
}
