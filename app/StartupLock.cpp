#include "app/StartupLock.h"

#include "platform/ToolkitServices.h"

#include <cstring>

std::optional<DataFolderLock> lockDataFolderForApplication(const std::filesystem::path& folder,
                                                           ToolkitServices& services) {
    DataFolderLock::Refusal refusal;
    std::optional<DataFolderLock> lock = DataFolderLock::tryAcquire(folder, &refusal);
    if (lock) {
        return lock;
    }
    if (refusal.folderNotWritable) {
        services.showErrorAlert("Error", "Orvelt cannot start because it cannot write to its "
                                         "data folder, where your bonds are saved (" +
                                             std::string(std::strerror(refusal.error)) +
                                             ").\n\nData folder: " + folder.string());
    } else {
        services.showErrorAlert(
            "Error", "Orvelt cannot start because your bond data is in use: Orvelt is already "
                     "running, or another program is changing its data.\n\nData folder: " +
                         folder.string());
    }
    return std::nullopt;
}
