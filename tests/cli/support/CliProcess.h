#pragma once

// Runs the built orvelt-cli as a separate process and collects what it did. The program's
// environment keeps it away from the real user's files (HOME, XDG_DATA_HOME and XDG_CACHE_HOME
// point into a given folder) and uses a German locale, whose decimal comma must change nothing.

#include <filesystem>
#include <string>
#include <vector>

struct CliResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Standard output is captured, or goes to `output` when one is given (e.g. "/dev/full").
CliResult runOrveltCli(const std::vector<std::string>& arguments, const std::filesystem::path& home,
                       const std::string& output = {});

// The lines of a text, without their line ends ("\n" or "\r\n").
std::vector<std::string> linesOf(const std::string& text);
