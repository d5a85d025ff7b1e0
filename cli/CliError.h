#pragma once

// A command's failure: one line for standard error and the exit status the program ends with.

#include <stdexcept>
#include <string>

enum ExitStatus : int {
    kExitSuccess = 0,
    kExitFailure = 1,    // bad data, an unreadable file, invalid bonds, a failed write
    kExitUsage = 2,      // unknown command or option, a missing or malformed argument
    kExitFolderBusy = 3, // the data folder is locked by the application or another command
    kExitSavedButOutputFailed =
        4, // the change was saved; only standard output could not be written
};

class CliError : public std::runtime_error {
  public:
    CliError(ExitStatus status, const std::string& message)
        : std::runtime_error(message), status_(status) {}
    ExitStatus status() const { return status_; }

  private:
    ExitStatus status_;
};
