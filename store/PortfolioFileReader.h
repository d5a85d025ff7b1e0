#pragma once

// Reading the portfolio file at start-up without ever losing it. A file that cannot be read as
// a portfolio file is renamed aside under a new name beside it, so that its bytes are kept and
// the new work the user does is saved in a fresh portfolio file.

#include "platform/PlistValue.h"
#include "platform/PropertyList.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

// What becomes of a portfolio file that cannot be read.
enum class UnreadableFile {
    SetAside,   // renamed aside, so that a new portfolio file can be saved in its place
    LeaveAlone, // left where it is, and never overwritten
};

struct PortfolioFileContents {
    // The portfolios read; an empty dictionary when the file is missing or unreadable.
    PlistDictRef portfolios;
    // What the user is to be told, when the file was unreadable.
    std::optional<std::string> notice;
    // Why the file could not be read ("its root is not a dictionary"); empty when it was read or
    // was missing.
    std::string unreadableReason;
    // Where the unreadable file now is.
    std::optional<std::filesystem::path> setAsidePath;
    // The unreadable file was not moved: it must not be overwritten.
    bool writingBlocked = false;
};

PortfolioFileContents readPortfolioFile(const std::filesystem::path& path,
                                        std::uintmax_t maxBytes = kMaxPropertyListBytes,
                                        UnreadableFile unreadable = UnreadableFile::SetAside);

// Renames `path` to a name beside it that no file has yet, "<stem>.unreadable-<stamp>.<ext>"
// with "-2", "-3"... added when needed; never replaces an existing file. Gives the new path, or
// nothing when the file could not be moved.
std::optional<std::filesystem::path> setFileAside(const std::filesystem::path& path,
                                                  const std::string& stamp);

// Test seam: while set, answering false makes every set-aside fail as one in a folder where
// nothing may be renamed would.
void setSetAsideFaultHookForTesting(std::function<bool()> hook);
