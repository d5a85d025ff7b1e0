#include "support/ScriptedToolkitServices.h"

void ScriptedToolkitServices::showErrorAlert(const std::string& title, const std::string& message) {
    alerts.push_back({title, message});
    if (duringAlert_) {
        duringAlert_();
    }
}

void ScriptedToolkitServices::showInformationAlert(const std::string& title,
                                                   const std::string& message) {
    informationAlerts.push_back({title, message});
    if (duringAlert_) {
        duringAlert_();
    }
}

int ScriptedToolkitServices::showConfirmation(const std::string& title,
                                              const std::string& defaultButton,
                                              const std::string& alternateButton,
                                              const std::string& message) {
    confirmations.push_back({title, defaultButton, alternateButton, message});
    if (confirmationAnswers_.empty()) {
        return 0;
    }
    int answer = confirmationAnswers_.front();
    confirmationAnswers_.pop_front();
    return answer;
}

std::vector<std::string>
ScriptedToolkitServices::chooseFilesToOpen(const OpenFileRequest& request) {
    openFileRequests.push_back(request);
    if (panelAnswers_.empty()) {
        return {};
    }
    std::vector<std::string> answer = std::move(panelAnswers_.front());
    panelAnswers_.pop_front();
    return answer;
}

void ScriptedToolkitServices::openUrl(const std::string& url) {
    openedUrls.push_back(url);
}

bool ScriptedToolkitServices::openUrlInBrowser(const std::string& url) {
    openUrl(url);
    return browserAvailable;
}

ToolkitServices::ThreeWayAnswer ScriptedToolkitServices::askThreeWay(const std::string& title,
                                                                     const std::string& first,
                                                                     const std::string& second,
                                                                     const std::string& third,
                                                                     const std::string& message) {
    threeWayQuestions.push_back({title, first + "/" + second + "/" + third + ": " + message});
    if (threeWayAnswers_.empty()) {
        return ThreeWayAnswer::Third;
    }
    const ThreeWayAnswer answer = threeWayAnswers_.front();
    threeWayAnswers_.pop_front();
    return answer;
}

std::string ScriptedToolkitServices::chooseFileToSave(const SaveFileRequest& request) {
    saveFileRequests.push_back(request);
    if (saveFileAnswers_.empty()) {
        return {};
    }
    std::string answer = std::move(saveFileAnswers_.front());
    saveFileAnswers_.pop_front();
    return answer;
}

bool ScriptedToolkitServices::runPrintDialog(QPrinter& printer) {
    ++printDialogs;
    if (printAnswers_.empty()) {
        return false;
    }
    const std::function<bool(QPrinter&)> answer = std::move(printAnswers_.front());
    printAnswers_.pop_front();
    return answer(printer);
}

void ScriptedToolkitServices::clear() {
    alerts.clear();
    informationAlerts.clear();
    confirmations.clear();
    openFileRequests.clear();
    openedUrls.clear();
    threeWayQuestions.clear();
    saveFileRequests.clear();
    printDialogs = 0;
}

bool ScriptedToolkitServices::confirmDestruction(const std::string& title,
                                                 const std::string& keepButton,
                                                 const std::string& destroyButton,
                                                 const std::string& message) {
    return showConfirmation(title, keepButton, destroyButton, message) == kAlternateButton;
}
