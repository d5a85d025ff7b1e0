#include "platform/RememberedFolders.h"

#include "platform/Settings.h"

#include <QFileInfo>
#include <QString>

namespace {

const Setting<QString>& folderSetting(FileDialogKind kind) {
    switch (kind) {
    case FileDialogKind::ValueFiles:
        return Settings::valueFilesFolder;
    case FileDialogKind::ReportExport:
        return Settings::reportExportFolder;
    case FileDialogKind::BondList:
        break;
    }
    return Settings::bondListFolder;
}

// Empty when nothing is remembered or the folder was since moved, deleted or unmounted.
std::string rememberedFolder(FileDialogKind kind) {
    const QString folder = folderSetting(kind).value();
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        return {};
    }
    return folder.toStdString();
}

void rememberFolderOf(FileDialogKind kind, const std::string& chosenPath) {
    folderSetting(kind).setValue(QFileInfo(QString::fromStdString(chosenPath)).absolutePath());
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
