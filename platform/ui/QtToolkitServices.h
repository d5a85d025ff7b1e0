#pragma once

// The toolkit services of the running application: Qt message boxes, the Qt file dialog and the
// desktop's browser. The only place in the program that shows a QMessageBox, a QFileDialog or a
// QPrintDialog.

#include "platform/ui/WindowServices.h"

class QtToolkitServices : public WindowServices {
  public:
    void showErrorAlert(const std::string& title, const std::string& message) override;
    void showInformationAlert(const std::string& title, const std::string& message) override;
    int showConfirmation(const std::string& title, const std::string& defaultButton,
                         const std::string& alternateButton, const std::string& message) override;
    bool confirmDestruction(const std::string& title, const std::string& keepButton,
                            const std::string& destroyButton, const std::string& message) override;
    std::vector<std::string> chooseFilesToOpen(const OpenFileRequest& request) override;
    std::string chooseFileToSave(const SaveFileRequest& request) override;
    bool runPrintDialog(QPrinter& printer) override;
    void openUrl(const std::string& url) override;
    bool openUrlInBrowser(const std::string& url) override;
    ThreeWayAnswer askThreeWay(const std::string& title, const std::string& first,
                               const std::string& second, const std::string& third,
                               const std::string& message) override;
};
