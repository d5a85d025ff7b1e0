#pragma once

// The toolkit services of the command-line program. There is no one to click a button: an
// alert is written to standard error as "orvelt-cli: <title>: <message>", a question is answered
// with its alternate (non-destructive) button, and no file is chosen in an open dialog.

#include "platform/ToolkitServices.h"

#include <ostream>

class ConsoleToolkitServices : public ToolkitServices {
  public:
    explicit ConsoleToolkitServices(std::ostream& err) : err_(err) {}

    void showErrorAlert(const std::string& title, const std::string& message) override;
    int showConfirmation(const std::string& title, const std::string& defaultButton,
                         const std::string& alternateButton, const std::string& message) override;
    std::vector<std::string> chooseFilesToOpen(const OpenFileRequest& request) override;
    void openUrl(const std::string& url) override;

  private:
    std::ostream& err_;
};
