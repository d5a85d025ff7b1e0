#pragma once

// Reading a whole file that the user chose, whatever is at the path: a named pipe, a device or a
// folder is refused at once instead of being waited on or read without end.

#include <cstdint>
#include <filesystem>
#include <string>

enum class RegularFileRead { Read, CannotOpen, NotRegular, TooLarge, Failed };

// Reads the regular file at `path` (a link is followed) into `bytes`, but never more than
// `maxBytes`: a file that grows past the limit while it is read is refused as too large. On
// CannotOpen and Failed, `error` (when given) is the errno value.
RegularFileRead readRegularFile(const std::filesystem::path& path, std::uintmax_t maxBytes,
                                std::string& bytes, int* error = nullptr);
