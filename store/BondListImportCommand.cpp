// The Import command and its alerts: choosing the file, reading it, and telling the user what
// could not be imported.

#include "platform/RegularFile.h"
#include "platform/ToolkitServices.h"
#include "store/BondDatabase.h"
#include "store/BondListImport.h"

namespace {

const std::string kErrorTitle = "Error";
const std::string kInvalidFileTitle = "Invalid File";
const std::string kInvalidFileMessage =
    "This file is invalid. Please check you have exported your bonds from Orvelt for Windows "
    "correctly and try again.";
const std::string kNoPortfolioMessage = "Please either open an existing bond file or create a new "
                                        "bond file for the imported bonds to be stored in.";

struct FileBytes {
    ImportReport::Outcome outcome = ImportReport::Outcome::Imported;
    std::string bytes;
};

// Reads the whole file, but never more than the size limit; a named pipe, a device or a folder
// is unreadable.
FileBytes readWholeFileWithinLimit(const std::filesystem::path& path) {
    FileBytes result;
    switch (readRegularFile(path, kMaxBondListFileBytes, result.bytes)) {
    case RegularFileRead::Read:
        break;
    case RegularFileRead::TooLarge:
        result.outcome = ImportReport::Outcome::TooLarge;
        break;
    case RegularFileRead::CannotOpen:
    case RegularFileRead::NotRegular:
    case RegularFileRead::Failed:
        result.outcome = ImportReport::Outcome::Unreadable;
        break;
    }
    return result;
}

} // namespace

void showImportReport(ToolkitServices& services, const ImportReport& report,
                      const std::filesystem::path& file) {
    const std::string name = "\"" + file.filename().string() + "\"";
    switch (report.outcome) {
    case ImportReport::Outcome::Imported:
        if (report.skippedLineCount > 0) {
            services.showErrorAlert(kErrorTitle, skippedLinesMessage(report));
        }
        return;
    case ImportReport::Outcome::InvalidFile:
        services.showErrorAlert(kInvalidFileTitle, kInvalidFileMessage);
        return;
    case ImportReport::Outcome::NoPortfolioOpen:
        services.showErrorAlert(kErrorTitle, kNoPortfolioMessage);
        return;
    case ImportReport::Outcome::Cancelled:
        return;
    case ImportReport::Outcome::Unreadable:
        services.showErrorAlert(kErrorTitle, "The file " + name + " could not be read.");
        return;
    case ImportReport::Outcome::TooManyBonds:
        services.showErrorAlert(kErrorTitle, tooManyBondsMessage(report));
        return;
    case ImportReport::Outcome::TooLarge:
        services.showErrorAlert(kInvalidFileTitle,
                                "The file " + name +
                                    " is too large to be a bond list exported from Orvelt for "
                                    "Windows. Please check you have chosen the right file.");
        return;
    }
}

ImportReport addBondListTextToCurrentPortfolio(BondDatabase& db, std::string_view text) {
    ImportReport report = importBondListText(db, text);
    showImportReport(db.services(), report);
    return report;
}

ImportReport importBondListFileAtPath(BondDatabase& db, const std::filesystem::path& path) {
    FileBytes file = readWholeFileWithinLimit(path);
    if (file.outcome != ImportReport::Outcome::Imported) {
        ImportReport report;
        report.outcome = file.outcome;
        showImportReport(db.services(), report, path);
        return report;
    }
    return addBondListTextToCurrentPortfolio(db, file.bytes);
}

ImportReport runBondListImportCommand(BondDatabase& db) {
    ImportReport report;
    if (!db.getCurrentPortfolio()) {
        report.outcome = ImportReport::Outcome::NoPortfolioOpen;
        showImportReport(db.services(), report);
        return report;
    }
    OpenPanelRequest request;
    request.title = "Choose File";
    request.message = "";
    request.extensions = {"csv", "xlw"};
    request.allowsMultipleSelection = false;
    request.startDirectory = ""; // the user's home directory
    const std::vector<std::string> chosen = db.services().runOpenPanel(request);
    if (chosen.empty()) {
        report.outcome = ImportReport::Outcome::Cancelled;
        return report;
    }
    return importBondListFileAtPath(db, chosen.front());
}
