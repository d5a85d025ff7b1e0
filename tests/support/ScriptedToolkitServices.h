#pragma once

// Toolkit services for tests: records every alert, question and panel, and answers as told.

#include "platform/ui/WindowServices.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

struct RecordedAlert {
    std::string title;
    std::string message;
};

struct RecordedConfirmation {
    std::string title;
    std::string defaultButton;
    std::string alternateButton;
    std::string message;
};

// It answers the window side's questions too (the print dialog); the printer stays a forward
// declaration here, so that the core tests need no window library.
class ScriptedToolkitServices : public WindowServices {
  public:
    void showErrorAlert(const std::string& title, const std::string& message) override;
    void showInformationAlert(const std::string& title, const std::string& message) override;
    int showConfirmation(const std::string& title, const std::string& defaultButton,
                         const std::string& alternateButton, const std::string& message) override;
    // Recorded as a confirmation (keep as its default button); scripted kAlternateButton
    // destroys.
    bool confirmDestruction(const std::string& title, const std::string& keepButton,
                            const std::string& destroyButton, const std::string& message) override;
    std::vector<std::string> chooseFilesToOpen(const OpenFileRequest& request) override;
    void openUrl(const std::string& url) override;
    bool openUrlInBrowser(const std::string& url) override;
    ThreeWayAnswer askThreeWay(const std::string& title, const std::string& first,
                               const std::string& second, const std::string& third,
                               const std::string& message) override;
    // Answers of three-way questions, used in order; with none left the third button is chosen.
    void answerThreeWay(ThreeWayAnswer answer) { threeWayAnswers_.push_back(answer); }
    // Whether a browser "opens" the addresses given to openUrlInBrowser.
    bool browserAvailable = true;
    std::string chooseFileToSave(const SaveFileRequest& request) override;
    bool runPrintDialog(QPrinter& printer) override;

    // Answers, used in order; a confirmation with no answer left chooses the alternate button,
    // a panel with no answer left is cancelled.
    void answerConfirmation(int answer) { confirmationAnswers_.push_back(answer); }
    void answerOpenFile(std::vector<std::string> paths) {
        panelAnswers_.push_back(std::move(paths));
    }
    // The path the next save dialog answers; a save dialog with no answer left is cancelled.
    void answerSaveFile(std::string path) { saveFileAnswers_.push_back(std::move(path)); }
    // What the next print dialog does with the printer (say, print to a PDF file) and whether
    // the user prints; a print dialog with no answer left is cancelled.
    void answerPrintDialog(std::function<bool(QPrinter&)> answer) {
        printAnswers_.push_back(std::move(answer));
    }
    // Runs inside the next alerts, while they are "on screen" (to check what happens then).
    void setDuringAlert(std::function<void()> action) { duringAlert_ = std::move(action); }

    std::vector<RecordedAlert> alerts;
    // Information alerts, kept apart from the error alerts above.
    std::vector<RecordedAlert> informationAlerts;
    std::vector<RecordedConfirmation> confirmations;
    std::vector<OpenFileRequest> openFileRequests;
    std::vector<std::string> openedUrls;
    std::vector<RecordedAlert> threeWayQuestions;
    std::vector<SaveFileRequest> saveFileRequests;
    int printDialogs = 0;

    void clear();

  private:
    std::deque<int> confirmationAnswers_;
    std::deque<ThreeWayAnswer> threeWayAnswers_;
    std::deque<std::vector<std::string>> panelAnswers_;
    std::deque<std::string> saveFileAnswers_;
    std::deque<std::function<bool(QPrinter&)>> printAnswers_;
    std::function<void()> duringAlert_;
};
