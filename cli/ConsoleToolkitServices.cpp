#include "cli/ConsoleToolkitServices.h"

void ConsoleToolkitServices::showErrorAlert(const std::string& title, const std::string& message) {
    err_ << "orvelt-cli: " << title << ": " << message << '\n' << std::flush;
}

int ConsoleToolkitServices::showConfirmation(const std::string& title,
                                             const std::string& /*defaultButton*/,
                                             const std::string& alternateButton,
                                             const std::string& message) {
    // Nobody can answer: take the answer that changes nothing.
    err_ << "orvelt-cli: " << title << ": " << message << " (answered \"" << alternateButton
         << "\")\n"
         << std::flush;
    return kDefaultButton + 1;
}

std::vector<std::string>
ConsoleToolkitServices::chooseFilesToOpen(const OpenFileRequest& /*request*/) {
    return {};
}

void ConsoleToolkitServices::openUrl(const std::string& url) {
    err_ << "orvelt-cli: see " << url << '\n' << std::flush;
}
