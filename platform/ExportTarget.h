#pragma once

// Where an export (a report saved as PDF or CSV) may write. The file-save dialog lets the user
// pick any file, the program's own included; replacing the portfolio file with a report would
// lose every portfolio.

#include <filesystem>
#include <string>
#include <string_view>

class ResourceLocations;
class ToolkitServices;

// Why an export must not write to `path`: it is, or leads to, one of the program's own files
// (the portfolio file, the entry preset, the value table, shipped or the user's); empty when it
// may.
std::string exportRefusal(const std::filesystem::path& path, const ResourceLocations& resources);

// Decides, with the user where needed, whether an export may write to the path the save dialog
// gave: an error alert says why when it is one of the program's own files, and a read-only file
// is replaced only when the user says so. True when the export may go on.
bool mayExportTo(const std::filesystem::path& path, const ResourceLocations& resources,
                 ToolkitServices& services);

// Writes an export atomically. A file it replaces keeps its permissions; a new one is readable
// by its owner only.
bool writeExportFile(const std::filesystem::path& path, std::string_view bytes,
                     std::string* error = nullptr);
