#pragma once

// File dialogs that start in the folder the user last chose a file in, kept in the user's
// settings across starts. Each kind of dialog keeps its own folder: bond lists, the Treasury's
// value files and exported reports usually live in different places (an old program's export
// folder, Downloads, the user's records), so one shared folder would send each dialog to the
// last one's place.

#include "platform/ToolkitServices.h"

#include <string>
#include <vector>

enum class FileDialogKind { BondList, ValueFiles, ReportExport };

// The open dialog of `request`, started in the folder remembered for `kind` (the request's own
// start while none is remembered or that folder is gone); remembers the folder of the choice.
std::vector<std::string> chooseFilesFromLastFolder(ToolkitServices& services,
                                                   OpenFileRequest request, FileDialogKind kind);

// The save dialog likewise.
std::string chooseFileToSaveInLastFolder(ToolkitServices& services, SaveFileRequest request,
                                         FileDialogKind kind);
