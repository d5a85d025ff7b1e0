#pragma once

// The whole program without its process: the arguments after the program's name in, the exit
// status out. Everything printed goes to `out` and `err`.

#include <ostream>
#include <string>
#include <vector>

int runCli(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

extern const char* const kCliUsage;
