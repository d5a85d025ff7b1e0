#pragma once

// The Import command's part in the windows: choosing the file and telling the user what could
// not be imported. The bonds read are handed back for the caller to add (as one change that can
// be undone).

#include "store/BondListImport.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class BondDatabase;
class ToolkitServices;

// Shows the one alert an import ends with, if any: "Invalid File" for a text without the
// header, an "Error" naming the passed-over lines, the unreadable or too-large file, a note
// that no portfolio is open.
// `unreadable` is why the file could not be read, for the outcome Unreadable.
void showImportReport(ToolkitServices& services, const ImportReport& report,
                      const std::filesystem::path& file = {}, const std::string& unreadable = {});

// Reads the text for the portfolio and shows the alert it ends with, if any; adds nothing.
// `faceValues` are those a bond is entered with (see readBondListText).
ImportReport readBondListTextShowingAlerts(ToolkitServices& services, const BondDatabase& db,
                                           std::string_view portfolio, std::string_view text,
                                           const std::vector<std::string>& faceValues);

// Reads the file at `path` whole (refusing one over the size limit) for the portfolio and shows
// the alert the import ends with, if any; adds nothing.
ImportReport readBondListFileShowingAlerts(ToolkitServices& services, const BondDatabase& db,
                                           std::string_view portfolio,
                                           const std::filesystem::path& path,
                                           const std::vector<std::string>& faceValues);

// The Import command: a note when no portfolio is open, else the file-open dialog for a "csv" or
// "xlw" file (in the folder of the last import), nothing on cancel, else
// readBondListFileShowingAlerts.
ImportReport chooseAndReadBondList(ToolkitServices& services, const BondDatabase& db,
                                   const std::optional<std::string>& portfolio,
                                   const std::vector<std::string>& faceValues);
