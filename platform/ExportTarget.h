#pragma once

// Where Orvelt may write a file whose place the user chose: a report exported or printed to a
// file, and the data files the user can lead elsewhere with a link (the entry preset, the
// user's value table). The file-save and print dialogs let the user pick any file, the
// program's own included; replacing the portfolio file with a report would lose every
// portfolio, and replacing a device node or a named pipe with a regular file breaks the system.

#include "platform/AtomicFile.h"

#include <filesystem>
#include <string>
#include <string_view>

class ResourceLocations;
class ToolkitServices;

// Why nothing may be written to `path`, in a sentence that names it; empty when it may. Refused:
// a path that is, or leads to (through links, hard links, bind mounts or ".." parts: files are
// compared by device and inode), one of the program's own files (the portfolio file, the entry
// preset, the value table, shipped or the user's, the data folder's lock file, the settings
// file), and anything there that is not a regular file. `ownFileWritten` is the own file the
// caller means to rewrite, exempt itself.
std::string writeTargetRefusal(const std::filesystem::path& path,
                               const ResourceLocations& resources,
                               const std::filesystem::path& ownFileWritten = {});

// The same refusals as a write's check (AtomicWritePlace): asked of the very place the write
// replaces, found once, right before its temporary file is made and again before the rename.
AtomicWritePlace::Check writeTargetCheck(const ResourceLocations& resources,
                                         const std::filesystem::path& ownFileWritten = {});

// Decides, with the user where needed, whether a report may be written to the path a dialog
// gave: an error alert titled `refusalTitle` says why when writeTargetRefusal refuses it, and a
// read-only file is replaced only when the user says so. True when the report may be written.
bool mayExportTo(const std::filesystem::path& path, const ResourceLocations& resources,
                 ToolkitServices& services, const std::string& refusalTitle = "Cannot Export Here");

// Writes an export atomically, where writeTargetCheck allows it. A file it replaces keeps its
// permissions; a new one is readable by its owner only.
bool writeExportFile(const std::filesystem::path& path, std::string_view bytes,
                     const ResourceLocations& resources, std::string* error = nullptr);
