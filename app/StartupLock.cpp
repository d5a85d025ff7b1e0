#include "app/StartupLock.h"

#include "platform/ToolkitServices.h"
#include "valuation/Session.h"

#include <cstring>

bool openSessionForApplication(Session& session, ToolkitServices& services) {
    const Session::Opening opening = session.open(Session::Access::Write);
    if (opening) {
        return true;
    }
    const std::string folder = session.resources().userDataDir().string();
    if (opening.refusal.folderNotWritable) {
        services.showErrorAlert("Error", "Orvelt cannot start because it cannot write to its "
                                         "data folder, where your bonds are saved (" +
                                             std::string(std::strerror(opening.refusal.error)) +
                                             ").\n\nData folder: " + folder);
    } else {
        services.showErrorAlert(
            "Error", "Orvelt cannot start because your bond data is in use: Orvelt is already "
                     "running, or another program is changing its data.\n\nData folder: " +
                         folder);
    }
    return false;
}
