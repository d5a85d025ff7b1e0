#pragma once

// The application's hold on the user's data folder for as long as it runs.

#include "platform/DataFolderLock.h"

#include <filesystem>
#include <optional>

class ToolkitServices;

// Takes the data folder's lock; when it cannot, tells the user why (the folder cannot be
// written, or another Orvelt or program is using it) in an error alert that names the folder,
// and gives nothing: the application must not start.
std::optional<DataFolderLock> lockDataFolderForApplication(const std::filesystem::path& folder,
                                                           ToolkitServices& services);
