#include "platform/RememberedFolders.h"

#include <QFileInfo>
#include <QSettings>
#include <QString>

namespace {

const char* settingsKey(FileDialogKind kind) {
    switch (kind) {
    case FileDialogKind::BondList:
        return "fileDialogs/bondListFolder";
    case FileDialogKind::ValueFiles:
        return "fileDialogs/valueFilesFolder";
    case FileDialogKind::ReportExport:
        return "fileDialogs/reportExportFolder";
    }
    return "fileDialogs/folder";
}

// Empty when nothing is remembered or the folder was since moved, deleted or unmounted.
std::string rememberedFolder(FileDialogKind kind) {
    const QString folder = QSettings().value(settingsKey(kind)).toString();
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        return {};
    }
    return folder.toStdString();
}

void rememberFolderOf(FileDialogKind kind, const std::string& chosenPath) {
    QSettings().setValue(settingsKey(kind),
                         QFileInfo(QString::fromStdString(chosenPath)).absolutePath());
}

} // namespace

std::vector<std::string> chooseFilesFromLastFolder(ToolkitServices& services,
                                                   OpenFileRequest request, FileDialogKind kind) {
    if (std::string folder = rememberedFolder(kind); !folder.empty()) {
        request.startDirectory = std::move(folder);
    }
    std::vector<std::string> chosen = services.chooseFilesToOpen(request);
    if (!chosen.empty()) {
        rememberFolderOf(kind, chosen.front());
    }
    return chosen;
}

std::string chooseFileToSaveInLastFolder(ToolkitServices& services, SaveFileRequest request,
                                         FileDialogKind kind) {
    if (std::string folder = rememberedFolder(kind); !folder.empty()) {
        request.startDirectory = std::move(folder);
    }
    std::string chosen = services.chooseFileToSave(request);
    if (!chosen.empty()) {
        rememberFolderOf(kind, chosen);
    }
    return chosen;
}
