#include "app/BondListImportCommand.h"

#include "entry/EntryMessages.h"
#include "platform/RememberedFolders.h"
#include "platform/ToolkitServices.h"
#include "store/BondDatabase.h"

namespace {

const std::string kErrorTitle = "Error";
const std::string kInvalidFileTitle = "Invalid File";
const std::string kInvalidFileMessage =
    "This file is invalid. Please check you have exported your bonds from Orvelt for Windows "
    "correctly and try again.";
const std::string kNoPortfolioMessage = "Please either open an existing bond file or create a new "
                                        "bond file for the imported bonds to be stored in.";

} // namespace

void showImportReport(ToolkitServices& services, const ImportReport& report,
                      const std::filesystem::path& file, const std::string& unreadable) {
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
        services.showInformationAlert(std::string(kNoPortfolioOpenTitle), kNoPortfolioMessage);
        return;
    case ImportReport::Outcome::Cancelled:
        return;
    case ImportReport::Outcome::Unreadable:
        services.showErrorAlert(kErrorTitle, "The file " + name + " could not be read" +
                                                 (unreadable.empty() ? "" : ": " + unreadable) +
                                                 ".");
        return;
    case ImportReport::Outcome::TooManyBonds:
        services.showErrorAlert(kErrorTitle, tooManyBondsMessage(report));
        return;
    case ImportReport::Outcome::Refused:
        services.showErrorAlert(kErrorTitle, report.refusal);
        return;
    case ImportReport::Outcome::TooLarge:
        services.showErrorAlert(kInvalidFileTitle,
                                "The file " + name +
                                    " is too large to be a bond list exported from Orvelt for "
                                    "Windows. Please check you have chosen the right file.");
        return;
    }
}

ImportReport readBondListTextShowingAlerts(ToolkitServices& services, const BondDatabase& db,
                                           std::string_view portfolio, std::string_view text,
                                           const std::vector<std::string>& faceValues) {
    ImportReport report = readBondListText(db, portfolio, text, faceValues);
    showImportReport(services, report);
    return report;
}

ImportReport readBondListFileShowingAlerts(ToolkitServices& services, const BondDatabase& db,
                                           std::string_view portfolio,
                                           const std::filesystem::path& path,
                                           const std::vector<std::string>& faceValues) {
    std::string bytes;
    std::string why;
    const ImportReport::Outcome read = readBondListFile(path, bytes, &why);
    if (read != ImportReport::Outcome::Imported) {
        ImportReport report;
        report.outcome = read;
        showImportReport(services, report, path, why);
        return report;
    }
    return readBondListTextShowingAlerts(services, db, portfolio, bytes, faceValues);
}

ImportReport chooseAndReadBondList(ToolkitServices& services, const BondDatabase& db,
                                   const std::optional<std::string>& portfolio,
                                   const std::vector<std::string>& faceValues) {
    ImportReport report;
    if (!portfolio || !db.hasPortfolio(*portfolio)) {
        report.outcome = ImportReport::Outcome::NoPortfolioOpen;
        showImportReport(services, report);
        return report;
    }
    OpenFileRequest request;
    request.title = "Import Bond List";
    request.message = "";
    request.extensions = {"csv", "xlw"};
    request.allowsMultipleSelection = false;
    request.startDirectory = ""; // the user's home directory, until a folder is remembered
    const std::vector<std::string> chosen =
        chooseFilesFromLastFolder(services, request, FileDialogKind::BondList);
    if (chosen.empty()) {
        report.outcome = ImportReport::Outcome::Cancelled;
        return report;
    }
    return readBondListFileShowingAlerts(services, db, *portfolio, chosen.front(), faceValues);
}
