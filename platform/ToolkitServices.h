#pragma once

// What the program asks of the window toolkit beyond its own windows: modal alerts, the
// confirmation, the file-open and file-save dialogs and opening a web address. The application uses
// the Qt implementation; tests use a scripted one that records what was shown and answers as told.
// What only windows ask for (the print dialog) is in WindowServices, on the window side.

#include <string>
#include <vector>

struct OpenFileRequest {
    std::string title = "Choose File";
    std::string message;
    // File-name extensions offered, without the dot ("csv"); empty offers every file.
    std::vector<std::string> extensions;
    bool allowsMultipleSelection = false;
    // Empty starts in the user's home directory.
    std::string startDirectory;
    // What the offered files are, named in the dialog's file-type filter.
    std::string fileKindName = "Bond lists";
};

struct SaveFileKind {
    // Named in the dialog's file-type filter ("PDF document").
    std::string name;
    // The file-name extension, without the dot ("pdf").
    std::string extension;
};

struct SaveFileRequest {
    std::string title = "Save";
    // The file name offered, without a folder ("Family.pdf").
    std::string suggestedName;
    // The kinds of file offered, the first chosen at the start.
    std::vector<SaveFileKind> kinds;
    // Empty starts in the user's home directory.
    std::string startDirectory;
};

class ToolkitServices {
  public:
    // The answer of a confirmation when the user chose its default button.
    static constexpr int kDefaultButton = 1;
    // The answer of a confirmation when the user chose its alternate button (scripted answers).
    static constexpr int kAlternateButton = 2;

    virtual ~ToolkitServices() = default;

    // Modal alert with one default button ("OK"); returns once the user has dismissed it.
    virtual void showErrorAlert(const std::string& title, const std::string& message) = 0;

    // Modal alert that tells the user something when nothing failed (a task finished, or what
    // to do first); one default button ("OK"). Where the toolkit has no distinct look for it,
    // it is shown like an error alert.
    virtual void showInformationAlert(const std::string& title, const std::string& message) {
        showErrorAlert(title, message);
    }

    // Modal question; kDefaultButton when the user chose `defaultButton`, anything else
    // otherwise.
    virtual int showConfirmation(const std::string& title, const std::string& defaultButton,
                                 const std::string& alternateButton,
                                 const std::string& message) = 0;

    // Modal question before something that destroys data: `keepButton` is the default, and
    // Return and Escape both choose it; true only when the user chose `destroyButton`. Without
    // anyone to ask, nothing is destroyed.
    virtual bool confirmDestruction(const std::string& title, const std::string& keepButton,
                                    const std::string& destroyButton, const std::string& message) {
        (void)title, (void)keepButton, (void)destroyButton, (void)message;
        return false;
    }

    // The button chosen in a three-way question, in the order the buttons were given.
    enum class ThreeWayAnswer { First, Second, Third };
    // Modal question with three buttons, `first` the default and `third` the one Escape
    // chooses (cancel); the answer names the button chosen.
    // Without windows there is no one to ask: the question is answered with `third`.
    virtual ThreeWayAnswer askThreeWay(const std::string& title, const std::string& first,
                                       const std::string& second, const std::string& third,
                                       const std::string& message) {
        (void)title, (void)first, (void)second, (void)third, (void)message;
        return ThreeWayAnswer::Third;
    }

    // Modal file-open dialog; the full paths chosen, empty when the user cancelled.
    virtual std::vector<std::string> chooseFilesToOpen(const OpenFileRequest& request) = 0;

    // Modal file-save dialog; the full path chosen, with the chosen kind's extension when the
    // user typed none; empty when the user cancelled. The toolkit asks before replacing a file.
    virtual std::string chooseFileToSave(const SaveFileRequest& /*request*/) { return {}; }

    // Opens the address in the user's default browser; failures are not reported.
    virtual void openUrl(const std::string& url) = 0;
    // Opens the address in the user's default browser; false when no browser could be started,
    // so that the caller can tell the user where the page is.
    virtual bool openUrlInBrowser(const std::string& url) {
        openUrl(url);
        return true;
    }
};
